#pragma once
// The capture options of the Options menu that the capture sequence follows.

// Seconds counted down before each capture: 0 (none), 3, 5 or 10.
extern int gintCaptureDelay;
// True when captures draw the mouse pointer into the picture.
extern bool gblnCapturePointer;
