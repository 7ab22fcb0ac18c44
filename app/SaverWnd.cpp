#include "app/SaverWnd.h"

#include <cstdlib>

BOOL CSaverWnd::s_bHaveStartPos = FALSE;
POINT CSaverWnd::s_ptStart = { 0, 0 };

namespace {

// Pointer travel (across plus down) that still counts as resting.
const int kMovementAllowance = 3;

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
    // The scene and its exclusive display stay on the primary monitor.
    for (const RECT& monitor : OtherMonitors(monitors))
        CCoverWnd::Cover(monitor, this);
    return TRUE;
}

LRESULT CSaverWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_DESTROY:
        PostQuitMessage(0);
        break;
    case WM_ACTIVATE:
    case WM_ACTIVATEAPP:
        if (wParam == 0)
            CheckMovement(SceneEnd::Deactivation);
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
