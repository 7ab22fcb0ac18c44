// The wrapper classes forward every method; most of this file is that
// forwarding, written out method by method.
#include "support/DDrawWrappers.h"

#include "display/DisplayPlatform.h"

namespace {

DDrawRecorder* g_recorder = nullptr;

HRESULT WINAPI WrappedDirectDrawCreate(GUID* guid, LPDIRECTDRAW* ppDD, IUnknown* outer)
{
    HRESULT hr;
    if (g_recorder->ShouldFail("DirectDraw", "DirectDrawCreate", &hr))
        return hr;
    hr = DirectDrawCreate(guid, ppDD, outer);
    if (SUCCEEDED(hr) && *ppDD)
        *ppDD = new WrapDirectDraw(*ppDD, g_recorder, "IDirectDraw");
    return hr;
}

} // namespace

// Only the seam it installs is put back: another seam set by the test
// meanwhile is the test's to restore.
DDrawWrapGuard::DDrawWrapGuard(DDrawRecorder* recorder) : m_savedCreate(g_displayPlatform.DirectDrawCreate)
{
    g_recorder = recorder;
    g_displayPlatform.DirectDrawCreate = WrappedDirectDrawCreate;
}

DDrawWrapGuard::~DDrawWrapGuard()
{
    g_displayPlatform.DirectDrawCreate = m_savedCreate;
    g_recorder = nullptr;
}

bool DDrawRecorder::ShouldFail(const std::string& label, const char* call, HRESULT* hr)
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
    return "offscreen " + std::to_string(desc->dwWidth) + "x" + std::to_string(desc->dwHeight);
}

WrapDirectDraw::WrapDirectDraw(IDirectDraw* real, DDrawRecorder* recorder, const std::string& label)
    : m_real(real), m_recorder(recorder), m_label(label)
{
    m_recorder->OnWrap();
}

HRESULT STDMETHODCALLTYPE WrapDirectDraw::QueryInterface(REFIID riid, void** ppvObject)
{
    HRESULT hr;
    if (m_recorder->ShouldFail(m_label, "IDirectDraw::QueryInterface", &hr))
        return hr;
    hr = m_real->QueryInterface(riid, ppvObject);
    if (SUCCEEDED(hr) && *ppvObject)
        *ppvObject = m_recorder->WrapQueried(riid, static_cast<IUnknown*>(*ppvObject), m_label);
    return hr;
}

ULONG STDMETHODCALLTYPE WrapDirectDraw::AddRef()
{
    m_recorder->OnAddRef();
    ++m_refs;
    return m_real->AddRef();
}

ULONG STDMETHODCALLTYPE WrapDirectDraw::Release()
{
    m_recorder->OnRelease(m_label);
    ULONG left = m_real->Release();
    if (--m_refs == 0)
        delete this;
    return left;
}

HRESULT STDMETHODCALLTYPE WrapDirectDraw::Compact()
{
    HRESULT hr;
    if (m_recorder->ShouldFail(m_label, "IDirectDraw::Compact", &hr))
        return hr;
    hr = m_real->Compact();
    return hr;
}

HRESULT STDMETHODCALLTYPE WrapDirectDraw::CreateClipper(DWORD dwFlags, LPDIRECTDRAWCLIPPER * lplpDDClipper, IUnknown * pUnkOuter)
{
    HRESULT hr;
    if (m_recorder->ShouldFail(m_label, "IDirectDraw::CreateClipper", &hr))
        return hr;
    hr = m_real->CreateClipper(dwFlags, lplpDDClipper, pUnkOuter);
    if (SUCCEEDED(hr) && *lplpDDClipper)
        *lplpDDClipper = new WrapClipper(*lplpDDClipper, m_recorder, "clipper");
    return hr;
}

HRESULT STDMETHODCALLTYPE WrapDirectDraw::CreatePalette(DWORD dwFlags, LPPALETTEENTRY lpColorTable, LPDIRECTDRAWPALETTE * lplpDDPalette, IUnknown * pUnkOuter)
{
    HRESULT hr;
    if (m_recorder->ShouldFail(m_label, "IDirectDraw::CreatePalette", &hr))
        return hr;
    hr = m_real->CreatePalette(dwFlags, lpColorTable, lplpDDPalette, pUnkOuter);
    return hr;
}

HRESULT STDMETHODCALLTYPE WrapDirectDraw::CreateSurface(LPDDSURFACEDESC lpDDSurfaceDesc, LPDIRECTDRAWSURFACE * lplpDDSurface, IUnknown * pUnkOuter)
{
    HRESULT hr;
    if (m_recorder->ShouldFail(m_label, "IDirectDraw::CreateSurface", &hr))
        return hr;
    hr = m_real->CreateSurface(lpDDSurfaceDesc, lplpDDSurface, pUnkOuter);
    if (SUCCEEDED(hr) && *lplpDDSurface)
        *lplpDDSurface = new WrapSurface(*lplpDDSurface, m_recorder, m_recorder->SurfaceLabel(lpDDSurfaceDesc));
    return hr;
}

HRESULT STDMETHODCALLTYPE WrapDirectDraw::DuplicateSurface(LPDIRECTDRAWSURFACE lpDDSurface, LPDIRECTDRAWSURFACE * lplpDupDDSurface)
{
    HRESULT hr;
    if (m_recorder->ShouldFail(m_label, "IDirectDraw::DuplicateSurface", &hr))
        return hr;
    hr = m_real->DuplicateSurface(lpDDSurface ? static_cast<WrapSurface*>(lpDDSurface)->Real() : nullptr, lplpDupDDSurface);
    return hr;
}

HRESULT STDMETHODCALLTYPE WrapDirectDraw::EnumDisplayModes(DWORD dwFlags, LPDDSURFACEDESC lpDDSurfaceDesc, LPVOID lpContext, LPDDENUMMODESCALLBACK lpEnumModesCallback)
{
    HRESULT hr;
    if (m_recorder->ShouldFail(m_label, "IDirectDraw::EnumDisplayModes", &hr))
        return hr;
    hr = m_real->EnumDisplayModes(dwFlags, lpDDSurfaceDesc, lpContext, lpEnumModesCallback);
    return hr;
}

HRESULT STDMETHODCALLTYPE WrapDirectDraw::EnumSurfaces(DWORD dwFlags, LPDDSURFACEDESC lpDDSD, LPVOID lpContext, LPDDENUMSURFACESCALLBACK lpEnumSurfacesCallback)
{
    HRESULT hr;
    if (m_recorder->ShouldFail(m_label, "IDirectDraw::EnumSurfaces", &hr))
        return hr;
    hr = m_real->EnumSurfaces(dwFlags, lpDDSD, lpContext, lpEnumSurfacesCallback);
    return hr;
}

HRESULT STDMETHODCALLTYPE WrapDirectDraw::FlipToGDISurface()
{
    HRESULT hr;
    if (m_recorder->ShouldFail(m_label, "IDirectDraw::FlipToGDISurface", &hr))
        return hr;
    hr = m_real->FlipToGDISurface();
    return hr;
}

HRESULT STDMETHODCALLTYPE WrapDirectDraw::GetCaps(LPDDCAPS lpDDDriverCaps, LPDDCAPS lpDDHELCaps)
{
    HRESULT hr;
    if (m_recorder->ShouldFail(m_label, "IDirectDraw::GetCaps", &hr))
        return hr;
    hr = m_real->GetCaps(lpDDDriverCaps, lpDDHELCaps);
    return hr;
}

HRESULT STDMETHODCALLTYPE WrapDirectDraw::GetDisplayMode(LPDDSURFACEDESC lpDDSurfaceDesc)
{
    HRESULT hr;
    if (m_recorder->ShouldFail(m_label, "IDirectDraw::GetDisplayMode", &hr))
        return hr;
    hr = m_real->GetDisplayMode(lpDDSurfaceDesc);
    return hr;
}

HRESULT STDMETHODCALLTYPE WrapDirectDraw::GetFourCCCodes(LPDWORD lpNumCodes, LPDWORD lpCodes)
{
    HRESULT hr;
    if (m_recorder->ShouldFail(m_label, "IDirectDraw::GetFourCCCodes", &hr))
        return hr;
    hr = m_real->GetFourCCCodes(lpNumCodes, lpCodes);
    return hr;
}

HRESULT STDMETHODCALLTYPE WrapDirectDraw::GetGDISurface(LPDIRECTDRAWSURFACE * lplpGDIDDSurface)
{
    HRESULT hr;
    if (m_recorder->ShouldFail(m_label, "IDirectDraw::GetGDISurface", &hr))
        return hr;
    hr = m_real->GetGDISurface(lplpGDIDDSurface);
    return hr;
}

HRESULT STDMETHODCALLTYPE WrapDirectDraw::GetMonitorFrequency(LPDWORD lpdwFrequency)
{
    HRESULT hr;
    if (m_recorder->ShouldFail(m_label, "IDirectDraw::GetMonitorFrequency", &hr))
        return hr;
    hr = m_real->GetMonitorFrequency(lpdwFrequency);
    return hr;
}

HRESULT STDMETHODCALLTYPE WrapDirectDraw::GetScanLine(LPDWORD lpdwScanLine)
{
    HRESULT hr;
    if (m_recorder->ShouldFail(m_label, "IDirectDraw::GetScanLine", &hr))
        return hr;
    hr = m_real->GetScanLine(lpdwScanLine);
    return hr;
}

HRESULT STDMETHODCALLTYPE WrapDirectDraw::GetVerticalBlankStatus(WINBOOL * lpbIsInVB)
{
    HRESULT hr;
    if (m_recorder->ShouldFail(m_label, "IDirectDraw::GetVerticalBlankStatus", &hr))
        return hr;
    hr = m_real->GetVerticalBlankStatus(lpbIsInVB);
    return hr;
}

HRESULT STDMETHODCALLTYPE WrapDirectDraw::Initialize(GUID * lpGUID)
{
    HRESULT hr;
    if (m_recorder->ShouldFail(m_label, "IDirectDraw::Initialize", &hr))
        return hr;
    hr = m_real->Initialize(lpGUID);
    return hr;
}

HRESULT STDMETHODCALLTYPE WrapDirectDraw::RestoreDisplayMode()
{
    HRESULT hr;
    if (m_recorder->ShouldFail(m_label, "IDirectDraw::RestoreDisplayMode", &hr))
        return hr;
    hr = m_real->RestoreDisplayMode();
    return hr;
}

HRESULT STDMETHODCALLTYPE WrapDirectDraw::SetCooperativeLevel(HWND hWnd, DWORD dwFlags)
{
    HRESULT hr;
    if (m_recorder->ShouldFail(m_label, "IDirectDraw::SetCooperativeLevel", &hr))
        return hr;
    hr = m_real->SetCooperativeLevel(hWnd, dwFlags);
    return hr;
}

HRESULT STDMETHODCALLTYPE WrapDirectDraw::SetDisplayMode(DWORD dwWidth, DWORD dwHeight, DWORD dwBPP)
{
    HRESULT hr;
    if (m_recorder->ShouldFail(m_label, "IDirectDraw::SetDisplayMode", &hr))
        return hr;
    hr = m_real->SetDisplayMode(dwWidth, dwHeight, dwBPP);
    return hr;
}

HRESULT STDMETHODCALLTYPE WrapDirectDraw::WaitForVerticalBlank(DWORD dwFlags, HANDLE hEvent)
{
    HRESULT hr;
    if (m_recorder->ShouldFail(m_label, "IDirectDraw::WaitForVerticalBlank", &hr))
        return hr;
    hr = m_real->WaitForVerticalBlank(dwFlags, hEvent);
    return hr;
}

WrapDirectDraw2::WrapDirectDraw2(IDirectDraw2* real, DDrawRecorder* recorder, const std::string& label)
    : m_real(real), m_recorder(recorder), m_label(label)
{
    m_recorder->OnWrap();
}

HRESULT STDMETHODCALLTYPE WrapDirectDraw2::QueryInterface(REFIID riid, void** ppvObject)
{
    HRESULT hr;
    if (m_recorder->ShouldFail(m_label, "IDirectDraw2::QueryInterface", &hr))
        return hr;
    hr = m_real->QueryInterface(riid, ppvObject);
    if (SUCCEEDED(hr) && *ppvObject)
        *ppvObject = m_recorder->WrapQueried(riid, static_cast<IUnknown*>(*ppvObject), m_label);
    return hr;
}

ULONG STDMETHODCALLTYPE WrapDirectDraw2::AddRef()
{
    m_recorder->OnAddRef();
    ++m_refs;
    return m_real->AddRef();
}

ULONG STDMETHODCALLTYPE WrapDirectDraw2::Release()
{
    m_recorder->OnRelease(m_label);
    ULONG left = m_real->Release();
    if (--m_refs == 0)
        delete this;
    return left;
}

HRESULT STDMETHODCALLTYPE WrapDirectDraw2::Compact()
{
    HRESULT hr;
    if (m_recorder->ShouldFail(m_label, "IDirectDraw2::Compact", &hr))
        return hr;
    hr = m_real->Compact();
    return hr;
}

HRESULT STDMETHODCALLTYPE WrapDirectDraw2::CreateClipper(DWORD dwFlags, LPDIRECTDRAWCLIPPER * lplpDDClipper, IUnknown * pUnkOuter)
{
    HRESULT hr;
    if (m_recorder->ShouldFail(m_label, "IDirectDraw2::CreateClipper", &hr))
        return hr;
    hr = m_real->CreateClipper(dwFlags, lplpDDClipper, pUnkOuter);
    if (SUCCEEDED(hr) && *lplpDDClipper)
        *lplpDDClipper = new WrapClipper(*lplpDDClipper, m_recorder, "clipper");
    return hr;
}

HRESULT STDMETHODCALLTYPE WrapDirectDraw2::CreatePalette(DWORD dwFlags, LPPALETTEENTRY lpColorTable, LPDIRECTDRAWPALETTE * lplpDDPalette, IUnknown * pUnkOuter)
{
    HRESULT hr;
    if (m_recorder->ShouldFail(m_label, "IDirectDraw2::CreatePalette", &hr))
        return hr;
    hr = m_real->CreatePalette(dwFlags, lpColorTable, lplpDDPalette, pUnkOuter);
    return hr;
}

HRESULT STDMETHODCALLTYPE WrapDirectDraw2::CreateSurface(LPDDSURFACEDESC lpDDSurfaceDesc, LPDIRECTDRAWSURFACE * lplpDDSurface, IUnknown * pUnkOuter)
{
    HRESULT hr;
    if (m_recorder->ShouldFail(m_label, "IDirectDraw2::CreateSurface", &hr))
        return hr;
    hr = m_real->CreateSurface(lpDDSurfaceDesc, lplpDDSurface, pUnkOuter);
    if (SUCCEEDED(hr) && *lplpDDSurface)
        *lplpDDSurface = new WrapSurface(*lplpDDSurface, m_recorder, m_recorder->SurfaceLabel(lpDDSurfaceDesc));
    return hr;
}

HRESULT STDMETHODCALLTYPE WrapDirectDraw2::DuplicateSurface(LPDIRECTDRAWSURFACE lpDDSurface, LPDIRECTDRAWSURFACE * lplpDupDDSurface)
{
    HRESULT hr;
    if (m_recorder->ShouldFail(m_label, "IDirectDraw2::DuplicateSurface", &hr))
        return hr;
    hr = m_real->DuplicateSurface(lpDDSurface ? static_cast<WrapSurface*>(lpDDSurface)->Real() : nullptr, lplpDupDDSurface);
    return hr;
}

HRESULT STDMETHODCALLTYPE WrapDirectDraw2::EnumDisplayModes(DWORD dwFlags, LPDDSURFACEDESC lpDDSurfaceDesc, LPVOID lpContext, LPDDENUMMODESCALLBACK lpEnumModesCallback)
{
    HRESULT hr;
    if (m_recorder->ShouldFail(m_label, "IDirectDraw2::EnumDisplayModes", &hr))
        return hr;
    hr = m_real->EnumDisplayModes(dwFlags, lpDDSurfaceDesc, lpContext, lpEnumModesCallback);
    return hr;
}

HRESULT STDMETHODCALLTYPE WrapDirectDraw2::EnumSurfaces(DWORD dwFlags, LPDDSURFACEDESC lpDDSD, LPVOID lpContext, LPDDENUMSURFACESCALLBACK lpEnumSurfacesCallback)
{
    HRESULT hr;
    if (m_recorder->ShouldFail(m_label, "IDirectDraw2::EnumSurfaces", &hr))
        return hr;
    hr = m_real->EnumSurfaces(dwFlags, lpDDSD, lpContext, lpEnumSurfacesCallback);
    return hr;
}

HRESULT STDMETHODCALLTYPE WrapDirectDraw2::FlipToGDISurface()
{
    HRESULT hr;
    if (m_recorder->ShouldFail(m_label, "IDirectDraw2::FlipToGDISurface", &hr))
        return hr;
    hr = m_real->FlipToGDISurface();
    return hr;
}

HRESULT STDMETHODCALLTYPE WrapDirectDraw2::GetCaps(LPDDCAPS lpDDDriverCaps, LPDDCAPS lpDDHELCaps)
{
    HRESULT hr;
    if (m_recorder->ShouldFail(m_label, "IDirectDraw2::GetCaps", &hr))
        return hr;
    hr = m_real->GetCaps(lpDDDriverCaps, lpDDHELCaps);
    return hr;
}

HRESULT STDMETHODCALLTYPE WrapDirectDraw2::GetDisplayMode(LPDDSURFACEDESC lpDDSurfaceDesc)
{
    HRESULT hr;
    if (m_recorder->ShouldFail(m_label, "IDirectDraw2::GetDisplayMode", &hr))
        return hr;
    hr = m_real->GetDisplayMode(lpDDSurfaceDesc);
    return hr;
}

HRESULT STDMETHODCALLTYPE WrapDirectDraw2::GetFourCCCodes(LPDWORD lpNumCodes, LPDWORD lpCodes)
{
    HRESULT hr;
    if (m_recorder->ShouldFail(m_label, "IDirectDraw2::GetFourCCCodes", &hr))
        return hr;
    hr = m_real->GetFourCCCodes(lpNumCodes, lpCodes);
    return hr;
}

HRESULT STDMETHODCALLTYPE WrapDirectDraw2::GetGDISurface(LPDIRECTDRAWSURFACE * lplpGDIDDSurface)
{
    HRESULT hr;
    if (m_recorder->ShouldFail(m_label, "IDirectDraw2::GetGDISurface", &hr))
        return hr;
    hr = m_real->GetGDISurface(lplpGDIDDSurface);
    return hr;
}

HRESULT STDMETHODCALLTYPE WrapDirectDraw2::GetMonitorFrequency(LPDWORD lpdwFrequency)
{
    HRESULT hr;
    if (m_recorder->ShouldFail(m_label, "IDirectDraw2::GetMonitorFrequency", &hr))
        return hr;
    hr = m_real->GetMonitorFrequency(lpdwFrequency);
    return hr;
}

HRESULT STDMETHODCALLTYPE WrapDirectDraw2::GetScanLine(LPDWORD lpdwScanLine)
{
    HRESULT hr;
    if (m_recorder->ShouldFail(m_label, "IDirectDraw2::GetScanLine", &hr))
        return hr;
    hr = m_real->GetScanLine(lpdwScanLine);
    return hr;
}

HRESULT STDMETHODCALLTYPE WrapDirectDraw2::GetVerticalBlankStatus(WINBOOL * lpbIsInVB)
{
    HRESULT hr;
    if (m_recorder->ShouldFail(m_label, "IDirectDraw2::GetVerticalBlankStatus", &hr))
        return hr;
    hr = m_real->GetVerticalBlankStatus(lpbIsInVB);
    return hr;
}

HRESULT STDMETHODCALLTYPE WrapDirectDraw2::Initialize(GUID * lpGUID)
{
    HRESULT hr;
    if (m_recorder->ShouldFail(m_label, "IDirectDraw2::Initialize", &hr))
        return hr;
    hr = m_real->Initialize(lpGUID);
    return hr;
}

HRESULT STDMETHODCALLTYPE WrapDirectDraw2::RestoreDisplayMode()
{
    HRESULT hr;
    if (m_recorder->ShouldFail(m_label, "IDirectDraw2::RestoreDisplayMode", &hr))
        return hr;
    hr = m_real->RestoreDisplayMode();
    return hr;
}

HRESULT STDMETHODCALLTYPE WrapDirectDraw2::SetCooperativeLevel(HWND hWnd, DWORD dwFlags)
{
    HRESULT hr;
    if (m_recorder->ShouldFail(m_label, "IDirectDraw2::SetCooperativeLevel", &hr))
        return hr;
    hr = m_real->SetCooperativeLevel(hWnd, dwFlags);
    return hr;
}

HRESULT STDMETHODCALLTYPE WrapDirectDraw2::SetDisplayMode(DWORD dwWidth, DWORD dwHeight, DWORD dwBPP, DWORD dwRefreshRate, DWORD dwFlags)
{
    HRESULT hr;
    if (m_recorder->ShouldFail(m_label, "IDirectDraw2::SetDisplayMode", &hr))
        return hr;
    hr = m_real->SetDisplayMode(dwWidth, dwHeight, dwBPP, dwRefreshRate, dwFlags);
    return hr;
}

HRESULT STDMETHODCALLTYPE WrapDirectDraw2::WaitForVerticalBlank(DWORD dwFlags, HANDLE hEvent)
{
    HRESULT hr;
    if (m_recorder->ShouldFail(m_label, "IDirectDraw2::WaitForVerticalBlank", &hr))
        return hr;
    hr = m_real->WaitForVerticalBlank(dwFlags, hEvent);
    return hr;
}

HRESULT STDMETHODCALLTYPE WrapDirectDraw2::GetAvailableVidMem(LPDDSCAPS lpDDCaps, LPDWORD lpdwTotal, LPDWORD lpdwFree)
{
    HRESULT hr;
    if (m_recorder->ShouldFail(m_label, "IDirectDraw2::GetAvailableVidMem", &hr))
        return hr;
    hr = m_real->GetAvailableVidMem(lpDDCaps, lpdwTotal, lpdwFree);
    return hr;
}

WrapSurface::WrapSurface(IDirectDrawSurface* real, DDrawRecorder* recorder, const std::string& label)
    : m_real(real), m_recorder(recorder), m_label(label)
{
    m_recorder->OnWrap();
}

HRESULT STDMETHODCALLTYPE WrapSurface::QueryInterface(REFIID riid, void** ppvObject)
{
    HRESULT hr;
    if (m_recorder->ShouldFail(m_label, "IDirectDrawSurface::QueryInterface", &hr))
        return hr;
    hr = m_real->QueryInterface(riid, ppvObject);
    if (SUCCEEDED(hr) && *ppvObject)
        *ppvObject = m_recorder->WrapQueried(riid, static_cast<IUnknown*>(*ppvObject), m_label);
    return hr;
}

ULONG STDMETHODCALLTYPE WrapSurface::AddRef()
{
    m_recorder->OnAddRef();
    ++m_refs;
    return m_real->AddRef();
}

ULONG STDMETHODCALLTYPE WrapSurface::Release()
{
    m_recorder->OnRelease(m_label);
    ULONG left = m_real->Release();
    if (--m_refs == 0)
        delete this;
    return left;
}

HRESULT STDMETHODCALLTYPE WrapSurface::AddAttachedSurface(LPDIRECTDRAWSURFACE lpDDSAttachedSurface)
{
    HRESULT hr;
    if (m_recorder->ShouldFail(m_label, "IDirectDrawSurface::AddAttachedSurface", &hr))
        return hr;
    hr = m_real->AddAttachedSurface(lpDDSAttachedSurface ? static_cast<WrapSurface*>(lpDDSAttachedSurface)->Real() : nullptr);
    return hr;
}

HRESULT STDMETHODCALLTYPE WrapSurface::AddOverlayDirtyRect(LPRECT lpRect)
{
    HRESULT hr;
    if (m_recorder->ShouldFail(m_label, "IDirectDrawSurface::AddOverlayDirtyRect", &hr))
        return hr;
    hr = m_real->AddOverlayDirtyRect(lpRect);
    return hr;
}

HRESULT STDMETHODCALLTYPE WrapSurface::Blt(LPRECT lpDestRect, LPDIRECTDRAWSURFACE lpDDSrcSurface, LPRECT lpSrcRect, DWORD dwFlags, LPDDBLTFX lpDDBltFx)
{
    HRESULT hr;
    if (m_recorder->ShouldFail(m_label, "IDirectDrawSurface::Blt", &hr))
        return hr;
    hr = m_real->Blt(lpDestRect, lpDDSrcSurface ? static_cast<WrapSurface*>(lpDDSrcSurface)->Real() : nullptr, lpSrcRect, dwFlags, lpDDBltFx);
    return hr;
}

HRESULT STDMETHODCALLTYPE WrapSurface::BltBatch(LPDDBLTBATCH lpDDBltBatch, DWORD dwCount, DWORD dwFlags)
{
    HRESULT hr;
    if (m_recorder->ShouldFail(m_label, "IDirectDrawSurface::BltBatch", &hr))
        return hr;
    hr = m_real->BltBatch(lpDDBltBatch, dwCount, dwFlags);
    return hr;
}

HRESULT STDMETHODCALLTYPE WrapSurface::BltFast(DWORD dwX, DWORD dwY, LPDIRECTDRAWSURFACE lpDDSrcSurface, LPRECT lpSrcRect, DWORD dwTrans)
{
    HRESULT hr;
    if (m_recorder->ShouldFail(m_label, "IDirectDrawSurface::BltFast", &hr))
        return hr;
    hr = m_real->BltFast(dwX, dwY, lpDDSrcSurface ? static_cast<WrapSurface*>(lpDDSrcSurface)->Real() : nullptr, lpSrcRect, dwTrans);
    return hr;
}

HRESULT STDMETHODCALLTYPE WrapSurface::DeleteAttachedSurface(DWORD dwFlags, LPDIRECTDRAWSURFACE lpDDSAttachedSurface)
{
    HRESULT hr;
    if (m_recorder->ShouldFail(m_label, "IDirectDrawSurface::DeleteAttachedSurface", &hr))
        return hr;
    hr = m_real->DeleteAttachedSurface(dwFlags, lpDDSAttachedSurface ? static_cast<WrapSurface*>(lpDDSAttachedSurface)->Real() : nullptr);
    return hr;
}

HRESULT STDMETHODCALLTYPE WrapSurface::EnumAttachedSurfaces(LPVOID lpContext, LPDDENUMSURFACESCALLBACK lpEnumSurfacesCallback)
{
    HRESULT hr;
    if (m_recorder->ShouldFail(m_label, "IDirectDrawSurface::EnumAttachedSurfaces", &hr))
        return hr;
    hr = m_real->EnumAttachedSurfaces(lpContext, lpEnumSurfacesCallback);
    return hr;
}

HRESULT STDMETHODCALLTYPE WrapSurface::EnumOverlayZOrders(DWORD dwFlags, LPVOID lpContext, LPDDENUMSURFACESCALLBACK lpfnCallback)
{
    HRESULT hr;
    if (m_recorder->ShouldFail(m_label, "IDirectDrawSurface::EnumOverlayZOrders", &hr))
        return hr;
    hr = m_real->EnumOverlayZOrders(dwFlags, lpContext, lpfnCallback);
    return hr;
}

HRESULT STDMETHODCALLTYPE WrapSurface::Flip(LPDIRECTDRAWSURFACE lpDDSurfaceTargetOverride, DWORD dwFlags)
{
    HRESULT hr;
    if (m_recorder->ShouldFail(m_label, "IDirectDrawSurface::Flip", &hr))
        return hr;
    hr = m_real->Flip(lpDDSurfaceTargetOverride ? static_cast<WrapSurface*>(lpDDSurfaceTargetOverride)->Real() : nullptr, dwFlags);
    return hr;
}

HRESULT STDMETHODCALLTYPE WrapSurface::GetAttachedSurface(LPDDSCAPS lpDDSCaps, LPDIRECTDRAWSURFACE * lplpDDAttachedSurface)
{
    HRESULT hr;
    if (m_recorder->ShouldFail(m_label, "IDirectDrawSurface::GetAttachedSurface", &hr))
        return hr;
    hr = m_real->GetAttachedSurface(lpDDSCaps, lplpDDAttachedSurface);
    if (SUCCEEDED(hr) && *lplpDDAttachedSurface)
        *lplpDDAttachedSurface = new WrapSurface(*lplpDDAttachedSurface, m_recorder, "backbuffer");
    return hr;
}

HRESULT STDMETHODCALLTYPE WrapSurface::GetBltStatus(DWORD dwFlags)
{
    HRESULT hr;
    if (m_recorder->ShouldFail(m_label, "IDirectDrawSurface::GetBltStatus", &hr))
        return hr;
    hr = m_real->GetBltStatus(dwFlags);
    return hr;
}

HRESULT STDMETHODCALLTYPE WrapSurface::GetCaps(LPDDSCAPS lpDDSCaps)
{
    HRESULT hr;
    if (m_recorder->ShouldFail(m_label, "IDirectDrawSurface::GetCaps", &hr))
        return hr;
    hr = m_real->GetCaps(lpDDSCaps);
    return hr;
}

HRESULT STDMETHODCALLTYPE WrapSurface::GetClipper(LPDIRECTDRAWCLIPPER * lplpDDClipper)
{
    HRESULT hr;
    if (m_recorder->ShouldFail(m_label, "IDirectDrawSurface::GetClipper", &hr))
        return hr;
    hr = m_real->GetClipper(lplpDDClipper);
    return hr;
}

HRESULT STDMETHODCALLTYPE WrapSurface::GetColorKey(DWORD dwFlags, LPDDCOLORKEY lpDDColorKey)
{
    HRESULT hr;
    if (m_recorder->ShouldFail(m_label, "IDirectDrawSurface::GetColorKey", &hr))
        return hr;
    hr = m_real->GetColorKey(dwFlags, lpDDColorKey);
    return hr;
}

HRESULT STDMETHODCALLTYPE WrapSurface::GetDC(HDC * lphDC)
{
    HRESULT hr;
    if (m_recorder->ShouldFail(m_label, "IDirectDrawSurface::GetDC", &hr))
        return hr;
    hr = m_real->GetDC(lphDC);
    return hr;
}

HRESULT STDMETHODCALLTYPE WrapSurface::GetFlipStatus(DWORD dwFlags)
{
    HRESULT hr;
    if (m_recorder->ShouldFail(m_label, "IDirectDrawSurface::GetFlipStatus", &hr))
        return hr;
    hr = m_real->GetFlipStatus(dwFlags);
    return hr;
}

HRESULT STDMETHODCALLTYPE WrapSurface::GetOverlayPosition(LPLONG lplX, LPLONG lplY)
{
    HRESULT hr;
    if (m_recorder->ShouldFail(m_label, "IDirectDrawSurface::GetOverlayPosition", &hr))
        return hr;
    hr = m_real->GetOverlayPosition(lplX, lplY);
    return hr;
}

HRESULT STDMETHODCALLTYPE WrapSurface::GetPalette(LPDIRECTDRAWPALETTE * lplpDDPalette)
{
    HRESULT hr;
    if (m_recorder->ShouldFail(m_label, "IDirectDrawSurface::GetPalette", &hr))
        return hr;
    hr = m_real->GetPalette(lplpDDPalette);
    return hr;
}

HRESULT STDMETHODCALLTYPE WrapSurface::GetPixelFormat(LPDDPIXELFORMAT lpDDPixelFormat)
{
    HRESULT hr;
    if (m_recorder->ShouldFail(m_label, "IDirectDrawSurface::GetPixelFormat", &hr))
        return hr;
    hr = m_real->GetPixelFormat(lpDDPixelFormat);
    return hr;
}

HRESULT STDMETHODCALLTYPE WrapSurface::GetSurfaceDesc(LPDDSURFACEDESC lpDDSurfaceDesc)
{
    HRESULT hr;
    if (m_recorder->ShouldFail(m_label, "IDirectDrawSurface::GetSurfaceDesc", &hr))
        return hr;
    hr = m_real->GetSurfaceDesc(lpDDSurfaceDesc);
    return hr;
}

HRESULT STDMETHODCALLTYPE WrapSurface::Initialize(LPDIRECTDRAW lpDD, LPDDSURFACEDESC lpDDSurfaceDesc)
{
    HRESULT hr;
    if (m_recorder->ShouldFail(m_label, "IDirectDrawSurface::Initialize", &hr))
        return hr;
    hr = m_real->Initialize(lpDD, lpDDSurfaceDesc);
    return hr;
}

HRESULT STDMETHODCALLTYPE WrapSurface::IsLost()
{
    HRESULT hr;
    if (m_recorder->ShouldFail(m_label, "IDirectDrawSurface::IsLost", &hr))
        return hr;
    hr = m_real->IsLost();
    return hr;
}

HRESULT STDMETHODCALLTYPE WrapSurface::Lock(LPRECT lpDestRect, LPDDSURFACEDESC lpDDSurfaceDesc, DWORD dwFlags, HANDLE hEvent)
{
    HRESULT hr;
    if (m_recorder->ShouldFail(m_label, "IDirectDrawSurface::Lock", &hr))
        return hr;
    hr = m_real->Lock(lpDestRect, lpDDSurfaceDesc, dwFlags, hEvent);
    return hr;
}

HRESULT STDMETHODCALLTYPE WrapSurface::ReleaseDC(HDC hDC)
{
    HRESULT hr;
    if (m_recorder->ShouldFail(m_label, "IDirectDrawSurface::ReleaseDC", &hr))
        return hr;
    hr = m_real->ReleaseDC(hDC);
    return hr;
}

HRESULT STDMETHODCALLTYPE WrapSurface::Restore()
{
    HRESULT hr;
    if (m_recorder->ShouldFail(m_label, "IDirectDrawSurface::Restore", &hr))
        return hr;
    hr = m_real->Restore();
    return hr;
}

HRESULT STDMETHODCALLTYPE WrapSurface::SetClipper(LPDIRECTDRAWCLIPPER lpDDClipper)
{
    HRESULT hr;
    if (m_recorder->ShouldFail(m_label, "IDirectDrawSurface::SetClipper", &hr))
        return hr;
    hr = m_real->SetClipper(lpDDClipper ? static_cast<WrapClipper*>(lpDDClipper)->Real() : nullptr);
    if (SUCCEEDED(hr))
        m_recorder->clippers.push_back(m_label + (lpDDClipper ? " set" : " cleared"));
    return hr;
}

HRESULT STDMETHODCALLTYPE WrapSurface::SetColorKey(DWORD dwFlags, LPDDCOLORKEY lpDDColorKey)
{
    HRESULT hr;
    if (m_recorder->ShouldFail(m_label, "IDirectDrawSurface::SetColorKey", &hr))
        return hr;
    hr = m_real->SetColorKey(dwFlags, lpDDColorKey);
    return hr;
}

HRESULT STDMETHODCALLTYPE WrapSurface::SetOverlayPosition(LONG lX, LONG lY)
{
    HRESULT hr;
    if (m_recorder->ShouldFail(m_label, "IDirectDrawSurface::SetOverlayPosition", &hr))
        return hr;
    hr = m_real->SetOverlayPosition(lX, lY);
    return hr;
}

HRESULT STDMETHODCALLTYPE WrapSurface::SetPalette(LPDIRECTDRAWPALETTE lpDDPalette)
{
    HRESULT hr;
    if (m_recorder->ShouldFail(m_label, "IDirectDrawSurface::SetPalette", &hr))
        return hr;
    hr = m_real->SetPalette(lpDDPalette);
    return hr;
}

HRESULT STDMETHODCALLTYPE WrapSurface::Unlock(LPVOID lpSurfaceData)
{
    HRESULT hr;
    if (m_recorder->ShouldFail(m_label, "IDirectDrawSurface::Unlock", &hr))
        return hr;
    hr = m_real->Unlock(lpSurfaceData);
    return hr;
}

HRESULT STDMETHODCALLTYPE WrapSurface::UpdateOverlay(LPRECT lpSrcRect, LPDIRECTDRAWSURFACE lpDDDestSurface, LPRECT lpDestRect, DWORD dwFlags, LPDDOVERLAYFX lpDDOverlayFx)
{
    HRESULT hr;
    if (m_recorder->ShouldFail(m_label, "IDirectDrawSurface::UpdateOverlay", &hr))
        return hr;
    hr = m_real->UpdateOverlay(lpSrcRect, lpDDDestSurface ? static_cast<WrapSurface*>(lpDDDestSurface)->Real() : nullptr, lpDestRect, dwFlags, lpDDOverlayFx);
    return hr;
}

HRESULT STDMETHODCALLTYPE WrapSurface::UpdateOverlayDisplay(DWORD dwFlags)
{
    HRESULT hr;
    if (m_recorder->ShouldFail(m_label, "IDirectDrawSurface::UpdateOverlayDisplay", &hr))
        return hr;
    hr = m_real->UpdateOverlayDisplay(dwFlags);
    return hr;
}

HRESULT STDMETHODCALLTYPE WrapSurface::UpdateOverlayZOrder(DWORD dwFlags, LPDIRECTDRAWSURFACE lpDDSReference)
{
    HRESULT hr;
    if (m_recorder->ShouldFail(m_label, "IDirectDrawSurface::UpdateOverlayZOrder", &hr))
        return hr;
    hr = m_real->UpdateOverlayZOrder(dwFlags, lpDDSReference ? static_cast<WrapSurface*>(lpDDSReference)->Real() : nullptr);
    return hr;
}

WrapSurface3::WrapSurface3(IDirectDrawSurface3* real, DDrawRecorder* recorder, const std::string& label)
    : m_real(real), m_recorder(recorder), m_label(label)
{
    m_recorder->OnWrap();
}

HRESULT STDMETHODCALLTYPE WrapSurface3::QueryInterface(REFIID riid, void** ppvObject)
{
    HRESULT hr;
    if (m_recorder->ShouldFail(m_label, "IDirectDrawSurface3::QueryInterface", &hr))
        return hr;
    hr = m_real->QueryInterface(riid, ppvObject);
    if (SUCCEEDED(hr) && *ppvObject)
        *ppvObject = m_recorder->WrapQueried(riid, static_cast<IUnknown*>(*ppvObject), m_label);
    return hr;
}

ULONG STDMETHODCALLTYPE WrapSurface3::AddRef()
{
    m_recorder->OnAddRef();
    ++m_refs;
    return m_real->AddRef();
}

ULONG STDMETHODCALLTYPE WrapSurface3::Release()
{
    m_recorder->OnRelease(m_label);
    ULONG left = m_real->Release();
    if (--m_refs == 0)
        delete this;
    return left;
}

HRESULT STDMETHODCALLTYPE WrapSurface3::AddAttachedSurface(LPDIRECTDRAWSURFACE3 lpDDSAttachedSurface)
{
    HRESULT hr;
    if (m_recorder->ShouldFail(m_label, "IDirectDrawSurface3::AddAttachedSurface", &hr))
        return hr;
    hr = m_real->AddAttachedSurface(lpDDSAttachedSurface ? static_cast<WrapSurface3*>(lpDDSAttachedSurface)->Real() : nullptr);
    return hr;
}

HRESULT STDMETHODCALLTYPE WrapSurface3::AddOverlayDirtyRect(LPRECT lpRect)
{
    HRESULT hr;
    if (m_recorder->ShouldFail(m_label, "IDirectDrawSurface3::AddOverlayDirtyRect", &hr))
        return hr;
    hr = m_real->AddOverlayDirtyRect(lpRect);
    return hr;
}

HRESULT STDMETHODCALLTYPE WrapSurface3::Blt(LPRECT lpDestRect, LPDIRECTDRAWSURFACE3 lpDDSrcSurface, LPRECT lpSrcRect, DWORD dwFlags, LPDDBLTFX lpDDBltFx)
{
    HRESULT hr;
    if (m_recorder->ShouldFail(m_label, "IDirectDrawSurface3::Blt", &hr))
        return hr;
    m_recorder->EnterBlt();
    hr = m_real->Blt(lpDestRect, lpDDSrcSurface ? static_cast<WrapSurface3*>(lpDDSrcSurface)->Real() : nullptr, lpSrcRect, dwFlags, lpDDBltFx);
    m_recorder->LeaveBlt();
    return hr;
}

HRESULT STDMETHODCALLTYPE WrapSurface3::BltBatch(LPDDBLTBATCH lpDDBltBatch, DWORD dwCount, DWORD dwFlags)
{
    HRESULT hr;
    if (m_recorder->ShouldFail(m_label, "IDirectDrawSurface3::BltBatch", &hr))
        return hr;
    hr = m_real->BltBatch(lpDDBltBatch, dwCount, dwFlags);
    return hr;
}

HRESULT STDMETHODCALLTYPE WrapSurface3::BltFast(DWORD dwX, DWORD dwY, LPDIRECTDRAWSURFACE3 lpDDSrcSurface, LPRECT lpSrcRect, DWORD dwTrans)
{
    HRESULT hr;
    if (m_recorder->ShouldFail(m_label, "IDirectDrawSurface3::BltFast", &hr))
        return hr;
    hr = m_real->BltFast(dwX, dwY, lpDDSrcSurface ? static_cast<WrapSurface3*>(lpDDSrcSurface)->Real() : nullptr, lpSrcRect, dwTrans);
    return hr;
}

HRESULT STDMETHODCALLTYPE WrapSurface3::DeleteAttachedSurface(DWORD dwFlags, LPDIRECTDRAWSURFACE3 lpDDSAttachedSurface)
{
    HRESULT hr;
    if (m_recorder->ShouldFail(m_label, "IDirectDrawSurface3::DeleteAttachedSurface", &hr))
        return hr;
    hr = m_real->DeleteAttachedSurface(dwFlags, lpDDSAttachedSurface ? static_cast<WrapSurface3*>(lpDDSAttachedSurface)->Real() : nullptr);
    return hr;
}

HRESULT STDMETHODCALLTYPE WrapSurface3::EnumAttachedSurfaces(LPVOID lpContext, LPDDENUMSURFACESCALLBACK lpEnumSurfacesCallback)
{
    HRESULT hr;
    if (m_recorder->ShouldFail(m_label, "IDirectDrawSurface3::EnumAttachedSurfaces", &hr))
        return hr;
    hr = m_real->EnumAttachedSurfaces(lpContext, lpEnumSurfacesCallback);
    return hr;
}

HRESULT STDMETHODCALLTYPE WrapSurface3::EnumOverlayZOrders(DWORD dwFlags, LPVOID lpContext, LPDDENUMSURFACESCALLBACK lpfnCallback)
{
    HRESULT hr;
    if (m_recorder->ShouldFail(m_label, "IDirectDrawSurface3::EnumOverlayZOrders", &hr))
        return hr;
    hr = m_real->EnumOverlayZOrders(dwFlags, lpContext, lpfnCallback);
    return hr;
}

HRESULT STDMETHODCALLTYPE WrapSurface3::Flip(LPDIRECTDRAWSURFACE3 lpDDSurfaceTargetOverride, DWORD dwFlags)
{
    HRESULT hr;
    if (m_recorder->ShouldFail(m_label, "IDirectDrawSurface3::Flip", &hr))
        return hr;
    hr = m_real->Flip(lpDDSurfaceTargetOverride ? static_cast<WrapSurface3*>(lpDDSurfaceTargetOverride)->Real() : nullptr, dwFlags);
    return hr;
}

HRESULT STDMETHODCALLTYPE WrapSurface3::GetAttachedSurface(LPDDSCAPS lpDDSCaps, LPDIRECTDRAWSURFACE3 * lplpDDAttachedSurface)
{
    HRESULT hr;
    if (m_recorder->ShouldFail(m_label, "IDirectDrawSurface3::GetAttachedSurface", &hr))
        return hr;
    hr = m_real->GetAttachedSurface(lpDDSCaps, lplpDDAttachedSurface);
    if (SUCCEEDED(hr) && *lplpDDAttachedSurface)
        *lplpDDAttachedSurface = new WrapSurface3(*lplpDDAttachedSurface, m_recorder, "backbuffer");
    return hr;
}

HRESULT STDMETHODCALLTYPE WrapSurface3::GetBltStatus(DWORD dwFlags)
{
    HRESULT hr;
    if (m_recorder->ShouldFail(m_label, "IDirectDrawSurface3::GetBltStatus", &hr))
        return hr;
    hr = m_real->GetBltStatus(dwFlags);
    return hr;
}

HRESULT STDMETHODCALLTYPE WrapSurface3::GetCaps(LPDDSCAPS lpDDSCaps)
{
    HRESULT hr;
    if (m_recorder->ShouldFail(m_label, "IDirectDrawSurface3::GetCaps", &hr))
        return hr;
    hr = m_real->GetCaps(lpDDSCaps);
    return hr;
}

HRESULT STDMETHODCALLTYPE WrapSurface3::GetClipper(LPDIRECTDRAWCLIPPER * lplpDDClipper)
{
    HRESULT hr;
    if (m_recorder->ShouldFail(m_label, "IDirectDrawSurface3::GetClipper", &hr))
        return hr;
    hr = m_real->GetClipper(lplpDDClipper);
    return hr;
}

HRESULT STDMETHODCALLTYPE WrapSurface3::GetColorKey(DWORD dwFlags, LPDDCOLORKEY lpDDColorKey)
{
    HRESULT hr;
    if (m_recorder->ShouldFail(m_label, "IDirectDrawSurface3::GetColorKey", &hr))
        return hr;
    hr = m_real->GetColorKey(dwFlags, lpDDColorKey);
    return hr;
}

HRESULT STDMETHODCALLTYPE WrapSurface3::GetDC(HDC * lphDC)
{
    HRESULT hr;
    if (m_recorder->ShouldFail(m_label, "IDirectDrawSurface3::GetDC", &hr))
        return hr;
    hr = m_real->GetDC(lphDC);
    return hr;
}

HRESULT STDMETHODCALLTYPE WrapSurface3::GetFlipStatus(DWORD dwFlags)
{
    HRESULT hr;
    if (m_recorder->ShouldFail(m_label, "IDirectDrawSurface3::GetFlipStatus", &hr))
        return hr;
    hr = m_real->GetFlipStatus(dwFlags);
    return hr;
}

HRESULT STDMETHODCALLTYPE WrapSurface3::GetOverlayPosition(LPLONG lplX, LPLONG lplY)
{
    HRESULT hr;
    if (m_recorder->ShouldFail(m_label, "IDirectDrawSurface3::GetOverlayPosition", &hr))
        return hr;
    hr = m_real->GetOverlayPosition(lplX, lplY);
    return hr;
}

HRESULT STDMETHODCALLTYPE WrapSurface3::GetPalette(LPDIRECTDRAWPALETTE * lplpDDPalette)
{
    HRESULT hr;
    if (m_recorder->ShouldFail(m_label, "IDirectDrawSurface3::GetPalette", &hr))
        return hr;
    hr = m_real->GetPalette(lplpDDPalette);
    return hr;
}

HRESULT STDMETHODCALLTYPE WrapSurface3::GetPixelFormat(LPDDPIXELFORMAT lpDDPixelFormat)
{
    HRESULT hr;
    if (m_recorder->ShouldFail(m_label, "IDirectDrawSurface3::GetPixelFormat", &hr))
        return hr;
    hr = m_real->GetPixelFormat(lpDDPixelFormat);
    return hr;
}

HRESULT STDMETHODCALLTYPE WrapSurface3::GetSurfaceDesc(LPDDSURFACEDESC lpDDSurfaceDesc)
{
    HRESULT hr;
    if (m_recorder->ShouldFail(m_label, "IDirectDrawSurface3::GetSurfaceDesc", &hr))
        return hr;
    hr = m_real->GetSurfaceDesc(lpDDSurfaceDesc);
    return hr;
}

HRESULT STDMETHODCALLTYPE WrapSurface3::Initialize(LPDIRECTDRAW lpDD, LPDDSURFACEDESC lpDDSurfaceDesc)
{
    HRESULT hr;
    if (m_recorder->ShouldFail(m_label, "IDirectDrawSurface3::Initialize", &hr))
        return hr;
    hr = m_real->Initialize(lpDD, lpDDSurfaceDesc);
    return hr;
}

HRESULT STDMETHODCALLTYPE WrapSurface3::IsLost()
{
    HRESULT hr;
    if (m_recorder->ShouldFail(m_label, "IDirectDrawSurface3::IsLost", &hr))
        return hr;
    hr = m_real->IsLost();
    return hr;
}

HRESULT STDMETHODCALLTYPE WrapSurface3::Lock(LPRECT lpDestRect, LPDDSURFACEDESC lpDDSurfaceDesc, DWORD dwFlags, HANDLE hEvent)
{
    HRESULT hr;
    if (m_recorder->ShouldFail(m_label, "IDirectDrawSurface3::Lock", &hr))
        return hr;
    hr = m_real->Lock(lpDestRect, lpDDSurfaceDesc, dwFlags, hEvent);
    return hr;
}

HRESULT STDMETHODCALLTYPE WrapSurface3::ReleaseDC(HDC hDC)
{
    HRESULT hr;
    if (m_recorder->ShouldFail(m_label, "IDirectDrawSurface3::ReleaseDC", &hr))
        return hr;
    hr = m_real->ReleaseDC(hDC);
    return hr;
}

HRESULT STDMETHODCALLTYPE WrapSurface3::Restore()
{
    HRESULT hr;
    if (m_recorder->ShouldFail(m_label, "IDirectDrawSurface3::Restore", &hr))
        return hr;
    hr = m_real->Restore();
    return hr;
}

HRESULT STDMETHODCALLTYPE WrapSurface3::SetClipper(LPDIRECTDRAWCLIPPER lpDDClipper)
{
    HRESULT hr;
    if (m_recorder->ShouldFail(m_label, "IDirectDrawSurface3::SetClipper", &hr))
        return hr;
    hr = m_real->SetClipper(lpDDClipper ? static_cast<WrapClipper*>(lpDDClipper)->Real() : nullptr);
    if (SUCCEEDED(hr))
        m_recorder->clippers.push_back(m_label + (lpDDClipper ? " set" : " cleared"));
    return hr;
}

HRESULT STDMETHODCALLTYPE WrapSurface3::SetColorKey(DWORD dwFlags, LPDDCOLORKEY lpDDColorKey)
{
    HRESULT hr;
    if (m_recorder->ShouldFail(m_label, "IDirectDrawSurface3::SetColorKey", &hr))
        return hr;
    hr = m_real->SetColorKey(dwFlags, lpDDColorKey);
    return hr;
}

HRESULT STDMETHODCALLTYPE WrapSurface3::SetOverlayPosition(LONG lX, LONG lY)
{
    HRESULT hr;
    if (m_recorder->ShouldFail(m_label, "IDirectDrawSurface3::SetOverlayPosition", &hr))
        return hr;
    hr = m_real->SetOverlayPosition(lX, lY);
    return hr;
}

HRESULT STDMETHODCALLTYPE WrapSurface3::SetPalette(LPDIRECTDRAWPALETTE lpDDPalette)
{
    HRESULT hr;
    if (m_recorder->ShouldFail(m_label, "IDirectDrawSurface3::SetPalette", &hr))
        return hr;
    hr = m_real->SetPalette(lpDDPalette);
    return hr;
}

HRESULT STDMETHODCALLTYPE WrapSurface3::Unlock(LPVOID lpSurfaceData)
{
    HRESULT hr;
    if (m_recorder->ShouldFail(m_label, "IDirectDrawSurface3::Unlock", &hr))
        return hr;
    hr = m_real->Unlock(lpSurfaceData);
    return hr;
}

HRESULT STDMETHODCALLTYPE WrapSurface3::UpdateOverlay(LPRECT lpSrcRect, LPDIRECTDRAWSURFACE3 lpDDDestSurface, LPRECT lpDestRect, DWORD dwFlags, LPDDOVERLAYFX lpDDOverlayFx)
{
    HRESULT hr;
    if (m_recorder->ShouldFail(m_label, "IDirectDrawSurface3::UpdateOverlay", &hr))
        return hr;
    hr = m_real->UpdateOverlay(lpSrcRect, lpDDDestSurface ? static_cast<WrapSurface3*>(lpDDDestSurface)->Real() : nullptr, lpDestRect, dwFlags, lpDDOverlayFx);
    return hr;
}

HRESULT STDMETHODCALLTYPE WrapSurface3::UpdateOverlayDisplay(DWORD dwFlags)
{
    HRESULT hr;
    if (m_recorder->ShouldFail(m_label, "IDirectDrawSurface3::UpdateOverlayDisplay", &hr))
        return hr;
    hr = m_real->UpdateOverlayDisplay(dwFlags);
    return hr;
}

HRESULT STDMETHODCALLTYPE WrapSurface3::UpdateOverlayZOrder(DWORD dwFlags, LPDIRECTDRAWSURFACE3 lpDDSReference)
{
    HRESULT hr;
    if (m_recorder->ShouldFail(m_label, "IDirectDrawSurface3::UpdateOverlayZOrder", &hr))
        return hr;
    hr = m_real->UpdateOverlayZOrder(dwFlags, lpDDSReference ? static_cast<WrapSurface3*>(lpDDSReference)->Real() : nullptr);
    return hr;
}

HRESULT STDMETHODCALLTYPE WrapSurface3::GetDDInterface(LPVOID * lplpDD)
{
    HRESULT hr;
    if (m_recorder->ShouldFail(m_label, "IDirectDrawSurface3::GetDDInterface", &hr))
        return hr;
    hr = m_real->GetDDInterface(lplpDD);
    return hr;
}

HRESULT STDMETHODCALLTYPE WrapSurface3::PageLock(DWORD dwFlags)
{
    HRESULT hr;
    if (m_recorder->ShouldFail(m_label, "IDirectDrawSurface3::PageLock", &hr))
        return hr;
    hr = m_real->PageLock(dwFlags);
    return hr;
}

HRESULT STDMETHODCALLTYPE WrapSurface3::PageUnlock(DWORD dwFlags)
{
    HRESULT hr;
    if (m_recorder->ShouldFail(m_label, "IDirectDrawSurface3::PageUnlock", &hr))
        return hr;
    hr = m_real->PageUnlock(dwFlags);
    return hr;
}

HRESULT STDMETHODCALLTYPE WrapSurface3::SetSurfaceDesc(LPDDSURFACEDESC lpDDSD, DWORD dwFlags)
{
    HRESULT hr;
    if (m_recorder->ShouldFail(m_label, "IDirectDrawSurface3::SetSurfaceDesc", &hr))
        return hr;
    hr = m_real->SetSurfaceDesc(lpDDSD, dwFlags);
    return hr;
}

WrapClipper::WrapClipper(IDirectDrawClipper* real, DDrawRecorder* recorder, const std::string& label)
    : m_real(real), m_recorder(recorder), m_label(label)
{
    m_recorder->OnWrap();
}

HRESULT STDMETHODCALLTYPE WrapClipper::QueryInterface(REFIID riid, void** ppvObject)
{
    HRESULT hr;
    if (m_recorder->ShouldFail(m_label, "IDirectDrawClipper::QueryInterface", &hr))
        return hr;
    hr = m_real->QueryInterface(riid, ppvObject);
    if (SUCCEEDED(hr) && *ppvObject)
        *ppvObject = m_recorder->WrapQueried(riid, static_cast<IUnknown*>(*ppvObject), m_label);
    return hr;
}

ULONG STDMETHODCALLTYPE WrapClipper::AddRef()
{
    m_recorder->OnAddRef();
    ++m_refs;
    return m_real->AddRef();
}

ULONG STDMETHODCALLTYPE WrapClipper::Release()
{
    m_recorder->OnRelease(m_label);
    ULONG left = m_real->Release();
    if (--m_refs == 0)
        delete this;
    return left;
}

HRESULT STDMETHODCALLTYPE WrapClipper::GetClipList(LPRECT lpRect, LPRGNDATA lpClipList, LPDWORD lpdwSize)
{
    HRESULT hr;
    if (m_recorder->ShouldFail(m_label, "IDirectDrawClipper::GetClipList", &hr))
        return hr;
    hr = m_real->GetClipList(lpRect, lpClipList, lpdwSize);
    return hr;
}

HRESULT STDMETHODCALLTYPE WrapClipper::GetHWnd(HWND * lphWnd)
{
    HRESULT hr;
    if (m_recorder->ShouldFail(m_label, "IDirectDrawClipper::GetHWnd", &hr))
        return hr;
    hr = m_real->GetHWnd(lphWnd);
    return hr;
}

HRESULT STDMETHODCALLTYPE WrapClipper::Initialize(LPDIRECTDRAW lpDD, DWORD dwFlags)
{
    HRESULT hr;
    if (m_recorder->ShouldFail(m_label, "IDirectDrawClipper::Initialize", &hr))
        return hr;
    hr = m_real->Initialize(lpDD, dwFlags);
    return hr;
}

HRESULT STDMETHODCALLTYPE WrapClipper::IsClipListChanged(WINBOOL * lpbChanged)
{
    HRESULT hr;
    if (m_recorder->ShouldFail(m_label, "IDirectDrawClipper::IsClipListChanged", &hr))
        return hr;
    hr = m_real->IsClipListChanged(lpbChanged);
    return hr;
}

HRESULT STDMETHODCALLTYPE WrapClipper::SetClipList(LPRGNDATA lpClipList, DWORD dwFlags)
{
    HRESULT hr;
    if (m_recorder->ShouldFail(m_label, "IDirectDrawClipper::SetClipList", &hr))
        return hr;
    hr = m_real->SetClipList(lpClipList, dwFlags);
    return hr;
}

HRESULT STDMETHODCALLTYPE WrapClipper::SetHWnd(DWORD dwFlags, HWND hWnd)
{
    HRESULT hr;
    if (m_recorder->ShouldFail(m_label, "IDirectDrawClipper::SetHWnd", &hr))
        return hr;
    hr = m_real->SetHWnd(dwFlags, hWnd);
    return hr;
}
