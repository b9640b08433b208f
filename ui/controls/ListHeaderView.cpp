#include "ui/controls/ListHeaderView.h"

namespace ulv {

ListHeaderView::ListHeaderView(QWidget* parent)
    : QHeaderView(Qt::Horizontal, parent)
{
    setSectionsClickable(true);
    setHighlightSections(false);
    setSortIndicatorShown(false);
    setMinimumSectionSize(0);
}

QSize ListHeaderView::sizeHint() const
{
    QSize s = QHeaderView::sizeHint();
    s.setHeight(fontMetrics().height() + 6);
    return s;
}

} // namespace ulv
