// The scene as the full-screen saver: a pop-up over the whole screen, and
// the only window that watches the user's input.
#pragma once

#include "app/MonitorCovers.h"
#include "scene/SceneWnd.h"

#include <vector>

class CSaverWnd : public CSceneWnd {
public:
    explicit CSaverWnd(const DisplayPlatform& platform = RealDisplayPlatform());
    ~CSaverWnd() override;

    // Over the primary monitor; every other one is covered black while the
    // window lives, also after a change of the monitors. The saver then takes
    // the foreground and the keyboard, whatever had them.
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

    // cause: MouseTravel or Deactivation, told with the travel when it ends
    // the saver.
    void CheckMovement(SceneEnd cause);
    void NudgePointer();
    void RequestClose(SceneEnd cause, int travel = 0);
    void CoverOtherMonitors();
    // Another window kept the activation: a saver nobody sees, or that no key
    // reaches, must not run on for good.
    void CheckForeground();
};
