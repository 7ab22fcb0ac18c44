#include "display/DDUtil.h"

#include "display/DirectDrawResultName.h"
#include "display/DisplayWnd.h"
#include "framework/afxgdi.h"

#include <cstring>

HRESULT DDCreateFrom(LPCSTR library, GUID* guid, LPDIRECTDRAW* ppDD, IUnknown* outer)
{
    typedef HRESULT(WINAPI * DirectDrawCreateFn)(GUID*, LPDIRECTDRAW*, IUnknown*);
    *ppDD = nullptr;
    HMODULE module = AfxLoadSystemLibrary(library);
    DirectDrawCreateFn create =
        module ? reinterpret_cast<DirectDrawCreateFn>(::GetProcAddress(module, "DirectDrawCreate")) : nullptr;
    HRESULT hr = create ? create(guid, ppDD, outer) : DDERR_NODIRECTDRAWSUPPORT;
    // Kept while what it made lives: for the rest of the process.
    if (module && FAILED(hr))
        ::FreeLibrary(module);
    return hr;
}

HRESULT WINAPI DDCreate(GUID* guid, LPDIRECTDRAW* ppDD, IUnknown* outer)
{
    return DDCreateFrom("DDRAW.DLL", guid, ppDD, outer);
}

namespace {

// Loading runs while the display window is being created, before it is the
// application's main window: the log is the main window's, or else that of
// the display window being set up.
CLogFile* MainLog()
{
    CDisplayWnd* wnd = dynamic_cast<CDisplayWnd*>(AfxGetMainWnd());
    if (!wnd)
        wnd = theDisplayWnd;
    return wnd ? &wnd->m_log : nullptr;
}

// A busy blitter answers DDERR_WASSTILLDRAWING; it finishes within frames,
// but a driver that never does must not hang the start-up.
const int kLockAttempts = 100000;

// The bitmap resource name of this program, or else the bitmap file of that
// name.
BOOL LoadNamedBitmap(CBitmap& bitmap, LPCSTR name, int cx, int cy)
{
    if (bitmap.Attach(LoadImageA(GetModuleHandleA(nullptr), name, IMAGE_BITMAP, cx, cy, LR_CREATEDIBSECTION)))
        return TRUE;
    return bitmap.Attach(LoadImageA(nullptr, name, IMAGE_BITMAP, cx, cy, LR_CREATEDIBSECTION | LR_LOADFROMFILE));
}

int PaletteColours(const BITMAPINFOHEADER& info)
{
    if (info.biBitCount > 8)
        return 0;
    int n = info.biClrUsed ? static_cast<int>(info.biClrUsed) : 1 << info.biBitCount;
    return n > 256 ? 256 : n;
}

// The colours of a bitmap resource over entries. The system keeps its first
// twelve colours; black entries of the bitmap leave the system's colour too.
void LayResourceColours(const BITMAPINFOHEADER* info, PALETTEENTRY* entries)
{
    const int n = info->biSize >= 40 ? PaletteColours(*info) : 0;
    const RGBQUAD* table = reinterpret_cast<const RGBQUAD*>(reinterpret_cast<const BYTE*>(info) + info->biSize);
    for (int i = 12; i < n; ++i) {
        const RGBQUAD& c = table[i];
        if (c.rgbRed == 0 && c.rgbGreen == 0 && c.rgbBlue == 0)
            continue;
        entries[i].peRed = c.rgbRed;
        entries[i].peGreen = c.rgbGreen;
        entries[i].peBlue = c.rgbBlue;
        entries[i].peFlags = 0;
    }
}

// A bitmap file's colour table read straight into entries, every one of
// them, red and blue put the right way round.
void ReadFileColours(LPCSTR name, PALETTEENTRY* entries)
{
    OFSTRUCT of = {};
    HFILE file = OpenFile(name, &of, OF_READ);
    if (file == HFILE_ERROR)
        return;
    BITMAPFILEHEADER header;
    BITMAPINFOHEADER info = {};
    _lread(file, &header, sizeof header);
    _lread(file, &info, sizeof info);
    _lread(file, entries, 256 * sizeof *entries);
    _lclose(file);
    const int n = info.biSize == 40 ? PaletteColours(info) : 0;
    for (int i = 0; i < n; ++i) {
        BYTE blue = entries[i].peRed;
        entries[i].peRed = entries[i].peBlue;
        entries[i].peBlue = blue;
    }
}

} // namespace

CComPtr<IDirectDrawSurface3> DDLoadBitmap2(IDirectDraw2* dd, LPCSTR name, int cx, int cy, SIZE* size)
{
    CLogFile* log = MainLog();
    CBitmap bitmap;
    if (!LoadNamedBitmap(bitmap, name, cx, cy)) {
        if (log)
            log->WriteText("DDLoadBitmap2 - LoadImage failed", name);
        return {};
    }
    BITMAP bm = {};
    GetObjectA(bitmap, sizeof bm, &bm);
    size->cx = bm.bmWidth;
    size->cy = bm.bmHeight;

    DDSURFACEDESC desc = {};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH;
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
    desc.dwWidth = static_cast<DWORD>(bm.bmWidth);
    desc.dwHeight = static_cast<DWORD>(bm.bmHeight);
    CComPtr<IDirectDrawSurface> surface;
    HRESULT hr = dd->CreateSurface(&desc, &surface, nullptr);
    if (FAILED(hr)) {
        surface.Detach();
        OutputDebugStringA("CreateSurface failed");
        if (log) {
            log->WriteText("DDLoadBitmap2 - CreateSurface failed - code", DirectDrawResultName(hr));
            CString text;
            text.Format("%ld x %ld", bm.bmWidth, bm.bmHeight);
            log->WriteText("Bitmap Size", text);
        }
        return {};
    }
    CComPtr<IDirectDrawSurface3> surface3;
    if (FAILED(surface.QueryInterface(IID_IDirectDrawSurface3, surface3))) {
        surface3.Detach();
        OutputDebugStringA("QueryInterface failed");
        if (log)
            log->Write("DDLoadBitmap2 - QueryInterface failed");
        return {};
    }
    DDCopyBitmapToSurface(surface3, bitmap, 0, 0, 0, 0);
    return surface3;
}

HRESULT DDReLoadBitmap(IDirectDrawSurface3* surface, LPCSTR name)
{
    CBitmap bitmap;
    if (!LoadNamedBitmap(bitmap, name, 0, 0))
        return E_FAIL;
    return DDCopyBitmapToSurface(surface, bitmap, 0, 0, 0, 0);
}

HRESULT DDCopyBitmapToSurface(IDirectDrawSurface3* surface, HBITMAP bitmap, int x, int y, int cx, int cy)
{
    if (!surface || !bitmap)
        return E_FAIL;
    surface->Restore();
    CDC image;
    if (!image.CreateCompatibleDC(nullptr))
        OutputDebugStringA("createcompatible dc failed\n");
    CDCSelection selected(image, bitmap);
    BITMAP bm = {};
    GetObjectA(bitmap, sizeof bm, &bm);
    if (cx == 0)
        cx = bm.bmWidth;
    if (cy == 0)
        cy = bm.bmHeight;

    DDSURFACEDESC desc = {};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_HEIGHT | DDSD_WIDTH;
    surface->GetSurfaceDesc(&desc);

    CSurfaceDC dc(surface);
    if (dc)
        StretchBlt(dc, 0, 0, static_cast<int>(desc.dwWidth), static_cast<int>(desc.dwHeight), image, x, y, cx, cy,
                   SRCCOPY);
    return dc.Result();
}

CComPtr<IDirectDrawPalette> DDLoadPalette2(IDirectDraw2* dd, LPCSTR name)
{
    PALETTEENTRY entries[256] = {};
    GetSystemPaletteEntries(CClientDC(nullptr), 0, 256, entries);

    if (name) {
        HRSRC res = FindResourceA(nullptr, name, reinterpret_cast<LPCSTR>(RT_BITMAP));
        HGLOBAL loaded = res ? LoadResource(nullptr, res) : nullptr;
        const BITMAPINFOHEADER* info = loaded ? static_cast<const BITMAPINFOHEADER*>(LockResource(loaded)) : nullptr;
        if (info) {
            LayResourceColours(info, entries);
        } else if (res) {
            OutputDebugStringA("lock resource failed\n");
            if (CLogFile* log = MainLog())
                log->Write("DDLoadPalette2 - lock resource failed");
        } else {
            ReadFileColours(name, entries);
        }
    }
    CComPtr<IDirectDrawPalette> palette;
    if (FAILED(dd->CreatePalette(DDPCAPS_8BIT, entries, &palette, nullptr)))
        palette.Detach();
    return palette;
}

DWORD DDMatchColor(IDirectDrawSurface3* surface, COLORREF colour)
{
    COLORREF remembered = CLR_INVALID;
    if (colour != CLR_INVALID) {
        CSurfaceDC dc(surface);
        if (dc) {
            remembered = GetPixel(dc, 0, 0);
            SetPixel(dc, 0, 0, colour);
        }
    }

    DDSURFACEDESC desc = {};
    desc.dwSize = sizeof desc;
    HRESULT hr;
    int attempts = 0;
    while ((hr = surface->Lock(nullptr, &desc, 0, nullptr)) == DDERR_WASSTILLDRAWING && ++attempts < kLockAttempts) {
    }
    DWORD value = CLR_INVALID;
    if (SUCCEEDED(hr)) {
        memcpy(&value, desc.lpSurface, sizeof value);
        DWORD bits = desc.ddpfPixelFormat.dwRGBBitCount;
        if (bits < 32)
            value &= (1u << bits) - 1;
        surface->Unlock(nullptr);
    }

    if (colour != CLR_INVALID && remembered != CLR_INVALID) {
        CSurfaceDC dc(surface);
        if (dc)
            SetPixel(dc, 0, 0, remembered);
    }
    return value;
}

HRESULT DDSetSourceColorKey(IDirectDrawSurface3* surface, COLORREF colour)
{
    DDCOLORKEY key;
    key.dwColorSpaceLowValue = DDMatchColor(surface, colour);
    key.dwColorSpaceHighValue = key.dwColorSpaceLowValue;
    return surface->SetColorKey(DDCKEY_SRCBLT, &key);
}
