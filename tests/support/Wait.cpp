#include "Wait.h"

#include "platform/windows/Form.h"

bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    for (;;) {
        DoEvents();
        if (done()) return true;
        if (GetTickCount64() >= end) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
}

void Settle() {
    // Wine copies a paint to the X screen when a loop goes idle, and repaints what a hidden
    // window uncovered only once the X server's events arrive: a fixed pause is too short
    // on a busy machine. Settled once two looks, more than that copy's 50 ms apart, agree.
    const auto look = [] {
        return ReadScreen(GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
                          GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN));
    };
    WaitUntil([] { return false; }, 150);
    Image last = look();
    WaitUntil(
        [&] {
            WaitUntil([] { return false; }, 60);
            Image now = look();
            const bool same = now == last;
            last = std::move(now);
            return same;
        },
        3000);
    DoEvents();
}

bool ScreenShowsSoon(HWND window, int x, int y, const Image& expected) {
    UpdateWindow(window);
    return WaitUntil([&] { return ReadClient(window, x, y, expected.width, expected.height) == expected; }, 1000);
}
