// A stand-in for the display-settings dialog's little monitor: a window
// whose 152 x 112 client area hosts "Skardel.scr /p <handle>", the way the
// screen-saver settings start a preview. Closing the window (or the given
// number of seconds passing) destroys the host, which ends the preview.
//   PreviewHost.exe [seconds]     the saver is the Skardel.scr beside it
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

LRESULT CALLBACK HostProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(hWnd, message, wParam, lParam);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int)
{
    const DWORD seconds = commandLine && *commandLine ? strtoul(commandLine, nullptr, 10) : 0;

    WNDCLASSA wc = {};
    wc.lpfnWndProc = HostProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
    wc.lpszClassName = "SkardelPreviewHost";
    RegisterClassA(&wc);
    RECT rect = { 0, 0, 152, 112 };
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_VISIBLE;
    AdjustWindowRect(&rect, style, FALSE);
    HWND host = CreateWindowA(wc.lpszClassName, "Skardel preview", style, 100, 100, rect.right - rect.left,
                              rect.bottom - rect.top, nullptr, nullptr, instance, nullptr);
    if (!host)
        return 1;

    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    char* slash = strrchr(path, '\\');
    char command[2 * MAX_PATH];
    snprintf(command, sizeof command, "\"%.*s\\Skardel.scr\" /p %lu", slash ? int(slash - path) : 0, path,
             static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(host)));
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessA(nullptr, command, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        DestroyWindow(host);
        return 1;
    }

    if (seconds)
        SetTimer(host, 1, seconds * 1000, nullptr);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (msg.message == WM_TIMER && msg.hwnd == host) {
            DestroyWindow(host);
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    // The preview notices its parent has gone and ends by itself.
    DWORD ended = WaitForSingleObject(pi.hProcess, 5000);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return ended == WAIT_OBJECT_0 ? 0 : 2;
}
