#include "render/banner_geometry.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

TEST(BannerGeometry, RepeatCount) {
    const struct {
        int32_t innerWidth;
        int32_t textWidth;
        int32_t count;
    } cases[] = {
        {300, 400, 1},  // a text wider than the strip appears three times
        {300, 301, 1},
        {300, 300, 1},
        {300, 299, 1},
        {300, 100, 3},
        {300, 99, 3},
        {300, 1, 300},
        {0, 50, 1},
        {-10, 50, 1},
        {300, 0, 0},  // an empty text fills nothing, and is never divided
                      // by
        {300, -5, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(BannerRepeatCount(c.innerWidth, c.textWidth), c.count) << c.innerWidth << " " << c.textWidth;
    }
}

TEST(BannerGeometry, StripLength) {
    EXPECT_EQ(BannerStripLength(10, 1), 30u);
    EXPECT_EQ(BannerStripLength(10, 3), 90u);
    EXPECT_EQ(BannerStripLength(0, 3), 0u);
    EXPECT_EQ(BannerStripLength(10, 0), 0u);
    EXPECT_EQ(BannerStripLength(65535, 20000), 0u);  // beyond what a text call takes
    EXPECT_EQ(BannerStripLength(std::numeric_limits<size_t>::max() / 2, 2), 0u);
}

// Runs the ticker for a few thousand frames of a strip laid out as the banner lays it out: three
// thirds of the text repeated n times, in a host whose inner rectangle runs from 2 to innerRight.
TEST(BannerGeometry, EntersOnceThenScrollsWithoutSeam) {
    const struct {
        int32_t innerRight;
        int32_t textWidth;
        int32_t step;
    } cases[] = {
        {500, 120, 2},  // short text: repeated four times per third
        {500, 700, 2},  // a text wider than the strip
        {500, 498, 3},  // exactly one copy per third, a step that does not divide the widths
        {31, 7, 5},    {500, 1, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.innerRight << " " << c.textWidth << " " << c.step);
        const int32_t third = BannerRepeatCount(c.innerRight - 2, c.textWidth) * c.textWidth;
        const int32_t stripWidth = 3 * third;
        const int32_t stripHeight = 13;
        BannerMotion motion{0, c.step, false};
        bool scrolling = false;
        int32_t previousSource = 0;
        int32_t entered = 0;
        for (int frame = 0; frame < 5000; ++frame) {
            const BannerBlock block = NextBannerFrame(motion, stripWidth, stripHeight, c.innerRight);
            ASSERT_EQ(block.height, stripHeight);
            ASSERT_EQ(block.sourceY, 0);
            ASSERT_EQ(block.destinationY, 1);
            if (!scrolling && block.width != c.innerRight) {
                // entering from the right: the strip's start, growing by one step a frame
                ASSERT_EQ(block.sourceX, 0);
                ASSERT_EQ(block.width, frame * c.step);
                ASSERT_EQ(block.destinationX, c.innerRight - block.width);
                entered = block.width;
                continue;
            }
            ASSERT_EQ(block.destinationX, 1) << "frame " << frame;
            ASSERT_EQ(block.width, c.innerRight);
            ASSERT_GE(block.sourceX, 0);
            ASSERT_LE(block.sourceX + block.width, stripWidth);
            // the picture moves on by 1 to step pixels modulo one third: never backwards, never a jump
            const int32_t moved = scrolling ? ((block.sourceX - previousSource) % third + third) % third
                                            : block.sourceX + c.innerRight - entered;
            ASSERT_GE(moved, 1) << "frame " << frame;
            ASSERT_LE(moved, c.step) << "frame " << frame;
            scrolling = true;
            previousSource = block.sourceX;
        }
        EXPECT_TRUE(motion.wrapped);
    }
}

TEST(BannerGeometry, NoStepCopiesNothing) {
    BannerMotion motion{0, 0, false};
    const BannerBlock block = NextBannerFrame(motion, 900, 13, 500);
    EXPECT_LE(block.width, 0);
}

}  // namespace
