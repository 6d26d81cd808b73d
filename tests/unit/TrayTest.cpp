// The notification-area icon on a real frame: hiding there on minimise and close, Exit
// still ending, a capture taken meanwhile leaving the frame hidden and told in a
// notification whose click shows that document, the icon back after Explorer restarts,
// and the Start-up page with its start entry.
#include <gtest/gtest.h>

#include <windows.h>
#include <prsht.h>
#include <shellapi.h>

#include "app/FrameTray.h"
#include "Fakes.h"
#include "Files.h"
#include "Pattern.h"
#include "platform/services/Clipboard.h"
#include "platform/services/PropertySheet.h"
#include "resource.h"

using namespace files_test;

namespace {

constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

class NoClipboard final : public IClipboardService {
public:
    void Clear(HWND) override {}
    void SetData(HWND, const Picture&) override { ++copies; }
    int copies = 0;
};

// Whether the shell holds an icon of this window (asked as any program could).
bool ShellHasIcon(HWND owner) {
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data;
    data.hWnd = owner;
    data.uID = 1;
    data.uFlags = NIF_TIP;
    wcscpy(data.szTip, L"Pixelnab");
    return Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
}

std::wstring RunEntry() {
    wchar_t value[1024]{};
    DWORD size = sizeof value;
    if (RegGetValueW(HKEY_CURRENT_USER, kRunKey, L"Pixelnab", RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS)
        return L"(none)";
    return value;
}

class TrayTest : public FrameTest {
protected:
    void SetUp() override {
        FrameTest::SetUp();
        SetStartWithWindows(false);
    }
    void TearDown() override {
        SetPropertySheetScript(nullptr);
        FrameTest::TearDown();
        SetStartWithWindows(false);
    }
    bool FrameShown() const { return IsWindowVisible(frame->hWnd()) != FALSE; }
    // What the shell sends the frame for an event on its icon (version 4).
    void IconEvent(UINT event) {
        SendMessageW(frame->hWnd(), FrameTray::kCallbackMessage, 0, MAKELPARAM(event, 1));
        DoEvents();
    }
};

}  // namespace

TEST_F(TrayTest, KeptThereMinimiseAndCloseHideTheFrameInTheNotificationAreaAndExitStillEnds) {
    settings.Set(L"KeepInNotificationArea", L"True");
    MakeFrame();
    const HWND window = frame->hWnd();
    EXPECT_TRUE(ShellHasIcon(window));
    SendMessageW(window, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    DoEvents();
    EXPECT_FALSE(FrameShown());
    EXPECT_TRUE(frame->IsLoaded());
    IconEvent(NIN_SELECT);  // a click on the icon
    EXPECT_TRUE(FrameShown());
    EXPECT_FALSE(IsIconic(window));
    SendMessageW(window, WM_CLOSE, 0, 0);
    DoEvents();
    EXPECT_FALSE(FrameShown());
    EXPECT_TRUE(frame->IsLoaded());
    // File > Exit (also the icon menu's Exit: the same command) ends, and the icon goes.
    frame->mnuFileExit_Click();
    EXPECT_FALSE(frame->IsLoaded());
    EXPECT_FALSE(ShellHasIcon(window));
    EXPECT_EQ(settings.Value(L"KeepInNotificationArea"), L"True");
}

TEST_F(TrayTest, WithoutTheOptionThereIsNoIconAndCloseEnds) {
    MakeFrame();
    const HWND window = frame->hWnd();
    EXPECT_FALSE(ShellHasIcon(window));
    SendMessageW(window, WM_CLOSE, 0, 0);
    DoEvents();
    EXPECT_FALSE(frame->IsLoaded());
}

TEST_F(TrayTest, ACaptureTakenThereLeavesTheFrameHiddenAndItsNotificationShowsThatDocument) {
    TempFolder folder;
    NoClipboard clipboard;
    ScopedService<IClipboardService> useClipboard(&clipboard);
    settings.Set(L"KeepInNotificationArea", L"True");
    settings.Set(L"AfterCaptureCopy", L"True");
    settings.Set(L"AfterCaptureSave", L"True");
    settings.Set(L"AfterCaptureFolder", folder.Path());
    settings.Set(L"AfterCaptureName", L"Tray {n}");
    settings.Set(L"AfterCaptureType", L"PNG");
    MakeFrame();
    AddDocument(L"Earlier", BitmapPicture(PatternImage(40, 30), false), true);
    SendMessageW(frame->hWnd(), WM_CLOSE, 0, 0);
    DoEvents();
    ASSERT_FALSE(FrameShown());

    gblnHideCaptureWin = false;  // not even the capture's own hiding may show it again
    frame->mnuCaptureScreen_Click();
    EXPECT_FALSE(FrameShown());
    for (int i = 0; i < 300 && frame->Tray().LastNotification().empty(); ++i) {
        DoEvents();
        Sleep(10);
    }
    EXPECT_FALSE(FrameShown());
    EXPECT_EQ(frame->Tray().LastNotification(),
              L"Nabbet1 copied and saved as " + folder.File(L"Tray 1.png"));
    EXPECT_EQ(NamesIn(folder.Path()), std::vector<std::wstring>{L"Tray 1.png"});
    EXPECT_EQ(clipboard.copies, 1);

    // Another document is made active meanwhile; the notification's click shows the capture.
    SendMessageW(frame->MdiClient(), WM_MDINEXT, 0, 0);
    IconEvent(NIN_BALLOONUSERCLICK);
    EXPECT_TRUE(FrameShown());
    ASSERT_TRUE(frame->ActiveForm());
    EXPECT_EQ(frame->ActiveForm()->Caption(), L"Nabbet1");
    EXPECT_TRUE(messages.shown.empty());
}

// A hotkey once the frame was minimised there (it stays minimised underneath): the
// capture must not restore it, as it does for a frame minimised to the taskbar.
TEST_F(TrayTest, AHotkeyCaptureLeavesAFrameMinimisedIntoTheNotificationAreaHidden) {
    settings.Set(L"KeepInNotificationArea", L"True");
    MakeFrame();
    ShowWindow(frame->hWnd(), SW_MINIMIZE);
    DoEvents();
    ASSERT_FALSE(FrameShown());
    gblnHideCaptureWin = true;
    frame->Hotkey_Pressed(static_cast<int>(HotkeyCommand::Screen));
    DoEvents();
    EXPECT_EQ(gintCaptureCount, 1);
    EXPECT_FALSE(FrameShown());
    EXPECT_EQ(frame->Tray().LastNotification(), L"Nabbet1 is ready: click here to see it.");
    IconEvent(NIN_BALLOONUSERCLICK);
    EXPECT_TRUE(FrameShown());
    EXPECT_FALSE(IsIconic(frame->hWnd()));
}

TEST_F(TrayTest, TheIconComesBackWhenTheTaskbarIsCreatedAgain) {
    settings.Set(L"KeepInNotificationArea", L"True");
    MakeFrame();
    const HWND window = frame->hWnd();
    // Explorer ended: its icons are gone with it.
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data;
    data.hWnd = window;
    data.uID = 1;
    ASSERT_TRUE(Shell_NotifyIconW(NIM_DELETE, &data));
    ASSERT_FALSE(ShellHasIcon(window));
    SendMessageW(window, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    EXPECT_TRUE(ShellHasIcon(window));
}

TEST_F(TrayTest, TheStartupPageKeepsTheIconAndWritesTheStartEntryAndTakesThemBack) {
    MakeFrame();
    bool keepShown = true, startShown = true;
    const auto toggleBoth = [&](HWND sheet) {
        PropSheet_SetCurSel(sheet, nullptr, 3);
        const HWND page = PropSheet_GetCurrentPageHwnd(sheet);
        keepShown = IsDlgButtonChecked(page, IDC_PREF_KEEPINTRAY) == BST_CHECKED;
        startShown = IsDlgButtonChecked(page, IDC_PREF_STARTWITHWINDOWS) == BST_CHECKED;
        SendDlgItemMessageW(page, IDC_PREF_KEEPINTRAY, BM_CLICK, 0, 0);
        SendDlgItemMessageW(page, IDC_PREF_STARTWITHWINDOWS, BM_CLICK, 0, 0);
        PropSheet_PressButton(sheet, PSBTN_OK);
    };
    SetPropertySheetScript(toggleBoth);
    frame->mnuOptionsPreferences_Click();
    EXPECT_FALSE(keepShown);
    EXPECT_FALSE(startShown);
    EXPECT_EQ(settings.Value(L"KeepInNotificationArea"), L"True");
    EXPECT_TRUE(ShellHasIcon(frame->hWnd()));
    EXPECT_EQ(RunEntry(), StartWithWindowsCommand());
    EXPECT_TRUE(RunEntry().ends_with(L".exe\" /tray"));
    SendMessageW(frame->hWnd(), WM_CLOSE, 0, 0);
    DoEvents();
    EXPECT_TRUE(frame->IsLoaded());

    // Both off again: no entry, no icon, and the frame that was hidden there comes back.
    frame->Tray().ShowFrame();
    SetPropertySheetScript(toggleBoth);
    frame->mnuOptionsPreferences_Click();
    EXPECT_TRUE(keepShown);
    EXPECT_TRUE(startShown);
    EXPECT_EQ(settings.Value(L"KeepInNotificationArea"), L"False");
    EXPECT_FALSE(ShellHasIcon(frame->hWnd()));
    EXPECT_EQ(RunEntry(), L"(none)");
    EXPECT_TRUE(messages.shown.empty());
}
