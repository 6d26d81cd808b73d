// The shared dialog's settings for Open, Save and Print, and how they carry over.
#include "app/frmMain.h"
#include "document/DocumentCommands.h"
#include "document/frmNabbet.h"
#include "Fakes.h"
#include "Files.h"
#include "Pattern.h"
#include "platform/pictures/PictureFile.h"
#include "platform/services/CommonDialog.h"

using namespace files_test;
using DocumentCommands::SuggestedSaveName;

namespace {

const std::wstring kOpenFilter =
    L"All Pictures (*.bmp,*.dib,*.gif,*.jpg,*.jpeg,*.jpe,*.jfif,*.ico,*.cur,*.png,*.tif,*.tiff) | "
    L"*.bmp;*.dib;*.gif;*.jpg;*.jpeg;*.jpe;*.jfif;*.ico;*.cur;*.png;*.tif;*.tiff | All Files (*.*) | *.*; | "
    L"Windows Bitmap (*.bmp) | *.bmp; | Graphics Interchange Format (*.gif) | *.gif; | "
    L"JPEG File Interchange Format (*.jpg) | *.jpg | Icon (*.ico) | *.ico;";
const std::wstring kSaveFilter = L"Windows Bitmap (*.bmp) | *.bmp; | PNG (*.png) | *.png; | JPEG (*.jpg) | *.jpg;";

TEST(FilterPairs, SplitsAtEveryBarKeepingTheBlanks) {
    const auto pairs = FilterPairs(kOpenFilter);
    ASSERT_EQ(pairs.size(), 6u);
    EXPECT_EQ(pairs[0].first, L"All Pictures (*.bmp,*.dib,*.gif,*.jpg,*.jpeg,*.jpe,*.jfif,*.ico,*.cur,*.png,*.tif,*.tiff) ");
    EXPECT_EQ(pairs[0].second, L" *.bmp;*.dib;*.gif;*.jpg;*.jpeg;*.jpe;*.jfif;*.ico;*.cur;*.png;*.tif;*.tiff ");
    EXPECT_EQ(pairs[1].first, L" All Files (*.*) ");
    EXPECT_EQ(pairs[4].second, L" *.jpg ");
    EXPECT_EQ(pairs[5].first, L" Icon (*.ico) ");
    EXPECT_EQ(pairs[5].second, L" *.ico;");
    const std::wstring dialogText = FilterToDialogString(L"Windows Bitmap (*.bmp) | *.bmp;");
    EXPECT_EQ(dialogText, std::wstring(L"Windows Bitmap (*.bmp) \0 *.bmp;\0\0", 33));
    EXPECT_TRUE(FilterToDialogString(L"").empty());
}

TEST(DialogDefaultExtension, TakesTheFirstExtensionWithoutItsDot) {
    EXPECT_EQ(DialogDefaultExtension(L".bmp, .gif, .jpg, .ico"), L"bmp");
    EXPECT_EQ(DialogDefaultExtension(L".bmp"), L"bmp");
    EXPECT_EQ(DialogDefaultExtension(L""), L"");
}

TEST(SuggestedSaveName, TypesSaveDoesNotWriteBecomeBmp) {
    EXPECT_EQ(SuggestedSaveName(L"Nabbet3"), L"Nabbet3");
    EXPECT_EQ(SuggestedSaveName(L"anim.gif"), L"anim.bmp");
    EXPECT_EQ(SuggestedSaveName(L"app.ico"), L"app.bmp");
    EXPECT_EQ(SuggestedSaveName(L"arrow.CUR"), L"arrow.bmp");
    EXPECT_EQ(SuggestedSaveName(L"scan.tiff"), L"scan.bmp");
    EXPECT_EQ(SuggestedSaveName(L"my.holiday.tif"), L"my.holiday.bmp");
    // Bitmap, PNG and JPEG names are suggested as they are: Save writes what the name says.
    EXPECT_EQ(SuggestedSaveName(L"photo.jpg"), L"photo.jpg");
    EXPECT_EQ(SuggestedSaveName(L"Photo.JPEG"), L"Photo.JPEG");
    EXPECT_EQ(SuggestedSaveName(L"shot.png"), L"shot.png");
    EXPECT_EQ(SuggestedSaveName(L"my.holiday.jfif"), L"my.holiday.jfif");
    EXPECT_EQ(SuggestedSaveName(L"old.bmp"), L"old.bmp");
    EXPECT_EQ(SuggestedSaveName(L"old.dib"), L"old.dib");
    // Not a picture extension at all: kept as it is.
    EXPECT_EQ(SuggestedSaveName(L"report.v2"), L"report.v2");
    EXPECT_EQ(SuggestedSaveName(L".gif"), L".gif");
}

class FileDialogTest : public FrameTest {
protected:
    void SetUp() override {
        FrameTest::SetUp();
        MakeFrame();
    }
    void AddDocument(const std::wstring& caption) {
        auto document = NewForm<frmNabbet>(frame);
        document->SetCaption(caption);
        document->picNabbet().SetPicture(BitmapPicture(PatternImage(6, 5), false));
        document->Show();
        DoEvents();
    }
};

TEST_F(FileDialogTest, OpenSaveAndPrintShowTheirOwnSettings) {
    dialog.Cancel();
    frame->mnuFileOpen_Click();
    ASSERT_EQ(dialog.uses.size(), 1u);
    const CommonDialogSettings& open = dialog.uses[0].settings;
    EXPECT_EQ(dialog.uses[0].kind, L"Open");
    EXPECT_EQ(open.DefaultExt, L".bmp, .gif, .jpg, .ico");
    EXPECT_EQ(open.Filter, kOpenFilter);
    EXPECT_EQ(open.Flags, 0x1004u);
    EXPECT_EQ(open.FileName, L"");  // the first use starts empty
    EXPECT_FALSE(open.CancelError);

    AddDocument(L"photo.jpg");
    dialog.Cancel();
    frame->mnuFileSave_Click();
    ASSERT_EQ(dialog.uses.size(), 2u);
    const CommonDialogSettings& save = dialog.uses[1].settings;
    EXPECT_EQ(dialog.uses[1].kind, L"Save");
    EXPECT_EQ(save.DefaultExt, L".bmp");
    EXPECT_EQ(save.FileName, L"photo.jpg");
    EXPECT_EQ(save.Filter, kSaveFilter);
    EXPECT_EQ(save.FilterIndex, 1u);
    EXPECT_EQ(save.Flags, 0x806u);

    dialog.Cancel();
    frame->mnuFilePrint_Click();
    ASSERT_EQ(dialog.uses.size(), 3u);
    EXPECT_EQ(dialog.uses[2].kind, L"Printer");
    EXPECT_TRUE(dialog.uses[2].settings.CancelError);
    EXPECT_TRUE(dialog.uses[2].settings.PrinterDefault);
    // Print leaves the rest as Save left it.
    EXPECT_EQ(dialog.uses[2].settings.Filter, kSaveFilter);
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_TRUE(printer.calls.empty());
}

TEST_F(FileDialogTest, SettingsCarryOverBetweenUses) {
    TempFolder folder;
    const std::wstring path = folder.File(L"a.bmp");
    SavePicture(BitmapPicture(PatternImage(4, 4), false), path);
    dialog.Confirm(path);
    frame->mnuFileOpen_Click();
    DoEvents();
    ASSERT_EQ(Forms::Count(), 2);
    // The next Open starts with the name the last one left.
    dialog.Cancel();
    frame->mnuFileOpen_Click();
    EXPECT_EQ(dialog.uses.back().settings.FileName, path);

    // Save suggests the caption, never the path it wrote last time.
    const std::wstring saved = folder.File(L"b.bmp");
    dialog.Confirm(saved);
    frame->mnuFileSave_Click();
    EXPECT_EQ(dialog.uses.back().settings.FileName, L"a.bmp");
    dialog.Cancel();
    frame->mnuFileSave_Click();
    EXPECT_EQ(dialog.uses.back().settings.FileName, L"a.bmp");
    // ... and Open then starts from the name Save left in the dialog.
    dialog.Cancel();
    frame->mnuFileOpen_Click();
    EXPECT_EQ(dialog.uses.back().settings.FileName, L"a.bmp");
    EXPECT_EQ(dialog.uses.back().settings.Filter, kOpenFilter);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(FileDialogTest, AfterPrintACancelRaisedByTheDialogIsAPlainCancel) {
    AddDocument(L"Nabbet1");
    dialog.Cancel();
    frame->mnuFilePrint_Click();
    ASSERT_TRUE(frame->dlg().CancelError);
    // With CancelError on, the dialog raises the cancel; Open and Save take it quietly.
    dialog.Cancel();
    EXPECT_THROW(frame->dlg().ShowOpen(frame->hWnd()), RuntimeError);
    dialog.Cancel();
    frame->mnuFileOpen_Click();
    dialog.Cancel();
    frame->mnuFileSave_Click();
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(Forms::Count(), 2);
    EXPECT_TRUE(frame->dlg().CancelError);  // it stays on
}

TEST_F(FileDialogTest, ADialogThatFailsIsNotACancel) {
    dialog.Fail(0x3003);  // FNERR_BUFFERTOOSMALL
    frame->mnuFileOpen_Click();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, L"Pixelnab cannot find or open ");
    EXPECT_EQ(Forms::Count(), 1);
}

}  // namespace
