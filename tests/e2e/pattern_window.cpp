// A window of known pixels for the end-to-end tests: pattern_window X Y WIDTH HEIGHT SECONDS.
// Pixel (x, y) of the window is RGB(x & 255, y & 255, 0x40 | ((7x + 13y) & 63)); the window
// stays above ordinary windows, is never activated, and closes itself after SECONDS.
#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

int g_width = 0;
int g_height = 0;
std::vector<std::uint32_t> g_pixels;

LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(window, &ps);
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = g_width;
        info.bmiHeader.biHeight = -g_height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        SetDIBitsToDevice(dc, 0, 0, g_width, g_height, 0, 0, 0, g_height, g_pixels.data(), &info, DIB_RGB_COLORS);
        EndPaint(window, &ps);
        return 0;
    }
    case WM_TIMER:
    case WM_CLOSE:
        DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    if (__argc < 6) return 2;
    const int x = std::atoi(__argv[1]);
    const int y = std::atoi(__argv[2]);
    g_width = std::atoi(__argv[3]);
    g_height = std::atoi(__argv[4]);
    const int seconds = std::atoi(__argv[5]);
    g_pixels.resize(static_cast<std::size_t>(g_width) * g_height);
    for (int row = 0; row < g_height; ++row)
        for (int col = 0; col < g_width; ++col)
            g_pixels[static_cast<std::size_t>(row) * g_width + col] =
                ((col & 0xFF) << 16) | ((row & 0xFF) << 8) | (0x40 | ((col * 7 + row * 13) & 0x3F));
    WNDCLASSW wc{};
    wc.lpfnWndProc = Proc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = L"PixelnabPatternWindow";
    RegisterClassW(&wc);
    HWND window = CreateWindowExW(WS_EX_TOPMOST | WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW, wc.lpszClassName,
                                  L"Pixelnab pattern", WS_POPUP, x, y, g_width, g_height, nullptr, nullptr, instance,
                                  nullptr);
    ShowWindow(window, SW_SHOWNOACTIVATE);
    SetTimer(window, 1, static_cast<UINT>(seconds) * 1000u, nullptr);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
