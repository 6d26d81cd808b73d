// The document view's rules: picture pixels and view pixels at any zoom, dragging out and
// adjusting a selection, its handles, what a drag step repaints, and the status texts.
#include <gtest/gtest.h>

#include <algorithm>

#include "document/DocumentViewGeometry.h"

namespace {

const PictureRect kPicture{0, 0, 640, 480};

bool Covered(const std::vector<ViewRect>& bands, ViewPoint point) {
    return std::any_of(bands.begin(), bands.end(), [&](const ViewRect& band) { return band.Contains(point); });
}

}  // namespace

TEST(ViewMapping, ThePixelUnderAViewPixelIsTheOneThePainterPutThere) {
    // A view pixel shows the last picture pixel whose edge lies at or before it, at every
    // zoom, also those a double cannot hold exactly, and on both sides of the origin.
    for (double zoom : {0.1, 0.25, 0.333333, 0.5, 0.666667, 0.75, 1.0, 1.5, 2.0, 3.0, 7.0, 16.0, 32.0}) {
        for (std::int32_t scroll : {0, 37, 1000}) {
            const ViewMapping view{zoom, {scroll, scroll}};
            for (std::int32_t v = -300; v <= 300; ++v) {
                const std::int32_t p = view.PictureX(v);
                ASSERT_LE(view.ViewX(p), v) << zoom << " " << scroll << " " << v;
                ASSERT_GT(view.ViewX(p + 1), v) << zoom << " " << scroll << " " << v;
                ASSERT_EQ(view.PictureY(v), p);
            }
            // Enlarged, every picture pixel is found again under its own first view pixel.
            if (zoom >= 1.0) {
                for (std::int32_t p = -50; p <= 200; ++p) ASSERT_EQ(view.PictureX(view.ViewX(p)), p) << zoom;
            }
        }
    }
}

TEST(ViewMapping, PlacesPixelEdgesByRoundingHalvesUp) {
    struct Case {
        double zoom;
        std::int32_t scroll, view, picture;
    } const cases[] = {
        {1.0, 0, 1203, 1203},  {1.0, 100, 0, 100},  {2.0, 0, 1, 0},      {2.0, 0, 2, 1},   {2.0, 0, -1, -1},
        {1.5, 0, 1, 0},        {1.5, 0, 2, 1},      {1.5, 0, 4, 2},      {1.5, 0, 5, 3},   {4.0, 100, 0, 25},
        {0.25, 0, 0, 1},       {0.25, 0, 1, 5},     {0.5, 0, 3, 6},      {32.0, 0, 31, 0}, {32.0, 0, 32, 1},
        {0.333333, 0, 1, 4},   {3.0, 7, 0, 2},
    };
    for (const Case& c : cases) {
        const ViewMapping view{c.zoom, {c.scroll, 0}};
        EXPECT_EQ(view.PictureX(c.view), c.picture) << c.zoom << " " << c.scroll << " " << c.view;
    }
    // A selection shows at least one view pixel wide however small it is drawn.
    const ViewMapping reduced{0.25, {0, 0}};
    EXPECT_EQ(reduced.ToView(PictureRect{8, 8, 9, 9}), (ViewRect{2, 2, 3, 3}));  // both edges at 2
    EXPECT_EQ((ViewMapping{3.0, {5, 6}}.ToView(PictureRect{1, 2, 4, 3})), (ViewRect{-2, 0, 7, 3}));
}

TEST(DragSelection, SpansBothPixelsInAnyDirectionWithinThePicture) {
    struct Case {
        PicturePoint press, pointer;
        PictureRect selection;
    } const cases[] = {
        {{10, 20}, {30, 25}, {10, 20, 31, 26}},         // down and right
        {{30, 25}, {10, 20}, {10, 20, 31, 26}},         // up and left
        {{30, 20}, {10, 25}, {10, 20, 31, 26}},         // down and left
        {{5, 5}, {5, 5}, {5, 5, 6, 6}},                 // not moved: one pixel
        {{600, 400}, {900, -30}, {600, 0, 640, 401}},   // beyond the right and top edges
        {{-20, 10}, {-5, 50}, {0, 10, 1, 51}},          // both left of the picture: its first column
        {{700, 500}, {800, 600}, {639, 479, 640, 480}}, // both beyond a corner: its last pixel
    };
    for (const Case& c : cases)
        EXPECT_EQ(DragSelection(c.press, c.pointer, kPicture), c.selection)
            << c.press.x << "," << c.press.y << " -> " << c.pointer.x << "," << c.pointer.y;
    EXPECT_TRUE(DragSelection({1, 1}, {2, 2}, PictureRect{}).IsEmpty());
}

TEST(SelectionHandles, SitOnTheOutlineAndAreFoundWithinTheTolerance) {
    using enum SelectionHandle;
    const ViewRect outline{100, 200, 301, 251};  // frame pixels 100 and 300, 200 and 250
    EXPECT_EQ(HandleRect(outline, TopLeft), (ViewRect{97, 197, 104, 204}));
    EXPECT_EQ(HandleRect(outline, Bottom), (ViewRect{197, 247, 204, 254}));
    EXPECT_EQ(HandleRect(outline, Right), (ViewRect{297, 222, 304, 229}));
    struct Case {
        ViewPoint point;
        SelectionHandle handle;
    } const cases[] = {
        {{100, 200}, TopLeft},    {{200, 200}, Top},  {{300, 200}, TopRight}, {{300, 225}, Right},
        {{300, 250}, BottomRight}, {{200, 250}, Bottom}, {{100, 250}, BottomLeft}, {{100, 225}, Left},
        {{95, 195}, TopLeft},     // two beyond the handle's corner: within the tolerance
        {{94, 200}, None},        // three beyond
        {{200, 225}, None},       // inside the selection, away from the handles
        {{150, 200}, None},       // on the outline between two handles
    };
    for (const Case& c : cases)
        EXPECT_EQ(HandleAt(outline, c.point, 2), c.handle) << c.point.x << "," << c.point.y;
    // On an outline too small to tell the handles apart, a corner wins.
    EXPECT_EQ(HandleAt(ViewRect{10, 10, 12, 12}, {11, 11}, 2), BottomRight);
    EXPECT_EQ(HandleAt(ViewRect{}, {0, 0}, 2), None);
}

TEST(AdjustSelection, MovesTheHandlesEdgesByThePointersPixelsAndMayTurnOver) {
    using enum SelectionHandle;
    const PictureRect selection{100, 100, 200, 150};  // last column 199, last row 149
    struct Case {
        SelectionHandle handle;
        PicturePoint press, pointer;
        PictureRect result;
    } const cases[] = {
        {BottomRight, {199, 149}, {199, 149}, selection},              // not moved: unchanged
        {BottomRight, {202, 151}, {212, 161}, {100, 100, 210, 160}},   // grabbed beside the corner
        {Right, {199, 120}, {249, 300}, {100, 100, 250, 150}},         // only the right edge
        {Top, {150, 100}, {900, 90}, {100, 90, 200, 150}},             // only the top edge
        {Left, {100, 120}, {250, 120}, {199, 100, 251, 150}},          // past the right edge: turned over
        {TopLeft, {100, 100}, {100, 149}, {100, 149, 200, 150}},       // onto the bottom row: one row high
        {TopLeft, {100, 100}, {-50, -50}, {0, 0, 200, 150}},           // stops at the picture's corner
        {BottomRight, {199, 149}, {5000, 5000}, {100, 100, 640, 480}}, // and at the opposite one
        {None, {0, 0}, {50, 50}, selection},
    };
    for (const Case& c : cases) {
        const PictureRect result = AdjustSelection(selection, c.handle, c.press, c.pointer, kPicture);
        EXPECT_EQ(result, c.result) << static_cast<int>(c.handle) << " to " << c.pointer.x << "," << c.pointer.y;
    }
}

TEST(OutlineRepaint, CoversBothFramesAndTheirHandlesButNotTheInside) {
    const ViewRect before{100, 100, 1100, 900};
    const ViewRect after{100, 100, 1110, 905};
    const std::vector<ViewRect> bands = OutlineRepaint(before, after);
    for (const ViewRect& outline : {before, after}) {
        for (SelectionHandle handle : {SelectionHandle::TopLeft, SelectionHandle::Bottom, SelectionHandle::BottomRight,
                                       SelectionHandle::Right}) {
            const ViewRect square = HandleRect(outline, handle);
            for (ViewPoint corner : {ViewPoint{square.left, square.top}, ViewPoint{square.right - 1, square.bottom - 1}})
                EXPECT_TRUE(Covered(bands, corner)) << static_cast<int>(handle) << " " << corner.x << "," << corner.y;
        }
        EXPECT_TRUE(Covered(bands, {outline.right - 1, 500}));  // the frame between the handles
    }
    EXPECT_FALSE(Covered(bands, {600, 500}));
    // A drag step paints in proportion to the outline, not to the selection's area.
    long long area = 0;
    for (const ViewRect& band : bands) area += static_cast<long long>(band.Width()) * band.Height();
    EXPECT_LT(area, 2LL * 2 * (1110 + 905) * kHandleSize);

    EXPECT_TRUE(OutlineRepaint(before, before).empty());
    const std::vector<ViewRect> cleared = OutlineRepaint(before, ViewRect{});
    EXPECT_EQ(cleared.size(), 4u);
    EXPECT_TRUE(Covered(cleared, {before.left - kHandleSize / 2, before.top - kHandleSize / 2}));
}

TEST(DocumentStatus, ShowsThePointersPixelItsColourAndTheSelectionsSize) {
    // Blue, green, red and a fourth byte in memory: 0xAARRGGBB as a number.
    EXPECT_EQ(PointerStatus({1203, 88}, 0xFF1E90FFu), L"1203, 88  #1E90FF");
    EXPECT_EQ(PointerStatus({0, 0}, 0x00000000u), L"0, 0  #000000");
    EXPECT_EQ(PointerStatus({7679, 4319}, 0x12A0B0C0u), L"7679, 4319  #A0B0C0");
    EXPECT_EQ(SelectionStatus({10, 20, 650, 500}), L"640 x 480");
}
