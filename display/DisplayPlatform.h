// Where the display's set-up enters DirectDraw and the DirectX probe. The
// program uses the real functions; tests put thin wrappers in their place.
#pragma once

#include <ddraw.h>

struct DisplayPlatform {
    HRESULT (WINAPI* DirectDrawCreate)(GUID* guid, LPDIRECTDRAW* ppDD, IUnknown* outer);
    void (*ProbeDirectXVersion)(DWORD* pVersion, DWORD* pPlatform);
};

extern DisplayPlatform g_displayPlatform;
