// The capture commands without a selection tool, and the sequence every capture shares.
#include "capture/CaptureCommands.h"

#include <memory>

#include <windows.h>

#include "capture/basScreen.h"
#include "platform/Conversions.h"
#include "platform/DocumentForm.h"
#include "platform/ErrorReporter.h"
#include "platform/Form.h"
#include "platform/FrameHost.h"

std::int16_t gintCaptureCount = 0;

namespace CaptureCommands {

namespace {

// Topmost and straight back again: the frame ends above every ordinary window without
// staying topmost, and without being moved or sized.
void RaiseFrame(IFrameHost& frame) {
    SetWindowPos(frame.OwnerWindow(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetWindowPos(frame.OwnerWindow(), HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

}  // namespace

void RunCapture(IFrameHost& frame, const CaptureSteps& steps) {
    // Every run of messages may close the frame (its close box, the end of the session);
    // the capture then ends there, quietly: there is nothing left to show a picture in.
    const auto frameGone = [&] { return !frame.FrameLoaded(); };
    const auto body = [&] {
        frame.SetFrameVisible(!frame.HideOption());
        // One run of pending messages lets the windows below repaint; no timed wait.
        DoEvents();
        if (frameGone()) return;

        std::shared_ptr<DocumentForm> document;
        if (steps.showTool) {
            steps.showTool();
            DoEvents();
            if (frameGone()) return;
        }
        const bool nothingSelected = steps.showTool && steps.nothingSelected && steps.nothingSelected();
        if (!nothingSelected) {
            document = frame.NewDocument();
            gintCaptureCount = AddInt16(gintCaptureCount, 1);
            // Titling loads the document: the frame shows it at once, still without a picture.
            document->SetCaption(L"Nabbet" + IntegerToText(gintCaptureCount));
            Picture picture = steps.obtainPicture ? steps.obtainPicture() : Picture{};
            if (frameGone()) return;
            document->SetDocumentPicture(std::move(picture));
            if (steps.afterPicture) steps.afterPicture();
        }

        frame.SetFrameVisible(true);
        if (document) {
            document->Show();
            document.reset();
        }
        RaiseFrame(frame);
        frame.SetAppState();
    };
    RunTrapped(body, [&] {
        if (frameGone()) return;
        // The frame may have been hidden for the capture: never leave the program invisible.
        if (!frame.FrameVisible()) frame.SetFrameVisible(true);
        ReportError();
    });
}

void CaptureActiveWindow(IFrameHost& frame) {
    CaptureSteps steps;
    steps.obtainPicture = [] { return CaptureForegroundWindow(); };
    RunCapture(frame, steps);
}

void CaptureScreen(IFrameHost& frame) {
    CaptureSteps steps;
    steps.obtainPicture = [] { return CaptureWholeScreen(); };
    RunCapture(frame, steps);
}

}  // namespace CaptureCommands
