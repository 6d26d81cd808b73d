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
    WaitUntil([] { return false; }, 150);
    DoEvents();
}

bool ScreenShowsSoon(HWND window, int x, int y, const Image& expected) {
    UpdateWindow(window);
    return WaitUntil([&] { return ReadClient(window, x, y, expected.width, expected.height) == expected; }, 1000);
}
