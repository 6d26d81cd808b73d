#include "platform/rules/ViewZoom.h"

#include <algorithm>
#include <array>
#include <cmath>


namespace ViewZoom {

namespace {

constexpr std::array<double, 17> kSteps{0.10, 0.15, 0.20, 0.25, 0.333333, 0.50, 0.666667, 0.75, 1.0,
                                        1.5,  2.0,  3.0,  4.0,  6.0,      8.0,  12.0,     16.0};
// Fitted zooms are arbitrary: anything this close to a step counts as that step.
constexpr double kTolerance = 1e-4;

}  // namespace

double StepIn(double zoom) {
    for (double step : kSteps)
        if (step > zoom + kTolerance) return step;
    return kMaximum;
}

double StepOut(double zoom) {
    for (auto it = kSteps.rbegin(); it != kSteps.rend(); ++it)
        if (*it < zoom - kTolerance) return *it;
    return std::min(zoom, kMinimum);
}

double Fit(int pictureWidth, int pictureHeight, int areaWidth, int areaHeight) {
    if (pictureWidth <= 0 || pictureHeight <= 0) return 1.0;
    const double zoom = std::min({1.0, static_cast<double>(std::max(areaWidth, 1)) / pictureWidth,
                                  static_cast<double>(std::max(areaHeight, 1)) / pictureHeight});
    return std::max(zoom, kFloor);
}

int Scaled(int pixels, double zoom) {
    if (pixels <= 0) return 0;
    // The small allowance keeps a fitted length from rounding below the area it was fitted to.
    return std::max(1, static_cast<int>(std::floor(pixels * zoom + 1e-6)));
}

double OffsetAbout(double offset, double anchor, double from, double to) {
    return (offset + anchor) * (to / from) - anchor;
}

int WheelDistance(int delta, unsigned linesPerNotch, int linePixels, int pagePixels) {
    // The system's values: a notch is 120, and "a page per notch" is the largest setting.
    constexpr unsigned kPageScroll = 0xFFFFFFFFu;
    constexpr long long kWheelDelta = 120;
    const long long perNotch =
        linesPerNotch == kPageScroll ? pagePixels : static_cast<long long>(linesPerNotch) * linePixels;
    return static_cast<int>(perNotch * delta / kWheelDelta);
}

std::wstring Describe(int pictureWidth, int pictureHeight, double zoom) {
    const long percent = std::lround(zoom * 100.0);
    return std::to_wstring(pictureWidth) + L" x " + std::to_wstring(pictureHeight) + L" px  " +
           std::to_wstring(percent) + L"%";
}

}  // namespace ViewZoom
