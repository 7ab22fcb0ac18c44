#include "Process.h"

#include "framework/afx.h"

#include <vector>

std::string EnvironmentValue(const char* name)
{
    char buf[MAX_PATH * 2] = "";
    DWORD n = GetEnvironmentVariableA(name, buf, sizeof buf);
    return (n > 0 && n < sizeof buf) ? std::string(buf) : std::string();
}

std::string WindowsPath(const std::string& path)
{
    if (path.empty() || path[0] != '/')
        return path;
    // Wine's drive Z: is the root of the host's file system.
    std::string out = "Z:" + path;
    for (char& c : out)
        if (c == '/')
            c = '\\';
    return out;
}

std::string BuiltScreenSaver()
{
    return WindowsPath(EnvironmentValue("SKARDEL_SCR"));
}

void PumpMessages(DWORD ms)
{
    DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        DWORD elapsed = GetTickCount() - start;
        if (elapsed >= ms)
            return;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, ms - elapsed, QS_ALLINPUT);
    }
}

ChildProcess::~ChildProcess()
{
    if (m_pi.hProcess) {
        if (WaitForSingleObject(m_pi.hProcess, 0) != WAIT_OBJECT_0)
            TerminateProcess(m_pi.hProcess, 255);
        CloseHandle(m_pi.hThread);
        CloseHandle(m_pi.hProcess);
    }
}

bool ChildProcess::Start(const std::string& commandLine)
{
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    std::vector<char> cmd(commandLine.begin(), commandLine.end());
    cmd.push_back('\0');
    return CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &m_pi);
}

bool ChildProcess::Start(const std::wstring& commandLine)
{
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    std::vector<wchar_t> cmd(commandLine.begin(), commandLine.end());
    cmd.push_back(L'\0');
    return CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &m_pi);
}

namespace {

// The visible windows of one process: how many, and the first found.
struct VisibleWindows {
    DWORD pid;
    int count;
    HWND first;
};

BOOL CALLBACK CountVisible(HWND hWnd, LPARAM lParam)
{
    VisibleWindows* v = reinterpret_cast<VisibleWindows*>(lParam);
    DWORD pid = 0;
    GetWindowThreadProcessId(hWnd, &pid);
    if (pid == v->pid && IsWindowVisible(hWnd)) {
        if (!v->count++)
            v->first = hWnd;
    }
    return TRUE;
}

} // namespace

int ChildProcess::CountTopWindows() const
{
    VisibleWindows v = { m_pi.dwProcessId, 0, nullptr };
    EnumWindows(CountVisible, reinterpret_cast<LPARAM>(&v));
    return v.count;
}

HWND ChildProcess::WaitForTopWindow(DWORD ms)
{
    DWORD start = GetTickCount();
    do {
        VisibleWindows v = { m_pi.dwProcessId, 0, nullptr };
        EnumWindows(CountVisible, reinterpret_cast<LPARAM>(&v));
        if (v.first)
            return v.first;
        PumpMessages(20);
    } while (GetTickCount() - start < ms);
    return nullptr;
}

HWND ChildProcess::WaitForChildWindow(HWND parent, DWORD ms)
{
    DWORD start = GetTickCount();
    do {
        VisibleWindows v = { m_pi.dwProcessId, 0, nullptr };
        EnumChildWindows(parent, CountVisible, reinterpret_cast<LPARAM>(&v));
        if (v.first)
            return v.first;
        PumpMessages(20);
    } while (GetTickCount() - start < ms);
    return nullptr;
}

bool ChildProcess::WaitForExit(DWORD ms)
{
    DWORD start = GetTickCount();
    do {
        if (WaitForSingleObject(m_pi.hProcess, 0) == WAIT_OBJECT_0) {
            GetExitCodeProcess(m_pi.hProcess, &exitCode);
            return true;
        }
        PumpMessages(20);
    } while (GetTickCount() - start < ms);
    return false;
}

std::vector<std::string> ReadLogLines(const std::string& programPath)
{
    return ReadLogLines(AfxWiden(programPath.c_str()));
}

std::vector<std::string> ReadLogBody(const std::string& programPath)
{
    std::vector<std::string> lines = ReadLogLines(programPath);
    if (lines.size() < 2)
        return {};
    return std::vector<std::string>(lines.begin() + 1, lines.end() - 1);
}

bool ReadWholeFile(const std::wstring& path, std::string* text)
{
    std::wstring name = path.size() >= MAX_PATH && path.compare(0, 4, L"\\\\?\\") != 0 ? L"\\\\?\\" + path : path;
    HANDLE h = CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    text->assign(GetFileSize(h, nullptr), '\0');
    DWORD read = 0;
    if (!text->empty())
        ReadFile(h, &(*text)[0], static_cast<DWORD>(text->size()), &read, nullptr);
    CloseHandle(h);
    return true;
}

std::vector<std::string> ReadLogLines(const std::wstring& programPath)
{
    std::wstring path = programPath.substr(0, programPath.rfind(L'.')) + L".log";
    CharLowerBuffW(&path[0], static_cast<DWORD>(path.size()));
    std::vector<std::string> lines;
    std::string text;
    if (!ReadWholeFile(path, &text))
        return lines;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find("\r\n", pos);
        if (end == std::string::npos)
            end = text.size();
        lines.push_back(text.substr(pos, end - pos));
        pos = end + 2;
    }
    return lines;
}

ProcessResult RunProcess(const std::string& commandLine, DWORD timeoutMs)
{
    ProcessResult result;
    DWORD start = GetTickCount();
    ChildProcess child;
    if (!child.Start(commandLine))
        return result;
    result.started = true;
    do {
        int windows = child.CountTopWindows();
        if (windows > result.windowsSeen)
            result.windowsSeen = windows;
        if (child.WaitForExit(20)) {
            result.exited = true;
            result.exitCode = child.exitCode;
            break;
        }
    } while (GetTickCount() - start <= timeoutMs);
    result.elapsedMs = GetTickCount() - start;
    return result;
}
