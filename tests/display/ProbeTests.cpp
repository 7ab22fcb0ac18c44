// The DirectX probe on machines played through its platform seam, and once
// for real under Wine.
#include "display/DirectXProbe.h"
#include "support/DDrawMethods.h"
#include "support/Process.h"

#include <ddraw.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

typedef std::vector<std::string> Trace;

// One machine: its version answer, its libraries and how its DirectDraw
// object behaves. Every call the probe makes is traced.
struct FakeMachine {
    bool versionFails = false;
    DWORD platformId = VER_PLATFORM_WIN32_NT;
    DWORD major = 6;
    DWORD build = 7601;
    bool hasDDraw = true;
    bool hasDirectDrawCreate = true;
    bool hasDInput = true;
    bool hasDirectInputCreate = true;
    bool createFails = false;
    bool noDirectDraw2 = false;
    bool coopFails = false;
    bool surfaceFails = false;
    bool noSurface3 = false;

    Trace trace;
    int loaded = 0;
    int references = 0;
};

FakeMachine* g_machine = nullptr;
HMODULE const kDDraw = reinterpret_cast<HMODULE>(0x1000);
HMODULE const kDInput = reinterpret_cast<HMODULE>(0x2000);

// COM objects made by hand, typed as the interfaces they stand for so that
// the compiler checks every method's signature and calling convention. A
// method the probe has no business calling is traced as unexpected.
template <class I>
class FakeObject : public I {
public:
    explicit FakeObject(const char* name) : m_name(name) { ++g_machine->references; }

    ULONG STDMETHODCALLTYPE AddRef() override
    {
        ++g_machine->references;
        return static_cast<ULONG>(++m_refs);
    }
    ULONG STDMETHODCALLTYPE Release() override
    {
        --g_machine->references;
        g_machine->trace.push_back(std::string("release ") + m_name);
        LONG left = --m_refs;
        if (left == 0)
            delete this;
        return static_cast<ULONG>(left);
    }
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override
    {
        *out = Query(riid);
        return *out ? DD_OK : E_NOINTERFACE;
    }

protected:
    virtual ~FakeObject() = default;
    virtual void* Query(REFIID) { return nullptr; }
    HRESULT NotCalled(const char* method)
    {
        g_machine->trace.push_back(std::string("unexpected ") + m_name + "::" + method);
        return E_NOTIMPL;
    }

private:
    const char* m_name;
    LONG m_refs = 1;
};

#define NOT_CALLED(name, params, args) \
    HRESULT STDMETHODCALLTYPE name params override { return this->NotCalled(#name); }

class FakeSurface3 : public FakeObject<IDirectDrawSurface3> {
public:
    FakeSurface3() : FakeObject("surface3") {}
    NOT_CALLED(Blt, (LPRECT, LPDIRECTDRAWSURFACE3, LPRECT, DWORD, LPDDBLTFX), ())
    NOT_CALLED(GetAttachedSurface, (LPDDSCAPS, LPDIRECTDRAWSURFACE3*), ())
    NOT_CALLED(SetClipper, (LPDIRECTDRAWCLIPPER), ())
    NOT_CALLED(GetDDInterface, (LPVOID*), ())
    NOT_CALLED(PageLock, (DWORD), ())
    NOT_CALLED(PageUnlock, (DWORD), ())
    NOT_CALLED(SetSurfaceDesc, (LPDDSURFACEDESC, DWORD), ())
    DDW_SURFACE_METHODS(NOT_CALLED, IDirectDrawSurface3)
};

class FakeSurface : public FakeObject<IDirectDrawSurface> {
public:
    FakeSurface() : FakeObject("surface") {}
    NOT_CALLED(Blt, (LPRECT, LPDIRECTDRAWSURFACE, LPRECT, DWORD, LPDDBLTFX), ())
    NOT_CALLED(GetAttachedSurface, (LPDDSCAPS, LPDIRECTDRAWSURFACE*), ())
    NOT_CALLED(SetClipper, (LPDIRECTDRAWCLIPPER), ())
    DDW_SURFACE_METHODS(NOT_CALLED, IDirectDrawSurface)

protected:
    void* Query(REFIID riid) override
    {
        if (riid == IID_IDirectDrawSurface3 && !g_machine->noSurface3)
            return static_cast<IDirectDrawSurface3*>(new FakeSurface3);
        return nullptr;
    }
};

class FakeDirectDraw2 : public FakeObject<IDirectDraw2> {
public:
    FakeDirectDraw2() : FakeObject("IDirectDraw2") {}
    NOT_CALLED(CreateClipper, (DWORD, LPDIRECTDRAWCLIPPER*, IUnknown*), ())
    NOT_CALLED(CreateSurface, (LPDDSURFACEDESC, LPDIRECTDRAWSURFACE*, IUnknown*), ())
    NOT_CALLED(SetDisplayMode, (DWORD, DWORD, DWORD, DWORD, DWORD), ())
    NOT_CALLED(GetAvailableVidMem, (LPDDSCAPS, LPDWORD, LPDWORD), ())
    DDW_DIRECTDRAW_METHODS(NOT_CALLED)
};

class UncalledDirectDraw : public FakeObject<IDirectDraw> {
public:
    UncalledDirectDraw() : FakeObject("IDirectDraw") {}
    NOT_CALLED(CreateClipper, (DWORD, LPDIRECTDRAWCLIPPER*, IUnknown*), ())
    NOT_CALLED(CreateSurface, (LPDDSURFACEDESC, LPDIRECTDRAWSURFACE*, IUnknown*), ())
    NOT_CALLED(SetDisplayMode, (DWORD, DWORD, DWORD), ())
    DDW_DIRECTDRAW_METHODS(NOT_CALLED)
};

class FakeDirectDraw : public UncalledDirectDraw {
public:
    HRESULT STDMETHODCALLTYPE SetCooperativeLevel(HWND hWnd, DWORD flags) override
    {
        g_machine->trace.push_back(hWnd == nullptr && flags == DDSCL_NORMAL ? "coop normal" : "coop other");
        return g_machine->coopFails ? DDERR_INVALIDPARAMS : DD_OK;
    }
    HRESULT STDMETHODCALLTYPE CreateSurface(LPDDSURFACEDESC desc, LPDIRECTDRAWSURFACE* out, IUnknown*) override
    {
        bool primary = desc->dwSize == sizeof(DDSURFACEDESC) && desc->dwFlags == DDSD_CAPS &&
                       desc->ddsCaps.dwCaps == DDSCAPS_PRIMARYSURFACE;
        g_machine->trace.push_back(primary ? "create primary" : "create other");
        *out = nullptr;
        if (g_machine->surfaceFails)
            return DDERR_NOEXCLUSIVEMODE;
        *out = new FakeSurface;
        return DD_OK;
    }

protected:
    void* Query(REFIID riid) override
    {
        if (riid == IID_IDirectDraw2 && !g_machine->noDirectDraw2)
            return static_cast<IDirectDraw2*>(new FakeDirectDraw2);
        return nullptr;
    }
};

#undef NOT_CALLED

HRESULT WINAPI FakeDirectDrawCreate(GUID* guid, LPDIRECTDRAW* out, IUnknown* outer)
{
    g_machine->trace.push_back(guid == nullptr && outer == nullptr ? "DirectDrawCreate" : "DirectDrawCreate odd");
    *out = nullptr;
    if (g_machine->createFails)
        return DDERR_NODIRECTDRAWHW;
    *out = new FakeDirectDraw;
    return DD_OK;
}

HRESULT WINAPI FakeDirectInputCreate(HINSTANCE, DWORD, LPVOID*, IUnknown*)
{
    return E_FAIL;
}

BOOL WINAPI FakeGetVersionEx(LPOSVERSIONINFOA info)
{
    g_machine->trace.push_back(info->dwOSVersionInfoSize == 148 ? "version" : "version odd size");
    if (g_machine->versionFails)
        return FALSE;
    info->dwPlatformId = g_machine->platformId;
    info->dwMajorVersion = g_machine->major;
    info->dwMinorVersion = 0;
    info->dwBuildNumber = g_machine->build;
    return TRUE;
}

HMODULE WINAPI FakeLoadLibrary(LPCSTR name)
{
    std::string n(name);
    g_machine->trace.push_back("load " + n);
    HMODULE result = nullptr;
    if (n == "DDRAW.DLL" && g_machine->hasDDraw)
        result = kDDraw;
    if (n == "DINPUT.DLL" && g_machine->hasDInput)
        result = kDInput;
    if (result)
        ++g_machine->loaded;
    return result;
}

FARPROC WINAPI FakeGetProcAddress(HMODULE module, LPCSTR name)
{
    std::string n(name);
    g_machine->trace.push_back("lookup " + n);
    if (module == kDDraw && n == "DirectDrawCreate" && g_machine->hasDirectDrawCreate)
        return reinterpret_cast<FARPROC>(FakeDirectDrawCreate);
    if (module == kDInput && n == "DirectInputCreateA" && g_machine->hasDirectInputCreate)
        return reinterpret_cast<FARPROC>(FakeDirectInputCreate);
    return nullptr;
}

BOOL WINAPI FakeFreeLibrary(HMODULE module)
{
    g_machine->trace.push_back(module == kDDraw ? "free DDRAW.DLL" : "free DINPUT.DLL");
    --g_machine->loaded;
    return TRUE;
}

void WINAPI FakeOutputDebugString(LPCSTR text)
{
    g_machine->trace.push_back(std::string("debug ") + text);
}

const DirectXProbePlatform kFake = {
    FakeGetVersionEx, FakeLoadLibrary, FakeGetProcAddress, FakeFreeLibrary, FakeOutputDebugString,
};

struct Answer {
    DWORD version;
    DWORD platform;
};

Answer Probe(FakeMachine& machine)
{
    g_machine = &machine;
    Answer a = { 0xDEAD, 0xDEAD };
    ProbeDirectXVersion(kFake, &a.version, &a.platform);
    g_machine = nullptr;
    // Everything obtained was given back before returning.
    EXPECT_EQ(0, machine.loaded);
    EXPECT_EQ(0, machine.references);
    return a;
}

FakeMachine Windows95(DWORD build)
{
    FakeMachine m;
    m.platformId = VER_PLATFORM_WIN32_WINDOWS;
    m.major = 4;
    m.build = (4u << 24) | build;  // the high word carries the version
    return m;
}

} // namespace

TEST(ProbeDirectXVersion, WindowsNtByVersion)
{
    FakeMachine noVersion;
    noVersion.versionFails = true;
    Answer a = Probe(noVersion);
    EXPECT_EQ(0u, a.version);
    EXPECT_EQ(0u, a.platform);
    EXPECT_EQ(Trace({ "version" }), noVersion.trace);

    FakeMachine nt351;
    nt351.major = 3;
    a = Probe(nt351);
    EXPECT_EQ(0u, a.version);
    EXPECT_EQ(0u, a.platform);
    EXPECT_EQ(Trace({ "version" }), nt351.trace);

    FakeMachine nt5;
    nt5.major = 5;
    a = Probe(nt5);
    EXPECT_EQ(0x501u, a.version);
    EXPECT_EQ(2u, a.platform);
    EXPECT_EQ(Trace({ "version" }), nt5.trace);  // no library loaded
}

TEST(ProbeDirectXVersion, WindowsNt4LooksForDirectInput)
{
    FakeMachine nt4;
    nt4.major = 4;
    Answer a = Probe(nt4);
    EXPECT_EQ(0x300u, a.version);
    EXPECT_EQ(2u, a.platform);
    EXPECT_EQ(Trace({ "version", "load DINPUT.DLL", "lookup DirectInputCreateA", "free DINPUT.DLL" }), nt4.trace);

    FakeMachine noDInput = nt4;
    noDInput.trace.clear();
    noDInput.hasDInput = false;
    a = Probe(noDInput);
    EXPECT_EQ(0x200u, a.version);
    EXPECT_EQ(2u, a.platform);
    EXPECT_EQ(Trace({ "version", "load DINPUT.DLL", "debug Couldn't LoadLibrary DInput\r\n" }), noDInput.trace);

    FakeMachine noEntry = nt4;
    noEntry.trace.clear();
    noEntry.hasDirectInputCreate = false;
    a = Probe(noEntry);
    EXPECT_EQ(0x200u, a.version);
    EXPECT_EQ(2u, a.platform);
    EXPECT_EQ(Trace({ "version", "load DINPUT.DLL", "lookup DirectInputCreateA", "free DINPUT.DLL",
                      "debug Couldn't GetProcAddress DInputCreate\r\n" }),
              noEntry.trace);
}

TEST(ProbeDirectXVersion, Windows9xLaterBuildsNeedNoProbe)
{
    FakeMachine m = Windows95(1354);
    Answer a = Probe(m);
    EXPECT_EQ(0x501u, a.version);
    EXPECT_EQ(1u, a.platform);
    EXPECT_EQ(Trace({ "version" }), m.trace);

    // Other platform identifiers count as the 9x family too.
    FakeMachine other = Windows95(2222);
    other.platformId = 3;
    a = Probe(other);
    EXPECT_EQ(0x501u, a.version);
    EXPECT_EQ(1u, a.platform);
}

TEST(ProbeDirectXVersion, Windows9xFullProbeFindsSurface3)
{
    FakeMachine m = Windows95(1353);
    Answer a = Probe(m);
    EXPECT_EQ(0x500u, a.version);
    EXPECT_EQ(1u, a.platform);
    EXPECT_EQ(Trace({ "version", "load DDRAW.DLL", "lookup DirectDrawCreate", "DirectDrawCreate",
                      "release IDirectDraw2", "load DINPUT.DLL", "lookup DirectInputCreateA",
                      "free DINPUT.DLL", "coop normal", "create primary", "release surface3",
                      "release surface", "release IDirectDraw", "free DDRAW.DLL" }),
              m.trace);
}

TEST(ProbeDirectXVersion, Windows9xEachFailingStep)
{
    struct Case {
        const char* what;
        void (*setUp)(FakeMachine&);
        DWORD version;
        DWORD platform;
        Trace tail;  // the trace after the last shared step
    };
    const Case cases[] = {
        { "no DDRAW.DLL", [](FakeMachine& m) { m.hasDDraw = false; }, 0, 0,
          { "load DDRAW.DLL" } },
        { "no DirectDrawCreate", [](FakeMachine& m) { m.hasDirectDrawCreate = false; }, 0, 0,
          { "lookup DirectDrawCreate", "free DDRAW.DLL", "debug Couldn't LoadLibrary DDraw\r\n" } },
        { "create fails", [](FakeMachine& m) { m.createFails = true; }, 0, 0,
          { "DirectDrawCreate", "free DDRAW.DLL", "debug Couldn't create DDraw\r\n" } },
        { "no IDirectDraw2", [](FakeMachine& m) { m.noDirectDraw2 = true; }, 0x100, 1,
          { "DirectDrawCreate", "release IDirectDraw", "free DDRAW.DLL", "debug Couldn't QI DDraw2\r\n" } },
        { "no DINPUT.DLL", [](FakeMachine& m) { m.hasDInput = false; }, 0x200, 1,
          { "load DINPUT.DLL", "debug Couldn't LoadLibrary DInput\r\n", "release IDirectDraw",
            "free DDRAW.DLL" } },
        { "no DirectInputCreateA", [](FakeMachine& m) { m.hasDirectInputCreate = false; }, 0x200, 1,
          { "free DINPUT.DLL", "release IDirectDraw", "free DDRAW.DLL",
            "debug Couldn't GetProcAddress DInputCreate\r\n" } },
        { "cooperative level refused", [](FakeMachine& m) { m.coopFails = true; }, 0, 1,
          { "coop normal", "release IDirectDraw", "free DDRAW.DLL", "debug Couldn't Set coop level\r\n" } },
        { "no primary surface", [](FakeMachine& m) { m.surfaceFails = true; }, 0, 1,
          { "create primary", "release IDirectDraw", "free DDRAW.DLL", "debug Couldn't CreateSurface\r\n" } },
        { "build 950 without IDirectDrawSurface3", [](FakeMachine& m) { m.noSurface3 = true; m.build = (4u << 24) | 950; },
          0x300, 1, { "create primary", "release surface", "release IDirectDraw", "free DDRAW.DLL" } },
    };
    for (const Case& c : cases) {
        FakeMachine m = Windows95(1353);
        c.setUp(m);
        Answer a = Probe(m);
        EXPECT_EQ(c.version, a.version) << c.what;
        EXPECT_EQ(c.platform, a.platform) << c.what;
        ASSERT_GE(m.trace.size(), c.tail.size()) << c.what;
        Trace tail(m.trace.end() - static_cast<long>(c.tail.size()), m.trace.end());
        EXPECT_EQ(c.tail, tail) << c.what;
    }
}

TEST(ProbeDirectXVersion, RealWineReportsWindows7)
{
    DWORD version = 0, platform = 0;
    ProbeDirectXVersion(&version, &platform);
    EXPECT_EQ(0x501u, version);
    EXPECT_EQ(2u, platform);
}

TEST(ProbeDirectXVersion, RealWineSetToWindows98)
{
    // Wine reads the version an application is shown from its per-program
    // settings when the process starts, so ask a fresh process.
    std::string reporter = WindowsPath(EnvironmentValue("SKARDEL_PROBE_REPORT"));
    ASSERT_FALSE(reporter.empty()) << "SKARDEL_PROBE_REPORT is not set";
    const char* key = "Software\\Wine\\AppDefaults\\probe_report.exe";
    HKEY hKey;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_WRITE, nullptr,
                                             &hKey, nullptr));
    RegSetValueExA(hKey, "Version", 0, REG_SZ, reinterpret_cast<const BYTE*>("win98"), 6);
    RegCloseKey(hKey);

    ProcessResult r = RunProcess("\"" + reporter + "\"", 30000);
    RegDeleteKeyA(HKEY_CURRENT_USER, key);
    ASSERT_TRUE(r.exited);
    // The reporter exits with version << 8 | platform; Windows 98 is build
    // 1998, past the last build that needs probing.
    EXPECT_EQ((0x501u << 8) | 1u, r.exitCode);
}
