#pragma once
#include <cstdint>
#include <new>
#include <string>
#include <utility>

#include "platform/rules/RuntimeError.h"

// The failure being handled: filled by the trap, read by the error reporter,
// cleared when the trapped procedure returns.
struct CurrentError {
    std::int32_t Number = 0;
    std::wstring Description;
};

CurrentError& Err();

// Runs body; if it fails, records the failure as the current error, runs onError,
// and returns normally. Nothing escapes: this is what every event handler runs in.
// Returns true when the body ran to its end.
template <class Body, class OnError>
bool RunTrapped(Body&& body, OnError&& onError) noexcept {
    bool failed = false;
    CurrentError saved = Err();
    try {
        std::forward<Body>(body)();
    } catch (const RuntimeError& e) {
        failed = true;
        Err().Number = e.Number();
        Err().Description = e.Description();
    } catch (const std::bad_alloc&) {
        failed = true;
        Err().Number = ErrorNumber::OutOfMemory;
        Err().Description = L"Out of memory";
    } catch (...) {
        failed = true;
        Err().Number = ErrorNumber::SystemCallFailed;
        Err().Description = L"Unexpected failure";
    }
    if (failed) {
        try {
            std::forward<OnError>(onError)();
        } catch (...) {
        }
    }
    Err() = std::move(saved);
    return !failed;
}
