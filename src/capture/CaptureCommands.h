#pragma once
#include <cstdint>
#include <functional>
#include <optional>

#include <windows.h>

#include "capture/CaptureOptions.h"
#include "platform/pictures/Picture.h"

class IFrameHost;

// Capture counter: 0 at every start, one more for each capture, never stored.
extern std::int16_t gintCaptureCount;

namespace CaptureCommands {
void CaptureActiveWindow(IFrameHost& frame, const CaptureOptions& options);
// Active Window for a window chosen beforehand (a hotkey takes the one in front when it
// was pressed).
void CaptureActiveWindow(IFrameHost& frame, const CaptureOptions& options, HWND target);
void CaptureScreen(IFrameHost& frame, const CaptureOptions& options);
// The whole desktop: every monitor, the virtual screen's rectangle.
void CaptureAllScreens(IFrameHost& frame, const CaptureOptions& options);
// The live screen inside the last rectangle, clipped to the desktop as it is now; with
// nothing of it left, a message says so and nothing is made. Without a last rectangle,
// nothing happens.
void CaptureLastRectangle(IFrameHost& frame, const CaptureOptions& options);

// With Include Pointer on, draws the pointer as it is now into a picture whose top-left
// pixel was at origin on the screen.
void AddPointer(const CaptureOptions& options, const Picture& picture, POINT origin);

// True while a capture command runs (its countdown, tool and capture); another one asked
// for meanwhile, by a hotkey say, is ignored.
bool CaptureInProgress();
// Counts as a capture in progress while it lives (Extend Down, which runs no RunCapture).
class CaptureUnderWay {
public:
    CaptureUnderWay();
    ~CaptureUnderWay();
    CaptureUnderWay(const CaptureUnderWay&) = delete;
    CaptureUnderWay& operator=(const CaptureUnderWay&) = delete;
};

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
    // The captured window's title, asked once the picture is in; none for an area.
    std::function<std::wstring()> windowTitle;
    // Runs once the picture has been assigned (the rectangle command closes its selector).
    std::function<void()> afterPicture;
    // Where on the screen the picture came from, when that is one rectangle.
    std::function<std::optional<ScreenSource>()> source;
};

// The shared sequence: with a delay set, first counts it down (a cancelled count makes no
// document and changes nothing); then hides the frame if the hide option is on and lets pending messages
// run once; runs the tool and stops early, without running messages, when nothing was
// selected; otherwise lets messages run once more, makes a new document titled "Nabbet" +
// the next count, shown at once, and gives it the picture. It then makes the frame visible, shows the document,
// raises the frame above all ordinary windows and recomputes the command state.
// A failure is reported once the frame is visible again; steps already made stay made.
void RunCapture(IFrameHost& frame, const CaptureOptions& options, const CaptureSteps& steps);
}  // namespace CaptureCommands
