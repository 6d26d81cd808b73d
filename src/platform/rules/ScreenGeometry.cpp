#include "platform/rules/ScreenGeometry.h"

#include "platform/rules/RuntimeError.h"

std::int32_t EdgeDifference(std::int32_t high, std::int32_t low) {
    const std::int64_t difference = static_cast<std::int64_t>(high) - static_cast<std::int64_t>(low);
    if (difference < INT32_MIN || difference > INT32_MAX) RaiseOverflow();
    return static_cast<std::int32_t>(difference);
}

std::vector<EdgeRect> UncoveredBands(const EdgeRect& outer, const EdgeRect& inner) {
    std::vector<EdgeRect> bands;
    const auto add = [&](std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom) {
        if (right > left && bottom > top) bands.push_back(EdgeRect{left, top, right, bottom});
    };
    add(outer.Left, outer.Top, outer.Right, inner.Top);
    add(outer.Left, inner.Bottom, outer.Right, outer.Bottom);
    add(outer.Left, inner.Top, inner.Left, inner.Bottom);
    add(inner.Right, inner.Top, outer.Right, inner.Bottom);
    return bands;
}
