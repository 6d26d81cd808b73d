#include "capture/CaptureCommands.h"

#include "app/frmMain.h"

namespace CaptureCommands {
// Not yet implemented: each command arrives with its own subsystem.
void CaptureRectangle(frmMain&) {}
void CaptureActiveWindow(frmMain&) {}
void CaptureWindow(frmMain&) {}
void CaptureScreen(frmMain&) {}
}  // namespace CaptureCommands
