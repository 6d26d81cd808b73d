#pragma once
#include <cstdint>
#include <span>
#include <string>

#include <windows.h>

#include "document/Markup.h"
#include "document/Pixels.h"
#include "platform/pictures/Picture.h"

// Draws what is marked up into pixels, anti-aliased, in picture pixels. The view draws the
// part of the picture it repaints this way before scaling it to the screen, and Save, Copy
// and Print draw the whole of it the same way: what is seen at any zoom is what leaves.
//
// GDI+ rather than Direct2D: it renders in software into memory we own (the picture's own
// 32-bit rows), so the screen and the saved file come from the same code and the same
// pixels, with no device or surface to copy back from; and Wine implements it fully, where
// its Direct2D lacks parts of the geometry and text support.
namespace MarkupPainter {

// Draws the objects over a buffer of 32-bit rows (blue, green, red, unused) holding the
// picture from `origin` on, `width` x `height` pixels, rows `stride` pixels apart. Edges are
// smoothed with samples x samples points a pixel (1: not at all).
inline constexpr int kSmoothSamples = 3;
void Draw(std::span<const MarkupObject* const> objects, std::uint32_t* buffer, std::int32_t stride,
          std::int32_t width, std::int32_t height, PicturePoint origin, int samples = kSmoothSamples);

// The picture's pixels of `area` with every object drawn into them, as a picture of its own
// (a 32-bit DIB section): what Save, Copy and Print take from an edited document.
Picture Flattened(const Pixels& picture, const MarkupObjects& objects, const PictureRect& area);

// The size a text takes in picture pixels in the style's font.
PicturePoint MeasureText(const MarkupStyle& style, const std::wstring& text);

// The tool strip's pictures: a tool, a colour, the colour dialog's and filled shapes'.
struct StripIcon {
    enum class Kind { Tool, Swatch, MoreColours, Filled };
    Kind kind;
    MarkupTool tool;
    std::uint32_t colour;  // a swatch's, 0xRRGGBB
};
// Draws the icons side by side, `size` pixels square each, on transparency, into
// premultiplied 32-bit rows `size` x icons.size() pixels wide (an image list's alpha strip).
void DrawStripIcons(std::span<const StripIcon> icons, int size, std::uint32_t* bits);

}  // namespace MarkupPainter
