#include "document/History.h"

namespace {

// Moves the last operation of `from` to `to` once `step` has run on it. The room in `to`
// is made first, so that a step that succeeded is always recorded.
template <class Step>
DocumentChange MoveLast(std::vector<std::unique_ptr<DocumentOperation>>& from,
                        std::vector<std::unique_ptr<DocumentOperation>>& to, Step&& step) {
    if (from.empty()) return {};
    to.reserve(to.size() + 1);
    DocumentChange change = step(*from.back());
    to.push_back(std::move(from.back()));
    from.pop_back();
    change.history = true;
    return change;
}

}  // namespace

DocumentChange History::Do(std::unique_ptr<DocumentOperation> operation, DocumentContent& content) {
    done_.reserve(done_.size() + 1);
    DocumentChange change = operation->Apply(content);
    done_.push_back(std::move(operation));
    if (saved_ && *saved_ >= done_.size()) saved_.reset();
    undone_.clear();
    change.history = true;
    return change;
}

DocumentChange History::Undo(DocumentContent& content) {
    return MoveLast(done_, undone_, [&](DocumentOperation& operation) { return operation.Revert(content); });
}

DocumentChange History::Redo(DocumentContent& content) {
    return MoveLast(undone_, done_, [&](DocumentOperation& operation) { return operation.Apply(content); });
}

std::size_t History::StoredBytes() const noexcept {
    std::size_t bytes = 0;
    for (const auto& operation : done_) bytes += operation->StoredBytes();
    for (const auto& operation : undone_) bytes += operation->StoredBytes();
    return bytes;
}
