#pragma once
#include <cstdint>

// The document window's layout rule, in twips, apart from any window.
struct DocumentLayoutInput {
    float clientWidth;       // W: the window's ScaleWidth
    float clientHeight;      // H: the window's ScaleHeight
    float pictureWidth;      // Pw: picNabbet's Width
    float pictureHeight;     // Ph: picNabbet's Height
    float horizontalBarHeight;  // Th: hsbPic's Height
    float verticalBarWidth;     // Tv: vsbPic's Width
};

struct DocumentLayout {
    float viewportWidth;   // picScroll
    float viewportHeight;
    float hsbLeft, hsbTop, hsbWidth;
    float vsbLeft, vsbTop, vsbHeight;
    // Scroll ranges in twips. They are 32-bit so that a picture of any size can be scrolled
    // to its far edge; a range that does not fit is the overflow error.
    std::int32_t hsbMax;
    std::int32_t vsbMax;
    bool hsbVisible;
    bool vsbVisible;
};

// Bars appear only where the picture does not fit (strict comparisons), with one second
// look when exactly one is needed; the viewport gives up a bar's thickness for each bar.
DocumentLayout ComputeDocumentLayout(const DocumentLayoutInput& input);
