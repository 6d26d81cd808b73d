#pragma once
#include <string>

// The document view's scale rules, in pixels and plain numbers, apart from any window.
namespace ViewZoom {

// The zoom steps run from kMinimum to kMaximum; only fitting goes below them (a 8K picture
// fitted to a small window needs a few percent), down to kFloor.
constexpr double kMinimum = 0.10;
constexpr double kMaximum = 16.0;
constexpr double kFloor = 0.001;

// The next step above or below a zoom (10 % ... 1600 %); a zoom between steps (a fitted
// one) goes to the nearest step in that direction; the ends stay where they are, and so
// does a fitted zoom below the smallest step when zooming out.
double StepIn(double zoom);
double StepOut(double zoom);

// The largest zoom, never above 100 % nor below kFloor, at which the whole picture fits the area.
double Fit(int pictureWidth, int pictureHeight, int areaWidth, int areaHeight);

// A picture length at a zoom, in whole pixels (at least 1 for a non-empty picture).
int Scaled(int pixels, double zoom);

// The scroll offset that keeps the picture point under `anchor` (a viewport pixel) in
// place when the zoom changes from `from` to `to`.
double OffsetAbout(double offset, double anchor, double from, double to);

// Lines a wheel notch scrolls (the system's setting; WHEEL_PAGESCROLL asks for a page).
// Returns the distance in pixels for `notches` notches (120ths of a notch allowed).
int WheelDistance(int delta, unsigned linesPerNotch, int linePixels, int pagePixels);

// "3840 x 2160 px  50%": the status panel's text.
std::wstring Describe(int pictureWidth, int pictureHeight, double zoom);

}  // namespace ViewZoom
