#pragma once
// The test pattern: every pixel of a 256 x 256 area a different colour that can be
// computed from its position, never black or white. The single definition for the unit
// tests, the end-to-end pattern window (pattern_window.exe), and through it the
// end-to-end checkers, which ask that program for expected colours (see lib_pixels.sh).
#include <cstdint>

// Pixel (x, y) as 0x00RRGGBB: red x, green y, blue 0x40 plus 7x + 13y modulo 64.
constexpr std::uint32_t PatternColour(int x, int y) {
    return (static_cast<std::uint32_t>(x & 0xFF) << 16) | (static_cast<std::uint32_t>(y & 0xFF) << 8) |
           static_cast<std::uint32_t>(0x40 | ((x * 7 + y * 13) & 0x3F));
}

#include "Image.h"

// A width x height image of the pattern from its origin.
inline Image PatternImage(int width, int height) {
    Image image{width, height, {}};
    image.pixels.resize(static_cast<std::size_t>(width) * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) image.pixels[static_cast<std::size_t>(y) * width + x] = PatternColour(x, y);
    return image;
}
