// The two capture commands that need a selection tool first, Rectangle and Window: the
// capture sequence with the selection tools put in, the one place that knows both.
#include "app/CaptureToolCommands.h"

#include <memory>

#include "capture/basScreen.h"
#include "capture/CaptureCommands.h"
#include "capture/CaptureOptions.h"
#include "platform/pictures/PointerImage.h"
#include "platform/windows/ScreenService.h"
#include "platform/windows/Form.h"
#include "platform/services/FrameHost.h"
#include "platform/windows/PaintWait.h"
#include "select/frmRectangle.h"
#include "select/frmWindow.h"

namespace CaptureCommands {

namespace {
// The longest a pick waits for the picked window to paint; a program that takes longer
// is read as it stands.
constexpr unsigned kRepaintWaitMs = 1000;
}  // namespace

bool PointerInBand(const PointerSnapshot& pointer, const PixelRect& band) {
    return pointer.shown && pointer.position.x >= band.Left && pointer.position.y >= band.Top &&
           pointer.position.x < band.Left + band.Width && pointer.position.y < band.Top + band.Height;
}

std::optional<EdgeRect> CaptureRectangle(IFrameHost& frame, const CaptureOptions& options) {
    std::shared_ptr<frmRectangle> selector;
    std::optional<EdgeRect> confirmed;
    PointerSnapshot pointer;
    CaptureSteps steps;
    steps.showTool = [&] {
        // The pointer as it is when the screen freezes, before the selector's crosshair.
        if (options.pointer) pointer = TakePointerSnapshot();
        frmRectangle::ShowMagnifier = options.magnifier;
        selector = NewForm<frmRectangle>(&frame);
        selector->ShowModal(frame.OwnerWindow());
    };
    // The selector unloads itself on a cancel; confirmed, it is hidden but still loaded.
    steps.nothingSelected = [&] { return !selector->IsLoaded(); };
    steps.obtainPicture = [&] {
        const PixelRect band =
            BandPixels(selector->shpSelect.Geometry(), Screen::TwipsPerPixelX(), Screen::TwipsPerPixelY());
        // The pixels come from the frozen screen the user selected them on.
        Picture picture = selector->CaptureFrozenArea(band);
        // Band pixels count from the selector's client origin, which lies on the desktop's
        // top-left corner.
        POINT origin{0, 0};
        ClientToScreen(selector->hWnd(), &origin);
        if (band.Width > 0 && band.Height > 0)
            confirmed = EdgeRect{origin.x + band.Left, origin.y + band.Top, origin.x + band.Left + band.Width,
                                 origin.y + band.Top + band.Height};
        if (PointerInBand(pointer, band)) DrawPointer(picture, pointer, POINT{band.Left, band.Top});
        return picture;
    };
    steps.afterPicture = [&] { selector->Unload(); };
    RunCapture(frame, options, steps);
    // After a failure (the count at its end, say) a hidden selector must not linger: it
    // would count as an open document and keep a copy of the whole screen.
    if (selector && selector->IsLoaded()) selector->Unload();
    return confirmed;
}

void CaptureWindow(IFrameHost& frame, const CaptureOptions& options) {
    std::shared_ptr<frmWindow> picker;
    CaptureSteps steps;
    steps.showTool = [&] {
        picker = NewForm<frmWindow>();
        picker->ShowModal(frame.OwnerWindow());
    };
    // Closed through its frame, the picker is gone with nothing picked.
    steps.nothingSelected = [&] { return !picker->IsLoaded() || picker->mlngHwndCaptured == nullptr; };
    HWND picked = nullptr;
    steps.obtainPicture = [&] {
        picked = picker->mlngHwndCaptured;
        // The picker goes, and the windows it covered repaint, before the screen is read.
        picker->Unload();
        DoEvents();
        // A window of another program is read only once it has painted again: the pick
        // asked every window to repaint, and the system erased them at once.
        WaitUntilPainted(picked, kRepaintWaitMs);
        Picture picture = CaptureWindowByHandle(picked);
        const RECT area = WindowCaptureArea(picked);
        AddPointer(options, picture, POINT{area.left, area.top});
        return picture;
    };
    steps.windowTitle = [&picked] {
        wchar_t title[256]{};
        GetWindowTextW(picked, title, 256);
        return std::wstring(title);
    };
    RunCapture(frame, options, steps);
    if (picker && picker->IsLoaded()) picker->Unload();
}

}  // namespace CaptureCommands
