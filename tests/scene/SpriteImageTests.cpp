#include "scene/SpriteImage.h"
#include "support/TestAccess.h"

#include <gtest/gtest.h>

namespace {

// A sheet of that size as a loaded image has it, without its surface: one
// frame, the whole sheet.
void MakeSheet(CSpriteImage& image, int width, int height)
{
    image.m_nFrameWidth = width;
    image.m_nFrameHeight = height;
}

} // namespace

TEST(CSpriteImage, CutsFramesFromTheCurrentFrameSize)
{
    CSpriteImage fresh;
    EXPECT_EQ(1, TestAccess::m_nColumns(fresh));
    EXPECT_EQ(1, fresh.m_nFrameCount);
    EXPECT_EQ(0, fresh.m_nFrameWidth);
    EXPECT_TRUE(fresh.DrawFrame(nullptr, 0, 0, 0));  // no surface: nothing drawn on no destination

    CSpriteImage mars1;
    MakeSheet(mars1, 192, 24);
    mars1.SetFrameGrid(8, 1);
    EXPECT_EQ(24, mars1.m_nFrameWidth);
    EXPECT_EQ(24, mars1.m_nFrameHeight);
    EXPECT_EQ(8, mars1.m_nFrameCount);
    // A second cut divides again.
    mars1.SetFrameGrid(8, 1);
    EXPECT_EQ(3, mars1.m_nFrameWidth);
    EXPECT_EQ(8, mars1.m_nFrameCount);

    CSpriteImage mars3;
    MakeSheet(mars3, 320, 160);
    mars3.SetFrameGrid(4, 2);
    EXPECT_EQ(80, mars3.m_nFrameWidth);
    EXPECT_EQ(80, mars3.m_nFrameHeight);
    EXPECT_EQ(8, mars3.m_nFrameCount);
    EXPECT_EQ(2, TestAccess::m_nRows(mars3));

    CSpriteImage odd;
    MakeSheet(odd, 100, 10);
    odd.SetFrameGrid(3, 1);
    EXPECT_EQ(33, odd.m_nFrameWidth);
}

TEST(CSpriteImage, WithoutASurfaceDrawsNothingAndSaysTrue)
{
    CSpriteImage image;
    EXPECT_TRUE(image.DrawFrame(nullptr, 0, 0, 0));
    EXPECT_TRUE(image.DrawFrame(nullptr, 0, 0, -1));
    EXPECT_TRUE(image.DrawFrame(nullptr, 0, 0, 1));
    EXPECT_TRUE(image.DrawRegion(nullptr, 0, 0, 5, 5, 0, 0));
}
