#include "support/SurfacePixels.h"

#include <cstring>

SurfacePixels ReadSurface(IDirectDrawSurface3* surface)
{
    SurfacePixels p;
    DDSURFACEDESC desc = {};
    desc.dwSize = sizeof desc;
    if (FAILED(surface->Lock(nullptr, &desc, DDLOCK_WAIT | DDLOCK_READONLY, nullptr)))
        return p;
    p.width = desc.dwWidth;
    p.height = desc.dwHeight;
    p.bits = desc.ddpfPixelFormat.dwRGBBitCount;
    int bytes = p.bits / 8;
    DWORD mask = p.bits >= 24 ? 0xFFFFFFu : (1u << p.bits) - 1;
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x) {
            DWORD v = 0;
            memcpy(&v, static_cast<BYTE*>(desc.lpSurface) + y * desc.lPitch + x * bytes, bytes);
            p.values.push_back(v & mask);
        }
    surface->Unlock(nullptr);
    return p;
}
