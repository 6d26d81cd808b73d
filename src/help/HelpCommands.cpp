#include "help/HelpCommands.h"

#include "app/frmMain.h"

namespace HelpCommands {
// Not yet implemented: each command arrives with its own subsystem.
void HelpContents(frmMain&) {}
void HelpIndex(frmMain&) {}
void HelpLicense(frmMain&) {}
void HelpAbout(frmMain&) {}
}  // namespace HelpCommands
