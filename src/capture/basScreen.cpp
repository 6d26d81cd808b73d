// Decides which area each kind of window capture takes.
#include "capture/basScreen.h"

#include "platform/ErrorReporter.h"
#include "platform/ScreenGeometry.h"

namespace {

Picture CaptureWindowRectangle(HWND window) {
    const RECT clipped = ClipToScreen(VisibleWindowRect(window), ScreenWidthPixels(), ScreenHeightPixels());
    return CaptureWindowArea(GetDesktopWindow(), false, clipped.left, clipped.top,
                             EdgeDifference(clipped.right, clipped.left), EdgeDifference(clipped.bottom, clipped.top));
}

}  // namespace

Picture CaptureForegroundWindow() {
    Picture result;
    Trapped([&] { result = CaptureWindowRectangle(GetForegroundWindow()); });
    return result;
}

Picture CaptureWindowByHandle(HWND hWnd) {
    Picture result;
    Trapped([&] { result = CaptureWindowRectangle(hWnd); });
    return result;
}
