#include "MenuTestUtil.h"

#include "ui/chrome/CSubclassWnd.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

using namespace ulv;
using namespace ulv::test;

namespace {

constexpr UINT kPing = WM_USER + 1;
constexpr UINT kInner = WM_USER + 2;

// Notes its name for every message and passes it on.
class Tracer : public CSubclassWnd {
public:
    Tracer(std::string name, std::string* trace)
        : m_name(std::move(name))
        , m_trace(trace)
    {
    }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        *m_trace += m_name;
        return CSubclassWnd::WindowProc(message, wParam, lParam);
    }

private:
    std::string m_name;
    std::string* m_trace;
};

// The window itself: answers kPing with 42 and notes "W".
class Window : public MessageLog {
public:
    std::string* trace = nullptr;
    Window(std::string* t)
        : trace(t)
    {
        handler = [this](WinMessageEvent* m) {
            *trace += "W";
            m->result = m->message == kPing ? 42 : 0;
            return true;
        };
    }
};

TEST(SubclassWndTest, HooksRunNewestFirstAndKeepOrderWhenTheMiddleOneLeaves)
{
    std::string trace;
    Window window(&trace);
    Tracer a("A", &trace), b("B", &trace), c("C", &trace);
    a.HookWindow(&window);
    b.HookWindow(&window);
    c.HookWindow(&window);
    EXPECT_EQ(SendMessage(&window, kPing, 0, 0), 42);
    EXPECT_EQ(trace, "CBAW");

    trace.clear();
    b.HookWindow(nullptr);
    EXPECT_FALSE(b.IsHooked());
    EXPECT_EQ(SendMessage(&window, kPing, 0, 0), 42);
    EXPECT_EQ(trace, "CAW");

    // The newest leaving: the older stays on and the window stays hooked.
    trace.clear();
    c.HookWindow(nullptr);
    EXPECT_EQ(CSubclassWndMap::Lookup(&window), &a);
    SendMessage(&window, kPing, 0, 0);
    EXPECT_EQ(trace, "AW");

    // The last leaving gives the window back its own procedure.
    trace.clear();
    a.HookWindow(nullptr);
    EXPECT_EQ(CSubclassWndMap::Lookup(&window), nullptr);
    EXPECT_EQ(SendMessage(&window, kPing, 0, 0), 42);
    EXPECT_EQ(trace, "W");
}

TEST(SubclassWndTest, OlderHookLeavingUnderANewerOneOnlyUnlinks)
{
    std::string trace;
    Window window(&trace);
    Tracer a("A", &trace), b("B", &trace);
    a.HookWindow(&window);
    b.HookWindow(&window);
    a.HookWindow(nullptr);
    EXPECT_EQ(CSubclassWndMap::Lookup(&window), &b);
    SendMessage(&window, kPing, 0, 0);
    EXPECT_EQ(trace, "BW");
}

TEST(SubclassWndTest, HookingTwiceDoesNotLoop)
{
    std::string trace;
    Window window(&trace);
    Tracer a("A", &trace);
    a.HookWindow(&window);
    a.HookWindow(&window);
    SendMessage(&window, kPing, 0, 0);
    EXPECT_EQ(trace, "AW");
}

TEST(SubclassWndTest, DestroyedWindowDropsEveryHook)
{
    std::string trace;
    auto window = std::make_unique<Window>(&trace);
    Tracer a("A", &trace), b("B", &trace);
    a.HookWindow(window.get());
    b.HookWindow(window.get());
    window.reset();
    EXPECT_FALSE(a.IsHooked());
    EXPECT_FALSE(b.IsHooked());
    EXPECT_EQ(a.m_pNext, nullptr);

    // An explicit WM_NCDESTROY does the same and still reaches the window.
    Window other(&trace);
    a.HookWindow(&other);
    trace.clear();
    SendMessage(&other, WM_NCDESTROY, 0, 0);
    EXPECT_EQ(trace, "W");
    EXPECT_FALSE(a.IsHooked());
}

// Sends a second message from inside the first, then passes the first on
// with Default().
class Nester : public CSubclassWnd {
public:
    std::vector<UINT> seen;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == kPing) {
            SendMessage(m_hWnd, kInner, 7, 8);
            return Default();
        }
        seen.push_back(message);
        return CSubclassWnd::WindowProc(message, wParam, lParam);
    }
};

TEST(SubclassWndTest, DefaultSeesTheMessageOfItsOwnLevel)
{
    std::string trace;
    Window window(&trace);
    Nester hook;
    hook.HookWindow(&window);
    std::vector<UINT> reached;
    window.handler = [&](WinMessageEvent* m) {
        reached.push_back(m->message);
        m->result = m->message == kPing ? 42 : 0;
        return true;
    };
    EXPECT_EQ(SendMessage(&window, kPing, 1, 2), 42);
    EXPECT_EQ(reached, (std::vector<UINT> { kInner, kPing }));
}

} // namespace
