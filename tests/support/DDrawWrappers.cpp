#include "support/DDrawWrappers.h"

#include "display/DisplayPlatform.h"

namespace {

DDrawRecorder* g_recorder = nullptr;

HRESULT WINAPI WrappedDirectDrawCreate(GUID* guid, LPDIRECTDRAW* ppDD, IUnknown* outer)
{
    HRESULT hr;
    if (g_recorder->ShouldFail("DirectDrawCreate", &hr))
        return hr;
    hr = DirectDrawCreate(guid, ppDD, outer);
    if (SUCCEEDED(hr) && *ppDD)
        *ppDD = new WrapDirectDraw(*ppDD, g_recorder, "IDirectDraw");
    return hr;
}

} // namespace

DDrawWrapGuard::DDrawWrapGuard(DDrawRecorder* recorder) : platform(RealDisplayPlatform())
{
    g_recorder = recorder;
    platform.DirectDrawCreate = WrappedDirectDrawCreate;
}

DDrawWrapGuard::~DDrawWrapGuard()
{
    g_recorder = nullptr;
}

bool DDrawRecorder::ShouldFail(const std::string& call, HRESULT* hr)
{
    std::lock_guard<std::mutex> lock(m_lock);
    int n = ++calls[call];
    if (call == m_failCall && (m_failOccurrence == 0 || n == m_failOccurrence)) {
        *hr = m_failResult;
        return true;
    }
    return false;
}

void* DDrawRecorder::WrapQueried(REFIID riid, IUnknown* object, const std::string& label)
{
    if (riid == IID_IDirectDraw2)
        return new WrapDirectDraw2(static_cast<IDirectDraw2*>(static_cast<void*>(object)), this, "IDirectDraw2");
    if (riid == IID_IDirectDrawSurface3)
        return new WrapSurface3(static_cast<IDirectDrawSurface3*>(static_cast<void*>(object)), this, label);
    return object;
}

std::string DDrawRecorder::SurfaceLabel(const DDSURFACEDESC* desc) const
{
    if (desc->ddsCaps.dwCaps & DDSCAPS_PRIMARYSURFACE)
        return "primary";
    return OffscreenLabel(int(desc->dwWidth), int(desc->dwHeight));
}

std::string OffscreenLabel(int width, int height)
{
    return "offscreen " + std::to_string(width) + "x" + std::to_string(height);
}

IDirectDrawSurface* Unwrap(IDirectDrawSurface* surface)
{
    return surface ? static_cast<WrapSurface*>(surface)->Real() : nullptr;
}

IDirectDrawSurface3* Unwrap(IDirectDrawSurface3* surface)
{
    return surface ? static_cast<WrapSurface3*>(surface)->Real() : nullptr;
}

IDirectDrawClipper* Unwrap(IDirectDrawClipper* clipper)
{
    return clipper ? static_cast<WrapClipper*>(clipper)->Real() : nullptr;
}
