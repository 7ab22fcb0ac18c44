#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct ProcessResult {
    bool started = false;
    bool exited = false;       // ended within the time allowed
    DWORD exitCode = 0;
    DWORD elapsedMs = 0;
    int windowsSeen = 0;       // most top-level windows of the process seen at once
};

// Runs a program with the given command line and watches its windows until
// it ends or timeoutMs passes (then it is killed).
ProcessResult RunProcess(const std::string& commandLine, DWORD timeoutMs);

// A program started in the background, watched while the test acts on it.
// Waiting pumps this thread's messages, so windows of the test stay
// responsive to the program (a child window in a test's window needs that).
class ChildProcess {
public:
    ~ChildProcess();
    bool Start(const std::string& commandLine);
    bool Start(const std::wstring& commandLine);
    // The first visible top-level window of the process, waiting up to ms.
    HWND WaitForTopWindow(DWORD ms);
    int CountTopWindows() const;
    // The first child window of parent that belongs to the process.
    HWND WaitForChildWindow(HWND parent, DWORD ms);
    // True when the process ended within ms; its exit code then in exitCode.
    bool WaitForExit(DWORD ms);
    HANDLE Handle() const { return m_pi.hProcess; }
    DWORD exitCode = 0;

private:
    PROCESS_INFORMATION m_pi = {};
};

// Processes this thread's messages for ms milliseconds.
void PumpMessages(DWORD ms);

// The log file a program writes beside itself, as lines (CR LF removed);
// the first line is the header. Empty when the file is missing.
// A file's whole contents; false when it cannot be opened. Long paths are
// reached through their \\?\ form.
bool ReadWholeFile(const std::wstring& path, std::string* text);
std::vector<std::string> ReadLogLines(const std::string& programPath);
std::vector<std::string> ReadLogLines(const std::wstring& programPath);
// The recorded lines of the last saved block: without its header and the
// closing empty line.
std::vector<std::string> ReadLogBody(const std::string& programPath);

// The built Skardel.scr the tests run (from the SKARDEL_SCR environment).
std::string BuiltScreenSaver();
std::string EnvironmentValue(const char* name);
// A host path as Wine's programs see it (drive Z:); other paths unchanged.
std::string WindowsPath(const std::string& path);
