#pragma once

class IFrameHost;

namespace HelpCommands {
void HelpContents(IFrameHost& frame);
void HelpIndex(IFrameHost& frame);
void HelpLicense(IFrameHost& frame);
void HelpAbout(IFrameHost& frame);
}  // namespace HelpCommands
