#include "platform/rules/PrintPlacement.h"

#include <algorithm>
#include <cstdint>

PrintPlacement PlaceOnPage(long pictureWidth, long pictureHeight, long pageWidth, long pageHeight) {
    PrintPlacement placement{0, 0, pictureWidth, pictureHeight};
    if (pictureWidth <= 0 || pictureHeight <= 0 || pageWidth <= 0 || pageHeight <= 0) return placement;
    if (pictureWidth <= pageWidth && pictureHeight <= pageHeight) return placement;
    // Compare the two ratios crosswise in 64 bits: no rounding decides which side limits.
    const std::int64_t w = pictureWidth;
    const std::int64_t h = pictureHeight;
    if (static_cast<std::int64_t>(pageWidth) * h <= static_cast<std::int64_t>(pageHeight) * w) {
        placement.width = pageWidth;
        placement.height = static_cast<long>(std::max<std::int64_t>(1, h * pageWidth / w));
    } else {
        placement.height = pageHeight;
        placement.width = static_cast<long>(std::max<std::int64_t>(1, w * pageHeight / h));
    }
    return placement;
}
