// The rectangle selector as a real window: its handlers, its input routing, its
// painting over the frozen screen.
#include <gtest/gtest.h>

#include "Fakes.h"
#include "Image.h"
#include "PatternProcess.h"
#include "PatternWindow.h"
#include "select/frmRectangle.h"
#include "Wait.h"


namespace {

float Px(int pixels) { return static_cast<float>(pixels) * 15.0f; }

std::uint32_t Inverted(std::uint32_t c) { return Rgb(255 - RedOf(c), 255 - GreenOf(c), 255 - BlueOf(c)); }

class WideScreen final : public IScreenService {
public:
    int WidthPixels() override { return 3000; }
    int HeightPixels() override { return 800; }
    float TwipsPerPixelX() override { return 15.0f; }
    float TwipsPerPixelY() override { return 15.0f; }
};

// Sets the selector's magnifier switch for one test.
class MagnifierSwitch {
public:
    explicit MagnifierSwitch(bool on) : saved_(frmRectangle::ShowMagnifier) { frmRectangle::ShowMagnifier = on; }
    ~MagnifierSwitch() { frmRectangle::ShowMagnifier = saved_; }
    MagnifierSwitch(const MagnifierSwitch&) = delete;
    MagnifierSwitch& operator=(const MagnifierSwitch&) = delete;

private:
    bool saved_;
};

class SelectorTest : public FrameTest {
protected:
    std::shared_ptr<frmRectangle> OpenSelector() {
        auto selector = NewForm<frmRectangle>(frame.get());
        selector->Show();
        DoEvents();
        return selector;
    }
};

}  // namespace

TEST_F(SelectorTest, OpensOverTheWholeScreenWithHiddenControlsAndCrosshair) {
    auto selector = OpenSelector();
    RECT r{};
    GetWindowRect(selector->hWnd(), &r);
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.right, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(r.bottom, GetSystemMetrics(SM_CYSCREEN));
    const LONG_PTR style = GetWindowLongPtrW(selector->hWnd(), GWL_STYLE);
    const LONG_PTR exStyle = GetWindowLongPtrW(selector->hWnd(), GWL_EXSTYLE);
    EXPECT_EQ(style & (WS_CAPTION | WS_THICKFRAME | WS_BORDER), 0);
    EXPECT_NE(exStyle & WS_EX_TOOLWINDOW, 0);  // not in the taskbar
    EXPECT_FALSE(selector->lblSelect.Visible);
    EXPECT_FALSE(selector->shpSelect.Visible);
    EXPECT_EQ(selector->lblSelect.Caption, L"0 x 0");
    EXPECT_FLOAT_EQ(selector->shpSelect.Left, 1433.0f);
    EXPECT_FLOAT_EQ(selector->shpSelect.Width, 1815.0f);
    EXPECT_FLOAT_EQ(selector->lblSelect.Left, 1790.0f);
    EXPECT_FLOAT_EQ(selector->lblSelect.Width, 1100.0f);
    EXPECT_EQ(selector->MousePointer(), MousePointerCode::Crosshair);
    const SIZE frozen = selector->BackgroundPicture().SizePixels();
    EXPECT_EQ(frozen.cx, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(frozen.cy, GetSystemMetrics(SM_CYSCREEN));
    // The application-wide pointer: the selector answers WM_SETCURSOR with the crosshair.
    SendMessageW(selector->hWnd(), WM_SETCURSOR, reinterpret_cast<WPARAM>(selector->hWnd()),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_CROSS));
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(SelectorTest, LeftPressMoveAndReleaseDriveBandAndReadout) {
    auto selector = OpenSelector();
    selector->Form_MouseDown(1, 0, Px(100), Px(50));
    EXPECT_EQ(selector->Anchor().X, 1500);
    EXPECT_EQ(selector->Anchor().Y, 750);
    EXPECT_TRUE(selector->shpSelect.Visible);
    EXPECT_TRUE(selector->lblSelect.Visible);
    EXPECT_FLOAT_EQ(selector->shpSelect.Width, 0.0f);
    EXPECT_FLOAT_EQ(selector->lblSelect.Left, Px(100) - 550.0f);
    EXPECT_EQ(selector->lblSelect.Caption, L"0 x 0");  // the press leaves the caption alone

    selector->Form_MouseMove(1, 0, Px(200), Px(100));
    EXPECT_FLOAT_EQ(selector->shpSelect.Left, Px(100));
    EXPECT_FLOAT_EQ(selector->shpSelect.Top, Px(50));
    EXPECT_FLOAT_EQ(selector->shpSelect.Width, Px(100));
    EXPECT_FLOAT_EQ(selector->shpSelect.Height, Px(50));
    EXPECT_EQ(selector->lblSelect.Caption, L"100 x 50");
    EXPECT_FLOAT_EQ(selector->lblSelect.Left, Px(150) - 550.0f);
    EXPECT_FLOAT_EQ(selector->lblSelect.Top, Px(75) - 90.0f);

    // Moves without the left button change nothing; with it and another, they act.
    selector->Form_MouseMove(2, 0, Px(400), Px(400));
    selector->Form_MouseMove(0, 0, Px(400), Px(400));
    EXPECT_EQ(selector->lblSelect.Caption, L"100 x 50");
    selector->Form_MouseMove(1 | 4, 0, Px(40), Px(30));
    EXPECT_FLOAT_EQ(selector->shpSelect.Left, Px(40));
    EXPECT_FLOAT_EQ(selector->shpSelect.Width, Px(60));
    EXPECT_EQ(selector->lblSelect.Caption, L"60 x 20");

    selector->Form_MouseUp(1, 0, Px(40), Px(30));
    EXPECT_TRUE(selector->IsLoaded());
    EXPECT_FALSE(selector->Visible());
    EXPECT_EQ(selector->MousePointer(), MousePointerCode::Default);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(SelectorTest, PlainKeysAndOtherPressesChangeNothingShiftAloneAndModifierKeysCancel) {
    MakeFrame();
    frame->Hide();
    auto selector = OpenSelector();
    selector->Form_MouseDown(2, 0, Px(10), Px(10));
    selector->Form_MouseDown(4, 0, Px(10), Px(10));
    selector->Form_MouseMove(2, 0, Px(30), Px(30));
    selector->Form_MouseUp(4, 0, Px(30), Px(30));
    selector->Form_KeyDown('A', 0);
    selector->Form_KeyDown(VK_F1, 0);
    // Shift may begin a step of ten: its press alone does not cancel, nor does a
    // release after an arrow.
    selector->Form_KeyDown(VK_SHIFT, 1);
    selector->Form_KeyDown(VK_LEFT, 1);
    selector->Form_KeyUp(VK_SHIFT, 0);
    EXPECT_TRUE(selector->Visible());
    EXPECT_FALSE(selector->shpSelect.Visible);
    EXPECT_FALSE(selector->lblSelect.Visible);
    EXPECT_EQ(selector->Anchor().X, 0);
    EXPECT_FALSE(frame->Visible());

    // Shift pressed and released on its own.
    selector->Form_KeyDown(VK_SHIFT, 1);
    EXPECT_TRUE(selector->IsLoaded());
    selector->Form_KeyUp(VK_SHIFT, 0);
    EXPECT_FALSE(selector->IsLoaded());
    EXPECT_EQ(selector->MousePointer(), MousePointerCode::Default);
    EXPECT_TRUE(frame->Visible());

    const struct {
        int key;
        int shift;
    } cancelling[] = {{'A', 1},     {'Q', 2},      {VK_CONTROL, 2}, {VK_LEFT, 2},
                      {VK_RETURN, 4}, {VK_MENU, 4}, {'X', 1 | 2 | 4}};
    for (const auto& c : cancelling) {
        frame->Hide();
        auto again = OpenSelector();
        again->Form_KeyDown(c.key, c.shift);
        EXPECT_FALSE(again->IsLoaded()) << c.key << " " << c.shift;
        EXPECT_TRUE(frame->Visible()) << c.key << " " << c.shift;
    }
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(SelectorTest, EscAndTheRightButtonCancelBeforeAndDuringADrag) {
    MakeFrame();
    const struct {
        bool dragging;
        bool escape;
    } cases[] = {{false, true}, {true, true}, {false, false}, {true, false}};
    for (const auto& c : cases) {
        frame->Hide();
        auto selector = OpenSelector();
        const HWND window = selector->hWnd();
        if (c.dragging) {
            SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(300, 200));
            SendMessageW(window, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(350, 260));
            ASSERT_EQ(selector->lblSelect.Caption, L"50 x 60");
        }
        if (c.escape) {
            SendMessageW(window, WM_KEYDOWN, VK_ESCAPE, 0);
        } else {
            // A release whose press came before the selector opened is no click on it; the
            // press still leaves the selector up; the release backs out.
            SendMessageW(window, WM_RBUTTONUP, 0, MAKELPARAM(350, 260));
            EXPECT_TRUE(selector->IsLoaded());
            SendMessageW(window, WM_RBUTTONDOWN, MK_RBUTTON | (c.dragging ? MK_LBUTTON : 0), MAKELPARAM(350, 260));
            EXPECT_TRUE(selector->IsLoaded());
            SendMessageW(window, WM_RBUTTONUP, c.dragging ? MK_LBUTTON : 0, MAKELPARAM(350, 260));
        }
        EXPECT_FALSE(selector->IsLoaded()) << c.dragging << c.escape;
        EXPECT_EQ(GetCapture(), nullptr) << c.dragging << c.escape;
        EXPECT_TRUE(frame->Visible()) << c.dragging << c.escape;
    }
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(SelectorTest, ArrowsMoveThePointerAndEnterOrSpaceTakeARectangleWithoutTheMouse) {
    for (const WPARAM button : {WPARAM{VK_RETURN}, WPARAM{VK_SPACE}}) {
        SetCursorPos(5, 80);
        auto selector = OpenSelector();
        const HWND window = selector->hWnd();
        BYTE saved[256];
        GetKeyboardState(saved);
        const auto key = [&](WPARAM code, bool shift) {
            BYTE keys[256];
            std::copy(std::begin(saved), std::end(saved), keys);
            keys[VK_SHIFT] = shift ? 0x80 : 0;
            SetKeyboardState(keys);
            if (shift) SendMessageW(window, WM_KEYDOWN, VK_SHIFT, 0);
            SendMessageW(window, WM_KEYDOWN, code, 0);
            SendMessageW(window, WM_KEYUP, code, 0xC0000001);
            SetKeyboardState(saved);
            if (shift) SendMessageW(window, WM_KEYUP, VK_SHIFT, 0xC0000001);
        };
        // Before the press: 10 left with Shift, stopped by the desktop's edge at 0; 3 right,
        // 1 up, 10 down with Shift.
        key(VK_LEFT, true);
        for (int i = 0; i < 3; ++i) key(VK_RIGHT, false);
        key(VK_UP, false);
        key(VK_DOWN, true);
        POINT cursor{};
        GetCursorPos(&cursor);
        EXPECT_EQ(cursor.x, 3);
        EXPECT_EQ(cursor.y, 89);
        key(button, false);
        // During: 30 + 7 right, 20 + 1 down; the move messages the pointer sends carry no
        // button, and the band follows them all the same.
        for (int i = 0; i < 3; ++i) key(VK_RIGHT, true);
        for (int i = 0; i < 7; ++i) key(VK_RIGHT, false);
        key(VK_DOWN, true);
        key(VK_DOWN, true);
        key(VK_DOWN, false);
        DoEvents();
        EXPECT_EQ(selector->lblSelect.Caption, L"37 x 21");
        key(button, false);
        EXPECT_TRUE(selector->IsLoaded());
        EXPECT_FALSE(selector->Visible());
        const PixelRect taken = BandPixels(selector->shpSelect.Geometry(), 15.0f, 15.0f);
        EXPECT_EQ(taken.Left, 3);
        EXPECT_EQ(taken.Top, 89);
        EXPECT_EQ(taken.Width, 37);
        EXPECT_EQ(taken.Height, 21);
        selector->Unload();
    }
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(SelectorTest, WindowMessagesReachTheHandlersWithCaptureWhileTheLeftButtonIsHeld) {
    auto selector = OpenSelector();
    const HWND window = selector->hWnd();
    SendMessageW(window, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(5, 5));
    EXPECT_FALSE(selector->shpSelect.Visible);
    SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(300, 200));
    EXPECT_EQ(GetCapture(), window);
    EXPECT_TRUE(selector->shpSelect.Visible);
    SendMessageW(window, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(250, 260));
    EXPECT_EQ(selector->lblSelect.Caption, L"50 x 60");
    SendMessageW(window, WM_MBUTTONUP, MK_LBUTTON, MAKELPARAM(250, 260));
    SendMessageW(window, WM_KEYDOWN, 'A', 0);  // no modifier held
    EXPECT_TRUE(selector->Visible());
    SendMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(250, 260));
    EXPECT_NE(GetCapture(), window);
    EXPECT_FALSE(selector->Visible());
    EXPECT_TRUE(selector->IsLoaded());
}

TEST_F(SelectorTest, KeyWithModifierHeldCancelsThroughTheWindow) {
    auto selector = OpenSelector();
    BYTE saved[256];
    GetKeyboardState(saved);
    BYTE keys[256];
    std::copy(std::begin(saved), std::end(saved), keys);
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    SendMessageW(selector->hWnd(), WM_KEYDOWN, 'Q', 0);
    SetKeyboardState(saved);
    EXPECT_FALSE(selector->IsLoaded());
}

TEST_F(SelectorTest, PressBeyondPixel2184OnAWideScreenWorks) {
    WideScreen wide;
    SetScreenService(&wide);
    auto selector = NewForm<frmRectangle>();
    selector->Load();
    selector->Form_MouseDown(1, 0, Px(2500), Px(700));
    selector->Form_MouseMove(1, 0, Px(2600), Px(750));
    const BandAnchor anchor = selector->Anchor();
    const TwipsRect band = selector->shpSelect.Geometry();
    const std::wstring caption = selector->lblSelect.Caption;
    const bool shown = selector->shpSelect.Visible && selector->lblSelect.Visible;
    selector->Unload();
    SetScreenService(nullptr);
    EXPECT_TRUE(messages.shown.empty()) << (messages.shown.empty() ? "" : "error shown");
    EXPECT_EQ(anchor.X, 37500);
    EXPECT_EQ(anchor.Y, 10500);
    EXPECT_TRUE(shown);
    EXPECT_FLOAT_EQ(band.Left, Px(2500));
    EXPECT_FLOAT_EQ(band.Width, Px(100));
    EXPECT_EQ(caption, L"100 x 50");
}

TEST_F(SelectorTest, PaintsTheFrozenScreenWithAnInvertedBandAndTheReadout) {
    // Only the band and the readout here; the loupe has its own test.
    MagnifierSwitch off(false);
    PatternWindow pattern(200, 150, 256, 200);
    Settle();
    const RECT screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    const Image before = ReadScreen(screen);
    ASSERT_EQ(before.At(200, 150), PatternColour(0, 0));
    ASSERT_EQ(before.At(455, 349), PatternColour(255, 199));
    auto selector = OpenSelector();
    // The pattern window goes away: the selector still shows it, from memory.
    DestroyWindow(pattern.hWnd());
    Settle();
    EXPECT_EQ(CountDifferences(ReadScreen(screen), before), 0);

    selector->Form_MouseDown(1, 0, Px(220), Px(160));
    selector->Form_MouseMove(1, 0, Px(420), Px(300));
    Settle();
    const Image during = ReadScreen(screen);
    // The outline runs on both edges of the band: columns 220 and 420, rows 160 and 300.
    EXPECT_EQ(during.At(220, 200), Inverted(before.At(220, 200)));
    EXPECT_EQ(during.At(420, 200), Inverted(before.At(420, 200)));
    EXPECT_EQ(during.At(300, 160), Inverted(before.At(300, 160)));
    EXPECT_EQ(during.At(300, 300), Inverted(before.At(300, 300)));
    EXPECT_EQ(during.At(221, 200), before.At(221, 200));
    EXPECT_EQ(during.At(419, 170), before.At(419, 170));
    // The readout: 73 x 12 pixels centred on the band, white behind the text.
    const RECT readout = PaintedPixelBounds(selector->lblSelect, false);
    EXPECT_EQ(readout.left, 320 - 37);
    EXPECT_EQ(readout.right - readout.left, 73);
    EXPECT_EQ(readout.bottom - readout.top, 12);
    EXPECT_EQ(during.At(readout.left + 1, readout.bottom - 1), Rgb(255, 255, 255));
    long dark = 0;
    for (int y = readout.top; y < readout.bottom; ++y)
        for (int x = readout.left; x < readout.right; ++x)
            if (RedOf(during.At(x, y)) < 128) ++dark;
    EXPECT_GT(dark, 20);  // the text "200 x 140"

    // Moving on: the old outline is gone, the new one is drawn, nothing else changed.
    selector->Form_MouseMove(1, 0, Px(300), Px(200));
    Settle();
    const Image after = ReadScreen(screen);
    EXPECT_EQ(after.At(420, 250), before.At(420, 250));
    EXPECT_EQ(after.At(300, 180), Inverted(before.At(300, 180)));
    long changed = 0;
    const RECT newReadout = PaintedPixelBounds(selector->lblSelect, false);
    for (int y = 0; y < after.height; ++y)
        for (int x = 0; x < after.width; ++x) {
            const POINT p{x, y};
            if (PtInRect(&newReadout, p)) continue;
            if (after.At(x, y) != before.At(x, y)) ++changed;
        }
    // Only the outline of 81 x 41 pixels differs: 2 * 81 + 2 * 39 pixels.
    EXPECT_EQ(changed, 2 * 81 + 2 * 39);
}

TEST_F(SelectorTest, TheLoupeEnlargesTheFrozenScreenUnderThePointerAndFollowsIt) {
    MagnifierSwitch on(true);
    PatternWindow pattern(200, 150, 256, 200);
    Settle();
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    const RECT screen{0, 0, width, height};
    const Image before = ReadScreen(screen);
    const auto pointAt = [](frmRectangle& selector, int x, int y) {
        SetCursorPos(x, y);
        SendMessageW(selector.hWnd(), WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
        Settle();
    };
    SetCursorPos(300, 200);
    auto selector = OpenSelector();
    // The pattern window goes: the loupe still shows it, from the frozen screen.
    DestroyWindow(pattern.hWnd());
    pointAt(*selector, 300, 200);
    const Image shown = ReadScreen(screen);
    const frmRectangle::LoupeLayout loupe = selector->Loupe();
    ASSERT_TRUE(loupe.visible);
    ASSERT_EQ(loupe.zoom, 8);  // 96 DPI
    // 16 pixels below and right of the pointer.
    EXPECT_EQ(loupe.bounds.left, 316);
    EXPECT_EQ(loupe.bounds.top, 216);
    EXPECT_EQ(loupe.cells.right - loupe.cells.left, 15 * 8);
    // Scaled back, cell by cell (its centre; the grid runs on its first row and column).
    long differ = 0;
    for (int j = 0; j < 15; ++j)
        for (int i = 0; i < 15; ++i)
            if (shown.At(loupe.cells.left + i * 8 + 4, loupe.cells.top + j * 8 + 4) != before.At(293 + i, 193 + j))
                ++differ;
    EXPECT_EQ(differ, 0);
    const std::uint32_t under = before.At(300, 200);
    EXPECT_EQ(loupe.caption, LoupeCaption(300, 200, RedOf(under), GreenOf(under), BlueOf(under)));
    long dark = 0;
    for (int y = loupe.cells.bottom; y < loupe.bounds.bottom - 1; ++y)
        for (int x = loupe.bounds.left + 1; x < loupe.bounds.right - 1; ++x)
            if (RedOf(shown.At(x, y)) < 128) ++dark;
    EXPECT_GT(dark, 30);  // the caption's text on white
    long elsewhere = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (!PtInRect(&loupe.bounds, POINT{x, y}) && shown.At(x, y) != before.At(x, y)) ++elsewhere;
    EXPECT_EQ(elsewhere, 0);

    // In the bottom-right corner it changes sides; beyond the desktop it shows black, and
    // where it was the frozen screen is back.
    pointAt(*selector, width - 4, height - 8);
    const Image corner = ReadScreen(screen);
    const frmRectangle::LoupeLayout flipped = selector->Loupe();
    EXPECT_EQ(flipped.bounds.right, width - 4 - 16);
    EXPECT_EQ(flipped.bounds.bottom, height - 8 - 16);
    EXPECT_EQ(corner.At(flipped.cells.left + 6 * 8 + 4, flipped.cells.top + 2 * 8 + 4),
              before.At(width - 4 - 7 + 6, height - 8 - 7 + 2));
    EXPECT_EQ(corner.At(flipped.cells.left + 12 * 8 + 4, flipped.cells.top + 2 * 8 + 4), Rgb(0, 0, 0));
    long stale = 0;
    for (int y = loupe.bounds.top; y < loupe.bounds.bottom; ++y)
        for (int x = loupe.bounds.left; x < loupe.bounds.right; ++x)
            if (corner.At(x, y) != before.At(x, y)) ++stale;
    EXPECT_EQ(stale, 0);
}

TEST_F(SelectorTest, AClickWithoutMovingTakesTheWindowOrControlUnderItOrTheMonitorAndADragItsBand) {
    MagnifierSwitch off(false);
    // Another program's window with a button; in front of it one of Pixelnab's own, which
    // is not what a capture is for.
    PatternProcess other(400, 300, 200, 150, 20, 30, 80, 24);
    ASSERT_NE(other.hWnd(), nullptr);
    PatternWindow own(450, 380, 100, 50, {.topmost = true});
    Settle();
    const int dragX = GetSystemMetrics(SM_CXDRAG);
    const int dragY = GetSystemMetrics(SM_CYDRAG);
    const RECT window{400, 300, 600, 450};
    const struct {
        const char* what;
        POINT press, release;
        bool detour;  // by way of (300, 200) between press and release
        RECT taken;
        const wchar_t* outlined;  // the readout while hovering; none where nothing is outlined
    } cases[] = {
        {"the window", {410, 310}, {410, 310}, false, window, L"200 x 150"},
        {"its bottom-right pixel", {599, 449}, {599, 449}, false, window, L"200 x 150"},
        {"the window under Pixelnab's own", {500, 400}, {500, 400}, false, window, L"200 x 150"},
        {"its button", {420, 353}, {420, 353}, false, {420, 330, 500, 354}, L"80 x 24"},
        {"no window: the monitor", {600, 450}, {600, 450}, false,
         {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}, nullptr},
        {"a move within the drag distance", {410, 310}, {410 + dragX, 310 - dragY}, false, window, L"200 x 150"},
        {"a drag beyond it", {410, 310}, {410 - dragX - 1, 310}, false, {410 - dragX - 1, 310, 410, 310},
         L"200 x 150"},
        {"a drag back to the press", {410, 310}, {410, 310}, true, {410, 310, 410, 310}, L"200 x 150"},
    };
    for (const auto& c : cases) {
        SetCursorPos(c.press.x, c.press.y);
        auto selector = OpenSelector();
        const HWND h = selector->hWnd();
        SendMessageW(h, WM_MOUSEMOVE, 0, MAKELPARAM(c.press.x, c.press.y));
        EXPECT_EQ(selector->shpSelect.Visible, c.outlined != nullptr) << c.what;
        if (c.outlined != nullptr) {
            EXPECT_EQ(selector->lblSelect.Caption, c.outlined) << c.what;
        }
        SendMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(c.press.x, c.press.y));
        if (c.detour) SendMessageW(h, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(300, 200));
        SendMessageW(h, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(c.release.x, c.release.y));
        SendMessageW(h, WM_LBUTTONUP, 0, MAKELPARAM(c.release.x, c.release.y));
        EXPECT_FALSE(selector->Visible()) << c.what;
        const PixelRect taken = BandPixels(selector->shpSelect.Geometry(), 15.0f, 15.0f);
        EXPECT_EQ(taken.Left, c.taken.left) << c.what;
        EXPECT_EQ(taken.Top, c.taken.top) << c.what;
        EXPECT_EQ(taken.Width, c.taken.right - c.taken.left) << c.what;
        EXPECT_EQ(taken.Height, c.taken.bottom - c.taken.top) << c.what;
        selector->Unload();
    }
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(SelectorTest, TheOutlineFollowsThePointerFromWindowToControlRepaintingOnlyItsEdges) {
    MagnifierSwitch off(false);
    PatternProcess other(400, 300, 200, 150, 20, 30, 80, 24);
    ASSERT_NE(other.hWnd(), nullptr);
    const RECT screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    SetCursorPos(10, 10);
    const Image before = ReadScreen(screen);
    auto selector = OpenSelector();
    const auto pointAt = [&](int x, int y) {
        SetCursorPos(x, y);
        SendMessageW(selector->hWnd(), WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
        Settle();
    };
    pointAt(410, 310);
    const Image window = ReadScreen(screen);
    // Drawn like the band: on the window's left and top edges and one pixel past its right
    // and bottom ones.
    EXPECT_EQ(window.At(400, 375), Inverted(before.At(400, 375)));
    EXPECT_EQ(window.At(600, 375), Inverted(before.At(600, 375)));
    EXPECT_EQ(window.At(500, 300), Inverted(before.At(500, 300)));
    EXPECT_EQ(window.At(500, 450), Inverted(before.At(500, 450)));
    EXPECT_EQ(window.At(401, 375), before.At(401, 375));

    pointAt(430, 340);
    const Image button = ReadScreen(screen);
    const RECT readout = PaintedPixelBounds(selector->lblSelect, false);
    long changed = 0;
    for (int y = 0; y < button.height; ++y)
        for (int x = 0; x < button.width; ++x)
            if (!PtInRect(&readout, POINT{x, y}) && button.At(x, y) != before.At(x, y)) ++changed;
    // Only the button's outline of 81 x 25 pixels is left: the window's is gone.
    EXPECT_EQ(changed, 2 * 81 + 2 * 23);
    EXPECT_EQ(button.At(420, 340), Inverted(before.At(420, 340)));
    EXPECT_EQ(button.At(400, 375), before.At(400, 375));
    EXPECT_EQ(selector->lblSelect.Caption, L"80 x 24");
}
