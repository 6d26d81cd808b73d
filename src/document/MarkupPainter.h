#pragma once
#include <cstdint>
#include <functional>
#include <map>
#include <span>
#include <string>
#include <vector>

#include <windows.h>

#include "document/Markup.h"
#include "document/Pixels.h"
#include "platform/pictures/Picture.h"

// Draws what is marked up into pixels, anti-aliased, in picture pixels. The view draws the
// part of the picture it repaints this way before scaling it to the screen, and Save, Copy
// and Print draw the whole of it the same way: what is seen at any zoom is what leaves.
//
// GDI+ rather than Direct2D: it renders in software into memory we own (the picture's own
// 32-bit rows), so the screen and the saved file come from the same code and the same
// pixels, with no device or surface to copy back from; and Wine implements it fully, where
// its Direct2D lacks parts of the geometry and text support.
namespace MarkupPainter {

inline constexpr int kSmoothSamples = 3;

// What a smoothed object (all but pixelated areas and rectangles whose edges fall on pixel
// edges) lays over one area of the picture: each pixel's coverage at the object's opacity
// (0: left as it is), in `colour` (0xRRGGBB).
struct Layer {
    PictureRect area;
    std::uint32_t colour = 0;
    std::vector<std::uint8_t> alpha;  // area.Width() x area.Height()
};
// The layers of the object's parts that fall `within` the picture, edges smoothed with
// samples x samples points a pixel (1: not at all); none for an object drawn otherwise.
// They depend on `within` only where it cuts a part.
std::vector<Layer> LayersOf(const MarkupObject& object, const PictureRect& within, int samples);
// Lays the layer over what of it the buffer holds (see Draw).
void LayOver(const Layer& layer, std::uint32_t* buffer, std::int32_t stride, std::int32_t width, std::int32_t height,
             PicturePoint origin) noexcept;

// Layers made earlier for an object (LayersOf it within the whole picture), or nullptr:
// drawn again then.
using KeptLayers = std::function<const std::vector<Layer>*(const MarkupObject& object)>;

// Draws the objects over a buffer of 32-bit rows (blue, green, red, unused) holding the
// picture from `origin` on, `width` x `height` pixels, rows `stride` pixels apart. Edges are
// smoothed with samples x samples points a pixel (1: not at all).
void Draw(std::span<const MarkupObject* const> objects, std::uint32_t* buffer, std::int32_t stride,
          std::int32_t width, std::int32_t height, PicturePoint origin, int samples = kSmoothSamples,
          const KeptLayers& kept = {});

// The picture's pixels of `area` with every object drawn into them, as a picture of its own
// (a 32-bit DIB section): what Save, Copy and Print take from an edited document.
Picture Flattened(const Pixels& picture, const MarkupObjects& objects, const PictureRect& area);
// Flattened's pixels of the whole picture made a band of rows at a time, for a file written
// without a flattened copy of the whole picture: the objects' layers are drawn once, over
// the whole picture, and each band is the picture's rows with the objects laid over them.
// Bands are asked for one at a time, from any thread.
class FlatRows {
public:
    // The bands the files are made of, rows each.
    static constexpr std::int32_t kBandRows = 64;
    // The picture and objects stay alive and unchanged while the rows are made.
    FlatRows(const Pixels& picture, const MarkupObjects& objects);
    // `count` rows from `top` into `rows`, the picture's width each (32-bit, as Draw's buffer).
    void Band(std::int32_t top, std::int32_t count, std::uint32_t* rows) const;
    // The same as 24 bits a pixel (blue, green, red), rows `stride` bytes apart.
    void PackedBand(std::int32_t top, std::int32_t count, BYTE* rows, std::size_t stride) const;

private:
    const Pixels& picture_;
    std::vector<const MarkupObject*> objects_;  // those on the picture, in order
    mutable std::map<const MarkupObject*, std::vector<Layer>> layers_;  // drawn as the bands reach them
    mutable std::vector<std::uint32_t> band_;
};
// The whole of Flattened's picture as PictureToPackedDib packs it (24-bit rows from the bottom).
std::vector<BYTE> FlattenedPackedDib(const Pixels& picture, const MarkupObjects& objects);

// The size a text takes in picture pixels in the style's font.
PicturePoint MeasureText(const MarkupStyle& style, const std::wstring& text);

// The tool strip's pictures: a tool, a colour, the colour dialog's and filled shapes'.
struct StripIcon {
    enum class Kind { Tool, Swatch, MoreColours, Filled };
    Kind kind;
    MarkupTool tool;
    std::uint32_t colour;  // a swatch's, 0xRRGGBB
};
// Draws the icons side by side, `size` pixels square each, on transparency, into
// premultiplied 32-bit rows `size` x icons.size() pixels wide (an image list's alpha strip).
void DrawStripIcons(std::span<const StripIcon> icons, int size, std::uint32_t* bits);

}  // namespace MarkupPainter
