#pragma once
#include <windows.h>

#include "document/Pixels.h"
#include "platform/pictures/Picture.h"

// A picture as it comes into a document: the picture to keep for what leaves the program
// while the document is untouched, and the pixels the model edits.
struct PictureWithPixels {
    Picture picture;
    Pixels pixels;
};

// Reads a picture's pixels once. A plain bitmap becomes a 32-bit DIB section that the
// pixels live in, so the document holds its picture once; a palette picture, an icon or
// a metafile stays as it came, and its pixels (drawn onto white) are a copy.
PictureWithPixels ReadPicturePixels(Picture picture);

// The pixels as a picture of their own (a 32-bit DIB section): what leaves the program
// once the document was edited.
Picture PictureOfPixels(const Pixels& pixels);
