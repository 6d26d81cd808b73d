#pragma once
// Options > Hotkeys: the dialog that assigns a key combination to each capture command.
#include <array>
#include <functional>
#include <optional>
#include <string>
#include <utility>

#include <windows.h>

#include "platform/rules/CaptureOptionsText.h"

// The capture commands a hotkey can start, in the dialog's order.
enum class HotkeyCommand { Screen, ActiveWindow, Window, Rectangle, AllScreens, LastRectangle, ScrollingWindow, ExtendDown };
constexpr int kHotkeyCommands = 8;
using HotkeyAssignments = std::array<HotkeyCombination, kHotkeyCommands>;

// The settings value of each command ("HotkeyScreen", ...) and its menu path for messages.
const wchar_t* HotkeySettingName(int command);
const wchar_t* HotkeyCommandName(int command);

// Two commands with the same combination: the pair, the earlier first.
std::optional<std::pair<int, int>> FindSharedHotkey(const HotkeyAssignments& hotkeys);

// The system's hotkey modifiers (MOD_CONTROL ...) and the hotkey box's (HOTKEYF_CONTROL ...).
UINT HotkeyModifiers(const HotkeyCombination& hotkey);
HotkeyCombination FromHotkeyBox(WORD value, bool win);
WORD ToHotkeyBox(const HotkeyCombination& hotkey);

// The rows of hotkey boxes, Win check boxes and None buttons (IDC_HOTKEY_FIRST...) in the
// Hotkeys dialog and on the Hotkeys page of Preferences: filled, read back, a None click
// handled (true when id was one).
void FillHotkeyControls(HWND dialog, const HotkeyAssignments& hotkeys);
HotkeyAssignments ReadHotkeyControls(HWND dialog);
bool HotkeyControlCommand(HWND dialog, int id);
// Two commands with one combination: the message that says so and the box to fix.
std::optional<std::pair<std::wstring, int>> SharedHotkeyProblem(const HotkeyAssignments& hotkeys);

// Shows the dialog modally over owner, filled with hotkeys; on OK, hotkeys holds what the
// user chose and the result is true.
class IHotkeyDialog {
public:
    virtual ~IHotkeyDialog() = default;
    virtual bool Edit(HWND owner, HotkeyAssignments& hotkeys) = 0;
};

IHotkeyDialog& HotkeyDialog();
void SetHotkeyDialog(IHotkeyDialog* dialog);  // nullptr restores the real one

// Test seam for the real dialog: called once the dialog shows and its modal loop runs,
// with the dialog window, so that a test can press its keys and buttons.
void SetHotkeyDialogScript(std::function<void(HWND dialog)> script);
