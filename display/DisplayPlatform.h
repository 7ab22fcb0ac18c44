// Where the display window enters DirectDraw, the DirectX probe, GDI's
// regions and the millisecond clock its frames are paced by. The program
// uses the real ones; tests give a window others when they make it.
#pragma once

#include <ddraw.h>

struct DisplayPlatform {
    HRESULT (WINAPI* DirectDrawCreate)(GUID* guid, LPDIRECTDRAW* ppDD, IUnknown* outer);
    void (*ProbeDirectXVersion)(DWORD* pVersion, DWORD* pPlatform);
    HRGN (WINAPI* CreateRectRgnIndirect)(const RECT* pRect);
    DWORD (WINAPI* timeGetTime)();
};

const DisplayPlatform& RealDisplayPlatform();
