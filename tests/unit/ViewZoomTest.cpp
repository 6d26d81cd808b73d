// The view's scale rules: zoom steps, fitting, scaled lengths, zooming about a point, the
// wheel's distance and the status text.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include <windows.h>

#include "platform/rules/ViewZoom.h"

TEST(ViewZoomSteps, RunFromTenToSixteenHundredPercentAndStopAtTheEnds) {
    std::vector<double> up{0.10};
    while (up.back() < ViewZoom::kMaximum) {
        const double next = ViewZoom::StepIn(up.back());
        ASSERT_GT(next, up.back());
        up.push_back(next);
        ASSERT_LT(up.size(), 40u);
    }
    EXPECT_DOUBLE_EQ(up.back(), 16.0);
    EXPECT_DOUBLE_EQ(ViewZoom::StepIn(16.0), 16.0);
    // Down again through the same steps.
    for (std::size_t i = up.size() - 1; i > 0; --i) EXPECT_DOUBLE_EQ(ViewZoom::StepOut(up[i]), up[i - 1]);
    EXPECT_DOUBLE_EQ(ViewZoom::StepOut(0.10), 0.10);
    // A picture fitted below the smallest step stays there when zooming out.
    EXPECT_DOUBLE_EQ(ViewZoom::StepOut(0.065), 0.065);
    EXPECT_DOUBLE_EQ(ViewZoom::StepIn(0.065), 0.10);
    // The steps everyone expects are among them.
    for (double wanted : {0.25, 0.5, 1.0, 2.0, 4.0, 8.0})
        EXPECT_NE(std::find(up.begin(), up.end(), wanted), up.end()) << wanted;
}

TEST(ViewZoomSteps, AFittedZoomGoesToTheNeighbouringStep) {
    EXPECT_DOUBLE_EQ(ViewZoom::StepIn(0.4375), 0.5);
    EXPECT_DOUBLE_EQ(ViewZoom::StepOut(0.4375), 0.333333);
    // A fitted zoom a hair off a step counts as that step, not as a step of its own.
    EXPECT_DOUBLE_EQ(ViewZoom::StepIn(0.49999), 0.666667);
    EXPECT_DOUBLE_EQ(ViewZoom::StepOut(0.50001), 0.333333);
}

TEST(ViewZoomFit, TheWholePictureFitsAndIsNeverEnlarged) {
    // 4000 x 3000 in 487 x 380: the width decides; in 600 x 380 the height does.
    double zoom = ViewZoom::Fit(4000, 3000, 487, 380);
    EXPECT_EQ(ViewZoom::Scaled(4000, zoom), 487);
    EXPECT_LE(ViewZoom::Scaled(3000, zoom), 380);
    zoom = ViewZoom::Fit(4000, 3000, 600, 380);
    EXPECT_LE(ViewZoom::Scaled(4000, zoom), 600);
    EXPECT_EQ(ViewZoom::Scaled(3000, zoom), 380);
    // Lengths that do not divide evenly still land exactly on the area's edge, never past it.
    for (int area = 97; area < 700; area += 37) {
        const double fitted = ViewZoom::Fit(7680, 4320, area, 10000);
        EXPECT_EQ(ViewZoom::Scaled(7680, fitted), area) << area;
    }
    EXPECT_DOUBLE_EQ(ViewZoom::Fit(200, 100, 800, 600), 1.0);
    // An 8K picture in a small window fits below the smallest step; a sliver stops at the floor.
    EXPECT_LT(ViewZoom::Fit(7680, 4320, 500, 400), ViewZoom::kMinimum);
    EXPECT_DOUBLE_EQ(ViewZoom::Fit(7680, 4320, 2, 2), ViewZoom::kFloor);
    EXPECT_DOUBLE_EQ(ViewZoom::Fit(0, 0, 100, 100), 1.0);
}

TEST(ViewZoomScaled, RoundsDownButKeepsAPixel) {
    EXPECT_EQ(ViewZoom::Scaled(3840, 0.5), 1920);
    EXPECT_EQ(ViewZoom::Scaled(7680, 16.0), 122880);
    EXPECT_EQ(ViewZoom::Scaled(3, 0.5), 1);
    EXPECT_EQ(ViewZoom::Scaled(1, 0.1), 1);
    EXPECT_EQ(ViewZoom::Scaled(0, 2.0), 0);
}

TEST(ViewZoomAbout, ThePointUnderTheAnchorStaysUnderIt) {
    // Viewport scrolled to 300; pointer at 100: picture pixel 400 at 100 %.
    const double offset = ViewZoom::OffsetAbout(300, 100, 1.0, 2.0);
    EXPECT_DOUBLE_EQ(offset, 700);  // 400 at 200 % is 800, shown at 800 - 700 = 100
    EXPECT_DOUBLE_EQ(ViewZoom::OffsetAbout(offset, 100, 2.0, 1.0), 300);
    EXPECT_DOUBLE_EQ(ViewZoom::OffsetAbout(0, 0, 1.0, 0.25), 0);
}

TEST(ViewZoomWheel, ANotchIsTheSystemsLinesOfTwentyPixelsOrAPage) {
    EXPECT_EQ(ViewZoom::WheelDistance(WHEEL_DELTA, 3, 20, 400), 60);
    EXPECT_EQ(ViewZoom::WheelDistance(-3 * WHEEL_DELTA, 3, 20, 400), -180);
    EXPECT_EQ(ViewZoom::WheelDistance(WHEEL_DELTA, 7, 20, 400), 140);
    EXPECT_EQ(ViewZoom::WheelDistance(WHEEL_DELTA, WHEEL_PAGESCROLL, 20, 400), 400);
    // A precise wheel's part of a notch scrolls its part of the distance.
    EXPECT_EQ(ViewZoom::WheelDistance(WHEEL_DELTA / 4, 3, 20, 400), 15);
    EXPECT_EQ(ViewZoom::WheelDistance(WHEEL_DELTA, 0, 20, 400), 0);
}

TEST(ViewZoomDescribe, SizeInPixelsAndZoomInPercent) {
    EXPECT_EQ(ViewZoom::Describe(3840, 2160, 0.5), L"3840 x 2160 px  50%");
    EXPECT_EQ(ViewZoom::Describe(4000, 3000, 1.0), L"4000 x 3000 px  100%");
    EXPECT_EQ(ViewZoom::Describe(7680, 4320, 16.0), L"7680 x 4320 px  1600%");
    EXPECT_EQ(ViewZoom::Describe(800, 600, 0.333333), L"800 x 600 px  33%");
}
