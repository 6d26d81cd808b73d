// Pixelnab: the program starts by loading its frame, opens the files named on its command
// line, and ends when no form is loaded. While another Pixelnab runs, a start hands its
// files to that one and ends at once.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include "app/frmMain.h"
#include "app/HandOver.h"
#include "platform/windows/Form.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    const std::vector<std::wstring> files = CommandLineFiles(GetCommandLineW());
    if (HandOverToRunningFrame(files)) return 0;
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES | ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    const HRESULT com = OleInitialize(nullptr);
    {
        auto frame = NewForm<frmMain>();
        frame->Load();
        if (frame->IsLoaded()) frame->Show();
        if (frame->IsLoaded()) frame->OpenFiles(files);
        frame.reset();
        while (Forms::Count() > 0 && PumpOneMessage()) {
        }
    }
    if (SUCCEEDED(com)) OleUninitialize();
    return 0;
}
