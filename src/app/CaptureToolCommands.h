#pragma once
#include <optional>

#include "app/ScrollingCapture.h"
#include "platform/rules/ScreenGeometry.h"

class IFrameHost;
struct CaptureOptions;
struct PixelRect;
struct PointerSnapshot;

namespace CaptureCommands {
// Returns the rectangle confirmed, in desktop pixels; none after a cancel or a band of no area.
std::optional<EdgeRect> CaptureRectangle(IFrameHost& frame, const CaptureOptions& options);
void CaptureWindow(IFrameHost& frame, const CaptureOptions& options);
// Capture > Scrolling Window: a rectangle picked as for Rectangle, then the window under it
// scrolled and stitched (ScrollingCapture.h) into one new document.
struct ScrollingResult {
    std::optional<EdgeRect> area;  // none after a cancel
    ScrollRun run;                 // its picture is in the document
};
ScrollingResult CaptureScrollingWindow(IFrameHost& frame, const CaptureOptions& options);
// Whether Rectangle draws the pointer: only when its hot spot lies inside the band.
bool PointerInBand(const PointerSnapshot& pointer, const PixelRect& band);
}  // namespace CaptureCommands
