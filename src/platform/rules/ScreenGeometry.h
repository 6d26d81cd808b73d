#pragma once
#include <cstdint>
#include <vector>

// A rectangle by its edges, in screen pixels.
struct EdgeRect {
    std::int32_t Left = 0;
    std::int32_t Top = 0;
    std::int32_t Right = 0;
    std::int32_t Bottom = 0;
};

// Where on the screen a document's picture was captured (a rectangle, a window, a
// scrolling capture) and the rows at its top that stood still while it scrolled (0 until
// stitching finds some): what Extend Down captures again.
struct ScreenSource {
    EdgeRect area;
    std::int32_t header = 0;
};

// high - low, with the overflow error when it does not fit 32 bits.
std::int32_t EdgeDifference(std::int32_t high, std::int32_t low);

// The parts of outer that inner (lying within it) leaves uncovered: the bands above and
// below inner across outer's width, then those left and right of it; none when inner
// covers outer.
std::vector<EdgeRect> UncoveredBands(const EdgeRect& outer, const EdgeRect& inner);
