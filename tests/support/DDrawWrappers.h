// Thin forwarding wrappers around the real DirectDraw interfaces: every call
// reaches Wine's DirectDraw, except the one chosen call a test makes fail
// with a chosen result. The recorder keeps the order of releases and counts
// the references the program holds through the wrappers.
#pragma once

#include <ddraw.h>

#include <atomic>
#include <map>
#include <mutex>
#include <string>
#include <vector>

class DDrawRecorder {
public:
    // Fail the n-th call (counting from 1) of "Interface::Method".
    // occurrence 0: every call fails.
    void FailCall(const std::string& call, HRESULT result, int occurrence = 1)
    {
        m_failCall = call;
        m_failResult = result;
        m_failOccurrence = occurrence;
    }

    bool ShouldFail(const std::string& label, const char* call, HRESULT* hr);
    void OnWrap() { ++m_references; }
    void OnAddRef() { ++m_references; }
    void OnRelease(const std::string& label)
    {
        std::lock_guard<std::mutex> lock(m_lock);
        --m_references;
        releases.push_back(label);
    }
    // Blits in progress at once, on any surface: more than one means two
    // compositions overlapped.
    void EnterBlt()
    {
        if (++m_bltsInFlight > 1)
            overlapped = true;
    }
    void LeaveBlt() { --m_bltsInFlight; }
    int Calls(const std::string& call)
    {
        std::lock_guard<std::mutex> lock(m_lock);
        return calls[call];
    }
    std::atomic<bool> overlapped{ false };
    void* WrapQueried(REFIID riid, IUnknown* object, const std::string& label);
    std::string SurfaceLabel(const DDSURFACEDESC* desc) const;

    int References() const { return m_references; }

    std::vector<std::string> releases;   // labels, in order of release
    std::vector<std::string> clippers;   // "label set" / "label cleared"
    std::map<std::string, int> calls;    // how often each method was called

private:
    std::string m_failCall;
    HRESULT m_failResult = S_OK;
    int m_failOccurrence = 1;
    std::atomic<int> m_references{ 0 };
    std::atomic<int> m_bltsInFlight{ 0 };
    std::mutex m_lock;
};

// Installs wrappers around the DirectDraw objects the display creates while
// the guard lives (through the display's DirectDrawCreate entry point).
class DDrawWrapGuard {
public:
    explicit DDrawWrapGuard(DDrawRecorder* recorder);
    ~DDrawWrapGuard();
    DDrawWrapGuard(const DDrawWrapGuard&) = delete;
    DDrawWrapGuard& operator=(const DDrawWrapGuard&) = delete;

private:
    HRESULT (WINAPI* m_savedCreate)(GUID*, LPDIRECTDRAW*, IUnknown*);
};

class WrapDirectDraw : public IDirectDraw {
public:
    WrapDirectDraw(IDirectDraw* real, DDrawRecorder* recorder, const std::string& label);
    IDirectDraw* Real() const { return m_real; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppvObject) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE Compact() override;
    HRESULT STDMETHODCALLTYPE CreateClipper(DWORD dwFlags, LPDIRECTDRAWCLIPPER * lplpDDClipper, IUnknown * pUnkOuter) override;
    HRESULT STDMETHODCALLTYPE CreatePalette(DWORD dwFlags, LPPALETTEENTRY lpColorTable, LPDIRECTDRAWPALETTE * lplpDDPalette, IUnknown * pUnkOuter) override;
    HRESULT STDMETHODCALLTYPE CreateSurface(LPDDSURFACEDESC lpDDSurfaceDesc, LPDIRECTDRAWSURFACE * lplpDDSurface, IUnknown * pUnkOuter) override;
    HRESULT STDMETHODCALLTYPE DuplicateSurface(LPDIRECTDRAWSURFACE lpDDSurface, LPDIRECTDRAWSURFACE * lplpDupDDSurface) override;
    HRESULT STDMETHODCALLTYPE EnumDisplayModes(DWORD dwFlags, LPDDSURFACEDESC lpDDSurfaceDesc, LPVOID lpContext, LPDDENUMMODESCALLBACK lpEnumModesCallback) override;
    HRESULT STDMETHODCALLTYPE EnumSurfaces(DWORD dwFlags, LPDDSURFACEDESC lpDDSD, LPVOID lpContext, LPDDENUMSURFACESCALLBACK lpEnumSurfacesCallback) override;
    HRESULT STDMETHODCALLTYPE FlipToGDISurface() override;
    HRESULT STDMETHODCALLTYPE GetCaps(LPDDCAPS lpDDDriverCaps, LPDDCAPS lpDDHELCaps) override;
    HRESULT STDMETHODCALLTYPE GetDisplayMode(LPDDSURFACEDESC lpDDSurfaceDesc) override;
    HRESULT STDMETHODCALLTYPE GetFourCCCodes(LPDWORD lpNumCodes, LPDWORD lpCodes) override;
    HRESULT STDMETHODCALLTYPE GetGDISurface(LPDIRECTDRAWSURFACE * lplpGDIDDSurface) override;
    HRESULT STDMETHODCALLTYPE GetMonitorFrequency(LPDWORD lpdwFrequency) override;
    HRESULT STDMETHODCALLTYPE GetScanLine(LPDWORD lpdwScanLine) override;
    HRESULT STDMETHODCALLTYPE GetVerticalBlankStatus(WINBOOL * lpbIsInVB) override;
    HRESULT STDMETHODCALLTYPE Initialize(GUID * lpGUID) override;
    HRESULT STDMETHODCALLTYPE RestoreDisplayMode() override;
    HRESULT STDMETHODCALLTYPE SetCooperativeLevel(HWND hWnd, DWORD dwFlags) override;
    HRESULT STDMETHODCALLTYPE SetDisplayMode(DWORD dwWidth, DWORD dwHeight, DWORD dwBPP) override;
    HRESULT STDMETHODCALLTYPE WaitForVerticalBlank(DWORD dwFlags, HANDLE hEvent) override;
private:
    virtual ~WrapDirectDraw() = default;
    IDirectDraw* m_real;
    DDrawRecorder* m_recorder;
    std::string m_label;
    LONG m_refs = 1;
};

class WrapDirectDraw2 : public IDirectDraw2 {
public:
    WrapDirectDraw2(IDirectDraw2* real, DDrawRecorder* recorder, const std::string& label);
    IDirectDraw2* Real() const { return m_real; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppvObject) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE Compact() override;
    HRESULT STDMETHODCALLTYPE CreateClipper(DWORD dwFlags, LPDIRECTDRAWCLIPPER * lplpDDClipper, IUnknown * pUnkOuter) override;
    HRESULT STDMETHODCALLTYPE CreatePalette(DWORD dwFlags, LPPALETTEENTRY lpColorTable, LPDIRECTDRAWPALETTE * lplpDDPalette, IUnknown * pUnkOuter) override;
    HRESULT STDMETHODCALLTYPE CreateSurface(LPDDSURFACEDESC lpDDSurfaceDesc, LPDIRECTDRAWSURFACE * lplpDDSurface, IUnknown * pUnkOuter) override;
    HRESULT STDMETHODCALLTYPE DuplicateSurface(LPDIRECTDRAWSURFACE lpDDSurface, LPDIRECTDRAWSURFACE * lplpDupDDSurface) override;
    HRESULT STDMETHODCALLTYPE EnumDisplayModes(DWORD dwFlags, LPDDSURFACEDESC lpDDSurfaceDesc, LPVOID lpContext, LPDDENUMMODESCALLBACK lpEnumModesCallback) override;
    HRESULT STDMETHODCALLTYPE EnumSurfaces(DWORD dwFlags, LPDDSURFACEDESC lpDDSD, LPVOID lpContext, LPDDENUMSURFACESCALLBACK lpEnumSurfacesCallback) override;
    HRESULT STDMETHODCALLTYPE FlipToGDISurface() override;
    HRESULT STDMETHODCALLTYPE GetCaps(LPDDCAPS lpDDDriverCaps, LPDDCAPS lpDDHELCaps) override;
    HRESULT STDMETHODCALLTYPE GetDisplayMode(LPDDSURFACEDESC lpDDSurfaceDesc) override;
    HRESULT STDMETHODCALLTYPE GetFourCCCodes(LPDWORD lpNumCodes, LPDWORD lpCodes) override;
    HRESULT STDMETHODCALLTYPE GetGDISurface(LPDIRECTDRAWSURFACE * lplpGDIDDSurface) override;
    HRESULT STDMETHODCALLTYPE GetMonitorFrequency(LPDWORD lpdwFrequency) override;
    HRESULT STDMETHODCALLTYPE GetScanLine(LPDWORD lpdwScanLine) override;
    HRESULT STDMETHODCALLTYPE GetVerticalBlankStatus(WINBOOL * lpbIsInVB) override;
    HRESULT STDMETHODCALLTYPE Initialize(GUID * lpGUID) override;
    HRESULT STDMETHODCALLTYPE RestoreDisplayMode() override;
    HRESULT STDMETHODCALLTYPE SetCooperativeLevel(HWND hWnd, DWORD dwFlags) override;
    HRESULT STDMETHODCALLTYPE SetDisplayMode(DWORD dwWidth, DWORD dwHeight, DWORD dwBPP, DWORD dwRefreshRate, DWORD dwFlags) override;
    HRESULT STDMETHODCALLTYPE WaitForVerticalBlank(DWORD dwFlags, HANDLE hEvent) override;
    HRESULT STDMETHODCALLTYPE GetAvailableVidMem(LPDDSCAPS lpDDCaps, LPDWORD lpdwTotal, LPDWORD lpdwFree) override;
private:
    virtual ~WrapDirectDraw2() = default;
    IDirectDraw2* m_real;
    DDrawRecorder* m_recorder;
    std::string m_label;
    LONG m_refs = 1;
};

class WrapSurface : public IDirectDrawSurface {
public:
    WrapSurface(IDirectDrawSurface* real, DDrawRecorder* recorder, const std::string& label);
    IDirectDrawSurface* Real() const { return m_real; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppvObject) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE AddAttachedSurface(LPDIRECTDRAWSURFACE lpDDSAttachedSurface) override;
    HRESULT STDMETHODCALLTYPE AddOverlayDirtyRect(LPRECT lpRect) override;
    HRESULT STDMETHODCALLTYPE Blt(LPRECT lpDestRect, LPDIRECTDRAWSURFACE lpDDSrcSurface, LPRECT lpSrcRect, DWORD dwFlags, LPDDBLTFX lpDDBltFx) override;
    HRESULT STDMETHODCALLTYPE BltBatch(LPDDBLTBATCH lpDDBltBatch, DWORD dwCount, DWORD dwFlags) override;
    HRESULT STDMETHODCALLTYPE BltFast(DWORD dwX, DWORD dwY, LPDIRECTDRAWSURFACE lpDDSrcSurface, LPRECT lpSrcRect, DWORD dwTrans) override;
    HRESULT STDMETHODCALLTYPE DeleteAttachedSurface(DWORD dwFlags, LPDIRECTDRAWSURFACE lpDDSAttachedSurface) override;
    HRESULT STDMETHODCALLTYPE EnumAttachedSurfaces(LPVOID lpContext, LPDDENUMSURFACESCALLBACK lpEnumSurfacesCallback) override;
    HRESULT STDMETHODCALLTYPE EnumOverlayZOrders(DWORD dwFlags, LPVOID lpContext, LPDDENUMSURFACESCALLBACK lpfnCallback) override;
    HRESULT STDMETHODCALLTYPE Flip(LPDIRECTDRAWSURFACE lpDDSurfaceTargetOverride, DWORD dwFlags) override;
    HRESULT STDMETHODCALLTYPE GetAttachedSurface(LPDDSCAPS lpDDSCaps, LPDIRECTDRAWSURFACE * lplpDDAttachedSurface) override;
    HRESULT STDMETHODCALLTYPE GetBltStatus(DWORD dwFlags) override;
    HRESULT STDMETHODCALLTYPE GetCaps(LPDDSCAPS lpDDSCaps) override;
    HRESULT STDMETHODCALLTYPE GetClipper(LPDIRECTDRAWCLIPPER * lplpDDClipper) override;
    HRESULT STDMETHODCALLTYPE GetColorKey(DWORD dwFlags, LPDDCOLORKEY lpDDColorKey) override;
    HRESULT STDMETHODCALLTYPE GetDC(HDC * lphDC) override;
    HRESULT STDMETHODCALLTYPE GetFlipStatus(DWORD dwFlags) override;
    HRESULT STDMETHODCALLTYPE GetOverlayPosition(LPLONG lplX, LPLONG lplY) override;
    HRESULT STDMETHODCALLTYPE GetPalette(LPDIRECTDRAWPALETTE * lplpDDPalette) override;
    HRESULT STDMETHODCALLTYPE GetPixelFormat(LPDDPIXELFORMAT lpDDPixelFormat) override;
    HRESULT STDMETHODCALLTYPE GetSurfaceDesc(LPDDSURFACEDESC lpDDSurfaceDesc) override;
    HRESULT STDMETHODCALLTYPE Initialize(LPDIRECTDRAW lpDD, LPDDSURFACEDESC lpDDSurfaceDesc) override;
    HRESULT STDMETHODCALLTYPE IsLost() override;
    HRESULT STDMETHODCALLTYPE Lock(LPRECT lpDestRect, LPDDSURFACEDESC lpDDSurfaceDesc, DWORD dwFlags, HANDLE hEvent) override;
    HRESULT STDMETHODCALLTYPE ReleaseDC(HDC hDC) override;
    HRESULT STDMETHODCALLTYPE Restore() override;
    HRESULT STDMETHODCALLTYPE SetClipper(LPDIRECTDRAWCLIPPER lpDDClipper) override;
    HRESULT STDMETHODCALLTYPE SetColorKey(DWORD dwFlags, LPDDCOLORKEY lpDDColorKey) override;
    HRESULT STDMETHODCALLTYPE SetOverlayPosition(LONG lX, LONG lY) override;
    HRESULT STDMETHODCALLTYPE SetPalette(LPDIRECTDRAWPALETTE lpDDPalette) override;
    HRESULT STDMETHODCALLTYPE Unlock(LPVOID lpSurfaceData) override;
    HRESULT STDMETHODCALLTYPE UpdateOverlay(LPRECT lpSrcRect, LPDIRECTDRAWSURFACE lpDDDestSurface, LPRECT lpDestRect, DWORD dwFlags, LPDDOVERLAYFX lpDDOverlayFx) override;
    HRESULT STDMETHODCALLTYPE UpdateOverlayDisplay(DWORD dwFlags) override;
    HRESULT STDMETHODCALLTYPE UpdateOverlayZOrder(DWORD dwFlags, LPDIRECTDRAWSURFACE lpDDSReference) override;
private:
    virtual ~WrapSurface() = default;
    IDirectDrawSurface* m_real;
    DDrawRecorder* m_recorder;
    std::string m_label;
    LONG m_refs = 1;
};

class WrapSurface3 : public IDirectDrawSurface3 {
public:
    WrapSurface3(IDirectDrawSurface3* real, DDrawRecorder* recorder, const std::string& label);
    IDirectDrawSurface3* Real() const { return m_real; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppvObject) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE AddAttachedSurface(LPDIRECTDRAWSURFACE3 lpDDSAttachedSurface) override;
    HRESULT STDMETHODCALLTYPE AddOverlayDirtyRect(LPRECT lpRect) override;
    HRESULT STDMETHODCALLTYPE Blt(LPRECT lpDestRect, LPDIRECTDRAWSURFACE3 lpDDSrcSurface, LPRECT lpSrcRect, DWORD dwFlags, LPDDBLTFX lpDDBltFx) override;
    HRESULT STDMETHODCALLTYPE BltBatch(LPDDBLTBATCH lpDDBltBatch, DWORD dwCount, DWORD dwFlags) override;
    HRESULT STDMETHODCALLTYPE BltFast(DWORD dwX, DWORD dwY, LPDIRECTDRAWSURFACE3 lpDDSrcSurface, LPRECT lpSrcRect, DWORD dwTrans) override;
    HRESULT STDMETHODCALLTYPE DeleteAttachedSurface(DWORD dwFlags, LPDIRECTDRAWSURFACE3 lpDDSAttachedSurface) override;
    HRESULT STDMETHODCALLTYPE EnumAttachedSurfaces(LPVOID lpContext, LPDDENUMSURFACESCALLBACK lpEnumSurfacesCallback) override;
    HRESULT STDMETHODCALLTYPE EnumOverlayZOrders(DWORD dwFlags, LPVOID lpContext, LPDDENUMSURFACESCALLBACK lpfnCallback) override;
    HRESULT STDMETHODCALLTYPE Flip(LPDIRECTDRAWSURFACE3 lpDDSurfaceTargetOverride, DWORD dwFlags) override;
    HRESULT STDMETHODCALLTYPE GetAttachedSurface(LPDDSCAPS lpDDSCaps, LPDIRECTDRAWSURFACE3 * lplpDDAttachedSurface) override;
    HRESULT STDMETHODCALLTYPE GetBltStatus(DWORD dwFlags) override;
    HRESULT STDMETHODCALLTYPE GetCaps(LPDDSCAPS lpDDSCaps) override;
    HRESULT STDMETHODCALLTYPE GetClipper(LPDIRECTDRAWCLIPPER * lplpDDClipper) override;
    HRESULT STDMETHODCALLTYPE GetColorKey(DWORD dwFlags, LPDDCOLORKEY lpDDColorKey) override;
    HRESULT STDMETHODCALLTYPE GetDC(HDC * lphDC) override;
    HRESULT STDMETHODCALLTYPE GetFlipStatus(DWORD dwFlags) override;
    HRESULT STDMETHODCALLTYPE GetOverlayPosition(LPLONG lplX, LPLONG lplY) override;
    HRESULT STDMETHODCALLTYPE GetPalette(LPDIRECTDRAWPALETTE * lplpDDPalette) override;
    HRESULT STDMETHODCALLTYPE GetPixelFormat(LPDDPIXELFORMAT lpDDPixelFormat) override;
    HRESULT STDMETHODCALLTYPE GetSurfaceDesc(LPDDSURFACEDESC lpDDSurfaceDesc) override;
    HRESULT STDMETHODCALLTYPE Initialize(LPDIRECTDRAW lpDD, LPDDSURFACEDESC lpDDSurfaceDesc) override;
    HRESULT STDMETHODCALLTYPE IsLost() override;
    HRESULT STDMETHODCALLTYPE Lock(LPRECT lpDestRect, LPDDSURFACEDESC lpDDSurfaceDesc, DWORD dwFlags, HANDLE hEvent) override;
    HRESULT STDMETHODCALLTYPE ReleaseDC(HDC hDC) override;
    HRESULT STDMETHODCALLTYPE Restore() override;
    HRESULT STDMETHODCALLTYPE SetClipper(LPDIRECTDRAWCLIPPER lpDDClipper) override;
    HRESULT STDMETHODCALLTYPE SetColorKey(DWORD dwFlags, LPDDCOLORKEY lpDDColorKey) override;
    HRESULT STDMETHODCALLTYPE SetOverlayPosition(LONG lX, LONG lY) override;
    HRESULT STDMETHODCALLTYPE SetPalette(LPDIRECTDRAWPALETTE lpDDPalette) override;
    HRESULT STDMETHODCALLTYPE Unlock(LPVOID lpSurfaceData) override;
    HRESULT STDMETHODCALLTYPE UpdateOverlay(LPRECT lpSrcRect, LPDIRECTDRAWSURFACE3 lpDDDestSurface, LPRECT lpDestRect, DWORD dwFlags, LPDDOVERLAYFX lpDDOverlayFx) override;
    HRESULT STDMETHODCALLTYPE UpdateOverlayDisplay(DWORD dwFlags) override;
    HRESULT STDMETHODCALLTYPE UpdateOverlayZOrder(DWORD dwFlags, LPDIRECTDRAWSURFACE3 lpDDSReference) override;
    HRESULT STDMETHODCALLTYPE GetDDInterface(LPVOID * lplpDD) override;
    HRESULT STDMETHODCALLTYPE PageLock(DWORD dwFlags) override;
    HRESULT STDMETHODCALLTYPE PageUnlock(DWORD dwFlags) override;
    HRESULT STDMETHODCALLTYPE SetSurfaceDesc(LPDDSURFACEDESC lpDDSD, DWORD dwFlags) override;
private:
    virtual ~WrapSurface3() = default;
    IDirectDrawSurface3* m_real;
    DDrawRecorder* m_recorder;
    std::string m_label;
    LONG m_refs = 1;
};

class WrapClipper : public IDirectDrawClipper {
public:
    WrapClipper(IDirectDrawClipper* real, DDrawRecorder* recorder, const std::string& label);
    IDirectDrawClipper* Real() const { return m_real; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppvObject) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE GetClipList(LPRECT lpRect, LPRGNDATA lpClipList, LPDWORD lpdwSize) override;
    HRESULT STDMETHODCALLTYPE GetHWnd(HWND * lphWnd) override;
    HRESULT STDMETHODCALLTYPE Initialize(LPDIRECTDRAW lpDD, DWORD dwFlags) override;
    HRESULT STDMETHODCALLTYPE IsClipListChanged(WINBOOL * lpbChanged) override;
    HRESULT STDMETHODCALLTYPE SetClipList(LPRGNDATA lpClipList, DWORD dwFlags) override;
    HRESULT STDMETHODCALLTYPE SetHWnd(DWORD dwFlags, HWND hWnd) override;
private:
    virtual ~WrapClipper() = default;
    IDirectDrawClipper* m_real;
    DDrawRecorder* m_recorder;
    std::string m_label;
    LONG m_refs = 1;
};
