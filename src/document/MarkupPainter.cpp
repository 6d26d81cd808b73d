#include "document/MarkupPainter.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include <objidl.h>
// GDI+ expects min and max beside it; the program builds without the Windows macros.
namespace Gdiplus {
using std::max;
using std::min;
}  // namespace Gdiplus
#include <gdiplus.h>

#include "document/PicturePixels.h"
#include "platform/pictures/BitmapWriter.h"
#include "platform/rules/RuntimeError.h"

namespace {

namespace gp = Gdiplus;

// GDI+ is started once, on first use, for the rest of the run.
void EnsureStarted() {
    static const bool started = [] {
        gp::GdiplusStartupInput input;
        ULONG_PTR token = 0;
        if (gp::GdiplusStartup(&token, &input, nullptr) != gp::Ok)
            RaiseError(ErrorNumber::SystemCallFailed, L"Cannot start the drawing library (GDI+)");
        return true;
    }();
    (void)started;
}

// Translucent, so the text under a highlighter stays readable.
constexpr BYTE kHighlighterAlpha = 110;

gp::Color ColourOf(std::uint32_t rgb, BYTE alpha = 255) {
    return gp::Color(alpha, static_cast<BYTE>(rgb >> 16), static_cast<BYTE>(rgb >> 8), static_cast<BYTE>(rgb));
}

gp::PointF Centre(PicturePoint p) { return gp::PointF(static_cast<gp::REAL>(p.x + 0.5), static_cast<gp::REAL>(p.y + 0.5)); }

int FontStyleOf(const MarkupStyle& style) {
    return (style.fontBold ? gp::FontStyleBold : 0) | (style.fontItalic ? gp::FontStyleItalic : 0);
}

std::unique_ptr<gp::Font> FontFor(const MarkupStyle& style) {
    auto font = std::make_unique<gp::Font>(style.fontName.c_str(), static_cast<gp::REAL>(std::max(1, style.fontSize)),
                                           FontStyleOf(style), gp::UnitPixel);
    if (font->GetLastStatus() != gp::Ok)
        font = std::make_unique<gp::Font>(gp::FontFamily::GenericSansSerif(), static_cast<gp::REAL>(std::max(1, style.fontSize)),
                                          FontStyleOf(style), gp::UnitPixel);
    return font;
}

void Prepare(gp::Graphics& graphics) {
    graphics.SetSmoothingMode(gp::SmoothingModeAntiAlias);
    // Pixel p covers p to p + 1: a line through pixel centres with an odd width fills
    // whole pixels, as drawn.
    graphics.SetPixelOffsetMode(gp::PixelOffsetModeHalf);
    graphics.SetTextRenderingHint(gp::TextRenderingHintAntiAliasGridFit);
}

void Stroke(gp::Pen& pen) {
    pen.SetLineJoin(gp::LineJoinRound);
    pen.SetStartCap(gp::LineCapRound);
    pen.SetEndCap(gp::LineCapRound);
}

void DrawText(gp::Graphics& graphics, const MarkupObject& object) {
    if (object.points.empty() || object.text.empty()) return;
    const auto font = FontFor(object.style);
    const gp::SolidBrush brush(ColourOf(object.style.colour));
    const gp::PointF at(static_cast<gp::REAL>(object.points[0].x), static_cast<gp::REAL>(object.points[0].y));
    graphics.DrawString(object.text.c_str(), static_cast<INT>(object.text.size()), font.get(), at,
                        gp::StringFormat::GenericTypographic(), &brush);
}

void DrawStepDisc(gp::Graphics& graphics, const MarkupObject& object) {
    if (object.points.empty()) return;
    const gp::REAL diameter = static_cast<gp::REAL>(StepDiameter(object.style.width));
    const gp::PointF centre = Centre(object.points[0]);
    const gp::SolidBrush fill(ColourOf(object.style.colour));
    graphics.FillEllipse(&fill, centre.X - diameter / 2, centre.Y - diameter / 2, diameter, diameter);
}

// White on the colour, or black on a light one, so the number always reads.
std::uint32_t StepInk(std::uint32_t c) {
    const int light = static_cast<int>(((c >> 16) & 0xFF) * 299 + ((c >> 8) & 0xFF) * 587 + (c & 0xFF) * 114) / 1000;
    return light > 160 ? 0x000000 : 0xFFFFFF;
}

// mask: in white, whatever the ink (its coverage, for Cover).
void DrawStepNumber(gp::Graphics& graphics, const MarkupObject& object, bool mask) {
    if (object.points.empty()) return;
    const gp::REAL diameter = static_cast<gp::REAL>(StepDiameter(object.style.width));
    const gp::PointF centre = Centre(object.points[0]);
    const gp::SolidBrush ink(ColourOf(mask ? 0xFFFFFF : StepInk(object.style.colour)));
    const gp::Font font(gp::FontFamily::GenericSansSerif(), diameter * 0.55f, gp::FontStyleBold, gp::UnitPixel);
    gp::StringFormat centred;
    centred.SetAlignment(gp::StringAlignmentCenter);
    centred.SetLineAlignment(gp::StringAlignmentCenter);
    const std::wstring number = std::to_wstring(object.number);
    const gp::RectF box(centre.X - diameter / 2, centre.Y - diameter / 2, diameter, diameter);
    graphics.DrawString(number.c_str(), static_cast<INT>(number.size()), &font, box, &centred, &ink);
}

void DrawPath(gp::Graphics& graphics, const MarkupObject& object, gp::REAL width, BYTE alpha) {
    std::vector<gp::PointF> points;
    points.reserve(object.points.size() + 1);
    for (const PicturePoint& p : object.points) points.push_back(Centre(p));
    if (points.empty()) return;
    if (points.size() == 1) points.push_back(points[0]);
    gp::Pen pen(ColourOf(object.style.colour, alpha), width);
    Stroke(pen);
    // One path, drawn once: where a translucent stroke crosses itself it does not darken.
    graphics.DrawLines(&pen, points.data(), static_cast<INT>(points.size()));
}

// mask: the shape alone, opaque (its coverage, for Smoothed); a step marker's disc without its number.
void DrawObject(gp::Graphics& graphics, const MarkupObject& object, bool mask) {
    const MarkupStyle& style = object.style;
    const gp::REAL width = static_cast<gp::REAL>(style.width);
    const auto& points = object.points;
    switch (object.kind) {
    case MarkupTool::Rectangle:
    case MarkupTool::Ellipse: {
        if (points.size() < 2) return;
        const PictureRect span = SpanOf(points[0], points[1]);
        const gp::RectF line(static_cast<gp::REAL>(span.left + 0.5), static_cast<gp::REAL>(span.top + 0.5),
                             static_cast<gp::REAL>(span.Width() - 1), static_cast<gp::REAL>(span.Height() - 1));
        if (style.filled) {
            const gp::SolidBrush brush(ColourOf(style.colour));
            gp::RectF whole = line;
            whole.Inflate(width / 2, width / 2);
            if (object.kind == MarkupTool::Rectangle)
                graphics.FillRectangle(&brush, whole);
            else
                graphics.FillEllipse(&brush, whole);
            return;
        }
        gp::Pen pen(ColourOf(style.colour), width);
        pen.SetLineJoin(gp::LineJoinMiter);
        if (object.kind == MarkupTool::Rectangle)
            graphics.DrawRectangle(&pen, line);
        else
            graphics.DrawEllipse(&pen, line);
        return;
    }
    case MarkupTool::Line: {
        if (points.size() < 2) return;
        gp::Pen pen(ColourOf(style.colour), width);
        Stroke(pen);
        graphics.DrawLine(&pen, Centre(points[0]), Centre(points[1]));
        return;
    }
    case MarkupTool::Arrow: {
        if (points.size() < 2) return;
        const ArrowHead head = ArrowHeadOf(points[0], points[1], style.width);
        const gp::PointF barbs[] = {
            gp::PointF(static_cast<gp::REAL>(head.tipX), static_cast<gp::REAL>(head.tipY)),
            gp::PointF(static_cast<gp::REAL>(head.leftX), static_cast<gp::REAL>(head.leftY)),
            gp::PointF(static_cast<gp::REAL>(head.rightX), static_cast<gp::REAL>(head.rightY))};
        // The shaft stops halfway into the head (where the head is still wider than the
        // shaft), so the point stays sharp and no gap shows at the joint.
        const gp::PointF base(((barbs[1].X + barbs[2].X) / 2 + barbs[0].X) / 2, ((barbs[1].Y + barbs[2].Y) / 2 + barbs[0].Y) / 2);
        const gp::PointF start = Centre(points[0]);
        gp::Pen pen(ColourOf(style.colour), width);
        pen.SetStartCap(gp::LineCapRound);
        pen.SetEndCap(gp::LineCapFlat);
        const double shaft = std::hypot(base.X - start.X, base.Y - start.Y);
        const double whole = std::hypot(barbs[0].X - start.X, barbs[0].Y - start.Y);
        if (shaft < whole) graphics.DrawLine(&pen, start, base);
        const gp::SolidBrush brush(ColourOf(style.colour));
        graphics.FillPolygon(&brush, barbs, 3);
        return;
    }
    case MarkupTool::Pen:
        DrawPath(graphics, object, width, 255);
        return;
    case MarkupTool::Highlighter:
        DrawPath(graphics, object, static_cast<gp::REAL>(HighlighterWidth(style.width)), mask ? 255 : kHighlighterAlpha);
        return;
    case MarkupTool::Text:
        DrawText(graphics, object);
        return;
    case MarkupTool::Step:
        DrawStepDisc(graphics, object);
        if (!mask) DrawStepNumber(graphics, object, false);
        return;
    default:
        return;
    }
}

// Shapes that need no smoothing: an axis-aligned rectangle whose edges fall on pixel edges
// (an odd width through pixel centres) is exact as drawn.
bool NeedsSmoothing(const MarkupObject& object) {
    if (object.kind == MarkupTool::Rectangle) return object.style.width % 2 == 0;
    return true;
}

// What `draw` paints white on black, drawn `scale` times larger, as the coverage of each
// pixel of `bounds` (but those in `done`) by `colour` at `opacity`. `draw` draws with the
// corner of `bounds` at 0, 0: what is drawn is moved there first, since Wine's GDI+
// overflows its stack on shapes far from the origin, whatever the transform.
MarkupPainter::Layer Coverage(const PictureRect& bounds, const std::vector<PictureRect>& done, int scale,
                              std::uint32_t colour, std::uint32_t opacity, const std::function<void(gp::Graphics&)>& draw) {
    const std::int32_t layerWidth = bounds.Width() * scale;
    const std::int32_t layerHeight = bounds.Height() * scale;
    std::vector<std::uint32_t> layer(static_cast<std::size_t>(layerWidth) * static_cast<std::size_t>(layerHeight), 0);
    {
        gp::Bitmap bitmap(layerWidth, layerHeight, layerWidth * 4, PixelFormat32bppRGB, reinterpret_cast<BYTE*>(layer.data()));
        gp::Graphics graphics(&bitmap);
        graphics.SetSmoothingMode(gp::SmoothingModeNone);
        graphics.SetPixelOffsetMode(gp::PixelOffsetModeHalf);
        graphics.SetTextRenderingHint(gp::TextRenderingHintAntiAliasGridFit);
        graphics.ScaleTransform(static_cast<gp::REAL>(scale), static_cast<gp::REAL>(scale));
        draw(graphics);
        graphics.Flush(gp::FlushIntentionSync);
    }
    MarkupPainter::Layer result{bounds, colour,
                                std::vector<std::uint8_t>(static_cast<std::size_t>(bounds.Width()) * static_cast<std::size_t>(bounds.Height()))};
    const std::uint32_t full = 255u * static_cast<std::uint32_t>(scale * scale);
    for (std::int32_t y = 0; y < bounds.Height(); ++y) {
        const std::uint32_t* samples = layer.data() + static_cast<std::size_t>(y) * scale * static_cast<std::size_t>(layerWidth);
        std::uint8_t* alpha = result.alpha.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(bounds.Width());
        for (std::int32_t x = 0; x < bounds.Width(); ++x) {
            std::uint32_t covered = 0;
            for (int j = 0; j < scale; ++j)
                for (int i = 0; i < scale; ++i)
                    covered += (samples[static_cast<std::size_t>(j) * layerWidth + x * scale + i] >> 16) & 0xFF;
            if (covered == 0) continue;
            const PicturePoint at{bounds.left + x, bounds.top + y};
            if (std::any_of(done.begin(), done.end(), [&](const PictureRect& area) { return area.Contains(at); })) continue;
            alpha[x] = static_cast<std::uint8_t>((covered * opacity + full / 2) / full);
        }
    }
    return result;
}

}  // namespace

namespace MarkupPainter {

// Edges are smoothed by drawing the shape `scale` times larger, aliased, and averaging each
// scale x scale square into a pixel's coverage: the same result wherever GDI+ itself does
// not anti-alias (Wine's renders geometry aliased), and the shape's colour is laid over the
// picture once, so a translucent marker or an arrow's joints never darken where parts overlap.
std::vector<Layer> LayersOf(const MarkupObject& object, const PictureRect& within, int samples) {
    std::vector<Layer> layers;
    if (object.kind == MarkupTool::Pixelate || !NeedsSmoothing(object)) return layers;
    EnsureStarted();
    const int scale = std::clamp(samples, 1, kSmoothSamples);
    // Only where the shape is (a long diagonal's stretches, not its box), each pixel once.
    std::vector<PictureRect> done;
    for (const PictureRect& area : RepaintAreas(object)) {
        const PictureRect part = Intersection(area, within);
        if (part.IsEmpty()) continue;
        MarkupObject white = Moved(object, -part.left, -part.top);
        white.style.colour = 0xFFFFFF;
        layers.push_back(Coverage(part, done, scale, object.style.colour,
                                  object.kind == MarkupTool::Highlighter ? kHighlighterAlpha : 255,
                                  [&](gp::Graphics& graphics) { DrawObject(graphics, white, true); }));
        done.push_back(part);
    }
    if (object.kind == MarkupTool::Step) {
        // The number through a coverage of its own too: Wine's GDI+ overflows its stack
        // laying out centred text straight on a large picture.
        const PictureRect part = Intersection(ObjectBounds(object), within);
        if (!part.IsEmpty())
            layers.push_back(Coverage(part, {}, 1, StepInk(object.style.colour), 255, [&](gp::Graphics& graphics) {
                DrawStepNumber(graphics, Moved(object, -part.left, -part.top), true);
            }));
    }
    return layers;
}

void LayOver(const Layer& layer, std::uint32_t* buffer, std::int32_t stride, std::int32_t width, std::int32_t height,
             PicturePoint origin) noexcept {
    const PictureRect part = Intersection(layer.area, PictureRect{origin.x, origin.y, origin.x + width, origin.y + height});
    for (std::int32_t y = part.top; y < part.bottom; ++y) {
        std::uint32_t* row = buffer + static_cast<std::size_t>(y - origin.y) * static_cast<std::size_t>(stride);
        const std::uint8_t* alphas =
            layer.alpha.data() + static_cast<std::size_t>(y - layer.area.top) * static_cast<std::size_t>(layer.area.Width());
        for (std::int32_t x = part.left; x < part.right; ++x) {
            const std::uint32_t alpha = alphas[x - layer.area.left];
            if (alpha == 0) continue;
            const std::uint32_t pixel = row[x - origin.x];
            std::uint32_t blended = pixel & 0xFF000000u;
            for (int shift = 0; shift < 24; shift += 8) {
                const std::uint32_t under = (pixel >> shift) & 0xFF;
                const std::uint32_t over = (layer.colour >> shift) & 0xFF;
                blended |= ((under * (255 - alpha) + over * alpha + 127) / 255) << shift;
            }
            row[x - origin.x] = blended;
        }
    }
}

void Draw(std::span<const MarkupObject* const> objects, std::uint32_t* buffer, std::int32_t stride,
          std::int32_t width, std::int32_t height, PicturePoint origin, int samples, const KeptLayers& kept) {
    if (objects.empty() || width <= 0 || height <= 0) return;
    EnsureStarted();
    const PictureRect bufferArea{origin.x, origin.y, origin.x + width, origin.y + height};
    // Each object on a GDI+ surface of its own bounds only, over the same memory: drawing
    // costs the object's size whatever the picture's (and Wine's GDI+ fails on surfaces of
    // a whole large picture).
    const auto direct = [&](const MarkupObject& object, auto&& draw) {
        const PictureRect part = Intersection(ObjectBounds(object), bufferArea);
        if (part.IsEmpty()) return;
        std::uint32_t* corner = buffer + static_cast<std::size_t>(part.top - origin.y) * static_cast<std::size_t>(stride) +
                                (part.left - origin.x);
        gp::Bitmap bitmap(part.Width(), part.Height(), stride * 4, PixelFormat32bppRGB, reinterpret_cast<BYTE*>(corner));
        gp::Graphics graphics(&bitmap);
        if (graphics.GetLastStatus() != gp::Ok) RaiseError(ErrorNumber::SystemCallFailed, L"Cannot draw on the picture (GDI+)");
        Prepare(graphics);
        draw(graphics, Moved(object, -part.left, -part.top));
        graphics.Flush(gp::FlushIntentionSync);
    };
    for (const MarkupObject* object : objects) {
        if (object == nullptr) continue;
        if (object->kind == MarkupTool::Pixelate) {
            // Written straight into the pixels: the area holds only the blocks, whatever lies under it.
            FillPixelated(object->pixelated, buffer, stride, width, height, origin);
        } else if (NeedsSmoothing(*object)) {
            std::vector<Layer> drawn;
            const std::vector<Layer>* layers = kept ? kept(*object) : nullptr;
            if (layers == nullptr) {
                drawn = LayersOf(*object, bufferArea, samples);
                layers = &drawn;
            }
            for (const Layer& layer : *layers) LayOver(layer, buffer, stride, width, height, origin);
        } else {
            direct(*object, [&](gp::Graphics& graphics, const MarkupObject& moved) { DrawObject(graphics, moved, false); });
        }
    }
}

Picture Flattened(const Pixels& picture, const MarkupObjects& objects, const PictureRect& wanted) {
    const PictureRect area = Intersection(wanted, picture.Bounds());
    // The whole picture goes into its section in one copy, a part by way of its own pixels.
    Picture flat = area == picture.Bounds() ? PictureOfPixels(picture) : PictureOfPixels(picture.Copy(area));
    DIBSECTION section{};
    if (flat.Bitmap() == nullptr || GetObjectW(flat.Bitmap(), sizeof section, &section) != static_cast<int>(sizeof section) ||
        section.dsBm.bmBits == nullptr)
        RaiseError(ErrorNumber::SystemCallFailed, L"Cannot draw on the picture");
    std::vector<const MarkupObject*> touching;
    for (const auto& object : objects)
        if (!Intersection(ObjectBounds(*object), area).IsEmpty()) touching.push_back(object.get());
    GdiFlush();
    Draw(touching, static_cast<std::uint32_t*>(section.dsBm.bmBits), area.Width(), area.Width(), area.Height(),
         PicturePoint{area.left, area.top});
    return flat;
}

FlatRows::FlatRows(const Pixels& picture, const MarkupObjects& objects) : picture_(picture) {
    const PictureRect bounds = picture.Bounds();
    for (const auto& object : objects)
        if (!Intersection(ObjectBounds(*object), bounds).IsEmpty()) objects_.push_back(object.get());
}

void FlatRows::Band(std::int32_t top, std::int32_t count, std::uint32_t* rows) const {
    const std::int32_t width = picture_.Width();
    for (std::int32_t y = 0; y < count; ++y)
        std::copy_n(picture_.Row(top + y), width, rows + static_cast<std::size_t>(y) * static_cast<std::size_t>(width));
    const PictureRect band{0, top, width, top + count};
    std::vector<const MarkupObject*> touching;
    for (const MarkupObject* object : objects_)
        if (!Intersection(ObjectBounds(*object), band).IsEmpty()) touching.push_back(object);
    // An object's layers are drawn when a band first reaches it, over the whole picture, so
    // each band lays over its rows exactly what the whole picture gets.
    Draw(touching, rows, width, width, count, PicturePoint{0, top}, kSmoothSamples, [&](const MarkupObject& object) {
        auto kept = layers_.find(&object);
        if (kept == layers_.end()) kept = layers_.emplace(&object, LayersOf(object, picture_.Bounds(), kSmoothSamples)).first;
        return &kept->second;
    });
}

void FlatRows::PackedBand(std::int32_t top, std::int32_t count, BYTE* rows, std::size_t stride) const {
    const std::int32_t width = picture_.Width();
    band_.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(count));
    Band(top, count, band_.data());
    for (std::int32_t y = 0; y < count; ++y) {
        const std::uint32_t* from = band_.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width);
        BYTE* to = rows + static_cast<std::size_t>(y) * stride;
        for (std::int32_t x = 0; x < width; ++x, to += 3) {
            to[0] = static_cast<BYTE>(from[x]);
            to[1] = static_cast<BYTE>(from[x] >> 8);
            to[2] = static_cast<BYTE>(from[x] >> 16);
        }
    }
}

std::vector<BYTE> FlattenedPackedDib(const Pixels& picture, const MarkupObjects& objects) {
    const FlatRows flat(picture, objects);
    const std::int32_t width = picture.Width(), height = picture.Height();
    std::vector<std::uint32_t> band(static_cast<std::size_t>(width) * static_cast<std::size_t>(std::min(FlatRows::kBandRows, height)));
    std::int32_t bandTop = 0, bandCount = 0;
    // The packed rows run from the bottom: each band is made as its lowest row is asked for.
    return PackedDib24(width, height, [&](int y) {
        const std::int32_t row = height - 1 - y;
        if (row < bandTop || row >= bandTop + bandCount) {
            bandTop = std::max(0, row - FlatRows::kBandRows + 1);
            bandCount = row + 1 - bandTop;
            flat.Band(bandTop, bandCount, band.data());
        }
        return band.data() + static_cast<std::size_t>(row - bandTop) * static_cast<std::size_t>(width);
    });
}

PicturePoint MeasureText(const MarkupStyle& style, const std::wstring& text) {
    EnsureStarted();
    gp::Bitmap scratch(1, 1, PixelFormat32bppRGB);
    gp::Graphics graphics(&scratch);
    Prepare(graphics);
    const auto font = FontFor(style);
    // An empty line still has a line's height: the caret shows where typing goes.
    const std::wstring measured = text.empty() || text.back() == L'\n' ? text + L" " : text;
    gp::RectF box;
    graphics.MeasureString(measured.c_str(), static_cast<INT>(measured.size()), font.get(), gp::PointF(0, 0),
                           gp::StringFormat::GenericTypographic(), &box);
    return {static_cast<std::int32_t>(std::ceil(box.Width)) + 1, static_cast<std::int32_t>(std::ceil(box.Height)) + 1};
}

}  // namespace MarkupPainter

namespace {

void DrawToolIcon(gp::Graphics& graphics, MarkupTool tool, int size) {
    const gp::REAL s = static_cast<gp::REAL>(size);
    const gp::REAL line = std::max<gp::REAL>(1.0f, s / 12);
    gp::Pen ink(gp::Color(255, 32, 32, 32), line);
    Stroke(ink);
    const gp::SolidBrush inkBrush(gp::Color(255, 32, 32, 32));
    const gp::REAL m = s * 0.18f;  // margin
    switch (tool) {
    case MarkupTool::Select: {
        const gp::PointF arrow[] = {{m, m}, {m, s - m}, {m + s * 0.2f, s * 0.62f}, {m + s * 0.36f, s - m},
                                    {m + s * 0.48f, s - m - s * 0.06f}, {m + s * 0.33f, s * 0.56f}, {s - m - s * 0.05f, s * 0.56f}};
        graphics.FillPolygon(&inkBrush, arrow, 7);
        break;
    }
    case MarkupTool::Rectangle: graphics.DrawRectangle(&ink, m, m + s * 0.08f, s - 2 * m, s - 2 * m - s * 0.16f); break;
    case MarkupTool::Ellipse: graphics.DrawEllipse(&ink, m, m + s * 0.08f, s - 2 * m, s - 2 * m - s * 0.16f); break;
    case MarkupTool::Line: graphics.DrawLine(&ink, m, s - m, s - m, m); break;
    case MarkupTool::Arrow: {
        graphics.DrawLine(&ink, m, s - m, s - m - s * 0.12f, m + s * 0.12f);
        const gp::PointF head[] = {{s - m, m}, {s - m - s * 0.36f, m + s * 0.08f}, {s - m - s * 0.08f, m + s * 0.36f}};
        graphics.FillPolygon(&inkBrush, head, 3);
        break;
    }
    case MarkupTool::Pen: {
        const gp::PointF wave[] = {{m, s * 0.6f}, {s * 0.35f, s * 0.3f}, {s * 0.5f, s * 0.65f}, {s * 0.65f, s * 0.7f}, {s - m, s * 0.3f}};
        graphics.DrawCurve(&ink, wave, 5);
        break;
    }
    case MarkupTool::Highlighter: {
        const gp::SolidBrush marker(gp::Color(255, 255, 226, 40));
        graphics.FillRectangle(&marker, 0.0f, s * 0.3f, s, s * 0.45f);
        const gp::Font font(gp::FontFamily::GenericSansSerif(), s * 0.55f, gp::FontStyleBold, gp::UnitPixel);
        gp::StringFormat centred;
        centred.SetAlignment(gp::StringAlignmentCenter);
        centred.SetLineAlignment(gp::StringAlignmentCenter);
        graphics.DrawString(L"ab", 2, &font, gp::RectF(0, 0, s, s), &centred, &inkBrush);
        break;
    }
    case MarkupTool::Text: {
        const gp::Font font(gp::FontFamily::GenericSerif(), s * 0.8f, gp::FontStyleBold, gp::UnitPixel);
        gp::StringFormat centred;
        centred.SetAlignment(gp::StringAlignmentCenter);
        centred.SetLineAlignment(gp::StringAlignmentCenter);
        graphics.DrawString(L"A", 1, &font, gp::RectF(0, 0, s, s), &centred, &inkBrush);
        break;
    }
    case MarkupTool::Step: {
        const gp::SolidBrush red(gp::Color(255, 224, 32, 28));
        graphics.FillEllipse(&red, m * 0.6f, m * 0.6f, s - 1.2f * m, s - 1.2f * m);
        const gp::Font font(gp::FontFamily::GenericSansSerif(), s * 0.5f, gp::FontStyleBold, gp::UnitPixel);
        gp::StringFormat centred;
        centred.SetAlignment(gp::StringAlignmentCenter);
        centred.SetLineAlignment(gp::StringAlignmentCenter);
        const gp::SolidBrush white(gp::Color(255, 255, 255, 255));
        graphics.DrawString(L"1", 1, &font, gp::RectF(0, 0, s, s), &centred, &white);
        break;
    }
    case MarkupTool::Pixelate: {
        const gp::REAL cell = (s - 2 * m) / 3;
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 3; ++x) {
                const BYTE grey = static_cast<BYTE>((x + y) % 2 == 0 ? 70 : 170);
                const gp::SolidBrush brush(gp::Color(255, grey, grey, static_cast<BYTE>(grey + 40)));
                graphics.FillRectangle(&brush, m + x * cell, m + y * cell, cell, cell);
            }
        break;
    }
    }
}

}  // namespace

namespace MarkupPainter {

void DrawStripIcons(std::span<const StripIcon> icons, int size, std::uint32_t* bits) {
    EnsureStarted();
    const int width = size * static_cast<int>(icons.size());
    gp::Bitmap bitmap(width, size, width * 4, PixelFormat32bppPARGB, reinterpret_cast<BYTE*>(bits));
    gp::Graphics graphics(&bitmap);
    Prepare(graphics);
    graphics.Clear(gp::Color(0, 0, 0, 0));
    const gp::REAL s = static_cast<gp::REAL>(size);
    for (std::size_t i = 0; i < icons.size(); ++i) {
        graphics.ResetTransform();
        graphics.TranslateTransform(static_cast<gp::REAL>(i) * s, 0);
        const StripIcon& icon = icons[i];
        const gp::REAL m = s * 0.16f;
        const gp::Pen frame(gp::Color(255, 64, 64, 64), std::max<gp::REAL>(1.0f, s / 16));
        switch (icon.kind) {
        case StripIcon::Kind::Tool:
            DrawToolIcon(graphics, icon.tool, size);
            break;
        case StripIcon::Kind::Swatch: {
            const gp::SolidBrush brush(ColourOf(icon.colour));
            graphics.FillRectangle(&brush, m, m, s - 2 * m, s - 2 * m);
            graphics.DrawRectangle(&frame, m, m, s - 2 * m, s - 2 * m);
            break;
        }
        case StripIcon::Kind::MoreColours: {
            // Four colours in a square: any colour at all.
            const std::uint32_t quarters[] = {0xE0201C, 0x20A040, 0x1E64DC, 0xFFE000};
            const gp::REAL half = (s - 2 * m) / 2;
            for (int q = 0; q < 4; ++q) {
                const gp::SolidBrush brush(ColourOf(quarters[q]));
                graphics.FillRectangle(&brush, m + (q % 2) * half, m + (q / 2) * half, half, half);
            }
            graphics.DrawRectangle(&frame, m, m, s - 2 * m, s - 2 * m);
            break;
        }
        case StripIcon::Kind::Filled: {
            const gp::SolidBrush brush(gp::Color(255, 90, 90, 90));
            graphics.FillRectangle(&brush, m, m + s * 0.1f, s * 0.45f, s * 0.45f);
            graphics.FillEllipse(&brush, s * 0.4f, s * 0.38f, s * 0.45f, s * 0.45f);
            break;
        }
        }
    }
    graphics.Flush(gp::FlushIntentionSync);
}

}  // namespace MarkupPainter
