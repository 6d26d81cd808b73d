#include "platform/pictures/BackgroundPictureWriter.h"

#include <objbase.h>
#include <shlobj.h>

#include <utility>

#include "platform/pictures/BitmapWriter.h"
#include "platform/pictures/PictureEncoder.h"
#include "platform/rules/CaptureFileName.h"
#include "platform/rules/RuntimeError.h"
#include "platform/windows/Handles.h"

namespace {

// A name can be taken this many times over before writing gives up (a folder of that many
// captures of one second is not plausible; a folder that refuses every name is).
constexpr int kMaxAttempts = 10000;

[[noreturn]] void RaiseReason(DWORD code) {
    std::wstring text = SystemMessageText(code);
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ')) text.pop_back();
    RaiseError(75, text.empty() ? L"Error " + std::to_wstring(code) : text);
}

void MakeFolder(const std::wstring& folder) {
    const DWORD attributes = GetFileAttributesW(folder.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return;
    const int result = SHCreateDirectoryExW(nullptr, folder.c_str(), nullptr);
    if (result != ERROR_SUCCESS && result != ERROR_ALREADY_EXISTS && result != ERROR_FILE_EXISTS)
        RaiseReason(static_cast<DWORD>(result));
}

// COM for the imaging component, for the writer thread's life.
class ComApartment {
public:
    ComApartment() : initialised_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED))) {}
    ~ComApartment() {
        if (initialised_) CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    bool initialised_;
};

}  // namespace

std::wstring WriteNewPictureFile(const std::vector<BYTE>& packedDib, const std::wstring& folder,
                                 const std::wstring& name, SaveFormat format) {
    const std::vector<BYTE> bytes = EncodePackedDib(packedDib, format);
    MakeFolder(folder);
    for (int attempt = 1; attempt <= kMaxAttempts; ++attempt) {
        const std::wstring path = PathInFolder(folder, NumberedFileName(name, attempt, DefaultExtension(format)));
        // CREATE_NEW fails on a name that exists, atomically: two writers racing for one
        // name cannot both have it.
        const HANDLE created =
            CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        unique_handle file(created == INVALID_HANDLE_VALUE ? nullptr : created);
        if (!file) {
            const DWORD error = GetLastError();
            if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) continue;
            RaiseReason(error);
        }
        DWORD written = 0;
        const BOOL ok = WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        const DWORD error = ok ? 0 : GetLastError();
        const bool closed = CloseHandle(file.release()) != FALSE;
        if (!ok || written != bytes.size() || !closed) {
            // Never leave a partial picture under a capture's name.
            DeleteFileW(path.c_str());
            RaiseReason(error != 0 ? error : ERROR_WRITE_FAULT);
        }
        return path;
    }
    RaiseReason(ERROR_FILE_EXISTS);
}

std::wstring PathInFolder(const std::wstring& folder, const std::wstring& name) {
    if (folder.empty() || folder.back() == L'\\' || folder.back() == L'/') return folder + name;
    return folder + L'\\' + name;
}

BackgroundPictureWriter::BackgroundPictureWriter(std::function<void()> finished) : finished_(std::move(finished)) {}

BackgroundPictureWriter::~BackgroundPictureWriter() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    if (thread_.joinable()) thread_.join();
}

void BackgroundPictureWriter::Queue(PictureWriteJob job) {
    {
        std::lock_guard lock(mutex_);
        queue_.push_back(std::move(job));
        // Started with the first file: a program that never saves automatically has no thread.
        if (!thread_.joinable()) thread_ = std::thread([this] { Run(); });
    }
    changed_.notify_all();
}

void BackgroundPictureWriter::WaitAll() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return queue_.empty() && !writing_; });
}

bool BackgroundPictureWriter::Busy() {
    std::lock_guard lock(mutex_);
    return !queue_.empty() || writing_;
}

std::vector<PictureWriteOutcome> BackgroundPictureWriter::TakeOutcomes() {
    std::lock_guard lock(mutex_);
    return std::exchange(outcomes_, {});
}

void BackgroundPictureWriter::Run() {
    const ComApartment com;
    // Writing may take its time; the window's thread, drawing what the user waits for, goes first.
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_BELOW_NORMAL);
    for (;;) {
        PictureWriteJob job;
        {
            std::unique_lock lock(mutex_);
            // Stopping still writes what is queued: nothing asked for is dropped.
            changed_.wait(lock, [this] { return !queue_.empty() || stopping_; });
            if (queue_.empty()) return;
            job = std::move(queue_.front());
            queue_.pop_front();
            writing_ = true;
        }
        PictureWriteOutcome outcome;
        outcome.id = job.id;
        outcome.path = PathInFolder(job.folder, NumberedFileName(job.name, 1, DefaultExtension(job.format)));
        try {
            std::vector<BYTE> made;
            if (!job.packedDib) {
                const std::uint32_t* top = job.pixels;
                const auto stride = static_cast<std::size_t>(job.stride);
                made = PackedDib24(job.width, job.height, [&](int y) {
                    return top + static_cast<std::size_t>(job.height - 1 - y) * stride;
                });
            }
            outcome.path = WriteNewPictureFile(job.packedDib ? *job.packedDib : made, job.folder, job.name, job.format);
            outcome.written = true;
        } catch (const RuntimeError& error) {
            outcome.reason = error.Description();
        } catch (const std::exception&) {
            outcome.reason = L"Out of memory";
        }
        {
            std::lock_guard lock(mutex_);
            outcomes_.push_back(std::move(outcome));
            writing_ = false;
        }
        changed_.notify_all();
        if (finished_) finished_();
    }
}
