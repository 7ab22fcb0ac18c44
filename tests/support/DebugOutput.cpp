#include "support/DebugOutput.h"

#include <mutex>

namespace {

std::mutex g_lock;
std::vector<std::string>* g_lines = nullptr;

} // namespace

DebugOutputCapture::DebugOutputCapture()
{
    std::lock_guard<std::mutex> lock(g_lock);
    g_lines = new std::vector<std::string>;
    m_handler = AddVectoredExceptionHandler(1, Handler);
}

DebugOutputCapture::~DebugOutputCapture()
{
    RemoveVectoredExceptionHandler(m_handler);
    std::lock_guard<std::mutex> lock(g_lock);
    delete g_lines;
    g_lines = nullptr;
}

std::vector<std::string> DebugOutputCapture::Lines() const
{
    std::lock_guard<std::mutex> lock(g_lock);
    return g_lines ? *g_lines : std::vector<std::string>();
}

LONG CALLBACK DebugOutputCapture::Handler(EXCEPTION_POINTERS* info)
{
    const EXCEPTION_RECORD* record = info->ExceptionRecord;
    if (record->ExceptionCode == DBG_PRINTEXCEPTION_C && record->NumberParameters >= 2) {
        std::lock_guard<std::mutex> lock(g_lock);
        if (g_lines)
            g_lines->push_back(reinterpret_cast<const char*>(record->ExceptionInformation[1]));
    }
    return EXCEPTION_CONTINUE_SEARCH;
}
