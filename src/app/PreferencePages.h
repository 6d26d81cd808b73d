#pragma once
#include <vector>

#include "app/AfterCaptureOptions.h"
#include "app/HotkeyDialog.h"
#include "capture/CaptureOptions.h"
#include "platform/services/PropertySheet.h"

// What Options > Preferences edits: a copy of the frame's options, given back on OK.
struct Preferences {
    CaptureOptions capture;  // Hide, Include Pointer, Magnifier, Capture Delay
    AfterCaptureOptions afterCapture;
    HotkeyAssignments hotkeys{};
    // The number the next capture gets, for the name shown as an example.
    int nextCaptureNumber = 1;
    bool keepInNotificationArea = false;
    bool startWithWindows = false;
};

// The sheet's pages, in tab order, each editing its part of preferences (which must
// outlive the sheet). A new page is one more entry here.
enum class PreferencePage { Capture, AfterCapture, Hotkeys, Startup };
std::vector<PropertySheetPage> PreferencePages(Preferences& preferences);

// The name an automatic save would give a capture numbered number taken now, with its
// extension: the example the After Capture page shows under the pattern.
std::wstring ExampleCaptureFileName(const AfterCaptureOptions& options, int number);
