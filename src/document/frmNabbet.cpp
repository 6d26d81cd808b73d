// The document window: its controls, activation, layout, scrolling and termination.
#include "document/frmNabbet.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <optional>

#include "document/DocumentLayout.h"
#include "platform/controls/ViewZoom.h"
#include "platform/controls/Conversions.h"
#include "platform/controls/Twips.h"
#include "platform/services/ScreenService.h"
#include "platform/windows/ErrorReporter.h"
#include "platform/windows/FrameHost.h"
#include "resource.h"

namespace {

constexpr wchar_t kDocumentClass[] = L"PixelnabDocument";
// Posted to itself when the window becomes the frame's active child, so that activation
// runs once its creator has finished, as a form's Activate event does.
constexpr UINT kActivateMessage = WM_APP + 0x41;

// Design values of the two scroll bars, in twips.
constexpr float kBarThickness = 255.0f;
// A wheel "line", in pixels: the system says how many lines a notch scrolls.
constexpr int kWheelLinePixels = 20;
// The size picNabbet keeps while it holds no picture.
constexpr float kEmptyPictureWidth = 2055.0f;
constexpr float kEmptyPictureHeight = 1935.0f;

// Holds a window's drawing off while it lives (WM_SETREDRAW); then the whole window,
// children included, is left to be painted.
class DrawingHeld {
public:
    explicit DrawingHeld(HWND window) : window_(window) { SendMessageW(window_, WM_SETREDRAW, FALSE, 0); }
    ~DrawingHeld() {
        SendMessageW(window_, WM_SETREDRAW, TRUE, 0);
        RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    }
    DrawingHeld(const DrawingHeld&) = delete;
    DrawingHeld& operator=(const DrawingHeld&) = delete;

private:
    HWND window_;
};

}  // namespace

frmNabbet::frmNabbet() {
    picNabbet_.SetOnAutoSized([this] {
        // A picture assigned after activation, or a new zoom: the bars follow the new size.
        if (IsLoaded() && picNabbet_.AutoSize()) {
            Form_Resize();
            ReportView();
        }
    });
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
        // Before its first activation the window is laid out by that activation, which
        // follows before anything is painted: one layout per new document, not two.
        if (hsbPic_.hWnd() != nullptr && activated_) Form_Resize();
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
    case WM_KEYDOWN:
        if (OnKeyDown(wParam)) return 0;
        break;
    case WM_MOUSEACTIVATE: {
        // A click on the picture gives the document the keyboard focus, even when it was
        // already the active one, so that the scrolling keys reach it.
        const LRESULT result = DefaultProc(hwnd_, message, wParam, lParam);
        const HWND focus = GetFocus();
        if (focus != hwnd_ && !IsChild(hwnd_, focus)) SetFocus(hwnd_);
        return result;
    }
    case WM_MOUSEWHEEL:
    case WM_MOUSEHWHEEL:
        OnWheel(GET_WHEEL_DELTA_WPARAM(wParam), GET_KEYSTATE_WPARAM(wParam),
                POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))},
                message == WM_MOUSEHWHEEL);
        return 0;
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
    // A new document has painted nothing yet: its first layout moves its controls with
    // drawing held off (each move inside a shown window costs several times as much), and
    // the whole window is painted once afterwards.
    const bool first = !activated_;
    activated_ = true;
    std::optional<DrawingHeld> held;
    // Only a shown window: turning drawing back on shows a hidden one.
    if (first && (GetWindowLongPtrW(hwnd_, GWL_STYLE) & WS_VISIBLE) != 0) held.emplace(hwnd_);
    picScroll_.SetBorderStyle(0);
    picScroll_.Move(0, 0);
    // No backing image to turn on: the box repaints from its picture at every exposure.
    picNabbet_.SetAutoSize(true);
    picNabbet_.SetBorderStyle(0);
    // The picture stays where the bars say the user left it.
    picNabbet_.Move(-static_cast<float>(hsbPic_.Value()), -static_cast<float>(vsbPic_.Value()));
    // Layout first, so that the one paint below is of the final geometry.
    Form_Resize();
    held.reset();
    picNabbet_.Refresh();
    ReportView();
}

void frmNabbet::Form_Resize() {
    ++layouts_;
    Trapped([&] {
        const DocumentLayout layout = ComputeDocumentLayout(DocumentLayoutInput{
            ScaleWidth(), ScaleHeight(), picNabbet_.Width(), picNabbet_.Height(), hsbPic_.Height(), vsbPic_.Width()});
        hsbPic_.SetPage(ToInt32(layout.viewportWidth));
        vsbPic_.SetPage(ToInt32(layout.viewportHeight));
        picScroll_.SetSize(layout.viewportWidth, layout.viewportHeight);

        hsbPic_.Place(layout.hsbLeft, layout.hsbTop, layout.hsbWidth);
        SetBarMax(hsbPic_, layout.hsbMax);

        vsbPic_.Place(layout.vsbLeft, layout.vsbTop, layout.vsbHeight);
        SetBarMax(vsbPic_, layout.vsbMax);

        hsbPic_.SetVisible(layout.hsbVisible);
        vsbPic_.SetVisible(layout.vsbVisible);
    });
}

void frmNabbet::SetBarMax(ScrollBarControl& bar, std::int32_t max) {
    bar.StoreMax(max);
    const std::int32_t held = bar.Clamp(bar.Value());
    if (held == bar.Value()) {
        bar.ApplyRange();
        return;
    }
    // The bar keeps its Value within the new range and reports the move.
    bar.StoreValue(held);
    bar.ApplyRange();
    if (&bar == &hsbPic_) {
        hsbPic_Change();
    } else {
        vsbPic_Change();
    }
}

void frmNabbet::SetScrollValue(ScrollBarControl& bar, std::int32_t value) {
    const std::int32_t wanted = bar.Clamp(value);
    const bool changed = wanted != bar.Value();
    bar.StoreValue(wanted);
    bar.ApplyRange();  // also puts a released thumb where the value is
    if (!changed) return;
    if (&bar == &hsbPic_) {
        hsbPic_Change();
    } else {
        vsbPic_Change();
    }
}

void frmNabbet::OnScroll(ScrollBarControl& bar, int code) {
    // A dragged thumb moves the picture as it goes (SB_THUMBTRACK), not only on release.
    if (code == SB_ENDSCROLL) return;
    SetScrollValue(bar, bar.RequestedValue(code));
}

bool frmNabbet::OnKeyDown(WPARAM key) {
    const bool control = (GetKeyState(VK_CONTROL) & 0x8000) != 0;
    switch (key) {
    case VK_LEFT: OnScroll(hsbPic_, SB_LINELEFT); return true;
    case VK_RIGHT: OnScroll(hsbPic_, SB_LINERIGHT); return true;
    case VK_UP: OnScroll(vsbPic_, SB_LINEUP); return true;
    case VK_DOWN: OnScroll(vsbPic_, SB_LINEDOWN); return true;
    case VK_PRIOR: OnScroll(vsbPic_, SB_PAGEUP); return true;
    case VK_NEXT: OnScroll(vsbPic_, SB_PAGEDOWN); return true;
    case VK_HOME:
        // Home and End run along the picture's height; with Ctrl they reach its corners.
        if (control) OnScroll(hsbPic_, SB_LEFT);
        OnScroll(vsbPic_, SB_TOP);
        return true;
    case VK_END:
        if (control) OnScroll(hsbPic_, SB_RIGHT);
        OnScroll(vsbPic_, SB_BOTTOM);
        return true;
    default: return false;
    }
}

void frmNabbet::OnWheel(int delta, WPARAM keys, POINT screenPoint, bool tilt) {
    if (!tilt && (keys & MK_CONTROL) != 0) {
        // One zoom step per notch, about the picture point under the pointer; a precise
        // wheel's smaller deltas add up to a notch first.
        wheelZoomRemainder_ += delta;
        POINT anchor = screenPoint;
        ScreenToClient(picScroll_.hWnd(), &anchor);
        RECT viewport{};
        GetClientRect(picScroll_.hWnd(), &viewport);
        if (!PtInRect(&viewport, anchor)) anchor = ViewportCentre();
        while (wheelZoomRemainder_ >= WHEEL_DELTA) {
            wheelZoomRemainder_ -= WHEEL_DELTA;
            SetZoomAbout(ViewZoom::StepIn(Zoom()), anchor);
        }
        while (wheelZoomRemainder_ <= -WHEEL_DELTA) {
            wheelZoomRemainder_ += WHEEL_DELTA;
            SetZoomAbout(ViewZoom::StepOut(Zoom()), anchor);
        }
        return;
    }
    const bool horizontal = tilt || (keys & MK_SHIFT) != 0;
    UINT lines = 3;
    SystemParametersInfoW(horizontal && tilt ? SPI_GETWHEELSCROLLCHARS : SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
    RECT viewport{};
    GetClientRect(picScroll_.hWnd(), &viewport);
    const int page = horizontal ? viewport.right : viewport.bottom;
    const int pixels = ViewZoom::WheelDistance(delta, lines, kWheelLinePixels, page);
    // The wheel turned away from the user (positive) shows what is above; a tilt to the
    // right (positive) shows what is to the right.
    if (horizontal) {
        ScrollByPixels(hsbPic_, tilt ? pixels : -pixels);
    } else {
        ScrollByPixels(vsbPic_, -pixels);
    }
}

void frmNabbet::ScrollByPixels(ScrollBarControl& bar, int pixels) {
    const float perPixel = &bar == &hsbPic_ ? Screen::TwipsPerPixelX() : Screen::TwipsPerPixelY();
    const std::int64_t wanted = static_cast<std::int64_t>(bar.Value()) + std::llround(pixels * static_cast<double>(perPixel));
    SetScrollValue(bar, static_cast<std::int32_t>(std::clamp<std::int64_t>(wanted, INT32_MIN, INT32_MAX)));
}

POINT frmNabbet::ViewportCentre() const {
    RECT viewport{};
    GetClientRect(picScroll_.hWnd(), &viewport);
    return POINT{viewport.right / 2, viewport.bottom / 2};
}

void frmNabbet::SetZoom(double zoom) { SetZoomAbout(zoom, ViewportCentre()); }

void frmNabbet::SetZoomAbout(double zoom, POINT anchor) {
    Trapped([&] {
        const double from = picNabbet_.Zoom();
        zoom = std::clamp(zoom, ViewZoom::kFloor, ViewZoom::kMaximum);
        if (zoom == from || picNabbet_.GetPicture().IsEmpty()) return;
        const double perPixelX = Screen::TwipsPerPixelX();
        const double perPixelY = Screen::TwipsPerPixelY();
        const double offsetX = ViewZoom::OffsetAbout(hsbPic_.Value() / perPixelX, anchor.x, from, zoom);
        const double offsetY = ViewZoom::OffsetAbout(vsbPic_.Value() / perPixelY, anchor.y, from, zoom);
        // The box is resized, the bars relaid and the picture moved with drawing held off;
        // then the viewport paints once, and only the part of the picture it shows.
        RECT viewportBefore{};
        GetWindowRect(picScroll_.hWnd(), &viewportBefore);
        SendMessageW(picScroll_.hWnd(), WM_SETREDRAW, FALSE, 0);
        picNabbet_.SetZoom(zoom);
        if (!picNabbet_.AutoSize()) Form_Resize();  // with AutoSize the box relaid the window already
        SetScrollValue(hsbPic_, ToInt32(std::round(offsetX) * perPixelX));
        SetScrollValue(vsbPic_, ToInt32(std::round(offsetY) * perPixelY));
        // The bars may have kept their values while the box moved under them.
        picNabbet_.Move(-static_cast<float>(hsbPic_.Value()), -static_cast<float>(vsbPic_.Value()));
        SendMessageW(picScroll_.hWnd(), WM_SETREDRAW, TRUE, 0);
        // A viewport that shrank while it drew nothing leaves part of the window uncovered:
        // the window's background takes it (the children clip themselves out).
        RECT viewportAfter{};
        GetWindowRect(picScroll_.hWnd(), &viewportAfter);
        if (!EqualRect(&viewportBefore, &viewportAfter)) InvalidateRect(hwnd_, nullptr, TRUE);
        RedrawWindow(picScroll_.hWnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        UpdateWindow(hwnd_);
        ReportView();
    });
}

void frmNabbet::ZoomIn() { SetZoom(ViewZoom::StepIn(Zoom())); }

void frmNabbet::ZoomOut() { SetZoom(ViewZoom::StepOut(Zoom())); }

void frmNabbet::ActualSize() { SetZoom(1.0); }

void frmNabbet::FitToWindow() {
    const Picture& picture = picNabbet_.GetPicture();
    if (picture.IsEmpty()) return;
    const SIZE size = picture.SizePixels();
    RECT client{};
    GetClientRect(hwnd_, &client);
    // Fitted, the picture needs no bars: the whole client area is the viewport.
    SetZoomAbout(ViewZoom::Fit(size.cx, size.cy, client.right, client.bottom), POINT{0, 0});
}

std::wstring frmNabbet::ViewDescription() const {
    const Picture& picture = picNabbet_.GetPicture();
    if (picture.IsEmpty()) return {};
    const SIZE size = picture.SizePixels();
    return ViewZoom::Describe(size.cx, size.cy, Zoom());
}

void frmNabbet::ReportView() const {
    if (IFrameHost* frame = CurrentFrame()) frame->ViewChanged();
}

void frmNabbet::hsbPic_Change() {
    Trapped([&] { picNabbet_.Move(static_cast<float>(-static_cast<std::int64_t>(hsbPic_.Value())), picNabbet_.Top()); });
}

void frmNabbet::vsbPic_Change() {
    Trapped([&] { picNabbet_.Move(picNabbet_.Left(), static_cast<float>(-static_cast<std::int64_t>(vsbPic_.Value()))); });
}
