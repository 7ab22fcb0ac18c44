// Prints the screen position of a control's centre, "X Y", so that a shell
// test can click it with real mouse input. The control is looked for by id
// among all descendants of the visible top-level window with the given title.
//   ControlCentre.exe <window title> <control id>
// With --clipboard it prints the clipboard's text instead, and empties it;
// with --saver-running whether the system is told a screen saver runs (1, 0).
//   ControlCentre.exe --clipboard | --saver-running
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

struct Search {
    int id;
    HWND found;
};

BOOL CALLBACK FindVisibleId(HWND hWnd, LPARAM lParam)
{
    Search* s = reinterpret_cast<Search*>(lParam);
    if (GetDlgCtrlID(hWnd) == s->id && IsWindowVisible(hWnd)) {
        s->found = hWnd;
        return FALSE;
    }
    return TRUE;
}

} // namespace

int PrintClipboard()
{
    if (!OpenClipboard(nullptr))
        return 1;
    int rc = 1;
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
        if (const char* text = static_cast<const char*>(GlobalLock(data))) {
            printf("%s\n", text);
            GlobalUnlock(data);
            rc = 0;
        }
    }
    EmptyClipboard();
    CloseClipboard();
    return rc;
}

int main(int argc, char** argv)
{
    if (argc == 2 && strcmp(argv[1], "--clipboard") == 0)
        return PrintClipboard();
    if (argc == 2 && strcmp(argv[1], "--saver-running") == 0) {
        BOOL running = FALSE;
        if (!SystemParametersInfoA(SPI_GETSCREENSAVERRUNNING, 0, &running, 0))
            return 1;
        printf("%d\n", running);
        return 0;
    }
    if (argc != 3)
        return 2;
    HWND top = FindWindowA(nullptr, argv[1]);
    if (!top)
        return 1;
    Search s = { atoi(argv[2]), nullptr };
    EnumChildWindows(top, FindVisibleId, reinterpret_cast<LPARAM>(&s));
    if (!s.found)
        return 1;
    RECT r;
    GetWindowRect(s.found, &r);
    printf("%ld %ld\n", (r.left + r.right) / 2, (r.top + r.bottom) / 2);
    return 0;
}
