// What this process writes to the debugger output while the capture lives.
// OutputDebugStringA raises DBG_PRINTEXCEPTION_C for a debugger to see,
// under Windows and Wine alike; a first-chance handler reads the text and
// lets the system go on as it would without a debugger. One capture at a
// time, on the thread that writes.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

class DebugOutputCapture {
public:
    DebugOutputCapture() : m_handler(AddVectoredExceptionHandler(1, Handler)) { Lines().clear(); }
    ~DebugOutputCapture() { RemoveVectoredExceptionHandler(m_handler); }
    DebugOutputCapture(const DebugOutputCapture&) = delete;
    DebugOutputCapture& operator=(const DebugOutputCapture&) = delete;

    // The texts written so far, one per call.
    static std::vector<std::string>& Lines()
    {
        static std::vector<std::string> lines;
        return lines;
    }

private:
    static LONG CALLBACK Handler(EXCEPTION_POINTERS* info)
    {
        const EXCEPTION_RECORD* record = info->ExceptionRecord;
        if (record->ExceptionCode == DBG_PRINTEXCEPTION_C && record->NumberParameters >= 2)
            Lines().push_back(reinterpret_cast<const char*>(record->ExceptionInformation[1]));
        return EXCEPTION_CONTINUE_SEARCH;
    }
    PVOID m_handler;
};
