#include "document/DocumentCommands.h"

#include "app/frmMain.h"

namespace DocumentCommands {
// Not yet implemented: each command arrives with its own subsystem.
void FileOpen(frmMain&) {}
void FileSave(frmMain&) {}
void FilePrint(frmMain&) {}
void EditCopy(frmMain&) {}
void EditEmpty(frmMain&) {}
void FileClose(frmMain&) {}
}  // namespace DocumentCommands
