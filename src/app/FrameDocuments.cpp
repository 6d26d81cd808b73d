// The documents of the frame: how they come in, which is active, and how they go.
#include "app/FrameDocuments.h"

#include <string>
#include <utility>

#include "capture/CaptureCommands.h"
#include "document/DocumentCommands.h"
#include "platform/rules/Conversions.h"
#include "platform/windows/DeferredFrames.h"
#include "platform/controls/DocumentForm.h"
#include "platform/rules/RuntimeError.h"

FrameDocuments::FrameDocuments(IFrameHost& frame, DocumentMaker newDocument)
    : frame_(frame), newDocument_(std::move(newDocument)) {}

// Loaded forms are counted, not only documents, on purpose: a selection tool or About box
// still loaded counts too, so that Close All stops with an error on a form it cannot close
// instead of looping, and the command state follows the same count. Every rule that asks
// whether documents are open asks here.
bool FrameDocuments::AnyOpen() { return Forms::Count() > 1; }

std::shared_ptr<DocumentForm> FrameDocuments::Add(const DocumentArrival& arrival) {
    auto document = newDocument_();
    std::wstring title = arrival.title;
    if (title.empty()) {
        gintCaptureCount = AddInt16(gintCaptureCount, 1);
        title = L"Nabbet" + IntegerToText(gintCaptureCount);
    }
    // Titling loads the document: it shows at once, still without a picture.
    document->SetCaption(title);
    Picture picture = arrival.picture ? arrival.picture() : Picture{};
    // Obtaining the picture may have run messages, and the frame may be gone with them.
    if (!frame_.FrameLoaded()) return nullptr;
    document->SetDocumentPicture(std::move(picture));
    if (arrival.source) document->SetSource(arrival.source());
    if (arrival.beforeShow) arrival.beforeShow();
    document->Show();
    frame_.SetAppState();
    if (arrival.capture && captured_ && document->IsLoaded())
        captured_(*document, gintCaptureCount, arrival.windowTitle ? arrival.windowTitle() : std::wstring());
    return document;
}

void FrameDocuments::Adopt(const std::shared_ptr<DocumentForm>& document) {
    documents_.push_back(document);
    document->SetClosedHandler([this](DocumentForm& closed) { Closed(closed); });
}

void FrameDocuments::Closed(DocumentForm& document) {
    std::shared_ptr<DocumentForm> last;  // released once the list is consistent again
    for (auto it = documents_.begin(); it != documents_.end(); ++it) {
        if (it->get() == &document) {
            last = std::move(*it);
            documents_.erase(it);
            break;
        }
    }
    // A document going changes which commands apply.
    if (frame_.FrameLoaded()) {
        frame_.SetAppState();
        frame_.ViewChanged();
    }
}

std::shared_ptr<DocumentForm> FrameDocuments::Active() const {
    const HWND area = frame_.DocumentArea();
    if (area == nullptr) return nullptr;
    const HWND active = reinterpret_cast<HWND>(SendMessageW(area, WM_MDIGETACTIVE, 0, 0));
    if (active == nullptr) return nullptr;
    for (const auto& document : documents_)
        if (document->hWnd() == active) return document;
    return nullptr;
}

std::shared_ptr<Form> FrameDocuments::ActiveForm() const {
    const HWND area = frame_.DocumentArea();
    if (area == nullptr) return nullptr;
    const HWND active = reinterpret_cast<HWND>(SendMessageW(area, WM_MDIGETACTIVE, 0, 0));
    if (active == nullptr) return nullptr;
    for (int i = 0; i < Forms::Count(); ++i) {
        auto form = Forms::Item(i);
        if (form->hWnd() == active) return form;
    }
    return nullptr;
}

void FrameDocuments::Arrange(int arrangement) {
    UINT message = 0;
    WPARAM how = 0;
    switch (arrangement) {
    case 0: message = WM_MDICASCADE; break;
    case 1: message = WM_MDITILE; how = MDITILE_HORIZONTAL; break;
    case 2: message = WM_MDITILE; how = MDITILE_VERTICAL; break;
    case 3: message = WM_MDIICONARRANGE; break;
    default: RaiseError(ErrorNumber::InvalidPropertyValue, L"Invalid procedure call or argument");
    }
    const HWND area = frame_.DocumentArea();
    const DeferredFrames deferred(area);
    SendMessageW(area, message, how, 0);
}

bool FrameDocuments::SaveChangesBeforeClosing() {
    // Every question first: a Cancel on the last one still closes nothing.
    const auto documents = documents_;
    for (auto it = documents.rbegin(); it != documents.rend(); ++it)
        if ((*it)->IsLoaded() && !DocumentCommands::SaveChangesFirst(frame_, **it)) return false;
    return true;
}

bool FrameDocuments::QueryEndSession() {
    bool edited = false;
    for (const auto& document : documents_) edited = edited || (document->IsLoaded() && document->Edits().modified);
    if (!edited) return true;
    // Windows waits while the questions are open and says why to the user logging off.
    const HWND frame = frame_.OwnerWindow();
    ShutdownBlockReasonCreate(frame, L"Pixelnab has unsaved changes");
    const bool leave = SaveChangesBeforeClosing();
    ShutdownBlockReasonDestroy(frame);
    return leave;
}

void FrameDocuments::CloseAll() {
    if (!SaveChangesBeforeClosing()) return;
    const DeferredFrames deferred(frame_.DocumentArea());
    while (AnyOpen()) {
        auto active = ActiveForm();
        if (!active) RaiseObjectNotSet();
        active->Unload();
    }
    frame_.SetAppState();
}

void FrameDocuments::UnloadAll() {
    const auto documents = documents_;
    for (auto it = documents.rbegin(); it != documents.rend(); ++it)
        if ((*it)->IsLoaded()) (*it)->Unload();
}
