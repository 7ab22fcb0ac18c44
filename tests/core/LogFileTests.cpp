#include "core/LogFile.h"
#include "support/Process.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <thread>
#include <vector>

namespace {

const char* const kHeader =
    "Logfile Created (Sunday|Monday|Tuesday|Wednesday|Thursday|Friday|Saturday), "
    "(January|February|March|April|May|June|July|August|September|October|November|December) "
    "[0-3][0-9], 20[0-9][0-9] [0-2][0-9]:[0-5][0-9]:[0-6][0-9]\r\n";

class LogFileTest : public testing::Test {
protected:
    void SetUp() override
    {
        char dir[MAX_PATH];
        GetTempPathA(MAX_PATH, dir);
        m_base = std::string(dir) + "skardel_log_test";
        m_log = m_base + ".log";
        DeleteFileA(m_log.c_str());
    }
    void TearDown() override { DeleteFileA(m_log.c_str()); }

    std::string Contents() const
    {
        std::string out;
        return ReadWholeFile(AfxWiden(m_log.c_str()), &out) ? out : "<missing>";
    }
    void WriteFileText(const std::string& text) const
    {
        HANDLE h = CreateFileA(m_log.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD written;
        WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
        CloseHandle(h);
    }

    std::string m_base;
    std::string m_log;
};

std::string Block(const std::string& lines)
{
    return std::string(kHeader) + lines + "\r\n";
}

bool Matches(const std::string& text, const std::string& pattern)
{
    return std::regex_match(text, std::regex(pattern));
}

std::string Lower(std::string s)
{
    CharLowerBuffA(&s[0], static_cast<DWORD>(s.size()));
    return s;
}

} // namespace

TEST_F(LogFileTest, NamesTheFileAfterTheExecutable)
{
    CLogFile log;
    EXPECT_TRUE(log.Open(false, ""));
    char module[MAX_PATH];
    GetModuleFileNameA(nullptr, module, MAX_PATH);
    std::string expected(module);
    expected = Lower(expected.substr(0, expected.rfind('.')) + ".log");
    EXPECT_STREQ(expected.c_str(), log.GetFileName());

    EXPECT_TRUE(log.Open(false, "C:\\Some Dir\\Saver.SCR"));
    EXPECT_STREQ("c:\\some dir\\saver.log", log.GetFileName());
    // Only a dot in a directory name: the path is cut there.
    EXPECT_TRUE(log.Open(false, "C:\\Tolmere.Apps\\saver"));
    EXPECT_STREQ("c:\\tolmere.log", log.GetFileName());
    // No dot at all: nothing changes.
    EXPECT_FALSE(log.Open(true, "C:\\nodot\\saver"));
    EXPECT_STREQ("c:\\tolmere.log", log.GetFileName());

    CLogFile fresh;
    EXPECT_FALSE(fresh.Open(false, "nodot"));
    EXPECT_STREQ("", fresh.GetFileName());
    fresh.Write("kept");
    EXPECT_FALSE(fresh.Save());
}

TEST_F(LogFileTest, RecordsLinesExactly)
{
    CLogFile log;
    ASSERT_TRUE(log.Open(false, (m_base + ".scr").c_str()));
    EXPECT_TRUE(log.Save());
    EXPECT_TRUE(Matches(Contents(), Block(""))) << Contents();

    log.WriteText("Program Version", "1, 1, 2, 0");
    log.WriteText("Program Version", "");
    log.WriteValue("Count", -3);
    log.WriteValue("Hardware Caps - Total video memory", 67108864);
    log.Write("Error blitting background to work\n");
    log.Write("");
    EXPECT_TRUE(log.Save());
    EXPECT_TRUE(Matches(Contents(), Block("Program Version: 1, 1, 2, 0\r\n"
                                          "Program Version: \r\n"
                                          "Count = -3\r\n"
                                          "Hardware Caps - Total video memory = 67108864\r\n"
                                          "Error blitting background to work\n\r\n"
                                          "\r\n")))
        << Contents();
}

TEST_F(LogFileTest, OverwriteKeepsOnlyTheLastBlock)
{
    WriteFileText("old contents\r\n");
    CLogFile log;
    ASSERT_TRUE(log.Open(false, (m_base + ".scr").c_str()));
    log.Write("first");
    EXPECT_TRUE(log.Save());
    EXPECT_TRUE(Matches(Contents(), Block("first\r\n"))) << Contents();
    log.Write("second");
    EXPECT_TRUE(log.Save());
    EXPECT_TRUE(Matches(Contents(), Block("first\r\nsecond\r\n"))) << Contents();
}

TEST_F(LogFileTest, AppendAddsBlocksAfterEarlierContents)
{
    WriteFileText("old contents\r\n");
    CLogFile log;
    ASSERT_TRUE(log.Open(true, (m_base + ".scr").c_str()));
    log.Write("first");
    EXPECT_TRUE(log.Save());
    log.Write("second");
    EXPECT_TRUE(log.Save());
    EXPECT_TRUE(Matches(Contents(), "old contents\r\n" + Block("first\r\n") +
                                        Block("first\r\nsecond\r\n")))
        << Contents();
}

TEST_F(LogFileTest, UnwritableFileSavesNothingAndKeepsTheLines)
{
    CLogFile log;
    ASSERT_TRUE(log.Open(false, "C:\\no such directory here\\saver.scr"));
    log.Write("line one");
    EXPECT_FALSE(log.Save());

    // A file held open by someone else.
    ASSERT_TRUE(log.Open(false, (m_base + ".scr").c_str()));
    HANDLE held = CreateFileA(m_log.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    EXPECT_FALSE(log.Save());
    CloseHandle(held);

    log.Write("line two");
    EXPECT_TRUE(log.Save());
    EXPECT_TRUE(Matches(Contents(), Block("line one\r\nline two\r\n"))) << Contents();
}

TEST_F(LogFileTest, HeaderIsEnglishWhateverTheUsersLocale)
{
    LCID saved = GetThreadLocale();
    SetThreadLocale(MAKELCID(MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN), SORT_DEFAULT));
    CLogFile log;
    ASSERT_TRUE(log.Open(false, (m_base + ".scr").c_str()));
    EXPECT_TRUE(log.Save());
    SetThreadLocale(saved);
    EXPECT_TRUE(Matches(Contents(), Block(""))) << Contents();

    // From the calendar, not 32-bit seconds: the years after 2038 too.
    const struct {
        SYSTEMTIME time;  // year, month, day of week, day, hour, minute, second, ms
        const char* header;
    } dates[] = {
        { { 2038, 1, 2, 19, 3, 14, 8, 0 }, "Logfile Created Tuesday, January 19, 2038 03:14:08" },
        { { 2106, 2, 0, 7, 6, 28, 16, 0 }, "Logfile Created Sunday, February 07, 2106 06:28:16" },
        // What the system never answers gives no header rather than a wrong one.
        { { 2026, 13, 3, 1, 0, 0, 0, 0 }, "" },
    };
    for (const auto& d : dates)
        EXPECT_STREQ(d.header, CLogFile::FormatHeader(d.time));
}

namespace {

// Windows 95, 98 and Me: the wide calls are there, as stubs that fail.
template <class Result>
Result Failing(DWORD error, Result result)
{
    SetLastError(error);
    return result;
}
HANDLE WINAPI StubCreateFileW(LPCWSTR, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD, HANDLE)
{
    return Failing(ERROR_CALL_NOT_IMPLEMENTED, INVALID_HANDLE_VALUE);
}
DWORD WINAPI StubGetModuleFileNameW(HMODULE, LPWSTR, DWORD) { return Failing(ERROR_CALL_NOT_IMPLEMENTED, 0ul); }
DWORD WINAPI StubCharLowerBuffW(LPWSTR, DWORD) { return Failing(ERROR_CALL_NOT_IMPLEMENTED, 0ul); }
// A real failure of the wide call is the answer, not a reason to try again.
HANDLE WINAPI DeniedCreateFileW(LPCWSTR, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD, HANDLE)
{
    return Failing(ERROR_ACCESS_DENIED, INVALID_HANDLE_VALUE);
}

} // namespace

TEST_F(LogFileTest, WhereTheWideCallsAreStubsTheAnsiOnesWriteTheLog)
{
    char module[MAX_PATH];
    GetModuleFileNameA(nullptr, module, MAX_PATH);
    std::string own(module);
    own = Lower(own.substr(0, own.rfind('.')) + ".log");

    CLogFile log(AfxWidePlatform{ StubCreateFileW, StubGetModuleFileNameW, StubCharLowerBuffW });
    EXPECT_TRUE(log.Open(false, ""));
    EXPECT_STREQ(own.c_str(), log.GetFileName());
    ASSERT_TRUE(log.Open(false, (m_base + ".SCR").c_str()));
    EXPECT_STREQ(Lower(m_log).c_str(), log.GetFileName());
    log.Write("written through CreateFileA");
    EXPECT_TRUE(log.Save());
    EXPECT_TRUE(Matches(Contents(), Block("written through CreateFileA\r\n"))) << Contents();

    CLogFile refused(AfxWidePlatform{ DeniedCreateFileW, ::GetModuleFileNameW, ::CharLowerBuffW });
    ASSERT_TRUE(refused.Open(false, (m_base + ".scr").c_str()));
    refused.Write("never written");
    EXPECT_FALSE(refused.Save());
    EXPECT_TRUE(Matches(Contents(), Block("written through CreateFileA\r\n"))) << Contents();
}

TEST_F(LogFileTest, TwoThreadsRecordWholeLines)
{
    CLogFile log;
    ASSERT_TRUE(log.Open(false, (m_base + ".scr").c_str()));
    auto writer = [&log](const char* text) {
        for (int i = 0; i < 2000; ++i)
            log.Write(text);
    };
    std::thread a(writer, "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaa");
    std::thread b(writer, "bbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbb");
    a.join();
    b.join();
    ASSERT_TRUE(log.Save());
    std::string text = Contents();
    size_t body = text.find("\r\n") + 2;
    int as = 0, bs = 0;
    for (size_t pos = body; pos < text.size() - 2;) {
        size_t end = text.find("\r\n", pos);
        ASSERT_NE(std::string::npos, end);
        std::string line = text.substr(pos, end - pos);
        if (line == std::string(30, 'a'))
            ++as;
        else if (line == std::string(40, 'b'))
            ++bs;
        else
            FAIL() << "torn line: " << line;
        pos = end + 2;
    }
    EXPECT_EQ(2000, as);
    EXPECT_EQ(2000, bs);
}
