// One run of the composition benchmark: a scene made by the real scene code
// from a fixed seed, moved every frame and driven here instead of by its
// animation thread. Every frame is counted only once it is finished (a read
// lock of the work surface waits for the blits and the flip). Prints one
// line of figures for scripts/bench.sh; a benchmark, it never fails on speed.
//
//   scene_bench <default|dense|preview> [frames]
//
// Figures (microseconds per frame unless said): frame_wall, frame_cpu (this
// process), xvfb_cpu and server_cpu (the X server's and the Wine server's,
// from /proc, their ids given in SKARDEL_BENCH_XVFB_PID and
// SKARDEL_BENCH_SERVER_PID); compose_wall and compose_cpu (the frame without
// its presentation); compose_median and plain (medians of the same frames
// composed by the program and in plain C++, one after the other: the
// composition runs on one thread that never waits, so its wall time is its
// processor time); the breakdown (background, sprites, text, present);
// text_on and text_off (whole frames with "Fps" 1 and 0, interleaved); the
// other floors (a cache-resident and a cold memcpy of the frame's bytes, the
// presentation of a frame with nothing composed); a checksum of 60 composed
// frames.
#include "app/ScreenSaverApp.h"
#include "core/Settings.h"
#include "support/PlainComposer.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

CScreenSaverApp theApp;

namespace {

LARGE_INTEGER g_frequency;

double NowUs()
{
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return double(t.QuadPart) * 1e6 / double(g_frequency.QuadPart);
}

double ProcessCpuUs()
{
    FILETIME created, ended, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &ended, &kernel, &user);
    auto us = [](FILETIME f) { return double((uint64_t(f.dwHighDateTime) << 32) | f.dwLowDateTime) / 10.0; };
    return us(kernel) + us(user);
}

// A Linux process's CPU time from its /proc entry (through Wine's Z: drive);
// -1 when the id is not given or cannot be read.
double LinuxCpuUs(const char* pidVariable)
{
    const char* pid = getenv(pidVariable);
    if (!pid || !*pid)
        return -1;
    std::string path = std::string("Z:\\proc\\") + pid + "\\stat";
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return -1;
    char text[1024] = {};
    DWORD read = 0;
    ReadFile(h, text, sizeof text - 1, &read, nullptr);
    CloseHandle(h);
    // utime and stime are the 14th and 15th fields, after the name's ")".
    const char* p = strrchr(text, ')');
    if (!p)
        return -1;
    unsigned long long utime = 0, stime = 0;
    if (sscanf(p + 2, "%*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %llu %llu", &utime, &stime) != 2)
        return -1;
    const char* tck = getenv("SKARDEL_BENCH_CLK_TCK");
    double ticks = tck ? atof(tck) : 100.0;
    return double(utime + stime) * 1e6 / ticks;
}

struct Clocks {
    double wall, cpu, xvfb, server;
    static Clocks Now() { return { NowUs(), ProcessCpuUs(), LinuxCpuUs("SKARDEL_BENCH_XVFB_PID"),
                                   LinuxCpuUs("SKARDEL_BENCH_SERVER_PID") }; }
};

double Median(std::vector<double> v)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// The scene with its frame's steps in reach.
class CBenchScene : public CSceneWnd {
public:
    CBenchScene() : CSceneWnd(FALSE) {}

    RECT Frame() const
    {
        RECT window;
        ::GetWindowRect(m_hWnd, &window);
        return { 0, 0, window.right - window.left, window.bottom - window.top };
    }
    // The frame's movement, by the scene's own code.
    using CSceneWnd::MoveSaucers;
    using CDisplayWnd::Background;
    // Waits until every blit and flip asked for so far is done.
    void Finish()
    {
        DDSURFACEDESC desc = {};
        desc.dwSize = sizeof desc;
        if (SUCCEEDED(Work()->Lock(nullptr, &desc, DDLOCK_WAIT | DDLOCK_READONLY, nullptr)))
            Work()->Unlock(nullptr);
    }
    void ComposeBackground()
    {
        RECT frame = Frame();
        Work()->Blt(&frame, Background(), &frame, DDBLT_WAIT, nullptr);
    }
    void Sprites()
    {
        RECT frame = Frame();
        DrawSprites(&frame);
    }
    void Text() { CSceneWnd::ComposeOverlay(); }
    void Show() { Present(); }
    // A whole frame as the animation thread makes it, finished.
    void WholeFrame()
    {
        MoveSaucers();
        Redraw();
        Finish();
    }
    // The same without its presentation.
    void ComposedFrame()
    {
        MoveSaucers();
        ComposeBackground();
        Sprites();
        Text();
        Finish();
    }
    int Bits() const
    {
        DDSURFACEDESC desc = {};
        desc.dwSize = sizeof desc;
        Work()->GetSurfaceDesc(&desc);
        return int(desc.ddpfPixelFormat.dwRGBBitCount);
    }
    void SetFps(UINT show, int fps)
    {
        m_bShowFps = show;
        m_nFps = fps;
    }

    bool hashing = false;
    uint64_t checksum = 1469598103934665603ull;  // FNV-1a over every hashed frame

protected:
    void ComposeOverlay() override
    {
        CSceneWnd::ComposeOverlay();
        if (hashing)
            Hash();
    }

private:
    void Hash()
    {
        RECT frame = Frame();
        DDSURFACEDESC desc = {};
        desc.dwSize = sizeof desc;
        if (FAILED(Work()->Lock(nullptr, &desc, DDLOCK_WAIT | DDLOCK_READONLY, nullptr)))
            return;
        const int bytes = int(desc.ddpfPixelFormat.dwRGBBitCount / 8);
        for (int y = 0; y < frame.bottom; ++y) {
            const BYTE* row = static_cast<const BYTE*>(desc.lpSurface) + y * desc.lPitch;
            for (int i = 0; i < frame.right * bytes; ++i)
                checksum = (checksum ^ row[i]) * 1099511628211ull;
        }
        Work()->Unlock(nullptr);
    }
};

// The scene's present frame composed in plain C++ (its pixels read once).
template <class Pixel>
double PlainComposeUs(CBenchScene& scene)
{
    static CPlainComposer<Pixel>* plain = new CPlainComposer<Pixel>(scene, scene.Background());
    static PlainPicture<Pixel> out;
    if (!plain->Ready())
        return -1;
    double t = NowUs();
    plain->Compose(out);
    return NowUs() - t;
}

// Copies of the frame's bytes: again and again from the same buffer, which
// the cache keeps, and each time from another part of a pool larger than
// any cache.
void MemcpyFloorsUs(size_t bytes, double* hot, double* cold)
{
    const size_t pool = std::max<size_t>(bytes * 4, 64u << 20);
    std::vector<char> from(pool, 1), to(bytes, 0);
    std::vector<double> hotTimes, coldTimes;
    for (int i = 0; i < 40; ++i) {
        double t = NowUs();
        memcpy(to.data(), from.data(), bytes);
        hotTimes.push_back(NowUs() - t);
    }
    size_t at = 0;
    for (int i = 0; i < 40; ++i) {
        at = (at + bytes) % (pool - bytes);
        double t = NowUs();
        memcpy(to.data(), from.data() + at, bytes);
        coldTimes.push_back(NowUs() - t);
    }
    *hot = Median(hotTimes);
    *cold = Median(coldTimes);
    if (to[bytes / 2] != 1)
        printf("memcpy copied nothing\n");
}

} // namespace

int main(int argc, char** argv)
{
    const std::string sceneName = argc > 1 ? argv[1] : "default";
    const int frames = argc > 2 ? atoi(argv[2]) : 200;
    const bool preview = sceneName == "preview";
    QueryPerformanceFrequency(&g_frequency);
    AfxWinInit(GetModuleHandleA(nullptr));
    theApp.SetRegistryKey("Tolmere");
    WriteSetting(Setting::Count, sceneName == "dense" ? 50 : 3);
    WriteSetting(Setting::Stars, sceneName == "dense" ? 400 : 100);
    WriteSetting(Setting::Fps, 1);
    WriteSetting(Setting::Speed, 30);

    HWND host = nullptr;
    CBenchScene* scene = new CBenchScene;
    srand(20261209);
    BOOL made;
    if (preview) {
        // The size of the display settings' little monitor.
        host = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 40, 40, 152, 112, nullptr, nullptr,
                               nullptr, nullptr);
        made = scene->Create(0, WS_CHILD | WS_VISIBLE, RECT{ 0, 0, 152, 112 }, CWnd::FromHandle(host));
    } else {
        made = scene->Create(0, WS_POPUP | WS_VISIBLE,
                             RECT{ 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN) }, nullptr);
    }
    if (!made) {
        printf("the scene could not be set up\n");
        return 1;
    }
    // Frames are driven from here: the animation thread stops at once.
    scene->SendMessageA(WM_COMMAND, ID_STOP_ANIMATION, 0);
    // The frame-rate text as the saver would show it, a new number now and then.
    auto frameFps = [](int i) { return 30 + (i / 33) % 4; };

    // The checksum: the composed frames, before each is shown.
    scene->hashing = true;
    for (int i = 0; i < 60; ++i) {
        scene->SetFps(1, frameFps(i));
        scene->MoveSaucers();
        scene->Redraw();
    }
    scene->hashing = false;

    // Whole frames as the animation thread makes them.
    scene->SetFps(1, 33);
    Clocks a = Clocks::Now();
    std::vector<double> frameTimes;
    for (int i = 0; i < frames; ++i) {
        scene->SetFps(1, frameFps(i));
        double t = NowUs();
        scene->WholeFrame();
        frameTimes.push_back(NowUs() - t);
    }
    Clocks b = Clocks::Now();

    // The composition alone; each frame also composed in plain C++ right
    // after it, from the same state, so that a slower machine or a busy
    // moment weighs on both alike.
    std::vector<double> composeTimes, plainTimes;
    const int bits = scene->Bits();
    for (int i = 0; i < frames; ++i)
        scene->ComposedFrame();
    Clocks c = Clocks::Now();
    for (int i = 0; i < frames; ++i) {
        double t = NowUs();
        scene->ComposedFrame();
        composeTimes.push_back(NowUs() - t);
        plainTimes.push_back(bits == 16 ? PlainComposeUs<uint16_t>(*scene)
                             : bits == 8 ? PlainComposeUs<uint8_t>(*scene)
                                         : PlainComposeUs<uint32_t>(*scene));
    }

    // Each step on its own.
    std::vector<double> background, sprites, text, present;
    auto timeStep = [scene](void (CBenchScene::*step)(), std::vector<double>& times) {
        double t = NowUs();
        (scene->*step)();
        scene->Finish();
        times.push_back(NowUs() - t);
    };
    for (int i = 0; i < frames / 2; ++i) {
        scene->MoveSaucers();
        timeStep(&CBenchScene::ComposeBackground, background);
        timeStep(&CBenchScene::Sprites, sprites);
        timeStep(&CBenchScene::Text, text);
        timeStep(&CBenchScene::Show, present);
    }

    // Whole frames with the text and without, in alternate runs of ten.
    std::vector<double> textOn, textOff;
    for (int i = 0; i < frames; ++i) {
        const bool on = (i / 10) % 2 == 0;
        scene->SetFps(on ? 1 : 0, frameFps(i));
        double t = NowUs();
        scene->WholeFrame();
        (on ? textOn : textOff).push_back(NowUs() - t);
    }

    // The other floors.
    RECT frame = scene->Frame();
    double hot = 0, cold = 0;
    MemcpyFloorsUs(size_t(frame.right) * frame.bottom * (bits / 8), &hot, &cold);
    std::vector<double> emptyPresent;
    for (int i = 0; i < 40; ++i) {
        double t = NowUs();
        scene->Show();
        scene->Finish();
        emptyPresent.push_back(NowUs() - t);
    }

    auto perFrame = [frames](double from, double to) { return from < 0 || to < 0 ? -1.0 : (to - from) / frames; };
    printf("RESULT scene=%s frames=%d size=%dx%dx%d frame_wall=%.1f frame_p95=%.1f frame_cpu=%.1f xvfb_cpu=%.1f "
           "server_cpu=%.1f compose_wall=%.1f compose_cpu=%.1f background=%.1f sprites=%.1f text=%.1f "
           "present=%.1f text_on=%.1f text_off=%.1f compose_median=%.1f plain=%.1f memcpy_hot=%.1f memcpy_cold=%.1f "
           "empty_present=%.1f checksum=%016llx\n",
           sceneName.c_str(), frames, int(frame.right), int(frame.bottom), bits, perFrame(a.wall, b.wall),
           [&] { std::vector<double> v = frameTimes; std::sort(v.begin(), v.end()); return v[v.size() * 95 / 100]; }(),
           perFrame(a.cpu, b.cpu), perFrame(a.xvfb, b.xvfb), perFrame(a.server, b.server),
           perFrame(b.wall, c.wall), perFrame(b.cpu, c.cpu), Median(background), Median(sprites), Median(text),
           Median(present), Median(textOn), Median(textOff), Median(composeTimes), Median(plainTimes), hot, cold,
           Median(emptyPresent),
           static_cast<unsigned long long>(scene->checksum));

    scene->DestroyWindow();
    delete scene;
    if (host)
        DestroyWindow(host);
    return 0;
}
