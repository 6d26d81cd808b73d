#pragma once
// Counts how often windows draw, to show that a step draws each part once: WM_PAINT,
// WM_NCPAINT, and a scroll bar's immediate redraws (SetScrollInfo asked to redraw draws
// the bar at once, without WM_PAINT; the bar sees it as SBM_SETSCROLLINFO with wParam
// TRUE). One counter at a time may watch new windows.
#include <functional>
#include <map>
#include <set>

#include <windows.h>

class DrawCounter {
public:
    DrawCounter() = default;
    ~DrawCounter();
    DrawCounter(const DrawCounter&) = delete;
    DrawCounter& operator=(const DrawCounter&) = delete;

    // Watches a window and every child it already has.
    void Watch(HWND window);
    // Watches every window this thread creates from now on, from its first message.
    void WatchNewWindows();

    int Paints(HWND window) const;       // WM_PAINT
    int FramePaints(HWND window) const;  // WM_NCPAINT
    // WM_PAINT and immediate scroll-bar redraws: how often the window drew its client area.
    int Draws(HWND window) const;
    // Everything drawn by every watched window.
    int Total() const;
    void Reset() { counts_.clear(); }

private:
    struct Counts {
        int paints = 0;
        int framePaints = 0;
        int redraws = 0;
    };
    static LRESULT CALLBACK Subclass(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                     DWORD_PTR self);
    static LRESULT CALLBACK OnCreation(int code, WPARAM wParam, LPARAM lParam);
    void Add(HWND window);

    std::map<HWND, Counts> counts_;
    std::set<HWND> watched_;
    HHOOK hook_ = nullptr;
};
