// Closing the frame while a command runs messages (its close box, Alt+F4, the end of the
// session): the command ends cleanly, the settings are stored once, nothing comes back.
// Each command enters as the menu does, through WM_COMMAND, with no reference to the frame
// held by the test: only the command itself can keep it alive.
#include <gtest/gtest.h>

#include <algorithm>

#include <windows.h>

#include "Fakes.h"
#include "Files.h"
#include "help/frmAbout.h"
#include "ModalDriver.h"
#include "PatternWindow.h"
#include "platform/services/CommonDialog.h"
#include "platform/services/FrameHost.h"
#include "select/frmRectangle.h"
#include "select/frmWindow.h"
#include "resource.h"


namespace {

class FrameClosedDuringCommand : public FrameTest {
protected:
    // Starts the frame and lets go of the test's reference: the list of loaded forms holds it.
    HWND StartFrameHeldOnlyByTheProgram() {
        MakeFrame();
        const HWND window = frame->hWnd();
        watched_ = frame;
        frame.reset();
        return window;
    }
    long Writes(const std::wstring& key) const {
        return static_cast<long>(std::count(settings.writes.begin(), settings.writes.end(), key));
    }
    void ExpectClosedCleanly() {
        EXPECT_TRUE(watched_.expired()) << "the frame object outlived its command";
        EXPECT_EQ(Forms::Count(), 0) << "a form is still loaded (or the frame was loaded again)";
        EXPECT_EQ(Writes(L"Height"), 1);
        EXPECT_EQ(Writes(L"HideCaptureWin"), 1);
        EXPECT_EQ(gintCaptureCount, 0);
        EXPECT_TRUE(messages.shown.empty()) << "a message after the frame had gone";
    }
    std::weak_ptr<frmMain> watched_;
};

// A dialog during which the frame is closed; then it reports whatever it was told to.
class DialogClosingTheFrame final : public ICommonDialogService {
public:
    explicit DialogClosingTheFrame(std::wstring file) : file_(std::move(file)) {}
    bool ShowOpen(HWND owner, CommonDialogSettings& settings) override { return Run(owner, settings); }
    bool ShowSave(HWND owner, CommonDialogSettings& settings) override { return Run(owner, settings); }
    bool ShowPrinter(HWND owner, CommonDialogSettings& settings, HDC& printer) override {
        printer = nullptr;
        return Run(owner, settings);
    }

private:
    bool Run(HWND owner, CommonDialogSettings& settings) {
        PostMessageW(owner, WM_CLOSE, 0, 0);
        DoEvents();
        settings.FileName = file_;
        settings.FileTitle = file_.substr(file_.find_last_of(L'\\') + 1);
        return true;
    }
    std::wstring file_;
};

// Whether the owner had its input back at the moment the picker's window went: the system
// chooses the window to activate then.
HWND watchedPicker = nullptr;
HWND owner = nullptr;
int ownerEnabledWhenPickerWent = -1;

}  // namespace

TEST_F(FrameClosedDuringCommand, CapturesWithoutATool) {
    for (const UINT command : {IDM_CAPTURE_SCREEN, IDM_CAPTURE_ACTIVEWINDOW}) {
        settings.writes.clear();
        gblnHideCaptureWin = true;
        const HWND window = StartFrameHeldOnlyByTheProgram();
        // Dispatched in the capture's first run of messages, right after the frame hid.
        PostMessageW(window, WM_CLOSE, 0, 0);
        SendMessageW(window, WM_COMMAND, command, 0);
        ExpectClosedCleanly();
        DoEvents();
    }
}

TEST_F(FrameClosedDuringCommand, ToolsAndTheAboutBoxOnTheScreen) {
    const struct {
        UINT command;
        bool (*shown)();
    } cases[] = {
        {IDM_CAPTURE_RECTANGLE, [] { auto tool = FindLoaded<frmRectangle>(); return tool && tool->Visible(); }},
        {IDM_CAPTURE_WINDOW, [] { auto tool = FindLoaded<frmWindow>(); return tool && tool->Visible(); }},
        {IDM_HELP_ABOUT, [] { auto tool = FindLoaded<frmAbout>(); return tool && tool->Visible(); }},
    };
    for (const auto& each : cases) {
        settings.writes.clear();
        gblnHideCaptureWin = true;
        const HWND window = StartFrameHeldOnlyByTheProgram();
        ModalDriver script({[&] {
                               if (!each.shown()) return false;
                               PostMessageW(window, WM_CLOSE, 0, 0);
                               return true;
                           }},
                           [] {
                               for (int i = Forms::Count() - 1; i >= 0; --i) Forms::Item(i)->Unload();
                           });
        SendMessageW(window, WM_COMMAND, each.command, 0);
        EXPECT_FALSE(script.TimedOut()) << each.command;
        ExpectClosedCleanly();
    }
}

TEST_F(FrameClosedDuringCommand, OpenSaveAndPrintDialogs) {
    files_test::TempFolder folder;
    const std::wstring file = folder.File(L"closed-during-dialog.bmp");
    DialogClosingTheFrame dialog(file);
    SetCommonDialogService(&dialog);
    for (const UINT command : {IDM_FILE_OPEN, IDM_FILE_SAVE, IDM_FILE_PRINT}) {
        settings.writes.clear();
        MakeFrame();
        // Save and Print need a document to act on.
        DocumentArrival kept;
        kept.title = L"Kept";
        auto document = frame->AddDocument(kept);
        DoEvents();
        const HWND window = frame->hWnd();
        watched_ = frame;
        frame.reset();
        document.reset();
        SendMessageW(window, WM_COMMAND, command, 0);
        ExpectClosedCleanly();
        EXPECT_EQ(GetFileAttributesW(file.c_str()), INVALID_FILE_ATTRIBUTES) << "saved after the frame had gone";
    }
    SetCommonDialogService(nullptr);
}

TEST_F(FrameClosedDuringCommand, EndOfTheSessionStoresTheSettingsAsExitDoes) {
    MakeFrame();
    gblnHideCaptureWin = false;
    frame->SetLeft(1500.0f);
    const HWND window = frame->hWnd();
    watched_ = frame;
    frame.reset();
    EXPECT_TRUE(SendMessageW(window, WM_QUERYENDSESSION, 0, 0));
    EXPECT_EQ(Writes(L"Left"), 0) << "nothing is stored before the session really ends";
    SendMessageW(window, WM_ENDSESSION, TRUE, 0);
    EXPECT_EQ(settings.Value(L"Left"), L"1500");
    EXPECT_EQ(settings.Value(L"HideCaptureWin"), L"False");
    gintCaptureCount = 0;
    ExpectClosedCleanly();
}

TEST_F(FrameClosedDuringCommand, ACancelledEndOfSessionKeepsTheFrame) {
    MakeFrame();
    SendMessageW(frame->hWnd(), WM_QUERYENDSESSION, 0, 0);
    SendMessageW(frame->hWnd(), WM_ENDSESSION, FALSE, 0);
    EXPECT_TRUE(frame->IsLoaded());
    EXPECT_TRUE(settings.writes.empty());
}

TEST_F(FrameClosedDuringCommand, PickerClosedByItsCloseBoxHandsTheActivationBackToTheFrame) {
    // Another window that could take the activation, as another program's would.
    PatternWindowOptions options;
    options.activate = true;
    PatternWindow other(700, 500, 120, 90, options);
    MakeFrame();
    HWND pickerWindow = nullptr;
    ModalDriver script({[&] {
                      auto picker = FindLoaded<frmWindow>();
                      if (!picker || !picker->Visible()) return false;
                      pickerWindow = picker->hWnd();
                      watchedPicker = pickerWindow;
                      // What the close box and Alt+F4 send.
                      PostMessageW(pickerWindow, WM_SYSCOMMAND, SC_CLOSE, 0);
                      return true;
                  }},
                  [] {
                      if (auto picker = FindLoaded<frmWindow>()) picker->Unload();
                  });
    owner = frame->hWnd();
    ownerEnabledWhenPickerWent = -1;
    const HHOOK hook = SetWindowsHookExW(
        WH_CBT,
        [](int code, WPARAM wParam, LPARAM lParam) -> LRESULT {
            if (code == HCBT_DESTROYWND && reinterpret_cast<HWND>(wParam) == watchedPicker)
                ownerEnabledWhenPickerWent = IsWindowEnabled(owner) ? 1 : 0;
            return CallNextHookEx(nullptr, code, wParam, lParam);
        },
        nullptr, GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
    frame->mnuCaptureWindow_Click();
    UnhookWindowsHookEx(hook);
    watchedPicker = nullptr;
    ASSERT_FALSE(script.TimedOut());
    EXPECT_EQ(ownerEnabledWhenPickerWent, 1);
    EXPECT_FALSE(IsWindow(pickerWindow));
    EXPECT_TRUE(IsWindowEnabled(frame->hWnd()));
    EXPECT_EQ(GetActiveWindow(), frame->hWnd());
    EXPECT_EQ(Forms::Count(), 1);
    EXPECT_EQ(gintCaptureCount, 0);
}
