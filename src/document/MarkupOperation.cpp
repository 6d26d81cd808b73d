#include "document/MarkupOperation.h"

#include <algorithm>
#include <iterator>

#include "platform/rules/RuntimeError.h"

namespace {

PictureRect Union(const PictureRect& a, const PictureRect& b) noexcept {
    if (a.IsEmpty()) return b;
    if (b.IsEmpty()) return a;
    return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right), std::max(a.bottom, b.bottom)};
}

PictureRect BoundsOf(const std::shared_ptr<const MarkupObject>& object) {
    return object ? ObjectBounds(*object) : PictureRect{};
}

}  // namespace

DocumentChange ObjectOperation::Swap(DocumentContent& content, const std::shared_ptr<const MarkupObject>& from,
                                     const std::shared_ptr<const MarkupObject>& to) {
    auto& objects = content.objects;
    const auto at = objects.begin() + static_cast<std::ptrdiff_t>(std::min(index_, objects.size()));
    if (from && (index_ >= objects.size() || objects[index_] != from))
        RaiseError(ErrorNumber::InvalidPropertyValue, L"The drawing is not the one that was edited.");
    if (from && to) {
        objects[index_] = to;
    } else if (to) {
        objects.insert(at, to);
    } else if (from) {
        objects.erase(at);
    }
    DocumentChange change;
    change.pixels = Intersection(Union(BoundsOf(from), BoundsOf(to)), content.pixels.Bounds());
    return change;
}

std::size_t ObjectOperation::StoredBytes() const noexcept {
    std::size_t bytes = 0;
    for (const auto& object : {before_, after_})
        if (object) bytes += sizeof(MarkupObject) + ObjectStoredBytes(*object);
    return bytes;
}

DocumentChange ReorderObjectOperation::Move(DocumentContent& content, std::size_t from, std::size_t to) {
    auto& objects = content.objects;
    if (from >= objects.size() || to >= objects.size())
        RaiseError(ErrorNumber::InvalidPropertyValue, L"The drawing is not the one that was edited.");
    const auto object = objects[from];
    objects.erase(objects.begin() + static_cast<std::ptrdiff_t>(from));
    objects.insert(objects.begin() + static_cast<std::ptrdiff_t>(to), object);
    DocumentChange change;
    change.pixels = Intersection(ObjectBounds(*object), content.pixels.Bounds());
    return change;
}

std::size_t ObjectStoredBytes(const MarkupObject& object) noexcept {
    return object.points.capacity() * sizeof(PicturePoint) + object.text.capacity() * sizeof(wchar_t) +
           object.style.fontName.capacity() * sizeof(wchar_t) +
           object.pixelated.colours.capacity() * sizeof(std::uint32_t);
}
