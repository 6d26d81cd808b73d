#include "platform/pictures/Picture.h"

#include "platform/windows/RuntimeError.h"

namespace {

int ScreenDpi(int which) {
    HDC screen = GetDC(nullptr);
    const int dpi = screen != nullptr ? GetDeviceCaps(screen, which) : 96;
    if (screen != nullptr) ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : 96;
}

}  // namespace

Picture::Picture(ComPtr<IPictureDisp> disp, unique_hpalette ownedPalette) : disp_(std::move(disp)) {
    if (ownedPalette && disp_) {
        const HPALETTE palette = ownedPalette.release();
        paletteKeeper_ = std::shared_ptr<void>(palette, [](void* handle) { DeleteObject(static_cast<HPALETTE>(handle)); });
    } else if (ownedPalette && !disp_) {
        ownedPalette.reset();
    }
}

long PixelsToHimetric(long pixels, int dpi) { return MulDiv(pixels, 2540, dpi); }

long HimetricToPixels(long himetric, int dpi) { return MulDiv(himetric, dpi, 2540); }

ComPtr<IPicture> Picture::AsIPicture() const { return disp_.query<IPicture>(IID_IPicture); }

short Picture::Type() const {
    short type = PICTYPE_NONE;
    if (auto picture = AsIPicture()) picture->get_Type(&type);
    return type;
}

HBITMAP Picture::Bitmap() const {
    OLE_HANDLE handle = 0;
    auto picture = AsIPicture();
    if (!picture || Type() != PICTYPE_BITMAP) return nullptr;
    picture->get_Handle(&handle);
    return reinterpret_cast<HBITMAP>(static_cast<UINT_PTR>(handle));
}

HPALETTE Picture::Palette() const {
    OLE_HANDLE handle = 0;
    if (auto picture = AsIPicture()) picture->get_hPal(&handle);
    return reinterpret_cast<HPALETTE>(static_cast<UINT_PTR>(handle));
}

long Picture::WidthHimetric() const {
    OLE_XSIZE_HIMETRIC width = 0;
    if (auto picture = AsIPicture()) picture->get_Width(&width);
    return width;
}

long Picture::HeightHimetric() const {
    OLE_YSIZE_HIMETRIC height = 0;
    if (auto picture = AsIPicture()) picture->get_Height(&height);
    return height;
}

SIZE Picture::SizePixels() const {
    // A bitmap knows its own pixel size exactly; other kinds go through HIMETRIC.
    if (HBITMAP bitmap = Bitmap()) {
        BITMAP info{};
        if (GetObjectW(bitmap, sizeof info, &info) != 0) return SIZE{info.bmWidth, info.bmHeight};
    }
    return SIZE{HimetricToPixels(WidthHimetric(), ScreenDpi(LOGPIXELSX)),
                HimetricToPixels(HeightHimetric(), ScreenDpi(LOGPIXELSY))};
}

void Picture::Render(HDC dc, int x, int y) const {
    auto picture = AsIPicture();
    if (!picture) return;
    const SIZE size = SizePixels();
    const long width = WidthHimetric();
    const long height = HeightHimetric();
    // IPicture::Render takes the source in HIMETRIC with y running upwards.
    picture->Render(dc, x, y, size.cx, size.cy, 0, height, width, -height, nullptr);
}

Picture PictureOwningBitmap(HBITMAP bitmap, HPALETTE palette) {
    PICTDESC description{};
    description.cbSizeofstruct = sizeof description;
    description.picType = PICTYPE_BITMAP;
    description.bmp.hbitmap = bitmap;
    description.bmp.hpal = palette;
    ComPtr<IPictureDisp> disp;
    const HRESULT hr = OleCreatePictureIndirect(&description, IID_IPictureDisp, TRUE, disp.put_void());
    if (FAILED(hr)) {
        DeleteObject(bitmap);
        if (palette != nullptr) DeleteObject(palette);
        ThrowIfFailed(hr, L"Cannot create the picture");
    }
    return Picture(std::move(disp));
}
