#pragma once
#include <cstdint>
#include <optional>

#include "platform/rules/CaptureOptionsText.h"
#include "platform/rules/ScreenGeometry.h"

// The options a capture follows, read once as the capture command starts: the frame holds
// them (and stores them); the capture path is handed this value.
struct CaptureOptions {
    // The frame hides while the capture is taken.
    bool hideFrame = false;
    // The mouse pointer is drawn into the picture.
    bool pointer = false;
    // Seconds counted down before the capture: 0 (none), 3, 5 or 10.
    int delaySeconds = 0;
    // The rectangle selector shows its loupe beside the pointer.
    bool magnifier = true;
    // The rectangle the last confirmed Rectangle capture took, in desktop pixels; none
    // until one is confirmed.
    std::optional<EdgeRect> lastRectangle;
    // A scrolling capture stops once its picture is this many pixels high.
    std::int32_t scrollLimit = kDefaultScrollLimit;
};
