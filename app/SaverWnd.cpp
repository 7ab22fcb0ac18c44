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

// Posted for the password's dialog, which then opens from the message loop
// rather than inside the handler of the input (a deactivation among them);
// wParam: the cause, lParam: the travel.
const UINT kAskPassword = WM_APP;

} // namespace

CSaverWnd::CSaverWnd(const DisplayPlatform& platform, const PasswordPlatform& password)
    : CSceneWnd(TRUE, platform), m_password(password)
{
}

CSaverWnd::~CSaverWnd() = default;

BOOL CSaverWnd::CreateFullScreen(const MonitorPlatform& monitors)
{
    int cy = GetSystemMetrics(SM_CYSCREEN);
    int cx = GetSystemMetrics(SM_CXSCREEN);
    RECT rect = { 0, 0, cx, cy };
    // Known before any input can come.
    m_bProtected = SaverAsksForPassword(m_password);
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
    if (m_bProtected)
        TellSystemRunning(TRUE);
    return TRUE;
}

// While it is on, Windows 95, 98 and Me let neither Ctrl+Alt+Del nor
// Alt+Tab past the saver.
void CSaverWnd::TellSystemRunning(BOOL bRunning)
{
    BOOL previous = FALSE;
    ::SystemParametersInfoA(SPI_SETSCREENSAVERRUNNING, bRunning, &previous, 0);
    m_bToldRunning = bRunning;
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
    if (m_bAsking || (::GetForegroundWindow() == m_hWnd && !::IsIconic(m_hWnd)))
        return;
    // A protected saver ends only through its password: it takes the screen
    // back, and asks where the system will not let it.
    if (m_bProtected) {
        if (::IsIconic(m_hWnd))
            ::ShowWindow(m_hWnd, SW_RESTORE);
        if (::SetForegroundWindow(m_hWnd))
            return;
    }
    RequestClose(SceneEnd::LostForeground);
}

LRESULT CSaverWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_DESTROY:
        // Its own mode goes back as DirectDraw is released: no new covers.
        m_pMonitors = nullptr;
        if (m_bToldRunning)
            TellSystemRunning(FALSE);
        PostQuitMessage(0);
        break;
    case WM_CLOSE:
        // Only the password ends a protected saver, whoever asks it to close.
        if (m_bProtected && !m_bMayClose)
            return 0;
        break;
    case WM_ACTIVATE:
    case WM_ACTIVATEAPP:
        // The password's dialog takes the activation: nothing to end.
        if (wParam == 0 && !m_bAsking) {
            CheckMovement(SceneEnd::Deactivation);
            ::SetTimer(m_hWnd, kForegroundTimer, kForegroundGraceMs, nullptr);
        }
        break;
    case kAskPassword:
        AskPassword(static_cast<SceneEnd>(wParam), static_cast<int>(lParam));
        return 0;
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
        // The dialog asking for the password needs a pointer.
        if (m_bAsking) {
            ::SetCursor(::LoadCursor(nullptr, IDC_ARROW));
            return TRUE;
        }
        SetCursor(nullptr);
        break;
    case WM_NCACTIVATE:
        // Shown inactive only under that dialog, which may otherwise never
        // get the keyboard.
        if (wParam == 0 && !m_bAsking)
            return 0;
        break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        RequestClose(SceneEnd::Key);
        break;
    case WM_SYSCOMMAND:
        if (wParam == SC_SCREENSAVE || wParam == SC_CLOSE)
            return 0;
        // A protected saver lets the monitor go dark, and runs on.
        if (wParam == SC_MONITORPOWER && !m_bProtected)
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
        // A protected saver holds the animation while it asks.
        if (!m_bProtected)
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
    if (m_bProtected && !m_bMayClose) {
        // Input while the dialog is up, or about to be, is the dialog's.
        if (!m_bAsking)
            PostMessage(kAskPassword, static_cast<WPARAM>(cause), travel);
        m_bAsking = TRUE;
        return;
    }
    NoteEnd(cause, travel);
    PostMessage(WM_CLOSE);
}

void CSaverWnd::AskPassword(SceneEnd cause, int travel)
{
    const BOOL paused = PauseAnimation();
    SetActive(FALSE);
    ShowGdiSurface();
    ::SetCursor(::LoadCursor(nullptr, IDC_ARROW));
    const char* why = nullptr;
    const PasswordCheck check = m_password.Verify(m_hWnd, &why);
    m_bAsking = FALSE;
    if (check == PasswordCheck::Refused) {
        // The scene goes on; pointer travel counts from where the pointer is
        // now, not from where it was before the dialog.
        ::SetCursor(nullptr);
        ::GetCursorPos(&s_ptStart);
        s_bHaveStartPos = TRUE;
        ::SetForegroundWindow(m_hWnd);
        SetActive(TRUE);
    } else {
        // Given, or no way to ask: the system's own screen savers end too.
        m_bMayClose = TRUE;
        if (check == PasswordCheck::Given)
            NoteEnd(SceneEnd::PasswordGiven);
        else
            NoteEnd(cause, travel, why);
        PostMessage(WM_CLOSE);
    }
    // Let go in either case: the window's destruction stops the thread.
    if (paused)
        ResumeAnimation();
}
