#include "document/PicturePixels.h"

#include <cstring>
#include <memory>
#include <utility>

#include "platform/pictures/DibInfo.h"
#include "platform/rules/RuntimeError.h"
#include "platform/windows/Handles.h"

namespace {

// A top-down 32-bit DIB section and its bits.
std::pair<unique_hbitmap, std::uint32_t*> NewSection(int width, int height) {
    const BITMAPINFO info = TopDown32BitmapInfo(width, height);
    void* bits = nullptr;
    WindowDC screen(nullptr, false);
    unique_hbitmap section(CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!section || bits == nullptr) RaiseError(ErrorNumber::OutOfMemory, L"Out of memory");
    return {std::move(section), static_cast<std::uint32_t*>(bits)};
}

bool IsOpaqueBitmap(const Picture& picture, HBITMAP bitmap) {
    if (bitmap == nullptr) return false;
    DWORD attributes = 0;
    if (auto ipicture = picture.AsIPicture()) ipicture->get_Attributes(&attributes);
    return (attributes & PICTURE_TRANSPARENT) == 0;
}

bool IsPlainTrueColourBitmap(const Picture& picture, HBITMAP bitmap) {
    if (!IsOpaqueBitmap(picture, bitmap) || picture.Palette() != nullptr) return false;
    // A bitmap of 8 bits or fewer is saved with its colour table: it stays as it came.
    BITMAP info{};
    return GetObjectW(bitmap, sizeof info, &info) != 0 && info.bmBitsPixel > 8;
}

// The bits of a bitmap laid out as the pixels are (a top-down 32-bit DIB section without
// gaps between rows), or nullptr.
std::uint32_t* PixelLayoutBits(const Picture& picture, HBITMAP bitmap, SIZE size) {
    DIBSECTION section{};
    if (!IsPlainTrueColourBitmap(picture, bitmap) ||
        GetObjectW(bitmap, sizeof section, &section) != static_cast<int>(sizeof section))
        return nullptr;
    const bool layout = section.dsBm.bmBits != nullptr && section.dsBm.bmBits == picture.TopDownBits() &&
                        section.dsBm.bmBitsPixel == 32 && section.dsBmih.biCompression == BI_RGB &&
                        section.dsBm.bmWidth == size.cx && section.dsBm.bmHeight == size.cy &&
                        section.dsBm.bmWidthBytes == size.cx * 4;
    return layout ? static_cast<std::uint32_t*>(section.dsBm.bmBits) : nullptr;
}

}  // namespace

PictureWithPixels ReadPicturePixels(Picture picture) {
    if (picture.IsEmpty()) return {};
    const SIZE size = picture.SizePixels();
    if (size.cx <= 0 || size.cy <= 0) return {std::move(picture), Pixels{}};
    const HBITMAP bitmap = picture.Bitmap();
    // A capture already holds its pixels in that layout: they are read where they are.
    if (std::uint32_t* bits = PixelLayoutBits(picture, bitmap, size)) {
        GdiFlush();
        Pixels pixels = Pixels::OverMemory(bits, size.cx, size.cy, std::make_shared<Picture>(picture));
        return {std::move(picture), std::move(pixels)};
    }
    auto [section, bits] = NewSection(size.cx, size.cy);
    {
        WindowDC screen(nullptr, false);
        unique_hdc dc(CreateCompatibleDC(screen.get()));
        if (IsOpaqueBitmap(picture, bitmap)) {
            BITMAPINFO info{};
            info.bmiHeader.biSize = sizeof info.bmiHeader;
            info.bmiHeader.biWidth = size.cx;
            info.bmiHeader.biHeight = -size.cy;
            info.bmiHeader.biPlanes = 1;
            info.bmiHeader.biBitCount = 32;
            info.bmiHeader.biCompression = BI_RGB;
            PaletteGuard usePalette(dc.get(), picture.Palette());
            if (GetDIBits(dc.get(), bitmap, 0, static_cast<UINT>(size.cy), bits, &info, DIB_RGB_COLORS) != size.cy)
                RaiseError(ErrorNumber::SystemCallFailed, L"Cannot read the picture's pixels");
        } else {
            // Icons, metafiles and see-through bitmaps: drawn onto white, as Save writes them.
            SelectGuard select(dc.get(), section.get());
            RECT all{0, 0, size.cx, size.cy};
            FillRect(dc.get(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
            PaletteGuard usePalette(dc.get(), picture.Palette());
            picture.Render(dc.get(), 0, 0);
        }
        GdiFlush();
    }
    const bool replaceable = IsPlainTrueColourBitmap(picture, bitmap);
    Picture sectionPicture = PictureOwningBitmap(section.release(), nullptr);
    sectionPicture.SetTopDownBits(bits);
    auto owner = std::make_shared<Picture>(sectionPicture);
    Pixels pixels = Pixels::OverMemory(bits, size.cx, size.cy, std::move(owner));
    // The section saves, copies and prints exactly as the bitmap did when it holds the same
    // pixels at the same size; then the bitmap goes and the picture is held once.
    if (replaceable && sectionPicture.WidthHimetric() == picture.WidthHimetric() &&
        sectionPicture.HeightHimetric() == picture.HeightHimetric())
        return {std::move(sectionPicture), std::move(pixels)};
    return {std::move(picture), std::move(pixels)};
}

Picture PictureOfPixels(const Pixels& pixels) {
    if (pixels.IsEmpty()) return {};
    auto [section, bits] = NewSection(pixels.Width(), pixels.Height());
    for (std::int32_t y = 0; y < pixels.Height(); ++y)
        std::memcpy(bits + static_cast<std::size_t>(y) * static_cast<std::size_t>(pixels.Width()), pixels.Row(y),
                    static_cast<std::size_t>(pixels.Width()) * sizeof(std::uint32_t));
    GdiFlush();
    Picture picture = PictureOwningBitmap(section.release(), nullptr);
    picture.SetTopDownBits(bits);
    return picture;
}
