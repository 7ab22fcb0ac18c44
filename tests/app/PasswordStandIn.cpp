// A stand-in for Windows 98's PASSWORD.CPL: VerifyScreenSavePwd shows a
// window owned by the caller's for a while (as the system's dialog takes the
// activation), records in skardel-password.log beside itself whether that
// owner is the caller's full-screen window, and answers with the first line
// of skardel-password-answers.txt ("yes": the right password), taking it off
// (the saver loads it anew for each dialog). Its loading is recorded too.
#include <windows.h>

#include <fstream>
#include <string>

namespace {

std::string g_dir;

void Record(const char* line) { std::ofstream(g_dir + "skardel-password.log", std::ios::app) << line << "\n"; }

} // namespace

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    char path[MAX_PATH] = "";
    if (reason == DLL_PROCESS_ATTACH && GetModuleFileNameA(instance, path, MAX_PATH)) {
        g_dir.assign(path, strrchr(path, '\\') + 1);
        Record("loaded");
    }
    return TRUE;
}

extern "C" __declspec(dllexport) BOOL WINAPI VerifyScreenSavePwd(HWND owner)
{
    DWORD process = 0;
    GetWindowThreadProcessId(owner, &process);
    RECT r = {};
    GetWindowRect(owner, &r);
    const bool saver = process == GetCurrentProcessId() && r.left == 0 && r.top == 0 &&
                       r.right == GetSystemMetrics(SM_CXSCREEN) && r.bottom == GetSystemMetrics(SM_CYSCREEN);
    Record(saver ? "asked, owned by the saver's full-screen window" : "asked, owned by another window");
    HWND dialog = CreateWindowExA(0, "STATIC", "Password", WS_POPUP | WS_VISIBLE | WS_BORDER, 100, 100, 200, 80,
                                  owner, nullptr, nullptr, nullptr);
    for (DWORD start = GetTickCount(); GetTickCount() - start < 600; Sleep(10)) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
    }
    DestroyWindow(dialog);
    std::ifstream answers(g_dir + "skardel-password-answers.txt");
    std::string answer, rest, line;
    std::getline(answers, answer);
    while (std::getline(answers, line))
        rest += line + "\n";
    answers.close();
    std::ofstream(g_dir + "skardel-password-answers.txt") << rest;
    return answer == "yes";
}
