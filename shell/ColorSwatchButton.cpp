#include "shell/ColorSwatchButton.h"

#include <QColorDialog>
#include <QPainter>
#include <QStyleOptionButton>

namespace ulv {

ColorSwatchButton::ColorSwatchButton(QWidget* parent)
    : QPushButton(parent)
{
    setAutoDefault(false);
    connect(this, &QPushButton::clicked, this, &ColorSwatchButton::Pick);
}

void ColorSwatchButton::SetColor(COLORREF color)
{
    m_color = color & 0xFFFFFF;
    update();
}

void ColorSwatchButton::Pick()
{
    const QColor chosen = QColorDialog::getColor(ColorRefToQColor(m_color), this);
    if (!chosen.isValid())
        return;
    SetColor(ColorRefFromQColor(chosen));
    Q_EMIT ColorChanged(m_color);
}

void ColorSwatchButton::paintEvent(QPaintEvent* event)
{
    QPushButton::paintEvent(event);
    QPainter p(this);
    const QRect swatch = rect().adjusted(5, 5, -5, -5);
    p.fillRect(swatch, ColorRefToQColor(m_color));
    p.setPen(Qt::black);
    p.drawRect(swatch.adjusted(0, 0, -1, -1));
}

} // namespace ulv
