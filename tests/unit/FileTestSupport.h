#pragma once
// Helpers for the file, clipboard and print tests: scripted dialogs, a recording
// printer, temporary folders, and ImageMagick (run as a Unix program from Wine) as
// the independent reference decoder.
#include <cstdint>
#include <deque>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <windows.h>

#include "Fakes.h"
#include "platform/CommonDialog.h"
#include "platform/Picture.h"
#include "platform/Printer.h"

namespace files_test {

// What the dialog held when it was shown.
struct DialogUse {
    std::wstring kind;  // "Open", "Save" or "Printer"
    CommonDialogSettings settings;
};

// Answers each dialog with the next scripted reply; with none left, cancels.
class ScriptedDialog final : public ICommonDialogService {
public:
    struct Reply {
        bool confirm = false;
        std::wstring fileName;  // full path set on confirmation (Open/Save)
        DWORD error = 0;        // the dialog's own failure
    };
    void Confirm(const std::wstring& path) { replies.push_back({true, path, 0}); }
    void Cancel() { replies.push_back({false, L"", 0}); }
    void Fail(DWORD error) { replies.push_back({false, L"", error}); }

    bool ShowOpen(HWND, CommonDialogSettings& settings) override { return Answer(L"Open", settings); }
    bool ShowSave(HWND, CommonDialogSettings& settings) override { return Answer(L"Save", settings); }
    bool ShowPrinter(HWND, CommonDialogSettings& settings, HDC& printer) override {
        printer = nullptr;
        return Answer(L"Printer", settings);
    }
    DWORD LastError() override { return lastError; }

    std::deque<Reply> replies;
    std::vector<DialogUse> uses;
    DWORD lastError = 0;

private:
    bool Answer(const wchar_t* kind, CommonDialogSettings& settings) {
        uses.push_back({kind, settings});
        Reply reply;
        if (!replies.empty()) {
            reply = replies.front();
            replies.pop_front();
        }
        lastError = reply.error;
        if (reply.confirm && !reply.fileName.empty()) {
            settings.FileName = reply.fileName;
            const auto slash = reply.fileName.find_last_of(L"\\/");
            settings.FileTitle = slash == std::wstring::npos ? reply.fileName : reply.fileName.substr(slash + 1);
        }
        return reply.confirm;
    }
};

// Records the calls a print makes; can fail at a named call.
class RecordingPrinter final : public IPrinterService {
public:
    void StartDoc(unique_hdc, const std::wstring& title) override { Call("StartDoc"); this->title = title; }
    void StartPage() override { Call("StartPage"); }
    void PaintPicture(const Picture& picture, long x, long y, long width, long height) override {
        Call("PaintPicture");
        painted = picture;
        rect = {x, y, width, height};
    }
    void EndPage() override { Call("EndPage"); }
    void EndDoc() override { Call("EndDoc"); }
    void AbortDoc() noexcept override { calls.push_back("AbortDoc"); }

    std::vector<std::string> calls;
    std::string failAt;
    std::wstring title;
    Picture painted;
    RECT rect{};  // x, y, width, height

private:
    void Call(const char* name) {
        calls.push_back(name);
        if (failAt == name) RaiseError(ErrorNumber::PrinterError, L"Printer error");
    }
};

// Installs the scripted dialog and the recording printer on top of the frame fixture.
class DocumentTest : public FrameTest {
protected:
    void SetUp() override {
        FrameTest::SetUp();
        SetCommonDialogService(&dialog);
        SetPrinterService(&printer);
    }
    void TearDown() override {
        FrameTest::TearDown();
        SetCommonDialogService(nullptr);
        SetPrinterService(nullptr);
    }
    ScriptedDialog dialog;
    RecordingPrinter printer;
};

// 0x00RRGGBB pixels, rows top to bottom.
struct RgbImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
    std::uint32_t At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

struct ImageDifference {
    bool sameSize = false;
    std::size_t differing = 0;  // pixels with any channel different
    int maxChannel = 0;         // largest difference of one channel
    double meanChannel = 0;     // mean absolute difference over all channels
};

ImageDifference Compare(const RgbImage& a, const RgbImage& b);

// A new empty folder under the temporary folder; removed with its files by the destructor.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    const std::wstring& Path() const { return path_; }
    std::wstring File(const std::wstring& name) const { return path_ + L"\\" + name; }

private:
    std::wstring path_;
};

std::string UnixPath(const std::wstring& windowsPath);
std::wstring FromUnixPath(const std::string& unixPath);
bool ImageMagickAvailable();
// Runs a Unix program with arguments (no shell); returns its exit code, -1 when it
// could not be started or did not end within the timeout.
int RunUnix(const std::string& program, const std::vector<std::string>& arguments, DWORD timeoutMs = 60000);
// convert input [options...] output, file names given as Windows paths.
bool Convert(const std::wstring& input, const std::vector<std::string>& options, const std::wstring& output);
// ImageMagick's decode of a file (its first image), transparent parts over white.
RgbImage DecodeWithImageMagick(const std::wstring& path);

// The pixels of a picture as the program holds them: a plain bitmap's own pixels,
// anything else drawn at its natural size onto white.
RgbImage PicturePixels(const Picture& picture);
// The pixels of a packed DIB (any bit depth the writer produces).
RgbImage PackedDibPixels(const BYTE* dib, std::size_t size);

// Writes an image as a binary PPM, the format every converter reads.
void WritePpm(const std::wstring& path, const RgbImage& image);
// A test pattern with many distinct colours and no symmetry.
RgbImage Pattern(int width, int height);

std::vector<BYTE> ReadBytes(const std::wstring& path);
void WriteBytes(const std::wstring& path, const std::vector<BYTE>& bytes);

// A bitmap picture drawn from an image: a device-dependent bitmap, or a DIB section.
Picture BitmapPicture(const RgbImage& image, bool dibSection);

}  // namespace files_test
