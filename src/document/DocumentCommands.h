#pragma once
#include <string>

class DocumentForm;
class IFrameHost;

namespace DocumentCommands {
void FileOpen(IFrameHost& frame);
void FileSave(IFrameHost& frame);
void FilePrint(IFrameHost& frame);
void EditCopy(IFrameHost& frame);
void EditEmpty(IFrameHost& frame);
// The active document's edits: undo and redo any change, select the whole picture, and
// keep only the selection.
void EditUndo(IFrameHost& frame);
void EditRedo(IFrameHost& frame);
void EditSelectAll(IFrameHost& frame);
void EditCrop(IFrameHost& frame);
void FileClose(IFrameHost& frame);
// Before an edited document closes: "Save changes to Nabbet3?" Yes saves it as File Save
// does, No lets it go as it is. False when it is to stay open (Cancel, or the save was
// cancelled or failed). A document without changes closes without a question.
bool SaveChangesFirst(IFrameHost& frame, DocumentForm& document);
// The active document's zoom: a step in or out about the view's centre, 100 %, or the
// whole picture in the window (never enlarged).
void ViewZoomIn(IFrameHost& frame);
void ViewZoomOut(IFrameHost& frame);
void ViewActualSize(IFrameHost& frame);
void ViewFitToWindow(IFrameHost& frame);

// Opens a picture file as a new document titled title, exactly as File Open does once its
// dialog is confirmed: a file that cannot be read leaves its empty document and is named in
// the message "Pixelnab cannot find or open " + path. The command line, dropped files and a
// second start open theirs through it (titled with the file's name).
void OpenPictureFile(IFrameHost& frame, const std::wstring& path, const std::wstring& title);
void OpenPictureFile(IFrameHost& frame, const std::wstring& path);

// The name File Save suggests for a document with this caption: the caption itself, except
// that the extension of a picture type Save does not write (photo.gif) becomes ".bmp", the
// type the dialog offers first. Bitmap, PNG and JPEG names (photo.jpg) stay as they are.
std::wstring SuggestedSaveName(const std::wstring& caption);
}  // namespace DocumentCommands
