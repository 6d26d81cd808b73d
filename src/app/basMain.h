#pragma once
#include <cstdint>
#include <string>
#include <utility>

#include "platform/ErrorTrap.h"

// True while the frame is to be hidden during captures.
extern bool gblnHideCaptureWin;
// Capture counter: 0 at every start, one more for each capture, never stored.
extern std::int16_t gintCaptureCount;

// The application object: its title and its help file.
namespace App {
const std::wstring& Title();
// Pixelnab.chm beside the executable.
std::wstring HelpFile();
}  // namespace App

// Shows the current error: "Error #: " number, a carriage return, the description;
// titled "Error", exclamation icon, OK only.
void ReportError();

// Builds the text ReportError shows.
std::wstring ErrorMessageText(std::int32_t number, const std::wstring& description);

// The error trap of an ordinary handler: a failure ends the body and is reported.
template <class Body>
bool Trapped(Body&& body) noexcept {
    return RunTrapped(std::forward<Body>(body), [] { ReportError(); });
}
