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
    // For a window procedure, before its own handling. While `window` is a document (an MDI
    // child) in such a stretch, its frame and background paints are skipped (returns true:
    // the message is answered with 0) and its moves are made without redrawing (returns
    // false: the move goes on, with SWP_NOREDRAW added).
    static bool Intercept(HWND window, UINT message, LPARAM lParam);

private:
    HWND parent_;
    bool nested_;
};
