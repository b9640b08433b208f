#include "ui/chrome/CSubclassWnd.h"

#include <QHash>
#include <QObject>
#include <QPointer>

namespace ulv {

namespace {

    QHash<QObject*, CSubclassWnd*>& HookMap()
    {
        static QHash<QObject*, CSubclassWnd*> map;
        return map;
    }

    // Stands in for the replaced window procedure: the window's messages are
    // taken before the window sees them and run through its hooks.
    class HookFilter : public QObject {
    public:
        explicit HookFilter(QObject* window)
            : m_window(window)
        {
            window->installEventFilter(this);
            m_destroyed = QObject::connect(window, &QObject::destroyed, [window] { CSubclassWndMap::RemoveAll(window); });
        }
        ~HookFilter() override
        {
            QObject::disconnect(m_destroyed);
            if (m_window)
                m_window->removeEventFilter(this);
        }
        bool eventFilter(QObject* watched, QEvent* event) override
        {
            if (event->type() != WinMessageEvent::EventType())
                return false;
            auto* msg = static_cast<WinMessageEvent*>(event);
            msg->result = CSubclassWnd::HookWndProc(watched, msg->message, msg->wParam, msg->lParam);
            return true;
        }

    private:
        QPointer<QObject> m_window;
        QMetaObject::Connection m_destroyed;
    };

    QHash<QObject*, HookFilter*>& Filters()
    {
        static QHash<QObject*, HookFilter*> map;
        return map;
    }

    struct LastMessage {
        QObject* window = nullptr;
        UINT message = 0;
        WPARAM wParam = 0;
        LPARAM lParam = 0;
    };
    thread_local LastMessage t_lastMessage;

} // namespace

CSubclassWnd::~CSubclassWnd()
{
    if (m_hWnd)
        HookWindow(nullptr);
}

bool CSubclassWnd::HookWindow(QObject* window)
{
    if (m_hWnd) {
        CSubclassWndMap::Remove(this);
        m_pOldWndProc = nullptr;
    }
    if (window)
        CSubclassWndMap::Add(window, this);
    m_hWnd = window;
    return true;
}

LRESULT CSubclassWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_pNext)
        return m_pNext->WindowProc(message, wParam, lParam);
    if (m_pOldWndProc && m_hWnd)
        return m_pOldWndProc(m_hWnd, message, wParam, lParam);
    return 0;
}

LRESULT CSubclassWnd::Default()
{
    return CSubclassWnd::WindowProc(t_lastMessage.message, t_lastMessage.wParam, t_lastMessage.lParam);
}

LRESULT CSubclassWnd::HookWndProc(QObject* window, UINT message, WPARAM wParam, LPARAM lParam)
{
    const LastMessage saved = t_lastMessage;
    t_lastMessage = { window, message, wParam, lParam };
    LRESULT result = 0;
    CSubclassWnd* first = CSubclassWndMap::Lookup(window);
    if (message == WM_NCDESTROY) {
        const WNDPROC own = first ? first->m_pOldWndProc : &CallWindowProc;
        CSubclassWndMap::RemoveAll(window);
        if (own)
            result = own(window, message, wParam, lParam);
    } else if (first) {
        result = first->WindowProc(message, wParam, lParam);
    } else {
        result = CallWindowProc(window, message, wParam, lParam);
    }
    t_lastMessage = saved;
    return result;
}

void CSubclassWndMap::Add(QObject* window, CSubclassWnd* hook)
{
    CSubclassWnd* first = Lookup(window);
    hook->m_pNext = first;
    HookMap().insert(window, hook);
    if (first) {
        hook->m_pOldWndProc = first->m_pOldWndProc;
    } else {
        Filters().insert(window, new HookFilter(window));
        hook->m_pOldWndProc = &CallWindowProc;
    }
}

void CSubclassWndMap::Remove(CSubclassWnd* hook)
{
    QObject* window = hook->m_hWnd;
    CSubclassWnd* first = Lookup(window);
    if (!first)
        return;
    if (first == hook) {
        if (hook->m_pNext) {
            HookMap().insert(window, hook->m_pNext);
        } else {
            HookMap().remove(window);
            delete Filters().take(window);
        }
    } else {
        for (CSubclassWnd* p = first; p; p = p->m_pNext) {
            if (p->m_pNext == hook) {
                p->m_pNext = hook->m_pNext;
                break;
            }
        }
    }
    hook->m_pNext = nullptr;
}

void CSubclassWndMap::RemoveAll(QObject* window)
{
    while (CSubclassWnd* first = Lookup(window))
        first->HookWindow(nullptr);
}

CSubclassWnd* CSubclassWndMap::Lookup(QObject* window)
{
    return window ? HookMap().value(window, nullptr) : nullptr;
}

} // namespace ulv
