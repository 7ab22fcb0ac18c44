// The full-screen saver window's answers to the user's input, in-process:
// the messages are sent to it directly and the pointer is placed through
// Wine's own SetCursorPos. The covers of other monitors are made on machines
// the tests play through the monitor enumeration.
#include "app/SaverWnd.h"
#include "display/DisplayPlatform.h"
#include "res/resource.h"
#include "support/DebugOutput.h"
#include "support/Registry.h"
#include "support/TestAccess.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>

namespace {

// The monitors of the machine a test plays, and its primary among them.
const std::vector<RECT>* g_monitors = nullptr;
size_t g_primary = 0;

BOOL WINAPI FakeEnumDisplayMonitors(HDC, LPCRECT, MONITORENUMPROC proc, LPARAM data)
{
    for (size_t i = 0; i < g_monitors->size(); ++i) {
        RECT r = (*g_monitors)[i];
        if (!proc(reinterpret_cast<HMONITOR>(i + 1), nullptr, &r, data))
            break;
    }
    return TRUE;
}

BOOL WINAPI FakeGetMonitorInfo(HMONITOR monitor, LPMONITORINFO info)
{
    const size_t i = reinterpret_cast<size_t>(monitor) - 1;
    if (info->cbSize < sizeof(MONITORINFO) || i >= g_monitors->size())
        return FALSE;
    info->rcMonitor = info->rcWork = (*g_monitors)[i];
    info->dwFlags = i == g_primary ? MONITORINFOF_PRIMARY : 0;
    return TRUE;
}

const MonitorPlatform kFakeMonitors = { FakeEnumDisplayMonitors, FakeGetMonitorInfo };
const MonitorPlatform kNoMonitorEnumeration = { nullptr, nullptr };

// The visible top-level windows of this thread but the saver, left to right.
std::vector<HWND> WindowsBeside(HWND saver)
{
    std::map<LONG, HWND> found;
    for (HWND h = GetTopWindow(nullptr); h; h = GetWindow(h, GW_HWNDNEXT)) {
        RECT r;
        if (h != saver && IsWindowVisible(h) && GetWindowThreadProcessId(h, nullptr) == GetCurrentThreadId() &&
            GetWindowRect(h, &r))
            found[r.left] = h;
    }
    std::vector<HWND> windows;
    for (const auto& f : found)
        windows.push_back(f.second);
    return windows;
}

class SaverInput : public testing::Test {
protected:
    void SetUp() override
    {
        ClearStoredSettings();
        // No frame during the test: the thread only waits.
        SetDwordSetting("Speed", 100000);
        Restart(RealMonitorPlatform());
    }
    void TearDown() override
    {
        Finish();
        ClearStoredSettings();
    }
    // A new saver window on the machine given, its start position not seen.
    void Restart(const MonitorPlatform& monitors)
    {
        Finish();
        TestAccess::s_bHaveStartPos() = FALSE;
        m_saver = new CSaverWnd;
        ASSERT_TRUE(m_saver->CreateFullScreen(monitors));
        m_hWnd = m_saver->GetSafeHwnd();
        TakeCloseRequest();
    }
    // Destroys the window if it is still there and handles what is queued.
    void Finish()
    {
        // The window deletes itself once destroyed.
        if (IsWindow(m_hWnd))
            DestroyWindow(m_hWnd);
        HandleQueued();
    }
    void HandleQueued()
    {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
    }
    // True when a close request was posted; it is taken from the queue so
    // that the window stays for the next case.
    bool TakeCloseRequest()
    {
        MSG msg;
        bool posted = false;
        while (PeekMessageA(&msg, m_hWnd, WM_CLOSE, WM_CLOSE, PM_REMOVE))
            posted = true;
        return posted;
    }
    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
    {
        return SendMessageA(m_hWnd, message, wParam, lParam);
    }
    POINT Pointer()
    {
        POINT p;
        GetCursorPos(&p);
        return p;
    }
    // The animation thread has ended: the animation was stopped.
    bool Stopped() { return WaitForSingleObject(TestAccess::m_pThread(*m_saver)->m_hThread, 0) == WAIT_OBJECT_0; }
    CSaverWnd* m_saver = nullptr;
    HWND m_hWnd = nullptr;
};

} // namespace

TEST_F(SaverInput, KeysButtonsAndMonitorOffAskToClose)
{
    struct Case {
        const char* name;
        UINT message;
        WPARAM wParam;
    };
    const Case closing[] = {
        { "WM_KEYDOWN", WM_KEYDOWN, 'A' },
        { "WM_SYSKEYDOWN", WM_SYSKEYDOWN, VK_MENU },
        { "WM_LBUTTONDOWN", WM_LBUTTONDOWN, MK_LBUTTON },
        { "WM_RBUTTONDOWN", WM_RBUTTONDOWN, MK_RBUTTON },
        { "WM_MBUTTONDOWN", WM_MBUTTONDOWN, MK_MBUTTON },
        { "SC_MONITORPOWER", WM_SYSCOMMAND, SC_MONITORPOWER },
    };
    for (const Case& c : closing) {
        SetCursorPos(400, 300);
        Send(c.message, c.wParam);
        EXPECT_TRUE(TakeCloseRequest()) << c.name;
    }
    // None of them stops the animation itself: the destroy handler does.
    EXPECT_FALSE(Stopped());

    // Posted requests close the window through the default handling.
    PostMessageA(m_hWnd, WM_KEYDOWN, 'A', 0);
    MSG msg;
    while (IsWindow(m_hWnd) && GetMessageA(&msg, nullptr, 0, 0) > 0)
        DispatchMessageA(&msg);
    EXPECT_FALSE(IsWindow(m_hWnd));
}

TEST_F(SaverInput, ScreenSaveAndCloseCommandsAreSwallowed)
{
    EXPECT_EQ(0, Send(WM_SYSCOMMAND, SC_SCREENSAVE));
    EXPECT_EQ(0, Send(WM_SYSCOMMAND, SC_CLOSE));
    EXPECT_FALSE(TakeCloseRequest());
    EXPECT_TRUE(IsWindow(m_hWnd));
    // Deactivation does not show the window as inactive.
    EXPECT_EQ(0, Send(WM_NCACTIVATE, FALSE));
    // No pointer over the saver: the window's own cursor is the transparent one.
    SetCursor(LoadCursor(nullptr, IDC_ARROW));
    Send(WM_SETCURSOR, reinterpret_cast<WPARAM>(m_hWnd), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(LoadCursorA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDC_TRANSPARENT)), GetCursor());
}

TEST_F(SaverInput, PointerMayRestWithinThreePixelsOfWhereItWasFirstSeen)
{
    SetCursorPos(500, 300);
    Send(WM_MOUSEMOVE);

    // Travel is measured from that first place, not from the last move:
    // these are all within three pixels of (500, 300), and of no other.
    const POINT resting[] = { { 502, 301 }, { 497, 300 }, { 500, 297 }, { 501, 302 } };
    for (POINT p : resting) {
        SetCursorPos(p.x, p.y);
        Send(WM_MOUSEMOVE);
        EXPECT_FALSE(TakeCloseRequest()) << p.x << "," << p.y;
        EXPECT_FALSE(Stopped()) << p.x << "," << p.y;
    }

    // Four pixels: the animation is stopped at once, then the close asked.
    SetCursorPos(498, 302);
    Send(WM_MOUSEMOVE);
    EXPECT_TRUE(Stopped());
    EXPECT_TRUE(TakeCloseRequest());
}

TEST_F(SaverInput, DeactivationChecksThePointerToo)
{
    SetCursorPos(200, 200);
    Send(WM_ACTIVATE, WA_INACTIVE);  // the first look only records
    Send(WM_ACTIVATEAPP, TRUE);      // activation looks at nothing
    SetCursorPos(210, 200);
    Send(WM_ACTIVATE, WA_ACTIVE);
    EXPECT_FALSE(TakeCloseRequest());
    Send(WM_ACTIVATEAPP, FALSE);
    EXPECT_TRUE(TakeCloseRequest());
    EXPECT_TRUE(Stopped());
}

TEST_F(SaverInput, ClickLeavesThePointerOneUpAndOneRight)
{
    const int W = GetSystemMetrics(SM_CXSCREEN), H = GetSystemMetrics(SM_CYSCREEN);
    struct Case {
        POINT at, after;
    };
    const Case cases[] = {
        { { 300, 200 }, { 301, 199 } },
        { { 0, H - 1 }, { 1, H - 2 } },       // held at the bottom: still right
        { { W - 1, 100 }, { W - 1, 99 } },    // held at the right: only up
        { { W - 1, H - 1 }, { W - 2, H - 2 } },  // the corner: one left instead
    };
    TestAccess::s_bHaveStartPos() = TRUE;  // no start to record on the way
    TestAccess::s_ptStart() = POINT{ 0, 0 };
    for (const Case& c : cases) {
        SetCursorPos(c.at.x, c.at.y);
        Send(WM_LBUTTONDOWN, MK_LBUTTON);
        POINT p = Pointer();
        EXPECT_EQ(c.after.x, p.x) << "from " << c.at.x << "," << c.at.y;
        EXPECT_EQ(c.after.y, p.y) << "from " << c.at.x << "," << c.at.y;
        EXPECT_TRUE(TakeCloseRequest());
    }
}

TEST_F(SaverInput, EveryOtherMonitorIsCoveredWithoutTakingTheActivationWhileTheSaverLives)
{
    const LONG W = GetSystemMetrics(SM_CXSCREEN), H = GetSystemMetrics(SM_CYSCREEN);
    const RECT primary = { 0, 0, W, H }, right = { W, 0, W + 800, 600 }, left = { -1280, -100, 0, 924 },
               above = { 0, -600, 800, 0 };
    struct Case {
        const char* machine;
        const MonitorPlatform* platform;
        std::vector<RECT> monitors;
        size_t primary;
        std::vector<RECT> covered;  // left to right
    };
    const Case cases[] = {
        { "no monitor enumeration (Windows 95, NT 4)", &kNoMonitorEnumeration, {}, 0, {} },
        { "one monitor", &kFakeMonitors, { primary }, 0, {} },
        { "a second on the right", &kFakeMonitors, { primary, right }, 0, { right } },
        { "the primary listed second", &kFakeMonitors, { left, primary }, 1, { left } },
        { "three, two at negative coordinates", &kFakeMonitors, { above, primary, left }, 1, { left, above } },
    };
    const HCURSOR transparent = LoadCursorA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDC_TRANSPARENT));
    for (const Case& c : cases) {
        g_monitors = &c.monitors;
        g_primary = c.primary;
        Restart(*c.platform);
        std::vector<HWND> covers = WindowsBeside(m_hWnd);
        ASSERT_EQ(c.covered.size(), covers.size()) << c.machine;
        for (size_t i = 0; i < covers.size(); ++i) {
            RECT r;
            GetWindowRect(covers[i], &r);
            const RECT& e = c.covered[i];
            EXPECT_TRUE(r.left == e.left && r.top == e.top && r.right == e.right && r.bottom == e.bottom)
                << c.machine << ": cover " << i << " at " << r.left << "," << r.top << "-" << r.right << ","
                << r.bottom;
            EXPECT_EQ(WS_POPUP, GetWindowLongA(covers[i], GWL_STYLE) & (WS_POPUP | WS_CAPTION | WS_THICKFRAME));
            EXPECT_TRUE(GetWindowLongA(covers[i], GWL_EXSTYLE) & WS_EX_TOPMOST) << c.machine;
            EXPECT_EQ(transparent, reinterpret_cast<HCURSOR>(GetClassLongPtrA(covers[i], GCLP_HCURSOR)));
            EXPECT_EQ(MA_NOACTIVATE, SendMessageA(covers[i], WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(m_hWnd),
                                                  MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN)));
        }
        EXPECT_EQ(m_hWnd, GetActiveWindow()) << c.machine << ": the saver keeps the activation";
        EXPECT_FALSE(TakeCloseRequest()) << c.machine;
        DestroyWindow(m_hWnd);
        for (HWND cover : covers)
            EXPECT_FALSE(IsWindow(cover)) << c.machine << ": a cover outlived the saver";
    }

    // The monitors change while it runs: covered anew, the old covers gone.
    std::vector<RECT> machine = { primary, right };
    g_monitors = &machine;
    g_primary = 0;
    Restart(kFakeMonitors);
    const HWND before = WindowsBeside(m_hWnd).at(0);
    machine = { left, primary };
    g_primary = 1;
    Send(WM_DISPLAYCHANGE, 16, MAKELPARAM(W, H));
    std::vector<HWND> covers = WindowsBeside(m_hWnd);
    RECT r = {};
    EXPECT_TRUE(covers.size() == 1 && GetWindowRect(covers[0], &r) && EqualRect(&r, &left)) << covers.size();
    EXPECT_FALSE(IsWindow(before));
}

TEST_F(SaverInput, EachEndTellsTheDebuggerWhyOnceInputOnACoverIncluded)
{
    const std::vector<RECT> machine = { { 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN) },
                                        { -800, 0, 0, 600 } };
    g_monitors = &machine;
    g_primary = 0;
    auto move = [](HWND to, int x, int y) {
        SetCursorPos(x, y);
        SendMessageA(to, WM_MOUSEMOVE, 0, 0);
    };
    struct Case {
        const char* told;
        std::function<void(HWND saver, HWND cover)> act;
    };
    const Case cases[] = {
        // The first cause is the one told.
        { "key", [&](HWND s, HWND) { SendMessageA(s, WM_KEYDOWN, 'A', 0); move(s, 500, 300); move(s, 510, 300); } },
        { "button", [](HWND, HWND c) { SendMessageA(c, WM_MBUTTONDOWN, MK_MBUTTON, 0); } },
        { "monitor power-off request", [](HWND s, HWND) { SendMessageA(s, WM_SYSCOMMAND, SC_MONITORPOWER, 2); } },
        // Measured from where the pointer was first seen, on the cover too.
        { "mouse travel of 4 pixels", [&](HWND, HWND c) { move(c, 500, 300); move(c, 503, 300); move(c, 497, 301); } },
        { "deactivation after mouse travel of 15 pixels",
          [](HWND s, HWND) {
              SetCursorPos(200, 200);
              SendMessageA(s, WM_ACTIVATE, WA_INACTIVE, 0);
              SetCursorPos(210, 205);
              SendMessageA(s, WM_ACTIVATEAPP, FALSE, 0);
          } },
    };
    for (const Case& c : cases) {
        Restart(kFakeMonitors);
        std::vector<HWND> covers = WindowsBeside(m_hWnd);
        ASSERT_EQ(1u, covers.size());
        DebugOutputCapture debugger;
        c.act(m_hWnd, covers[0]);
        HandleQueued();
        EXPECT_FALSE(IsWindow(m_hWnd)) << c.told;
        EXPECT_EQ(std::vector<std::string>{ std::string("Skardel saver ended: ") + c.told + "\r\n" },
                  debugger.Lines());
    }

    // A start that fails says so, and covers nothing.
    DisplayPlatform noDirectX = RealDisplayPlatform();
    noDirectX.ProbeDirectXVersion = [](DWORD* version, DWORD* platform) {
        *version = 0;
        *platform = 2;
    };
    DebugOutputCapture debugger;
    CSaverWnd* failing = new CSaverWnd(noDirectX);
    EXPECT_FALSE(failing->CreateFullScreen(kFakeMonitors));
    EXPECT_EQ(std::vector<std::string>{ "Skardel saver ended: failed start\r\n" }, debugger.Lines());
    EXPECT_TRUE(WindowsBeside(nullptr).empty());
}
