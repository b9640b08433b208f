#include "ui/controls/CHeaderDropWnd.h"

#include <QPainter>
#include <QRegion>

namespace ulv {

CHeaderDropWnd::CHeaderDropWnd(QRgb color)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus)
    , m_color(color)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_ShowWithoutActivating);
}

bool CHeaderDropWnd::Create(int headerHeight)
{
    const int h = headerHeight + 20;
    m_height = h;
    resize(12, h);
    const QPolygon down({{8, 0}, {8, 4}, {11, 4}, {6, 9}, {1, 4}, {4, 4}, {4, 0}});
    const QPolygon up({{4, h}, {4, h - 4}, {0, h - 4}, {6, h - 10}, {12, h - 4}, {8, h - 4}, {8, h}});
    setMask(QRegion(down, Qt::OddEvenFill).united(QRegion(up, Qt::OddEvenFill)));
    return true;
}

void CHeaderDropWnd::SetPosition(int x, int y)
{
    move(x - 6, y - m_height / 2);
    show();
    raise();
}

void CHeaderDropWnd::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(QRect(0, 0, 12, m_height), QColor(m_color));
}

} // namespace ulv
