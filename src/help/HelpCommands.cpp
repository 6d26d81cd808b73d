// The Help menu's commands: the help viewer on the Contents tab, the Index tab and the
// licence page, and the About box.
#include "help/HelpCommands.h"

#include <string>

#include "help/basHelp.h"
#include "help/frmAbout.h"
#include "platform/windows/AppInfo.h"
#include "platform/windows/ErrorReporter.h"
#include "platform/services/FrameHost.h"

namespace HelpCommands {

void HelpContents(IFrameHost& frame) {
    Trapped([&] {
        const HWND owner = frame.OwnerWindow();
        const std::wstring helpFile = App::HelpFile();
        ShowHelpContents(owner, helpFile);
    });
}

void HelpIndex(IFrameHost& frame) {
    Trapped([&] {
        const HWND owner = frame.OwnerWindow();
        const std::wstring helpFile = App::HelpFile();
        ShowHelpIndex(owner, helpFile);
    });
}

void HelpLicense(IFrameHost& frame) {
    Trapped([&] {
        const HWND owner = frame.OwnerWindow();
        const std::wstring helpFile = App::HelpFile();
        ShowHelpTopic(owner, helpFile, L"License.htm");
    });
}

// Returns when the About box has been closed.
void HelpAbout(IFrameHost& frame) {
    Trapped([&] {
        auto about = NewForm<frmAbout>(&frame);
        about->ShowModal(frame.OwnerWindow());
    });
}

}  // namespace HelpCommands
