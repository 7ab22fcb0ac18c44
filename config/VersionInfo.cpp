#include "config/VersionInfo.h"

#include <new>

CVersionInfo::CVersionInfo(HMODULE hModule)
{
    char path[MAX_PATH] = "";
    if (!GetModuleFileNameA(hModule, path, MAX_PATH))
        AfxThrowResourceException();
    Load(path);
}

CVersionInfo::CVersionInfo(const char* pszFileName)
{
    Load(pszFileName);
}

void CVersionInfo::Load(const char* pszFileName)
{
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeA(pszFileName, &handle);
    if (size == 0)
        AfxThrowResourceException();
    m_pBlock = new (std::nothrow) BYTE[size];
    if (!m_pBlock)
        AfxThrowMemoryException();
    GetFileVersionInfoA(pszFileName, handle, size, m_pBlock);
}

CVersionInfo::~CVersionInfo()
{
    delete[] m_pBlock;
}

bool CVersionInfo::GetString(const CString& key, CString& out) const
{
    CString path = CString("\\StringFileInfo\\080904b0\\") + key;
    void* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(m_pBlock, path, &value, &length) || !value)
        return false;
    out = static_cast<const char*>(value);
    return true;
}
