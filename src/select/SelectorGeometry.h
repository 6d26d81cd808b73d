#pragma once
#include <cstdint>
#include <string>

#include <vector>

#include "platform/rules/DesktopGeometry.h"
#include "platform/rules/TwipsRect.h"

// The rectangle selector's rules as plain functions of twips and pixel values, so
// that they can be checked without a window.

// Geometry of a painted control in twips, in the selector's client coordinates (the
// frozen desktop's: the selector covers it from its top-left corner).
// The band's anchor in twips, rounded from the press position. It is 32 bits wide so
// that it covers every screen: 16 bits would end at pixel 2184 at 15 twips per pixel.
struct BandAnchor {
    std::int32_t X = 0;
    std::int32_t Y = 0;
};

// A rectangle in whole pixels.
struct PixelRect {
    std::int32_t Left = 0;
    std::int32_t Top = 0;
    std::int32_t Width = 0;
    std::int32_t Height = 0;
};

// The readout's fixed size, twips.
inline constexpr float kReadoutWidth = 1100.0f;
inline constexpr float kReadoutHeight = 180.0f;

// Rounds the press position (halves to even); the overflow error only beyond 32 bits.
BandAnchor AnchorFromPress(float x, float y);

// The band spanned from the anchor to the pointer: the smaller coordinate is the
// edge, the distance the extent. A pointer on the anchor gives extent 0.
TwipsRect BandFromPointer(BandAnchor anchor, float x, float y);

// The band as the press shows it: a 0 x 0 band at the press point.
TwipsRect BandAtPress(float x, float y);

// The readout centred on a point (the press point) or on the band.
TwipsRect ReadoutCentredOn(float x, float y);
TwipsRect ReadoutCentredOnBand(const TwipsRect& band);

// "W x H": the size of the picture the band copies (BandPixels), at any twips-per-pixel
// factor; each number is a 16-bit value, so a band wider than 32767 pixels is the
// overflow error.
std::wstring ReadoutCaption(const TwipsRect& band, float twipsPerPixelX, float twipsPerPixelY);

// The pixels the confirmed band copies: each value divided by its direction's factor
// and rounded, halves to even.
PixelRect BandPixels(const TwipsRect& band, float twipsPerPixelX, float twipsPerPixelY);

// The loupe beside the pointer: kLoupeSpan x kLoupeSpan screen pixels centred on the
// pointer's, each drawn as a square of LoupeZoom pixels, above a line of text.
inline constexpr int kLoupeSpan = 15;

// 8 at 96 DPI, grown with the DPI to the nearest whole factor, at least 1.
int LoupeZoom(int dpi) noexcept;

// The monitor the pointer is on; over a gap between monitors the nearest one, with
// none at all a rectangle of the point alone.
EdgeRect MonitorAtPoint(const std::vector<MonitorArea>& monitors, std::int32_t x, std::int32_t y);

// Where a loupe of width x height goes, in the pointer's coordinates: `gap` pixels below
// and right of the pointer; left of it instead where the right side would pass the
// monitor's right edge, above it where the bottom would pass the bottom edge; then moved
// to lie within the monitor (its top-left corner when the monitor is smaller).
EdgeRect LoupePlacement(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height, std::int32_t gap,
                        const EdgeRect& monitor);

// "1203, 88  #1E90FF": the pointer's position in desktop pixels and the colour under it.
std::wstring LoupeCaption(std::int32_t x, std::int32_t y, unsigned red, unsigned green, unsigned blue);

// A window the selector may snap to, in desktop pixels: a top-level window (Depth 0) or
// one of its controls (Depth 1 for its children, 2 for theirs...). The list runs front to
// back, each top-level window followed by its controls depth first, front to back at
// each level: the order EnumWindows and EnumChildWindows give.
struct SnapCandidate {
    EdgeRect Bounds;
    int Depth = 0;
};

// What a click at a point takes: the innermost control of the frontmost window under it,
// clipped to its windows and to the desktop (Window true); where no window is, the
// monitor under it (Window false). Right and bottom edges are exclusive.
struct SnapResult {
    EdgeRect Bounds;
    bool Window = false;
};
SnapResult SnapTarget(const std::vector<SnapCandidate>& candidates, const std::vector<MonitorArea>& monitors,
                      const EdgeRect& desktop, std::int32_t x, std::int32_t y);

// True once the pointer has gone further from the press than the system's drag distance
// (SM_CXDRAG, SM_CYDRAG: pixels either side of the press) in either direction.
bool BeyondDragDistance(std::int32_t dx, std::int32_t dy, std::int32_t dragX, std::int32_t dragY) noexcept;

// What a pointer move repaints, as few areas as can be shown without showing much more
// than changed: two areas become their bounding box while that box is no larger than
// both together plus `slack` pixels (an old and a new edge a few pixels apart, say).
// Empty areas are left out; the order of the rest is kept where nothing merges.
std::vector<EdgeRect> RepaintAreas(std::vector<EdgeRect> areas, std::int64_t slack);
