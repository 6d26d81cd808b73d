// The window picker as a real window: the inverted frame that follows the pointer,
// what a release picks, and what it leaves open.
#include <gtest/gtest.h>

#include "Fakes.h"
#include "Image.h"
#include "PatternWindow.h"
#include "select/frmWindow.h"
#include "Wait.h"


namespace {

constexpr std::uint32_t kRed = Rgb(255, 0, 0);
constexpr std::uint32_t kBlue = Rgb(0, 0, 255);
constexpr std::uint32_t kCyan = Rgb(0, 255, 255);
constexpr std::uint32_t kYellow = Rgb(255, 255, 0);

// The colours across a window's left edge, three pixels of frame and one beyond.
struct EdgeSample {
    std::uint32_t at[4];
};

EdgeSample SampleLeftEdge(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    const int y = (r.top + r.bottom) / 2;
    const Image row = ReadScreen(RECT{r.left, y, r.left + 4, y + 1});
    return EdgeSample{{row.At(0, 0), row.At(1, 0), row.At(2, 0), row.At(3, 0)}};
}

bool Framed(HWND window, std::uint32_t inverted, std::uint32_t plain) {
    const EdgeSample s = SampleLeftEdge(window);
    return s.at[0] == inverted && s.at[1] == inverted && s.at[2] == inverted && s.at[3] == plain;
}

bool Plain(HWND window, std::uint32_t plain) {
    const EdgeSample s = SampleLeftEdge(window);
    return s.at[0] == plain && s.at[1] == plain && s.at[2] == plain && s.at[3] == plain;
}

class PickerTest : public FrameTest {
protected:
    std::shared_ptr<frmWindow> OpenPicker() {
        auto picker = NewForm<frmWindow>();
        picker->Show();
        Settle();
        return picker;
    }
    // The icon box's client coordinates of a screen point, as the move handler gets them.
    static POINT BoxPoint(const frmWindow& picker, int screenX, int screenY) {
        POINT p{screenX, screenY};
        ScreenToClient(picker.picDrag(), &p);
        return p;
    }
    void MoveTo(frmWindow& picker, int screenX, int screenY, int button = 1) {
        const POINT p = BoxPoint(picker, screenX, screenY);
        picker.picDrag_MouseMove(button, 0, static_cast<float>(p.x), static_cast<float>(p.y));
        Settle();
    }
};

}  // namespace

TEST_F(PickerTest, OpensWithTheIconInItsBoxAndNothingPicked) {
    auto picker = OpenPicker();
    EXPECT_EQ(picker->Caption(), L"Capture Selected Window");
    RECT client{};
    GetClientRect(picker->hWnd(), &client);
    EXPECT_EQ(client.right, 240);
    EXPECT_EQ(client.bottom, 86);
    EXPECT_NE(GetWindowLongPtrW(picker->hWnd(), GWL_STYLE) & WS_THICKFRAME, 0);
    EXPECT_EQ(picker->mlngHwndCaptured, nullptr);
    EXPECT_EQ(picker->FramedWindow(), nullptr);
    EXPECT_TRUE(picker->picDragShowsIcon());
    // The box is a real child window at its design place, showing the 32 x 32 cursor.
    RECT box{};
    GetWindowRect(picker->picDrag(), &box);
    MapWindowPoints(HWND_DESKTOP, picker->hWnd(), reinterpret_cast<POINT*>(&box), 2);
    EXPECT_EQ(box.left, 102);
    EXPECT_EQ(box.top, 41);
    EXPECT_EQ(box.right - box.left, 37);
    EXPECT_EQ(box.bottom - box.top, 33);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(picker->DragIcon(), &info));
    EXPECT_FALSE(info.fIcon);  // a cursor
    EXPECT_EQ(info.xHotspot, 13u);
    EXPECT_EQ(info.yHotspot, 9u);
    BITMAP mask{};
    GetObjectW(info.hbmMask, sizeof mask, &mask);
    EXPECT_EQ(mask.bmWidth, 32);
    EXPECT_EQ(info.hbmColor, nullptr);  // two colours: the mask holds both planes
    EXPECT_EQ(mask.bmHeight, 64);
    DeleteObject(info.hbmMask);
    // The icon is drawn in the box: its black outline shows among the box's pixels.
    RECT inner{};
    GetClientRect(picker->picDrag(), &inner);
    MapWindowPoints(picker->picDrag(), HWND_DESKTOP, reinterpret_cast<POINT*>(&inner), 2);
    const Image pixels = ReadScreen(inner);
    long black = 0;
    for (std::uint32_t c : pixels.pixels) black += c == Rgb(0, 0, 0) ? 1 : 0;
    EXPECT_GT(black, 30);
}

TEST_F(PickerTest, ExactlyOneFrameFollowsThePointerBetweenTwoWindows) {
    PatternWindow a(500, 100, 160, 120, {.colour = kRed});
    PatternWindow b(500, 350, 160, 120, {.colour = kBlue});
    auto picker = OpenPicker();
    ASSERT_TRUE(Plain(a.hWnd(), kRed));
    ASSERT_TRUE(Plain(b.hWnd(), kBlue));

    picker->picDrag_MouseDown(1, 0, 10, 10);
    EXPECT_EQ(GetCapture(), picker->picDrag());
    EXPECT_FALSE(picker->picDragShowsIcon());
    EXPECT_EQ(picker->MousePointer(), MousePointerCode::Custom);

    MoveTo(*picker, 560, 150);
    EXPECT_EQ(picker->mlngHwndCaptured, a.hWnd());
    EXPECT_TRUE(Framed(a.hWnd(), kCyan, kRed));
    EXPECT_TRUE(Plain(b.hWnd(), kBlue));

    MoveTo(*picker, 580, 160);  // within the same window: nothing drawn again
    EXPECT_TRUE(Framed(a.hWnd(), kCyan, kRed));

    MoveTo(*picker, 560, 400);
    EXPECT_EQ(picker->mlngHwndCaptured, b.hWnd());
    EXPECT_TRUE(Plain(a.hWnd(), kRed));
    EXPECT_TRUE(Framed(b.hWnd(), kYellow, kBlue));

    MoveTo(*picker, 520, 110);
    EXPECT_TRUE(Framed(a.hWnd(), kCyan, kRed));
    EXPECT_TRUE(Plain(b.hWnd(), kBlue));
    EXPECT_EQ(picker->FramedWindow(), a.hWnd());

    picker->picDrag_MouseUp(1, 0, 0, 0);
    Settle();
    EXPECT_FALSE(picker->Visible());
    EXPECT_TRUE(picker->IsLoaded());
    EXPECT_EQ(picker->mlngHwndCaptured, a.hWnd());
    EXPECT_EQ(picker->MousePointer(), MousePointerCode::Default);
    // The repaint of every window took the last frame off.
    EXPECT_TRUE(Plain(a.hWnd(), kRed));
    EXPECT_TRUE(Plain(b.hWnd(), kBlue));
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(PickerTest, ReleaseOverAControlPicksTheControlAndAnyButtonDrags) {
    PatternWindow dialog(500, 100, 200, 120, {.colour = Rgb(192, 192, 192)});
    const HWND button = dialog.AddButton(40, 40, 100, 30);
    auto picker = OpenPicker();
    picker->picDrag_MouseDown(2, 0, 10, 10);  // the right button drags as well
    RECT r{};
    GetWindowRect(button, &r);
    MoveTo(*picker, (r.left + r.right) / 2, (r.top + r.bottom) / 2, 2);
    EXPECT_EQ(picker->mlngHwndCaptured, button);
    picker->picDrag_MouseUp(2, 0, 0, 0);
    EXPECT_FALSE(picker->Visible());
    EXPECT_EQ(picker->mlngHwndCaptured, button);
}

TEST_F(PickerTest, MovesWithoutAPressAndAPressWithoutMovingPickNothing) {
    PatternWindow a(500, 100, 160, 120, {.colour = kRed});
    auto picker = OpenPicker();
    MoveTo(*picker, 560, 150);  // no capture: the pointer merely passes over the box
    EXPECT_EQ(picker->mlngHwndCaptured, nullptr);
    EXPECT_TRUE(Plain(a.hWnd(), kRed));

    // Through the box's window: a press and a release on the same spot, with the
    // repeated position the system may send in between.
    const HWND box = picker->picDrag();
    SendMessageW(box, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(8, 8));
    SendMessageW(box, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(8, 8));
    SendMessageW(box, WM_LBUTTONUP, 0, MAKELPARAM(8, 8));
    EXPECT_NE(GetCapture(), box);
    EXPECT_TRUE(picker->Visible());
    EXPECT_FALSE(picker->picDragShowsIcon());
    EXPECT_EQ(picker->mlngHwndCaptured, nullptr);
    // The drag pointer stays over the picker.
    SendMessageW(picker->hWnd(), WM_SETCURSOR, reinterpret_cast<WPARAM>(picker->hWnd()),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(GetCursor(), picker->DragIcon());

    // A new press starts a new drag that can pick.
    SendMessageW(box, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(8, 8));
    const POINT over = BoxPoint(*picker, 560, 150);
    SendMessageW(box, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(over.x, over.y));
    SendMessageW(box, WM_LBUTTONUP, 0, MAKELPARAM(over.x, over.y));
    EXPECT_EQ(picker->mlngHwndCaptured, a.hWnd());
    EXPECT_FALSE(picker->Visible());
}

TEST_F(PickerTest, ASecondOpeningStartsWithNothingPicked) {
    PatternWindow a(500, 100, 160, 120, {.colour = kRed});
    auto picker = OpenPicker();
    picker->picDrag_MouseDown(1, 0, 10, 10);
    MoveTo(*picker, 560, 150);
    picker->picDrag_MouseUp(1, 0, 0, 0);
    ASSERT_EQ(picker->mlngHwndCaptured, a.hWnd());
    picker->Unload();
    picker->Show();
    Settle();
    EXPECT_EQ(picker->mlngHwndCaptured, nullptr);
    EXPECT_EQ(picker->FramedWindow(), nullptr);
    EXPECT_TRUE(picker->picDragShowsIcon());
    EXPECT_TRUE(Plain(a.hWnd(), kRed));
}

TEST_F(PickerTest, InvertingTwiceRestoresAndWindowZeroDrawsNothing) {
    PatternWindow a(500, 100, 160, 120, {.colour = kRed});
    Settle();
    const RECT screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    const Image before = ReadScreen(screen);
    InvertWindowFrame(nullptr);
    Settle();
    EXPECT_EQ(CountDifferences(ReadScreen(screen), before), 0);
    InvertWindowFrame(a.hWnd());
    Settle();
    // A three-pixel frame inside a 160 x 120 window (the pen's round joins may leave
    // the outermost pixel of each corner alone); inside it nothing changes.
    const long framed = CountDifferences(ReadScreen(screen), before);
    EXPECT_GE(framed, 160 * 120 - 154 * 114 - 4);
    EXPECT_LE(framed, 160 * 120 - 154 * 114);
    const Image inside = ReadScreen(RECT{503, 103, 657, 217});
    long insideChanged = 0;
    for (std::uint32_t c : inside.pixels) insideChanged += c != kRed ? 1 : 0;
    EXPECT_EQ(insideChanged, 0);
    EXPECT_EQ(ReadScreen(RECT{502, 102, 503, 103}).At(0, 0), kCyan);
    InvertWindowFrame(a.hWnd());
    Settle();
    EXPECT_EQ(CountDifferences(ReadScreen(screen), before), 0);
}
