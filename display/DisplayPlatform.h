// Where the display's set-up enters DirectDraw, the DirectX probe and GDI's
// regions. The
// program uses the real functions; tests put thin wrappers in their place.
#pragma once

#include <ddraw.h>

struct DisplayPlatform {
    HRESULT (WINAPI* DirectDrawCreate)(GUID* guid, LPDIRECTDRAW* ppDD, IUnknown* outer);
    void (*ProbeDirectXVersion)(DWORD* pVersion, DWORD* pPlatform);
    HRGN (WINAPI* CreateRectRgnIndirect)(const RECT* pRect);
};

extern DisplayPlatform g_displayPlatform;
