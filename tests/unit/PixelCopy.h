#pragma once
// Reading pixels back from a device context, for the tests that compare what is drawn.
#include <cstdint>
#include <vector>

#include <windows.h>

// The width x height pixels at (x, y) of source, row by row from the top, as 0x00RRGGBB.
inline std::vector<std::uint32_t> CopyDcPixels(HDC source, int x, int y, int width, int height) {
    std::vector<std::uint32_t> pixels;
    if (width <= 0 || height <= 0) return pixels;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    const HBITMAP section = CreateDIBSection(source, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    const HDC memory = CreateCompatibleDC(source);
    const HGDIOBJ previous = SelectObject(memory, section);
    BitBlt(memory, 0, 0, width, height, source, x, y, SRCCOPY);
    GdiFlush();
    if (bits != nullptr) {
        const auto* first = static_cast<const std::uint32_t*>(bits);
        pixels.assign(first, first + static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
        for (auto& p : pixels) p &= 0x00FFFFFF;
    }
    SelectObject(memory, previous);
    DeleteDC(memory);
    DeleteObject(section);
    return pixels;
}
