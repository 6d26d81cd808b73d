// A scroll bar control counting in twips.
#include "platform/controls/ScrollBarControl.h"

#include <algorithm>
#include <cstdlib>

#include "platform/controls/PaintCache.h"
#include "platform/windows/Twips.h"
#include "platform/windows/WindowBase.h"

namespace {
constexpr std::int32_t kSmallChange = 30;
constexpr std::int32_t kLargeChange = 900;
int PixelsX(float twips) { return Twips::ToPixelsX(twips); }
int PixelsY(float twips) { return Twips::ToPixelsY(twips); }
}  // namespace

void ScrollBarControl::Create(HWND parent, bool horizontal, float thickness) {
    horizontal_ = horizontal;
    if (horizontal) {
        height_ = thickness;
        width_ = 1200.0f;
    } else {
        width_ = thickness;
        height_ = 1200.0f;
    }
    min_ = 0;
    max_ = 32767;
    value_ = 0;
    smallChange_ = kSmallChange;
    largeChange_ = kLargeChange;
    applied_ = RECT{0, 0, PixelsX(width_), PixelsY(height_)};
    hwnd_ = CreateWindowExW(0, L"SCROLLBAR", nullptr, WS_CHILD | WS_VISIBLE | (horizontal ? SBS_HORZ : SBS_VERT), 0,
                            0, applied_.right, applied_.bottom, parent, nullptr, WindowBase::ModuleInstance(),
                            nullptr);
    KeepScrollBarPainting(hwnd_);
    ApplyRange();
}

void ScrollBarControl::ApplyGeometry() {
    if (hwnd_ == nullptr) return;
    const RECT wanted{PixelsX(left_), PixelsY(top_), PixelsX(width_), PixelsY(height_)};  // right, bottom: size
    if (EqualRect(&wanted, &applied_)) return;  // a layout that moves nothing touches no window
    applied_ = wanted;
    SetWindowPos(hwnd_, nullptr, wanted.left, wanted.top, wanted.right, wanted.bottom, SWP_NOZORDER | SWP_NOACTIVATE);
}

void ScrollBarControl::ApplyRange() {
    if (hwnd_ == nullptr) return;
    // The Win32 bar counts from Min towards Max, whichever way Max lies.
    const std::int64_t span = std::llabs(static_cast<std::int64_t>(max_) - min_);
    const std::int64_t position = std::llabs(static_cast<std::int64_t>(value_) - min_);
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_POS | SIF_PAGE;
    info.nMin = 0;
    // A page the size of the visible part makes the thumb proportional; the bar then ends
    // at nMax - nPage + 1, which is the span.
    const std::int64_t page = span > 0 ? std::max<std::int32_t>(page_, 1) : 0;
    info.nMax = static_cast<int>(std::min<std::int64_t>(span + std::max<std::int64_t>(page - 1, 0), INT32_MAX));
    info.nPage = static_cast<UINT>(page);
    info.nPos = static_cast<int>(std::min<std::int64_t>(position, INT32_MAX));
    SCROLLINFO shown{};
    shown.cbSize = sizeof shown;
    shown.fMask = SIF_RANGE | SIF_POS | SIF_PAGE;
    if (GetScrollInfo(hwnd_, SB_CTL, &shown) && shown.nMin == info.nMin && shown.nMax == info.nMax &&
        shown.nPage == info.nPage && shown.nPos == info.nPos)
        return;
    // Drawn with the window's next paint rather than at once: a layout or a zoom sets range
    // and position in turn, and each immediate redraw would draw the whole (themed) bar again.
    SetScrollInfo(hwnd_, SB_CTL, &info, FALSE);
    InvalidateRect(hwnd_, nullptr, FALSE);
}

void ScrollBarControl::SetPage(std::int32_t page) { page_ = std::max<std::int32_t>(page, 0); }

std::int32_t ScrollBarControl::Clamp(std::int32_t value) const noexcept {
    const std::int32_t low = std::min(min_, max_);
    const std::int32_t high = std::max(min_, max_);
    return std::clamp(value, low, high);
}

std::int32_t ScrollBarControl::RequestedValue(int code) const {
    const std::int64_t direction = max_ >= min_ ? 1 : -1;
    const std::int64_t span = std::llabs(static_cast<std::int64_t>(max_) - min_);
    std::int64_t position = std::llabs(static_cast<std::int64_t>(value_) - min_);
    switch (code) {
    case SB_LINEUP: position -= smallChange_; break;
    case SB_LINEDOWN: position += smallChange_; break;
    case SB_PAGEUP: position -= largeChange_; break;
    case SB_PAGEDOWN: position += largeChange_; break;
    case SB_TOP: position = 0; break;
    case SB_BOTTOM: position = span; break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
        // The 16-bit position in the message would cut large ranges short: ask the bar.
        SCROLLINFO info{};
        info.cbSize = sizeof info;
        info.fMask = SIF_TRACKPOS;
        if (GetScrollInfo(hwnd_, SB_CTL, &info)) position = info.nTrackPos;
        break;
    }
    default: break;
    }
    position = std::clamp<std::int64_t>(position, 0, span);
    return static_cast<std::int32_t>(min_ + direction * position);
}

void ScrollBarControl::Place(float left, float top, float length) {
    left_ = left;
    top_ = top;
    (horizontal_ ? width_ : height_) = length;
    ApplyGeometry();
}

void ScrollBarControl::SetVisible(bool visible) {
    visible_ = visible;
    const bool shown = hwnd_ != nullptr && (GetWindowLongPtrW(hwnd_, GWL_STYLE) & WS_VISIBLE) != 0;
    if (hwnd_ != nullptr && shown != visible) ShowWindow(hwnd_, visible ? SW_SHOWNA : SW_HIDE);
}
