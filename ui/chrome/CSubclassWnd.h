#pragma once

#include "ui/chrome/WinMenu.h"

class QObject;

namespace ulv {

// The window's own procedure, called at the end of a chain of hooks.
using WNDPROC = LRESULT (*)(QObject* window, UINT message, WPARAM wParam, LPARAM lParam);

// Watches and answers the window messages of a window it does not own. Every
// hook on a window sits in one chain, the most recent first; each passes what
// it leaves alone to the next and the last to the window's own procedure. The
// window is hooked (an event filter) while at least one hook is on it, and a
// destroyed window drops all of its hooks.
class CSubclassWnd {
public:
    CSubclassWnd() = default;
    virtual ~CSubclassWnd();
    CSubclassWnd(const CSubclassWnd&) = delete;
    CSubclassWnd& operator=(const CSubclassWnd&) = delete;

    // Hooks a window, or with null unhooks. A hook already on a window is
    // taken off it first, so a hook never sits in a chain twice.
    bool HookWindow(QObject* window);
    bool IsHooked() const { return m_hWnd != nullptr; }

    // Handles a message; what it does not handle it passes on here.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Passes on the message now being dispatched.
    LRESULT Default();

    // The shared procedure every hooked window's messages go through.
    static LRESULT HookWndProc(QObject* window, UINT message, WPARAM wParam, LPARAM lParam);

    QObject* m_hWnd = nullptr;
    WNDPROC m_pOldWndProc = nullptr;
    CSubclassWnd* m_pNext = nullptr;
};

// The map of hooked windows to the first hook of each.
class CSubclassWndMap {
public:
    static void Add(QObject* window, CSubclassWnd* hook);
    static void Remove(CSubclassWnd* hook);
    static void RemoveAll(QObject* window);
    static CSubclassWnd* Lookup(QObject* window);
};

} // namespace ulv
