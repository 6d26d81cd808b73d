#pragma once

class IFrameHost;

namespace CaptureCommands {
// Edit > Paste: the clipboard's picture becomes a new document, titled and counted as a
// capture is ("Nabbet" + the next count), since it is a picture taken from outside rather
// than a file. It lives beside the captures because they own the counter. A clipboard
// without a readable picture is reported, and then no document is made and the count stays.
void EditPaste(IFrameHost& frame);

// The enabling rule of Edit > Paste: the clipboard holds a picture.
bool PasteAvailable();
}  // namespace CaptureCommands
