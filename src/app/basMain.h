#pragma once
#include <cstdint>

#include "platform/AppInfo.h"
#include "platform/ErrorReporter.h"

// True while the frame is to be hidden during captures.
extern bool gblnHideCaptureWin;
