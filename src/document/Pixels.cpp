#include "document/Pixels.h"

#include <algorithm>
#include <cstring>

#include "platform/rules/RuntimeError.h"

namespace {

void CopyPixels(std::uint32_t* to, const std::uint32_t* from, std::int32_t count) noexcept {
    if (count > 0) std::memcpy(to, from, static_cast<std::size_t>(count) * sizeof(std::uint32_t));
}

}  // namespace

void PixelStore::Reserve(std::size_t count, std::size_t keep) {
    if (count <= capacity_) return;
    std::shared_ptr<std::uint32_t[]> larger(std::make_unique_for_overwrite<std::uint32_t[]>(count));
    if (keep != 0) std::memcpy(larger.get(), data_, std::min(keep, capacity_) * sizeof(std::uint32_t));
    data_ = larger.get();
    owner_ = std::move(larger);
    capacity_ = count;
}

void PixelStore::Adopt(std::uint32_t* data, std::size_t count, std::shared_ptr<void> owner) noexcept {
    owner_ = std::move(owner);
    data_ = data;
    capacity_ = count;
}

Pixels Pixels::ForOverwrite(std::int32_t width, std::int32_t height) {
    if (width < 0 || height < 0) RaiseError(ErrorNumber::InvalidPropertyValue, L"A picture's size cannot be negative.");
    Pixels pixels;
    pixels.store_.Reserve(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    pixels.stride_ = width;
    pixels.rows_ = height;
    pixels.area_ = PictureRect{0, 0, width, height};
    return pixels;
}

Pixels Pixels::OverMemory(std::uint32_t* memory, std::int32_t width, std::int32_t height,
                          std::shared_ptr<void> owner) {
    if (width < 0 || height < 0) RaiseError(ErrorNumber::InvalidPropertyValue, L"A picture's size cannot be negative.");
    Pixels pixels;
    pixels.store_.Adopt(memory, static_cast<std::size_t>(width) * static_cast<std::size_t>(height), std::move(owner));
    pixels.stride_ = width;
    pixels.rows_ = height;
    pixels.area_ = PictureRect{0, 0, width, height};
    return pixels;
}

Pixels Pixels::Copy(const PictureRect& area) const {
    const PictureRect part = Intersection(area, Bounds());
    Pixels copy = ForOverwrite(part.Width(), part.Height());
    for (std::int32_t y = 0; y < part.Height(); ++y) CopyPixels(copy.Row(y), Row(part.top + y) + part.left, part.Width());
    return copy;
}

PictureRect Pixels::Crop(const PictureRect& keep) {
    if (keep.IsEmpty() || Intersection(keep, Bounds()) != keep)
        RaiseError(ErrorNumber::InvalidPropertyValue, L"A crop must keep part of the picture.");
    const PictureRect before = area_;
    area_ = PictureRect{before.left + keep.left, before.top + keep.top, before.left + keep.right,
                        before.top + keep.bottom};
    return before;
}

void Pixels::Uncrop(const PictureRect& before) {
    if (Intersection(before, area_) != area_ || Intersection(before, PictureRect{0, 0, stride_, rows_}) != before)
        RaiseError(ErrorNumber::InvalidPropertyValue, L"The picture is not the one that was cropped.");
    area_ = before;
}

std::optional<Pixels> Pixels::ReplaceBottomRows(std::int32_t count, const Pixels& rows) {
    if (count < 0 || count > Height())
        RaiseError(ErrorNumber::InvalidPropertyValue, L"Only rows of the picture can be replaced.");
    if (count == 0 && rows.Height() == 0) return std::nullopt;
    if (rows.Width() != Width())
        RaiseError(ErrorNumber::InvalidPropertyValue, L"Rows added to a picture must be as wide as the picture.");
    const std::int32_t height = Height() - count;
    // Below the last row in use the memory is free: the rows go there, in rows as long as
    // the memory's (what lies beside them is never shown: only an undone crop would show it,
    // and that comes after these rows are taken off again).
    if (area_.bottom == rows_ && !store_.Shared()) {
        const std::size_t inUse = static_cast<std::size_t>(rows_ - count) * static_cast<std::size_t>(stride_);
        const std::size_t needed = inUse + static_cast<std::size_t>(rows.Height()) * static_cast<std::size_t>(stride_);
        if (needed > store_.Capacity()) store_.Reserve(std::max(needed, store_.Capacity() + store_.Capacity() / 2), inUse);
        rows_ += rows.Height() - count;
        area_.bottom = rows_;
        for (std::int32_t y = 0; y < rows.Height(); ++y) CopyPixels(Row(height + y), rows.Row(y), Width());
        return std::nullopt;
    }
    Pixels grown = ForOverwrite(Width(), height + rows.Height());
    for (std::int32_t y = 0; y < height; ++y) CopyPixels(grown.Row(y), Row(y), Width());
    for (std::int32_t y = 0; y < rows.Height(); ++y) CopyPixels(grown.Row(height + y), rows.Row(y), Width());
    std::swap(*this, grown);
    return std::optional<Pixels>(std::move(grown));
}

void Pixels::ReserveRows(std::int32_t rows) {
    if (rows <= rows_ || area_.bottom != rows_) return;
    const std::size_t inUse = static_cast<std::size_t>(rows_) * static_cast<std::size_t>(stride_);
    store_.Reserve(static_cast<std::size_t>(rows) * static_cast<std::size_t>(stride_), inUse);
}

Pixels Pixels::TakeBottomRows(std::int32_t count) {
    count = std::clamp(count, 0, Height());
    Pixels taken = Copy(PictureRect{0, Height() - count, Width(), Height()});
    // Rows at the end of the memory are the picture's own: they are free again.
    if (area_.bottom == rows_) rows_ -= count;
    area_.bottom -= count;
    return taken;
}

bool Pixels::operator==(const Pixels& other) const noexcept {
    if (Width() != other.Width() || Height() != other.Height()) return false;
    for (std::int32_t y = 0; y < Height(); ++y)
        if (Width() > 0 && std::memcmp(Row(y), other.Row(y), static_cast<std::size_t>(Width()) * sizeof(std::uint32_t)) != 0)
            return false;
    return true;
}
