#pragma once

class IFrameHost;
struct PixelRect;
struct PointerSnapshot;

namespace CaptureCommands {
void CaptureRectangle(IFrameHost& frame);
void CaptureWindow(IFrameHost& frame);
// Whether Rectangle draws the pointer: only when its hot spot lies inside the band.
bool PointerInBand(const PointerSnapshot& pointer, const PixelRect& band);
}  // namespace CaptureCommands
