// The two capture commands that need a selection tool first, Rectangle and Window: the
// capture sequence with the selection tools put in, the one place that knows both.
#include "app/CaptureToolCommands.h"

#include <memory>

#include "capture/basScreen.h"
#include "capture/CaptureCommands.h"
#include "capture/CaptureOptions.h"
#include "capture/ScrollProgress.h"
#include "platform/windows/AppInfo.h"
#include "platform/windows/MessageBoxService.h"
#include "document/PicturePixels.h"
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

namespace {

// The selector's band in desktop pixels: band pixels count from its client origin, which
// lies on the desktop's top-left corner. None for a band of no area.
std::optional<EdgeRect> BandOnDesktop(const frmRectangle& selector, const PixelRect& band) {
    if (band.Width <= 0 || band.Height <= 0) return std::nullopt;
    POINT origin{0, 0};
    ClientToScreen(selector.hWnd(), &origin);
    return EdgeRect{origin.x + band.Left, origin.y + band.Top, origin.x + band.Left + band.Width,
                    origin.y + band.Top + band.Height};
}

PixelRect SelectedBand(const frmRectangle& selector) {
    return BandPixels(selector.shpSelect.Geometry(), Screen::TwipsPerPixelX(), Screen::TwipsPerPixelY());
}

}  // namespace

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
        const PixelRect band = SelectedBand(*selector);
        // The pixels come from the frozen screen the user selected them on.
        Picture picture = selector->CaptureFrozenArea(band);
        confirmed = BandOnDesktop(*selector, band);
        if (PointerInBand(pointer, band)) DrawPointer(picture, pointer, POINT{band.Left, band.Top});
        return picture;
    };
    steps.afterPicture = [&] { selector->Unload(); };
    steps.source = [&]() -> std::optional<ScreenSource> {
        if (!confirmed) return std::nullopt;
        return ScreenSource{*confirmed, 0};
    };
    RunCapture(frame, options, steps);
    // After a failure (the count at its end, say) a hidden selector must not linger: it
    // would count as an open document and keep a copy of the whole screen.
    if (selector && selector->IsLoaded()) selector->Unload();
    return confirmed;
}

ScrollingResult CaptureScrollingWindow(IFrameHost& frame, const CaptureOptions& options) {
    std::shared_ptr<frmRectangle> selector;
    ScrollingResult result;
    CaptureSteps steps;
    steps.showTool = [&] {
        frmRectangle::ShowMagnifier = options.magnifier;
        selector = NewForm<frmRectangle>(&frame);
        selector->ShowModal(frame.OwnerWindow());
    };
    steps.nothingSelected = [&] { return !selector->IsLoaded(); };
    steps.obtainPicture = [&] {
        result.area = BandOnDesktop(*selector, SelectedBand(*selector));
        // The frozen screen goes, and the windows under it repaint, before the live screen
        // is read and scrolled.
        selector->Unload();
        DoEvents();
        if (!result.area) return Picture{};
        const POINT centre{(result.area->Left + result.area->Right) / 2, (result.area->Top + result.area->Bottom) / 2};
        WaitUntilPainted(GetAncestor(WindowFromPoint(centre), GA_ROOT), kRepaintWaitMs);
        result.run = ScrollAndStitch(*result.area, options.scrollLimit);
        return PictureOfPixels(result.run.picture);
    };
    steps.source = [&]() -> std::optional<ScreenSource> {
        if (!result.area) return std::nullopt;
        return ScreenSource{*result.area, result.run.header};
    };
    RunCapture(frame, options, steps);
    if (selector && selector->IsLoaded()) selector->Unload();
    // The picture is in the document: only the figures are kept.
    result.run.picture = Pixels{};
    if (result.area && frame.FrameLoaded()) {
        if (result.run.refused) {
            frame.SetStatusText(kNoExactOverlap);
            MessageBoxService().Show(MessageBoxOwner(),
                                     std::wstring(kNoExactOverlap) + L"\r\n\r\nThe capture ends at the frame before it.",
                                     MB_OK | MB_ICONEXCLAMATION, App::Title());
        } else {
            frame.SetStatusText(L"Scrolling capture: " + GroupedNumber(result.run.frames) + L" frames" +
                                (result.run.stopped ? L", stopped" : L""));
        }
    }
    return result;
}

void CaptureWindow(IFrameHost& frame, const CaptureOptions& options) {
    std::shared_ptr<frmWindow> picker;
    std::optional<ScreenSource> source;
    CaptureSteps steps;
    steps.source = [&] { return source; };
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
        if (!picture.IsEmpty() && area.right > area.left && area.bottom > area.top)
            source = ScreenSource{EdgeRect{area.left, area.top, area.right, area.bottom}, 0};
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
