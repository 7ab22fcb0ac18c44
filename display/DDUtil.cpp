#include "display/DDUtil.h"

#include "display/DirectDrawResultName.h"
#include "display/DisplayWnd.h"

#include <cstring>

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
HBITMAP LoadNamedBitmap(LPCSTR name, int cx, int cy)
{
    HBITMAP bitmap = static_cast<HBITMAP>(
        LoadImageA(GetModuleHandleA(nullptr), name, IMAGE_BITMAP, cx, cy, LR_CREATEDIBSECTION));
    if (!bitmap)
        bitmap = static_cast<HBITMAP>(
            LoadImageA(nullptr, name, IMAGE_BITMAP, cx, cy, LR_CREATEDIBSECTION | LR_LOADFROMFILE));
    return bitmap;
}

} // namespace

IDirectDrawSurface3* DDLoadBitmap2(IDirectDraw2* dd, LPCSTR name, int cx, int cy, SIZE* size)
{
    CLogFile* log = MainLog();
    HBITMAP bitmap = LoadNamedBitmap(name, cx, cy);
    if (!bitmap) {
        if (log)
            log->WriteText("DDLoadBitmap2 - LoadImage failed", name);
        return nullptr;
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
    IDirectDrawSurface* surface = nullptr;
    HRESULT hr = dd->CreateSurface(&desc, &surface, nullptr);
    if (FAILED(hr)) {
        OutputDebugStringA("CreateSurface failed");
        if (log) {
            log->WriteText("DDLoadBitmap2 - CreateSurface failed - code", DirectDrawResultName(hr));
            CString text;
            text.Format("%d x %d", bm.bmWidth, bm.bmHeight);
            log->WriteText("Bitmap Size", text);
        }
        DeleteObject(bitmap);
        return nullptr;
    }
    IDirectDrawSurface3* surface3 = nullptr;
    hr = surface->QueryInterface(IID_IDirectDrawSurface3, reinterpret_cast<void**>(&surface3));
    if (FAILED(hr)) {
        OutputDebugStringA("QueryInterface failed");
        if (log)
            log->Write("DDLoadBitmap2 - QueryInterface failed");
        surface->Release();
        DeleteObject(bitmap);
        return nullptr;
    }
    surface->Release();
    DDCopyBitmapToSurface(surface3, bitmap, 0, 0, 0, 0);
    DeleteObject(bitmap);
    return surface3;
}

HRESULT DDReLoadBitmap(IDirectDrawSurface3* surface, LPCSTR name)
{
    HBITMAP bitmap = LoadNamedBitmap(name, 0, 0);
    if (!bitmap)
        return E_FAIL;
    HRESULT hr = DDCopyBitmapToSurface(surface, bitmap, 0, 0, 0, 0);
    DeleteObject(bitmap);
    return hr;
}

HRESULT DDCopyBitmapToSurface(IDirectDrawSurface3* surface, HBITMAP bitmap, int x, int y, int cx, int cy)
{
    if (!surface || !bitmap)
        return E_FAIL;
    surface->Restore();
    HDC image = CreateCompatibleDC(nullptr);
    if (!image)
        OutputDebugStringA("createcompatible dc failed\n");
    HGDIOBJ old = SelectObject(image, bitmap);
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

    HDC dc = nullptr;
    HRESULT hr = surface->GetDC(&dc);
    if (SUCCEEDED(hr)) {
        StretchBlt(dc, 0, 0, static_cast<int>(desc.dwWidth), static_cast<int>(desc.dwHeight), image, x, y, cx, cy,
                   SRCCOPY);
        surface->ReleaseDC(dc);
    }
    if (image) {
        SelectObject(image, old);
        DeleteDC(image);
    }
    return hr;
}

IDirectDrawPalette* DDLoadPalette2(IDirectDraw2* dd, LPCSTR name)
{
    CLogFile* log = MainLog();
    PALETTEENTRY entries[256] = {};
    HDC screen = GetDC(nullptr);
    GetSystemPaletteEntries(screen, 0, 256, entries);
    ReleaseDC(nullptr, screen);

    if (name) {
        HRSRC res = FindResourceA(nullptr, name, reinterpret_cast<LPCSTR>(RT_BITMAP));
        if (res) {
            HGLOBAL loaded = LoadResource(nullptr, res);
            const BITMAPINFOHEADER* info = loaded ? static_cast<const BITMAPINFOHEADER*>(LockResource(loaded)) : nullptr;
            if (!info) {
                OutputDebugStringA("lock resource failed\n");
                if (log)
                    log->Write("DDLoadPalette2 - lock resource failed");
            } else {
                int n = 0;
                if (info->biSize >= 40 && info->biBitCount <= 8) {
                    n = info->biClrUsed ? static_cast<int>(info->biClrUsed) : 1 << info->biBitCount;
                    if (n > 256)
                        n = 256;
                }
                const RGBQUAD* table =
                    reinterpret_cast<const RGBQUAD*>(reinterpret_cast<const BYTE*>(info) + info->biSize);
                // The system keeps its first twelve colours; black entries
                // of the bitmap leave the system's colour too.
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
        } else {
            OFSTRUCT of = {};
            HFILE file = OpenFile(name, &of, OF_READ);
            if (file != HFILE_ERROR) {
                BITMAPFILEHEADER header;
                BITMAPINFOHEADER info = {};
                _lread(file, &header, sizeof header);
                _lread(file, &info, sizeof info);
                _lread(file, entries, sizeof entries);
                _lclose(file);
                int n = 0;
                if (info.biSize == 40 && info.biBitCount <= 8) {
                    n = info.biClrUsed ? static_cast<int>(info.biClrUsed) : 1 << info.biBitCount;
                    if (n > 256)
                        n = 256;
                }
                for (int i = 0; i < n; ++i) {
                    BYTE blue = entries[i].peRed;
                    entries[i].peRed = entries[i].peBlue;
                    entries[i].peBlue = blue;
                }
            }
        }
    }
    IDirectDrawPalette* palette = nullptr;
    if (FAILED(dd->CreatePalette(DDPCAPS_8BIT, entries, &palette, nullptr)))
        return nullptr;
    return palette;
}

DWORD DDMatchColor(IDirectDrawSurface3* surface, COLORREF colour)
{
    COLORREF remembered = CLR_INVALID;
    HDC dc = nullptr;
    if (colour != CLR_INVALID && SUCCEEDED(surface->GetDC(&dc))) {
        remembered = GetPixel(dc, 0, 0);
        SetPixel(dc, 0, 0, colour);
        surface->ReleaseDC(dc);
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

    if (colour != CLR_INVALID && remembered != CLR_INVALID && SUCCEEDED(surface->GetDC(&dc))) {
        SetPixel(dc, 0, 0, remembered);
        surface->ReleaseDC(dc);
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
