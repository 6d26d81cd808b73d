#include "platform/windows/WindowBase.h"

#include "platform/windows/DeferredFrames.h"

WindowBase::~WindowBase() {
    if (hwnd_ != nullptr) {
        // The object goes before its window: detach so that late messages reach DefWindowProc.
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
        hwnd_ = nullptr;
    }
}

HINSTANCE WindowBase::ModuleInstance() noexcept { return GetModuleHandleW(nullptr); }

void WindowBase::RegisterWindowClass(const wchar_t* className, UINT style, HICON icon, HICON smallIcon,
                                     HCURSOR cursor, HBRUSH background) {
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof existing;
    if (GetClassInfoExW(ModuleInstance(), className, &existing)) return;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = style;
    wc.lpfnWndProc = &WindowBase::WindowProc;
    wc.hInstance = ModuleInstance();
    wc.hIcon = icon;
    wc.hIconSm = smallIcon;
    wc.hCursor = cursor;
    wc.hbrBackground = background;
    wc.lpszClassName = className;
    RegisterClassExW(&wc);
}

HWND WindowBase::CreateWindowFor(DWORD exStyle, const wchar_t* className, const wchar_t* title, DWORD style,
                                 int x, int y, int width, int height, HWND parent, HMENU menu) {
    return CreateWindowExW(exStyle, className, title, style, x, y, width, height, parent, menu, ModuleInstance(),
                           this);
}

LRESULT WindowBase::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefaultProc(hwnd_, message, wParam, lParam);
}

LRESULT WindowBase::DefaultProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK WindowBase::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    WindowBase* self = nullptr;
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        void* param = create->lpCreateParams;
        if ((create->dwExStyle & WS_EX_MDICHILD) != 0 && param != nullptr)
            param = reinterpret_cast<void*>(reinterpret_cast<const MDICREATESTRUCTW*>(param)->lParam);
        self = static_cast<WindowBase*>(param);
        if (self != nullptr) {
            self->hwnd_ = window;
            SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        }
    } else {
        self = reinterpret_cast<WindowBase*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    }
    if (self == nullptr) {
        const bool mdiChild = (GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_MDICHILD) != 0;
        return mdiChild ? DefMDIChildProcW(window, message, wParam, lParam)
                        : DefWindowProcW(window, message, wParam, lParam);
    }
    if (DeferredFrames::Intercept(window, message, lParam)) return 0;
    LRESULT result = 0;
    const std::shared_ptr<void> alive = self->KeepAlive();  // released last, after OnWindowGone
    try {
        result = self->HandleMessage(message, wParam, lParam);
    } catch (...) {
        result = self->DefaultProc(window, message, wParam, lParam);
    }
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
        self->OnWindowGone();  // may release self: nothing touches it afterwards
    }
    return result;
}
