// After a capture: the copy to the clipboard and the automatic save.
#include "app/FrameAfterCapture.h"


#include "document/DocumentModel.h"
#include "document/frmNabbet.h"
#include "platform/controls/DocumentForm.h"
#include "platform/pictures/BitmapWriter.h"
#include "platform/rules/CaptureFileName.h"
#include "platform/services/Clipboard.h"
#include "platform/services/FrameHost.h"
#include "platform/windows/AppInfo.h"
#include "platform/windows/ErrorReporter.h"
#include "platform/windows/MessageBoxService.h"

namespace {

CaptureNameFields FieldsNow(int number, const std::wstring& windowTitle) {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    CaptureNameFields fields;
    fields.number = number;
    fields.year = now.wYear;
    fields.month = now.wMonth;
    fields.day = now.wDay;
    fields.hour = now.wHour;
    fields.minute = now.wMinute;
    fields.second = now.wSecond;
    fields.windowTitle = windowTitle;
    return fields;
}

}  // namespace

// A capture's document holds its pixels as 32-bit rows already: the writer reads them where
// they are, while the memory is held here (copying 33 MB of a 4K screen on the window's
// thread cost the capture some 14 ms before its document showed). Holding it keeps every
// pixel the writer may read from being written over (see Pixels::Hold), and it is let go
// here, on the window's thread, once the file is written. Anything else (a picture with a
// palette) is read as File > Save reads it.
void FrameAfterCapture::TakePixels(DocumentForm& document, const Picture& picture, PictureWriteJob& job) {
    const auto* nabbet = dynamic_cast<const frmNabbet*>(&document);
    const DocumentModel* model = nabbet != nullptr ? nabbet->Model() : nullptr;
    if (model != nullptr && picture.Palette() == nullptr && !model->PicturePixels().IsEmpty()) {
        const Pixels& pixels = model->PicturePixels();
        held_[job.id] = pixels.Hold();
        job.pixels = pixels.Row(0);
        job.stride = pixels.Stride();
        job.width = pixels.Width();
        job.height = pixels.Height();
        return;
    }
    job.packedDib = std::make_shared<const std::vector<BYTE>>(PictureToPackedDib(picture));
}

FrameAfterCapture::FrameAfterCapture(IFrameHost& frame) : frame_(frame) {}

void FrameAfterCapture::SetOptions(const AfterCaptureOptions& options) {
    options_ = options;
    StoreAfterCaptureOptions(options_);
}

void FrameAfterCapture::Load() { options_ = LoadAfterCaptureOptions(); }

void FrameAfterCapture::CaptureArrived(DocumentForm& document, int number, const std::wstring& windowTitle) {
    if (!options_.copy && !options_.save) return;
    const Picture picture = document.DocumentPicture();
    if (picture.IsEmpty()) return;
    AfterCaptureResult result;
    result.document = document.Caption();
    if (options_.copy) {
        // A clipboard held by another program is reported; the save still goes ahead.
        result.copied = Trapped([&] {
            ClipboardService().Clear(frame_.OwnerWindow());
            ClipboardService().SetData(frame_.OwnerWindow(), picture);
        });
        if (!result.copied) result.failure = L"The clipboard could not be set.";
    }
    if (!options_.save) {
        Complete(result);
        return;
    }
    PictureWriteJob job;
    job.id = nextJob_++;
    job.folder = CaptureFolder(options_);
    job.name = CaptureFileName(options_.namePattern, FieldsNow(number, windowTitle));
    job.format = options_.format;
    result.savedPath = PathInFolder(job.folder, NumberedFileName(job.name, 1, DefaultExtension(job.format)));
    const bool copied = Trapped([&] { TakePixels(document, picture, job); });
    if (!copied) {
        result.failure = L"The picture's pixels could not be read.";
        Complete(result);
        return;
    }
    pending_[job.id] = result;
    waiting_.push_back(std::move(job));
    if (SetTimer(frame_.OwnerWindow(), kStartWritesTimer, 0, nullptr) == 0) StartWrites();
}

void FrameAfterCapture::StartWrites() {
    KillTimer(frame_.OwnerWindow(), kStartWritesTimer);
    if (waiting_.empty()) return;
    if (!writer_) {
        const HWND frame = frame_.OwnerWindow();
        writer_ = std::make_unique<BackgroundPictureWriter>(
            [frame] { PostMessageW(frame, kWritesFinishedMessage, 0, 0); });
    }
    for (PictureWriteJob& job : waiting_) writer_->Queue(std::move(job));
    waiting_.clear();
}

void FrameAfterCapture::WritesFinished() { Report(); }

bool FrameAfterCapture::FinishWrites() {
    StartWrites();
    if (!writer_) return true;
    if (writer_->Busy()) {
        // Windows says why it waits to a user logging off.
        const HWND frame = frame_.OwnerWindow();
        ShutdownBlockReasonCreate(frame, L"Pixelnab is saving captures");
        writer_->WaitAll();
        ShutdownBlockReasonDestroy(frame);
    }
    return Report();
}

bool FrameAfterCapture::Report() {
    if (!writer_) return true;
    bool allWritten = true;
    for (const PictureWriteOutcome& outcome : writer_->TakeOutcomes()) {
        auto found = pending_.find(outcome.id);
        if (found == pending_.end()) continue;
        AfterCaptureResult result = std::move(found->second);
        pending_.erase(found);
        held_.erase(outcome.id);
        result.savedPath = outcome.path;
        result.saved = outcome.written;
        if (!outcome.written) {
            allWritten = false;
            result.failure = outcome.reason;
            Trapped([&] {
                MessageBoxService().Show(MessageBoxOwner(),
                                         L"Pixelnab could not save " + result.document + L" as " + outcome.path +
                                             L":\r\n" + outcome.reason + L"\r\n\r\nThe capture is still open: save it with File > Save.",
                                         MB_OK | MB_ICONEXCLAMATION, App::Title());
            });
        }
        Complete(result);
    }
    return allWritten;
}

void FrameAfterCapture::Complete(const AfterCaptureResult& result) {
    last_ = result;
    std::wstring status;
    if (result.saved)
        status = result.document + (result.copied ? L" copied and saved as " : L" saved as ") + result.savedPath;
    else if (result.copied)
        status = result.document + L" copied to the clipboard";
    if (!status.empty()) frame_.SetStatusText(status);
    if (observer_) observer_(result);
}
