#include "capture/CaptureCountdown.h"

#include <algorithm>
#include <string>
#include <utility>

#include "platform/services/FrameHost.h"
#include "platform/windows/Handles.h"
#include "platform/rules/RuntimeError.h"
#include "platform/windows/WindowBase.h"

namespace {

constexpr wchar_t kCountdownClass[] = L"PixelnabCountdown";
constexpr int kEscapeHotkeyId = 0xB000;
constexpr UINT_PTR kTickTimer = 1;
constexpr UINT_PTR kClearTimer = 2;
// The countdown leaves the screen this long before the capture, a quarter of the last
// second at most: what it covered must repaint before the screen is read.
constexpr unsigned kClearanceMilliseconds = 250;

unsigned g_tickMilliseconds = 1000;
std::function<void(HWND, int)> g_observer;

std::wstring StatusText(int remaining) {
    return L"Capturing in " + std::to_wstring(remaining) + (remaining == 1 ? L" second" : L" seconds") +
           L" (Esc cancels)";
}

class CountdownWindow final : public WindowBase {
public:
    CountdownWindow(IFrameHost& frame, int seconds) : frame_(frame), remaining_(seconds) {}
    ~CountdownWindow() override {
        if (hwnd_ != nullptr) DestroyWindow(hwnd_);
    }

    void Open() {
        RegisterWindowClass(kCountdownClass, 0, nullptr, nullptr, LoadCursorW(nullptr, IDC_ARROW),
                            reinterpret_cast<HBRUSH>(COLOR_INFOBK + 1));
        const HDC screen = GetDC(nullptr);
        const int dpi = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
        if (screen != nullptr) ReleaseDC(nullptr, screen);
        const int width = MulDiv(150, dpi, 96);
        const int height = MulDiv(44, dpi, 96);
        // Below and right of the pointer, kept inside the monitor's work area.
        POINT pointer{};
        GetCursorPos(&pointer);
        MONITORINFO monitor{};
        monitor.cbSize = sizeof monitor;
        RECT area{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
        if (GetMonitorInfoW(MonitorFromPoint(pointer, MONITOR_DEFAULTTONEAREST), &monitor)) area = monitor.rcWork;
        int x = pointer.x + MulDiv(16, dpi, 96);
        int y = pointer.y + MulDiv(20, dpi, 96);
        if (x + width > area.right) x = pointer.x - MulDiv(8, dpi, 96) - width;
        if (y + height > area.bottom) y = pointer.y - MulDiv(8, dpi, 96) - height;
        x = std::clamp(x, static_cast<int>(area.left), std::max<int>(area.left, area.right - width));
        y = std::clamp(y, static_cast<int>(area.top), std::max<int>(area.top, area.bottom - height));
        // Unowned: a minimised frame would hide a window it owns. Never activated, so that
        // the window the user brings to the front meanwhile stays there.
        CreateWindowFor(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, kCountdownClass, L"Pixelnab countdown",
                        WS_POPUP | WS_BORDER, x, y, width, height, nullptr, nullptr);
        if (hwnd_ == nullptr) RaiseLastWin32Error(L"Cannot show the countdown");
        font_.reset(CreateFontW(-MulDiv(11, dpi, 72), 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS,
                                L"MS Shell Dlg"));
        // Escape reaches the program as a hotkey while another window has the keyboard; if
        // another program holds it, a click still cancels.
        escapeRegistered_ = RegisterHotKey(hwnd_, kEscapeHotkeyId, 0, VK_ESCAPE) != FALSE;
        SetTimer(hwnd_, kTickTimer, g_tickMilliseconds, nullptr);
        ShowWindow(hwnd_, SW_SHOWNOACTIVATE);
        UpdateWindow(hwnd_);
        Announce();
        if (remaining_ == 1) ScheduleClearing();
    }

    void Close() {
        if (hwnd_ == nullptr) return;
        if (escapeRegistered_) UnregisterHotKey(hwnd_, kEscapeHotkeyId);
        escapeRegistered_ = false;
        KillTimer(hwnd_, kTickTimer);
        KillTimer(hwnd_, kClearTimer);
        DestroyWindow(hwnd_);
    }

    bool Finished() const { return remaining_ <= 0; }
    bool Cancelled() const { return cancelled_ || hwnd_ == nullptr; }
    void Cancel() { cancelled_ = true; }

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        switch (message) {
        case WM_MOUSEACTIVATE:
            return MA_NOACTIVATE;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
            cancelled_ = true;
            return 0;
        case WM_HOTKEY:
            if (wParam == kEscapeHotkeyId) cancelled_ = true;
            return 0;
        case WM_TIMER:
            if (wParam == kTickTimer && !cancelled_ && remaining_ > 0) {
                --remaining_;
                if (remaining_ > 0) {
                    InvalidateRect(hwnd_, nullptr, TRUE);
                    Announce();
                }
                if (remaining_ == 1) ScheduleClearing();
            } else if (wParam == kClearTimer) {
                KillTimer(hwnd_, kClearTimer);
                ShowWindow(hwnd_, SW_HIDE);
            }
            return 0;
        case WM_PAINT: {
            PAINTSTRUCT paint{};
            const HDC dc = BeginPaint(hwnd_, &paint);
            RECT client{};
            GetClientRect(hwnd_, &client);
            const HGDIOBJ previous = SelectObject(dc, font_ ? static_cast<HGDIOBJ>(font_.get())
                                                            : GetStockObject(DEFAULT_GUI_FONT));
            SetBkMode(dc, TRANSPARENT);
            SetTextColor(dc, GetSysColor(COLOR_INFOTEXT));
            const std::wstring text = L"Capture in " + std::to_wstring(remaining_) + L"\nEsc or click cancels";
            RECT box = client;
            DrawTextW(dc, text.c_str(), -1, &box, DT_CENTER | DT_CALCRECT | DT_WORDBREAK);
            const int textHeight = box.bottom - box.top;
            box = client;
            box.top = (client.bottom - textHeight) / 2;
            DrawTextW(dc, text.c_str(), -1, &box, DT_CENTER | DT_WORDBREAK);
            SelectObject(dc, previous);
            EndPaint(hwnd_, &paint);
            return 0;
        }
        default:
            return WindowBase::HandleMessage(message, wParam, lParam);
        }
    }

private:
    // In the last second: the window goes shortly before the count runs out.
    void ScheduleClearing() {
        const unsigned clearance = std::min(kClearanceMilliseconds, g_tickMilliseconds / 4);
        SetTimer(hwnd_, kClearTimer, g_tickMilliseconds - clearance, nullptr);
    }

    void Announce() {
        frame_.SetStatusText(StatusText(remaining_));
        if (g_observer) g_observer(hwnd_, remaining_);
    }

    IFrameHost& frame_;
    int remaining_;
    bool cancelled_ = false;
    bool escapeRegistered_ = false;
    unique_hfont font_;
};

// The frame, disabled for the count and enabled again afterwards if it was before.
class DisabledFrame {
public:
    explicit DisabledFrame(HWND frame) : frame_(frame), wasEnabled_(frame != nullptr && IsWindowEnabled(frame)) {
        if (wasEnabled_) EnableWindow(frame_, FALSE);
    }
    ~DisabledFrame() {
        if (wasEnabled_ && IsWindow(frame_)) EnableWindow(frame_, TRUE);
    }
    DisabledFrame(const DisabledFrame&) = delete;
    DisabledFrame& operator=(const DisabledFrame&) = delete;

private:
    HWND frame_;
    bool wasEnabled_;
};

}  // namespace

namespace CaptureCountdown {

bool Run(IFrameHost& frame, int seconds) {
    if (seconds <= 0) return true;
    CountdownWindow window(frame, seconds);
    DisabledFrame disabled(frame.OwnerWindow());
    window.Open();
    while (!window.Finished() && !window.Cancelled()) {
        if (!frame.FrameLoaded()) {
            window.Cancel();
            break;
        }
        MSG message{};
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0) {
            PostQuitMessage(static_cast<int>(message.wParam));  // for the loop that ends the program
            window.Cancel();
            break;
        }
        if (got == -1) {
            window.Cancel();
            break;
        }
        // Escape pressed in one of the program's own windows.
        if (message.message == WM_KEYDOWN && message.wParam == VK_ESCAPE) {
            window.Cancel();
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    const bool finished = window.Finished() && !window.Cancelled() && frame.FrameLoaded();
    window.Close();
    return finished;
}

void SetTickMilliseconds(unsigned milliseconds) { g_tickMilliseconds = milliseconds != 0 ? milliseconds : 1000; }
void SetObserver(std::function<void(HWND, int)> observer) { g_observer = std::move(observer); }

}  // namespace CaptureCountdown
