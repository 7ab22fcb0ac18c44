// Composition cost on a full-screen 16-bit display with 400 saucer-sized
// sprites: median and 95th percentile of one Redraw, the memcpy floor for
// the same number of bytes, and the heap allocations made while composing.
// A benchmark, not a test: it prints figures and never fails on speed.
#include "app/ScreenSaverApp.h"
#include "scene/SpriteWnd.h"
#include "support/TestAccess.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

CScreenSaverApp theApp;

namespace {
std::atomic<long> g_allocations{ 0 };
}

// Every allocation of the program is counted; the replaced pair uses malloc
// and free, which the compiler cannot see matching.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

void* operator new(size_t size)
{
    ++g_allocations;
    if (void* p = malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { free(p); }
void operator delete(void* p, size_t) noexcept { free(p); }

namespace {

double Microseconds(LARGE_INTEGER a, LARGE_INTEGER b, LARGE_INTEGER freq)
{
    return double(b.QuadPart - a.QuadPart) * 1e6 / double(freq.QuadPart);
}

double Percentile(std::vector<double> v, double p)
{
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, size_t(p * (v.size() - 1) + 0.5))];
}

} // namespace

int main()
{
    AfxWinInit(GetModuleHandleA(nullptr));
    theApp.SetRegistryKey("Tolmere");
    int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    CSpriteWnd* wnd = new CSpriteWnd(FALSE);
    RECT rect = { 0, 0, w, h };
    if (!wnd->Create(0, WS_POPUP | WS_VISIBLE, rect, nullptr)) {
        printf("the display could not be set up\n");
        return 1;
    }
    CSpriteImage image;
    image.Load(TestAccess::m_pDirectDraw(*wnd), "IDB_MARS2");
    image.SetFrameGrid(8, 1);
    srand(1);
    for (int i = 0; i < 400; ++i) {
        CSprite* s = new CSprite;
        s->SetImage(&image, 0);
        s->SetPosition(rand() % w, rand() % h, FALSE);
        s->SetFrame(i % 8, FALSE);
        TestAccess::m_sprites(*wnd).Insert(s);
    }
    wnd->FillSurface(TestAccess::m_pBackground(*wnd), RECT{ 0, 0, w, h }, 0);
    theDisplayWnd = wnd;
    TestAccess::m_bActive(*wnd) = TRUE;

    LARGE_INTEGER freq;
    QueryPerformanceFrequency(&freq);
    for (int i = 0; i < 20; ++i)
        wnd->Redraw();
    const int frames = 300;
    std::vector<double> costs;
    costs.reserve(frames);
    long allocationsBefore = g_allocations;
    for (int i = 0; i < frames; ++i) {
        LARGE_INTEGER a, b;
        QueryPerformanceCounter(&a);
        wnd->Redraw();
        QueryPerformanceCounter(&b);
        costs.push_back(Microseconds(a, b, freq));
    }
    long allocations = g_allocations - allocationsBefore;

    // The floor: the bytes one frame moves (background, sprites, the flip's
    // screen), copied with memcpy.
    size_t bytes = size_t(w) * h * 2 * 2 + size_t(400) * image.m_nFrameWidth * image.m_nFrameHeight * 2;
    std::vector<char> from(bytes, 1), to(bytes, 0);
    std::vector<double> copies;
    for (int i = 0; i < 50; ++i) {
        LARGE_INTEGER a, b;
        QueryPerformanceCounter(&a);
        memcpy(to.data(), from.data(), bytes);
        QueryPerformanceCounter(&b);
        copies.push_back(Microseconds(a, b, freq));
    }
    double median = Percentile(costs, 0.5), p95 = Percentile(costs, 0.95), floor = Percentile(copies, 0.5);
    printf("window %d x %d x 16, 400 sprites of %d x %d, %d frames\n", w, h, image.m_nFrameWidth,
           image.m_nFrameHeight, frames);
    printf("Redraw median %.0f us, 95th percentile %.0f us\n", median, p95);
    printf("memcpy of the same %zu bytes: %.0f us; ratio %.1f\n", bytes, floor, median / floor);
    printf("heap allocations while composing: %ld\n", allocations);

    if (TestAccess::m_pSurface(image))
        TestAccess::m_pSurface(image)->Release();
    wnd->DestroyWindow();
    delete wnd;
    return 0;
}
