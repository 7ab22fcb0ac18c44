// Reads text values from the version information of a module's file.
#pragma once

#include "framework/afx.h"

class CVersionInfo {
public:
    // Throws CResourceException when the module's file carries no version
    // information.
    explicit CVersionInfo(HMODULE hModule);
    // The same for any file on disk.
    explicit CVersionInfo(const char* pszFileName);
    virtual ~CVersionInfo();
    CVersionInfo(const CVersionInfo&) = delete;
    CVersionInfo& operator=(const CVersionInfo&) = delete;

    // Looks the key up in the English (United Kingdom), Unicode string table
    // only; out is left alone when the key is not there.
    bool GetString(const CString& key, CString& out) const;

private:
    void Load(const char* pszFileName);
    BYTE* m_pBlock = nullptr;
};
