// The capture engine: the pixel copy from the screen, the palette branch and
// the ownership of bitmaps and palettes.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <vector>

#include <windows.h>

#include "capture/basScreen.h"
#include "Fakes.h"
#include "Image.h"
#include "PatternWindow.h"
#include "ProcessResources.h"
#include "Wait.h"
#include "platform/windows/Form.h"
#include "platform/windows/PaintWait.h"
#include "platform/rules/RuntimeError.h"

namespace {

void ExpectRect(const RECT& actual, LONG left, LONG top, LONG right, LONG bottom) {
    EXPECT_EQ(actual.left, left);
    EXPECT_EQ(actual.top, top);
    EXPECT_EQ(actual.right, right);
    EXPECT_EQ(actual.bottom, bottom);
}

}  // namespace

TEST(PaletteDisplay, OnlyA256EntryPaletteDeviceCounts) {
    EXPECT_TRUE(IsPaletteDisplay(RC_PALETTE | RC_BITBLT, 256));
    EXPECT_FALSE(IsPaletteDisplay(RC_PALETTE, 16));
    EXPECT_FALSE(IsPaletteDisplay(RC_BITBLT, 256));
    EXPECT_FALSE(IsPaletteDisplay(RC_BITBLT, 0));
}

// Captures of real windows under the test display, compared pixel for pixel.
class ScreenCaptureTest : public FrameTest {
protected:
    void TearDown() override {
        pattern.reset();
        FrameTest::TearDown();
    }
    void ShowPattern(int x, int y, int width, int height) {
        pattern = std::make_unique<PatternWindow>(
            x, y, width, height, PatternWindowOptions{.topmost = true, .activate = true, .toolWindow = true, .show = false});
        pattern->ShowAndPaint();
    }
    std::unique_ptr<PatternWindow> pattern;
};

TEST_F(ScreenCaptureTest, AreaOfTheDesktopIsCopiedExactly) {
    ShowPattern(100, 80, 200, 150);
    const Picture picture = CaptureWindowArea(GetDesktopWindow(), false, 100, 80, 200, 150);
    ASSERT_FALSE(picture.IsEmpty());
    EXPECT_EQ(picture.Palette(), nullptr);
    const Image image = ReadPicture(picture);
    ASSERT_EQ(image.width, 200);
    ASSERT_EQ(image.height, 150);
    EXPECT_EQ(pattern->CountDifferences(image, 0, 0, 200, 150, 0, 0), 0);
    EXPECT_TRUE(messages.shown.empty());
}

// The selector reads the screen on a thread of its own while it makes its window ready:
// the same pixels as a capture on the window's thread, and a reading it never takes (a
// selector whose window could not be made) leaves no bitmap behind.
TEST_F(ScreenCaptureTest, AReadingOnAThreadOfItsOwnGivesTheSamePixelsAndLeavesNothingUntaken) {
    ShowPattern(100, 80, 200, 150);
    DesktopAreaReading reading(EdgeRect{100, 80, 300, 230});
    const Image image = ReadPicture(reading.Take());
    ASSERT_EQ(image.width, 200);
    ASSERT_EQ(image.height, 150);
    EXPECT_EQ(pattern->CountDifferences(image, 0, 0, 200, 150, 0, 0), 0);
    const long before = CountGdiObjects();
    { DesktopAreaReading untaken(EdgeRect{0, 0, 640, 480}); }
    EXPECT_EQ(CountGdiObjects(), before);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(ScreenCaptureTest, WindowByHandleTakesItsWholeRectangle) {
    ShowPattern(120, 90, 211, 133);
    const Picture picture = CaptureWindowByHandle(pattern->hWnd());
    const Image image = ReadPicture(picture);
    ASSERT_EQ(image.width, 211);
    ASSERT_EQ(image.height, 133);
    EXPECT_EQ(pattern->CountDifferences(image, 0, 0, 211, 133, 0, 0), 0);
}

TEST_F(ScreenCaptureTest, WindowOverTheLeftAndTopEdgesGivesOnlyItsVisiblePart) {
    ShowPattern(-30, -20, 200, 150);
    const Image image = ReadPicture(CaptureWindowByHandle(pattern->hWnd()));
    ASSERT_EQ(image.width, 170);
    ASSERT_EQ(image.height, 130);
    EXPECT_EQ(pattern->CountDifferences(image, 0, 0, 170, 130, 30, 20), 0);
}

TEST_F(ScreenCaptureTest, WindowOverTheRightAndBottomEdgesGivesOnlyItsVisiblePart) {
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    ShowPattern(screenWidth - 50, screenHeight - 40, 200, 150);
    const Image image = ReadPicture(CaptureWindowByHandle(pattern->hWnd()));
    ASSERT_EQ(image.width, 50);
    ASSERT_EQ(image.height, 40);
    EXPECT_EQ(pattern->CountDifferences(image, 0, 0, 50, 40, 0, 0), 0);
}

TEST_F(ScreenCaptureTest, WholeScreenHasTheScreensSizeAndItsPixels) {
    ShowPattern(400, 300, 123, 77);
    const Image image = ReadPicture(CaptureWholeScreen());
    ASSERT_EQ(image.width, GetSystemMetrics(SM_CXSCREEN));
    ASSERT_EQ(image.height, GetSystemMetrics(SM_CYSCREEN));
    EXPECT_EQ(pattern->CountDifferences(image, 400, 300, 123, 77, 0, 0), 0);
}

TEST_F(ScreenCaptureTest, ZeroHandleGivesAZeroSizeCaptureWithoutAnError) {
    const Picture picture = CaptureWindowByHandle(nullptr);
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_FALSE(picture.IsEmpty());
    const SIZE size = picture.SizePixels();
    // The platform's answer to a 0 x 0 request: at most its 1 x 1 default bitmap.
    EXPECT_LE(size.cx, 1);
    EXPECT_LE(size.cy, 1);
}

namespace {

int WINAPI PaletteDeviceCaps(HDC dc, int index) {
    if (index == RASTERCAPS) return GetDeviceCaps(dc, RASTERCAPS) | RC_PALETTE;
    if (index == SIZEPALETTE) return 256;
    return GetDeviceCaps(dc, index);
}

int WINAPI SixteenColourPaletteCaps(HDC dc, int index) {
    if (index == RASTERCAPS) return GetDeviceCaps(dc, RASTERCAPS) | RC_PALETTE;
    if (index == SIZEPALETTE) return 16;
    return GetDeviceCaps(dc, index);
}

HRESULT WINAPI FailingPictureCreator(PICTDESC*, REFIID, BOOL, void** result) {
    *result = nullptr;
    return E_OUTOFMEMORY;
}

struct SeamReset {
    ~SeamReset() {
        basScreenSeams::SetDeviceCapsReader(nullptr);
        PictureSeams::SetPictureCreator(nullptr);
    }
};

}  // namespace

TEST_F(ScreenCaptureTest, PaletteDisplayPictureCarriesACopyOfTheSystemPalette) {
    SeamReset reset;
    basScreenSeams::SetDeviceCapsReader(&PaletteDeviceCaps);
    const Picture picture = CaptureWindowArea(GetDesktopWindow(), false, 0, 0, 16, 16);
    ASSERT_FALSE(picture.IsEmpty());
    const HPALETTE palette = picture.Palette();
    ASSERT_NE(palette, nullptr);
    WORD entries = 0;
    ASSERT_EQ(GetObjectW(palette, sizeof entries, &entries), static_cast<int>(sizeof entries));
    EXPECT_EQ(entries, 256);

    // The entries are those the system palette held, over a zero-filled block.
    PALETTEENTRY expected[256]{};
    const HDC screen = GetWindowDC(GetDesktopWindow());
    GetSystemPaletteEntries(screen, 0, 256, expected);
    ReleaseDC(GetDesktopWindow(), screen);
    PALETTEENTRY actual[256]{};
    ASSERT_EQ(GetPaletteEntries(palette, 0, 256, actual), 256u);
    for (int i = 0; i < 256; ++i) {
        EXPECT_EQ(actual[i].peRed, expected[i].peRed) << i;
        EXPECT_EQ(actual[i].peGreen, expected[i].peGreen) << i;
        EXPECT_EQ(actual[i].peBlue, expected[i].peBlue) << i;
    }
}

TEST_F(ScreenCaptureTest, PaletteDeviceOfAnotherSizeIsTreatedAsTrueColour) {
    SeamReset reset;
    basScreenSeams::SetDeviceCapsReader(&SixteenColourPaletteCaps);
    const Picture picture = CaptureWindowArea(GetDesktopWindow(), false, 0, 0, 16, 16);
    ASSERT_FALSE(picture.IsEmpty());
    EXPECT_EQ(picture.Palette(), nullptr);
}

TEST(PictureOwningBitmap, PictureOwnsItsBitmapAndPaletteAndFreesThem) {
    const HDC screen = GetDC(nullptr);
    const HBITMAP bitmap = CreateCompatibleBitmap(screen, 8, 8);
    ReleaseDC(nullptr, screen);
    struct {
        WORD version, count;
        PALETTEENTRY entries[2];
    } block{0x300, 2, {{1, 2, 3, 0}, {4, 5, 6, 0}}};
    const HPALETTE palette = CreatePalette(reinterpret_cast<LOGPALETTE*>(&block));
    {
        const Picture picture = PictureOwningBitmap(bitmap, palette);
        ASSERT_FALSE(picture.IsEmpty());
        EXPECT_EQ(picture.Type(), PICTYPE_BITMAP);
        EXPECT_EQ(picture.Bitmap(), bitmap);
        EXPECT_EQ(picture.Palette(), palette);
        EXPECT_EQ(picture.SizePixels().cx, 8);
        EXPECT_EQ(GetObjectType(bitmap), static_cast<DWORD>(OBJ_BITMAP));
    }
    EXPECT_EQ(GetObjectType(bitmap), 0u);
    EXPECT_EQ(GetObjectType(palette), 0u);
}

TEST(PictureOwningBitmap, HandlesAreFreedAndTheFailureRaisedWhenNoPictureCanBeMade) {
    SeamReset reset;
    PictureSeams::SetPictureCreator(&FailingPictureCreator);
    const HDC screen = GetDC(nullptr);
    const HBITMAP bitmap = CreateCompatibleBitmap(screen, 8, 8);
    ReleaseDC(nullptr, screen);
    struct {
        WORD version, count;
        PALETTEENTRY entries[1];
    } block{0x300, 1, {{1, 2, 3, 0}}};
    const HPALETTE palette = CreatePalette(reinterpret_cast<LOGPALETTE*>(&block));
    ASSERT_NE(GetObjectType(bitmap), 0u);
    try {
        PictureOwningBitmap(bitmap, palette);
        ADD_FAILURE() << "no error raised";
    } catch (const RuntimeError& error) {
        EXPECT_EQ(error.Number(), static_cast<std::int32_t>(E_OUTOFMEMORY));
    }
    EXPECT_EQ(GetObjectType(bitmap), 0u);
    EXPECT_EQ(GetObjectType(palette), 0u);
}

TEST_F(ScreenCaptureTest, ACaptureWhosePictureCannotBeMadeSaysSoAndGivesNoPicture) {
    SeamReset reset;
    PictureSeams::SetPictureCreator(&FailingPictureCreator);
    const Picture picture = CaptureWindowArea(GetDesktopWindow(), false, 0, 0, 16, 16);
    EXPECT_TRUE(picture.IsEmpty());
    // Reported, not an empty picture passed off as a capture.
    EXPECT_EQ(messages.shown.size(), 1u);
}

TEST_F(ScreenCaptureTest, AnAreaPartlyOffTheDesktopKeepsItsSizeAndThePartOffItIsBlack) {
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    const auto offPixels = [](const Image& image, int left, int top, int right, int bottom) {
        int lit = 0;
        for (int y = 0; y < image.height; ++y)
            for (int x = 0; x < image.width; ++x)
                if (x < left || x >= right || y < top || y >= bottom) lit += image.At(x, y) != 0;
        return lit;
    };
    ShowPattern(screenWidth - 60, screenHeight - 50, 60, 50);
    Image image = ReadPicture(CaptureDesktopArea(EdgeRect{screenWidth - 60, screenHeight - 50, screenWidth + 40,
                                                          screenHeight + 30}));
    ASSERT_EQ(image.width, 100);
    ASSERT_EQ(image.height, 80);
    EXPECT_EQ(pattern->CountDifferences(image, 0, 0, 60, 50, 0, 0), 0);
    EXPECT_EQ(offPixels(image, 0, 0, 60, 50), 0);

    ShowPattern(0, 0, 50, 40);
    image = ReadPicture(CaptureDesktopArea(EdgeRect{-30, -20, 50, 40}));
    ASSERT_EQ(image.width, 80);
    ASSERT_EQ(image.height, 60);
    EXPECT_EQ(pattern->CountDifferences(image, 30, 20, 50, 40, 0, 0), 0);
    EXPECT_EQ(offPixels(image, 30, 20, 80, 60), 0);

    // Wholly off the desktop: all black, still of the size asked for.
    image = ReadPicture(CaptureDesktopArea(EdgeRect{screenWidth + 10, 0, screenWidth + 30, 10}));
    ASSERT_EQ(image.width, 20);
    EXPECT_EQ(offPixels(image, 0, 0, 0, 0), 0);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(ScreenCaptureTest, VisibleWindowRectFallsBackToTheOuterRectangle) {
    ShowPattern(50, 60, 70, 80);
    RECT outer{};
    GetWindowRect(pattern->hWnd(), &outer);
    const RECT visible = VisibleWindowRect(pattern->hWnd());
    // Without frame bounds from a window manager, or with a borderless window, both agree.
    ExpectRect(visible, outer.left, outer.top, outer.right, outer.bottom);
    ExpectRect(VisibleWindowRect(nullptr), 0, 0, 0, 0);
}

// A window of another thread that takes its time to paint, in a colour the test chooses:
// what a picked window of another program is to the capture.
class SlowPainter {
public:
    SlowPainter(int x, int y, int width, int height, DWORD paintMs)
        : x_(x), y_(y), width_(width), height_(height), paintMs_(paintMs) {
        thread_ = CreateThread(nullptr, 0, &SlowPainter::Run, this, 0, nullptr);
        WaitForSingleObject(created_, 5000);
    }
    ~SlowPainter() {
        if (window_ != nullptr) PostMessageW(window_, WM_CLOSE, 0, 0);
        WaitForSingleObject(thread_, 5000);
        CloseHandle(thread_);
        CloseHandle(created_);
    }
    SlowPainter(const SlowPainter&) = delete;
    SlowPainter& operator=(const SlowPainter&) = delete;
    HWND window() const { return window_; }
    void SetColour(COLORREF colour) { colour_ = colour; }
    LONG paints() const { return paints_; }

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<SlowPainter*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (message == WM_PAINT && self != nullptr) {
            PAINTSTRUCT paint;
            const HDC dc = BeginPaint(window, &paint);
            Sleep(self->paintMs_);
            const HBRUSH brush = CreateSolidBrush(self->colour_);
            RECT client;
            GetClientRect(window, &client);
            FillRect(dc, &client, brush);
            DeleteObject(brush);
            EndPaint(window, &paint);
            ++self->paints_;
            return 0;
        }
        if (message == WM_ERASEBKGND) return 1;
        if (message == WM_DESTROY) PostQuitMessage(0);
        return DefWindowProcW(window, message, wParam, lParam);
    }
    static DWORD WINAPI Run(void* parameter) {
        auto* self = static_cast<SlowPainter*>(parameter);
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = &SlowPainter::Proc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"PixelnabSlowPainter";
        RegisterClassW(&windowClass);
        self->window_ = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, L"PixelnabSlowPainter",
                                        L"", WS_POPUP, self->x_, self->y_, self->width_, self->height_, nullptr,
                                        nullptr, windowClass.hInstance, nullptr);
        SetWindowLongPtrW(self->window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        ShowWindow(self->window_, SW_SHOWNOACTIVATE);
        SetEvent(self->created_);
        MSG message;
        while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
        UnregisterClassW(L"PixelnabSlowPainter", windowClass.hInstance);
        return 0;
    }

    int x_, y_, width_, height_;
    DWORD paintMs_;
    HANDLE created_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE thread_ = nullptr;
    HWND window_ = nullptr;
    std::atomic<COLORREF> colour_{RGB(255, 0, 0)};
    std::atomic<LONG> paints_{0};
};

bool ScreenIs(int x, int y, int width, int height, std::uint32_t colour) {
    const Image shown = ReadScreen(x, y, width, height);
    for (const std::uint32_t pixel : shown.pixels)
        if (pixel != colour) return false;
    return true;
}

TEST_F(ScreenCaptureTest, AWindowOfAnotherThreadIsReadOnlyOnceItHasPaintedAgain) {
    SlowPainter painter(300, 200, 120, 90, 150);
    ASSERT_NE(painter.window(), nullptr);
    ASSERT_TRUE(WaitUntil([] { return ScreenIs(300, 200, 120, 90, Rgb(255, 0, 0)); }, 5000));

    // Asked to repaint in another colour, it takes 150 ms: read at once, the screen still
    // shows the old one; after the wait it shows the new one, whole.
    painter.SetColour(RGB(0, 160, 0));
    const LONG paintsBefore = painter.paints();
    InvalidateRect(painter.window(), nullptr, TRUE);
    EXPECT_TRUE(ScreenIs(300, 200, 120, 90, Rgb(255, 0, 0)));
    EXPECT_TRUE(WaitUntilPainted(painter.window(), 3000));
    EXPECT_EQ(painter.paints(), paintsBefore + 1);
    EXPECT_TRUE(ScreenIs(300, 200, 120, 90, Rgb(0, 160, 0)));
    const Picture picture = CaptureWindowByHandle(painter.window());
    const Image image = ReadPicture(picture);
    ASSERT_EQ(image.width, 120);
    EXPECT_EQ(image.At(0, 0), Rgb(0, 160, 0));
    EXPECT_EQ(image.At(119, 89), Rgb(0, 160, 0));
}

TEST_F(ScreenCaptureTest, WaitingForAPaintEndsAtItsLimitAndNeverForTheCallersOwnWindows) {
    {
        SlowPainter painter(300, 200, 60, 40, 600);
        ASSERT_NE(painter.window(), nullptr);
        ASSERT_TRUE(WaitUntil([&] { return painter.paints() > 0; }, 5000));
        InvalidateRect(painter.window(), nullptr, TRUE);
        const ULONGLONG start = GetTickCount64();
        EXPECT_FALSE(WaitUntilPainted(painter.window(), 100));
        EXPECT_LT(GetTickCount64() - start, 400U);
    }
    // This thread's own window, with its repaint still pending: no wait at all (it paints
    // when this thread runs its messages).
    ShowPattern(100, 80, 50, 40);
    InvalidateRect(pattern->hWnd(), nullptr, TRUE);
    const ULONGLONG start = GetTickCount64();
    EXPECT_TRUE(WaitUntilPainted(pattern->hWnd(), 2000));
    EXPECT_LT(GetTickCount64() - start, 200U);
    EXPECT_TRUE(WaitUntilPainted(nullptr, 2000));
}
