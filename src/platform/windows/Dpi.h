#pragma once
// A window's DPI and what depends on it: system metrics, the system's fonts, and twips
// laid out at it. Twips keep counting 1440 to the inch at the system DPI (stored settings
// and the forms' properties rely on it); a window on a monitor of another scale shows the
// same layout grown or shrunk by its DPI over the system's.
#include <windows.h>

#include "platform/windows/Handles.h"

namespace Dpi {
// The system DPI, the one twips are counted in.
int System();
// The DPI of the monitor a window is on (through the screen service).
int OfWindow(HWND window);
// Pixels counted at the system DPI, at dpi.
int FromSystem(int pixels, int dpi);
// A rectangle in twips (left, top, width, height) in pixels at dpi: at the system DPI
// exactly Twips::ToPixelRect.
RECT TwipsToPixelRect(double left, double top, double width, double height, int dpi);
// GetSystemMetrics for the DPI.
int Metric(int index, int dpi);
// The non-client metrics (menu, caption, status and message fonts) for the DPI.
NONCLIENTMETRICSW NonClientMetrics(int dpi);
// The system's message font (labels, buttons, dialogs) and status font at the DPI.
unique_hfont MessageFont(int dpi);
unique_hfont StatusFont(int dpi);
// Applies the rectangle a WM_DPICHANGED suggests (its lParam).
void ApplySuggestedRect(HWND window, LPARAM suggested);
}  // namespace Dpi
