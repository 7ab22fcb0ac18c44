#include "app/SaverPassword.h"

#include "framework/afxreg.h"

#include <cstring>

namespace {

DWORD SystemPlatformId()
{
    OSVERSIONINFOA info = {};
    info.dwOSVersionInfoSize = sizeof info;
    return ::GetVersionExA(&info) ? info.dwPlatformId : 0;
}

// Both entry points are exports of the system's own DLLs that Microsoft
// never documented; they are looked up, never imported, and their DLLs
// loaded from the system folder only: a DLL of that name put beside the
// saver must not be what checks the password.
template <class Entry, class Call>
bool CallSystemEntry(LPCSTR library, LPCSTR name, Call call)
{
    HMODULE module = AfxLoadSystemLibrary(library);
    if (!module)
        return false;
    Entry entry = reinterpret_cast<Entry>(::GetProcAddress(module, name));
    if (entry)
        call(entry);
    ::FreeLibrary(module);
    return entry != nullptr;
}

PasswordCheck VerifyWithSystem(HWND owner, const char** why)
{
    typedef BOOL(WINAPI * VerifyFn)(HWND);
    PasswordCheck check = PasswordCheck::Unchecked;
    if (!CallSystemEntry<VerifyFn>("PASSWORD.CPL", "VerifyScreenSavePwd", [&](VerifyFn verify) {
            check = verify(owner) ? PasswordCheck::Given : PasswordCheck::Refused;
        }))
        *why = "password not checked: the system folder has no PASSWORD.CPL with VerifyScreenSavePwd";
    return check;
}

void ChangeWithSystem(HWND owner)
{
    typedef DWORD(WINAPI * ChangeFn)(LPCSTR, HWND, DWORD, DWORD);
    CallSystemEntry<ChangeFn>("MPR.DLL", "PwdChangePasswordA",
                              [owner](ChangeFn change) { change("SCRSAVE", owner, 0, 0); });
}

} // namespace

const PasswordPlatform& RealPasswordPlatform()
{
    static const PasswordPlatform real = { SystemPlatformId, VerifyWithSystem, ChangeWithSystem };
    return real;
}

BOOL SaverAsksForPassword(const PasswordPlatform& platform)
{
    if (platform.PlatformId() != VER_PLATFORM_WIN32_WINDOWS)
        return FALSE;
    // Four bytes are a number whatever type the value claims (as the
    // settings read them); a text counts when it is "1".
    CRegistryKey key;
    if (key.Open(HKEY_CURRENT_USER, "Control Panel\\Desktop", KEY_READ) != ERROR_SUCCESS)
        return FALSE;
    BYTE value[16] = {};
    DWORD type = 0, size = sizeof value - 1;
    if (::RegQueryValueExA(key, "ScreenSaveUsePassword", nullptr, &type, value, &size) != ERROR_SUCCESS)
        return FALSE;
    if (type != REG_SZ && type != REG_EXPAND_SZ && size == sizeof(DWORD)) {
        DWORD number;
        memcpy(&number, value, sizeof number);
        return number != 0;
    }
    return (type == REG_SZ || type == REG_EXPAND_SZ) && strcmp(reinterpret_cast<char*>(value), "1") == 0;
}
