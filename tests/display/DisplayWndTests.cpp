// The display window on Wine's real DirectDraw, with thin forwarding wrappers
// that record releases and fail one chosen call.
#include "display/DisplayPlatform.h"
#include "display/DisplayWnd.h"
#include "support/DDrawWrappers.h"
#include "support/Process.h"
#include "support/Registry.h"
#include "support/StartupLog.h"

#include <gtest/gtest.h>

namespace {

typedef std::vector<std::string> Lines;

int g_destroyed = 0;

class CTestDisplayWnd : public CDisplayWnd {
public:
    CTestDisplayWnd(BOOL bAutoDelete, const DisplayPlatform& platform) : CDisplayWnd(bAutoDelete, platform) {}
    ~CTestDisplayWnd() override { ++g_destroyed; }
};

std::string ThisProgram()
{
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return path;
}

Lines SavedLines()
{
    return ReadLogBody(ThisProgram());
}

void DeleteLog()
{
    std::string path = ThisProgram();
    path = path.substr(0, path.rfind('.')) + ".log";
    DeleteFileA(path.c_str());
}

Lines Concat(Lines a, const Lines& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

HRGN WINAPI NoRegion(const RECT*)
{
    return nullptr;
}

class DisplayWndTest : public testing::Test {
protected:
    void SetUp() override
    {
        ClearStoredSettings();
        DeleteLog();
        g_destroyed = 0;
        m_screenW = GetSystemMetrics(SM_CXSCREEN);
        m_screenH = GetSystemMetrics(SM_CYSCREEN);
        m_parent = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 100, 80, 320, 240, nullptr,
                                   nullptr, nullptr, nullptr);
    }
    void TearDown() override { DestroyWindow(m_parent); }

    BOOL CreateSaver(CDisplayWnd* wnd)
    {
        RECT rect = { 0, 0, m_screenW, m_screenH };
        return wnd->Create(0, WS_POPUP | WS_VISIBLE, rect, nullptr);
    }
    BOOL CreatePreview(CDisplayWnd* wnd)
    {
        RECT rect;
        GetClientRect(m_parent, &rect);
        return wnd->Create(0, WS_CHILD | WS_VISIBLE, rect, CWnd::FromHandle(m_parent));
    }

    int m_screenW = 0;
    int m_screenH = 0;
    HWND m_parent = nullptr;
};

} // namespace

TEST_F(DisplayWndTest, PreviewSetUpAndOrderedRelease)
{
    DDrawRecorder recorder;
    DDrawWrapGuard guard(&recorder);
    CTestDisplayWnd wnd(FALSE, guard.platform);
    ASSERT_TRUE(CreatePreview(&wnd));
    // The work surface is the whole screen, the background the window.
    std::string workLabel = OffscreenLabel(m_screenW, m_screenH);
    IDirectDrawSurface3* primary = recorder.Surface("primary");
    IDirectDrawClipper* clipper = recorder.Clipper();
    ASSERT_TRUE(recorder.Surface(workLabel) && recorder.Surface("offscreen 320x240") && primary && clipper);
    EXPECT_EQ(Lines({ workLabel + " set", "offscreen 320x240 set" }), recorder.clippers);
    IDirectDrawClipper* attached = nullptr;
    EXPECT_EQ(DDERR_NOCLIPPERATTACHED, primary->GetClipper(&attached));
    // Not active until a derived window says so: a frame copies the
    // background and shows nothing.
    int blts = recorder.Calls("IDirectDrawSurface3::Blt");
    wnd.Redraw();
    EXPECT_EQ(blts + 1, recorder.Calls("IDirectDrawSurface3::Blt"));

    // The window's rectangle is the clip list.
    DWORD size = 0;
    clipper->GetClipList(nullptr, nullptr, &size);
    std::vector<BYTE> data(size);
    ASSERT_EQ(DD_OK, clipper->GetClipList(nullptr, reinterpret_cast<RGNDATA*>(data.data()), &size));
    RGNDATA* rgn = reinterpret_cast<RGNDATA*>(data.data());
    ASSERT_EQ(1u, rgn->rdh.nCount);
    RECT clip = *reinterpret_cast<RECT*>(rgn->Buffer);
    EXPECT_EQ(0, clip.left);
    EXPECT_EQ(0, clip.top);
    EXPECT_EQ(320, clip.right);
    EXPECT_EQ(240, clip.bottom);

    wnd.m_log.Save();
    EXPECT_EQ(ExpectedStartupLines(m_screenW, m_screenH, 16), SavedLines());

    recorder.releases.clear();
    recorder.clippers.clear();
    wnd.DestroyWindow();
    EXPECT_EQ(Lines({ "clipper", "offscreen 320x240", workLabel, "primary", "IDirectDraw2" }), recorder.releases);
    EXPECT_EQ(Lines({ workLabel + " cleared", "offscreen 320x240 cleared" }), recorder.clippers);
    EXPECT_EQ(0, recorder.References());
    EXPECT_EQ(0, g_destroyed);  // no auto-delete: the object outlives its window
}

TEST_F(DisplayWndTest, SaverSetUpAndOrderedRelease)
{
    DDrawRecorder recorder;
    DDrawWrapGuard guard(&recorder);
    CTestDisplayWnd* wnd = new CTestDisplayWnd(TRUE, guard.platform);
    ASSERT_TRUE(CreateSaver(wnd));
    // The frame is composed on the primary's back buffer, over a background
    // of the screen's size.
    std::string bgLabel = OffscreenLabel(m_screenW, m_screenH);
    ASSERT_TRUE(recorder.Surface("backbuffer") && recorder.Surface(bgLabel));
    DDSCAPS caps = {};
    recorder.Surface("backbuffer")->GetCaps(&caps);
    EXPECT_TRUE(caps.dwCaps & DDSCAPS_BACKBUFFER);
    EXPECT_EQ(Lines({ "backbuffer set", bgLabel + " set" }), recorder.clippers);
    wnd->m_log.Save();
    EXPECT_EQ(ExpectedStartupLines(m_screenW, m_screenH, 16), SavedLines());

    recorder.releases.clear();
    HWND hWnd = wnd->GetSafeHwnd();
    DestroyWindow(hWnd);
    EXPECT_EQ(Lines({ "clipper", bgLabel, "backbuffer", "primary", "IDirectDraw2" }), recorder.releases);
    EXPECT_EQ(0, recorder.References());
    EXPECT_EQ(1, g_destroyed);  // deleted after its window
}

TEST_F(DisplayWndTest, EveryFailureLabelThenOrderedRelease)
{
    std::string bg = OffscreenLabel(m_screenW, m_screenH);
    struct Case {
        bool preview;
        const char* call;
        int occurrence;
        HRESULT result;
        const char* line;
        bool capsWritten;
        Lines releases;
    };
    const HRESULT noInterface = E_NOINTERFACE;
    const Case cases[] = {
        { false, "DirectDrawCreate", 1, DDERR_NODIRECTDRAWHW,
          "Main DirectDrawCreate failed - code: DDERR_NODIRECTDRAWHW", false, {} },
        { false, "IDirectDraw::QueryInterface", 1, noInterface,
          "main QueryInterface failed - code: Unknown error 80004002", false, { "IDirectDraw" } },
        { true, "IDirectDraw2::SetCooperativeLevel", 1, DDERR_HWNDALREADYSET,
          "SetCooperativeLevel failed - code: DDERR_HWNDALREADYSET", true, { "IDirectDraw", "IDirectDraw2" } },
        { false, "IDirectDraw2::SetCooperativeLevel", 1, DDERR_EXCLUSIVEMODEALREADYSET,
          "Primary SetCooperativeLevel failed - code: DDERR_EXCLUSIVEMODEALREADYSET", true,
          { "IDirectDraw", "IDirectDraw2" } },
        { false, "IDirectDraw2::CreateSurface", 1, DDERR_OUTOFVIDEOMEMORY,
          "Primary CreateSurface failed - code: DDERR_OUTOFVIDEOMEMORY", true, { "IDirectDraw", "IDirectDraw2" } },
        { true, "IDirectDrawSurface::QueryInterface", 1, noInterface,
          "Primary QueryInterface failed - code: Unknown error 80004002", true,
          { "IDirectDraw", "primary", "IDirectDraw2" } },
        { false, "IDirectDrawSurface3::GetAttachedSurface", 1, DDERR_NOTFOUND,
          "GetAttachedSurface failed - code: DDERR_NOTFOUND", true,
          { "IDirectDraw", "primary", "primary", "IDirectDraw2" } },
        { false, "IDirectDraw2::CreateSurface", 2, DDERR_OUTOFMEMORY,
          " CreateSurface failed - code: DDERR_OUTOFMEMORY", true,
          { "IDirectDraw", "primary", "backbuffer", "primary", "IDirectDraw2" } },
        { false, "IDirectDrawSurface::QueryInterface", 2, noInterface,
          " QueryInterface failed - code: Unknown error 80004002", true,
          { "IDirectDraw", "primary", bg, "backbuffer", "primary", "IDirectDraw2" } },
        { false, "IDirectDraw2::CreateClipper", 1, DDERR_OUTOFMEMORY,
          "Primary CreateClipper failed - code: DDERR_OUTOFMEMORY", true,
          { "IDirectDraw", "primary", bg, bg, "backbuffer", "primary", "IDirectDraw2" } },
        { false, "IDirectDrawClipper::SetClipList", 1, DDERR_REGIONTOOSMALL,
          "clipper SetClipList failed - code: DDERR_REGIONTOOSMALL", true,
          { "IDirectDraw", "primary", bg, "clipper", bg, "backbuffer", "primary", "IDirectDraw2" } },
        { false, "IDirectDrawSurface3::SetClipper", 1, DDERR_INVALIDOBJECT,
          "work SetClipper failed - code: DDERR_INVALIDOBJECT", true,
          { "IDirectDraw", "primary", bg, "clipper", bg, "backbuffer", "primary", "IDirectDraw2" } },
        { false, "IDirectDrawSurface3::SetClipper", 2, DDERR_INVALIDOBJECT,
          "background SetClipper failed - code: DDERR_INVALIDOBJECT", true,
          { "IDirectDraw", "primary", bg, "clipper", bg, "backbuffer", "primary", "IDirectDraw2" } },
    };
    for (const Case& c : cases) {
        DeleteLog();
        g_destroyed = 0;
        DDrawRecorder recorder;
        recorder.FailCall(c.call, c.result, c.occurrence);
        DDrawWrapGuard guard(&recorder);
        CTestDisplayWnd* wnd = new CTestDisplayWnd(TRUE, guard.platform);
        EXPECT_FALSE(c.preview ? CreatePreview(wnd) : CreateSaver(wnd)) << c.line;
        EXPECT_EQ(1, g_destroyed) << c.line;

        Lines expected = ExpectedLinesToPlatform();
        if (c.capsWritten)
            expected = Concat(expected, ExpectedCapsLines(m_screenW, m_screenH, 16));
        expected.push_back(c.line);
        expected.push_back("DirectDraw Initialisation failed! Aborting application");
        EXPECT_EQ(expected, SavedLines()) << c.line;
        EXPECT_EQ(c.releases, recorder.releases) << c.line;
        EXPECT_EQ(0, recorder.References()) << c.line;
        EXPECT_EQ(nullptr, FindWindowExA(m_parent, nullptr, nullptr, nullptr)) << c.line;
    }
}

TEST_F(DisplayWndTest, DirectXBelowFiveFailsWithoutALabel)
{
    DDrawRecorder recorder;
    DDrawWrapGuard guard(&recorder);
    guard.platform.ProbeDirectXVersion = [](DWORD* version, DWORD* platform) {
        *version = 0x300;
        *platform = 2;
    };
    CTestDisplayWnd* wnd = new CTestDisplayWnd(TRUE, guard.platform);
    EXPECT_FALSE(CreateSaver(wnd));
    EXPECT_EQ(1, g_destroyed);
    EXPECT_EQ(Lines({ "Program Version: 1, 1, 2, 0", "Creating main window", "Starting DirectDraw Initialisation...",
                      "Direct Draw version 0300", "Platform: Windows NT",
                      "DirectDraw Initialisation failed! Aborting application" }),
              SavedLines());
    EXPECT_EQ(0, recorder.calls["DirectDrawCreate"]);
}

// Run on a 24-bit display (reported as 32 bits): the saver switches it to
// 16 bits at the same resolution and gives the desktop's mode back when it
// releases DirectDraw.
TEST_F(DisplayWndTest, Depth24_SaverSwitchesTo16BitsAndBack)
{
    if (EnvironmentValue("SKARDEL_DEPTH") != "24")
        GTEST_SKIP() << "needs the 24-bit display";
    // Wine's figures depend on the mode in force: take them before the switch.
    Lines expected = ExpectedStartupLines(m_screenW, m_screenH, 32);
    DDrawRecorder recorder;
    DDrawWrapGuard guard(&recorder);
    CTestDisplayWnd* wnd = new CTestDisplayWnd(TRUE, guard.platform);
    ASSERT_TRUE(CreateSaver(wnd));
    EXPECT_EQ(1, recorder.calls["IDirectDraw2::SetDisplayMode"]);
    DDSURFACEDESC mode = {};
    mode.dwSize = sizeof mode;
    recorder.DirectDraw()->GetDisplayMode(&mode);
    EXPECT_EQ(16u, mode.ddpfPixelFormat.dwRGBBitCount);
    EXPECT_EQ(static_cast<DWORD>(m_screenW), mode.dwWidth);
    wnd->m_log.Save();
    EXPECT_EQ(expected, SavedLines());
    wnd->DestroyWindow();
    EXPECT_EQ(0, recorder.References());

    IDirectDraw* dd = nullptr;
    ASSERT_EQ(DD_OK, DirectDrawCreate(nullptr, &dd, nullptr));
    DDSURFACEDESC after = {};
    after.dwSize = sizeof after;
    dd->GetDisplayMode(&after);
    dd->Release();
    EXPECT_EQ(32u, after.ddpfPixelFormat.dwRGBBitCount);
}

TEST_F(DisplayWndTest, Depth24_RefusedModeSwitchFailsTheSetUp)
{
    if (EnvironmentValue("SKARDEL_DEPTH") != "24")
        GTEST_SKIP() << "needs the 24-bit display";
    DDrawRecorder recorder;
    recorder.FailCall("IDirectDraw2::SetDisplayMode", DDERR_UNSUPPORTED);
    DDrawWrapGuard guard(&recorder);
    CTestDisplayWnd* wnd = new CTestDisplayWnd(TRUE, guard.platform);
    EXPECT_FALSE(CreateSaver(wnd));
    EXPECT_EQ(1, g_destroyed);
    Lines expected = Concat(ExpectedLinesToPlatform(), ExpectedCapsLines(m_screenW, m_screenH, 32));
    expected.push_back("SetDisplayMode failed - code: DDERR_UNSUPPORTED");
    expected.push_back("DirectDraw Initialisation failed! Aborting application");
    EXPECT_EQ(expected, SavedLines());
    EXPECT_EQ(Lines({ "IDirectDraw", "IDirectDraw2" }), recorder.releases);
    EXPECT_EQ(0, recorder.References());
}

TEST_F(DisplayWndTest, AClipRegionThatCannotBeMadeFailsTheSetUp)
{
    DDrawRecorder recorder;
    DDrawWrapGuard guard(&recorder);
    guard.platform.CreateRectRgnIndirect = NoRegion;
    CTestDisplayWnd* wnd = new CTestDisplayWnd(TRUE, guard.platform);
    EXPECT_FALSE(CreateSaver(wnd));
    EXPECT_EQ(1, g_destroyed);
    Lines expected = Concat(ExpectedLinesToPlatform(), ExpectedCapsLines(m_screenW, m_screenH, 16));
    expected.push_back("Failed to create the clip region");
    expected.push_back("DirectDraw Initialisation failed! Aborting application");
    EXPECT_EQ(expected, SavedLines());
    EXPECT_EQ(0, recorder.calls["IDirectDrawClipper::SetClipList"]);
    EXPECT_EQ(0, recorder.References());
}
