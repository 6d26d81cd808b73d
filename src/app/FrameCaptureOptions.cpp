#include "app/FrameCaptureOptions.h"

#include <string>

#include "app/basMain.h"
#include "app/FrameSettings.h"
#include "platform/rules/CaptureOptionsText.h"
#include "platform/rules/SettingsText.h"

CaptureOptions FrameCaptureOptions::Current() const {
    CaptureOptions options = options_;
    options.hideFrame = gblnHideCaptureWin;
    return options;
}

void FrameCaptureOptions::TogglePointer() { options_.pointer = !options_.pointer; }

void FrameCaptureOptions::ToggleMagnifier() { options_.magnifier = !options_.magnifier; }

void FrameCaptureOptions::SetDelay(int seconds) {
    options_.delaySeconds = CaptureDelaySetting(std::to_wstring(seconds));
}

void FrameCaptureOptions::SetChosen(const CaptureOptions& chosen) {
    options_.pointer = chosen.pointer;
    options_.magnifier = chosen.magnifier;
    SetDelay(chosen.delaySeconds);
}

void FrameCaptureOptions::RememberRectangle(const EdgeRect& rect) {
    options_.lastRectangle = rect;
    // Written now rather than at exit: hotkey captures run while the frame may never get a
    // clean exit (the session ending, another instance started), and the rectangle is the
    // one thing here the user had to make by hand.
    WriteFrameSetting(L"LastRectangle", LastRectangleText(rect));
}

void FrameCaptureOptions::Load() {
    options_.delaySeconds = CaptureDelaySetting(ReadFrameSetting(L"CaptureDelay", L"0"));
    options_.pointer = CapturePointerSetting(ReadFrameSetting(L"CapturePointer", L"False"));
    // On unless switched off: like the hide option, only "False" turns it off.
    options_.magnifier = HideCaptureFromSetting(ReadFrameSetting(L"Magnifier", L"True"));
    options_.lastRectangle = ParseLastRectangle(ReadFrameSetting(L"LastRectangle", L""));
    // Read only: a setting for the few who need taller pictures (or fear the memory).
    options_.scrollLimit = ScrollLimitSetting(ReadFrameSetting(L"ScrollLimit", L""));
}

void FrameCaptureOptions::Store() const {
    WriteFrameSetting(L"CaptureDelay", CaptureDelayText(options_.delaySeconds));
    WriteFrameSetting(L"CapturePointer", options_.pointer ? L"True" : L"False");
    WriteFrameSetting(L"Magnifier", HideCaptureToSetting(options_.magnifier));
}
