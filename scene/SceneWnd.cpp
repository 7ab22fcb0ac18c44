#include "scene/SceneWnd.h"

#include "app/Settings.h"

BEGIN_MESSAGE_MAP(CSceneWnd, CDisplayWnd)
    ON_WM_CREATE()
END_MESSAGE_MAP()

CSceneWnd::CSceneWnd(BOOL bAutoDelete) : CDisplayWnd(bAutoDelete)
{
}

CSceneWnd::~CSceneWnd() = default;

int CSceneWnd::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CDisplayWnd::OnCreate(lpCreateStruct) == -1) {
        m_log.Save();
        return -1;
    }
    ClearScreen();
    if (AfxGetApp()->GetProfileInt(SETTINGS_SECTION, SETTING_ALWAYS_LOG, 0) != 0)
        m_log.Save();
    return 0;
}

// Until the scene is drawn, the saver shows a black screen.
void CSceneWnd::ClearScreen()
{
    if (m_bWindowed)
        return;
    DDBLTFX fx = {};
    fx.dwSize = sizeof fx;
    fx.dwFillColor = 0;
    m_pWork->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx);
    m_pPrimary->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx);
}
