#include "ui/controls/CBrushReBarCtrl.h"

#include <QHBoxLayout>
#include <QPainter>

namespace ulv {

CBrushReBarCtrl::CBrushReBarCtrl(QWidget* parent)
    : QWidget(parent)
    , m_layout(new QHBoxLayout(this))
{
    m_layout->setContentsMargins(2, 2, 2, 2);
    m_layout->setSpacing(4);
    m_layout->addStretch();
}

int CBrushReBarCtrl::InsertBand(QWidget* child)
{
    child->setParent(this);
    m_layout->insertWidget(m_layout->count() - 1, child);
    m_bands.push_back(child);
    return GetBandCount() - 1;
}

QRect CBrushReBarCtrl::BandRect(int index) const
{
    if (index < 0 || index >= GetBandCount())
        return {};
    return m_bands[size_t(index)]->geometry().adjusted(-2, -2, 2, 2);
}

void CBrushReBarCtrl::DrawBand(QPainter&, const QRect&, unsigned) {}

void CBrushReBarCtrl::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    for (int i = 0; i < GetBandCount(); ++i) {
        const QWidget* band = m_bands[size_t(i)];
        const bool focused = band->hasFocus() || band->isAncestorOf(focusWidget());
        DrawBand(p, BandRect(i), focused ? 0x0001u : 0u);
    }
}

} // namespace ulv
