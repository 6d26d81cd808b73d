#pragma once
// The mouse pointer drawn into captured pictures.
#include <windows.h>

#include "platform/pictures/Picture.h"
#include "platform/windows/Handles.h"

// Where the pointer is and what it looks like at one moment.
struct PointerSnapshot {
    bool shown = false;     // false while the pointer is hidden (then nothing is drawn)
    POINT position{};       // the hot spot, in screen pixels
    POINT hotspot{};        // the hot spot within the shape
    unique_hicon shape;     // a copy of the cursor, so that it outlives a change of shape
};

// The pointer as it is now. A pointer whose shape the system does not report (over a
// window of another toolkit) is drawn as the standard arrow.
PointerSnapshot TakePointerSnapshot();

// Draws the pointer into the picture's bitmap; origin is the screen position of the
// picture's top-left pixel. Returns true when some of the pointer lies on the picture.
bool DrawPointer(const Picture& picture, const PointerSnapshot& pointer, POINT origin);
