// A command-line capture that ends the program: no frame, no window of ours but the
// capture's own tools, and every would-be message box turned into the exit reason.
#include "app/ScriptCapture.h"

#include <memory>

#include "app/CaptureToolCommands.h"
#include "capture/basScreen.h"
#include "capture/CaptureCommands.h"
#include "platform/controls/DocumentForm.h"
#include "platform/pictures/PictureEncoder.h"
#include "platform/rules/RuntimeError.h"
#include "platform/rules/SaveFormat.h"
#include "platform/services/Clipboard.h"
#include "platform/services/CommonDialog.h"
#include "platform/services/FrameHost.h"
#include "platform/windows/ErrorReporter.h"
#include "platform/windows/MessageBoxService.h"

namespace {

// What a capture makes when there is no frame: the picture, kept for delivery.
class CapturedPicture final : public DocumentForm {
public:
    explicit CapturedPicture(Picture picture) : picture_(std::move(picture)) {}
    Picture DocumentPicture() const override { return picture_; }
    void SetDocumentPicture(Picture picture) override { picture_ = std::move(picture); }

protected:
    void CreateFormWindow() override {}

private:
    Picture picture_;
};

// The frame as the capture sequence sees it, without one: never visible, always there.
// Its window is a hidden one, owner of the selection tools and of the clipboard's data
// (the clipboard takes no data from a NULL owner).
class ScriptFrame final : public IFrameHost {
public:
    ScriptFrame()
        : window_(CreateWindowExW(0, L"STATIC", L"Pixelnab", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr)) {}
    ~ScriptFrame() override {
        if (window_ != nullptr) DestroyWindow(window_);
    }
    ScriptFrame(const ScriptFrame&) = delete;
    ScriptFrame& operator=(const ScriptFrame&) = delete;

    HWND OwnerWindow() const override { return window_; }
    HWND DocumentArea() const override { return nullptr; }
    std::vector<std::shared_ptr<DocumentForm>> Documents() const override { return {}; }
    std::shared_ptr<DocumentForm> ActiveDocument() const override { return captured_; }
    std::shared_ptr<DocumentForm> AddDocument(const DocumentArrival& arrival) override {
        auto captured = std::make_shared<CapturedPicture>(arrival.picture ? arrival.picture() : Picture{});
        if (arrival.beforeShow) arrival.beforeShow();
        captured_ = captured;
        return captured;
    }
    void AdoptDocument(const std::shared_ptr<DocumentForm>&) override {}
    bool DocumentsOpen() const override { return false; }
    void SetAppState() override {}
    void ViewChanged() override {}
    bool FrameLoaded() const override { return true; }
    bool FrameVisible() const override { return false; }
    void SetFrameVisible(bool) override {}
    CommonDialog& Dialog() override { return dialog_; }

    std::shared_ptr<DocumentForm> Captured() const { return captured_; }

private:
    HWND window_;
    std::shared_ptr<DocumentForm> captured_;
    CommonDialog dialog_;
};

// Every message the capture would show becomes the reason the program gives on exit.
class CollectedMessages final : public IMessageBoxService {
public:
    int Show(HWND, const std::wstring& text, UINT, const std::wstring&) override {
        if (!texts.empty()) texts += L" ";
        texts += text;
        return IDOK;
    }
    std::wstring texts;
};

std::wstring OneLine(std::wstring text) {
    for (wchar_t& c : text)
        if (c == L'\r' || c == L'\n') c = L' ';
    return text;
}

}  // namespace

void DeliverCapture(const Picture& picture, const CaptureRequest& request, HWND owner) {
    if (picture.IsEmpty()) RaiseError(ErrorNumber::InvalidPicture, L"The capture holds no picture");
    // Each failure names what failed, so that a script's log says which file.
    if (!request.saveFile.empty()) {
        try {
            const auto format = FormatOfFileName(request.saveFile);
            if (!format) RaiseError(ErrorNumber::InvalidPicture, L"its type is not one Pixelnab saves");
            SavePictureAs(picture, request.saveFile, *format);
        } catch (const RuntimeError& error) {
            throw RuntimeError(error.Number(), L"Cannot save " + request.saveFile + L": " + error.Description());
        }
    }
    if (request.copy) {
        try {
            ClipboardService().Clear(owner);
            ClipboardService().SetData(owner, picture);
        } catch (const RuntimeError& error) {
            throw RuntimeError(error.Number(), L"Cannot copy the capture to the clipboard: " + error.Description());
        }
    }
}

int CaptureAndExit(const CaptureRequest& request, const CaptureOptions& options) {
    CollectedMessages messages;
    ScopedService<IMessageBoxService> quiet(&messages);
    ScriptFrame frame;
    CaptureOptions taken = options;
    taken.delaySeconds = request.delaySeconds;
    taken.hideFrame = false;
    switch (request.capture) {
    case CommandLineCapture::Screen: CaptureCommands::CaptureScreen(frame, taken); break;
    case CommandLineCapture::AllScreens: CaptureCommands::CaptureAllScreens(frame, taken); break;
    // The window in front as the program starts: the console's when typed there.
    case CommandLineCapture::Active:
        CaptureCommands::CaptureActiveWindow(frame, taken, WindowInFrontOf(frame.OwnerWindow()));
        break;
    case CommandLineCapture::Rectangle: CaptureCommands::CaptureRectangle(frame, taken); break;
    }
    std::wstring reason = messages.texts;
    if (reason.empty() && !frame.Captured()) reason = L"Nothing was captured: the capture was cancelled.";
    if (reason.empty()) {
        const bool delivered = RunTrapped([&] { DeliverCapture(frame.Captured()->DocumentPicture(), request,
                                                               frame.OwnerWindow()); },
                                          [&] {
                                              reason = Err().Description + L" (error " +
                                                       std::to_wstring(Err().Number) + L")";
                                          });
        if (delivered) return 0;
    }
    WriteToStartingConsole(L"Pixelnab: " + OneLine(reason));
    return 1;
}

void WriteToStartingConsole(const std::wstring& line) {
    const std::wstring text = line + L"\r\n";
    DWORD written = 0;
    // Redirected to a file or a pipe (a script's log): UTF-8 there.
    const HANDLE redirected = GetStdHandle(STD_ERROR_HANDLE);
    if (redirected != nullptr && redirected != INVALID_HANDLE_VALUE) {
        const DWORD type = GetFileType(redirected);
        if (type == FILE_TYPE_DISK || type == FILE_TYPE_PIPE) {
            const int bytes = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr,
                                                  0, nullptr, nullptr);
            if (bytes <= 0) return;
            std::string utf8(static_cast<std::size_t>(bytes), '\0');
            WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), utf8.data(), bytes, nullptr,
                                nullptr);
            WriteFile(redirected, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
            return;
        }
    }
    // A windows program has no console of its own: it borrows the one it was started from
    // (already attached is fine too).
    if (!AttachConsole(ATTACH_PARENT_PROCESS) && GetLastError() != ERROR_ACCESS_DENIED) return;
    const HANDLE console = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                       nullptr, OPEN_EXISTING, 0, nullptr);
    if (console == INVALID_HANDLE_VALUE) return;
    WriteConsoleW(console, text.c_str(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(console);
}
