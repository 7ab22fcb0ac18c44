#include "support/SurfacePixels.h"

SurfacePixels ReadSurface(IDirectDrawSurface3* surface)
{
    SurfacePixels p;
    DDSURFACEDESC desc = {};
    desc.dwSize = sizeof desc;
    if (FAILED(surface->GetSurfaceDesc(&desc)))
        return p;
    PlainPicture<DWORD> picture = ReadPlainPicture<DWORD>(surface, desc.dwWidth, desc.dwHeight);
    if (picture.pixels.empty())
        return p;
    p.width = picture.width;
    p.height = picture.height;
    p.bits = desc.ddpfPixelFormat.dwRGBBitCount;
    const DWORD mask = p.bits >= 24 ? 0xFFFFFFu : (1u << p.bits) - 1;
    p.values.reserve(picture.pixels.size());
    for (DWORD v : picture.pixels)
        p.values.push_back(v & mask);
    return p;
}

std::vector<COLORREF> WindowPixels(HWND hWnd, const RECT& r)
{
    std::vector<COLORREF> pixels;
    HDC dc = GetDC(hWnd);
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            pixels.push_back(GetPixel(dc, x, y));
    ReleaseDC(hWnd, dc);
    return pixels;
}
