#pragma once
#include <cstdint>
#include <string>

#include "platform/pictures/Picture.h"

// Loads a picture file: Windows bitmap, GIF, JPEG and icon through the platform's
// picture loader, anything else the imaging component reads (PNG, TIFF...) as a
// bitmap. The file's header is checked before anything is decoded (PictureHeaders.h):
// a damaged, truncated or oversized file fails with error 481 ("Invalid picture")
// instead of being handed to a decoder. A missing file is error 53.
Picture LoadPicture(const std::wstring& path);

// PictureSizeWithin against the memory free now.
bool PictureSizeAcceptable(std::int64_t width, std::int64_t height);
