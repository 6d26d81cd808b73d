#include "capture/CaptureCommands.h"

#include "app/frmMain.h"

namespace CaptureCommands {
// Not yet implemented: the selection tools bring these.
void CaptureRectangle(frmMain&) {}
void CaptureWindow(frmMain&) {}
}  // namespace CaptureCommands
