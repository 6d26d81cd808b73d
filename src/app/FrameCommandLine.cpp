// The frame's side of the command line and of the notification area: captures asked for
// by a script (here or handed over by a second start), files handed over while the frame
// is hidden, and the notification for a document made meanwhile.
#include <windows.h>

#include "app/CaptureToolCommands.h"
#include "app/FrameAfterCapture.h"
#include "app/frmMain.h"
#include "app/HandOver.h"
#include "app/ScriptCapture.h"
#include "capture/basScreen.h"
#include "capture/CaptureCommands.h"
#include "platform/windows/ErrorReporter.h"

namespace {

// "copied and saved as C:\...\Nabbet 7 ....png": what followed the name in the notification.
std::wstring AfterCaptureDetail(const AfterCaptureResult& result) {
    std::wstring detail;
    if (result.saved)
        detail = (result.copied ? L"copied and saved as " : L"saved as ") + result.savedPath;
    else if (result.copied)
        detail = L"copied to the clipboard";
    if (!result.failure.empty()) detail += (detail.empty() ? L"" : L"; ") + result.failure;
    return detail;
}

}  // namespace

std::shared_ptr<DocumentForm> frmMain::AddDocument(const DocumentArrival& arrival) {
    const bool inTray = tray_.FrameInTray();
    auto document = documents_.Add(arrival);
    if (!document || !inTray || !tray_.FrameInTray()) return document;
    // Copying is done by now; a file is told of once it is written.
    const auto& result = afterCapture_.LastResult();
    if (result && result->document == document->Caption())
        tray_.NotifyCaptured(document, AfterCaptureDetail(*result));
    else if (afterCapture_.Options().save)
        trayAwaiting_ = document;
    else
        tray_.NotifyCaptured(document, L"");
    return document;
}

void frmMain::NotifyFromTray(const AfterCaptureResult& result) {
    const auto document = trayAwaiting_.lock();
    if (!document || document->Caption() != result.document) return;
    trayAwaiting_.reset();
    if (tray_.FrameInTray()) tray_.NotifyCaptured(document, AfterCaptureDetail(result));
}

LRESULT frmMain::OnCopyData(const COPYDATASTRUCT* data) {
    if (data != nullptr && data->dwData == kCaptureCopyData) {
        const ParsedCommandLine line = ParseCommandLine(UnpackPaths(data->lpData, data->cbData));
        if (!line.capture) return FALSE;
        // Run once the second start's SendMessage has returned, so that it can end.
        handedCaptures_.push_back(*line.capture);
        PostMessageW(hwnd_, kHandedCaptureMessage, 0, 0);
        return TRUE;
    }
    // Files handed over are for the user to see: the frame comes out of the notification area.
    if (data != nullptr && data->dwData == kOpenFilesCopyData && tray_.FrameInTray()) tray_.ShowFrame();
    return files_.OnCopyData(data) ? TRUE : FALSE;
}

void frmMain::CaptureFromCommandLine(const CaptureRequest& request) {
    const auto keepAlive = shared_from_this();
    CaptureOptions options = CaptureSettings();
    options.delaySeconds = request.delaySeconds;
    const int before = gintCaptureCount;
    switch (request.capture) {
    case CommandLineCapture::Screen: CaptureCommands::CaptureScreen(*this, options); break;
    case CommandLineCapture::AllScreens: CaptureCommands::CaptureAllScreens(*this, options); break;
    // The window in front as the request came: the console's when typed there.
    case CommandLineCapture::Active:
        CaptureCommands::CaptureActiveWindow(*this, options, WindowInFrontOf(hwnd_));
        break;
    case CommandLineCapture::Rectangle:
        RememberRectangle(CaptureCommands::CaptureRectangle(*this, options));
        break;
    }
    if (!IsLoaded() || gintCaptureCount == before) return;
    const auto document = ActiveDocument();
    if (!document || (request.saveFile.empty() && !request.copy)) return;
    Trapped([&] {
        DeliverCapture(document->DocumentPicture(), request, hwnd_);
        if (!request.saveFile.empty()) SetStatusText(L"Saved as " + request.saveFile);
    });
}
