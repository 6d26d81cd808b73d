#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "document/PixelRects.h"

// How the document window shows the picture and turns the pointer into a selection, as
// plain functions of picture pixels and view pixels (the pixels of the window the picture
// is drawn in).

// The picture at a zoom, scrolled: picture column p starts at view column
// floor(p * zoom + 0.5) - scroll.x, and rows likewise, the same edges the painter gives
// each pixel, so that what the pointer is over is what it shows.
struct ViewMapping {
    double zoom = 1.0;
    ViewPoint scroll;  // how far the scaled picture is scrolled, in view pixels

    std::int32_t ViewX(std::int32_t pictureX) const noexcept;
    std::int32_t ViewY(std::int32_t pictureY) const noexcept;
    // The picture column or row under a view pixel; it may lie outside the picture.
    std::int32_t PictureX(std::int32_t viewX) const noexcept;
    std::int32_t PictureY(std::int32_t viewY) const noexcept;

    ViewPoint ToView(PicturePoint point) const noexcept { return {ViewX(point.x), ViewY(point.y)}; }
    PicturePoint ToPicture(ViewPoint point) const noexcept { return {PictureX(point.x), PictureY(point.y)}; }
    // A picture rectangle's edges in the view; one that is not empty stays at least one view
    // pixel wide and high, however far the picture is reduced.
    ViewRect ToView(const PictureRect& rect) const noexcept;
};

// The selection a drag spans: every pixel from the one under the press to the one under
// the pointer, both included, in any direction, with both points first brought into the
// picture; so at least one pixel (nothing only for an empty picture).
PictureRect DragSelection(PicturePoint press, PicturePoint pointer, const PictureRect& picture);

// The selection's outline is its view rectangle (ViewMapping::ToView), drawn one screen
// pixel wide on its outermost view pixels, with a square handle centred on each corner and
// on the middle of each side.
enum class SelectionHandle { None, TopLeft, Top, TopRight, Right, BottomRight, Bottom, BottomLeft, Left };
inline constexpr std::int32_t kHandleSize = 7;  // screen pixels; odd, to centre on a pixel

ViewRect HandleRect(const ViewRect& outline, SelectionHandle handle);
// The handle the point is on or within `tolerance` view pixels of: the nearest one,
// corners before sides when equally near (they coincide on a small outline).
SelectionHandle HandleAt(const ViewRect& outline, ViewPoint point, std::int32_t tolerance);

// Dragging a handle: the edges it holds move with the pointer, by the picture pixels the
// pointer moved since the press; the other edges stay. A moving edge may pass the opposite
// one: the selection turns over and keeps the pixels of the edge that stayed. The moving
// edges stay within the picture.
PictureRect AdjustSelection(const PictureRect& selection, SelectionHandle handle, PicturePoint press,
                            PicturePoint pointer, const PictureRect& picture);

// The view pixels to paint again when the outline changes from `before` to `after` (an
// empty one: no selection): the frame of each widened by half a handle on both sides.
// Bands along the frames rather than their union, so a drag step costs the length of the
// outline, not the size of the selection.
std::vector<ViewRect> OutlineRepaint(const ViewRect& before, const ViewRect& after);

// "1203, 88  #1E90FF": a picture pixel and its colour, red green blue.
std::wstring PointerStatus(PicturePoint point, std::uint32_t pixel);
// "640 x 480": the selection's size in picture pixels.
std::wstring SelectionStatus(const PictureRect& selection);
