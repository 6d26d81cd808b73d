#include "platform/pictures/Picture.h"

#include "platform/rules/RuntimeError.h"

namespace {

HRESULT WINAPI RealCreatePicture(PICTDESC* description, REFIID iid, BOOL own, void** result) {
    return OleCreatePictureIndirect(description, iid, own, result);
}

PictureSeams::PictureCreator g_createPicture = &RealCreatePicture;

// Whether the platform's picture object deletes the palette it was made to own (not every
// one does); asked once, with a throwaway bitmap and palette.
bool PictureFreesItsPalette() {
    static const bool frees = [] {
        struct {
            WORD version, count;
            PALETTEENTRY entries[1];
        } block{0x300, 1, {{0, 0, 0, 0}}};
        const HPALETTE palette = CreatePalette(reinterpret_cast<const LOGPALETTE*>(&block));
        const HBITMAP bitmap = CreateBitmap(1, 1, 1, 1, nullptr);
        PICTDESC description{};
        description.cbSizeofstruct = sizeof(PICTDESC);
        description.picType = PICTYPE_BITMAP;
        description.bmp.hbitmap = bitmap;
        description.bmp.hpal = palette;
        IPicture* picture = nullptr;
        if (FAILED(OleCreatePictureIndirect(&description, IID_IPicture, TRUE, reinterpret_cast<void**>(&picture))) ||
            picture == nullptr) {
            DeleteObject(bitmap);
            DeleteObject(palette);
            return true;
        }
        picture->Release();
        if (GetObjectType(palette) == 0) return true;
        DeleteObject(palette);
        return false;
    }();
    return frees;
}

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

namespace PictureSeams {
void SetPictureCreator(PictureCreator creator) { g_createPicture = creator != nullptr ? creator : &RealCreatePicture; }
}  // namespace PictureSeams

Picture PictureOwningBitmap(HBITMAP bitmap, HPALETTE palette) {
    PICTDESC description{};
    description.cbSizeofstruct = sizeof description;
    description.picType = PICTYPE_BITMAP;
    description.bmp.hbitmap = bitmap;
    description.bmp.hpal = palette;
    ComPtr<IPictureDisp> disp;
    HRESULT hr = g_createPicture(&description, IID_IPictureDisp, TRUE, disp.put_void());
    if (SUCCEEDED(hr) && !disp) hr = E_POINTER;
    if (FAILED(hr)) {
        // Nothing owns the handles now: freed rather than leaked, and the failure is said.
        if (bitmap != nullptr) DeleteObject(bitmap);
        if (palette != nullptr) DeleteObject(palette);
        ThrowIfFailed(hr, L"Cannot create the picture");
    }
    // Made to own it, the picture object still leaves its palette behind: the reference deletes it.
    if (palette != nullptr && !PictureFreesItsPalette()) return Picture(std::move(disp), unique_hpalette(palette));
    return Picture(std::move(disp));
}
