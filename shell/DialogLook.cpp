#include "shell/DialogLook.h"

#include "ui/controls/WinLook.h"

#include <QPalette>
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

} // namespace ulv
