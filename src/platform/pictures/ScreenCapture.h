#pragma once
// Screen pixels into pictures: the primitives every capture and the rectangle selector use.
#include <cstdint>
#include <memory>

#include <windows.h>
#include <olectl.h>

#include "platform/pictures/Picture.h"
#include "platform/rules/DesktopGeometry.h"
#include "platform/rules/ScreenGeometry.h"

// Copies a rectangle of a window's device context (whole window when client is false;
// with no window, the screen's: every monitor, in virtual-screen pixels) into a new
// bitmap of the display's format; on a 256-colour palette display the picture also
// carries a copy of the system palette. Failures are reported and give an empty picture;
// a bitmap that cannot be made for a non-empty area is the out-of-memory error (7).
Picture CaptureWindowArea(HWND hWnd, bool client, std::int32_t left, std::int32_t top, std::int32_t width,
                          std::int32_t height);

// The whole primary screen, its size in pixels as the screen service gives it.
Picture CaptureWholeScreen();
// Any area of the desktop, in virtual-screen pixels: it may lie on any monitor, or
// across several.
Picture CaptureDesktopArea(const EdgeRect& area);

// The same read of a desktop area, made on a pooled thread from the moment this is
// made, while the caller's thread goes on with other things (the selector's window is made
// ready meanwhile). Take() waits for it and gives the picture, failures reported as
// CaptureDesktopArea reports them; a reading never taken leaves nothing behind.
class DesktopAreaReading {
public:
    explicit DesktopAreaReading(const EdgeRect& area);
    ~DesktopAreaReading();
    DesktopAreaReading(const DesktopAreaReading&) = delete;
    DesktopAreaReading& operator=(const DesktopAreaReading&) = delete;
    Picture Take();

private:
    struct State;
    std::unique_ptr<State> state_;
};

// A window's outer rectangle in screen pixels as the user sees it: the desktop window
// manager's visible frame bounds where it reports them, GetWindowRect elsewhere. All
// zeros for a handle that is not a window.
RECT VisibleWindowRect(HWND hWnd);

// True for a palette device with exactly 256 entries; any other palette size counts
// as true colour.
bool IsPaletteDisplay(int rasterCaps, int paletteSize);

// Test seam: the device's capabilities, replaceable so that the palette branch can be
// shown on any display. nullptr restores. (The picture maker's seam is in Picture.h.)
namespace basScreenSeams {
using DeviceCapsReader = int(WINAPI*)(HDC dc, int index);
void SetDeviceCapsReader(DeviceCapsReader reader);
}  // namespace basScreenSeams
