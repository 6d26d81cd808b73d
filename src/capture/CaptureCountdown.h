#pragma once
#include <functional>

#include <windows.h>

class IFrameHost;

// The count before a delayed capture: a small topmost window near the pointer and the
// status bar show the seconds left. Escape (pressed anywhere the system lets the program
// hear it) or a click on the window cancels. The frame is disabled meanwhile, so that no
// other command starts under the count.
namespace CaptureCountdown {

// Counts seconds down; true when the count ran out, false when it was cancelled or the
// frame went away meanwhile. The window is gone when it returns.
bool Run(IFrameHost& frame, int seconds);

// Test seams: the length of one counted second (0 restores 1000 ms), and a call at each
// number shown, with the window and the seconds left.
void SetTickMilliseconds(unsigned milliseconds);
void SetObserver(std::function<void(HWND window, int remaining)> observer);

}  // namespace CaptureCountdown
