#include "capture/CaptureCommands.h"

#include "app/frmMain.h"

namespace CaptureCommands {
// Not yet implemented: the capture engine brings these.
void CaptureActiveWindow(frmMain&) {}
void CaptureScreen(frmMain&) {}
}  // namespace CaptureCommands
