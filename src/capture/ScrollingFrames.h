#pragma once
// What a scrolling capture needs of the screen and of the window it scrolls: frames of one
// screen rectangle read again and again into the same memory, and one more step down.
#include <cstdint>

#include <windows.h>

#include "platform/rules/ScreenGeometry.h"
#include "platform/rules/ScrollStitch.h"
#include "platform/windows/Handles.h"

// Two frames of a screen rectangle: each Take reads the screen into the older one, so the
// frame before stays readable beside the new one. No picture is made per frame.
class ScreenFrames {
public:
    // Raises the out-of-memory error when the frames cannot be made.
    explicit ScreenFrames(const EdgeRect& area);
    ScreenFrames(const ScreenFrames&) = delete;
    ScreenFrames& operator=(const ScreenFrames&) = delete;

    void Take();
    // Reads the screen again into the last frame (the frame before stays).
    void TakeAgain();
    FrameView Last() const noexcept { return View(last_); }
    FrameView Before() const noexcept { return View(1 - last_); }

private:
    FrameView View(int which) const noexcept;

    EdgeRect area_;
    unique_hdc memory_;
    unique_hbitmap bitmaps_[2];
    std::uint32_t* bits_[2] = {nullptr, nullptr};
    int last_ = 1;
};

// Scrolls the window under a point of the screen one step down, as the user would: with
// the wheel, and, once the wheel moves nothing, with the vertical scroll bar's messages.
class WindowScroller {
public:
    explicit WindowScroller(POINT at);
    HWND Target() const noexcept { return target_; }
    // One step down; waits (at most limitMs) until the window has painted it.
    void Step(unsigned limitMs);
    // Turns to the scroll bar's messages; false when they are already in use.
    bool TryScrollBar();

private:
    POINT at_;
    HWND target_;
    HWND bar_;  // the window that takes WM_VSCROLL: the target or the nearest ancestor with a scroll bar
    bool useBar_ = false;
};
