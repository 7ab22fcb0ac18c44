#include "framework/afxwin.h"
#include "support/DebugOutput.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

typedef std::vector<std::string> Trace;

class CTraceWnd : public CWnd {
public:
    CTraceWnd(Trace* trace, bool autoDelete) : m_trace(trace), m_bAutoDelete(autoDelete) {}
    ~CTraceWnd() override { m_trace->push_back("destructor"); }

    BOOL Create()
    {
        return CreateEx(0, AfxRegisterWndClass(CS_HREDRAW | CS_VREDRAW), "", WS_POPUP, 0, 0, 20, 20,
                        nullptr, nullptr);
    }
    void PostNcDestroy() override
    {
        m_trace->push_back("PostNcDestroy");
        if (m_bAutoDelete)
            delete this;
    }

    bool m_bFailCreate = false;
    std::function<void()> m_throwInCreate;  // set: what WM_CREATE throws
    bool m_bDestroyInCreate = false;
    UINT m_nSwallow = 0;
    UINT m_nThrowOn = 0;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (m_nSwallow && message == m_nSwallow) {
            m_trace->push_back("swallowed");
            return 42;
        }
        if (m_nThrowOn && message == m_nThrowOn)
            throw 42;
        return CWnd::WindowProc(message, wParam, lParam);
    }

protected:
    int OnCreate(LPCREATESTRUCT cs)
    {
        m_trace->push_back("base OnCreate");
        if (m_throwInCreate)
            m_throwInCreate();
        if (m_bDestroyInCreate) {
            // As when another thread's request to destroy the window is
            // answered while the handler waits.
            ::DestroyWindow(m_hWnd ? m_hWnd : nullptr);
            m_trace->push_back("after destroy");
            return 0;
        }
        if (CWnd::OnCreate(cs) == -1 || m_bFailCreate)
            return -1;
        return 0;
    }
    void OnDestroy()
    {
        m_trace->push_back("base OnDestroy");
        CWnd::OnDestroy();
    }
    void OnSeven() { m_trace->push_back("command 7"); }

    Trace* m_trace;
    bool m_bAutoDelete;

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CTraceWnd, CWnd)
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_COMMAND(7, OnSeven)
END_MESSAGE_MAP()

class CDerivedTraceWnd : public CTraceWnd {
public:
    using CTraceWnd::CTraceWnd;

protected:
    void OnDestroy()
    {
        m_trace->push_back("derived OnDestroy");
        CTraceWnd::OnDestroy();
    }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CDerivedTraceWnd, CTraceWnd)
    ON_WM_DESTROY()
END_MESSAGE_MAP()

} // namespace

TEST(CWnd, RoutesMessagesThroughChainedMaps)
{
    Trace trace;
    CDerivedTraceWnd* wnd = new CDerivedTraceWnd(&trace, true);
    ASSERT_TRUE(wnd->Create());
    HWND hWnd = wnd->GetSafeHwnd();
    ASSERT_TRUE(IsWindow(hWnd));
    EXPECT_EQ(wnd, CWnd::FromHandle(hWnd));
    EXPECT_EQ(wnd, CWnd::FromHandlePermanent(hWnd));
    // WM_CREATE is handled by the base's map, WM_DESTROY by the derived one.
    EXPECT_EQ(Trace({ "base OnCreate" }), trace);

    wnd->SendMessage(WM_COMMAND, MAKEWPARAM(7, 0), 0);
    wnd->SendMessage(WM_COMMAND, MAKEWPARAM(8, 0), 0);
    wnd->SendMessage(WM_COMMAND, MAKEWPARAM(7, 1), 0);
    EXPECT_EQ(Trace({ "base OnCreate", "command 7" }), trace);

    trace.clear();
    DestroyWindow(hWnd);
    EXPECT_EQ(Trace({ "derived OnDestroy", "base OnDestroy", "PostNcDestroy", "destructor" }), trace);
    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(hWnd));
    EXPECT_FALSE(IsWindow(hWnd));
}

TEST(CWnd, FailedCreationDestroysAndDeletesTheObject)
{
    Trace trace;
    CTraceWnd* wnd = new CTraceWnd(&trace, true);
    wnd->m_bFailCreate = true;
    EXPECT_FALSE(wnd->Create());
    EXPECT_EQ(Trace({ "base OnCreate", "base OnDestroy", "PostNcDestroy", "destructor" }), trace);

    // Destroyed from inside its own creation: the object lives until the
    // handler has returned, and the creation fails.
    trace.clear();
    wnd = new CTraceWnd(&trace, true);
    wnd->m_bDestroyInCreate = true;
    EXPECT_FALSE(wnd->Create());
    EXPECT_EQ(Trace({ "base OnCreate", "base OnDestroy", "after destroy", "PostNcDestroy", "destructor" }), trace);

    // Any exception inside WM_CREATE fails the creation the same way, and
    // the debugger is told what it was: nothing unwinds through the
    // system's frames (which the 32-bit build's unwinder cannot cross).
    const struct {
        std::function<void()> thrower;
        const char* told;
    } exceptions[] = {
        { [] { AfxThrowMemoryException(); }, "CMemoryException" },
        { [] { AfxThrowResourceException(); }, "CResourceException" },
        { [] { throw std::bad_alloc(); }, "std::bad_alloc" },
        { [] { throw std::runtime_error("no more saucers"); }, "no more saucers" },
        { [] { throw 7; }, "an exception of unknown type" },
    };
    for (const auto& e : exceptions) {
        DebugOutputCapture debugger;
        trace.clear();
        wnd = new CTraceWnd(&trace, true);
        wnd->m_throwInCreate = e.thrower;
        EXPECT_FALSE(wnd->Create()) << e.told;
        EXPECT_EQ(Trace({ "base OnCreate", "base OnDestroy", "PostNcDestroy", "destructor" }), trace) << e.told;
        EXPECT_EQ(std::vector<std::string>({ std::string("Exception in the handler of window message 0x0001: ") +
                                             e.told + "\r\n" }),
                  debugger.Lines());
    }

    // A class that does not exist: no message ever arrives, yet the object
    // is cleaned up.
    trace.clear();
    wnd = new CTraceWnd(&trace, true);
    EXPECT_FALSE(wnd->CreateEx(0, "NoSuchClassAnywhere", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr));
    EXPECT_EQ(Trace({ "PostNcDestroy", "destructor" }), trace);
}

TEST(CWnd, WindowWithoutAutoDeleteSurvivesItsWindow)
{
    Trace trace;
    {
        CTraceWnd wnd(&trace, false);
        ASSERT_TRUE(wnd.Create());
        wnd.m_nSwallow = WM_USER + 5;
        EXPECT_EQ(42, wnd.SendMessage(WM_USER + 5));
        // A message whose handler threw is dropped; the window lives on.
        wnd.m_nThrowOn = WM_USER + 6;
        EXPECT_EQ(0, wnd.SendMessage(WM_USER + 6));
        EXPECT_TRUE(IsWindow(wnd.GetSafeHwnd()));
        EXPECT_TRUE(wnd.DestroyWindow());
        EXPECT_EQ(nullptr, wnd.GetSafeHwnd());
        EXPECT_EQ(Trace({ "base OnCreate", "swallowed", "base OnDestroy", "PostNcDestroy" }), trace);
    }
    EXPECT_EQ("destructor", trace.back());
}

TEST(CWnd, FromHandleWrapsForeignWindows)
{
    EXPECT_EQ(nullptr, CWnd::FromHandle(nullptr));
    HWND hStatic = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                   nullptr, nullptr);
    ASSERT_NE(nullptr, hStatic);
    CWnd* a = CWnd::FromHandle(hStatic);
    ASSERT_NE(nullptr, a);
    EXPECT_EQ(hStatic, a->GetSafeHwnd());
    EXPECT_EQ(a, CWnd::FromHandle(hStatic));
    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(hStatic));
    DestroyWindow(hStatic);
}

TEST(CWinApp, DestroyingTheMainWindowEndsTheMessageLoop)
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
    Trace trace;
    CTraceWnd* wnd = new CTraceWnd(&trace, true);
    ASSERT_TRUE(wnd->Create());
    AfxGetApp()->m_pMainWnd = wnd;
    EXPECT_EQ(wnd, AfxGetMainWnd());
    wnd->DestroyWindow();
    EXPECT_EQ(nullptr, AfxGetMainWnd());
    EXPECT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

TEST(CWinApp, RegistersEachWindowClassOnce)
{
    HCURSOR arrow = LoadCursor(nullptr, IDC_ARROW);
    CString first = AfxRegisterWndClass(CS_HREDRAW, arrow);
    CString second = AfxRegisterWndClass(CS_HREDRAW, arrow);
    CString other = AfxRegisterWndClass(CS_VREDRAW);
    EXPECT_EQ(first, second);
    EXPECT_NE(first, other);
    WNDCLASSA wc = {};
    ASSERT_TRUE(GetClassInfoA(AfxGetInstanceHandle(), first, &wc));
    EXPECT_EQ(arrow, wc.hCursor);
    EXPECT_EQ(static_cast<UINT>(CS_HREDRAW), wc.style);
    EXPECT_EQ(AfxWndProc, wc.lpfnWndProc);
}

namespace {

// A static control whose WM_SETTEXT the map sees first.
class CTextWatcher : public CWnd {
public:
    std::vector<std::string> seen;
    LRESULT OnSetText(WPARAM, LPARAM lParam)
    {
        seen.push_back(reinterpret_cast<const char*>(lParam));
        return Default();
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CTextWatcher, CWnd)
    { WM_SETTEXT, 0, [](CWnd* w, WPARAM wp, LPARAM lp) -> LRESULT {
          return static_cast<ThisClass*>(w)->OnSetText(wp, lp); }, 0 },
END_MESSAGE_MAP()

} // namespace

TEST(CWnd, SubclassedWindowRoutesThroughTheMapToItsOwnProcedureAndIsLetGoOnDestroy)
{
    HWND hWnd = CreateWindowExA(0, "STATIC", "before", WS_POPUP, 0, 0, 50, 20, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, hWnd);
    CTextWatcher watcher;
    ASSERT_TRUE(watcher.SubclassWindow(hWnd));
    EXPECT_EQ(&watcher, CWnd::FromHandlePermanent(hWnd));
    // A window already taken is not taken twice.
    CTextWatcher second;
    EXPECT_FALSE(second.SubclassWindow(hWnd));
    SetWindowTextA(hWnd, "after");
    EXPECT_EQ(std::vector<std::string>{ "after" }, watcher.seen);
    char text[16] = "";
    GetWindowTextA(hWnd, text, sizeof text);
    EXPECT_STREQ("after", text);
    // What the map does not handle reaches the static's own procedure.
    EXPECT_EQ(DLGC_STATIC, SendMessageA(hWnd, WM_GETDLGCODE, 0, 0));
    DestroyWindow(hWnd);
    EXPECT_EQ(nullptr, watcher.GetSafeHwnd());
    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(hWnd));
}

TEST(AfxGetTopLevelWindow, ClimbsParentsButNotOwners)
{
    auto make = [](DWORD style, HWND parent) {
        return CreateWindowExA(0, "STATIC", "", style, 0, 0, 10, 10, parent, nullptr, nullptr, nullptr);
    };
    HWND owner = make(WS_POPUP, nullptr);
    HWND owned = make(WS_POPUP, owner);
    HWND child = make(WS_CHILD, owned);
    HWND grandchild = make(WS_CHILD, child);
    ASSERT_TRUE(owner && owned && child && grandchild);
    const struct {
        HWND window;
        HWND top;
    } cases[] = {
        { owner, owner }, { owned, owned }, { child, owned }, { grandchild, owned }, { nullptr, nullptr },
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.top, AfxGetTopLevelWindow(c.window));
    DestroyWindow(owner);
}
