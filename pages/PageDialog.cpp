#include "pages/PageDialog.h"

#include "shell/FrameAccelerators.h"

#include <QPalette>

namespace ulv {

PageDialog::PageDialog(const QString& objectName, QWidget* parent)
    : QWidget(parent)
{
    setObjectName(objectName);
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, QColor(0xCD, 0xCD, 0xCD));
    p.setColor(QPalette::WindowText, QColor(153, 51, 51));
    setPalette(p);
}

bool PageDialog::event(QEvent* event)
{
    // A page behaves as a dialog: its controls get Ctrl+C, Ctrl+V, F6... before
    // the main window's accelerators do.
    if (ClaimAcceleratorKey(event))
        return true;
    return QWidget::event(event);
}

} // namespace ulv
