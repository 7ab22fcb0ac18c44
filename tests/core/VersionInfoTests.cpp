#include "core/VersionInfo.h"
#include "support/Process.h"

#include <gtest/gtest.h>

namespace {

void ExpectProductStrings(const CVersionInfo& info)
{
    struct { const char* key; const char* value; } expected[] = {
        { "CompanyName", "Tolmere" },
        { "FileDescription", "Skardel Screen Saver" },
        { "FileVersion", "1, 1, 2, 0" },
        { "InternalName", "Skardel.scr" },
        { "OriginalFilename", "Skardel.scr" },
        { "ProductName", "Skardel Screen Saver" },
        { "ProductVersion", "1, 1, 2, 0" },
    };
    for (auto& e : expected) {
        CString out;
        EXPECT_TRUE(info.GetString(e.key, out)) << e.key;
        EXPECT_STREQ(e.value, out) << e.key;
    }
    CString copyright;
    EXPECT_TRUE(info.GetString("LegalCopyright", copyright));
    EXPECT_NE(-1, copyright.Find("Tolmere")) << copyright;
    EXPECT_NE(-1, copyright.Find("2026")) << copyright;

    CString untouched("before");
    EXPECT_FALSE(info.GetString("Comments", untouched));
    EXPECT_STREQ("before", untouched);
}

void ExpectFixedVersion(const std::string& file)
{
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeA(file.c_str(), &handle);
    ASSERT_GT(size, 0u);
    std::vector<BYTE> block(size);
    ASSERT_TRUE(GetFileVersionInfoA(file.c_str(), 0, size, block.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT len = 0;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &len));
    EXPECT_EQ(0x00010001u, fixed->dwFileVersionMS);
    EXPECT_EQ(0x00020000u, fixed->dwFileVersionLS);
    EXPECT_EQ(0x00010001u, fixed->dwProductVersionMS);
    EXPECT_EQ(0x00020000u, fixed->dwProductVersionLS);
    // Only the English (United Kingdom), Unicode string table exists.
    void* value = nullptr;
    EXPECT_FALSE(VerQueryValueA(block.data(), "\\StringFileInfo\\040904b0\\ProductName", &value, &len));
}

} // namespace

namespace {

BOOL WINAPI StubVerQueryValueW(LPCVOID, LPCWSTR, LPVOID*, PUINT)
{
    SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
    return FALSE;
}

} // namespace

TEST(CVersionInfo, ReadsTheProgramsOwnVersion)
{
    CVersionInfo info(GetModuleHandleA(nullptr));
    ExpectProductStrings(info);

    // Windows 95, 98 and Me have the wide look-up only as a stub: the
    // module's file is read through the ANSI calls instead.
    const VersionInfoPlatform windows9x = { StubVerQueryValueW };
    CVersionInfo ansi(GetModuleHandleA(nullptr), windows9x);
    ExpectProductStrings(ansi);
}

TEST(CVersionInfo, TheBuiltScreenSaverCarriesTheVersion)
{
    std::string scr = BuiltScreenSaver();
    ASSERT_FALSE(scr.empty());
    CVersionInfo info(scr.c_str());
    ExpectProductStrings(info);
    ExpectFixedVersion(scr);

    std::string product = WindowsPath(EnvironmentValue("SKARDEL_PRODUCT_SCR"));
    if (product.empty())
        GTEST_SKIP() << "no 32-bit product build given";
    CVersionInfo productInfo(product.c_str());
    ExpectProductStrings(productInfo);
    ExpectFixedVersion(product);
}

TEST(CVersionInfo, FileWithoutVersionInformationThrows)
{
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    std::string name = std::string(dir) + "skardel_plain.txt";
    HANDLE h = CreateFileA(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    CloseHandle(h);
    EXPECT_THROW(CVersionInfo info(name.c_str()), CResourceException);
    DeleteFileA(name.c_str());
}
