#pragma once
#include <string>

class frmMain;

namespace DocumentCommands {
void FileOpen(frmMain& frame);
void FileSave(frmMain& frame);
void FilePrint(frmMain& frame);
void EditCopy(frmMain& frame);
void EditEmpty(frmMain& frame);
void FileClose(frmMain& frame);

// The name File Save suggests for a document with this caption: the caption itself,
// except that the extension of an image format other than a Windows bitmap (photo.jpg)
// becomes ".bmp", since the file written is always a Windows bitmap.
std::wstring SuggestedSaveName(const std::wstring& caption);
}  // namespace DocumentCommands
