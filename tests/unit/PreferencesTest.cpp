// Options > Preferences on a real frame, the sheet driven through its controls; After
// Capture's copy and automatic save with real captures and real files; the Save dialog's
// memory of folder and type.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include <memory>
#include <string>
#include <vector>

#include "app/HotkeyDialog.h"
#include "document/frmNabbet.h"
#include "Fakes.h"
#include "Files.h"
#include "Image.h"
#include "Pattern.h"
#include "platform/pictures/BitmapWriter.h"
#include "platform/services/Clipboard.h"
#include "platform/services/PropertySheet.h"
#include "resource.h"

using namespace files_test;

namespace {

class RecordingClipboard final : public IClipboardService {
public:
    void Clear(HWND) override { ++cleared; }
    void SetData(HWND, const Picture& picture) override { pictures.push_back(picture); }
    int cleared = 0;
    std::vector<Picture> pictures;
};

HWND Page(HWND sheet, int index) {
    PropSheet_SetCurSel(sheet, nullptr, index);
    return PropSheet_GetCurrentPageHwnd(sheet);
}

bool Checked(HWND page, int id) { return IsDlgButtonChecked(page, id) == BST_CHECKED; }
int Selection(HWND page, int id) { return static_cast<int>(SendDlgItemMessageW(page, id, CB_GETCURSEL, 0, 0)); }
std::wstring Text(HWND page, int id) {
    wchar_t text[512]{};
    GetDlgItemTextW(page, id, text, 512);
    return text;
}

class PreferencesTest : public FrameTest {
protected:
    void TearDown() override {
        SetPropertySheetScript(nullptr);
        FrameTest::TearDown();
    }
    std::shared_ptr<frmNabbet> Active() const { return std::dynamic_pointer_cast<frmNabbet>(frame->ActiveForm()); }
    // Runs messages until the status bar says something other than "Ready", or two seconds pass.
    std::wstring StatusAfterWrites() {
        for (int i = 0; i < 200 && frame->PanelText(1) == L"Ready"; ++i) {
            DoEvents();
            Sleep(10);
        }
        return frame->PanelText(1);
    }
    void SaveInto(const std::wstring& folder, const std::wstring& pattern, const wchar_t* type) {
        settings.Set(L"AfterCaptureSave", L"True");
        settings.Set(L"AfterCaptureFolder", folder);
        settings.Set(L"AfterCaptureName", pattern);
        settings.Set(L"AfterCaptureType", type);
    }
};

}  // namespace

// ---------------------------------------------------------------------------------------
// The sheet

TEST_F(PreferencesTest, TheSheetShowsTheOptionsAsTheMenusHaveThemAndOkPutsItsChoiceInForceAndInTheStore) {
    settings.Set(L"HotkeyWindow", L"Win+F7");
    MakeFrame();
    frame->mnuOptionsDelay3_Click();
    std::wstring caption;
    bool hideShown = false, pointerShown = true, copyShown = true;
    int delayShown = -1;
    std::wstring folderShown, example;
    WORD windowKeyShown = 0;
    SetPropertySheetScript([&](HWND sheet) {
        wchar_t text[64]{};
        GetWindowTextW(sheet, text, 64);
        caption = text;
        HWND page = Page(sheet, 0);
        hideShown = Checked(page, IDC_PREF_HIDE);
        pointerShown = Checked(page, IDC_PREF_POINTER);
        delayShown = Selection(page, IDC_PREF_DELAY);
        SendDlgItemMessageW(page, IDC_PREF_HIDE, BM_CLICK, 0, 0);
        SendDlgItemMessageW(page, IDC_PREF_POINTER, BM_CLICK, 0, 0);
        SendDlgItemMessageW(page, IDC_PREF_DELAY, CB_SETCURSEL, 3, 0);

        page = Page(sheet, 1);
        copyShown = Checked(page, IDC_PREF_COPY);
        folderShown = Text(page, IDC_PREF_FOLDER);
        SendDlgItemMessageW(page, IDC_PREF_COPY, BM_CLICK, 0, 0);
        SendDlgItemMessageW(page, IDC_PREF_SAVE, BM_CLICK, 0, 0);
        SendDlgItemMessageW(page, IDC_PREF_TYPE, CB_SETCURSEL, 1, 0);  // JPEG
        SetDlgItemTextW(page, IDC_PREF_NAME, L"Shot {n}: {title}");
        example = Text(page, IDC_PREF_EXAMPLE);

        page = Page(sheet, 2);
        windowKeyShown = LOWORD(SendDlgItemMessageW(page, IDC_HOTKEY_FIRST + 4 * 2 + 1, HKM_GETHOTKEY, 0, 0));
        SendDlgItemMessageW(page, IDC_HOTKEY_FIRST + 1, HKM_SETHOTKEY, MAKEWORD(VK_F6, HOTKEYF_CONTROL), 0);
        PropSheet_PressButton(sheet, PSBTN_OK);
    });
    frame->mnuOptionsPreferences_Click();

    EXPECT_EQ(caption, L"Preferences");
    EXPECT_TRUE(hideShown);
    EXPECT_FALSE(pointerShown);
    EXPECT_EQ(delayShown, 1);  // 3 seconds, as the menu had it
    EXPECT_FALSE(copyShown);
    EXPECT_TRUE(folderShown.ends_with(L"\\Pixelnab")) << std::string(folderShown.begin(), folderShown.end());
    EXPECT_EQ(example, L"For example: Shot 1_ Untitled - Notepad.jpg");
    EXPECT_EQ(windowKeyShown, MAKEWORD(VK_F7, 0));

    // The menus and the Hide button follow the sheet.
    EXPECT_FALSE(frame->MenuChecked(IDM_OPTIONS_HIDE));
    EXPECT_EQ(frame->ToolbarButtonValue(L"Hide"), 0);
    EXPECT_TRUE(frame->MenuChecked(IDM_OPTIONS_POINTER));
    EXPECT_TRUE(frame->MenuChecked(IDM_OPTIONS_DELAY10));
    EXPECT_FALSE(frame->MenuChecked(IDM_OPTIONS_DELAY3));
    EXPECT_TRUE(frame->HotkeyRegistered(0));
    EXPECT_TRUE(frame->HotkeyRegistered(static_cast<int>(HotkeyCommand::Window)));
    // Stored at once.
    EXPECT_EQ(settings.Value(L"HideCaptureWin"), L"False");
    EXPECT_EQ(settings.Value(L"CapturePointer"), L"True");
    EXPECT_EQ(settings.Value(L"CaptureDelay"), L"10");
    EXPECT_EQ(settings.Value(L"HotkeyScreen"), L"Ctrl+F6");
    EXPECT_EQ(settings.Value(L"HotkeyWindow"), L"Win+F7");
    EXPECT_EQ(settings.Value(L"AfterCaptureCopy"), L"True");
    EXPECT_EQ(settings.Value(L"AfterCaptureSave"), L"True");
    EXPECT_EQ(settings.Value(L"AfterCaptureName"), L"Shot {n}: {title}");
    EXPECT_EQ(settings.Value(L"AfterCaptureType"), L"JPEG");
    // The default folder is kept as "the default", so that it follows the Pictures folder.
    EXPECT_EQ(settings.Value(L"AfterCaptureFolder"), L"");
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_TRUE(IsWindowEnabled(frame->hWnd()));
}

TEST_F(PreferencesTest, CancelChangesNothingAndAPageThatRefusesKeepsTheSheetOpen) {
    MakeFrame();
    int scriptRuns = 0;
    bool stillOpen = false;
    SetPropertySheetScript([&](HWND sheet) {
        ++scriptRuns;
        HWND page = Page(sheet, 0);
        SendDlgItemMessageW(page, IDC_PREF_POINTER, BM_CLICK, 0, 0);
        page = Page(sheet, 2);
        SendDlgItemMessageW(page, IDC_HOTKEY_FIRST + 1, HKM_SETHOTKEY, MAKEWORD(VK_F6, HOTKEYF_CONTROL), 0);
        SendDlgItemMessageW(page, IDC_HOTKEY_FIRST + 4 * 3 + 1, HKM_SETHOTKEY, MAKEWORD(VK_F6, HOTKEYF_CONTROL), 0);
        PropSheet_PressButton(sheet, PSBTN_OK);  // refused: one combination for two commands
        stillOpen = IsWindow(sheet) && IsWindowVisible(sheet);
        PropSheet_PressButton(sheet, PSBTN_CANCEL);
    });
    frame->mnuOptionsPreferences_Click();
    EXPECT_EQ(scriptRuns, 1);
    EXPECT_TRUE(stillOpen);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text,
              L"Ctrl+F6 is given to both Capture > Screen and Capture > Rectangle. Give each its own keys.");
    EXPECT_FALSE(frame->MenuChecked(IDM_OPTIONS_POINTER));
    EXPECT_EQ(settings.Value(L"HotkeyScreen"), L"<absent>");
    EXPECT_EQ(settings.Value(L"AfterCaptureSave"), L"<absent>");
}

// ---------------------------------------------------------------------------------------
// After Capture

TEST_F(PreferencesTest, ACaptureIsCopiedAndSavedAndTheStatusBarSaysWhere) {
    TempFolder folder;
    RecordingClipboard clipboard;
    ScopedService<IClipboardService> useClipboard(&clipboard);
    settings.Set(L"AfterCaptureCopy", L"True");
    SaveInto(folder.Path(), L"Nabbet {n} {yyyy}", L"Bitmap");
    MakeFrame();
    frame->mnuCaptureScreen_Click();
    const std::wstring status = StatusAfterWrites();

    const auto document = Active();
    ASSERT_TRUE(document);
    SYSTEMTIME now{};
    GetLocalTime(&now);
    const std::wstring path = folder.File(L"Nabbet 1 " + std::to_wstring(now.wYear) + L".bmp");
    EXPECT_EQ(status, L"Nabbet1 copied and saved as " + path);
    // The file holds exactly the document's pixels, as File > Save would write them.
    EXPECT_EQ(ReadBytes(path), PictureToBitmapFile(document->DocumentPicture()));
    ASSERT_EQ(clipboard.pictures.size(), 1u);
    EXPECT_TRUE(clipboard.pictures[0] == document->DocumentPicture());
    ASSERT_TRUE(frame->LastAfterCapture());
    EXPECT_TRUE(frame->LastAfterCapture()->copied);
    EXPECT_TRUE(frame->LastAfterCapture()->saved);
    EXPECT_EQ(frame->LastAfterCapture()->savedPath, path);
    EXPECT_EQ(frame->LastAfterCapture()->document, L"Nabbet1");

    // An opened picture is neither copied nor saved.
    frame->OpenFiles({path});
    DoEvents();
    EXPECT_TRUE(frame->FinishCaptureWrites());
    EXPECT_EQ(NamesIn(folder.Path()).size(), 1u);
    EXPECT_EQ(clipboard.pictures.size(), 1u);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(PreferencesTest, ATakenNameIsNumberedAndNoFileIsOverwritten) {
    TempFolder folder;
    SaveInto(folder.Path(), L"Same", L"PNG");
    {
        const HANDLE old = CreateFileW(folder.File(L"Same.png").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
        ASSERT_NE(old, INVALID_HANDLE_VALUE);
        DWORD written = 0;
        WriteFile(old, "old", 3, &written, nullptr);
        CloseHandle(old);
    }
    MakeFrame();
    // Queued back to back: the second capture starts while the first file may still be written.
    frame->mnuCaptureScreen_Click();
    frame->mnuCaptureScreen_Click();
    EXPECT_TRUE(frame->FinishCaptureWrites());
    EXPECT_EQ(NamesIn(folder.Path()), (std::vector<std::wstring>{L"Same (2).png", L"Same (3).png", L"Same.png"}));
    EXPECT_EQ(ReadBytes(folder.File(L"Same.png")), (std::vector<BYTE>{'o', 'l', 'd'}));
    for (const wchar_t* name : {L"Same (2).png", L"Same (3).png"}) {
        const std::vector<BYTE> bytes = ReadBytes(folder.File(name));
        ASSERT_GT(bytes.size(), 8u);
        EXPECT_EQ(bytes[1], 'P');
        EXPECT_EQ(bytes[2], 'N');
    }
}

TEST_F(PreferencesTest, AFailedWriteGivesOneMessageTheDocumentStaysAndExitWaitsAndStays) {
    TempFolder folder;
    FolderClosedToNewFiles closed(folder.Path());
    if (!closed.Closed()) GTEST_SKIP() << "this file system cannot close a folder to new files";
    // The folder as a user may type it, with a backslash at its end.
    SaveInto(folder.Path() + L"\\", L"Lost {n}", L"PNG");
    MakeFrame();
    frame->mnuCaptureScreen_Click();
    // Exit at once: it waits for the file, reports its failure and stays with the capture.
    frame->mnuFileExit_Click();
    ASSERT_TRUE(frame->IsLoaded());
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_TRUE(messages.shown[0].text.starts_with(L"Pixelnab could not save Nabbet1 as " + folder.File(L"Lost 1.png") +
                                                   L":\r\n"))
        << std::string(messages.shown[0].text.begin(), messages.shown[0].text.end());
    EXPECT_NE(messages.shown[0].style & MB_ICONEXCLAMATION, 0u);
    ASSERT_TRUE(Active());
    EXPECT_EQ(Active()->Caption(), L"Nabbet1");
    EXPECT_FALSE(frame->LastAfterCapture()->saved);
    EXPECT_FALSE(frame->LastAfterCapture()->failure.empty());
    // Reported once: the message that comes later finds nothing more to say.
    DoEvents();
    EXPECT_EQ(messages.shown.size(), 1u);
    EXPECT_TRUE(NamesIn(folder.Path()).empty());
}

// ---------------------------------------------------------------------------------------
// The Save dialog's memory

TEST_F(PreferencesTest, SaveStartsInTheLastFolderWithTheLastTypeAlsoInTheNextRun) {
    TempFolder folder;
    MakeFrame();
    AddDocument(L"Nabbet1", BitmapPicture(PatternImage(8, 8), false), true);
    dialog.Confirm(folder.File(L"first.png"), 2);
    frame->mnuFileSave_Click();
    EXPECT_EQ(dialog.uses.back().settings.FilterIndex, 1u);  // nothing stored yet: the bitmap
    EXPECT_EQ(dialog.uses.back().settings.InitDir, L"");
    dialog.Cancel();
    frame->mnuFileSave_Click();
    EXPECT_EQ(dialog.uses.back().settings.FilterIndex, 2u);
    EXPECT_EQ(dialog.uses.back().settings.InitDir, folder.Path());
    EXPECT_EQ(dialog.uses.back().settings.Filter.substr(0, 22), L"Windows Bitmap (*.bmp)");

    // Kept across runs; a cancelled dialog changes neither.
    CloseEverything();
    MakeFrame();
    AddDocument(L"Nabbet1", BitmapPicture(PatternImage(8, 8), false), true);
    dialog.Cancel();
    frame->mnuFileSave_Click();
    EXPECT_EQ(dialog.uses.back().settings.FilterIndex, 2u);
    EXPECT_EQ(dialog.uses.back().settings.InitDir, folder.Path());
    // Open still starts where its own file name says.
    dialog.Cancel();
    frame->mnuFileOpen_Click();
    EXPECT_EQ(dialog.uses.back().settings.InitDir, L"");
}
