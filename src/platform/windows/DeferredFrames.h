#pragma once

#include <windows.h>

// While an object of this class lives, the child windows of `parent` skip painting their
// frames and backgrounds; at its end everything is drawn once. For work that moves or
// removes many overlapping child windows: each step would otherwise repaint, at once,
// the frame of every window it uncovers, which grows with the square of their number.
class DeferredFrames {
public:
    explicit DeferredFrames(HWND parent);
    ~DeferredFrames();
    DeferredFrames(const DeferredFrames&) = delete;
    DeferredFrames& operator=(const DeferredFrames&) = delete;

    // Whether `child`'s parent is in such a stretch.
    static bool Active(HWND child);

private:
    HWND parent_;
    bool nested_;
};
