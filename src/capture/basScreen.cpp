// Decides which area each kind of window capture takes.
#include "capture/basScreen.h"

#include "platform/DesktopGeometry.h"
#include "platform/ErrorReporter.h"
#include "platform/ScreenService.h"

namespace {

Picture CaptureWindowRectangle(HWND window) {
    // Clipped to the whole desktop, so that a window on any monitor comes out whole; on
    // one monitor that is the screen.
    const RECT visible = VisibleWindowRect(window);
    const EdgeRect clipped =
        ClipToDesktop(EdgeRect{visible.left, visible.top, visible.right, visible.bottom}, DesktopPixels());
    return CaptureWindowArea(nullptr, true, clipped.Left, clipped.Top, EdgeDifference(clipped.Right, clipped.Left),
                             EdgeDifference(clipped.Bottom, clipped.Top));
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
