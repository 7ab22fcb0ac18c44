#pragma once

#include <ddraw.h>

#include <vector>

// A surface's pixel values, row by row, read back through a lock. The byte
// above the colour of a 32-bit pixel is left out.
struct SurfacePixels {
    int width = 0, height = 0, bits = 0;
    std::vector<DWORD> values;
    DWORD At(int x, int y) const { return values[size_t(y) * width + x]; }
};

SurfacePixels ReadSurface(IDirectDrawSurface3* surface);
