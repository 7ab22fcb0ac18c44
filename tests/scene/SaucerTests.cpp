#include "scene/Saucer.h"
#include "support/SpritePlace.h"
#include "support/TestAccess.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

namespace {

CSpriteImage* Sheet(int frame)
{
    CSpriteImage* image = new CSpriteImage;
    image->m_nFrameWidth = frame * 8;
    image->m_nFrameHeight = frame;
    image->SetFrameGrid(8, 1);
    return image;
}

struct Draws {
    int n, r, frame;
};

// The generator's values in the order a formation draws them.
std::vector<Draws> Replay(unsigned seed)
{
    srand(seed);
    std::vector<Draws> d(8);
    for (Draws& x : d) {
        x.n = 30 + rand() % 11;
        x.r = 4 + rand() % 5;
        x.frame = rand() % 8;
    }
    return d;
}

void ExpectFormation(int type, int frame, int x, int y, int depth, int speed, const POINT (&places)[8])
{
    CSpriteImage* image = Sheet(frame);
    CSpriteList list;
    CSaucerGroup group;
    std::vector<Draws> d = Replay(1234);
    srand(1234);
    ASSERT_TRUE(group.Create(type, image, x, y, &list));
    ASSERT_EQ(8, list.GetSize());
    int gh = frame + frame / 2;
    for (int i = 0; i < 8; ++i) {
        CSaucer* s = static_cast<CSaucer*>(list.GetSprite(i));  // one depth: in order of creation
        const int y = places[i].y + gh / d[i].r;
        EXPECT_TRUE(Covers(*s, RECT{ places[i].x, y, places[i].x + frame, y + frame })) << i;
        EXPECT_EQ(places[i].x, TestAccess::m_nBaseX(*s)) << i;
        EXPECT_EQ(d[i].frame, s->GetFrame()) << i;
        EXPECT_DOUBLE_EQ(3.141592654 / d[i].n, TestAccess::m_dPhaseStep(*s)) << i;
        EXPECT_EQ(0.0, TestAccess::m_dPhase(*s));
        EXPECT_EQ(depth, DepthOf(*s));
        EXPECT_EQ(-speed, s->GetVelocity().y);
        EXPECT_EQ(0, s->GetVelocity().x);
    }
    for (int i = 0; i < list.GetSize(); ++i)
        delete list.GetSprite(i);
    delete image;
}

} // namespace

TEST(CSaucerGroup, WedgeOfTheSmallestSaucers)
{
    const POINT places[8] = { { 72, 100 }, { 36, 136 }, { 72, 136 }, { 108, 136 },
                              { 54, 172 }, { 18, 172 }, { 90, 172 }, { 126, 172 } };
    ExpectFormation(0, 24, 0, 100, 50, 1, places);
}

TEST(CSaucerGroup, WedgeOfTheBiggestSaucers)
{
    const int X = 10 + 480, Y = 20, g = 240;
    const POINT places[8] = { { X, Y },         { X - g, Y + g },         { X, Y + g },
                              { X + g, Y + g }, { X - g / 2, Y + 2 * g }, { X - 3 * g / 2, Y + 2 * g },
                              { X + g / 2, Y + 2 * g }, { X + 3 * g / 2, Y + 2 * g } };
    ExpectFormation(3, 160, 10, 20, 80, 8, places);
}

TEST(CSaucerGroup, TypesSetSpeedAndDepthOthersStayPut)
{
    const int depth[4] = { 50, 60, 70, 80 }, speed[4] = { 1, 2, 4, 8 };
    for (int type = 0; type < 5; ++type) {
        CSpriteImage* image = Sheet(40);
        CSpriteList list;
        CSaucerGroup group;
        std::vector<Draws> d = Replay(99);
        srand(99);
        group.Create(type == 4 ? 9 : type, image, 0, 0, &list);
        // The sixth saucer, at (30, 120) and its drop; its column 50 stays
        // on it whatever its sway.
        CSaucer* s = static_cast<CSaucer*>(list.GetSprite(5));
        const int y = 120 + 60 / d[5].r;
        ASSERT_TRUE(TopAt(*s, 50, y));
        group.Update(RECT{ 0, 0, 640, 480 });
        if (type < 4) {
            EXPECT_EQ(depth[type], DepthOf(*s));
            EXPECT_TRUE(TopAt(*s, 50, y - speed[type]));
        } else {
            EXPECT_EQ(50, DepthOf(*s));
            EXPECT_TRUE(TopAt(*s, 50, y));
        }
        for (int i = 0; i < list.GetSize(); ++i)
            delete list.GetSprite(i);
        delete image;
    }
}

TEST(CSaucer, WrapsThirtySixHeightsDown)
{
    CSpriteImage* small = Sheet(24);
    CSaucer s;
    s.SetImage(small, 0);
    s.SetVelocity(0, -1);
    s.SetPosition(0, -24, FALSE);
    RECT area = { 0, 0, 640, 480 };
    // Tops in a column each saucer covers whatever its sway.
    s.Move(area);
    EXPECT_TRUE(TopAt(s, 12, -25));
    s.Move(area);
    EXPECT_TRUE(TopAt(s, 12, 838));

    CSpriteImage* big = Sheet(160);
    CSaucer b;
    b.SetImage(big, 0);
    b.SetVelocity(0, -8);
    b.SetPosition(0, -160, FALSE);
    b.Move(area);
    EXPECT_TRUE(TopAt(b, 80, -168));
    b.Move(area);
    EXPECT_TRUE(TopAt(b, 80, -168 + 5760 - 8));
    // The area's top is what counts.
    b.SetPosition(0, 100 - 161, FALSE);
    b.Move(RECT{ 0, 100, 640, 480 });
    EXPECT_TRUE(TopAt(b, 80, 100 - 161 + 5760 - 8));
    delete small;
    delete big;
}

TEST(CSaucer, SwaysOnTheSineAndSpins)
{
    CSpriteImage* image = Sheet(24);
    CSaucer s;
    s.SetImage(image, 0);
    TestAccess::m_dPhaseStep(s) = 3.141592654 / 30;
    TestAccess::m_nBaseX(s) = 100;
    s.SetPosition(100, 300, FALSE);
    RECT area = { 0, 0, 640, 480 };
    const int firstOffsets[6] = { 0, 0, 0, 1, 1, 1 };
    for (int k = 0; k < 6; ++k) {
        s.Move(area);
        const int x = 100 + firstOffsets[k];
        EXPECT_TRUE(Covers(s, RECT{ x, 300, x + 24, 324 })) << "frame " << k + 1;
        EXPECT_EQ((k + 1) % 8, s.GetFrame());
    }
    // Up to an eighth of the width either way, never further: from 97 to
    // 103, both reached.
    bool lowest = false, highest = false;
    for (int k = 0; k < 1000; ++k) {
        s.Move(area);
        ASSERT_LE(TestAccess::m_dPhase(s), 3.141592654);
        ASSERT_GT(TestAccess::m_dPhase(s), -3.141592654);
        ASSERT_FALSE(s.HitTest(96, 310, TRUE) || s.HitTest(103 + 24, 310, TRUE)) << "frame " << k + 7;
        lowest |= s.HitTest(97, 310, TRUE) != FALSE;
        highest |= s.HitTest(103 + 23, 310, TRUE) != FALSE;
    }
    EXPECT_TRUE(lowest);
    EXPECT_TRUE(highest);
    delete image;
}
