// A scrolling view of known pixels for the scrolling capture scenarios.
//   scroll_window X Y SECONDS STEP  a 1000 x 600 window, above ordinary windows, whose top
//       40 rows are a fixed header and whose other 560 show rows of a 1000 x 12,000 pattern,
//       scrolled STEP rows by a notch of the wheel (or the Down key), 40 by the scroll
//       bar's line, a view less 40 by its page. A right click changes every pixel of the
//       pattern a little (content that changed). It closes itself after SECONDS.
//   scroll_window --ppm FROM ROWS  writes the header and pattern rows FROM..FROM+ROWS to
//       standard output as a binary PPM: what a capture of them must be.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr int kWidth = 1000;
constexpr int kHeader = 40;
constexpr int kView = 560;
constexpr int kPatternRows = 12000;

int g_offset = 0;
int g_step = 100;
std::uint32_t g_change = 0;

// Every row of the pattern is its own: red and green count the row.
std::uint32_t PatternPixel(int x, int y) {
    const std::uint32_t r = static_cast<std::uint32_t>(y) & 0xFF;
    const std::uint32_t g = (static_cast<std::uint32_t>(y) >> 8) & 0xFF;
    const std::uint32_t b = (static_cast<std::uint32_t>(x) ^ static_cast<std::uint32_t>(y * 7)) & 0xFF;
    return (r << 16) | (g << 8) | b;
}
std::uint32_t HeaderPixel(int x, int y) {
    return 0x200000u | (static_cast<std::uint32_t>(x * 255 / (kWidth - 1)) << 8) | static_cast<std::uint32_t>(0x80 + y);
}

void Paint(HWND window) {
    PAINTSTRUCT paint;
    const HDC dc = BeginPaint(window, &paint);
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(kWidth) * (kHeader + kView));
    for (int y = 0; y < kHeader + kView; ++y)
        for (int x = 0; x < kWidth; ++x)
            pixels[static_cast<std::size_t>(y) * kWidth + x] =
                y < kHeader ? HeaderPixel(x, y) : PatternPixel(x, g_offset + y - kHeader) ^ g_change;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = kWidth;
    info.bmiHeader.biHeight = -(kHeader + kView);
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    SetDIBitsToDevice(dc, 0, 0, kWidth, kHeader + kView, 0, 0, 0, kHeader + kView, pixels.data(), &info,
                      DIB_RGB_COLORS);
    EndPaint(window, &paint);
}

void ScrollTo(HWND window, int offset) {
    offset = std::clamp(offset, 0, kPatternRows - kView);
    if (offset == g_offset) return;
    g_offset = offset;
    InvalidateRect(window, nullptr, FALSE);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT:
        Paint(window);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_MOUSEWHEEL:
        ScrollTo(window, g_offset - GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA * g_step);
        return 0;
    case WM_VSCROLL:
        if (LOWORD(wParam) == SB_LINEDOWN) ScrollTo(window, g_offset + 40);
        if (LOWORD(wParam) == SB_PAGEDOWN) ScrollTo(window, g_offset + kView - 40);
        return 0;
    case WM_KEYDOWN:
        if (wParam == VK_DOWN) ScrollTo(window, g_offset + g_step);
        return 0;
    case WM_RBUTTONDOWN:
        g_change ^= 0x000001;
        InvalidateRect(window, nullptr, FALSE);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

int WritePpm(int from, int rows) {
    std::string bytes = "P6\n" + std::to_string(kWidth) + " " + std::to_string(kHeader + rows) + "\n255\n";
    for (int y = 0; y < kHeader + rows; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const std::uint32_t pixel = y < kHeader ? HeaderPixel(x, y) : PatternPixel(x, from + y - kHeader);
            bytes += static_cast<char>(pixel >> 16);
            bytes += static_cast<char>(pixel >> 8);
            bytes += static_cast<char>(pixel);
        }
    DWORD written = 0;
    const BOOL ok = WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), bytes.data(), static_cast<DWORD>(bytes.size()),
                              &written, nullptr);
    return ok && written == bytes.size() ? 0 : 1;
}

void CALLBACK TimeIsUp(HWND, UINT, UINT_PTR, DWORD) { PostQuitMessage(0); }

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    if (__argc == 4 && std::strcmp(__argv[1], "--ppm") == 0) return WritePpm(std::atoi(__argv[2]), std::atoi(__argv[3]));
    if (__argc < 5) return 2;
    g_step = std::max(1, std::atoi(__argv[4]));
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = &WindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = L"PixelnabScrollTest";
    RegisterClassW(&windowClass);
    const HWND window = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, windowClass.lpszClassName,
                                        L"Pixelnab scroll test", WS_POPUP | WS_VISIBLE, std::atoi(__argv[1]),
                                        std::atoi(__argv[2]), kWidth, kHeader + kView, nullptr, nullptr, instance, nullptr);
    if (window == nullptr) return 1;
    SetTimer(nullptr, 0, static_cast<UINT>(std::atoi(__argv[3])) * 1000u, &TimeIsUp);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
