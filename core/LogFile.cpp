#include "core/LogFile.h"

#include <cstring>
#include <ctime>
#include <new>
#include <vector>

const char* const g_szLineEnd = "\r\n";

CLogFile::CLogFile() : m_buffer(1024), m_nOpenMode(0)
{
}

CLogFile::~CLogFile() = default;

namespace {

// The executable's own name in full, whatever the folder is called and
// however long its path.
std::wstring ModuleFileName()
{
    std::wstring path(32768, L'\0');
    DWORD n = GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size()));
    path.resize(n < path.size() ? n : 0);
    return path;
}

} // namespace

bool CLogFile::Open(bool bAppend, CString path)
{
    std::wstring name = path.IsEmpty() ? ModuleFileName() : AfxWiden(path);
    size_t dot = name.rfind(L'.');
    if (dot == std::wstring::npos)
        return false;
    name = name.substr(0, dot) + L".log";
    CharLowerBuffW(&name[0], static_cast<DWORD>(name.size()));

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

bool CLogFile::Save()
{
    CSingleLock lock(m_lock);
    CFile file;
    if (!file.Open(m_strFileName.c_str(), m_nOpenMode))
        return false;
    bool ok = file.SeekToEnd();

    char header[128] = "";
    time_t now = time(nullptr);
    struct tm* local = localtime(&now);
    if (!local || !strftime(header, sizeof header, "Logfile Created %A, %B %d, %Y %H:%M:%S", local))
        header[0] = '\0';
    ok = file.Write(header, static_cast<UINT>(strlen(header))) && ok;
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
