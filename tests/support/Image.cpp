#include "Image.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "platform/pictures/PictureFile.h"
#include "platform/pictures/DibInfo.h"
#include "platform/windows/Handles.h"

BITMAPINFO Bitmap32Info(int width, int height) { return TopDown32BitmapInfo(width, height); }

Image ReadDc(HDC source, int x, int y, int width, int height) {
    Image image;
    if (width <= 0 || height <= 0) return image;
    image.width = width;
    image.height = height;
    image.pixels.resize(static_cast<std::size_t>(width) * height);
    const BITMAPINFO info = Bitmap32Info(width, height);
    void* bits = nullptr;
    unique_hbitmap section(CreateDIBSection(source, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    unique_hdc memory(CreateCompatibleDC(source));
    {
        SelectGuard select(memory.get(), section.get());
        BitBlt(memory.get(), 0, 0, width, height, source, x, y, SRCCOPY);
        GdiFlush();
    }
    if (bits != nullptr) std::memcpy(image.pixels.data(), bits, image.pixels.size() * 4);
    for (auto& pixel : image.pixels) pixel &= 0x00FFFFFF;
    return image;
}

Image ReadScreen(int x, int y, int width, int height) {
    const HDC screen = GetDC(nullptr);
    Image image = ReadDc(screen, x, y, width, height);
    ReleaseDC(nullptr, screen);
    return image;
}

Image ReadScreen(const RECT& area) {
    return ReadScreen(area.left, area.top, area.right - area.left, area.bottom - area.top);
}

Image ReadClient(HWND window, int x, int y, int width, int height) {
    POINT origin{x, y};
    ClientToScreen(window, &origin);
    return ReadScreen(origin.x, origin.y, width, height);
}

Image ReadPicture(const Picture& picture) {
    Image image;
    if (picture.IsEmpty()) return image;
    const SIZE size = picture.SizePixels();
    if (size.cx <= 0 || size.cy <= 0) return image;
    image.width = size.cx;
    image.height = size.cy;
    image.pixels.resize(static_cast<std::size_t>(size.cx) * size.cy);
    BITMAPINFO info = Bitmap32Info(size.cx, size.cy);
    DWORD attributes = 0;
    picture.AsIPicture()->get_Attributes(&attributes);
    const HDC screen = GetDC(nullptr);
    if (picture.Bitmap() != nullptr && (attributes & PICTURE_TRANSPARENT) == 0) {
        unique_hdc dc(CreateCompatibleDC(screen));
        PaletteGuard usePalette(dc.get(), picture.Palette());
        GetDIBits(dc.get(), picture.Bitmap(), 0, static_cast<UINT>(size.cy), image.pixels.data(), &info,
                  DIB_RGB_COLORS);
    } else {
        void* bits = nullptr;
        unique_hbitmap canvas(CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        unique_hdc dc(CreateCompatibleDC(screen));
        {
            SelectGuard select(dc.get(), canvas.get());
            RECT all{0, 0, size.cx, size.cy};
            FillRect(dc.get(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
            picture.Render(dc.get(), 0, 0);
            GdiFlush();
        }
        std::memcpy(image.pixels.data(), bits, image.pixels.size() * 4);
    }
    ReleaseDC(nullptr, screen);
    for (auto& pixel : image.pixels) pixel &= 0x00FFFFFF;
    return image;
}

Image IconPixels(HICON icon, int size, COLORREF background) {
    const HDC screen = GetDC(nullptr);
    unique_hdc memory(CreateCompatibleDC(screen));
    unique_hbitmap bitmap(CreateCompatibleBitmap(screen, size, size));
    ReleaseDC(nullptr, screen);
    SelectGuard select(memory.get(), bitmap.get());
    RECT all{0, 0, size, size};
    unique_hbrush brush(CreateSolidBrush(background));
    FillRect(memory.get(), &all, brush.get());
    DrawIconEx(memory.get(), 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
    return ReadDc(memory.get(), 0, 0, size, size);
}

ImageDifference Compare(const Image& a, const Image& b) {
    ImageDifference d;
    d.sameSize = a.width == b.width && a.height == b.height && a.pixels.size() == b.pixels.size();
    if (!d.sameSize) return d;
    double total = 0;
    for (std::size_t i = 0; i < a.pixels.size(); ++i) {
        bool differs = false;
        for (int shift = 0; shift <= 16; shift += 8) {
            const int ca = static_cast<int>((a.pixels[i] >> shift) & 0xFF);
            const int cb = static_cast<int>((b.pixels[i] >> shift) & 0xFF);
            const int diff = std::abs(ca - cb);
            total += diff;
            d.maxChannel = std::max(d.maxChannel, diff);
            differs = differs || diff != 0;
        }
        if (differs) ++d.differing;
    }
    if (!a.pixels.empty()) d.meanChannel = total / (3.0 * static_cast<double>(a.pixels.size()));
    return d;
}

long CountDifferences(const Image& a, const Image& b) {
    const ImageDifference d = Compare(a, b);
    return d.sameSize ? static_cast<long>(d.differing) : -1;
}

HBITMAP DeviceBitmap(const Image& image) {
    const BITMAPINFO info = Bitmap32Info(image.width, image.height);
    const HDC screen = GetDC(nullptr);
    const HBITMAP bitmap = CreateCompatibleBitmap(screen, image.width, image.height);
    SetDIBits(screen, bitmap, 0, static_cast<UINT>(image.height), image.pixels.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    return bitmap;
}

Picture BitmapPicture(const Image& image, bool dibSection) {
    if (!dibSection) return PictureOwningBitmap(DeviceBitmap(image), nullptr);
    const BITMAPINFO info = Bitmap32Info(image.width, image.height);
    const HDC screen = GetDC(nullptr);
    void* bits = nullptr;
    const HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ReleaseDC(nullptr, screen);
    std::memcpy(bits, image.pixels.data(), image.pixels.size() * 4);
    return PictureOwningBitmap(bitmap, nullptr);
}

Image Part(const Image& image, int left, int top, int width, int height) {
    Image part{width, height, {}};
    part.pixels.reserve(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    for (int y = top; y < top + height; ++y)
        for (int x = left; x < left + width; ++x) part.pixels.push_back(image.At(x, y));
    return part;
}
