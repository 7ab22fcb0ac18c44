#include "core/VersionInfo.h"

#include <cstring>
#include <new>

CVersionInfo::CVersionInfo(HMODULE hModule)
{
    // From the module's own resources: no path to read, so a folder named
    // outside the user's code page or a very long path changes nothing.
    HRSRC hRes = FindResourceW(hModule, MAKEINTRESOURCEW(VS_VERSION_INFO), MAKEINTRESOURCEW(16) /* RT_VERSION */);
    HGLOBAL hData = hRes ? LoadResource(hModule, hRes) : nullptr;
    const void* pData = hData ? LockResource(hData) : nullptr;
    DWORD size = hRes ? SizeofResource(hModule, hRes) : 0;
    if (!pData || size == 0)
        AfxThrowResourceException();
    // The look-ups want a block of their own they may write into.
    m_pBlock = new (std::nothrow) BYTE[size];
    if (!m_pBlock)
        AfxThrowMemoryException();
    memcpy(m_pBlock, pData, size);
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
    if (!VerQueryValueW(m_pBlock, AfxWiden(path).c_str(), &value, &length) || !value)
        return false;
    out = AfxNarrow(static_cast<const wchar_t*>(value));
    return true;
}
