#include "app/SaverWnd.h"

CSaverWnd::CSaverWnd() : CSceneWnd(TRUE)
{
}

CSaverWnd::~CSaverWnd() = default;

BOOL CSaverWnd::CreateFullScreen()
{
    int cy = GetSystemMetrics(SM_CYSCREEN);
    int cx = GetSystemMetrics(SM_CXSCREEN);
    RECT rect = { 0, 0, cx, cy };
    return Create(0, WS_POPUP | WS_VISIBLE, rect, nullptr);
}

LRESULT CSaverWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_DESTROY:
        PostQuitMessage(0);
        break;
    case WM_SETCURSOR:
        SetCursor(nullptr);
        break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        PostMessage(WM_CLOSE);
        break;
    }
    return CSceneWnd::WindowProc(message, wParam, lParam);
}
