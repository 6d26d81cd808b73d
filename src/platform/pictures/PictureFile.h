#pragma once
#include <string>

// Picture files for the commands: loading (PictureDecoder.h), writing Windows bitmaps
// (BitmapWriter.h) and replacing files safely (SafeFileReplace.h), with the limits and
// header checks of PictureHeaders.h.
#include "platform/pictures/BitmapWriter.h"
#include "platform/pictures/Picture.h"
#include "platform/pictures/PictureDecoder.h"
#include "platform/pictures/SafeFileReplace.h"
#include "platform/rules/PictureHeaders.h"

// Writes the picture as a Windows bitmap file, replacing any file at path. The data
// goes to a temporary file in the same folder first, which replaces the target only
// once it is complete: a failed save leaves the old file (or none) behind.
void SavePicture(const Picture& picture, const std::wstring& path);
