#pragma once
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "document/DocumentOperation.h"
#include "document/History.h"
#include "document/PixelRects.h"
#include "document/Pixels.h"

// A document without its window: the picture's pixels, the selection, the undo history and
// the modified flag. Every change is told to the subscribers, once, after it is made.
class DocumentModel {
public:
    explicit DocumentModel(Pixels pixels) { content_.pixels = std::move(pixels); }
    DocumentModel(const DocumentModel&) = delete;
    DocumentModel& operator=(const DocumentModel&) = delete;

    const Pixels& PicturePixels() const noexcept { return content_.pixels; }
    // What is drawn on the picture, bottom first (changed only through operations).
    const MarkupObjects& Objects() const noexcept { return content_.objects; }
    // The place in the drawing order of the object with this id, or none.
    std::optional<std::size_t> ObjectIndex(std::uint64_t id) const noexcept;

    // The selection, in picture pixels, always within the picture; none when empty.
    const std::optional<PictureRect>& Selection() const noexcept { return content_.selection; }
    // Selects what of `area` lies in the picture: nothing there clears the selection.
    void Select(const PictureRect& area);
    void SelectAll();
    void ClearSelection();
    // What Copy takes: the selection's pixels, or the whole picture without a selection.
    Pixels SelectedPixels() const;

    // Crop to Selection: only with a selection smaller than the picture.
    bool CanCrop() const noexcept;
    void CropToSelection();

    // Applies an operation as the next undo step.
    void Do(std::unique_ptr<DocumentOperation> operation);
    bool CanUndo() const noexcept { return history_.CanUndo(); }
    bool CanRedo() const noexcept { return history_.CanRedo(); }
    void Undo();
    void Redo();

    // Modified: differs from what was last saved (or opened), by the history's count.
    bool IsModified() const noexcept { return !history_.IsAtSavedPoint(); }
    void MarkSaved();
    // No step done, or all of them undone: the pixels are exactly those the document came
    // in with, so what leaves the program can be the original picture.
    bool IsUntouched() const noexcept { return history_.StepsDone() == 0; }

    // Subscribers are told each change; the number returned ends the subscription, which
    // may be ended from within a notification.
    using ChangeListener = std::function<void(const DocumentChange&)>;
    int Subscribe(ChangeListener listener);
    void Unsubscribe(int subscription) noexcept;

    // The memory the document holds: the picture's and what its history keeps.
    std::size_t StoredBytes() const noexcept { return content_.pixels.StoredBytes() + history_.StoredBytes(); }

private:
    void SetSelection(std::optional<PictureRect> selection);
    void Notify(const DocumentChange& change);

    DocumentContent content_;
    History history_;
    std::vector<std::pair<int, ChangeListener>> listeners_;  // an ended one stays empty until the round ends
    int lastSubscription_ = 0;
    int notifying_ = 0;
};
