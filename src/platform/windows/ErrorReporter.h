#pragma once
#include <cstdint>
#include <string>
#include <utility>

#include "platform/rules/ErrorTrap.h"

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
