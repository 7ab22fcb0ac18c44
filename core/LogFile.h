// The run's log: lines are collected in memory and reach the file beside the
// executable only when Save is called.
#pragma once

#include "framework/afx.h"
#include "framework/afxfile.h"
#include "framework/afxmt.h"

#include <string>

extern const char* const g_szLineEnd;  // CR LF

class CLogFile : public CObject {
public:
    explicit CLogFile(const AfxWidePlatform& platform = AfxRealWidePlatform());
    ~CLogFile() override;

    // Fixes the file name (the executable's path with ".log", when path is
    // empty) and whether Save appends; touches no file.
    bool Open(bool bAppend, CString path);
    void Write(CString text);
    void WriteText(CString label, CString text);
    void WriteValue(CString label, int value);
    // Writes a dated block of every line recorded so far.
    bool Save();

    // The file's name in the user's code page (characters outside it show
    // as the system replaces them); the file itself is named in full.
    CString GetFileName() const;

    // The header of a block written at that local time.
    static CString FormatHeader(const SYSTEMTIME& time);

private:
    void AppendLine(const char* text, int length);

    std::wstring m_strFileName;
    CMemFile m_buffer;
    UINT m_nOpenMode;
    const AfxWidePlatform m_platform;
    // The window's thread and the animation thread both record lines.
    CCriticalSection m_lock;
};
