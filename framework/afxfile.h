// Files: CFile owns one file handle; CMemFile is a growable in-memory file.
#pragma once

#include "afx.h"

#include <string>

// The wide calls that take file names in full (a folder outside the user's
// code page, a path longer than MAX_PATH). Windows 95, 98 and Me have them
// only as stubs that fail with ERROR_CALL_NOT_IMPLEMENTED; there the ANSI
// call does the work, which serves every name those systems can have. The
// program uses the real ones; tests play such a system through others.
struct AfxWidePlatform {
    HANDLE (WINAPI* CreateFileW)(LPCWSTR name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                                 DWORD creation, DWORD flags, HANDLE hTemplate);
    DWORD (WINAPI* GetModuleFileNameW)(HMODULE hModule, LPWSTR name, DWORD size);
    DWORD (WINAPI* CharLowerBuffW)(LPWSTR text, DWORD length);
};

const AfxWidePlatform& AfxRealWidePlatform();

// The module's file name in full; empty when it cannot be had.
std::wstring AfxGetModuleFileName(HMODULE hModule, const AfxWidePlatform& platform = AfxRealWidePlatform());
// Lower-cases as the system does for the user's language.
void AfxMakeLower(std::wstring& text, const AfxWidePlatform& platform = AfxRealWidePlatform());

class CFile : public CObject {
public:
    enum OpenFlags : UINT {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        modeReadWrite = 0x0002,
        shareExclusive = 0x0010,
        modeNoTruncate = 0x10000,
        modeCreate = 0x1000,
    };

    CFile() = default;
    ~CFile() override;

    // FALSE when the file cannot be opened; nothing is thrown.
    BOOL Open(const char* pszFileName, UINT nOpenFlags);
    // A name outside the user's code page, or longer than MAX_PATH.
    BOOL Open(const wchar_t* pszFileName, UINT nOpenFlags,
              const AfxWidePlatform& platform = AfxRealWidePlatform());
    // FALSE when not every byte reached the file (disk full, no handle).
    BOOL Write(const void* pData, UINT nCount);
    BOOL SeekToEnd();
    void Close();
    BOOL IsOpen() const { return m_hFile != INVALID_HANDLE_VALUE; }

private:
    HANDLE m_hFile = INVALID_HANDLE_VALUE;
};

class CMemFile : public CObject {
public:
    explicit CMemFile(UINT nGrowBytes = 1024) : m_nGrowBytes(nGrowBytes ? nGrowBytes : 1024) {}
    ~CMemFile() override;

    // Writes at the current position, growing the buffer in whole steps.
    // Throws CMemoryException when the buffer cannot grow.
    void Write(const void* pData, UINT nCount);
    UINT Read(void* pBuffer, UINT nCount);
    void SeekToBegin() { m_nPosition = 0; }
    void SeekToEnd() { m_nPosition = m_nFileSize; }
    UINT GetLength() const { return m_nFileSize; }

private:
    friend struct TestAccess;

    UINT m_nGrowBytes;
    BYTE* m_lpBuffer = nullptr;
    UINT m_nBufferSize = 0;
    UINT m_nFileSize = 0;
    UINT m_nPosition = 0;
};
