#include "ui/chrome/CPagerCtrl.h"

#include <QToolButton>
#include <QWheelEvent>

namespace ulv {

namespace {
    constexpr int kScrollStep = 16;
}

CPagerCtrl::CPagerCtrl(QWidget* parent)
    : QWidget(parent)
    , m_viewport(new QWidget(this))
    , m_up(new QToolButton(this))
    , m_down(new QToolButton(this))
{
    for (QToolButton* b : { m_up, m_down }) {
        b->setAutoRepeat(true);
        b->setAutoRepeatInterval(40);
        b->setFocusPolicy(Qt::NoFocus);
        b->hide();
    }
    m_up->setArrowType(Qt::UpArrow);
    m_down->setArrowType(Qt::DownArrow);
    connect(m_up, &QToolButton::clicked, this, [this] { ScrollBy(-kScrollStep); });
    connect(m_down, &QToolButton::clicked, this, [this] { ScrollBy(kScrollStep); });
}

bool CPagerCtrl::Create(QWidget* parent, int id)
{
    if (!parent)
        return false;
    setParent(parent);
    m_id = id;
    show();
    return true;
}

void CPagerCtrl::SetChild(QWidget* child)
{
    m_child = child;
    if (child)
        child->setParent(m_viewport);
    Layout();
}

void CPagerCtrl::SetButtonSize(int size)
{
    m_buttonSize = std::max(1, size);
    Layout();
}

int CPagerCtrl::ContentHeight() const
{
    if (m_calcSize)
        return m_calcSize();
    return m_child ? m_child->sizeHint().height() : 0;
}

bool CPagerCtrl::ButtonsShown() const { return !m_up->isHidden() || !m_down->isHidden(); }

void CPagerCtrl::RecalcSize() { Layout(); }

void CPagerCtrl::SetPosition(int pos)
{
    m_pos = pos;
    Layout();
}

void CPagerCtrl::ScrollBy(int delta) { SetPosition(m_pos + delta); }

void CPagerCtrl::Layout()
{
    const int content = ContentHeight();
    const bool fits = content <= height();
    if (fits) {
        m_pos = 0;
        m_up->hide();
        m_down->hide();
        m_viewport->setGeometry(rect());
    } else {
        const int view = std::max(0, height() - 2 * m_buttonSize);
        m_pos = std::clamp(m_pos, 0, std::max(0, content - view));
        m_up->setGeometry(0, 0, width(), m_buttonSize);
        m_down->setGeometry(0, height() - m_buttonSize, width(), m_buttonSize);
        m_up->show();
        m_down->show();
        m_up->setEnabled(m_pos > 0);
        m_down->setEnabled(m_pos < content - view);
        m_viewport->setGeometry(0, m_buttonSize, width(), view);
    }
    if (m_child)
        m_child->setGeometry(0, -m_pos, width(), std::max(content, m_viewport->height()));
}

void CPagerCtrl::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    Layout();
}

void CPagerCtrl::wheelEvent(QWheelEvent* event)
{
    if (ButtonsShown())
        ScrollBy(event->angleDelta().y() > 0 ? -kScrollStep : kScrollStep);
    event->accept();
}

} // namespace ulv
