// Edit > Paste: a picture from the clipboard as a new, numbered document.
#include "capture/PasteCommand.h"

#include <utility>

#include "capture/CaptureCommands.h"
#include "platform/rules/Conversions.h"
#include "platform/pictures/ClipboardPicture.h"
#include "platform/controls/DocumentForm.h"
#include "platform/windows/ErrorReporter.h"
#include "platform/windows/FrameHost.h"

namespace CaptureCommands {

void EditPaste(IFrameHost& frame) {
    Trapped([&] {
        // Read first: a failed read must neither leave an empty document nor use a number.
        Picture picture = ReadClipboardPicture(frame.OwnerWindow());
        if (!frame.FrameLoaded()) return;
        auto document = frame.NewDocument();
        gintCaptureCount = AddInt16(gintCaptureCount, 1);
        document->SetCaption(L"Nabbet" + IntegerToText(gintCaptureCount));
        document->SetDocumentPicture(std::move(picture));
        document->Show();
        frame.SetAppState();
    });
}

bool PasteAvailable() { return ClipboardHasPicture(); }

}  // namespace CaptureCommands
