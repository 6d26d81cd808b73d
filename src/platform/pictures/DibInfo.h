#pragma once
#include <windows.h>

// The header of a top-down 32-bit DIB: the layout documents keep their pixels in, so that
// captures, the view and the model hand rows to GDI without turning them over.
inline BITMAPINFO TopDown32BitmapInfo(int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}
