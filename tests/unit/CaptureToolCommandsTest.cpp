// Capture Rectangle and Capture Window from the menu handler to the new document, with
// the selection tools driven through their windows inside the modal display.
#include <gtest/gtest.h>

#include <string>

#include "app/HotkeyDialog.h"
#include "document/frmNabbet.h"
#include "Fakes.h"
#include "Image.h"
#include "ModalDriver.h"
#include "PatternWindow.h"
#include "select/frmRectangle.h"
#include "select/frmWindow.h"
#include "Wait.h"
#include "resource.h"


namespace {

// Ends whatever tool is open, so that a stuck script never hangs the test.
void CloseTools() {
    if (auto selector = FindLoaded<frmRectangle>()) selector->Unload();
    if (auto picker = FindLoaded<frmWindow>()) picker->Unload();
}

template <class T>
std::shared_ptr<T> VisibleTool() {
    auto tool = FindLoaded<T>();
    return tool && tool->Visible() ? tool : nullptr;
}

class CaptureToolCommandsTest : public FrameTest {
protected:
    std::vector<std::shared_ptr<frmNabbet>> Documents() {
        std::vector<std::shared_ptr<frmNabbet>> found;
        for (int i = 0; i < Forms::Count(); ++i)
            if (auto document = std::dynamic_pointer_cast<frmNabbet>(Forms::Item(i))) found.push_back(document);
        return found;
    }
    // The frame is above the cover: the point in the middle of both belongs to the frame.
    bool FrameIsOnTopAt(POINT point) {
        const HWND hit = WindowFromPoint(point);
        return hit == frame->hWnd() || IsChild(frame->hWnd(), hit);
    }
};

}  // namespace

TEST_F(CaptureToolCommandsTest, RectangleCopiesTheDraggedPixelsExactly) {
    MakeFrame();
    gblnHideCaptureWin = true;
    PatternWindow pattern(300, 200, 256, 200, {.topmost = true});
    Settle();
    const Image screenBefore = ReadScreen(RECT{320, 210, 420, 260});
    ASSERT_EQ(screenBefore.At(0, 0), PatternColour(20, 10));

    bool frameHiddenWhileSelecting = false;
    ModalDriver script(
        {[&] {
             auto selector = VisibleTool<frmRectangle>();
             if (!selector) return false;
             frameHiddenWhileSelecting = !frame->Visible();
             const HWND window = selector->hWnd();
             PostMouse(window, WM_LBUTTONDOWN, MK_LBUTTON, 320, 210);
             PostMouse(window, WM_MOUSEMOVE, MK_LBUTTON, 380, 240);
             PostMouse(window, WM_MOUSEMOVE, MK_LBUTTON, 420, 260);
             PostMouse(window, WM_LBUTTONUP, 0, 420, 260);
             return true;
         }},
        CloseTools);
    frame->mnuCaptureRectangle_Click();
    ASSERT_FALSE(script.TimedOut());
    EXPECT_TRUE(frameHiddenWhileSelecting);

    const auto documents = Documents();
    ASSERT_EQ(documents.size(), 1u);
    EXPECT_EQ(documents[0]->Caption(), L"Nabbet1");
    EXPECT_EQ(gintCaptureCount, 1);
    const Image captured = ReadPicture(documents[0]->picNabbet().GetPicture());
    ASSERT_EQ(captured.width, 100);
    ASSERT_EQ(captured.height, 50);
    EXPECT_EQ(CountDifferences(captured, screenBefore), 0);
    EXPECT_EQ(captured.At(99, 49), PatternColour(119, 59));
    EXPECT_FALSE(FindLoaded<frmRectangle>());  // unloaded once the picture was assigned
    EXPECT_TRUE(frame->Visible());
    EXPECT_TRUE(IsWindowEnabled(frame->hWnd()));
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(CaptureToolCommandsTest, CancelledSelectionGivesNoDocumentAndTheRaisedFrameTakesTheNextCommand) {
    MakeFrame();
    gblnHideCaptureWin = true;
    RECT frameRect{};
    GetWindowRect(frame->hWnd(), &frameRect);
    const POINT middle{(frameRect.left + frameRect.right) / 2, (frameRect.top + frameRect.bottom) / 2};
    PatternWindow cover(middle.x - 50, middle.y - 50, 100, 100, {.colour = Rgb(0, 128, 0)});
    ASSERT_FALSE(FrameIsOnTopAt(middle));

    BYTE savedKeys[256];
    GetKeyboardState(savedKeys);
    ModalDriver script(
        {[&] {
             auto selector = VisibleTool<frmRectangle>();
             if (!selector) return false;
             SendMessageW(selector->hWnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(100, 100));
             SendMessageW(selector->hWnd(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(200, 200));
             // Alt held with any key: the system key message cancels.
             BYTE keys[256];
             std::copy(std::begin(savedKeys), std::end(savedKeys), keys);
             keys[VK_MENU] = 0x80;
             SetKeyboardState(keys);
             SendMessageW(selector->hWnd(), WM_SYSKEYDOWN, 'Z', 1 << 29);
             SetKeyboardState(savedKeys);
             // The user's next command, typed before the program has caught up.
             PostMessageW(frame->hWnd(), WM_COMMAND, IDM_CAPTURE_SCREEN, 0);
             return true;
         }},
        CloseTools);
    frame->mnuCaptureRectangle_Click();
    SetKeyboardState(savedKeys);
    ASSERT_FALSE(script.TimedOut());
    EXPECT_TRUE(Documents().empty());
    EXPECT_EQ(Forms::Count(), 1);
    EXPECT_EQ(gintCaptureCount, 0);
    EXPECT_TRUE(frame->Visible());
    EXPECT_TRUE(FrameIsOnTopAt(middle));
    EXPECT_FALSE(frame->MenuEnabled(IDM_FILE_SAVE));  // command state recomputed: no documents
    EXPECT_TRUE(messages.shown.empty());
    // Back in the program's loop, that command runs: it was not swallowed by the cancelled one.
    DoEvents();
    const auto documents = Documents();
    ASSERT_EQ(documents.size(), 1u);
    EXPECT_EQ(documents[0]->Caption(), L"Nabbet1");
}

TEST_F(CaptureToolCommandsTest, OtherButtonsAndPlainKeysLeaveTheSelectorOpenAndADragBackToThePressConfirmsZero) {
    MakeFrame();
    bool stillOpen = false;
    bool bandHidden = false;
    std::wstring caption;
    std::shared_ptr<frmRectangle> seen;
    ModalDriver script(
        {[&] {
             seen = VisibleTool<frmRectangle>();
             if (!seen) return false;
             const HWND window = seen->hWnd();
             // The right button's press and drag (its release cancels), the middle button,
             // keys with no arrow, Enter, Space or Esc among them.
             PostMouse(window, WM_RBUTTONDOWN, MK_RBUTTON, 50, 50);
             PostMouse(window, WM_MOUSEMOVE, MK_RBUTTON, 90, 90);
             PostMouse(window, WM_MBUTTONDOWN, MK_MBUTTON, 60, 60);
             PostMouse(window, WM_MOUSEMOVE, MK_MBUTTON, 80, 95);
             PostMouse(window, WM_MBUTTONUP, 0, 80, 95);
             PostMessageW(window, WM_KEYDOWN, VK_F5, 1);
             PostMessageW(window, WM_KEYDOWN, 'K', 1);
             return true;
         },
         [&] {
             stillOpen = seen->Visible();
             bandHidden = !seen->shpSelect.Visible && !seen->lblSelect.Visible;
             PostMouse(seen->hWnd(), WM_LBUTTONDOWN, MK_LBUTTON, 30, 40);
             return true;
         },
         [&] {
             caption = seen->lblSelect.Caption;
             // Out beyond the drag distance and back: a drag of nothing, not a click (which
             // would take the monitor).
             PostMouse(seen->hWnd(), WM_MOUSEMOVE, MK_LBUTTON, 90, 90);
             PostMouse(seen->hWnd(), WM_MOUSEMOVE, MK_LBUTTON, 30, 40);
             PostMouse(seen->hWnd(), WM_LBUTTONUP, 0, 30, 40);
             return true;
         }},
        CloseTools);
    frame->mnuCaptureRectangle_Click();
    ASSERT_FALSE(script.TimedOut());
    EXPECT_TRUE(stillOpen);
    EXPECT_TRUE(bandHidden);
    EXPECT_EQ(caption, L"0 x 0");
    const auto documents = Documents();
    ASSERT_EQ(documents.size(), 1u);
    // A zero-size capture holds what the platform makes of it: a 1 x 1 bitmap.
    const SIZE size = documents[0]->picNabbet().GetPicture().SizePixels();
    EXPECT_LE(size.cx, 1);
    EXPECT_LE(size.cy, 1);
    EXPECT_EQ(gintCaptureCount, 1);
}

TEST_F(CaptureToolCommandsTest, CountOverflowLeavesNoHiddenToolAndTheFrameVisible) {
    MakeFrame();
    gblnHideCaptureWin = true;
    gintCaptureCount = 32767;
    ModalDriver script(
        {[&] {
             auto selector = VisibleTool<frmRectangle>();
             if (!selector) return false;
             PostMouse(selector->hWnd(), WM_LBUTTONDOWN, MK_LBUTTON, 10, 10);
             PostMouse(selector->hWnd(), WM_LBUTTONUP, 0, 20, 20);
             return true;
         }},
        CloseTools);
    frame->mnuCaptureRectangle_Click();
    ASSERT_FALSE(script.TimedOut());
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, L"Error #: 6\rOverflow");
    EXPECT_EQ(gintCaptureCount, 32767);
    EXPECT_TRUE(Documents().empty());
    EXPECT_FALSE(FindLoaded<frmRectangle>());
    EXPECT_EQ(Forms::Count(), 1);
    EXPECT_TRUE(frame->Visible());
}

TEST_F(CaptureToolCommandsTest, WindowCopiesThePickedWindow) {
    MakeFrame();
    gblnHideCaptureWin = true;
    PatternWindow pattern(600, 420, 256, 200, {.topmost = true});
    Settle();
    const Image screenBefore = ReadScreen(RECT{600, 420, 856, 620});
    ASSERT_EQ(screenBefore.At(0, 0), PatternColour(0, 0));
    HWND framedDuringDrag = nullptr;
    ModalDriver script(
        {[&] {
             auto picker = VisibleTool<frmWindow>();
             if (!picker) return false;
             // The real pointer rests where the press is, so it makes no move of its own.
             POINT press{10, 10};
             ClientToScreen(picker->picDrag(), &press);
             SetCursorPos(press.x, press.y);
             return true;
         },
         [&] {
             auto picker = FindLoaded<frmWindow>();
             const HWND box = picker->picDrag();
             PostMouse(box, WM_LBUTTONDOWN, MK_LBUTTON, 10, 10);
             POINT over{700, 500};
             ScreenToClient(box, &over);
             PostMouse(box, WM_MOUSEMOVE, MK_LBUTTON, over.x, over.y);
             return true;
         },
         [&] {
             auto picker = FindLoaded<frmWindow>();
             framedDuringDrag = picker->FramedWindow();
             POINT over{710, 505};
             ScreenToClient(picker->picDrag(), &over);
             PostMouse(picker->picDrag(), WM_LBUTTONUP, 0, over.x, over.y);
             return true;
         }},
        CloseTools);
    frame->mnuCaptureWindow_Click();
    ASSERT_FALSE(script.TimedOut());
    EXPECT_EQ(framedDuringDrag, pattern.hWnd());
    const auto documents = Documents();
    ASSERT_EQ(documents.size(), 1u);
    EXPECT_EQ(documents[0]->Caption(), L"Nabbet1");
    const Image captured = ReadPicture(documents[0]->picNabbet().GetPicture());
    ASSERT_EQ(captured.width, 256);
    ASSERT_EQ(captured.height, 200);
    // The frame the drag drew is gone before the copy: every pixel is the window's own.
    EXPECT_EQ(CountDifferences(captured, screenBefore), 0);
    EXPECT_FALSE(FindLoaded<frmWindow>());
    EXPECT_TRUE(frame->Visible());
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(CaptureToolCommandsTest, PickerClosedWithoutAPickGivesNoDocument) {
    MakeFrame();
    gblnHideCaptureWin = true;
    bool openAfterClick = false;
    bool boxEmpty = false;
    HWND picked = reinterpret_cast<HWND>(1);
    ModalDriver script(
        {[&] {
             auto picker = VisibleTool<frmWindow>();
             if (!picker) return false;
             POINT press{12, 12};
             ClientToScreen(picker->picDrag(), &press);
             SetCursorPos(press.x, press.y);
             return true;
         },
         [&] {
             auto picker = FindLoaded<frmWindow>();
             PostMouse(picker->picDrag(), WM_LBUTTONDOWN, MK_LBUTTON, 12, 12);
             PostMouse(picker->picDrag(), WM_LBUTTONUP, 0, 12, 12);
             return true;
         },
         [&] {
             auto picker = FindLoaded<frmWindow>();
             openAfterClick = picker->Visible();
             boxEmpty = !picker->picDragShowsIcon();
             picked = picker->mlngHwndCaptured;
             PostMessageW(picker->hWnd(), WM_CLOSE, 0, 0);
             return true;
         }},
        CloseTools);
    frame->mnuCaptureWindow_Click();
    ASSERT_FALSE(script.TimedOut());
    EXPECT_TRUE(openAfterClick);
    EXPECT_TRUE(boxEmpty);
    EXPECT_EQ(picked, nullptr);
    EXPECT_TRUE(Documents().empty());
    EXPECT_EQ(gintCaptureCount, 0);
    EXPECT_EQ(Forms::Count(), 1);
    EXPECT_TRUE(frame->Visible());
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(CaptureToolCommandsTest, LastRectangleRetakesTheConfirmedRectangleAlsoAfterARestart) {
    MakeFrame();
    gblnHideCaptureWin = true;
    // Clear of the frame's default place: the frame of the second run is not hidden over it
    // and no exposure has to be repainted before the capture.
    PatternWindow pattern(10, 10, 200, 150, {.topmost = true});
    Settle();
    EXPECT_FALSE(frame->MenuEnabled(IDM_CAPTURE_LASTRECTANGLE));
    ModalDriver script(
        {[&] {
             auto selector = VisibleTool<frmRectangle>();
             if (!selector) return false;
             PostMouse(selector->hWnd(), WM_LBUTTONDOWN, MK_LBUTTON, 30, 20);
             PostMouse(selector->hWnd(), WM_MOUSEMOVE, MK_LBUTTON, 130, 70);
             PostMouse(selector->hWnd(), WM_LBUTTONUP, 0, 130, 70);
             return true;
         }},
        CloseTools);
    frame->mnuCaptureRectangle_Click();
    ASSERT_FALSE(script.TimedOut());
    // Stored in desktop pixels: the selector's client origin is the desktop's top-left.
    const int left = GetSystemMetrics(SM_XVIRTUALSCREEN);
    const int top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    EXPECT_EQ(settings.Value(L"LastRectangle"), std::to_wstring(left + 30) + L"," + std::to_wstring(top + 20) +
                                                    L"," + std::to_wstring(left + 130) + L"," +
                                                    std::to_wstring(top + 70));
    EXPECT_TRUE(frame->MenuEnabled(IDM_CAPTURE_LASTRECTANGLE));

    frame->mnuCaptureLastRectangle_Click();
    auto documents = Documents();
    ASSERT_EQ(documents.size(), 2u);
    EXPECT_EQ(documents[1]->Caption(), L"Nabbet2");
    const Image selected = ReadPicture(documents[0]->picNabbet().GetPicture());
    const Image again = ReadPicture(documents[1]->picNabbet().GetPicture());
    ASSERT_EQ(again.width, 100);
    ASSERT_EQ(again.height, 50);
    EXPECT_EQ(CountDifferences(again, selected), 0);

    // The next run reads it back from the store.
    CloseEverything();
    gintCaptureCount = 0;
    MakeFrame();
    Settle();
    EXPECT_TRUE(frame->MenuEnabled(IDM_CAPTURE_LASTRECTANGLE));
    frame->mnuCaptureLastRectangle_Click();
    documents = Documents();
    ASSERT_EQ(documents.size(), 1u);
    EXPECT_EQ(documents[0]->Caption(), L"Nabbet1");
    EXPECT_EQ(CountDifferences(ReadPicture(documents[0]->picNabbet().GetPicture()), selected), 0);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(CaptureToolCommandsTest, ExtendDownIsForARectanglesDocumentAndAddsNothingUnlessTheContentMoved) {
    MakeFrame();
    gblnHideCaptureWin = true;
    PatternWindow pattern(10, 10, 200, 150, {.topmost = true});
    Settle();
    ModalDriver script(
        {[&] {
             auto selector = VisibleTool<frmRectangle>();
             if (!selector) return false;
             PostMouse(selector->hWnd(), WM_LBUTTONDOWN, MK_LBUTTON, 30, 20);
             PostMouse(selector->hWnd(), WM_MOUSEMOVE, MK_LBUTTON, 130, 70);
             PostMouse(selector->hWnd(), WM_LBUTTONUP, 0, 130, 70);
             return true;
         }},
        CloseTools);
    frame->mnuCaptureRectangle_Click();
    ASSERT_FALSE(script.TimedOut());
    auto documents = Documents();
    ASSERT_EQ(documents.size(), 1u);
    EXPECT_TRUE(frame->MenuEnabled(IDM_CAPTURE_EXTENDDOWN));

    // The pattern has not moved: nothing is added, no undo step, no message.
    frame->mnuCaptureExtendDown_Click();
    EXPECT_EQ(documents[0]->Model()->PicturePixels().Height(), 50);
    EXPECT_FALSE(documents[0]->Model()->CanUndo());
    EXPECT_TRUE(messages.shown.empty());

    // Cropped, the picture no longer fits its rectangle: said, and left as it is.
    documents[0]->Model()->Select({0, 0, 60, 50});
    documents[0]->Model()->CropToSelection();
    frame->mnuCaptureExtendDown_Click();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(documents[0]->Model()->PicturePixels().Width(), 60);

    // A screen capture is no rectangle's document: greyed while it is active.
    frame->mnuCaptureScreen_Click();
    EXPECT_FALSE(frame->MenuEnabled(IDM_CAPTURE_EXTENDDOWN));
}

TEST_F(CaptureToolCommandsTest, LastRectangleOffTodaysScreensGivesTheMessageAndNoDocument) {
    settings.Set(L"LastRectangle", L"1,2,3");  // garbage: no last rectangle
    MakeFrame();
    EXPECT_FALSE(frame->MenuEnabled(IDM_CAPTURE_LASTRECTANGLE));
    CloseEverything();

    // Taken on a monitor that is gone: nothing of it on today's desktop.
    const int right = GetSystemMetrics(SM_XVIRTUALSCREEN) + GetSystemMetrics(SM_CXVIRTUALSCREEN);
    settings.Set(L"LastRectangle", std::to_wstring(right) + L",0," + std::to_wstring(right + 200) + L",100");
    MakeFrame();
    ASSERT_TRUE(frame->MenuEnabled(IDM_CAPTURE_LASTRECTANGLE));
    frame->mnuCaptureLastRectangle_Click();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, L"The last rectangle lies outside today's screens.");
    // The hotkey finds the same.
    frame->Hotkey_Pressed(static_cast<int>(HotkeyCommand::LastRectangle));
    EXPECT_EQ(messages.shown.size(), 2u);
    EXPECT_TRUE(Documents().empty());
    EXPECT_EQ(gintCaptureCount, 0);
    EXPECT_TRUE(frame->Visible());
}
