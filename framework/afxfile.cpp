#include "afxfile.h"

#include <cstdlib>
#include <cstring>
#include <string>

CFile::~CFile()
{
    Close();
}

HMODULE AfxLoadSystemLibrary(LPCSTR lpszName)
{
    char path[MAX_PATH];
    UINT n = ::GetSystemDirectoryA(path, MAX_PATH);
    if (n == 0 || n + 1 + lstrlenA(lpszName) >= MAX_PATH)
        return nullptr;
    lstrcatA(path, "\\");
    lstrcatA(path, lpszName);
    return ::LoadLibraryA(path);
}

const AfxWidePlatform& AfxRealWidePlatform()
{
    static const AfxWidePlatform real = { ::CreateFileW, ::GetModuleFileNameW, ::CharLowerBuffW };
    return real;
}

namespace {

// Whether a wide call failed only because the system does not have it.
bool NotOnThisSystem()
{
    return ::GetLastError() == ERROR_CALL_NOT_IMPLEMENTED;
}

} // namespace

std::wstring AfxGetModuleFileName(HMODULE hModule, const AfxWidePlatform& platform)
{
    std::wstring path(32768, L'\0');
    ::SetLastError(ERROR_SUCCESS);
    DWORD n = platform.GetModuleFileNameW(hModule, &path[0], static_cast<DWORD>(path.size()));
    if (n == 0 && NotOnThisSystem()) {
        char narrow[MAX_PATH] = "";
        DWORD m = ::GetModuleFileNameA(hModule, narrow, sizeof narrow);
        return m > 0 && m < sizeof narrow ? AfxWiden(narrow) : std::wstring();
    }
    path.resize(n < path.size() ? n : 0);
    return path;
}

void AfxMakeLower(std::wstring& text, const AfxWidePlatform& platform)
{
    if (text.empty())
        return;
    ::SetLastError(ERROR_SUCCESS);
    if (platform.CharLowerBuffW(&text[0], static_cast<DWORD>(text.size())) != 0 || !NotOnThisSystem())
        return;
    CString narrow = AfxNarrow(text.c_str());
    narrow.MakeLower();
    text = AfxWiden(narrow);
}

namespace {

void OpenArguments(UINT nOpenFlags, DWORD* pAccess, DWORD* pCreation)
{
    switch (nOpenFlags & 3) {
    case CFile::modeRead: *pAccess = GENERIC_READ; break;
    case CFile::modeWrite: *pAccess = GENERIC_WRITE; break;
    default: *pAccess = GENERIC_READ | GENERIC_WRITE; break;
    }
    *pCreation = OPEN_EXISTING;
    if (nOpenFlags & CFile::modeCreate)
        *pCreation = (nOpenFlags & CFile::modeNoTruncate) ? OPEN_ALWAYS : CREATE_ALWAYS;
}

} // namespace

BOOL CFile::Open(const char* pszFileName, UINT nOpenFlags)
{
    if (!pszFileName)
        return Open(static_cast<const wchar_t*>(nullptr), nOpenFlags);
    return Open(AfxWiden(pszFileName).c_str(), nOpenFlags);
}

BOOL CFile::Open(const wchar_t* pszFileName, UINT nOpenFlags, const AfxWidePlatform& platform)
{
    Close();
    if (!pszFileName || !*pszFileName)
        return FALSE;
    DWORD access, creation;
    OpenArguments(nOpenFlags, &access, &creation);
    // No sharing: other processes cannot touch the file while it is open.
    // A full path of MAX_PATH or more is reached through the \\?\ form.
    std::wstring name = pszFileName;
    if (name.size() >= MAX_PATH && name.size() > 2 && name[1] == L':' && name[2] == L'\\')
        name = L"\\\\?\\" + name;
    m_hFile = platform.CreateFileW(name.c_str(), access, 0, nullptr, creation, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (m_hFile == INVALID_HANDLE_VALUE && NotOnThisSystem())
        m_hFile = ::CreateFileA(AfxNarrow(pszFileName), access, 0, nullptr, creation, FILE_ATTRIBUTE_NORMAL, nullptr);
    return m_hFile != INVALID_HANDLE_VALUE;
}

BOOL CFile::Write(const void* pData, UINT nCount)
{
    if (!IsOpen())
        return FALSE;
    DWORD written = 0;
    if (nCount == 0)
        return TRUE;
    return WriteFile(m_hFile, pData, nCount, &written, nullptr) && written == nCount;
}

BOOL CFile::SeekToEnd()
{
    if (!IsOpen())
        return FALSE;
    return SetFilePointer(m_hFile, 0, nullptr, FILE_END) != INVALID_SET_FILE_POINTER;
}

void CFile::Close()
{
    if (IsOpen()) {
        CloseHandle(m_hFile);
        m_hFile = INVALID_HANDLE_VALUE;
    }
}

CMemFile::~CMemFile()
{
    free(m_lpBuffer);
}

void CMemFile::Write(const void* pData, UINT nCount)
{
    if (nCount == 0)
        return;
    if (nCount > UINT(-1) - m_nPosition)
        AfxThrowMemoryException();
    UINT end = m_nPosition + nCount;
    if (end > m_nBufferSize) {
        UINT steps = (end + m_nGrowBytes - 1) / m_nGrowBytes;
        if (steps > UINT(-1) / m_nGrowBytes)
            AfxThrowMemoryException();
        UINT newSize = steps * m_nGrowBytes;
        BYTE* p = static_cast<BYTE*>(realloc(m_lpBuffer, newSize));
        if (!p)
            AfxThrowMemoryException();
        m_lpBuffer = p;
        m_nBufferSize = newSize;
    }
    memcpy(m_lpBuffer + m_nPosition, pData, nCount);
    m_nPosition = end;
    if (end > m_nFileSize)
        m_nFileSize = end;
}

UINT CMemFile::Read(void* pBuffer, UINT nCount)
{
    if (m_nPosition >= m_nFileSize)
        return 0;
    UINT n = m_nFileSize - m_nPosition;
    if (n > nCount)
        n = nCount;
    memcpy(pBuffer, m_lpBuffer + m_nPosition, n);
    m_nPosition += n;
    return n;
}
