// The About page's picture on the real GDI of the platform: its palette on a
// palette display and a deeper one, its pixels, its release, and the
// resources it refuses.
#include "config/DibPicture.h"
#include "res/resource.h"
#include "support/Process.h"
#include "support/TestAccess.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

// The colour table of resource 139 as stored.
std::vector<RGBQUAD> LogoColours()
{
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC res = FindResourceA(module, MAKEINTRESOURCEA(IDB_LOGO), MAKEINTRESOURCEA(2));
    const BITMAPINFOHEADER* header = static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(module, res)));
    const RGBQUAD* colours = reinterpret_cast<const RGBQUAD*>(reinterpret_cast<const BYTE*>(header) + header->biSize);
    return std::vector<RGBQUAD>(colours, colours + 256);
}

std::vector<PALETTEENTRY> EntriesOf(const CPalette& palette)
{
    std::vector<PALETTEENTRY> entries(256);
    EXPECT_EQ(256u, GetPaletteEntries(palette, 0, 256, entries.data()));
    return entries;
}

DWORD GdiObjects()
{
    return GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
}

// Every pixel of a 110 x 120 drawing, as the screen-compatible bitmap holds it.
std::vector<COLORREF> Drawn(void (*draw)(HDC))
{
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP target = CreateCompatibleBitmap(screen, 110, 120);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, target);
    draw(dc);
    std::vector<COLORREF> pixels;
    for (int y = 0; y < 120; ++y)
        for (int x = 0; x < 110; ++x)
            pixels.push_back(GetPixel(dc, x, y));
    SelectObject(dc, old);
    DeleteObject(target);
    DeleteDC(dc);
    return pixels;
}

} // namespace

TEST(CDibPicture, PaletteIsTheColourTableOnADeepDisplay)
{
    if (GetDeviceCaps(CClientDC(nullptr), BITSPIXEL) <= 8)
        GTEST_SKIP() << "needs a display deeper than 8 bits";
    CDibPicture picture;
    ASSERT_TRUE(picture.LoadFromResource(MAKEINTRESOURCEA(IDB_LOGO), FALSE));
    EXPECT_EQ(110, picture.m_nWidth);
    EXPECT_EQ(120, picture.m_nHeight);
    ASSERT_TRUE(TestAccess::m_pPalette(picture));
    std::vector<PALETTEENTRY> entries = EntriesOf(*TestAccess::m_pPalette(picture));
    std::vector<RGBQUAD> colours = LogoColours();
    for (int i = 0; i < 256; ++i) {
        EXPECT_EQ(colours[i].rgbRed, entries[i].peRed) << i;
        EXPECT_EQ(colours[i].rgbGreen, entries[i].peGreen) << i;
        EXPECT_EQ(colours[i].rgbBlue, entries[i].peBlue) << i;
        EXPECT_EQ(0, entries[i].peFlags) << i;
    }
    EXPECT_FALSE(TestAccess::m_pMask(picture));
}

TEST(CDibPicture, Depth8_StaticColoursStayTheSystemsOnAPaletteDisplay)
{
    if (EnvironmentValue("SKARDEL_DEPTH") != "8")
        GTEST_SKIP() << "needs the 8-bit display";
    CDibPicture picture;
    ASSERT_TRUE(picture.LoadFromResource(MAKEINTRESOURCEA(IDB_LOGO), FALSE));
    ASSERT_TRUE(TestAccess::m_pPalette(picture));
    std::vector<PALETTEENTRY> entries = EntriesOf(*TestAccess::m_pPalette(picture));
    std::vector<PALETTEENTRY> system(256);
    CClientDC screen(nullptr);
    ASSERT_EQ(256u, GetSystemPaletteEntries(screen, 0, 256, system.data()));
    std::vector<RGBQUAD> colours = LogoColours();
    for (int i = 0; i < 256; ++i) {
        bool stat = i < 10 || i >= 246;
        EXPECT_EQ(stat ? system[i].peRed : colours[i].rgbRed, entries[i].peRed) << i;
        EXPECT_EQ(stat ? system[i].peGreen : colours[i].rgbGreen, entries[i].peGreen) << i;
        EXPECT_EQ(stat ? system[i].peBlue : colours[i].rgbBlue, entries[i].peBlue) << i;
        EXPECT_EQ(stat ? system[i].peFlags : PC_NOCOLLAPSE, entries[i].peFlags) << i;
    }
}

TEST(CDibPicture, DrawingReproducesThePicturePixelForPixel)
{
    static CDibPicture picture;
    ASSERT_TRUE(picture.LoadFromResource(MAKEINTRESOURCEA(IDB_LOGO), FALSE));
    // The same resource decoded by the system.
    std::vector<COLORREF> expected = Drawn([](HDC dc) {
        HBITMAP decoded = static_cast<HBITMAP>(
            LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDB_LOGO), IMAGE_BITMAP, 0, 0, 0));
        HDC source = CreateCompatibleDC(dc);
        HGDIOBJ old = SelectObject(source, decoded);
        BitBlt(dc, 0, 0, 110, 120, source, 0, 0, SRCCOPY);
        SelectObject(source, old);
        DeleteDC(source);
        DeleteObject(decoded);
    });
    std::vector<COLORREF> drawn = Drawn([](HDC dc) { EXPECT_TRUE(picture.Draw(dc, 0, 0, 110, 120, 0, 0, SRCCOPY)); });
    ASSERT_EQ(expected.size(), drawn.size());
    size_t differ = 0;
    for (size_t i = 0; i < drawn.size(); ++i)
        differ += drawn[i] != expected[i];
    EXPECT_EQ(0u, differ);
    // Not all one colour: the picture is really there.
    size_t black = 0;
    for (COLORREF c : drawn)
        black += c == RGB(0, 0, 0);
    EXPECT_LT(black, drawn.size());
    picture.Unload();
}

namespace {

std::vector<HGDIOBJ> HandlesOf(const CDibPicture& picture)
{
    return { TestAccess::m_pPalette(picture)->GetSafeHandle(), TestAccess::m_pBitmap(picture)->GetSafeHandle(),
             TestAccess::m_pMask(picture)->GetSafeHandle() };
}

bool Deleted(HGDIOBJ h)
{
    return GetObjectType(h) == 0;
}

} // namespace

// Windows counts the process's GDI objects; Wine's count is always 0, so
// there the handles themselves are looked at.
TEST(CDibPicture, ASecondLoadReleasesTheFirstAndUnloadReleasesAll)
{
    const DWORD before = GdiObjects();
    std::vector<HGDIOBJ> last;
    {
        CDibPicture picture;
        ASSERT_TRUE(picture.LoadFromResource(MAKEINTRESOURCEA(IDB_LOGO), TRUE));
        ASSERT_TRUE(TestAccess::m_pMask(picture));
        std::vector<HGDIOBJ> first = HandlesOf(picture);
        const DWORD loaded = GdiObjects();
        if (before) {
            EXPECT_EQ(before + 3, loaded);  // palette, bitmap, mask
        }
        ASSERT_TRUE(picture.LoadFromResource(MAKEINTRESOURCEA(IDB_LOGO), TRUE));
        std::vector<HGDIOBJ> second = HandlesOf(picture);
        EXPECT_EQ(loaded, GdiObjects());
        for (HGDIOBJ h : first) {
            // Gone, unless the second load was handed the same slot again.
            bool reused = std::find(second.begin(), second.end(), h) != second.end();
            EXPECT_TRUE(reused || Deleted(h));
        }
        EXPECT_TRUE(picture.Unload());
        EXPECT_EQ(before, GdiObjects());
        for (HGDIOBJ h : second)
            EXPECT_TRUE(Deleted(h));
        EXPECT_FALSE(picture.Unload());
        ASSERT_TRUE(picture.LoadFromResource(MAKEINTRESOURCEA(IDB_LOGO), TRUE));
        last = HandlesOf(picture);
    }
    // The destructor releases what is loaded.
    EXPECT_EQ(before, GdiObjects());
    for (HGDIOBJ h : last)
        EXPECT_TRUE(Deleted(h));
}

TEST(CDibPicture, RefusesWhatIsNotAWholeEightBitBitmapAndThenDrawsNothing)
{
    const struct {
        const char* name;
        bool loads;
    } cases[] = {
        { "TEST_BLACK", true },    // 8 bits, 4 x 4, rows of whole words
        { "TEST_4BIT", false },    { "TEST_24BIT", false },
        { "TEST_SHORT", false },   // its pixels stop half way
        { "NO_SUCH_BITMAP", false },
    };
    for (const auto& c : cases) {
        CDibPicture picture;
        EXPECT_EQ(c.loads, picture.LoadFromResource(c.name, FALSE) != FALSE) << c.name;
        if (!c.loads) {
            EXPECT_FALSE(TestAccess::m_pPalette(picture)) << c.name;
            EXPECT_FALSE(TestAccess::m_pBitmap(picture)) << c.name;
            HDC dc = CreateCompatibleDC(nullptr);
            EXPECT_FALSE(picture.Draw(dc, 0, 0, 4, 4, 0, 0, SRCCOPY)) << c.name;
            DeleteDC(dc);
        }
    }
}
