// Editing a document on a real frame: selecting with the mouse, the Edit commands, undo,
// the edited mark and the question before an edited document closes.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include <windows.h>

#include "document/frmNabbet.h"
#include "document/PicturePixels.h"
#include "Fakes.h"
#include "Files.h"
#include "Image.h"
#include "Pattern.h"
#include "Wait.h"
#include "platform/pictures/BitmapWriter.h"
#include "platform/pictures/PictureDecoder.h"
#include "platform/pictures/ScreenCapture.h"
#include "resource.h"

using files_test::ReadBytes;
using files_test::TempFolder;

namespace {

Picture PatternPicture(int width, int height) {
    return PictureOwningBitmap(DeviceBitmap(PatternImage(width, height)), nullptr);
}

Image ModelImage(const DocumentModel& model) {
    const Pixels& pixels = model.PicturePixels();
    Image image{pixels.Width(), pixels.Height(), {}};
    for (int y = 0; y < pixels.Height(); ++y)
        for (int x = 0; x < pixels.Width(); ++x) image.pixels.push_back(pixels.Row(y)[x] & 0x00FFFFFFu);
    return image;
}

Image Enlarged(const Image& image) {
    Image twice{image.width * 2, image.height * 2, {}};
    for (int y = 0; y < twice.height; ++y)
        for (int x = 0; x < twice.width; ++x) twice.pixels.push_back(image.At(x / 2, y / 2));
    return twice;
}

}  // namespace

class DocumentEditTest : public FrameTest {
protected:
    // The pointer really goes there too, so that a move the system makes up on its own
    // (the pointer under a changed window) agrees with the scripted one.
    void Mouse(frmNabbet& document, UINT message, int x, int y) {
        POINT screen{x, y};
        ClientToScreen(document.picNabbet().hWnd(), &screen);
        SetCursorPos(screen.x, screen.y);
        const WPARAM buttons = message == WM_LBUTTONUP ? 0 : MK_LBUTTON;
        PostMessageW(document.picNabbet().hWnd(), message, buttons, MAKELPARAM(x, y));
        DoEvents();
    }
    void Drag(frmNabbet& document, POINT from, POINT to) {
        Mouse(document, WM_LBUTTONDOWN, from.x, from.y);
        Mouse(document, WM_MOUSEMOVE, (from.x + to.x) / 2, (from.y + to.y) / 2);
        Mouse(document, WM_MOUSEMOVE, to.x, to.y);
        Mouse(document, WM_LBUTTONUP, to.x, to.y);
    }
    bool Enabled(UINT id) { return frame->MenuEnabled(id); }
};

TEST_F(DocumentEditTest, ADragAtTwiceTheSizeSelectsHandlesAdjustCropKeepsExactlyThoseAndUndoRedoAlternate) {
    MakeFrame();
    const Image pattern = PatternImage(200, 150);
    auto document = AddDocument(L"Nabbet1", PatternPicture(200, 150), true);
    document->SetZoom(2.0);
    document->SetScrollValue(document->hsbPic(), 0);
    document->SetScrollValue(document->vsbPic(), 0);
    DocumentModel& model = *document->Model();
    EXPECT_FALSE(Enabled(IDM_EDIT_CROP));
    EXPECT_FALSE(Enabled(IDM_EDIT_UNDO));
    // The picture is held once: the model's pixels are the bits of the document's bitmap.
    DIBSECTION section{};
    ASSERT_EQ(GetObjectW(document->DocumentPicture().Bitmap(), sizeof section, &section), int{sizeof section});
    EXPECT_EQ(section.dsBm.bmBits, static_cast<const void*>(model.PicturePixels().Memory()));
    EXPECT_EQ(model.StoredBytes(), 200u * 150u * 4u);

    // View pixel 21 is picture pixel 10; 81 is 40. Both ends are in the selection.
    Drag(*document, {21, 31}, {81, 61});
    ASSERT_TRUE(model.Selection());
    EXPECT_EQ(*model.Selection(), (PictureRect{10, 15, 41, 31}));
    EXPECT_EQ(frame->PanelText(6), L"40, 30  #281E5E  31 x 16");  // the pointer's pixel, the selection's size
    EXPECT_TRUE(Enabled(IDM_EDIT_CROP));

    // The outline lies on the selection's outermost screen pixels, in black and white
    // dashes; the pixels just inside and outside still show the picture.
    const HWND box = document->picNabbet().hWnd();
    Image shown;
    const auto dashed = [&] {
        shown = ReadClient(box, 0, 0, 120, 100);
        int black = 0, white = 0;
        for (int x = 30; x < 40; ++x) {
            black += shown.At(x, 30) == 0;
            white += shown.At(x, 30) == 0xFFFFFF;
        }
        return black > 0 && white > 0 && black + white == 10;
    };
    EXPECT_TRUE(WaitUntil(dashed, 1000));
    for (int x = 30; x < 40; ++x) EXPECT_EQ(shown.At(x, 31), pattern.At(x / 2, 15)) << x;
    EXPECT_EQ(shown.At(19, 40), pattern.At(9, 20));

    // The bottom-right handle, dragged ten picture pixels right and down.
    Drag(*document, {81, 61}, {101, 81});
    EXPECT_EQ(*model.Selection(), (PictureRect{10, 15, 51, 41}));

    // Copy takes the selection: pasted back, it is exactly those pixels.
    frame->mnuEditCopy_Click();
    frame->mnuEditCrop_Click();
    EXPECT_EQ(ModelImage(model), Part(pattern, 10, 15, 41, 26));
    EXPECT_EQ(document->Caption(), L"Nabbet1*");
    EXPECT_EQ(frame->PanelText(5), L"41 x 26 px  200%");
    EXPECT_EQ(ReadPicture(document->DocumentPicture()), Part(pattern, 10, 15, 41, 26));
    EXPECT_TRUE(Enabled(IDM_EDIT_UNDO));
    EXPECT_FALSE(Enabled(IDM_EDIT_REDO));
    // The cropped view paints the kept pixels from its corner, each a square of four.
    EXPECT_TRUE(ScreenShowsSoon(box, 0, 0, Enlarged(Part(pattern, 10, 15, 41, 26))));

    frame->mnuEditUndo_Click();
    EXPECT_EQ(ModelImage(model), pattern);
    EXPECT_EQ(document->Caption(), L"Nabbet1");
    EXPECT_EQ(*model.Selection(), (PictureRect{10, 15, 51, 41}));
    // Undone to the start, what leaves the program is the picture as it came.
    EXPECT_EQ(document->DocumentPicture(), document->picNabbet().GetPicture());
    EXPECT_TRUE(Enabled(IDM_EDIT_REDO));
    frame->mnuEditRedo_Click();
    EXPECT_EQ(ModelImage(model), Part(pattern, 10, 15, 41, 26));
    frame->mnuEditUndo_Click();
    EXPECT_EQ(ModelImage(model), pattern);

    frame->mnuEditPaste_Click();
    const auto pasted = std::dynamic_pointer_cast<frmNabbet>(frame->ActiveDocument());
    ASSERT_TRUE(pasted && pasted != document && pasted->Model());
    EXPECT_EQ(ModelImage(*pasted->Model()), Part(pattern, 10, 15, 41, 26));
}

TEST_F(DocumentEditTest, SelectAllEscapeAndAClickBesideThePictureAndTheKeysReachTheCommands) {
    MakeFrame();
    // A capture costs its pixels once: the document reads them where the capture put them,
    // and keeps the capture itself for what leaves the program (no converted copy of it).
    const Picture shot = CaptureWholeScreen();
    const PictureWithPixels read = ReadPicturePixels(shot);
    EXPECT_TRUE(read.picture == shot);
    EXPECT_EQ(static_cast<const void*>(read.pixels.Memory()), shot.TopDownBits());
    frame->mnuCaptureScreen_Click();
    const auto captured = std::dynamic_pointer_cast<frmNabbet>(frame->ActiveDocument());
    ASSERT_TRUE(captured && captured->Model());
    DIBSECTION section{};
    ASSERT_EQ(GetObjectW(captured->DocumentPicture().Bitmap(), sizeof section, &section), int{sizeof section});
    EXPECT_EQ(section.dsBm.bmBits, static_cast<const void*>(captured->Model()->PicturePixels().Memory()));
    EXPECT_EQ(captured->Model()->StoredBytes(), std::size_t(section.dsBm.bmWidth) * section.dsBm.bmHeight * 4);
    captured->Unload();
    auto document = AddDocument(L"Nabbet1", PatternPicture(120, 90), true);
    DocumentModel& model = *document->Model();
    frame->mnuEditSelectAll_Click();
    EXPECT_EQ(*model.Selection(), (PictureRect{0, 0, 120, 90}));
    EXPECT_EQ(frame->PanelText(6), L"120 x 90");
    EXPECT_FALSE(Enabled(IDM_EDIT_CROP));  // the whole picture: nothing to crop
    SetFocus(document->hWnd());
    PostMessageW(document->hWnd(), WM_KEYDOWN, VK_ESCAPE, 1);
    DoEvents();
    EXPECT_FALSE(model.Selection());
    EXPECT_EQ(frame->PanelText(6), L"");

    // A click without a drag clears too, in the picture or beside it.
    Drag(*document, {10, 10}, {30, 20});
    ASSERT_TRUE(model.Selection());
    Drag(*document, {50, 50}, {50, 50});
    EXPECT_FALSE(model.Selection());
    Drag(*document, {10, 10}, {30, 20});
    PostMessageW(document->picScroll().hWnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(300, 300));
    DoEvents();
    EXPECT_FALSE(model.Selection());

    // The accelerators: Ctrl+A, Ctrl+Shift+X, Ctrl+Z and Ctrl+Y, through the frame's keys.
    const HACCEL keys = CreateCommandAccelerators();
    const auto press = [&](WORD key, bool shift) {
        ACCEL entries[64]{};
        const int count = CopyAcceleratorTableW(keys, entries, 64);
        for (int i = 0; i < count; ++i)
            if (entries[i].key == key && ((entries[i].fVirt & FSHIFT) != 0) == shift)
                SendMessageW(frame->hWnd(), WM_COMMAND, MAKEWPARAM(entries[i].cmd, 1), 0);
        DoEvents();
    };
    Drag(*document, {10, 10}, {29, 19});
    press('X', true);
    EXPECT_EQ(model.PicturePixels().Width(), 20);
    press('Z', false);
    EXPECT_EQ(model.PicturePixels().Width(), 120);
    press('Y', false);
    EXPECT_EQ(model.PicturePixels().Width(), 20);
    press('A', false);
    EXPECT_EQ(*model.Selection(), (PictureRect{0, 0, 20, 10}));
    DestroyAcceleratorTable(keys);
}

TEST_F(DocumentEditTest, AnEditedDocumentAsksBeforeItClosesAndCancelKeepsEverythingOpen) {
    MakeFrame();
    TempFolder folder;
    const Picture captured = PatternPicture(64, 48);
    const std::vector<BYTE> today = PictureToBitmapFile(captured);
    auto untouched = AddDocument(L"Nabbet1", captured, true);
    auto edited = AddDocument(L"Nabbet2", PatternPicture(64, 48), true);
    edited->Model()->Select({4, 4, 20, 20});
    frame->mnuEditCrop_Click();
    ASSERT_EQ(edited->Caption(), L"Nabbet2*");

    // Exit, the close box and Close All: Cancel closes nothing.
    messages.answers = {IDCANCEL};
    frame->mnuFileExit_Click();
    messages.answers = {IDCANCEL};
    SendMessageW(frame->hWnd(), WM_CLOSE, 0, 0);
    messages.answers = {IDCANCEL};
    frame->mnuWindowCloseAll_Click();
    ASSERT_TRUE(frame->IsLoaded());
    EXPECT_TRUE(untouched->IsLoaded() && edited->IsLoaded());
    ASSERT_EQ(messages.shown.size(), 3u);
    EXPECT_EQ(messages.shown[0].text, L"Save changes to Nabbet2?");
    EXPECT_EQ(messages.shown[0].style & 0xF, static_cast<UINT>(MB_YESNOCANCEL));

    // Yes saves through File Save; a cancelled Save dialog keeps the document open too.
    SendMessageW(frame->MdiClient(), WM_MDIACTIVATE, reinterpret_cast<WPARAM>(edited->hWnd()), 0);
    DoEvents();
    messages.answers = {IDYES};
    dialog.Cancel();
    frame->mnuFileClose_Click();
    EXPECT_TRUE(edited->IsLoaded());
    messages.answers = {IDYES};
    dialog.Confirm(folder.File(L"edited.bmp"));
    frame->mnuFileClose_Click();
    EXPECT_FALSE(edited->IsLoaded());
    EXPECT_EQ(ReadPicture(LoadPicture(folder.File(L"edited.bmp"))), Part(PatternImage(64, 48), 4, 4, 16, 16));

    // A capture never edited closes without a question, and saves exactly as before.
    const std::size_t asked = messages.shown.size();
    dialog.Confirm(folder.File(L"untouched.bmp"));
    frame->mnuFileSave_Click();
    EXPECT_EQ(ReadBytes(folder.File(L"untouched.bmp")), today);
    frame->mnuFileClose_Click();
    EXPECT_FALSE(untouched->IsLoaded());
    EXPECT_EQ(messages.shown.size(), asked);

    // Log-off asks too: Cancel keeps the session, No lets it end (the documents close
    // when it does).
    auto kept = AddDocument(L"Nabbet4", PatternPicture(30, 30), true);
    kept->Model()->Select({1, 1, 5, 5});
    frame->mnuEditCrop_Click();
    messages.answers = {IDCANCEL};
    EXPECT_EQ(SendMessageW(frame->hWnd(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), FALSE);
    messages.answers = {IDNO};
    EXPECT_EQ(SendMessageW(frame->hWnd(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), TRUE);
    EXPECT_EQ(messages.shown.back().text, L"Save changes to Nabbet4?");
    EXPECT_TRUE(kept->IsLoaded());
    kept->Unload();

    // No lets an edited document go as it is.
    auto another = AddDocument(L"Nabbet3", PatternPicture(30, 30), true);
    another->Model()->Select({1, 1, 5, 5});
    frame->mnuEditCrop_Click();
    messages.answers = {IDNO};
    frame->mnuWindowCloseAll_Click();
    EXPECT_FALSE(another->IsLoaded());
    EXPECT_EQ(messages.shown.back().text, L"Save changes to Nabbet3?");
}
