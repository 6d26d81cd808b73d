#pragma once
#include <windows.h>

#include "platform/Picture.h"
#include "platform/ScreenCapture.h"

// The window captures: the area each kind takes, clipped to the desktop (every
// monitor).
Picture CaptureForegroundWindow();
Picture CaptureWindowByHandle(HWND hWnd);
