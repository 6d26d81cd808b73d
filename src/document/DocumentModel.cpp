#include "document/DocumentModel.h"

#include <algorithm>

void DocumentModel::Select(const PictureRect& area) {
    const PictureRect inside = Intersection(area, content_.pixels.Bounds());
    SetSelection(inside.IsEmpty() ? std::nullopt : std::optional(inside));
}

std::optional<std::size_t> DocumentModel::ObjectIndex(std::uint64_t id) const noexcept {
    for (std::size_t i = 0; i < content_.objects.size(); ++i)
        if (content_.objects[i]->id == id) return i;
    return std::nullopt;
}

void DocumentModel::SelectAll() { Select(content_.pixels.Bounds()); }

void DocumentModel::ClearSelection() { SetSelection(std::nullopt); }

void DocumentModel::SetSelection(std::optional<PictureRect> selection) {
    if (selection == content_.selection) return;
    content_.selection = selection;
    DocumentChange change;
    change.selection = true;
    Notify(change);
}

Pixels DocumentModel::SelectedPixels() const {
    return content_.pixels.Copy(content_.selection.value_or(content_.pixels.Bounds()));
}

bool DocumentModel::CanCrop() const noexcept {
    return content_.selection && *content_.selection != content_.pixels.Bounds();
}

void DocumentModel::CropToSelection() {
    if (CanCrop()) Do(std::make_unique<CropOperation>(*content_.selection));
}

void DocumentModel::Do(std::unique_ptr<DocumentOperation> operation) {
    Notify(history_.Do(std::move(operation), content_));
}

void DocumentModel::Undo() {
    if (CanUndo()) Notify(history_.Undo(content_));
}

void DocumentModel::Redo() {
    if (CanRedo()) Notify(history_.Redo(content_));
}

void DocumentModel::MarkSaved() {
    if (!IsModified()) return;
    history_.MarkSaved();
    DocumentChange change;
    change.history = true;
    Notify(change);
}

int DocumentModel::Subscribe(ChangeListener listener) {
    listeners_.emplace_back(++lastSubscription_, std::move(listener));
    return lastSubscription_;
}

void DocumentModel::Unsubscribe(int subscription) noexcept {
    const auto it = std::find_if(listeners_.begin(), listeners_.end(),
                                 [&](const auto& entry) { return entry.first == subscription; });
    if (it == listeners_.end()) return;
    if (notifying_ != 0)
        it->second = nullptr;  // erased once the round ends: the round walks the list by index
    else
        listeners_.erase(it);
}

void DocumentModel::Notify(const DocumentChange& change) {
    ++notifying_;
    struct EndOfRound {
        DocumentModel& model;
        ~EndOfRound() {
            if (--model.notifying_ == 0)
                std::erase_if(model.listeners_, [](const auto& entry) { return !entry.second; });
        }
    } endOfRound{*this};
    // A listener may subscribe others (told from the next change on) or end subscriptions.
    const std::size_t count = listeners_.size();
    for (std::size_t i = 0; i < count; ++i) {
        const ChangeListener listener = listeners_[i].second;  // the list may grow during the call
        if (listener) listener(change);
    }
}
