#include "platform/rules/DpiScale.h"

#include <cstdint>

int ScaleForDpi(int pixels, int fromDpi, int toDpi) noexcept {
    if (fromDpi <= 0 || toDpi <= 0 || fromDpi == toDpi) return pixels;
    const std::int64_t product = static_cast<std::int64_t>(pixels) * toDpi;
    const std::int64_t half = fromDpi / 2;
    const std::int64_t scaled = product >= 0 ? (product + half) / fromDpi : -((-product + half) / fromDpi);
    if (scaled > INT32_MAX) return INT32_MAX;
    if (scaled < INT32_MIN) return INT32_MIN;
    return static_cast<int>(scaled);
}

int ToolbarImageSize(int dpi) noexcept {
    // 16 x dpi / 96 compared without rounding: at 143 DPI a 24-pixel image would be stretched.
    const long long wanted = 16LL * dpi;
    if (wanted >= 32LL * kStandardDpi) return 32;
    if (wanted >= 24LL * kStandardDpi) return 24;
    return 16;
}
