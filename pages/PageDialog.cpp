#include "pages/PageDialog.h"

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

} // namespace ulv
