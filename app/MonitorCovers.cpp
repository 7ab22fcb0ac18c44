#include "app/MonitorCovers.h"

#include "res/resource.h"

#include <new>

namespace {

struct Found {
    const MonitorPlatform* platform;
    std::vector<RECT>* others;
};

BOOL CALLBACK AddUnlessPrimary(HMONITOR monitor, HDC, LPRECT, LPARAM data)
{
    Found& found = *reinterpret_cast<Found*>(data);
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    if (!found.platform->GetMonitorInfoA(monitor, &info) || (info.dwFlags & MONITORINFOF_PRIMARY))
        return TRUE;
    // Nothing may unwind through the system's enumeration: without memory
    // the monitors found so far are all there is.
    try {
        found.others->push_back(info.rcMonitor);
    } catch (const std::bad_alloc&) {
        return FALSE;
    }
    return TRUE;
}

} // namespace

const MonitorPlatform& RealMonitorPlatform()
{
    // Monitor enumeration came with Windows 98 and 2000 (Microsoft's
    // reference pages of EnumDisplayMonitors and GetMonitorInfo, which now
    // name only Windows 2000 as the oldest client). Imported, it would keep
    // the program from loading at all on Windows 95 and NT 4: looked up
    // instead, and absent there.
    static const MonitorPlatform real = [] {
        HMODULE user32 = GetModuleHandleA("user32.dll");
        MonitorPlatform p = {};
        p.EnumDisplayMonitors =
            reinterpret_cast<decltype(p.EnumDisplayMonitors)>(GetProcAddress(user32, "EnumDisplayMonitors"));
        p.GetMonitorInfoA = reinterpret_cast<decltype(p.GetMonitorInfoA)>(GetProcAddress(user32, "GetMonitorInfoA"));
        return p;
    }();
    return real;
}

std::vector<RECT> OtherMonitors(const MonitorPlatform& platform)
{
    std::vector<RECT> others;
    if (!platform.EnumDisplayMonitors || !platform.GetMonitorInfoA)
        return others;
    Found found = { &platform, &others };
    platform.EnumDisplayMonitors(nullptr, nullptr, AddUnlessPrimary, reinterpret_cast<LPARAM>(&found));
    return others;
}

HWND CCoverWnd::Cover(const RECT& monitor, CWnd* pSaver)
{
    LPCSTR className = nullptr;
    try {
        // The saver's own pointer: none to be seen on any monitor.
        HCURSOR hCursor = LoadCursorA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(IDC_TRANSPARENT));
        className = AfxRegisterWndClass(CS_HREDRAW | CS_VREDRAW, hCursor,
                                        static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    } catch (const CException&) {
        return nullptr;  // the monitor keeps its desktop; the saver runs all the same
    }
    CCoverWnd* pCover = new (std::nothrow) CCoverWnd;
    if (!pCover)
        return nullptr;
    // A tool window stays off the taskbar and out of Alt+Tab.
    if (!pCover->CreateEx(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, className, "", WS_POPUP, monitor.left, monitor.top,
                          monitor.right - monitor.left, monitor.bottom - monitor.top, pSaver->GetSafeHwnd(),
                          nullptr))
        return nullptr;
    ::ShowWindow(pCover->m_hWnd, SW_SHOWNA);
    return pCover->m_hWnd;
}

LRESULT CCoverWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CLOSE:
        // The saver alone ends, and its covers go with it: a cover closed on
        // its own would show that monitor's desktop while the saver runs.
        return ::SendMessageA(::GetWindow(m_hWnd, GW_OWNER), WM_CLOSE, 0, 0);
    case WM_MOUSEACTIVATE:
        // The no-activate extended style would say the same, but only from
        // Windows 2000 on.
        return MA_NOACTIVATE;
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: {
        // The saver alone decides what ends it, here as on its own monitor.
        HWND hSaver = ::GetWindow(m_hWnd, GW_OWNER);
        POINT p = AfxPoint(lParam);
        ::MapWindowPoints(m_hWnd, hSaver, &p, 1);
        return ::SendMessageA(hSaver, message, wParam, MAKELPARAM(p.x, p.y));
    }
    }
    return CWnd::WindowProc(message, wParam, lParam);
}

void CCoverWnd::PostNcDestroy()
{
    delete this;
}
