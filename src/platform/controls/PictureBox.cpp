// The picture box: a child window painting its picture, scaled, at its own origin.
#include "platform/controls/PictureBox.h"

#include <algorithm>
#include <cmath>

#include "platform/controls/Twips.h"
#include "platform/controls/ViewZoom.h"
#include "platform/services/ScreenService.h"
#include "platform/windows/Handles.h"

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

void PictureBox::SetZoom(double zoom) {
    zoom = std::clamp(zoom, ViewZoom::kFloor, ViewZoom::kMaximum);
    if (zoom == zoom_) return;
    zoom_ = zoom;
    TakePictureSize();
    if (hwnd_ != nullptr) InvalidateRect(hwnd_, nullptr, FALSE);
}

void PictureBox::TakePictureSize() {
    if (!autoSize_ || picture_.IsEmpty()) return;
    const SIZE size = picture_.SizePixels();
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
    if (on && !picture_.IsEmpty()) {
        const SIZE size = picture_.SizePixels();
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
    lastSource_ = RECT{};
    // The box is as large as the (scaled) picture, the viewport only a window on it: only
    // what is both invalid and visible is drawn, whatever the picture's size.
    RECT area = paint.area();
    RECT visible{};
    if (GetClipBox(dc, &visible) != ERROR) IntersectRect(&area, &area, &visible);
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
}

void PictureBox::PaintScaled(HDC dc, HDC memory, const RECT& area, SIZE source) {
    // Only the picture pixels under the area that needs painting, whole pixels, so that an
    // enlarged pixel is one square whichever part of it is repainted.
    const SIZE shown{ViewZoom::Scaled(source.cx, zoom_), ViewZoom::Scaled(source.cy, zoom_)};
    const LONG right = std::min<LONG>(area.right, shown.cx);
    const LONG bottom = std::min<LONG>(area.bottom, shown.cy);
    if (right <= area.left || bottom <= area.top) return;
    const auto first = [&](LONG at, LONG limit) {
        return std::clamp<LONG>(static_cast<LONG>(std::floor(at / zoom_)), 0, limit);
    };
    const auto last = [&](LONG at, LONG limit) {
        return std::clamp<LONG>(static_cast<LONG>(std::ceil(at / zoom_)), 0, limit);
    };
    const LONG sx0 = first(area.left, source.cx), sx1 = std::max(sx0 + 1, last(right, source.cx));
    const LONG sy0 = first(area.top, source.cy), sy1 = std::max(sy0 + 1, last(bottom, source.cy));
    const auto at = [&](LONG sourcePixel) { return static_cast<LONG>(std::lround(sourcePixel * zoom_)); };
    // Reduced pictures average their pixels (halftone); enlarged ones repeat them (crisp squares).
    if (zoom_ < 1.0) {
        SetStretchBltMode(dc, HALFTONE);
        SetBrushOrgEx(dc, 0, 0, nullptr);
    } else {
        SetStretchBltMode(dc, COLORONCOLOR);
    }
    StretchBlt(dc, at(sx0), at(sy0), at(sx1) - at(sx0), at(sy1) - at(sy0), memory, sx0, sy0, sx1 - sx0, sy1 - sy0,
               SRCCOPY);
    lastSource_ = RECT{sx0, sy0, sx1, sy1};
}
