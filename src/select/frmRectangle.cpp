#include "select/frmRectangle.h"

#include <windowsx.h>

#include <climits>
#include <cmath>
#include <vector>

#include "platform/pictures/ScreenCapture.h"
#include "platform/windows/ErrorReporter.h"
#include "platform/services/FrameHost.h"
#include "platform/windows/ScreenService.h"
#include "platform/windows/Twips.h"
#include "select/MouseInput.h"

namespace {

constexpr wchar_t kSelectorClass[] = L"PixelnabRectangle";


bool SameRect(const RECT& a, const RECT& b) noexcept {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

}  // namespace


RECT PaintedPixelBounds(const PaintedControl& control, bool outline) noexcept {
    RECT bounds = Twips::ToPixelRectForDrawing(control.Left, control.Top, control.Width, control.Height);
    // An outline's far edges are drawn on the pixel after its size.
    const int extra = outline ? 1 : 0;
    return RECT{bounds.left, bounds.top, bounds.right + extra, bounds.bottom + extra};
}

frmRectangle::frmRectangle(IFrameHost* frame) : frame_(frame) { ResetControls(); }

frmRectangle::~frmRectangle() { ReleaseFrozenScreen(); }

void frmRectangle::ResetControls() {
    lblSelect = PaintedControl{1790.0f, 1477.0f, kReadoutWidth, kReadoutHeight, false, L"0 x 0"};
    shpSelect = PaintedControl{1433.0f, 1200.0f, 1815.0f, 735.0f, false, L""};
    drawnBand_ = DrawnState{};
    drawnLabel_ = DrawnState{};
}

void frmRectangle::CreateFormWindow() {
    RegisterWindowClass(kSelectorClass, 0, nullptr, nullptr, LoadCursorW(nullptr, IDC_ARROW), nullptr);
    // Each opening starts from the controls as designed.
    ResetControls();
    // Borderless, kept out of the taskbar, above everything while the user selects.
    CreateWindowFor(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, kSelectorClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr);
    if (hwnd_ != nullptr) font_ = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

void frmRectangle::Form_Load() {
    Trapped([&] {
        // Over every monitor, placed in pixels: the desktop may begin left of or above
        // the primary screen, and its size need not be a whole number of twips.
        const EdgeRect desktop = DesktopPixels();
        SetWindowPos(hwnd_, nullptr, desktop.Left, desktop.Top, EdgeDifference(desktop.Right, desktop.Left),
                     EdgeDifference(desktop.Bottom, desktop.Top), SWP_NOZORDER | SWP_NOACTIVATE);
        // The frozen picture's pixel 0,0 is the desktop's top-left corner, as is the
        // window's client origin: band coordinates address both alike.
        FreezeScreen(CaptureDesktopArea(desktop));
        InvalidateRect(hwnd_, nullptr, FALSE);
        UpdateWindow(hwnd_);
        lblSelect.Visible = false;
        shpSelect.Visible = false;
        SetMousePointer(MousePointerCode::Crosshair);
    });
}

void frmRectangle::FreezeScreen(Picture picture) {
    ReleaseFrozenScreen();
    picture_ = std::move(picture);
    // The picture's bitmap stays selected in a memory DC for as long as the selector is
    // loaded, so every repaint is one block transfer from memory.
    if (HBITMAP bitmap = picture_.Bitmap()) {
        frozenDc_.reset(CreateCompatibleDC(nullptr));
        if (frozenDc_) frozenPrevious_ = SelectObject(frozenDc_.get(), bitmap);
    }
}

void frmRectangle::ReleaseFrozenScreen() noexcept {
    if (frozenDc_ && frozenPrevious_ != nullptr) SelectObject(frozenDc_.get(), frozenPrevious_);
    frozenPrevious_ = nullptr;
    frozenDc_.reset();
}

Picture frmRectangle::CaptureFrozenArea(const PixelRect& area) const {
    WindowDC screen(nullptr, false);
    // A zero size gives what the platform gives for it, as any capture does.
    HBITMAP bitmap = CreateCompatibleBitmap(screen.get(), area.Width, area.Height);
    {
        unique_hdc memory(CreateCompatibleDC(screen.get()));
        SelectGuard select(memory.get(), bitmap);
        if (frozenDc_) {
            BitBlt(memory.get(), 0, 0, area.Width, area.Height, frozenDc_.get(), area.Left, area.Top, SRCCOPY);
        }
    }
    // On a palette display the picture keeps the palette the screen had when it froze.
    HPALETTE palette = nullptr;
    if (HPALETTE frozenPalette = picture_.Palette()) {
        const UINT count = GetPaletteEntries(frozenPalette, 0, 0, nullptr);
        std::vector<BYTE> block(sizeof(LOGPALETTE) + count * sizeof(PALETTEENTRY));
        auto* logical = reinterpret_cast<LOGPALETTE*>(block.data());
        logical->palVersion = 0x300;
        logical->palNumEntries = static_cast<WORD>(count);
        GetPaletteEntries(frozenPalette, 0, count, logical->palPalEntry);
        palette = CreatePalette(logical);
    }
    return PictureOwningBitmap(bitmap, palette);
}

void frmRectangle::SetMousePointer(MousePointerCode code) {
    mousePointer_ = code;
    SetCursor(LoadCursorW(nullptr, code == MousePointerCode::Crosshair ? IDC_CROSS : IDC_ARROW));
}

void frmRectangle::Form_MouseDown(int Button, int /*Shift*/, float X, float Y) {
    Trapped([&] {
        if (Button != 1) return;
        const BandAnchor anchor = AnchorFromPress(X, Y);
        mlngStartX = anchor.X;
        mlngStartY = anchor.Y;
        lblSelect.SetGeometry(ReadoutCentredOn(X, Y));
        lblSelect.Visible = true;
        shpSelect.SetGeometry(BandAtPress(X, Y));
        shpSelect.Visible = true;
    });
    RefreshControls();
}

void frmRectangle::Form_MouseMove(int Button, int /*Shift*/, float X, float Y) {
    Trapped([&] {
        if ((Button & 1) == 0) return;
        shpSelect.SetGeometry(BandFromPointer(Anchor(), X, Y));
        lblSelect.SetGeometry(ReadoutCentredOnBand(shpSelect.Geometry()));
        lblSelect.Caption = ReadoutCaption(shpSelect.Geometry(), Screen::TwipsPerPixelX(), Screen::TwipsPerPixelY());
    });
    RefreshControls();
}

void frmRectangle::Form_MouseUp(int Button, int /*Shift*/, float /*X*/, float /*Y*/) {
    Trapped([&] {
        if (Button != 1) return;
        SetMousePointer(MousePointerCode::Default);
        // Hiding a modally shown form ends its modal display; the caller reads the band.
        Hide();
    });
}

void frmRectangle::Form_KeyDown(int /*KeyCode*/, int Shift) {
    Trapped([&] {
        if (Shift == 0) return;
        SetMousePointer(MousePointerCode::Default);
        // The main window is shown before the selector goes, so that activation passes
        // straight back to it rather than to whatever other window lies below.
        if (frame_ != nullptr && frame_->FrameLoaded()) frame_->SetFrameVisible(true);
        Unload();
    });
}

void frmRectangle::InvalidateBandOutline(const RECT& bounds) {
    // The four one-pixel edges; the interior shows the frozen screen either way.
    const RECT edges[4] = {
        {bounds.left, bounds.top, bounds.right, bounds.top + 1},
        {bounds.left, bounds.bottom - 1, bounds.right, bounds.bottom},
        {bounds.left, bounds.top, bounds.left + 1, bounds.bottom},
        {bounds.right - 1, bounds.top, bounds.right, bounds.bottom},
    };
    for (const RECT& edge : edges) InvalidateRect(hwnd_, &edge, FALSE);
}

void frmRectangle::RefreshControls() {
    if (hwnd_ == nullptr) return;
    const DrawnState band{shpSelect.Visible, PaintedPixelBounds(shpSelect, true), L""};
    if (band.visible != drawnBand_.visible || (band.visible && !SameRect(band.bounds, drawnBand_.bounds))) {
        if (drawnBand_.visible) InvalidateBandOutline(drawnBand_.bounds);
        if (band.visible) InvalidateBandOutline(band.bounds);
        drawnBand_ = band;
    }
    const DrawnState label{lblSelect.Visible, PaintedPixelBounds(lblSelect, false), lblSelect.Caption};
    if (label.visible != drawnLabel_.visible ||
        (label.visible && (!SameRect(label.bounds, drawnLabel_.bounds) || label.caption != drawnLabel_.caption))) {
        if (drawnLabel_.visible) InvalidateRect(hwnd_, &drawnLabel_.bounds, FALSE);
        if (label.visible) InvalidateRect(hwnd_, &label.bounds, FALSE);
        drawnLabel_ = label;
    }
}

void frmRectangle::Paint() {
    PaintDC paint(hwnd_);
    const RECT area = paint.area();
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    if (width <= 0 || height <= 0) return;
    // Where neither the band nor the readout lies (the whole screen when the selector first
    // shows), the frozen screen goes straight to the window: no back buffer of that size.
    RECT overlap{};
    const RECT band = PaintedPixelBounds(shpSelect, true);
    const RECT label = PaintedPixelBounds(lblSelect, false);
    if (frozenDc_ && !(shpSelect.Visible && IntersectRect(&overlap, &area, &band)) &&
        !(lblSelect.Visible && IntersectRect(&overlap, &area, &label))) {
        BitBlt(paint.get(), area.left, area.top, width, height, frozenDc_.get(), area.left, area.top, SRCCOPY);
        return;
    }
    // Composed off screen, then shown in one transfer: no flicker while dragging.
    unique_hdc buffer(CreateCompatibleDC(paint.get()));
    unique_hbitmap bitmap(CreateCompatibleBitmap(paint.get(), width, height));
    if (!buffer || !bitmap) return;
    SelectGuard selectBitmap(buffer.get(), bitmap.get());
    SetViewportOrgEx(buffer.get(), -area.left, -area.top, nullptr);
    if (frozenDc_) {
        BitBlt(buffer.get(), area.left, area.top, width, height, frozenDc_.get(), area.left, area.top, SRCCOPY);
    } else {
        FillRect(buffer.get(), &area, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    }
    if (shpSelect.Visible) {
        // The outline inverts what lies under it, so it shows on any background.
        const RECT b = PaintedPixelBounds(shpSelect, true);
        const int oldMode = SetROP2(buffer.get(), R2_NOT);
        SelectGuard pen(buffer.get(), GetStockObject(BLACK_PEN));
        SelectGuard brush(buffer.get(), GetStockObject(NULL_BRUSH));
        Rectangle(buffer.get(), b.left, b.top, b.right, b.bottom);
        SetROP2(buffer.get(), oldMode);
    }
    if (lblSelect.Visible) {
        RECT b = PaintedPixelBounds(lblSelect, false);
        FillRect(buffer.get(), &b, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        SelectGuard font(buffer.get(), font_);
        SetTextColor(buffer.get(), RGB(0, 0, 0));
        SetBkMode(buffer.get(), TRANSPARENT);
        DrawTextW(buffer.get(), lblSelect.Caption.c_str(), static_cast<int>(lblSelect.Caption.size()), &b,
                  DT_CENTER | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
    }
    SetViewportOrgEx(buffer.get(), 0, 0, nullptr);
    BitBlt(paint.get(), area.left, area.top, width, height, buffer.get(), 0, 0, SRCCOPY);
}

LRESULT frmRectangle::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    const auto twipsX = [&] { return Twips::FromPixelsX(GET_X_LPARAM(lParam)); };
    const auto twipsY = [&] { return Twips::FromPixelsY(GET_Y_LPARAM(lParam)); };
    switch (message) {
    case WM_PAINT:
        Paint();
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_SETCURSOR:
        if (mousePointer_ == MousePointerCode::Crosshair) {
            SetCursor(LoadCursorW(nullptr, IDC_CROSS));
            return TRUE;
        }
        break;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        // While the left button is held every pointer event comes here, wherever it is.
        if (message == WM_LBUTTONDOWN) SetCapture(hwnd_);
        Form_MouseDown(ButtonOf(message), CurrentShiftState(), twipsX(), twipsY());
        return 0;
    case WM_MOUSEMOVE:
        Form_MouseMove(ButtonStateOf(wParam), CurrentShiftState(), twipsX(), twipsY());
        return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
        if (message == WM_LBUTTONUP && GetCapture() == hwnd_) ReleaseCapture();
        Form_MouseUp(ButtonOf(message), CurrentShiftState(), twipsX(), twipsY());
        return 0;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        // Alt arrives as a system key; nothing here goes on to the system menu keys.
        Form_KeyDown(static_cast<int>(wParam), CurrentShiftState());
        return 0;
    case WM_SYSCHAR:
    case WM_SYSKEYUP:
        return 0;
    case WM_DESTROY:
        if (GetCapture() == hwnd_) ReleaseCapture();
        ReleaseFrozenScreen();
        picture_ = Picture{};
        break;
    default:
        break;
    }
    return DefaultProc(hwnd_, message, wParam, lParam);
}
