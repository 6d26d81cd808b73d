#include "ModalDriver.h"

namespace {
constexpr wchar_t kClass[] = L"PixelnabTestModalDriver";
constexpr UINT_PTR kTimer = 1;
constexpr UINT kTickMs = 20;
constexpr int kMostTicks = 250;  // about five seconds
constexpr UINT kRunPosted = WM_APP;
}  // namespace

ModalDriver::ModalDriver() {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = &ModalDriver::Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kClass;
    RegisterClassExW(&wc);  // fails harmlessly once registered
    window_ = CreateWindowExW(0, kClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

ModalDriver::ModalDriver(std::vector<Step> steps, std::function<void()> onTimeout) : ModalDriver() {
    steps_ = std::move(steps);
    onTimeout_ = std::move(onTimeout);
    SetTimer(window_, kTimer, kTickMs, nullptr);
}

ModalDriver::~ModalDriver() {
    KillTimer(window_, kTimer);
    DestroyWindow(window_);
}

void ModalDriver::Post(std::function<void()> step) {
    posted_.push_back(std::move(step));
    PostMessageW(window_, kRunPosted, posted_.size() - 1, 0);
}

void ModalDriver::Tick() {
    if (next_ < steps_.size() && steps_[next_]()) ++next_;
    if (!Finished() && ++ticks_ > kMostTicks) {
        timedOut_ = true;
        next_ = steps_.size();
        if (onTimeout_) onTimeout_();
    }
    if (Finished()) KillTimer(window_, kTimer);
}

LRESULT CALLBACK ModalDriver::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<ModalDriver*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self != nullptr && message == WM_TIMER) {
        self->Tick();
        return 0;
    }
    if (self != nullptr && message == kRunPosted && wParam < self->posted_.size()) {
        ++self->ran;
        // Copied first: the step may post another, which can move the list.
        const std::function<void()> step = self->posted_[wParam];
        step();
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}
