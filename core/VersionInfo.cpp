#include "core/VersionInfo.h"

#include <cstring>

const VersionInfoPlatform& RealVersionInfoPlatform()
{
    static const VersionInfoPlatform real = { ::VerQueryValueW };
    return real;
}

CVersionInfo::CVersionInfo(HMODULE hModule, const VersionInfoPlatform& platform) : m_platform(platform)
{
    if (LoadOwnResource(hModule))
        return;
    // A system without the wide look-up reads the module's file.
    char path[MAX_PATH] = "";
    DWORD n = ::GetModuleFileNameA(hModule, path, sizeof path);
    if (n == 0 || n >= sizeof path)
        AfxThrowResourceException();
    Load(path);
}

CVersionInfo::CVersionInfo(const char* pszFileName) : m_platform(RealVersionInfoPlatform())
{
    Load(pszFileName);
}

// From the module's own resources: no path to read, so a folder named outside
// the user's code page or a very long path changes nothing. False when the
// wide look-up is not there to read them.
bool CVersionInfo::LoadOwnResource(HMODULE hModule)
{
    HRSRC hRes = ::FindResourceA(hModule, MAKEINTRESOURCEA(VS_VERSION_INFO), MAKEINTRESOURCEA(16) /* RT_VERSION */);
    HGLOBAL hData = hRes ? ::LoadResource(hModule, hRes) : nullptr;
    const void* pData = hData ? ::LockResource(hData) : nullptr;
    DWORD size = hRes ? ::SizeofResource(hModule, hRes) : 0;
    if (!pData || size == 0)
        AfxThrowResourceException();
    // The look-ups want a block of their own they may write into.
    m_block.assign(static_cast<const BYTE*>(pData), static_cast<const BYTE*>(pData) + size);
    // The root of our own block is always there where the wide look-up
    // works: any failure means the ANSI way.
    void* root = nullptr;
    UINT length = 0;
    return m_platform.VerQueryValueW(m_block.data(), L"\\", &root, &length) != FALSE;
}

void CVersionInfo::Load(const char* pszFileName)
{
    DWORD handle = 0;
    DWORD size = ::GetFileVersionInfoSizeA(pszFileName, &handle);
    if (size == 0)
        AfxThrowResourceException();
    m_block.assign(size, 0);
    if (!::GetFileVersionInfoA(pszFileName, handle, size, m_block.data()))
        AfxThrowResourceException();
    // The block the ANSI call makes carries the ANSI texts the ANSI look-up
    // reads on every system.
    m_bAnsi = true;
}

bool CVersionInfo::GetString(const CString& key, CString& out) const
{
    CString path = CString("\\StringFileInfo\\080904b0\\") + key;
    void* value = nullptr;
    UINT length = 0;
    if (m_bAnsi) {
        if (!::VerQueryValueA(m_block.data(), path, &value, &length) || !value)
            return false;
        out = static_cast<const char*>(value);
        return true;
    }
    if (!m_platform.VerQueryValueW(m_block.data(), AfxWiden(path).c_str(), &value, &length) || !value)
        return false;
    out = AfxNarrow(static_cast<const wchar_t*>(value));
    return true;
}
