#pragma once

class IFrameHost;

namespace CaptureCommands {
void CaptureRectangle(IFrameHost& frame);
void CaptureWindow(IFrameHost& frame);
}  // namespace CaptureCommands
