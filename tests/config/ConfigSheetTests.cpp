// The configuration sheet as a person uses it: the real comctl32 sheet with
// our pages, opened by CScreenSaverApp::ShowConfigSheet on this thread and
// driven through its controls, with what it stored read from the registry.
#include "app/ScreenSaverApp.h"
#include "config/HyperlinkWnd.h"
#include "config/TolmereAboutPage.h"
#include "config/TolmereDebugPage.h"
#include "res/resource.h"
#include "support/Process.h"
#include "support/Registry.h"
#include "support/SheetDriver.h"
#include "support/SurfacePixels.h"
#include "support/TestAccess.h"

#include <commctrl.h>
#include <cstring>
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <memory>
#include <set>
#include <string>

namespace {

using D = SheetDriver;
using Values = std::map<std::string, DWORD>;

const Values kOKOnEmptyStore = { { "Count", 5 }, { "Stars", 100 }, { "Speed", 10 },
                                 { "Always Log", 0 }, { "Append Log", 0 }, { "Fps", 0 } };

Values With(Values values, const Values& changes)
{
    for (const auto& c : changes)
        values[c.first] = c.second;
    return values;
}

const char kRange[] = "!Please enter an integer between 1 and 50.";
const char kNotANumber[] = "Please enter a positive integer.";

int SliderGet(HWND sheet, int id, UINT message)
{
    return static_cast<int>(SendMessageA(D::Item(sheet, 0, id), message, 0, 0));
}

bool Checked(HWND sheet, int page, int id)
{
    return SendMessageA(D::Item(sheet, page, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

D::Step ConfigShows(const char* count, int speed, int stars)
{
    return D::Do([=](HWND sheet) {
        EXPECT_EQ(count, D::Text(D::Item(sheet, 0, IDC_COUNT)));
        EXPECT_EQ(speed, SliderGet(sheet, IDC_SPEED, TBM_GETPOS));
        EXPECT_EQ(stars, SliderGet(sheet, IDC_STARFIELD, TBM_GETPOS));
    });
}

D::Step TypeCount(const char* text)
{
    return D::Do([=](HWND sheet) { SetWindowTextA(D::Item(sheet, 0, IDC_COUNT), text); });
}

// An arrow key in the count's edit, which the up-down control answers.
D::Step CountKey(WPARAM key)
{
    return D::Do([=](HWND sheet) {
        HWND edit = D::Item(sheet, 0, IDC_COUNT);
        SendMessageA(edit, WM_KEYDOWN, key, 1);
        SendMessageA(edit, WM_KEYUP, key, 0xC0000001);
    });
}

D::Step Click(int page, int id)
{
    return D::Do([=](HWND sheet) { SendMessageA(D::Item(sheet, page, id), BM_CLICK, 0, 0); });
}

// After a refused count: the sheet is open on the Configuration page with
// the focus in the edit and its whole text selected. The sheet gets its
// activation back from the X server a moment after the message box closes:
// the focus is given a second to arrive.
D::Step StaysOnCountWithTextSelected()
{
    auto ticks = std::make_shared<int>(0);
    return [ticks](HWND sheet) {
        HWND edit = D::Item(sheet, 0, IDC_COUNT);
        if (GetFocus() != edit && ++*ticks < 30)
            return false;
        EXPECT_EQ(0, D::CurrentPage(sheet));
        EXPECT_EQ(edit, GetFocus()) << "active " << GetActiveWindow() << " foreground " << GetForegroundWindow()
                                    << " sheet " << sheet << " ticks " << *ticks;
        DWORD start = 0, end = 0;
        SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        EXPECT_EQ(0u, start);
        EXPECT_EQ(static_cast<DWORD>(GetWindowTextLengthA(edit)), end);
        return true;
    };
}

struct SheetCase {
    const char* name;
    Values stored;                                   // before the sheet opens
    std::function<std::vector<D::Step>(D&)> steps;   // what the person does
    Values expected;                                 // stored after it closed
    std::vector<std::string> messages;               // "!": with the exclamation icon
};

// Stores the case's settings, runs the sheet through its steps, and checks
// what was stored and which messages were shown.
void RunCase(const SheetCase& c)
{
    SCOPED_TRACE(c.name);
    ClearStoredSettings();
    for (const auto& v : c.stored)
        SetDwordSetting(v.first.c_str(), v.second);
    D driver;
    driver.Run(c.steps(driver));
    EXPECT_EQ(c.expected, StoredDwordSettings());
    std::vector<std::string> shown;
    for (const SheetMessage& m : driver.messages) {
        EXPECT_EQ(m.hasIcon, m.exclamation) << "an icon other than the exclamation: " << m.text;
        shown.push_back((m.exclamation ? "!" : "") + m.text);
    }
    EXPECT_EQ(c.messages, shown);
}

} // namespace

TEST(ConfigSheet, ConfigurationPageShowsValidatesAndStoresOnOKOnly)
{
    const SheetCase cases[] = {
        { "empty store, OK", {},
          [](D&) -> std::vector<D::Step> { return {
              ConfigShows("5", 10, 100),
              D::Do([](HWND sheet) {
                  EXPECT_EQ(10, SliderGet(sheet, IDC_SPEED, TBM_GETRANGEMIN));
                  EXPECT_EQ(100, SliderGet(sheet, IDC_SPEED, TBM_GETRANGEMAX));
                  EXPECT_EQ(5, SliderGet(sheet, IDC_SPEED, TBM_GETLINESIZE));
                  EXPECT_EQ(10, SliderGet(sheet, IDC_SPEED, TBM_GETPAGESIZE));
                  EXPECT_EQ(10, SliderGet(sheet, IDC_SPEED, TBM_GETNUMTICS));
                  EXPECT_EQ(0, SliderGet(sheet, IDC_STARFIELD, TBM_GETRANGEMIN));
                  EXPECT_EQ(400, SliderGet(sheet, IDC_STARFIELD, TBM_GETRANGEMAX));
                  EXPECT_EQ(40, SliderGet(sheet, IDC_STARFIELD, TBM_GETLINESIZE));
                  EXPECT_EQ(20, SliderGet(sheet, IDC_STARFIELD, TBM_GETPAGESIZE));
                  EXPECT_EQ(11, SliderGet(sheet, IDC_STARFIELD, TBM_GETNUMTICS));
                  // The controls come from common controls 6, as the manifest asks:
                  // there even a static text is theirs, from the side-by-side
                  // assembly. (Its DllGetVersion says 6 on Windows and 5.80
                  // under Wine, so the assembly's folder is what tells.)
                  HWND label = FindWindowExA(D::Page(sheet, 0), nullptr, "Static", "Fast");
                  HMODULE comctl = nullptr;
                  GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                                     reinterpret_cast<LPCSTR>(GetWindowLongPtrW(label, GWLP_WNDPROC)), &comctl);
                  char path[MAX_PATH] = "";
                  GetModuleFileNameA(comctl, path, sizeof path);
                  CharLowerA(path);
                  EXPECT_NE(nullptr, strstr(path, "microsoft.windows.common-controls_6595b64144ccf1df_6.0.")) << path;
                  // OK and Cancel, no Apply.
                  HWND apply = GetDlgItem(sheet, 0x3021);
                  EXPECT_TRUE(!apply || !IsWindowVisible(apply));
                  // The pages in their order, by their tabs.
                  HWND tabs = PropSheet_GetTabControl(sheet);
                  std::vector<std::string> names;
                  for (int i = 0; i < static_cast<int>(SendMessageA(tabs, TCM_GETITEMCOUNT, 0, 0)); ++i) {
                      char name[64] = "";
                      TCITEMA item = {};
                      item.mask = TCIF_TEXT;
                      item.pszText = name;
                      item.cchTextMax = sizeof name;
                      SendMessageA(tabs, TCM_GETITEMA, i, reinterpret_cast<LPARAM>(&item));
                      names.push_back(name);
                  }
                  EXPECT_EQ((std::vector<std::string>{ "Configuration", "Debug", "About" }), names);
              }),
              D::PressOK() }; },
          kOKOnEmptyStore, {} },
        { "out-of-range values shown at the ends and stored so", { { "Speed", 5 }, { "Stars", 1000 } },
          [](D&) -> std::vector<D::Step> { return { ConfigShows("5", 10, 400), D::PressOK() }; },
          With(kOKOnEmptyStore, { { "Speed", 10 }, { "Stars", 400 } }), {} },
        { "the arrows step the stored count, not the typed text", {},
          [](D&) -> std::vector<D::Step> { return {
              TypeCount("20"), CountKey(VK_UP), ConfigShows("6", 10, 100), D::PressOK() }; },
          With(kOKOnEmptyStore, { { "Count", 6 } }), {} },
        { "up at 50 stays 50", { { "Count", 50 } },
          [](D&) -> std::vector<D::Step> { return { CountKey(VK_UP), ConfigShows("50", 10, 100), D::PressOK() }; },
          With(kOKOnEmptyStore, { { "Count", 50 } }), {} },
        { "down at 1 stays 1", { { "Count", 1 } },
          [](D&) -> std::vector<D::Step> { return {
              CountKey(VK_DOWN), ConfigShows("1", 10, 100), CountKey(VK_UP), CountKey(VK_UP),
              ConfigShows("3", 10, 100), D::PressOK() }; },
          With(kOKOnEmptyStore, { { "Count", 3 } }), {} },
        // A step from a hand-edited count outside the range lands at its
        // nearer end, whichever the arrow.
        { "down at 0 gives 1", { { "Count", 0 } },
          [](D&) -> std::vector<D::Step> { return {
              CountKey(VK_DOWN), ConfigShows("1", 10, 100), CountKey(VK_UP), ConfigShows("2", 10, 100),
              D::PressOK() }; },
          With(kOKOnEmptyStore, { { "Count", 2 } }), {} },
        { "down at 4294967295 gives 50, which OK stores", { { "Count", 0xFFFFFFFF } },
          [](D&) -> std::vector<D::Step> { return { CountKey(VK_DOWN), ConfigShows("50", 10, 100), D::PressOK() }; },
          With(kOKOnEmptyStore, { { "Count", 50 } }), {} },
        { "blanks and tabs around the digits", {},
          [](D&) -> std::vector<D::Step> { return { TypeCount(" \t7 \t"), D::PressOK() }; },
          With(kOKOnEmptyStore, { { "Count", 7 } }), {} },
        { "0 and OK: the range message once, the sheet stays", { { "Fps", 1 } },
          [](D& d) -> std::vector<D::Step> { return {
              TypeCount("0"), D::PressOK(), d.CloseMessageBox(), StaysOnCountWithTextSelected(), D::PressCancel() }; },
          { { "Fps", 1 } }, { kRange } },
        { "51 and OK", {},
          [](D& d) -> std::vector<D::Step> { return {
              TypeCount("51"), D::PressOK(), d.CloseMessageBox(), StaysOnCountWithTextSelected(),
              TypeCount("50"), D::PressOK() }; },
          With(kOKOnEmptyStore, { { "Count", 50 } }), { kRange } },
        { "a number beyond 32 bits is out of range", {},
          [](D& d) -> std::vector<D::Step> { return {
              TypeCount("99999999999"), D::PressOK(), d.CloseMessageBox(), D::PressCancel() }; },
          {}, { kRange } },
        { "a count longer than is read is no number", {},
          [](D& d) -> std::vector<D::Step> { return {
              TypeCount("000000000000000000000000000000123"), D::PressOK(), d.CloseMessageBox(),
              D::PressCancel() }; },
          {}, { kNotANumber } },
        { "letters: the positive-integer message, no icon", {},
          [](D& d) -> std::vector<D::Step> { return {
              TypeCount("5a"), D::PressOK(), d.CloseMessageBox(), StaysOnCountWithTextSelected(),
              TypeCount(""), D::PressOK(), d.CloseMessageBox(), TypeCount("-3"), D::PressOK(),
              d.CloseMessageBox(), D::PressCancel() }; },
          {}, { kNotANumber, kNotANumber, kNotANumber } },
        { "a refused count keeps the page in front when another is chosen", {},
          [](D& d) -> std::vector<D::Step> { return {
              TypeCount("0"), D::SelectPage(1), d.CloseMessageBox(), StaysOnCountWithTextSelected(),
              D::PressCancel() }; },
          {}, { kRange } },
        { "Cancel after a change and a page switch stores nothing", { { "Count", 9 } },
          [](D&) -> std::vector<D::Step> { return {
              D::Do([](HWND sheet) { SendMessageA(D::Item(sheet, 0, IDC_SPEED), TBM_SETPOS, TRUE, 60); }),
              TypeCount("12"), D::SelectPage(1),
              // The focus left the hidden page (on which keys would still act).
              D::Do([](HWND sheet) { EXPECT_TRUE(IsChild(D::Page(sheet, 1), GetFocus())); }),
              Click(1, IDC_LOG_APPEND), D::PressCancel() }; },
          { { "Count", 9 } }, {} },
        { "the close box stores nothing either", {},
          [](D&) -> std::vector<D::Step> { return {
              TypeCount("12"), D::Do([](HWND sheet) { PostMessageA(sheet, WM_SYSCOMMAND, SC_CLOSE, 0); }) }; },
          {}, {} },
        { "a slider moved, the page left and OK", {},
          [](D&) -> std::vector<D::Step> { return {
              D::Do([](HWND sheet) {
                  SendMessageA(D::Item(sheet, 0, IDC_SPEED), TBM_SETPOS, TRUE, 60);
                  SendMessageA(D::Item(sheet, 0, IDC_STARFIELD), TBM_SETPOS, TRUE, 0);
              }),
              D::SelectPage(1), D::SelectPage(0), ConfigShows("5", 60, 0), D::PressOK() }; },
          With(kOKOnEmptyStore, { { "Speed", 60 }, { "Stars", 0 } }), {} },
    };
    for (const SheetCase& c : cases)
        RunCase(c);
    ClearStoredSettings();
}

TEST(ConfigSheet, DebugPageLoadsAndSavesItsButtons)
{
    struct Shows {
        bool errorOnly, always, overwrite, append, fps;
    };
    auto DebugShows = [](Shows s) {
        return D::Do([s](HWND sheet) {
            EXPECT_EQ(1, D::CurrentPage(sheet));
            EXPECT_EQ(s.errorOnly, Checked(sheet, 1, IDC_LOG_ERROR_ONLY));
            EXPECT_EQ(s.always, Checked(sheet, 1, IDC_LOG_ALWAYS));
            EXPECT_EQ(s.overwrite, Checked(sheet, 1, IDC_LOG_OVERWRITE));
            EXPECT_EQ(s.append, Checked(sheet, 1, IDC_LOG_APPEND));
            EXPECT_EQ(s.fps, Checked(sheet, 1, IDC_SHOW_FPS));
        });
    };
    const Values zeros = { { "Always Log", 0 }, { "Append Log", 0 }, { "Fps", 0 } };
    const SheetCase cases[] = {
        { "0, 0, 0 shown and stored unchanged", zeros,
          [&](D&) -> std::vector<D::Step> { return {
              D::SelectPage(1), DebugShows({ true, false, true, false, false }), D::PressOK() }; },
          kOKOnEmptyStore, {} },
        { "a value matching no button clears the group and stores -1; Fps 7 shows unchecked and stores 0",
          { { "Always Log", 2 }, { "Append Log", 1 }, { "Fps", 7 } },
          [&](D&) -> std::vector<D::Step> { return {
              D::SelectPage(1), DebugShows({ false, false, false, true, false }), D::PressOK() }; },
          With(kOKOnEmptyStore, { { "Always Log", 0xFFFFFFFF }, { "Append Log", 1 }, { "Fps", 0 } }), {} },
        { "choosing each button", zeros,
          [&](D&) -> std::vector<D::Step> { return {
              D::SelectPage(1), Click(1, IDC_LOG_ALWAYS), Click(1, IDC_LOG_APPEND), Click(1, IDC_SHOW_FPS),
              DebugShows({ false, true, false, true, true }), D::SelectPage(0), D::SelectPage(1),
              DebugShows({ false, true, false, true, true }), D::PressOK() }; },
          With(kOKOnEmptyStore, { { "Always Log", 1 }, { "Append Log", 1 }, { "Fps", 1 } }), {} },
        { "a page never shown writes back what was read", { { "Always Log", 2 }, { "Fps", 7 } },
          [&](D&) -> std::vector<D::Step> { return { D::PressOK() }; },
          With(kOKOnEmptyStore, { { "Always Log", 2 }, { "Fps", 7 } }), {} },
    };
    for (const SheetCase& c : cases)
        RunCase(c);
    ClearStoredSettings();
}

TEST(ConfigSheet, DebugAndAboutPagesCanBeMadeByName)
{
    const struct {
        const CRuntimeClass* pClass;
        const char* name;
    } classes[] = {
        { RUNTIME_CLASS(CTolmereDebugPage), "CTolmereDebugPage" },
        { RUNTIME_CLASS(CTolmereAboutPage), "CTolmereAboutPage" },
    };
    for (const auto& c : classes) {
        EXPECT_STREQ(c.name, c.pClass->m_lpszClassName);
        EXPECT_TRUE(c.pClass->IsDerivedFrom(RUNTIME_CLASS(CPropertyPage))) << c.name;
        EXPECT_FALSE(RUNTIME_CLASS(CPropertyPage)->IsDerivedFrom(c.pClass)) << c.name;
        std::unique_ptr<CObject> object(c.pClass->CreateObject());
        ASSERT_NE(nullptr, object) << c.name;
        EXPECT_TRUE(object->IsKindOf(RUNTIME_CLASS(CPropertyPage))) << c.name;
        EXPECT_EQ(c.pClass, object->GetRuntimeClass()) << c.name;
    }
    // Made by name, the Debug page starts from its own values and the About
    // page's links have neither hand nor menu.
    std::unique_ptr<CObject> debug(RUNTIME_CLASS(CTolmereDebugPage)->CreateObject());
    CTolmereDebugPage* pDebug = static_cast<CTolmereDebugPage*>(debug.get());
    EXPECT_EQ(0, pDebug->m_nShowFps);
    EXPECT_EQ(-1, pDebug->m_nLogAlways);
    EXPECT_EQ(-1, pDebug->m_nLogAppend);
    std::unique_ptr<CObject> about(RUNTIME_CLASS(CTolmereAboutPage)->CreateObject());
    EXPECT_EQ(0u, TestAccess::m_nCursorId(*static_cast<CTolmereAboutPage*>(about.get())));
    EXPECT_EQ(0u, TestAccess::m_nMenuId(*static_cast<CTolmereAboutPage*>(about.get())));
    // A page without dynamic creation cannot be made by name.
    EXPECT_EQ(nullptr, RUNTIME_CLASS(CPropertyPage)->CreateObject());
}

namespace {

int CountLogBlocks(const std::string& program)
{
    int blocks = 0;
    for (const std::string& line : ReadLogLines(program))
        blocks += line.rfind("Logfile Created ", 0) == 0;
    return blocks;
}

void RunSaverOnce(const std::string& scr)
{
    ChildProcess saver;
    ASSERT_TRUE(saver.Start("\"" + scr + "\" /s"));
    HWND hWnd = saver.WaitForTopWindow(20000);
    ASSERT_NE(nullptr, hWnd);
    PumpMessages(300);
    PostMessageA(hWnd, WM_KEYDOWN, 'A', 0);
    EXPECT_TRUE(saver.WaitForExit(5000));
}

} // namespace

TEST(ConfigSheet, AppendChosenOnTheSheetMakesTheSaverAppendItsLog)
{
    std::string scr = BuiltScreenSaver();
    ASSERT_FALSE(scr.empty()) << "SKARDEL_SCR is not set";
    ClearStoredSettings();
    D driver;
    driver.Run({ D::SelectPage(1), Click(1, IDC_LOG_ALWAYS), Click(1, IDC_LOG_APPEND), D::PressOK() });
    ASSERT_EQ(With(kOKOnEmptyStore, { { "Always Log", 1 }, { "Append Log", 1 } }), StoredDwordSettings());
    std::string log = scr.substr(0, scr.rfind('.')) + ".log";
    DeleteFileA(log.c_str());
    RunSaverOnce(scr);
    EXPECT_EQ(1, CountLogBlocks(scr));
    RunSaverOnce(scr);
    EXPECT_EQ(2, CountLogBlocks(scr));
    DeleteFileA(log.c_str());
    ClearStoredSettings();
}

namespace {

// The logo as the system decodes it, at (x, y), as the display shows it.
COLORREF LogoPixel(int x, int y)
{
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP target = CreateCompatibleBitmap(screen, 110, 120);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, target);
    HBITMAP logo = static_cast<HBITMAP>(
        LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDB_LOGO), IMAGE_BITMAP, 0, 0, 0));
    HDC source = CreateCompatibleDC(dc);
    HGDIOBJ oldSource = SelectObject(source, logo);
    BitBlt(dc, 0, 0, 110, 120, source, 0, 0, SRCCOPY);
    COLORREF c = GetPixel(dc, x, y);
    SelectObject(source, oldSource);
    DeleteDC(source);
    DeleteObject(logo);
    SelectObject(dc, old);
    DeleteObject(target);
    DeleteDC(dc);
    return c;
}

// Two colours read back from a 16-bit display are the same pixel when they
// agree in its 5-6-5 bits: the screen and a memory bitmap widen those bits
// back to 8 in different ways.
bool SamePixel(COLORREF a, COLORREF b)
{
    HDC screen = GetDC(nullptr);
    const bool sixteen = GetDeviceCaps(screen, BITSPIXEL) == 16;
    ReleaseDC(nullptr, screen);
    if (!sixteen)
        return a == b;
    return GetRValue(a) >> 3 == GetRValue(b) >> 3 && GetGValue(a) >> 2 == GetGValue(b) >> 2 &&
           GetBValue(a) >> 3 == GetBValue(b) >> 3;
}

RECT ScreenRect(HWND hWnd)
{
    RECT r = {};
    GetWindowRect(hWnd, &r);
    return r;
}

std::string ClipboardText()
{
    std::string text;
    if (OpenClipboard(nullptr)) {
        HANDLE data = GetClipboardData(CF_TEXT);
        if (const char* p = static_cast<const char*>(GlobalLock(data)))
            text = p;
        GlobalUnlock(data);
        CloseClipboard();
    }
    return text;
}

} // namespace

TEST(ConfigSheet, AboutPageShowsTheProductTheLogoAndBothLinksAndLeavesNothingBehind)
{
    ClearStoredSettings();
    // A first showing makes what stays for the process (classes, fonts).
    D warm;
    warm.Run({ D::SelectPage(2), D::PressCancel() });
    const DWORD gdi = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    const DWORD user = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);

    D driver;
    // The pointer away from the links, so that neither shows its underline.
    SetCursorPos(0, GetSystemMetrics(SM_CYSCREEN) - 1);
    driver.Run({ D::SelectPage(2), D::Do([](HWND) { PumpMessages(300); }), D::Do([](HWND sheet) {
        HWND page = D::Page(sheet, 2);
        ASSERT_NE(nullptr, page);
        EXPECT_EQ("Skardel Screen Saver V 1, 1, 2, 0", D::Text(GetDlgItem(page, IDC_PROGRAM_NAME)));
        EXPECT_EQ("Copyright (C) 2025-2026 Tolmere", D::Text(GetDlgItem(page, IDC_COPYRIGHT)));

        // Each link lies on its hidden place, copies its link and shows what
        // a link of its text centred in that place shows.
        const struct {
            int id, place;
            const char *text, *link;
        } links[] = {
            { 4096, IDC_WEB_PLACE, "Tolmere on the web: http://www.tolmere.example/", "http://www.tolmere.example/" },
            { 4097, IDC_MAIL_PLACE, "Email: skardel@tolmere.example", "mailto:skardel@tolmere.example" },
        };
        for (const auto& l : links) {
            HWND hLink = GetDlgItem(page, l.id);
            ASSERT_NE(nullptr, hLink) << l.id;
            EXPECT_EQ(l.text, D::Text(hLink)); // what a screen reader says of it
            RECT at = ScreenRect(hLink), place = ScreenRect(GetDlgItem(page, l.place));
            EXPECT_TRUE(EqualRect(&at, &place)) << l.id;
            CHyperlinkWnd* wnd = static_cast<CHyperlinkWnd*>(CWnd::FromHandlePermanent(hLink));
            ASSERT_NE(nullptr, wnd);
            ASSERT_TRUE(wnd->CopyLinkToClipboard());
            EXPECT_EQ(l.link, ClipboardText());
            const RECT all = { 0, 0, at.right - at.left, at.bottom - at.top };
            const std::vector<COLORREF> shown = WindowPixels(hLink, all);
            EXPECT_LT(1u, std::set<COLORREF>(shown.begin(), shown.end()).size()) << l.id;
            MapWindowPoints(nullptr, page, reinterpret_cast<POINT*>(&place), 2);
            CHyperlinkWnd same;
            ASSERT_TRUE(same.Create(l.text, l.link, place, 1, CWnd::FromHandle(page), 0, 0, 0));
            UpdateWindow(same.GetSafeHwnd());
            EXPECT_EQ(shown, WindowPixels(same.GetSafeHwnd(), all)) << l.id;
            same.DestroyWindow();
        }

        // The logo one pixel right of and below the hidden frame's corner,
        // at its own 110 x 120.
        RECT frame = ScreenRect(GetDlgItem(page, IDC_PICTURE_FRAME));
        MapWindowPoints(nullptr, page, reinterpret_cast<POINT*>(&frame), 2);
        HDC dc = GetDC(page);
        const POINT samples[] = { { 0, 0 }, { 109, 0 }, { 0, 119 }, { 109, 119 }, { 55, 60 }, { 30, 90 } };
        for (const POINT& p : samples)
            EXPECT_TRUE(SamePixel(LogoPixel(p.x, p.y), GetPixel(dc, frame.left + 1 + p.x, frame.top + 1 + p.y)))
                << p.x << "," << p.y;
        ReleaseDC(page, dc);
    }), D::PressCancel() });

    // Windows counts the objects of the process; Wine answers 0 for both.
    EXPECT_EQ(gdi, GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS));
    EXPECT_EQ(user, GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS));
    EXPECT_TRUE(StoredDwordSettings().empty());
}

// The pages are drawn in their templates' font (for a face it lacks Wine
// gives another, wider one), so every static text fits its control.
TEST(ConfigSheet, PagesAreDrawnInMSSansSerifAndEveryStaticTextFits)
{
    ClearStoredSettings();
    D driver;
    driver.Run({ D::SelectPage(1), D::SelectPage(2), D::Do([](HWND sheet) {
        HDC dc = GetDC(sheet);
        HGDIOBJ old = GetCurrentObject(dc, OBJ_FONT);
        std::vector<std::string> texts;
        for (int page = 0; page < 3; ++page) {
            SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(D::Page(sheet, page), WM_GETFONT, 0, 0)));
            char face[LF_FACESIZE] = "";
            GetTextFaceA(dc, sizeof face, face);
            EXPECT_STREQ("MS Sans Serif", face) << page;
            for (HWND c = GetWindow(D::Page(sheet, page), GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
                RECT needed = {}, client = {};
                char cls[16] = "";
                GetClassNameA(c, cls, sizeof cls);
                if (lstrcmpiA(cls, "Static") || !(GetWindowLongA(c, GWL_STYLE) & WS_VISIBLE) || D::Text(c).empty())
                    continue;
                texts.push_back(D::Text(c));
                DrawTextA(dc, texts.back().c_str(), -1, &needed, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
                GetClientRect(c, &client);
                EXPECT_LE(needed.right, client.right) << texts.back();
            }
        }
        EXPECT_EQ(7u, texts.size());
        SelectObject(dc, old);
        ReleaseDC(sheet, dc);
    }), D::PressCancel() });
}
