// The document window on a real frame: activation, layout, scrolling, painting and
// termination, read back from the windows and from the screen.
#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <memory>
#include <vector>

#include <windows.h>
#include <commctrl.h>

#include "capture/basScreen.h"
#include "document/frmNabbet.h"
#include "DrawCounter.h"
#include "Fakes.h"
#include "Image.h"
#include "Pattern.h"
#include "resource.h"

namespace {

// A device-format bitmap holding the test pattern, wrapped as a captured picture is.
Picture PatternPicture(int width, int height) {
    return PictureOwningBitmap(DeviceBitmap(PatternImage(width, height)), nullptr);
}

// Position of a child window in its parent's client coordinates, in pixels.
POINT ChildOrigin(HWND child) {
    RECT rect{};
    GetWindowRect(child, &rect);
    POINT origin{rect.left, rect.top};
    ScreenToClient(GetParent(child), &origin);
    return origin;
}

RECT ScreenRect(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect;
}

}  // namespace

class DocumentWindowTest : public FrameTest {
protected:
    void Scroll(frmNabbet& document, ScrollBarControl& bar, int code) {
        const UINT message = &bar == &document.hsbPic() ? WM_HSCROLL : WM_VSCROLL;
        SendMessageW(document.hWnd(), message, MAKEWPARAM(code, 0), reinterpret_cast<LPARAM>(bar.hWnd()));
    }
    void Activate(frmNabbet& document) {
        SendMessageW(frame->MdiClient(), WM_MDIACTIVATE, reinterpret_cast<WPARAM>(document.hWnd()), 0);
        DoEvents();
    }
};

TEST_F(DocumentWindowTest, DocumentWithoutAPictureShowsTheEmptyBoxAtTheCornerWithoutBars) {
    MakeFrame();
    auto document = AddDocument(L"Empty", Picture{}, true);
    ASSERT_TRUE(document->IsLoaded());
    EXPECT_FLOAT_EQ(document->picNabbet().Width(), 2055.0f);
    EXPECT_FLOAT_EQ(document->picNabbet().Height(), 1935.0f);
    ASSERT_GT(document->ScaleWidth(), 2055.0f);
    ASSERT_GT(document->ScaleHeight(), 1935.0f);
    EXPECT_FALSE(IsWindowVisible(document->hsbPic().hWnd()));
    EXPECT_FALSE(IsWindowVisible(document->vsbPic().hWnd()));
    EXPECT_FLOAT_EQ(document->picScroll().Width(), 2055.0f);
    const RECT box = ScreenRect(document->picNabbet().hWnd());
    EXPECT_EQ(box.right - box.left, 137);  // 2055 twips at 15 per pixel
    EXPECT_EQ(box.bottom - box.top, 129);
}

TEST_F(DocumentWindowTest, PicturePaintsAtTheViewportsCornerAndFollowsTheBars) {
    MakeFrame();
    auto document = AddDocument(L"Pattern", PatternPicture(900, 700), true);
    ASSERT_TRUE(IsWindowVisible(document->hsbPic().hWnd()));
    ASSERT_TRUE(IsWindowVisible(document->vsbPic().hWnd()));
    UpdateWindow(frame->hWnd());
    DoEvents();
    const RECT viewport = ScreenRect(document->picScroll().hWnd());
    const int width = viewport.right - viewport.left;
    const int height = viewport.bottom - viewport.top;
    const Picture& shown = document->picNabbet().GetPicture();
    Image picture = ReadPicture(shown);
    Image screen = ReadScreen(viewport.left, viewport.top, width, height);
    int differences = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) differences += screen.At(x, y) != picture.At(x, y);
    EXPECT_EQ(differences, 0);

    // Two arrow clicks and a page: 60 + 900 twips, 64 pixels.
    Scroll(*document, document->hsbPic(), SB_LINERIGHT);
    Scroll(*document, document->hsbPic(), SB_LINERIGHT);
    Scroll(*document, document->vsbPic(), SB_PAGEDOWN);
    UpdateWindow(frame->hWnd());
    DoEvents();
    EXPECT_EQ(document->hsbPic().Value(), 60);
    EXPECT_EQ(document->vsbPic().Value(), 900);
    EXPECT_FLOAT_EQ(document->picNabbet().Left(), -60.0f);
    EXPECT_FLOAT_EQ(document->picNabbet().Top(), -900.0f);
    screen = ReadScreen(viewport.left, viewport.top, width, height);
    differences = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) differences += screen.At(x, y) != picture.At(x + 4, y + 60);
    EXPECT_EQ(differences, 0);
}

TEST_F(DocumentWindowTest, LargeCaptureScrollsToItsLastPixel) {
    MakeFrame();
    auto document = AddDocument(L"Large", PatternPicture(3840, 2160), true);
    EXPECT_TRUE(messages.shown.empty());
    const float viewportWidth = document->picScroll().Width();
    const float viewportHeight = document->picScroll().Height();
    EXPECT_EQ(document->hsbPic().Max(), static_cast<std::int32_t>(57600.0f - viewportWidth));
    EXPECT_EQ(document->vsbPic().Max(), static_cast<std::int32_t>(32400.0f - viewportHeight));
    ASSERT_GT(document->hsbPic().Max(), 32767);

    // A thumb released beyond 16 bits is taken from the bar, not from the message.
    SetScrollPos(document->hsbPic().hWnd(), SB_CTL, 40000, TRUE);
    Scroll(*document, document->hsbPic(), SB_THUMBPOSITION);
    EXPECT_EQ(document->hsbPic().Value(), 40000);
    EXPECT_FLOAT_EQ(document->picNabbet().Left(), -40000.0f);

    Scroll(*document, document->hsbPic(), SB_RIGHT);
    Scroll(*document, document->vsbPic(), SB_BOTTOM);
    EXPECT_EQ(document->hsbPic().Value(), document->hsbPic().Max());
    EXPECT_EQ(document->vsbPic().Value(), document->vsbPic().Max());
    UpdateWindow(frame->hWnd());
    DoEvents();
    // The picture's bottom-right corner sits in the viewport's bottom-right corner.
    const RECT viewport = ScreenRect(document->picScroll().hWnd());
    const RECT box = ScreenRect(document->picNabbet().hWnd());
    EXPECT_EQ(box.right, viewport.right);
    EXPECT_EQ(box.bottom, viewport.bottom);
    const Image picture = ReadPicture(document->picNabbet().GetPicture());
    const Image screen = ReadScreen(viewport.right - 24, viewport.bottom - 24, 24, 24);
    int differences = 0;
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 24; ++x) differences += screen.At(x, y) != picture.At(3840 - 24 + x, 2160 - 24 + y);
    EXPECT_EQ(differences, 0);
}

TEST_F(DocumentWindowTest, ActivationAfterScrollingKeepsThePictureWhereTheBarsSayItIs) {
    MakeFrame();
    auto first = AddDocument(L"First", PatternPicture(800, 600), true);
    Scroll(*first, first->hsbPic(), SB_PAGERIGHT);
    Scroll(*first, first->vsbPic(), SB_LINEDOWN);
    ASSERT_EQ(ChildOrigin(first->picNabbet().hWnd()).x, -60);
    ASSERT_EQ(ChildOrigin(first->picNabbet().hWnd()).y, -2);

    auto second = AddDocument(L"Second", PatternPicture(800, 600), true);
    ASSERT_EQ(frame->ActiveForm(), second);
    Activate(*first);
    ASSERT_EQ(frame->ActiveForm(), first);

    // Picture and bars agree: both still at the position the user scrolled to.
    EXPECT_FLOAT_EQ(first->picNabbet().Left(), -900.0f);
    EXPECT_FLOAT_EQ(first->picNabbet().Top(), -30.0f);
    EXPECT_EQ(ChildOrigin(first->picNabbet().hWnd()).x, -60);
    EXPECT_EQ(ChildOrigin(first->picNabbet().hWnd()).y, -2);
    EXPECT_EQ(first->hsbPic().Value(), 900);
    EXPECT_EQ(first->vsbPic().Value(), 30);
    EXPECT_EQ(GetScrollPos(first->hsbPic().hWnd(), SB_CTL), 900);
    EXPECT_EQ(GetScrollPos(first->vsbPic().hWnd(), SB_CTL), 30);
    UpdateWindow(frame->hWnd());
    DoEvents();
    const RECT viewport = ScreenRect(first->picScroll().hWnd());
    const Image picture = ReadPicture(first->picNabbet().GetPicture());
    const Image screen = ReadScreen(viewport.left, viewport.top, 32, 32);
    int differences = 0;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) differences += screen.At(x, y) != picture.At(x + 60, y + 2);
    EXPECT_EQ(differences, 0);

    // The next change goes on from there.
    Scroll(*first, first->hsbPic(), SB_LINERIGHT);
    EXPECT_FLOAT_EQ(first->picNabbet().Left(), -930.0f);
    EXPECT_EQ(ChildOrigin(first->picNabbet().hWnd()).x, -62);
    EXPECT_FLOAT_EQ(first->picNabbet().Top(), -30.0f);
}

TEST_F(DocumentWindowTest, DraggedThumbMovesThePictureAsItGoes) {
    MakeFrame();
    auto document = AddDocument(L"Drag", PatternPicture(800, 600), true);
    SCROLLINFO track{};
    track.cbSize = sizeof track;
    track.fMask = SIF_POS;
    track.nPos = 450;
    SetScrollInfo(document->vsbPic().hWnd(), SB_CTL, &track, TRUE);
    Scroll(*document, document->vsbPic(), SB_THUMBTRACK);
    EXPECT_EQ(document->vsbPic().Value(), 450);
    EXPECT_FLOAT_EQ(document->picNabbet().Top(), -450.0f);
    EXPECT_EQ(ChildOrigin(document->picNabbet().hWnd()).y, -30);
    Scroll(*document, document->vsbPic(), SB_ENDSCROLL);
    EXPECT_EQ(document->vsbPic().Value(), 450);
}

TEST_F(DocumentWindowTest, GrowingTheWindowShrinksTheRangeAndKeepsThePictureAtMinusTheValue) {
    MakeFrame();
    auto document = AddDocument(L"Grow", PatternPicture(600, 400), true);
    Scroll(*document, document->hsbPic(), SB_RIGHT);
    const std::int32_t oldMax = document->hsbPic().Max();
    ASSERT_EQ(document->hsbPic().Value(), oldMax);
    RECT rect{};
    GetWindowRect(document->hWnd(), &rect);
    MapWindowPoints(HWND_DESKTOP, frame->MdiClient(), reinterpret_cast<POINT*>(&rect), 2);
    MoveWindow(document->hWnd(), rect.left, rect.top, rect.right - rect.left + 60, rect.bottom - rect.top, TRUE);
    DoEvents();
    EXPECT_EQ(document->hsbPic().Max(), oldMax - 900);
    EXPECT_EQ(document->hsbPic().Value(), document->hsbPic().Max());
    EXPECT_FLOAT_EQ(document->picNabbet().Left(), -static_cast<float>(document->hsbPic().Value()));
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(DocumentWindowTest, ClosingTheLastDocumentByItsCloseBoxDisablesTheDocumentCommands) {
    MakeFrame();
    {
        auto document = AddDocument(L"Only", PatternPicture(64, 64), true);
        ASSERT_TRUE(frame->MenuEnabled(IDM_FILE_SAVE));
        SendMessageW(document->hWnd(), WM_CLOSE, 0, 0);
        EXPECT_FALSE(document->IsLoaded());
        // The window is gone but this reference keeps the object: not terminated yet.
        EXPECT_EQ(Forms::Count(), 1);
    }
    EXPECT_FALSE(frame->MenuEnabled(IDM_FILE_SAVE));
    EXPECT_FALSE(frame->ToolbarButtonEnabled(L"Save"));
}

TEST_F(DocumentWindowTest, ScrollBarsHaveTheirDesignValues) {
    MakeFrame();
    auto document = AddDocument(L"Design", PatternPicture(800, 600), true);
    for (ScrollBarControl* bar : {&document->hsbPic(), &document->vsbPic()}) {
        EXPECT_EQ(bar->Min(), 0);
        EXPECT_EQ(bar->SmallChange(), 30);
        EXPECT_EQ(bar->LargeChange(), 900);
    }
    EXPECT_FLOAT_EQ(document->hsbPic().Height(), 255.0f);
    EXPECT_FLOAT_EQ(document->vsbPic().Width(), 255.0f);
    const RECT horizontal = ScreenRect(document->hsbPic().hWnd());
    EXPECT_EQ(horizontal.bottom - horizontal.top, 17);
    // The horizontal bar runs along the bottom of the viewport.
    const RECT viewport = ScreenRect(document->picScroll().hWnd());
    EXPECT_EQ(horizontal.top, viewport.bottom);
    EXPECT_EQ(horizontal.left, viewport.left);
    EXPECT_EQ(horizontal.right, viewport.right);
}

// ---- Viewing: wheel, keys, thumbs, zoom and the status panel ----------------------------

namespace {

// One-pixel black-and-white checks: averaged, any part of it is grey.
Picture CheckerPicture(int width, int height) {
    Image checks{width, height, std::vector<std::uint32_t>(static_cast<std::size_t>(width) * height)};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) checks.pixels[static_cast<std::size_t>(y) * width + x] = (x + y) % 2 ? 0xFFFFFFu : 0u;
    return BitmapPicture(checks, false);
}

UINT SystemSetting(UINT action) {
    UINT value = 0;
    SystemParametersInfoW(action, 0, &value, 0);
    return value;
}

int CountWrongPixels(const Image& screen, const Image& picture, int offsetX, int offsetY, double zoom) {
    int wrong = 0;
    for (int y = 0; y < screen.height; ++y)
        for (int x = 0; x < screen.width; ++x)
            wrong += screen.At(x, y) != picture.At(static_cast<int>((x + offsetX) / zoom), static_cast<int>((y + offsetY) / zoom));
    return wrong;
}

LRESULT CALLBACK CountPaints(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR counter) {
    if (message == WM_PAINT) ++*reinterpret_cast<int*>(counter);
    return DefSubclassProc(window, message, wParam, lParam);
}

}  // namespace

class DocumentViewTest : public DocumentWindowTest {
protected:
    void Wheel(frmNabbet& document, int delta, WORD keys = 0, bool tilt = false, POINT at = {0, 0}) {
        SendMessageW(document.hWnd(), tilt ? WM_MOUSEHWHEEL : WM_MOUSEWHEEL, MAKEWPARAM(keys, delta),
                     MAKELPARAM(at.x, at.y));
    }
    // A key pressed while the document has the focus, through the program's message loop.
    void Press(frmNabbet& document, WORD key, bool control = false) {
        BYTE state[256]{};
        GetKeyboardState(state);
        const BYTE before = state[VK_CONTROL];
        state[VK_CONTROL] = control ? 0x80 : 0;
        SetKeyboardState(state);
        SetFocus(document.hWnd());
        PostMessageW(document.hWnd(), WM_KEYDOWN, key, 1);
        DoEvents();
        state[VK_CONTROL] = before;
        SetKeyboardState(state);
    }
    Image Viewport(frmNabbet& document, int width, int height) {
        UpdateWindow(frame->hWnd());
        DoEvents();
        const RECT viewport = ScreenRect(document.picScroll().hWnd());
        return ReadScreen(viewport.left, viewport.top, width, height);
    }
    int OffsetX(frmNabbet& document) { return document.hsbPic().Value() / 15; }
    int OffsetY(frmNabbet& document) { return document.vsbPic().Value() / 15; }
};

TEST_F(DocumentViewTest, WheelNotchesScrollByTheSystemsLinesOfTwentyPixelsShiftAndTiltSideways) {
    MakeFrame();
    auto document = AddDocument(L"Wheel", PatternPicture(1600, 1200), true);
    const int notch = static_cast<int>(SystemSetting(SPI_GETWHEELSCROLLLINES)) * 20;
    ASSERT_GT(notch, 0);
    for (int i = 0; i < 3; ++i) Wheel(*document, -WHEEL_DELTA);
    EXPECT_EQ(document->vsbPic().Value(), 3 * notch * 15);
    EXPECT_EQ(ChildOrigin(document->picNabbet().hWnd()).y, -3 * notch);
    const Image picture = ReadPicture(document->picNabbet().GetPicture());
    EXPECT_EQ(CountWrongPixels(Viewport(*document, 64, 64), picture, 0, 3 * notch, 1.0), 0);

    Wheel(*document, -WHEEL_DELTA, MK_SHIFT);
    EXPECT_EQ(document->hsbPic().Value(), notch * 15);
    EXPECT_EQ(document->vsbPic().Value(), 3 * notch * 15);
    const int tilt = static_cast<int>(SystemSetting(SPI_GETWHEELSCROLLCHARS)) * 20;
    Wheel(*document, WHEEL_DELTA, 0, true);
    EXPECT_EQ(document->hsbPic().Value(), (notch + tilt) * 15);
    // Past the top the picture stops at its edge.
    for (int i = 0; i < 10; ++i) Wheel(*document, WHEEL_DELTA);
    EXPECT_EQ(document->vsbPic().Value(), 0);
    EXPECT_EQ(ChildOrigin(document->picNabbet().hWnd()).y, 0);

    // With the focus on the frame the wheel still scrolls the active document.
    SendMessageW(frame->hWnd(), WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), 0);
    EXPECT_EQ(document->vsbPic().Value(), notch * 15);
}

TEST_F(DocumentViewTest, KeysScrollByTheBarsChangesAndReachTheEdgesAndCorners) {
    MakeFrame();
    auto document = AddDocument(L"Keys", PatternPicture(1600, 1200), true);
    ScrollBarControl& h = document->hsbPic();
    ScrollBarControl& v = document->vsbPic();
    Press(*document, VK_DOWN);
    Press(*document, VK_RIGHT);
    EXPECT_EQ(v.Value(), 30);
    EXPECT_EQ(h.Value(), 30);
    Press(*document, VK_NEXT);
    EXPECT_EQ(v.Value(), 930);
    Press(*document, VK_PRIOR);
    Press(*document, VK_UP);
    Press(*document, VK_LEFT);
    EXPECT_EQ(v.Value(), 0);
    EXPECT_EQ(h.Value(), 0);
    Press(*document, VK_END);
    EXPECT_EQ(v.Value(), v.Max());
    EXPECT_EQ(h.Value(), 0);
    Press(*document, VK_HOME);
    EXPECT_EQ(v.Value(), 0);
    Press(*document, VK_END, true);
    EXPECT_EQ(v.Value(), v.Max());
    EXPECT_EQ(h.Value(), h.Max());
    EXPECT_FLOAT_EQ(document->picNabbet().Left(), -static_cast<float>(h.Max()));
    Press(*document, VK_HOME, true);
    EXPECT_EQ(v.Value(), 0);
    EXPECT_EQ(h.Value(), 0);
}

TEST_F(DocumentViewTest, ThumbsAreAsLargeAsTheVisiblePartAndStillReachTheEnd) {
    MakeFrame();
    auto document = AddDocument(L"Thumbs", PatternPicture(1600, 1200), true);
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    ASSERT_TRUE(GetScrollInfo(document->hsbPic().hWnd(), SB_CTL, &info));
    EXPECT_EQ(static_cast<float>(info.nPage), document->picScroll().Width());
    EXPECT_EQ(info.nMax - static_cast<int>(info.nPage) + 1, document->hsbPic().Max());
    ASSERT_TRUE(GetScrollInfo(document->vsbPic().hWnd(), SB_CTL, &info));
    EXPECT_EQ(static_cast<float>(info.nPage), document->picScroll().Height());
    Scroll(*document, document->vsbPic(), SB_BOTTOM);
    EXPECT_EQ(GetScrollPos(document->vsbPic().hWnd(), SB_CTL), document->vsbPic().Max());
}

TEST_F(DocumentViewTest, ZoomStepsAboutTheCentreEnlargeWithSquarePixelsAndActualSizeGoesBack) {
    MakeFrame();
    auto document = AddDocument(L"Zoom", PatternPicture(800, 600), true);
    const Image picture = ReadPicture(document->picNabbet().GetPicture());
    const RECT viewport = ScreenRect(document->picScroll().hWnd());
    const int centreX = (viewport.right - viewport.left) / 2;
    frame->mnuViewZoomIn_Click();
    EXPECT_DOUBLE_EQ(document->Zoom(), 1.5);
    document->SetZoom(2.0);
    EXPECT_EQ(ScreenRect(document->picNabbet().hWnd()).right - ScreenRect(document->picNabbet().hWnd()).left, 1600);
    EXPECT_EQ(document->hsbPic().Max(), static_cast<std::int32_t>(1600 * 15 - document->picScroll().Width()));
    // About the centre: the picture pixel that was in the middle is still there.
    EXPECT_NEAR(OffsetX(*document) + centreX, 2 * centreX, 2);
    EXPECT_EQ(CountWrongPixels(Viewport(*document, 96, 96), picture, OffsetX(*document), OffsetY(*document), 2.0), 0);
    EXPECT_TRUE(messages.shown.empty());

    frame->mnuViewActualSize_Click();
    EXPECT_DOUBLE_EQ(document->Zoom(), 1.0);
    EXPECT_EQ(CountWrongPixels(Viewport(*document, 96, 96), picture, OffsetX(*document), OffsetY(*document), 1.0), 0);
    frame->mnuViewZoomOut_Click();
    EXPECT_DOUBLE_EQ(document->Zoom(), 0.75);
    // Save, Copy and Print take the document's picture: still the whole one.
    EXPECT_EQ(document->DocumentPicture().SizePixels().cx, 800);
    EXPECT_EQ(document->DocumentPicture().Bitmap(), document->picNabbet().GetPicture().Bitmap());
}

TEST_F(DocumentViewTest, AReducedPictureIsSmoothedNotSampled) {
    MakeFrame();
    auto document = AddDocument(L"Checks", CheckerPicture(400, 300), true);
    document->SetZoom(0.75);
    const RECT box = ScreenRect(document->picNabbet().hWnd());
    EXPECT_EQ(box.right - box.left, 300);
    const Image screen = Viewport(*document, 150, 120);
    int blended = 0;
    for (int y = 0; y < screen.height; ++y)
        for (int x = 0; x < screen.width; ++x) blended += screen.At(x, y) != 0 && screen.At(x, y) != 0xFFFFFF;
    // Sampling would show only black and white pixels; halftone blends most of them.
    EXPECT_GT(blended, screen.width * screen.height / 2);
}

TEST_F(DocumentViewTest, ControlWheelZoomsAboutThePointer) {
    MakeFrame();
    auto document = AddDocument(L"Pointer", PatternPicture(800, 600), true);
    document->SetScrollValue(document->hsbPic(), 60 * 15);
    document->SetScrollValue(document->vsbPic(), 30 * 15);
    const RECT viewport = ScreenRect(document->picScroll().hWnd());
    const POINT pointer{viewport.left + 100, viewport.top + 80};
    Wheel(*document, WHEEL_DELTA, MK_CONTROL, false, pointer);
    EXPECT_DOUBLE_EQ(document->Zoom(), 1.5);
    // Picture pixel (160, 110) was under the pointer and still is.
    EXPECT_EQ(OffsetX(*document), 160 * 3 / 2 - 100);
    EXPECT_EQ(OffsetY(*document), 110 * 3 / 2 - 80);
    const Image picture = ReadPicture(document->picNabbet().GetPicture());
    UpdateWindow(frame->hWnd());
    DoEvents();
    // At 150 % picture pixels are one or two screen pixels wide: the one shown is (160, 110)
    // or a neighbour whose wider half covers the pointer.
    const std::uint32_t shown = ReadScreen(pointer.x, pointer.y, 1, 1).At(0, 0);
    bool found = false;
    for (int y = 109; y <= 111; ++y)
        for (int x = 159; x <= 161; ++x) found = found || shown == picture.At(x, y);
    EXPECT_TRUE(found);
    Wheel(*document, -WHEEL_DELTA, MK_CONTROL, false, pointer);
    EXPECT_DOUBLE_EQ(document->Zoom(), 1.0);
    EXPECT_EQ(OffsetX(*document), 60);
    EXPECT_EQ(OffsetY(*document), 30);
}

TEST_F(DocumentViewTest, FitToWindowShowsTheWholePictureWithoutBarsAndNeverEnlarges) {
    MakeFrame();
    auto large = AddDocument(L"Large", PatternPicture(1600, 1200), true);
    large->SetScrollValue(large->vsbPic(), 3000);
    frame->mnuViewFitToWindow_Click();
    EXPECT_LT(large->Zoom(), 1.0);
    EXPECT_FALSE(IsWindowVisible(large->hsbPic().hWnd()));
    EXPECT_FALSE(IsWindowVisible(large->vsbPic().hWnd()));
    RECT client{};
    GetClientRect(large->hWnd(), &client);
    const RECT box = ScreenRect(large->picNabbet().hWnd());
    EXPECT_LE(box.right - box.left, client.right);
    EXPECT_LE(box.bottom - box.top, client.bottom);
    EXPECT_TRUE(box.right - box.left == client.right || box.bottom - box.top == client.bottom);
    EXPECT_EQ(ChildOrigin(large->picNabbet().hWnd()).y, 0);

    auto small = AddDocument(L"Small", PatternPicture(64, 48), true);
    frame->mnuViewFitToWindow_Click();
    EXPECT_DOUBLE_EQ(small->Zoom(), 1.0);
}

TEST_F(DocumentViewTest, EachDocumentKeepsItsZoomAndPanelFiveShowsTheActiveOne) {
    MakeFrame();
    EXPECT_EQ(frame->PanelText(5), L"");
    EXPECT_FALSE(frame->MenuEnabled(IDM_VIEW_ZOOMIN));
    EXPECT_FALSE(frame->MenuEnabled(IDM_VIEW_FITTOWINDOW));
    auto first = AddDocument(L"First", PatternPicture(800, 600), true);
    EXPECT_TRUE(frame->MenuEnabled(IDM_VIEW_ZOOMIN));
    EXPECT_TRUE(frame->MenuEnabled(IDM_VIEW_ACTUALSIZE));
    EXPECT_EQ(frame->PanelText(5), L"800 x 600 px  100%");
    first->SetZoom(2.0);
    EXPECT_EQ(frame->PanelText(5), L"800 x 600 px  200%");
    auto second = AddDocument(L"Second", PatternPicture(640, 480), true);
    EXPECT_DOUBLE_EQ(second->Zoom(), 1.0);
    EXPECT_EQ(frame->PanelText(5), L"640 x 480 px  100%");
    const std::int32_t firstValue = first->hsbPic().Value();
    Activate(*first);
    EXPECT_DOUBLE_EQ(first->Zoom(), 2.0);
    EXPECT_EQ(first->hsbPic().Value(), firstValue);
    EXPECT_EQ(frame->PanelText(5), L"800 x 600 px  200%");
    // Panels 1 to 4 keep their meanings.
    EXPECT_EQ(frame->PanelText(1), L"Ready");
    first->Unload();
    second->Unload();
    DoEvents();
    EXPECT_EQ(frame->PanelText(5), L"");
    EXPECT_FALSE(frame->MenuEnabled(IDM_VIEW_ZOOMOUT));
}

TEST_F(DocumentViewTest, ACommandStateThatChangesNothingDoesNotRepaintTheToolbar) {
    MakeFrame();
    int paints = 0;
    ASSERT_TRUE(SetWindowSubclass(frame->ToolbarWindow(), &CountPaints, 1, reinterpret_cast<DWORD_PTR>(&paints)));
    auto document = AddDocument(L"State", PatternPicture(64, 64), true);  // Save, Print, Copy come on
    EXPECT_GT(paints, 0);
    paints = 0;
    frame->SetAppState();
    DoEvents();
    EXPECT_EQ(paints, 0);
    EXPECT_TRUE(frame->ToolbarButtonEnabled(L"Save"));
    RemoveWindowSubclass(frame->ToolbarWindow(), &CountPaints, 1);
}

TEST_F(DocumentViewTest, ACommandStateThatChangesNothingRepaintsNoWindowOfTheFrame) {
    MakeFrame();
    DrawCounter counter;
    counter.Watch(frame->hWnd());
    frame->SetAppState();  // no document: the first call may still change the state
    DoEvents();
    counter.Reset();
    frame->SetAppState();
    DoEvents();
    EXPECT_EQ(counter.Total(), 0);

    auto document = AddDocument(L"State", PatternPicture(640, 480), true);
    UpdateWindow(frame->hWnd());
    DoEvents();
    counter.Watch(frame->hWnd());  // the document and its controls too
    counter.Reset();
    frame->SetAppState();
    DoEvents();
    EXPECT_EQ(counter.Total(), 0);
    EXPECT_TRUE(frame->MenuEnabled(IDM_VIEW_ZOOMIN));
    EXPECT_EQ(frame->PanelText(5), L"640 x 480 px  100%");
}

TEST_F(DocumentViewTest, ACapturedDocumentIsLaidOutOnceAndEachPartDrawsOnce) {
    MakeFrame();
    for (const bool hide : {true, false}) {
        SCOPED_TRACE(hide ? "frame hidden for the capture" : "frame left shown");
        gblnHideCaptureWin = hide;
        DrawCounter counter;
        counter.WatchNewWindows();
        frame->mnuCaptureScreen_Click();
        DoEvents();
        const auto document = std::dynamic_pointer_cast<frmNabbet>(frame->ActiveForm());
        ASSERT_TRUE(document);
        ASSERT_TRUE(IsWindowVisible(document->hsbPic().hWnd()));
        ASSERT_TRUE(IsWindowVisible(document->vsbPic().hWnd()));
        EXPECT_EQ(document->Layouts(), 1);
        EXPECT_EQ(counter.Paints(document->picNabbet().hWnd()), 1);
        // A bar of a look painted before (the second capture's) is painted from memory, which
        // the counter below the keeping does not see: at most one drawing of its own, and
        // nothing left to paint.
        for (const HWND bar : {document->hsbPic().hWnd(), document->vsbPic().hWnd()}) {
            if (hide) EXPECT_EQ(counter.Draws(bar), 1);  // the first capture: nothing kept yet
            EXPECT_LE(counter.Draws(bar), 1);
            EXPECT_FALSE(GetUpdateRect(bar, nullptr, FALSE));
        }
        // Drawn once, and right: the picture's corner in the viewport's corner.
        const Image picture = ReadPicture(document->picNabbet().GetPicture());
        EXPECT_EQ(CountWrongPixels(Viewport(*document, 96, 96), picture, 0, 0, 1.0), 0);
        frame->mnuWindowCloseAll_Click();
        DoEvents();
    }
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(DocumentViewTest, ScrollAndZoomStepsDrawEachBarOnceAndOnlyThePictureTheViewportShows) {
    MakeFrame();
    auto document = AddDocument(L"Steps", PatternPicture(1600, 1200), true);
    UpdateWindow(frame->hWnd());
    DoEvents();
    RECT viewport{};
    GetClientRect(document->picScroll().hWnd(), &viewport);
    const HWND box = document->picNabbet().hWnd();
    DrawCounter counter;
    counter.Watch(document->hWnd());
    const auto step = [&](const std::function<void()>& change) {
        counter.Reset();
        change();
        RedrawWindow(document->hWnd(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        EXPECT_LE(counter.Draws(document->hsbPic().hWnd()), 1);
        EXPECT_LE(counter.Draws(document->vsbPic().hWnd()), 1);
        EXPECT_EQ(counter.Paints(box), 1);
        return document->picNabbet().LastPaintSource();
    };

    // A wheel notch's 900 twips down: only the 60 exposed rows are read.
    RECT source = step([&] { document->SetScrollValue(document->vsbPic(), 900); });
    EXPECT_EQ(counter.Draws(document->vsbPic().hWnd()), 1);  // the thumb moved
    EXPECT_EQ(counter.Draws(document->hsbPic().hWnd()), 0);
    EXPECT_EQ(source.bottom - source.top, 60);
    EXPECT_EQ(source.bottom, 60 + viewport.bottom);

    // Reduced and enlarged: the source is the viewport's share of the picture, a pixel or
    // two of rounding aside, never the whole picture.
    for (const double zoom : {0.75, 1.5, 0.5}) {
        SCOPED_TRACE(zoom);
        source = step([&] { document->SetZoom(zoom); });
        EXPECT_LE(source.right - source.left, static_cast<LONG>(viewport.right / zoom) + 2);
        EXPECT_LE(source.bottom - source.top, static_cast<LONG>(viewport.bottom / zoom) + 2);
        EXPECT_GE(source.right - source.left, static_cast<LONG>(viewport.right / zoom) - 2);
        EXPECT_NEAR(source.left, OffsetX(*document) / zoom, 2);
        EXPECT_NEAR(source.top, OffsetY(*document) / zoom, 2);
    }
    EXPECT_TRUE(messages.shown.empty());
}
