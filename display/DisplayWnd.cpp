#include "display/DisplayWnd.h"

#include "core/Settings.h"
#include "core/VersionInfo.h"
#include "display/DDCheck.h"
#include "display/DDUtil.h"
#include "display/DirectXProbe.h"
#include "display/DisplayPlatform.h"
#include "framework/afxgdi.h"
#include "res/resource.h"

#include <mmsystem.h>

#include <vector>

CDisplayWnd* theDisplayWnd = nullptr;

const DisplayPlatform& RealDisplayPlatform()
{
    static const DisplayPlatform real = { DDCreate, ProbeDirectXVersion, ::CreateRectRgnIndirect, ::timeGetTime };
    return real;
}

namespace {

// Registered once per process; whichever mode runs first fixes it.
CString s_className;

// An object just made (made is the result of making it) asked for its newer
// interface; either failure is logged in its own words.
template <class Old, class New>
BOOL QueryNewer(CLogFile& log, HRESULT made, CComPtr<Old>& object, REFIID riid, CComPtr<New>& newer,
                const char* makeFailed, const char* queryFailed)
{
    if (!DDCheck(log, made, makeFailed)) {
        object.Detach();  // a failed call hands out nothing
        return FALSE;
    }
    if (!DDCheck(log, object.QueryInterface(riid, newer), queryFailed)) {
        newer.Detach();
        return FALSE;
    }
    return TRUE;
}

} // namespace

BEGIN_MESSAGE_MAP(CDisplayWnd, CWnd)
    ON_WM_PAINT()
    ON_WM_CREATE()
    ON_WM_DESTROY()
END_MESSAGE_MAP()

CDisplayWnd::CDisplayWnd(BOOL bAutoDelete, const DisplayPlatform& platform)
    : m_platform(platform), m_pDirectDraw(nullptr), m_pPrimary(nullptr), m_pWork(nullptr), m_pBackground(nullptr),
      m_pPalette(nullptr), m_pClipper(nullptr), m_bWindowed(FALSE), m_nScreenWidth(0),
      m_nScreenHeight(0), m_nScreenDepth(0), m_bActive(FALSE), m_bAutoDelete(bAutoDelete)
{
}

CDisplayWnd::~CDisplayWnd() = default;

BOOL CDisplayWnd::Create(DWORD dwExStyle, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd)
{
    HWND hParent = nullptr;
    if (pParentWnd) {
        if (s_className.IsEmpty())
            s_className = AfxRegisterWndClass(CS_HREDRAW | CS_VREDRAW);
        hParent = pParentWnd->GetSafeHwnd();
    } else if (s_className.IsEmpty()) {
        // The saver hides the pointer with a cursor whose pixels are all
        // transparent.
        HCURSOR hCursor = LoadCursorA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(IDC_TRANSPARENT));
        s_className = AfxRegisterWndClass(CS_HREDRAW | CS_VREDRAW, hCursor);
    }
    return CreateEx(dwExStyle, s_className, "", dwStyle, rect.left, rect.top, rect.right - rect.left,
                    rect.bottom - rect.top, hParent, nullptr, nullptr);
}

int CDisplayWnd::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    // Cleared however the creation ends: after an exception thrown in it,
    // the destruction that follows releases everything.
    struct ClearOnExit {
        BOOL& flag;
        ~ClearOnExit() { flag = FALSE; }
    } creating{ m_bCreating };
    m_bCreating = TRUE;
    int result = -1;
    try {
        result = CreateDisplay(lpCreateStruct);
        if (result != -1 && !OnDisplayCreated(lpCreateStruct))
            result = -1;
    } catch (...) {
        // Destroyed meanwhile, the window has no destruction left to come.
        if (m_bDestroyedWhileCreating) {
            OnDisplayClosing();
            ReleaseDisplay();
        }
        throw;
    }
    if (!m_bDestroyedWhileCreating)
        return result;
    // The window went while it was being made (its parent was destroyed):
    // what the set-up made is released now that nothing uses it.
    OnDisplayClosing();
    m_log.Write("Window destroyed during initialisation");
    ReleaseDisplay();
    return -1;
}

int CDisplayWnd::CreateDisplay(LPCREATESTRUCT lpCreateStruct)
{
    UINT append = ReadSaverSetting(Setting::AppendLog);
    m_log.Open(append != 0, "");

    // A version that cannot be read is no reason not to start: it shows
    // empty, and the log is kept at once for someone to see why.
    CString version;
    bool versionRead = true;
    try {
        CVersionInfo info(AfxGetInstanceHandle());
        info.GetString("ProductVersion", version);
    } catch (const CException&) {
        versionRead = false;
    }
    m_log.WriteText("Program Version", version);
    if (!versionRead) {
        m_log.Write("Failed to read the version information");
        m_log.Save();
    }
    m_log.Write("Creating main window");

    if (CWnd::OnCreate(lpCreateStruct) == -1) {
        m_log.Write("Failed to create main window");
        m_log.Save();
        return -1;
    }

    if (::GetParent(m_hWnd))
        m_bWindowed = TRUE;

    m_log.Write("Starting DirectDraw Initialisation...");
    if (InitDirectDraw(m_bWindowed)) {
        m_log.Write("Finished DirectDraw Initialisation");
        return 0;
    }
    m_log.Write("DirectDraw Initialisation failed! Aborting application");
    m_log.Save();
    return -1;
}

BOOL CDisplayWnd::InitDirectDraw(BOOL bWindowed)
{
    RECT rect;
    GetWindowRect(&rect);

    if (!CreateDirectDraw())
        return FALSE;
    LogHardware();

    if (!(bWindowed ? InitPreviewSurfaces() : InitSaverSurfaces()))
        return FALSE;

    m_pBackground = CreateOffscreenSurface(rect.right - rect.left, rect.bottom - rect.top,
                                           DDSCAPS_OFFSCREENPLAIN);
    if (!m_pBackground)
        return FALSE;

    if (!DDCheck(m_log, m_pDirectDraw->CreateClipper(0, &m_pClipper, nullptr), "Primary CreateClipper failed - code")) {
        m_pClipper.Detach();  // a failed call leaves nothing to give back
        return FALSE;
    }
    return InitClipper(rect);
}

BOOL CDisplayWnd::CreateDirectDraw()
{
    DWORD version = 0, platform = 0;
    m_platform.ProbeDirectXVersion(&version, &platform);
    CString line;
    line.Format("Direct Draw version %04x", static_cast<unsigned>(version));
    m_log.Write(line);
    m_log.WriteText("Platform", platform == 1 ? "Windows 9x" : platform == 2 ? "Windows NT" : "Unknown");
    if (version < 0x500)
        return FALSE;

    CComPtr<IDirectDraw> pDD;
    HRESULT hr = m_platform.DirectDrawCreate(nullptr, &pDD, nullptr);
    return QueryNewer(m_log, hr, pDD, IID_IDirectDraw2, m_pDirectDraw, "Main DirectDrawCreate failed - code",
                      "main QueryInterface failed - code");
}

void CDisplayWnd::LogHardware()
{
    DDCAPS caps = {};
    caps.dwSize = sizeof caps;
    m_pDirectDraw->GetCaps(&caps, nullptr);
    m_log.WriteValue("Hardware Caps - Total video memory", static_cast<int>(caps.dwVidMemTotal));
    m_log.WriteValue("Hardware Caps - Free video memory", static_cast<int>(caps.dwVidMemFree));
    m_log.WriteText("Hardware Caps - Wide Surfaces",
                    (caps.dwCaps2 & DDCAPS2_WIDESURFACES) ? "Supported" : "Not Supported");

    DDSURFACEDESC mode = {};
    mode.dwSize = sizeof mode;
    m_pDirectDraw->GetDisplayMode(&mode);
    m_nScreenWidth = static_cast<int>(mode.dwWidth);
    m_nScreenHeight = static_cast<int>(mode.dwHeight);
    m_nScreenDepth = static_cast<int>(mode.ddpfPixelFormat.dwRGBBitCount);
    CString line;
    line.Format("%d x %d x %d", m_nScreenWidth, m_nScreenHeight, m_nScreenDepth);
    m_log.WriteText("Hardware Caps - Screen Resolution", line);
}

BOOL CDisplayWnd::InitPreviewSurfaces()
{
    if (!DDCheck(m_log, m_pDirectDraw->SetCooperativeLevel(m_hWnd, DDSCL_NORMAL), "SetCooperativeLevel failed - code"))
        return FALSE;
    DDSURFACEDESC desc = {};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS;
    desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
    if (!CreatePrimary(desc))
        return FALSE;
    // The frame is composed screen-sized and copied onto the window's part.
    m_pWork = CreateOffscreenSurface(m_nScreenWidth, m_nScreenHeight, DDSCAPS_OFFSCREENPLAIN);
    return m_pWork != nullptr;
}

BOOL CDisplayWnd::InitSaverSurfaces()
{
    const DWORD level = DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN | DDSCL_ALLOWREBOOT | DDSCL_NOWINDOWCHANGES;
    if (!DDCheck(m_log, m_pDirectDraw->SetCooperativeLevel(m_hWnd, level), "Primary SetCooperativeLevel failed - code"))
        return FALSE;
    // Deeper desktops run at 16 bits; 16 or fewer keep their mode.
    if (m_nScreenDepth > 16 &&
        !DDCheck(m_log, m_pDirectDraw->SetDisplayMode(m_nScreenWidth, m_nScreenHeight, 16, 0, 0),
                 "SetDisplayMode failed - code"))
        return FALSE;
    DDSURFACEDESC desc = {};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
    desc.dwBackBufferCount = 1;
    desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX;
    if (!CreatePrimary(desc))
        return FALSE;
    DDSCAPS caps = {};
    caps.dwCaps = DDSCAPS_BACKBUFFER;
    if (!DDCheck(m_log, m_pPrimary->GetAttachedSurface(&caps, &m_pWork), "GetAttachedSurface failed - code")) {
        m_pWork.Detach();
        return FALSE;
    }
    return TRUE;
}

BOOL CDisplayWnd::CreatePrimary(DDSURFACEDESC& desc)
{
    CComPtr<IDirectDrawSurface> pSurface;
    HRESULT hr = m_pDirectDraw->CreateSurface(&desc, &pSurface, nullptr);
    return QueryNewer(m_log, hr, pSurface, IID_IDirectDrawSurface3, m_pPrimary, "Primary CreateSurface failed - code",
                      "Primary QueryInterface failed - code");
}

BOOL CDisplayWnd::InitClipper(const RECT& windowRect)
{
    RECT client = windowRect;
    ScreenToClient(&client);
    CRgn region;
    region.Attach(m_platform.CreateRectRgnIndirect(&client));
    DWORD size = region ? GetRegionData(region, 0, nullptr) : 0;
    std::vector<BYTE> data(size);
    // Without a region every blit would fail while the set-up said it worked.
    if (!size || GetRegionData(region, size, reinterpret_cast<RGNDATA*>(data.data())) != size) {
        m_log.Write("Failed to create the clip region");
        return FALSE;
    }
    return DDCheck(m_log, m_pClipper->SetClipList(reinterpret_cast<RGNDATA*>(data.data()), 0),
                   "clipper SetClipList failed - code") &&
           DDCheck(m_log, m_pWork->SetClipper(m_pClipper), "work SetClipper failed - code") &&
           DDCheck(m_log, m_pBackground->SetClipper(m_pClipper), "background SetClipper failed - code");
}

CComPtr<IDirectDrawSurface3> CDisplayWnd::CreateOffscreenSurface(int width, int height, DWORD caps)
{
    DDSURFACEDESC desc = {};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH;
    desc.dwWidth = static_cast<DWORD>(width);
    desc.dwHeight = static_cast<DWORD>(height);
    desc.ddsCaps.dwCaps = caps;
    CComPtr<IDirectDrawSurface> pSurface;
    HRESULT hr = m_pDirectDraw->CreateSurface(&desc, &pSurface, nullptr);
    if (SUCCEEDED(hr))
        pSurface->Restore();
    CComPtr<IDirectDrawSurface3> pSurface3;
    QueryNewer(m_log, hr, pSurface, IID_IDirectDrawSurface3, pSurface3, " CreateSurface failed - code",
               " QueryInterface failed - code");
    return pSurface3;
}

void CDisplayWnd::OnDestroy()
{
    // Destroyed from inside its own creation: the set-up still running uses
    // everything, so the release waits for the creation to end.
    if (m_bCreating) {
        m_bDestroyedWhileCreating = TRUE;
    } else {
        OnDisplayClosing();
        ReleaseDisplay();
    }
    CWnd::OnDestroy();
}

HRESULT CDisplayWnd::SetDisplayPalette(CComPtr<IDirectDrawPalette> palette)
{
    m_pPalette = std::move(palette);
    return m_pPrimary->SetPalette(m_pPalette);
}

void CDisplayWnd::ReleaseDisplay()
{
    m_bActive = FALSE;
    if (m_bLeftToThread) {
        // A frame already running holds its own pointer to this window.
        if (theDisplayWnd == this)
            theDisplayWnd = nullptr;
        return;
    }
    {
        // A frame being composed on another thread finishes first.
        CSingleLock lock(m_composeLock);
        DeleteSprites();
        m_log.Write("Shutting down direct draw...");
        m_pPalette.Release();
        if (m_pWork)
            m_pWork->SetClipper(nullptr);
        if (m_pBackground)
            m_pBackground->SetClipper(nullptr);
        // In this order: the surfaces before the object that made them.
        m_pClipper.Release();
        m_pBackground.Release();
        m_pWork.Release();
        m_pPrimary.Release();
        m_pDirectDraw.Release();
        // Nothing may reach this window through the process-wide entry
        // points once it is gone.
        if (theDisplayWnd == this)
            theDisplayWnd = nullptr;
    }
}

void CDisplayWnd::OnPaint()
{
    CPaintDC dc(this);
    // A frame being composed on the animation thread covers the whole window
    // anyway; waiting for it here could hold up the very messages DirectDraw
    // may need from this thread to finish it.
    if (!m_composeLock.TryLock())
        return;
    Compose();
    m_composeLock.Unlock();
}

void CDisplayWnd::Redraw()
{
    CSingleLock lock(m_composeLock);
    Compose();
}

void CDisplayWnd::Compose()
{
    if (!m_pWork || !m_pBackground)
        return;
    // Another program took the display, a secure desktop came and went, the
    // mode changed: the surfaces come back, with their pictures.
    if (m_pPrimary->IsLost() == DDERR_SURFACELOST || m_pWork->IsLost() == DDERR_SURFACELOST ||
        m_pBackground->IsLost() == DDERR_SURFACELOST) {
        if (!RestoreSurfaces()) {
            FrameFailed("Restoring lost surfaces failed");
            return;
        }
    }
    RECT window;
    ::GetWindowRect(m_hWnd, &window);
    RECT frame = { 0, 0, window.right - window.left, window.bottom - window.top };
    if (FAILED(m_pWork->Blt(&frame, m_pBackground, &frame, DDBLT_WAIT, nullptr))) {
        FrameFailed("Error blitting background to work\n");
        return;
    }
    if (m_bActive)
        DrawSprites(&frame);
    ComposeOverlay();
    Present();
    FrameSucceeded();
}

BOOL CDisplayWnd::RestoreSurfaces()
{
    // The back buffer comes back with the primary it is attached to.
    if (FAILED(m_pPrimary->Restore()))
        return FALSE;
    if (m_bWindowed && FAILED(m_pWork->Restore()))
        return FALSE;
    if (FAILED(m_pBackground->Restore()))
        return FALSE;
    return OnSurfacesRestored();
}

void CDisplayWnd::FrameFailed(const char* line)
{
    if (m_nFailedFrames++ == 0)
        m_log.Write(line);
}

void CDisplayWnd::FrameSucceeded()
{
    if (m_nFailedFrames == 0)
        return;
    m_log.WriteValue("Frames failed before recovering", m_nFailedFrames);
    m_nFailedFrames = 0;
}

void CDisplayWnd::Present()
{
    if (!m_bActive)
        return;
    if (!m_bWindowed) {
        m_pPrimary->Flip(nullptr, DDFLIP_WAIT);
        return;
    }
    RECT window;
    ::GetWindowRect(m_hWnd, &window);
    RECT source = { 0, 0, window.right - window.left, window.bottom - window.top };
    m_pPrimary->Blt(&window, m_pWork, &source, DDBLT_WAIT, nullptr);
}

HRESULT CDisplayWnd::FillSurface(IDirectDrawSurface3* surface, RECT rect, DWORD colour)
{
    DDBLTFX fx = {};
    fx.dwSize = sizeof fx;
    fx.dwFillColor = colour;
    return surface->Blt(&rect, nullptr, &rect, DDBLT_COLORFILL, &fx);
}

void CDisplayWnd::PostNcDestroy()
{
    if (m_bAutoDelete && !m_bLeftToThread)
        delete this;
}
