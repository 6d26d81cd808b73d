// Another Windows program for the end-to-end tests: hotkey_holder MODIFIERS KEY SECONDS
// registers the hotkey (RegisterHotKey's modifiers and virtual key, as numbers), writes
// "held" or "refused" to its standard output, and keeps it for SECONDS.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    if (__argc < 4) return 2;
    const UINT modifiers = static_cast<UINT>(std::strtoul(__argv[1], nullptr, 0));
    const UINT key = static_cast<UINT>(std::strtoul(__argv[2], nullptr, 0));
    const int seconds = std::atoi(__argv[3]);
    HWND window = CreateWindowExW(0, L"STATIC", L"Pixelnab hotkey holder", WS_POPUP, 0, 0, 1, 1, HWND_MESSAGE,
                                  nullptr, nullptr, nullptr);
    const bool held = RegisterHotKey(window, 1, modifiers, key) != FALSE;
    std::printf("%s\n", held ? "held" : "refused");
    std::fflush(stdout);
    SetTimer(window, 1, static_cast<UINT>(seconds) * 1000u, nullptr);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (message.message == WM_TIMER) break;
        DispatchMessageW(&message);
    }
    return held ? 0 : 1;
}
