#pragma once
// Pictures as plain pixels for the tests: one image type, and the ways to read one back
// from the screen, a device context, a program picture or an icon, and to make one into a
// bitmap.
#include <cstddef>
#include <cstdint>
#include <vector>

#include <windows.h>

#include "platform/pictures/Picture.h"

// 0x00RRGGBB, the order a 32-bit DIB keeps in memory; GDI's COLORREF is the other way round.
constexpr std::uint32_t Rgb(int red, int green, int blue) {
    return (static_cast<std::uint32_t>(red & 0xFF) << 16) | (static_cast<std::uint32_t>(green & 0xFF) << 8) |
           static_cast<std::uint32_t>(blue & 0xFF);
}
constexpr int RedOf(std::uint32_t pixel) { return static_cast<int>((pixel >> 16) & 0xFF); }
constexpr int GreenOf(std::uint32_t pixel) { return static_cast<int>((pixel >> 8) & 0xFF); }
constexpr int BlueOf(std::uint32_t pixel) { return static_cast<int>(pixel & 0xFF); }
constexpr std::uint32_t FromColorref(COLORREF colour) { return Rgb(GetRValue(colour), GetGValue(colour), GetBValue(colour)); }

struct Image {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;  // 0x00RRGGBB, top row first
    std::uint32_t At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
    bool operator==(const Image&) const = default;
};

// Header of a top-down 32-bit DIB of the given size: how every test hands pixels to GDI.
BITMAPINFO Bitmap32Info(int width, int height);

// The width x height pixels at (x, y) of a device context, by a block transfer.
Image ReadDc(HDC source, int x, int y, int width, int height);
// What the display shows, in screen coordinates.
Image ReadScreen(int x, int y, int width, int height);
Image ReadScreen(const RECT& area);
// What the display shows in a window's client area, at client coordinates.
Image ReadClient(HWND window, int x, int y, int width, int height);
// The pixels of a picture as the program holds them: a plain bitmap's own pixels,
// anything else drawn at its natural size onto white.
Image ReadPicture(const Picture& picture);
// An icon drawn on a plain background, as a window would paint it.
Image IconPixels(HICON icon, int size, COLORREF background);

struct ImageDifference {
    bool sameSize = false;
    std::size_t differing = 0;  // pixels with any channel different
    int maxChannel = 0;         // largest difference of one channel
    double meanChannel = 0;     // mean absolute difference over all channels
};
ImageDifference Compare(const Image& a, const Image& b);
// Number of pixels that differ; -1 when the sizes do not match.
long CountDifferences(const Image& a, const Image& b);
// The width x height pixels at (left, top) of an image, which holds them all.
Image Part(const Image& image, int left, int top, int width, int height);

// A device-dependent bitmap holding the image, as a screen capture makes one.
HBITMAP DeviceBitmap(const Image& image);
// A bitmap picture drawn from an image: a device-dependent bitmap, or a DIB section.
Picture BitmapPicture(const Image& image, bool dibSection);
