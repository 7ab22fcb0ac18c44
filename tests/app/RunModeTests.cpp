// The built Skardel.scr as a whole, started the way the screen-saver host
// starts it.
#include "support/Process.h"
#include "support/Registry.h"
#include "support/StartupLog.h"

#include <gtest/gtest.h>

TEST(RunModes, UnusableSwitchesEndAtOnceWithoutAWindow)
{
    std::string scr = BuiltScreenSaver();
    ASSERT_FALSE(scr.empty()) << "SKARDEL_SCR is not set";
    // The desktop window, a window not shown and a window of no desktop (a
    // message-only one, whatever its style says) are no place for a preview.
    HWND hidden = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 152, 112, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, hidden);
    HWND messageOnly =
        CreateWindowExA(0, "STATIC", "", WS_VISIBLE, 0, 0, 152, 112, HWND_MESSAGE, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, messageOnly);
    auto handle = [](HWND h) { return "/p " + std::to_string(static_cast<long>(reinterpret_cast<LONG_PTR>(h))); };
    const std::string arguments[] = { "/a", "\"\"", "//s", "-x", "/p", "/p 0", "/p 99999", "/p notanumber",
                                      handle(GetDesktopWindow()), handle(hidden), handle(messageOnly) };
    for (const std::string& args : arguments) {
        ProcessResult r = RunProcess("\"" + scr + "\" " + args, 20000);
        ASSERT_TRUE(r.started) << args;
        EXPECT_TRUE(r.exited) << args;
        EXPECT_EQ(0u, r.exitCode) << args;
        EXPECT_EQ(0, r.windowsSeen) << args;
        EXPECT_LT(r.elapsedMs, 10000u) << args;
    }
    DestroyWindow(hidden);
    DestroyWindow(messageOnly);
}

namespace {

void DeleteLogOf(const std::string& program)
{
    std::string path = program.substr(0, program.rfind('.')) + ".log";
    DeleteFileA(path.c_str());
}

// The scene's lines after the display's, for the default three groups.
std::vector<std::string> WithSceneLines(std::vector<std::string> lines)
{
    for (const char* l : { "Main Application initialisation...", "No Parent window - loading bitmaps",
                           "Creating saucer group = 0", "Creating saucer group = 1", "Creating saucer group = 2",
                           "Timer period = 30", "Finished Main Application initialisation" })
        lines.push_back(l);
    return lines;
}

// Starts the built saver with "Always Log" set and returns its window.
HWND StartLoggingSaver(ChildProcess& saver, const std::string& scr)
{
    ClearStoredSettings();
    SetDwordSetting("Always Log", 1);
    DeleteLogOf(scr);
    if (!saver.Start("\"" + scr + "\" /s"))
        return nullptr;
    HWND hWnd = saver.WaitForTopWindow(20000);
    PumpMessages(500);
    return hWnd;
}

} // namespace

TEST(RunModes, SaverStartsFullScreenLogsItsStartAndEndsOnAKey)
{
    std::string scr = BuiltScreenSaver();
    ChildProcess saver;
    HWND hWnd = StartLoggingSaver(saver, scr);
    ASSERT_NE(nullptr, hWnd);
    RECT rect;
    GetWindowRect(hWnd, &rect);
    EXPECT_EQ(0, rect.left);
    EXPECT_EQ(0, rect.top);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), rect.right);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), rect.bottom);
    PostMessageA(hWnd, WM_KEYDOWN, 'A', 0);
    EXPECT_TRUE(saver.WaitForExit(5000));
    EXPECT_EQ(0u, saver.exitCode);
    EXPECT_EQ(WithSceneLines(ExpectedStartupLines(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), 16)),
              ReadLogBody(scr));
    ClearStoredSettings();
}

TEST(RunModes, PreviewFillsTheHostWindowAndEndsWithIt)
{
    std::string scr = BuiltScreenSaver();
    ClearStoredSettings();
    HWND host = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 50, 60, 152, 112, nullptr, nullptr,
                                nullptr, nullptr);
    ASSERT_NE(nullptr, host);
    ChildProcess preview;
    ASSERT_TRUE(preview.Start("\"" + scr + "\" /p " +
                              std::to_string(static_cast<long>(reinterpret_cast<LONG_PTR>(host)))));
    HWND child = preview.WaitForChildWindow(host, 20000);
    ASSERT_NE(nullptr, child);
    RECT rect;
    GetWindowRect(child, &rect);
    EXPECT_EQ(50, rect.left);
    EXPECT_EQ(60, rect.top);
    EXPECT_EQ(152, rect.right - rect.left);
    EXPECT_EQ(112, rect.bottom - rect.top);
    PumpMessages(300);
    DestroyWindow(host);
    EXPECT_TRUE(preview.WaitForExit(5000));
}

TEST(RunModes, Depth24_SaverRunsOnADeeperDesktop)
{
    if (EnvironmentValue("SKARDEL_DEPTH") != "24")
        GTEST_SKIP() << "needs the 24-bit display";
    std::string scr = BuiltScreenSaver();
    ChildProcess saver;
    HWND hWnd = StartLoggingSaver(saver, scr);
    ASSERT_NE(nullptr, hWnd);
    PostMessageA(hWnd, WM_SYSKEYDOWN, VK_MENU, 0);
    EXPECT_TRUE(saver.WaitForExit(5000));
    // The resolution line names the desktop's depth, not the 16 bits run.
    EXPECT_EQ(WithSceneLines(ExpectedStartupLines(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), 32)),
              ReadLogBody(scr));
    ClearStoredSettings();
}

TEST(RunModes, Depth8_SaverRunsOnAnEightBitDisplayAndEndsOnAKey)
{
    if (EnvironmentValue("SKARDEL_DEPTH") != "8")
        GTEST_SKIP() << "needs the 8-bit display";
    std::string scr = BuiltScreenSaver();
    ChildProcess saver;
    HWND hWnd = StartLoggingSaver(saver, scr);
    ASSERT_NE(nullptr, hWnd);
    PostMessageA(hWnd, WM_KEYDOWN, 'A', 0);
    EXPECT_TRUE(saver.WaitForExit(5000));
    EXPECT_EQ(0u, saver.exitCode);
    EXPECT_EQ(WithSceneLines(ExpectedStartupLines(640, 480, 8)), ReadLogBody(scr));
    ClearStoredSettings();
}

TEST(RunModes, PreviewEndsWhateverTheMomentItsHostGoes)
{
    std::string scr = BuiltScreenSaver();
    ClearStoredSettings();
    int stuck = 0;
    for (int delay = 0; delay <= 200; delay += 20) {
        for (int attempt = 0; attempt < 3; ++attempt) {
            HWND host = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 50, 60, 152, 112, nullptr,
                                        nullptr, nullptr, nullptr);
            ASSERT_NE(nullptr, host);
            ChildProcess preview;
            ASSERT_TRUE(preview.Start("\"" + scr + "\" /p " +
                                      std::to_string(static_cast<long>(reinterpret_cast<LONG_PTR>(host)))));
            PumpMessages(delay);
            DestroyWindow(host);
            if (!preview.WaitForExit(1000)) {
                ++stuck;
                ADD_FAILURE() << "the preview outlived its host by a second when it went after " << delay << " ms";
            }
        }
    }
    EXPECT_EQ(0, stuck);
}

TEST(RunModes, PreviewStartsInAShownWindowOfADialogNotShownYet)
{
    std::string scr = BuiltScreenSaver();
    ClearStoredSettings();
    // The settings dialog may start the preview before it shows itself.
    HWND dialog = CreateWindowExA(0, "STATIC", "", WS_POPUP, 50, 60, 300, 200, nullptr, nullptr, nullptr, nullptr);
    HWND monitor = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 10, 10, 152, 112, dialog, nullptr,
                                   nullptr, nullptr);
    ASSERT_NE(nullptr, monitor);
    ChildProcess preview;
    ASSERT_TRUE(preview.Start("\"" + scr + "\" /p " +
                              std::to_string(static_cast<long>(reinterpret_cast<LONG_PTR>(monitor)))));
    EXPECT_FALSE(preview.WaitForExit(3000)) << "the preview refused its window";
    ShowWindow(dialog, SW_SHOW);
    EXPECT_NE(nullptr, preview.WaitForChildWindow(monitor, 5000));
    DestroyWindow(dialog);
    EXPECT_TRUE(preview.WaitForExit(5000));
}
