#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>

#include "document/PixelRects.h"

// Room for pixels that is never zeroed (every pixel is written before it is read) and
// only grows. It may be memory someone else made (a bitmap's bits), kept alive by its owner.
class PixelStore {
public:
    // Room for at least `count` pixels, keeping the first `keep` of them.
    void Reserve(std::size_t count, std::size_t keep = 0);
    // Takes `count` pixels at `data` as the room, alive while `owner` is.
    void Adopt(std::uint32_t* data, std::size_t count, std::shared_ptr<void> owner) noexcept;
    std::uint32_t* Data() noexcept { return data_; }
    const std::uint32_t* Data() const noexcept { return data_; }
    std::size_t Capacity() const noexcept { return capacity_; }
    // What keeps the memory alive; while anyone else holds it, it is shared.
    std::shared_ptr<const void> Owner() const noexcept { return owner_; }
    bool Shared() const noexcept { return owner_.use_count() > 1; }

private:
    std::shared_ptr<void> owner_;
    std::uint32_t* data_ = nullptr;
    std::size_t capacity_ = 0;
};

// A picture's pixels, 32 bits each: blue, green, red and a fourth byte in memory order, rows
// from the top (a top-down 32-bit DIB's layout). The picture is a rectangle of its memory:
// a crop only narrows it, and the rows and columns it removed stay where they were, hidden,
// until its undo shows them again. So cropping and its undo move no pixel, whatever the size.
// Moves only: a copy of a picture is always asked for (Copy).
class Pixels {
public:
    Pixels() = default;
    // A picture whose pixels the caller writes, every one, before reading any.
    static Pixels ForOverwrite(std::int32_t width, std::int32_t height);
    // The picture in rows of `width` pixels at `memory`, which `owner` keeps alive: no copy,
    // so a picture that came in as a bitmap costs its memory once.
    static Pixels OverMemory(std::uint32_t* memory, std::int32_t width, std::int32_t height,
                             std::shared_ptr<void> owner);
    Pixels(Pixels&&) noexcept = default;
    Pixels& operator=(Pixels&&) noexcept = default;
    Pixels(const Pixels&) = delete;
    Pixels& operator=(const Pixels&) = delete;

    std::int32_t Width() const noexcept { return area_.Width(); }
    std::int32_t Height() const noexcept { return area_.Height(); }
    bool IsEmpty() const noexcept { return area_.IsEmpty(); }
    PictureRect Bounds() const noexcept { return {0, 0, Width(), Height()}; }
    std::uint32_t* Row(std::int32_t y) noexcept { return store_.Data() + Offset(y); }
    const std::uint32_t* Row(std::int32_t y) const noexcept { return store_.Data() + Offset(y); }
    std::uint32_t At(PicturePoint point) const noexcept { return Row(point.y)[point.x]; }

    // For drawing straight from the memory (a DIB of Stride x Area().bottom pixels at
    // Memory(), of which the picture is Area()).
    const std::uint32_t* Memory() const noexcept { return store_.Data(); }
    std::int32_t Stride() const noexcept { return stride_; }
    PictureRect Area() const noexcept { return area_; }
    // Keeps the memory alive for a reader elsewhere (a file written on another thread),
    // without a copy: while it is held, no pixel it could read is written over; a change
    // that would write into the memory moves the picture to new memory instead.
    std::shared_ptr<const void> Hold() const noexcept { return store_.Owner(); }
    // The memory held, hidden pixels included.
    std::size_t StoredBytes() const noexcept { return store_.Capacity() * sizeof(std::uint32_t); }

    // The pixels of `area` clipped to the picture, as a picture of their own, without gaps.
    Pixels Copy(const PictureRect& area) const;

    // Keeps only `keep` (a non-empty part of the picture); returns what Uncrop needs.
    PictureRect Crop(const PictureRect& keep);
    // Shows again what the crop that returned `before` hid.
    void Uncrop(const PictureRect& before);

    // Adds rows of the picture's width below it. When they would cover rows a crop hid the
    // picture moves to new memory, and the picture as it was is returned, hidden pixels and
    // all, to be put back once the rows are taken off again.
    std::optional<Pixels> AppendRows(const Pixels& rows) { return ReplaceBottomRows(0, rows); }
    // The same in place of the picture's last `count` rows (a scrolling capture puts its new
    // rows above the footer it kept). The memory grows by half again when it must, so that
    // appending frame after frame does not copy the whole picture each time.
    std::optional<Pixels> ReplaceBottomRows(std::int32_t count, const Pixels& rows);
    // Room for the picture to grow to `rows` rows without moving (a picture whose last row
    // ends its memory; others move on their next append anyway).
    void ReserveRows(std::int32_t rows);
    // Takes the last `count` rows off the picture.
    Pixels TakeBottomRows(std::int32_t count);

    bool operator==(const Pixels& other) const noexcept;

private:
    std::size_t Offset(std::int32_t y) const noexcept {
        return static_cast<std::size_t>(area_.top + y) * static_cast<std::size_t>(stride_) +
               static_cast<std::size_t>(area_.left);
    }

    PixelStore store_;
    std::int32_t stride_ = 0;  // pixels from one row of the memory to the next
    std::int32_t rows_ = 0;    // rows of the memory in use, hidden ones included
    PictureRect area_;         // the picture, in the memory's pixels
};
