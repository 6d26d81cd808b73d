// The document window: its controls, activation, layout, scrolling and termination.
#include "document/frmNabbet.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <optional>

#include "document/DocumentCommands.h"
#include "document/DocumentLayout.h"
#include "document/MarkupPainter.h"
#include "document/PicturePixels.h"
#include "platform/pictures/BitmapWriter.h"
#include "platform/pictures/PictureEncoder.h"
#include "platform/pictures/SafeFileReplace.h"
#include "platform/rules/ViewZoom.h"
#include "platform/rules/Conversions.h"
#include "platform/windows/Twips.h"
#include "platform/windows/ScreenService.h"
#include "platform/windows/ErrorReporter.h"
#include "platform/services/FrameHost.h"
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

// How near a handle the pointer may be to take it, in screen pixels.
constexpr std::int32_t kHandleTolerance = kHandleSize / 2 + 1;
// The edited document's mark after its title.
constexpr wchar_t kModifiedMark = L'*';

LPCWSTR HandleCursor(SelectionHandle handle) {
    switch (handle) {
    case SelectionHandle::TopLeft:
    case SelectionHandle::BottomRight: return IDC_SIZENWSE;
    case SelectionHandle::TopRight:
    case SelectionHandle::BottomLeft: return IDC_SIZENESW;
    case SelectionHandle::Top:
    case SelectionHandle::Bottom: return IDC_SIZENS;
    case SelectionHandle::Left:
    case SelectionHandle::Right: return IDC_SIZEWE;
    default: return IDC_CROSS;
    }
}

RECT ToRect(const ViewRect& rect) { return RECT{rect.left, rect.top, rect.right, rect.bottom}; }

// Four pixels black, four white, along either axis: a diagonal pattern makes dashes of
// rows and columns alike, without drawing each dash.
unique_hbrush DashBrush() {
    WORD rows[8]{};
    for (int y = 0; y < 8; ++y) {
        WORD bits = 0;
        for (int x = 0; x < 8; ++x)
            if (((x + y) / 4) % 2 == 0) bits |= static_cast<WORD>(0x80 >> x);
        rows[y] = bits;
    }
    const unique_hbitmap pattern(CreateBitmap(8, 8, 1, 1, rows));
    return unique_hbrush(CreatePatternBrush(pattern.get()));
}

}  // namespace

frmNabbet::frmNabbet(std::weak_ptr<IFrameHost> frame) : frame_(std::move(frame)) {
    picNabbet_.SetOnPainted([this](HDC dc) { PaintOutline(dc); });
    picNabbet_.SetPixelComposer([this](const RECT& source) { return ComposePixels(source); });
    picNabbet_.SetMessageHook([this](UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
        return OnPictureMouse(message, wParam, lParam, result);
    });
    // A press in the viewport beside the picture is a click outside the selection.
    picScroll_.SetMessageHook([this](UINT message, WPARAM, LPARAM, LRESULT&) {
        if (message == WM_LBUTTONDOWN && model_) model_->ClearSelection();
        return false;
    });
    picNabbet_.SetOnAutoSized([this] {
        // A picture assigned after activation, or a new zoom: the bars follow the new size.
        if (IsLoaded() && picNabbet_.AutoSize()) {
            Form_Resize();
            ReportView();
        }
    });
}

std::shared_ptr<IFrameHost> frmNabbet::LoadedFrame() const {
    auto frame = frame_.lock();
    return frame && frame->FrameLoaded() ? frame : nullptr;
}

void frmNabbet::CreateFormWindow() {
    const auto frame = LoadedFrame();
    if (!frame) return;
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
    case WM_CHAR:
        if (OnMarkupChar(static_cast<wchar_t>(wParam))) return 0;
        break;
    case WM_CLOSE:
        // The document's own close box asks too, when it was edited.
        if (const auto frame = LoadedFrame(); frame && !DocumentCommands::SaveChangesFirst(*frame, *this))
            return 0;
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
    // The edit commands follow the active document.
    if (const auto frame = LoadedFrame()) frame->EditStateChanged();
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
    if (OnMarkupKey(key)) return true;
    const bool control = (GetKeyState(VK_CONTROL) & 0x8000) != 0;
    switch (key) {
    case VK_ESCAPE:
        if (model_) model_->ClearSelection();
        return true;
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
        const SIZE content = picNabbet_.ContentSize();
        if (zoom == from || content.cx <= 0 || content.cy <= 0) return;
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
    const SIZE size = picNabbet_.ContentSize();
    if (size.cx <= 0 || size.cy <= 0) return;
    RECT client{};
    GetClientRect(hwnd_, &client);
    // Fitted, the picture needs no bars: the whole client area is the viewport.
    SetZoomAbout(ViewZoom::Fit(size.cx, size.cy, client.right, client.bottom), POINT{0, 0});
}

std::wstring frmNabbet::ViewDescription() const {
    if (picNabbet_.GetPicture().IsEmpty()) return {};
    const SIZE size = picNabbet_.ContentSize();
    return ViewZoom::Describe(size.cx, size.cy, Zoom());
}

void frmNabbet::ReportView() const {
    if (const auto frame = LoadedFrame()) frame->ViewChanged();
}

void frmNabbet::hsbPic_Change() {
    Trapped([&] { picNabbet_.Move(static_cast<float>(-static_cast<std::int64_t>(hsbPic_.Value())), picNabbet_.Top()); });
}

void frmNabbet::vsbPic_Change() {
    Trapped([&] { picNabbet_.Move(picNabbet_.Left(), static_cast<float>(-static_cast<std::int64_t>(vsbPic_.Value()))); });
}

Picture frmNabbet::DocumentPicture() const {
    if (!model_ || model_->IsUntouched()) return picNabbet_.GetPicture();
    const Pixels& pixels = model_->PicturePixels();
    return model_->Objects().empty() ? PictureOfPixels(pixels)
                                     : MarkupPainter::Flattened(pixels, model_->Objects(), pixels.Bounds());
}

void frmNabbet::SaveDocumentPicture(const std::wstring& path, SaveFormat format) const {
    if (!model_ || model_->IsUntouched()) {
        SavePictureAs(DocumentPicture(), path, format);
        return;
    }
    // The same bytes as from DocumentPicture(): a section of the model's pixels packs as 24 bits.
    const Pixels& pixels = model_->PicturePixels();
    if (format == SaveFormat::Bitmap) {
        ReplaceFileContents(path, PackedDibToBitmapFile(MarkupPainter::FlattenedPackedDib(pixels, model_->Objects())));
        return;
    }
    // The encoder takes the flattened rows band by band as it compresses them.
    const MarkupPainter::FlatRows flat(pixels, model_->Objects());
    ReplaceFileContents(path, EncodeRows(static_cast<UINT>(pixels.Width()), static_cast<UINT>(pixels.Height()), format,
                                         [&](UINT top, UINT count, BYTE* bits, UINT stride) {
                                             flat.PackedBand(static_cast<std::int32_t>(top), static_cast<std::int32_t>(count), bits, stride);
                                         }));
}

void frmNabbet::SetDocumentPicture(Picture picture) {
    PictureWithPixels read = ReadPicturePixels(std::move(picture));
    // The box stops reading the old model's memory before it goes.
    picNabbet_.SetPixelSource({});
    model_.reset();
    shownOutline_ = {};
    drag_ = Drag::None;
    markupDrag_ = MarkupDrag::None;
    preview_.reset();
    previewDrawing_.reset();
    editedOriginal_.reset();
    textEdit_.reset();
    picked_.reset();
    if (!read.pixels.IsEmpty()) {
        model_ = std::make_unique<DocumentModel>(std::move(read.pixels));
        subscription_ = model_->Subscribe([this](const DocumentChange& change) { OnModelChanged(change); });
    }
    picNabbet_.SetPicture(std::move(read.picture));
    ShowModel();
}

void frmNabbet::ShowModel() {
    if (!model_) return;
    const Pixels& pixels = model_->PicturePixels();
    const PictureRect area = pixels.Area();
    picNabbet_.SetPixelSource(PictureBox::PixelSource{pixels.Memory(), pixels.Stride(),
                                                      RECT{area.left, area.top, area.right, area.bottom}});
}

ViewRect frmNabbet::OutlineRect() const {
    if (!model_ || !model_->Selection()) return {};
    return Mapping().ToView(*model_->Selection());
}

void frmNabbet::OnModelChanged(const DocumentChange& change) {
    const HWND box = picNabbet_.hWnd();
    if (change.resized) {
        // Crop and its undo: the box takes the new size (and the window its new layout).
        ShowModel();
        shownOutline_ = OutlineRect();
        if (box != nullptr) InvalidateRect(box, nullptr, FALSE);
        ReportView();
    } else {
        if (!change.pixels.IsEmpty() && box != nullptr) {
            const RECT changed = ToRect(Mapping().ToView(change.pixels));
            InvalidateRect(box, &changed, FALSE);
        }
        if (change.selection) {
            // Only the bands along the old and the new outline: a drag step costs the
            // outline's length, not the selection's area.
            const ViewRect outline = OutlineRect();
            if (box != nullptr)
                for (const ViewRect& band : OutlineRepaint(shownOutline_, outline)) {
                    const RECT rect = ToRect(band);
                    InvalidateRect(box, &rect, FALSE);
                }
            shownOutline_ = outline;
            ReportView();
        }
    }
    // A picked object that an undo took away is no longer picked.
    if (picked_ && !textEdit_ && FindObject(*picked_) == nullptr) picked_.reset();
    if (box != nullptr) UpdateWindow(box);
    if (change.history) ShowModified();
    ReportEdits();
}

void frmNabbet::ReportEdits() {
    // The commands follow what can be done now; a drag step that changes none of it costs
    // no command state.
    const EditState edits = Edits();
    if (edits != reportedEdits_) {
        reportedEdits_ = edits;
        if (const auto frame = LoadedFrame()) frame->EditStateChanged();
    }
}

std::wstring frmNabbet::Title() const {
    std::wstring title = Caption();
    if (!title.empty() && title.back() == kModifiedMark) title.pop_back();
    return title;
}

void frmNabbet::ShowModified() {
    if (!IsLoaded()) return;
    const bool modified = model_ && model_->IsModified();
    const std::wstring title = Title();
    const std::wstring wanted = modified ? title + kModifiedMark : title;
    if (Caption() != wanted) SetCaption(wanted);
}

void frmNabbet::PaintOutline(HDC dc) {
    // The paint is over: a large composed part (a whole picture at Fit) is not kept beside it.
    constexpr std::size_t kKeptComposedPixels = std::size_t{1} << 20;
    if (composed_.capacity() > kKeptComposedPixels) composed_ = {};
    if (!model_) return;
    if (!dashes_) dashes_ = DashBrush();
    PaintMarkup(dc);
    if (!model_->Selection()) return;
    const ViewRect outline = OutlineRect();
    // One screen pixel wide on the outline's outermost pixels, black dashes on white, so
    // that it shows on any picture without inverting it.
    SetTextColor(dc, RGB(0, 0, 0));
    SetBkColor(dc, RGB(255, 255, 255));
    SetBrushOrgEx(dc, 0, 0, nullptr);
    const RECT sides[] = {
        {outline.left, outline.top, outline.right, outline.top + 1},
        {outline.left, outline.bottom - 1, outline.right, outline.bottom},
        {outline.left, outline.top, outline.left + 1, outline.bottom},
        {outline.right - 1, outline.top, outline.right, outline.bottom},
    };
    for (const RECT& side : sides) FillRect(dc, &side, dashes_.get());
    for (SelectionHandle handle : {SelectionHandle::TopLeft, SelectionHandle::Top, SelectionHandle::TopRight,
                                   SelectionHandle::Right, SelectionHandle::BottomRight, SelectionHandle::Bottom,
                                   SelectionHandle::BottomLeft, SelectionHandle::Left}) {
        const RECT square = ToRect(HandleRect(outline, handle));
        FillRect(dc, &square, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        FrameRect(dc, &square, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    }
}

bool frmNabbet::OnPictureMouse(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (!model_) return false;
    const ViewPoint point{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    const PictureRect bounds = model_->PicturePixels().Bounds();
    if (OnMarkupMouse(message, wParam, point)) {
        if (message == WM_MOUSEMOVE) ShowPointer(point);
        return true;
    }
    switch (message) {
    case WM_LBUTTONDOWN: {
        const ViewRect outline = OutlineRect();
        const SelectionHandle handle =
            outline.IsEmpty() ? SelectionHandle::None : HandleAt(outline, point, kHandleTolerance);
        press_ = Mapping().ToPicture(point);
        if (handle != SelectionHandle::None) {
            drag_ = Drag::Handle;
            dragHandle_ = handle;
            pressSelection_ = *model_->Selection();
        } else {
            // A press starts a new selection; a click that never moves clears the old one.
            drag_ = Drag::New;
            model_->ClearSelection();
        }
        SetCapture(picNabbet_.hWnd());
        return true;
    }
    case WM_MOUSEMOVE: {
        if (!trackingLeave_) {
            TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, picNabbet_.hWnd(), 0};
            trackingLeave_ = TrackMouseEvent(&track) != FALSE;
        }
        const PicturePoint pointer = Mapping().ToPicture(point);
        if (drag_ == Drag::New && (pointer != press_ || model_->Selection())) {
            model_->Select(DragSelection(press_, pointer, bounds));
        } else if (drag_ == Drag::Handle) {
            model_->Select(AdjustSelection(pressSelection_, dragHandle_, press_, pointer, bounds));
        }
        ShowPointer(point);
        return true;
    }
    case WM_MOUSELEAVE:
        trackingLeave_ = false;
        ShowPointer(std::nullopt);
        return true;
    case WM_LBUTTONUP:
        if (drag_ != Drag::None && GetCapture() == picNabbet_.hWnd()) ReleaseCapture();
        drag_ = Drag::None;
        return true;
    case WM_CAPTURECHANGED:
        drag_ = Drag::None;
        return true;
    case WM_SETCURSOR: {
        if (LOWORD(lParam) != HTCLIENT) return false;
        POINT at{};
        GetCursorPos(&at);
        ScreenToClient(picNabbet_.hWnd(), &at);
        const ViewRect outline = OutlineRect();
        const SelectionHandle handle = drag_ == Drag::Handle ? dragHandle_
                                       : outline.IsEmpty()  ? SelectionHandle::None
                                                            : HandleAt(outline, ViewPoint{at.x, at.y}, kHandleTolerance);
        SetCursor(LoadCursorW(nullptr, HandleCursor(handle)));
        result = TRUE;
        return true;
    }
    default:
        return false;
    }
}

void frmNabbet::ShowPointer(std::optional<ViewPoint> point) {
    std::wstring text;
    if (point && model_) {
        const PicturePoint at = Mapping().ToPicture(*point);
        const Pixels& pixels = model_->PicturePixels();
        if (pixels.Bounds().Contains(at)) text = PointerStatus(at, pixels.At(at));
    }
    if (text == pointerText_) return;
    pointerText_ = std::move(text);
    ReportView();
}

std::wstring frmNabbet::PointerDescription() const {
    std::wstring text = pointerText_;
    if (model_ && model_->Selection()) {
        if (!text.empty()) text += L"  ";
        text += SelectionStatus(*model_->Selection());
    }
    return text;
}

DocumentForm::EditState frmNabbet::Edits() const {
    if (!model_) return {};
    return EditState{model_->Selection().has_value(), model_->CanCrop(), model_->CanUndo(), model_->CanRedo(),
                     model_->IsModified(), picked_.has_value() && !textEdit_};
}
