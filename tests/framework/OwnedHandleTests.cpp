#include "framework/afxcom.h"
#include "framework/afxgdi.h"

#include <gtest/gtest.h>

#include <ddraw.h>

#include <functional>
#include <string>
#include <vector>

namespace {

typedef std::vector<std::string> Trace;

// Counts its references and says when each one is given back.
class FakeInterface : public IUnknown {
public:
    FakeInterface(const char* name, Trace* trace) : m_name(name), m_trace(trace) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** ppv) override
    {
        AddRef();
        *ppv = this;
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_refs; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        m_trace->push_back(std::string("release ") + m_name);
        return --m_refs;
    }
    LONG m_refs = 1;  // the reference its maker hands out

private:
    const char* m_name;
    Trace* m_trace;
};

// Made and released through the same count, as DirectDraw's are.
HRESULT MakeFake(FakeInterface* made, IUnknown** out)
{
    made->AddRef();
    *out = made;
    return S_OK;
}

} // namespace

// Each case: what is done with pointers to a and b, the releases it must
// cause in that order, and the references a and b keep afterwards.
TEST(CComPtr, GivesBackEachReferenceOnceInTheOrderAsked)
{
    struct Case {
        const char* what;
        std::function<void(FakeInterface& a, FakeInterface& b)> run;
        Trace releases;
        LONG aRefs, bRefs;
    };
    const Case cases[] = {
        { "taken over and dropped", [](FakeInterface& a, FakeInterface&) { CComPtr<IUnknown> p(&a); },
          { "release a" }, 0, 1 },
        { "filled twice through &",
          [](FakeInterface& a, FakeInterface& b) {
              CComPtr<IUnknown> p;
              MakeFake(&a, &p);
              MakeFake(&b, &p);  // the first is given back before the second comes
          },
          { "release a", "release b" }, 1, 1 },
        { "released early, then destroyed",
          [](FakeInterface& a, FakeInterface&) {
              CComPtr<IUnknown> p(&a);
              p.Release();
              EXPECT_FALSE(p);
          },
          { "release a" }, 0, 1 },
        { "detached: left to its new owner",
          [](FakeInterface& a, FakeInterface&) {
              CComPtr<IUnknown> p(&a);
              EXPECT_EQ(&a, p.Detach());
          },
          {}, 1, 1 },
        { "moved: released once, by the last owner",
          [](FakeInterface& a, FakeInterface& b) {
              CComPtr<IUnknown> p(&a);
              CComPtr<IUnknown> q(&b);
              q = std::move(p);  // b goes, q now holds a
              EXPECT_FALSE(p);
              CComPtr<IUnknown> r(std::move(q));
          },
          { "release b", "release a" }, 0, 0 },
        { "released in a set order whatever the declaration order",
          [](FakeInterface& a, FakeInterface& b) {
              CComPtr<IUnknown> first(&a);
              CComPtr<IUnknown> second(&b);
              first.Release();
              second.Release();
          },
          { "release a", "release b" }, 0, 0 },
        { "queried: the new pointer holds its own reference",
          [](FakeInterface& a, FakeInterface&) {
              CComPtr<IUnknown> p(&a);
              CComPtr<IUnknown> q;
              EXPECT_EQ(S_OK, p.QueryInterface(IID_IUnknown, q));
              EXPECT_EQ(2, a.m_refs);
          },
          { "release a", "release a" }, 0, 1 },
    };
    for (const Case& c : cases) {
        Trace trace;
        FakeInterface a("a", &trace), b("b", &trace);
        c.run(a, b);
        EXPECT_EQ(c.releases, trace) << c.what;
        EXPECT_EQ(c.aRefs, a.m_refs) << c.what;
        EXPECT_EQ(c.bRefs, b.m_refs) << c.what;
    }
}

namespace {

// What GDI counts for this process. Wine's GetGuiResources answers 0 for
// everything, Windows the real count: a count that stays 0 proves nothing,
// so the handle's own state is checked as well.
DWORD GdiObjects()
{
    return GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
}

} // namespace

TEST(GdiWrappers, EachObjectIsDeletedWithItsWrapper)
{
    struct Case {
        const char* what;
        // Makes the object in a wrapper that dies on return, and gives its handle.
        std::function<HGDIOBJ()> makeAndDrop;
        DWORD type;
    };
    static const LOGPALETTE palette = { 0x300, 1, { { 1, 2, 3, 0 } } };
    static const RECT rect = { 0, 0, 10, 10 };
    const Case cases[] = {
        { "bitmap", [] { CBitmap b; EXPECT_TRUE(b.CreateBitmap(8, 8, 1, 1, nullptr)); return b.GetSafeHandle(); },
          OBJ_BITMAP },
        { "palette", [] { CPalette p; EXPECT_TRUE(p.CreatePalette(&palette)); return p.GetSafeHandle(); }, OBJ_PAL },
        { "font", [] { CFont f; EXPECT_TRUE(f.CreatePointFont(80, "Arial")); return f.GetSafeHandle(); }, OBJ_FONT },
        { "pen", [] { CPen p; EXPECT_TRUE(p.CreatePen(PS_SOLID, 1, RGB(1, 2, 3))); return p.GetSafeHandle(); },
          OBJ_PEN },
        { "region", [] { CRgn r; EXPECT_TRUE(r.CreateRectRgnIndirect(&rect)); return r.GetSafeHandle(); },
          OBJ_REGION },
        { "memory DC", [] { CDC dc; EXPECT_TRUE(dc.CreateCompatibleDC(nullptr)); return HGDIOBJ(static_cast<HDC>(dc)); },
          OBJ_MEMDC },
        { "bitmap replaced by Attach",
          [] {
              CBitmap b;
              b.CreateBitmap(8, 8, 1, 1, nullptr);
              HGDIOBJ first = b.GetSafeHandle();
              EXPECT_TRUE(b.Attach(CreateBitmap(4, 4, 1, 1, nullptr)));
              EXPECT_EQ(0u, GetObjectType(first));
              return b.GetSafeHandle();
          },
          OBJ_BITMAP },
    };
    for (const Case& c : cases) {
        const DWORD before = GdiObjects();
        HGDIOBJ handle = c.makeAndDrop();
        ASSERT_NE(nullptr, handle) << c.what;
        EXPECT_EQ(0u, GetObjectType(handle)) << c.what << ": still a " << c.type;
        EXPECT_EQ(before, GdiObjects()) << c.what;
    }
}

namespace {

// Anything with GetDC and ReleaseDC serves CSurfaceDC.
struct FakeSurface {
    HRESULT result = S_OK;
    HDC dc = reinterpret_cast<HDC>(0x1234);
    int gets = 0;
    std::vector<HDC> released;
    HRESULT GetDC(HDC* out)
    {
        ++gets;
        *out = SUCCEEDED(result) ? dc : nullptr;
        return result;
    }
    HRESULT ReleaseDC(HDC hDC)
    {
        released.push_back(hDC);
        return S_OK;
    }
};

} // namespace

TEST(GdiWrappers, SelectionsAndSurfaceDCsAreGivenBack)
{
    CDC dc;
    ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
    CBitmap bitmap;
    ASSERT_TRUE(bitmap.CreateBitmap(8, 8, 1, 1, nullptr));
    HGDIOBJ original = GetCurrentObject(dc, OBJ_BITMAP);
    {
        CDCSelection selected(dc, bitmap);
        EXPECT_EQ(bitmap.GetSafeHandle(), GetCurrentObject(dc, OBJ_BITMAP));
    }
    EXPECT_EQ(original, GetCurrentObject(dc, OBJ_BITMAP));

    FakeSurface surface;
    {
        CSurfaceDC<FakeSurface> sdc(&surface);
        EXPECT_EQ(surface.dc, static_cast<HDC>(sdc));
        EXPECT_EQ(S_OK, sdc.Result());
    }
    EXPECT_EQ(std::vector<HDC>{ surface.dc }, surface.released);

    // A DC the surface refused is never given back.
    FakeSurface busy;
    busy.result = DDERR_SURFACEBUSY;
    {
        CSurfaceDC<FakeSurface> sdc(&busy);
        EXPECT_EQ(nullptr, static_cast<HDC>(sdc));
        EXPECT_EQ(DDERR_SURFACEBUSY, sdc.Result());
    }
    EXPECT_TRUE(busy.released.empty());
    CSurfaceDC<FakeSurface> none(nullptr);
    EXPECT_EQ(E_POINTER, none.Result());
}
