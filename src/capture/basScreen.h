#pragma once
#include <windows.h>

#include "platform/pictures/Picture.h"
#include "platform/pictures/ScreenCapture.h"

// The window captures: the area each kind takes, clipped to the desktop (every
// monitor).
Picture CaptureWindowByHandle(HWND hWnd);
// The screen rectangle a window capture of hWnd copies (its outer rectangle, clipped).
RECT WindowCaptureArea(HWND hWnd);

// The whole desktop across all monitors, in screen pixels (on one monitor, the screen).
RECT VirtualScreenRect();
Picture CaptureVirtualScreen();

// The window a hotkey's Active Window takes: the one in front, unless that is the frame
// or a window it owns; then the first ordinary window below the frame, or the desktop
// when there is none.
HWND WindowInFrontOf(HWND frame);
