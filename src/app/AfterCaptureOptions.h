#pragma once
#include <string>

#include "platform/rules/CaptureFileName.h"
#include "platform/rules/SaveFormat.h"

// What happens to each capture once its document shows: copied to the clipboard, saved
// into a folder under a name from a pattern. Each off until chosen; kept across runs.
struct AfterCaptureOptions {
    bool copy = false;
    bool save = false;
    std::wstring folder;  // empty: DefaultCaptureFolder()
    std::wstring namePattern = kDefaultCaptureNamePattern;
    SaveFormat format = SaveFormat::Png;

    bool operator==(const AfterCaptureOptions&) const = default;
};

// Whatever the store holds, reading cannot fail: garbage is the default.
AfterCaptureOptions LoadAfterCaptureOptions();
// Raises a run-time error when the store cannot be written.
void StoreAfterCaptureOptions(const AfterCaptureOptions& options);

// The user's Pictures folder (the known-folder API, wherever it has been moved), sub-folder
// Pixelnab; not created here.
std::wstring DefaultCaptureFolder();
// The folder captures go to: the chosen one, else the default.
std::wstring CaptureFolder(const AfterCaptureOptions& options);
