#pragma once
#include <functional>
#include <optional>
#include <string>

#include "platform/pictures/Picture.h"
#include "platform/rules/ScreenGeometry.h"
#include "platform/windows/Form.h"

// A document as the rest of the program sees it: a form holding one picture. Whoever
// keeps the list of documents learns through the closed handler when its window goes.
class DocumentForm : public Form {
public:
    virtual Picture DocumentPicture() const = 0;
    virtual void SetDocumentPicture(Picture picture) = 0;
    // What the status bar says of this document's view; nothing by default.
    virtual std::wstring ViewDescription() const { return {}; }
    // What the status bar says of the pointer over the document; nothing by default.
    virtual std::wstring PointerDescription() const { return {}; }

    // What the edit commands may do with the document.
    struct EditState {
        bool selection = false;  // something is selected
        bool crop = false;       // the selection is smaller than the picture
        bool undo = false;
        bool redo = false;
        bool modified = false;   // differs from what was last saved or opened
        bool objectPicked = false;  // a drawn object is picked (it can be brought forward or deleted)
        bool operator==(const EditState&) const = default;
    };
    virtual EditState Edits() const { return {}; }

    // Where on the screen the picture was captured, for a Rectangle, Window or Scrolling
    // Window capture; none for any other document.
    const std::optional<ScreenSource>& Source() const noexcept { return source_; }
    void SetSource(const std::optional<ScreenSource>& source) { source_ = source; }

    using ClosedHandler = std::function<void(DocumentForm& document)>;
    void SetClosedHandler(ClosedHandler handler) { closed_ = std::move(handler); }

protected:
    void OnWindowGone() override;

private:
    ClosedHandler closed_;
    std::optional<ScreenSource> source_;
};
