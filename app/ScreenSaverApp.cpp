#include "app/ScreenSaverApp.h"

#include "app/SaverWnd.h"
#include "app/Settings.h"
#include "scene/SceneWnd.h"

#include <cstdlib>

BOOL MatchSwitch(const char* argument, const char* letter)
{
    if (!argument)
        argument = "";
    if (*argument == '-' || *argument == '/')
        ++argument;
    CString copy(argument);
    copy.MakeLower();
    CString first = copy.Left(1);
    return lstrcmpiA(first, letter) == 0;
}

BOOL CScreenSaverApp::InitInstance()
{
    return Dispatch(__argc, __argv);
}

BOOL CScreenSaverApp::Dispatch(int argc, char** argv)
{
    Enable3dControlsStatic();
    SetRegistryKey("Tolmere");

    if (argc <= 1) {
        ShowConfigSheet();
        return FALSE;
    }
    if (MatchSwitch(argv[1], "c")) {
        ShowConfigSheet();
        return FALSE;
    }
    if (MatchSwitch(argv[1], "p"))
        return StartPreview(argc > 2 ? argv[2] : nullptr);
    if (MatchSwitch(argv[1], "s"))
        return StartSaver();
    return FALSE;
}

BOOL CScreenSaverApp::StartPreview(const char* parentHandle)
{
    // Without a window to draw into there is no preview; a top-level window
    // in its place would be a surprise on the user's desktop.
    HWND hParent = reinterpret_cast<HWND>(static_cast<LONG_PTR>(atol(parentHandle ? parentHandle : "0")));
    if (!hParent || !IsWindow(hParent))
        return FALSE;
    CWnd* pParent = CWnd::FromHandle(hParent);
    CSceneWnd* pScene = new CSceneWnd(TRUE);
    RECT rect;
    pParent->GetClientRect(&rect);
    // A failed creation has deleted the object already.
    if (!pScene->Create(0, WS_CHILD | WS_VISIBLE, rect, pParent))
        return FALSE;
    m_pMainWnd = pScene;
    return TRUE;
}

BOOL CScreenSaverApp::StartSaver()
{
    CSaverWnd* pSaver = new CSaverWnd;
    if (!pSaver->CreateFullScreen())
        return FALSE;
    m_pMainWnd = pSaver;
    return TRUE;
}

void CScreenSaverApp::ShowConfigSheet()
{
    UINT count = GetProfileInt(SETTINGS_SECTION, SETTING_COUNT, 5);
    UINT speed = GetProfileInt(SETTINGS_SECTION, SETTING_SPEED, 10);
    UINT stars = GetProfileInt(SETTINGS_SECTION, SETTING_STARS, 100);
    UINT alwaysLog = GetProfileInt(SETTINGS_SECTION, SETTING_ALWAYS_LOG, 0);
    UINT appendLog = GetProfileInt(SETTINGS_SECTION, SETTING_APPEND_LOG, 0);
    UINT fps = GetProfileInt(SETTINGS_SECTION, SETTING_FPS, 0);
    // The property sheet that edits these arrives later; with no sheet shown
    // nothing is written back.
    (void)count; (void)speed; (void)stars; (void)alwaysLog; (void)appendLog; (void)fps;
}
