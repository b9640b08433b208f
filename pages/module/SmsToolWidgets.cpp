#include "pages/module/SmsToolWidgets.h"

#include "pages/module/CTestItemDlg_sms.h"
#include "shell/DialogLook.h"
#include "ui/controls/CHexRichEdit.h"
#include "ui/controls/CSkinButton.h"

#include <QDialog>
#include <QLabel>
#include <QRadioButton>
#include <QTextCursor>
#include <algorithm>

namespace ulv::SmsToolWidgets {

QRect Dlu(int x, int y, int w, int h)
{
    return QRect(x * 3 / 2, y * 13 / 8, std::max(1, w * 3 / 2), std::max(1, h * 13 / 8));
}

void SetUpDialog(QDialog* dialog, const QString& objectName, const QString& caption, int widthDlu, int heightDlu)
{
    dialog->setObjectName(objectName);
    dialog->setWindowTitle(caption);
    dialog->setFont(QFont(QStringLiteral("Arial Unicode MS"), 8));
    ApplyDialogLook(dialog);
    dialog->setFixedSize(Dlu(0, 0, widthDlu, heightDlu).size());
}

QLabel* AddLabel(QWidget* dialog, const QString& text, int x, int y, int w, int h)
{
    auto* label = new QLabel(text, dialog);
    QRect place = Dlu(x, y, w, h);
    // Our font runs a little wider than the one the sizes were made for.
    place.setWidth(std::max(place.width(), label->sizeHint().width()));
    label->setGeometry(place);
    return label;
}

QRadioButton* AddRadio(QWidget* dialog, const QString& text, int x, int y, int w, int h)
{
    auto* radio = new QRadioButton(text, dialog);
    radio->setGeometry(Dlu(x, y, w, h));
    return radio;
}

CSkinButton* AddButton(QWidget* dialog, const QString& text, int x, int y, int w, int h)
{
    auto* button = new CSkinButton(text, dialog);
    button->setGeometry(Dlu(x, y, w, h));
    button->setAutoDefault(false);
    return button;
}

void AppendToSmsMessageBox(const QString& text)
{
    if (!g_pSmsPage)
        return;
    CHexRichEdit* box = g_pSmsPage->m_editMessage;
    QTextCursor end(box->document());
    end.movePosition(QTextCursor::End);
    box->setTextCursor(end);
    box->insertPlainText(text);
}

} // namespace ulv::SmsToolWidgets
