#include "platform/pictures/ScreenGeometry.h"

#include "platform/controls/Conversions.h"
#include "platform/windows/RuntimeError.h"

EdgeRect ClipToScreen(EdgeRect rect, double screenWidth, double screenHeight) {
    if (rect.Left > screenWidth || rect.Left < 0) rect.Left = 0;
    if (rect.Top > screenHeight || rect.Top < 0) rect.Top = 0;
    if (rect.Right > screenWidth || rect.Right < 0) rect.Right = ToInt32(screenWidth);
    if (rect.Bottom > screenHeight || rect.Bottom < 0) rect.Bottom = ToInt32(screenHeight);
    return rect;
}

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
