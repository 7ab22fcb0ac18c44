#include "core/LogFile.h"

#include <cstring>
#include <new>
#include <vector>

const char* const g_szLineEnd = "\r\n";

CLogFile::CLogFile(const AfxWidePlatform& platform) : m_buffer(1024), m_nOpenMode(0), m_platform(platform)
{
}

CLogFile::~CLogFile() = default;

bool CLogFile::Open(bool bAppend, CString path)
{
    // The executable's own name in full, whatever the folder is called and
    // however long its path.
    std::wstring name = path.IsEmpty() ? AfxGetModuleFileName(nullptr, m_platform) : AfxWiden(path);
    size_t dot = name.rfind(L'.');
    if (dot == std::wstring::npos)
        return false;
    name = name.substr(0, dot) + L".log";
    AfxMakeLower(name, m_platform);

    CSingleLock lock(m_lock);
    m_strFileName = name;
    m_nOpenMode = CFile::modeCreate | CFile::modeWrite;
    if (bAppend)
        m_nOpenMode |= CFile::modeNoTruncate;
    return true;
}

CString CLogFile::GetFileName() const
{
    return AfxNarrow(m_strFileName.c_str());
}

void CLogFile::AppendLine(const char* text, int length)
{
    CSingleLock lock(m_lock);
    // A line that finds no memory is dropped: the log must never end the run.
    try {
        m_buffer.Write(text, static_cast<UINT>(length));
        m_buffer.Write(g_szLineEnd, 2);
    } catch (const CMemoryException&) {
    }
}

void CLogFile::Write(CString text)
{
    AppendLine(text, text.GetLength());
}

void CLogFile::WriteText(CString label, CString text)
{
    CString line;
    line.Format("%s: %s", static_cast<const char*>(label), static_cast<const char*>(text));
    AppendLine(line, line.GetLength());
}

void CLogFile::WriteValue(CString label, int value)
{
    CString line;
    line.Format("%s = %d", static_cast<const char*>(label), value);
    AppendLine(line, line.GetLength());
}

CString CLogFile::FormatHeader(const SYSTEMTIME& time)
{
    // The names the C library's own locale gives, whatever the user's
    // language: the log reads the same on every machine.
    static const char* const kDays[] = { "Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday",
                                         "Saturday" };
    static const char* const kMonths[] = { "January", "February", "March", "April", "May", "June", "July",
                                           "August", "September", "October", "November", "December" };
    CString header;
    if (time.wDayOfWeek > 6 || time.wMonth < 1 || time.wMonth > 12)
        return header;
    header.Format("Logfile Created %s, %s %02d, %d %02d:%02d:%02d", kDays[time.wDayOfWeek], kMonths[time.wMonth - 1],
                  time.wDay, time.wYear, time.wHour, time.wMinute, time.wSecond);
    return header;
}

bool CLogFile::Save()
{
    CSingleLock lock(m_lock);
    CFile file;
    if (!file.Open(m_strFileName.c_str(), m_nOpenMode, m_platform))
        return false;
    bool ok = file.SeekToEnd();

    // The system's calendar, not the C library's 32-bit seconds (which end
    // in 2038 on this target).
    SYSTEMTIME now;
    ::GetLocalTime(&now);
    CString header = FormatHeader(now);
    ok = file.Write(header, static_cast<UINT>(header.GetLength())) && ok;
    ok = file.Write(g_szLineEnd, 2) && ok;

    m_buffer.SeekToBegin();
    UINT length = m_buffer.GetLength();
    std::vector<char> block;
    try {
        block.resize(length);
    } catch (const std::bad_alloc&) {
        m_buffer.SeekToEnd();
        return false;
    }
    UINT read = m_buffer.Read(block.data(), length);
    if (read > 0)
        ok = file.Write(block.data(), read) && ok;

    ok = file.Write(g_szLineEnd, 2) && ok;
    file.Close();
    return ok;
}
