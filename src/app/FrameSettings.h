#pragma once
#include <string>

// The frame's values in the settings store: the program's own, section "Main".
std::wstring ReadFrameSetting(const std::wstring& key, const std::wstring& defaultValue);
// Raises a run-time error when the value cannot be written.
void WriteFrameSetting(const std::wstring& key, const std::wstring& value);
