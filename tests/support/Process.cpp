#include "Process.h"

#include <vector>

namespace {

struct WindowCount {
    DWORD pid;
    int count;
};

BOOL CALLBACK CountWindow(HWND hWnd, LPARAM lParam)
{
    WindowCount* wc = reinterpret_cast<WindowCount*>(lParam);
    DWORD pid = 0;
    GetWindowThreadProcessId(hWnd, &pid);
    if (pid == wc->pid && IsWindowVisible(hWnd))
        ++wc->count;
    return TRUE;
}

} // namespace

ProcessResult RunProcess(const std::string& commandLine, DWORD timeoutMs)
{
    ProcessResult result;
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    std::vector<char> cmd(commandLine.begin(), commandLine.end());
    cmd.push_back('\0');
    DWORD start = GetTickCount();
    if (!CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return result;
    result.started = true;
    for (;;) {
        WindowCount wc = { pi.dwProcessId, 0 };
        EnumWindows(CountWindow, reinterpret_cast<LPARAM>(&wc));
        if (wc.count > result.windowsSeen)
            result.windowsSeen = wc.count;
        DWORD wait = WaitForSingleObject(pi.hProcess, 20);
        if (wait == WAIT_OBJECT_0) {
            result.exited = true;
            break;
        }
        if (GetTickCount() - start > timeoutMs) {
            TerminateProcess(pi.hProcess, 255);
            WaitForSingleObject(pi.hProcess, 5000);
            break;
        }
    }
    result.elapsedMs = GetTickCount() - start;
    GetExitCodeProcess(pi.hProcess, &result.exitCode);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return result;
}

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
