// The window that owns every DirectDraw object of the process: exclusive
// full screen with a flipping pair of surfaces as the saver, or drawing into
// its parent's area of the screen as the preview.
#pragma once

#include "core/LogFile.h"
#include "display/DisplayPlatform.h"
#include "framework/afxcom.h"
#include "framework/afxmt.h"
#include "framework/afxwin.h"

#include <ddraw.h>

#include <atomic>

class CDisplayWnd : public CWnd {
public:
    explicit CDisplayWnd(BOOL bAutoDelete, const DisplayPlatform& platform = RealDisplayPlatform());
    ~CDisplayWnd() override;

    // rect is in the parent's client coordinates, or the screen's when there
    // is no parent.
    virtual BOOL Create(DWORD dwExStyle, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd);

    // The loaders write here while the window is set up.
    CLogFile m_log;

    // One frame: the background onto the work surface, every sprite in
    // depth order, then a flip (saver) or a blit onto the window (preview).
    void Redraw();
    HRESULT FillSurface(IDirectDrawSurface3* surface, RECT rect, DWORD colour);
    // Brings back lost surfaces and, through OnSurfacesRestored, what they
    // showed; FALSE while they cannot be had back (another program holds the
    // display).
    BOOL RestoreSurfaces();

protected:
    // What the window made, borrowed: it keeps them until it is destroyed.
    IDirectDraw2* DirectDraw() const { return m_pDirectDraw.Get(); }
    IDirectDrawSurface3* Primary() const { return m_pPrimary.Get(); }
    IDirectDrawSurface3* Work() const { return m_pWork.Get(); }
    IDirectDrawSurface3* Background() const { return m_pBackground.Get(); }
    const DisplayPlatform& Platform() const { return m_platform; }
    BOOL IsWindowed() const { return m_bWindowed; }
    // The screen's mode before any switch to 16 bits.
    int ScreenWidth() const { return m_nScreenWidth; }
    int ScreenHeight() const { return m_nScreenHeight; }
    int ScreenDepth() const { return m_nScreenDepth; }
    // Whether sprites are drawn and frames shown.
    void SetActive(BOOL bActive) { m_bActive = bActive; }
    // The desktop's own picture on the screen, for a dialog over the
    // exclusive display (nothing to do where the window draws into GDI's).
    void ShowGdiSurface()
    {
        if (m_pDirectDraw && !m_bWindowed)
            m_pDirectDraw->FlipToGDISurface();
    }
    // The palette the primary shows (palette displays), kept with the rest.
    HRESULT SetDisplayPalette(CComPtr<IDirectDrawPalette> palette);
    CComPtr<IDirectDrawSurface3> CreateOffscreenSurface(int width, int height, DWORD caps);
    // The animation thread did not stop: everything it may still touch is
    // left to the end of the process instead of released.
    void LeaveToThread() { m_bLeftToThread = TRUE; }
    BOOL IsLeftToThread() const { return m_bLeftToThread; }

    // What the derived window builds once the display is set up, inside the
    // creation; FALSE fails it.
    virtual BOOL OnDisplayCreated(LPCREATESTRUCT lpCreateStruct) { return TRUE; }
    // What it stops before anything of the display is released: at the
    // window's destruction, or at the end of a creation during which the
    // window was destroyed.
    virtual void OnDisplayClosing() {}
    // What is drawn over the background each frame (the scene's sprites),
    // with the composition lock held; and let go of at shutdown, before
    // DirectDraw is.
    virtual void DrawSprites(const RECT* clip) {}
    virtual void DeleteSprites() {}
    // Redraws what restored surfaces lost (the background, the artwork).
    virtual BOOL OnSurfacesRestored() { return TRUE; }
    // Draws over the composed frame, before it is shown (composition lock
    // held).
    virtual void ComposeOverlay() {}

    // Held while a frame is composed (by the animation thread, and by a
    // paint, which skips its frame when it cannot have it at once): whoever
    // changes what DrawSprites reads holds it too.
    CCriticalSection& CompositionLock() { return m_composeLock; }
    // The composed work surface onto the screen: a flip, or a blit onto the
    // window's part of it.
    void Present();
    int OnCreate(LPCREATESTRUCT lpCreateStruct);
    void OnDestroy();
    void OnPaint();
    void PostNcDestroy() override;

private:
    const DisplayPlatform m_platform;
    CComPtr<IDirectDraw2> m_pDirectDraw;
    CComPtr<IDirectDrawSurface3> m_pPrimary;
    CComPtr<IDirectDrawSurface3> m_pWork;        // each frame is composed here
    CComPtr<IDirectDrawSurface3> m_pBackground;  // the window-sized static picture
    CComPtr<IDirectDrawPalette> m_pPalette;
    CComPtr<IDirectDrawClipper> m_pClipper;      // on the work and background surfaces
    BOOL m_bWindowed;
    int m_nScreenWidth;
    int m_nScreenHeight;
    int m_nScreenDepth;                  // before any switch to 16 bits
    std::atomic<BOOL> m_bActive;         // sprites drawn and frames shown
    BOOL m_bAutoDelete;
    // The creation is running; the window was destroyed while it ran.
    BOOL m_bCreating = FALSE;
    BOOL m_bDestroyedWhileCreating = FALSE;
    BOOL m_bLeftToThread = FALSE;
    // The window's thread (WM_PAINT) and the animation thread both compose;
    // shutdown takes it too before it releases anything.
    CCriticalSection m_composeLock;

    int CreateDisplay(LPCREATESTRUCT lpCreateStruct);
    void ReleaseDisplay();
    BOOL InitDirectDraw(BOOL bWindowed);
    BOOL CreateDirectDraw();
    // The card's memory and the screen's mode, which the set-up goes by.
    void LogHardware();
    BOOL InitPreviewSurfaces();
    BOOL InitSaverSurfaces();
    BOOL CreatePrimary(DDSURFACEDESC& desc);
    BOOL InitClipper(const RECT& windowRect);

    void Compose();  // with m_composeLock held
    // A run of failed frames is told once, and how long it was when it ends.
    void FrameFailed(const char* line);
    void FrameSucceeded();
    int m_nFailedFrames = 0;

    DECLARE_MESSAGE_MAP()
};

// The one display window of the process, set by the scene's set-up.
extern CDisplayWnd* theDisplayWnd;
