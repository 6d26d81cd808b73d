#include "capture/ScrollProgress.h"

#include <algorithm>

#include <windows.h>

#include "platform/windows/Handles.h"
#include "platform/windows/ScreenService.h"
#include "platform/windows/WindowBase.h"

namespace {

constexpr wchar_t kPanelClass[] = L"PixelnabScrollProgress";
constexpr int kEscapeHotkeyId = 0xB001;

}  // namespace

std::wstring GroupedNumber(std::int64_t number) {
    std::wstring digits = std::to_wstring(number < 0 ? -number : number);
    for (std::ptrdiff_t at = static_cast<std::ptrdiff_t>(digits.size()) - 3; at > 0; at -= 3) digits.insert(static_cast<std::size_t>(at), 1, L',');
    return number < 0 ? L"-" + digits : digits;
}

class ScrollProgress::Panel final : public WindowBase {
public:
    explicit Panel(const EdgeRect& area) {
        RegisterWindowClass(kPanelClass, 0, nullptr, nullptr, LoadCursorW(nullptr, IDC_ARROW),
                            reinterpret_cast<HBRUSH>(COLOR_INFOBK + 1));
        const WindowDC screen(nullptr, false);
        const int dpi = screen.get() != nullptr ? GetDeviceCaps(screen.get(), LOGPIXELSY) : 96;
        const int width = MulDiv(220, dpi, 96);
        const int height = MulDiv(44, dpi, 96);
        const int gap = MulDiv(4, dpi, 96);
        const EdgeRect desktop = DesktopPixels();
        // Below the area, else above it, else right or left of it: never over it.
        const int left = std::clamp(area.Left, desktop.Left, std::max(desktop.Left, desktop.Right - width));
        const int top = std::clamp(area.Top, desktop.Top, std::max(desktop.Top, desktop.Bottom - height));
        POINT place{};
        if (area.Bottom + gap + height <= desktop.Bottom)
            place = {left, area.Bottom + gap};
        else if (area.Top - gap - height >= desktop.Top)
            place = {left, area.Top - gap - height};
        else if (area.Right + gap + width <= desktop.Right)
            place = {area.Right + gap, top};
        else if (area.Left - gap - width >= desktop.Left)
            place = {area.Left - gap - width, top};
        else
            return;
        CreateWindowFor(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, kPanelClass, L"Pixelnab scrolling capture",
                        WS_POPUP | WS_BORDER, place.x, place.y, width, height, nullptr, nullptr);
        if (hwnd_ == nullptr) return;
        // Windows 10 2004 and later also leave it out of every capture; elsewhere this fails
        // harmlessly and the placement alone keeps it out.
        constexpr DWORD kExcludeFromCapture = 0x11;
        SetWindowDisplayAffinity(hwnd_, kExcludeFromCapture);
        font_.reset(CreateFontW(-MulDiv(9, dpi, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS,
                                L"MS Shell Dlg"));
        ShowWindow(hwnd_, SW_SHOWNOACTIVATE);
    }
    ~Panel() override {
        if (hwnd_ != nullptr) DestroyWindow(hwnd_);
    }
    void RegisterEscape() {
        // Esc reaches the program as a hotkey while the scrolled window has the keyboard.
        escapeRegistered_ = RegisterHotKey(hwnd_ != nullptr ? hwnd_ : nullptr, kEscapeHotkeyId, 0, VK_ESCAPE) != FALSE;
    }
    void UnregisterEscape() {
        if (escapeRegistered_) UnregisterHotKey(hwnd_, kEscapeHotkeyId);
        escapeRegistered_ = false;
    }
    void SetText(std::wstring text) {
        text_ = std::move(text);
        if (hwnd_ == nullptr) return;
        InvalidateRect(hwnd_, nullptr, TRUE);
        UpdateWindow(hwnd_);
    }
    bool stop = false;

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        switch (message) {
        case WM_MOUSEACTIVATE:
            return MA_NOACTIVATE;
        case WM_LBUTTONDOWN:
            stop = true;
            return 0;
        case WM_PAINT: {
            const PaintDC paint(hwnd_);
            RECT client{};
            GetClientRect(hwnd_, &client);
            const SelectGuard font(paint.get(), font_ ? static_cast<HGDIOBJ>(font_.get()) : GetStockObject(DEFAULT_GUI_FONT));
            SetBkMode(paint.get(), TRANSPARENT);
            SetTextColor(paint.get(), GetSysColor(COLOR_INFOTEXT));
            const std::wstring text = text_ + L"\nEsc or a click here stops";
            InflateRect(&client, -6, -4);
            DrawTextW(paint.get(), text.c_str(), -1, &client, DT_LEFT | DT_NOPREFIX);
            return 0;
        }
        default:
            return WindowBase::HandleMessage(message, wParam, lParam);
        }
    }

private:
    unique_hfont font_;
    std::wstring text_;
    bool escapeRegistered_ = false;
};

ScrollProgress::ScrollProgress(const EdgeRect& area) : panel_(std::make_unique<Panel>(area)) { panel_->RegisterEscape(); }

ScrollProgress::~ScrollProgress() { panel_->UnregisterEscape(); }

void ScrollProgress::Show(int frame, std::int32_t height) {
    panel_->SetText(L"Frame " + GroupedNumber(frame) + L", " + GroupedNumber(height) + L" px");
}

bool ScrollProgress::StopAsked() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            // The program is ending: the quit goes back for the loop that ends it.
            PostQuitMessage(static_cast<int>(message.wParam));
            panel_->stop = true;
            break;
        }
        if (message.message == WM_HOTKEY && message.wParam == kEscapeHotkeyId) panel_->stop = true;
        if (message.message == WM_KEYDOWN && message.wParam == VK_ESCAPE) panel_->stop = true;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return panel_->stop;
}
