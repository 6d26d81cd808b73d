#pragma once
// The names automatic saving gives captures: a pattern with fields, made safe for a file
// name, and the numbered variants tried when a name is taken. Pure rules, no Windows headers.
#include <optional>
#include <string>

#include "platform/rules/SaveFormat.h"

// What a capture's name may show.
struct CaptureNameFields {
    int number = 0;            // the capture count: 7 for Nabbet7
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    std::wstring windowTitle;  // the captured window's, empty for a screen or rectangle
};

// The pattern new installations start with.
inline constexpr wchar_t kDefaultCaptureNamePattern[] = L"Nabbet {n} {yyyy}-{MM}-{dd} {HH}{mm}{ss}";

// The pattern with its fields filled: {n}, {yyyy}, {yy}, {MM}, {dd}, {HH}, {mm}, {ss} and
// {title} (names are case-sensitive: {MM} is the month, {mm} the minute). Anything else in
// braces is kept as written. The result is a name a file can have: characters no file
// name may hold (\ / : * ? " < > | and control characters) become "_", leading and
// trailing spaces and trailing dots go, a device name (CON, NUL, COM1 ...) gets a "_" in
// front, a name longer than kMaxCaptureNameLength is cut, and an empty one is "Capture".
std::wstring CaptureFileName(const std::wstring& pattern, const CaptureNameFields& fields);

// Room left in a path for the folder, the " (n)" of a clash and the extension.
inline constexpr std::size_t kMaxCaptureNameLength = 150;

// The attempt-th name tried for a file: the name itself first, then "name (2)",
// "name (3)", ...; attempt counts from 1. The extension follows.
std::wstring NumberedFileName(const std::wstring& name, int attempt, const std::wstring& extension);
