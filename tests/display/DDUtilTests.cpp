// Artwork into real surfaces of Wine's DirectDraw.
#include "display/DDUtil.h"
#include "display/DisplayWnd.h"
#include "scene/SpriteImage.h"
#include "support/DDrawWrappers.h"
#include "support/Process.h"
#include "support/SurfacePixels.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

typedef std::vector<std::string> Lines;

std::string TempPath(const char* name)
{
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    return std::string(dir) + name;
}

// A DirectDraw object at the normal cooperative level, wrapped so that the
// surfaces an image loads its sheet into are in reach, and the main window
// whose log the loader writes to.
class ArtworkTest : public testing::Test {
protected:
    void SetUp() override
    {
        IDirectDraw* dd = nullptr;
        ASSERT_EQ(DD_OK, m_guard.platform.DirectDrawCreate(nullptr, &dd, nullptr));
        ASSERT_EQ(DD_OK, dd->QueryInterface(IID_IDirectDraw2, reinterpret_cast<void**>(&m_dd)));
        dd->Release();
        ASSERT_EQ(DD_OK, m_dd->SetCooperativeLevel(nullptr, DDSCL_NORMAL));
        m_logPath = TempPath("skardel_artwork.scr");
        m_window.m_log.Open(false, m_logPath.c_str());
        AfxGetApp()->m_pMainWnd = &m_window;
    }
    void TearDown() override
    {
        AfxGetApp()->m_pMainWnd = nullptr;
        for (IDirectDrawSurface3* s : m_surfaces)
            s->Release();
        if (m_dd)
            m_dd->Release();
    }

    Lines LoggedLines()
    {
        m_window.m_log.Save();
        return ReadLogBody(m_logPath);
    }

    IDirectDrawSurface3* Keep(IDirectDrawSurface3* s)
    {
        if (s)
            m_surfaces.push_back(s);
        return s;
    }

    IDirectDrawSurface3* Plain(int w, int h, DWORD fill)
    {
        DDSURFACEDESC desc = {};
        desc.dwSize = sizeof desc;
        desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
        desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
        desc.dwWidth = w;
        desc.dwHeight = h;
        IDirectDrawSurface* s = nullptr;
        EXPECT_EQ(DD_OK, m_dd->CreateSurface(&desc, &s, nullptr));
        IDirectDrawSurface3* s3 = nullptr;
        s->QueryInterface(IID_IDirectDrawSurface3, reinterpret_cast<void**>(&s3));
        s->Release();
        DDBLTFX fx = {};
        fx.dwSize = sizeof fx;
        fx.dwFillColor = fill;
        s3->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx);
        return Keep(s3);
    }

    // The sheet an image loaded: the one surface of its size.
    IDirectDrawSurface3* SheetOf(int w, int h)
    {
        return Keep(m_recorder.Surface(OffscreenLabel(w, h)));
    }

    DDrawRecorder m_recorder;
    DDrawWrapGuard m_guard{ &m_recorder };
    IDirectDraw2* m_dd = nullptr;
    CDisplayWnd m_window{ FALSE };
    std::string m_logPath;
    std::vector<IDirectDrawSurface3*> m_surfaces;
};

DWORD KeyOf(IDirectDrawSurface3* s)
{
    DDCOLORKEY key = {};
    s->GetColorKey(DDCKEY_SRCBLT, &key);
    DDSURFACEDESC desc = {};
    desc.dwSize = sizeof desc;
    s->GetSurfaceDesc(&desc);
    return desc.ddpfPixelFormat.dwRGBBitCount >= 24 ? key.dwColorSpaceLowValue & 0xFFFFFF : key.dwColorSpaceLowValue;
}

// Draws frame onto a surface filled with fill and checks every pixel: the
// key leaves the fill, everything else is the sheet's pixel.
void ExpectKeyedFrame(CSpriteImage& image, IDirectDrawSurface3* sheetSurface, IDirectDrawSurface3* dest, DWORD fill,
                      int frame, int srcX, int srcY)
{
    EXPECT_TRUE(image.DrawFrame(dest, 0, 0, frame));
    SurfacePixels sheet = ReadSurface(sheetSurface);
    SurfacePixels out = ReadSurface(dest);
    DWORD key = KeyOf(sheetSurface);
    int drawn = 0, kept = 0;
    for (int y = 0; y < image.m_nFrameHeight; ++y)
        for (int x = 0; x < image.m_nFrameWidth; ++x) {
            DWORD src = sheet.At(srcX + x, srcY + y);
            if (src == key) {
                ++kept;
                ASSERT_EQ(fill, out.At(x, y)) << x << "," << y;
            } else {
                ++drawn;
                ASSERT_EQ(src, out.At(x, y)) << x << "," << y;
            }
        }
    EXPECT_GT(drawn, 0);
    EXPECT_GT(kept, 0);
}

int DisplayDepth()
{
    HDC dc = GetDC(nullptr);
    int bits = GetDeviceCaps(dc, BITSPIXEL);
    ReleaseDC(nullptr, dc);
    return bits;
}

} // namespace

TEST_F(ArtworkTest, SheetsLoadFromTheExecutableAtTheirSizes)
{
    struct { const char* name; int w, h; } sheets[] = {
        { "IDB_MARS1", 192, 24 }, { "IDB_MARS2", 320, 40 }, { "IDB_MARS3", 320, 160 },
        { "IDB_MARS4", 640, 320 }, { "IDB_STARS", 24, 8 },
    };
    for (auto& sheet : sheets) {
        SIZE size = { -1, -1 };
        IDirectDrawSurface3* s = Keep(DDLoadBitmap2(m_dd, sheet.name, 0, 0, &size).Detach());
        ASSERT_NE(nullptr, s) << sheet.name;
        EXPECT_EQ(sheet.w, size.cx) << sheet.name;
        EXPECT_EQ(sheet.h, size.cy) << sheet.name;
        DDSURFACEDESC desc = {};
        desc.dwSize = sizeof desc;
        s->GetSurfaceDesc(&desc);
        EXPECT_EQ(static_cast<DWORD>(sheet.w), desc.dwWidth);
        EXPECT_TRUE(desc.ddsCaps.dwCaps & DDSCAPS_OFFSCREENPLAIN);
    }
    EXPECT_EQ(Lines(), LoggedLines());
}

TEST_F(ArtworkTest, MissingNameIsLoggedAndAFileServesAsFallBack)
{
    SIZE size = {};
    EXPECT_EQ(nullptr, DDLoadBitmap2(m_dd, "IDB_NOSUCH", 0, 0, &size));
    EXPECT_EQ(Lines({ "DDLoadBitmap2 - LoadImage failed: IDB_NOSUCH" }), LoggedLines());

    // A bitmap file of the same artwork.
    HRSRC res = FindResourceA(nullptr, "IDB_MARS1", reinterpret_cast<LPCSTR>(RT_BITMAP));
    ASSERT_NE(nullptr, res);
    const BYTE* data = static_cast<const BYTE*>(LockResource(LoadResource(nullptr, res)));
    DWORD length = SizeofResource(nullptr, res);
    std::string file = TempPath("skardel_mars1.bmp");
    HANDLE h = CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    BITMAPFILEHEADER header = {};
    header.bfType = 0x4D42;
    header.bfSize = sizeof header + length;
    header.bfOffBits = sizeof header + 40 + 256 * 4;
    DWORD written;
    WriteFile(h, &header, sizeof header, &written, nullptr);
    WriteFile(h, data, length, &written, nullptr);
    CloseHandle(h);
    IDirectDrawSurface3* s = Keep(DDLoadBitmap2(m_dd, file.c_str(), 0, 0, &size).Detach());
    EXPECT_NE(nullptr, s);
    EXPECT_EQ(192, size.cx);
    EXPECT_EQ(24, size.cy);
    DeleteFileA(file.c_str());

    // Without a main window nothing is logged, and nothing breaks.
    AfxGetApp()->m_pMainWnd = nullptr;
    EXPECT_EQ(nullptr, DDLoadBitmap2(m_dd, "IDB_NOSUCH", 0, 0, &size));
}

TEST_F(ArtworkTest, ColourKeysLeaveTheBackgroundAndPaintTheSaucer)
{
    // 16 bits on the normal display; 32 on the 24-bit one.
    CSpriteImage saucers, stars;
    ASSERT_TRUE(saucers.Load(m_dd, "IDB_MARS1"));
    saucers.SetFrameGrid(8, 1);
    ASSERT_TRUE(stars.Load(m_dd, "IDB_STARS"));
    stars.SetFrameGrid(3, 1);
    IDirectDrawSurface3* saucerSheet = SheetOf(192, 24);
    IDirectDrawSurface3* starSheet = SheetOf(24, 8);
    const DWORD blue = DisplayDepth() == 16 ? 0x001F : 0x0000FF;
    EXPECT_EQ(ReadSurface(saucerSheet).At(0, 0), KeyOf(saucerSheet));
    for (int f = 0; f < 8; ++f)
        ExpectKeyedFrame(saucers, saucerSheet, Plain(24, 24, blue), blue, f, f * 24, 0);
    for (int f = 0; f < 3; ++f)
        ExpectKeyedFrame(stars, starSheet, Plain(8, 8, blue), blue, f, f * 8, 0);

    // Frame 6 of a 4 x 2 sheet is row 1, column 2.
    CSpriteImage mars3;
    ASSERT_TRUE(mars3.Load(m_dd, "IDB_MARS3"));
    mars3.SetFrameGrid(4, 2);
    ExpectKeyedFrame(mars3, SheetOf(320, 160), Plain(80, 80, blue), blue, 6, 160, 80);

    // Frames outside the sheet draw nothing.
    IDirectDrawSurface3* untouched = Plain(24, 24, blue);
    EXPECT_TRUE(saucers.DrawFrame(untouched, 0, 0, 8));
    EXPECT_TRUE(saucers.DrawFrame(untouched, 0, 0, -1));
    for (DWORD v : ReadSurface(untouched).values)
        ASSERT_EQ(blue, v);
}

TEST_F(ArtworkTest, Depth24_ColourKeysOn32BitSurfaces)
{
    if (EnvironmentValue("SKARDEL_DEPTH") != "24")
        GTEST_SKIP() << "needs the 24-bit display";
    CSpriteImage big;
    ASSERT_TRUE(big.Load(m_dd, "IDB_MARS4"));
    big.SetFrameGrid(4, 2);
    IDirectDrawSurface3* sheet = SheetOf(640, 320);
    EXPECT_EQ(32, ReadSurface(sheet).bits);
    EXPECT_EQ(0xFF0000u, KeyOf(sheet));
    ExpectKeyedFrame(big, sheet, Plain(160, 160, 0x0000FF), 0x0000FF, 6, 160 * 2, 160);
}

TEST_F(ArtworkTest, MatchingAColourRestoresTheTopLeftPixel)
{
    if (DisplayDepth() != 16)
        GTEST_SKIP() << "values below are 5-6-5";
    IDirectDrawSurface3* s = Plain(4, 4, 0x001F);  // blue
    EXPECT_EQ(0xF800u, DDMatchColor(s, RGB(255, 0, 0)));
    EXPECT_EQ(0x001Fu, ReadSurface(s).At(0, 0));
    EXPECT_EQ(0x001Fu, DDMatchColor(s, CLR_INVALID));
    EXPECT_EQ(0x07E0u, DDMatchColor(s, RGB(0, 255, 0)));
    // A red top-left pixel becomes the key, and stays red.
    IDirectDrawSurface3* red = Plain(4, 4, 0xF800);
    EXPECT_EQ(DD_OK, DDSetSourceColorKey(red, CLR_INVALID));
    EXPECT_EQ(0xF800u, KeyOf(red));
    EXPECT_EQ(0xF800u, ReadSurface(red).At(0, 0));
}

TEST_F(ArtworkTest, PaletteFromTheSaucerSheet)
{
    PALETTEENTRY system[256] = {};
    HDC dc = GetDC(nullptr);
    GetSystemPaletteEntries(dc, 0, 256, system);
    ReleaseDC(nullptr, dc);

    CComPtr<IDirectDrawPalette> pal = DDLoadPalette2(m_dd, "IDB_MARS4");
    ASSERT_NE(nullptr, pal);
    PALETTEENTRY got[256];
    pal->GetEntries(0, 0, 256, got);

    HRSRC res = FindResourceA(nullptr, "IDB_MARS4", reinterpret_cast<LPCSTR>(RT_BITMAP));
    const BITMAPINFO* info = static_cast<const BITMAPINFO*>(LockResource(LoadResource(nullptr, res)));
    for (int i = 0; i < 256; ++i) {
        const RGBQUAD& c = info->bmiColors[i];
        bool black = c.rgbRed == 0 && c.rgbGreen == 0 && c.rgbBlue == 0;
        PALETTEENTRY want = system[i];
        if (i >= 12 && !black)
            want = { c.rgbRed, c.rgbGreen, c.rgbBlue, 0 };
        EXPECT_EQ(0, memcmp(&want, &got[i], sizeof want)) << "entry " << i;
    }

    CComPtr<IDirectDrawPalette> plain = DDLoadPalette2(m_dd, nullptr);
    ASSERT_NE(nullptr, plain);
    plain->GetEntries(0, 0, 256, got);
    EXPECT_EQ(0, memcmp(system, got, sizeof got));
}

TEST_F(ArtworkTest, PaletteFromAFileSparesNothing)
{
    // A 4-bit bitmap file: sixteen colours, black among them, swapped from
    // blue-green-red order.
    std::string file = TempPath("skardel_4bit.bmp");
    BITMAPFILEHEADER header = {};
    header.bfType = 0x4D42;
    BITMAPINFOHEADER info = {};
    info.biSize = 40;
    info.biWidth = 2;
    info.biHeight = 2;
    info.biPlanes = 1;
    info.biBitCount = 4;
    RGBQUAD table[16];
    for (int i = 0; i < 16; ++i)
        table[i] = { static_cast<BYTE>(i * 16), static_cast<BYTE>(i), static_cast<BYTE>(255 - i), 0 };
    table[3] = { 0, 0, 0, 0 };
    HANDLE h = CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written;
    WriteFile(h, &header, sizeof header, &written, nullptr);
    WriteFile(h, &info, sizeof info, &written, nullptr);
    WriteFile(h, table, sizeof table, &written, nullptr);
    CloseHandle(h);

    PALETTEENTRY system[256] = {};
    HDC dc = GetDC(nullptr);
    GetSystemPaletteEntries(dc, 0, 256, system);
    ReleaseDC(nullptr, dc);
    CComPtr<IDirectDrawPalette> pal = DDLoadPalette2(m_dd, file.c_str());
    ASSERT_NE(nullptr, pal);
    PALETTEENTRY got[256];
    pal->GetEntries(0, 0, 256, got);
    DeleteFileA(file.c_str());
    // DirectDraw itself keeps entry 0 of such a palette black.
    for (int i = 1; i < 16; ++i) {
        EXPECT_EQ(table[i].rgbRed, got[i].peRed) << i;
        EXPECT_EQ(table[i].rgbGreen, got[i].peGreen) << i;
        EXPECT_EQ(table[i].rgbBlue, got[i].peBlue) << i;
    }
    // The file ended there: the rest is the system's.
    for (int i = 16; i < 256; ++i)
        EXPECT_EQ(0, memcmp(&system[i], &got[i], sizeof got[i])) << i;
}

TEST_F(ArtworkTest, PaletteRulesForResources)
{
    PALETTEENTRY system[256] = {};
    HDC dc = GetDC(nullptr);
    GetSystemPaletteEntries(dc, 0, 256, system);
    ReleaseDC(nullptr, dc);
    auto load = [this](const char* name, PALETTEENTRY* out) {
        CComPtr<IDirectDrawPalette> pal = DDLoadPalette2(m_dd, name);
        ASSERT_NE(nullptr, pal) << name;
        pal->GetEntries(0, 0, 256, out);
        };
    auto tableColour = [](int i) { return PALETTEENTRY{ static_cast<BYTE>(1 + i / 2), static_cast<BYTE>(i),
                                                        static_cast<BYTE>(255 - i), 0 }; };
    PALETTEENTRY got[256];

    // 4 bits with no colour count: sixteen colours, of which 12 to 15 apply.
    load("TEST_4BIT", got);
    for (int i = 0; i < 256; ++i) {
        PALETTEENTRY want = (i >= 12 && i < 16) ? tableColour(i) : system[i];
        EXPECT_EQ(0, memcmp(&want, &got[i], sizeof want)) << "4-bit entry " << i;
    }

    // Black colours of the bitmap leave the system's entries.
    load("TEST_BLACK", got);
    // DirectDraw itself keeps the last entry of such a palette white.
    EXPECT_EQ(255, got[255].peRed);
    EXPECT_EQ(255, got[255].peGreen);
    EXPECT_EQ(255, got[255].peBlue);
    for (int i = 0; i < 255; ++i) {
        PALETTEENTRY want = (i >= 12 && !(i >= 20 && i <= 29)) ? tableColour(i) : system[i];
        EXPECT_EQ(0, memcmp(&want, &got[i], sizeof want)) << "entry " << i;
    }

    // A short header or more than 8 bits a pixel: the system palette.
    load("TEST_CORE", got);
    EXPECT_EQ(0, memcmp(system, got, sizeof got));
    load("TEST_24BIT", got);
    EXPECT_EQ(0, memcmp(system, got, sizeof got));
}

TEST(DDCreate, NoLibraryOrEntryPointIsNoDirectDraw)
{
    const struct {
        const char* library;
        HRESULT expected;
    } cases[] = {
        { "no_such_library_anywhere.dll", DDERR_NODIRECTDRAWSUPPORT },
        { "KERNEL32.DLL", DDERR_NODIRECTDRAWSUPPORT },  // loads, but has no DirectDrawCreate
        { "DDRAW.DLL", DD_OK },
    };
    for (const auto& c : cases) {
        IDirectDraw* dd = reinterpret_cast<IDirectDraw*>(1);
        EXPECT_EQ(c.expected, DDCreateFrom(c.library, nullptr, &dd, nullptr)) << c.library;
        EXPECT_EQ(c.expected == DD_OK, dd != nullptr) << c.library;
        if (SUCCEEDED(c.expected) && dd) {
            EXPECT_EQ(0u, dd->Release()) << c.library;
        }
    }
}
