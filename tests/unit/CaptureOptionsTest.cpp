// Hotkeys, Capture Delay, Include Pointer and All Screens on a real frame: the stored
// settings, the hotkey dialog driven through its controls, WM_HOTKEY from real key input,
// the countdown and the pointer in the picture.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

#include "app/CaptureToolCommands.h"
#include "app/HotkeyDialog.h"
#include "capture/basScreen.h"
#include "capture/CaptureCountdown.h"
#include "capture/CaptureOptions.h"
#include "document/frmNabbet.h"
#include "Fakes.h"
#include "Image.h"
#include "ModalDriver.h"
#include "Pattern.h"
#include "PatternWindow.h"
#include "platform/pictures/PointerImage.h"
#include "select/frmRectangle.h"
#include "select/SelectorGeometry.h"
#include "Wait.h"
#include "resource.h"


namespace {

// A window of one colour (0x00RRGGBB), or of the pattern below 0, that never takes the
// activation by a click (SetForegroundWindow still brings it to the front).
PatternWindowOptions WindowOptions(long colour, bool topmost) {
    PatternWindowOptions options;
    options.colour = colour;
    options.topmost = topmost;
    return options;
}

// A capture raises the frame; the next one hides it again, and Wine repaints what that
// uncovers only as the X server's events arrive, sometimes after the screen was copied.
// Where a test is not about that hiding, the frame is gone from the screen beforehand.
void HideUntilTheScreenSettles(HWND frameWindow) {
    ShowWindow(frameWindow, SW_HIDE);
    Settle();
}

// A window of the test that holds a hotkey, as another program would.
class HotkeyHolder {
public:
    HotkeyHolder(UINT modifiers, UINT key) {
        window_ = CreateWindowExW(0, L"STATIC", L"holder", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
        held_ = RegisterHotKey(window_, 7, modifiers, key) != FALSE;
    }
    ~HotkeyHolder() {
        if (held_) UnregisterHotKey(window_, 7);
        DestroyWindow(window_);
    }
    HotkeyHolder(const HotkeyHolder&) = delete;
    HotkeyHolder& operator=(const HotkeyHolder&) = delete;
    bool Held() const { return held_; }

private:
    HWND window_ = nullptr;
    bool held_ = false;
};

// Whether the system still lets anyone take this combination.
bool Free(UINT modifiers, UINT key) {
    HotkeyHolder probe(modifiers, key);
    return probe.Held();
}

// Presses and releases a combination through the system's input queue.
void PressKeys(std::vector<WORD> keys) {
    std::vector<INPUT> inputs;
    for (const WORD key : keys) {
        INPUT down{};
        down.type = INPUT_KEYBOARD;
        down.ki.wVk = key;
        inputs.push_back(down);
    }
    for (auto it = keys.rbegin(); it != keys.rend(); ++it) {
        INPUT up{};
        up.type = INPUT_KEYBOARD;
        up.ki.wVk = *it;
        up.ki.dwFlags = KEYEVENTF_KEYUP;
        inputs.push_back(up);
    }
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

class ScriptedHotkeyDialog final : public IHotkeyDialog {
public:
    bool Edit(HWND owner, HotkeyAssignments& hotkeys) override {
        ++shown;
        ownerEnabled = IsWindowEnabled(owner) != FALSE;
        offered = hotkeys;
        if (!answer) return false;
        hotkeys = *answer;
        return true;
    }
    std::optional<HotkeyAssignments> answer;
    HotkeyAssignments offered{};
    int shown = 0;
    bool ownerEnabled = true;
};

class CaptureOptionsTest : public FrameTest {
protected:
    void TearDown() override {
        CaptureCountdown::SetObserver(nullptr);
        CaptureCountdown::SetTickMilliseconds(0);
        SetHotkeyDialog(nullptr);
        SetHotkeyDialogScript(nullptr);
        FrameTest::TearDown();
    }
    std::vector<std::shared_ptr<frmNabbet>> Documents() const {
        std::vector<std::shared_ptr<frmNabbet>> found;
        for (int i = 0; i < Forms::Count(); ++i)
            if (auto document = std::dynamic_pointer_cast<frmNabbet>(Forms::Item(i))) found.push_back(document);
        return found;
    }
    // Runs messages until a document appears or about two seconds pass.
    bool WaitForDocuments(std::size_t count) {
        for (int i = 0; i < 200 && Documents().size() < count; ++i) {
            DoEvents();
            Sleep(10);
        }
        return Documents().size() >= count;
    }
};

}  // namespace

// ---------------------------------------------------------------------------------------
// Settings

TEST_F(CaptureOptionsTest, NothingStoredMeansNoDelayNoPointerAndNoHotkeys) {
    MakeFrame();
    EXPECT_EQ(frame->CaptureSettings().delaySeconds, 0);
    EXPECT_FALSE(frame->CaptureSettings().pointer);
    EXPECT_TRUE(frame->MenuChecked(IDM_OPTIONS_DELAYNONE));
    EXPECT_FALSE(frame->MenuChecked(IDM_OPTIONS_DELAY3));
    EXPECT_FALSE(frame->MenuChecked(IDM_OPTIONS_POINTER));
    for (int command = 0; command < kHotkeyCommands; ++command) {
        EXPECT_TRUE(frame->Hotkeys()[static_cast<std::size_t>(command)].IsNone());
        EXPECT_FALSE(frame->HotkeyRegistered(command));
    }
    EXPECT_TRUE(messages.shown.empty());
    frame->Unload();
    // Written at exit like the other options; hotkeys only when the dialog changes them.
    EXPECT_EQ(settings.Value(L"CaptureDelay"), L"0");
    EXPECT_EQ(settings.Value(L"CapturePointer"), L"False");
    EXPECT_EQ(settings.Value(L"HotkeyScreen"), L"<absent>");
}

TEST_F(CaptureOptionsTest, StoredValuesAreShownAndKept) {
    settings.Set(L"CaptureDelay", L"5");
    settings.Set(L"CapturePointer", L"True");
    MakeFrame();
    EXPECT_EQ(frame->CaptureSettings().delaySeconds, 5);
    EXPECT_TRUE(frame->MenuChecked(IDM_OPTIONS_DELAY5));
    EXPECT_FALSE(frame->MenuChecked(IDM_OPTIONS_DELAYNONE));
    EXPECT_TRUE(frame->MenuChecked(IDM_OPTIONS_POINTER));
    // The delay is one choice of four: a bullet, not a check mark.
    MENUITEMINFOW item{};
    item.cbSize = sizeof item;
    item.fMask = MIIM_FTYPE;
    ASSERT_TRUE(GetMenuItemInfoW(GetMenu(frame->hWnd()), IDM_OPTIONS_DELAY5, FALSE, &item));
    EXPECT_NE(item.fType & MFT_RADIOCHECK, 0u);
    frame->mnuOptionsDelay10_Click();
    frame->mnuOptionsPointer_Click();
    EXPECT_TRUE(frame->MenuChecked(IDM_OPTIONS_DELAY10));
    EXPECT_FALSE(frame->MenuChecked(IDM_OPTIONS_DELAY5));
    EXPECT_FALSE(frame->MenuChecked(IDM_OPTIONS_POINTER));
    // The magnifier is on unless stored off, and follows its menu item.
    EXPECT_TRUE(frame->MenuChecked(IDM_OPTIONS_MAGNIFIER));
    EXPECT_TRUE(frame->CaptureSettings().magnifier);
    frame->mnuOptionsMagnifier_Click();
    EXPECT_FALSE(frame->MenuChecked(IDM_OPTIONS_MAGNIFIER));
    EXPECT_FALSE(frame->CaptureSettings().magnifier);
    frame->Unload();
    EXPECT_EQ(settings.Value(L"Magnifier"), L"False");
    EXPECT_EQ(settings.Value(L"CaptureDelay"), L"10");
    EXPECT_EQ(settings.Value(L"CapturePointer"), L"False");
    // The options that were there before keep their names and meaning.
    EXPECT_EQ(settings.Value(L"HideCaptureWin"), L"True");
}

TEST_F(CaptureOptionsTest, GarbageInTheNewSettingsStartsQuietlyWithTheDefaults) {
    settings.Set(L"CaptureDelay", L"7");
    settings.Set(L"CapturePointer", L"yes");
    settings.Set(L"HotkeyScreen", L"Ctrl+Bogus");
    settings.Set(L"HotkeyActiveWindow", std::wstring(5000, L'+'));
    settings.Set(L"HotkeyWindow", L"Ctrl+Ctrl+F9");
    settings.Set(L"HotkeyRectangle", L"Shift");
    settings.Set(L"HotkeyAllScreens", L"\x7f\x01");
    MakeFrame();
    EXPECT_TRUE(frame->IsLoaded());
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(frame->CaptureSettings().delaySeconds, 0);
    EXPECT_TRUE(frame->MenuChecked(IDM_OPTIONS_DELAYNONE));
    EXPECT_FALSE(frame->CaptureSettings().pointer);
    for (int command = 0; command < kHotkeyCommands; ++command) {
        EXPECT_TRUE(frame->Hotkeys()[static_cast<std::size_t>(command)].IsNone()) << command;
        EXPECT_FALSE(frame->HotkeyRegistered(command));
    }
}

// ---------------------------------------------------------------------------------------
// Hotkeys

TEST_F(CaptureOptionsTest, StoredHotkeysAreRegisteredAtStartAndGivenBackAtExit) {
    ASSERT_TRUE(Free(MOD_CONTROL | MOD_SHIFT, VK_F9));
    settings.Set(L"HotkeyScreen", L"Ctrl+Shift+F9");
    settings.Set(L"HotkeyAllScreens", L"Alt+PrintScreen");
    MakeFrame();
    EXPECT_TRUE(frame->HotkeyRegistered(static_cast<int>(HotkeyCommand::Screen)));
    EXPECT_TRUE(frame->HotkeyRegistered(static_cast<int>(HotkeyCommand::AllScreens)));
    EXPECT_FALSE(Free(MOD_CONTROL | MOD_SHIFT, VK_F9));
    EXPECT_FALSE(Free(MOD_ALT, VK_SNAPSHOT));
    EXPECT_TRUE(messages.shown.empty());
    frame->Unload();
    EXPECT_TRUE(Free(MOD_CONTROL | MOD_SHIFT, VK_F9));
    EXPECT_TRUE(Free(MOD_ALT, VK_SNAPSHOT));
}

TEST_F(CaptureOptionsTest, ARefusedHotkeyGivesOneMessageNamingKeyAndCommandAndTheOthersStillWork) {
    HotkeyHolder other(MOD_CONTROL | MOD_ALT, VK_F11);
    ASSERT_TRUE(other.Held());
    settings.Set(L"HotkeyScreen", L"Ctrl+Alt+F11");
    settings.Set(L"HotkeyWindow", L"Ctrl+Alt+F12");
    MakeFrame();
    ASSERT_EQ(messages.shown.size(), 1u);
    const std::wstring& text = messages.shown[0].text;
    EXPECT_NE(text.find(L"Ctrl+Alt+F11 for Capture > Screen"), std::wstring::npos);
    EXPECT_EQ(text.find(L"F12"), std::wstring::npos);
    EXPECT_EQ(messages.shown[0].style, static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION));
    EXPECT_FALSE(frame->HotkeyRegistered(static_cast<int>(HotkeyCommand::Screen)));
    EXPECT_TRUE(frame->HotkeyRegistered(static_cast<int>(HotkeyCommand::Window)));
    // The setting stays, for the user to change in the dialog.
    ScriptedHotkeyDialog dialog;
    SetHotkeyDialog(&dialog);
    frame->mnuOptionsHotkeys_Click();
    EXPECT_EQ(FormatHotkey(dialog.offered[0]), L"Ctrl+Alt+F11");
    frame->Unload();
    EXPECT_EQ(settings.Value(L"HotkeyScreen"), L"Ctrl+Alt+F11");
}

// Windows 11 takes the bare PrintScreen key for its Snipping Tool: the message then names
// the setting that gives it back; only for that key, not for PrintScreen with a modifier.
TEST_F(CaptureOptionsTest, ARefusedPrintScreenNamesTheWindowsSettingThatTakesIt) {
    const std::wstring setting = L"\"Use the Print screen key to open screen capture\" in Settings > Accessibility > Keyboard";
    {
        HotkeyHolder windows(0, VK_SNAPSHOT);
        ASSERT_TRUE(windows.Held());
        settings.Set(L"HotkeyScreen", L"PrintScreen");
        MakeFrame();
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_NE(messages.shown[0].text.find(L"PrintScreen for Capture > Screen"), std::wstring::npos);
        EXPECT_NE(messages.shown[0].text.find(setting), std::wstring::npos) << messages.shown[0].text;
        frame->Unload();
    }
    messages.shown.clear();
    HotkeyHolder other(MOD_ALT, VK_SNAPSHOT);
    ASSERT_TRUE(other.Held());
    settings.Set(L"HotkeyScreen", L"Alt+PrintScreen");
    MakeFrame();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_NE(messages.shown[0].text.find(L"Alt+PrintScreen for Capture > Screen"), std::wstring::npos);
    EXPECT_EQ(messages.shown[0].text.find(L"Settings > Accessibility"), std::wstring::npos);
}

TEST_F(CaptureOptionsTest, AKeyPressedGoesThroughTheCaptureSequence) {
    ASSERT_TRUE(Free(MOD_CONTROL | MOD_SHIFT, VK_F9));
    settings.Set(L"HotkeyScreen", L"Ctrl+Shift+F9");
    MakeFrame();
    gblnHideCaptureWin = true;
    ShowWindow(frame->hWnd(), SW_MINIMIZE);
    DoEvents();
    PressKeys({VK_CONTROL, VK_SHIFT, VK_F9});
    ASSERT_TRUE(WaitForDocuments(1)) << "no WM_HOTKEY for real key input";
    const auto documents = Documents();
    ASSERT_EQ(documents.size(), 1u);
    EXPECT_EQ(documents[0]->Caption(), L"Nabbet1");
    const SIZE size = documents[0]->picNabbet().GetPicture().SizePixels();
    EXPECT_EQ(size.cx, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(size.cy, GetSystemMetrics(SM_CYSCREEN));
    // The minimised frame comes back to show the capture, and the document is laid out as
    // one made in the restored frame, not squeezed into the icon's area.
    EXPECT_FALSE(IsIconic(frame->hWnd()));
    EXPECT_FALSE(IsIconic(documents[0]->hWnd()));
    EXPECT_TRUE(frame->Visible());
    EXPECT_EQ(gintCaptureCount, 1);
    frame->Hotkey_Pressed(static_cast<int>(HotkeyCommand::Screen));
    ASSERT_EQ(Documents().size(), 2u);
    RECT madeMinimised{}, madeRestored{};
    GetWindowRect(documents[0]->hWnd(), &madeMinimised);
    GetWindowRect(Documents()[1]->hWnd(), &madeRestored);
    EXPECT_EQ(madeMinimised.right - madeMinimised.left, madeRestored.right - madeRestored.left);
    EXPECT_EQ(madeMinimised.bottom - madeMinimised.top, madeRestored.bottom - madeRestored.top);
}

TEST_F(CaptureOptionsTest, ActiveWindowByHotkeyTakesTheWindowInFrontNeverTheFrame) {
    MakeFrame();
    PatternWindow other(800, 100, 220, 140, WindowOptions(Rgb(10, 200, 30), false));
    ShowWindow(other.hWnd(), SW_SHOW);
    // The test may wait for the window manager of Wine to agree; the program never does.
    for (int i = 0; i < 40 && GetForegroundWindow() != other.hWnd(); ++i) {
        SetForegroundWindow(other.hWnd());
        Settle();
    }
    ASSERT_EQ(GetForegroundWindow(), other.hWnd());
    frame->Hotkey_Pressed(static_cast<int>(HotkeyCommand::ActiveWindow));
    // With the frame in front, the window below it.
    for (int i = 0; i < 40 && GetForegroundWindow() != frame->hWnd(); ++i) {
        SetForegroundWindow(frame->hWnd());
        Settle();
    }
    ASSERT_EQ(GetForegroundWindow(), frame->hWnd());
    EXPECT_EQ(WindowInFrontOf(frame->hWnd()), other.hWnd());
    frame->Hotkey_Pressed(static_cast<int>(HotkeyCommand::ActiveWindow));
    const auto documents = Documents();
    ASSERT_EQ(documents.size(), 2u);
    for (const auto& document : documents) {
        const Image picture = ReadPicture(document->picNabbet().GetPicture());
        ASSERT_EQ(picture.width, 220);
        ASSERT_EQ(picture.height, 140);
        // Pixel for pixel: the whole window, nothing of the frame or what lies around it.
        EXPECT_EQ(std::count(picture.pixels.begin(), picture.pixels.end(), Rgb(10, 200, 30)), 220 * 140);
    }
}

TEST_F(CaptureOptionsTest, AHotkeyDoesNothingWhileTheFrameShowsADialog) {
    MakeFrame();
    EnableWindow(frame->hWnd(), FALSE);  // as a message box or a selection tool does
    frame->Hotkey_Pressed(static_cast<int>(HotkeyCommand::Screen));
    EnableWindow(frame->hWnd(), TRUE);
    EXPECT_TRUE(Documents().empty());
    EXPECT_EQ(gintCaptureCount, 0);
    frame->Hotkey_Pressed(static_cast<int>(HotkeyCommand::Screen));
    EXPECT_EQ(Documents().size(), 1u);
}

TEST_F(CaptureOptionsTest, TheDialogsChoiceIsStoredAndRegisteredAndCancelChangesNothing) {
    ASSERT_TRUE(Free(MOD_WIN | MOD_SHIFT, VK_F8));
    settings.Set(L"HotkeyScreen", L"Ctrl+Shift+F9");
    MakeFrame();
    ScriptedHotkeyDialog dialog;
    SetHotkeyDialog(&dialog);
    frame->mnuOptionsHotkeys_Click();
    EXPECT_EQ(dialog.shown, 1);
    EXPECT_EQ(FormatHotkey(dialog.offered[0]), L"Ctrl+Shift+F9");
    // Registered again after a cancel.
    EXPECT_TRUE(frame->HotkeyRegistered(0));
    EXPECT_EQ(settings.Value(L"HotkeyRectangle"), L"<absent>");

    HotkeyAssignments chosen{};
    chosen[static_cast<std::size_t>(HotkeyCommand::Rectangle)] = HotkeySetting(L"Shift+Win+F8");
    dialog.answer = chosen;
    frame->mnuOptionsHotkeys_Click();
    EXPECT_EQ(settings.Value(L"HotkeyScreen"), L"");
    EXPECT_EQ(settings.Value(L"HotkeyRectangle"), L"Shift+Win+F8");
    EXPECT_EQ(settings.Value(L"HotkeyAllScreens"), L"");
    EXPECT_FALSE(frame->HotkeyRegistered(0));
    EXPECT_TRUE(frame->HotkeyRegistered(static_cast<int>(HotkeyCommand::Rectangle)));
    EXPECT_FALSE(Free(MOD_WIN | MOD_SHIFT, VK_F8));
    EXPECT_TRUE(Free(MOD_CONTROL | MOD_SHIFT, VK_F9));
}

TEST_F(CaptureOptionsTest, TheRealDialogShowsTheKeysAndReadsBackWhatIsTypedAndChosen) {
    settings.Set(L"HotkeyScreen", L"Ctrl+Shift+F9");
    settings.Set(L"HotkeyWindow", L"Win+F7");
    MakeFrame();
    std::wstring title;
    WORD screenShown = 0;
    bool winShown = false;
    bool frameDisabled = false;
    SetHotkeyDialogScript([&](HWND dialog) {
        wchar_t text[64]{};
        GetWindowTextW(dialog, text, 64);
        title = text;
        frameDisabled = !IsWindowEnabled(frame->hWnd());
        screenShown = LOWORD(SendDlgItemMessageW(dialog, IDC_HOTKEY_FIRST + 1, HKM_GETHOTKEY, 0, 0));
        winShown = IsDlgButtonChecked(dialog, IDC_HOTKEY_FIRST + 4 * 2 + 2) == BST_CHECKED;
        // None on the Screen row, Alt+PrintScreen typed into Rectangle, Win ticked for All Screens.
        SendDlgItemMessageW(dialog, IDC_HOTKEY_FIRST + 3, BM_CLICK, 0, 0);
        SendDlgItemMessageW(dialog, IDC_HOTKEY_FIRST + 4 * 3 + 1, HKM_SETHOTKEY, MAKEWORD(VK_SNAPSHOT, HOTKEYF_ALT), 0);
        SendDlgItemMessageW(dialog, IDC_HOTKEY_FIRST + 4 * 4 + 1, HKM_SETHOTKEY, MAKEWORD('P', HOTKEYF_CONTROL), 0);
        SendDlgItemMessageW(dialog, IDC_HOTKEY_FIRST + 4 * 4 + 2, BM_CLICK, 0, 0);
        SendDlgItemMessageW(dialog, IDC_HOTKEY_FIRST + 4 * 5 + 1, HKM_SETHOTKEY, MAKEWORD(VK_F8, HOTKEYF_CONTROL), 0);
        PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    });
    frame->mnuOptionsHotkeys_Click();
    EXPECT_EQ(title, L"Hotkeys");
    EXPECT_TRUE(frameDisabled);
    EXPECT_EQ(screenShown, MAKEWORD(VK_F9, HOTKEYF_CONTROL | HOTKEYF_SHIFT));
    EXPECT_TRUE(winShown);
    EXPECT_EQ(settings.Value(L"HotkeyScreen"), L"");
    EXPECT_EQ(settings.Value(L"HotkeyWindow"), L"Win+F7");
    EXPECT_EQ(settings.Value(L"HotkeyRectangle"), L"Alt+PrintScreen");
    EXPECT_EQ(settings.Value(L"HotkeyLastRectangle"), L"Ctrl+F8");
    EXPECT_EQ(settings.Value(L"HotkeyAllScreens"), L"Ctrl+Win+P");
    EXPECT_TRUE(IsWindowEnabled(frame->hWnd()));
}

TEST_F(CaptureOptionsTest, TheRealDialogRefusesOneCombinationForTwoCommands) {
    MakeFrame();
    int scriptRuns = 0;
    SetHotkeyDialogScript([&](HWND dialog) {
        ++scriptRuns;
        SendDlgItemMessageW(dialog, IDC_HOTKEY_FIRST + 1, HKM_SETHOTKEY, MAKEWORD(VK_F6, HOTKEYF_CONTROL), 0);
        SendDlgItemMessageW(dialog, IDC_HOTKEY_FIRST + 4 * 2 + 1, HKM_SETHOTKEY, MAKEWORD(VK_F6, HOTKEYF_CONTROL), 0);
        SendMessageW(dialog, WM_COMMAND, IDOK, 0);  // refused: the dialog stays
        PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    frame->mnuOptionsHotkeys_Click();
    EXPECT_EQ(scriptRuns, 1);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text,
              L"Ctrl+F6 is given to both Capture > Screen and Capture > Window. Give each its own keys.");
    EXPECT_EQ(settings.Value(L"HotkeyScreen"), L"<absent>");
}

// ---------------------------------------------------------------------------------------
// Delay

TEST_F(CaptureOptionsTest, ADelayCountsDownNearThePointerThenCapturesWithoutTheCountdown) {
    MakeFrame();
    gblnHideCaptureWin = true;
    PatternWindow below(300, 300, 256, 256, WindowOptions(-1, true));
    Settle();
    SetCursorPos(310, 310);
    frame->mnuOptionsDelay3_Click();
    CaptureCountdown::SetTickMilliseconds(200);
    std::vector<int> shown;
    std::vector<std::wstring> status;
    RECT countdownRect{};
    HWND countdown = nullptr;
    bool frameEnabledDuringCount = true;
    CaptureCountdown::SetObserver([&](HWND window, int remaining) {
        shown.push_back(remaining);
        status.push_back(frame->PanelText(1));
        countdown = window;
        GetWindowRect(window, &countdownRect);
        frameEnabledDuringCount = frameEnabledDuringCount && IsWindowEnabled(frame->hWnd());
        EXPECT_TRUE(Documents().empty()) << "captured before the count ran out";
        EXPECT_TRUE(GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
        EXPECT_NE(GetForegroundWindow(), window);
    });
    frame->mnuCaptureScreen_Click();
    EXPECT_EQ(shown, (std::vector<int>{3, 2, 1}));
    ASSERT_EQ(status.size(), 3u);
    EXPECT_EQ(status[0], L"Capturing in 3 seconds (Esc cancels)");
    EXPECT_EQ(status[2], L"Capturing in 1 second (Esc cancels)");
    EXPECT_FALSE(frameEnabledDuringCount);
    // Near the pointer: its top-left corner within 40 pixels below and right of it.
    EXPECT_GE(countdownRect.left, 310);
    EXPECT_LE(countdownRect.left, 350);
    EXPECT_GE(countdownRect.top, 310);
    EXPECT_LE(countdownRect.top, 350);
    EXPECT_FALSE(IsWindow(countdown));

    const auto documents = Documents();
    ASSERT_EQ(documents.size(), 1u);
    EXPECT_EQ(documents[0]->Caption(), L"Nabbet1");
    // Where the countdown stood, the picture shows the window below it.
    const Image picture = ReadPicture(documents[0]->picNabbet().GetPicture());
    int wrong = 0;
    for (int y = countdownRect.top; y < countdownRect.bottom; ++y)
        for (int x = countdownRect.left; x < countdownRect.right; ++x)
            if (picture.At(x, y) != PatternColour(x - 300, y - 300)) ++wrong;
    EXPECT_EQ(wrong, 0) << "pixels of the countdown in the picture; at its corner " << std::hex
                        << picture.At(countdownRect.left, countdownRect.top) << " for "
                        << PatternColour(countdownRect.left - 300, countdownRect.top - 300) << ", outside "
                        << picture.At(305, 305) << " for " << PatternColour(5, 5) << std::dec << " rect "
                        << countdownRect.left << "," << countdownRect.top;
    EXPECT_EQ(frame->PanelText(1), L"Ready");
    EXPECT_TRUE(IsWindowEnabled(frame->hWnd()));
}

TEST_F(CaptureOptionsTest, EscapeOrAClickCancelsTheCountWithoutADocument) {
    MakeFrame();
    frame->mnuOptionsDelay5_Click();
    CaptureCountdown::SetTickMilliseconds(60);
    int counted = 0;
    CaptureCountdown::SetObserver([&](HWND window, int remaining) {
        ++counted;
        if (remaining == 4) PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    });
    frame->mnuCaptureScreen_Click();
    EXPECT_EQ(counted, 2);
    EXPECT_TRUE(Documents().empty());
    EXPECT_EQ(gintCaptureCount, 0);
    EXPECT_EQ(frame->PanelText(1), L"Ready");
    EXPECT_TRUE(IsWindowEnabled(frame->hWnd()));

    // Escape pressed while Pixelnab's frame has the keyboard.
    counted = 0;
    CaptureCountdown::SetObserver([&](HWND, int remaining) {
        ++counted;
        if (remaining == 4) PostMessageW(frame->hWnd(), WM_KEYDOWN, VK_ESCAPE, 0x00010001);
    });
    frame->tlbMain_ButtonClick(L"Active Window");
    EXPECT_EQ(counted, 2);
    EXPECT_TRUE(Documents().empty());

    // Escape as real key input, which reaches the count as a hotkey.
    counted = 0;
    CaptureCountdown::SetObserver([&](HWND, int remaining) {
        ++counted;
        if (remaining == 4) PressKeys({VK_ESCAPE});
    });
    frame->Hotkey_Pressed(static_cast<int>(HotkeyCommand::AllScreens));
    EXPECT_EQ(counted, 2);
    EXPECT_TRUE(Documents().empty());
    EXPECT_EQ(gintCaptureCount, 0);

    frame->mnuOptionsDelayNone_Click();
    frame->mnuCaptureScreen_Click();
    ASSERT_EQ(Documents().size(), 1u);
    EXPECT_EQ(Documents()[0]->Caption(), L"Nabbet1");
}

TEST_F(CaptureOptionsTest, TheFrameClosedDuringTheCountEndsItCleanly) {
    MakeFrame();
    frame->mnuOptionsDelay3_Click();
    CaptureCountdown::SetTickMilliseconds(60);
    HWND countdown = nullptr;
    const HWND frameWindow = frame->hWnd();
    CaptureCountdown::SetObserver([&](HWND window, int remaining) {
        countdown = window;
        if (remaining == 2) PostMessageW(frameWindow, WM_CLOSE, 0, 0);
    });
    std::weak_ptr<frmMain> watched = frame;
    auto* raw = frame.get();
    frame.reset();  // only the list of loaded forms holds it now, as in the program
    raw->mnuCaptureScreen_Click();
    EXPECT_TRUE(watched.expired());
    EXPECT_FALSE(IsWindow(countdown));
    EXPECT_EQ(Forms::Count(), 0);
    EXPECT_EQ(gintCaptureCount, 0);
}

TEST_F(CaptureOptionsTest, AHotkeyDuringTheCountStartsNoSecondCapture) {
    MakeFrame();
    frame->mnuOptionsDelay3_Click();
    CaptureCountdown::SetTickMilliseconds(60);
    CaptureCountdown::SetObserver([&](HWND, int remaining) {
        if (remaining == 2) frame->Hotkey_Pressed(static_cast<int>(HotkeyCommand::Screen));
    });
    frame->mnuCaptureScreen_Click();
    EXPECT_EQ(Documents().size(), 1u);
    EXPECT_EQ(gintCaptureCount, 1);
}

// ---------------------------------------------------------------------------------------
// Pointer and All Screens

TEST_F(CaptureOptionsTest, IncludePointerDrawsThePointersShapeAtItsPlaceAndOnlyThen) {
    MakeFrame();
    gblnHideCaptureWin = true;
    PatternWindow below(300, 300, 256, 256, WindowOptions(Rgb(40, 90, 200), true));
    Settle();
    SetCursorPos(400, 380);
    DoEvents();
    frame->mnuCaptureScreen_Click();  // without the pointer
    frame->mnuOptionsPointer_Click();
    HideUntilTheScreenSettles(frame->hWnd());
    frame->mnuCaptureScreen_Click();  // with it
    const auto documents = Documents();
    ASSERT_EQ(documents.size(), 2u);
    const Image without = ReadPicture(documents[0]->picNabbet().GetPicture());
    const Image with = ReadPicture(documents[1]->picNabbet().GetPicture());
    ASSERT_EQ(without.width, with.width);

    // The expected picture: the one without, with the current pointer drawn at its hot spot.
    const PointerSnapshot pointer = TakePointerSnapshot();
    ASSERT_TRUE(pointer.shown);
    Picture expected = documents[0]->picNabbet().GetPicture();  // drawn into; its pixels are read above
    ASSERT_TRUE(DrawPointer(expected, pointer, POINT{0, 0}));
    const Image drawn = ReadPicture(expected);
    EXPECT_EQ(CountDifferences(with, drawn), 0);
    int changed = 0;
    for (int y = 300; y < 556; ++y)
        for (int x = 300; x < 556; ++x)
            if (with.At(x, y) != Rgb(40, 90, 200)) {
                ++changed;
                EXPECT_GE(x, 400 - pointer.hotspot.x);
                EXPECT_GE(y, 380 - pointer.hotspot.y);
            }
    EXPECT_GT(changed, 20) << "no pointer in the picture";
    for (int y = 300; y < 556; ++y)
        for (int x = 300; x < 556; ++x) ASSERT_EQ(without.At(x, y), Rgb(40, 90, 200));
}

TEST(PointerInBand, OnlyAHotSpotInsideTheBandCounts) {
    PointerSnapshot pointer;
    pointer.shown = true;
    const PixelRect band{100, 50, 20, 10};
    const auto at = [&](int x, int y) {
        pointer.position = POINT{x, y};
        return CaptureCommands::PointerInBand(pointer, band);
    };
    EXPECT_TRUE(at(100, 50));
    EXPECT_TRUE(at(119, 59));
    EXPECT_FALSE(at(120, 55));
    EXPECT_FALSE(at(110, 60));
    EXPECT_FALSE(at(99, 55));
    EXPECT_FALSE(at(110, 49));
    pointer.shown = false;
    EXPECT_FALSE(at(110, 55));
}

TEST_F(CaptureOptionsTest, AllScreensCapturesTheWholeDesktopAsTheNextNumberedDocument) {
    MakeFrame();
    gblnHideCaptureWin = true;
    PatternWindow marker(700, 500, 256, 200, WindowOptions(-1, true));
    Settle();
    frame->mnuCaptureScreen_Click();
    HideUntilTheScreenSettles(frame->hWnd());
    frame->mnuCaptureAllScreens_Click();
    const auto documents = Documents();
    ASSERT_EQ(documents.size(), 2u);
    EXPECT_EQ(documents[1]->Caption(), L"Nabbet2");
    const Image picture = ReadPicture(documents[1]->picNabbet().GetPicture());
    EXPECT_EQ(picture.width, GetSystemMetrics(SM_CXVIRTUALSCREEN));
    EXPECT_EQ(picture.height, GetSystemMetrics(SM_CYVIRTUALSCREEN));
    const int left = GetSystemMetrics(SM_XVIRTUALSCREEN);
    const int top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    EXPECT_EQ(picture.At(700 - left + 20, 500 - top + 10), PatternColour(20, 10));
    EXPECT_EQ(picture.At(700 - left + 255, 500 - top + 199), PatternColour(255, 199));
    EXPECT_EQ(gintCaptureCount, 2);
    EXPECT_TRUE(messages.shown.empty());
}

// ---------------------------------------------------------------------------------------
// Rectangle with the new options

namespace {

// Drags the band from (320, 210) to (420, 260) on the selector once it shows.
ModalDriver DragBandWhenShown(std::function<void()> onTimeout) {
    return ModalDriver(
        {[] {
            auto selector = FindLoaded<frmRectangle>();
            if (!selector || !selector->Visible()) return false;
            const HWND window = selector->hWnd();
            PostMouse(window, WM_LBUTTONDOWN, MK_LBUTTON, 320, 210);
            PostMouse(window, WM_MOUSEMOVE, MK_LBUTTON, 420, 260);
            PostMouse(window, WM_LBUTTONUP, 0, 420, 260);
            return true;
        }},
        std::move(onTimeout));
}

void CloseSelector() {
    if (auto selector = FindLoaded<frmRectangle>()) selector->Unload();
}

}  // namespace

TEST_F(CaptureOptionsTest, RectangleShowsItsFrozenScreenOnlyAfterTheCount) {
    MakeFrame();
    frame->mnuOptionsDelay3_Click();
    CaptureCountdown::SetTickMilliseconds(60);
    int selectorsDuringCount = 0;
    CaptureCountdown::SetObserver([&](HWND, int) {
        if (FindLoaded<frmRectangle>()) ++selectorsDuringCount;
    });
    auto script = DragBandWhenShown(CloseSelector);
    frame->mnuCaptureRectangle_Click();
    ASSERT_FALSE(script.TimedOut());
    EXPECT_EQ(selectorsDuringCount, 0);
    const auto documents = Documents();
    ASSERT_EQ(documents.size(), 1u);
    const Image picture = ReadPicture(documents[0]->picNabbet().GetPicture());
    EXPECT_EQ(picture.width, 100);
    EXPECT_EQ(picture.height, 50);
}

TEST_F(CaptureOptionsTest, RectangleDrawsThePointerWhereTheScreenFrozeOnlyInsideTheBand) {
    MakeFrame();
    gblnHideCaptureWin = true;
    frame->mnuOptionsPointer_Click();
    PatternWindow below(300, 200, 256, 200, WindowOptions(Rgb(200, 40, 40), true));
    Settle();
    const auto capture = [&](POINT pointer) {
        HideUntilTheScreenSettles(frame->hWnd());
        SetCursorPos(pointer.x, pointer.y);
        DoEvents();
        auto script = DragBandWhenShown(CloseSelector);
        frame->mnuCaptureRectangle_Click();
        EXPECT_FALSE(script.TimedOut());
        return ReadPicture(Documents().back()->picNabbet().GetPicture());
    };
    // Outside the band: the plain pixels.
    const Image outside = capture(POINT{500, 380});
    ASSERT_EQ(outside.width, 100);
    int plain = 0;
    for (const std::uint32_t pixel : outside.pixels) plain += pixel == Rgb(200, 40, 40) ? 1 : 0;
    EXPECT_EQ(plain, 100 * 50);
    // Inside: the pointer's shape at its place in the band.
    const Image inside = capture(POINT{350, 230});
    ASSERT_EQ(inside.width, 100);
    const PointerSnapshot pointer = TakePointerSnapshot();
    int changed = 0;
    for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 100; ++x)
            if (inside.At(x, y) != Rgb(200, 40, 40)) {
                ++changed;
                EXPECT_GE(x + 320, 350 - pointer.hotspot.x);
                EXPECT_GE(y + 210, 230 - pointer.hotspot.y);
            }
    EXPECT_GT(changed, 20);
}

TEST_F(CaptureOptionsTest, AStoreThatCannotBeWrittenIsReportedAndTheNewKeysStillWork) {
    MakeFrame();
    ScriptedHotkeyDialog dialog;
    SetHotkeyDialog(&dialog);
    HotkeyAssignments chosen{};
    chosen[0] = HotkeySetting(L"Ctrl+Alt+F6");
    dialog.answer = chosen;
    settings.failWrites = true;
    frame->mnuOptionsHotkeys_Click();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].title, L"Error");
    EXPECT_TRUE(frame->HotkeyRegistered(0));
    EXPECT_FALSE(Free(MOD_CONTROL | MOD_ALT, VK_F6));
    settings.failWrites = false;
}
