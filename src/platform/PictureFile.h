#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include <windows.h>

#include "platform/Picture.h"

// The largest picture the loader accepts: in either direction, and in all (16384 x 16384,
// or 32768 x 8192: 2 GiB at the 8 bytes a pixel of the deepest formats).
constexpr std::int64_t kMaxPictureSide = 32768;
constexpr std::int64_t kMaxPicturePixels = std::int64_t(1) << 28;

// Loads a picture file: Windows bitmap, GIF, JPEG and icon through the platform's
// picture loader, anything else the imaging component reads (PNG, TIFF...) as a
// bitmap. The file's header is checked before anything is decoded: a damaged,
// truncated or oversized file fails with error 481 ("Invalid picture") instead of
// being handed to a decoder. A missing file is error 53.
Picture LoadPicture(const std::wstring& path);

// Whether a picture of width x height pixels may be decoded: both sides within
// kMaxPictureSide, at most kMaxPicturePixels, and its pixels (at four bytes each, twice
// over) within the memory free now.
bool PictureSizeAcceptable(std::int64_t width, std::int64_t height);

// A device-independent copy of a picture, as the clipboard's CF_DIB and the body of a
// bitmap file hold it: BITMAPINFOHEADER, colour table, bottom-up rows. A bitmap with a
// palette (or a DIB section with a colour table) whose pixels all come from it is
// written with 8 bits per pixel and that palette; every other picture with 24. Icons
// and pictures with transparent parts are drawn onto a white background first.
std::vector<BYTE> PictureToPackedDib(const Picture& picture);

// The same as a complete Windows bitmap file (BITMAPFILEHEADER first).
std::vector<BYTE> PictureToBitmapFile(const Picture& picture);

// Writes the picture as a Windows bitmap file, replacing any file at path. The data
// goes to a temporary file in the same folder first, which replaces the target only
// once it is complete: a failed save leaves the old file (or none) behind.
void SavePicture(const Picture& picture, const std::wstring& path);

// Writes bytes to path through a temporary file in the same folder (see SavePicture).
void ReplaceFileContents(const std::wstring& path, const std::vector<BYTE>& bytes);

// Wraps a bitmap and palette (either may be owned by nobody else) into a picture that owns them.
Picture PictureOwningBitmap(HBITMAP bitmap, HPALETTE palette);
