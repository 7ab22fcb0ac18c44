// The display's composition against the same frame composed in plain C++,
// pixel for pixel, frame after frame of a moving scene: no faster way of
// composing may change the picture.
#include "scene/SceneWnd.h"
#include "support/PlainComposer.h"
#include "support/Registry.h"
#include "support/SurfacePixels.h"

#include <gtest/gtest.h>

namespace {

// Compares each composed frame, before it is shown, with the plain one.
class CCheckedScene : public CSceneWnd {
public:
    CCheckedScene() : CSceneWnd(FALSE) {}
    int frames = 0;
    int framesDiffering = 0;
    int pixelsDiffering = 0;
    bool unreadable = false;

protected:
    BOOL OnDisplayCreated(LPCREATESTRUCT lpCreateStruct) override
    {
        m_bSetUp = CSceneWnd::OnDisplayCreated(lpCreateStruct);
        return m_bSetUp;
    }
    void ComposeOverlay() override
    {
        CSceneWnd::ComposeOverlay();
        // A paint during the set-up composes before there are sprites.
        if (!m_bSetUp)
            return;
        if (!m_plain)
            m_plain.reset(new CPlainComposer<DWORD>(*this, Background()));
        ++frames;
        PlainPicture<DWORD> expected;
        m_plain->Compose(expected);
        SurfacePixels composed = ReadSurface(Work());
        if (!m_plain->Ready() || composed.values.empty()) {
            unreadable = true;
            return;
        }
        int differing = 0;
        for (int y = 0; y < expected.height; ++y)
            for (int x = 0; x < expected.width; ++x)
                differing += composed.At(x, y) != (expected.Row(y)[x] & Mask(composed.bits));
        framesDiffering += differing != 0;
        pixelsDiffering += differing;
    }

private:
    static DWORD Mask(int bits) { return bits >= 24 ? 0xFFFFFFu : (1u << bits) - 1; }
    std::unique_ptr<CPlainComposer<DWORD>> m_plain;
    BOOL m_bSetUp = FALSE;
};

} // namespace

TEST(Composition, EqualsThePlainCompositionFrameAfterFrame)
{
    struct Case {
        const char* scene;
        DWORD count, stars;
        bool preview;
    };
    const Case cases[] = {
        { "default full screen", 3, 100, false },
        { "dense full screen", 50, 400, false },
        { "preview", 3, 100, true },
    };
    for (const Case& c : cases) {
        ClearStoredSettings();
        SetDwordSetting("Speed", 100000);  // the animation thread draws nothing meanwhile
        SetDwordSetting("Count", c.count);
        SetDwordSetting("Stars", c.stars);
        HWND parent = nullptr;
        CCheckedScene scene;
        srand(7);
        bool made;
        if (c.preview) {
            parent = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 320, 240, nullptr, nullptr,
                                     nullptr, nullptr);
            made = scene.Create(0, WS_CHILD | WS_VISIBLE, RECT{ 0, 0, 320, 240 }, CWnd::FromHandle(parent));
        } else {
            made = scene.Create(0, WS_POPUP | WS_VISIBLE,
                                RECT{ 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN) }, nullptr);
        }
        ASSERT_TRUE(made) << c.scene;
        for (int i = 0; i < 40; ++i)
            scene.RenderFrame();
        EXPECT_EQ(40, scene.frames) << c.scene;
        EXPECT_FALSE(scene.unreadable) << c.scene;
        EXPECT_EQ(0, scene.framesDiffering) << c.scene << ": " << scene.pixelsDiffering << " pixels differ";
        scene.DestroyWindow();
        if (parent)
            DestroyWindow(parent);
    }
    ClearStoredSettings();
}
