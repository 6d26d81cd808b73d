// Marking up on a real frame: the tool commands and their letters, which reach the tools
// only from a document that is not taking text; a picked object restyled, brought forward
// and deleted, each one undo step, as the screen shows it; the style kept in the settings;
// a shape being drawn shown as it is saved; an edited picture saved as exactly its
// flattened pixels.
#include <gtest/gtest.h>

#include <memory>

#include <windows.h>
#include <commctrl.h>

#include "document/MarkupOperation.h"
#include "document/frmNabbet.h"
#include "Fakes.h"
#include "Files.h"
#include "Image.h"
#include "Pattern.h"
#include "platform/pictures/BitmapWriter.h"
#include "platform/pictures/PictureEncoder.h"
#include "resource.h"

using files_test::ReadBytes;
using files_test::TempFolder;

namespace {

Picture PatternPicture(int width, int height) {
    return PictureOwningBitmap(DeviceBitmap(PatternImage(width, height)), nullptr);
}

}  // namespace

class MarkupWindowTest : public FrameTest {
protected:
    void Mouse(frmNabbet& document, UINT message, int x, int y) {
        POINT screen{x, y};
        ClientToScreen(document.picNabbet().hWnd(), &screen);
        SetCursorPos(screen.x, screen.y);
        PostMessageW(document.picNabbet().hWnd(), message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, MAKELPARAM(x, y));
        DoEvents();
    }
    void Drag(frmNabbet& document, POINT from, POINT to) {
        Mouse(document, WM_LBUTTONDOWN, from.x, from.y);
        Mouse(document, WM_MOUSEMOVE, (from.x + to.x) / 2, (from.y + to.y) / 2);
        Mouse(document, WM_MOUSEMOVE, to.x, to.y);
        Mouse(document, WM_LBUTTONUP, to.x, to.y);
    }
    // A key as typed: its key-down through the program's message loop, where the frame's
    // keys are translated and a character made of it.
    void Type(HWND window, WPARAM key) {
        PostMessageW(window, WM_KEYDOWN, key, 1);
        DoEvents();
    }
    bool StripPressed(UINT id) { return SendMessageW(frame->ToolStripWindow(), TB_ISBUTTONCHECKED, id, 0) != 0; }
    // The colour the document shows at a pixel of its picture box (at 100 %).
    std::uint32_t Shown(frmNabbet& document, int x, int y) {
        DoEvents();
        POINT at{x, y};
        ClientToScreen(document.picNabbet().hWnd(), &at);
        return ReadScreen(at.x, at.y, 1, 1).At(0, 0);
    }
};

TEST_F(MarkupWindowTest, ToolLettersChooseToolsOnlyFromADocumentThatIsNotTakingText) {
    MakeFrame();
    auto document = AddDocument(L"Nabbet1", PatternPicture(200, 150), true);
    SetFocus(document->hWnd());
    frame->mnuTools_Click<MarkupTool::Rectangle>();
    EXPECT_EQ(document->Tool(), MarkupTool::Rectangle);
    EXPECT_TRUE(frame->MenuChecked(IDM_TOOLS_RECTANGLE));
    EXPECT_FALSE(frame->MenuChecked(IDM_TOOLS_SELECT));
    EXPECT_TRUE(StripPressed(IDM_TOOLS_RECTANGLE));
    EXPECT_FALSE(StripPressed(IDM_TOOLS_SELECT));

    Type(document->hWnd(), 'E');
    EXPECT_EQ(frame->CurrentTool(), MarkupTool::Ellipse);
    EXPECT_TRUE(StripPressed(IDM_TOOLS_ELLIPSE));
    Type(document->hWnd(), VK_ESCAPE);
    EXPECT_EQ(document->Tool(), MarkupTool::Select);

    // Typing a text: the letters are its characters, not tools; Esc ends it as one step.
    Type(document->hWnd(), 'T');
    ASSERT_EQ(document->Tool(), MarkupTool::Text);
    Mouse(*document, WM_LBUTTONDOWN, 20, 30);
    Mouse(*document, WM_LBUTTONUP, 20, 30);
    ASSERT_TRUE(document->EditingText());
    Type(document->hWnd(), 'R');
    Type(document->hWnd(), 'E');
    Type(document->hWnd(), VK_RETURN);
    Type(document->hWnd(), 'X');
    EXPECT_EQ(frame->CurrentTool(), MarkupTool::Text);
    Type(document->hWnd(), VK_ESCAPE);
    EXPECT_FALSE(document->EditingText());
    ASSERT_EQ(document->Model()->Objects().size(), 1u);
    EXPECT_EQ(document->Model()->Objects()[0]->text, L"re\nx");
    EXPECT_EQ(document->Caption(), L"Nabbet1*");

    // A double click with Select opens it again; what is typed then is one more step.
    Type(document->hWnd(), 'S');
    ASSERT_EQ(document->Tool(), MarkupTool::Select);
    for (int click = 0; click < 2; ++click) {
        Mouse(*document, WM_LBUTTONDOWN, 24, 34);
        Mouse(*document, WM_LBUTTONUP, 24, 34);
    }
    ASSERT_TRUE(document->EditingText());
    Type(document->hWnd(), 'Z');
    // Copy while typing takes the text as typed so far (so do Save and Print).
    frame->mnuEditCopy_Click();
    EXPECT_FALSE(document->EditingText());
    EXPECT_EQ(document->Model()->Objects()[0]->text, L"re\nxz");
    for (int click = 0; click < 2; ++click) {
        Mouse(*document, WM_LBUTTONDOWN, 24, 34);
        Mouse(*document, WM_LBUTTONUP, 24, 34);
    }
    ASSERT_TRUE(document->EditingText());
    Type(document->hWnd(), 'Q');
    Mouse(*document, WM_LBUTTONDOWN, 150, 120);  // a click elsewhere ends it
    Mouse(*document, WM_LBUTTONUP, 150, 120);
    EXPECT_FALSE(document->EditingText());
    ASSERT_EQ(document->Model()->Objects().size(), 1u);
    EXPECT_EQ(document->Model()->Objects()[0]->text, L"re\nxzq");
    frame->mnuEditUndo_Click();
    frame->mnuEditUndo_Click();
    EXPECT_EQ(document->Model()->Objects()[0]->text, L"re\nx");
    frame->mnuEditUndo_Click();
    EXPECT_TRUE(document->Model()->Objects().empty());
    EXPECT_EQ(document->Caption(), L"Nabbet1");

    // With the focus outside the documents a letter is only a letter.
    SetFocus(frame->ToolStripWindow());
    Type(frame->ToolStripWindow(), 'R');
    EXPECT_EQ(frame->CurrentTool(), MarkupTool::Select);
}

TEST_F(MarkupWindowTest, APickedObjectIsRestyledBroughtForwardAndDeletedEachOneStepAsTheScreenShows) {
    MakeFrame();
    auto document = AddDocument(L"Nabbet1", PatternPicture(200, 150), true);
    frame->mnuTools_Click<MarkupTool::Rectangle>();
    Drag(*document, {10, 10}, {60, 40});
    Drag(*document, {30, 20}, {90, 70});
    const DocumentModel& model = *document->Model();
    ASSERT_EQ(model.Objects().size(), 2u);
    const std::uint64_t first = model.Objects()[0]->id;
    const std::uint32_t red = 0xE0201C;
    // The first one's left side, 3 px wide, clear of what shows once it is picked: the
    // outline on column 10 and the handle at the middle of the side.
    EXPECT_EQ(Shown(*document, 11, 15), red);
    EXPECT_FALSE(frame->MenuEnabled(IDM_TOOLS_DELETE));

    frame->mnuTools_Click<MarkupTool::Select>();
    Mouse(*document, WM_LBUTTONDOWN, 11, 25);
    Mouse(*document, WM_LBUTTONUP, 11, 25);
    ASSERT_EQ(document->PickedObject(), first);
    EXPECT_TRUE(frame->MenuEnabled(IDM_TOOLS_BRINGFORWARD));
    EXPECT_TRUE(frame->MenuEnabled(IDM_TOOLS_DELETE));

    // Blue and 5 px: only the picked object changes, and the choices are kept.
    frame->mnuToolsColour_Click<4>();
    frame->mnuToolsWidth_Click<5>();
    EXPECT_EQ(model.Objects()[0]->style.colour, 0x1E64DCu);
    EXPECT_EQ(model.Objects()[0]->style.width, 5);
    EXPECT_EQ(model.Objects()[1]->style.colour, red);
    EXPECT_EQ(Shown(*document, 11, 15), 0x1E64DCu);
    EXPECT_EQ(Shown(*document, 12, 15), 0x1E64DCu);  // 5 px now
    EXPECT_EQ(settings.GetSetting(L"Pixelnab", L"Main", L"ToolColour", L""), L"1E64DC");
    EXPECT_EQ(settings.GetSetting(L"Pixelnab", L"Main", L"ToolWidth", L""), L"5");
    EXPECT_TRUE(frame->MenuChecked(IDM_TOOLS_WIDTH1 + 4));
    EXPECT_TRUE(StripPressed(IDM_TOOLS_COLOUR1 + 4));

    // Where the two cross (30, 39: the first's bottom, the second's left), the upper shows.
    EXPECT_EQ(Shown(*document, 30, 39), red);
    frame->mnuToolsBringForward_Click();
    EXPECT_EQ(model.Objects()[1]->id, first);
    EXPECT_EQ(Shown(*document, 30, 39), 0x1E64DCu);

    // Del removes it; each undo takes back one step.
    SetFocus(document->hWnd());
    Type(document->hWnd(), VK_DELETE);
    ASSERT_EQ(model.Objects().size(), 1u);
    EXPECT_NE(Shown(*document, 11, 15), 0x1E64DCu);
    frame->mnuEditUndo_Click();
    EXPECT_EQ(model.Objects().size(), 2u);
    frame->mnuEditUndo_Click();
    EXPECT_EQ(model.Objects()[0]->id, first);
    frame->mnuEditUndo_Click();
    frame->mnuEditUndo_Click();
    EXPECT_EQ(model.Objects()[0]->style.colour, red);
    EXPECT_EQ(Shown(*document, 11, 15), red);
}

TEST_F(MarkupWindowTest, AnArrowBeingDrawnShowsAtThePointerExactlyAsItIsSaved) {
    MakeFrame();
    auto document = AddDocument(L"Nabbet1", PatternPicture(200, 150), true);
    frame->mnuTools_Click<MarkupTool::Arrow>();
    // Drawn once a move and laid over each part repainted: a move elsewhere must leave
    // nothing of the last place, and at 100 % the screen shows the very pixels saved.
    Mouse(*document, WM_LBUTTONDOWN, 20, 130);
    Mouse(*document, WM_MOUSEMOVE, 120, 20);
    Mouse(*document, WM_MOUSEMOVE, 180, 100);
    POINT corner{0, 0};
    ClientToScreen(document->picNabbet().hWnd(), &corner);
    const Image shown = ReadScreen(corner.x, corner.y, 200, 150);
    Mouse(*document, WM_LBUTTONUP, 180, 100);
    ASSERT_EQ(document->Model()->Objects().size(), 1u);
    EXPECT_EQ(CountDifferences(shown, ReadPicture(document->DocumentPicture())), 0);
    EXPECT_NE(CountDifferences(shown, PatternImage(200, 150)), 0);
}

TEST_F(MarkupWindowTest, AnEditedPictureIsSavedAsExactlyItsFlattenedPixels) {
    MakeFrame();
    auto document = AddDocument(L"Nabbet1", PatternPicture(300, 200), true);
    DocumentModel& model = *document->Model();
    // Saving makes the picture in bands of rows (64, from the top for PNG and JPEG, from the
    // bottom for BMP): every kind, overlapping one another and cut by the picture's and the
    // bands' edges, must come out as drawn over the whole picture.
    const auto add = [&](MarkupTool kind, std::vector<PicturePoint> points, std::int32_t width, bool filled = false) {
        MarkupObject object;
        object.kind = kind;
        object.points = std::move(points);
        object.style.width = width;
        object.style.filled = filled;
        if (kind == MarkupTool::Text) {
            object.text = L"Over\nthe edge";
            object.textExtent = {120, 60};
        }
        if (kind == MarkupTool::Step) object.number = 7;
        if (kind == MarkupTool::Pixelate) object.pixelated = Pixelate(model.PicturePixels(), SpanOf(object.points[0], object.points[1]), 8);
        model.Do(std::make_unique<ObjectOperation>(model.Objects().size(), nullptr, std::make_shared<const MarkupObject>(std::move(object))));
    };
    add(MarkupTool::Rectangle, {{-20, 10}, {80, 60}}, 3);
    add(MarkupTool::Rectangle, {{40, -15}, {130, 40}}, 4, true);
    add(MarkupTool::Ellipse, {{230, 140}, {330, 230}}, 5);
    add(MarkupTool::Arrow, {{10, 190}, {340, 20}}, 6);
    add(MarkupTool::Line, {{150, -10}, {160, 210}}, 2);
    add(MarkupTool::Pen, {{20, 120}, {60, 150}, {90, 110}, {130, 160}}, 3);
    add(MarkupTool::Highlighter, {{0, 100}, {299, 105}}, 4);
    add(MarkupTool::Text, {{250, 5}}, 3);
    add(MarkupTool::Step, {{295, 195}}, 3);
    add(MarkupTool::Pixelate, {{100, 80}, {180, 130}}, 3);
    add(MarkupTool::Rectangle, {{90, 70}, {200, 140}}, 7);

    TempFolder folder;
    const std::wstring bitmap = folder.File(L"saved.bmp"), png = folder.File(L"saved.png"), jpeg = folder.File(L"saved.jpg");
    document->SaveDocumentPicture(bitmap, SaveFormat::Bitmap);
    document->SaveDocumentPicture(png, SaveFormat::Png);
    document->SaveDocumentPicture(jpeg, SaveFormat::Jpeg);
    const Picture flattened = document->DocumentPicture();
    EXPECT_EQ(ReadBytes(bitmap), PictureToBitmapFile(flattened));
    EXPECT_EQ(ReadBytes(png), EncodePicture(flattened, SaveFormat::Png));
    EXPECT_EQ(ReadBytes(jpeg), EncodePicture(flattened, SaveFormat::Jpeg));
    EXPECT_NE(ReadBytes(bitmap), PictureToBitmapFile(PatternPicture(300, 200)));
}
