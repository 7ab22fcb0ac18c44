// Frames composed on real surfaces, read back pixel by pixel.
#include "scene/SpriteWnd.h"
#include "support/DDrawWrappers.h"
#include "support/Process.h"
#include "support/Registry.h"
#include "support/SurfacePixels.h"
#include "support/TestAccess.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

const DWORD kBlue = 0x001F;   // 5-6-5

// A sprite window whose display a test turns on and off, as the scene does
// around its set-up.
class CTestSpriteWnd : public CSpriteWnd {
public:
    using CSpriteWnd::CSpriteWnd;
    using CDisplayWnd::SetActive;
};

class CompositionTest : public testing::Test {
protected:
    void Create(bool preview)
    {
        ClearStoredSettings();
        m_guard = new DDrawWrapGuard(&m_recorder);
        m_parent = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 40, 30, 200, 150, nullptr, nullptr,
                                   nullptr, nullptr);
        m_wnd = new CTestSpriteWnd(FALSE, m_guard->platform);
        if (preview) {
            RECT rect = { 0, 0, 200, 150 };
            ASSERT_TRUE(m_wnd->Create(0, WS_CHILD | WS_VISIBLE, rect, CWnd::FromHandle(m_parent)));
        } else {
            RECT rect = { 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN) };
            ASSERT_TRUE(m_wnd->Create(0, WS_POPUP | WS_VISIBLE, rect, nullptr));
        }
        m_w = preview ? 200 : GetSystemMetrics(SM_CXSCREEN);
        m_h = preview ? 150 : GetSystemMetrics(SM_CYSCREEN);
        // The work surface is the screen's size in the preview, the back
        // buffer in full screen.
        m_work = preview ? OffscreenLabel(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)) : "backbuffer";
        IDirectDrawSurface3* background = m_recorder.Surface(OffscreenLabel(m_w, m_h));
        ASSERT_NE(nullptr, background);
        ASSERT_EQ(DD_OK, m_wnd->FillSurface(background, RECT{ 0, 0, m_w, m_h }, kBlue));
        ASSERT_TRUE(m_image.Load(m_recorder.DirectDraw(), "IDB_MARS1"));
        m_image.SetFrameGrid(8, 1);
        IDirectDrawSurface3* sheet = m_recorder.Surface(kSheet);
        ASSERT_NE(nullptr, sheet);
        m_sheet = ReadSurface(sheet);
        DDCOLORKEY key = {};
        sheet->GetColorKey(DDCKEY_SRCBLT, &key);
        m_key = key.dwColorSpaceLowValue;
        theDisplayWnd = m_wnd;
        m_wnd->SetActive(TRUE);
    }
    void TearDown() override
    {
        if (m_wnd && m_wnd->GetSafeHwnd()) {
            // The image's surface would go with DirectDraw; the test gives
            // its reference back first so that every reference is counted.
            if (IDirectDrawSurface3* sheet = m_recorder.Surface(kSheet))
                sheet->Release();
            m_wnd->DestroyWindow();
            EXPECT_EQ(0, m_recorder.References());
        }
        delete m_wnd;
        delete m_guard;
        DestroyWindow(m_parent);
        EXPECT_EQ(nullptr, theDisplayWnd);
    }

    CSprite* AddSprite(int x, int y, int frame, int depth)
    {
        CSprite* s = new CSprite;
        s->SetImage(&m_image, 0);
        s->SetPosition(x, y, FALSE);
        s->SetFrame(frame, FALSE);
        s->SetDepth(depth, FALSE);
        TestAccess::m_sprites(*m_wnd).Insert(s);
        return s;
    }

    // The colour the frame gives at (x, y) of the frame, or none for key.
    bool FramePixel(int frame, int x, int y, DWORD* value) const
    {
        *value = m_sheet.At(frame * 24 + x, y);
        return *value != m_key;
    }

    // The one surface of the sprite sheet's size.
    const std::string kSheet = OffscreenLabel(192, 24);
    DDrawRecorder m_recorder;
    DDrawWrapGuard* m_guard = nullptr;
    HWND m_parent = nullptr;
    CTestSpriteWnd* m_wnd = nullptr;
    std::string m_work;
    CSpriteImage m_image;
    SurfacePixels m_sheet;
    DWORD m_key = 0;
    int m_w = 0, m_h = 0;
};

} // namespace

TEST_F(CompositionTest, EmptyListShowsTheBackground)
{
    Create(true);
    int before = m_recorder.Calls("IDirectDrawSurface3::Blt");
    m_wnd->Redraw();
    EXPECT_EQ(before + 2, m_recorder.Calls("IDirectDrawSurface3::Blt"));  // copy and present
    SurfacePixels work = ReadSurface(m_recorder.Surface(m_work));
    for (int y = 0; y < m_h; ++y)
        for (int x = 0; x < m_w; ++x)
            ASSERT_EQ(kBlue, work.At(x, y)) << x << "," << y;
}

TEST_F(CompositionTest, LaterAndDeeperSpritesLieOnTop)
{
    Create(true);
    AddSprite(10, 10, 0, 50);
    AddSprite(18, 12, 3, 50);   // same depth, inserted later: on top
    AddSprite(60, 40, 1, 70);   // deeper, inserted first: on top of the next
    AddSprite(66, 44, 5, 50);
    m_wnd->Redraw();
    SurfacePixels work = ReadSurface(m_recorder.Surface(m_work));
    auto expectStack = [&](int x, int y, int topFrame, int topX, int topY, int lowFrame, int lowX, int lowY) {
        DWORD v;
        DWORD want = kBlue;
        if (x >= lowX && x < lowX + 24 && y >= lowY && y < lowY + 24 && FramePixel(lowFrame, x - lowX, y - lowY, &v))
            want = v;
        if (x >= topX && x < topX + 24 && y >= topY && y < topY + 24 && FramePixel(topFrame, x - topX, y - topY, &v))
            want = v;
        return want;
    };
    for (int y = 8; y < 40; ++y)
        for (int x = 8; x < 46; ++x)
            ASSERT_EQ(expectStack(x, y, 3, 18, 12, 0, 10, 10), work.At(x, y)) << x << "," << y;
    for (int y = 38; y < 72; ++y)
        for (int x = 58; x < 94; ++x)
            ASSERT_EQ(expectStack(x, y, 1, 60, 40, 5, 66, 44), work.At(x, y)) << x << "," << y;
}

TEST_F(CompositionTest, ClipperTrimsASpriteOnePixelInside)
{
    Create(true);
    // Outside the window's area the work surface keeps what it had.
    SurfacePixels before = ReadSurface(m_recorder.Surface(m_work));
    CSprite* s = AddSprite(199, 40, 2, 50);
    m_wnd->Redraw();
    SurfacePixels work = ReadSurface(m_recorder.Surface(m_work));
    for (int y = 40; y < 64; ++y) {
        DWORD v;
        DWORD want = FramePixel(2, 0, y - 40, &v) ? v : kBlue;
        ASSERT_EQ(want, work.At(199, y)) << y;
        for (int x = 200; x < 224; ++x)
            ASSERT_EQ(before.At(x, y), work.At(x, y)) << x << "," << y;
    }
    // Wholly outside, or invisible: not drawn at all.
    int blts = m_recorder.Calls("IDirectDrawSurface3::Blt");
    s->SetPosition(200, 40, FALSE);
    m_wnd->Redraw();
    EXPECT_EQ(blts + 2, m_recorder.Calls("IDirectDrawSurface3::Blt"));
    s->SetPosition(0, 0, FALSE);
    s->SetVisible(FALSE, FALSE);
    m_wnd->Redraw();
    EXPECT_EQ(blts + 4, m_recorder.Calls("IDirectDrawSurface3::Blt"));
}

TEST_F(CompositionTest, InactiveDisplayOnlyCopiesTheBackground)
{
    Create(false);
    AddSprite(10, 10, 0, 50);
    m_wnd->SetActive(FALSE);
    int blts = m_recorder.Calls("IDirectDrawSurface3::Blt");
    m_wnd->Redraw();
    EXPECT_EQ(blts + 1, m_recorder.Calls("IDirectDrawSurface3::Blt"));
    EXPECT_EQ(0, m_recorder.Calls("IDirectDrawSurface3::Flip"));
    SurfacePixels work = ReadSurface(m_recorder.Surface(m_work));
    EXPECT_EQ(kBlue, work.At(20, 20));
}

TEST_F(CompositionTest, SaverFlipsTheComposedFrameToTheScreen)
{
    Create(false);
    AddSprite(100, 80, 4, 50);
    m_wnd->Redraw();
    EXPECT_EQ(1, m_recorder.Calls("IDirectDrawSurface3::Flip"));
    SurfacePixels screen = ReadSurface(m_recorder.Surface("primary"));
    for (int y = 76; y < 108; ++y)
        for (int x = 96; x < 128; ++x) {
            DWORD v;
            bool inside = x >= 100 && x < 124 && y >= 80 && y < 104;
            DWORD want = inside && FramePixel(4, x - 100, y - 80, &v) ? v : kBlue;
            ASSERT_EQ(want, screen.At(x, y)) << x << "," << y;
        }
}

TEST_F(CompositionTest, FailingBackgroundCopySkipsEachFrameAndIsToldOncePerRun)
{
    Create(false);
    AddSprite(10, 10, 0, 50);
    char path[MAX_PATH];
    GetTempPathA(MAX_PATH, path);
    std::string log = std::string(path) + "skardel_composition.scr";
    m_wnd->m_log.Open(false, log.c_str());
    m_recorder.FailCall("IDirectDrawSurface3::Blt", DDERR_SURFACELOST, 0);
    for (int i = 0; i < 3; ++i)
        m_wnd->Redraw();
    m_recorder.FailCall("", S_OK);
    EXPECT_EQ(0, m_recorder.Calls("IDirectDrawSurface3::Flip"));
    // The run of failures is told once, and its length when a frame works.
    m_wnd->Redraw();
    EXPECT_EQ(1, m_recorder.Calls("IDirectDrawSurface3::Flip"));
    m_wnd->m_log.Save();
    std::vector<std::string> lines = ReadLogLines(log);
    ASSERT_LE(2u, lines.size());
    EXPECT_EQ((std::vector<std::string>{ "Error blitting background to work\n", "Frames failed before recovering = 3" }),
              std::vector<std::string>(lines.end() - 3, lines.end() - 1));
    int errors = 0;
    for (const std::string& l : lines)
        errors += l == "Error blitting background to work\n";
    EXPECT_EQ(1, errors);
}

TEST_F(CompositionTest, SpriteRedrawsComposeOnlyOnChange)
{
    Create(true);
    CSprite* s = AddSprite(10, 10, 0, 50);
    int blts = m_recorder.Calls("IDirectDrawSurface3::Blt");
    s->SetPosition(10, 10, TRUE);  // unchanged: no frame
    EXPECT_EQ(blts, m_recorder.Calls("IDirectDrawSurface3::Blt"));
    s->SetPosition(11, 10, TRUE);  // a frame: copy, the sprite, present
    EXPECT_EQ(blts + 3, m_recorder.Calls("IDirectDrawSurface3::Blt"));
}

TEST_F(CompositionTest, TwoThreadsAndPaintingNeverOverlap)
{
    Create(true);
    for (int i = 0; i < 12; ++i)
        AddSprite(i * 15, i * 10, i % 8, 50 + i % 3 * 10);
    std::atomic<bool> stop{ false };
    auto loop = [&stop]() {
        while (!stop)
            RedrawDisplay();
    };
    std::thread a(loop), b(loop);
    DWORD start = GetTickCount();
    while (GetTickCount() - start < 2000) {
        InvalidateRect(m_wnd->GetSafeHwnd(), nullptr, FALSE);
        UpdateWindow(m_wnd->GetSafeHwnd());
        PumpMessages(1);
    }
    // Shut down while both threads still compose.
    m_wnd->DestroyWindow();
    stop = true;
    a.join();
    b.join();
    EXPECT_FALSE(m_recorder.overlapped);
    EXPECT_GT(m_recorder.Calls("IDirectDrawSurface3::Blt"), 100);
    EXPECT_EQ(0, TestAccess::m_sprites(*m_wnd).GetSize());
}
