#include "platform/rules/PictureHeaders.h"

#include <cstring>

namespace {

using Bytes = std::span<const std::uint8_t>;

// The compression values of a bitmap header.
constexpr std::uint32_t kRgb = 0;
constexpr std::uint32_t kRle8 = 1;
constexpr std::uint32_t kRle4 = 2;
constexpr std::uint32_t kBitfields = 3;

std::uint32_t U16(Bytes b, std::size_t at) { return std::uint32_t(b[at]) | (std::uint32_t(b[at + 1]) << 8); }
std::uint32_t U32(Bytes b, std::size_t at) { return U16(b, at) | (U16(b, at + 2) << 16); }
std::int32_t I32(Bytes b, std::size_t at) { return static_cast<std::int32_t>(U32(b, at)); }
std::uint32_t Be16(Bytes b, std::size_t at) { return (std::uint32_t(b[at]) << 8) | b[at + 1]; }
std::uint32_t Be32(Bytes b, std::size_t at) { return (Be16(b, at) << 16) | Be16(b, at + 2); }

bool StartsWith(Bytes b, std::size_t at, const char* text, std::size_t length) {
    return at + length <= b.size() && std::memcmp(b.data() + at, text, length) == 0;
}

// A Windows bitmap file whose headers, colour table and pixel data all lie inside the file.
bool BitmapSound(Bytes b, std::uint64_t memory) {
    const std::size_t size = b.size();
    if (size < 14 + 12) return false;
    const std::uint32_t offBits = U32(b, 10);
    const std::uint32_t headerSize = U32(b, 14);
    if (headerSize != 12 && headerSize != 40 && headerSize != 52 && headerSize != 56 && headerSize != 108 &&
        headerSize != 124)
        return false;
    if (14ull + headerSize > size) return false;
    std::int64_t width = 0;
    std::int64_t height = 0;
    std::uint32_t planes = 0;
    std::uint32_t bits = 0;
    std::uint32_t compression = kRgb;
    std::uint32_t sizeImage = 0;
    std::uint64_t colours = 0;
    std::uint64_t entrySize = 4;
    std::uint64_t tableStart = 14ull + headerSize;
    if (headerSize == 12) {
        width = U16(b, 18);
        height = U16(b, 20);
        planes = U16(b, 22);
        bits = U16(b, 24);
        entrySize = 3;
        if (bits <= 8) colours = 1ull << bits;
    } else {
        width = I32(b, 18);
        height = I32(b, 22);
        planes = U16(b, 26);
        bits = U16(b, 28);
        compression = U32(b, 30);
        sizeImage = U32(b, 34);
        colours = U32(b, 46);
        if (compression == kBitfields && headerSize == 40) tableStart += 12;
        if (bits <= 8 && (colours == 0 || colours > (1ull << bits))) {
            if (colours > (1ull << bits)) return false;
            colours = 1ull << bits;
        }
        if (bits > 8 && colours > 256) return false;
    }
    if (planes != 1 || width <= 0 || height == 0 || height == INT32_MIN) return false;
    const std::int64_t rows = height < 0 ? -height : height;
    switch (bits) {
    case 1: case 4: case 8: case 16: case 24: case 32: break;
    default: return false;
    }
    const bool rle = compression == kRle8 || compression == kRle4;
    if (compression == kRle8 && bits != 8) return false;
    if (compression == kRle4 && bits != 4) return false;
    if (compression == kBitfields && bits != 16 && bits != 32) return false;
    if (compression != kRgb && !rle && compression != kBitfields) return false;
    if (rle && height < 0) return false;  // compressed bitmaps are bottom-up only
    if (!PictureSizeWithin(width, rows, memory)) return false;
    if (tableStart + colours * entrySize > size) return false;
    if (offBits < tableStart || offBits >= size) return false;
    const std::uint64_t pixelBytes =
        rle ? sizeImage : DibRowBytes(static_cast<std::uint64_t>(width), bits) * static_cast<std::uint64_t>(rows);
    return pixelBytes != 0 && offBits + pixelBytes <= size;
}

// An icon or cursor file whose directory and images all lie inside the file.
bool IconSound(Bytes b, std::uint64_t memory) {
    const std::size_t size = b.size();
    if (size < 6) return false;
    const std::uint32_t count = U16(b, 4);
    if (count == 0 || 6ull + 16ull * count > size) return false;
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::size_t entry = 6 + 16 * std::size_t(i);
        const std::uint64_t bytes = U32(b, entry + 8);
        const std::uint64_t offset = U32(b, entry + 12);
        if (offset < 6ull + 16ull * count || bytes < 40 || offset + bytes > size) return false;
        const auto at = static_cast<std::size_t>(offset);
        if (StartsWith(b, at, "\x89PNG\r\n\x1a\n", 8)) {
            // IHDR follows the signature: width and height, big-endian.
            if (bytes < 33) return false;
            if (!PictureSizeWithin(Be32(b, at + 16), Be32(b, at + 20), memory)) return false;
            if (Be32(b, at + 16) > 1024 || Be32(b, at + 20) > 1024) return false;
            continue;
        }
        const std::uint32_t headerSize = U32(b, at);
        const std::int64_t width = I32(b, at + 4);
        const std::int64_t doubleHeight = I32(b, at + 8);
        const std::uint32_t planes = U16(b, at + 12);
        const std::uint32_t bits = U16(b, at + 14);
        const std::uint32_t compression = U32(b, at + 16);
        std::uint64_t colours = U32(b, at + 32);
        if (headerSize < 40 || headerSize > bytes || planes != 1 || compression != kRgb) return false;
        if (width <= 0 || width > 1024 || doubleHeight <= 0 || doubleHeight > 2048 || doubleHeight % 2 != 0)
            return false;
        switch (bits) {
        case 1: case 4: case 8: case 24: case 32: break;
        default: return false;
        }
        if (bits <= 8) {
            if (colours > (1ull << bits)) return false;
            if (colours == 0) colours = 1ull << bits;
        } else {
            colours = 0;
        }
        const auto rows = static_cast<std::uint64_t>(doubleHeight / 2);
        const auto columns = static_cast<std::uint64_t>(width);
        // Colour table, colour rows, then the one-bit mask rows.
        const std::uint64_t need =
            headerSize + colours * 4 + DibRowBytes(columns, bits) * rows + DibRowBytes(columns, 1) * rows;
        if (need > bytes) return false;
    }
    return true;
}

// The frame header of a JPEG file: every marker segment up to it must lie in the file.
// (Some decoders allocate the whole image as soon as they have read this header.)
bool JpegSound(Bytes b, std::uint64_t memory) {
    std::size_t at = 2;
    for (;;) {
        if (at + 2 > b.size() || b[at] != 0xFF) return false;
        while (at + 1 < b.size() && b[at + 1] == 0xFF) ++at;  // fill bytes
        if (at + 2 > b.size()) return false;
        const std::uint8_t marker = b[at + 1];
        at += 2;
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8)) continue;  // no length
        if (marker == 0xD9 || marker == 0xDA) return false;                   // no frame header
        if (at + 2 > b.size()) return false;
        const std::size_t length = Be16(b, at);
        if (length < 2 || at + length > b.size()) return false;
        const bool frame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (frame) {
            if (length < 8) return false;
            const std::uint32_t height = Be16(b, at + 3);
            const std::uint32_t width = Be16(b, at + 5);
            const std::uint32_t components = b[at + 7];
            if (components == 0 || components > 4 || length < 8 + 3 * components) return false;
            return PictureSizeWithin(width, height, memory);
        }
        at += length;
    }
}

// A GIF file's screen and every image in it: sizes within bounds, every block inside the file.
bool GifSound(Bytes b, std::uint64_t memory) {
    if (b.size() < 13) return false;
    if (!PictureSizeWithin(U16(b, 6), U16(b, 8), memory)) return false;
    std::size_t at = 13;
    if (b[10] & 0x80) at += 3u * (2u << (b[10] & 7));
    const auto skipSubBlocks = [&] {
        for (;;) {
            if (at >= b.size()) return false;
            const std::size_t size = b[at++];
            if (size == 0) return true;
            at += size;
        }
    };
    std::uint64_t pixels = 0;
    int images = 0;
    for (;;) {
        if (at >= b.size()) return false;
        const std::uint8_t block = b[at++];
        if (block == 0x3B) break;  // trailer
        if (block == 0x21) {
            if (at >= b.size()) return false;
            ++at;  // label
            if (!skipSubBlocks()) return false;
        } else if (block == 0x2C) {
            if (at + 9 > b.size()) return false;
            const std::uint32_t width = U16(b, at + 4);
            const std::uint32_t height = U16(b, at + 6);
            const std::uint8_t flags = b[at + 8];
            if (!PictureSizeWithin(width, height, memory)) return false;
            // Every frame is held decoded at once by some decoders.
            pixels += std::uint64_t(width) * height;
            if (pixels * 8 > memory || pixels > (1ull << 28)) return false;
            at += 9;
            if (flags & 0x80) at += 3u * (2u << (flags & 7));
            ++at;  // LZW minimum code size
            if (!skipSubBlocks()) return false;
            ++images;
        } else {
            return false;
        }
    }
    return images > 0;
}

bool PngSound(Bytes b, std::uint64_t memory) {
    if (b.size() < 33 || Be32(b, 8) != 13 || !StartsWith(b, 12, "IHDR", 4)) return false;
    return PictureSizeWithin(Be32(b, 16), Be32(b, 20), memory);
}

// The first image's width and length tags of a TIFF file.
bool TiffSound(Bytes b, std::uint64_t memory) {
    if (b.size() < 8) return false;
    const bool big = b[0] == 'M';
    const auto u16 = [&](std::size_t at) { return big ? Be16(b, at) : U16(b, at); };
    const auto u32 = [&](std::size_t at) { return big ? Be32(b, at) : U32(b, at); };
    const std::uint64_t directory = u32(4);
    if (directory + 2 > b.size()) return false;
    const std::uint32_t count = u16(static_cast<std::size_t>(directory));
    if (directory + 2 + 12ull * count > b.size()) return false;
    std::int64_t width = 0;
    std::int64_t height = 0;
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::size_t entry = static_cast<std::size_t>(directory) + 2 + 12 * std::size_t(i);
        const std::uint32_t tag = u16(entry);
        const std::uint32_t type = u16(entry + 2);
        const std::uint32_t value = type == 3 ? u16(entry + 8) : u32(entry + 8);
        if (tag == 256) width = value;
        if (tag == 257) height = value;
    }
    return PictureSizeWithin(width, height, memory);
}

}  // namespace

PictureFormat SniffPictureFormat(std::span<const std::uint8_t> b) {
    if (StartsWith(b, 0, "BM", 2)) return PictureFormat::Bitmap;
    if (b.size() >= 6 && StartsWith(b, 0, "GIF8", 4)) return PictureFormat::Gif;
    if (StartsWith(b, 0, "\xFF\xD8\xFF", 3)) return PictureFormat::Jpeg;
    if (b.size() >= 4 && b[0] == 0 && b[1] == 0 && (b[2] == 1 || b[2] == 2) && b[3] == 0) return PictureFormat::Icon;
    if (StartsWith(b, 0, "\x89PNG\r\n\x1a\n", 8)) return PictureFormat::Png;
    if (b.size() >= 8 && (StartsWith(b, 0, "II*\0", 4) || StartsWith(b, 0, "MM\0*", 4))) return PictureFormat::Tiff;
    return PictureFormat::Unknown;
}

bool PictureSizeWithin(std::int64_t width, std::int64_t height, std::uint64_t availableMemory) {
    if (width <= 0 || height <= 0 || width > kMaxPictureSide || height > kMaxPictureSide) return false;
    // Decoders compute a whole image's bytes in 32 bits, at up to 8 bytes a pixel.
    if (width * height > kMaxPicturePixels) return false;
    const auto bytes = static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) * 8;
    return bytes <= availableMemory;
}

bool PictureHeadersSound(PictureFormat format, std::span<const std::uint8_t> bytes, std::uint64_t availableMemory) {
    switch (format) {
    case PictureFormat::Bitmap: return BitmapSound(bytes, availableMemory);
    case PictureFormat::Gif: return GifSound(bytes, availableMemory);
    case PictureFormat::Jpeg: return JpegSound(bytes, availableMemory);
    case PictureFormat::Icon: return IconSound(bytes, availableMemory);
    case PictureFormat::Png: return PngSound(bytes, availableMemory);
    case PictureFormat::Tiff: return TiffSound(bytes, availableMemory);
    case PictureFormat::Unknown: break;
    }
    return false;
}

std::uint64_t DibRowBytes(std::uint64_t width, std::uint32_t bitsPerPixel) {
    return ((width * bitsPerPixel + 31) / 32) * 4;
}
