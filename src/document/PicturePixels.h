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

// Reads a picture's pixels once. A top-down 32-bit DIB section (a capture) keeps them,
// and the pixels are its bits; another plain bitmap becomes such a section; either way
// the document holds its picture once. A palette picture, an icon or a metafile stays as
// it came, and its pixels (drawn onto white) are a copy.
PictureWithPixels ReadPicturePixels(Picture picture);

// The pixels as a picture of their own (a 32-bit DIB section): what leaves the program
// once the document was edited.
Picture PictureOfPixels(const Pixels& pixels);
