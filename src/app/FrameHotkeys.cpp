// The global hotkeys: stored combinations, registration, the Hotkeys dialog and a press.
#include "app/FrameHotkeys.h"

#include <string>

#include <windows.h>

#include "app/CaptureToolCommands.h"
#include "app/FrameSettings.h"
#include "app/ScrollingCapture.h"
#include "capture/basScreen.h"
#include "capture/CaptureCommands.h"
#include "capture/CaptureOptions.h"
#include "platform/windows/MessageBoxService.h"
#include "platform/windows/AppInfo.h"
#include "platform/windows/ErrorReporter.h"
#include "platform/services/FrameHost.h"

namespace {

// Hotkey ids are the command's row in the dialog plus one (0 is no id to the system).
int HotkeyId(int command) { return command + 1; }

}  // namespace

void FrameHotkeys::Load() {
    for (int command = 0; command < kHotkeyCommands; ++command)
        hotkeys_[static_cast<std::size_t>(command)] = HotkeySetting(ReadFrameSetting(HotkeySettingName(command), L""));
}

void FrameHotkeys::Unregister() {
    const HWND frame = frame_.OwnerWindow();
    for (int command = 0; command < kHotkeyCommands; ++command) {
        if (registered_[static_cast<std::size_t>(command)] && frame != nullptr) UnregisterHotKey(frame, HotkeyId(command));
        registered_[static_cast<std::size_t>(command)] = false;
    }
}

void FrameHotkeys::Register() {
    // Without its window the registration would belong to the thread, not to the frame.
    if (!frame_.FrameLoaded()) return;
    Trapped([&] {
        Unregister();
        std::wstring refused;
        bool printScreenRefused = false;
        for (int command = 0; command < kHotkeyCommands; ++command) {
            const HotkeyCombination& hotkey = hotkeys_[static_cast<std::size_t>(command)];
            if (hotkey.IsNone()) continue;
            // Held down, a hotkey captures once, not once per repeat.
            const bool registered =
                RegisterHotKey(frame_.OwnerWindow(), HotkeyId(command), HotkeyModifiers(hotkey) | MOD_NOREPEAT,
                               static_cast<UINT>(hotkey.key)) != FALSE;
            registered_[static_cast<std::size_t>(command)] = registered;
            if (!registered) {
                refused += L"\r\n" + FormatHotkey(hotkey) + L" for " + HotkeyCommandName(command);
                // Windows 11 keeps the bare key for its own Snipping Tool unless told otherwise.
                if (hotkey.key == VK_SNAPSHOT && !hotkey.ctrl && !hotkey.alt && !hotkey.shift && !hotkey.win)
                    printScreenRefused = true;
            }
        }
        if (refused.empty()) return;
        std::wstring text = L"Windows refused these hotkeys, most likely because another program uses them:\r\n" +
                            refused + L"\r\n\r\n";
        if (printScreenRefused)
            text += L"Windows uses the PrintScreen key for its own screen capture tool. To give the key to "
                    L"Pixelnab, turn off \"Use the Print screen key to open screen capture\" in "
                    L"Settings > Accessibility > Keyboard, then choose the key again in Options > Hotkeys.\r\n\r\n";
        text += L"The other hotkeys work. Choose other keys in Options > Hotkeys.";
        MessageBoxService().Show(MessageBoxOwner(), text, MB_OK | MB_ICONEXCLAMATION, App::Title());
    });
}

void FrameHotkeys::Edit() {
    // While the dialog shows, the combinations must reach its boxes, not start captures.
    Unregister();
    HotkeyAssignments edited = hotkeys_;
    const bool changed = HotkeyDialog().Edit(frame_.OwnerWindow(), edited);
    if (!frame_.FrameLoaded()) return;
    if (changed) Replace(edited);
    Register();
}

void FrameHotkeys::Replace(const HotkeyAssignments& hotkeys) {
    hotkeys_ = hotkeys;
    // A store that cannot be written is reported; the keys still work for this run.
    Trapped([&] {
        for (int command = 0; command < kHotkeyCommands; ++command)
            WriteFrameSetting(HotkeySettingName(command), FormatHotkey(hotkeys_[static_cast<std::size_t>(command)]));
    });
}

bool FrameHotkeys::Accepts(int command) const {
    if (command < 0 || command >= kHotkeyCommands || !frame_.FrameLoaded()) return false;
    return IsWindowEnabled(frame_.OwnerWindow()) && !CaptureCommands::CaptureInProgress();
}

std::optional<EdgeRect> FrameHotkeys::Capture(int command, const CaptureOptions& options) {
    const HWND frame = frame_.OwnerWindow();
    const int before = gintCaptureCount;
    std::optional<EdgeRect> confirmed;
    switch (static_cast<HotkeyCommand>(command)) {
    case HotkeyCommand::Screen:
        CaptureCommands::CaptureScreen(frame_, options);
        break;
    case HotkeyCommand::ActiveWindow:
        // The window in front now, as the key goes down, not the one in front after hiding.
        CaptureCommands::CaptureActiveWindow(frame_, options, WindowInFrontOf(frame));
        break;
    case HotkeyCommand::Window:
        CaptureCommands::CaptureWindow(frame_, options);
        break;
    case HotkeyCommand::Rectangle:
        confirmed = CaptureCommands::CaptureRectangle(frame_, options);
        break;
    case HotkeyCommand::AllScreens:
        CaptureCommands::CaptureAllScreens(frame_, options);
        break;
    case HotkeyCommand::LastRectangle:
        CaptureCommands::CaptureLastRectangle(frame_, options);
        break;
    case HotkeyCommand::ScrollingWindow:
        CaptureCommands::CaptureScrollingWindow(frame_, options);
        break;
    case HotkeyCommand::ExtendDown:
        CaptureCommands::ExtendDown(frame_, options);
        break;
    }
    // A capture taken while the frame was minimised shows, as one from the menu does (its
    // document was laid out for the restored frame: WM_SIZE leaves a minimised frame's
    // document area as it was).
    // One hidden in the notification area stays there.
    if (frame_.FrameLoaded() && gintCaptureCount != before && IsIconic(frame) && frame_.FrameVisible())
        ShowWindow(frame, SW_RESTORE);
    return confirmed;
}
