#include "ui/controls/CHeaderDragWnd.h"

#include "ui/controls/CFlatHeaderCtrl.h"

#include <QPainter>

namespace ulv {

CHeaderDragWnd::CHeaderDragWnd()
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_DeleteOnClose);
}

bool CHeaderDragWnd::Create(const QRect& screenRect, CFlatHeaderCtrl* header, int item)
{
    m_header = header;
    m_item = item;
    setGeometry(screenRect);
    setFont(header->font());
    show();
    return true;
}

void CHeaderDragWnd::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), QColor(SysRgb(COLOR_3DFACE)));
    Draw3dRect(p, rect(), GetSysColor(COLOR_BTNHIGHLIGHT), GetSysColor(COLOR_BTNSHADOW));
    if (!m_header)
        return;
    p.setFont(m_header->font());
    const int s = m_header->m_spacing;
    m_header->DrawHeaderItem(p, rect().adjusted(s, 0, -s, 0), m_header->ItemOf(m_item),
        m_item == m_header->m_sortColumn, m_header->m_sortAscending);
}

} // namespace ulv
