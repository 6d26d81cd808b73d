#include "platform/windows/Twips.h"

#include <climits>
#include <cmath>

#include "platform/rules/Conversions.h"
#include "platform/windows/ScreenService.h"

namespace {

int Nearest(double twips, double twipsPerPixel) { return ToInt32(twips / twipsPerPixel); }

int NearestClamped(double twips, double twipsPerPixel) noexcept {
    const double pixels = std::nearbyint(twips / twipsPerPixel);
    if (!(pixels > INT_MIN / 2)) return INT_MIN / 2;
    if (!(pixels < INT_MAX / 2)) return INT_MAX / 2;
    return static_cast<int>(pixels);
}

}  // namespace

namespace Twips {

int ToPixelsX(double twips) { return Nearest(twips, Screen::TwipsPerPixelX()); }
int ToPixelsY(double twips) { return Nearest(twips, Screen::TwipsPerPixelY()); }
int ToPixelsXForDrawing(double twips) noexcept { return NearestClamped(twips, Screen::TwipsPerPixelX()); }
int ToPixelsYForDrawing(double twips) noexcept { return NearestClamped(twips, Screen::TwipsPerPixelY()); }

RECT ToPixelRect(double left, double top, double width, double height) {
    const LONG x = ToPixelsX(left);
    const LONG y = ToPixelsY(top);
    return RECT{x, y, x + ToPixelsX(width), y + ToPixelsY(height)};
}

RECT ToPixelRectForDrawing(double left, double top, double width, double height) noexcept {
    const LONG x = ToPixelsXForDrawing(left);
    const LONG y = ToPixelsYForDrawing(top);
    return RECT{x, y, x + ToPixelsXForDrawing(width), y + ToPixelsYForDrawing(height)};
}

float FromPixelsX(long pixels) { return static_cast<float>(pixels) * Screen::TwipsPerPixelX(); }
float FromPixelsY(long pixels) { return static_cast<float>(pixels) * Screen::TwipsPerPixelY(); }

}  // namespace Twips
