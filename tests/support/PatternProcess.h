#pragma once
// The end-to-end pattern window (pattern_window.exe) shown by a process of its own: a
// window of known place that is not the test process's, as the windows of other programs
// are to Pixelnab.
#include <windows.h>

class PatternProcess {
public:
    // A window at (x, y) of width x height; with a button width > 0, a push button at
    // (buttonX, buttonY) of its client area. Waits until the window shows.
    PatternProcess(int x, int y, int width, int height, int buttonX = 0, int buttonY = 0, int buttonWidth = 0,
                   int buttonHeight = 0);
    ~PatternProcess();
    PatternProcess(const PatternProcess&) = delete;
    PatternProcess& operator=(const PatternProcess&) = delete;

    // The window, or null when it did not show within ten seconds.
    HWND hWnd() const noexcept { return window_; }

private:
    PROCESS_INFORMATION process_{};
    HWND window_ = nullptr;
};
