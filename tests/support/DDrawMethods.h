// The methods of the DirectDraw interfaces the tests stand in for, one list
// per interface, for a macro M(name, (parameters), (arguments)) to expand:
// the forwarding wrappers and the hand-made fakes are written from them.
// Only the methods no one writes out by hand are listed.
#pragma once

#include <ddraw.h>

// IDirectDraw and IDirectDraw2 alike.
#define DDW_DIRECTDRAW_METHODS(M)                                                                              \
    M(Compact, (), ())                                                                                          \
    M(CreatePalette, (DWORD f, LPPALETTEENTRY e, LPDIRECTDRAWPALETTE* p, IUnknown* o), (f, e, p, o))            \
    M(DuplicateSurface, (LPDIRECTDRAWSURFACE s, LPDIRECTDRAWSURFACE* d), (s, d))                                \
    M(EnumDisplayModes, (DWORD f, LPDDSURFACEDESC d, LPVOID c, LPDDENUMMODESCALLBACK cb), (f, d, c, cb))        \
    M(EnumSurfaces, (DWORD f, LPDDSURFACEDESC d, LPVOID c, LPDDENUMSURFACESCALLBACK cb), (f, d, c, cb))         \
    M(FlipToGDISurface, (), ())                                                                                 \
    M(GetCaps, (LPDDCAPS driver, LPDDCAPS hel), (driver, hel))                                                  \
    M(GetDisplayMode, (LPDDSURFACEDESC d), (d))                                                                 \
    M(GetFourCCCodes, (LPDWORD n, LPDWORD codes), (n, codes))                                                   \
    M(GetGDISurface, (LPDIRECTDRAWSURFACE* s), (s))                                                             \
    M(GetMonitorFrequency, (LPDWORD f), (f))                                                                    \
    M(GetScanLine, (LPDWORD l), (l))                                                                            \
    M(GetVerticalBlankStatus, (WINBOOL* b), (b))                                                                \
    M(Initialize, (GUID* g), (g))                                                                               \
    M(RestoreDisplayMode, (), ())                                                                               \
    M(SetCooperativeLevel, (HWND w, DWORD f), (w, f))                                                           \
    M(WaitForVerticalBlank, (DWORD f, HANDLE e), (f, e))

// IDirectDrawSurface and IDirectDrawSurface3 alike; S is the surface type.
#define DDW_SURFACE_METHODS(M, S)                                                                               \
    M(AddAttachedSurface, (S* s), (s))                                                                          \
    M(AddOverlayDirtyRect, (LPRECT r), (r))                                                                     \
    M(BltBatch, (LPDDBLTBATCH b, DWORD n, DWORD f), (b, n, f))                                                  \
    M(BltFast, (DWORD x, DWORD y, S* s, LPRECT r, DWORD t), (x, y, s, r, t))                                    \
    M(DeleteAttachedSurface, (DWORD f, S* s), (f, s))                                                           \
    M(EnumAttachedSurfaces, (LPVOID c, LPDDENUMSURFACESCALLBACK cb), (c, cb))                                   \
    M(EnumOverlayZOrders, (DWORD f, LPVOID c, LPDDENUMSURFACESCALLBACK cb), (f, c, cb))                         \
    M(Flip, (S* s, DWORD f), (s, f))                                                                            \
    M(GetBltStatus, (DWORD f), (f))                                                                             \
    M(GetCaps, (LPDDSCAPS c), (c))                                                                              \
    M(GetClipper, (LPDIRECTDRAWCLIPPER* c), (c))                                                                \
    M(GetColorKey, (DWORD f, LPDDCOLORKEY k), (f, k))                                                           \
    M(GetDC, (HDC* dc), (dc))                                                                                   \
    M(GetFlipStatus, (DWORD f), (f))                                                                            \
    M(GetOverlayPosition, (LPLONG x, LPLONG y), (x, y))                                                         \
    M(GetPalette, (LPDIRECTDRAWPALETTE* p), (p))                                                                \
    M(GetPixelFormat, (LPDDPIXELFORMAT f), (f))                                                                 \
    M(GetSurfaceDesc, (LPDDSURFACEDESC d), (d))                                                                 \
    M(Initialize, (LPDIRECTDRAW dd, LPDDSURFACEDESC d), (dd, d))                                                \
    M(IsLost, (), ())                                                                                           \
    M(Lock, (LPRECT r, LPDDSURFACEDESC d, DWORD f, HANDLE e), (r, d, f, e))                                     \
    M(ReleaseDC, (HDC dc), (dc))                                                                                \
    M(Restore, (), ())                                                                                          \
    M(SetColorKey, (DWORD f, LPDDCOLORKEY k), (f, k))                                                           \
    M(SetOverlayPosition, (LONG x, LONG y), (x, y))                                                             \
    M(SetPalette, (LPDIRECTDRAWPALETTE p), (p))                                                                 \
    M(Unlock, (LPVOID bits), (bits))                                                                            \
    M(UpdateOverlay, (LPRECT r, S* s, LPRECT d, DWORD f, LPDDOVERLAYFX fx), (r, s, d, f, fx))                   \
    M(UpdateOverlayDisplay, (DWORD f), (f))                                                                     \
    M(UpdateOverlayZOrder, (DWORD f, S* s), (f, s))
