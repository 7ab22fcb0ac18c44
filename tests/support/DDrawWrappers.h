// Thin forwarding wrappers around the real DirectDraw interfaces: every call
// reaches Wine's DirectDraw, except the one chosen call a test makes fail
// with a chosen result. The recorder keeps the order of releases and counts
// the references the program holds through the wrappers. The forwarding is
// generated from one list of methods per interface; only the calls that hand
// out new objects or are recorded are written out.
#pragma once

#include "display/DisplayPlatform.h"
#include "support/DDrawMethods.h"

#include <ddraw.h>

#include <atomic>
#include <iterator>
#include <map>
#include <mutex>
#include <string>
#include <utility>
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

    bool ShouldFail(const std::string& call, HRESULT* hr);
    void OnWrap(const char* name, const std::string& label, void* object)
    {
        std::lock_guard<std::mutex> lock(m_lock);
        ++m_references;
        m_held[{ name, label }] = object;
    }
    void OnGone(void* object)
    {
        std::lock_guard<std::mutex> lock(m_lock);
        for (auto it = m_held.begin(); it != m_held.end();)
            it = it->second == object ? m_held.erase(it) : std::next(it);
    }
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

    // What the program made through the wrappers and still holds, the newest
    // of each label, borrowed: the surfaces it composes on and shows, its
    // DirectDraw object and clipper, seen where the platform sees them.
    IDirectDrawSurface3* Surface(const std::string& label)
    {
        return static_cast<IDirectDrawSurface3*>(Held("IDirectDrawSurface3", label));
    }
    IDirectDraw2* DirectDraw() { return static_cast<IDirectDraw2*>(Held("IDirectDraw2", "IDirectDraw2")); }
    IDirectDrawClipper* Clipper() { return static_cast<IDirectDrawClipper*>(Held("IDirectDrawClipper", "clipper")); }

    std::vector<std::string> releases;   // labels, in order of release
    std::vector<std::string> clippers;   // "label set" / "label cleared"
    std::map<std::string, int> calls;    // how often each method was called

private:
    void* Held(const char* name, const std::string& label)
    {
        std::lock_guard<std::mutex> lock(m_lock);
        auto it = m_held.find({ name, label });
        return it == m_held.end() ? nullptr : it->second;
    }

    std::map<std::pair<std::string, std::string>, void*> m_held;  // by interface and label
    std::string m_failCall;
    HRESULT m_failResult = S_OK;
    int m_failOccurrence = 1;
    std::atomic<int> m_references{ 0 };
    std::atomic<int> m_bltsInFlight{ 0 };
    std::mutex m_lock;
};

// The real display platform but for DirectDraw, whose objects come wrapped
// and recorded by the recorder while this lives. A test gives platform to
// the windows it makes, after changing more of it if it likes.
class DDrawWrapGuard {
public:
    explicit DDrawWrapGuard(DDrawRecorder* recorder);
    ~DDrawWrapGuard();
    DDrawWrapGuard(const DDrawWrapGuard&) = delete;
    DDrawWrapGuard& operator=(const DDrawWrapGuard&) = delete;

    DisplayPlatform platform;
};

// The recorder's label of an off-screen surface of that size.
std::string OffscreenLabel(int width, int height);

// Wrapped objects given to the real DirectDraw are given as the real ones.
class WrapSurface;
class WrapSurface3;
class WrapClipper;
IDirectDrawSurface* Unwrap(IDirectDrawSurface* surface);
IDirectDrawSurface3* Unwrap(IDirectDrawSurface3* surface);
IDirectDrawClipper* Unwrap(IDirectDrawClipper* clipper);
template <class T>
T Unwrap(T value)
{
    return value;
}

// What every wrapper does: count references through the recorder, wrap the
// interfaces queried from it, and forward a call unless it is the one to fail.
template <class I>
class Wrapper : public I {
public:
    Wrapper(I* real, DDrawRecorder* recorder, std::string label, const char* name)
        : m_real(real), m_recorder(recorder), m_label(std::move(label)), m_name(name)
    {
        m_recorder->OnWrap(name, m_label, static_cast<I*>(this));
    }
    I* Real() const { return m_real; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppvObject) override
    {
        HRESULT hr;
        if (Fails("QueryInterface", &hr))
            return hr;
        hr = m_real->QueryInterface(riid, ppvObject);
        if (SUCCEEDED(hr) && *ppvObject)
            *ppvObject = m_recorder->WrapQueried(riid, static_cast<IUnknown*>(*ppvObject), m_label);
        return hr;
    }
    ULONG STDMETHODCALLTYPE AddRef() override
    {
        m_recorder->OnAddRef();
        ++m_refs;
        return m_real->AddRef();
    }
    ULONG STDMETHODCALLTYPE Release() override
    {
        m_recorder->OnRelease(m_label);
        ULONG left = m_real->Release();
        if (--m_refs == 0) {
            m_recorder->OnGone(static_cast<I*>(this));
            delete this;
        }
        return left;
    }

protected:
    virtual ~Wrapper() = default;

    bool Fails(const char* method, HRESULT* hr)
    {
        return m_recorder->ShouldFail(std::string(m_name) + "::" + method, hr);
    }
    template <class Method, class... Args>
    HRESULT Forward(const char* method, Method fn, Args... args)
    {
        HRESULT hr;
        if (Fails(method, &hr))
            return hr;
        return (m_real->*fn)(Unwrap(args)...);
    }

    I* m_real;
    DDrawRecorder* m_recorder;
    std::string m_label;
    const char* m_name;  // the interface's, for the recorder's "Interface::Method"
    LONG m_refs = 1;
};

#define DDW_ARGS(...) __VA_OPT__(, ) __VA_ARGS__
// One method that only forwards: name, (parameters), (arguments).
#define DDW_FORWARD(name, params, args) \
    HRESULT STDMETHODCALLTYPE name params override { return this->Forward(#name, &Interface::name DDW_ARGS args); }

// The objects a DirectDraw object makes come out wrapped.
template <class I>
class DirectDrawWrapper : public Wrapper<I> {
public:
    using Interface = I;
    using Wrapper<I>::Wrapper;
    HRESULT STDMETHODCALLTYPE CreateClipper(DWORD f, LPDIRECTDRAWCLIPPER* c, IUnknown* o) override;
    HRESULT STDMETHODCALLTYPE CreateSurface(LPDDSURFACEDESC d, LPDIRECTDRAWSURFACE* s, IUnknown* o) override;
    DDW_DIRECTDRAW_METHODS(DDW_FORWARD)
};

class WrapDirectDraw : public DirectDrawWrapper<IDirectDraw> {
public:
    WrapDirectDraw(IDirectDraw* real, DDrawRecorder* recorder, const std::string& label)
        : DirectDrawWrapper(real, recorder, label, "IDirectDraw") {}
    DDW_FORWARD(SetDisplayMode, (DWORD w, DWORD h, DWORD bpp), (w, h, bpp))
};

class WrapDirectDraw2 : public DirectDrawWrapper<IDirectDraw2> {
public:
    WrapDirectDraw2(IDirectDraw2* real, DDrawRecorder* recorder, const std::string& label)
        : DirectDrawWrapper(real, recorder, label, "IDirectDraw2") {}
    DDW_FORWARD(SetDisplayMode, (DWORD w, DWORD h, DWORD bpp, DWORD rate, DWORD f), (w, h, bpp, rate, f))
    DDW_FORWARD(GetAvailableVidMem, (LPDDSCAPS c, LPDWORD total, LPDWORD free), (c, total, free))
};

// A surface's attached surface comes out wrapped, its clipper changes are
// recorded, and its blits are watched for overlapping compositions.
template <class I, class Self>
class SurfaceWrapper : public Wrapper<I> {
public:
    using Interface = I;
    using Wrapper<I>::Wrapper;
    HRESULT STDMETHODCALLTYPE Blt(LPRECT d, I* s, LPRECT r, DWORD f, LPDDBLTFX fx) override
    {
        HRESULT hr;
        if (this->Fails("Blt", &hr))
            return hr;
        this->m_recorder->EnterBlt();
        hr = this->m_real->Blt(d, Unwrap(s), r, f, fx);
        this->m_recorder->LeaveBlt();
        return hr;
    }
    HRESULT STDMETHODCALLTYPE GetAttachedSurface(LPDDSCAPS c, I** s) override
    {
        HRESULT hr;
        if (this->Fails("GetAttachedSurface", &hr))
            return hr;
        hr = this->m_real->GetAttachedSurface(c, s);
        if (SUCCEEDED(hr) && *s)
            *s = new Self(*s, this->m_recorder, "backbuffer");
        return hr;
    }
    HRESULT STDMETHODCALLTYPE SetClipper(LPDIRECTDRAWCLIPPER c) override
    {
        HRESULT hr = this->Forward("SetClipper", &I::SetClipper, c);
        if (SUCCEEDED(hr))
            this->m_recorder->clippers.push_back(this->m_label + (c ? " set" : " cleared"));
        return hr;
    }
    DDW_SURFACE_METHODS(DDW_FORWARD, I)
};

class WrapSurface : public SurfaceWrapper<IDirectDrawSurface, WrapSurface> {
public:
    WrapSurface(IDirectDrawSurface* real, DDrawRecorder* recorder, const std::string& label)
        : SurfaceWrapper(real, recorder, label, "IDirectDrawSurface") {}
};

class WrapSurface3 : public SurfaceWrapper<IDirectDrawSurface3, WrapSurface3> {
public:
    WrapSurface3(IDirectDrawSurface3* real, DDrawRecorder* recorder, const std::string& label)
        : SurfaceWrapper(real, recorder, label, "IDirectDrawSurface3") {}
    DDW_FORWARD(GetDDInterface, (LPVOID* dd), (dd))
    DDW_FORWARD(PageLock, (DWORD f), (f))
    DDW_FORWARD(PageUnlock, (DWORD f), (f))
    DDW_FORWARD(SetSurfaceDesc, (LPDDSURFACEDESC d, DWORD f), (d, f))
};

class WrapClipper : public Wrapper<IDirectDrawClipper> {
public:
    using Interface = IDirectDrawClipper;
    WrapClipper(IDirectDrawClipper* real, DDrawRecorder* recorder, const std::string& label)
        : Wrapper(real, recorder, label, "IDirectDrawClipper") {}
    DDW_FORWARD(GetClipList, (LPRECT r, LPRGNDATA list, LPDWORD size), (r, list, size))
    DDW_FORWARD(GetHWnd, (HWND* w), (w))
    DDW_FORWARD(Initialize, (LPDIRECTDRAW dd, DWORD f), (dd, f))
    DDW_FORWARD(IsClipListChanged, (WINBOOL* changed), (changed))
    DDW_FORWARD(SetClipList, (LPRGNDATA list, DWORD f), (list, f))
    DDW_FORWARD(SetHWnd, (DWORD f, HWND w), (f, w))
};

template <class I>
HRESULT STDMETHODCALLTYPE DirectDrawWrapper<I>::CreateClipper(DWORD f, LPDIRECTDRAWCLIPPER* c, IUnknown* o)
{
    HRESULT hr = this->Forward("CreateClipper", &I::CreateClipper, f, c, o);
    if (SUCCEEDED(hr) && *c)
        *c = new WrapClipper(*c, this->m_recorder, "clipper");
    return hr;
}

template <class I>
HRESULT STDMETHODCALLTYPE DirectDrawWrapper<I>::CreateSurface(LPDDSURFACEDESC d, LPDIRECTDRAWSURFACE* s, IUnknown* o)
{
    HRESULT hr = this->Forward("CreateSurface", &I::CreateSurface, d, s, o);
    if (SUCCEEDED(hr) && *s)
        *s = new WrapSurface(*s, this->m_recorder, this->m_recorder->SurfaceLabel(d));
    return hr;
}

#undef DDW_FORWARD
#undef DDW_ARGS
