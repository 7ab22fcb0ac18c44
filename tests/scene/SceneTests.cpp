// The scene's set-up and frame loop, in-process on Wine's DirectDraw.
#include "scene/SceneWnd.h"
#include "support/Process.h"
#include "support/Registry.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

DWORD g_now = 0;
DWORD WINAPI FakeClock() { return g_now; }

std::vector<std::string> Saved(CLogFile& log, const char* name)
{
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    std::string path = std::string(dir) + name;
    log.Open(false, path.c_str());
    log.Save();
    std::vector<std::string> lines = ReadLogLines(path);
    return lines.size() < 2 ? lines : std::vector<std::string>(lines.begin() + 1, lines.end() - 1);
}

bool Contains(const std::vector<std::string>& lines, const std::string& line)
{
    for (const std::string& l : lines)
        if (l == line)
            return true;
    return false;
}

class PreviewScene : public testing::Test {
protected:
    void SetUp() override
    {
        ClearStoredSettings();
        m_parent = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 320, 240, nullptr, nullptr,
                                   nullptr, nullptr);
    }
    void TearDown() override
    {
        DestroyWindow(m_parent);
        ClearStoredSettings();
    }
    CSceneWnd* Start(unsigned seed)
    {
        CSceneWnd* scene = new CSceneWnd(FALSE);
        srand(seed);
        RECT rect = { 0, 0, 320, 240 };
        EXPECT_TRUE(scene->Create(0, WS_CHILD | WS_VISIBLE, rect, CWnd::FromHandle(m_parent)));
        return scene;
    }
    HWND m_parent = nullptr;
};

} // namespace

TEST(RenderFrame, CountsFramesPerSecondWindow)
{
    CSceneWnd scene(FALSE);
    scene.m_pfnClock = FakeClock;
    scene.m_bWindowed = TRUE;
    scene.m_bRunning = TRUE;
    for (int k = 0; k < 21; ++k) {
        g_now = 5000 + 50 * k;
        scene.RenderFrame();
        EXPECT_EQ(k < 20 ? 0 : 21, scene.m_nFps) << "frame " << k;
    }
    // The next window opens at the next frame.
    g_now += 50;
    scene.RenderFrame();
    EXPECT_TRUE(scene.m_bFpsCounting);
    EXPECT_EQ(1, scene.m_nFpsFrames);

    // Not running: nothing is counted.
    scene.m_bRunning = FALSE;
    scene.RenderFrame();
    EXPECT_EQ(1, scene.m_nFpsFrames);
}

TEST_F(PreviewScene, OneGroupOfTheSmallestSaucersWhateverTheCount)
{
    SetDwordSetting("Count", 7);
    SetDwordSetting("Stars", 100);
    SetDwordSetting("Speed", 5);
    const unsigned seed = 4242;
    CSceneWnd* scene = Start(seed);
    ASSERT_NE(nullptr, scene->GetSafeHwnd());
    EXPECT_EQ(1, scene->m_nGroups);
    EXPECT_EQ(8, scene->m_sprites.GetSize());
    EXPECT_EQ(10u, scene->m_nTimerPeriod);
    EXPECT_TRUE(scene->m_bThreadStarted);

    std::vector<std::string> lines = Saved(scene->m_log, "skardel_scene.scr");
    EXPECT_TRUE(Contains(lines, "Creating sprites for windowed mode"));
    EXPECT_TRUE(Contains(lines, "Timer period = 10"));
    EXPECT_FALSE(Contains(lines, "No Parent window - loading bitmaps"));
    scene->DestroyWindow();
    EXPECT_EQ(0, scene->m_sprites.GetSize());
    EXPECT_EQ(nullptr, scene->m_pDirectDraw);
    delete scene;
}

TEST_F(PreviewScene, SlowSpeedsAreKeptAndTheThreadStopsAtOnce)
{
    SetDwordSetting("Speed", 250);
    const unsigned seed = 4242;
    CSceneWnd* scene = Start(seed);
    EXPECT_EQ(250u, scene->m_nTimerPeriod);
    // Replay the draws: twenty stars of three draws, the row and column, then
    // the leader's step and drop.
    srand(seed);
    for (int i = 0; i < 20 * 3; ++i)
        rand();
    int r = rand() % 7;
    int c = rand() % (320 / (8 * 24) + 1);
    rand();                       // the leader's sway rate
    int drop = 4 + rand() % 5;
    CSaucer* leader = scene->m_pGroups[0].m_saucers[0];
    EXPECT_EQ(c * 8 * 24 + 72, leader->m_nBaseX);
    // At one pixel a quarter second the thread has hardly moved it yet.
    EXPECT_LE(leader->m_y, r * 6 * 24 + 36 / drop);
    EXPECT_GT(leader->m_y, r * 6 * 24 + 36 / drop - 20);


    std::vector<std::string> lines = Saved(scene->m_log, "skardel_scene.scr");
    EXPECT_TRUE(Contains(lines, "Timer period = 250"));
    // A stop while the thread waits out its period ends it well inside the
    // bound, and a second stop (destroy) waits for nothing.
    DWORD start = GetTickCount();
    scene->SendMessage(WM_COMMAND, ID_STOP_ANIMATION, 0);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(scene->m_pThread->m_hThread, 0));
    EXPECT_LT(GetTickCount() - start, 400u);
    EXPECT_FALSE(scene->m_bRunning);
    scene->DestroyWindow();
    delete scene;
}

TEST_F(PreviewScene, HugeSpeedStillStopsAtOnce)
{
    SetDwordSetting("Speed", 0xFFFFFFF0);
    CSceneWnd* scene = Start(1);
    EXPECT_EQ(0xFFFFFFF0u, scene->m_nTimerPeriod);
    DWORD start = GetTickCount();
    scene->DestroyWindow();
    EXPECT_LT(GetTickCount() - start, 400u);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(scene->m_pThread->m_hThread, 0));
    delete scene;
}
