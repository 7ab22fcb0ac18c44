#include "app/SaverWnd.h"

#include <cstdlib>

BOOL CSaverWnd::s_bHaveStartPos = FALSE;
POINT CSaverWnd::s_ptStart = { 0, 0 };

namespace {

// Pointer travel (across plus down) that still counts as resting.
const int kMovementAllowance = 3;

// How long after losing the activation the saver looks whether it has it
// back: the exclusive mode's set-up takes it away for a moment.
const UINT kForegroundGraceMs = 250;
const UINT_PTR kForegroundTimer = 2;  // the scene's host watch is 1

} // namespace

CSaverWnd::CSaverWnd(const DisplayPlatform& platform) : CSceneWnd(TRUE, platform)
{
}

CSaverWnd::~CSaverWnd() = default;

BOOL CSaverWnd::CreateFullScreen(const MonitorPlatform& monitors)
{
    int cy = GetSystemMetrics(SM_CYSCREEN);
    int cx = GetSystemMetrics(SM_CXSCREEN);
    RECT rect = { 0, 0, cx, cy };
    if (!Create(0, WS_POPUP | WS_VISIBLE, rect, nullptr))
        return FALSE;
    m_pMonitors = &monitors;
    CoverOtherMonitors();
    // Started while another program had the keyboard, the first key must
    // still reach the saver. The focus is given up first: it may be the
    // saver's already as far as Windows knows, and a focus that does not
    // change is never handed to the display (Wine's X11 driver moves the X
    // focus only on a change).
    ::SetForegroundWindow(m_hWnd);
    ::SetFocus(nullptr);
    ::SetFocus(m_hWnd);
    return TRUE;
}

// The scene and its exclusive display stay on the primary monitor; the
// others are covered anew whenever the monitors change.
void CSaverWnd::CoverOtherMonitors()
{
    for (HWND hCover : m_covers) {
        // A handle of a cover gone meanwhile may name another window now.
        if (::IsWindow(hCover) && ::GetWindow(hCover, GW_OWNER) == m_hWnd)
            ::DestroyWindow(hCover);
    }
    m_covers.clear();
    for (const RECT& monitor : OtherMonitors(*m_pMonitors)) {
        if (HWND hCover = CCoverWnd::Cover(monitor, this))
            m_covers.push_back(hCover);
    }
}

void CSaverWnd::CheckForeground()
{
    ::KillTimer(m_hWnd, kForegroundTimer);
    if (::GetForegroundWindow() != m_hWnd || ::IsIconic(m_hWnd))
        RequestClose(SceneEnd::LostForeground);
}

LRESULT CSaverWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_DESTROY:
        // Its own mode goes back as DirectDraw is released: no new covers.
        m_pMonitors = nullptr;
        PostQuitMessage(0);
        break;
    case WM_ACTIVATE:
    case WM_ACTIVATEAPP:
        if (wParam == 0) {
            CheckMovement(SceneEnd::Deactivation);
            ::SetTimer(m_hWnd, kForegroundTimer, kForegroundGraceMs, nullptr);
        }
        break;
    case WM_TIMER:
        if (wParam == kForegroundTimer) {
            CheckForeground();
            return 0;
        }
        break;
    case WM_DISPLAYCHANGE:
        if (m_pMonitors)
            CoverOtherMonitors();
        break;
    case WM_SETCURSOR:
        SetCursor(nullptr);
        break;
    case WM_NCACTIVATE:
        if (wParam == 0)
            return 0;
        break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        RequestClose(SceneEnd::Key);
        break;
    case WM_SYSCOMMAND:
        if (wParam == SC_SCREENSAVE || wParam == SC_CLOSE)
            return 0;
        if (wParam == SC_MONITORPOWER)
            RequestClose(SceneEnd::MonitorOff);
        break;
    case WM_MOUSEMOVE:
        CheckMovement(SceneEnd::MouseTravel);
        break;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        NudgePointer();
        RequestClose(SceneEnd::Button);
        break;
    }
    return CSceneWnd::WindowProc(message, wParam, lParam);
}

void CSaverWnd::CheckMovement(SceneEnd cause)
{
    POINT p;
    GetCursorPos(&p);
    if (!s_bHaveStartPos) {
        s_ptStart = p;
        s_bHaveStartPos = TRUE;
        return;
    }
    int d = abs(p.x - s_ptStart.x) + abs(p.y - s_ptStart.y);
    if (d > kMovementAllowance) {
        SendMessage(WM_COMMAND, ID_STOP_ANIMATION, 0);
        RequestClose(cause, d);
    }
}

// The pointer ends one pixel up and one right of where it was (one left in
// the bottom-right corner, where it cannot move right).
void CSaverWnd::NudgePointer()
{
    POINT p;
    GetCursorPos(&p);
    SetCursorPos(p.x + 1, p.y + 1);
    POINT q;
    GetCursorPos(&q);
    int nx = p.x + 1;
    if (q.x != p.x + 1 && q.y != p.y + 1)
        nx = p.x - 1;
    SetCursorPos(nx, p.y - 1);
}

void CSaverWnd::RequestClose(SceneEnd cause, int travel)
{
    NoteEnd(cause, travel);
    PostMessage(WM_CLOSE);
}
