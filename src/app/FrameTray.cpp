// The notification-area icon and "Start with Windows".
#include "app/FrameTray.h"

#include <shellapi.h>
#include <windowsx.h>

#include <cwchar>

#include "app/FrameSettings.h"
#include "platform/controls/DocumentForm.h"
#include "platform/rules/RuntimeError.h"
#include "platform/services/FrameHost.h"
#include "platform/windows/AppInfo.h"
#include "platform/windows/Handles.h"
#include "resource.h"

namespace {

constexpr UINT kIconId = 1;
constexpr wchar_t kKeepSetting[] = L"KeepInNotificationArea";
constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr wchar_t kRunValue[] = L"Pixelnab";

NOTIFYICONDATAW IconData(HWND owner) {
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data;
    data.hWnd = owner;
    data.uID = kIconId;
    return data;
}

template <std::size_t N>
void CopyText(wchar_t (&target)[N], const std::wstring& text) {
    wcsncpy(target, text.c_str(), N - 1);
    target[N - 1] = L'\0';
}

}  // namespace

FrameTray::FrameTray(IFrameHost& frame) : frame_(frame), taskbarCreated_(RegisterWindowMessageW(L"TaskbarCreated")) {}

void FrameTray::Load() {
    keep_ = ReadFrameSetting(kKeepSetting, L"False") == L"True";
    if (keep_) AddIcon();
}

void FrameTray::SetKeepInNotificationArea(bool keep) {
    WriteFrameSetting(kKeepSetting, keep ? L"True" : L"False");
    keep_ = keep;
    if (HidesFrame()) {
        AddIcon();
    } else {
        // Never leave the program running with neither window nor icon.
        if (inTray_) ShowFrame();
        RemoveIcon();
    }
}

void FrameTray::StartHidden() {
    session_ = true;
    AddIcon();
    inTray_ = true;
}

void FrameTray::Remove() {
    RemoveIcon();
    inTray_ = false;
}

void FrameTray::HideFrame() {
    if (!frame_.FrameLoaded()) return;
    AddIcon();
    inTray_ = true;
    ShowWindow(frame_.OwnerWindow(), SW_HIDE);
}

void FrameTray::ShowFrame() {
    if (!frame_.FrameLoaded()) return;
    inTray_ = false;
    const HWND owner = frame_.OwnerWindow();
    ShowWindow(owner, IsIconic(owner) ? SW_RESTORE : SW_SHOW);
    SetForegroundWindow(owner);
}

void FrameTray::AddIcon() {
    const HWND owner = frame_.OwnerWindow();
    if (owner == nullptr) return;
    NOTIFYICONDATAW data = IconData(owner);
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_SHOWTIP;
    data.uCallbackMessage = kCallbackMessage;
    // The shell keeps its own copy of the icon.
    const unique_hicon icon(static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_MAIN), IMAGE_ICON,
                                                          GetSystemMetrics(SM_CXSMICON),
                                                          GetSystemMetrics(SM_CYSMICON), 0)));
    data.hIcon = icon.get();
    CopyText(data.szTip, App::Title());
    if (shown_) {
        Shell_NotifyIconW(NIM_MODIFY, &data);
        return;
    }
    shown_ = Shell_NotifyIconW(NIM_ADD, &data) != FALSE;
    // Version 4: the menu and selection arrive as WM_CONTEXTMENU and NIN_SELECT with the
    // anchor point, also from the keyboard.
    data.uVersion = NOTIFYICON_VERSION_4;
    if (shown_) Shell_NotifyIconW(NIM_SETVERSION, &data);
}

void FrameTray::RemoveIcon() {
    if (!shown_) return;
    NOTIFYICONDATAW data = IconData(frame_.OwnerWindow());
    Shell_NotifyIconW(NIM_DELETE, &data);
    shown_ = false;
}

void FrameTray::NotifyCaptured(const std::shared_ptr<DocumentForm>& document, const std::wstring& detail) {
    if (!document) return;
    notified_ = document;
    lastNotification_ = document->Caption() + L" " + (detail.empty() ? L"is ready: click here to see it." : detail);
    AddIcon();
    NOTIFYICONDATAW data = IconData(frame_.OwnerWindow());
    data.uFlags = NIF_INFO;
    CopyText(data.szInfoTitle, App::Title());
    CopyText(data.szInfo, lastNotification_);
    data.dwInfoFlags = NIIF_INFO;
    Shell_NotifyIconW(NIM_MODIFY, &data);
}

void FrameTray::OpenNotifiedDocument() {
    ShowFrame();
    const auto document = notified_.lock();
    if (document && document->IsLoaded())
        SendMessageW(frame_.DocumentArea(), WM_MDIACTIVATE, reinterpret_cast<WPARAM>(document->hWnd()), 0);
}

bool FrameTray::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == taskbarCreated_ && taskbarCreated_ != 0) {
        // Explorer restarted: its new taskbar knows no icon of ours.
        if (shown_) {
            shown_ = false;
            AddIcon();
        }
        return true;
    }
    if (message != kCallbackMessage) return false;
    switch (LOWORD(lParam)) {
    case WM_CONTEXTMENU:
        ShowMenu(POINT{GET_X_LPARAM(wParam), GET_Y_LPARAM(wParam)});
        break;
    case WM_RBUTTONUP: {  // a shell that ignored version 4
        if (HIWORD(lParam) == kIconId) break;
        POINT at{};
        GetCursorPos(&at);
        ShowMenu(at);
        break;
    }
    case NIN_SELECT:
    case NIN_KEYSELECT:
    case WM_LBUTTONDBLCLK:
        ShowFrame();
        break;
    case NIN_BALLOONUSERCLICK:
        OpenNotifiedDocument();
        break;
    default:
        break;
    }
    return true;
}

void FrameTray::ShowMenu(POINT at) {
    const HWND owner = frame_.OwnerWindow();
    unique_hmenu menu(LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_TRAYMENU)));
    HMENU popup = menu ? GetSubMenu(menu.get(), 0) : nullptr;
    if (popup == nullptr) return;
    SetMenuDefaultItem(popup, IDM_TRAY_SHOW, FALSE);
    // The capture commands are greyed exactly as in the frame's own menu; while the frame
    // is disabled (a dialog of it is open) nothing but Show Pixelnab may start.
    const bool frameFree = IsWindowEnabled(owner) != FALSE;
    for (const UINT id : {IDM_CAPTURE_RECTANGLE, IDM_CAPTURE_ACTIVEWINDOW, IDM_CAPTURE_WINDOW, IDM_CAPTURE_SCREEN,
                          IDM_CAPTURE_ALLSCREENS, IDM_CAPTURE_LASTRECTANGLE}) {
        const UINT state = GetMenuState(GetMenu(owner), id, MF_BYCOMMAND);
        const bool enabled = frameFree && state != static_cast<UINT>(-1) && (state & (MF_GRAYED | MF_DISABLED)) == 0;
        EnableMenuItem(popup, id, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
    }
    EnableMenuItem(popup, IDM_FILE_EXIT, MF_BYCOMMAND | (frameFree ? MF_ENABLED : MF_GRAYED));
    // Without the foreground the menu would not close on a click elsewhere; the null
    // message afterwards lets it close at once (the documented pair for notification menus).
    const HWND before = GetForegroundWindow();
    SetForegroundWindow(owner);
    const UINT chosen = static_cast<UINT>(TrackPopupMenuEx(popup, TPM_RIGHTBUTTON | TPM_RETURNCMD | TPM_NONOTIFY,
                                                           at.x, at.y, owner, nullptr));
    PostMessageW(owner, WM_NULL, 0, 0);
    if (chosen == IDM_TRAY_SHOW) {
        ShowFrame();
        return;
    }
    if (chosen == 0) return;
    // Active Window takes the window that was in front before the menu took the foreground.
    if (chosen == IDM_CAPTURE_ACTIVEWINDOW && before != nullptr && before != owner) SetForegroundWindow(before);
    PostMessageW(owner, WM_COMMAND, chosen, 0);  // as the frame's own menu item
}

// ---- Start with Windows ----

std::wstring StartWithWindowsCommand() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    return L"\"" + path + L"\" /tray";
}

bool StartsWithWindows() {
    DWORD type = 0;
    return RegGetValueW(HKEY_CURRENT_USER, kRunKey, kRunValue, RRF_RT_REG_SZ | RRF_NOEXPAND, &type, nullptr, nullptr) ==
           ERROR_SUCCESS;
}

void SetStartWithWindows(bool start) {
    HKEY key = nullptr;
    LSTATUS status = RegCreateKeyExW(HKEY_CURRENT_USER, kRunKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr);
    if (status == ERROR_SUCCESS) {
        if (start) {
            const std::wstring command = StartWithWindowsCommand();
            status = RegSetValueExW(key, kRunValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                                    static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)));
        } else {
            status = RegDeleteValueW(key, kRunValue);
            if (status == ERROR_FILE_NOT_FOUND) status = ERROR_SUCCESS;
        }
        RegCloseKey(key);
    }
    if (status != ERROR_SUCCESS)
        RaiseError(ErrorNumber::SystemCallFailed, L"The start entry for Windows cannot be changed");
}
