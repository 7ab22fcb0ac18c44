// Reads text values from the version information of a module's file.
#pragma once

#include "framework/afx.h"

#include <vector>

// The wide look-up, which reads a block copied from the module's own
// resources. Windows 95, 98 and Me have it only as a stub that fails; there
// the block comes from the module's file through the ANSI calls instead.
// The program uses the real one; tests play such a system through another.
struct VersionInfoPlatform {
    BOOL (WINAPI* VerQueryValueW)(LPCVOID block, LPCWSTR subBlock, LPVOID* value, PUINT length);
};

const VersionInfoPlatform& RealVersionInfoPlatform();

class CVersionInfo {
public:
    // Throws CResourceException when the module's file carries no version
    // information.
    explicit CVersionInfo(HMODULE hModule, const VersionInfoPlatform& platform = RealVersionInfoPlatform());
    // The same for any file on disk.
    explicit CVersionInfo(const char* pszFileName);
    virtual ~CVersionInfo() = default;
    CVersionInfo(const CVersionInfo&) = delete;
    CVersionInfo& operator=(const CVersionInfo&) = delete;

    // Looks the key up in the English (United Kingdom), Unicode string table
    // only; out is left alone when the key is not there.
    bool GetString(const CString& key, CString& out) const;

private:
    void Load(const char* pszFileName);
    bool LoadOwnResource(HMODULE hModule);

    const VersionInfoPlatform m_platform;
    std::vector<BYTE> m_block;
    bool m_bAnsi = false;  // the block is read with VerQueryValueA
};
