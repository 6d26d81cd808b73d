#pragma once
#include <windows.h>

#include "platform/pictures/Picture.h"

// Reading a picture that another program put on the clipboard, beside the clipboard service
// that writes ours. Formats, in the order they are tried: "PNG" (what browsers and many
// programs put there, lossless and with its own colours), CF_DIB, CF_DIBV5, CF_BITMAP.

// Whether the clipboard now holds a picture in one of those formats.
bool ClipboardHasPicture();

// The clipboard's picture as a bitmap in the display's format. Error 521 when the clipboard
// cannot be opened or holds no picture; 481 when the data is not a readable picture.
Picture ReadClipboardPicture(HWND owner);
