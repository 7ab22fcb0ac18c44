#pragma once

#include <ddraw.h>

#include <cstring>
#include <vector>

// A surface's pixel values, row by row, read back through a lock. The byte
// above the colour of a 32-bit pixel is left out.
struct SurfacePixels {
    int width = 0, height = 0, bits = 0;
    std::vector<DWORD> values;
    DWORD At(int x, int y) const { return values[size_t(y) * width + x]; }
};

SurfacePixels ReadSurface(IDirectDrawSurface3* surface);

// A window's pixels in r (client coordinates), row by row, as the screen
// shows them.
std::vector<COLORREF> WindowPixels(HWND hWnd, const RECT& r);

// Pixels as the surface keeps them, in a Pixel wide enough for one.
template <class Pixel>
struct PlainPicture {
    int width = 0, height = 0;
    std::vector<Pixel> pixels;
    Pixel* Row(int y) { return pixels.data() + size_t(y) * width; }
    const Pixel* Row(int y) const { return pixels.data() + size_t(y) * width; }
};

// The surface's top-left width x height pixels, read through a lock; empty
// when it cannot be locked or its pixels are wider than Pixel.
template <class Pixel>
PlainPicture<Pixel> ReadPlainPicture(IDirectDrawSurface3* surface, int width, int height)
{
    PlainPicture<Pixel> picture;
    DDSURFACEDESC desc = {};
    desc.dwSize = sizeof desc;
    if (FAILED(surface->Lock(nullptr, &desc, DDLOCK_WAIT | DDLOCK_READONLY, nullptr)))
        return picture;
    const size_t bytes = desc.ddpfPixelFormat.dwRGBBitCount / 8;
    if (bytes && bytes <= sizeof(Pixel)) {
        picture.width = width;
        picture.height = height;
        picture.pixels.resize(size_t(width) * height);
        for (int y = 0; y < height; ++y) {
            const BYTE* row = static_cast<const BYTE*>(desc.lpSurface) + y * desc.lPitch;
            if (bytes == sizeof(Pixel)) {
                memcpy(picture.Row(y), row, width * sizeof(Pixel));
                continue;
            }
            for (int x = 0; x < width; ++x)
                memcpy(&picture.Row(y)[x], row + x * bytes, bytes);  // little-endian: the low bytes
        }
    }
    surface->Unlock(nullptr);
    return picture;
}

