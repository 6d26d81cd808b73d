// The capture commands without a selection tool, and the sequence all four share.
#include "capture/CaptureCommands.h"

#include <memory>

#include <windows.h>

#include "app/basMain.h"
#include "app/frmMain.h"
#include "capture/basScreen.h"
#include "document/frmNabbet.h"
#include "platform/Conversions.h"
#include "platform/Form.h"

namespace CaptureCommands {

namespace {

// Topmost and straight back again: the frame ends above every ordinary window without
// staying topmost, and without being moved or sized.
void RaiseFrame(frmMain& frame) {
    SetWindowPos(frame.hWnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetWindowPos(frame.hWnd(), HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

}  // namespace

void RunCapture(frmMain& frame, const CaptureSteps& steps) {
    const auto body = [&] {
        frame.SetVisible(!gblnHideCaptureWin);
        // One run of pending messages lets the windows below repaint; no timed wait.
        DoEvents();

        std::shared_ptr<frmNabbet> document;
        if (steps.showTool) {
            steps.showTool();
            DoEvents();
        }
        const bool nothingSelected = steps.showTool && steps.nothingSelected && steps.nothingSelected();
        if (!nothingSelected) {
            document = NewForm<frmNabbet>();
            gintCaptureCount = AddInt16(gintCaptureCount, 1);
            // Titling loads the document: the frame shows it at once, still without a picture.
            document->SetCaption(L"Nabbet" + IntegerToText(gintCaptureCount));
            Picture picture = steps.obtainPicture ? steps.obtainPicture() : Picture{};
            document->picNabbet().SetPicture(std::move(picture));
            if (steps.afterPicture) steps.afterPicture();
        }

        frame.SetVisible(true);
        if (document) {
            document->Show();
            document.reset();
        }
        RaiseFrame(frame);
        frame.SetAppState();
    };
    RunTrapped(body, [&] {
        // The frame may have been hidden for the capture: never leave the program invisible.
        if (frame.IsLoaded() && !frame.Visible()) frame.SetVisible(true);
        ReportError();
    });
}

void CaptureActiveWindow(frmMain& frame) {
    CaptureSteps steps;
    steps.obtainPicture = [] { return CaptureForegroundWindow(); };
    RunCapture(frame, steps);
}

void CaptureScreen(frmMain& frame) {
    CaptureSteps steps;
    steps.obtainPicture = [] { return CaptureWholeScreen(); };
    RunCapture(frame, steps);
}

}  // namespace CaptureCommands
