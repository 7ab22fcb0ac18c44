// The built saver copied where users put things (a folder named outside the
// code page, a very long path) and with a resource taken out of it: it starts
// where it can, and its log says why where it cannot.
#include "core/LogFile.h"
#include "res/resource.h"
#include "support/Process.h"
#include "support/Registry.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

// The \\?\ form reaches paths of any length.
std::wstring Long(const std::wstring& path)
{
    return L"\\\\?\\" + path;
}

std::wstring TempFolder()
{
    wchar_t dir[MAX_PATH];
    GetTempPathW(MAX_PATH, dir);
    return dir;
}

// A copy of the built saver in folder (made as needed).
std::wstring CopySaver(const std::wstring& folder)
{
    for (size_t i = folder.find(L'\\', 3); i != std::wstring::npos; i = folder.find(L'\\', i + 1))
        CreateDirectoryW(Long(folder.substr(0, i)).c_str(), nullptr);
    CreateDirectoryW(Long(folder).c_str(), nullptr);
    std::wstring path = folder + L"\\Skardel.scr";
    if (!CopyFileW(Long(AfxWiden(BuiltScreenSaver().c_str())).c_str(), Long(path).c_str(), FALSE))
        return L"";
    DeleteFileW(Long(folder + L"\\skardel.log").c_str());
    return path;
}

// Resources are taken out of a copy by renaming them in its resource
// directory, keeping the directory's order (look-ups search it in order).
std::vector<char> ReadWhole(const std::wstring& path)
{
    std::string text;
    ReadWholeFile(path, &text);
    return std::vector<char>(text.begin(), text.end());
}

bool WriteWhole(const std::wstring& path, const std::vector<char>& data)
{
    HANDLE h = CreateFileW(Long(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    BOOL ok = WriteFile(h, data.data(), static_cast<DWORD>(data.size()), &written, nullptr);
    CloseHandle(h);
    return ok && written == data.size();
}

// Renames the named resource (UTF-16 in the directory) to another name.
bool RenameNamedResource(const std::wstring& path, const std::wstring& from, const std::wstring& to)
{
    std::vector<char> data = ReadWhole(path);
    std::string needle(reinterpret_cast<const char*>(from.c_str()), from.size() * 2);
    auto at = std::search(data.begin(), data.end(), needle.begin(), needle.end());
    if (at == data.end() || to.size() != from.size())
        return false;
    memcpy(&*at, to.c_str(), to.size() * 2);
    return WriteWhole(path, data);
}

// Gives the resources of one numbered type another type number.
bool RenumberResourceType(const std::wstring& path, WORD from, WORD to)
{
    std::vector<char> data = ReadWhole(path);
    if (data.size() < sizeof(IMAGE_DOS_HEADER))
        return false;
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(data.data());
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(data.data() + dos->e_lfanew);
    DWORD rva = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_RESOURCE].VirtualAddress;
    const IMAGE_SECTION_HEADER* section = IMAGE_FIRST_SECTION(nt);
    for (int i = 0; i < nt->FileHeader.NumberOfSections; ++i, ++section) {
        if (rva < section->VirtualAddress || rva >= section->VirtualAddress + section->SizeOfRawData)
            continue;
        char* root = data.data() + section->PointerToRawData + (rva - section->VirtualAddress);
        auto* dir = reinterpret_cast<IMAGE_RESOURCE_DIRECTORY*>(root);
        auto* entry = reinterpret_cast<IMAGE_RESOURCE_DIRECTORY_ENTRY*>(dir + 1);
        for (int k = 0; k < dir->NumberOfNamedEntries + dir->NumberOfIdEntries; ++k, ++entry) {
            if (!entry->NameIsString && entry->Id == from) {
                entry->Id = to;
                return WriteWhole(path, data);
            }
        }
    }
    return false;
}

bool Contains(const std::vector<std::string>& lines, const std::string& line)
{
    for (const std::string& l : lines)
        if (l == line)
            return true;
    return false;
}

// Runs the copy as the saver; true when its window came up and a key ended it.
bool RunsAndEndsOnAKey(const std::wstring& path)
{
    ChildProcess saver;
    if (!saver.Start(L"\"" + path + L"\" /s"))
        return false;
    HWND hWnd = saver.WaitForTopWindow(20000);
    if (!hWnd)
        return false;
    PumpMessages(300);
    PostMessageA(hWnd, WM_KEYDOWN, 'A', 0);
    return saver.WaitForExit(5000);
}

} // namespace

TEST(StartAnywhere, SaverStartsAndLogsBesideItselfInAFolderNamedOutsideTheCodePage)
{
    ASSERT_FALSE(BuiltScreenSaver().empty()) << "SKARDEL_SCR is not set";
    ClearStoredSettings();
    SetDwordSetting("Always Log", 1);
    std::wstring path = CopySaver(TempFolder() + L"\x0417\x0430\x0441\x0442\x0430\x0432\x043a\x0430 \x661f");
    ASSERT_FALSE(path.empty());
    EXPECT_TRUE(RunsAndEndsOnAKey(path));
    std::vector<std::string> lines = ReadLogLines(path);
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ("Program Version: 1, 1, 2, 0", lines[1]);
    EXPECT_TRUE(Contains(lines, "Finished Main Application initialisation"));
    ClearStoredSettings();
}

// Wine starts no program from a path past MAX_PATH, so the log's part of it
// is tested in-process: the file goes beside such a program all the same.
TEST(StartAnywhere, LogIsSavedBesideAProgramWhosePathIsLongerThanMaxPath)
{
    std::wstring folder = TempFolder() + L"skardel-deep";
    while (folder.size() < 300)
        folder += L"\\a-folder-with-a-rather-long-name-to-make-the-path-longer";
    std::wstring program = CopySaver(folder);
    ASSERT_FALSE(program.empty());
    std::string narrow(program.begin(), program.end());
    CLogFile log;
    ASSERT_TRUE(log.Open(false, narrow.c_str()));
    log.Write("kept");
    EXPECT_TRUE(log.Save());
    std::vector<std::string> lines = ReadLogLines(program);
    ASSERT_EQ(3u, lines.size());
    EXPECT_EQ("kept", lines[1]);
}

TEST(StartAnywhere, MissingResourcesAreToldInTheLog)
{
    ASSERT_FALSE(BuiltScreenSaver().empty()) << "SKARDEL_SCR is not set";
    ClearStoredSettings();

    // Without one saucer sheet the start fails, and the log names it.
    std::wstring path = CopySaver(TempFolder() + L"skardel-no-sheet");
    ASSERT_FALSE(path.empty());
    ASSERT_TRUE(RenameNamedResource(path, L"IDB_MARS3", L"IDB_MARS2"));
    ChildProcess saver;
    ASSERT_TRUE(saver.Start(L"\"" + path + L"\" /s"));
    EXPECT_TRUE(saver.WaitForExit(20000));
    EXPECT_EQ(0, saver.CountTopWindows());
    std::vector<std::string> lines = ReadLogLines(path);
    EXPECT_TRUE(Contains(lines, "DDLoadBitmap2 - LoadImage failed: IDB_MARS3"));

    // Without version information it still starts; the log, kept at once,
    // shows the version empty and why.
    path = CopySaver(TempFolder() + L"skardel-no-version");
    ASSERT_FALSE(path.empty());
    // RT_VERSION becomes a type nothing asks for (RT_VXD), in the same place.
    ASSERT_TRUE(RenumberResourceType(path, 16, 20));
    EXPECT_TRUE(RunsAndEndsOnAKey(path));
    lines = ReadLogLines(path);
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ("Program Version: ", lines[1]);
    EXPECT_EQ("Failed to read the version information", lines[2]);
    // Its About page then shows both texts empty, not the template's words.
    ChildProcess sheet;
    ASSERT_TRUE(sheet.Start(L"\"" + path + L"\" /c"));
    HWND hSheet = sheet.WaitForTopWindow(20000);
    ASSERT_NE(nullptr, hSheet);
    SendMessageA(hSheet, PSM_SETCURSEL, 2, 0);
    HWND about = reinterpret_cast<HWND>(SendMessageA(hSheet, PSM_INDEXTOHWND, 2, 0));
    for (int id : { IDC_PROGRAM_NAME, IDC_COPYRIGHT }) {
        HWND item = GetDlgItem(about, id);
        ASSERT_NE(nullptr, item) << id;
        char text[64] = "unread";
        GetWindowTextA(item, text, sizeof text);
        EXPECT_STREQ("", text) << id;
    }
    PostMessageA(hSheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
    EXPECT_TRUE(sheet.WaitForExit(10000));
    ClearStoredSettings();
}
