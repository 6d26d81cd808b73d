// Sizes at another DPI as plain rules: scaling pixels between DPIs and the toolbar images
// drawn for each.
#include <gtest/gtest.h>

#include <climits>

#include "platform/rules/DpiScale.h"

TEST(DpiScale, ScalesToTheNearestPixelWithHalvesAwayFromZero) {
    EXPECT_EQ(ScaleForDpi(16, 96, 144), 24);
    EXPECT_EQ(ScaleForDpi(16, 96, 192), 32);
    EXPECT_EQ(ScaleForDpi(23, 96, 144), 35);   // 34.5
    EXPECT_EQ(ScaleForDpi(-11, 96, 144), -17);  // a font's negative height: -16.5
    EXPECT_EQ(ScaleForDpi(22, 96, 120), 28);   // 27.5
    EXPECT_EQ(ScaleForDpi(36, 144, 96), 24);   // back from 150 %
    EXPECT_EQ(ScaleForDpi(0, 96, 192), 0);
}

TEST(DpiScale, SameOrUnknownDpiLeavesTheSizeAndLargeSizesSaturate) {
    EXPECT_EQ(ScaleForDpi(37, 144, 144), 37);
    EXPECT_EQ(ScaleForDpi(37, 0, 144), 37);
    EXPECT_EQ(ScaleForDpi(37, 96, -1), 37);
    EXPECT_EQ(ScaleForDpi(INT_MAX, 96, 192), INT_MAX);
    EXPECT_EQ(ScaleForDpi(INT_MIN, 96, 192), INT_MIN);
    EXPECT_EQ(ScaleForDpi(INT_MAX, 192, 96), INT_MAX / 2 + 1);
}

// Never an image larger than 16 pixels would be at that scale: a smaller drawn one instead.
TEST(DpiScale, ToolbarImagesAreTheLargestDrawnSizeThatFits) {
    const struct {
        int dpi;
        int size;
    } cases[] = {{72, 16}, {96, 16}, {120, 16}, {143, 16}, {144, 24}, {168, 24},
                 {191, 24}, {192, 32}, {216, 32}, {288, 32}, {480, 32}};
    for (const auto& c : cases) EXPECT_EQ(ToolbarImageSize(c.dpi), c.size) << c.dpi << " dpi";
}
