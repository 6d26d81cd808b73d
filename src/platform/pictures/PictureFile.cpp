#include "platform/pictures/PictureFile.h"

void SavePicture(const Picture& picture, const std::wstring& path) {
    ReplaceFileContents(path, PictureToBitmapFile(picture));
}
