#pragma once

class IFrameHost;
struct CaptureOptions;
struct PixelRect;
struct PointerSnapshot;

namespace CaptureCommands {
void CaptureRectangle(IFrameHost& frame, const CaptureOptions& options);
void CaptureWindow(IFrameHost& frame, const CaptureOptions& options);
// Whether Rectangle draws the pointer: only when its hot spot lies inside the band.
bool PointerInBand(const PointerSnapshot& pointer, const PixelRect& band);
}  // namespace CaptureCommands
