#include "framework/afxreg.h"

#include <gtest/gtest.h>

#include <string>

namespace {

void MakeKey(const char* subKey, const char* defaultValue)
{
    HKEY hKey;
    RegCreateKeyExA(HKEY_CURRENT_USER, subKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &hKey, nullptr);
    RegSetValueExA(hKey, "", 0, REG_SZ, reinterpret_cast<const BYTE*>(defaultValue),
                   static_cast<DWORD>(strlen(defaultValue) + 1));
    RegCloseKey(hKey);
}

} // namespace

TEST(CRegistryKey, OpensQueriesAndKeepsItsKeyOnAFailedOpen)
{
    MakeKey("Software\\SkardelTest\\First", "first value");
    MakeKey("Software\\SkardelTest\\Second", "second");

    CRegistryKey key;
    EXPECT_EQ(nullptr, key.GetHandle());
    EXPECT_EQ(ERROR_SUCCESS, key.Close());
    ASSERT_EQ(ERROR_SUCCESS, key.Open(HKEY_CURRENT_USER, "Software\\SkardelTest\\First", KEY_ALL_ACCESS));
    HKEY first = key.GetHandle();
    ASSERT_NE(nullptr, first);

    char buf[64] = {};
    DWORD size = sizeof buf;
    EXPECT_EQ(ERROR_SUCCESS, key.QueryValue(buf, "", &size));
    EXPECT_STREQ("first value", buf);
    EXPECT_EQ(12u, size);  // the terminating zero counts
    size = sizeof buf;
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, key.QueryValue(buf, "missing", &size));

    // A failed open keeps the key held so far.
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, key.Open(HKEY_CURRENT_USER, "Software\\SkardelTest\\None", KEY_READ));
    EXPECT_EQ(first, key.GetHandle());
    size = sizeof buf;
    EXPECT_EQ(ERROR_SUCCESS, key.QueryValue(buf, "", &size));

    // A successful one replaces it.
    EXPECT_EQ(ERROR_SUCCESS, key.Open(HKEY_CURRENT_USER, "Software\\SkardelTest\\Second", KEY_READ));
    size = sizeof buf;
    EXPECT_EQ(ERROR_SUCCESS, key.QueryValue(buf, "", &size));
    EXPECT_STREQ("second", buf);

    EXPECT_EQ(ERROR_SUCCESS, key.Close());
    EXPECT_EQ(nullptr, key.GetHandle());
    EXPECT_EQ(ERROR_SUCCESS, key.Close());
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\SkardelTest");
}
