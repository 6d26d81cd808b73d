#pragma once
#include "capture/CaptureOptions.h"

// Include Pointer, Capture Delay and Magnifier as the frame holds them: read from the settings at
// start-up, written at exit. Hide is the global gblnHideCaptureWin, which the frame's
// load reads with the placement.
class FrameCaptureOptions {
public:
    // The options as they stand, Hide included: what the next capture follows.
    CaptureOptions Current() const;

    void TogglePointer();
    void ToggleMagnifier();
    // Any seconds but 3, 5 and 10 are none.
    void SetDelay(int seconds);

    // Whatever the store holds, reading cannot fail: garbage is the default.
    void Load();
    void Store() const;

private:
    CaptureOptions options_{};
};
