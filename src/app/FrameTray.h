#pragma once
#include <memory>
#include <string>

#include <windows.h>

class DocumentForm;
class IFrameHost;

// The notification-area icon: with "Keep in the notification area" on (or when started
// with /tray) the frame has an icon there whose menu holds the capture commands, Show
// Pixelnab and Exit; minimising or closing the frame hides it there instead of ending the
// program, and a capture taken meanwhile leaves the frame hidden and says so in a
// notification, whose click shows the frame with that document.
class FrameTray {
public:
    // The icon's callback message to the frame.
    static constexpr UINT kCallbackMessage = WM_APP + 0x70;

    explicit FrameTray(IFrameHost& frame);

    // Reads the option and puts the icon there when it is on.
    void Load();
    // The option as the Start-up page sets it: stored at once; the icon follows.
    bool KeepInNotificationArea() const noexcept { return keep_; }
    void SetKeepInNotificationArea(bool keep);
    // /tray: the icon for this run whatever the option, the frame hidden there.
    void StartHidden();
    // The icon goes (the program ends).
    void Remove();

    // Whether minimising or closing the frame hides it in the notification area.
    bool HidesFrame() const noexcept { return keep_ || session_; }
    // The frame is hidden in the notification area (not merely hidden for a capture).
    bool FrameInTray() const noexcept { return inTray_; }
    void HideFrame();
    // Shows the frame again, restored, in front.
    void ShowFrame();

    // A document made while the frame is in the notification area: a notification says
    // so; what, beyond the name, comes from after.
    void NotifyCaptured(const std::shared_ptr<DocumentForm>& document, const std::wstring& detail);
    // The text of the last notification (empty when none was shown).
    const std::wstring& LastNotification() const noexcept { return lastNotification_; }

    // The icon's messages; true when the message was the icon's.
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // The icon's menu at a point of the screen, as a right click on the icon shows it.
    void ShowMenu(POINT at);
    // Whether the icon is there now.
    bool IconShown() const noexcept { return shown_; }

private:
    void AddIcon();
    void RemoveIcon();
    void OpenNotifiedDocument();

    IFrameHost& frame_;
    // Explorer broadcasts it when the taskbar (re)starts: the icon must be added again.
    UINT taskbarCreated_ = 0;
    bool keep_ = false;
    bool session_ = false;
    bool inTray_ = false;
    bool shown_ = false;
    std::weak_ptr<DocumentForm> notified_;
    std::wstring lastNotification_;
};

// "Start with Windows": a per-user start entry (HKCU ...\CurrentVersion\Run, value
// Pixelnab) that starts this program in the notification area.
bool StartsWithWindows();
// Raises a run-time error when the entry cannot be written or removed.
void SetStartWithWindows(bool start);
// The command line the entry holds: this program's path, quoted, and /tray.
std::wstring StartWithWindowsCommand();
