// The document window on a real frame: activation, layout, scrolling, painting and
// termination, read back from the windows and from the screen.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include <windows.h>

#include "Fakes.h"
#include "Image.h"
#include "Pattern.h"
#include "capture/basScreen.h"
#include "document/frmNabbet.h"
#include "resource.h"

namespace {

// A device-format bitmap holding the test pattern, wrapped as a captured picture is.
Picture PatternPicture(int width, int height) {
    return PictureFromBitmap(DeviceBitmap(PatternImage(width, height)), nullptr);
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

TEST_F(DocumentWindowTest, ActivationAfterScrollingShowsTheCornerAgainWhileTheBarsKeepTheirThumbs) {
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

    EXPECT_FLOAT_EQ(first->picNabbet().Left(), 0.0f);
    EXPECT_FLOAT_EQ(first->picNabbet().Top(), 0.0f);
    EXPECT_EQ(ChildOrigin(first->picNabbet().hWnd()).x, 0);
    EXPECT_EQ(ChildOrigin(first->picNabbet().hWnd()).y, 0);
    EXPECT_EQ(first->hsbPic().Value(), 900);
    EXPECT_EQ(first->vsbPic().Value(), 30);
    EXPECT_EQ(GetScrollPos(first->hsbPic().hWnd(), SB_CTL), 900);
    EXPECT_EQ(GetScrollPos(first->vsbPic().hWnd(), SB_CTL), 30);

    // The next change puts the picture at minus the bar's new value.
    Scroll(*first, first->hsbPic(), SB_LINERIGHT);
    EXPECT_FLOAT_EQ(first->picNabbet().Left(), -930.0f);
    EXPECT_EQ(ChildOrigin(first->picNabbet().hWnd()).x, -62);
    EXPECT_FLOAT_EQ(first->picNabbet().Top(), 0.0f);
}

TEST_F(DocumentWindowTest, DraggedThumbMovesThePictureOnlyWhenReleased) {
    MakeFrame();
    auto document = AddDocument(L"Drag", PatternPicture(800, 600), true);
    SetScrollPos(document->vsbPic().hWnd(), SB_CTL, 450, TRUE);
    Scroll(*document, document->vsbPic(), SB_THUMBTRACK);
    EXPECT_EQ(document->vsbPic().Value(), 0);
    EXPECT_FLOAT_EQ(document->picNabbet().Top(), 0.0f);
    Scroll(*document, document->vsbPic(), SB_THUMBPOSITION);
    EXPECT_EQ(document->vsbPic().Value(), 450);
    EXPECT_FLOAT_EQ(document->picNabbet().Top(), -450.0f);
    EXPECT_EQ(ChildOrigin(document->picNabbet().hWnd()).y, -30);
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
