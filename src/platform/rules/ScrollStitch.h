#pragma once
// Scrolling capture: where a frame taken after a scroll continues the frame before it.
// Pixels are compared exactly; nothing is guessed.
#include <cstddef>
#include <cstdint>

// A frame's pixels, 32 bits each, rows from the top, `stride` pixels from one row to the next.
struct FrameView {
    const std::uint32_t* pixels = nullptr;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::ptrdiff_t stride = 0;
    const std::uint32_t* Row(std::int32_t y) const noexcept { return pixels + y * stride; }
};

enum class StitchOutcome {
    Moved,      // the content moved up: the new rows are found
    Unmoved,    // the two frames are identical
    NoOverlap,  // no exact match explains the frames (content changed, or moved too far)
};

// How the frame after continues the frame before. Its rows are: `header` fixed rows (the
// same in both frames), rows that were `move` rows lower in the frame before, `move` new
// rows, and `footer` fixed rows. The new rows go into the picture above its last `footer`
// rows (which are the footer already).
struct StitchResult {
    StitchOutcome outcome = StitchOutcome::NoOverlap;
    std::int32_t header = 0;
    std::int32_t footer = 0;
    std::int32_t move = 0;
    // The first of the new rows in the frame after.
    std::int32_t FirstNewRow(std::int32_t height) const noexcept { return height - footer - move; }
};

// Columns identical in every row of both frames (a side bar) take no part in the match.
// Of every move that explains the frames exactly, the smallest wins, and with it the
// smallest footer; rows kept as they stood make the header. The rows seen in both frames
// must include one that is not all one colour: blank rows alone prove nothing. Frames of
// different sizes, or empty ones, never overlap.
StitchResult FindOverlap(const FrameView& before, const FrameView& after);
