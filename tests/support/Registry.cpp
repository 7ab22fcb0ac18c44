#include "Registry.h"

void ClearStoredSettings()
{
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Tolmere");
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Tolmere");
}

bool KeyExists(const char* subKey)
{
    HKEY hKey;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, subKey, 0, KEY_READ, &hKey) != ERROR_SUCCESS)
        return false;
    RegCloseKey(hKey);
    return true;
}

int CountValues(const char* subKey)
{
    HKEY hKey;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, subKey, 0, KEY_READ, &hKey) != ERROR_SUCCESS)
        return -1;
    DWORD values = 0;
    RegQueryInfoKeyA(hKey, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr,
                     nullptr, nullptr, nullptr);
    RegCloseKey(hKey);
    return static_cast<int>(values);
}

void SetRawValue(const char* name, DWORD type, const void* data, DWORD size)
{
    HKEY hKey;
    RegCreateKeyExA(HKEY_CURRENT_USER, TEST_SETTINGS_KEY, 0, nullptr, 0, KEY_WRITE, nullptr, &hKey,
                    nullptr);
    RegSetValueExA(hKey, name, 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(hKey);
}

void SetDwordSetting(const char* name, DWORD value)
{
    SetRawValue(name, REG_DWORD, &value, sizeof value);
}

bool ReadDwordSetting(const char* name, DWORD* value, DWORD* type)
{
    HKEY hKey;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, TEST_SETTINGS_KEY, 0, KEY_READ, &hKey) != ERROR_SUCCESS)
        return false;
    DWORD size = sizeof *value;
    LONG rc = RegQueryValueExA(hKey, name, nullptr, type, reinterpret_cast<BYTE*>(value), &size);
    RegCloseKey(hKey);
    return rc == ERROR_SUCCESS && size == sizeof *value;
}

std::map<std::string, DWORD> StoredDwordSettings()
{
    std::map<std::string, DWORD> values;
    HKEY hKey;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, TEST_SETTINGS_KEY, 0, KEY_READ, &hKey) != ERROR_SUCCESS)
        return values;
    for (DWORD i = 0;; ++i) {
        char name[256];
        DWORD nameSize = sizeof name, type = 0, value = 0, size = sizeof value;
        LONG rc = RegEnumValueA(hKey, i, name, &nameSize, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
        if (rc == ERROR_NO_MORE_ITEMS)
            break;
        // Anything but a DWORD shows as a value no setting can have.
        values[name] = (rc == ERROR_SUCCESS && type == REG_DWORD && size == sizeof value) ? value : 0xBADBAD;
    }
    RegCloseKey(hKey);
    return values;
}
