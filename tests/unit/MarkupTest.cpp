// What is drawn on a picture, without a window: picking objects, their handles and Shift's
// shapes, step numbers, the pixelated blocks that leave no original pixel, and every drawing
// change as one undo step that gives back exactly what was there.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "document/DocumentModel.h"
#include "document/Markup.h"
#include "document/MarkupOperation.h"
#include "platform/rules/RuntimeError.h"

namespace {

MarkupObject Shape(MarkupTool kind, PicturePoint a, PicturePoint b, std::int32_t width = 3, bool filled = false) {
    MarkupObject object;
    object.kind = kind;
    object.style.width = width;
    object.style.filled = filled;
    object.points = {a, b};
    return object;
}

// A picture whose every pixel differs from its neighbours in each channel.
Pixels Pattern(std::int32_t width, std::int32_t height) {
    Pixels pixels = Pixels::ForOverwrite(width, height);
    for (std::int32_t y = 0; y < height; ++y)
        for (std::int32_t x = 0; x < width; ++x)
            pixels.Row(y)[x] = 0xFF000000u | static_cast<std::uint32_t>((x * 37 + y * 11) % 256) << 16 |
                               static_cast<std::uint32_t>((x * 5 + y * 71) % 256) << 8 | static_cast<std::uint32_t>((x * y) % 256);
    return pixels;
}

std::shared_ptr<const MarkupObject> Shared(MarkupObject object) { return std::make_shared<const MarkupObject>(std::move(object)); }

}  // namespace

TEST(MarkupHitTest, PicksOnTheLineOrInsideWhatIsSolidAndNothingElse) {
    // Rectangle 10..30 x 10..20 (pixel centres 10.5 .. 30.5), 3 px wide: its line reaches 1.5 px each side.
    const MarkupObject outline = Shape(MarkupTool::Rectangle, {10, 10}, {30, 20});
    const MarkupObject filled = Shape(MarkupTool::Rectangle, {10, 10}, {30, 20}, 3, true);
    const MarkupObject ellipse = Shape(MarkupTool::Ellipse, {0, 0}, {40, 20});
    const MarkupObject line = Shape(MarkupTool::Line, {0, 0}, {100, 0}, 4);
    MarkupObject step;
    step.kind = MarkupTool::Step;
    step.style.width = 3;  // diameter 28
    step.points = {{50, 50}};
    MarkupObject pen = Shape(MarkupTool::Pen, {0, 0}, {10, 0}, 2);
    pen.points.push_back({10, 10});
    struct Case {
        const MarkupObject* object;
        double x, y, tolerance;
        bool hits;
    } cases[] = {
        {&outline, 10.5, 15, 0, true},   {&outline, 12.0, 15, 0, true},  {&outline, 12.1, 15, 0, false},
        {&outline, 20, 15, 0, false},    {&outline, 20, 15, 5, true},    {&outline, 8.9, 15, 0, false},
        {&filled, 20, 15, 0, true},      {&filled, 33, 15, 0, false},    {&ellipse, 20.5, 0.5, 0, true},
        {&ellipse, 20.5, 10.5, 0, false}, {&ellipse, 40.5, 10.5, 1, true}, {&line, 50, 2.4, 0, true},
        {&line, 50, 2.6, 0, false},      {&line, 103, 0.5, 0, false},    {&step, 50.5, 64, 0, true},
        {&step, 50.5, 65, 0, false},     {&pen, 10.5, 5, 0, true},       {&pen, 5, 5, 0, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(HitsObject(*c.object, c.x, c.y, c.tolerance), c.hits)
            << static_cast<int>(c.object->kind) << " at " << c.x << "," << c.y << " tolerance " << c.tolerance;
}

TEST(MarkupHitTest, TheTopmostObjectUnderThePointIsPicked) {
    const MarkupObjects objects{Shared(Shape(MarkupTool::Rectangle, {0, 0}, {50, 50}, 3, true)),
                                Shared(Shape(MarkupTool::Rectangle, {20, 20}, {30, 30}, 3, true))};
    EXPECT_EQ(ObjectAt(objects, 25, 25, 0), std::optional<std::size_t>(1));
    EXPECT_EQ(ObjectAt(objects, 5, 5, 0), std::optional<std::size_t>(0));
    EXPECT_EQ(ObjectAt(objects, 80, 80, 0), std::nullopt);
}

TEST(MarkupBounds, CoverEverythingDrawnSoARepaintLeavesNothingBehind) {
    // A 3 px line through pixel centres covers 1.5 px each side: bounds reach 3 beyond the
    // centre pixels (1 for the half pixel rounded up, 1 for the anti-aliased edge).
    EXPECT_EQ(ObjectBounds(Shape(MarkupTool::Rectangle, {10, 10}, {30, 20})), (PictureRect{7, 7, 34, 24}));
    EXPECT_EQ(ObjectBounds(Shape(MarkupTool::Line, {30, 20}, {10, 10}, 1)), (PictureRect{8, 8, 33, 23}));
    // An arrow's head reaches past its line on both sides.
    const PictureRect arrow = ObjectBounds(Shape(MarkupTool::Arrow, {0, 50}, {100, 50}, 2));
    EXPECT_LE(arrow.top, 50 - 7);
    EXPECT_GE(arrow.bottom, 51 + 7);
    // A pixelated area is exactly its blocks.
    MarkupObject area = Shape(MarkupTool::Pixelate, {0, 0}, {9, 9});
    area.pixelated = Pixelate(Pattern(20, 20), SpanOf({0, 0}, {9, 9}), 8);
    EXPECT_EQ(ObjectBounds(area), (PictureRect{0, 0, 10, 10}));
}

TEST(MarkupHandles, BoxesResizeByTheirHandlesLinesByTheirEnds) {
    const PictureRect picture{0, 0, 200, 100};
    const MarkupObject box = Shape(MarkupTool::Rectangle, {10, 10}, {30, 20});
    const MarkupObject wider = ResizedBox(box, SelectionHandle::Right, {30, 15}, {50, 40}, picture);
    EXPECT_EQ(wider.points, (std::vector<PicturePoint>{{10, 10}, {50, 20}}));
    // Dragged past the opposite edge, the box turns over.
    const MarkupObject turned = ResizedBox(box, SelectionHandle::TopLeft, {10, 10}, {40, 25}, picture);
    EXPECT_EQ(ObjectBox(turned), (PictureRect{30, 20, 41, 26}));
    const MarkupObject line = MovedEnd(Shape(MarkupTool::Line, {0, 0}, {10, 10}), 1, {70, 5});
    EXPECT_EQ(line.points, (std::vector<PicturePoint>{{0, 0}, {70, 5}}));
    EXPECT_EQ(HandlesOf(MarkupTool::Ellipse), HandleKind::Box);
    EXPECT_EQ(HandlesOf(MarkupTool::Arrow), HandleKind::Ends);
    EXPECT_EQ(HandlesOf(MarkupTool::Pen), HandleKind::None);
    // Where both ends are under the pointer the one drawn last is taken.
    EXPECT_EQ(EndAt({10, 10}, {12, 10}, {11, 10}, 4), std::optional<int>(1));
    EXPECT_EQ(EndAt({10, 10}, {80, 10}, {13, 12}, 4), std::optional<int>(0));
    EXPECT_EQ(EndAt({10, 10}, {80, 10}, {40, 10}, 4), std::nullopt);
}

TEST(MarkupConstraint, ShiftKeepsSquaresCirclesAndFortyFiveDegreeLines) {
    const struct {
        MarkupTool tool;
        PicturePoint pointer, expected;
    } cases[] = {
        {MarkupTool::Rectangle, {30, 15}, {30, 30}},  {MarkupTool::Ellipse, {-5, 20}, {-20, 20}},
        {MarkupTool::Pixelate, {10, -40}, {40, -40}}, {MarkupTool::Line, {50, 5}, {50, 0}},
        {MarkupTool::Line, {4, -50}, {0, -50}},        {MarkupTool::Arrow, {30, 25}, {30, 30}},
        {MarkupTool::Arrow, {-30, 20}, {-30, 30}},     {MarkupTool::Pen, {31, 7}, {31, 7}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Constrained(c.tool, {0, 0}, c.pointer), c.expected) << static_cast<int>(c.tool) << " " << c.pointer.x;
}

TEST(MarkupSteps, NumbersFollowTheHighestPlaced) {
    MarkupObjects objects;
    EXPECT_EQ(NextStepNumber(objects), 1);
    MarkupObject step;
    step.kind = MarkupTool::Step;
    step.number = 1;
    objects.push_back(Shared(step));
    step.number = 4;  // 2 and 3 deleted: the next is still after the last one placed
    objects.push_back(Shared(step));
    objects.push_back(Shared(Shape(MarkupTool::Rectangle, {0, 0}, {5, 5})));
    EXPECT_EQ(NextStepNumber(objects), 5);
}

TEST(MarkupPixelate, EveryBlockIsTheRoundedAverageAndAtLeastTheBlockSize) {
    const Pixels picture = Pattern(100, 60);
    for (const std::int32_t block : kPixelateBlocks) {
        for (const PictureRect wanted : {PictureRect{3, 5, 70, 50}, PictureRect{90, 55, 95, 58}, PictureRect{-20, -20, 150, 99}}) {
            const PixelatedArea area = Pixelate(picture, wanted, block);
            ASSERT_GT(area.columns, 0);
            ASSERT_EQ(area.colours.size(), static_cast<std::size_t>(area.columns * area.rows));
            EXPECT_EQ(Intersection(area.area, picture.Bounds()), area.area);
            for (std::int32_t r = 0; r < area.rows; ++r)
                for (std::int32_t c = 0; c < area.columns; ++c) {
                    const std::int32_t left = area.ColumnEdge(c), right = area.ColumnEdge(c + 1);
                    const std::int32_t top = area.RowEdge(r), bottom = area.RowEdge(r + 1);
                    EXPECT_GE(right - left, block);
                    EXPECT_GE(bottom - top, block);
                    std::uint32_t expected = 0;
                    for (int channel = 0; channel < 4; ++channel) {
                        std::uint64_t sum = 0;
                        for (std::int32_t y = top; y < bottom; ++y)
                            for (std::int32_t x = left; x < right; ++x) sum += (picture.Row(y)[x] >> (8 * channel)) & 0xFF;
                        const std::uint64_t count = static_cast<std::uint64_t>((right - left) * (bottom - top));
                        expected |= static_cast<std::uint32_t>((sum + count / 2) / count) << (8 * channel);
                    }
                    EXPECT_EQ(area.colours[static_cast<std::size_t>(r * area.columns + c)], expected) << block << " " << c << "," << r;
                }
        }
    }
}

TEST(MarkupPixelate, FilledAreaHoldsOnlyItsBlocksWhereverTheBufferStarts) {
    const Pixels picture = Pattern(64, 48);
    const PixelatedArea area = Pixelate(picture, {8, 8, 40, 40}, 8);
    // A buffer holding picture pixels 20..50 x 4..30, as a repaint of part of the view has.
    Pixels part = picture.Copy({20, 4, 50, 30});
    std::vector<std::uint32_t> buffer(static_cast<std::size_t>(part.Width() * part.Height()));
    for (std::int32_t y = 0; y < part.Height(); ++y)
        std::copy_n(part.Row(y), part.Width(), buffer.data() + static_cast<std::size_t>(y * part.Width()));
    FillPixelated(area, buffer.data(), part.Width(), part.Width(), part.Height(), {20, 4});
    for (std::int32_t y = 0; y < part.Height(); ++y)
        for (std::int32_t x = 0; x < part.Width(); ++x) {
            const PicturePoint at{20 + x, 4 + y};
            const std::uint32_t pixel = buffer[static_cast<std::size_t>(y * part.Width() + x)];
            if (area.area.Contains(at)) {
                const std::int32_t c = (at.x - 8) / 8, r = (at.y - 8) / 8;
                EXPECT_EQ(pixel, area.colours[static_cast<std::size_t>(r * area.columns + c)]);
            } else {
                EXPECT_EQ(pixel, picture.At(at)) << "outside the area at " << at.x << "," << at.y;
            }
        }
}

TEST(MarkupOperations, AddMoveRemoveAndReorderAreEachOneStepUndoneExactly) {
    DocumentModel model(Pattern(120, 80));
    std::vector<DocumentChange> changes;
    model.Subscribe([&](const DocumentChange& change) { changes.push_back(change); });
    MarkupObject first = Shape(MarkupTool::Rectangle, {10, 10}, {30, 20});
    first.id = 1;
    MarkupObject second = Shape(MarkupTool::Ellipse, {50, 40}, {70, 60});
    second.id = 2;
    model.Do(std::make_unique<ObjectOperation>(0, nullptr, Shared(first)));
    model.Do(std::make_unique<ObjectOperation>(1, nullptr, Shared(second)));
    // The repaint covers the new object's every drawn pixel.
    EXPECT_EQ(changes.back().pixels, ObjectBounds(second));
    const auto moved = Shared(Moved(first, 40, 5));
    model.Do(std::make_unique<ObjectOperation>(0, model.Objects()[0], moved));
    EXPECT_EQ(changes.back().pixels, (PictureRect{7, 7, 74, 29}));  // where it was and where it is
    model.Do(std::make_unique<ReorderObjectOperation>(0, 1));
    model.Do(std::make_unique<ObjectOperation>(0, model.Objects()[0], nullptr));
    ASSERT_EQ(model.Objects().size(), 1u);
    EXPECT_EQ(model.Objects()[0], moved);
    EXPECT_EQ(model.ObjectIndex(2), std::nullopt);

    for (int i = 0; i < 5; ++i) model.Undo();
    EXPECT_TRUE(model.Objects().empty());
    EXPECT_TRUE(model.IsUntouched());
    EXPECT_TRUE(model.PicturePixels() == Pattern(120, 80));
    for (int i = 0; i < 5; ++i) model.Redo();
    ASSERT_EQ(model.Objects().size(), 1u);
    EXPECT_EQ(model.Objects()[0]->points, moved->points);
}

TEST(MarkupOperations, AStaleEditIsRefusedAndChangesNothing) {
    DocumentModel model(Pattern(40, 40));
    const auto object = Shared(Shape(MarkupTool::Line, {1, 1}, {9, 9}));
    model.Do(std::make_unique<ObjectOperation>(0, nullptr, object));
    const auto other = Shared(Shape(MarkupTool::Line, {2, 2}, {5, 5}));
    EXPECT_THROW(model.Do(std::make_unique<ObjectOperation>(0, other, nullptr)), RuntimeError);
    EXPECT_THROW(model.Do(std::make_unique<ObjectOperation>(3, object, nullptr)), RuntimeError);
    ASSERT_EQ(model.Objects().size(), 1u);
    EXPECT_EQ(model.Objects()[0], object);
}

TEST(MarkupOperations, CropKeepsWhatIsDrawnOnTheSamePixelsAndItsUndoPutsItBack) {
    DocumentModel model(Pattern(100, 100));
    model.Do(std::make_unique<ObjectOperation>(0, nullptr, Shared(Shape(MarkupTool::Arrow, {40, 50}, {60, 70}))));
    model.Select({30, 20, 90, 95});
    model.CropToSelection();
    EXPECT_EQ(model.Objects()[0]->points, (std::vector<PicturePoint>{{10, 30}, {30, 50}}));
    model.Undo();
    EXPECT_EQ(model.Objects()[0]->points, (std::vector<PicturePoint>{{40, 50}, {60, 70}}));
}

TEST(MarkupSettings, TheStyleReadsBackAsWrittenAndDamagedValuesKeepTheDefault) {
    MarkupStyle style;
    style.colour = 0x1E64DC;
    style.width = 12;
    style.filled = true;
    style.fontName = L"Courier New";
    style.fontSize = 40;
    style.fontBold = true;
    style.pixelateBlock = 24;
    EXPECT_EQ(StyleFromTexts(StyleTexts(style)), style);
    const MarkupStyle defaults;
    const MarkupStyleTexts damaged[] = {
        {L"12345G", L"0", L"yes", L"Arial", L"7"},
        {L"#E0201C", L"13", L"", L",24", L"32"},
        {L"", L"-3", L"TRUE", L"Arial,3", L""},
        {L"E0201", L"3px", L"False", L"Arial,24x", L"8.0"},
    };
    for (const MarkupStyleTexts& texts : damaged) EXPECT_EQ(StyleFromTexts(texts), defaults) << texts.colour;
    EXPECT_EQ(StyleFromTexts({L"e0201c", L"1", L"False", L"Segoe UI,9,Italic", L"12"}).fontItalic, true);
}

TEST(MarkupBounds, RepaintAreasCoverTheWholeShapeButNotItsBox) {
    const MarkupObject shapes[] = {
        Shape(MarkupTool::Arrow, {10, 700}, {1500, 20}, 5), Shape(MarkupTool::Line, {0, 0}, {3, 900}, 1),
        Shape(MarkupTool::Rectangle, {100, 100}, {900, 600}, 4), Shape(MarkupTool::Rectangle, {5, 5}, {9, 9}, 12),
        Shape(MarkupTool::Ellipse, {0, 0}, {80, 40}, 2)};
    for (const MarkupObject& shape : shapes) {
        const auto areas = RepaintAreas(shape);
        ASSERT_FALSE(areas.empty());
        ASSERT_LE(areas.size(), 13u);
        const PictureRect bounds = ObjectBounds(shape);
        std::int64_t covered = 0;
        for (const PictureRect& area : areas) covered += static_cast<std::int64_t>(area.Width()) * area.Height();
        // Every pixel the shape may touch lies in some area: each pixel of the bounds that the
        // shape reaches (its line within half the width and the smoothed edge).
        for (std::int32_t y = bounds.top; y < bounds.bottom; y += 3)
            for (std::int32_t x = bounds.left; x < bounds.right; x += 3) {
                if (!HitsObject(shape, x + 0.5, y + 0.5, 1.0)) continue;
                const bool inside = std::any_of(areas.begin(), areas.end(), [&](const PictureRect& a) { return a.Contains({x, y}); });
                ASSERT_TRUE(inside) << static_cast<int>(shape.kind) << " leaves " << x << "," << y;
            }
        if (shape.kind != MarkupTool::Ellipse && bounds.Width() > 200) {
            EXPECT_LT(covered * 4, static_cast<std::int64_t>(bounds.Width()) * bounds.Height()) << static_cast<int>(shape.kind);
        }
    }
}
