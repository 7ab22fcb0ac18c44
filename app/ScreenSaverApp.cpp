#include "app/ScreenSaverApp.h"

#include "app/SaverWnd.h"
#include "core/Settings.h"
#include "res/resource.h"
#include "config/TolmereAboutPage.h"
#include "config/TolmereConfigPage.h"
#include "config/TolmereDebugPage.h"
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

namespace {

// Clears *lParam when it names one of the windows enumerated.
BOOL CALLBACK FindWindowIn(HWND hWnd, LPARAM lParam)
{
    HWND* pSought = reinterpret_cast<HWND*>(lParam);
    if (hWnd != *pSought)
        return TRUE;
    *pSought = nullptr;
    return FALSE;
}

} // namespace

BOOL IsWindowOfThisDesktop(HWND hWnd)
{
    if (!hWnd || !IsWindow(hWnd))
        return FALSE;
    // A window of this desktop belongs to one of its top-level windows
    // (a message-only window, or one of another desktop, does not).
    HWND hSought = AfxGetTopLevelWindow(hWnd);
    EnumWindows(FindWindowIn, reinterpret_cast<LPARAM>(&hSought));
    return hSought == nullptr;
}

BOOL IsUsablePreviewParent(HWND hParent)
{
    // The desktop window (or any window not shown) would give a preview
    // covering the screen that answers no input and could only be killed.
    // The window's own style counts, not its dialog's: the settings dialog
    // may start the preview before it shows itself.
    if (!IsWindowOfThisDesktop(hParent) || hParent == GetDesktopWindow() ||
        !(GetWindowLongA(hParent, GWL_STYLE) & WS_VISIBLE))
        return FALSE;
    return TRUE;
}

BOOL CScreenSaverApp::InitInstance()
{
    return Dispatch(__argc, __argv);
}

BOOL CScreenSaverApp::Dispatch(int argc, char** argv, const PasswordPlatform& password)
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
        return StartSaver(password);
    if (MatchSwitch(argv[1], "a"))
        ChangePassword(argc > 2 ? argv[2] : nullptr, password);
    return FALSE;
}

BOOL CScreenSaverApp::StartPreview(const char* parentHandle)
{
    // Without a window to draw into there is no preview; a top-level window
    // in its place would be a surprise on the user's desktop.
    HWND hParent = reinterpret_cast<HWND>(static_cast<LONG_PTR>(atol(parentHandle ? parentHandle : "0")));
    if (!IsUsablePreviewParent(hParent)) {
        TellSceneEnd(TRUE, SceneEnd::FailedStart);
        return FALSE;
    }
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

BOOL CScreenSaverApp::StartSaver(const PasswordPlatform& password)
{
    CSaverWnd* pSaver = new CSaverWnd(RealDisplayPlatform(), password);
    if (!pSaver->CreateFullScreen())
        return FALSE;
    m_pMainWnd = pSaver;
    return TRUE;
}

// The display settings' "Change..." button. Windows NT and later keep no
// saver password: there it ends at once, as any other unknown switch.
void CScreenSaverApp::ChangePassword(const char* ownerHandle, const PasswordPlatform& password)
{
    if (password.PlatformId() != VER_PLATFORM_WIN32_WINDOWS)
        return;
    HWND hOwner = reinterpret_cast<HWND>(static_cast<LONG_PTR>(atol(ownerHandle ? ownerHandle : "0")));
    if (!IsWindowOfThisDesktop(hOwner))
        hOwner = ::GetForegroundWindow();
    password.Change(hOwner);
}

void CScreenSaverApp::ShowConfigSheet()
{
    CPropertySheet sheet("Skardel Screen Saver");
    sheet.m_psh.dwFlags |= PSH_NOAPPLYNOW;
    CTolmereConfigPage configPage;
    CTolmereAboutPage aboutPage(IDC_POINTING_HAND, IDR_LINK_MENU);
    CTolmereDebugPage debugPage;
    sheet.AddPage(&configPage);
    sheet.AddPage(&debugPage);
    sheet.AddPage(&aboutPage);

    configPage.m_nCount = ReadSheetSetting(Setting::Count);
    configPage.m_nSpeed = static_cast<int>(ReadSheetSetting(Setting::Speed));
    configPage.m_nStars = static_cast<int>(ReadSheetSetting(Setting::Stars));
    debugPage.m_nLogAlways = static_cast<int>(ReadSheetSetting(Setting::AlwaysLog));
    debugPage.m_nLogAppend = static_cast<int>(ReadSheetSetting(Setting::AppendLog));
    debugPage.m_nShowFps = static_cast<int>(ReadSheetSetting(Setting::Fps));

    // Only OK stores: Cancel, the close box and Escape leave what was stored.
    if (sheet.DoModal() != IDOK)
        return;
    WriteSetting(Setting::Count, static_cast<int>(configPage.m_nCount));
    WriteSetting(Setting::Stars, configPage.m_nStars);
    WriteSetting(Setting::Speed, configPage.m_nSpeed);
    WriteSetting(Setting::AlwaysLog, debugPage.m_nLogAlways);
    WriteSetting(Setting::AppendLog, debugPage.m_nLogAppend);
    WriteSetting(Setting::Fps, debugPage.m_nShowFps);
}
