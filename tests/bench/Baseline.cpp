// The two baselines the running saver is measured against: "gdi", a plain
// full-screen pop-up window painted black; "ddraw", the saver's own
// DirectDraw set-up (exclusive full screen, 16 bits on deeper desktops, a
// flipping pair) and one flip of a black frame. Both end on a key or a click.
#include <windows.h>
#include <ddraw.h>

#include <cstring>

namespace {

// The DirectDraw baseline sets up while its window is being made, as the
// saver does, and flips once the window shows, as the saver's first frame
// comes after it shows; it paints nothing itself.
bool g_ddraw = false;
IDirectDraw2* g_dd = nullptr;
IDirectDrawSurface* g_primary = nullptr;

bool SetUp(HWND hWnd, IDirectDraw2** ppDD, IDirectDrawSurface** ppPrimary);
bool FlipBlack(IDirectDrawSurface* primary);

LRESULT CALLBACK WndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        return g_ddraw && !SetUp(hWnd, &g_dd, &g_primary) ? -1 : 0;
    case WM_KEYDOWN:
    case WM_LBUTTONDOWN:
        DestroyWindow(hWnd);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hWnd, &ps);
        if (!g_ddraw)
            FillRect(dc, &ps.rcPaint, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        EndPaint(hWnd, &ps);
        return 0;
    }
    }
    return DefWindowProcA(hWnd, message, wParam, lParam);
}

bool SetUp(HWND hWnd, IDirectDraw2** ppDD, IDirectDrawSurface** ppPrimary)
{
    IDirectDraw* dd = nullptr;
    if (FAILED(DirectDrawCreate(nullptr, &dd, nullptr)))
        return false;
    HRESULT hr = dd->QueryInterface(IID_IDirectDraw2, reinterpret_cast<void**>(ppDD));
    dd->Release();
    if (FAILED(hr))
        return false;
    IDirectDraw2* dd2 = *ppDD;
    const DWORD level = DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN | DDSCL_ALLOWREBOOT | DDSCL_NOWINDOWCHANGES;
    if (FAILED(dd2->SetCooperativeLevel(hWnd, level)))
        return false;
    DDSURFACEDESC mode = {};
    mode.dwSize = sizeof mode;
    dd2->GetDisplayMode(&mode);
    if (mode.ddpfPixelFormat.dwRGBBitCount > 16 &&
        FAILED(dd2->SetDisplayMode(mode.dwWidth, mode.dwHeight, 16, 0, 0)))
        return false;
    // A primary with one back buffer to flip with, as the saver makes it.
    DDSURFACEDESC chain;
    ZeroMemory(&chain, sizeof chain);
    chain.dwSize = sizeof chain;
    chain.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
    chain.dwBackBufferCount = 1;
    chain.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX;
    return SUCCEEDED(dd2->CreateSurface(&chain, ppPrimary, nullptr));
}

bool FlipBlack(IDirectDrawSurface* primary)
{
    DDSCAPS caps = { DDSCAPS_BACKBUFFER };
    IDirectDrawSurface* back = nullptr;
    if (FAILED(primary->GetAttachedSurface(&caps, &back)))
        return false;
    DDBLTFX fx = {};
    fx.dwSize = sizeof fx;
    back->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx);
    back->Release();
    return SUCCEEDED(primary->Flip(nullptr, DDFLIP_WAIT));
}

} // namespace

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR lpCmdLine, int)
{
    g_ddraw = strstr(lpCmdLine, "ddraw") != nullptr;
    WNDCLASSA wc = {};
    wc.lpfnWndProc = WndProc;
    wc.hInstance = hInstance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = "SkardelBaseline";
    RegisterClassA(&wc);
    HWND hWnd = CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP | WS_VISIBLE, 0, 0,
                                GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr,
                                hInstance, nullptr);
    if (!hWnd || (g_ddraw && !FlipBlack(g_primary)))
        return 1;
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    // Given back as the saver does: the object restores a mode it changed.
    if (g_primary)
        g_primary->Release();
    if (g_dd)
        g_dd->Release();
    return 0;
}
