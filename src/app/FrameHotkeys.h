#pragma once
#include <array>
#include <optional>

#include "app/HotkeyDialog.h"

class IFrameHost;
struct CaptureOptions;

// The global hotkeys that start a capture from any program: the combinations as stored,
// their registration for the frame's window, Options > Hotkeys, and what a press captures.
class FrameHotkeys {
public:
    explicit FrameHotkeys(IFrameHost& frame) : frame_(frame) {}

    // The combinations in force, as stored, and whether the system accepted each.
    const HotkeyAssignments& Assignments() const noexcept { return hotkeys_; }
    bool Registered(int command) const noexcept { return registered_[static_cast<std::size_t>(command)]; }

    // Whatever the store holds, reading cannot fail: garbage is no hotkey.
    void Load();
    // Registers every assigned hotkey and reports, in one message, those the system refuses.
    void Register();
    void Unregister();
    // Options > Hotkeys: the dialog, then the keys it chose stored and registered.
    void Edit();
    // Keys chosen elsewhere (Preferences): in force and stored. The caller has unregistered
    // the old ones and registers the new.
    void Replace(const HotkeyAssignments& hotkeys);

    // Whether a press of the command's hotkey captures now: not while a dialog, a
    // selection tool or another capture has the frame.
    bool Accepts(int command) const;
    // The command's capture, Active Window taking the window that was in front; gives the
    // rectangle a Rectangle capture confirmed.
    std::optional<EdgeRect> Capture(int command, const CaptureOptions& options);

private:
    IFrameHost& frame_;
    HotkeyAssignments hotkeys_{};
    std::array<bool, kHotkeyCommands> registered_{};
};
