#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "document/DocumentViewGeometry.h"
#include "document/PixelRects.h"
#include "document/Pixels.h"

// What is drawn on a picture: objects that stay editable, placed in picture pixels, and the
// plain geometry of picking, moving and resizing them. Drawing them is MarkupPainter's.

enum class MarkupTool { Select, Rectangle, Ellipse, Line, Arrow, Pen, Highlighter, Text, Step, Pixelate };

struct MarkupStyle {
    std::uint32_t colour = 0xE0201C;  // red, green, blue (0xRRGGBB)
    std::int32_t width = 3;           // picture pixels, 1 to 12
    bool filled = false;              // rectangles and ellipses
    std::wstring fontName = L"Arial";
    std::int32_t fontSize = 24;       // picture pixels (the em height)
    bool fontBold = false;
    bool fontItalic = false;
    std::int32_t pixelateBlock = 8;   // 8, 12, 16 or 24
    bool operator==(const MarkupStyle&) const = default;
};

inline constexpr std::int32_t kMinimumWidth = 1;
inline constexpr std::int32_t kMaximumWidth = 12;
// The block sizes Pixelate offers; none smaller than 8, so no block shows a detail.
inline constexpr std::int32_t kPixelateBlocks[] = {8, 12, 16, 24};

// An area replaced by blocks, each the average of the picture's pixels under it when the
// area was placed (or moved). Blocks run in rows from the top; every block is at least
// `block` pixels wide and high except where the picture itself is smaller.
struct PixelatedArea {
    PictureRect area;
    std::int32_t block = 8;
    std::int32_t columns = 0;
    std::int32_t rows = 0;
    std::vector<std::uint32_t> colours;  // columns x rows

    // The edges of block column or row i (0..columns or 0..rows).
    std::int32_t ColumnEdge(std::int32_t i) const noexcept {
        return area.left + static_cast<std::int32_t>(static_cast<std::int64_t>(area.Width()) * i / columns);
    }
    std::int32_t RowEdge(std::int32_t i) const noexcept {
        return area.top + static_cast<std::int32_t>(static_cast<std::int64_t>(area.Height()) * i / rows);
    }
};

struct MarkupObject {
    std::uint64_t id = 0;  // stays with the object through its edits
    MarkupTool kind = MarkupTool::Rectangle;
    MarkupStyle style;
    // Rectangle, Ellipse, Pixelate: the two corner pixels (both included); Line, Arrow: from
    // and to; Pen, Highlighter: the path; Text: its top left; Step: its centre.
    std::vector<PicturePoint> points;
    std::wstring text;          // Text: lines separated by '\n'
    PicturePoint textExtent;    // Text: its measured width and height in picture pixels
    std::int32_t number = 0;    // Step
    PixelatedArea pixelated;    // Pixelate
};

using MarkupObjects = std::vector<std::shared_ptr<const MarkupObject>>;

// The pixels both points span, both included, in any direction.
PictureRect SpanOf(PicturePoint a, PicturePoint b) noexcept;
// The picture pixels the object touches when drawn (anti-aliased edges included): what to
// repaint when it changes.
PictureRect ObjectBounds(const MarkupObject& object);
// What to repaint when the object appears or goes: rectangles that together cover every
// pixel it touches, as few pixels as cheaply told: an outlined rectangle's four sides, a
// long line's or arrow's stretches along it (and the head), otherwise its bounds. A drag
// step then costs the shape's length, not the box it spans.
std::vector<PictureRect> RepaintAreas(const MarkupObject& object);
// The box an object is picked by, moved by and, for a box-shaped one, resized by.
PictureRect ObjectBox(const MarkupObject& object);
// Step markers: the circle's diameter for a line width.
std::int32_t StepDiameter(std::int32_t width) noexcept;
// Highlighter: the marker's width for a line width.
std::int32_t HighlighterWidth(std::int32_t width) noexcept;

// Whether the point (in picture pixels, fractions allowed) picks the object: on its line
// within `tolerance` picture pixels, or inside a filled or solid one.
bool HitsObject(const MarkupObject& object, double x, double y, double tolerance);
// The topmost object the point picks (the last drawn), or none.
std::optional<std::size_t> ObjectAt(const MarkupObjects& objects, double x, double y, double tolerance);

// How an object is resized: box-shaped ones by the eight handles of their box, lines and
// arrows by their two ends, the others not at all.
enum class HandleKind { None, Box, Ends };
HandleKind HandlesOf(MarkupTool kind) noexcept;
// A line's end handle under a view point: 0 start, 1 end, none.
std::optional<int> EndAt(ViewPoint start, ViewPoint end, ViewPoint point, std::int32_t tolerance) noexcept;

// The object moved by whole picture pixels (a pixelated area's blocks are read again by the caller).
MarkupObject Moved(const MarkupObject& object, std::int32_t dx, std::int32_t dy);
// A box-shaped object with its box dragged by a handle (as the selection's handles work),
// or a line with end 0 or 1 at `to`.
MarkupObject ResizedBox(const MarkupObject& object, SelectionHandle handle, PicturePoint press, PicturePoint pointer,
                        const PictureRect& picture);
MarkupObject MovedEnd(const MarkupObject& object, int end, PicturePoint to);

// Shift while dragging: a square for boxes (Rectangle, Ellipse, Pixelate), the nearest of
// the eight 45-degree directions for lines and arrows; other tools are left as they are.
PicturePoint Constrained(MarkupTool tool, PicturePoint start, PicturePoint pointer) noexcept;

// The next step marker's number: one past the highest placed, 1 for the first.
std::int32_t NextStepNumber(const MarkupObjects& objects) noexcept;

// An arrow's head: its tip and the two barbs, for a shaft from `from` to `to` drawn
// `width` wide (pixel centres).
struct ArrowHead {
    double tipX, tipY, leftX, leftY, rightX, rightY;
};
ArrowHead ArrowHeadOf(PicturePoint from, PicturePoint to, std::int32_t width) noexcept;

// Averages the picture under `area` into blocks of `block` pixels (see PixelatedArea). The
// area is first brought into the picture and made at least a block wide and high where
// the picture allows; nothing (an empty area) without a picture.
PixelatedArea Pixelate(const Pixels& picture, const PictureRect& area, std::int32_t block);
// Writes the blocks over the pixels of a buffer holding the picture's `origin` at its
// first pixel, rows `stride` pixels apart, `width` x `height`.
void FillPixelated(const PixelatedArea& area, std::uint32_t* buffer, std::int32_t stride, std::int32_t width,
                   std::int32_t height, PicturePoint origin) noexcept;

// The style as the settings store keeps it, one text per key; reading accepts only what
// writing makes and keeps the default for anything else (a hand-edited or damaged store).
struct MarkupStyleTexts {
    std::wstring colour;  // "E0201C": red, green, blue
    std::wstring width;   // "3"
    std::wstring filled;  // "True" or "False"
    std::wstring font;    // "Arial,24,Bold,Italic": name, size in pixels, then the styles that are on
    std::wstring block;   // "8"
};
MarkupStyleTexts StyleTexts(const MarkupStyle& style);
MarkupStyle StyleFromTexts(const MarkupStyleTexts& texts);
