// The hyperlink control on real windows, the real cursor and clipboard, and
// a scheme handler of the tests' own registered in the test prefix.
#include "config/HyperlinkWnd.h"
#include "res/resource.h"
#include "support/Process.h"
#include "support/SurfacePixels.h"
#include "support/TestAccess.h"

#include <gtest/gtest.h>
#include <uxtheme.h>

#include <string>
#include <vector>

namespace {

const char kText[] = "Tolmere on the web: http://www.tolmere.example/";

class HyperlinkTest : public testing::Test {
protected:
    // The links' parent: a classic page, a dialog as the sheet's pages are.
    void SetUp() override
    {
        struct alignas(4) {
            DLGTEMPLATE t;
            WORD menu, cls, title;
        } const kPage = { { WS_POPUP | WS_VISIBLE, 0, 0, 130, 100, 300, 60 }, 0, 0, 0 };
        m_parent = CreateDialogIndirectParamA(nullptr, &kPage.t, nullptr, nullptr, 0);
        ASSERT_NE(nullptr, m_parent);
    }
    void TearDown() override { DestroyWindow(m_parent); }

    // A link at (10, 20) of the parent, w x 20.
    CHyperlinkWnd* Make(const char* text, const char* link, int alignment, int w, UINT cursor = 0, UINT menu = 0)
    {
        CHyperlinkWnd* wnd = new CHyperlinkWnd;
        RECT rect = { 10, 20, 10 + w, 40 };
        EXPECT_TRUE(wnd->Create(text, link, rect, alignment, CWnd::FromHandle(m_parent), 4096, cursor, menu));
        m_links.emplace_back(wnd);
        return wnd;
    }
    // The middle of a link's window: of its text too, when centred.
    POINT Centre(CHyperlinkWnd* wnd)
    {
        RECT client;
        GetClientRect(wnd->GetSafeHwnd(), &client);
        return POINT{ client.right / 2, client.bottom / 2 };
    }
    HWND m_parent = nullptr;
    std::vector<std::unique_ptr<CHyperlinkWnd>> m_links;
};

// In the links' font, or another one.
SIZE TextSize(const char* text, HFONT other = nullptr)
{
    CFont font;
    font.CreatePointFont(80, "MS Sans Serif");
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, other ? other : static_cast<HFONT>(font));
    SIZE size = {};
    GetTextExtentPoint32A(dc, text, lstrlenA(text), &size);
    SelectObject(dc, old);
    DeleteDC(dc);
    return size;
}

// The pixel of the link's window on the screen.
COLORREF ScreenPixel(HWND hWnd, int x, int y)
{
    POINT p = { x, y };
    ClientToScreen(hWnd, &p);
    HDC screen = GetDC(nullptr);
    COLORREF c = GetPixel(screen, p.x, p.y);
    ReleaseDC(nullptr, screen);
    return c;
}

// A colour as the display shows it (a 16-bit one rounds most of them).
COLORREF Shown(COLORREF colour)
{
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP pixel = CreateCompatibleBitmap(screen, 1, 1);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, pixel);
    SetPixel(dc, 0, 0, colour);
    COLORREF shown = GetPixel(dc, 0, 0);
    SelectObject(dc, old);
    DeleteObject(pixel);
    DeleteDC(dc);
    return shown;
}

// The link shows the hand (IDC_POINTING_HAND) exactly over r: at its
// corners, not just beyond them.
bool HandExactlyOver(CHyperlinkWnd* wnd, const RECT& r)
{
    const HCURSOR hand = LoadCursorA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDC_POINTING_HAND));
    auto handAt = [&](int x, int y) {
        SetCursor(LoadCursor(nullptr, IDC_ARROW));
        SendMessageA(wnd->GetSafeHwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
        return GetCursor() == hand;
    };
    return handAt(r.left, r.top) && handAt(r.right - 1, r.bottom - 1) && !handAt(r.left - 1, r.top) &&
           !handAt(r.left, r.top - 1) && !handAt(r.right, r.bottom - 1) && !handAt(r.right - 1, r.bottom);
}

std::string ReadFileText(const std::string& path)
{
    std::string text;
    ReadWholeFile(AfxWiden(path.c_str()), &text);
    return text;
}

} // namespace

TEST_F(HyperlinkTest, TextRectangleFollowsTheAlignment)
{
    const SIZE size = TextSize(kText);
    ASSERT_GT(size.cx, 100);
    const struct {
        int alignment, width, left;
    } cases[] = {
        { 0, 360, 0 },
        { 1, 360, (360 - size.cx) / 2 },
        { 2, 360, 360 - size.cx },
        { 7, 360, 0 },                   // any other value: left
        { 1, 100, (100 - size.cx) / 2 }, // wider than the window: starts left of it
    };
    const int top = (20 - size.cy) / 2;
    for (const auto& c : cases) {
        CHyperlinkWnd* wnd = Make(kText, "http://www.tolmere.example/", c.alignment, c.width, IDC_POINTING_HAND);
        EXPECT_TRUE(HandExactlyOver(wnd, RECT{ c.left, top, c.left + size.cx, top + size.cy }))
            << c.alignment << " in " << c.width;
    }
}

TEST_F(HyperlinkTest, HoverUnderlinesInBlueAndTheHandShowsOnlyOverTheText)
{
    CHyperlinkWnd* wnd = Make("Email: skardel@tolmere.example", "mailto:skardel@tolmere.example", 1, 360,
                              IDC_POINTING_HAND);
    HWND hWnd = wnd->GetSafeHwnd();
    const SIZE size = TextSize("Email: skardel@tolmere.example");
    const POINT at = { (360 - size.cx) / 2, (20 - size.cy) / 2 };  // centred
    const RECT text = { at.x, at.y, at.x + size.cx, at.y + size.cy };
    const int underline = text.bottom - 1;
    PumpMessages(100);
    const COLORREF face = Shown(GetSysColor(COLOR_BTNFACE));
    const COLORREF blue = Shown(RGB(0, 0, 255));

    // Off the text: no hover, the underline in the dialog's colour.
    POINT away = { 2, 2 };
    ClientToScreen(hWnd, &away);
    SetCursorPos(away.x, away.y);
    PumpMessages(100);
    EXPECT_EQ(face, ScreenPixel(hWnd, text.left + 1, underline));

    // Onto the text: within a few timer periods, underlined in blue.
    POINT over = Centre(wnd);
    POINT screen = over;
    ClientToScreen(hWnd, &screen);
    SetCursorPos(screen.x, screen.y);
    PumpMessages(100);
    EXPECT_EQ(blue, ScreenPixel(hWnd, text.left + 1, underline));
    EXPECT_EQ(blue, ScreenPixel(hWnd, text.right - 1, underline));

    // The hand over the text, answered as set; elsewhere the class's arrow.
    HCURSOR hand = LoadCursorA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDC_POINTING_HAND));
    SetCursor(LoadCursor(nullptr, IDC_ARROW));
    SendMessageA(hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(over.x, over.y));
    EXPECT_EQ(hand, GetCursor());
    EXPECT_TRUE(SendMessageA(hWnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(hWnd), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
    SetCursor(LoadCursor(nullptr, IDC_ARROW));
    SendMessageA(hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
    EXPECT_EQ(LoadCursor(nullptr, IDC_ARROW), GetCursor());

    // Off again: the underline goes.
    SetCursorPos(away.x, away.y);
    PumpMessages(100);
    EXPECT_EQ(face, ScreenPixel(hWnd, text.left + 1, underline));
}

// Each paint starts from what the page shows beneath: no trace of the
// underline stays on a themed page's texture, and a smoothed face does not
// grow bolder at each hover change (a bitmap "MS Sans Serif" never would).
TEST_F(HyperlinkTest, EachPaintStartsFromThePageBeneath)
{
    const char text[] = "Tolmere on the web"; // no descenders: the underline's row holds no ink
    for (bool themed : { false, true }) {
        SCOPED_TRACE(themed ? "themed page" : "classic page");
        // Common controls 6 give the sheet's pages the visual style's tab texture.
        if (themed) {
            EnableThemeDialogTexture(m_parent, ETDT_ENABLETAB);
            RedrawWindow(m_parent, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_UPDATENOW);
        }
        CHyperlinkWnd* wnd = Make(text, "http://www.tolmere.example/", 0, 360);
        HWND hWnd = wnd->GetSafeHwnd();
        HFONT smoothed = CreateFontA(-13, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, OUT_TT_ONLY_PRECIS, 0,
                                     ANTIALIASED_QUALITY, 0, "Arial");
        ASSERT_TRUE(TestAccess::m_font(*wnd).Attach(smoothed));
        const SIZE size = TextSize(text, smoothed);
        const RECT place = TestAccess::m_rcText(*wnd) = { 0, (20 - size.cy) / 2, size.cx, (20 - size.cy) / 2 + size.cy };
        // The hover timer's tick, at once: a change repaints, the underline
        // in blue or gone, before it returns.
        const COLORREF blue = Shown(RGB(0, 0, 255));
        auto hover = [&](bool on) {
            POINT p = { on ? size.cx / 2 : 350, 10 };
            ClientToScreen(hWnd, &p);
            SetCursorPos(p.x, p.y);
            SendMessageA(hWnd, WM_TIMER, 9999, 0);
            const RECT middle = { size.cx / 2, place.bottom - 1, size.cx / 2 + 1, place.bottom };
            EXPECT_EQ(on, WindowPixels(hWnd, middle)[0] == blue);
        };
        hover(true);
        hover(false);
        const std::vector<COLORREF> first = WindowPixels(hWnd, place);
        for (int i = 0; i < 8; ++i) {
            hover(true);
            hover(false);
        }
        EXPECT_EQ(first, WindowPixels(hWnd, place));
        // The underline's row as the page shows it beside the link.
        const COLORREF beside = WindowPixels(m_parent, { 380, 20 + place.bottom - 1, 381, 20 + place.bottom })[0];
        EXPECT_EQ(std::vector<COLORREF>(size.cx, beside),
                  WindowPixels(hWnd, { 0, place.bottom - 1, size.cx, place.bottom }));
        // (Under a visual style the texture is not button face, or the case would prove nothing.)
        EXPECT_TRUE(!themed || !IsThemeActive() || beside != Shown(GetSysColor(COLOR_BTNFACE)));
        DestroyWindow(hWnd);
        m_links.pop_back();
    }
}

TEST_F(HyperlinkTest, CopyPutsTheLinkNotTheTextOnTheClipboard)
{
    CHyperlinkWnd* wnd = Make("Email: skardel@tolmere.example", "mailto:skardel@tolmere.example", 1, 360);
    ASSERT_TRUE(wnd->CopyLinkToClipboard());
    ASSERT_TRUE(OpenClipboard(nullptr));
    HANDLE data = GetClipboardData(CF_TEXT);
    ASSERT_NE(nullptr, data);
    const char* text = static_cast<const char*>(GlobalLock(data));
    ASSERT_NE(nullptr, text);
    std::string copied(text, strnlen(text, GlobalSize(data)));
    EXPECT_LT(copied.size(), GlobalSize(data));  // zero-terminated within the block
    GlobalUnlock(data);
    CloseClipboard();
    EXPECT_EQ("mailto:skardel@tolmere.example", copied);
}

TEST(Hyperlink, SchemesAndCommandsByTheRule)
{
    const struct {
        const char* link;
        const char* scheme;
    } schemes[] = {
        { "mailto:skardel@tolmere.example", "mailto" }, { "http://www.tolmere.example/", "http" },
        { "www.tolmere.example", "http" }, { ":nothing", "http" }, { "skardeltest:a:b", "skardeltest" },
    };
    for (const auto& c : schemes)
        EXPECT_STREQ(c.scheme, CHyperlinkWnd::SchemeOf(c.link)) << c.link;

    const struct {
        const char* command;
        const char* line;
    } commands[] = {
        // "%1" at the end in quotes: the opening quote stays, nothing follows.
        { "\"C:\\Mail\\mail.exe\" \"%1\"", "\"C:\\Mail\\mail.exe\" \"mailto:skardel@tolmere.example" },
        // "%1" in the middle: what followed it is dropped.
        { "browser.exe -url %1 -new", "browser.exe -url mailto:skardel@tolmere.example" },
        // No "%1": a blank, then the link.
        { "browser.exe", "browser.exe mailto:skardel@tolmere.example" },
        { "", " mailto:skardel@tolmere.example" },
    };
    for (const auto& c : commands)
        EXPECT_STREQ(c.line, CHyperlinkWnd::BuildCommand(c.command, "mailto:skardel@tolmere.example")) << c.command;
}

TEST_F(HyperlinkTest, AClickOnTheTextStartsTheChosenOrTheRegisteredHandlerAndNothingElse)
{
    const std::string recorder = WindowsPath(EnvironmentValue("SKARDEL_LINK_RECORDER"));
    ASSERT_FALSE(recorder.empty()) << "SKARDEL_LINK_RECORDER is not set";
    const std::string output = recorder.substr(0, recorder.rfind('\\') + 1) + "skardel-link.txt";
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CLASSES_ROOT, "skardeltest\\shell\\open\\command", 0, nullptr, 0,
                                             KEY_WRITE, nullptr, &key, nullptr));
    const std::string command = "\"" + recorder + "\" \"%1\"";
    RegSetValueExA(key, "", 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                   static_cast<DWORD>(command.size() + 1));
    RegCloseKey(key);

    CHyperlinkWnd* wnd = Make("Test link", "skardeltest:hello", 1, 360);
    HWND hWnd = wnd->GetSafeHwnd();

    // Outside the text, inside the window: nothing starts.
    DeleteFileA(output.c_str());
    SendMessageA(hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(1, 1));
    SendMessageA(hWnd, WM_LBUTTONUP, 0, MAKELPARAM(1, 1));
    PumpMessages(1500);
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(output.c_str()));

    // On the text: the handler starts with exactly the command of the rule, the
    // user's choice (no ProgId: none) where it has a command, else the scheme's.
    const std::string chosen = "\"" + recorder + "\" chosen %1";
    RegSetValueA(HKEY_CLASSES_ROOT, "SkardelTest.Chosen\\shell\\open\\command", REG_SZ, chosen.c_str(), 0);
    const struct { const char *link, *progId, *started; } stores[] = {
        { "skardeltest:hello", nullptr, "\"skardeltest:hello" },
        { "skardeltest:a", "SkardelTest.Chosen", "chosen skardeltest:a" },
        { "skardeltest:b", "SkardelTest.Packaged", "\"skardeltest:b" }, // a ProgId without a command
        { "mailto:skardel@tolmere.example", "SkardelTest.Chosen", "chosen mailto:skardel@tolmere.example" },
    };
    POINT p = Centre(wnd);
    for (const auto& c : stores) {
        const std::string choice = "Software\\Microsoft\\Windows\\Shell\\Associations\\UrlAssociations\\" +
                                   std::string(c.link, strcspn(c.link, ":")) + "\\UserChoice";
        if (c.progId)
            RegSetKeyValueA(HKEY_CURRENT_USER, choice.c_str(), "ProgId", REG_SZ, c.progId,
                            DWORD(strlen(c.progId) + 1));
        hWnd = Make("Test link", c.link, 1, 360)->GetSafeHwnd();
        SendMessageA(hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y));
        DWORD start = GetTickCount();
        while (GetFileAttributesA(output.c_str()) == INVALID_FILE_ATTRIBUTES && GetTickCount() - start < 20000)
            PumpMessages(50);
        PumpMessages(200);
        EXPECT_EQ("\"" + recorder + "\" " + c.started, ReadFileText(output)) << c.link;
        DeleteFileA(output.c_str());
        RegDeleteTreeA(HKEY_CURRENT_USER, choice.c_str());
    }
    RegDeleteTreeA(HKEY_CLASSES_ROOT, "SkardelTest.Chosen");
    RegDeleteTreeA(HKEY_CLASSES_ROOT, "skardeltest");

    // No handler for the scheme: the click returns and nothing starts.
    CHyperlinkWnd* orphan = Make("Nowhere", "skardelnohandler:x", 1, 360);
    p = Centre(orphan);
    SendMessageA(orphan->GetSafeHwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y));
    PumpMessages(500);
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(output.c_str()));
}
