#pragma once
#include <cstdint>

#include <windows.h>

#include "platform/Picture.h"

// Copies a rectangle of a window's device context (whole window when client is false)
// into a new bitmap of the display's format; on a 256-colour palette display the
// picture also carries a copy of the system palette. Failures are reported and give
// an empty picture.
Picture CaptureWindowArea(HWND hWnd, bool client, std::int32_t left, std::int32_t top, std::int32_t width,
                          std::int32_t height);
// Wraps a bitmap and a palette (or nullptr) into a picture that owns both.
Picture PictureFromBitmap(HBITMAP hBmp, HPALETTE hPal);

Picture CaptureForegroundWindow();
Picture CaptureWindowByHandle(HWND hWnd);
Picture CaptureWholeScreen();

// Clips a window rectangle to a screen of W x H pixels (W and H unrounded): an edge
// beyond the screen or negative is replaced, each edge on its own.
RECT ClipToScreen(RECT rect, double screenWidth, double screenHeight);
