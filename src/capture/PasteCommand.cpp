// Edit > Paste: a picture from the clipboard as a new, numbered document.
#include "capture/PasteCommand.h"

#include <utility>

#include "platform/pictures/ClipboardPicture.h"
#include "platform/windows/ErrorReporter.h"
#include "platform/services/FrameHost.h"

namespace CaptureCommands {

void EditPaste(IFrameHost& frame) {
    Trapped([&] {
        // Read first: a failed read must neither leave an empty document nor use a number.
        Picture picture = ReadClipboardPicture(frame.OwnerWindow());
        if (!frame.FrameLoaded()) return;
        DocumentArrival arrival;  // numbered, as a capture is
        arrival.picture = [&] { return std::move(picture); };
        frame.AddDocument(arrival);
    });
}

bool PasteAvailable() { return ClipboardHasPicture(); }

}  // namespace CaptureCommands
