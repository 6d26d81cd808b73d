#pragma once
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <windows.h>

#include "platform/rules/SaveFormat.h"

// Writes a new picture file into folder, named name + extension or, where that name is
// taken, "name (2)", "name (3)" ...: each name is claimed by creating the file only if it
// does not exist yet, so no file is ever overwritten, not even by another program racing
// for the same name. The folder is made when missing. Returns the path written; a failure
// (the file claimed is removed again) is a run-time error whose description is the reason.
std::wstring WriteNewPictureFile(const std::vector<BYTE>& packedDib, const std::wstring& folder,
                                 const std::wstring& name, SaveFormat format);

// folder\name, with one backslash between them whether or not the folder ends in one ("Y:\").
std::wstring PathInFolder(const std::wstring& folder, const std::wstring& name);

// One file to write: the pixels and where. The pixels are either a packed DIB or, cheaper to
// take on the window's thread, 32-bit rows (blue, green, red, unused) from the top, made
// into the 24-bit DIB PictureToPackedDib would give on the writer's thread; either is the
// job's own, never changed.
struct PictureWriteJob {
    std::uint64_t id = 0;
    std::shared_ptr<const std::vector<BYTE>> packedDib;
    // width x height pixels in rows `stride` pixels apart, which the one queueing the job
    // keeps unchanged and alive until its outcome is taken; the writer only reads them.
    const std::uint32_t* pixels = nullptr;
    int stride = 0;
    int width = 0;
    int height = 0;
    std::wstring folder;
    std::wstring name;
    SaveFormat format = SaveFormat::Png;
};

struct PictureWriteOutcome {
    std::uint64_t id = 0;
    bool written = false;
    std::wstring path;    // the file written, or the name it was to have
    std::wstring reason;  // why it was not written
};

// Writes picture files one after the other on a thread of its own, so that the window's
// thread goes on (the next capture may start while a file is still being written).
class BackgroundPictureWriter {
public:
    // finished runs on the writer's thread after each file: it may only hand over (post
    // a message); the outcomes are taken with TakeOutcomes on the caller's thread.
    explicit BackgroundPictureWriter(std::function<void()> finished);
    // Waits for the files still queued.
    ~BackgroundPictureWriter();
    BackgroundPictureWriter(const BackgroundPictureWriter&) = delete;
    BackgroundPictureWriter& operator=(const BackgroundPictureWriter&) = delete;

    void Queue(PictureWriteJob job);
    // Blocks until every queued file is written or has failed.
    void WaitAll();
    bool Busy();
    std::vector<PictureWriteOutcome> TakeOutcomes();

private:
    void Run();

    std::function<void()> finished_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<PictureWriteJob> queue_;
    std::vector<PictureWriteOutcome> outcomes_;
    bool writing_ = false;
    bool stopping_ = false;
    std::thread thread_;
};
