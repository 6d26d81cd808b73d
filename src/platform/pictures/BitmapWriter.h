#pragma once
#include <cstdint>
#include <functional>
#include <vector>

#include <windows.h>

#include "platform/pictures/Picture.h"

// A device-independent copy of a picture, as the clipboard's CF_DIB and the body of a
// bitmap file hold it: BITMAPINFOHEADER, colour table, bottom-up rows. A bitmap with a
// palette (or a DIB section with a colour table) whose pixels all come from it is
// written with 8 bits per pixel and that palette; every other picture with 24. Icons
// and pictures with transparent parts are drawn onto a white background first.
std::vector<BYTE> PictureToPackedDib(const Picture& picture);

// A 24-bit packed DIB, as PictureToPackedDib makes one for a picture without a palette, from
// 32-bit pixels (blue, green, red, unused): bottomUpRow(y) gives row y counted from the
// bottom. Touches no window or GDI object, so it may run on any thread.
std::vector<BYTE> PackedDib24(int width, int height, const std::function<const std::uint32_t*(int)>& bottomUpRow);

// The same as a complete Windows bitmap file (BITMAPFILEHEADER first).
std::vector<BYTE> PictureToBitmapFile(const Picture& picture);
// A packed DIB of PictureToPackedDib's making as a bitmap file.
std::vector<BYTE> PackedDibToBitmapFile(const std::vector<BYTE>& packedDib);
