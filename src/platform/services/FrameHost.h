#pragma once
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <windows.h>

#include "platform/pictures/Picture.h"
#include "platform/rules/ScreenGeometry.h"

class CommonDialog;
class DocumentForm;

// A document on its way in: what names it and where its picture comes from.
struct DocumentArrival {
    // The document's title; empty for a numbered one (a capture, a paste): "Nabbet" and
    // the next capture count.
    std::wstring title;
    // Called once the titled document shows. What it throws leaves that document open,
    // empty, and is the caller's to report.
    std::function<Picture()> picture;
    // Runs after the picture is in, before the document is shown (a capture gives the
    // frame back here).
    std::function<void()> beforeShow;
    // Where on the screen the picture came from, asked once it is in (see DocumentForm::Source).
    std::function<std::optional<ScreenSource>()> source;
    // A capture (not a file or a paste): what follows a capture (the copy, the automatic
    // save) follows it once it shows.
    bool capture = false;
    // A capture's window title, asked once the picture is in; empty or none for a screen
    // or a rectangle.
    std::function<std::wstring()> windowTitle;
};

// What the features need of the frame that holds them. The frame implements it; the
// features reach the frame only through it, so that nothing below the application
// knows the frame's class.
class IFrameHost {
public:
    virtual ~IFrameHost() = default;

    // The frame's own window: owner of modal tools and dialogs.
    virtual HWND OwnerWindow() const = 0;
    // The window the documents live in (the MDI client).
    virtual HWND DocumentArea() const = 0;

    // The open documents, in the order they were opened.
    virtual std::vector<std::shared_ptr<DocumentForm>> Documents() const = 0;
    // The active document, or nullptr.
    virtual std::shared_ptr<DocumentForm> ActiveDocument() const = 0;
    // The one way in for every document (capture, paste, open, command line, drop, a
    // second start): makes it, titles it (which loads and shows it at once), gives it its
    // picture, shows it and recomputes the command state. nullptr when the frame closed
    // while the picture was being obtained.
    virtual std::shared_ptr<DocumentForm> AddDocument(const DocumentArrival& arrival) = 0;
    // Called by a document as soon as its window exists: the frame keeps it in its list
    // and learns when its window goes.
    virtual void AdoptDocument(const std::shared_ptr<DocumentForm>& document) = 0;

    // The one rule for "documents are open" that every command state and count uses.
    virtual bool DocumentsOpen() const = 0;

    // Recomputes which commands are enabled and checked.
    virtual void SetAppState() = 0;
    // A document's view (size or zoom) changed: the frame shows the active one's.
    virtual void ViewChanged() = 0;
    // What the active document can undo, redo or crop may have changed: the commands that
    // depend on it follow (only those).
    virtual void EditStateChanged() {}

    virtual bool FrameLoaded() const = 0;
    virtual bool FrameVisible() const = 0;
    virtual void SetFrameVisible(bool visible) = 0;

    // The common dialog shared by Open, Save and Print (its settings carry over).
    virtual CommonDialog& Dialog() = 0;

    // Shows a short text in the status bar's first panel (SetAppState puts "Ready" back).
    virtual void SetStatusText(const std::wstring& /*text*/) {}
};
