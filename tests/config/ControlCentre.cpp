// Prints the screen position of a control's centre, "X Y", so that a shell
// test can click it with real mouse input. The control is looked for by id
// among all descendants of the visible top-level window with the given title.
//   ControlCentre.exe <window title> <control id>
#include <windows.h>

#include <cstdio>
#include <cstdlib>

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

int main(int argc, char** argv)
{
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
