#pragma once
// The capture options as they are written in the settings store, read and written as
// plain text: hotkeys ("Ctrl+Shift+F9"), the delay and the pointer option. Pure rules,
// without the Windows headers: key codes are the platform's virtual-key numbers as ints.
#include <optional>
#include <string>

#include "platform/rules/ScreenGeometry.h"

namespace KeyCode {
// The virtual-key numbers the rules name; letters and digits are their ASCII codes.
constexpr int Backspace = 0x08, Tab = 0x09, Enter = 0x0D, Shift = 0x10, Control = 0x11, Menu = 0x12,
              Pause = 0x13, CapsLock = 0x14, Escape = 0x1B, Space = 0x20, PageUp = 0x21, PageDown = 0x22,
              End = 0x23, Home = 0x24, Left = 0x25, Up = 0x26, Right = 0x27, Down = 0x28, PrintScreen = 0x2C,
              Insert = 0x2D, Delete = 0x2E, LeftWin = 0x5B, RightWin = 0x5C, Apps = 0x5D, Numpad0 = 0x60,
              Multiply = 0x6A, Add = 0x6B, Subtract = 0x6D, Decimal = 0x6E, Divide = 0x6F, F1 = 0x70, F24 = 0x87,
              NumLock = 0x90, ScrollLock = 0x91, LeftShift = 0xA0, RightMenu = 0xA5;
}  // namespace KeyCode

// A key combination: modifiers and one key (a virtual-key number, 0 for none).
struct HotkeyCombination {
    bool ctrl = false;
    bool alt = false;
    bool shift = false;
    bool win = false;
    int key = 0;

    bool IsNone() const noexcept { return key == 0; }
    bool operator==(const HotkeyCombination&) const = default;
};

// The name of a key as the settings and the dialog show it ("F9", "A", "PrintScreen"),
// or an empty string for a key that cannot be part of a hotkey (none, a modifier, a
// lock key, or one without a name here).
std::wstring HotkeyKeyName(int key);

// "Ctrl+Alt+Shift+Win+Key" with only the modifiers held, in that order; empty for none
// or for a key without a name.
std::wstring FormatHotkey(const HotkeyCombination& hotkey);

// Reads the text FormatHotkey writes. Modifier names are read in any order and in any
// letter case, each at most once; surrounding blanks are ignored. Empty text is none
// (an empty combination); anything else that is not a combination gives no value.
std::optional<HotkeyCombination> ParseHotkey(const std::wstring& text);

// The stored hotkey as the program uses it: unreadable text counts as none.
HotkeyCombination HotkeySetting(const std::wstring& text);

// The delays the Options menu offers, in seconds.
constexpr int kCaptureDelays[] = {0, 3, 5, 10};
// "3", "5" or "10" exactly; anything else is no delay.
int CaptureDelaySetting(const std::wstring& text);
std::wstring CaptureDelayText(int seconds);

// "True" or "False"; anything else reads as the default, False.
bool CapturePointerSetting(const std::wstring& text);

// How high a scrolling capture's picture may grow: whole pixels, 100 to 1,000,000; anything
// else (empty, garbage, out of range) is the default.
constexpr std::int32_t kDefaultScrollLimit = 30000;
std::int32_t ScrollLimitSetting(const std::wstring& text);

// The last rectangle a Rectangle capture confirmed, in desktop pixels: "left,top,right,bottom".
std::wstring LastRectangleText(const EdgeRect& rect);
// Reads what LastRectangleText writes: four whole numbers that fit 32 bits, commas between
// them, blanks around each allowed; a rectangle with no area, or anything else, gives no value.
std::optional<EdgeRect> ParseLastRectangle(const std::wstring& text);
