#pragma once
// The desktop made of several monitors, as plain rules of pixel rectangles.
#include <optional>
#include <vector>

#include "platform/rules/ScreenGeometry.h"

// One monitor in virtual-screen pixels: the primary's top-left corner is 0,0, so a monitor
// left of or above it has negative coordinates.
struct MonitorArea {
    EdgeRect Bounds;
    EdgeRect WorkArea;
    bool Primary = false;
};

// The smallest rectangle holding every monitor (what Windows calls the virtual screen);
// all zeros for no monitor.
EdgeRect DesktopBounds(const std::vector<MonitorArea>& monitors);

// Clips a window rectangle to a desktop that may begin left of or above 0,0: each edge on
// its own, a near edge beyond either side of the desktop becomes the desktop's near edge,
// a far edge beyond either side its far edge; an edge exactly on the desktop's stays.
EdgeRect ClipToDesktop(EdgeRect rect, const EdgeRect& desktop);

// What of rect lies on the desktop, or no value when nothing of it does (an edge on the
// desktop's edge leaves nothing).
std::optional<EdgeRect> IntersectDesktop(const EdgeRect& rect, const EdgeRect& desktop);

// True when at least minimumVisible x minimumVisible pixels of the window lie on one
// monitor; a window over a gap between monitors, or on one no longer present, is not.
bool ShowsOnAMonitor(const EdgeRect& window, const std::vector<MonitorArea>& monitors, int minimumVisible);
