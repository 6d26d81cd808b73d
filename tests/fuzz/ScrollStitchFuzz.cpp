// Scrolling capture's stitching (ScrollStitch.h): any two frames give a result whose rows
// lie inside them, and a move it reports is exact. The address sanitizer sees every read:
// the frames are allocated to their exact size.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

#include "FuzzCheck.h"
#include "platform/rules/ScrollStitch.h"

// Input: width and height (1 to 32 each), the number of colours (1 to 4), then pixel indexes
// for the frame before and after (missing ones are colour 0); few colours, so that matches
// and near matches are common.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3) return 0;
    const std::int32_t width = data[0] % 32 + 1;
    const std::int32_t height = data[1] % 32 + 1;
    const std::uint32_t colours = data[2] % 4 + 1;
    const std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    const auto before = std::make_unique<std::uint32_t[]>(count);
    const auto after = std::make_unique<std::uint32_t[]>(count);
    for (std::size_t i = 0; i < 2 * count; ++i) {
        const std::uint32_t colour = 3 + i < size ? data[3 + i] % colours : 0;
        (i < count ? before[i] : after[i - count]) = 0xFF000000u | colour * 0x3F3F3Fu;
    }
    const FrameView a{before.get(), width, height, width};
    const FrameView b{after.get(), width, height, width};
    const StitchResult result = FindOverlap(a, b);
    if (result.outcome == StitchOutcome::Unmoved) FUZZ_CHECK(std::memcmp(before.get(), after.get(), count * 4) == 0);
    if (result.outcome != StitchOutcome::Moved) return 0;
    FUZZ_CHECK(result.move >= 1 && result.header >= 0 && result.footer >= 0);
    FUZZ_CHECK(result.header + result.move + result.footer < height);
    const std::int32_t first = result.FirstNewRow(height);
    FUZZ_CHECK(first > result.header && first + result.move + result.footer == height);
    // Header and footer stood still; the rows between came from `move` rows lower, apart
    // from columns that stood still in every row (a side bar).
    for (std::int32_t x = 0; x < width; ++x) {
        bool sideBar = true;
        for (std::int32_t y = 0; y < height && sideBar; ++y) sideBar = a.Row(y)[x] == b.Row(y)[x];
        if (sideBar) continue;
        for (std::int32_t y = 0; y < first; ++y)
            FUZZ_CHECK(b.Row(y)[x] == a.Row(y < result.header ? y : y + result.move)[x]);
        for (std::int32_t y = height - result.footer; y < height; ++y) FUZZ_CHECK(b.Row(y)[x] == a.Row(y)[x]);
    }
    return 0;
}
