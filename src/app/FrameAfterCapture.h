#pragma once
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <windows.h>

#include "app/AfterCaptureOptions.h"
#include "platform/pictures/BackgroundPictureWriter.h"

class DocumentForm;
class Picture;
class IFrameHost;

// What became of one capture after it showed: for the status bar, and for whoever else
// tells the user (a notification).
struct AfterCaptureResult {
    std::wstring document;   // the capture's title, "Nabbet7"
    bool copied = false;     // it is on the clipboard
    bool saved = false;      // it was written to savedPath
    std::wstring savedPath;  // with saved: the file; after a failed save: the file it was to be
    std::wstring failure;    // why copying or saving failed; empty when nothing failed
};

// What the frame does with each capture once its document shows, as After Capture in
// Preferences says: the copy at once, the file on the writer's thread, then the status
// bar says where it went, or one message says why it did not.
class FrameAfterCapture {
public:
    // The frame's window is told through this message that files are written.
    static constexpr UINT kWritesFinishedMessage = WM_APP + 0x60;

    explicit FrameAfterCapture(IFrameHost& frame);

    const AfterCaptureOptions& Options() const noexcept { return options_; }
    // Chosen in Preferences: in force at once, and stored.
    void SetOptions(const AfterCaptureOptions& options);
    // Whatever the store holds, reading cannot fail: garbage is the default.
    void Load();

    // A capture's document has shown, numbered number: copied and queued for writing as
    // the options say.
    void CaptureArrived(DocumentForm& document, int number, const std::wstring& windowTitle);
    // kWritesFinishedMessage: reports the files written since the last time.
    void WritesFinished();
    // The frame's timer kStartWritesTimer: the files taken since it was set start being
    // written. A timer comes once no other message (paint included) is waiting, so the
    // encoding starts only after the new document is drawn and does not compete with it.
    static constexpr UINT_PTR kStartWritesTimer = 0x5A7E;
    void StartWrites();
    // Exit and log-off: waits for the files still being written and reports them; false
    // when one failed (its capture is open and not saved: the caller should stay).
    bool FinishWrites();

    // Told each capture's result once it is complete (the file written, or failed).
    void SetResultObserver(std::function<void(const AfterCaptureResult&)> observer) { observer_ = std::move(observer); }
    // The last complete result, if any.
    const std::optional<AfterCaptureResult>& LastResult() const noexcept { return last_; }

private:
    // Reports the outcomes written so far; false when one failed.
    bool Report();
    void Complete(const AfterCaptureResult& result);
    void TakePixels(DocumentForm& document, const Picture& picture, PictureWriteJob& job);

    IFrameHost& frame_;
    AfterCaptureOptions options_;
    std::map<std::uint64_t, AfterCaptureResult> pending_;
    std::vector<PictureWriteJob> waiting_;  // taken, not yet handed to the writer
    // The memory of pixels the writer reads in place, until its outcome is taken.
    std::map<std::uint64_t, std::shared_ptr<const void>> held_;
    std::uint64_t nextJob_ = 1;
    std::function<void(const AfterCaptureResult&)> observer_;
    std::optional<AfterCaptureResult> last_;
    std::unique_ptr<BackgroundPictureWriter> writer_;  // last: waits for its thread before the rest goes
};
