#include "framework/afx.h"

#include <gtest/gtest.h>

TEST(CString, FormatsPrintfStyle)
{
    CString s;
    s.Format("%s = %d", "Count", -3);
    EXPECT_STREQ("Count = -3", s);
    s.Format("Direct Draw version %04x", 0x501);
    EXPECT_STREQ("Direct Draw version 0501", s);
    s.Format("Unknown error %0x", 0x88760001u);
    EXPECT_STREQ("Unknown error 88760001", s);
    // A result longer than any fixed buffer.
    CString longText(static_cast<char>('x'), 5000);
    s.Format("[%s]", static_cast<const char*>(longText));
    EXPECT_EQ(5002, s.GetLength());
    EXPECT_EQ('x', s.GetAt(4999));
}

TEST(CString, SearchesAndCuts)
{
    CString path("C:\\Dir.d\\Saver.SCR");
    EXPECT_EQ(14, path.ReverseFind('.'));
    EXPECT_EQ(6, path.Find('.'));
    EXPECT_EQ(9, path.Find("Saver"));
    EXPECT_EQ(-1, path.Find("saver"));
    EXPECT_EQ(-1, path.ReverseFind('/'));
    EXPECT_STREQ("C:\\Dir.d\\Saver", path.Left(14));
    EXPECT_STREQ("SCR", path.Mid(15));
    EXPECT_STREQ("", path.Mid(40));
    EXPECT_STREQ("", CString().Left(1));
    EXPECT_STREQ("Dir", path.Mid(3, 3));
}

TEST(CString, LowerCasesAndJoins)
{
    CString s("ABC def \xC4");  // A-umlaut in the Western code page
    s.MakeLower();
    EXPECT_STREQ("abc def \xE4", s);
    CString joined = CString("a") + "b" + CString("c");
    joined += 'd';
    EXPECT_STREQ("abcd", joined);
    EXPECT_TRUE(joined == "abcd");
    EXPECT_TRUE(CString() == "");
    EXPECT_TRUE(CString().IsEmpty());
}
