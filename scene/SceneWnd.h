// The display window specialised for the saucer scene; the same class serves
// the preview and, through CSaverWnd, the full-screen saver.
#pragma once

#include "scene/SpriteWnd.h"
#include "framework/afxmt.h"
#include "scene/Saucer.h"
#include "scene/SpriteImage.h"

#include <atomic>
#include <memory>
#include <vector>

#define ID_STOP_ANIMATION 1024

class CSceneWnd;

// Why the saver or the preview ended.
// Deactivation: after pointer travel; LostForeground: another window kept
// the activation; PasswordGiven: to the system's dialog, after an input.
enum class SceneEnd {
    None, Close, Key, Button, MouseTravel, Deactivation, LostForeground, MonitorOff, HostGone, FailedStart,
    PasswordGiven
};

// One line to the debugger output naming the cause (a debug viewer shows it;
// under Wine the debugstr channel); travel is the pointer's, where it counts,
// and note what else there is to say, if anything.
void TellSceneEnd(BOOL bPreview, SceneEnd cause, int travel = 0, const char* note = nullptr);

// What the animation thread shares with its scene, in a block both own (the
// last to let go frees it): the thread holds the lock for each whole frame
// and looks at bStop under it. A stop sets bStop and then takes the lock
// once, so once a stop has been made the thread never touches the scene
// again, however long it takes to end.
struct CAnimationControl {
    CCriticalSection lock;
    CSceneWnd* pScene = nullptr;
    std::atomic<BOOL> bStop{ FALSE };
};


class CSceneWnd : public CSpriteWnd {
public:
    explicit CSceneWnd(BOOL bAutoDelete, const DisplayPlatform& platform = RealDisplayPlatform());
    ~CSceneWnd() override;

    int InitScene();
    static UINT AnimationThreadProc(LPVOID pParam);
    UINT RunAnimation(CAnimationControl* control);
    void RenderFrame();

protected:
    friend struct TestAccess;

    CSpriteImage m_saucerImages[4];
    CSpriteImage m_starImage;
    UINT m_nTimerPeriod;
    CSaucerGroup* m_pGroups;
    int m_nGroups;
    DWORD m_dwFpsStart;
    std::atomic<int> m_nFps;            // frames of the last whole second
    int m_nFpsFrames;
    BOOL m_bFpsCounting;
    std::atomic<BOOL> m_bRunning;
    UINT m_bShowFps;
    std::atomic<BOOL> m_bStopRequested;
    BOOL m_bThreadStarted;
    CWinThread* m_pThread;

    int OnCreate(LPCREATESTRUCT lpCreateStruct);
    void OnDestroy();
    BOOL OnDisplayCreated(LPCREATESTRUCT lpCreateStruct) override;
    void OnDisplayClosing() override;
    void OnTimer(UINT_PTR nIDEvent);
    void OnStopAnimation();
    // Every group one step on: a frame's movement.
    void MoveSaucers();
    // The first cause noted is the one told when the window goes; with none,
    // the preview's host went or the saver was closed. note: a literal.
    void NoteEnd(SceneEnd cause, int travel = 0, const char* note = nullptr);
    // Holds the animation thread between two frames while a modal dialog is
    // up (TRUE once it is held; a frame that does not end within the stop's
    // limit is not waited for), and lets it go on.
    BOOL PauseAnimation();
    void ResumeAnimation();
    BOOL OnSurfacesRestored() override;
    void ComposeOverlay() override;

private:
    void StopAnimation();
    BOOL TakeFrameLock(DWORD start);
    BOOL StartThread();
    void ShowWaitingText();
    BOOL InitPalette();
    // Black, with the stars stamped on it; on the screen at once in full
    // screen, with a line asking to wait.
    BOOL InitBackground(int W, int H);
    BOOL InitSaucers(int W);
    BOOL LoadSaucerSheet(int type);
    // A random start on the grid of a group of that type.
    POINT DrawGroupStart(int type, int W);

    HWND m_hWndHost = nullptr;  // the preview's parent, watched while it runs
    SceneEnd m_end = SceneEnd::None;
    BOOL m_bStarted = FALSE;  // the creation ended well
    int m_nEndTravel = 0;
    const char* m_pszEndNote = nullptr;
    // The frame-rate text, drawn once per new value and copied into each
    // frame: writing on the shown picture costs a round trip each time and
    // flickers.
    CComPtr<IDirectDrawSurface3> m_pFpsImage;
    int m_nFpsDrawn = -1;
    BOOL m_bFpsImageFailed = FALSE;
    SIZE m_sizeFpsText = {};
    BOOL DrawFpsImage(int fps);
    void ReleaseFpsImage();
    struct StarPlace {
        int x, y, frame;
    };
    std::vector<StarPlace> m_stars;  // stamped on the background

    std::shared_ptr<CAnimationControl> m_pControl;

    DECLARE_MESSAGE_MAP()
};
