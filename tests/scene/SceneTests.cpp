// The scene's set-up and frame loop, in-process on Wine's DirectDraw.
#include "display/DDUtil.h"
#include "scene/SceneWnd.h"
#include "support/DDrawWrappers.h"
#include "support/Process.h"
#include "support/Registry.h"
#include "support/SpritePlace.h"
#include "support/StartupLog.h"
#include "support/SurfacePixels.h"
#include "support/TestAccess.h"

#include <gtest/gtest.h>
#include <mmsystem.h>

#include <atomic>
#include <cstdlib>
#include <thread>

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
    return ReadLogBody(path);
}

bool Contains(const std::vector<std::string>& lines, const std::string& line)
{
    for (const std::string& l : lines)
        if (l == line)
            return true;
    return false;
}

std::string ScreenSized()
{
    return OffscreenLabel(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
}

size_t LitPixels(const SurfacePixels& pixels)
{
    size_t lit = 0;
    for (DWORD v : pixels.values)
        lit += v != 0;
    return lit;
}

// A period no test waits out: the animation thread draws no frame, so the
// set-up's result stays as it was made.
const DWORD kNoFrames = 100000;

// The frame-rate text's grey at 5-6-5.
const DWORD kGrey565 = (96 >> 3) << 11 | (96 >> 2) << 5 | (96 >> 3);

// A scene on DirectDraw wrapped: the surfaces it made are in reach, and a
// test can refuse chosen calls. Each test starts the scene (a second start
// ends the first) and the fixture ends it.
class SceneTest : public testing::Test {
protected:
    void TearDown() override
    {
        Finish();
        ClearStoredSettings();
    }
    CSceneWnd* Start(unsigned seed, DWORD style, RECT rect, HWND parent)
    {
        Finish();
        m_scene = new CSceneWnd(FALSE, m_platform);
        srand(seed);
        EXPECT_TRUE(m_scene->Create(0, style, rect, parent ? CWnd::FromHandle(parent) : nullptr));
        return m_scene;
    }
    void Finish()
    {
        if (m_scene) {
            m_scene->DestroyWindow();
            delete m_scene;
            m_scene = nullptr;
        }
    }
    CSceneWnd* m_scene = nullptr;
    DDrawRecorder m_recorder;
    DDrawWrapGuard m_guard{ &m_recorder };
    DisplayPlatform m_platform = m_guard.platform;
};

class FullScreenScene : public SceneTest {
protected:
    void SetUp() override
    {
        ClearStoredSettings();
        SetDwordSetting("Speed", kNoFrames);
    }
    CSceneWnd* Start(unsigned seed)
    {
        RECT screen = { 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN) };
        return SceneTest::Start(seed, WS_POPUP | WS_VISIBLE, screen, nullptr);
    }
};

class PreviewScene : public SceneTest {
protected:
    void SetUp() override
    {
        ClearStoredSettings();
        m_parent = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 320, 240, nullptr, nullptr,
                                   nullptr, nullptr);
    }
    void TearDown() override
    {
        SceneTest::TearDown();
        DestroyWindow(m_parent);
    }
    CSceneWnd* Start(unsigned seed)
    {
        return SceneTest::Start(seed, WS_CHILD | WS_VISIBLE, { 0, 0, 320, 240 }, m_parent);
    }
    HWND m_parent = nullptr;
};

// The frame loop's own tests, on a preview.
using RenderFrame = PreviewScene;
using RunAnimation = PreviewScene;

} // namespace

TEST_F(RenderFrame, CountsFramesPerSecondWindow)
{
    // The clock stands at the start until the frames below move it: the
    // animation thread never waits out its period, the frames are the test's.
    SetDwordSetting("Speed", kNoFrames);
    m_platform.timeGetTime = FakeClock;
    g_now = 5000;
    CSceneWnd* scene = Start(1);
    for (int k = 0; k < 21; ++k) {
        g_now = 5000 + 50 * k;
        scene->RenderFrame();
        EXPECT_EQ(k < 20 ? 0 : 21, TestAccess::m_nFps(*scene)) << "frame " << k;
    }
    // The next window opens at the next frame, and counts on.
    for (int k = 0; k < 2; ++k) {
        g_now += 50;
        scene->RenderFrame();
    }
    EXPECT_EQ(2, TestAccess::m_nFpsFrames(*scene));

    // Stopped: nothing is counted.
    scene->SendMessage(WM_COMMAND, ID_STOP_ANIMATION, 0);
    scene->RenderFrame();
    EXPECT_EQ(2, TestAccess::m_nFpsFrames(*scene));
}

TEST_F(PreviewScene, OneGroupOfTheSmallestSaucersWhateverTheCount)
{
    SetDwordSetting("Count", 7);
    SetDwordSetting("Stars", 100);
    SetDwordSetting("Speed", 5);
    const unsigned seed = 4242;
    CSceneWnd* scene = Start(seed);
    ASSERT_NE(nullptr, scene->GetSafeHwnd());
    // One group of eight, and the animation running.
    EXPECT_EQ(8, TestAccess::m_sprites(*scene).GetSize());
    EXPECT_EQ(WAIT_TIMEOUT, WaitForSingleObject(TestAccess::m_pThread(*scene)->m_hThread, 0));

    // The whole log of the start: the display's lines, then the scene's.
    std::vector<std::string> expected =
        ExpectedStartupLines(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), 16);
    for (const char* line : { "Main Application initialisation...", "Creating sprites for windowed mode",
                              "Timer period = 10", "Finished Main Application initialisation" })
        expected.push_back(line);
    EXPECT_EQ(expected, Saved(scene->m_log, "skardel_scene.scr"));
    scene->DestroyWindow();
    EXPECT_EQ(0, TestAccess::m_sprites(*scene).GetSize());
    EXPECT_EQ(nullptr, m_recorder.DirectDraw());
}

TEST_F(PreviewScene, SlowSpeedsAreKeptAndTheThreadStopsAtOnce)
{
    SetDwordSetting("Speed", 250);
    // A clock that stands still: the thread waits out its period for good,
    // and the saucers stay where they were put.
    m_platform.timeGetTime = FakeClock;
    const unsigned seed = 4242;
    CSceneWnd* scene = Start(seed);
    // Replay the draws: twenty stars of three draws, the row and column, then
    // the leader's step and drop.
    srand(seed);
    for (int i = 0; i < 20 * 3; ++i)
        rand();
    int r = rand() % 7;
    int c = rand() % (320 / (8 * 24) + 1);
    rand();                       // the leader's sway rate
    int drop = 4 + rand() % 5;
    // The leader, first of the one group, where it was put and swaying about it.
    const int x = c * 8 * 24 + 72, y = r * 6 * 24 + 36 / drop;
    CSprite* leader = TestAccess::m_sprites(*scene).GetSprite(0);
    EXPECT_TRUE(Covers(*leader, RECT{ x, y, x + 24, y + 24 }));
    EXPECT_EQ(x, TestAccess::m_nBaseX(*static_cast<CSaucer*>(leader)));

    std::vector<std::string> lines = Saved(scene->m_log, "skardel_scene.scr");
    EXPECT_TRUE(Contains(lines, "Timer period = 250"));
    // A stop while the thread waits out its period ends the thread itself
    // (a stop that only gave up waiting would leave it running), a frame
    // asked for afterwards draws nothing, and a second stop (destroy) waits
    // for nothing.
    scene->SendMessage(WM_COMMAND, ID_STOP_ANIMATION, 0);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(TestAccess::m_pThread(*scene)->m_hThread, 0));
    const int blts = m_recorder.Calls("IDirectDrawSurface3::Blt");
    scene->RenderFrame();
    EXPECT_EQ(blts, m_recorder.Calls("IDirectDrawSurface3::Blt"));
}

TEST_F(PreviewScene, HugeSpeedStillStopsAtOnce)
{
    SetDwordSetting("Speed", 0xFFFFFFF0);
    CSceneWnd* scene = Start(1);
    EXPECT_TRUE(Contains(Saved(scene->m_log, "skardel_scene.scr"), "Timer period = -16"));  // as a signed value
    scene->DestroyWindow();
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(TestAccess::m_pThread(*scene)->m_hThread, 0));
}

TEST_F(FullScreenScene, CountZeroGivesOnlyTheStars)
{
    SetDwordSetting("Count", 0);
    CSceneWnd* scene = Start(7);
    ASSERT_NE(nullptr, scene->GetSafeHwnd());
    EXPECT_EQ(0, TestAccess::m_sprites(*scene).GetSize());
    std::vector<std::string> lines = Saved(scene->m_log, "skardel_scene.scr");
    const std::vector<std::string> scene_lines(lines.end() - 4, lines.end());
    EXPECT_EQ((std::vector<std::string>{ "Main Application initialisation...", "No Parent window - loading bitmaps",
                                         "Timer period = 100000", "Finished Main Application initialisation" }),
              scene_lines);
}

TEST_F(FullScreenScene, NoStarsLeaveThePlainBlackBackground)
{
    SetDwordSetting("Stars", 0);
    Start(7);
    SurfacePixels background = ReadSurface(m_recorder.Surface(ScreenSized()));
    ASSERT_EQ(GetSystemMetrics(SM_CXSCREEN) * GetSystemMetrics(SM_CYSCREEN), int(background.values.size()));
    EXPECT_EQ(0u, LitPixels(background));
}

TEST_F(FullScreenScene, FourStarsAtTheirDrawnPlaces)
{
    SetDwordSetting("Stars", 4);
    const unsigned seed = 99;
    Start(seed);
    const int W = GetSystemMetrics(SM_CXSCREEN), H = GetSystemMetrics(SM_CYSCREEN);
    const int sw = 8, sh = 8;  // a frame of the star sheet's three
    srand(seed);
    RECT stars[4];
    for (RECT& star : stars) {
        int y = RandomRange(0, H);
        int x = RandomRange(0, W);
        RandomRange(0, 2);
        star = RECT{ x, y, x + sw, y + sh };
    }
    SurfacePixels background = ReadSurface(m_recorder.Surface(ScreenSized()));
    ASSERT_EQ(W, background.width);
    int litInStar[4] = {};
    int litOutside = 0;
    for (int y = 0; y < background.height; ++y)
        for (int x = 0; x < background.width; ++x) {
            if (background.At(x, y) == 0)
                continue;
            POINT p = { x, y };
            bool inside = false;
            for (int k = 0; k < 4; ++k)
                if (PtInRect(&stars[k], p)) {
                    ++litInStar[k];
                    inside = true;
                }
            litOutside += !inside;
        }
    EXPECT_EQ(0, litOutside);
    // A star wholly on the surface shows; one at the edge may be cut away.
    for (int k = 0; k < 4; ++k) {
        if (stars[k].right <= W && stars[k].bottom <= H) {
            EXPECT_GT(litInStar[k], 0) << "star " << k << " at " << stars[k].left << "," << stars[k].top;
        }
    }
}

namespace {

// Pixels of the given value inside and outside a rectangle.
std::pair<int, int> CountValue(const SurfacePixels& pixels, DWORD value, RECT box)
{
    std::pair<int, int> n(0, 0);
    for (int y = 0; y < pixels.height; ++y)
        for (int x = 0; x < pixels.width; ++x)
            if (pixels.At(x, y) == value) {
                POINT p = { x, y };
                (PtInRect(&box, p) ? n.first : n.second) += 1;
            }
    return n;
}

} // namespace

TEST_F(FullScreenScene, FrameRateTextFollowsTheLowestBitOfFps)
{
    HDC screen = GetDC(nullptr);
    const int bits = GetDeviceCaps(screen, BITSPIXEL);
    ReleaseDC(nullptr, screen);
    if (bits != 16)
        GTEST_SKIP() << "values below are 5-6-5";
    SetDwordSetting("Count", 0);
    SetDwordSetting("Stars", 0);
    const RECT corner = { 0, 0, 80, 20 };
    for (DWORD fps : { 2u, 3u }) {
        SetDwordSetting("Fps", fps);
        CSceneWnd* scene = Start(1);
        scene->RenderFrame();
        std::pair<int, int> grey = CountValue(ReadSurface(m_recorder.Surface("primary")), kGrey565, corner);
        if (fps == 3) {
            EXPECT_GT(grey.first, 20) << "\"FPS: 0\" in grey at the top left";
        } else {
            EXPECT_EQ(0, grey.first);
        }
        EXPECT_EQ(0, grey.second) << "Fps " << fps;
    }
}

namespace {

// The animation thread's clock: it moves one millisecond each time it is
// read, and twenty more at each frame's counting read (frames that take
// 20 ms); after the sixth frame it stands still, and the thread waits.
struct PacedFrames {
    CSceneWnd* scene = nullptr;
    int seenFrames = 0;
    DWORD ends[6] = {};
    std::atomic<int> frames{ 0 };
} *g_paced = nullptr;

DWORD WINAPI PacingClock()
{
    if (g_paced->frames == 6)
        return g_now;
    g_now += 1;
    if (TestAccess::m_nFpsFrames(*g_paced->scene) != g_paced->seenFrames) {
        g_paced->seenFrames = TestAccess::m_nFpsFrames(*g_paced->scene);
        g_now += 20;
        g_paced->ends[g_paced->frames] = g_now;
        ++g_paced->frames;
    }
    return g_now;
}

} // namespace

TEST_F(RunAnimation, PeriodRunsFromTheEndOfEachFrame)
{
    SetDwordSetting("Speed", 30);
    PacedFrames paced;
    g_paced = &paced;
    g_now = 1000;
    m_platform.timeGetTime = PacingClock;
    CSceneWnd* scene = new CSceneWnd(FALSE, m_platform);
    paced.scene = scene;
    ASSERT_TRUE(scene->Create(0, WS_CHILD | WS_VISIBLE, RECT{ 0, 0, 320, 240 }, CWnd::FromHandle(m_parent)));
    // However slowly the thread gets there: its pace is the clock's.
    for (int i = 0; i < 3000 && paced.frames < 6; ++i)
        Sleep(10);
    scene->DestroyWindow();
    DWORD code = 1;
    EXPECT_TRUE(GetExitCodeThread(TestAccess::m_pThread(*scene)->m_hThread, &code));
    EXPECT_EQ(0u, code);
    ASSERT_EQ(6, paced.frames);
    // From one frame's end to the next: the whole period, then the 20 ms
    // frame, plus the few reads of the clock itself.
    for (int k = 1; k < 6; ++k) {
        DWORD gap = paced.ends[k] - paced.ends[k - 1];
        EXPECT_GE(gap, 30u + 20u) << "frame " << k;
        EXPECT_LE(gap, 30u + 20u + 3u) << "frame " << k;
    }
    EXPECT_EQ(6, TestAccess::m_nFpsFrames(*scene));
    EXPECT_EQ(0, TestAccess::m_nFps(*scene));
    g_paced = nullptr;
    delete scene;
}

TEST_F(PreviewScene, NeverShowsTheFrameRateText)
{
    SetDwordSetting("Fps", 3);
    SetDwordSetting("Speed", kNoFrames);
    CSceneWnd* scene = Start(5);
    scene->RenderFrame();
    // The screen under the window shows the composed frame and nothing over it.
    SurfacePixels screen = ReadSurface(m_recorder.Surface("primary"));
    SurfacePixels frame = ReadSurface(m_recorder.Surface(ScreenSized()));
    ASSERT_GT(screen.width, 0);
    int differing = 0;
    for (int y = 0; y < 240; ++y)
        for (int x = 0; x < 320; ++x)
            differing += screen.At(x, y) != frame.At(x, y);
    EXPECT_EQ(0, differing);
}

namespace {

// The places a group of each type may start at on a 640 x 480 display: x by
// the columns of eight frames that fit, y by seven rows of six frames.
bool IsStartingPlace(int type, int x, int y)
{
    static const int kStepX[4] = { 192, 320, 640, 0 };
    static const int kStepY[4] = { 144, 240, 480, 960 };
    static const int kColumns[4] = { 4, 3, 2, 1 };
    bool column = false;
    for (int c = 0; c < kColumns[type]; ++c)
        column |= x == c * kStepX[type];
    return column && y % kStepY[type] == 0 && y / kStepY[type] <= 6;
}

} // namespace

TEST_F(FullScreenScene, Depth8_PaletteAndGroupPlacesOnA640By480Display)
{
    if (EnvironmentValue("SKARDEL_DEPTH") != "8")
        GTEST_SKIP() << "needs the 8-bit 640 x 480 display";
    ASSERT_EQ(640, GetSystemMetrics(SM_CXSCREEN));
    ASSERT_EQ(480, GetSystemMetrics(SM_CYSCREEN));
    SetDwordSetting("Count", 40);
    SetDwordSetting("Stars", 0);
    const unsigned seed = 2026;
    CSceneWnd* scene = Start(seed);
    ASSERT_NE(nullptr, scene->GetSafeHwnd());
    // The palette display keeps its mode, and the scene's palette is on it.
    IDirectDrawSurface3* primary = m_recorder.Surface("primary");
    DDSURFACEDESC desc = {};
    desc.dwSize = sizeof desc;
    ASSERT_EQ(DD_OK, primary->GetSurfaceDesc(&desc));
    EXPECT_EQ(8u, desc.ddpfPixelFormat.dwRGBBitCount);
    IDirectDrawPalette* palette = nullptr;
    ASSERT_EQ(DD_OK, primary->GetPalette(&palette));
    palette->Release();

    // Forty groups of eight; each group's leader where its type's grid and
    // its drop put it.
    CSpriteList& sprites = TestAccess::m_sprites(*scene);
    ASSERT_EQ(40 * 8, sprites.GetSize());
    const int fw[4] = { 24, 40, 80, 160 }, fh[4] = { 24, 40, 80, 160 };
    srand(seed);
    int typesSeen[4] = {};
    for (int g = 0; g < 40; ++g) {
        int x[4], y[4];
        for (int k = 0; k < 4; ++k) {
            int r = RandomRange(0, 6);
            int c = RandomRange(0, 640 / (8 * fw[k]));
            x[k] = c * 8 * fw[k];
            y[k] = r * 6 * fh[k];
        }
        int t = RandomRange(1, 15);
        int type = t <= 8 ? 0 : t <= 12 ? 1 : t <= 14 ? 2 : 3;
        ++typesSeen[type];
        int drop = 0;
        for (int i = 0; i < 8; ++i) {
            RandomRange(30, 40);
            int d = RandomRange(4, 8);
            RandomRange(0, 7);
            if (i == 0)
                drop = d;
        }
        EXPECT_TRUE(IsStartingPlace(type, x[type], y[type])) << "group " << g;
        const int lx = x[type] + 3 * fw[type], ly = y[type] + (fh[type] + fh[type] / 2) / drop;
        const RECT place = { lx, ly, lx + fw[type], ly + fh[type] };
        CSaucer* leader = nullptr;
        for (int i = 0; i < sprites.GetSize() && !leader; ++i) {
            if (Covers(*sprites.GetSprite(i), place))
                leader = static_cast<CSaucer*>(sprites.GetSprite(i));
        }
        ASSERT_NE(nullptr, leader) << "group " << g;
        EXPECT_EQ(lx, TestAccess::m_nBaseX(*leader)) << "group " << g;
    }
    for (int k = 0; k < 4; ++k)
        EXPECT_GT(typesSeen[k], 0) << "this seed gives no group of type " << k;
}

TEST_F(PreviewScene, Depth8_PreviewSetsTheSamePalette)
{
    if (EnvironmentValue("SKARDEL_DEPTH") != "8")
        GTEST_SKIP() << "needs the 8-bit 640 x 480 display";
    Start(3);
    CComPtr<IDirectDrawPalette> shown;
    ASSERT_EQ(DD_OK, m_recorder.Surface("primary")->GetPalette(&shown));
    PALETTEENTRY scene_entries[256], sheet_entries[256];
    ASSERT_EQ(DD_OK, shown->GetEntries(0, 0, 256, scene_entries));
    CComPtr<IDirectDrawPalette> sheet = DDLoadPalette2(m_recorder.DirectDraw(), "IDB_MARS4");
    ASSERT_NE(nullptr, sheet);
    ASSERT_EQ(DD_OK, sheet->GetEntries(0, 0, 256, sheet_entries));
    for (int i = 0; i < 256; ++i)
        EXPECT_EQ(RGB(sheet_entries[i].peRed, sheet_entries[i].peGreen, sheet_entries[i].peBlue),
                  RGB(scene_entries[i].peRed, scene_entries[i].peGreen, scene_entries[i].peBlue))
            << "entry " << i;
}

TEST_F(PreviewScene, FourStarsAreNoneInThePreview)
{
    SetDwordSetting("Stars", 4);
    SetDwordSetting("Speed", kNoFrames);
    Start(11);
    SurfacePixels background = ReadSurface(m_recorder.Surface(OffscreenLabel(320, 240)));
    ASSERT_EQ(320 * 240, int(background.values.size()));
    EXPECT_EQ(0u, LitPixels(background));
}

namespace {

// A clock that, once armed, stops the next frame that reads it (after the
// frame has counted itself, inside the frame's lock) until released: a frame
// stuck for good.
struct StuckFrame {
    std::atomic<bool> armed{ false };
    CSceneWnd* scene = nullptr;
    int framesWhenArmed = 0;
    HANDLE inside = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    ~StuckFrame()
    {
        CloseHandle(inside);
        CloseHandle(release);
    }
} *g_stuck = nullptr;

DWORD WINAPI StickingClock()
{
    if (g_stuck->armed && TestAccess::m_nFpsFrames(*g_stuck->scene) != g_stuck->framesWhenArmed) {
        SetEvent(g_stuck->inside);
        WaitForSingleObject(g_stuck->release, INFINITE);
    }
    return timeGetTime();
}

} // namespace

TEST_F(PreviewScene, AStopEndsWhenAFrameNeverReturnsAndLeavesItsObjectsToTheThread)
{
    SetDwordSetting("Speed", 10);
    StuckFrame stuck;
    g_stuck = &stuck;
    m_platform.timeGetTime = StickingClock;
    CSceneWnd* scene = new CSceneWnd(FALSE, m_platform);
    RECT rect = { 0, 0, 320, 240 };
    stuck.scene = scene;
    ASSERT_TRUE(scene->Create(0, WS_CHILD | WS_VISIBLE, rect, CWnd::FromHandle(m_parent)));
    stuck.framesWhenArmed = TestAccess::m_nFpsFrames(*scene);
    stuck.armed = true;
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(stuck.inside, 10000));

    // The destroy returns although the frame never does. Should it not, a
    // watchdog lets the frame end after a while so that the test can fail.
    HANDLE returned = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::atomic<bool> rescued{ false };
    std::thread watchdog([&] {
        if (WaitForSingleObject(returned, 15000) == WAIT_TIMEOUT) {
            rescued = true;
            SetEvent(stuck.release);
        }
    });
    scene->DestroyWindow();
    SetEvent(returned);
    watchdog.join();
    CloseHandle(returned);
    ASSERT_FALSE(rescued) << "the stop waited for the stuck frame";
    EXPECT_EQ(WAIT_TIMEOUT, WaitForSingleObject(TestAccess::m_pThread(*scene)->m_hThread, 0));
    // Nothing the thread may still touch was released.
    EXPECT_NE(nullptr, m_recorder.DirectDraw());
    EXPECT_NE(nullptr, m_recorder.Surface(ScreenSized()));
    EXPECT_NE(0, TestAccess::m_sprites(*scene).GetSize());
    std::vector<std::string> lines = Saved(scene->m_log, "skardel_stuck.scr");
    EXPECT_TRUE(Contains(lines, "Animation thread did not stop - its objects are left until the program ends"));

    // Let the frame end: the thread sees the stop and touches nothing more.
    SetEvent(stuck.release);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(TestAccess::m_pThread(*scene)->m_hThread, 10000));
    g_stuck = nullptr;
    delete scene;
}

TEST_F(PreviewScene, ARepaintDrawsNothingWhileTheThreadIsInsideAFrame)
{
    SetDwordSetting("Speed", 10);
    StuckFrame stuck;
    g_stuck = &stuck;
    m_platform.timeGetTime = StickingClock;
    CSceneWnd* scene = Start(7);
    stuck.scene = scene;
    stuck.framesWhenArmed = TestAccess::m_nFpsFrames(*scene);
    stuck.armed = true;
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(stuck.inside, 10000));
    // Inside its frame, the thread may be moving them: a paint draws nothing.
    const int blts = m_recorder.Calls("IDirectDrawSurface3::Blt");
    InvalidateRect(scene->GetSafeHwnd(), nullptr, FALSE);
    UpdateWindow(scene->GetSafeHwnd());
    EXPECT_EQ(blts, m_recorder.Calls("IDirectDrawSurface3::Blt"));
    stuck.armed = false;
    SetEvent(stuck.release);
    Finish();
    g_stuck = nullptr;
}

TEST_F(FullScreenScene, LostSurfacesComeBackWithTheirPicturesAndARunOfFailuresIsToldOnce)
{
    SetDwordSetting("Stars", 200);
    CSceneWnd* scene = Start(11);
    ASSERT_NE(nullptr, scene->GetSafeHwnd());
    IDirectDrawSurface3* primary = m_recorder.Surface("primary");
    IDirectDrawSurface3* background = m_recorder.Surface(ScreenSized());
    IDirectDrawSurface3* mars3 = m_recorder.Surface(OffscreenLabel(320, 160));  // the third saucer sheet
    SurfacePixels before = ReadSurface(background);
    SurfacePixels sheet = ReadSurface(mars3);
    ASSERT_LT(0u, LitPixels(before));
    const size_t startLines = Saved(scene->m_log, "skardel_lost.scr").size();

    // The display taken away and given back, as when another program or a
    // secure desktop comes in front: the surfaces are lost for real.
    scene->SendMessage(WM_ACTIVATEAPP, FALSE, 0);
    scene->SendMessage(WM_ACTIVATEAPP, TRUE, 0);
    ASSERT_EQ(DDERR_SURFACELOST, background->IsLost());
    // Windows refuses the restore while another program holds the display;
    // Wine lets it through, so that refusal is made here, frame after frame.
    m_recorder.FailCall("IDirectDrawSurface3::Restore", DDERR_WRONGMODE, 0);
    for (int i = 0; i < 5; ++i)
        scene->Redraw();
    EXPECT_EQ(DDERR_SURFACELOST, background->IsLost());
    // Given back: the next frame restores every surface and its picture.
    m_recorder.FailCall("", S_OK);
    scene->Redraw();
    EXPECT_EQ(DD_OK, primary->IsLost());
    EXPECT_EQ(DD_OK, background->IsLost());
    EXPECT_EQ(DD_OK, mars3->IsLost());
    EXPECT_EQ(before.values, ReadSurface(background).values);
    EXPECT_EQ(sheet.values, ReadSurface(mars3).values);
    scene->Redraw();

    std::vector<std::string> lines = Saved(scene->m_log, "skardel_lost.scr");
    ASSERT_LE(startLines, lines.size());
    EXPECT_EQ((std::vector<std::string>{ "Restoring lost surfaces failed", "Frames failed before recovering = 5" }),
              std::vector<std::string>(lines.begin() + startLines, lines.end()));
}

TEST_F(FullScreenScene, FrameRateTextIsPartOfEveryComposedFrameWithTheLastSecondsCount)
{
    SetDwordSetting("Count", 0);
    SetDwordSetting("Stars", 0);
    SetDwordSetting("Fps", 1);
    // Frames made here on the scene's own clock, which stands at the start
    // until they move it: the animation thread never waits out its period.
    m_platform.timeGetTime = FakeClock;
    g_now = 5000;
    CSceneWnd* scene = Start(1);
    ASSERT_NE(nullptr, scene->GetSafeHwnd());
    // Twenty-one frames within one second of the scene's clock.
    for (int k = 0; k < 21; ++k) {
        g_now = 5000 + 50 * k;
        scene->RenderFrame();
    }
    // Any frame composed now carries the count, a paint's as well.
    scene->Redraw();
    SurfacePixels shown = ReadSurface(m_recorder.Surface("primary"));

    // The same text drawn by GDI on a surface of the screen's format.
    DDSURFACEDESC desc = {};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
    desc.dwWidth = 160;
    desc.dwHeight = 32;
    IDirectDrawSurface* plain = nullptr;
    ASSERT_EQ(DD_OK, m_recorder.DirectDraw()->CreateSurface(&desc, &plain, nullptr));
    IDirectDrawSurface3* reference = nullptr;
    ASSERT_EQ(DD_OK, plain->QueryInterface(IID_IDirectDrawSurface3, reinterpret_cast<void**>(&reference)));
    plain->Release();
    RECT all = { 0, 0, 160, 32 };
    ASSERT_EQ(DD_OK, scene->FillSurface(reference, all, 0));
    HDC dc = nullptr;
    ASSERT_EQ(DD_OK, reference->GetDC(&dc));
    SetBkColor(dc, RGB(0, 0, 0));
    SetTextColor(dc, RGB(96, 96, 96));
    SIZE size = {};
    GetTextExtentPoint32A(dc, "FPS: 21", 7, &size);
    TextOutA(dc, 0, 0, "FPS: 21", 7);
    reference->ReleaseDC(dc);
    SurfacePixels expected = ReadSurface(reference);
    reference->Release();

    ASSERT_GT(size.cx, 10);
    int lit = 0, differ = 0;
    for (int y = 0; y < size.cy; ++y)
        for (int x = 0; x < size.cx; ++x) {
            lit += expected.At(x, y) != 0;
            differ += expected.At(x, y) != shown.At(x, y);
        }
    EXPECT_GT(lit, 20);
    EXPECT_EQ(0, differ) << "\"FPS: 21\" in the top-left corner of the shown frame";
    // Beside the text, the empty black background.
    for (int x = size.cx; x < size.cx + 20; ++x)
        EXPECT_EQ(0u, shown.At(x, size.cy / 2)) << x;
}
