#pragma once

class frmMain;

namespace HelpCommands {
void HelpContents(frmMain& frame);
void HelpIndex(frmMain& frame);
void HelpLicense(frmMain& frame);
void HelpAbout(frmMain& frame);
}  // namespace HelpCommands
