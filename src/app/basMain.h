#pragma once
#include <cstdint>

#include "platform/windows/AppInfo.h"
#include "platform/windows/ErrorReporter.h"

// True while the frame is to be hidden during captures.
extern bool gblnHideCaptureWin;
