#include "display/DirectXProbe.h"

#include "framework/afxcom.h"

#include <ddraw.h>

namespace {

typedef HRESULT(WINAPI* DirectDrawCreateFn)(GUID*, LPDIRECTDRAW*, IUnknown*);

BOOL WINAPI RealGetVersionEx(LPOSVERSIONINFOA info) { return ::GetVersionExA(info); }
HMODULE WINAPI RealLoadLibrary(LPCSTR name) { return ::LoadLibraryA(name); }
FARPROC WINAPI RealGetProcAddress(HMODULE module, LPCSTR name) { return ::GetProcAddress(module, name); }
BOOL WINAPI RealFreeLibrary(HMODULE module) { return ::FreeLibrary(module); }
void WINAPI RealOutputDebugString(LPCSTR text) { ::OutputDebugStringA(text); }

enum class DirectInput { Present, NoLibrary, NoEntryPoint };

const char kNoDInputLibrary[] = "Couldn't LoadLibrary DInput\r\n";
const char kNoDInputEntryPoint[] = "Couldn't GetProcAddress DInputCreate\r\n";

// Only DINPUT.DLL's presence and its entry point matter; the function is
// never called.
DirectInput FindDirectInput(const DirectXProbePlatform& p)
{
    HMODULE dinput = p.LoadLibraryA("DINPUT.DLL");
    if (!dinput)
        return DirectInput::NoLibrary;
    FARPROC create = p.GetProcAddress(dinput, "DirectInputCreateA");
    p.FreeLibrary(dinput);
    return create ? DirectInput::Present : DirectInput::NoEntryPoint;
}

bool HasDirectInput(const DirectXProbePlatform& p)
{
    DirectInput found = FindDirectInput(p);
    if (found != DirectInput::Present)
        p.OutputDebugStringA(found == DirectInput::NoLibrary ? kNoDInputLibrary : kNoDInputEntryPoint);
    return found == DirectInput::Present;
}

// The generations that need a DirectDraw object, oldest first. Returns what
// to tell the debugger once the object and its library are let go, if
// anything.
const char* ProbeDirectDraw(const DirectXProbePlatform& p, DirectDrawCreateFn create, DWORD* pVersion,
                            DWORD* pPlatform)
{
    CComPtr<IDirectDraw> dd;
    if (FAILED(create(nullptr, &dd, nullptr)) || !dd) {
        dd.Detach();
        *pVersion = 0;
        *pPlatform = 0;
        return "Couldn't create DDraw\r\n";
    }

    *pVersion = 0x100;
    {
        CComPtr<IDirectDraw2> dd2;
        if (FAILED(dd.QueryInterface(IID_IDirectDraw2, dd2)) || !dd2) {
            dd2.Detach();
            return "Couldn't QI DDraw2\r\n";
        }
    }

    *pVersion = 0x200;
    switch (FindDirectInput(p)) {
    case DirectInput::NoLibrary:
        p.OutputDebugStringA(kNoDInputLibrary);
        return nullptr;
    case DirectInput::NoEntryPoint:
        return kNoDInputEntryPoint;
    case DirectInput::Present:
        break;
    }

    *pVersion = 0x300;
    if (FAILED(dd->SetCooperativeLevel(nullptr, DDSCL_NORMAL))) {
        *pVersion = 0;
        return "Couldn't Set coop level\r\n";
    }

    DDSURFACEDESC desc = {};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS;
    desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
    CComPtr<IDirectDrawSurface> surface;
    if (FAILED(dd->CreateSurface(&desc, &surface, nullptr)) || !surface) {
        surface.Detach();
        *pVersion = 0;
        return "Couldn't CreateSurface\r\n";
    }
    // Released before the surface, and the surface before the object.
    CComPtr<IDirectDrawSurface3> surface3;
    if (SUCCEEDED(surface.QueryInterface(IID_IDirectDrawSurface3, surface3)) && surface3)
        *pVersion = 0x500;
    else
        surface3.Detach();
    return nullptr;
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
    DirectDrawCreateFn create = reinterpret_cast<DirectDrawCreateFn>(p.GetProcAddress(ddraw, "DirectDrawCreate"));
    const char* failure = "Couldn't LoadLibrary DDraw\r\n";
    if (create) {
        failure = ProbeDirectDraw(p, create, pVersion, pPlatform);
    } else {
        *pVersion = 0;
        *pPlatform = 0;
    }
    p.FreeLibrary(ddraw);
    if (failure)
        p.OutputDebugStringA(failure);
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
