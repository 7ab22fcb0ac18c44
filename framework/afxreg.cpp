#include "framework/afxreg.h"

LONG CRegistryKey::Open(HKEY hParent, const char* pszSubKey, REGSAM access)
{
    HKEY hKey = nullptr;
    LONG rc = RegOpenKeyExA(hParent, pszSubKey, 0, access, &hKey);
    return Replace(rc, hKey);
}

LONG CRegistryKey::Create(HKEY hParent, const char* pszSubKey, REGSAM access)
{
    HKEY hKey = nullptr;
    DWORD disposition = 0;
    LONG rc = RegCreateKeyExA(hParent, pszSubKey, 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr, &hKey,
                              &disposition);
    return Replace(rc, hKey);
}

LONG CRegistryKey::Replace(LONG rc, HKEY hKey)
{
    if (rc != ERROR_SUCCESS)
        return rc;
    rc = Close();
    m_hKey = hKey;
    return rc;
}

LONG CRegistryKey::QueryValue(char* pszBuffer, const char* pszValueName, DWORD* pdwSize)
{
    DWORD type = 0;
    return RegQueryValueExA(m_hKey, pszValueName, nullptr, &type,
                            reinterpret_cast<BYTE*>(pszBuffer), pdwSize);
}

LONG CRegistryKey::Close()
{
    if (!m_hKey)
        return ERROR_SUCCESS;
    LONG rc = RegCloseKey(m_hKey);
    m_hKey = nullptr;
    return rc;
}
