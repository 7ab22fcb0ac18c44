// Owns one open registry key.
#pragma once

#include <windows.h>

class CRegistryKey {
public:
    CRegistryKey() = default;
    ~CRegistryKey() { Close(); }
    CRegistryKey(const CRegistryKey&) = delete;
    CRegistryKey& operator=(const CRegistryKey&) = delete;

    // On success the new key replaces the one held (which is closed); on
    // failure the key held stays held.
    LONG Open(HKEY hParent, const char* pszSubKey, REGSAM access);
    // Opens the key, making it (and the keys above it) when it is missing.
    LONG Create(HKEY hParent, const char* pszSubKey, REGSAM access);
    LONG QueryValue(char* pszBuffer, const char* pszValueName, DWORD* pdwSize);
    LONG Close();
    HKEY GetHandle() const { return m_hKey; }
    operator HKEY() const { return m_hKey; }

private:
    LONG Replace(LONG rc, HKEY hKey);
    HKEY m_hKey = nullptr;
};
