#include "document/Markup.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <iterator>

namespace {

PictureRect Inflated(const PictureRect& rect, std::int32_t by) noexcept {
    return {rect.left - by, rect.top - by, rect.right + by, rect.bottom + by};
}

PictureRect Union(const PictureRect& a, const PictureRect& b) noexcept {
    if (a.IsEmpty()) return b;
    if (b.IsEmpty()) return a;
    return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right), std::max(a.bottom, b.bottom)};
}

PictureRect PointsBox(const std::vector<PicturePoint>& points) noexcept {
    if (points.empty()) return {};
    PictureRect box{points[0].x, points[0].y, points[0].x + 1, points[0].y + 1};
    for (const PicturePoint& p : points) box = Union(box, PictureRect{p.x, p.y, p.x + 1, p.y + 1});
    return box;
}

// Half the stroke, rounded up, and a pixel for the anti-aliased edge.
std::int32_t StrokeMargin(double width) noexcept { return static_cast<std::int32_t>(std::ceil(width / 2)) + 1; }

double SegmentDistance(double x, double y, double ax, double ay, double bx, double by) noexcept {
    const double dx = bx - ax;
    const double dy = by - ay;
    const double length = dx * dx + dy * dy;
    double t = length == 0 ? 0 : ((x - ax) * dx + (y - ay) * dy) / length;
    t = std::clamp(t, 0.0, 1.0);
    return std::hypot(x - (ax + t * dx), y - (ay + t * dy));
}

double PathDistance(const std::vector<PicturePoint>& points, double x, double y) noexcept {
    double nearest = HUGE_VAL;
    for (std::size_t i = 0; i < points.size(); ++i) {
        const PicturePoint& a = points[i];
        const PicturePoint& b = points[i + 1 < points.size() ? i + 1 : i];
        nearest = std::min(nearest, SegmentDistance(x, y, a.x + 0.5, a.y + 0.5, b.x + 0.5, b.y + 0.5));
    }
    return nearest;
}

std::int32_t Sign(std::int32_t value) noexcept { return value < 0 ? -1 : 1; }

}  // namespace

PictureRect SpanOf(PicturePoint a, PicturePoint b) noexcept {
    return {std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x) + 1, std::max(a.y, b.y) + 1};
}

std::int32_t StepDiameter(std::int32_t width) noexcept { return 16 + 4 * std::clamp(width, kMinimumWidth, kMaximumWidth); }

std::int32_t HighlighterWidth(std::int32_t width) noexcept { return std::max(12, 4 * width); }

PictureRect ObjectBox(const MarkupObject& object) {
    const auto& points = object.points;
    switch (object.kind) {
    case MarkupTool::Pixelate:
        return object.pixelated.area;
    case MarkupTool::Text:
        if (points.empty()) return {};
        return {points[0].x, points[0].y, points[0].x + std::max(1, object.textExtent.x),
                points[0].y + std::max(1, object.textExtent.y)};
    case MarkupTool::Step: {
        if (points.empty()) return {};
        const std::int32_t radius = StepDiameter(object.style.width) / 2;
        return {points[0].x - radius, points[0].y - radius, points[0].x + radius + 1, points[0].y + radius + 1};
    }
    case MarkupTool::Rectangle:
    case MarkupTool::Ellipse:
    case MarkupTool::Line:
    case MarkupTool::Arrow:
        return points.size() >= 2 ? SpanOf(points[0], points[1]) : PointsBox(points);
    default:
        return PointsBox(points);
    }
}

PictureRect ObjectBounds(const MarkupObject& object) {
    const PictureRect box = ObjectBox(object);
    if (box.IsEmpty()) return box;
    switch (object.kind) {
    case MarkupTool::Pixelate: return box;  // whole pixels, no edge
    case MarkupTool::Text:
    case MarkupTool::Step: return Inflated(box, 2);
    case MarkupTool::Highlighter: return Inflated(box, StrokeMargin(HighlighterWidth(object.style.width)));
    case MarkupTool::Arrow: {
        if (object.points.size() < 2) break;
        const ArrowHead head = ArrowHeadOf(object.points[0], object.points[1], object.style.width);
        PictureRect all = box;
        for (const auto& [x, y] : {std::pair{head.leftX, head.leftY}, std::pair{head.rightX, head.rightY}}) {
            const auto px = static_cast<std::int32_t>(std::floor(x));
            const auto py = static_cast<std::int32_t>(std::floor(y));
            all = Union(all, PictureRect{px, py, px + 1, py + 1});
        }
        return Inflated(all, StrokeMargin(object.style.width));
    }
    default: break;
    }
    return Inflated(box, StrokeMargin(object.style.width));
}

std::vector<PictureRect> RepaintAreas(const MarkupObject& object) {
    const PictureRect bounds = ObjectBounds(object);
    const std::int32_t margin = StrokeMargin(object.style.width);
    if (object.kind == MarkupTool::Rectangle && !object.style.filled) {
        const std::int32_t band = 2 * margin + 1;
        if (bounds.Width() <= 2 * band || bounds.Height() <= 2 * band) return {bounds};
        return {{bounds.left, bounds.top, bounds.right, bounds.top + band},
                {bounds.left, bounds.bottom - band, bounds.right, bounds.bottom},
                {bounds.left, bounds.top + band, bounds.left + band, bounds.bottom - band},
                {bounds.right - band, bounds.top + band, bounds.right, bounds.bottom - band}};
    }
    if ((object.kind != MarkupTool::Line && object.kind != MarkupTool::Arrow) || object.points.size() < 2) return {bounds};
    const PicturePoint from = object.points[0], to = object.points[1];
    const double length = std::hypot(to.x - from.x, to.y - from.y);
    // Stretches of about 48 pixels, at most 12 (the view paints up to 64 rectangles apart).
    const int stretches = std::clamp(static_cast<int>(length / 48), 1, 12);
    std::vector<PictureRect> areas;
    PicturePoint start = from;
    for (int i = 1; i <= stretches; ++i) {
        const PicturePoint end{from.x + static_cast<std::int32_t>(std::lround(static_cast<double>(to.x - from.x) * i / stretches)),
                               from.y + static_cast<std::int32_t>(std::lround(static_cast<double>(to.y - from.y) * i / stretches))};
        areas.push_back(Inflated(SpanOf(start, end), margin));
        start = end;
    }
    if (object.kind == MarkupTool::Arrow) {
        const ArrowHead head = ArrowHeadOf(from, to, object.style.width);
        const auto px = [](double v) { return static_cast<std::int32_t>(std::floor(v)); };
        const PictureRect tip{std::min({px(head.tipX), px(head.leftX), px(head.rightX)}),
                              std::min({px(head.tipY), px(head.leftY), px(head.rightY)}),
                              std::max({px(head.tipX), px(head.leftX), px(head.rightX)}) + 1,
                              std::max({px(head.tipY), px(head.leftY), px(head.rightY)}) + 1};
        areas.push_back(Inflated(tip, margin));
    }
    return areas;
}

bool HitsObject(const MarkupObject& object, double x, double y, double tolerance) {
    const auto& points = object.points;
    if (points.empty()) return false;
    const double reach = object.style.width / 2.0 + tolerance;
    switch (object.kind) {
    case MarkupTool::Rectangle:
    case MarkupTool::Ellipse: {
        if (points.size() < 2) return false;
        const PictureRect span = SpanOf(points[0], points[1]);
        // The outline runs through the pixel centres of the span's edge pixels.
        const double left = span.left + 0.5, top = span.top + 0.5;
        const double right = span.right - 0.5, bottom = span.bottom - 0.5;
        if (object.kind == MarkupTool::Rectangle) {
            const bool inside = x >= left - reach && x <= right + reach && y >= top - reach && y <= bottom + reach;
            if (!inside) return false;
            if (object.style.filled) return true;
            const bool deepInside = x > left + reach && x < right - reach && y > top + reach && y < bottom - reach;
            return !deepInside;
        }
        const double cx = (left + right) / 2, cy = (top + bottom) / 2;
        const double rx = (right - left) / 2, ry = (bottom - top) / 2;
        if (rx < 0.5 || ry < 0.5) return SegmentDistance(x, y, left, top, right, bottom) <= reach;
        const double d = std::hypot((x - cx) / rx, (y - cy) / ry);
        // Near the curve, measured along the shorter radius (conservative on flat ellipses).
        const double along = (d - 1) * std::min(rx, ry);
        return object.style.filled ? along <= reach : std::abs(along) <= reach;
    }
    case MarkupTool::Line:
    case MarkupTool::Arrow:
        if (points.size() < 2) return false;
        return SegmentDistance(x, y, points[0].x + 0.5, points[0].y + 0.5, points[1].x + 0.5, points[1].y + 0.5) <= reach;
    case MarkupTool::Pen:
        return PathDistance(points, x, y) <= reach;
    case MarkupTool::Highlighter:
        return PathDistance(points, x, y) <= HighlighterWidth(object.style.width) / 2.0 + tolerance;
    case MarkupTool::Step:
        return std::hypot(x - (points[0].x + 0.5), y - (points[0].y + 0.5)) <=
               StepDiameter(object.style.width) / 2.0 + tolerance;
    case MarkupTool::Text:
    case MarkupTool::Pixelate: {
        const PictureRect box = ObjectBox(object);
        return x >= box.left - tolerance && x <= box.right + tolerance && y >= box.top - tolerance &&
               y <= box.bottom + tolerance;
    }
    default:
        return false;
    }
}

std::optional<std::size_t> ObjectAt(const MarkupObjects& objects, double x, double y, double tolerance) {
    for (std::size_t i = objects.size(); i-- > 0;)
        if (objects[i] && HitsObject(*objects[i], x, y, tolerance)) return i;
    return std::nullopt;
}

HandleKind HandlesOf(MarkupTool kind) noexcept {
    switch (kind) {
    case MarkupTool::Rectangle:
    case MarkupTool::Ellipse:
    case MarkupTool::Pixelate: return HandleKind::Box;
    case MarkupTool::Line:
    case MarkupTool::Arrow: return HandleKind::Ends;
    default: return HandleKind::None;
    }
}

std::optional<int> EndAt(ViewPoint start, ViewPoint end, ViewPoint point, std::int32_t tolerance) noexcept {
    const auto near = [&](ViewPoint p) {
        return std::abs(p.x - point.x) <= tolerance && std::abs(p.y - point.y) <= tolerance;
    };
    // The end drawn last wins where both are near: it is the one most recently dragged out.
    if (near(end)) return 1;
    if (near(start)) return 0;
    return std::nullopt;
}

MarkupObject Moved(const MarkupObject& object, std::int32_t dx, std::int32_t dy) {
    MarkupObject moved = object;
    for (PicturePoint& p : moved.points) p = {p.x + dx, p.y + dy};
    PictureRect& area = moved.pixelated.area;
    if (!area.IsEmpty()) area = {area.left + dx, area.top + dy, area.right + dx, area.bottom + dy};
    return moved;
}

MarkupObject ResizedBox(const MarkupObject& object, SelectionHandle handle, PicturePoint press, PicturePoint pointer,
                        const PictureRect& picture) {
    const PictureRect box = AdjustSelection(ObjectBox(object), handle, press, pointer, picture);
    MarkupObject resized = object;
    if (box.IsEmpty()) return resized;
    resized.points = {PicturePoint{box.left, box.top}, PicturePoint{box.right - 1, box.bottom - 1}};
    if (object.kind == MarkupTool::Pixelate) resized.pixelated.area = box;
    return resized;
}

MarkupObject MovedEnd(const MarkupObject& object, int end, PicturePoint to) {
    MarkupObject moved = object;
    if (moved.points.size() >= 2 && (end == 0 || end == 1)) moved.points[static_cast<std::size_t>(end)] = to;
    return moved;
}

PicturePoint Constrained(MarkupTool tool, PicturePoint start, PicturePoint pointer) noexcept {
    const std::int32_t dx = pointer.x - start.x;
    const std::int32_t dy = pointer.y - start.y;
    const std::int32_t ax = std::abs(dx), ay = std::abs(dy);
    switch (tool) {
    case MarkupTool::Rectangle:
    case MarkupTool::Ellipse:
    case MarkupTool::Pixelate: {
        const std::int32_t side = std::max(ax, ay);
        return {start.x + Sign(dx) * side, start.y + Sign(dy) * side};
    }
    case MarkupTool::Line:
    case MarkupTool::Arrow: {
        // tan(22.5 degrees) = 0.4142: beyond it from an axis the diagonal is nearer.
        if (ay * 10000LL <= ax * 4142LL) return {pointer.x, start.y};
        if (ax * 10000LL <= ay * 4142LL) return {start.x, pointer.y};
        const std::int32_t side = std::max(ax, ay);
        return {start.x + Sign(dx) * side, start.y + Sign(dy) * side};
    }
    default:
        return pointer;
    }
}

std::int32_t NextStepNumber(const MarkupObjects& objects) noexcept {
    std::int32_t highest = 0;
    for (const auto& object : objects)
        if (object && object->kind == MarkupTool::Step) highest = std::max(highest, object->number);
    return highest + 1;
}

ArrowHead ArrowHeadOf(PicturePoint from, PicturePoint to, std::int32_t width) noexcept {
    const double tipX = to.x + 0.5, tipY = to.y + 0.5;
    double ux = to.x - from.x, uy = to.y - from.y;
    const double length = std::hypot(ux, uy);
    if (length == 0) {
        ux = 1;
        uy = 0;
    } else {
        ux /= length;
        uy /= length;
    }
    // The head grows with the line, so a thick arrow keeps a visible point.
    const double headLength = 8.0 + 3.0 * width;
    const double halfWidth = headLength * 0.5;
    const double baseX = tipX - ux * headLength, baseY = tipY - uy * headLength;
    return {tipX, tipY, baseX - uy * halfWidth, baseY + ux * halfWidth, baseX + uy * halfWidth, baseY - ux * halfWidth};
}

PixelatedArea Pixelate(const Pixels& picture, const PictureRect& wanted, std::int32_t block) {
    PixelatedArea result;
    result.block = std::max(block, kPixelateBlocks[0]);
    const PictureRect bounds = picture.Bounds();
    PictureRect area = Intersection(wanted, bounds);
    if (area.IsEmpty()) {
        // An area dragged off the picture keeps its place on the nearest picture pixel.
        if (bounds.IsEmpty() || wanted.IsEmpty()) return result;
        const std::int32_t x = std::clamp(wanted.left, bounds.left, bounds.right - 1);
        const std::int32_t y = std::clamp(wanted.top, bounds.top, bounds.bottom - 1);
        area = {x, y, x + 1, y + 1};
    }
    // At least one whole block, where the picture is that large: a smaller block would show detail.
    const auto grow = [&](std::int32_t& low, std::int32_t& high, std::int32_t min, std::int32_t max) {
        const std::int32_t size = std::min(result.block, max - min);
        if (high - low >= size) return;
        high = std::min(max, low + size);
        low = high - size;
    };
    grow(area.left, area.right, bounds.left, bounds.right);
    grow(area.top, area.bottom, bounds.top, bounds.bottom);
    result.area = area;
    result.columns = std::max(1, area.Width() / result.block);
    result.rows = std::max(1, area.Height() / result.block);
    result.colours.resize(static_cast<std::size_t>(result.columns) * static_cast<std::size_t>(result.rows));

    std::vector<std::int32_t> columnOf(static_cast<std::size_t>(area.Width()));
    for (std::int32_t c = 0; c < result.columns; ++c)
        for (std::int32_t x = result.ColumnEdge(c); x < result.ColumnEdge(c + 1); ++x)
            columnOf[static_cast<std::size_t>(x - area.left)] = c;
    std::vector<std::uint64_t> sums(static_cast<std::size_t>(result.columns) * 4);
    for (std::int32_t r = 0; r < result.rows; ++r) {
        std::fill(sums.begin(), sums.end(), 0);
        const std::int32_t top = result.RowEdge(r), bottom = result.RowEdge(r + 1);
        for (std::int32_t y = top; y < bottom; ++y) {
            const std::uint32_t* row = picture.Row(y) + area.left;
            for (std::int32_t x = 0; x < area.Width(); ++x) {
                const std::uint32_t pixel = row[x];
                std::uint64_t* sum = &sums[static_cast<std::size_t>(columnOf[static_cast<std::size_t>(x)]) * 4];
                sum[0] += pixel & 0xFF;
                sum[1] += (pixel >> 8) & 0xFF;
                sum[2] += (pixel >> 16) & 0xFF;
                sum[3] += pixel >> 24;
            }
        }
        for (std::int32_t c = 0; c < result.columns; ++c) {
            const std::uint64_t count =
                static_cast<std::uint64_t>(result.ColumnEdge(c + 1) - result.ColumnEdge(c)) * static_cast<std::uint64_t>(bottom - top);
            const std::uint64_t* sum = &sums[static_cast<std::size_t>(c) * 4];
            std::uint32_t colour = 0;
            for (int channel = 0; channel < 4; ++channel)
                colour |= static_cast<std::uint32_t>((sum[channel] + count / 2) / count) << (8 * channel);
            result.colours[static_cast<std::size_t>(r) * static_cast<std::size_t>(result.columns) + static_cast<std::size_t>(c)] = colour;
        }
    }
    return result;
}

void FillPixelated(const PixelatedArea& area, std::uint32_t* buffer, std::int32_t stride, std::int32_t width,
                   std::int32_t height, PicturePoint origin) noexcept {
    if (area.columns <= 0 || area.rows <= 0) return;
    for (std::int32_t r = 0; r < area.rows; ++r) {
        const std::int32_t top = std::max(area.RowEdge(r) - origin.y, 0);
        const std::int32_t bottom = std::min(area.RowEdge(r + 1) - origin.y, height);
        if (top >= bottom) continue;
        for (std::int32_t c = 0; c < area.columns; ++c) {
            const std::int32_t left = std::max(area.ColumnEdge(c) - origin.x, 0);
            const std::int32_t right = std::min(area.ColumnEdge(c + 1) - origin.x, width);
            if (left >= right) continue;
            const std::uint32_t colour =
                area.colours[static_cast<std::size_t>(r) * static_cast<std::size_t>(area.columns) + static_cast<std::size_t>(c)];
            for (std::int32_t y = top; y < bottom; ++y)
                std::fill(buffer + static_cast<std::size_t>(y) * static_cast<std::size_t>(stride) + left,
                          buffer + static_cast<std::size_t>(y) * static_cast<std::size_t>(stride) + right, colour);
        }
    }
}

namespace {

std::optional<std::int32_t> WholeNumber(const std::wstring& text, std::int32_t low, std::int32_t high) {
    if (text.empty() || text.size() > 6) return std::nullopt;
    std::int32_t value = 0;
    for (wchar_t c : text) {
        if (c < L'0' || c > L'9') return std::nullopt;
        value = value * 10 + (c - L'0');
    }
    if (value < low || value > high) return std::nullopt;
    return value;
}

}  // namespace

MarkupStyleTexts StyleTexts(const MarkupStyle& style) {
    static constexpr wchar_t kDigits[] = L"0123456789ABCDEF";
    std::wstring colour;
    for (int shift = 20; shift >= 0; shift -= 4) colour += kDigits[(style.colour >> shift) & 0xF];
    std::wstring font = style.fontName + L"," + std::to_wstring(style.fontSize);
    if (style.fontBold) font += L",Bold";
    if (style.fontItalic) font += L",Italic";
    return {colour, std::to_wstring(style.width), style.filled ? L"True" : L"False", font,
            std::to_wstring(style.pixelateBlock)};
}

MarkupStyle StyleFromTexts(const MarkupStyleTexts& texts) {
    MarkupStyle style;
    if (texts.colour.size() == 6) {
        std::uint32_t colour = 0;
        bool valid = true;
        for (wchar_t c : texts.colour) {
            const wchar_t upper = (c >= L'a' && c <= L'f') ? static_cast<wchar_t>(c - L'a' + L'A') : c;
            const std::wstring digits = L"0123456789ABCDEF";
            const auto digit = digits.find(upper);
            if (digit == std::wstring::npos) valid = false;
            colour = colour * 16 + static_cast<std::uint32_t>(digit == std::wstring::npos ? 0 : digit);
        }
        if (valid) style.colour = colour;
    }
    if (const auto width = WholeNumber(texts.width, kMinimumWidth, kMaximumWidth)) style.width = *width;
    style.filled = texts.filled == L"True";
    if (const auto block = WholeNumber(texts.block, 0, 1000);
        block && std::find(std::begin(kPixelateBlocks), std::end(kPixelateBlocks), *block) != std::end(kPixelateBlocks))
        style.pixelateBlock = *block;
    // The name is everything before the first comma: font names hold none.
    std::vector<std::wstring> parts;
    std::size_t start = 0;
    while (start <= texts.font.size()) {
        const std::size_t comma = texts.font.find(L',', start);
        parts.push_back(texts.font.substr(start, comma == std::wstring::npos ? std::wstring::npos : comma - start));
        if (comma == std::wstring::npos) break;
        start = comma + 1;
    }
    if (parts.size() >= 2 && !parts[0].empty() && parts[0].size() < 32) {
        if (const auto size = WholeNumber(parts[1], 4, 400)) {
            style.fontName = parts[0];
            style.fontSize = *size;
            for (std::size_t i = 2; i < parts.size(); ++i) {
                if (parts[i] == L"Bold") style.fontBold = true;
                if (parts[i] == L"Italic") style.fontItalic = true;
            }
        }
    }
    return style;
}
