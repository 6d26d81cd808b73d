// The Help menu's commands: the help viewer on the Contents tab, the Index tab and the
// licence page, and the About box.
#include "help/HelpCommands.h"

#include <string>

#include "app/basMain.h"
#include "app/frmMain.h"
#include "help/basHelp.h"
#include "help/frmAbout.h"

namespace HelpCommands {

void HelpContents(frmMain& frame) {
    Trapped([&] {
        const HWND owner = frame.hWnd();
        const std::wstring helpFile = App::HelpFile();
        ShowHelpContents(owner, helpFile);
    });
}

void HelpIndex(frmMain& frame) {
    Trapped([&] {
        const HWND owner = frame.hWnd();
        const std::wstring helpFile = App::HelpFile();
        ShowHelpIndex(owner, helpFile);
    });
}

void HelpLicense(frmMain& frame) {
    Trapped([&] {
        const HWND owner = frame.hWnd();
        const std::wstring helpFile = App::HelpFile();
        ShowHelpTopic(owner, helpFile, L"License.htm");
    });
}

// Returns when the About box has been closed.
void HelpAbout(frmMain& frame) {
    Trapped([&] {
        auto about = NewForm<frmAbout>();
        about->ShowModal(frame.hWnd());
    });
}

}  // namespace HelpCommands
