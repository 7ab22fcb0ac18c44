// What this process writes to the debugger output while the capture lives.
// OutputDebugStringA raises DBG_PRINTEXCEPTION_C for a debugger to see,
// under Windows and Wine alike; a first-chance handler reads the text and
// lets the system go on as it would without a debugger.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

class DebugOutputCapture {
public:
    DebugOutputCapture();
    ~DebugOutputCapture();
    DebugOutputCapture(const DebugOutputCapture&) = delete;
    DebugOutputCapture& operator=(const DebugOutputCapture&) = delete;

    // The texts written so far, one per call.
    std::vector<std::string> Lines() const;

private:
    static LONG CALLBACK Handler(EXCEPTION_POINTERS* info);
    PVOID m_handler;
};
