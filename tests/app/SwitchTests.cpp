#include "app/ScreenSaverApp.h"
#include "support/Registry.h"
#include "support/SheetDriver.h"

#include <gtest/gtest.h>

TEST(MatchSwitch, FirstLetterAfterOneLeadingDashOrSlash)
{
    struct Case {
        const char* argument;
        const char* letter;
        BOOL expected;
    } cases[] = {
        { "/s", "s", TRUE },     { "-S", "s", TRUE },     { "s", "s", TRUE },
        { "S", "s", TRUE },      { "/save", "s", TRUE },  { "/c:680", "c", TRUE },
        { "C", "c", TRUE },      { "/p", "p", TRUE },     { "-P", "p", TRUE },
        { "/s", "c", FALSE },    { "/a", "s", FALSE },    { "/a", "p", FALSE },
        { "//s", "s", FALSE },   { "//s", "/", TRUE },    { "-/s", "s", FALSE },
        { "", "s", FALSE },      { "/", "s", FALSE },     { "-", "c", FALSE },
        { "password", "p", TRUE },
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.expected, MatchSwitch(c.argument, c.letter))
            << "argument \"" << c.argument << "\" letter " << c.letter;
}

TEST(CScreenSaverApp, UnusableSwitchesEndWithoutAWindow)
{
    const char* switches[][3] = {
        { "Skardel.scr", "/a", nullptr },  { "Skardel.scr", "", nullptr },
        { "Skardel.scr", "//s", nullptr }, { "Skardel.scr", "/p", nullptr },
        { "Skardel.scr", "/p", "0" },      { "Skardel.scr", "-P", "12345" },
        { "Skardel.scr", "/p", "abc" },
    };
    for (auto& argv : switches) {
        int argc = argv[2] ? 3 : 2;
        EXPECT_FALSE(theApp.Dispatch(argc, const_cast<char**>(argv))) << argv[1];
        EXPECT_EQ(nullptr, theApp.m_pMainWnd) << argv[1];
    }
    EXPECT_STREQ("Tolmere", theApp.m_pszRegistryKey);
    EXPECT_STREQ("Skardel Screen Saver", theApp.m_pszProfileName);
}

TEST(CScreenSaverApp, NoArgumentAndEveryConfigurationFormOpenTheSheet)
{
    const char* forms[][2] = { { "Skardel.scr", nullptr }, { "Skardel.scr", "/c:680" },
                               { "Skardel.scr", "/C" },    { "Skardel.scr", "c" } };
    for (auto& argv : forms) {
        SCOPED_TRACE(argv[1] ? argv[1] : "(none)");
        int argc = argv[1] ? 2 : 1;
        bool sawSheet = false;
        BOOL result = TRUE;
        SheetDriver driver;
        driver.Run({ SheetDriver::Do([&](HWND) { sawSheet = true; }), SheetDriver::PressCancel() },
                   [&] { result = theApp.Dispatch(argc, const_cast<char**>(argv)); });
        EXPECT_TRUE(sawSheet);
        EXPECT_FALSE(result);
        EXPECT_EQ(nullptr, theApp.m_pMainWnd);
    }
}

namespace {

DWORD g_platform = 0;
std::vector<HWND> g_changeOwners;  // each call of the change-password dialog

} // namespace

TEST(CScreenSaverApp, PasswordChangeOnWindows9xOnlyOwnedByTheGivenWindowOrTheForeground)
{
    const PasswordPlatform recorder = { [] { return g_platform; },
                                        [](HWND, const char**) { return PasswordCheck::Unchecked; },
                                        [](HWND owner) { g_changeOwners.push_back(owner); } };
    HWND owner = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr, nullptr,
                                 nullptr);
    HWND messageOnly = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    const std::string given = std::to_string(reinterpret_cast<LONG_PTR>(owner)),
                      notOfThisDesktop = std::to_string(reinterpret_cast<LONG_PTR>(messageOnly));
    const struct {
        DWORD platform;
        const char* handle;  // after /a
        std::vector<HWND> owners;
    } cases[] = {
        { VER_PLATFORM_WIN32_WINDOWS, given.c_str(), { owner } },
        { VER_PLATFORM_WIN32_WINDOWS, nullptr, { GetForegroundWindow() } },
        { VER_PLATFORM_WIN32_WINDOWS, notOfThisDesktop.c_str(), { GetForegroundWindow() } },
        { VER_PLATFORM_WIN32_NT, given.c_str(), {} },
    };
    for (const auto& c : cases) {
        g_platform = c.platform;
        g_changeOwners.clear();
        const char* argv[] = { "Skardel.scr", "/a", c.handle };
        EXPECT_FALSE(theApp.Dispatch(c.handle ? 3 : 2, const_cast<char**>(argv), recorder));
        EXPECT_EQ(c.owners, g_changeOwners) << c.platform << " " << (c.handle ? c.handle : "(no handle)");
    }
    DestroyWindow(messageOnly);
    DestroyWindow(owner);
}
