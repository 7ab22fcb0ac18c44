// The scene as the full-screen saver: a pop-up over the whole screen, and
// the only window that watches the user's input.
#pragma once

#include "app/MonitorCovers.h"
#include "app/SaverPassword.h"
#include "scene/SceneWnd.h"

#include <vector>

class CSaverWnd : public CSceneWnd {
public:
    explicit CSaverWnd(const DisplayPlatform& platform = RealDisplayPlatform(),
                       const PasswordPlatform& password = RealPasswordPlatform());
    ~CSaverWnd() override;

    // Over the primary monitor; every other one is covered black while the
    // window lives, also after a change of the monitors. The saver then takes
    // the foreground and the keyboard, whatever had them. Where the system
    // leaves the password to the saver (Windows 95, 98 and Me, "Password
    // protected" ticked), an ending input asks for it first, and the system
    // is told that a saver runs, so that it lets no key combination past.
    BOOL CreateFullScreen(const MonitorPlatform& monitors = RealMonitorPlatform());
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    friend struct TestAccess;

    // Where the pointer was first seen, for every saver window of the process.
    static BOOL s_bHaveStartPos;
    static POINT s_ptStart;

    // The monitors the covers are found with, once the start is done (its
    // own mode change is no change of monitors).
    const MonitorPlatform* m_pMonitors = nullptr;
    std::vector<HWND> m_covers;

    const PasswordPlatform& m_password;
    BOOL m_bProtected = FALSE;     // an ending input asks for the password
    BOOL m_bAsking = FALSE;        // the system's dialog is up, or about to be
    BOOL m_bMayClose = FALSE;      // the password was given, or cannot be asked for
    BOOL m_bToldRunning = FALSE;   // SPI_SETSCREENSAVERRUNNING is on

    // cause: MouseTravel or Deactivation, told with the travel when it ends
    // the saver.
    void CheckMovement(SceneEnd cause);
    void NudgePointer();
    void RequestClose(SceneEnd cause, int travel = 0);
    void CoverOtherMonitors();
    // A protected saver's way to its end: the system's dialog, the scene
    // held meanwhile.
    void AskPassword(SceneEnd cause, int travel);
    void TellSystemRunning(BOOL bRunning);
    // Another window kept the activation: a saver nobody sees, or that no key
    // reaches, must not run on for good.
    void CheckForeground();
};
