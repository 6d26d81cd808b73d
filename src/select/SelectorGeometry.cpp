#include "select/SelectorGeometry.h"

#include "platform/rules/Conversions.h"

BandAnchor AnchorFromPress(float x, float y) { return BandAnchor{ToInt32(x), ToInt32(y)}; }

TwipsRect BandFromPointer(BandAnchor anchor, float x, float y) {
    TwipsRect band;
    const auto startX = static_cast<float>(anchor.X);
    const auto startY = static_cast<float>(anchor.Y);
    if (x > startX) {
        band.Left = startX;
        band.Width = x - startX;
    } else {
        band.Left = x;
        band.Width = startX - x;
    }
    if (y > startY) {
        band.Top = startY;
        band.Height = y - startY;
    } else {
        band.Top = y;
        band.Height = startY - y;
    }
    return band;
}

TwipsRect BandAtPress(float x, float y) { return TwipsRect{x, y, 0.0f, 0.0f}; }

TwipsRect ReadoutCentredOn(float x, float y) {
    return TwipsRect{x - kReadoutWidth / 2, y - kReadoutHeight / 2, kReadoutWidth, kReadoutHeight};
}

TwipsRect ReadoutCentredOnBand(const TwipsRect& band) {
    return TwipsRect{band.Left - kReadoutWidth / 2 + band.Width / 2, band.Top - kReadoutHeight / 2 + band.Height / 2,
                     kReadoutWidth, kReadoutHeight};
}

std::wstring ReadoutCaption(const TwipsRect& band, float twipsPerPixelX, float twipsPerPixelY) {
    // The very numbers the copy uses, so that the readout names the picture's size.
    const PixelRect pixels = BandPixels(band, twipsPerPixelX, twipsPerPixelY);
    return IntegerToText(ToInt16(pixels.Width)) + L" x " + IntegerToText(ToInt16(pixels.Height));
}

PixelRect BandPixels(const TwipsRect& band, float twipsPerPixelX, float twipsPerPixelY) {
    const auto pixels = [](float twips, float factor) { return ToInt32(static_cast<double>(twips) / factor); };
    return PixelRect{pixels(band.Left, twipsPerPixelX), pixels(band.Top, twipsPerPixelY),
                     pixels(band.Width, twipsPerPixelX), pixels(band.Height, twipsPerPixelY)};
}
