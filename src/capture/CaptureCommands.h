#pragma once

class frmMain;

namespace CaptureCommands {
void CaptureRectangle(frmMain& frame);
void CaptureActiveWindow(frmMain& frame);
void CaptureWindow(frmMain& frame);
void CaptureScreen(frmMain& frame);
}  // namespace CaptureCommands
