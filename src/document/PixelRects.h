#pragma once
#include <algorithm>
#include <cstdint>

// Points and rectangles in whole pixels; a rectangle by its edges, right and bottom
// exclusive (as RECT). The space tag keeps picture pixels and view pixels apart, so that
// passing one where the other belongs does not compile.
template <class Space>
struct BasicPoint {
    std::int32_t x = 0;
    std::int32_t y = 0;
    bool operator==(const BasicPoint&) const = default;
};

template <class Space>
struct BasicRect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;

    std::int32_t Width() const noexcept { return right - left; }
    std::int32_t Height() const noexcept { return bottom - top; }
    bool IsEmpty() const noexcept { return right <= left || bottom <= top; }
    bool Contains(BasicPoint<Space> point) const noexcept {
        return point.x >= left && point.x < right && point.y >= top && point.y < bottom;
    }
    bool operator==(const BasicRect&) const = default;
};

// The common part; the empty rectangle {} when there is none.
template <class Space>
BasicRect<Space> Intersection(const BasicRect<Space>& a, const BasicRect<Space>& b) noexcept {
    const BasicRect<Space> common{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                                  std::min(a.bottom, b.bottom)};
    return common.IsEmpty() ? BasicRect<Space>{} : common;
}

struct PictureSpace;
struct ViewSpace;
using PicturePoint = BasicPoint<PictureSpace>;  // a picture pixel's column and row
using PictureRect = BasicRect<PictureSpace>;
using ViewPoint = BasicPoint<ViewSpace>;  // a pixel of the window showing the picture
using ViewRect = BasicRect<ViewSpace>;
