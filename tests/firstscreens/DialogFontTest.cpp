// Dialogs share the main window's face and size, and opening one prints no
// Qt warning about its combo boxes.

#include "atlib/CApnListDlg.h"
#include "atlib/CAtCommandSelectDlg.h"
#include "atlib/CAtcClassManageDlg.h"
#include "atlib/CAtcManageDlg.h"
#include "atlib/CTransferFileDlg.h"
#include "common/ShownMainFrame.h"
#include "pages/module/CReadMessageDlg.h"
#include "shell/CGuidanceDlg.h"
#include "shell/CPortParamDlg.h"
#include "shell/CSendPanelDlg.h"
#include "shell/CSysParamDlg.h"
#include "shell/CTestView1.h"
#include "ui/controls/CFlatComboBox.h"

#include <QFontInfo>
#include <QMessageBox>
#include <QMutex>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

using namespace ulv;

namespace {

// Collects the messages Qt prints while it lives.
class MessageCatcher {
public:
    MessageCatcher()
    {
        s_texts.clear();
        m_previous = qInstallMessageHandler(&MessageCatcher::Handle);
    }
    ~MessageCatcher() { qInstallMessageHandler(m_previous); }
    QStringList Texts() const { return s_texts; }

private:
    static void Handle(QtMsgType, const QMessageLogContext&, const QString& text) { s_texts << text; }
    static inline QStringList s_texts;
    QtMessageHandler m_previous;
};

struct DialogCase {
    const char* name;
    std::function<std::unique_ptr<QWidget>()> make;
};

const DialogCase kDialogs[] = {
    {"serial port", [] { return std::make_unique<CPortParamDlg>(); }},
    {"system parameters", [] { return std::make_unique<CSysParamDlg>(); }},
    {"start-up guide", [] { return std::make_unique<CGuidanceDlg>(); }},
    {"APN list", [] { return std::make_unique<CApnListDlg>(); }},
    {"AT commands manager", [] { return std::make_unique<CAtcManageDlg>(); }},
    {"AT classification manager", [] { return std::make_unique<CAtcClassManageDlg>(); }},
    {"workbook path", [] { return std::make_unique<CTransferFileDlg>(); }},
    {"quick command list", [] { return std::make_unique<CAtCommandSelectDlg>(); }},
    {"read message", [] { return std::make_unique<CReadMessageDlg>(); }},
    {"message box", [] { return std::make_unique<QMessageBox>(QMessageBox::Information, "Ulvenscope", "OK!"); }},
};

} // namespace

TEST(DialogFonts, EveryDialogUsesTheMainWindowsFace)
{
    auto frame = test::MakeShownMainFrame(1);
    const QFontInfo main(frame->TestView1()->font());
    for (const DialogCase& c : kDialogs) {
        std::unique_ptr<QWidget> dlg = c.make();
        dlg->show();
        const QFontInfo shown(dlg->font());
        EXPECT_EQ(shown.family(), main.family()) << c.name;
        EXPECT_EQ(shown.pixelSize(), main.pixelSize()) << c.name;
    }
}

TEST(DialogFonts, CombosPrintNoCompleterWarning)
{
    MessageCatcher catcher;
    for (const DialogCase& c : kDialogs) {
        std::unique_ptr<QWidget> dlg = c.make();
        dlg->show();
        QApplication::processEvents();
    }
    {
        // The send panel, and a flat combo made editable and back.
        CSendPanelDlg panel;
        panel.show();
        CFlatComboBox combo;
        combo.EnableAutoComplete(false);
        combo.setEditable(true);
        combo.EnableAutoComplete(true);
        combo.EnableAutoComplete(false);
        combo.setEditable(false);
        QApplication::processEvents();
    }
    for (const QString& text : catcher.Texts())
        EXPECT_FALSE(text.contains("QCompleter")) << text.toStdString();
}
