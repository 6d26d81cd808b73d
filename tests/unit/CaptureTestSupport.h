#pragma once
// Helpers for tests that read pixels: a window showing a known pattern, a picture's
// pixels, and the process's GDI and USER object counts.
#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

#include <windows.h>

#include "PixelCopy.h"
#include "platform/Form.h"
#include "platform/Picture.h"

struct PixelImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;  // 0x00RRGGBB, top row first
    std::uint32_t At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

// The pixels of a picture's bitmap, read back as 32-bit RGB.
inline PixelImage ReadPicture(const Picture& picture) {
    PixelImage image;
    const HBITMAP bitmap = picture.Bitmap();
    BITMAP info{};
    if (bitmap == nullptr || GetObjectW(bitmap, sizeof info, &info) == 0) return image;
    image.width = info.bmWidth;
    image.height = info.bmHeight;
    image.pixels.resize(static_cast<std::size_t>(image.width) * image.height);
    BITMAPINFO request{};
    request.bmiHeader.biSize = sizeof request.bmiHeader;
    request.bmiHeader.biWidth = image.width;
    request.bmiHeader.biHeight = -image.height;
    request.bmiHeader.biPlanes = 1;
    request.bmiHeader.biBitCount = 32;
    request.bmiHeader.biCompression = BI_RGB;
    const HDC screen = GetDC(nullptr);
    GetDIBits(screen, bitmap, 0, static_cast<UINT>(image.height), image.pixels.data(), &request, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    for (auto& pixel : image.pixels) pixel &= 0x00FFFFFF;
    return image;
}

// Pixels of the screen, read with a block transfer.
inline PixelImage ReadScreen(int x, int y, int width, int height) {
    PixelImage image;
    image.width = width;
    image.height = height;
    image.pixels.resize(static_cast<std::size_t>(width) * height);
    const HDC screen = GetDC(nullptr);
    const std::vector<std::uint32_t> copied = CopyDcPixels(screen, x, y, width, height);
    std::copy(copied.begin(), copied.end(), image.pixels.begin());
    ReleaseDC(nullptr, screen);
    return image;
}

// The colour of the test pattern at (x, y) of a width x height window: a 1-pixel
// black-and-white checkerboard around the edge, distinct colours inside.
inline std::uint32_t PatternColour(int x, int y, int width, int height) {
    if (x == 0 || y == 0 || x == width - 1 || y == height - 1) return ((x + y) % 2 == 0) ? 0xFFFFFFu : 0x000000u;
    const std::uint32_t red = static_cast<std::uint32_t>((x * 7 + 40) & 0xFF);
    const std::uint32_t green = static_cast<std::uint32_t>((y * 5 + 90) & 0xFF);
    const std::uint32_t blue = static_cast<std::uint32_t>(((x ^ y) * 3) & 0xFF);
    return (red << 16) | (green << 8) | blue;
}

// A borderless topmost window that paints the pattern with one exact block transfer.
class PatternWindow {
public:
    PatternWindow(int x, int y, int width, int height) : width_(width), height_(height) {
        pixels_.resize(static_cast<std::size_t>(width) * height);
        for (int row = 0; row < height; ++row)
            for (int column = 0; column < width; ++column)
                pixels_[static_cast<std::size_t>(row) * width + column] = PatternColour(column, row, width, height);
        WNDCLASSW wc{};
        wc.lpfnWndProc = &PatternWindow::Procedure;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"PixelnabTestPattern";
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        RegisterClassW(&wc);
        hwnd_ = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, L"PixelnabTestPattern", L"pattern", WS_POPUP, x,
                                y, width, height, nullptr, nullptr, GetModuleHandleW(nullptr), this);
    }
    PatternWindow(const PatternWindow&) = delete;
    PatternWindow& operator=(const PatternWindow&) = delete;
    ~PatternWindow() {
        if (hwnd_ != nullptr) DestroyWindow(hwnd_);
        DoEvents();
    }
    HWND hWnd() const { return hwnd_; }

    void ShowAndPaint() {
        ShowWindow(hwnd_, SW_SHOW);
        UpdateWindow(hwnd_);
        // The test may wait for the X server; the program never does.
        for (int i = 0; i < 20; ++i) {
            DoEvents();
            RECT r{};
            GetWindowRect(hwnd_, &r);
            const int x = std::max<LONG>(r.left, 0);
            const int y = std::max<LONG>(r.top, 0);
            const PixelImage probe = ReadScreen(x, y, 1, 1);
            if (probe.pixels[0] == PatternColour(x - r.left, y - r.top, width_, height_)) break;
            Sleep(25);
        }
    }

    // Pixels of image (from imageX, imageY) that differ from the pattern (from patternX, patternY).
    int CountDifferences(const PixelImage& image, int imageX, int imageY, int width, int height, int patternX,
                         int patternY) const {
        int differences = 0;
        for (int row = 0; row < height; ++row)
            for (int column = 0; column < width; ++column)
                if (image.At(imageX + column, imageY + row) !=
                    PatternColour(patternX + column, patternY + row, width_, height_))
                    ++differences;
        return differences;
    }

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_NCCREATE) {
            SetWindowLongPtrW(window, GWLP_USERDATA,
                              reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
        }
        auto* self = reinterpret_cast<PatternWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (message == WM_ERASEBKGND) return 1;
        if (message == WM_PAINT && self != nullptr) {
            PAINTSTRUCT paint{};
            const HDC dc = BeginPaint(window, &paint);
            BITMAPINFO info{};
            info.bmiHeader.biSize = sizeof info.bmiHeader;
            info.bmiHeader.biWidth = self->width_;
            info.bmiHeader.biHeight = -self->height_;
            info.bmiHeader.biPlanes = 1;
            info.bmiHeader.biBitCount = 32;
            info.bmiHeader.biCompression = BI_RGB;
            SetDIBitsToDevice(dc, 0, 0, static_cast<DWORD>(self->width_), static_cast<DWORD>(self->height_), 0, 0,
                              0, static_cast<UINT>(self->height_), self->pixels_.data(), &info, DIB_RGB_COLORS);
            EndPaint(window, &paint);
            return 0;
        }
        if (message == WM_NCDESTROY && self != nullptr) self->hwnd_ = nullptr;
        return DefWindowProcW(window, message, wParam, lParam);
    }

    int width_;
    int height_;
    std::vector<std::uint32_t> pixels_;
    HWND hwnd_ = nullptr;
};

// The process's GDI and USER object counts. Where GetGuiResources is not implemented
// (Wine), the handle tables are walked instead: a handle with a zero upper word still
// names its table entry there.
struct GuiObjectCounts {
    int gdi = 0;
    int user = 0;
    bool operator==(const GuiObjectCounts&) const = default;
};

inline GuiObjectCounts CountGuiObjects() {
    GuiObjectCounts counts;
    SetLastError(0);
    const DWORD gdi = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    const bool implemented = !(gdi == 0 && GetLastError() == ERROR_CALL_NOT_IMPLEMENTED);
    if (implemented && gdi != 0) {
        counts.gdi = static_cast<int>(gdi);
        counts.user = static_cast<int>(GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS));
        return counts;
    }
    for (ULONG_PTR index = 1; index < 0x10000; ++index)
        if (GetObjectType(reinterpret_cast<HGDIOBJ>(index)) != 0) ++counts.gdi;
    for (ULONG_PTR index = 0x20; index < 0x10000; index += 2) {
        const HANDLE handle = reinterpret_cast<HANDLE>(index);
        if (IsWindow(static_cast<HWND>(handle)) || IsMenu(static_cast<HMENU>(handle))) ++counts.user;
    }
    return counts;
}
