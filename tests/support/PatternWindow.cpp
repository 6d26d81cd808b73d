#include "PatternWindow.h"

#include <algorithm>

#include "platform/windows/Form.h"
#include "Wait.h"

namespace {
constexpr wchar_t kClass[] = L"PixelnabTestPattern";
}

PatternWindow::PatternWindow(int x, int y, int width, int height, const PatternWindowOptions& options)
    : quitWhenGone_(options.quitWhenGone) {
    image_ = options.colour < 0 ? PatternImage(width, height)
                                : Image{width, height,
                                        std::vector<std::uint32_t>(static_cast<std::size_t>(width) * height,
                                                                   static_cast<std::uint32_t>(options.colour))};
    RegisterWindowClass(kClass, 0, nullptr, nullptr, LoadCursorW(nullptr, IDC_ARROW), nullptr);
    // Never activated unless asked: without a window manager, Wine and the X server can
    // otherwise pass the focus back and forth between two unmanaged windows without end.
    const DWORD exStyle = (options.toolWindow ? WS_EX_TOOLWINDOW : 0) | (options.topmost ? WS_EX_TOPMOST : 0) |
                          (options.activate ? 0 : WS_EX_NOACTIVATE);
    CreateWindowFor(exStyle, kClass, options.title, WS_POPUP | WS_CLIPCHILDREN, x, y, width, height, nullptr,
                    nullptr);
    if (options.show) {
        ShowWindow(hwnd_, SW_SHOWNOACTIVATE);
        UpdateWindow(hwnd_);
    }
}

PatternWindow::~PatternWindow() {
    if (hwnd_ != nullptr) DestroyWindow(hwnd_);
    DoEvents();
}

void PatternWindow::ShowAndPaint(bool activate) {
    ShowWindow(hwnd_, activate ? SW_SHOW : SW_SHOWNA);
    UpdateWindow(hwnd_);
    // The test may wait for the X server; the program never does. Whole, not its first
    // pixel: on a busy machine the rest can reach the screen later.
    RECT r{};
    GetWindowRect(hwnd_, &r);
    RECT shown{};
    const RECT screen{GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
                      GetSystemMetrics(SM_XVIRTUALSCREEN) + GetSystemMetrics(SM_CXVIRTUALSCREEN),
                      GetSystemMetrics(SM_YVIRTUALSCREEN) + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
    if (!IntersectRect(&shown, &r, &screen)) return;
    WaitUntil(
        [&] {
            const Image seen = ReadScreen(shown);
            return CountDifferences(seen, 0, 0, seen.width, seen.height, shown.left - r.left, shown.top - r.top) == 0;
        },
        2000);
}

HWND PatternWindow::AddButton(int x, int y, int width, int height) {
    HWND button = CreateWindowExW(0, L"BUTTON", L"Button", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, x, y, width, height,
                                  hwnd_, nullptr, ModuleInstance(), nullptr);
    UpdateWindow(button);
    return button;
}

int PatternWindow::CountDifferences(const Image& image, int imageX, int imageY, int width, int height,
                                    int patternX, int patternY) const {
    int differences = 0;
    for (int row = 0; row < height; ++row)
        for (int column = 0; column < width; ++column)
            if (image.At(imageX + column, imageY + row) != image_.At(patternX + column, patternY + row))
                ++differences;
    return differences;
}

LRESULT PatternWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT paint{};
        const HDC dc = BeginPaint(hwnd_, &paint);
        const BITMAPINFO info = Bitmap32Info(image_.width, image_.height);
        SetDIBitsToDevice(dc, 0, 0, static_cast<DWORD>(image_.width), static_cast<DWORD>(image_.height), 0, 0, 0,
                          static_cast<UINT>(image_.height), image_.pixels.data(), &info, DIB_RGB_COLORS);
        EndPaint(hwnd_, &paint);
        return 0;
    }
    default:
        return WindowBase::HandleMessage(message, wParam, lParam);
    }
}

void PatternWindow::OnWindowGone() {
    if (quitWhenGone_) PostQuitMessage(0);
}
