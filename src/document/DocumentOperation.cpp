#include "document/DocumentOperation.h"

namespace {

void MoveObjects(MarkupObjects& objects, std::int32_t dx, std::int32_t dy) {
    for (auto& object : objects) object = std::make_shared<const MarkupObject>(Moved(*object, dx, dy));
}

}  // namespace

DocumentChange CropOperation::Apply(DocumentContent& content) {
    before_ = content.pixels.Crop(keep_);
    MoveObjects(content.objects, -keep_.left, -keep_.top);
    selectionBefore_ = content.selection;
    content.selection.reset();
    return DocumentChange{true, content.pixels.Bounds(), true, false};
}

DocumentChange CropOperation::Revert(DocumentContent& content) {
    content.pixels.Uncrop(before_);
    MoveObjects(content.objects, keep_.left, keep_.top);
    content.selection = selectionBefore_;
    return DocumentChange{true, content.pixels.Bounds(), true, false};
}

DocumentChange AppendRowsOperation::Apply(DocumentContent& content) {
    const std::int32_t top = content.pixels.Height() - replaced_;
    Pixels replaced = content.pixels.Copy(PictureRect{0, top, content.pixels.Width(), content.pixels.Height()});
    displaced_ = content.pixels.ReplaceBottomRows(replaced_, rows_);
    replacedRows_ = std::move(replaced);
    count_ = rows_.Height();
    rows_ = Pixels{};
    return DocumentChange{true, PictureRect{0, top, content.pixels.Width(), content.pixels.Height()}, false, false};
}

DocumentChange AppendRowsOperation::Revert(DocumentContent& content) {
    rows_ = content.pixels.TakeBottomRows(count_);
    if (displaced_) {
        content.pixels = std::move(*displaced_);
        displaced_.reset();
    } else {
        content.pixels.AppendRows(replacedRows_);
    }
    replacedRows_ = Pixels{};
    // A selection made in the rows taken off keeps only what is left of it.
    bool selectionChanged = false;
    if (content.selection) {
        const PictureRect inside = Intersection(*content.selection, content.pixels.Bounds());
        selectionChanged = inside != *content.selection;
        if (inside.IsEmpty())
            content.selection.reset();
        else
            content.selection = inside;
    }
    return DocumentChange{true, content.pixels.Bounds(), selectionChanged, false};
}
