#pragma once
// Scripted and recording services for the tests, and the fixture that installs all of
// them for a test's life.
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>
#include <windows.h>

#include "app/basMain.h"
#include "app/frmMain.h"
#include "capture/CaptureCommands.h"
#include "document/frmNabbet.h"
#include "platform/pictures/Picture.h"
#include "platform/services/CommonDialog.h"
#include "platform/services/HelpViewer.h"
#include "platform/services/Printer.h"
#include "platform/services/SettingsStore.h"
#include "platform/windows/Form.h"
#include "platform/windows/MessageBoxService.h"
#include "platform/windows/ScreenService.h"

struct ShownMessage {
    std::wstring text;
    UINT style;
    std::wstring title;
};

// Records each message box and answers it with the next scripted button (IDOK with none left).
class RecordingMessageBox final : public IMessageBoxService {
public:
    int Show(HWND, const std::wstring& text, UINT style, const std::wstring& title) override {
        shown.push_back({text, style, title});
        if (answers.empty()) return IDOK;
        const int answer = answers.front();
        answers.pop_front();
        return answer;
    }
    std::vector<ShownMessage> shown;
    std::deque<int> answers;
};

class MemorySettingsStore final : public ISettingsStore {
public:
    std::wstring GetSetting(const std::wstring& application, const std::wstring& section, const std::wstring& key,
                            const std::wstring& defaultValue) override {
        reads.push_back(key);
        auto it = values.find({application, section, key});
        return it == values.end() ? defaultValue : it->second;
    }
    void SaveSetting(const std::wstring& application, const std::wstring& section, const std::wstring& key,
                     const std::wstring& value) override {
        if (failWrites) RaiseError(75, L"Path/File access error");
        writes.push_back(key);
        values[{application, section, key}] = value;
    }
    std::wstring Value(const std::wstring& key) const {
        auto it = values.find({L"Pixelnab", L"Main", key});
        return it == values.end() ? L"<absent>" : it->second;
    }
    void Set(const std::wstring& key, const std::wstring& value) { values[{L"Pixelnab", L"Main", key}] = value; }
    std::map<std::tuple<std::wstring, std::wstring, std::wstring>, std::wstring> values;
    std::vector<std::wstring> reads;
    std::vector<std::wstring> writes;
    bool failWrites = false;
};

// A display of a given size at 15 twips per pixel, whatever Xvfb says.
class FixedScreen final : public IScreenService {
public:
    FixedScreen(int width = 1024, int height = 768) : width_(width), height_(height) {}
    int WidthPixels() override { return width_; }
    int HeightPixels() override { return height_; }
    float TwipsPerPixelX() override { return 15.0f; }
    float TwipsPerPixelY() override { return 15.0f; }

private:
    int width_;
    int height_;
};

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
        unsigned filterIndex = 0;  // the type the user picks (1-based), 0 to leave it as shown
    };
    void Confirm(const std::wstring& path) { replies.push_back({true, path, 0}); }
    void Confirm(const std::wstring& path, unsigned filterIndex) { replies.push_back({true, path, 0, filterIndex}); }
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
            if (reply.filterIndex != 0) settings.FilterIndex = reply.filterIndex;
        }
        return reply.confirm;
    }
};

// Records the calls a print makes; can fail at a named call.
class RecordingPrinter final : public IPrinterService {
public:
    void StartDoc(unique_hdc, const std::wstring& title) override { Call("StartDoc"); this->title = title; }
    void StartPage() override { Call("StartPage"); }
    SIZE PrintableSize() override { return page; }
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
    SIZE page{20320, 26670};  // Letter less 1/4-inch margins, in HIMETRIC

private:
    void Call(const char* name) {
        calls.push_back(name);
        if (failAt == name) RaiseError(ErrorNumber::PrinterError, L"Printer error");
    }
};

struct HelpCall {
    HWND owner;
    std::string path;
    UINT command;
    bool dataIsAddress;      // the data argument pointed somewhere
    std::int32_t dataValue;  // the 32-bit value it pointed to, read during the call
};

class RecordingHelpViewer final : public IHelpViewer {
public:
    HWND Open(HWND owner, const std::string& path, UINT command, DWORD_PTR data) override {
        const bool isAddress = data != 0;
        calls.push_back({owner, path, command, isAddress,
                         isAddress ? *reinterpret_cast<const std::int32_t*>(data) : -1});
        return nullptr;
    }
    std::vector<HelpCall> calls;
};

// The last loaded form of type T, or nullptr.
template <class T>
std::shared_ptr<T> FindLoaded() {
    for (int i = Forms::Count() - 1; i >= 0; --i)
        if (auto form = std::dynamic_pointer_cast<T>(Forms::Item(i))) return form;
    return nullptr;
}

// Installs every service that would block or reach outside (message box, settings store,
// file and printer dialogs, printer, help viewer) for the duration of a test; the frame
// made by MakeFrame and every form left loaded are unloaded at the end, and the real
// services (the screen's too, should a test have replaced it) come back.
class FrameTest : public testing::Test {
protected:
    void SetUp() override {
        SetMessageBoxService(&messages);
        SetSettingsStore(&settings);
        SetCommonDialogService(&dialog);
        SetPrinterService(&printer);
        SetHelpViewer(&viewer);
    }
    void TearDown() override {
        CloseEverything();
        SetMessageBoxService(nullptr);
        SetSettingsStore(nullptr);
        SetCommonDialogService(nullptr);
        SetPrinterService(nullptr);
        SetHelpViewer(nullptr);
        SetScreenService(nullptr);
        gblnHideCaptureWin = false;
        gintCaptureCount = 0;
    }
    std::shared_ptr<frmMain> MakeFrame() {
        auto created = NewForm<frmMain>();
        created->Load();
        created->Show();
        DoEvents();
        frame = created;
        return created;
    }
    // A document holding the picture: titled (which loads it and shows it at once), given
    // the picture, shown; activation runs once pending messages run. With updateFrame the
    // frame then recomputes its command state, as a document's creator does.
    std::shared_ptr<frmNabbet> AddDocument(const std::wstring& caption, Picture picture, bool updateFrame = false) {
        auto document = NewForm<frmNabbet>(frame);
        document->SetCaption(caption);
        if (!picture.IsEmpty()) document->SetDocumentPicture(std::move(picture));
        document->Show();
        if (updateFrame) frame->SetAppState();
        DoEvents();
        return document;
    }
    void CloseEverything() {
        if (frame && frame->IsLoaded()) frame->Unload();
        for (int i = Forms::Count() - 1; i >= 0; --i) Forms::Item(i)->Unload();
        frame.reset();
        DoEvents();
    }
    RecordingMessageBox messages;
    MemorySettingsStore settings;
    ScriptedDialog dialog;
    RecordingPrinter printer;
    RecordingHelpViewer viewer;
    std::shared_ptr<frmMain> frame;
};
