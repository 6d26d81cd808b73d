#include "platform/windows/PaintWait.h"

namespace {

BOOL CALLBACK NoteUnpaintedChild(HWND child, LPARAM found) {
    if (GetUpdateRect(child, nullptr, FALSE) == FALSE) return TRUE;
    *reinterpret_cast<bool*>(found) = true;
    return FALSE;
}

bool AnythingToPaint(HWND window) {
    if (GetUpdateRect(window, nullptr, FALSE) != FALSE) return true;
    bool found = false;
    EnumChildWindows(window, &NoteUnpaintedChild, reinterpret_cast<LPARAM>(&found));
    return found;
}

}  // namespace

bool WaitUntilPainted(HWND window, unsigned limitMs) {
    if (window == nullptr || IsWindow(window) == FALSE) return true;
    if (GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId()) return true;
    const ULONGLONG end = GetTickCount64() + limitMs;
    const auto remaining = [&]() -> UINT {
        const ULONGLONG now = GetTickCount64();
        return now >= end ? 0U : static_cast<UINT>(end - now);
    };
    // Two round trips: the first may be answered while a paint is still under way, the
    // second only once the thread has come back to its loop after it.
    for (int trip = 0; trip < 2; ++trip) {
        while (AnythingToPaint(window)) {
            if (remaining() == 0) return false;
            Sleep(5);
        }
        DWORD_PTR ignored = 0;
        if (SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, remaining(), &ignored) == 0) return false;
    }
    return !AnythingToPaint(window);
}
