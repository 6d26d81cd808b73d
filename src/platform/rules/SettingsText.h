#pragma once
#include <string>
#include <string_view>

// How the frame's stored settings read and write as text, apart from the store itself.

// The Hide Capture Window option: only "False" turns it off. "True" and any other text
// (a value edited by hand, garbage in the store) reads as on, the default.
bool HideCaptureFromSetting(std::wstring_view text);
std::wstring HideCaptureToSetting(bool hide);  // "True" or "False"

// A position or size in twips: TextToSingle's rules (blanks around it allowed; error 13
// for anything that is not a number, 6 for one beyond single precision).
float TwipsFromSetting(std::wstring_view text);
// The shortest text that reads back to the same value ("6500", "2512.5").
std::wstring TwipsToSetting(float twips);
