// A window that changes colour every second, for the delayed-capture scenario:
// colour_window X Y WIDTH HEIGHT SECONDS. In its n-th second since it appeared it is
// filled with RGB(40 * (n % 6) + 20, 200, 255 - 40 * (n % 6)); it stays above ordinary
// windows, is never activated, and closes itself after SECONDS.
#include <windows.h>

#include <cstdlib>

namespace {

DWORD g_started = 0;

COLORREF ColourOfSecond(DWORD second) {
    const int step = static_cast<int>(second % 6);
    return RGB(40 * step + 20, 200, 255 - 40 * step);
}

LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(window, &ps);
        RECT client;
        GetClientRect(window, &client);
        HBRUSH brush = CreateSolidBrush(ColourOfSecond((GetTickCount() - g_started) / 1000));
        FillRect(dc, &client, brush);
        DeleteObject(brush);
        EndPaint(window, &ps);
        return 0;
    }
    case WM_TIMER:
        if (wParam == 2) {
            DestroyWindow(window);
        } else {
            InvalidateRect(window, nullptr, FALSE);
            // The next change on the next whole second since the start.
            const DWORD elapsed = GetTickCount() - g_started;
            SetTimer(window, 1, 1000 - elapsed % 1000, nullptr);
        }
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
    WNDCLASSW wc{};
    wc.lpfnWndProc = Proc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = L"PixelnabColourWindow";
    RegisterClassW(&wc);
    HWND window = CreateWindowExW(WS_EX_TOPMOST | WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW, wc.lpszClassName,
                                  L"Pixelnab colours", WS_POPUP, std::atoi(__argv[1]), std::atoi(__argv[2]),
                                  std::atoi(__argv[3]), std::atoi(__argv[4]), nullptr, nullptr, instance, nullptr);
    g_started = GetTickCount();
    ShowWindow(window, SW_SHOWNOACTIVATE);
    SetTimer(window, 1, 1000, nullptr);
    SetTimer(window, 2, static_cast<UINT>(std::atoi(__argv[5])) * 1000u, nullptr);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
