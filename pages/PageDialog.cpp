#include "pages/PageDialog.h"

#include "shell/FrameAccelerators.h"

#include <QLayout>
#include <QPalette>

#include <algorithm>

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

QSize PageDialog::NeededSize() const
{
    // A page laid out by a layout needs what the layout asks for; one that
    // places its controls itself needs room up to the farthest control it
    // shows (the ones it keeps hidden do not count).
    if (layout())
        return layout()->minimumSize().expandedTo(layout()->sizeHint().boundedTo(QSize(kLaidOutWidth, QWIDGETSIZE_MAX)));
    int right = 0, bottom = 0;
    for (const QWidget* w : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (w->isWindow() || w->isHidden())
            continue;
        right = std::max(right, w->geometry().right() + 1);
        bottom = std::max(bottom, w->geometry().bottom() + 1);
    }
    return {right + kNeededRightMargin, bottom + kNeededBottomMargin};
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
