#include "shell/DialogLook.h"

#include "ui/controls/WinLook.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QLabel>
#include <QPalette>
#include <QRadioButton>
#include <QWidget>

namespace ulv {

void ApplyDialogLook(QWidget* dialog)
{
    QPalette pal = dialog->palette();
    pal.setColor(QPalette::Window, ColorRefToQColor(0xCDCDCD));
    pal.setColor(QPalette::WindowText, ColorRefToQColor(0x333399));
    dialog->setPalette(pal);
    dialog->setAutoFillBackground(true);
}

void WidenBoxesToTexts(QWidget* dialog)
{
    for (QWidget* w : dialog->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        const bool textBox = qobject_cast<QCheckBox*>(w) || qobject_cast<QRadioButton*>(w)
                             || (qobject_cast<QLabel*>(w) && !static_cast<QLabel*>(w)->text().isEmpty());
        if (!textBox)
            continue;
        const int needed = w->sizeHint().width();
        if (w->width() < needed)
            w->resize(needed, w->height());
    }
}

} // namespace ulv
