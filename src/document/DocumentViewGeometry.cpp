#include "document/DocumentViewGeometry.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace {

std::int32_t ToInt32(double value) noexcept {
    return static_cast<std::int32_t>(std::clamp(value, static_cast<double>(std::numeric_limits<std::int32_t>::min()),
                                                static_cast<double>(std::numeric_limits<std::int32_t>::max())));
}

std::int32_t ToInt32(std::int64_t value) noexcept {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, std::numeric_limits<std::int32_t>::min(),
                                                               std::numeric_limits<std::int32_t>::max()));
}

// Where picture pixel p starts in the scaled picture.
double EdgeAt(std::int64_t p, double zoom) noexcept { return std::floor(static_cast<double>(p) * zoom + 0.5); }

// The last pixel starting at or before scaled position v. The quotient is only a first
// guess: a zoom such as 1/3 is not exact, and the answer must agree with EdgeAt, which is
// what the painter uses.
std::int32_t PixelUnder(std::int64_t v, double zoom) noexcept {
    auto p = static_cast<std::int64_t>(std::floor((static_cast<double>(v) + 0.5) / zoom));
    while (EdgeAt(p, zoom) > static_cast<double>(v)) --p;
    while (EdgeAt(p + 1, zoom) <= static_cast<double>(v)) ++p;
    return ToInt32(p);
}

std::int32_t Clamp(std::int64_t value, std::int32_t low, std::int32_t high) noexcept {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, low, high));
}

// One direction of a handle drag, on inclusive pixel numbers: `moving` is -1 when the
// first edge moves, +1 when the last does, 0 when neither.
struct Span {
    std::int32_t first;
    std::int32_t last;
};
Span Adjusted(Span span, int moving, std::int64_t delta, std::int32_t low, std::int32_t high) {
    if (moving == 0) return span;
    const std::int32_t fixed = moving < 0 ? span.last : span.first;
    const std::int32_t moved = Clamp((moving < 0 ? span.first : span.last) + delta, low, high);
    return {std::min(fixed, moved), std::max(fixed, moved)};
}

int HorizontalSide(SelectionHandle handle) noexcept {
    switch (handle) {
    case SelectionHandle::TopLeft:
    case SelectionHandle::Left:
    case SelectionHandle::BottomLeft: return -1;
    case SelectionHandle::TopRight:
    case SelectionHandle::Right:
    case SelectionHandle::BottomRight: return 1;
    default: return 0;
    }
}

int VerticalSide(SelectionHandle handle) noexcept {
    switch (handle) {
    case SelectionHandle::TopLeft:
    case SelectionHandle::Top:
    case SelectionHandle::TopRight: return -1;
    case SelectionHandle::BottomLeft:
    case SelectionHandle::Bottom:
    case SelectionHandle::BottomRight: return 1;
    default: return 0;
    }
}

std::int32_t Coordinate(int side, std::int32_t low, std::int32_t high) noexcept {
    if (side < 0) return low;
    if (side > 0) return high - 1;
    return low + (high - low - 1) / 2;
}

// Distance from a point to a rectangle, by the larger of the two directions; 0 inside.
std::int64_t Distance(const ViewRect& rect, ViewPoint point) noexcept {
    const auto along = [](std::int64_t at, std::int64_t low, std::int64_t high) {
        return at < low ? low - at : (at >= high ? at - high + 1 : 0);
    };
    return std::max(along(point.x, rect.left, rect.right), along(point.y, rect.top, rect.bottom));
}

}  // namespace

std::int32_t ViewMapping::ViewX(std::int32_t pictureX) const noexcept {
    return ToInt32(EdgeAt(pictureX, zoom) - scroll.x);
}

std::int32_t ViewMapping::ViewY(std::int32_t pictureY) const noexcept {
    return ToInt32(EdgeAt(pictureY, zoom) - scroll.y);
}

std::int32_t ViewMapping::PictureX(std::int32_t viewX) const noexcept {
    return PixelUnder(static_cast<std::int64_t>(viewX) + scroll.x, zoom);
}

std::int32_t ViewMapping::PictureY(std::int32_t viewY) const noexcept {
    return PixelUnder(static_cast<std::int64_t>(viewY) + scroll.y, zoom);
}

ViewRect ViewMapping::ToView(const PictureRect& rect) const noexcept {
    if (rect.IsEmpty()) return {};
    const std::int32_t left = ViewX(rect.left);
    const std::int32_t top = ViewY(rect.top);
    return {left, top, std::max(ViewX(rect.right), left + 1), std::max(ViewY(rect.bottom), top + 1)};
}

PictureRect DragSelection(PicturePoint press, PicturePoint pointer, const PictureRect& picture) {
    if (picture.IsEmpty()) return {};
    const auto inside = [&](PicturePoint p) {
        return PicturePoint{std::clamp(p.x, picture.left, picture.right - 1),
                            std::clamp(p.y, picture.top, picture.bottom - 1)};
    };
    const PicturePoint a = inside(press);
    const PicturePoint b = inside(pointer);
    return {std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x) + 1, std::max(a.y, b.y) + 1};
}

ViewRect HandleRect(const ViewRect& outline, SelectionHandle handle) {
    if (handle == SelectionHandle::None || outline.IsEmpty()) return {};
    const std::int32_t x = Coordinate(HorizontalSide(handle), outline.left, outline.right);
    const std::int32_t y = Coordinate(VerticalSide(handle), outline.top, outline.bottom);
    constexpr std::int32_t half = kHandleSize / 2;
    return {x - half, y - half, x + half + 1, y + half + 1};
}

SelectionHandle HandleAt(const ViewRect& outline, ViewPoint point, std::int32_t tolerance) {
    using enum SelectionHandle;
    static constexpr std::array<SelectionHandle, 8> kOrder{BottomRight, BottomLeft, TopRight, TopLeft,
                                                           Right,       Bottom,     Left,     Top};
    SelectionHandle nearest = None;
    std::int64_t nearestDistance = static_cast<std::int64_t>(tolerance) + 1;
    if (outline.IsEmpty()) return None;
    for (SelectionHandle handle : kOrder) {
        const std::int64_t distance = Distance(HandleRect(outline, handle), point);
        if (distance < nearestDistance) {
            nearest = handle;
            nearestDistance = distance;
        }
    }
    return nearest;
}

PictureRect AdjustSelection(const PictureRect& selection, SelectionHandle handle, PicturePoint press,
                            PicturePoint pointer, const PictureRect& picture) {
    if (selection.IsEmpty() || picture.IsEmpty()) return selection;
    const Span x = Adjusted({selection.left, selection.right - 1}, HorizontalSide(handle),
                            static_cast<std::int64_t>(pointer.x) - press.x, picture.left, picture.right - 1);
    const Span y = Adjusted({selection.top, selection.bottom - 1}, VerticalSide(handle),
                            static_cast<std::int64_t>(pointer.y) - press.y, picture.top, picture.bottom - 1);
    return Intersection(PictureRect{x.first, y.first, x.last + 1, y.last + 1}, picture);
}

std::vector<ViewRect> OutlineRepaint(const ViewRect& before, const ViewRect& after) {
    std::vector<ViewRect> bands;
    if (before == after) return bands;
    constexpr std::int32_t half = kHandleSize / 2;
    for (const ViewRect& o : {before, after}) {
        if (o.IsEmpty()) continue;
        bands.push_back({o.left - half, o.top - half, o.right + half, o.top + 1 + half});
        bands.push_back({o.left - half, o.bottom - 1 - half, o.right + half, o.bottom + half});
        bands.push_back({o.left - half, o.top - half, o.left + 1 + half, o.bottom + half});
        bands.push_back({o.right - 1 - half, o.top - half, o.right + half, o.bottom + half});
    }
    return bands;
}

std::wstring PointerStatus(PicturePoint point, std::uint32_t pixel) {
    static constexpr wchar_t kDigits[] = L"0123456789ABCDEF";
    std::wstring text = std::to_wstring(point.x) + L", " + std::to_wstring(point.y) + L"  #";
    // Memory order blue, green, red: as a number, red is the third byte from the bottom.
    for (int shift = 20; shift >= 0; shift -= 4) text += kDigits[(pixel >> shift) & 0xF];
    return text;
}

std::wstring SelectionStatus(const PictureRect& selection) {
    return std::to_wstring(selection.Width()) + L" x " + std::to_wstring(selection.Height());
}
