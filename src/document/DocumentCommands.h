#pragma once
#include <string>

class IFrameHost;

namespace DocumentCommands {
void FileOpen(IFrameHost& frame);
void FileSave(IFrameHost& frame);
void FilePrint(IFrameHost& frame);
void EditCopy(IFrameHost& frame);
void EditEmpty(IFrameHost& frame);
void FileClose(IFrameHost& frame);
// The active document's zoom: a step in or out about the view's centre, 100 %, or the
// whole picture in the window (never enlarged).
void ViewZoomIn(IFrameHost& frame);
void ViewZoomOut(IFrameHost& frame);
void ViewActualSize(IFrameHost& frame);
void ViewFitToWindow(IFrameHost& frame);

// The name File Save suggests for a document with this caption: the caption itself,
// except that the extension of an image format other than a Windows bitmap (photo.jpg)
// becomes ".bmp", since the file written is always a Windows bitmap.
std::wstring SuggestedSaveName(const std::wstring& caption);
}  // namespace DocumentCommands
