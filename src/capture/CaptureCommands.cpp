// The capture commands without a selection tool, and the sequence every capture shares.
#include "capture/CaptureCommands.h"

#include <memory>

#include <windows.h>

#include "capture/basScreen.h"
#include "capture/CaptureCountdown.h"
#include "capture/CaptureOptions.h"
#include "platform/rules/Conversions.h"
#include "platform/rules/DesktopGeometry.h"
#include "platform/pictures/PointerImage.h"
#include "platform/controls/DocumentForm.h"
#include "platform/windows/AppInfo.h"
#include "platform/windows/ErrorReporter.h"
#include "platform/windows/MessageBoxService.h"
#include "platform/windows/ScreenService.h"
#include "platform/windows/Form.h"
#include "platform/services/FrameHost.h"

std::int16_t gintCaptureCount = 0;

namespace CaptureCommands {

namespace {

// Topmost and straight back again: the frame ends above every ordinary window without
// staying topmost, and without being moved or sized.
void RaiseFrame(IFrameHost& frame) {
    SetWindowPos(frame.OwnerWindow(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetWindowPos(frame.OwnerWindow(), HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

bool g_captureRunning = false;

}  // namespace

bool CaptureInProgress() { return g_captureRunning; }

CaptureUnderWay::CaptureUnderWay() { g_captureRunning = true; }
CaptureUnderWay::~CaptureUnderWay() { g_captureRunning = false; }

void AddPointer(const CaptureOptions& options, const Picture& picture, POINT origin) {
    if (!options.pointer || picture.IsEmpty()) return;
    DrawPointer(picture, TakePointerSnapshot(), origin);
}

void RunCapture(IFrameHost& frame, const CaptureOptions& options, const CaptureSteps& steps) {
    if (g_captureRunning) return;
    const CaptureUnderWay running;
    // Every run of messages may close the frame (its close box, the end of the session);
    // the capture then ends there, quietly: there is nothing left to show a picture in.
    const auto frameGone = [&] { return !frame.FrameLoaded(); };
    const auto body = [&] {
        // The count comes first, so that the frozen screen or the picker appears after it.
        if (options.delaySeconds > 0 && !CaptureCountdown::Run(frame, options.delaySeconds)) {
            if (frame.FrameLoaded()) frame.SetAppState();
            return;
        }
        frame.SetFrameVisible(!options.hideFrame);
        // One run of pending messages lets the windows below repaint; no timed wait.
        DoEvents();
        if (frameGone()) return;

        if (steps.showTool) {
            steps.showTool();
            if (frameGone()) return;
        }
        // A cancelled tool has handed the frame back already: no run of messages then, or
        // the keys typed right after the cancel would be dispatched inside this capture,
        // where the capture command they choose is refused as one already under way.
        const bool nothingSelected = steps.showTool && steps.nothingSelected && steps.nothingSelected();
        if (!nothingSelected) {
            if (steps.showTool) {
                DoEvents();
                if (frameGone()) return;
            }
            // Numbered and shown at once, still without a picture; the frame comes back
            // once the picture is in, before the document is shown.
            DocumentArrival arrival;
            arrival.picture = [&] { return steps.obtainPicture ? steps.obtainPicture() : Picture{}; };
            if (steps.source) arrival.source = steps.source;
            arrival.capture = true;
            arrival.windowTitle = steps.windowTitle;
            arrival.beforeShow = [&] {
                if (steps.afterPicture) steps.afterPicture();
                frame.SetFrameVisible(true);
            };
            if (!frame.AddDocument(arrival)) return;
        }
        frame.SetFrameVisible(true);
        RaiseFrame(frame);
        if (nothingSelected) frame.SetAppState();
    };
    RunTrapped(body, [&] {
        if (frameGone()) return;
        // The frame may have been hidden for the capture: never leave the program invisible.
        if (!frame.FrameVisible()) frame.SetFrameVisible(true);
        ReportError();
    });
}

namespace {

std::wstring TitleOf(HWND window) {
    wchar_t title[256]{};
    GetWindowTextW(window, title, 256);
    return title;
}

Picture WindowWithPointer(const CaptureOptions& options, HWND window) {
    Picture picture = CaptureWindowByHandle(window);
    const RECT area = WindowCaptureArea(window);
    AddPointer(options, picture, POINT{area.left, area.top});
    return picture;
}

}  // namespace

void CaptureActiveWindow(IFrameHost& frame, const CaptureOptions& options) {
    CaptureSteps steps;
    // The window in front once the count and the hiding are over, as before; its title
    // names the file.
    HWND target = nullptr;
    steps.obtainPicture = [&] {
        target = GetForegroundWindow();
        return WindowWithPointer(options, target);
    };
    steps.windowTitle = [&target] { return TitleOf(target); };
    RunCapture(frame, options, steps);
}

void CaptureActiveWindow(IFrameHost& frame, const CaptureOptions& options, HWND target) {
    CaptureSteps steps;
    steps.obtainPicture = [&] { return WindowWithPointer(options, target); };
    steps.windowTitle = [target] { return TitleOf(target); };
    RunCapture(frame, options, steps);
}

void CaptureScreen(IFrameHost& frame, const CaptureOptions& options) {
    CaptureSteps steps;
    steps.obtainPicture = [&] {
        Picture picture = CaptureWholeScreen();
        AddPointer(options, picture, POINT{0, 0});
        return picture;
    };
    RunCapture(frame, options, steps);
}

void CaptureAllScreens(IFrameHost& frame, const CaptureOptions& options) {
    CaptureSteps steps;
    steps.obtainPicture = [&] {
        const RECT desktop = VirtualScreenRect();
        Picture picture = CaptureVirtualScreen();
        AddPointer(options, picture, POINT{desktop.left, desktop.top});
        return picture;
    };
    RunCapture(frame, options, steps);
}

void CaptureLastRectangle(IFrameHost& frame, const CaptureOptions& options) {
    if (!options.lastRectangle || CaptureInProgress()) return;
    // Monitors come and go between runs: only what lies on today's desktop is taken.
    const std::optional<EdgeRect> area = IntersectDesktop(*options.lastRectangle, DesktopPixels());
    if (!area) {
        Trapped([&] {
            MessageBoxService().Show(MessageBoxOwner(), L"The last rectangle lies outside today's screens.",
                                     MB_OK | MB_ICONEXCLAMATION, App::Title());
        });
        return;
    }
    CaptureSteps steps;
    steps.obtainPicture = [&] {
        Picture picture = CaptureDesktopArea(*area);
        AddPointer(options, picture, POINT{area->Left, area->Top});
        return picture;
    };
    RunCapture(frame, options, steps);
}

}  // namespace CaptureCommands
