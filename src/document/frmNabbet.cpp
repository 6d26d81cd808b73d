// The document window: its controls, activation, layout, scrolling and termination.
#include "document/frmNabbet.h"

#include <algorithm>
#include <cstdlib>

#include "platform/ErrorReporter.h"
#include "platform/FrameHost.h"
#include "document/DocumentLayout.h"
#include "platform/Conversions.h"
#include "platform/ScreenService.h"
#include "platform/Twips.h"
#include "resource.h"

namespace {

constexpr wchar_t kDocumentClass[] = L"PixelnabDocument";
constexpr wchar_t kPictureBoxClass[] = L"PixelnabPictureBox";
// Posted to itself when the window becomes the frame's active child, so that activation
// runs once its creator has finished, as a form's Activate event does.
constexpr UINT kActivateMessage = WM_APP + 0x41;

// Design values of the two scroll bars, in twips.
constexpr float kBarThickness = 255.0f;
constexpr std::int32_t kSmallChange = 30;
constexpr std::int32_t kLargeChange = 900;
// The size picNabbet keeps while it holds no picture.
constexpr float kEmptyPictureWidth = 2055.0f;
constexpr float kEmptyPictureHeight = 1935.0f;

int PixelsX(float twips) { return Twips::ToPixelsX(twips); }
int PixelsY(float twips) { return Twips::ToPixelsY(twips); }

}  // namespace

// ---- PictureBox -------------------------------------------------------------------

void PictureBox::Create(HWND parent, float width, float height) {
    RegisterWindowClass(kPictureBoxClass, 0, nullptr, nullptr, LoadCursorW(nullptr, IDC_ARROW), nullptr);
    width_ = width;
    height_ = height;
    background_ = GetSysColorBrush(COLOR_BTNFACE);
    CreateWindowFor(0, kPictureBoxClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, 0, 0,
                    PixelsX(width), PixelsY(height), parent, nullptr);
}

void PictureBox::SetPicture(Picture picture) {
    picture_ = std::move(picture);
    if (autoSize_ && !picture_.IsEmpty()) {
        const float width = PictureWidthTwips();
        const float height = PictureHeightTwips();
        if (width != width_ || height != height_) {
            width_ = width;
            height_ = height;
            ApplyGeometry();
            if (onAutoSized_) onAutoSized_();
        }
    }
    if (hwnd_ != nullptr) InvalidateRect(hwnd_, nullptr, FALSE);
}

float PictureBox::PictureWidthTwips() const {
    if (picture_.IsEmpty()) return 0.0f;
    return Twips::FromPixelsX(picture_.SizePixels().cx);
}

float PictureBox::PictureHeightTwips() const {
    if (picture_.IsEmpty()) return 0.0f;
    return Twips::FromPixelsY(picture_.SizePixels().cy);
}

void PictureBox::Move(float left, float top) {
    left_ = left;
    top_ = top;
    ApplyGeometry();
}

void PictureBox::SetWidth(float twips) {
    width_ = twips;
    ApplyGeometry();
}

void PictureBox::SetHeight(float twips) {
    height_ = twips;
    ApplyGeometry();
}

void PictureBox::SetAutoSize(bool on) {
    autoSize_ = on;
    if (on && !picture_.IsEmpty()) {
        width_ = PictureWidthTwips();
        height_ = PictureHeightTwips();
        ApplyGeometry();
    }
}

void PictureBox::SetBorderStyle(int style) {
    borderStyle_ = style;
    if (hwnd_ == nullptr) return;
    LONG_PTR windowStyle = GetWindowLongPtrW(hwnd_, GWL_STYLE);
    const LONG_PTR wanted = style != 0 ? (windowStyle | WS_BORDER) : (windowStyle & ~static_cast<LONG_PTR>(WS_BORDER));
    if (wanted != windowStyle) {
        SetWindowLongPtrW(hwnd_, GWL_STYLE, wanted);
        SetWindowPos(hwnd_, nullptr, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    }
}

void PictureBox::Refresh() {
    if (hwnd_ == nullptr) return;
    InvalidateRect(hwnd_, nullptr, FALSE);
    UpdateWindow(hwnd_);
}

void PictureBox::ApplyGeometry() {
    if (hwnd_ == nullptr) return;
    // Moving the window lets the system copy the bits that stay visible and repaint only
    // what is exposed, so scrolling costs the same for any picture size.
    SetWindowPos(hwnd_, nullptr, PixelsX(left_), PixelsY(top_), PixelsX(width_), PixelsY(height_),
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT PictureBox::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ERASEBKGND:
        return 1;  // WM_PAINT covers every pixel
    case WM_PAINT:
        Paint();
        return 0;
    default:
        return WindowBase::HandleMessage(message, wParam, lParam);
    }
}

void PictureBox::Paint() {
    PaintDC paint(hwnd_);
    const HDC dc = paint.get();
    const RECT& area = paint.area();
    RECT client{};
    GetClientRect(hwnd_, &client);
    SIZE size{0, 0};
    if (const HBITMAP bitmap = picture_.Bitmap()) {
        BITMAP info{};
        if (GetObjectW(bitmap, sizeof info, &info) != 0) size = SIZE{info.bmWidth, info.bmHeight};
        const unique_hdc memory(CreateCompatibleDC(dc));
        const HPALETTE palette = picture_.Palette();
        const PaletteGuard screenPalette(dc, palette);
        const SelectGuard selected(memory.get(), bitmap);
        // Only the part that needs painting: a block transfer straight from the bitmap.
        const int right = std::min<LONG>(area.right, size.cx);
        const int bottom = std::min<LONG>(area.bottom, size.cy);
        if (right > area.left && bottom > area.top)
            BitBlt(dc, area.left, area.top, right - area.left, bottom - area.top, memory.get(), area.left, area.top,
                   SRCCOPY);
    } else if (!picture_.IsEmpty()) {
        FillRect(dc, &area, background_);
        size = picture_.SizePixels();
        picture_.Render(dc, 0, 0);
        return;
    }
    // What the picture does not cover shows the box's background.
    RECT right{size.cx, 0, client.right, client.bottom};
    RECT below{0, size.cy, std::min<LONG>(size.cx, client.right), client.bottom};
    if (right.right > right.left && right.bottom > right.top) FillRect(dc, &right, background_);
    if (below.right > below.left && below.bottom > below.top) FillRect(dc, &below, background_);
}

// ---- ScrollBarControl ------------------------------------------------------------

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
    hwnd_ = CreateWindowExW(0, L"SCROLLBAR", nullptr, WS_CHILD | WS_VISIBLE | (horizontal ? SBS_HORZ : SBS_VERT), 0,
                            0, PixelsX(width_), PixelsY(height_), parent, nullptr, WindowBase::ModuleInstance(),
                            nullptr);
    ApplyRange();
}

void ScrollBarControl::ApplyGeometry() {
    if (hwnd_ == nullptr) return;
    SetWindowPos(hwnd_, nullptr, PixelsX(left_), PixelsY(top_), PixelsX(width_), PixelsY(height_),
                 SWP_NOZORDER | SWP_NOACTIVATE);
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
    info.nMax = static_cast<int>(std::min<std::int64_t>(span, INT32_MAX));
    info.nPage = 0;
    info.nPos = static_cast<int>(std::min<std::int64_t>(position, INT32_MAX));
    SetScrollInfo(hwnd_, SB_CTL, &info, TRUE);
}

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

// ---- frmNabbet ------------------------------------------------------------------

frmNabbet::frmNabbet() {
    picNabbet_.onAutoSized_ = [this] {
        // A picture assigned after activation: the bars follow the new size.
        if (IsLoaded() && picNabbet_.AutoSize()) Form_Resize();
    };
}

void frmNabbet::CreateFormWindow() {
    IFrameHost* frame = CurrentFrame();
    if (frame == nullptr) return;
    const HINSTANCE instance = ModuleInstance();
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof existing;
    if (!GetClassInfoExW(instance, kDocumentClass, &existing)) {
        // The class keeps its icons for the whole run: loaded once, with the class.
        RegisterWindowClass(
            kDocumentClass, CS_HREDRAW | CS_VREDRAW,
            static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_NABBET), IMAGE_ICON, 32, 32, 0)),
            static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_NABBET), IMAGE_ICON, 16, 16, 0)),
            LoadCursorW(nullptr, IDC_ARROW), reinterpret_cast<HBRUSH>(COLOR_APPWORKSPACE + 1));
    }
    // While the active document is maximised, a new one opens maximised too, as MDI
    // documents do on Windows (Wine's MDI client would restore the active one instead).
    BOOL activeMaximised = FALSE;
    SendMessageW(frame->DocumentArea(), WM_MDIGETACTIVE, 0, reinterpret_cast<LPARAM>(&activeMaximised));
    const DWORD style = WS_CHILD | WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_VISIBLE | (activeMaximised ? WS_MAXIMIZE : 0);
    CreateWindowFor(WS_EX_MDICHILD, kDocumentClass, L"", style,
                    CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, frame->DocumentArea(), nullptr);
    // The frame keeps its list of documents and learns from it when this one goes.
    if (hwnd_ != nullptr) frame->AdoptDocument(std::static_pointer_cast<DocumentForm>(shared_from_this()));
}

void frmNabbet::CreateControls() {
    hsbPic_.Create(hwnd_, true, kBarThickness);
    vsbPic_.Create(hwnd_, false, kBarThickness);
    picScroll_.Create(hwnd_, kEmptyPictureWidth, kEmptyPictureHeight);
    picNabbet_.Create(picScroll_.hWnd(), kEmptyPictureWidth, kEmptyPictureHeight);
}

void frmNabbet::DestroyFormWindow() {
    const HWND client = GetParent(hwnd_);
    if (client != nullptr) {
        SendMessageW(client, WM_MDIDESTROY, reinterpret_cast<WPARAM>(hwnd_), 0);
    } else {
        DestroyWindow(hwnd_);
    }
}

LRESULT frmNabbet::DefaultProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefMDIChildProcW(window, message, wParam, lParam);
}

LRESULT frmNabbet::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        CreateControls();
        break;
    case WM_MDIACTIVATE:
        if (reinterpret_cast<HWND>(lParam) == hwnd_ && !activationPending_) {
            activationPending_ = true;
            PostMessageW(hwnd_, kActivateMessage, 0, 0);
        }
        break;
    case kActivateMessage:
        RunActivation();
        return 0;
    case WM_SIZE:
        // The MDI child procedure needs WM_SIZE too (maximised children, the system menu).
        if (hsbPic_.hWnd() != nullptr) Form_Resize();
        break;
    case WM_HSCROLL:
        if (reinterpret_cast<HWND>(lParam) == hsbPic_.hWnd() && lParam != 0) {
            OnScroll(hsbPic_, LOWORD(wParam));
            return 0;
        }
        break;
    case WM_VSCROLL:
        if (reinterpret_cast<HWND>(lParam) == vsbPic_.hWnd() && lParam != 0) {
            OnScroll(vsbPic_, LOWORD(wParam));
            return 0;
        }
        break;
    default:
        break;
    }
    return DefaultProc(hwnd_, message, wParam, lParam);
}

void frmNabbet::RunActivation() {
    activationPending_ = false;
    if (!IsLoaded()) return;
    auto keepAlive = shared_from_this();  // a failed activation unloads this window
    // Any failure closes the document without a message.
    RunTrapped([&] { Form_Activate(); }, [&] { Unload(); });
}

void frmNabbet::Form_Activate() {
    picScroll_.SetBorderStyle(0);
    picScroll_.Move(0, 0);
    picNabbet_.SetAutoRedraw(true);
    picNabbet_.SetAutoSize(true);
    picNabbet_.SetBorderStyle(0);
    // Back at the viewport's corner whatever the bars show; their values stay.
    picNabbet_.Move(0, 0);
    picNabbet_.Refresh();
    Form_Resize();
}

void frmNabbet::Form_Resize() {
    Trapped([&] {
        const DocumentLayout layout = ComputeDocumentLayout(DocumentLayoutInput{
            ScaleWidth(), ScaleHeight(), picNabbet_.Width(), picNabbet_.Height(), hsbPic_.Height(), vsbPic_.Width()});
        picScroll_.SetHeight(layout.viewportHeight);
        picScroll_.SetWidth(layout.viewportWidth);

        hsbPic_.top_ = layout.hsbTop;
        hsbPic_.left_ = layout.hsbLeft;
        hsbPic_.width_ = layout.hsbWidth;
        hsbPic_.ApplyGeometry();
        SetBarMax(hsbPic_, layout.hsbMax);

        vsbPic_.top_ = layout.vsbTop;
        vsbPic_.left_ = layout.vsbLeft;
        vsbPic_.height_ = layout.vsbHeight;
        vsbPic_.ApplyGeometry();
        SetBarMax(vsbPic_, layout.vsbMax);

        hsbPic_.visible_ = layout.hsbVisible;
        ShowWindow(hsbPic_.hWnd(), layout.hsbVisible ? SW_SHOWNA : SW_HIDE);
        vsbPic_.visible_ = layout.vsbVisible;
        ShowWindow(vsbPic_.hWnd(), layout.vsbVisible ? SW_SHOWNA : SW_HIDE);
    });
}

void frmNabbet::SetBarMax(ScrollBarControl& bar, std::int32_t max) {
    bar.max_ = max;
    const std::int32_t held = bar.Clamp(bar.value_);
    if (held == bar.value_) {
        bar.ApplyRange();
        return;
    }
    // The bar keeps its Value within the new range and reports the move.
    bar.value_ = held;
    bar.ApplyRange();
    if (&bar == &hsbPic_) {
        hsbPic_Change();
    } else {
        vsbPic_Change();
    }
}

void frmNabbet::SetScrollValue(ScrollBarControl& bar, std::int32_t value) {
    const std::int32_t wanted = bar.Clamp(value);
    const bool changed = wanted != bar.value_;
    bar.value_ = wanted;
    bar.ApplyRange();  // also puts a released thumb where the value is
    if (!changed) return;
    if (&bar == &hsbPic_) {
        hsbPic_Change();
    } else {
        vsbPic_Change();
    }
}

void frmNabbet::OnScroll(ScrollBarControl& bar, int code) {
    // A dragged thumb moves the picture only when it is released (SB_THUMBPOSITION).
    if (code == SB_THUMBTRACK || code == SB_ENDSCROLL) return;
    SetScrollValue(bar, bar.RequestedValue(code));
}

void frmNabbet::hsbPic_Change() {
    Trapped([&] { picNabbet_.Move(static_cast<float>(-static_cast<std::int64_t>(hsbPic_.Value())), picNabbet_.Top()); });
}

void frmNabbet::vsbPic_Change() {
    Trapped([&] { picNabbet_.Move(picNabbet_.Left(), static_cast<float>(-static_cast<std::int64_t>(vsbPic_.Value()))); });
}
