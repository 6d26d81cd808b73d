#include "capture/ScrollingFrames.h"

#include "platform/pictures/DibInfo.h"
#include "platform/rules/RuntimeError.h"
#include "platform/windows/PaintWait.h"

ScreenFrames::ScreenFrames(const EdgeRect& area) : area_(area) {
    const WindowDC screen(nullptr, false);
    memory_.reset(CreateCompatibleDC(screen.get()));
    const BITMAPINFO info = TopDown32BitmapInfo(area.Right - area.Left, area.Bottom - area.Top);
    for (int i = 0; i < 2; ++i) {
        void* bits = nullptr;
        bitmaps_[i].reset(CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        bits_[i] = static_cast<std::uint32_t*>(bits);
        if (!bitmaps_[i] || bits == nullptr) RaiseError(ErrorNumber::OutOfMemory, L"Out of memory");
    }
}

void ScreenFrames::Take() {
    last_ = 1 - last_;
    TakeAgain();
}

void ScreenFrames::TakeAgain() {
    const WindowDC screen(nullptr, false);
    const SelectGuard selected(memory_.get(), bitmaps_[last_].get());
    // The screen DC counts in virtual-screen pixels, as the area does.
    BitBlt(memory_.get(), 0, 0, area_.Right - area_.Left, area_.Bottom - area_.Top, screen.get(), area_.Left,
           area_.Top, SRCCOPY);
    GdiFlush();
}

FrameView ScreenFrames::View(int which) const noexcept {
    const std::int32_t width = area_.Right - area_.Left;
    return FrameView{bits_[which], width, area_.Bottom - area_.Top, width};
}

namespace {

HWND NearestWithScrollBar(HWND window) {
    for (HWND at = window; at != nullptr; at = GetAncestor(at, GA_PARENT)) {
        if ((GetWindowLongPtrW(at, GWL_STYLE) & WS_VSCROLL) != 0) return at;
        if (at == GetAncestor(at, GA_ROOT)) break;
    }
    return window;
}

}  // namespace

WindowScroller::WindowScroller(POINT at) : at_(at), target_(WindowFromPoint(at)), bar_(NearestWithScrollBar(target_)) {}

void WindowScroller::Step(unsigned limitMs) {
    if (target_ == nullptr) return;
    DWORD_PTR ignored = 0;
    if (useBar_) {
        // Three lines, as one notch of the wheel scrolls by default.
        for (int line = 0; line < 3; ++line)
            SendMessageTimeoutW(bar_, WM_VSCROLL, MAKEWPARAM(SB_LINEDOWN, 0), 0, SMTO_ABORTIFHUNG, limitMs, &ignored);
    } else {
        // One notch down, with the pointer's place as the wheel gives it (screen pixels).
        SendMessageTimeoutW(target_, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)),
                            MAKELPARAM(at_.x, at_.y), SMTO_ABORTIFHUNG, limitMs, &ignored);
    }
    WaitUntilPainted(GetAncestor(target_, GA_ROOT), limitMs);
}

bool WindowScroller::TryScrollBar() {
    if (useBar_) return false;
    useBar_ = true;
    return true;
}
