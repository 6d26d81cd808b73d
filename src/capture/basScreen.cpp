// Decides which area each kind of window capture takes.
#include "capture/basScreen.h"

#include "platform/windows/ScreenService.h"
#include "platform/rules/DesktopGeometry.h"
#include "platform/windows/ErrorReporter.h"

namespace {

Picture CaptureWindowRectangle(HWND window) {
    const RECT clipped = WindowCaptureArea(window);
    return CaptureWindowArea(nullptr, true, clipped.left, clipped.top, EdgeDifference(clipped.right, clipped.left),
                             EdgeDifference(clipped.bottom, clipped.top));
}

bool IsFrameOrOwnedByIt(HWND window, HWND frame) {
    return window == frame || GetAncestor(window, GA_ROOTOWNER) == frame;
}

// A window a user would call a program's window: visible, not minimised, not a tool
// window, not empty.
bool IsOrdinaryWindow(HWND window) {
    if (!IsWindowVisible(window) || IsIconic(window)) return false;
    if ((GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) != 0) return false;
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect.right > rect.left && rect.bottom > rect.top;
}

}  // namespace

RECT WindowCaptureArea(HWND hWnd) {
    // Clipped to the whole desktop, so that a window on any monitor comes out whole; on
    // one monitor that is the screen.
    const RECT visible = VisibleWindowRect(hWnd);
    const EdgeRect clipped =
        ClipToDesktop(EdgeRect{visible.left, visible.top, visible.right, visible.bottom}, DesktopPixels());
    return RECT{clipped.Left, clipped.Top, clipped.Right, clipped.Bottom};
}

RECT VirtualScreenRect() {
    const int left = GetSystemMetrics(SM_XVIRTUALSCREEN);
    const int top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    return RECT{left, top, left + GetSystemMetrics(SM_CXVIRTUALSCREEN), top + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
}

Picture CaptureVirtualScreen() {
    Picture result;
    Trapped([&] {
        const RECT desktop = VirtualScreenRect();
        // The screen's own device context counts in screen coordinates, monitors left of or
        // above the primary one included.
        result = CaptureWindowArea(nullptr, true, desktop.left, desktop.top, EdgeDifference(desktop.right, desktop.left),
                                   EdgeDifference(desktop.bottom, desktop.top));
    });
    return result;
}

HWND WindowInFrontOf(HWND frame) {
    const HWND front = GetForegroundWindow();
    if (front != nullptr && !IsFrameOrOwnedByIt(front, frame)) return front;
    for (HWND window = GetWindow(frame, GW_HWNDNEXT); window != nullptr; window = GetWindow(window, GW_HWNDNEXT))
        if (!IsFrameOrOwnedByIt(window, frame) && IsOrdinaryWindow(window)) return window;
    return GetDesktopWindow();
}

Picture CaptureWindowByHandle(HWND hWnd) {
    Picture result;
    Trapped([&] { result = CaptureWindowRectangle(hWnd); });
    return result;
}
