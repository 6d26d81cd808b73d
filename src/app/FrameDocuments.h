#pragma once
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/services/FrameHost.h"

class DocumentForm;
class Form;

// The frame's open documents: the one way every document comes in, the list in the order
// they were opened, the active one, their arrangement, and the questions asked before
// they close.
class FrameDocuments {
public:
    using DocumentMaker = std::function<std::shared_ptr<DocumentForm>()>;

    // frame: the frame the documents live in (its document area, its command state);
    // newDocument makes a document object for it, not loaded yet.
    FrameDocuments(IFrameHost& frame, DocumentMaker newDocument);

    // The one rule for "documents are open".
    static bool AnyOpen();

    const std::vector<std::shared_ptr<DocumentForm>>& All() const noexcept { return documents_; }
    // Called once a capture's document shows, with its number and the captured window's title.
    using CaptureHandler = std::function<void(DocumentForm& document, int number, const std::wstring& windowTitle)>;
    void SetCaptureHandler(CaptureHandler handler) { captured_ = std::move(handler); }

    // See IFrameHost::AddDocument.
    std::shared_ptr<DocumentForm> Add(const DocumentArrival& arrival);
    // Keeps the document in the list until its window goes.
    void Adopt(const std::shared_ptr<DocumentForm>& document);

    std::shared_ptr<DocumentForm> Active() const;
    // The frame's active child window's form, document or not, or nullptr.
    std::shared_ptr<Form> ActiveForm() const;
    // 0 cascade, 1 tile horizontally, 2 tile vertically, 3 icons.
    void Arrange(int arrangement);

    // For each edited document, newest first, "Save changes to ...?"; false: cancelled.
    bool SaveChangesBeforeClosing();
    // Log-off: the same questions, with Windows told to wait; false keeps the session.
    bool QueryEndSession();
    // Window > Close All: the questions, then the active form until the frame is the only
    // one loaded (a loaded form that is no document stops it with an error).
    void CloseAll();
    // Closes every document, newest first, without a question (the frame is going).
    void UnloadAll();

private:
    void Closed(DocumentForm& document);

    IFrameHost& frame_;
    DocumentMaker newDocument_;
    CaptureHandler captured_;
    std::vector<std::shared_ptr<DocumentForm>> documents_;
};
