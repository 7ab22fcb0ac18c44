// The window that owns every DirectDraw object of the process: exclusive
// full screen with a flipping pair of surfaces as the saver, or drawing into
// its parent's area of the screen as the preview.
#pragma once

#include "core/LogFile.h"
#include "framework/afxcom.h"
#include "framework/afxmt.h"
#include "framework/afxwin.h"

#include <ddraw.h>

#include <atomic>

class CDisplayWnd : public CWnd {
public:
    explicit CDisplayWnd(BOOL bAutoDelete);
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
    friend struct TestAccess;

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

    // What is drawn over the background each frame (the scene's sprites),
    // with the composition lock held; and let go of at shutdown, before
    // DirectDraw is.
    virtual void DrawSprites(const RECT* clip) {}
    virtual void DeleteSprites() {}
    void Present();
    int OnCreate(LPCREATESTRUCT lpCreateStruct);
    void OnDestroy();
    // Ends the outermost creation handler: a window destroyed meanwhile
    // releases everything here and fails its creation.
    int EndCreation(int result);
    // Redraws what restored surfaces lost (the background, the artwork).
    virtual BOOL OnSurfacesRestored() { return TRUE; }
    // Draws over the composed frame, before it is shown (composition lock
    // held).
    virtual void ComposeOverlay() {}
    void ReleaseDisplay();
    BOOL m_bCreating = FALSE;
    BOOL m_bDestroyedWhileCreating = FALSE;
    // The animation thread did not stop: everything it may still touch is
    // left to the end of the process instead of released.
    BOOL m_bLeftToThread = FALSE;
    void OnPaint();
    void PostNcDestroy() override;

    BOOL InitDirectDraw(BOOL bWindowed);
    BOOL CreateDirectDraw();
    // The card's memory and the screen's mode, which the set-up goes by.
    void LogHardware();
    CComPtr<IDirectDrawSurface3> CreateOffscreenSurface(int width, int height, DWORD caps);

private:
    // The window's thread (WM_PAINT) and the animation thread both compose;
    // shutdown takes it too before it releases anything.
    CCriticalSection m_composeLock;

    void Compose();  // with m_composeLock held
    // A run of failed frames is told once, and how long it was when it ends.
    void FrameFailed(const char* line);
    void FrameSucceeded();
    int m_nFailedFrames = 0;
    int CreateDisplay(LPCREATESTRUCT lpCreateStruct);

    BOOL InitPreviewSurfaces();
    BOOL InitSaverSurfaces();
    BOOL CreatePrimary(DDSURFACEDESC& desc);
    BOOL InitClipper(const RECT& windowRect);

    DECLARE_MESSAGE_MAP()
};

// The one display window of the process, set by the scene's set-up.
extern CDisplayWnd* theDisplayWnd;
