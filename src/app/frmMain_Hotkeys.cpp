// The frame's capture options: All Screens, Include Pointer, Capture Delay and the global
// hotkeys that start a capture from any program.
#include <windows.h>

#include <string>

#include "app/basMain.h"
#include "app/CaptureToolCommands.h"
#include "app/frmMain.h"
#include "capture/basScreen.h"
#include "capture/CaptureCommands.h"
#include "capture/CaptureOptions.h"
#include "platform/rules/CaptureOptionsText.h"
#include "platform/windows/MessageBoxService.h"
#include "platform/services/SettingsStore.h"
#include "resource.h"

namespace {

const std::wstring kSection = L"Main";

std::wstring ReadSetting(const std::wstring& key, const std::wstring& defaultValue) {
    return SettingsStore().GetSetting(App::Title(), kSection, key, defaultValue);
}

void WriteSetting(const std::wstring& key, const std::wstring& value) {
    SettingsStore().SaveSetting(App::Title(), kSection, key, value);
}

// Hotkey ids are the command's row in the dialog plus one (0 is no id to the system).
int HotkeyId(int command) { return command + 1; }

}  // namespace

void frmMain::SetStatusText(const std::wstring& text) {
    if (IsLoaded() && stbMain_ != nullptr) SetPanelText(1, text);
}

void frmMain::mnuCaptureAllScreens_Click() {
    Observe(L"mnuCaptureAllScreens_Click");
    const auto keepAlive = shared_from_this();  // the frame may close during a countdown
    CaptureCommands::CaptureAllScreens(*this, CaptureSettings());
}

void frmMain::mnuOptionsPointer_Click() {
    Observe(L"mnuOptionsPointer_Click");
    Trapped([&] {
        captureOptions_.pointer = !captureOptions_.pointer;
        ApplyCheckRules(CurrentCommandContext());
    });
}

void frmMain::SetCaptureDelay(int seconds) {
    captureOptions_.delaySeconds = CaptureDelaySetting(std::to_wstring(seconds));
    ApplyCheckRules(CurrentCommandContext());
}

void frmMain::mnuOptionsDelayNone_Click() {
    Observe(L"mnuOptionsDelayNone_Click");
    Trapped([&] { SetCaptureDelay(0); });
}
void frmMain::mnuOptionsDelay3_Click() {
    Observe(L"mnuOptionsDelay3_Click");
    Trapped([&] { SetCaptureDelay(3); });
}
void frmMain::mnuOptionsDelay5_Click() {
    Observe(L"mnuOptionsDelay5_Click");
    Trapped([&] { SetCaptureDelay(5); });
}
void frmMain::mnuOptionsDelay10_Click() {
    Observe(L"mnuOptionsDelay10_Click");
    Trapped([&] { SetCaptureDelay(10); });
}

void frmMain::LoadCaptureOptions() {
    // Whatever the store holds, these readings cannot fail: garbage is the default.
    captureOptions_.delaySeconds = CaptureDelaySetting(ReadSetting(L"CaptureDelay", L"0"));
    captureOptions_.pointer = CapturePointerSetting(ReadSetting(L"CapturePointer", L"False"));
    for (int command = 0; command < kHotkeyCommands; ++command)
        hotkeys_[static_cast<std::size_t>(command)] = HotkeySetting(ReadSetting(HotkeySettingName(command), L""));
}

void frmMain::StoreCaptureOptions() {
    WriteSetting(L"CaptureDelay", CaptureDelayText(captureOptions_.delaySeconds));
    WriteSetting(L"CapturePointer", captureOptions_.pointer ? L"True" : L"False");
}

void frmMain::UnregisterHotkeys() {
    for (int command = 0; command < kHotkeyCommands; ++command) {
        if (hotkeyRegistered_[static_cast<std::size_t>(command)] && hwnd_ != nullptr)
            UnregisterHotKey(hwnd_, HotkeyId(command));
        hotkeyRegistered_[static_cast<std::size_t>(command)] = false;
    }
}

void frmMain::RegisterHotkeys() {
    // Without its window the registration would belong to the thread, not to the frame.
    if (!IsLoaded()) return;
    Trapped([&] {
        UnregisterHotkeys();
        std::wstring refused;
        for (int command = 0; command < kHotkeyCommands; ++command) {
            const HotkeyCombination& hotkey = hotkeys_[static_cast<std::size_t>(command)];
            if (hotkey.IsNone()) continue;
            // Held down, a hotkey captures once, not once per repeat.
            const bool registered =
                RegisterHotKey(hwnd_, HotkeyId(command), HotkeyModifiers(hotkey) | MOD_NOREPEAT,
                               static_cast<UINT>(hotkey.key)) != FALSE;
            hotkeyRegistered_[static_cast<std::size_t>(command)] = registered;
            if (!registered)
                refused += L"\r\n" + FormatHotkey(hotkey) + L" for " + HotkeyCommandName(command);
        }
        if (!refused.empty())
            MessageBoxService().Show(MessageBoxOwner(),
                                     L"Windows refused these hotkeys, most likely because another program uses "
                                     L"them:\r\n" + refused +
                                         L"\r\n\r\nThe other hotkeys work. Choose other keys in Options > Hotkeys.",
                                     MB_OK | MB_ICONEXCLAMATION, App::Title());
    });
}

void frmMain::mnuOptionsHotkeys_Click() {
    Observe(L"mnuOptionsHotkeys_Click");
    Trapped([&] {
        // While the dialog shows, the combinations must reach its boxes, not start captures.
        UnregisterHotkeys();
        HotkeyAssignments edited = hotkeys_;
        const bool changed = HotkeyDialog().Edit(hwnd_, edited);
        if (!IsLoaded()) return;
        if (changed) {
            hotkeys_ = edited;
            // A store that cannot be written is reported; the keys still work for this run.
            Trapped([&] {
                for (int command = 0; command < kHotkeyCommands; ++command)
                    WriteSetting(HotkeySettingName(command),
                                 FormatHotkey(hotkeys_[static_cast<std::size_t>(command)]));
            });
        }
        RegisterHotkeys();
    });
}

void frmMain::Hotkey_Pressed(int command) {
    if (command < 0 || command >= kHotkeyCommands || !IsLoaded()) return;
    // Not while a dialog, a selection tool or another capture has the frame.
    if (!IsWindowEnabled(hwnd_) || CaptureCommands::CaptureInProgress()) return;
    const auto keepAlive = shared_from_this();
    Observe(L"Hotkey_Pressed");
    const int before = gintCaptureCount;
    switch (static_cast<HotkeyCommand>(command)) {
    case HotkeyCommand::Screen:
        CaptureCommands::CaptureScreen(*this, CaptureSettings());
        break;
    case HotkeyCommand::ActiveWindow: {
        // The window in front now, as the key goes down, not the one in front after hiding.
        const HWND target = WindowInFrontOf(hwnd_);
        CaptureCommands::CaptureActiveWindow(*this, CaptureSettings(), target);
        break;
    }
    case HotkeyCommand::Window:
        CaptureCommands::CaptureWindow(*this, CaptureSettings());
        break;
    case HotkeyCommand::Rectangle:
        CaptureCommands::CaptureRectangle(*this, CaptureSettings());
        break;
    case HotkeyCommand::AllScreens:
        CaptureCommands::CaptureAllScreens(*this, CaptureSettings());
        break;
    }
    // A capture taken while the frame was minimised shows, as one from the menu does (its
    // document was laid out for the restored frame: WM_SIZE leaves a minimised frame's
    // document area as it was).
    if (IsLoaded() && gintCaptureCount != before && IsIconic(hwnd_)) ShowWindow(hwnd_, SW_RESTORE);
}
