// Pixelnab: the program starts by loading its frame, opens the files named on its command
// line, and ends when no form is loaded. While another Pixelnab runs, a start hands its
// files (or its command-line capture) to that one and ends at once. A capture with /exit
// runs on its own, without the frame, and ends with an exit code for the script.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include "app/CommandLine.h"
#include "app/FrameCaptureOptions.h"
#include "app/frmMain.h"
#include "app/HandOver.h"
#include "app/ScriptCapture.h"
#include "platform/windows/Form.h"

namespace {

// Exit codes for scripts.
constexpr int kExitDone = 0;
constexpr int kExitBadArguments = 2;

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    ParsedCommandLine line = ParseCommandLine(CommandLineArguments(GetCommandLineW()));
    if (!line.error.empty()) {
        WriteToStartingConsole(L"Pixelnab: " + line.error);
        WriteToStartingConsole(CommandLineUsage());
        return kExitBadArguments;
    }
    for (std::wstring& file : line.files) file = AbsolutePath(file);
    // The running Pixelnab has its own current folder: it gets the path as meant here.
    if (line.capture && !line.capture->saveFile.empty()) line.capture->saveFile = AbsolutePath(line.capture->saveFile);

    if (line.capture && !line.capture->exit) {
        if (HandOverToRunningFrame(CaptureArguments(*line.capture), kCaptureCopyData)) return kExitDone;
    } else if (line.tray) {
        if (FindWindowW(kFrameClassName, nullptr) != nullptr) return kExitDone;  // already there
    } else if (!line.capture && HandOverToRunningFrame(line.files)) {
        return kExitDone;
    }
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES | ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    const HRESULT com = OleInitialize(nullptr);
    int exitCode = kExitDone;
    if (line.capture && line.capture->exit) {
        FrameCaptureOptions options;
        options.Load();
        exitCode = CaptureAndExit(*line.capture, options.Current());
    } else {
        auto frame = NewForm<frmMain>();
        frame->Load();
        if (frame->IsLoaded()) {
            if (line.tray) frame->StartInNotificationArea();
            else frame->Show();
        }
        if (frame->IsLoaded()) frame->OpenFiles(line.files);
        if (frame->IsLoaded() && line.capture) frame->CaptureFromCommandLine(*line.capture);
        frame.reset();
        while (Forms::Count() > 0 && PumpOneMessage()) {
        }
    }
    if (SUCCEEDED(com)) OleUninitialize();
    return exitCode;
}
