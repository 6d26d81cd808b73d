#include "platform/rules/SettingsText.h"

#include "platform/rules/Conversions.h"

bool HideCaptureFromSetting(std::wstring_view text) { return text != L"False"; }

std::wstring HideCaptureToSetting(bool hide) { return hide ? L"True" : L"False"; }

float TwipsFromSetting(std::wstring_view text) { return TextToSingle(text); }

std::wstring TwipsToSetting(float twips) { return SingleToText(twips); }
