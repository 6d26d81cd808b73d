#pragma once

class frmMain;

namespace DocumentCommands {
void FileOpen(frmMain& frame);
void FileSave(frmMain& frame);
void FilePrint(frmMain& frame);
void EditCopy(frmMain& frame);
void EditEmpty(frmMain& frame);
void FileClose(frmMain& frame);
}  // namespace DocumentCommands
