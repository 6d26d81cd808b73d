#pragma once
#include <cstdint>
#include <functional>

#include "platform/Picture.h"

class IFrameHost;

// Capture counter: 0 at every start, one more for each capture, never stored.
extern std::int16_t gintCaptureCount;

namespace CaptureCommands {
void CaptureActiveWindow(IFrameHost& frame);
void CaptureScreen(IFrameHost& frame);

// What one capture command adds to the sequence every capture command follows.
struct CaptureSteps {
    // Tool commands only: shows the selection tool modally, owned by the frame, and
    // returns when its modal display ends. Empty for a command without a tool.
    std::function<void()> showTool;
    // Tool commands only: true when the tool ended without a selection; then no document
    // is made and the count stays as it was.
    std::function<bool()> nothingSelected;
    // Obtains the picture for the new document (an empty picture makes an empty document).
    std::function<Picture()> obtainPicture;
    // Runs once the picture has been assigned (the rectangle command closes its selector).
    std::function<void()> afterPicture;
};

// The shared sequence: hides the frame if the hide option is on and lets pending messages
// run once; runs the tool (then messages once more) and stops early when nothing was
// selected; otherwise makes a new document titled "Nabbet" + the next count, shown at
// once, and gives it the picture. It then makes the frame visible, shows the document,
// raises the frame above all ordinary windows and recomputes the command state.
// A failure is reported once the frame is visible again; steps already made stay made.
void RunCapture(IFrameHost& frame, const CaptureSteps& steps);
}  // namespace CaptureCommands
