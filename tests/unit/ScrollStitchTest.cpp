// Scrolling capture's stitching: frames of a known page, taken at known scroll positions,
// give exactly the page back; frames that no exact move explains give nothing.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "document/DocumentModel.h"
#include "platform/rules/ScrollStitch.h"

namespace {

// A page on a screen: fixed rows above and below a view of the page, a fixed column
// strip at the left. Every pixel of the page differs from its neighbours' rows, except
// where `blankEvery` leaves runs of white rows (text with space between lines).
struct Screen {
    std::int32_t width = 64;
    std::int32_t height = 120;
    std::int32_t header = 0;
    std::int32_t footer = 0;
    std::int32_t sideBar = 0;
    std::int32_t blankEvery = 0;  // 0: no blank rows; n: rows y with y % n >= n / 2 are white
    std::int32_t period = 0;      // 0: no repeat; n: the page repeats every n rows

    std::int32_t View() const { return height - header - footer; }
    std::uint32_t Page(std::int32_t x, std::int32_t y) const {
        if (period > 0) y %= period;
        if (blankEvery > 0 && y % blankEvery >= blankEvery / 2) return 0xFFFFFFFFu;
        return 0xFF000000u | ((static_cast<std::uint32_t>(y) * 2654435761u) ^ (static_cast<std::uint32_t>(x) * 40503u)) >> 8;
    }
    std::uint32_t Fixed(std::int32_t x, std::int32_t row) const {
        return 0xFF000000u | static_cast<std::uint32_t>(0x400000 + row * 131 + x);
    }
    // The screen with the page scrolled down by `offset` rows.
    Pixels Frame(std::int32_t offset) const {
        Pixels frame = Pixels::ForOverwrite(width, height);
        for (std::int32_t row = 0; row < height; ++row) {
            const bool fixedRow = row < header || row >= height - footer;
            for (std::int32_t x = 0; x < width; ++x)
                frame.Row(row)[x] = fixedRow || x < sideBar ? Fixed(x, row) : Page(x, offset + row - header);
        }
        return frame;
    }
};

FrameView ViewOf(const Pixels& pixels) { return {pixels.Row(0), pixels.Width(), pixels.Height(), pixels.Stride()}; }

StitchResult Overlap(const Pixels& before, const Pixels& after) { return FindOverlap(ViewOf(before), ViewOf(after)); }

// The rows a result says are new, from the frame after.
Pixels NewRows(const Pixels& after, const StitchResult& result) {
    const std::int32_t first = result.FirstNewRow(after.Height());
    return after.Copy({0, first, after.Width(), after.Height()});
}

}  // namespace

TEST(ScrollStitch, FindsTheMoveAndTheFixedRowsOfEachScreen) {
    struct Case {
        const char* name;
        Screen screen;
        std::int32_t from, to;
        StitchOutcome outcome;
        std::int32_t move, header, footer;
    };
    const Screen plain;
    Screen headed;
    headed.header = 40;
    Screen footed;
    footed.footer = 25;
    Screen framed;
    framed.header = 12;
    framed.footer = 9;
    framed.sideBar = 10;
    Screen spaced = framed;
    spaced.blankEvery = 14;
    Screen striped;
    striped.period = 8;
    const Case cases[] = {
        {"plain", plain, 0, 37, StitchOutcome::Moved, 37, 0, 0},
        {"one row", plain, 5, 6, StitchOutcome::Moved, 1, 0, 0},
        {"all but one row", plain, 0, 119, StitchOutcome::Moved, 119, 0, 0},
        {"fixed header", headed, 10, 50, StitchOutcome::Moved, 40, 40, 0},
        {"fixed footer", footed, 0, 10, StitchOutcome::Moved, 10, 0, 25},
        {"header, footer and side bar, one row", framed, 3, 4, StitchOutcome::Moved, 1, 12, 9},
        {"blank rows between lines", spaced, 0, 23, StitchOutcome::Moved, 23, 12, 9},
        {"repeated rows: the smallest move", striped, 0, 13, StitchOutcome::Moved, 5, 0, 0},
        {"unmoved", framed, 7, 7, StitchOutcome::Unmoved, 0, 0, 0},
        {"moved a whole view", plain, 0, 120, StitchOutcome::NoOverlap, 0, 0, 0},
        {"moved a whole view under a header", headed, 0, 80, StitchOutcome::NoOverlap, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const StitchResult result = Overlap(c.screen.Frame(c.from), c.screen.Frame(c.to));
        EXPECT_EQ(result.outcome, c.outcome);
        if (c.outcome != StitchOutcome::Moved) continue;
        EXPECT_EQ(result.move, c.move);
        EXPECT_EQ(result.header, c.header);
        EXPECT_EQ(result.footer, c.footer);
    }
}

TEST(ScrollStitch, RefusesFramesThatNoExactMoveExplains) {
    Screen screen;
    screen.header = 20;
    const Pixels before = screen.Frame(0);

    Pixels changed = screen.Frame(30);  // one pixel of the rows both frames show differs
    changed.Row(60)[33] ^= 1;
    EXPECT_EQ(Overlap(before, changed).outcome, StitchOutcome::NoOverlap);

    // Blank rows alone prove nothing: a page of white under the header moved or not.
    Screen blank = screen;
    blank.blankEvery = 1000;  // rows 500 and beyond are white
    Pixels white = blank.Frame(600);
    Pixels whiteAfter = blank.Frame(640);
    whiteAfter.Row(119)[0] = 0xFF123456u;  // and something new came in at the bottom
    EXPECT_EQ(Overlap(white, whiteAfter).outcome, StitchOutcome::NoOverlap);

    EXPECT_EQ(Overlap(before, screen.Frame(30).Copy({0, 0, 64, 119})).outcome, StitchOutcome::NoOverlap);
    EXPECT_EQ(Overlap(before, screen.Frame(30).Copy({0, 0, 63, 120})).outcome, StitchOutcome::NoOverlap);
    EXPECT_EQ(Overlap(Pixels{}, Pixels{}).outcome, StitchOutcome::NoOverlap);
}

TEST(ScrollStitch, FramesStitchedIntoAPictureGiveThePageAndUndoGivesTheFirstFrameBack) {
    Screen screen;
    screen.header = 15;
    screen.footer = 7;
    screen.sideBar = 5;
    screen.blankEvery = 22;
    // Moves of every kind: one row, most of the view, repeats of the same size.
    const std::int32_t moves[] = {1, 40, 75, 3, 3, 60, 1, 75, 20};
    DocumentModel model(screen.Frame(0));
    Pixels last = screen.Frame(0);
    std::int32_t offset = 0;
    for (const std::int32_t move : moves) {
        offset += move;
        Pixels frame = screen.Frame(offset);
        const StitchResult result = Overlap(last, frame);
        ASSERT_EQ(result.outcome, StitchOutcome::Moved) << offset;
        ASSERT_EQ(result.move, move) << offset;
        model.Do(std::make_unique<AppendRowsOperation>(NewRows(frame, result), result.footer));
        last = std::move(frame);
    }
    // The header once, the page from its top to the last frame's end, the footer once; the
    // side bar beside every row as the screen showed it where the row came in.
    const Pixels& picture = model.PicturePixels();
    ASSERT_EQ(picture.Height(), screen.height + offset);
    const Pixels first = screen.Frame(0);
    EXPECT_TRUE(picture.Copy({0, 0, 64, screen.header}) == first.Copy({0, 0, 64, screen.header}));
    EXPECT_TRUE(picture.Copy({0, picture.Height() - screen.footer, 64, picture.Height()}) ==
                first.Copy({0, screen.height - screen.footer, 64, screen.height}));
    for (std::int32_t y = 0; y < offset + screen.View(); ++y)
        for (std::int32_t x = screen.sideBar; x < screen.width; ++x)
            ASSERT_EQ(picture.Row(screen.header + y)[x], screen.Page(x, y)) << x << "," << y;

    while (model.CanUndo()) model.Undo();
    EXPECT_TRUE(model.PicturePixels() == screen.Frame(0));
    while (model.CanRedo()) model.Redo();
    EXPECT_EQ(model.PicturePixels().Height(), screen.height + offset);
}

TEST(ScrollStitch, AppendingGrowsTheMemoryAheadInsteadOfCopyingThePictureEachTime) {
    Pixels picture = Pixels::ForOverwrite(16, 10);
    const Pixels rows = Pixels::ForOverwrite(16, 10);
    int moves = 0;
    for (int i = 0; i < 200; ++i) {
        const std::uint32_t* before = picture.Memory();
        ASSERT_FALSE(picture.ReplaceBottomRows(i % 3, rows).has_value());
        moves += picture.Memory() != before;
    }
    EXPECT_LT(moves, 20);  // half again each time: a dozen moves, not 200
}

// A file written on another thread reads a held picture where it is: no change may write
// over a pixel it could read, while it is held; once let go, rows are added in place again.
TEST(ScrollStitch, RowsReplacedWhileThePictureIsHeldGoToNewMemoryAndTheHeldPixelsStay) {
    Pixels picture = Pixels::ForOverwrite(8, 6);
    for (std::int32_t y = 0; y < 6; ++y)
        for (std::int32_t x = 0; x < 8; ++x) picture.Row(y)[x] = static_cast<std::uint32_t>(y * 8 + x);
    picture.ReserveRows(40);
    Pixels rows = Pixels::ForOverwrite(8, 3);
    for (std::int32_t y = 0; y < 3; ++y)
        for (std::int32_t x = 0; x < 8; ++x) rows.Row(y)[x] = 0xABCDEF;

    std::shared_ptr<const void> held = picture.Hold();
    const std::uint32_t* seen = picture.Row(0);
    const std::optional<Pixels> before = picture.ReplaceBottomRows(2, rows);  // over the last two rows
    ASSERT_TRUE(before.has_value());
    EXPECT_NE(picture.Memory(), seen);
    for (std::int32_t i = 0; i < 6 * 8; ++i) ASSERT_EQ(seen[i], static_cast<std::uint32_t>(i)) << i;
    EXPECT_EQ(picture.Height(), 7);
    EXPECT_EQ(picture.Row(6)[7], 0xABCDEFu);

    held.reset();
    picture.ReserveRows(40);
    const std::uint32_t* memory = picture.Memory();
    EXPECT_FALSE(picture.ReplaceBottomRows(1, rows).has_value());
    EXPECT_EQ(picture.Memory(), memory);
}
