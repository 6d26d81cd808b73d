// The two capture commands that need a selection tool first, Rectangle and Window: the
// capture sequence with the selection tools put in, the one place that knows both.
#include "app/CaptureToolCommands.h"

#include <memory>

#include "capture/CaptureCommands.h"
#include "capture/basScreen.h"
#include "platform/Form.h"
#include "platform/FrameHost.h"
#include "platform/ScreenService.h"
#include "select/frmRectangle.h"
#include "select/frmWindow.h"

namespace CaptureCommands {

void CaptureRectangle(IFrameHost& frame) {
    std::shared_ptr<frmRectangle> selector;
    CaptureSteps steps;
    steps.showTool = [&] {
        selector = NewForm<frmRectangle>();
        selector->ShowModal(frame.OwnerWindow());
    };
    // The selector unloads itself on a cancel; confirmed, it is hidden but still loaded.
    steps.nothingSelected = [&] { return !selector->IsLoaded(); };
    steps.obtainPicture = [&] {
        const PixelRect band =
            BandPixels(selector->shpSelect.Geometry(), Screen::TwipsPerPixelX(), Screen::TwipsPerPixelY());
        // The pixels come from the frozen screen the user selected them on.
        return selector->CaptureFrozenArea(band);
    };
    steps.afterPicture = [&] { selector->Unload(); };
    RunCapture(frame, steps);
    // After a failure (the count at its end, say) a hidden selector must not linger: it
    // would count as an open document and keep a copy of the whole screen.
    if (selector && selector->IsLoaded()) selector->Unload();
}

void CaptureWindow(IFrameHost& frame) {
    std::shared_ptr<frmWindow> picker;
    CaptureSteps steps;
    steps.showTool = [&] {
        picker = NewForm<frmWindow>();
        picker->ShowModal(frame.OwnerWindow());
    };
    // Closed through its frame, the picker is gone with nothing picked.
    steps.nothingSelected = [&] { return !picker->IsLoaded() || picker->mlngHwndCaptured == nullptr; };
    steps.obtainPicture = [&] {
        const HWND picked = picker->mlngHwndCaptured;
        // The picker goes, and the windows it covered repaint, before the screen is read.
        picker->Unload();
        DoEvents();
        return CaptureWindowByHandle(picked);
    };
    RunCapture(frame, steps);
    if (picker && picker->IsLoaded()) picker->Unload();
}

}  // namespace CaptureCommands
