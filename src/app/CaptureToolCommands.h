#pragma once
#include <optional>

#include "platform/rules/ScreenGeometry.h"

class IFrameHost;
struct CaptureOptions;
struct PixelRect;
struct PointerSnapshot;

namespace CaptureCommands {
// Returns the rectangle confirmed, in desktop pixels; none after a cancel or a band of no area.
std::optional<EdgeRect> CaptureRectangle(IFrameHost& frame, const CaptureOptions& options);
void CaptureWindow(IFrameHost& frame, const CaptureOptions& options);
// Whether Rectangle draws the pointer: only when its hot spot lies inside the band.
bool PointerInBand(const PointerSnapshot& pointer, const PixelRect& band);
}  // namespace CaptureCommands
