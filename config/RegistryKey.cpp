#include "config/RegistryKey.h"

LONG CRegistryKey::Open(HKEY hParent, const char* pszSubKey, REGSAM access)
{
    HKEY hKey = nullptr;
    LONG rc = RegOpenKeyExA(hParent, pszSubKey, 0, access, &hKey);
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
