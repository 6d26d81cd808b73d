// Pictures as Windows bitmaps: packed DIBs for the clipboard and printer, files for Save.
#include "platform/pictures/BitmapWriter.h"

#include <cstdint>
#include <cstring>
#include <functional>
#include <map>
#include <optional>

#include "platform/rules/PictureHeaders.h"
#include "platform/rules/RuntimeError.h"
#include "platform/windows/Handles.h"

namespace {

struct PaletteSource {
    std::vector<RGBQUAD> colours;
};

std::optional<PaletteSource> PaletteOf(const Picture& picture, HBITMAP bitmap) {
    PaletteSource source;
    if (HPALETTE palette = picture.Palette()) {
        PALETTEENTRY entries[256]{};
        const UINT count = GetPaletteEntries(palette, 0, 256, entries);
        for (UINT i = 0; i < count; ++i)
            source.colours.push_back(RGBQUAD{entries[i].peBlue, entries[i].peGreen, entries[i].peRed, 0});
    } else {
        DIBSECTION section{};
        if (GetObjectW(bitmap, sizeof section, &section) == sizeof section && section.dsBm.bmBitsPixel <= 8) {
            unique_hdc dc(CreateCompatibleDC(nullptr));
            SelectGuard select(dc.get(), bitmap);
            RGBQUAD table[256]{};
            const UINT count = GetDIBColorTable(dc.get(), 0, 256, table);
            source.colours.assign(table, table + count);
        }
    }
    if (source.colours.empty()) return std::nullopt;
    return source;
}

// The header of a 32-bit bottom-up DIB.
BITMAPINFO BottomUp32(int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    return info;
}

// The bitmap's pixels as 32-bit bottom-up rows (blue, green, red, unused).
std::vector<std::uint32_t> BitmapPixels(HBITMAP bitmap, HPALETTE palette, int width, int height) {
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    BITMAPINFO info = BottomUp32(width, height);
    WindowDC screen(nullptr, false);
    unique_hdc dc(CreateCompatibleDC(screen.get()));
    PaletteGuard usePalette(dc.get(), palette);
    if (GetDIBits(dc.get(), bitmap, 0, static_cast<UINT>(height), pixels.data(), &info, DIB_RGB_COLORS) !=
        height)
        RaiseError(ErrorNumber::SystemCallFailed, L"Cannot read the picture's pixels");
    for (auto& p : pixels) p &= 0x00FFFFFF;
    return pixels;
}

// Draws any picture at its natural size onto white.
std::vector<std::uint32_t> RenderedPixels(const Picture& picture, int width, int height) {
    BITMAPINFO info = BottomUp32(width, height);
    void* bits = nullptr;
    WindowDC screen(nullptr, false);
    unique_hbitmap canvas(CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!canvas || bits == nullptr) RaiseError(ErrorNumber::OutOfMemory, L"Out of memory");
    {
        unique_hdc dc(CreateCompatibleDC(screen.get()));
        SelectGuard select(dc.get(), canvas.get());
        RECT all{0, 0, width, height};
        FillRect(dc.get(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        PaletteGuard usePalette(dc.get(), picture.Palette());
        picture.Render(dc.get(), 0, 0);
        GdiFlush();
    }
    std::vector<std::uint32_t> pixels(static_cast<const std::uint32_t*>(bits),
                                      static_cast<const std::uint32_t*>(bits) + std::size_t(width) * height);
    for (auto& p : pixels) p &= 0x00FFFFFF;
    return pixels;
}

void Append(std::vector<BYTE>& out, const void* data, std::size_t size) {
    // Not insert(): g++ 12 takes its inlined copy for an overflow (-Wstringop-overflow).
    const std::size_t at = out.size();
    out.resize(at + size);
    std::memcpy(out.data() + at, data, size);
}

// The header of a packed DIB as this writer makes every one.
BITMAPINFOHEADER DibHeader(int width, int height, WORD bitCount, std::size_t stride, std::size_t colours) {
    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = bitCount;
    header.biCompression = BI_RGB;
    header.biSizeImage = static_cast<DWORD>(stride * static_cast<std::size_t>(height));
    header.biXPelsPerMeter = 3780;  // 96 dots per inch
    header.biYPelsPerMeter = 3780;
    header.biClrUsed = static_cast<DWORD>(colours);
    return header;
}

std::vector<BYTE> PackedDib8(int width, int height, const std::vector<RGBQUAD>& table, const std::vector<BYTE>& indices) {
    const std::size_t stride = static_cast<std::size_t>(DibRowBytes(static_cast<std::uint64_t>(width), 8));
    const BITMAPINFOHEADER header = DibHeader(width, height, 8, stride, table.size());
    std::vector<BYTE> out;
    out.reserve(sizeof header + table.size() * sizeof(RGBQUAD) + header.biSizeImage);
    Append(out, &header, sizeof header);
    Append(out, table.data(), table.size() * sizeof(RGBQUAD));
    const std::size_t start = out.size();
    out.resize(start + header.biSizeImage, 0);
    for (int y = 0; y < height; ++y)
        std::memcpy(out.data() + start + static_cast<std::size_t>(y) * stride,
                    indices.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width),
                    static_cast<std::size_t>(width));
    return out;
}

}  // namespace

std::vector<BYTE> PackedDib24(int width, int height, const std::function<const std::uint32_t*(int)>& bottomUpRow) {
    const std::size_t stride = static_cast<std::size_t>(DibRowBytes(static_cast<std::uint64_t>(width), 24));
    const BITMAPINFOHEADER header = DibHeader(width, height, 24, stride, 0);
    std::vector<BYTE> out;
    out.reserve(sizeof header + header.biSizeImage);
    Append(out, &header, sizeof header);
    const std::size_t start = out.size();
    out.resize(start + header.biSizeImage, 0);
    for (int y = 0; y < height; ++y) {
        BYTE* row = out.data() + start + static_cast<std::size_t>(y) * stride;
        const std::uint32_t* from = bottomUpRow(y);
        for (int x = 0; x < width; ++x) {
            const std::uint32_t p = from[x];
            row[3 * x] = static_cast<BYTE>(p);
            row[3 * x + 1] = static_cast<BYTE>(p >> 8);
            row[3 * x + 2] = static_cast<BYTE>(p >> 16);
        }
    }
    return out;
}

std::vector<BYTE> PictureToPackedDib(const Picture& picture) {
    const SIZE size = picture.IsEmpty() ? SIZE{0, 0} : picture.SizePixels();
    if (size.cx <= 0 || size.cy <= 0) RaiseError(ErrorNumber::InvalidPicture, L"Invalid picture");
    const int width = size.cx;
    const int height = size.cy;

    DWORD attributes = 0;
    if (auto ipicture = picture.AsIPicture()) ipicture->get_Attributes(&attributes);
    const HBITMAP bitmap = picture.Bitmap();
    const bool plainBitmap = bitmap != nullptr && (attributes & PICTURE_TRANSPARENT) == 0;

    std::vector<std::uint32_t> pixels =
        plainBitmap ? BitmapPixels(bitmap, picture.Palette(), width, height) : RenderedPixels(picture, width, height);

    // With a palette that holds every pixel, keep it: 8 bits per pixel and that colour table.
    std::vector<RGBQUAD> table;
    std::vector<BYTE> indices;
    if (plainBitmap) {
        if (auto palette = PaletteOf(picture, bitmap)) {
            std::map<std::uint32_t, BYTE> lookup;
            for (std::size_t i = 0; i < palette->colours.size(); ++i) {
                const RGBQUAD& c = palette->colours[i];
                const std::uint32_t key = (std::uint32_t(c.rgbRed) << 16) | (std::uint32_t(c.rgbGreen) << 8) | c.rgbBlue;
                lookup.emplace(key, static_cast<BYTE>(i));
            }
            indices.reserve(pixels.size());
            for (std::uint32_t p : pixels) {
                auto it = lookup.find(p);
                if (it == lookup.end()) {
                    indices.clear();
                    break;
                }
                indices.push_back(it->second);
            }
            if (!indices.empty()) table = palette->colours;
        }
    }

    if (table.empty())
        return PackedDib24(width, height, [&](int y) { return pixels.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width); });
    return PackedDib8(width, height, table, indices);
}

std::vector<BYTE> PictureToBitmapFile(const Picture& picture) { return PackedDibToBitmapFile(PictureToPackedDib(picture)); }

std::vector<BYTE> PackedDibToBitmapFile(const std::vector<BYTE>& dib) {
    if (dib.size() < sizeof(BITMAPINFOHEADER)) RaiseError(ErrorNumber::InvalidPicture, L"Invalid picture");
    const auto* header = reinterpret_cast<const BITMAPINFOHEADER*>(dib.data());
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;  // "BM"
    file.bfSize = static_cast<DWORD>(sizeof file + dib.size());
    file.bfOffBits = static_cast<DWORD>(sizeof file + header->biSize + header->biClrUsed * sizeof(RGBQUAD));
    std::vector<BYTE> out(sizeof file + dib.size());
    std::memcpy(out.data(), &file, sizeof file);
    std::memcpy(out.data() + sizeof file, dib.data(), dib.size());
    return out;
}
