// The header checks of picture files, as bytes: well-formed files pass, and every damaged,
// truncated or oversized one is refused without reading past its end.
#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <vector>

#include "platform/rules/PictureHeaders.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::uint64_t kPlentyOfMemory = std::uint64_t(1) << 40;

void Put16(Bytes& b, std::uint32_t v) { b.insert(b.end(), {std::uint8_t(v), std::uint8_t(v >> 8)}); }
void Put32(Bytes& b, std::uint32_t v) { Put16(b, v & 0xFFFF); Put16(b, v >> 16); }
void PutBe16(Bytes& b, std::uint32_t v) { b.insert(b.end(), {std::uint8_t(v >> 8), std::uint8_t(v)}); }
void PutBe32(Bytes& b, std::uint32_t v) { PutBe16(b, v >> 16); PutBe16(b, v & 0xFFFF); }
void PutText(Bytes& b, const char* text, std::size_t length) {
    for (std::size_t i = 0; i < length; ++i) b.push_back(static_cast<std::uint8_t>(text[i]));
}
void Set16(Bytes& b, std::size_t at, std::uint32_t v) {
    b.at(at) = std::uint8_t(v);
    b.at(at + 1) = std::uint8_t(v >> 8);
}
void Set32(Bytes& b, std::size_t at, std::uint32_t v) {
    Set16(b, at, v & 0xFFFF);
    Set16(b, at + 2, v >> 16);
}

// A BITMAPINFOHEADER (40 bytes).
void PutInfoHeader(Bytes& b, std::int32_t width, std::int32_t height, std::uint32_t bits, std::uint32_t compression = 0,
                   std::uint32_t colours = 0) {
    Put32(b, 40);
    Put32(b, static_cast<std::uint32_t>(width));
    Put32(b, static_cast<std::uint32_t>(height));
    Put16(b, 1);
    Put16(b, bits);
    Put32(b, compression);
    Put32(b, 0);
    Put32(b, 3780);
    Put32(b, 3780);
    Put32(b, colours);
    Put32(b, 0);
}

// A bitmap file: file header, info header, colour table (8 bits and fewer), pixel rows.
Bytes BitmapFile(std::int32_t width, std::int32_t height, std::uint32_t bits = 24) {
    const std::uint32_t tableBytes = bits <= 8 ? 4u << bits : 0;
    const auto rows = static_cast<std::uint32_t>(height < 0 ? -height : height);
    const auto pixelBytes = static_cast<std::uint32_t>(DibRowBytes(static_cast<std::uint32_t>(width), bits)) * rows;
    Bytes b;
    PutText(b, "BM", 2);
    Put32(b, 14 + 40 + tableBytes + pixelBytes);
    Put32(b, 0);
    Put32(b, 14 + 40 + tableBytes);
    PutInfoHeader(b, width, height, bits);
    b.resize(b.size() + tableBytes + pixelBytes, 0x5A);
    return b;
}

// An icon file with one 32 x 32 image of the given depth.
Bytes IconFile(std::uint32_t bits = 8, std::int32_t width = 32, std::int32_t doubleHeight = 64) {
    const std::uint32_t colours = bits <= 8 ? 1u << bits : 0;
    const auto rows = static_cast<std::uint32_t>(doubleHeight / 2);
    const auto image = 40 + colours * 4 + static_cast<std::uint32_t>(DibRowBytes(std::uint32_t(width), bits)) * rows +
                       static_cast<std::uint32_t>(DibRowBytes(std::uint32_t(width), 1)) * rows;
    Bytes b;
    Put16(b, 0);
    Put16(b, 1);  // icon
    Put16(b, 1);  // one image
    b.insert(b.end(), {std::uint8_t(width), std::uint8_t(rows), 0, 0});
    Put16(b, 1);
    Put16(b, bits);
    Put32(b, image);
    Put32(b, 6 + 16);
    PutInfoHeader(b, width, doubleHeight, bits);
    b.resize(b.size() + image - 40, 0x33);
    return b;
}

// A GIF file with one image per entry of frames (width, height), each with one data block.
Bytes GifFile(std::uint32_t width, std::uint32_t height, std::initializer_list<std::uint32_t> frameSides = {}) {
    Bytes b;
    PutText(b, "GIF89a", 6);
    Put16(b, width);
    Put16(b, height);
    b.insert(b.end(), {0x80, 0, 0});  // global colour table of two entries
    b.insert(b.end(), 6, 0xFF);
    b.insert(b.end(), {0x21, 0xF9, 4, 0, 0, 0, 0, 0});  // graphic control extension
    const auto image = [&](std::uint32_t w, std::uint32_t h) {
        b.push_back(0x2C);
        Put16(b, 0);
        Put16(b, 0);
        Put16(b, w);
        Put16(b, h);
        b.push_back(0);
        b.insert(b.end(), {2, 3, 0x44, 0x01, 0x05, 0});  // code size, one sub-block, end
    };
    if (frameSides.size() == 0) image(width, height);
    for (std::uint32_t side : frameSides) image(side, side);
    b.push_back(0x3B);
    return b;
}

Bytes JpegFile(std::uint32_t width, std::uint32_t height, std::uint8_t components = 3) {
    Bytes b{0xFF, 0xD8};
    b.insert(b.end(), {0xFF, 0xE0});
    PutBe16(b, 16);
    PutText(b, "JFIF\0\1\1\0\0\1\0\1\0\0", 14);
    b.insert(b.end(), {0xFF, 0xFF, 0xC0});  // a fill byte before the frame header
    PutBe16(b, 8 + 3 * components);
    b.push_back(8);
    PutBe16(b, height);
    PutBe16(b, width);
    b.push_back(components);
    for (std::uint8_t c = 0; c < components; ++c) b.insert(b.end(), {std::uint8_t(c + 1), 0x11, 0});
    b.insert(b.end(), {0xFF, 0xDA, 0, 2, 0xFF, 0xD9});
    return b;
}

Bytes PngFile(std::uint32_t width, std::uint32_t height) {
    Bytes b;
    PutText(b, "\x89PNG\r\n\x1a\n", 8);
    PutBe32(b, 13);
    PutText(b, "IHDR", 4);
    PutBe32(b, width);
    PutBe32(b, height);
    b.insert(b.end(), {8, 6, 0, 0, 0, 0, 0, 0, 0});  // depth, colour type, methods, CRC
    return b;
}

Bytes TiffFile(std::uint32_t width, std::uint32_t height, bool bigEndian = false) {
    Bytes b;
    const auto p16 = [&](std::uint32_t v) { bigEndian ? PutBe16(b, v) : Put16(b, v); };
    const auto p32 = [&](std::uint32_t v) { bigEndian ? PutBe32(b, v) : Put32(b, v); };
    PutText(b, bigEndian ? "MM\0*" : "II*\0", 4);
    p32(8);
    p16(2);
    p16(256), p16(3), p32(1), p16(width), p16(0);  // a SHORT value sits in the first two bytes
    p16(257), p16(4), p32(1), p32(height);         // a LONG fills all four
    p32(0);
    return b;
}

bool Sound(const Bytes& b, std::uint64_t memory = kPlentyOfMemory) {
    return PictureHeadersSound(SniffPictureFormat(b), b, memory);
}

// Every shorter copy of the file, each in a buffer of exactly its own size (so that the
// address sanitizer of the native build sees any read past the end), is refused.
void ExpectPrefixesRefused(const Bytes& file, std::size_t from = 0, std::size_t upTo = SIZE_MAX) {
    const PictureFormat format = SniffPictureFormat(file);
    for (std::size_t length = from; length < std::min(upTo, file.size()); ++length) {
        const Bytes prefix(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(length));
        EXPECT_FALSE(PictureHeadersSound(format, prefix, kPlentyOfMemory)) << "first " << length << " bytes";
    }
}

}  // namespace

TEST(PictureHeaders, FormatsAreKnownByTheirFirstBytes) {
    EXPECT_EQ(SniffPictureFormat(BitmapFile(2, 2)), PictureFormat::Bitmap);
    EXPECT_EQ(SniffPictureFormat(IconFile()), PictureFormat::Icon);
    EXPECT_EQ(SniffPictureFormat(GifFile(2, 2)), PictureFormat::Gif);
    EXPECT_EQ(SniffPictureFormat(JpegFile(2, 2)), PictureFormat::Jpeg);
    EXPECT_EQ(SniffPictureFormat(PngFile(2, 2)), PictureFormat::Png);
    EXPECT_EQ(SniffPictureFormat(TiffFile(2, 2)), PictureFormat::Tiff);
    EXPECT_EQ(SniffPictureFormat(TiffFile(2, 2, true)), PictureFormat::Tiff);
    EXPECT_EQ(SniffPictureFormat(Bytes{0, 0, 2, 0}), PictureFormat::Icon);  // a cursor
    for (const Bytes& other : {Bytes{}, Bytes{'B'}, Bytes{'G', 'I', 'F', '8', '9'}, Bytes{0, 0, 3, 0},
                               Bytes{'<', 'h', 't', 'm', 'l', '>', 0, 0}, Bytes{'I', 'I', '*', 0, 8, 0, 0}})
        EXPECT_EQ(SniffPictureFormat(other), PictureFormat::Unknown) << other.size() << " bytes";
}

TEST(PictureHeaders, WellFormedFilesAreSound) {
    for (std::uint32_t bits : {1u, 4u, 8u, 16u, 24u, 32u}) EXPECT_TRUE(Sound(BitmapFile(5, 3, bits))) << bits;
    EXPECT_TRUE(Sound(BitmapFile(7, -4)));  // top-down
    for (std::uint32_t bits : {1u, 4u, 8u, 24u, 32u}) EXPECT_TRUE(Sound(IconFile(bits))) << bits;
    EXPECT_TRUE(Sound(GifFile(10, 10)));
    EXPECT_TRUE(Sound(GifFile(10, 10, {4, 8, 10})));
    EXPECT_TRUE(Sound(JpegFile(640, 480)));
    EXPECT_TRUE(Sound(JpegFile(16, 16, 1)));
    EXPECT_TRUE(Sound(PngFile(300, 200)));
    EXPECT_TRUE(Sound(TiffFile(300, 200)));
    EXPECT_TRUE(Sound(TiffFile(300, 200, true)));
}

TEST(PictureHeaders, TruncatedFilesAreRefused) {
    // Bitmaps, icons and GIF files are checked to their last byte; JPEG up to the end of its
    // frame header, PNG its header chunk, TIFF its first directory.
    ExpectPrefixesRefused(BitmapFile(5, 3, 8));
    ExpectPrefixesRefused(BitmapFile(5, 3, 24));
    ExpectPrefixesRefused(IconFile(4));
    ExpectPrefixesRefused(IconFile(32));
    ExpectPrefixesRefused(GifFile(6, 6, {3, 6}));
    ExpectPrefixesRefused(JpegFile(8, 8), 0, 2 + 18 + 3 + 17);
    ExpectPrefixesRefused(PngFile(8, 8));
    ExpectPrefixesRefused(TiffFile(8, 8), 0, 8 + 2 + 24);
    for (PictureFormat format : {PictureFormat::Bitmap, PictureFormat::Icon, PictureFormat::Gif, PictureFormat::Jpeg,
                                 PictureFormat::Png, PictureFormat::Tiff, PictureFormat::Unknown})
        EXPECT_FALSE(PictureHeadersSound(format, Bytes{}, kPlentyOfMemory));
}

TEST(PictureHeaders, SizesWithinTheLimits) {
    EXPECT_TRUE(PictureSizeWithin(1, 1, kPlentyOfMemory));
    EXPECT_TRUE(PictureSizeWithin(kMaxPictureSide, 8192, kPlentyOfMemory));
    EXPECT_TRUE(PictureSizeWithin(16384, 16384, kPlentyOfMemory));
    EXPECT_FALSE(PictureSizeWithin(kMaxPictureSide + 1, 1, kPlentyOfMemory));
    EXPECT_FALSE(PictureSizeWithin(1, kMaxPictureSide + 1, kPlentyOfMemory));
    EXPECT_FALSE(PictureSizeWithin(16385, 16384, kPlentyOfMemory));  // past kMaxPicturePixels
    EXPECT_FALSE(PictureSizeWithin(0, 10, kPlentyOfMemory));
    EXPECT_FALSE(PictureSizeWithin(10, -1, kPlentyOfMemory));
    // Eight bytes a pixel must fit the memory free.
    EXPECT_TRUE(PictureSizeWithin(1000, 1000, 8'000'000));
    EXPECT_FALSE(PictureSizeWithin(1000, 1000, 7'999'999));
}

TEST(PictureHeaders, OversizedPicturesAreRefusedBeforeDecoding) {
    // The headers claim more than the limits (or the memory) allow; no pixels follow.
    EXPECT_FALSE(Sound(PngFile(40000, 10)));
    EXPECT_FALSE(Sound(PngFile(20000, 20000)));
    EXPECT_FALSE(Sound(PngFile(1000, 1000), 7'999'999));
    EXPECT_FALSE(Sound(JpegFile(65535, 65535)));
    EXPECT_FALSE(Sound(JpegFile(0, 480)));
    EXPECT_FALSE(Sound(TiffFile(300, 0)));
    EXPECT_FALSE(Sound(GifFile(65535, 65535)));
    // Each frame of an animation fits, all of them held decoded at once do not.
    EXPECT_TRUE(Sound(GifFile(1000, 1000, {1000, 1000}), 16'000'000));
    EXPECT_FALSE(Sound(GifFile(1000, 1000, {1000, 1000, 1000}), 16'000'000));
    Bytes bitmap = BitmapFile(4, 4);
    Set32(bitmap, 18, 40000);  // width
    EXPECT_FALSE(Sound(bitmap));
}

TEST(PictureHeaders, BitmapHeadersThatLieAreRefused) {
    const Bytes good = BitmapFile(4, 4, 8);
    const auto refusedWith = [&](std::size_t at, std::uint32_t value, bool wide) {
        Bytes b = good;
        wide ? Set32(b, at, value) : Set16(b, at, value);
        return !Sound(b);
    };
    EXPECT_TRUE(refusedWith(14, 41, true));           // unknown header size
    EXPECT_TRUE(refusedWith(26, 2, false));           // two planes
    EXPECT_TRUE(refusedWith(28, 7, false));           // seven bits a pixel
    EXPECT_TRUE(refusedWith(30, 5, true));            // unknown compression
    EXPECT_TRUE(refusedWith(30, 2, true));            // four-bit RLE on an 8-bit bitmap
    EXPECT_TRUE(refusedWith(46, 257, true));          // more colours than 8 bits index
    EXPECT_TRUE(refusedWith(10, 14 + 39, true));      // pixels start inside the header
    EXPECT_TRUE(refusedWith(10, 0x7FFFFFFF, true));   // pixels start past the end
    EXPECT_TRUE(refusedWith(22, 0x80000000u, true));  // the height that has no positive
    EXPECT_TRUE(refusedWith(18, 0xFFFFFFFCu, true));  // negative width
    Bytes rleTopDown = good;
    Set32(rleTopDown, 30, 1);
    Set32(rleTopDown, 34, 16);
    EXPECT_TRUE(Sound(rleTopDown));
    Set32(rleTopDown, 22, static_cast<std::uint32_t>(-4));
    EXPECT_FALSE(Sound(rleTopDown));  // compressed bitmaps are bottom-up only
}

TEST(PictureHeaders, IconDirectoriesThatLieAreRefused) {
    Bytes noImages = IconFile();
    Set16(noImages, 4, 0);
    EXPECT_FALSE(Sound(noImages));
    Bytes inDirectory = IconFile();
    Set32(inDirectory, 6 + 12, 6);  // the image would overlap the directory
    EXPECT_FALSE(Sound(inDirectory));
    Bytes tooLong = IconFile();
    Set32(tooLong, 6 + 8, static_cast<std::uint32_t>(tooLong.size()));
    EXPECT_FALSE(Sound(tooLong));
    EXPECT_FALSE(Sound(IconFile(8, 1025, 64)));  // wider than an icon can be
    EXPECT_FALSE(Sound(IconFile(8, 32, 63)));    // the height counts colour and mask rows
    EXPECT_FALSE(Sound(IconFile(16)));           // no 16-bit icons
}

TEST(PictureHeaders, GifAndJpegStructureIsFollowed) {
    Bytes noImage = GifFile(4, 4);
    noImage.erase(noImage.begin() + 27, noImage.end() - 1);  // keep screen, extension, trailer
    EXPECT_FALSE(Sound(noImage));
    Bytes unknownBlock = GifFile(4, 4);
    unknownBlock[27] = 0x2D;
    EXPECT_FALSE(Sound(unknownBlock));
    Bytes scanFirst = JpegFile(8, 8);
    scanFirst[21] = 0xDA;  // the frame header's place taken by a scan
    EXPECT_FALSE(Sound(scanFirst));
    EXPECT_FALSE(Sound(JpegFile(8, 8, 0)));
    EXPECT_FALSE(Sound(JpegFile(8, 8, 5)));
}

TEST(PictureHeaders, UnknownFilesAreNeverSound) {
    const Bytes text{'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd', '\n'};
    EXPECT_FALSE(PictureHeadersSound(PictureFormat::Unknown, text, kPlentyOfMemory));
    EXPECT_FALSE(PictureHeadersSound(PictureFormat::Unknown, PngFile(4, 4), kPlentyOfMemory));
}

TEST(PictureHeaders, DibRowsArePaddedToWholeWords) {
    EXPECT_EQ(DibRowBytes(1, 1), 4u);
    EXPECT_EQ(DibRowBytes(32, 1), 4u);
    EXPECT_EQ(DibRowBytes(33, 1), 8u);
    EXPECT_EQ(DibRowBytes(3, 24), 12u);
    EXPECT_EQ(DibRowBytes(5, 24), 16u);
    EXPECT_EQ(DibRowBytes(7, 4), 4u);
    EXPECT_EQ(DibRowBytes(32768, 32), 131072u);
}
