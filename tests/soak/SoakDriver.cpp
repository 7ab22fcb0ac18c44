// Starts and stops the built saver many times, as the screen-saver host
// does, and watches one long run of each mode; prints what it measured.
//   SoakDriver.exe <Skardel.scr> <cycles> <seconds of the long runs>
// Cycles of "/s" end with a key pressed through SendInput; cycles of "/p"
// end when the host window is destroyed at a random moment of the start.
#include "support/Process.h"

#include <windows.h>
#include <psapi.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct Figures {
    std::vector<DWORD> startToWindow;
    std::vector<DWORD> inputToExit;
    int failures = 0;
};

void PressKey()
{
    INPUT in[2] = {};
    in[0].type = in[1].type = INPUT_KEYBOARD;
    in[0].ki.wVk = in[1].ki.wVk = 'A';
    in[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, in, sizeof(INPUT));
}

HWND MakeHost()
{
    return CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 100, 100, 152, 112, nullptr, nullptr, nullptr,
                           nullptr);
}

std::string Handle(HWND h)
{
    return std::to_string(static_cast<unsigned long long>(reinterpret_cast<ULONG_PTR>(h)));
}

void SaverCycles(const std::string& scr, int cycles, Figures* f)
{
    for (int i = 0; i < cycles; ++i) {
        ChildProcess saver;
        DWORD t0 = GetTickCount();
        if (!saver.Start("\"" + scr + "\" /s") || !saver.WaitForTopWindow(20000)) {
            ++f->failures;
            continue;
        }
        f->startToWindow.push_back(GetTickCount() - t0);
        PumpMessages(300);
        DWORD t1 = GetTickCount();
        PressKey();
        if (!saver.WaitForExit(5000)) {
            ++f->failures;
            continue;
        }
        f->inputToExit.push_back(GetTickCount() - t1);
    }
}

void PreviewCycles(const std::string& scr, int cycles, Figures* f)
{
    for (int i = 0; i < cycles; ++i) {
        HWND host = MakeHost();
        ChildProcess preview;
        DWORD t0 = GetTickCount();
        if (!preview.Start("\"" + scr + "\" /p " + Handle(host))) {
            ++f->failures;
            DestroyWindow(host);
            continue;
        }
        // The host goes at a random moment of the start, or after the
        // preview is up.
        DWORD goAfter = static_cast<DWORD>(rand() % 800);
        if (preview.WaitForChildWindow(host, goAfter))
            f->startToWindow.push_back(GetTickCount() - t0);
        PumpMessages(goAfter > GetTickCount() - t0 ? goAfter - (GetTickCount() - t0) : 0);
        DWORD t1 = GetTickCount();
        DestroyWindow(host);
        if (!preview.WaitForExit(5000)) {
            ++f->failures;
            continue;
        }
        f->inputToExit.push_back(GetTickCount() - t1);
    }
}

void Summary(const char* name, std::vector<DWORD> v)
{
    if (v.empty()) {
        printf("  %-28s none\n", name);
        return;
    }
    std::sort(v.begin(), v.end());
    printf("  %-28s median %4lu ms  max %4lu ms  (%zu)\n", name, static_cast<unsigned long>(v[v.size() / 2]),
           static_cast<unsigned long>(v.back()), v.size());
}

int Leftovers()
{
    int n = 0;
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32 pe = {};
    pe.dwSize = sizeof pe;
    for (BOOL ok = Process32First(snap, &pe); ok; ok = Process32Next(snap, &pe))
        n += lstrcmpiA(pe.szExeFile, "Skardel.scr") == 0;
    CloseHandle(snap);
    return n;
}

struct Memory {
    unsigned long long resident = 0, privateBytes = 0;
};

Memory MemoryOf(HANDLE process)
{
    PROCESS_MEMORY_COUNTERS_EX pmc = {};
    pmc.cb = sizeof pmc;
    Memory m;
    if (GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&pmc), sizeof pmc)) {
        m.resident = pmc.WorkingSetSize;
        m.privateBytes = pmc.PrivateUsage;
    }
    return m;
}

void LongRun(const std::string& scr, bool preview, DWORD seconds)
{
    HWND host = preview ? MakeHost() : nullptr;
    ChildProcess child;
    if (!child.Start("\"" + scr + "\" " + (preview ? "/p " + Handle(host) : std::string("/s")))) {
        printf("  %s: did not start\n", preview ? "preview" : "saver");
        return;
    }
    if (!(preview ? child.WaitForChildWindow(host, 20000) : child.WaitForTopWindow(20000))) {
        printf("  %s: no window\n", preview ? "preview" : "saver");
        return;
    }
    PumpMessages(2000);
    Memory first = MemoryOf(child.Handle());
    PumpMessages(seconds * 1000);
    Memory last = MemoryOf(child.Handle());
    bool running = WaitForSingleObject(child.Handle(), 0) == WAIT_TIMEOUT;
    if (preview)
        DestroyWindow(host);
    else
        PressKey();
    bool ended = child.WaitForExit(5000);
    double kb = (double(last.resident) - double(first.resident)) / 1024.0;
    printf("  %-8s %lu s: resident %llu -> %llu kB (%+.2f kB/s)", preview ? "preview" : "saver",
           static_cast<unsigned long>(seconds), first.resident / 1024, last.resident / 1024, kb / seconds);
    // Wine reports no private bytes for another process; Windows does.
    if (first.privateBytes || last.privateBytes) {
        double pkb = (double(last.privateBytes) - double(first.privateBytes)) / 1024.0;
        printf(", private %llu -> %llu kB (%+.2f kB/s)", first.privateBytes / 1024, last.privateBytes / 1024,
               pkb / seconds);
    }
    printf(", %s, %s\n", running ? "ran throughout" : "ENDED EARLY", ended ? "ended" : "DID NOT END");
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 4)
        return 2;
    std::string scr = argv[1];
    int cycles = atoi(argv[2]);
    DWORD seconds = static_cast<DWORD>(atoi(argv[3]));
    srand(GetTickCount());

    Figures saver, preview;
    SaverCycles(scr, cycles, &saver);
    PreviewCycles(scr, cycles, &preview);
    printf("saver, %d cycles ended by a key: %d failed\n", cycles, saver.failures);
    Summary("start to window", saver.startToWindow);
    Summary("key to exit", saver.inputToExit);
    printf("preview, %d cycles ended by the host at 0-800 ms: %d failed\n", cycles, preview.failures);
    Summary("start to window", preview.startToWindow);
    Summary("host gone to exit", preview.inputToExit);
    PumpMessages(1000);
    int left = Leftovers();
    printf("leftover Skardel.scr processes: %d\n", left);
    printf("long runs:\n");
    LongRun(scr, false, seconds);
    LongRun(scr, true, seconds);
    return saver.failures + preview.failures + left == 0 ? 0 : 1;
}
