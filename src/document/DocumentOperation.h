#pragma once
#include <cstddef>
#include <optional>

#include "document/Markup.h"
#include "document/PixelRects.h"
#include "document/Pixels.h"

// What an edit changed, for whoever shows the document.
struct DocumentChange {
    bool resized = false;    // the picture's size changed: all of it is new
    PictureRect pixels;      // picture pixels that now look different (empty: none)
    bool selection = false;  // the selection changed
    bool history = false;    // CanUndo, CanRedo or IsModified may have changed
};

// Everything an operation may change.
struct DocumentContent {
    Pixels pixels;
    std::optional<PictureRect> selection;  // always within the picture
    MarkupObjects objects;                 // drawn on the picture, bottom first
};

// One step of the undo history: a small value that applies itself to the content and
// reverts it exactly. It keeps only what it needs to revert, never a copy of the picture.
// Apply and Revert alternate, Apply first; each leaves the content as it was when it fails.
class DocumentOperation {
public:
    virtual ~DocumentOperation() = default;
    virtual DocumentChange Apply(DocumentContent& content) = 0;
    virtual DocumentChange Revert(DocumentContent& content) = 0;
    // The memory held for reverting or applying again.
    virtual std::size_t StoredBytes() const noexcept = 0;
};

// Keeps only a rectangle of the picture. What it removes stays in the picture's memory,
// hidden (see Pixels), so it holds no pixels itself. The selection goes; Revert brings it back.
// What is drawn keeps its place on the picture: it moves with the kept rectangle's corner.
class CropOperation final : public DocumentOperation {
public:
    explicit CropOperation(const PictureRect& keep) : keep_(keep) {}
    DocumentChange Apply(DocumentContent& content) override;
    DocumentChange Revert(DocumentContent& content) override;
    std::size_t StoredBytes() const noexcept override { return 0; }

private:
    PictureRect keep_;
    PictureRect before_;
    std::optional<PictureRect> selectionBefore_;
};

// Adds rows below the picture (a scrolling capture's continuation), as one step: in place
// of its last `replaced` rows when the capture kept a footer there (the rows end with it).
class AppendRowsOperation final : public DocumentOperation {
public:
    explicit AppendRowsOperation(Pixels rows, std::int32_t replaced = 0) : rows_(std::move(rows)), replaced_(replaced) {}
    DocumentChange Apply(DocumentContent& content) override;
    DocumentChange Revert(DocumentContent& content) override;
    std::size_t StoredBytes() const noexcept override {
        return rows_.StoredBytes() + replacedRows_.StoredBytes() + (displaced_ ? displaced_->StoredBytes() : 0);
    }

private:
    Pixels rows_;  // while applied the rows live in the picture only
    std::int32_t replaced_ = 0;
    Pixels replacedRows_;  // while applied: the rows the new ones took the place of
    std::int32_t count_ = 0;
    std::optional<Pixels> displaced_;  // the picture before, when the rows would have covered pixels a crop hid
};
