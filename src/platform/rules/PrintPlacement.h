#pragma once

// Where a picture goes on a printed page, in HIMETRIC (0.01 mm) from the printable area's
// top-left corner.
struct PrintPlacement {
    long x = 0;
    long y = 0;
    long width = 0;
    long height = 0;
    bool operator==(const PrintPlacement&) const = default;
};

// A picture that fits the printable area prints at its natural size at the top-left
// corner; a larger one is scaled down, proportions kept, until its wider side (relative to
// the page) touches the area's edge. An unknown (zero) area leaves the natural size.
PrintPlacement PlaceOnPage(long pictureWidth, long pictureHeight, long pageWidth, long pageHeight);
