// The desktop of several monitors as plain rules: its bounds, the clipping of window
// captures to it, and whether a window shows on a monitor at all.
#include <gtest/gtest.h>

#include <vector>

#include "platform/rules/DesktopGeometry.h"
#include "platform/rules/ScreenGeometry.h"

namespace {

MonitorArea Monitor(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom, bool primary = false) {
    return MonitorArea{EdgeRect{left, top, right, bottom}, EdgeRect{left, top, right, bottom - 40}, primary};
}

void ExpectEdges(const EdgeRect& actual, std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom) {
    EXPECT_EQ(actual.Left, left);
    EXPECT_EQ(actual.Top, top);
    EXPECT_EQ(actual.Right, right);
    EXPECT_EQ(actual.Bottom, bottom);
}

// Primary 1920 x 1080; a 1280 x 1024 monitor on its left, lower by 100; a 1024 x 768
// monitor above its right half.
const std::vector<MonitorArea> kThree{Monitor(0, 0, 1920, 1080, true), Monitor(-1280, 100, 0, 1124),
                                      Monitor(960, -768, 1984, 0)};

}  // namespace

TEST(DesktopBounds, IsTheSmallestRectangleHoldingEveryMonitor) {
    ExpectEdges(DesktopBounds({Monitor(0, 0, 1024, 768, true)}), 0, 0, 1024, 768);
    ExpectEdges(DesktopBounds({Monitor(0, 0, 1280, 1024, true), Monitor(1280, 0, 2304, 768)}), 0, 0, 2304, 1024);
    ExpectEdges(DesktopBounds(kThree), -1280, -768, 1984, 1124);
    // The order of the list does not matter.
    ExpectEdges(DesktopBounds({kThree[2], kThree[1], kThree[0]}), -1280, -768, 1984, 1124);
    ExpectEdges(DesktopBounds({}), 0, 0, 0, 0);
}

TEST(ClipToDesktop, OnOneScreenAtTheOriginEachEdgeIsClippedOnItsOwn) {
    const EdgeRect screen{0, 0, 1024, 768};
    const struct {
        EdgeRect rect, expected;
    } cases[] = {
        {{10, 20, 300, 200}, {10, 20, 300, 200}},
        // Each overhanging edge on its own.
        {{-40, 20, 300, 200}, {0, 20, 300, 200}},
        {{10, -5, 300, 200}, {10, 0, 300, 200}},
        {{900, 20, 1100, 200}, {900, 20, 1024, 200}},
        {{10, 700, 300, 800}, {10, 700, 300, 768}},
        {{-5, -5, 2000, 2000}, {0, 0, 1024, 768}},
        // Wholly right or below: the near edge goes to 0, the capture spans the screen.
        {{1100, 20, 1400, 200}, {0, 20, 1024, 200}},
        {{10, 800, 300, 900}, {10, 0, 300, 768}},
        // Parked far off to the top-left: the whole screen.
        {{-32000, -32000, -31800, -31850}, {0, 0, 1024, 768}},
        // Strict comparisons: an edge on the screen's edge stays, a missing window's zeros too.
        {{1024, 20, 1200, 200}, {1024, 20, 1024, 200}},
        {{1024, 768, 1024, 768}, {1024, 768, 1024, 768}},
        {{0, 0, 0, 0}, {0, 0, 0, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.rect.Left << "," << c.rect.Top << "," << c.rect.Right << "," << c.rect.Bottom);
        ExpectEdges(ClipToDesktop(c.rect, screen), c.expected.Left, c.expected.Top, c.expected.Right, c.expected.Bottom);
    }
}

TEST(ClipToDesktop, KeepsAWindowOnAMonitorLeftOfOrAboveThePrimaryWhole) {
    const EdgeRect desktop = DesktopBounds(kThree);
    // Wholly on the left monitor, wholly on the top one, across the left edge of the primary.
    ExpectEdges(ClipToDesktop(EdgeRect{-1000, 300, -200, 900}, desktop), -1000, 300, -200, 900);
    ExpectEdges(ClipToDesktop(EdgeRect{1000, -700, 1900, -100}, desktop), 1000, -700, 1900, -100);
    ExpectEdges(ClipToDesktop(EdgeRect{-300, 200, 500, 600}, desktop), -300, 200, 500, 600);
}

TEST(ClipToDesktop, EachEdgeBeyondTheDesktopIsReplacedOnItsOwn) {
    const EdgeRect desktop{-1280, -768, 1984, 1124};
    ExpectEdges(ClipToDesktop(EdgeRect{-1300, 0, 100, 100}, desktop), -1280, 0, 100, 100);
    ExpectEdges(ClipToDesktop(EdgeRect{0, -800, 100, 100}, desktop), 0, -768, 100, 100);
    ExpectEdges(ClipToDesktop(EdgeRect{1900, 0, 2100, 100}, desktop), 1900, 0, 1984, 100);
    ExpectEdges(ClipToDesktop(EdgeRect{0, 1000, 100, 1200}, desktop), 0, 1000, 100, 1124);
    // Wholly beyond the right: the near edge goes to the desktop's near edge, as on one screen.
    ExpectEdges(ClipToDesktop(EdgeRect{2000, 0, 2100, 100}, desktop), -1280, 0, 1984, 100);
    // Wholly beyond the left: the far edge goes to the desktop's far edge.
    ExpectEdges(ClipToDesktop(EdgeRect{-1500, 0, -1400, 100}, desktop), -1280, 0, 1984, 100);
    // On the edges themselves nothing changes: the comparisons are strict.
    ExpectEdges(ClipToDesktop(EdgeRect{-1280, -768, 1984, 1124}, desktop), -1280, -768, 1984, 1124);
}

TEST(ShowsOnAMonitor, NeedsTheMinimumOnOneMonitor) {
    const std::vector<MonitorArea> one{Monitor(0, 0, 1024, 768, true)};
    EXPECT_TRUE(ShowsOnAMonitor(EdgeRect{262, 167, 762, 600}, one, 100));
    // 100 x 100 exactly is enough; 99 in either direction is not.
    EXPECT_TRUE(ShowsOnAMonitor(EdgeRect{924, 668, 1424, 1100}, one, 100));
    EXPECT_FALSE(ShowsOnAMonitor(EdgeRect{925, 0, 1425, 400}, one, 100));
    EXPECT_FALSE(ShowsOnAMonitor(EdgeRect{0, 669, 500, 1100}, one, 100));
    EXPECT_FALSE(ShowsOnAMonitor(EdgeRect{-600, 0, -100, 400}, one, 100));
    EXPECT_FALSE(ShowsOnAMonitor(EdgeRect{2147483000, 0, 2147483600, 400}, one, 100));
    EXPECT_FALSE(ShowsOnAMonitor(EdgeRect{-2147483600, -2147483600, 2147483600, -2147483000}, one, 100));
    EXPECT_FALSE(ShowsOnAMonitor(EdgeRect{0, 0, 500, 400}, {}, 100));
}

TEST(ShowsOnAMonitor, AWindowOnAPresentMonitorShowsOneOnAMissingMonitorDoesNot) {
    EXPECT_TRUE(ShowsOnAMonitor(EdgeRect{-1000, 300, -500, 733}, kThree, 100));
    EXPECT_TRUE(ShowsOnAMonitor(EdgeRect{1200, -600, 1700, -167}, kThree, 100));
    // The left monitor unplugged: the same placement no longer shows.
    EXPECT_FALSE(ShowsOnAMonitor(EdgeRect{-1000, 300, -500, 733}, {kThree[0], kThree[2]}, 100));
    // Inside the desktop's bounds but over a gap: above the left monitor, left of the top one.
    EXPECT_FALSE(ShowsOnAMonitor(EdgeRect{-1000, -600, -500, -167}, kThree, 100));
    EXPECT_FALSE(ShowsOnAMonitor(EdgeRect{100, -700, 600, -267}, kThree, 100));
}

TEST(UncoveredBands, AreNoneForACoveredAreaAndTileTheRestExactlyOtherwise) {
    EXPECT_TRUE(UncoveredBands(EdgeRect{0, 0, 1920, 1080}, EdgeRect{0, 0, 1920, 1080}).empty());
    // Over the right and bottom edges: the band below across the width, then the one on the right.
    auto bands = UncoveredBands(EdgeRect{1860, 1030, 1960, 1110}, EdgeRect{1860, 1030, 1920, 1080});
    ASSERT_EQ(bands.size(), 2u);
    ExpectEdges(bands[0], 1860, 1080, 1960, 1110);
    ExpectEdges(bands[1], 1920, 1030, 1960, 1080);
    // Inner in the middle: four bands whose areas add up to what it leaves, without overlap.
    const EdgeRect outer{-30, -20, 70, 60};
    const EdgeRect inner{0, 0, 50, 40};
    bands = UncoveredBands(outer, inner);
    ASSERT_EQ(bands.size(), 4u);
    ExpectEdges(bands[0], -30, -20, 70, 0);
    ExpectEdges(bands[1], -30, 40, 70, 60);
    ExpectEdges(bands[2], -30, 0, 0, 40);
    ExpectEdges(bands[3], 50, 0, 70, 40);
    long area = 0;
    for (const EdgeRect& band : bands) area += long(band.Right - band.Left) * (band.Bottom - band.Top);
    EXPECT_EQ(area, 100L * 80 - 50L * 40);
    // An empty inner at a corner leaves the whole area as one band.
    bands = UncoveredBands(EdgeRect{5, 5, 25, 15}, EdgeRect{5, 5, 5, 5});
    ASSERT_EQ(bands.size(), 1u);
    ExpectEdges(bands[0], 5, 5, 25, 15);
}

TEST(IntersectDesktop, KeepsWhatLiesOnTheDesktopAndNothingWhenNothingDoes) {
    const EdgeRect desktop = DesktopBounds(kThree);  // -1280, -768, 1984, 1124
    const struct {
        EdgeRect rect;
        bool some;
        EdgeRect expected;
    } cases[] = {
        {{10, 20, 300, 200}, true, {10, 20, 300, 200}},
        {{-1300, -800, -1200, -700}, true, {-1280, -768, -1200, -700}},
        {{1900, 1000, 2500, 1500}, true, {1900, 1000, 1984, 1124}},
        {{-5000, -5000, 5000, 5000}, true, {-1280, -768, 1984, 1124}},
        // Beyond one edge, or touching it from outside: nothing left.
        {{1984, 0, 2100, 100}, false, {}},
        {{0, 1124, 100, 1200}, false, {}},
        {{-1400, 0, -1280, 100}, false, {}},
        {{0, -900, 100, -768}, false, {}},
        {{3000, 3000, 3100, 3100}, false, {}},
        // One pixel inside.
        {{1983, 1123, 2000, 2000}, true, {1983, 1123, 1984, 1124}},
    };
    for (const auto& c : cases) {
        const auto common = IntersectDesktop(c.rect, desktop);
        ASSERT_EQ(common.has_value(), c.some) << c.rect.Left << "," << c.rect.Top;
        if (c.some) ExpectEdges(*common, c.expected.Left, c.expected.Top, c.expected.Right, c.expected.Bottom);
    }
    // A desktop shrunk to the primary since the rectangle was taken on the left monitor.
    EXPECT_FALSE(IntersectDesktop(EdgeRect{-1000, 200, -100, 600}, EdgeRect{0, 0, 1920, 1080}).has_value());
}
