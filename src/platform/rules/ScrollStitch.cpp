#include "platform/rules/ScrollStitch.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

bool SamePixels(const std::uint32_t* a, const std::uint32_t* b, std::int32_t count) noexcept {
    return std::memcmp(a, b, static_cast<std::size_t>(count) * sizeof(std::uint32_t)) == 0;
}

// A row's pixels between two columns, hashed: rows are compared by hash first, and a match
// found that way is checked pixel by pixel before it counts.
// Four independent lanes of two pixels each, so that the multiplications overlap.
std::uint64_t RowHash(const std::uint32_t* row, std::int32_t from, std::int32_t to) noexcept {
    constexpr std::uint64_t kPrime = 0x100000001B3ull;
    std::uint64_t lanes[4] = {0xCBF29CE484222325ull, 0x84222325CBF29CE4ull, 0x9E3779B97F4A7C15ull, 0xC2B2AE3D27D4EB4Full};
    std::int32_t x = from;
    for (; x + 8 <= to; x += 8)
        for (int lane = 0; lane < 4; ++lane) {
            const std::uint64_t pair = row[x + 2 * lane] | static_cast<std::uint64_t>(row[x + 2 * lane + 1]) << 32;
            lanes[lane] = (lanes[lane] ^ pair) * kPrime;
        }
    std::uint64_t hash = lanes[0] ^ (lanes[1] * 3) ^ (lanes[2] * 5) ^ (lanes[3] * 7);
    for (; x < to; ++x) hash = (hash ^ row[x]) * kPrime;
    return hash ^ (hash >> 29);
}

bool OneColour(const std::uint32_t* row, std::int32_t from, std::int32_t to) noexcept {
    for (std::int32_t x = from + 1; x < to; ++x)
        if (row[x] != row[from]) return false;
    return true;
}

}  // namespace

StitchResult FindOverlap(const FrameView& before, const FrameView& after) {
    StitchResult result;
    const std::int32_t width = before.width;
    const std::int32_t height = before.height;
    if (width <= 0 || height <= 0 || after.width != width || after.height != height || before.pixels == nullptr ||
        after.pixels == nullptr)
        return result;

    // Which rows stand as they were, and which columns differ anywhere.
    std::vector<char> same(static_cast<std::size_t>(height));
    std::int32_t left = width;
    std::int32_t right = 0;
    for (std::int32_t y = 0; y < height; ++y) {
        const std::uint32_t* a = before.Row(y);
        const std::uint32_t* b = after.Row(y);
        same[y] = SamePixels(a, b, width);
        if (same[y]) continue;
        std::int32_t first = 0;
        while (a[first] == b[first]) ++first;
        std::int32_t last = width - 1;
        while (a[last] == b[last]) --last;
        left = std::min(left, first);
        right = std::max(right, last + 1);
    }
    if (left >= right) {
        result.outcome = StitchOutcome::Unmoved;
        return result;
    }
    std::int32_t fixedTop = 0;
    while (same[fixedTop]) ++fixedTop;
    std::int32_t fixedBottom = 0;
    while (same[height - 1 - fixedBottom]) ++fixedBottom;

    std::vector<std::uint64_t> hashBefore(static_cast<std::size_t>(height));
    std::vector<std::uint64_t> hashAfter(static_cast<std::size_t>(height));
    for (std::int32_t y = 0; y < height; ++y) {
        hashBefore[y] = RowHash(before.Row(y), left, right);
        hashAfter[y] = RowHash(after.Row(y), left, right);
    }
    const std::int32_t columns = right - left;
    const auto shiftedMatch = [&](std::int32_t y, std::int32_t move) {
        return hashAfter[y] == hashBefore[y + move] && SamePixels(after.Row(y) + left, before.Row(y + move) + left, columns);
    };

    for (std::int32_t move = 1; move < height; ++move) {
        // Each row y of the frame after, y < height - move, came from row y + move or did
        // not. Those that did not lie in the header (rows that stood still, above the rest)
        // or at the end, among the new rows and the footer.
        const std::int32_t span = height - move;
        const std::int32_t headerLimit = std::min(fixedTop, span);
        std::int32_t header = headerLimit;
        while (header > 0 && shiftedMatch(header - 1, move)) --header;
        std::int32_t end = headerLimit;
        while (end < span && shiftedMatch(end, move)) ++end;
        const std::int32_t footer = span - end;
        if (footer > fixedBottom || end <= header) continue;
        bool telling = false;
        for (std::int32_t y = header; y < end && !telling; ++y) telling = !OneColour(after.Row(y), left, right);
        if (!telling) continue;
        result.outcome = StitchOutcome::Moved;
        result.header = header;
        result.footer = footer;
        result.move = move;
        return result;
    }
    return result;
}
