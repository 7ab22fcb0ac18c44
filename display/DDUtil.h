// Artwork into DirectDraw: bitmaps into surfaces, a bitmap's colour table
// into a palette, and a surface's transparent colour.
#pragma once

#include "framework/afxcom.h"

#include <ddraw.h>

// DirectDrawCreate of the system library named, looked up when it is
// called: a static import would keep the program, its configuration sheet
// too, from starting at all where there is no DirectDraw. A missing library
// or entry point gives DDERR_NODIRECTDRAWSUPPORT and no object. After a
// successful call the library stays loaded: what it made lives in it.
HRESULT DDCreateFrom(LPCSTR library, GUID* guid, LPDIRECTDRAW* ppDD, IUnknown* outer);
// The same from the system's DDRAW.DLL.
HRESULT WINAPI DDCreate(GUID* guid, LPDIRECTDRAW* ppDD, IUnknown* outer);

// A new off-screen surface holding the bitmap resource name (or, failing
// that, the bitmap file of that name); size receives the bitmap's size.
CComPtr<IDirectDrawSurface3> DDLoadBitmap2(IDirectDraw2* dd, LPCSTR name, int cx, int cy, SIZE* size);
// Draws the bitmap again into a surface that held it (after a restore).
HRESULT DDReLoadBitmap(IDirectDrawSurface3* surface, LPCSTR name);
HRESULT DDCopyBitmapToSurface(IDirectDrawSurface3* surface, HBITMAP bitmap, int x, int y, int cx, int cy);
// The system palette with the named bitmap's colours laid over it; a null
// name gives the system palette alone.
CComPtr<IDirectDrawPalette> DDLoadPalette2(IDirectDraw2* dd, LPCSTR name);
// The surface's pixel value for colour, or with CLR_INVALID the value of its
// top-left pixel; CLR_INVALID when the surface cannot be locked.
DWORD DDMatchColor(IDirectDrawSurface3* surface, COLORREF colour);
HRESULT DDSetSourceColorKey(IDirectDrawSurface3* surface, COLORREF colour);
