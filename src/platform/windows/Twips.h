#pragma once
// Twips and pixels: 1440 twips to the inch, at the screen's twips-per-pixel factors. The
// one converter every window, control and layout uses.
#include <windows.h>

namespace Twips {
// The nearest pixel, halves to the even one; the overflow error (6) beyond 32 bits.
int ToPixelsX(double twips);
int ToPixelsY(double twips);
// The same for drawing: never fails (a control may lie far off the screen).
int ToPixelsXForDrawing(double twips) noexcept;
int ToPixelsYForDrawing(double twips) noexcept;
// A control's rectangle from its left, top, width and height in twips: the left and top
// edges to the nearest pixel, then the width and height to the nearest pixel on their own,
// so that a control's size in pixels does not depend on where it stands.
RECT ToPixelRect(double left, double top, double width, double height);
RECT ToPixelRectForDrawing(double left, double top, double width, double height) noexcept;
// Pixels to twips.
float FromPixelsX(long pixels);
float FromPixelsY(long pixels);
}  // namespace Twips
