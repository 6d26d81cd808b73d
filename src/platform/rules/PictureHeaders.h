#pragma once
#include <cstdint>
#include <span>

// The header checks every picture file passes before a decoder sees it, as plain functions
// of the file's bytes: a damaged, truncated or oversized file is turned away here instead
// of being read past its end or allocated at a size it only claims.

// The largest picture the loader accepts: in either direction, and in all (16384 x 16384,
// or 32768 x 8192: 2 GiB at the 8 bytes a pixel of the deepest formats).
constexpr std::int64_t kMaxPictureSide = 32768;
constexpr std::int64_t kMaxPicturePixels = std::int64_t(1) << 28;

enum class PictureFormat { Bitmap, Gif, Jpeg, Icon, Png, Tiff, Unknown };

// The format the file's first bytes announce; icons and cursors are both Icon.
PictureFormat SniffPictureFormat(std::span<const std::uint8_t> bytes);

// Whether a picture of width x height pixels may be decoded: both sides within
// kMaxPictureSide, at most kMaxPicturePixels, and its pixels (at four bytes each, twice
// over) within availableMemory bytes.
bool PictureSizeWithin(std::int64_t width, std::int64_t height, std::uint64_t availableMemory);

// Whether the file's headers are sound for its format: every header, table and block the
// decoder reads lies inside the file and every size passes PictureSizeWithin. Bitmap, icon
// and GIF files are checked throughout, JPEG up to its frame header, PNG and TIFF for their
// first image's size. An Unknown file is never sound.
bool PictureHeadersSound(PictureFormat format, std::span<const std::uint8_t> bytes,
                         std::uint64_t availableMemory);

// Bytes in one row of a device-independent bitmap: rows are padded to whole 32-bit words.
std::uint64_t DibRowBytes(std::uint64_t width, std::uint32_t bitsPerPixel);
