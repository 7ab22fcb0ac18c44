#include "app/ScreenSaverApp.h"
#include "core/Settings.h"
#include "support/Registry.h"

#include <gtest/gtest.h>

TEST(Settings, EmptyStoreGivesEachReadersDefaultAndCreatesTheKeyPath)
{
    ClearStoredSettings();
    EXPECT_FALSE(KeyExists(TEST_SETTINGS_KEY));
    CWinApp* app = AfxGetApp();
    EXPECT_EQ(3u, app->GetProfileInt(SETTINGS_SECTION, "Count", 3));
    EXPECT_TRUE(KeyExists(TEST_SETTINGS_KEY));
    EXPECT_EQ(0, CountValues(TEST_SETTINGS_KEY));
    EXPECT_EQ(5u, app->GetProfileInt(SETTINGS_SECTION, "Count", 5));
    EXPECT_EQ(30u, app->GetProfileInt(SETTINGS_SECTION, "Speed", 30));
    EXPECT_EQ(static_cast<UINT>(-1), app->GetProfileInt(SETTINGS_SECTION, "Fps", -1));
}

TEST(Settings, WritesAreDwordsReadBackUnsigned)
{
    ClearStoredSettings();
    CWinApp* app = AfxGetApp();
    EXPECT_TRUE(app->WriteProfileInt(SETTINGS_SECTION, "Stars", 400));
    EXPECT_TRUE(app->WriteProfileInt(SETTINGS_SECTION, "Count", -3));
    DWORD value = 0, type = 0;
    ASSERT_TRUE(ReadDwordSetting("Stars", &value, &type));
    EXPECT_EQ(static_cast<DWORD>(REG_DWORD), type);
    EXPECT_EQ(400u, value);
    EXPECT_EQ(400u, app->GetProfileInt(SETTINGS_SECTION, "Stars", 100));
    EXPECT_EQ(0xFFFFFFFDu, app->GetProfileInt(SETTINGS_SECTION, "Count", 3));
    // Overwriting keeps one value.
    EXPECT_TRUE(app->WriteProfileInt(SETTINGS_SECTION, "Stars", 0));
    EXPECT_EQ(0u, app->GetProfileInt(SETTINGS_SECTION, "Stars", 100));
    EXPECT_EQ(2, CountValues(TEST_SETTINGS_KEY));
}

TEST(Settings, OnlyWholeFourByteValuesCount)
{
    ClearStoredSettings();
    CWinApp* app = AfxGetApp();
    const BYTE eight[8] = { 1, 2, 3, 4, 5, 6, 7, 8 };
    SetRawValue("Speed", REG_BINARY, eight, 8);
    EXPECT_EQ(30u, app->GetProfileInt(SETTINGS_SECTION, "Speed", 30));
    const BYTE two[2] = { 9, 9 };
    SetRawValue("Speed", REG_BINARY, two, 2);
    EXPECT_EQ(30u, app->GetProfileInt(SETTINGS_SECTION, "Speed", 30));
    SetRawValue("Speed", REG_SZ, "", 1);
    EXPECT_EQ(30u, app->GetProfileInt(SETTINGS_SECTION, "Speed", 30));
    // Four bytes are a number whatever type the value claims.
    const BYTE four[4] = { 0x2C, 0x01, 0, 0 };
    SetRawValue("Speed", REG_BINARY, four, 4);
    EXPECT_EQ(300u, app->GetProfileInt(SETTINGS_SECTION, "Speed", 30));
    SetDwordSetting("Speed", 0xFFFFFFFF);
    EXPECT_EQ(0xFFFFFFFFu, app->GetProfileInt(SETTINGS_SECTION, "Speed", 30));
    ClearStoredSettings();
}
