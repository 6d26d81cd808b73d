#include "select/SelectorGeometry.h"

#include <algorithm>
#include <cstdio>
#include <cstddef>
#include <cstdlib>

#include "platform/rules/Conversions.h"

BandAnchor AnchorFromPress(float x, float y) { return BandAnchor{ToInt32(x), ToInt32(y)}; }

TwipsRect BandFromPointer(BandAnchor anchor, float x, float y) {
    TwipsRect band;
    const auto startX = static_cast<float>(anchor.X);
    const auto startY = static_cast<float>(anchor.Y);
    if (x > startX) {
        band.Left = startX;
        band.Width = x - startX;
    } else {
        band.Left = x;
        band.Width = startX - x;
    }
    if (y > startY) {
        band.Top = startY;
        band.Height = y - startY;
    } else {
        band.Top = y;
        band.Height = startY - y;
    }
    return band;
}

TwipsRect BandAtPress(float x, float y) { return TwipsRect{x, y, 0.0f, 0.0f}; }

TwipsRect ReadoutCentredOn(float x, float y) {
    return TwipsRect{x - kReadoutWidth / 2, y - kReadoutHeight / 2, kReadoutWidth, kReadoutHeight};
}

TwipsRect ReadoutCentredOnBand(const TwipsRect& band) {
    return TwipsRect{band.Left - kReadoutWidth / 2 + band.Width / 2, band.Top - kReadoutHeight / 2 + band.Height / 2,
                     kReadoutWidth, kReadoutHeight};
}

std::wstring ReadoutCaption(const TwipsRect& band, float twipsPerPixelX, float twipsPerPixelY) {
    // The very numbers the copy uses, so that the readout names the picture's size.
    const PixelRect pixels = BandPixels(band, twipsPerPixelX, twipsPerPixelY);
    return IntegerToText(ToInt16(pixels.Width)) + L" x " + IntegerToText(ToInt16(pixels.Height));
}

PixelRect BandPixels(const TwipsRect& band, float twipsPerPixelX, float twipsPerPixelY) {
    const auto pixels = [](float twips, float factor) { return ToInt32(static_cast<double>(twips) / factor); };
    return PixelRect{pixels(band.Left, twipsPerPixelX), pixels(band.Top, twipsPerPixelY),
                     pixels(band.Width, twipsPerPixelX), pixels(band.Height, twipsPerPixelY)};
}

int LoupeZoom(int dpi) noexcept { return std::max(1, (8 * dpi + 48) / 96); }

EdgeRect MonitorAtPoint(const std::vector<MonitorArea>& monitors, std::int32_t x, std::int32_t y) {
    const EdgeRect* nearest = nullptr;
    long long nearestDistance = 0;
    for (const MonitorArea& monitor : monitors) {
        const EdgeRect& b = monitor.Bounds;
        // Right and bottom edges are exclusive, as in every rectangle of the desktop.
        const long long dx = x < b.Left ? static_cast<long long>(b.Left) - x
                             : x >= b.Right ? static_cast<long long>(x) - b.Right + 1 : 0;
        const long long dy = y < b.Top ? static_cast<long long>(b.Top) - y
                             : y >= b.Bottom ? static_cast<long long>(y) - b.Bottom + 1 : 0;
        const long long distance = dx * dx + dy * dy;
        if (nearest == nullptr || distance < nearestDistance) {
            nearest = &b;
            nearestDistance = distance;
        }
    }
    return nearest != nullptr ? *nearest : EdgeRect{x, y, x + 1, y + 1};
}

EdgeRect LoupePlacement(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height, std::int32_t gap,
                        const EdgeRect& monitor) {
    // 64 bits inside: a pointer near the end of the 32-bit range must not wrap round.
    long long left = static_cast<long long>(x) + gap;
    long long top = static_cast<long long>(y) + gap;
    if (left + width > monitor.Right) left = static_cast<long long>(x) - gap - width;
    if (top + height > monitor.Bottom) top = static_cast<long long>(y) - gap - height;
    left = std::max<long long>(std::min<long long>(left, static_cast<long long>(monitor.Right) - width), monitor.Left);
    top = std::max<long long>(std::min<long long>(top, static_cast<long long>(monitor.Bottom) - height), monitor.Top);
    return EdgeRect{static_cast<std::int32_t>(left), static_cast<std::int32_t>(top),
                    static_cast<std::int32_t>(left + width), static_cast<std::int32_t>(top + height)};
}

std::wstring LoupeCaption(std::int32_t x, std::int32_t y, unsigned red, unsigned green, unsigned blue) {
    wchar_t colour[8];
    std::swprintf(colour, 8, L"#%02X%02X%02X", red & 0xFFu, green & 0xFFu, blue & 0xFFu);
    return IntegerToText(x) + L", " + IntegerToText(y) + L"  " + colour;
}

namespace {

EdgeRect Intersection(const EdgeRect& a, const EdgeRect& b) noexcept {
    const EdgeRect r{std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right),
                     std::min(a.Bottom, b.Bottom)};
    // An empty intersection stays empty rather than turning inside out.
    return r.Right > r.Left && r.Bottom > r.Top ? r : EdgeRect{r.Left, r.Top, r.Left, r.Top};
}

bool Contains(const EdgeRect& r, std::int32_t x, std::int32_t y) noexcept {
    return x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom;
}

}  // namespace

SnapResult SnapTarget(const std::vector<SnapCandidate>& candidates, const std::vector<MonitorArea>& monitors,
                      const EdgeRect& desktop, std::int32_t x, std::int32_t y) {
    bool found = false;
    int depth = 0;
    EdgeRect chosen = desktop;
    for (const SnapCandidate& candidate : candidates) {
        if (!found) {
            if (candidate.Depth != 0) continue;
            const EdgeRect shown = Intersection(candidate.Bounds, desktop);
            if (!Contains(shown, x, y)) continue;
            found = true;
            chosen = shown;
            continue;
        }
        // Depth first: a depth no greater than the chosen one's has left its subtree, and
        // whatever follows lies behind it.
        if (candidate.Depth <= depth) break;
        // Deeper ones belong to a sibling that was passed over; a control shows only
        // within its parent.
        if (candidate.Depth != depth + 1) continue;
        const EdgeRect shown = Intersection(candidate.Bounds, chosen);
        if (!Contains(shown, x, y)) continue;
        chosen = shown;
        ++depth;
    }
    if (found) return SnapResult{chosen, true};
    return SnapResult{Intersection(MonitorAtPoint(monitors, x, y), desktop), false};
}

bool BeyondDragDistance(std::int32_t dx, std::int32_t dy, std::int32_t dragX, std::int32_t dragY) noexcept {
    const auto beyond = [](std::int32_t d, std::int32_t limit) {
        return std::abs(static_cast<long long>(d)) > static_cast<long long>(limit);
    };
    return beyond(dx, dragX) || beyond(dy, dragY);
}

namespace {

std::int64_t AreaOf(const EdgeRect& r) noexcept {
    return std::int64_t{r.Right - r.Left} * std::int64_t{r.Bottom - r.Top};
}

EdgeRect Bounding(const EdgeRect& a, const EdgeRect& b) noexcept {
    return {std::min(a.Left, b.Left), std::min(a.Top, b.Top), std::max(a.Right, b.Right), std::max(a.Bottom, b.Bottom)};
}

}  // namespace

std::vector<EdgeRect> RepaintAreas(std::vector<EdgeRect> areas, std::int64_t slack) {
    std::erase_if(areas, [](const EdgeRect& r) { return r.Right <= r.Left || r.Bottom <= r.Top; });
    // A merge can make another one worth it: again until nothing merges (a dozen areas at most).
    for (bool merged = true; merged;) {
        merged = false;
        for (std::size_t i = 0; i < areas.size() && !merged; ++i)
            for (std::size_t j = i + 1; j < areas.size() && !merged; ++j) {
                const EdgeRect box = Bounding(areas[i], areas[j]);
                if (AreaOf(box) <= AreaOf(areas[i]) + AreaOf(areas[j]) + slack) {
                    areas[i] = box;
                    areas.erase(areas.begin() + static_cast<std::ptrdiff_t>(j));
                    merged = true;
                }
            }
    }
    return areas;
}
