#pragma once
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

// Writes the picture in the format, replacing any file at path only once the new file is
// complete (the bitmap writer's safe replacement): a failed save leaves the old file or none.
void SavePictureAs(const Picture& picture, const std::wstring& path, SaveFormat format);
