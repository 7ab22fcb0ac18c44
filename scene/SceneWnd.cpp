#include "scene/SceneWnd.h"

#include "core/Settings.h"
#include "display/DDCheck.h"
#include "display/DDUtil.h"
#include "framework/afxgdi.h"

#include <mmsystem.h>

#include <cstdlib>

namespace {

struct SaucerSheet {
    const char* name;
    int columns, rows;
};
// The saucer sheets, smallest first; the index is the saucer type.
const SaucerSheet kSaucerSheets[4] = {
    { "IDB_MARS1", 8, 1 }, { "IDB_MARS2", 8, 1 }, { "IDB_MARS3", 4, 2 }, { "IDB_MARS4", 4, 2 },
};

// Saucer types by one draw of 1 to 15: small ones most often (8 : 4 : 2 : 1).
int TypeFromDraw(int t)
{
    return t <= 8 ? 0 : t <= 12 ? 1 : t <= 14 ? 2 : 3;
}

const UINT kStopWaitMs = 500;
// The whole stop, waits for a frame in progress included.
const UINT kStopLimitMs = 2000;
// Room for the frame-rate text in its picture.
const int kFpsImageWidth = 160;
const int kFpsImageHeight = 32;
// How often the preview looks whether its host's window is still there.
const UINT_PTR kHostWatchTimer = 1;
const UINT kHostWatchMs = 100;

} // namespace

namespace {

const char* CauseText(SceneEnd cause)
{
    switch (cause) {
    case SceneEnd::Key: return "key";
    case SceneEnd::Button: return "button";
    case SceneEnd::MouseTravel: return "mouse travel";
    case SceneEnd::Deactivation:
    case SceneEnd::LostForeground: return "deactivation";
    case SceneEnd::MonitorOff: return "monitor power-off request";
    case SceneEnd::HostGone: return "host window gone";
    case SceneEnd::FailedStart: return "failed start";
    case SceneEnd::PasswordGiven: return "password given";
    case SceneEnd::None:
    case SceneEnd::Close: break;
    }
    return "close";
}

} // namespace

void TellSceneEnd(BOOL bPreview, SceneEnd cause, int travel, const char* note)
{
    // Told from the window's destruction: nothing here may throw (no
    // allocation), or the teardown after it would be skipped.
    char line[256], travelled[64] = "";
    const char* mode = bPreview ? "preview" : "saver";
    if (cause == SceneEnd::MouseTravel || cause == SceneEnd::Deactivation)
        snprintf(travelled, sizeof travelled, "%s of %d pixels",
                 cause == SceneEnd::Deactivation ? " after mouse travel" : "", travel);
    snprintf(line, sizeof line, "Skardel %s ended: %s%s%s%s%s\r\n", mode, CauseText(cause), travelled,
             note ? " (" : "", note ? note : "", note ? ")" : "");
    OutputDebugStringA(line);
}

BEGIN_MESSAGE_MAP(CSceneWnd, CSpriteWnd)
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_WM_TIMER()
    ON_COMMAND(ID_STOP_ANIMATION, OnStopAnimation)
END_MESSAGE_MAP()

CSceneWnd::CSceneWnd(BOOL bAutoDelete, const DisplayPlatform& platform)
    : CSpriteWnd(bAutoDelete, platform), m_nTimerPeriod(0), m_pGroups(nullptr), m_nGroups(0), m_dwFpsStart(0),
      m_nFps(0), m_nFpsFrames(0), m_bFpsCounting(FALSE), m_bRunning(FALSE), m_bShowFps(0),
      m_bStopRequested(FALSE), m_bThreadStarted(FALSE), m_pThread(nullptr)
{
    srand(GetTickCount());
}

CSceneWnd::~CSceneWnd()
{
    delete[] m_pGroups;
    // A thread that outlived its wait still reads its object when it ends.
    if (m_pThread && WaitForSingleObject(m_pThread->m_hThread, 0) == WAIT_OBJECT_0)
        delete m_pThread;
}

int CSceneWnd::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    m_hWndHost = lpCreateStruct->hwndParent;
    int result = CDisplayWnd::OnCreate(lpCreateStruct);
    m_bStarted = (result != -1);
    if (result == -1 || ReadSaverSetting(Setting::AlwaysLog) != 0)
        m_log.Save();
    return result;
}

BOOL CSceneWnd::OnDisplayCreated(LPCREATESTRUCT)
{
    if (InitScene() < 0)
        return FALSE;
    // The host's window may go at any moment, even before this one was
    // linked to it, and then nothing would destroy this one: it looks.
    if (m_hWndHost) {
        if (!::IsWindow(m_hWndHost))
            return FALSE;
        ::SetTimer(m_hWnd, kHostWatchTimer, kHostWatchMs, nullptr);
    }
    return TRUE;
}

void CSceneWnd::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent == kHostWatchTimer && (!::IsWindow(m_hWndHost) || ::GetParent(m_hWnd) != m_hWndHost))
        DestroyWindow();
}

int CSceneWnd::InitScene()
{
    m_log.Write("Main Application initialisation...");
    theDisplayWnd = this;
    RECT window;
    GetWindowRect(&window);
    const int W = window.right - window.left, H = window.bottom - window.top;
    SetActive(FALSE);

    if (ScreenDepth() < 16 && !InitPalette())
        return -1;
    if (!InitBackground(W, H))
        return -1;
    if (!InitSaucers(W))
        return -1;

    SetActive(TRUE);
    UINT speed = ReadSaverSetting(Setting::Speed);
    const UINT minSpeed = static_cast<UINT>(SpecOf(Setting::Speed).saverMin);
    m_nTimerPeriod = speed < minSpeed ? minSpeed : speed;
    m_log.WriteValue("Timer period", static_cast<int>(m_nTimerPeriod));
    if (!StartThread()) {
        m_log.Write("Failed to start the animation thread");
        return -1;
    }
    m_bShowFps = ReadSaverSetting(Setting::Fps);
    m_bRunning = TRUE;
    m_log.Write("Finished Main Application initialisation");
    return 0;
}

BOOL CSceneWnd::InitPalette()
{
    CComPtr<IDirectDrawPalette> palette = DDLoadPalette2(DirectDraw(), "IDB_MARS4");
    if (!palette) {
        m_log.Write("Failed to load palette");
        return FALSE;
    }
    return DDCheck(m_log, SetDisplayPalette(std::move(palette)), "SetPalette failed - code");
}

BOOL CSceneWnd::InitBackground(int W, int H)
{
    RECT all = { 0, 0, W, H };
    if (!DDCheck(m_log, FillSurface(Background(), all, 0), "Failed to clear background surface - code")) {
        CString line;
        line.Format("Rect = %d,%d - (%d, %d)", 0, 0, W, H);
        m_log.Write(line);
        return FALSE;
    }

    if (!m_starImage.Load(DirectDraw(), "IDB_STARS"))
        return FALSE;
    m_starImage.SetFrameGrid(3, 1);
    UINT stars = ReadSaverSetting(Setting::Stars);
    const UINT maxStars = static_cast<UINT>(SpecOf(Setting::Stars).saverMax);
    if (stars > maxStars)
        stars = maxStars;
    if (IsWindowed())
        stars /= 5;
    // Kept, so that a background lost with its surface is stamped again alike.
    m_stars.resize(stars);
    for (StarPlace& star : m_stars) {
        star.y = RandomRange(0, H);
        star.x = RandomRange(0, W);
        star.frame = RandomRange(0, 2);
        m_starImage.DrawFrame(Background(), star.x, star.y, star.frame);
    }

    if (!IsWindowed()) {
        if (!DDCheck(m_log, Primary()->Blt(&all, Background(), &all, DDBLT_WAIT, nullptr),
                     "Error blitting background to primary - code"))
            return FALSE;
        ShowWaitingText();
    }
    return TRUE;
}

BOOL CSceneWnd::LoadSaucerSheet(int type)
{
    if (!m_saucerImages[type].Load(DirectDraw(), kSaucerSheets[type].name))
        return FALSE;
    m_saucerImages[type].SetFrameGrid(kSaucerSheets[type].columns, kSaucerSheets[type].rows);
    return TRUE;
}

POINT CSceneWnd::DrawGroupStart(int type, int W)
{
    const int fw = m_saucerImages[type].m_nFrameWidth, fh = m_saucerImages[type].m_nFrameHeight;
    int r = RandomRange(0, 6);
    int c = RandomRange(0, W / (8 * fw));
    return { c * 8 * fw, r * 6 * fh };
}

BOOL CSceneWnd::InitSaucers(int W)
{
    if (IsWindowed()) {
        m_log.Write("Creating sprites for windowed mode");
        if (!LoadSaucerSheet(0))
            return FALSE;
        m_pGroups = new CSaucerGroup[1];
        m_nGroups = 1;
        POINT start = DrawGroupStart(0, W);
        m_pGroups[0].Create(0, &m_saucerImages[0], start.x, start.y, &m_sprites);
        return TRUE;
    }
    m_log.Write("No Parent window - loading bitmaps");
    for (int k = 0; k < 4; ++k) {
        if (!LoadSaucerSheet(k))
            return FALSE;
    }
    int count = static_cast<int>(ReadSaverSetting(Setting::Count));
    if (count > SpecOf(Setting::Count).saverMax)
        count = SpecOf(Setting::Count).saverMax;
    if (count > 0) {
        m_pGroups = new CSaucerGroup[count];
        m_nGroups = count;
    }
    for (int i = 0; i < count; ++i) {
        m_log.WriteValue("Creating saucer group", i);
        // A place is drawn for every type before the type itself.
        POINT start[4];
        for (int k = 0; k < 4; ++k)
            start[k] = DrawGroupStart(k, W);
        int type = TypeFromDraw(RandomRange(1, 15));
        m_pGroups[i].Create(type, &m_saucerImages[type], start[type].x, start[type].y, &m_sprites);
    }
    return TRUE;
}

BOOL CSceneWnd::OnSurfacesRestored()
{
    for (CSpriteImage& image : m_saucerImages) {
        if (!image.Restore())
            return FALSE;
    }
    if (!m_starImage.Restore())
        return FALSE;
    RECT window;
    GetWindowRect(&window);
    RECT all = { 0, 0, window.right - window.left, window.bottom - window.top };
    if (FAILED(FillSurface(Background(), all, 0)))
        return FALSE;
    for (const StarPlace& star : m_stars)
        m_starImage.DrawFrame(Background(), star.x, star.y, star.frame);
    return TRUE;
}

void CSceneWnd::ShowWaitingText()
{
    CSurfaceDC dc(Primary());
    if (!dc)
        return;
    static const char kText[] = "Skardel coming - please wait...";
    SetBkColor(dc, RGB(0, 0, 0));
    SetTextColor(dc, RGB(196, 0, 0));
    SIZE size = {};
    GetTextExtentPoint32A(dc, kText, sizeof kText - 1, &size);
    TextOutA(dc, (ScreenWidth() - size.cx) / 2, (ScreenHeight() - size.cy) / 2, kText, sizeof kText - 1);
}

BOOL CSceneWnd::StartThread()
{
    m_pControl = std::make_shared<CAnimationControl>();
    m_pControl->pScene = this;
    // The thread's share, which it lets go when it ends.
    std::unique_ptr<std::shared_ptr<CAnimationControl>> share(new std::shared_ptr<CAnimationControl>(m_pControl));
    // Started suspended so that its handle stays valid for the stop's wait.
    m_pThread = AfxBeginThread(AnimationThreadProc, share.get(), THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    if (!m_pThread)
        return FALSE;
    share.release();
    m_pThread->m_bAutoDelete = FALSE;
    m_bThreadStarted = TRUE;
    m_pThread->ResumeThread();
    return TRUE;
}

UINT CSceneWnd::AnimationThreadProc(LPVOID pParam)
{
    std::unique_ptr<std::shared_ptr<CAnimationControl>> share(static_cast<std::shared_ptr<CAnimationControl>*>(pParam));
    CAnimationControl* control = share->get();
    return control->pScene->RunAnimation(control);
}

// The scene is touched only under the control's lock with no stop made: a
// scene that has stopped may already be gone.
UINT CSceneWnd::RunAnimation(CAnimationControl* control)
{
    DWORD (WINAPI* clock)() = nullptr;
    UINT period = 0;
    {
        CSingleLock lock(control->lock);
        if (control->bStop || m_bStopRequested)
            return 0;
        clock = Platform().timeGetTime;
        period = m_nTimerPeriod;
    }
    for (;;) {
        DWORD t0 = clock();
        // Busy pacing on the millisecond clock: a sleep would wake on the
        // system's 10 to 16 ms tick, too coarse for periods of 10 to 30 ms.
        // A stop also ends the wait, so that any period still ends the saver
        // at once.
        while (clock() - t0 < period) {
            if (control->bStop)
                return 0;
        }
        CSingleLock lock(control->lock);
        if (control->bStop)
            return 0;
        RenderFrame();
        if (m_bStopRequested)
            return 0;
    }
}

void CSceneWnd::MoveSaucers()
{
    RECT area;
    GetWindowRect(&area);
    ScreenToClient(&area);
    for (int i = 0; i < m_nGroups; ++i)
        m_pGroups[i].Update(area);
}

void CSceneWnd::RenderFrame()
{
    if (!m_bRunning)
        return;
    // A paint of the window meanwhile must not draw a saucer half moved.
    CSingleLock composing(CompositionLock());
    MoveSaucers();
    RedrawDisplay();

    if (!m_bFpsCounting) {
        m_bFpsCounting = TRUE;
        m_nFpsFrames = 0;
        m_dwFpsStart = Platform().timeGetTime();
    }
    ++m_nFpsFrames;
    if (Platform().timeGetTime() - m_dwFpsStart >= 1000) {
        m_bFpsCounting = FALSE;
        m_nFps = m_nFpsFrames;
    }

}

void CSceneWnd::ComposeOverlay()
{
    // Full screen only, and only when the lowest bit of "Fps" asks for it.
    if (IsWindowed() || !(m_bShowFps & 1))
        return;
    const int fps = m_nFps;
    if (!m_pFpsImage || fps != m_nFpsDrawn || m_pFpsImage->IsLost() == DDERR_SURFACELOST) {
        if (!DrawFpsImage(fps))
            return;
    }
    RECT source = { 0, 0, m_sizeFpsText.cx, m_sizeFpsText.cy };
    Work()->Blt(&source, m_pFpsImage, &source, DDBLT_WAIT, nullptr);
}

BOOL CSceneWnd::DrawFpsImage(int fps)
{
    if (!m_pFpsImage) {
        // Tried once: a failure is logged once, not every frame.
        if (m_bFpsImageFailed)
            return FALSE;
        m_pFpsImage = CreateOffscreenSurface(kFpsImageWidth, kFpsImageHeight, DDSCAPS_OFFSCREENPLAIN);
        if (!m_pFpsImage) {
            m_bFpsImageFailed = TRUE;
            return FALSE;
        }
    } else if (m_pFpsImage->IsLost() == DDERR_SURFACELOST && FAILED(m_pFpsImage->Restore())) {
        return FALSE;
    }
    CSurfaceDC dc(m_pFpsImage.Get());
    if (!dc)
        return FALSE;
    char text[32];
    int n = wsprintfA(text, "FPS: %d", fps);
    // Dim grey, so that it does not draw the eye from the saucers, on the
    // sky's own black, so that the copy into each frame shows no box.
    SetBkColor(dc, RGB(0, 0, 0));
    SetTextColor(dc, RGB(96, 96, 96));
    GetTextExtentPoint32A(dc, text, n, &m_sizeFpsText);
    if (m_sizeFpsText.cx > kFpsImageWidth)
        m_sizeFpsText.cx = kFpsImageWidth;
    if (m_sizeFpsText.cy > kFpsImageHeight)
        m_sizeFpsText.cy = kFpsImageHeight;
    TextOutA(dc, 0, 0, text, n);
    m_nFpsDrawn = fps;
    return TRUE;
}

namespace {

// Handles messages other threads send to this one (DirectDraw on the
// animation thread may need some to finish a frame), nothing else.
void ProcessSentMessages()
{
    MSG msg;
    // Any look at the queue answers the messages sent to it first; the
    // PM_QS_ filters are not there before Windows 98 and 2000.
    PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);
}

} // namespace

// Stopping the animation thread, from the window's thread.
//
// The thread holds the control's frame lock for each whole frame, and a frame
// runs inside DirectDraw, which may send messages to this thread's windows
// (the primary's window, its palette, a mode change) and wait for the answer.
// A plain wait here for the thread, or for the lock, would then deadlock:
// this thread waits for the frame, the frame for this thread. So both waits
// answer sent messages while they wait, and nothing else (posted input stays
// queued for the message loop).
//
// First up to 500 ms for the thread to end by itself: it sees the stop flag
// at its next look. If it has not (a frame is slow), the frame lock is
// polled until two seconds from the start:
// once it is taken, the thread is between frames and will see the stop
// before it touches the scene again, so the scene may go. A frame stuck for
// good inside DirectDraw never lets it go: everything it may still touch is
// then left until the process ends rather than freed under it, and the log
// says so.
void CSceneWnd::StopAnimation()
{
    m_bRunning = FALSE;
    m_bStopRequested = TRUE;
    if (m_pControl)
        m_pControl->bStop = TRUE;
    const DWORD start = GetTickCount();
    if (m_bThreadStarted && m_pThread) {
        for (;;) {
            DWORD elapsed = GetTickCount() - start;
            if (elapsed >= kStopWaitMs)
                break;
            DWORD r = MsgWaitForMultipleObjects(1, &m_pThread->m_hThread, FALSE, kStopWaitMs - elapsed,
                                                QS_SENDMESSAGE);
            if (r != WAIT_OBJECT_0 + 1)
                break;
            ProcessSentMessages();
        }
    }
    if (!m_pControl)
        return;
    // A thread still inside a frame finishes it; at its next look it sees
    // the stop and never touches this scene again.
    if (!TakeFrameLock(start)) {
        // A frame stuck for good: whatever it may still touch stays until
        // the process ends, rather than be freed under it.
        LeaveToThread();
        m_log.Write("Animation thread did not stop - its objects are left until the program ends");
        m_log.Save();
        return;
    }
    m_pControl->lock.Unlock();
}

// The frame lock, taken between two frames of the thread; FALSE when the
// frame running has not ended by the stop's limit from start.
BOOL CSceneWnd::TakeFrameLock(DWORD start)
{
    while (!m_pControl->lock.TryLock()) {
        if (GetTickCount() - start >= kStopLimitMs)
            return FALSE;
        ProcessSentMessages();
        Sleep(1);
    }
    return TRUE;
}

BOOL CSceneWnd::PauseAnimation()
{
    return m_pControl && TakeFrameLock(GetTickCount());
}

void CSceneWnd::ResumeAnimation()
{
    m_pControl->lock.Unlock();
}

void CSceneWnd::OnStopAnimation()
{
    StopAnimation();
}

void CSceneWnd::NoteEnd(SceneEnd cause, int travel, const char* note)
{
    if (m_end != SceneEnd::None)
        return;
    m_end = cause;
    m_nEndTravel = travel;
    m_pszEndNote = note;
}

void CSceneWnd::OnDestroy()
{
    // A failed creation is torn down through here too, once it has returned.
    // A creation that did not end well (failed, or left by an exception)
    // is a failed start, whatever else was noted.
    if (!m_bStarted)
        m_end = SceneEnd::FailedStart;
    NoteEnd(m_hWndHost ? SceneEnd::HostGone : SceneEnd::Close);
    TellSceneEnd(m_hWndHost != nullptr, m_end, m_nEndTravel, m_pszEndNote);
    CDisplayWnd::OnDestroy();
}

void CSceneWnd::OnDisplayClosing()
{
    StopAnimation();
    ReleaseFpsImage();
}

void CSceneWnd::ReleaseFpsImage()
{
    // Made on a thread that may still be drawing when it did not stop.
    if (IsLeftToThread())
        m_pFpsImage.Detach();
    else
        m_pFpsImage.Release();
}
