#include "select/frmWindow.h"

#include <windowsx.h>

#include <algorithm>
#include <cstdint>

#include "platform/rules/Conversions.h"
#include "platform/rules/DpiScale.h"
#include "platform/windows/Twips.h"
#include "platform/pictures/ScreenCapture.h"
#include "platform/windows/ScreenService.h"
#include "platform/windows/Dpi.h"
#include "platform/windows/ErrorReporter.h"
#include "platform/windows/Handles.h"
#include "select/MouseInput.h"
#include "resource.h"

namespace {

constexpr wchar_t kPickerClass[] = L"PixelnabPicker";
constexpr wchar_t kIconBoxClass[] = L"PixelnabDragIconBox";

// Design geometry, twips.
constexpr float kClientWidth = 3600.0f;
constexpr float kClientHeight = 1290.0f;
constexpr RECT kLabel1{135, 135, 135 + 3360, 135 + 435};
constexpr RECT kPicDrag{1523, 608, 1523 + 555, 608 + 495};

RECT TwipsToPixels(const RECT& twips, int dpi) {
    return Dpi::TwipsToPixelRect(twips.left, twips.top, twips.right - twips.left, twips.bottom - twips.top, dpi);
}

}  // namespace

void InvertWindowFrame(HWND window) {
    Trapped([&] {
        const int border = GetSystemMetrics(SM_CXBORDER);
        // The frame follows the window's visible bounds: on systems that draw invisible
        // resize borders, a frame at the outer rectangle would not be seen.
        RECT outer{};
        GetWindowRect(window, &outer);
        const RECT visible = VisibleWindowRect(window);
        const std::int32_t left = ToInt32(static_cast<double>(visible.left) - outer.left);
        const std::int32_t top = ToInt32(static_cast<double>(visible.top) - outer.top);
        const std::int32_t right = ToInt32(static_cast<double>(visible.right) - outer.left);
        const std::int32_t bottom = ToInt32(static_cast<double>(visible.bottom) - outer.top);
        unique_hpen pen(CreatePen(PS_INSIDEFRAME, ToInt32(3.0 * border), RGB(0, 0, 0)));
        WindowDC dc(window, true);
        const int oldMode = SetROP2(dc.get(), R2_NOT);  // the pen inverts: its colour does not matter
        {
            SelectGuard selectPen(dc.get(), pen.get());
            SelectGuard selectBrush(dc.get(), GetStockObject(NULL_BRUSH));
            Rectangle(dc.get(), left, top, right, bottom);
        }
        SetROP2(dc.get(), oldMode);
    });
}

void DragIconBox::Create(HWND parent, int x, int y, int width, int height) {
    RegisterWindowClass(kIconBoxClass, 0, nullptr, nullptr, LoadCursorW(nullptr, IDC_ARROW),
                        reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    CreateWindowFor(WS_EX_CLIENTEDGE, kIconBoxClass, L"", WS_CHILD | WS_VISIBLE, x, y, width, height, parent,
                    nullptr);
}

void DragIconBox::SetShowsIcon(bool shows) {
    showsIcon_ = shows;
    if (hwnd_ != nullptr) {
        InvalidateRect(hwnd_, nullptr, TRUE);
        UpdateWindow(hwnd_);
    }
}

LRESULT DragIconBox::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    const auto x = [&] { return static_cast<float>(GET_X_LPARAM(lParam)); };
    const auto y = [&] { return static_cast<float>(GET_Y_LPARAM(lParam)); };
    switch (message) {
    case WM_PAINT: {
        PaintDC paint(hwnd_);
        if (showsIcon_) {
            // Centred where the box has room to spare (at higher DPIs), else at its corner.
            RECT client{};
            GetClientRect(hwnd_, &client);
            const int x = std::max(0, (static_cast<int>(client.right) - iconSize_) / 2);
            const int y = std::max(0, (static_cast<int>(client.bottom) - iconSize_) / 2);
            DrawIconEx(paint.get(), x, y, picker_.DragIcon(), iconSize_, iconSize_, 0, nullptr, DI_NORMAL);
        }
        return 0;
    }
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        lastPointer_ = lParam;
        picker_.picDrag_MouseDown(ButtonOf(message), CurrentShiftState(), x(), y());
        return 0;
    case WM_MOUSEMOVE:
        // The system may repeat the pointer's position (after a capture change, for one);
        // that is no movement, and must not pick the box under a press that never moved.
        if (lParam == lastPointer_ && GetCapture() == hwnd_) return 0;
        lastPointer_ = lParam;
        picker_.picDrag_MouseMove(ButtonStateOf(wParam), CurrentShiftState(), x(), y());
        return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
        // The capture taken at the press lasts until the button is released.
        if (GetCapture() == hwnd_ && ButtonStateOf(wParam) == 0) ReleaseCapture();
        lastPointer_ = lParam;
        picker_.picDrag_MouseUp(ButtonOf(message), CurrentShiftState(), x(), y());
        return 0;
    default:
        break;
    }
    return DefaultProc(hwnd_, message, wParam, lParam);
}

frmWindow::frmWindow() = default;

void frmWindow::CreateFormWindow() {
    const HINSTANCE instance = ModuleInstance();
    dragIcon_ = LoadCursorW(instance, MAKEINTRESOURCEW(IDC_DRAG));
    RegisterWindowClass(kPickerClass, 0, nullptr, nullptr, LoadCursorW(nullptr, IDC_ARROW),
                        reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    const DWORD style = WS_OVERLAPPEDWINDOW;
    RECT rect{0, 0, Twips::ToPixelsX(kClientWidth), Twips::ToPixelsY(kClientHeight)};
    AdjustWindowRectEx(&rect, style, FALSE, 0);
    CreateWindowFor(0, kPickerClass, kCaption, style, CW_USEDEFAULT, CW_USEDEFAULT, rect.right - rect.left,
                    rect.bottom - rect.top, nullptr, nullptr);
    if (hwnd_ == nullptr) return;
    dpi_ = Dpi::OfWindow(hwnd_);
    picDrag_.Create(hwnd_, 0, 0, 0, 0);
    ApplyDpi();
}

RECT frmWindow::InstructionRect() const { return TwipsToPixels(kLabel1, dpi_); }

// The drawn cursor grows with the DPI in whole steps of its 32 pixels, so that it stays sharp.
void frmWindow::ApplyDpi() {
    font_ = Dpi::MessageFont(dpi_);
    const RECT box = TwipsToPixels(kPicDrag, dpi_);
    MoveWindow(picDrag_.hWnd(), box.left, box.top, box.right - box.left, box.bottom - box.top, TRUE);
    picDrag_.SetIconSize(32 * std::max(1, ScaleForDpi(32, kStandardDpi, dpi_) / 32));
    InvalidateRect(hwnd_, nullptr, TRUE);
}

void frmWindow::Form_Load() {
    Trapped([&] {
        // Every opening starts with nothing picked and nothing framed.
        mlngHwndCaptured = nullptr;
        lngHwndLast = nullptr;
        // The box's coordinates are pixels; its picture is the drag icon, which is also
        // the picker's custom pointer.
        picDrag_.SetShowsIcon(true);
        mousePointer_ = MousePointerCode::Default;
    });
}

void frmWindow::SetMousePointer(MousePointerCode code) {
    mousePointer_ = code;
    SetCursor(code == MousePointerCode::Custom ? dragIcon_ : LoadCursorW(nullptr, IDC_ARROW));
}

void frmWindow::picDrag_MouseDown(int /*Button*/, int /*Shift*/, float /*X*/, float /*Y*/) {
    Trapped([&] {
        SetMousePointer(MousePointerCode::Custom);
        picDrag_.SetShowsIcon(false);  // the icon leaves the box and travels as the pointer
        SetCapture(picDrag_.hWnd());
    });
}

void frmWindow::picDrag_MouseMove(int /*Button*/, int /*Shift*/, float X, float Y) {
    Trapped([&] {
        if (GetCapture() == nullptr) return;
        POINT point{ToInt32(X), ToInt32(Y)};
        ClientToScreen(picDrag_.hWnd(), &point);
        mlngHwndCaptured = WindowFromPoint(point);
        if (mlngHwndCaptured != lngHwndLast) {
            if (lngHwndLast != nullptr) InvertWindowFrame(lngHwndLast);
            InvertWindowFrame(mlngHwndCaptured);
            lngHwndLast = mlngHwndCaptured;
        }
    });
}

void frmWindow::picDrag_MouseUp(int /*Button*/, int /*Shift*/, float /*X*/, float /*Y*/) {
    Trapped([&] {
        if (mlngHwndCaptured == nullptr) return;
        // Every window repaints, which takes the last frame off the picked window.
        InvalidateRect(nullptr, nullptr, TRUE);
        SetMousePointer(MousePointerCode::Default);
        // A hidden picker keeps no hold on the pointer.
        if (GetCapture() == picDrag_.hWnd()) ReleaseCapture();
        // Hiding a modally shown form ends its modal display; the caller reads the pick.
        Hide();
    });
}

void frmWindow::Paint() {
    PaintDC paint(hwnd_);
    RECT label{};
    Trapped([&] { label = InstructionRect(); });
    SelectGuard font(paint.get(), font_ ? static_cast<HGDIOBJ>(font_.get()) : GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(paint.get(), TRANSPARENT);
    SetTextColor(paint.get(), GetSysColor(COLOR_BTNTEXT));
    DrawTextW(paint.get(), kInstruction, -1, &label, DT_CENTER | DT_WORDBREAK | DT_NOPREFIX);
}

LRESULT frmWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT:
        Paint();
        return 0;
    case WM_DPICHANGED:
        Trapped([&] {
            dpi_ = LOWORD(wParam);
            ApplyDpi();
            Dpi::ApplySuggestedRect(hwnd_, lParam);
        });
        return 0;
    case WM_CLOSE:
        // Closed by its close box or Alt+F4: unloading gives the disabled owner its input
        // back before the window goes, so that the system activates the owner, not
        // another program.
        Trapped([&] { Unload(); });
        return 0;
    case WM_DESTROY:
        if (GetCapture() == picDrag_.hWnd()) ReleaseCapture();
        break;
    case WM_SETCURSOR:
        // Children ask their parent first, so this covers the icon box too.
        if (mousePointer_ == MousePointerCode::Custom && LOWORD(lParam) == HTCLIENT) {
            SetCursor(dragIcon_);
            return TRUE;
        }
        break;
    default:
        break;
    }
    return DefaultProc(hwnd_, message, wParam, lParam);
}
