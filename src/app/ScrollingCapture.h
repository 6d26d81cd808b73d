#pragma once
// The scrolling captures: a window scrolled by the program (Capture > Scrolling Window) or
// by the user (Capture > Extend Down), the frames stitched by exact overlap.
#include <cstdint>
#include <string>

#include "document/Pixels.h"
#include "platform/rules/ScreenGeometry.h"

class IFrameHost;
struct CaptureOptions;

// What a scroll of the window under an area gave.
struct ScrollRun {
    Pixels picture;              // the frames stitched: the header once, the footer once
    std::int32_t header = 0;     // fixed rows at the top, as the last step found them
    int frames = 0;              // frames taken, the first included
    bool refused = false;        // ended at a frame that no exact overlap explains
    bool stopped = false;        // Esc or a click on the progress panel
    double totalMs = 0;          // the whole run
    double waitMs = 0;           // of which waiting for the window to scroll and paint
    double grabMs = 0;           // reading the screen after each step
    double stitchMs = 0;         // finding each step's overlap
    double setupMs = 0;          // the first frame, the panel and the room for the picture
    int rereads = 0;             // frames read again because they showed no move yet
};

// The status bar's text when frames do not overlap exactly.
inline constexpr wchar_t kNoExactOverlap[] = L"No exact overlap: scroll less between captures";

// Scrolls the window under the area's centre step by step, taking the area after each step
// once the window has painted, and stitches what is new, until the content stops moving
// (neither the wheel nor the scroll bar moves it), a frame does not overlap the one before
// exactly, Esc is pressed, or the picture is `limit` rows high. A progress panel shows
// beside the area meanwhile.
ScrollRun ScrollAndStitch(const EdgeRect& area, std::int32_t limit);

namespace CaptureCommands {
// Capture > Extend Down: the active document's screen rectangle taken again, and the rows
// that scrolled into it added below its picture as one undo step; refused, with the status
// bar and a message saying so, when the new frame does not overlap the last exactly. Only
// for a document made by Rectangle, Window or Scrolling Window.
void ExtendDown(IFrameHost& frame, const CaptureOptions& options);
}  // namespace CaptureCommands
