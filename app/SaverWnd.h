// The scene as the full-screen saver: a pop-up over the whole screen, and
// the only window that watches the user's input.
#pragma once

#include "scene/SceneWnd.h"

class CSaverWnd : public CSceneWnd {
public:
    CSaverWnd();
    ~CSaverWnd() override;

    BOOL CreateFullScreen();
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    friend struct TestAccess;

    // Where the pointer was first seen, for every saver window of the process.
    static BOOL s_bHaveStartPos;
    static POINT s_ptStart;

    void CheckMovement();
    void NudgePointer();
    void RequestClose();
};
