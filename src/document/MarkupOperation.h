#pragma once
#include <cstddef>
#include <memory>

#include "document/DocumentOperation.h"
#include "document/Markup.h"

// One change to what is drawn, as one undo step: an object added (no `before`), removed
// (no `after`), or replaced by its edited self (moved, resized, restyled, retyped) at its
// place in the drawing order.
class ObjectOperation final : public DocumentOperation {
public:
    ObjectOperation(std::size_t index, std::shared_ptr<const MarkupObject> before,
                    std::shared_ptr<const MarkupObject> after)
        : index_(index), before_(std::move(before)), after_(std::move(after)) {}
    DocumentChange Apply(DocumentContent& content) override { return Swap(content, before_, after_); }
    DocumentChange Revert(DocumentContent& content) override { return Swap(content, after_, before_); }
    std::size_t StoredBytes() const noexcept override;

private:
    DocumentChange Swap(DocumentContent& content, const std::shared_ptr<const MarkupObject>& from,
                        const std::shared_ptr<const MarkupObject>& to);

    std::size_t index_;
    std::shared_ptr<const MarkupObject> before_;
    std::shared_ptr<const MarkupObject> after_;
};

// Brings an object one place forward in the drawing order (over the one drawn after it).
class ReorderObjectOperation final : public DocumentOperation {
public:
    ReorderObjectOperation(std::size_t from, std::size_t to) : from_(from), to_(to) {}
    DocumentChange Apply(DocumentContent& content) override { return Move(content, from_, to_); }
    DocumentChange Revert(DocumentContent& content) override { return Move(content, to_, from_); }
    std::size_t StoredBytes() const noexcept override { return 0; }

private:
    static DocumentChange Move(DocumentContent& content, std::size_t from, std::size_t to);
    std::size_t from_;
    std::size_t to_;
};

// The memory an object holds beside its own size (its path, text and blocks).
std::size_t ObjectStoredBytes(const MarkupObject& object) noexcept;
