// Pixelnab: the program starts by loading its frame and ends when no form is loaded.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include "app/frmMain.h"
#include "platform/Form.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES | ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    const HRESULT com = OleInitialize(nullptr);
    {
        auto frame = NewForm<frmMain>();
        frame->Load();
        if (frame->IsLoaded()) frame->Show();
        frame.reset();
        while (Forms::Count() > 0 && PumpOneMessage()) {
        }
    }
    if (SUCCEEDED(com)) OleUninitialize();
    return 0;
}
