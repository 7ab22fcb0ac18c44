#include "framework/afxfile.h"
#include "support/TestAccess.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

TEST(CMemFile, GrowsInWholeStepsAndKeepsItsPosition)
{
    CMemFile mem(1024);
    EXPECT_EQ(0u, mem.GetLength());
    EXPECT_EQ(0u, TestAccess::m_nBufferSize(mem));
    mem.Write("abc", 3);
    EXPECT_EQ(1024u, TestAccess::m_nBufferSize(mem));
    std::string big(1500, 'z');
    mem.Write(big.data(), static_cast<UINT>(big.size()));
    EXPECT_EQ(1503u, mem.GetLength());
    EXPECT_EQ(2048u, TestAccess::m_nBufferSize(mem));
    // The position is at the end of what was written: the next write appends.
    mem.Write("?", 1);
    EXPECT_EQ(1504u, mem.GetLength());

    mem.SeekToBegin();
    std::vector<char> out(2000);
    EXPECT_EQ(1504u, mem.Read(out.data(), 2000));
    EXPECT_EQ(0, memcmp(out.data(), "abczz", 5));
    EXPECT_EQ('?', out[1503]);
    EXPECT_EQ(0u, mem.Read(out.data(), 10));
    // After reading everything the position is at the end: writes append.
    mem.Write("!", 1);
    EXPECT_EQ(1505u, mem.GetLength());
}

TEST(CFile, CreatesTruncatesAndAppends)
{
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    std::string name = std::string(dir) + "skardel_cfile_test.txt";
    DeleteFileA(name.c_str());

    CFile f;
    EXPECT_FALSE(f.Open("", CFile::modeWrite));
    ASSERT_TRUE(f.Open(name.c_str(), CFile::modeCreate | CFile::modeWrite));
    EXPECT_TRUE(f.Write("hello", 5));
    f.Close();

    ASSERT_TRUE(f.Open(name.c_str(), CFile::modeCreate | CFile::modeWrite | CFile::modeNoTruncate));
    // Opened without sharing: nobody else can open it meanwhile.
    HANDLE other = CreateFileA(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                               nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_EQ(INVALID_HANDLE_VALUE, other);
    if (other != INVALID_HANDLE_VALUE)
        CloseHandle(other);
    EXPECT_TRUE(f.SeekToEnd());
    EXPECT_TRUE(f.Write(" world", 6));
    f.Close();
    EXPECT_FALSE(f.Write("x", 1));

    HANDLE h = CreateFileA(name.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    char buf[32] = {};
    DWORD read = 0;
    ReadFile(h, buf, sizeof buf, &read, nullptr);
    CloseHandle(h);
    EXPECT_EQ(std::string("hello world"), std::string(buf, read));

    ASSERT_TRUE(f.Open(name.c_str(), CFile::modeCreate | CFile::modeWrite));
    f.Close();
    h = CreateFileA(name.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_EQ(0u, GetFileSize(h, nullptr));
    CloseHandle(h);
    DeleteFileA(name.c_str());
}
