// The configuration pages' dialog templates and the application manifest,
// read back from the resources of the built Skardel.scr.
#include "res/resource.h"
#include "support/Process.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Control {
    int id;
    std::string cls;
    DWORD style; // the low word (the control's own styles) and WS_GROUP, WS_TABSTOP, WS_BORDER
    std::string text;
    int x, y, cx, cy;

    bool operator==(const Control& o) const
    {
        return id == o.id && cls == o.cls && style == o.style && text == o.text && x == o.x && y == o.y &&
               cx == o.cx && cy == o.cy;
    }
};

std::ostream& operator<<(std::ostream& os, const Control& c)
{
    return os << "{" << c.id << ", " << c.cls << ", 0x" << std::hex << c.style << std::dec << ", \"" << c.text
              << "\", " << c.x << ", " << c.y << ", " << c.cx << ", " << c.cy << "}";
}

struct Dialog {
    DWORD style = 0;
    std::string caption;
    int cx = 0, cy = 0;
    int pointSize = 0;
    std::string font;
    std::vector<Control> controls;
};

const DWORD kStyleBits = 0xFFFF | WS_GROUP | WS_TABSTOP | WS_BORDER | WS_VISIBLE;

// Reads a name or ordinal field of a classic dialog template.
std::string ReadSzOrOrd(const WORD*& p)
{
    if (*p == 0xFFFF) {
        WORD ordinal = p[1];
        p += 2;
        switch (ordinal) {
        case 0x80: return "BUTTON";
        case 0x81: return "EDIT";
        case 0x82: return "STATIC";
        default: return "#" + std::to_string(ordinal);
        }
    }
    std::string text;
    for (; *p; ++p)
        text += static_cast<char>(*p);
    ++p;
    return text;
}

const WORD* AlignDword(const WORD* p)
{
    return reinterpret_cast<const WORD*>((reinterpret_cast<ULONG_PTR>(p) + 3) & ~static_cast<ULONG_PTR>(3));
}

bool ReadDialog(HMODULE module, int id, Dialog* pDialog)
{
    HRSRC res = FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(5));
    if (!res)
        return false;
    const DLGTEMPLATE* t = static_cast<const DLGTEMPLATE*>(LockResource(LoadResource(module, res)));
    if (!t)
        return false;
    pDialog->style = t->style;
    pDialog->cx = t->cx;
    pDialog->cy = t->cy;
    const WORD* p = reinterpret_cast<const WORD*>(t + 1);
    ReadSzOrOrd(p); // menu
    ReadSzOrOrd(p); // class
    pDialog->caption = ReadSzOrOrd(p);
    if (t->style & DS_SETFONT) {
        pDialog->pointSize = *p++;
        pDialog->font = ReadSzOrOrd(p);
    }
    for (int i = 0; i < t->cdit; ++i) {
        p = AlignDword(p);
        const DLGITEMTEMPLATE* item = reinterpret_cast<const DLGITEMTEMPLATE*>(p);
        Control c;
        c.id = static_cast<short>(item->id);
        c.style = item->style & kStyleBits;
        c.x = item->x;
        c.y = item->y;
        c.cx = item->cx;
        c.cy = item->cy;
        p = reinterpret_cast<const WORD*>(item + 1);
        // Class names are case-insensitive, and resource compilers differ in
        // the case they store.
        c.cls = ReadSzOrOrd(p);
        CharUpperA(&c.cls[0]);
        c.text = ReadSzOrOrd(p);
        WORD extra = *p++;
        p = reinterpret_cast<const WORD*>(reinterpret_cast<const BYTE*>(p) + extra);
        pDialog->controls.push_back(c);
    }
    return true;
}

} // namespace

TEST(DialogTemplates, PagesHaveTheirControlsWhereTheyBelong)
{
    std::string scr = BuiltScreenSaver();
    ASSERT_FALSE(scr.empty()) << "SKARDEL_SCR is not set";
    HMODULE module = LoadLibraryExA(scr.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(nullptr, module);

    // Every control is visible but the About page's three places.
    const DWORD tabstop = WS_TABSTOP | WS_VISIBLE, group = WS_GROUP | WS_VISIBLE, shown = WS_VISIBLE;
    struct Expected {
        int id;
        const char* caption;
        int cx, cy;
        std::vector<Control> controls;
    } dialogs[] = {
        { IDD_CONFIG, "Configuration", 274, 112, {
              { -1, "BUTTON", BS_GROUPBOX | shown, "Speed:", 10, 10, 120, 50 },
              { IDC_SPEED, "MSCTLS_TRACKBAR32", TBS_AUTOTICKS | tabstop, "", 15, 20, 110, 20 },
              { -1, "STATIC", SS_LEFT | group, "Fast", 20, 45, 14, 8 },
              { -1, "STATIC", SS_RIGHT | group, "Slow", 105, 45, 16, 8 },
              { -1, "BUTTON", BS_GROUPBOX | shown, "Starfield:", 145, 10, 120, 50 },
              { IDC_STARFIELD, "MSCTLS_TRACKBAR32", TBS_AUTOTICKS | tabstop, "", 150, 20, 111, 20 },
              { -1, "STATIC", SS_LEFT | group, "None", 155, 45, 18, 8 },
              { -1, "STATIC", SS_RIGHT | group, "Lots", 241, 45, 14, 8 },
              { -1, "STATIC", SS_LEFT | group, "Number of saucer groups:", 10, 72, 82, 8 },
              { IDC_COUNT, "EDIT", ES_NUMBER | ES_AUTOHSCROLL | WS_BORDER | tabstop, "", 100, 70, 30, 14 },
              { IDC_SPIN, "MSCTLS_UPDOWN32", UDS_ALIGNRIGHT | UDS_AUTOBUDDY | UDS_ARROWKEYS | shown, "", 130, 70, 11, 14 },
          } },
        { IDD_ABOUT, "About", 284, 114, {
              { IDC_PROGRAM_NAME, "STATIC", SS_CENTER | SS_NOPREFIX | shown, "Program Name", 84, 12, 192, 8 },
              { IDC_COPYRIGHT, "STATIC", SS_CENTER | group, "Copyright", 84, 27, 192, 8 },
              { IDC_PICTURE_FRAME, "STATIC", SS_BLACKFRAME, "", 5, 10, 75, 76 },
              { IDC_MAIL_PLACE, "STATIC", SS_CENTER, "Email", 84, 46, 192, 8 },
              { IDC_WEB_PLACE, "STATIC", SS_LEFT, "Web Site", 84, 62, 191, 8 },
          } },
        { IDD_DEBUG, "Debug", 186, 95, {
              { -1, "BUTTON", BS_GROUPBOX | shown, "Logfile Recording:", 10, 10, 75, 50 },
              { IDC_LOG_ERROR_ONLY, "BUTTON", BS_AUTORADIOBUTTON | group, "&Only if error", 20, 25, 50, 10 },
              { IDC_LOG_ALWAYS, "BUTTON", BS_AUTORADIOBUTTON | shown, "&Always", 20, 40, 38, 10 },
              { -1, "BUTTON", BS_GROUPBOX | group, "Logfile Update:", 95, 10, 80, 50 },
              { IDC_LOG_OVERWRITE, "BUTTON", BS_AUTORADIOBUTTON | group, "O&verwrite", 105, 25, 44, 10 },
              { IDC_LOG_APPEND, "BUTTON", BS_AUTORADIOBUTTON | shown, "A&ppend", 105, 40, 40, 10 },
              { IDC_SHOW_FPS, "BUTTON", BS_AUTOCHECKBOX | group | tabstop, "Show &Frames Per Second", 10, 70, 94, 10 },
          } },
    };
    for (const Expected& e : dialogs) {
        SCOPED_TRACE(e.caption);
        Dialog d;
        ASSERT_TRUE(ReadDialog(module, e.id, &d));
        EXPECT_EQ(e.caption, d.caption);
        EXPECT_EQ(e.cx, d.cx);
        EXPECT_EQ(e.cy, d.cy);
        EXPECT_EQ(8, d.pointSize);
        EXPECT_EQ("MS Sans Serif", d.font);
        EXPECT_EQ(static_cast<DWORD>(WS_CHILD | WS_CAPTION), d.style & (WS_CHILD | WS_CAPTION | WS_POPUP));
        EXPECT_EQ(e.controls, d.controls);
    }
    FreeLibrary(module);
}

TEST(DialogTemplates, TheLinksMenuHasOneCopyItem)
{
    HMODULE module = LoadLibraryExA(BuiltScreenSaver().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(nullptr, module);
    HMENU menu = LoadMenuA(module, MAKEINTRESOURCEA(IDR_LINK_MENU));
    ASSERT_NE(nullptr, menu);
    char text[64] = "";
    GetMenuStringA(menu, 0, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ("Popup", text);
    HMENU popup = GetSubMenu(menu, 0);
    ASSERT_NE(nullptr, popup);
    EXPECT_EQ(1, GetMenuItemCount(popup));
    EXPECT_EQ(57634u, GetMenuItemID(popup, 0));
    GetMenuStringA(popup, 0, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ("Copy URL", text);
    DestroyMenu(menu);
    FreeLibrary(module);
}

TEST(DialogTemplates, ManifestAsksForCommonControlsSixAndDeclaresDpiAwareness)
{
    // The shipped 32-bit file where the tests have it, else the one built here.
    std::string scr = EnvironmentValue("SKARDEL_PRODUCT_SCR");
    scr = scr.empty() ? BuiltScreenSaver() : WindowsPath(scr);
    HMODULE module = LoadLibraryExA(scr.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(nullptr, module) << scr;
    HRSRC res = FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
    ASSERT_NE(nullptr, res);
    const char* data = static_cast<const char*>(LockResource(LoadResource(module, res)));
    std::string manifest(data, SizeofResource(module, res));
    EXPECT_NE(std::string::npos, manifest.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""));
    EXPECT_NE(std::string::npos, manifest.find("publicKeyToken=\"6595b64144ccf1df\""));
    EXPECT_NE(std::string::npos, manifest.find(">true</dpiAware>"));
    FreeLibrary(module);
}
