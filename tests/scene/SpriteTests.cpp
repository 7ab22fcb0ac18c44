#include "scene/SpriteWnd.h"
#include "scene/Sprite.h"
#include "support/SpritePlace.h"
#include "support/TestAccess.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

int g_imagesDeleted = 0;

// An image with frames of the given size and no surface: enough for the
// sprite's arithmetic. It counts its deletions.
class CFakeImage : public CSpriteImage {
public:
    ~CFakeImage() override { ++g_imagesDeleted; }
};

CSpriteImage* FakeImage(int frameWidth, int frameHeight, int columns)
{
    CSpriteImage* image = new CFakeImage;
    image->m_nFrameWidth = frameWidth * columns;
    image->m_nFrameHeight = frameHeight;
    image->SetFrameGrid(columns, 1);
    return image;
}

class CTracingSprite : public CSprite {
public:
    std::vector<std::string> calls;
    void SetPosition(int x, int y, BOOL bRedraw) override
    {
        calls.push_back("SetPosition");
        CSprite::SetPosition(x, y, bRedraw);
    }
    void SetSize(int w, int h, BOOL bRedraw) override
    {
        calls.push_back("SetSize");
        CSprite::SetSize(w, h, bRedraw);
    }
    void SetRect(RECT rect, BOOL bRedraw) override
    {
        calls.push_back("SetRect");
        CSprite::SetRect(rect, bRedraw);
    }
    void SetPositionAndSize(int x, int y, int w, int h, BOOL bRedraw) override
    {
        calls.push_back("SetPositionAndSize");
        CSprite::SetPositionAndSize(x, y, w, h, bRedraw);
    }
    void SetFrame(int frame, BOOL bRedraw) override
    {
        calls.push_back("SetFrame " + std::to_string(frame));
        CSprite::SetFrame(frame, bRedraw);
    }
    BOOL HitTest(int x, int y, BOOL bForce) override
    {
        calls.push_back("HitTest");
        return CSprite::HitTest(x, y, bForce);
    }
};

} // namespace

TEST(CSprite, StartsEmptyAndTakesOneImage)
{
    CSpriteImage* first = FakeImage(24, 24, 8);
    CSpriteImage* second = FakeImage(40, 40, 8);
    g_imagesDeleted = 0;
    {
        CSprite sprite;
        EXPECT_TRUE(sprite.IsVisible());
        EXPECT_EQ(50, DepthOf(sprite));
        EXPECT_TRUE(sprite.IsAnimationForward());
        EXPECT_EQ(0, sprite.GetReserved());
        EXPECT_FALSE(sprite.SetImage(nullptr, 3));

        sprite.SetPosition(100, 50, FALSE);
        ASSERT_TRUE(sprite.SetImage(first, 7));
        EXPECT_TRUE(Covers(sprite, RECT{ 100, 50, 124, 74 }));
        EXPECT_EQ(0, sprite.GetFrame());
        EXPECT_EQ(7, TestAccess::m_nImageTag(sprite));
        EXPECT_FALSE(sprite.SetImage(second, 1));
        EXPECT_EQ(first, sprite.GetImage());
    }
    // Given, not made: the image outlives the sprite.
    EXPECT_EQ(0, g_imagesDeleted);
    delete first;
    delete second;
}

TEST(CSprite, HitTestsNeedForceAndExcludeRightAndBottomEdges)
{
    CSpriteImage* image = FakeImage(24, 24, 8);
    CSprite sprite;
    sprite.SetPosition(100, 50, FALSE);
    sprite.SetImage(image, 0);
    EXPECT_FALSE(sprite.HitTest(100, 50, FALSE));  // nothing sets m_bHitTestable
    EXPECT_TRUE(sprite.HitTest(100, 50, TRUE));
    EXPECT_TRUE(sprite.HitTest(123, 73, TRUE));
    EXPECT_FALSE(sprite.HitTest(124, 50, TRUE));
    EXPECT_FALSE(sprite.HitTest(100, 74, TRUE));
    EXPECT_EQ(sprite.HitTest(110, 60, TRUE), sprite.ContainsPoint(110, 60, TRUE));
    EXPECT_EQ(sprite.HitTest(124, 50, TRUE), sprite.ContainsPoint(124, 50, TRUE));
    TestAccess::m_bHitTestable(sprite) = TRUE;
    EXPECT_TRUE(sprite.HitTest(100, 50, FALSE));
    sprite.SetVisible(FALSE, FALSE);
    EXPECT_FALSE(sprite.HitTest(100, 50, FALSE));
    delete image;
}

TEST(CSprite, FramesStepBothWaysAndIgnoreOutOfRange)
{
    CSpriteImage* image = FakeImage(24, 24, 8);
    CSprite sprite;
    sprite.NextFrame(FALSE);  // no image: nothing
    EXPECT_EQ(0, sprite.GetFrame());
    sprite.SetImage(image, 0);
    sprite.SetFrame(7, FALSE);
    sprite.NextFrame(FALSE);
    EXPECT_EQ(0, sprite.GetFrame());
    sprite.SetAnimationForward(FALSE);
    sprite.NextFrame(FALSE);
    EXPECT_EQ(7, sprite.GetFrame());
    sprite.NextFrame(FALSE);
    EXPECT_EQ(6, sprite.GetFrame());
    sprite.SetFrame(8, FALSE);
    EXPECT_EQ(6, sprite.GetFrame());
    sprite.SetFrame(-1, FALSE);
    EXPECT_EQ(6, sprite.GetFrame());
    delete image;
}

TEST(CSprite, GeometryKeepsRectangleAndFieldsTogether)
{
    CSpriteImage* image = FakeImage(24, 24, 8);
    CSprite sprite;
    sprite.SetImage(image, 0);
    sprite.SetSize(50, 50, FALSE);
    EXPECT_TRUE(Covers(sprite, RECT{ 0, 0, 50, 50 }));
    EXPECT_EQ(24, image->m_nFrameWidth);  // the drawn frame does not change
    sprite.SetEdges(10, 20, 30, 60, FALSE);
    EXPECT_TRUE(Covers(sprite, RECT{ 10, 20, 30, 60 }));
    // Its place and size went with the rectangle: a move along one axis
    // back to where it was before is a move, and keeps the new size.
    sprite.MoveTo(10, 0, FALSE);
    EXPECT_TRUE(Covers(sprite, RECT{ 10, 0, 30, 40 }));
    sprite.MoveTo(0, 0, FALSE);
    EXPECT_TRUE(Covers(sprite, RECT{ 0, 0, 20, 40 }));
    sprite.MoveTo(-5, 7, FALSE);
    EXPECT_TRUE(Covers(sprite, RECT{ -5, 7, 15, 47 }));
    sprite.SetVelocity(0, -8);
    EXPECT_EQ(-8, sprite.GetVelocity().y);
    sprite.SetUserPoint2(3, 4);
    EXPECT_EQ(4, sprite.GetUserPoint().y);
    delete image;
}

TEST(CSprite, OperationsGoThroughTheVirtualOnes)
{
    CSpriteImage* image = FakeImage(24, 24, 8);
    CTracingSprite sprite;
    sprite.SetImage(image, 0);
    sprite.MoveTo(5, 5, FALSE);
    sprite.Resize(30, 30, FALSE);
    sprite.SetPositionAndSize(1, 2, 3, 4, FALSE);
    sprite.SetEdges(1, 2, 5, 6, FALSE);
    sprite.NextFrame(FALSE);
    sprite.ContainsPoint(1, 2, TRUE);
    EXPECT_EQ(std::vector<std::string>({ "SetPositionAndSize", "SetRect", "SetPosition", "SetSize",
                                         "SetPositionAndSize", "SetRect", "SetRect", "SetFrame 1", "HitTest" }),
              sprite.calls);
    delete image;
}

TEST(CSpriteList, KeepsDepthOrderAndOwnsNothing)
{
    CSpriteWnd display(FALSE);
    theDisplayWnd = &display;
    CSprite a, b, c, d, stranger;
    // Not in the list yet: nothing moves.
    a.SetDepth(50, FALSE);
    b.SetDepth(70, FALSE);
    c.SetDepth(50, FALSE);
    d.SetDepth(60, FALSE);
    CSpriteList& list = TestAccess::m_sprites(display);
    for (CSprite* s : { &a, &b, &c, &d })
        EXPECT_TRUE(list.Insert(s));
    auto order = [&list]() {
        std::vector<CSprite*> v;
        for (int i = 0; i < list.GetSize(); ++i)
            v.push_back(list.GetSprite(i));
        return v;
    };
    EXPECT_EQ(std::vector<CSprite*>({ &a, &c, &d, &b }), order());

    EXPECT_EQ(nullptr, list.Remove(&stranger));
    EXPECT_FALSE(list.Reposition(&stranger));
    stranger.SetDepth(10, FALSE);  // not in the list: stays out
    EXPECT_EQ(std::vector<CSprite*>({ &a, &c, &d, &b }), order());

    a.SetDepth(65, FALSE);
    EXPECT_EQ(std::vector<CSprite*>({ &c, &d, &a, &b }), order());
    EXPECT_EQ(&d, list.Remove(&d));
    EXPECT_EQ(std::vector<CSprite*>({ &c, &a, &b }), order());
    list.RemoveAll();
    theDisplayWnd = nullptr;
    // Without a display nothing happens.
    a.SetDepth(1, TRUE);
    RedrawDisplay();
}
