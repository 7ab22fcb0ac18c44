// Black windows over every monitor but the primary while the full-screen
// saver runs there: the saver itself draws on the primary alone.
#pragma once

#include "framework/afxwin.h"

#include <vector>

// The monitor enumeration the covers are found with. Windows 95 and NT 4
// have none (both pointers null) and a single monitor; the program uses the
// real functions, tests play other machines through them.
struct MonitorPlatform {
    BOOL (WINAPI* EnumDisplayMonitors)(HDC hdc, LPCRECT clip, MONITORENUMPROC proc, LPARAM data);
    BOOL (WINAPI* GetMonitorInfoA)(HMONITOR monitor, LPMONITORINFO info);
};

const MonitorPlatform& RealMonitorPlatform();

// Every monitor but the primary, in screen coordinates (the primary's top
// left is 0,0; others may lie left of or above it).
std::vector<RECT> OtherMonitors(const MonitorPlatform& platform);

// A black, borderless, topmost window over one monitor, owned by the saver
// window: the system destroys it with its owner, and the object deletes
// itself then. It never takes the activation (the saver ends when it loses
// it) and hands the mouse input that ends the saver to its owner.
class CCoverWnd : public CWnd {
public:
    // The cover's window; null when it could not be made (the object is
    // gone then).
    static HWND Cover(const RECT& monitor, CWnd* pSaver);
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    void PostNcDestroy() override;
};
