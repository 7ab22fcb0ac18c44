// The window that owns every DirectDraw object of the process: exclusive
// full screen with a flipping pair of surfaces as the saver, or drawing into
// its parent's area of the screen as the preview.
#pragma once

#include "app/LogFile.h"
#include "framework/afxwin.h"

#include <ddraw.h>

class CDisplayWnd : public CWnd {
public:
    explicit CDisplayWnd(BOOL bAutoDelete);
    ~CDisplayWnd() override;

    // rect is in the parent's client coordinates, or the screen's when there
    // is no parent.
    virtual BOOL Create(DWORD dwExStyle, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd);

    IDirectDraw2* m_pDirectDraw;
    IDirectDrawSurface3* m_pPrimary;
    IDirectDrawSurface3* m_pWork;        // each frame is composed here
    IDirectDrawSurface3* m_pBackground;  // the window-sized static picture
    IDirectDrawPalette* m_pPalette;
    IDirectDrawClipper* m_pClipper;      // on the work and background surfaces
    BOOL m_bWindowed;
    CLogFile m_log;
    int m_nScreenWidth;
    int m_nScreenHeight;
    int m_nScreenDepth;                  // before any switch to 16 bits
    BOOL m_bActive;                      // sprites drawn and frames shown
    BOOL m_bAutoDelete;

protected:
    int OnCreate(LPCREATESTRUCT lpCreateStruct);
    void OnDestroy();
    void PostNcDestroy() override;

    BOOL InitDirectDraw(RECT windowRect, BOOL bWindowed);
    IDirectDrawSurface3* CreateOffscreenSurface(int width, int height, DWORD caps);

private:
    BOOL InitPreviewSurfaces();
    BOOL InitSaverSurfaces();
    BOOL CreatePrimary(DDSURFACEDESC& desc);
    BOOL InitClipper(const RECT& windowRect);

    DECLARE_MESSAGE_MAP()
};
