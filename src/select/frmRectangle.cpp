#include "select/frmRectangle.h"

#include <windowsx.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <vector>

#include "platform/pictures/ScreenCapture.h"
#include "platform/rules/DpiScale.h"
#include "platform/windows/Dpi.h"
#include "platform/windows/ErrorReporter.h"
#include "platform/services/FrameHost.h"
#include "platform/windows/ScreenService.h"
#include "platform/windows/Twips.h"
#include "select/MouseInput.h"
#include "select/WindowOutlines.h"

namespace {

constexpr wchar_t kSelectorClass[] = L"PixelnabRectangle";


bool SameRect(const RECT& a, const RECT& b) noexcept {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// The DPI of the monitor at a desktop point (Windows 8.1 and later); before that every
// monitor has the window's.
int MonitorDpiAt(POINT point, HWND window) {
    using GetDpiForMonitorFunction = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
    static const auto getDpiForMonitor = [] {
        HMODULE shcore = LoadLibraryW(L"shcore.dll");
        return shcore != nullptr
                   ? reinterpret_cast<GetDpiForMonitorFunction>(GetProcAddress(shcore, "GetDpiForMonitor"))
                   : nullptr;
    }();
    UINT dpiX = 0;
    UINT dpiY = 0;
    constexpr int kEffectiveDpi = 0;
    if (getDpiForMonitor != nullptr &&
        SUCCEEDED(getDpiForMonitor(MonitorFromPoint(point, MONITOR_DEFAULTTONEAREST), kEffectiveDpi, &dpiX, &dpiY)) &&
        dpiX > 0) {
        return static_cast<int>(dpiX);
    }
    return Dpi::OfWindow(window);
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
    drawnLoupe_ = LoupeLayout{};
}

void frmRectangle::CreateFormWindow() {
    RegisterWindowClass(kSelectorClass, 0, nullptr, nullptr, LoadCursorW(nullptr, IDC_ARROW), nullptr);
    // Each opening starts from the controls as designed.
    ResetControls();
    // The screen is read on a thread of its own from here on, while this one makes the
    // window and the rest ready: the selector shows that much sooner.
    readArea_ = DesktopPixels();
    reading_ = std::make_unique<DesktopAreaReading>(readArea_);
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
        // The windows as the frozen picture shows them (read at the same moment); the
        // selector and the rest of Pixelnab are not what the user came to capture.
        snapCandidates_ = WindowOutlines(GetCurrentProcessId());
        desktop_ = desktop;
        pressed_ = false;
        dragged_ = false;
        // The keyboard moves the pointer from wherever the mouse left it.
        keyboardButton_ = false;
        shiftAlone_ = false;
        rightPressed_ = false;
        desktopOrigin_ = POINT{desktop.Left, desktop.Top};
        monitors_ = ScreenService().Monitors();
        if (monitors_.empty()) monitors_.push_back(MonitorArea{desktop, desktop, true});
        // The frozen picture's pixel 0,0 is the desktop's top-left corner, as is the
        // window's client origin: band coordinates address both alike. A reading started
        // before a change of the display settings would not fit the window: read again.
        const EdgeRect read = std::exchange(readArea_, EdgeRect{});
        const std::unique_ptr<DesktopAreaReading> reading = std::move(reading_);
        const bool sameArea = read.Left == desktop.Left && read.Top == desktop.Top && read.Right == desktop.Right &&
                              read.Bottom == desktop.Bottom;
        FreezeScreen(reading && sameArea ? reading->Take() : CaptureDesktopArea(desktop));
        POINT cursor{};
        pointerKnown_ = GetCursorPos(&cursor) != FALSE;
        ScreenToClient(hwnd_, &cursor);
        pointer_ = cursor;
        InvalidateRect(hwnd_, nullptr, FALSE);
        UpdateWindow(hwnd_);
        lblSelect.Visible = false;
        shpSelect.Visible = false;
        if (pointerKnown_) ShowSnap(SnapAt(Twips::FromPixelsX(pointer_.x), Twips::FromPixelsY(pointer_.y)));
        SetMousePointer(MousePointerCode::Crosshair);
    });
    RefreshControls();
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
        if (Button == 2) rightPressed_ = true;
        if (Button != 1) return;
        pressed_ = true;
        dragged_ = false;
        pressX_ = X;
        pressY_ = Y;
        pressSnap_ = SnapAt(X, Y);
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
        if (Button == 0 && !pressed_) {
            ShowSnap(SnapAt(X, Y));
            return;
        }
        if ((Button & 1) == 0) return;
        if (pressed_ && !dragged_) {
            dragged_ = BeyondDragDistance(Twips::ToPixelsXForDrawing(X) - Twips::ToPixelsXForDrawing(pressX_),
                                          Twips::ToPixelsYForDrawing(Y) - Twips::ToPixelsYForDrawing(pressY_),
                                          GetSystemMetrics(SM_CXDRAG), GetSystemMetrics(SM_CYDRAG));
        }
        shpSelect.SetGeometry(BandFromPointer(Anchor(), X, Y));
        lblSelect.SetGeometry(ReadoutCentredOnBand(shpSelect.Geometry()));
        lblSelect.Caption = ReadoutCaption(shpSelect.Geometry(), Screen::TwipsPerPixelX(), Screen::TwipsPerPixelY());
    });
    RefreshControls();
}

void frmRectangle::Form_MouseUp(int Button, int /*Shift*/, float /*X*/, float /*Y*/) {
    Trapped([&] {
        // The right button backs out on its release, so that the release does not reach
        // (and open a context menu in) whatever lies below once the selector has gone; a
        // release of a press made before the selector opened is not a click on it.
        if (Button == 2) {
            if (rightPressed_) Cancel();
            return;
        }
        if (Button != 1) return;
        if (pressed_ && !dragged_) {
            // A click: the window, control or monitor the press was on.
            shpSelect.SetGeometry(BandOf(pressSnap_.Bounds));
            shpSelect.Visible = true;
        }
        pressed_ = false;
        keyboardButton_ = false;
        SetMousePointer(MousePointerCode::Default);
        // Hiding a modally shown form ends its modal display; the caller reads the band.
        Hide();
    });
}

void frmRectangle::Form_KeyDown(int KeyCode, int Shift) {
    Trapped([&] {
        if (KeyCode == VK_SHIFT) {
            // Shift may start an arrow step of ten: whether it cancels is known on release.
            shiftAlone_ = true;
            return;
        }
        shiftAlone_ = false;
        if (KeyCode == VK_ESCAPE || (Shift & (2 | 4)) != 0) {
            Cancel();
            return;
        }
        const int step = (Shift & 1) != 0 ? 10 : 1;
        switch (KeyCode) {
        case VK_LEFT: MovePointerBy(-step, 0); return;
        case VK_RIGHT: MovePointerBy(step, 0); return;
        case VK_UP: MovePointerBy(0, -step); return;
        case VK_DOWN: MovePointerBy(0, step); return;
        case VK_RETURN:
        case VK_SPACE: PressOrReleaseAtPointer(); return;
        default: break;
        }
        if (Shift != 0) Cancel();
    });
}

void frmRectangle::Form_KeyUp(int KeyCode, int /*Shift*/) {
    Trapped([&] {
        if (KeyCode != VK_SHIFT) return;
        const bool alone = shiftAlone_;
        shiftAlone_ = false;
        if (alone) Cancel();
    });
}

void frmRectangle::Cancel() {
    keyboardButton_ = false;
    SetMousePointer(MousePointerCode::Default);
    // The main window is shown before the selector goes, so that activation passes
    // straight back to it rather than to whatever other window lies below.
    if (frame_ != nullptr && frame_->FrameLoaded()) frame_->SetFrameVisible(true);
    Unload();
}

void frmRectangle::MovePointerBy(int dx, int dy) {
    RECT client{};
    GetClientRect(hwnd_, &client);
    pointer_.x = std::clamp(pointer_.x + dx, client.left, std::max(client.left, client.right - 1));
    pointer_.y = std::clamp(pointer_.y + dy, client.top, std::max(client.top, client.bottom - 1));
    POINT screen = pointer_;
    ClientToScreen(hwnd_, &screen);
    SetCursorPos(screen.x, screen.y);
    pointerKnown_ = true;
    // A mouse drag follows the pointer's own move message; a keyboard drag has no button
    // in that message, so the band (or the outline) follows here.
    Form_MouseMove(keyboardButton_ ? 1 : 0, CurrentShiftState(), Twips::FromPixelsX(pointer_.x),
                   Twips::FromPixelsY(pointer_.y));
}

SnapResult frmRectangle::SnapAt(float x, float y) const {
    return SnapTarget(snapCandidates_, monitors_, desktop_, Twips::ToPixelsXForDrawing(x) + desktopOrigin_.x,
                      Twips::ToPixelsYForDrawing(y) + desktopOrigin_.y);
}

TwipsRect frmRectangle::BandOf(const EdgeRect& desktopPixels) const {
    return TwipsRect{Twips::FromPixelsX(desktopPixels.Left - desktopOrigin_.x),
                     Twips::FromPixelsY(desktopPixels.Top - desktopOrigin_.y),
                     Twips::FromPixelsX(desktopPixels.Right - desktopPixels.Left),
                     Twips::FromPixelsY(desktopPixels.Bottom - desktopPixels.Top)};
}

void frmRectangle::ShowSnap(const SnapResult& snap) {
    // Only a window is outlined: the monitor a click would take shows as the screen itself.
    shpSelect.Visible = snap.Window;
    lblSelect.Visible = snap.Window;
    if (!snap.Window) return;
    shpSelect.SetGeometry(BandOf(snap.Bounds));
    lblSelect.SetGeometry(ReadoutCentredOnBand(shpSelect.Geometry()));
    lblSelect.Caption = ReadoutCaption(shpSelect.Geometry(), Screen::TwipsPerPixelX(), Screen::TwipsPerPixelY());
}

void frmRectangle::PressOrReleaseAtPointer() {
    const float x = Twips::FromPixelsX(pointer_.x);
    const float y = Twips::FromPixelsY(pointer_.y);
    if (!keyboardButton_) {
        keyboardButton_ = true;
        Form_MouseDown(1, CurrentShiftState(), x, y);
    } else {
        Form_MouseMove(1, CurrentShiftState(), x, y);
        Form_MouseUp(1, CurrentShiftState(), x, y);
    }
}

namespace {

EdgeRect EdgeOf(const RECT& r) noexcept { return EdgeRect{r.left, r.top, r.right, r.bottom}; }

void AddBandOutline(std::vector<EdgeRect>& areas, const RECT& bounds) {
    // The four one-pixel edges; the interior shows the frozen screen either way.
    areas.push_back(EdgeRect{bounds.left, bounds.top, bounds.right, bounds.top + 1});
    areas.push_back(EdgeRect{bounds.left, bounds.bottom - 1, bounds.right, bounds.bottom});
    areas.push_back(EdgeRect{bounds.left, bounds.top, bounds.left + 1, bounds.bottom});
    areas.push_back(EdgeRect{bounds.right - 1, bounds.top, bounds.right, bounds.bottom});
}

// Some 128 x 128 pixels: two areas closer than that are shown as one (the old and the new
// edge of a band a few pixels apart are one area).
constexpr std::int64_t kRepaintSlack = 16384;

// A message of the application's range that nothing posts.
constexpr UINT kNeverPosted = 0xBFFE;

}  // namespace

void frmRectangle::RefreshControls() {
    if (hwnd_ == nullptr) return;
    std::vector<EdgeRect> areas;
    const DrawnState band{shpSelect.Visible, PaintedPixelBounds(shpSelect, true), L""};
    if (band.visible != drawnBand_.visible || (band.visible && !SameRect(band.bounds, drawnBand_.bounds))) {
        if (drawnBand_.visible) AddBandOutline(areas, drawnBand_.bounds);
        if (band.visible) AddBandOutline(areas, band.bounds);
        drawnBand_ = band;
    }
    const DrawnState label{lblSelect.Visible, PaintedPixelBounds(lblSelect, false), lblSelect.Caption};
    if (label.visible != drawnLabel_.visible ||
        (label.visible && (!SameRect(label.bounds, drawnLabel_.bounds) || label.caption != drawnLabel_.caption))) {
        if (drawnLabel_.visible) areas.push_back(EdgeOf(drawnLabel_.bounds));
        if (label.visible) areas.push_back(EdgeOf(label.bounds));
        drawnLabel_ = label;
    }
    const LoupeLayout loupe = Loupe();
    if (loupe.visible != drawnLoupe_.visible ||
        (loupe.visible && (!SameRect(loupe.bounds, drawnLoupe_.bounds) || loupe.pointer.x != drawnLoupe_.pointer.x ||
                           loupe.pointer.y != drawnLoupe_.pointer.y || loupe.caption != drawnLoupe_.caption))) {
        if (drawnLoupe_.visible) areas.push_back(EdgeOf(drawnLoupe_.bounds));
        if (loupe.visible) areas.push_back(EdgeOf(loupe.bounds));
        drawnLoupe_ = loupe;
    }
    ShowAreas(RepaintAreas(std::move(areas), kRepaintSlack));
}

void frmRectangle::ShowAreas(const std::vector<EdgeRect>& areas) {
    // Not shown yet: showing it paints it whole.
    if (areas.empty() || !IsWindowVisible(hwnd_)) return;
    // Drawn straight onto the window, as a tracking outline is, rather than through a paint
    // message each: the paint cycle cost more than the drawing. Each area is handed to the
    // display on its own: Wine hands over a window's drawing as the bounding box of
    // everything drawn since it last did, and the old and the new outline of a band across
    // the screen would be the whole screen at every move.
    WindowDC window(hwnd_, false);
    if (window.get() == nullptr) return;
    for (const EdgeRect& a : areas) {
        PaintArea(window.get(), RECT{a.Left, a.Top, a.Right, a.Bottom});
        GdiFlush();
        // The hand-over happens where the thread finds no message waiting: asked for one
        // that is never posted.
        MSG none;
        PeekMessageW(&none, hwnd_, kNeverPosted, kNeverPosted, PM_NOREMOVE | PM_NOYIELD);
    }
}

frmRectangle::LoupeLayout frmRectangle::Loupe() const {
    LoupeLayout loupe;
    if (!ShowMagnifier || hwnd_ == nullptr || !pointerKnown_ || !frozenDc_) return loupe;
    const std::int32_t x = pointer_.x + desktopOrigin_.x;
    const std::int32_t y = pointer_.y + desktopOrigin_.y;
    loupe.dpi = MonitorDpiAt(POINT{x, y}, hwnd_);
    loupe.zoom = LoupeZoom(loupe.dpi);
    const int border = std::max(1, ScaleForDpi(1, kStandardDpi, loupe.dpi));
    const int cells = kLoupeSpan * loupe.zoom;
    const int text = ScaleForDpi(16, kStandardDpi, loupe.dpi);
    const EdgeRect placed = LoupePlacement(x, y, cells + 2 * border, cells + 2 * border + text,
                                           ScaleForDpi(16, kStandardDpi, loupe.dpi), MonitorAtPoint(monitors_, x, y));
    loupe.bounds = RECT{placed.Left - desktopOrigin_.x, placed.Top - desktopOrigin_.y, placed.Right - desktopOrigin_.x,
                        placed.Bottom - desktopOrigin_.y};
    loupe.cells = RECT{loupe.bounds.left + border, loupe.bounds.top + border, loupe.bounds.left + border + cells,
                       loupe.bounds.top + border + cells};
    loupe.pointer = pointer_;
    COLORREF colour = GetPixel(frozenDc_.get(), pointer_.x, pointer_.y);
    if (colour == CLR_INVALID) colour = 0;
    loupe.caption = LoupeCaption(x, y, GetRValue(colour), GetGValue(colour), GetBValue(colour));
    loupe.visible = true;
    return loupe;
}

HFONT frmRectangle::LoupeFont(int dpi) {
    if (!loupeFont_ || loupeFontDpi_ != dpi) {
        loupeFont_ = Dpi::MessageFont(dpi);
        loupeFontDpi_ = dpi;
    }
    return loupeFont_.get();
}

void frmRectangle::DrawLoupe(HDC dc, const LoupeLayout& loupe) {
    // Black shows for the border and for whatever lies beyond the desktop's edge.
    FillRect(dc, &loupe.bounds, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    const int zoom = loupe.zoom;
    const int half = kLoupeSpan / 2;
    // Always from the frozen screen: the live one has the selector itself on it.
    const RECT source{loupe.pointer.x - half, loupe.pointer.y - half, loupe.pointer.x - half + kLoupeSpan,
                      loupe.pointer.y - half + kLoupeSpan};
    const SIZE size = picture_.SizePixels();
    const RECT frozen{0, 0, size.cx, size.cy};
    RECT shown{};
    if (IntersectRect(&shown, &source, &frozen)) {
        const int oldMode = SetStretchBltMode(dc, COLORONCOLOR);
        StretchBlt(dc, loupe.cells.left + (shown.left - source.left) * zoom,
                   loupe.cells.top + (shown.top - source.top) * zoom, (shown.right - shown.left) * zoom,
                   (shown.bottom - shown.top) * zoom, frozenDc_.get(), shown.left, shown.top, shown.right - shown.left,
                   shown.bottom - shown.top, SRCCOPY);
        SetStretchBltMode(dc, oldMode);
    }
    // The grid on each cell's first row and column, where it leaves the cell's colour
    // readable; below 4 it would hide the pixels.
    if (zoom >= 4) {
        const auto grey = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
        for (int i = 1; i < kLoupeSpan; ++i) {
            const RECT column{loupe.cells.left + i * zoom, loupe.cells.top, loupe.cells.left + i * zoom + 1,
                              loupe.cells.bottom};
            const RECT row{loupe.cells.left, loupe.cells.top + i * zoom, loupe.cells.right,
                           loupe.cells.top + i * zoom + 1};
            FillRect(dc, &column, grey);
            FillRect(dc, &row, grey);
        }
    }
    // The pointer's pixel: black around it, white on its own edge, so it shows on any colour.
    RECT mark{loupe.cells.left + half * zoom - 1, loupe.cells.top + half * zoom - 1,
              loupe.cells.left + (half + 1) * zoom + 1, loupe.cells.top + (half + 1) * zoom + 1};
    FrameRect(dc, &mark, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    InflateRect(&mark, -1, -1);
    FrameRect(dc, &mark, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));

    const int border = loupe.cells.left - loupe.bounds.left;
    RECT text{loupe.bounds.left + border, loupe.cells.bottom, loupe.bounds.right - border,
              loupe.bounds.bottom - border};
    FillRect(dc, &text, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    SelectGuard font(dc, LoupeFont(loupe.dpi));
    SetTextColor(dc, RGB(0, 0, 0));
    SetBkMode(dc, TRANSPARENT);
    DrawTextW(dc, loupe.caption.c_str(), static_cast<int>(loupe.caption.size()), &text,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

void frmRectangle::Paint() {
    // The update region's own rectangles rather than their bounding box: the old and new
    // outline of a large band would otherwise make every move repaint the whole band.
    std::vector<RECT> areas;
    unique_hrgn region{CreateRectRgn(0, 0, 0, 0)};
    if (region && GetUpdateRgn(hwnd_, region.get(), FALSE) > NULLREGION) {
        const DWORD size = GetRegionData(region.get(), 0, nullptr);
        std::vector<BYTE> data(size);
        auto* header = reinterpret_cast<RGNDATA*>(data.data());
        if (size >= sizeof(RGNDATAHEADER) && GetRegionData(region.get(), size, header) != 0 &&
            header->rdh.nCount <= 64) {
            const auto* rects = reinterpret_cast<const RECT*>(header->Buffer);
            areas.assign(rects, rects + header->rdh.nCount);
        }
    }
    PaintDC paint(hwnd_);
    if (areas.empty()) areas.push_back(paint.area());
    for (const RECT& area : areas) PaintArea(paint.get(), area);
}

void frmRectangle::PaintArea(HDC target, const RECT& area) {
    if (area.right <= area.left || area.bottom <= area.top) return;
    // What is drawn over the frozen screen, as far as it meets the area: the band's outline
    // (its four edges, not what lies inside), the readout and the loupe.
    std::vector<RECT> overlays;
    const auto add = [&](const RECT& r) {
        RECT part{};
        if (IntersectRect(&part, &r, &area)) overlays.push_back(part);
    };
    if (shpSelect.Visible) {
        const RECT b = PaintedPixelBounds(shpSelect, true);
        add(RECT{b.left, b.top, b.right, b.top + 1});
        add(RECT{b.left, b.bottom - 1, b.right, b.bottom});
        add(RECT{b.left, b.top, b.left + 1, b.bottom});
        add(RECT{b.right - 1, b.top, b.right, b.bottom});
    }
    if (lblSelect.Visible) add(PaintedPixelBounds(lblSelect, false));
    if (drawnLoupe_.visible) add(drawnLoupe_.bounds);
    // The frozen screen goes straight to the window where nothing lies over it. A small area
    // with something over it is composed whole off screen and shown in one transfer, so that
    // nothing flickers while the pointer moves; a large one (the whole screen when the
    // selector first shows) gets the frozen screen straight and only the parts under the
    // outline, readout and loupe composed: a back buffer of the screen's size cost the first
    // paint some 15 ms at 1920 x 1080.
    constexpr LONG kComposedWhole = 256 * 256;
    const LONG size = (area.right - area.left) * (area.bottom - area.top);
    if (!frozenDc_ || (!overlays.empty() && size <= kComposedWhole)) {
        PaintComposed(target, area);
        return;
    }
    BitBlt(target, area.left, area.top, area.right - area.left, area.bottom - area.top, frozenDc_.get(), area.left,
           area.top, SRCCOPY);
    for (const RECT& overlay : overlays) PaintComposed(target, overlay);
}

void frmRectangle::PaintComposed(HDC target, const RECT& area) {
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    if (width <= 0 || height <= 0) return;
    RECT overlap{};
    const RECT band = PaintedPixelBounds(shpSelect, true);
    const RECT label = PaintedPixelBounds(lblSelect, false);
    // Composed off screen, then shown in one transfer: no flicker while dragging.
    unique_hdc buffer(CreateCompatibleDC(target));
    unique_hbitmap bitmap(CreateCompatibleBitmap(target, width, height));
    if (!buffer || !bitmap) return;
    SelectGuard selectBitmap(buffer.get(), bitmap.get());
    SetViewportOrgEx(buffer.get(), -area.left, -area.top, nullptr);
    if (frozenDc_) {
        BitBlt(buffer.get(), area.left, area.top, width, height, frozenDc_.get(), area.left, area.top, SRCCOPY);
    } else {
        FillRect(buffer.get(), &area, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    }
    if (shpSelect.Visible && IntersectRect(&overlap, &area, &band)) {
        // The outline inverts what lies under it, so it shows on any background.
        const RECT& b = band;
        const int oldMode = SetROP2(buffer.get(), R2_NOT);
        SelectGuard pen(buffer.get(), GetStockObject(BLACK_PEN));
        SelectGuard brush(buffer.get(), GetStockObject(NULL_BRUSH));
        Rectangle(buffer.get(), b.left, b.top, b.right, b.bottom);
        SetROP2(buffer.get(), oldMode);
    }
    if (lblSelect.Visible && IntersectRect(&overlap, &area, &label)) {
        RECT b = label;
        FillRect(buffer.get(), &b, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        SelectGuard font(buffer.get(), font_);
        SetTextColor(buffer.get(), RGB(0, 0, 0));
        SetBkMode(buffer.get(), TRANSPARENT);
        DrawTextW(buffer.get(), lblSelect.Caption.c_str(), static_cast<int>(lblSelect.Caption.size()), &b,
                  DT_CENTER | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
    }
    if (drawnLoupe_.visible && IntersectRect(&overlap, &area, &drawnLoupe_.bounds)) DrawLoupe(buffer.get(), drawnLoupe_);
    SetViewportOrgEx(buffer.get(), 0, 0, nullptr);
    BitBlt(target, area.left, area.top, width, height, buffer.get(), 0, 0, SRCCOPY);
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
        if (message == WM_LBUTTONDOWN) {
            SetCapture(hwnd_);
            keyboardButton_ = false;
        }
        pointer_ = POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        Form_MouseDown(ButtonOf(message), CurrentShiftState(), twipsX(), twipsY());
        return 0;
    case WM_MOUSEMOVE:
        pointer_ = POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        pointerKnown_ = true;
        // A band started from the keyboard follows the mouse as well.
        Form_MouseMove(ButtonStateOf(wParam) | (keyboardButton_ ? 1 : 0), CurrentShiftState(), twipsX(), twipsY());
        return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
        if (message == WM_LBUTTONUP && GetCapture() == hwnd_) ReleaseCapture();
        Form_MouseUp(ButtonOf(message), CurrentShiftState(), twipsX(), twipsY());
        return 0;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
        // Alt arrives as a system key; nothing here goes on to the system menu keys.
        // A held Enter or Space would press and release over and over, and a Shift held
        // since before the selector opened is not a press of Shift.
        const bool repeat = (lParam & (1L << 30)) != 0;
        if (repeat && (wParam == VK_RETURN || wParam == VK_SPACE || wParam == VK_SHIFT)) return 0;
        Form_KeyDown(static_cast<int>(wParam), CurrentShiftState());
        return 0;
    }
    case WM_KEYUP:
        Form_KeyUp(static_cast<int>(wParam), CurrentShiftState());
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
