#include "display/DirectXProbe.h"

#include <ddraw.h>

namespace {

typedef HRESULT(WINAPI* DirectDrawCreateFn)(GUID*, LPDIRECTDRAW*, IUnknown*);

BOOL WINAPI RealGetVersionEx(LPOSVERSIONINFOA info) { return ::GetVersionExA(info); }
HMODULE WINAPI RealLoadLibrary(LPCSTR name) { return ::LoadLibraryA(name); }
FARPROC WINAPI RealGetProcAddress(HMODULE module, LPCSTR name) { return ::GetProcAddress(module, name); }
BOOL WINAPI RealFreeLibrary(HMODULE module) { return ::FreeLibrary(module); }
void WINAPI RealOutputDebugString(LPCSTR text) { ::OutputDebugStringA(text); }

// Only DINPUT.DLL's presence and its entry point matter; the function is
// never called.
bool HasDirectInput(const DirectXProbePlatform& p)
{
    HMODULE dinput = p.LoadLibraryA("DINPUT.DLL");
    if (!dinput) {
        p.OutputDebugStringA("Couldn't LoadLibrary DInput\r\n");
        return false;
    }
    FARPROC create = p.GetProcAddress(dinput, "DirectInputCreateA");
    p.FreeLibrary(dinput);
    if (!create) {
        p.OutputDebugStringA("Couldn't GetProcAddress DInputCreate\r\n");
        return false;
    }
    return true;
}

// Windows 9x builds up to 1353: try each generation's interfaces in turn.
void ProbeLibraries(const DirectXProbePlatform& p, DWORD* pVersion, DWORD* pPlatform)
{
    HMODULE ddraw = p.LoadLibraryA("DDRAW.DLL");
    if (!ddraw) {
        *pVersion = 0;
        *pPlatform = 0;
        return;
    }
    DirectDrawCreateFn create =
        reinterpret_cast<DirectDrawCreateFn>(p.GetProcAddress(ddraw, "DirectDrawCreate"));
    if (!create) {
        *pVersion = 0;
        *pPlatform = 0;
        p.FreeLibrary(ddraw);
        p.OutputDebugStringA("Couldn't LoadLibrary DDraw\r\n");
        return;
    }
    IDirectDraw* dd = nullptr;
    if (FAILED(create(nullptr, &dd, nullptr)) || !dd) {
        *pVersion = 0;
        *pPlatform = 0;
        p.FreeLibrary(ddraw);
        p.OutputDebugStringA("Couldn't create DDraw\r\n");
        return;
    }

    *pVersion = 0x100;
    IDirectDraw2* dd2 = nullptr;
    if (FAILED(dd->QueryInterface(IID_IDirectDraw2, reinterpret_cast<void**>(&dd2))) || !dd2) {
        dd->Release();
        p.FreeLibrary(ddraw);
        p.OutputDebugStringA("Couldn't QI DDraw2\r\n");
        return;
    }
    dd2->Release();

    *pVersion = 0x200;
    HMODULE dinput = p.LoadLibraryA("DINPUT.DLL");
    if (!dinput) {
        p.OutputDebugStringA("Couldn't LoadLibrary DInput\r\n");
        dd->Release();
        p.FreeLibrary(ddraw);
        return;
    }
    FARPROC dinputCreate = p.GetProcAddress(dinput, "DirectInputCreateA");
    p.FreeLibrary(dinput);
    if (!dinputCreate) {
        dd->Release();
        p.FreeLibrary(ddraw);
        p.OutputDebugStringA("Couldn't GetProcAddress DInputCreate\r\n");
        return;
    }

    *pVersion = 0x300;
    if (FAILED(dd->SetCooperativeLevel(nullptr, DDSCL_NORMAL))) {
        dd->Release();
        p.FreeLibrary(ddraw);
        *pVersion = 0;
        p.OutputDebugStringA("Couldn't Set coop level\r\n");
        return;
    }

    DDSURFACEDESC desc = {};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS;
    desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
    IDirectDrawSurface* surface = nullptr;
    if (FAILED(dd->CreateSurface(&desc, &surface, nullptr)) || !surface) {
        dd->Release();
        p.FreeLibrary(ddraw);
        *pVersion = 0;
        p.OutputDebugStringA("Couldn't CreateSurface\r\n");
        return;
    }

    IDirectDrawSurface3* surface3 = nullptr;
    if (SUCCEEDED(surface->QueryInterface(IID_IDirectDrawSurface3, reinterpret_cast<void**>(&surface3))) &&
        surface3) {
        *pVersion = 0x500;
        surface3->Release();
    }
    surface->Release();
    dd->Release();
    p.FreeLibrary(ddraw);
}

} // namespace

const DirectXProbePlatform& RealDirectXProbePlatform()
{
    static const DirectXProbePlatform real = {
        RealGetVersionEx, RealLoadLibrary, RealGetProcAddress, RealFreeLibrary, RealOutputDebugString,
    };
    return real;
}

void ProbeDirectXVersion(DWORD* pVersion, DWORD* pPlatform)
{
    ProbeDirectXVersion(RealDirectXProbePlatform(), pVersion, pPlatform);
}

void ProbeDirectXVersion(const DirectXProbePlatform& p, DWORD* pVersion, DWORD* pPlatform)
{
    OSVERSIONINFOA info = {};
    info.dwOSVersionInfoSize = sizeof info;
    if (!p.GetVersionExA(&info)) {
        *pVersion = 0;
        *pPlatform = 0;
        return;
    }

    if (info.dwPlatformId == VER_PLATFORM_WIN32_NT) {
        *pPlatform = 2;
        if (info.dwMajorVersion < 4) {
            *pVersion = 0;
            *pPlatform = 0;
        } else if (info.dwMajorVersion == 4) {
            *pVersion = 0x200;
            if (HasDirectInput(p))
                *pVersion = 0x300;
        } else {
            *pVersion = 0x501;
        }
        return;
    }

    *pPlatform = 1;
    if (LOWORD(info.dwBuildNumber) > 1353) {
        *pVersion = 0x501;
        return;
    }
    ProbeLibraries(p, pVersion, pPlatform);
}
