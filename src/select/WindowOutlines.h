#pragma once
#include <vector>

#include <windows.h>

#include "select/SelectorGeometry.h"

// The windows the rectangle selector snaps to, as they stand now, in desktop pixels: every
// visible, uncloaked, unminimised top-level window of another process with its visible
// controls, front to back (see SnapCandidate); not the desktop's background, nor overlays
// that clicks pass through. The selector takes them when the screen
// freezes, so that what it outlines is what the frozen picture shows.
std::vector<SnapCandidate> WindowOutlines(DWORD leftOutProcess);
