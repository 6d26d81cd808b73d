#pragma once
#include <functional>
#include <string>
#include <vector>

#include <windows.h>

#include "platform/pictures/Picture.h"
#include "platform/rules/SaveFormat.h"

// The picture as a complete file of the format: a Windows bitmap as the bitmap writer
// makes it; PNG (lossless, 8 bits a pixel with the palette where the picture has one, 24
// otherwise) and JPEG (quality 90) through the imaging component. Both start from the
// same pixels the bitmap writer takes, so the three files show the same picture.
std::vector<BYTE> EncodePicture(const Picture& picture, SaveFormat format);

// The same from a packed DIB as PictureToPackedDib makes it: touches no window, device
// context or picture object, so it may run on any thread (the imaging component needs COM
// initialised on it).
std::vector<BYTE> EncodePackedDib(const std::vector<BYTE>& packedDib, SaveFormat format);

// PNG or JPEG of a picture handed over in bands of rows from the top: rows(top, count,
// bits, stride) fills `count` rows of 24 bits a pixel (blue, green, red), `stride` bytes
// apart. The same file as EncodePackedDib makes of those pixels, without the whole
// picture held at once where the encoder takes that layout. Bands after the first are
// made on another thread (one at a time, in order) while the encoder compresses the last.
using RowBands = std::function<void(UINT top, UINT count, BYTE* bits, UINT stride)>;
std::vector<BYTE> EncodeRows(UINT width, UINT height, SaveFormat format, const RowBands& rows);

// Writes the picture in the format, replacing any file at path only once the new file is
// complete (the bitmap writer's safe replacement): a failed save leaves the old file or none.
void SavePictureAs(const Picture& picture, const std::wstring& path, SaveFormat format);
