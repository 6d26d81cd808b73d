// A window of known pixels for the end-to-end tests, and the source of their expected colours.
//   pattern_window X Y WIDTH HEIGHT SECONDS  shows the test pattern (tests/support/Pattern.h)
//       in a window that stays above ordinary windows, is never activated, and closes
//       itself after SECONDS. Four more numbers BX BY BWIDTH BHEIGHT add a push button
//       at that place of its client area.
//   pattern_window --ppm WIDTH HEIGHT        writes the pattern's WIDTH x HEIGHT pixels from
//       its origin to standard output as a binary PPM, which the checkers (pixels.py) read,
//       so that they never compute a colour themselves.
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "Pattern.h"
#include "PatternWindow.h"

namespace {

int WritePatternPpm(int width, int height) {
    const Image image = PatternImage(width, height);
    std::string bytes = "P6\n" + std::to_string(width) + " " + std::to_string(height) + "\n255\n";
    for (const std::uint32_t pixel : image.pixels) {
        bytes += static_cast<char>(RedOf(pixel));
        bytes += static_cast<char>(GreenOf(pixel));
        bytes += static_cast<char>(BlueOf(pixel));
    }
    DWORD written = 0;
    const BOOL ok = WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), bytes.data(), static_cast<DWORD>(bytes.size()),
                              &written, nullptr);
    return ok && written == bytes.size() ? 0 : 1;
}

void CALLBACK TimeIsUp(HWND, UINT, UINT_PTR, DWORD) { PostQuitMessage(0); }

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    if (__argc == 4 && std::strcmp(__argv[1], "--ppm") == 0)
        return WritePatternPpm(std::atoi(__argv[2]), std::atoi(__argv[3]));
    if (__argc < 6) return 2;
    const int seconds = std::atoi(__argv[5]);
    PatternWindow window(std::atoi(__argv[1]), std::atoi(__argv[2]), std::atoi(__argv[3]), std::atoi(__argv[4]),
                         {.topmost = true, .toolWindow = true, .title = L"Pixelnab pattern", .quitWhenGone = true});
    if (__argc >= 10)
        window.AddButton(std::atoi(__argv[6]), std::atoi(__argv[7]), std::atoi(__argv[8]), std::atoi(__argv[9]));
    SetTimer(nullptr, 0, static_cast<UINT>(seconds) * 1000u, &TimeIsUp);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
