// The picture box: a child window painting its picture, scaled, at its own origin.
#include "platform/controls/PictureBox.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "platform/pictures/DibInfo.h"
#include "platform/rules/ViewZoom.h"
#include "platform/windows/Handles.h"
#include "platform/windows/ScreenService.h"
#include "platform/windows/Twips.h"

namespace {
constexpr wchar_t kPictureBoxClass[] = L"PixelnabPictureBox";
int PixelsX(float twips) { return Twips::ToPixelsX(twips); }
int PixelsY(float twips) { return Twips::ToPixelsY(twips); }
}  // namespace

void PictureBox::Create(HWND parent, float width, float height) {
    RegisterWindowClass(kPictureBoxClass, 0, nullptr, nullptr, LoadCursorW(nullptr, IDC_ARROW), nullptr);
    width_ = width;
    height_ = height;
    background_ = GetSysColorBrush(COLOR_BTNFACE);
    applied_ = RECT{0, 0, PixelsX(width), PixelsY(height)};
    CreateWindowFor(0, kPictureBoxClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, 0, 0,
                    applied_.right, applied_.bottom, parent, nullptr);
}

void PictureBox::SetPicture(Picture picture) {
    picture_ = std::move(picture);
    TakePictureSize();
    if (hwnd_ != nullptr) InvalidateRect(hwnd_, nullptr, FALSE);
}

void PictureBox::SetPixelSource(const PixelSource& source) {
    pixels_ = source;
    TakePictureSize();
    if (hwnd_ != nullptr) InvalidateRect(hwnd_, nullptr, FALSE);
}

SIZE PictureBox::ContentSize() const {
    if (pixels_.memory != nullptr) return SIZE{pixels_.area.right - pixels_.area.left, pixels_.area.bottom - pixels_.area.top};
    return picture_.IsEmpty() ? SIZE{0, 0} : picture_.SizePixels();
}

void PictureBox::SetZoom(double zoom) {
    zoom = std::clamp(zoom, ViewZoom::kFloor, ViewZoom::kMaximum);
    if (zoom == zoom_) return;
    zoom_ = zoom;
    TakePictureSize();
    if (hwnd_ != nullptr) InvalidateRect(hwnd_, nullptr, FALSE);
}

void PictureBox::TakePictureSize() {
    if (!autoSize_ || (picture_.IsEmpty() && pixels_.memory == nullptr)) return;
    const SIZE size = ContentSize();
    const float width = static_cast<float>(ViewZoom::Scaled(size.cx, zoom_)) * Screen::TwipsPerPixelX();
    const float height = static_cast<float>(ViewZoom::Scaled(size.cy, zoom_)) * Screen::TwipsPerPixelY();
    if (width == width_ && height == height_) return;
    width_ = width;
    height_ = height;
    ApplyGeometry();
    if (onAutoSized_) onAutoSized_();
}

void PictureBox::Move(float left, float top) {
    left_ = left;
    top_ = top;
    ApplyGeometry();
}

void PictureBox::SetSize(float width, float height) {
    width_ = width;
    height_ = height;
    ApplyGeometry();
}

void PictureBox::SetAutoSize(bool on) {
    autoSize_ = on;
    if (on && (!picture_.IsEmpty() || pixels_.memory != nullptr)) {
        const SIZE size = ContentSize();
        width_ = static_cast<float>(ViewZoom::Scaled(size.cx, zoom_)) * Screen::TwipsPerPixelX();
        height_ = static_cast<float>(ViewZoom::Scaled(size.cy, zoom_)) * Screen::TwipsPerPixelY();
        ApplyGeometry();
    }
}

void PictureBox::SetBorderStyle(int style) {
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
    const RECT wanted{PixelsX(left_), PixelsY(top_), PixelsX(width_), PixelsY(height_)};  // right, bottom: size
    // A layout sets every property in turn; only a change of pixels moves the window.
    if (EqualRect(&wanted, &applied_)) return;
    applied_ = wanted;
    // Moving the window lets the system copy the bits that stay visible and repaint only
    // what is exposed, so scrolling costs the same for any picture size.
    SetWindowPos(hwnd_, nullptr, wanted.left, wanted.top, wanted.right, wanted.bottom, SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT PictureBox::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (hook_ && hook_(message, wParam, lParam, result)) return result;
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

namespace {

// The rectangles of the window's update region: an outline's bands stay bands rather
// than their bounding box, and a drawn line's stretches (which the region cuts into a
// rectangle per stretch and row band) stay along the line. Very many small ones are
// painted as their bounding box instead.
std::vector<RECT> UpdateRectangles(HWND window) {
    std::vector<RECT> parts;
    const unique_hrgn region(CreateRectRgn(0, 0, 0, 0));
    if (!region || GetUpdateRgn(window, region.get(), FALSE) == ERROR) return parts;
    const DWORD bytes = GetRegionData(region.get(), 0, nullptr);
    if (bytes == 0) return parts;
    std::vector<BYTE> data(bytes);
    auto* header = reinterpret_cast<RGNDATA*>(data.data());
    if (GetRegionData(region.get(), bytes, header) != bytes || header->rdh.nCount > 256) return parts;
    const auto* rects = reinterpret_cast<const RECT*>(header->Buffer);
    parts.assign(rects, rects + header->rdh.nCount);
    return parts;
}

}  // namespace

void PictureBox::Paint() {
    std::vector<RECT> parts;
    if (pixels_.memory != nullptr) parts = UpdateRectangles(hwnd_);
    PaintDC paint(hwnd_);
    const HDC dc = paint.get();
    lastSource_ = RECT{};
    // The box is as large as the (scaled) picture, the viewport only a window on it: only
    // what is both invalid and visible is drawn, whatever the picture's size.
    RECT area = paint.area();
    RECT visible = area;
    if (GetClipBox(dc, &visible) == ERROR) visible = area;
    IntersectRect(&area, &area, &visible);
    RECT client{};
    GetClientRect(hwnd_, &client);
    SIZE size{0, 0};
    if (pixels_.memory != nullptr) {
        if (parts.empty()) parts.push_back(area);
        RECT sources{};
        for (RECT part : parts) {
            if (!IntersectRect(&part, &part, &visible)) continue;
            PaintPixels(dc, part);
            UnionRect(&sources, &sources, &lastSource_);
        }
        lastSource_ = sources;
        size = ContentSize();
        size = SIZE{ViewZoom::Scaled(size.cx, zoom_), ViewZoom::Scaled(size.cy, zoom_)};
    } else if (const HBITMAP bitmap = picture_.Bitmap()) {
        BITMAP info{};
        if (GetObjectW(bitmap, sizeof info, &info) != 0) size = SIZE{info.bmWidth, info.bmHeight};
        const unique_hdc memory(CreateCompatibleDC(dc));
        const HPALETTE palette = picture_.Palette();
        const PaletteGuard screenPalette(dc, palette);
        const SelectGuard selected(memory.get(), bitmap);
        if (zoom_ != 1.0) {
            PaintScaled(dc, memory.get(), area, size);
            size = SIZE{ViewZoom::Scaled(size.cx, zoom_), ViewZoom::Scaled(size.cy, zoom_)};
        } else {
            // Only the part that needs painting: a block transfer straight from the bitmap.
            const int right = std::min<LONG>(area.right, size.cx);
            const int bottom = std::min<LONG>(area.bottom, size.cy);
            if (right > area.left && bottom > area.top) {
                BitBlt(dc, area.left, area.top, right - area.left, bottom - area.top, memory.get(), area.left,
                       area.top, SRCCOPY);
                lastSource_ = RECT{area.left, area.top, right, bottom};
            }
        }
    } else if (!picture_.IsEmpty()) {
        FillRect(dc, &area, background_);
        size = picture_.SizePixels();
        if (zoom_ == 1.0) {
            picture_.Render(dc, 0, 0);
        } else if (const ComPtr<IPicture> picture = picture_.AsIPicture()) {
            // Icons and metafiles draw themselves at any size; the picture's y axis runs upwards.
            const long width = picture_.WidthHimetric();
            const long height = picture_.HeightHimetric();
            picture->Render(dc, 0, 0, ViewZoom::Scaled(size.cx, zoom_), ViewZoom::Scaled(size.cy, zoom_), 0, height,
                            width, -height, nullptr);
        }
        return;
    }
    // What the picture does not cover shows the box's background.
    RECT right{size.cx, 0, client.right, client.bottom};
    RECT below{0, size.cy, std::min<LONG>(size.cx, client.right), client.bottom};
    if (right.right > right.left && right.bottom > right.top) FillRect(dc, &right, background_);
    if (below.right > below.left && below.bottom > below.top) FillRect(dc, &below, background_);
    if (onPainted_) onPainted_(dc);
}

std::optional<PictureBox::Span> PictureBox::SpanUnder(const RECT& area, SIZE source) const {
    // Only the picture pixels under the area that needs painting, whole pixels, so that an
    // enlarged pixel is one square whichever part of it is repainted.
    const SIZE shown{ViewZoom::Scaled(source.cx, zoom_), ViewZoom::Scaled(source.cy, zoom_)};
    const LONG right = std::min<LONG>(area.right, shown.cx);
    const LONG bottom = std::min<LONG>(area.bottom, shown.cy);
    if (right <= area.left || bottom <= area.top) return std::nullopt;
    const auto first = [&](LONG at, LONG limit) {
        return std::clamp<LONG>(static_cast<LONG>(std::floor(at / zoom_)), 0, limit);
    };
    const auto last = [&](LONG at, LONG limit) {
        return std::clamp<LONG>(static_cast<LONG>(std::ceil(at / zoom_)), 0, limit);
    };
    Span span;
    span.source.left = first(area.left, source.cx);
    span.source.right = std::max(span.source.left + 1, last(right, source.cx));
    span.source.top = first(area.top, source.cy);
    span.source.bottom = std::max(span.source.top + 1, last(bottom, source.cy));
    const auto at = [&](LONG sourcePixel) { return static_cast<LONG>(std::lround(sourcePixel * zoom_)); };
    span.target = RECT{at(span.source.left), at(span.source.top), at(span.source.right), at(span.source.bottom)};
    return span;
}

void PictureBox::SetStretchMode(HDC dc) const {
    // Reduced pictures average their pixels (halftone); enlarged ones repeat them (crisp squares).
    if (zoom_ < 1.0) {
        SetStretchBltMode(dc, HALFTONE);
        SetBrushOrgEx(dc, 0, 0, nullptr);
    } else {
        SetStretchBltMode(dc, COLORONCOLOR);
    }
}

void PictureBox::PaintScaled(HDC dc, HDC memory, const RECT& area, SIZE source) {
    const auto span = SpanUnder(area, source);
    if (!span) return;
    const RECT& from = span->source;
    const RECT& to = span->target;
    SetStretchMode(dc);
    StretchBlt(dc, to.left, to.top, to.right - to.left, to.bottom - to.top, memory, from.left, from.top,
               from.right - from.left, from.bottom - from.top, SRCCOPY);
    lastSource_ = from;
}

void PictureBox::PaintPixels(HDC dc, const RECT& area) {
    const auto span = SpanUnder(area, ContentSize());
    if (!span) return;
    const RECT& from = span->source;
    const RECT& to = span->target;
    // A top-down DIB of just the rows needed, starting at the first of them: the source
    // rectangle then spans its full height, where top-down and bottom-up agree.
    const void* composed = composer_ ? composer_(from) : nullptr;
    const BITMAPINFO info = TopDown32BitmapInfo(composed != nullptr ? from.right - from.left : pixels_.stride,
                                                from.bottom - from.top);
    const void* rows = composed != nullptr
                           ? composed
                           : static_cast<const std::uint32_t*>(pixels_.memory) +
                                 static_cast<std::size_t>(pixels_.area.top + from.top) * static_cast<std::size_t>(pixels_.stride);
    SetStretchMode(dc);
    StretchDIBits(dc, to.left, to.top, to.right - to.left, to.bottom - to.top,
                  composed != nullptr ? 0 : pixels_.area.left + from.left, 0, from.right - from.left,
                  from.bottom - from.top, rows, &info, DIB_RGB_COLORS, SRCCOPY);
    lastSource_ = from;
}
