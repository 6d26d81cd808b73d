// Where a printed picture goes: natural size when it fits, else shrunk to the printable
// area with its proportions.
#include <gtest/gtest.h>

#include "platform/rules/PrintPlacement.h"

TEST(PrintPlacement, FitsAtNaturalSizeElseShrinksToTheLimitingSideKeepingProportions) {
    const struct {
        long pictureWidth, pictureHeight, pageWidth, pageHeight;
        PrintPlacement expected;
    } cases[] = {
        {2540, 1270, 20320, 26670, {0, 0, 2540, 1270}},          // small: as it is
        {20320, 26670, 20320, 26670, {0, 0, 20320, 26670}},      // exactly the page
        // 3840 x 2160 at 96 dpi on Letter portrait: the width limits.
        {101600, 57150, 20320, 26670, {0, 0, 20320, 11430}},
        // Taller than the page only: the height limits, width shrinks with it.
        {10000, 53340, 20320, 26670, {0, 0, 5000, 26670}},
        // Wider than the page only.
        {40640, 1000, 20320, 26670, {0, 0, 20320, 500}},
        // A sliver keeps at least one unit.
        {1000000, 1, 20320, 26670, {0, 0, 20320, 1}},
        // Landscape page, picture limited by height.
        {50000, 40000, 26670, 20320, {0, 0, 25400, 20320}},
        // No page size known, or nothing to print: left as it is.
        {101600, 57150, 0, 0, {0, 0, 101600, 57150}},
        {0, 0, 20320, 26670, {0, 0, 0, 0}},
    };
    for (const auto& c : cases) {
        const PrintPlacement placed = PlaceOnPage(c.pictureWidth, c.pictureHeight, c.pageWidth, c.pageHeight);
        EXPECT_EQ(placed, c.expected) << c.pictureWidth << " x " << c.pictureHeight << " on " << c.pageWidth
                                      << " x " << c.pageHeight << ": got " << placed.width << " x " << placed.height;
    }
}

TEST(PrintPlacement, HugeSizesNeitherOverflowNorLoseTheRatio) {
    const PrintPlacement placed = PlaceOnPage(2000000000L, 1000000000L, 20320, 26670);
    EXPECT_EQ(placed, (PrintPlacement{0, 0, 20320, 10160}));
}
