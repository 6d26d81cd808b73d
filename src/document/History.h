#pragma once
#include <cstddef>
#include <memory>
#include <optional>
#include <vector>

#include "document/DocumentOperation.h"

// The undo history: the operations done, in order, and those undone since, ready to redo.
// It remembers how many steps were done when the document was last saved, so that undoing
// or redoing back to that state makes the document unmodified again.
class History {
public:
    // Applies the operation and records it; what was undone before can no longer be redone.
    DocumentChange Do(std::unique_ptr<DocumentOperation> operation, DocumentContent& content);
    // Both do nothing (an empty change) when there is nothing to undo or redo.
    DocumentChange Undo(DocumentContent& content);
    DocumentChange Redo(DocumentContent& content);

    bool CanUndo() const noexcept { return !done_.empty(); }
    bool CanRedo() const noexcept { return !undone_.empty(); }
    std::size_t StepsDone() const noexcept { return done_.size(); }

    void MarkSaved() noexcept { saved_ = done_.size(); }
    bool IsAtSavedPoint() const noexcept { return saved_ == done_.size(); }

    std::size_t StoredBytes() const noexcept;

private:
    std::vector<std::unique_ptr<DocumentOperation>> done_;
    std::vector<std::unique_ptr<DocumentOperation>> undone_;  // the latest undone last
    // Steps done at the last save (none at first); empty once that state was among the
    // undone steps a new operation discarded.
    std::optional<std::size_t> saved_ = 0;
};
