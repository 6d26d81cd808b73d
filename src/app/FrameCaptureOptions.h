#pragma once
#include "capture/CaptureOptions.h"

// Include Pointer, Capture Delay, Magnifier and the last rectangle as the frame holds them:
// read from the settings at start-up, written at exit (the last rectangle as it is
// confirmed). Hide is the global gblnHideCaptureWin, which the frame's load reads with the
// placement.
class FrameCaptureOptions {
public:
    // The options as they stand, Hide included: what the next capture follows.
    CaptureOptions Current() const;

    void TogglePointer();
    void ToggleMagnifier();
    // Any seconds but 3, 5 and 10 are none.
    void SetDelay(int seconds);
    // Pointer, Magnifier and Delay as chosen in Preferences (the last rectangle stays).
    void SetChosen(const CaptureOptions& chosen);
    // A confirmed Rectangle capture's rectangle, stored at once.
    void RememberRectangle(const EdgeRect& rect);

    // Whatever the store holds, reading cannot fail: garbage is the default.
    void Load();
    void Store() const;

private:
    CaptureOptions options_{};
};
