// The band, readout and pixel rules of the rectangle selector, without windows.
#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "platform/rules/RuntimeError.h"
#include "select/SelectorGeometry.h"

namespace {

constexpr float kTpp = 15.0f;  // 96 DPI

float Px(float pixels) { return pixels * kTpp; }

}  // namespace

TEST(BandGeometry, DragsInAllFourDirectionsSpanFromTheAnchor) {
    const BandAnchor anchor = AnchorFromPress(Px(200), Px(100));
    ASSERT_EQ(anchor.X, 3000);
    ASSERT_EQ(anchor.Y, 1500);
    struct Case {
        float x, y;  // pointer, pixels
        float left, top, width, height;  // expected band, pixels
    };
    const Case cases[] = {
        {260, 130, 200, 100, 60, 30},  // right and down
        {140, 130, 140, 100, 60, 30},  // left and down
        {260, 70, 200, 70, 60, 30},    // right and up
        {140, 70, 140, 70, 60, 30},    // left and up
    };
    for (const Case& c : cases) {
        const TwipsRect band = BandFromPointer(anchor, Px(c.x), Px(c.y));
        EXPECT_FLOAT_EQ(band.Left, Px(c.left)) << c.x << "," << c.y;
        EXPECT_FLOAT_EQ(band.Top, Px(c.top)) << c.x << "," << c.y;
        EXPECT_FLOAT_EQ(band.Width, Px(c.width)) << c.x << "," << c.y;
        EXPECT_FLOAT_EQ(band.Height, Px(c.height)) << c.x << "," << c.y;
        // Mirrored drags read the same.
        EXPECT_EQ(ReadoutCaption(band, kTpp, kTpp), L"60 x 30");
    }
}

TEST(BandGeometry, PointerOnTheAnchorColumnGivesWidthZeroAndReadoutZero) {
    const BandAnchor anchor = AnchorFromPress(Px(50), Px(50));
    const TwipsRect band = BandFromPointer(anchor, Px(50), Px(80));
    EXPECT_FLOAT_EQ(band.Left, Px(50));
    EXPECT_FLOAT_EQ(band.Width, 0.0f);
    EXPECT_EQ(ReadoutCaption(band, kTpp, kTpp), L"0 x 30");
}

TEST(BandGeometry, HundredByFiftyPixelsReadsAsTheCopysSize) {
    const BandAnchor anchor = AnchorFromPress(Px(10), Px(20));
    const TwipsRect band = BandFromPointer(anchor, Px(110), Px(70));
    EXPECT_EQ(ReadoutCaption(band, kTpp, kTpp), L"100 x 50");
    const PixelRect copied = BandPixels(band, kTpp, kTpp);
    EXPECT_EQ(copied.Left, 10);
    EXPECT_EQ(copied.Top, 20);
    EXPECT_EQ(copied.Width, 100);
    EXPECT_EQ(copied.Height, 50);
}

TEST(BandGeometry, PressWithoutMovingIsAZeroBandAtThePressPoint) {
    const TwipsRect band = BandAtPress(Px(321), Px(123));
    const PixelRect copied = BandPixels(band, kTpp, kTpp);
    EXPECT_EQ(copied.Left, 321);
    EXPECT_EQ(copied.Top, 123);
    EXPECT_EQ(copied.Width, 0);
    EXPECT_EQ(copied.Height, 0);
    // The readout is centred on the press and keeps its fixed size.
    const TwipsRect readout = ReadoutCentredOn(Px(321), Px(123));
    EXPECT_FLOAT_EQ(readout.Left, Px(321) - 550.0f);
    EXPECT_FLOAT_EQ(readout.Top, Px(123) - 90.0f);
    EXPECT_FLOAT_EQ(readout.Width, 1100.0f);
    EXPECT_FLOAT_EQ(readout.Height, 180.0f);
}

TEST(BandGeometry, ReadoutIsCentredOnTheBandAndMayLeaveTheScreen) {
    const TwipsRect band{0.0f, 0.0f, Px(10), Px(4)};
    const TwipsRect readout = ReadoutCentredOnBand(band);
    EXPECT_FLOAT_EQ(readout.Left, -550.0f + Px(5));
    EXPECT_FLOAT_EQ(readout.Top, -90.0f + Px(2));
}

TEST(BandGeometry, AnchorCoversPressesBeyondPixel2184) {
    // 2185 px * 15 = 32775 twips: past the end of 16 bits.
    const BandAnchor anchor = AnchorFromPress(Px(2185), Px(3000));
    EXPECT_EQ(anchor.X, 32775);
    EXPECT_EQ(anchor.Y, 45000);
    const TwipsRect band = BandFromPointer(anchor, Px(3100), Px(2900));
    const PixelRect copied = BandPixels(band, kTpp, kTpp);
    EXPECT_EQ(copied.Left, 2185);
    EXPECT_EQ(copied.Top, 2900);
    EXPECT_EQ(copied.Width, 915);
    EXPECT_EQ(copied.Height, 100);
    EXPECT_EQ(ReadoutCaption(band, kTpp, kTpp), L"915 x 100");
}

TEST(BandGeometry, RoundingHalvesToEven) {
    // 22.5 twips rounds to 22 and 37.5 to 38: the anchor takes the even neighbour.
    const BandAnchor anchor = AnchorFromPress(22.5f, 37.5f);
    EXPECT_EQ(anchor.X, 22);
    EXPECT_EQ(anchor.Y, 38);
    // 7.5 twips at 15 twips per pixel is half a pixel: 0; 22.5 is 1.5: 2.
    EXPECT_EQ(ReadoutCaption(TwipsRect{0, 0, 7.5f, 22.5f}, kTpp, kTpp), L"0 x 2");
    const PixelRect copied = BandPixels(TwipsRect{22.5f, 37.5f, 7.5f, 22.5f}, kTpp, kTpp);
    EXPECT_EQ(copied.Left, 2);   // 1.5 -> 2
    EXPECT_EQ(copied.Top, 2);    // 2.5 -> 2
    EXPECT_EQ(copied.Width, 0);  // 0.5 -> 0
    EXPECT_EQ(copied.Height, 2); // 1.5 -> 2
}

TEST(BandGeometry, ReadoutKeepsItsSixteenBitNumbers) {
    // 32767 pixels read 32767; one more overflows, as the readout's numbers are 16 bits.
    EXPECT_EQ(ReadoutCaption(TwipsRect{0, 0, Px(32767), 0}, kTpp, kTpp), L"32767 x 0");
    try {
        ReadoutCaption(TwipsRect{0, 0, Px(32768), 0}, kTpp, kTpp);
        FAIL() << "no overflow";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.Number(), 6);
    }
}

TEST(Loupe, StaysBesideThePointerOnItsMonitorChangingSideNearAnEdge) {
    // Two monitors: 1920 x 1080 primary, 1280 x 1024 left of it and 100 pixels lower.
    const std::vector<MonitorArea> monitors = {
        {EdgeRect{0, 0, 1920, 1080}, EdgeRect{0, 0, 1920, 1040}, true},
        {EdgeRect{-1280, 100, 0, 1124}, EdgeRect{-1280, 100, 0, 1124}, false},
    };
    struct Case {
        int x, y;
        int left, top;  // expected: 122 x 138 pixels, 16 pixels off the pointer
    };
    const Case cases[] = {
        {500, 400, 516, 416},       // below right
        {1850, 400, 1712, 416},     // near the right edge: left of the pointer
        {500, 1000, 516, 846},      // near the bottom: above it
        {1900, 1070, 1762, 916},    // the corner: both
        {1919, 5, 1781, 21},        // the last column
        {-10, 300, -148, 316},      // on the left monitor, at its right edge
        {-1280, 100, -1264, 116},   // that monitor's top-left corner
        {-600, 1110, -584, 956},    // its bottom, below the primary's
        {-600, 50, -584, 100},      // over the gap above it: the nearest monitor, the left one, held within it
        {60, 40, 76, 56},           // at the primary's top left
    };
    for (const Case& c : cases) {
        const EdgeRect loupe = LoupePlacement(c.x, c.y, 122, 138, 16, MonitorAtPoint(monitors, c.x, c.y));
        EXPECT_EQ(loupe.Left, c.left) << c.x << "," << c.y;
        EXPECT_EQ(loupe.Top, c.top) << c.x << "," << c.y;
        EXPECT_EQ(loupe.Right - loupe.Left, 122) << c.x << "," << c.y;
        EXPECT_EQ(loupe.Bottom - loupe.Top, 138) << c.x << "," << c.y;
    }
    // A monitor smaller than the loupe: its top-left corner.
    const EdgeRect tiny{0, 0, 100, 100};
    const EdgeRect squeezed = LoupePlacement(50, 50, 122, 138, 16, tiny);
    EXPECT_EQ(squeezed.Left, 0);
    EXPECT_EQ(squeezed.Top, 0);
    // No monitor at all: the point itself stands in for one.
    const EdgeRect none = MonitorAtPoint({}, 7, 9);
    EXPECT_EQ(none.Left, 7);
    EXPECT_EQ(none.Right, 8);
}

TEST(Loupe, ZoomGrowsWithTheDpiAndTheCaptionNamesPositionAndColour) {
    const struct {
        int dpi, zoom;
    } zooms[] = {{96, 8}, {120, 10}, {144, 12}, {192, 16}, {288, 24}, {72, 6}, {6, 1}, {0, 1}};
    for (const auto& z : zooms) EXPECT_EQ(LoupeZoom(z.dpi), z.zoom) << z.dpi;
    EXPECT_EQ(LoupeCaption(1203, 88, 0x1E, 0x90, 0xFF), L"1203, 88  #1E90FF");
    EXPECT_EQ(LoupeCaption(-1280, 0, 0, 0, 0), L"-1280, 0  #000000");
    EXPECT_EQ(LoupeCaption(3839, 2159, 255, 255, 255), L"3839, 2159  #FFFFFF");
}

TEST(WindowSnapping, TakesTheInnermostControlOfTheFrontmostWindowOrTheMonitor) {
    // Two monitors side by side; the desktop spans both.
    const std::vector<MonitorArea> monitors = {{{0, 0, 1000, 800}, {0, 0, 1000, 760}, true},
                                               {{1000, 0, 1800, 600}, {1000, 0, 1800, 600}, false}};
    const EdgeRect desktop{0, 0, 1800, 800};
    // Front to back: a small window over a larger one; the larger has a panel holding a
    // button, and a second panel behind the first; windows reaching past the desktop.
    const std::vector<SnapCandidate> windows = {
        {{300, 200, 400, 300}, 0},    // A: in front
        {{100, 100, 700, 500}, 0},    // B
        {{150, 150, 450, 450}, 1},    //   B's panel
        {{160, 160, 260, 190}, 2},    //     its button
        {{420, 400, 900, 480}, 2},    //     a control sticking out of the panel
        {{140, 140, 600, 460}, 1},    //   B's panel behind the first
        {{400, 300, 560, 330}, 2},    //     its button, partly behind the first panel
        {{-50, -40, 90, 60}, 0},      // C: partly off the desktop
        {{1700, 100, 2100, 200}, 0},  // D: past the desktop's right edge
        {{0, 0, 1800, 800}, 0},       // E: behind everything, as large as the desktop
    };
    const std::vector<SnapCandidate> scattered(windows.begin(), windows.end() - 1);
    struct Case {
        const char* what;
        const std::vector<SnapCandidate>* list;
        std::int32_t x, y;
        EdgeRect expected;
        bool window;
    };
    const Case cases[] = {
        {"front window over another", &windows, 350, 250, {300, 200, 400, 300}, true},
        {"front window's top-left edge", &windows, 300, 200, {300, 200, 400, 300}, true},
        {"past its right edge: the one behind", &scattered, 400, 250, {150, 150, 450, 450}, true},
        {"button in a panel in a window", &windows, 160, 189, {160, 160, 260, 190}, true},
        {"below the button: its panel", &windows, 160, 190, {150, 150, 450, 450}, true},
        {"control clipped to its panel", &windows, 430, 420, {420, 400, 450, 450}, true},
        {"outside the panel, its control beyond", &windows, 460, 420, {140, 140, 600, 460}, true},
        {"second panel's button hidden behind the first", &windows, 449, 310, {150, 150, 450, 450}, true},
        {"second panel's button where it shows", &windows, 450, 300, {400, 300, 560, 330}, true},
        {"window only within its own edges", &windows, 120, 120, {100, 100, 700, 500}, true},
        {"clipped to the desktop", &windows, 0, 0, {0, 0, 90, 60}, true},
        {"no window: the first monitor", &scattered, 950, 700, {0, 0, 1000, 800}, false},
        {"no window: the second monitor", &scattered, 1000, 100, {1000, 0, 1800, 600}, false},
        {"a window past the desktop, clipped", &scattered, 1799, 150, {1700, 100, 1800, 200}, true},
        {"the window behind all others", &windows, 950, 700, {0, 0, 1800, 800}, true},
        {"right after a window's bottom edge", &scattered, 300, 500, {0, 0, 1000, 800}, false},
    };
    for (const Case& c : cases) {
        const SnapResult snap = SnapTarget(*c.list, monitors, desktop, c.x, c.y);
        EXPECT_EQ(snap.Window, c.window) << c.what;
        EXPECT_EQ(snap.Bounds.Left, c.expected.Left) << c.what;
        EXPECT_EQ(snap.Bounds.Top, c.expected.Top) << c.what;
        EXPECT_EQ(snap.Bounds.Right, c.expected.Right) << c.what;
        EXPECT_EQ(snap.Bounds.Bottom, c.expected.Bottom) << c.what;
    }
    // Nothing at all listed and no monitor: the point alone.
    const SnapResult bare = SnapTarget({}, {}, desktop, 7, 9);
    EXPECT_FALSE(bare.Window);
    EXPECT_EQ(bare.Bounds.Right - bare.Bounds.Left, 1);
}

TEST(WindowSnapping, AClickTurnsIntoADragOnlyBeyondTheDragDistance) {
    const struct {
        std::int32_t dx, dy;
        bool beyond;
    } moves[] = {{0, 0, false},  {4, 4, false},  {-4, -4, false}, {5, 0, true},
                 {0, -5, true},  {-5, 4, true},  {4, 5, true},    {INT32_MIN, 0, true}};
    for (const auto& m : moves) EXPECT_EQ(BeyondDragDistance(m.dx, m.dy, 4, 4), m.beyond) << m.dx << "," << m.dy;
}

TEST(BandRepaint, OutlinesAPixelApartBecomeOneAreaFarOnesStaySeparate) {
    // A band across a 1920 x 1080 screen moved by 3 pixels: its old and new edges.
    const auto outline = [](int l, int t, int r, int b) {
        return std::vector<EdgeRect>{{l, t, r, t + 1}, {l, b - 1, r, b}, {l, t, l + 1, b}, {r - 1, t, r, b}};
    };
    std::vector<EdgeRect> moved = outline(10, 10, 1620, 880);
    for (const EdgeRect& edge : outline(10, 10, 1623, 883)) moved.push_back(edge);
    const std::vector<EdgeRect> areas = RepaintAreas(moved, 4096);
    std::int64_t shown = 0;
    for (const EdgeRect& a : areas) shown += std::int64_t{a.Right - a.Left} * (a.Bottom - a.Top);
    // Top, bottom, left and right, the old and the new edge of each as one: never the
    // band's interior (1.4 million pixels), which one bounding box would be.
    EXPECT_EQ(areas.size(), 4u);
    EXPECT_LT(shown, 20000);

    struct Case {
        std::vector<EdgeRect> in;
        std::vector<EdgeRect> out;
    };
    const Case cases[] = {
        {{}, {}},
        {{{5, 5, 5, 9}, {1, 1, 0, 3}}, {}},                       // empty ones go
        {{{0, 0, 10, 10}}, {{0, 0, 10, 10}}},                     // alone
        {{{0, 0, 10, 10}, {0, 0, 10, 10}}, {{0, 0, 10, 10}}},     // the same twice
        {{{0, 0, 100, 1}, {0, 2, 100, 3}}, {{0, 0, 100, 3}}},     // neighbours
        {{{0, 0, 1, 1000}, {999, 0, 1000, 1000}}, {{0, 0, 1, 1000}, {999, 0, 1000, 1000}}},  // a band's sides
        // The merge of two makes the third worth merging.
        {{{0, 0, 50, 50}, {100, 0, 150, 50}, {50, 0, 100, 50}}, {{0, 0, 150, 50}}},
    };
    for (const Case& c : cases) {
        const std::vector<EdgeRect> got = RepaintAreas(c.in, 4096);
        ASSERT_EQ(got.size(), c.out.size());
        for (std::size_t i = 0; i < got.size(); ++i) {
            EXPECT_EQ(got[i].Left, c.out[i].Left);
            EXPECT_EQ(got[i].Top, c.out[i].Top);
            EXPECT_EQ(got[i].Right, c.out[i].Right);
            EXPECT_EQ(got[i].Bottom, c.out[i].Bottom);
        }
    }
}
