// The pages of Options > Preferences: Capture, After Capture, Hotkeys and Start-up.
#include "app/PreferencePages.h"

#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <array>
#include <string>

#include "platform/rules/CaptureOptionsText.h"
#include "platform/windows/Handles.h"
#include "resource.h"

namespace {

bool Checked(HWND page, int id) { return IsDlgButtonChecked(page, id) == BST_CHECKED; }
void Check(HWND page, int id, bool on) { CheckDlgButton(page, id, on ? BST_CHECKED : BST_UNCHECKED); }

std::wstring ControlText(HWND page, int id) {
    const HWND control = GetDlgItem(page, id);
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
    return text;
}

void AddChoices(HWND page, int id, std::initializer_list<const wchar_t*> choices, int selected) {
    for (const wchar_t* choice : choices)
        SendDlgItemMessageW(page, id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(choice));
    SendDlgItemMessageW(page, id, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
}

int Selected(HWND page, int id) { return static_cast<int>(SendDlgItemMessageW(page, id, CB_GETCURSEL, 0, 0)); }

PropertySheetPage CapturePage(CaptureOptions& options) {
    PropertySheetPage page;
    page.title = L"Capture";
    page.templateId = IDD_PREFS_CAPTURE;
    page.load = [&options](HWND window) {
        Check(window, IDC_PREF_HIDE, options.hideFrame);
        Check(window, IDC_PREF_POINTER, options.pointer);
        Check(window, IDC_PREF_MAGNIFIER, options.magnifier);
        int selected = 0;
        for (std::size_t i = 0; i < std::size(kCaptureDelays); ++i)
            if (kCaptureDelays[i] == options.delaySeconds) selected = static_cast<int>(i);
        AddChoices(window, IDC_PREF_DELAY, {L"None", L"3 seconds", L"5 seconds", L"10 seconds"}, selected);
    };
    page.save = [&options](HWND window) {
        options.hideFrame = Checked(window, IDC_PREF_HIDE);
        options.pointer = Checked(window, IDC_PREF_POINTER);
        options.magnifier = Checked(window, IDC_PREF_MAGNIFIER);
        const int selected = Selected(window, IDC_PREF_DELAY);
        options.delaySeconds = selected >= 0 && selected < static_cast<int>(std::size(kCaptureDelays))
                                   ? kCaptureDelays[selected]
                                   : 0;
    };
    return page;
}

// The After Capture page's type list, in this order.
constexpr std::array<SaveFormat, 3> kAutoSaveTypes{SaveFormat::Png, SaveFormat::Jpeg, SaveFormat::Bitmap};

AfterCaptureOptions ReadAfterCapture(HWND window, const AfterCaptureOptions& before) {
    AfterCaptureOptions options = before;
    options.copy = Checked(window, IDC_PREF_COPY);
    options.save = Checked(window, IDC_PREF_SAVE);
    options.folder = ControlText(window, IDC_PREF_FOLDER);
    // The default folder shown as it is stays "the default": it follows the Pictures folder.
    if (options.folder == DefaultCaptureFolder()) options.folder.clear();
    options.namePattern = ControlText(window, IDC_PREF_NAME);
    const int type = Selected(window, IDC_PREF_TYPE);
    if (type >= 0 && type < static_cast<int>(kAutoSaveTypes.size())) options.format = kAutoSaveTypes[static_cast<std::size_t>(type)];
    return options;
}

// The folder, name and type apply only with saving on; the example follows the pattern.
void ShowSaveState(HWND window, const AfterCaptureOptions& before, int number) {
    const bool save = Checked(window, IDC_PREF_SAVE);
    for (const int id : {IDC_PREF_FOLDER_LABEL, IDC_PREF_FOLDER, IDC_PREF_BROWSE, IDC_PREF_NAME_LABEL, IDC_PREF_NAME,
                         IDC_PREF_EXAMPLE, IDC_PREF_FIELDS, IDC_PREF_TYPE_LABEL, IDC_PREF_TYPE})
        EnableWindow(GetDlgItem(window, id), save ? TRUE : FALSE);
    const std::wstring example = L"For example: " + ExampleCaptureFileName(ReadAfterCapture(window, before), number);
    SetDlgItemTextW(window, IDC_PREF_EXAMPLE, example.c_str());
}

void BrowseForFolder(HWND window) {
    BROWSEINFOW browse{};
    browse.hwndOwner = GetParent(window);
    browse.lpszTitle = L"Folder for the captures saved automatically:";
    browse.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
    PIDLIST_ABSOLUTE chosen = SHBrowseForFolderW(&browse);
    if (chosen == nullptr) return;
    wchar_t path[MAX_PATH]{};
    if (SHGetPathFromIDListW(chosen, path)) SetDlgItemTextW(window, IDC_PREF_FOLDER, path);
    CoTaskMemFree(chosen);
}

PropertySheetPage AfterCapturePage(AfterCaptureOptions& options, int number) {
    PropertySheetPage page;
    page.title = L"After Capture";
    page.templateId = IDD_PREFS_AFTERCAPTURE;
    page.load = [&options, number](HWND window) {
        Check(window, IDC_PREF_COPY, options.copy);
        Check(window, IDC_PREF_SAVE, options.save);
        SetDlgItemTextW(window, IDC_PREF_FOLDER, CaptureFolder(options).c_str());
        SetDlgItemTextW(window, IDC_PREF_NAME, options.namePattern.c_str());
        int selected = 0;
        for (std::size_t i = 0; i < kAutoSaveTypes.size(); ++i)
            if (kAutoSaveTypes[i] == options.format) selected = static_cast<int>(i);
        AddChoices(window, IDC_PREF_TYPE, {L"PNG", L"JPEG", L"Bitmap"}, selected);
        ShowSaveState(window, options, number);
    };
    page.command = [&options, number](HWND window, int control, int notification) {
        if (control == IDC_PREF_BROWSE && notification == BN_CLICKED) BrowseForFolder(window);
        if ((control == IDC_PREF_SAVE && notification == BN_CLICKED) ||
            ((control == IDC_PREF_NAME) && notification == EN_CHANGE) ||
            (control == IDC_PREF_TYPE && notification == CBN_SELCHANGE))
            ShowSaveState(window, options, number);
    };
    page.check = [&options](HWND window) -> std::wstring {
        const AfterCaptureOptions chosen = ReadAfterCapture(window, options);
        if (chosen.save && ControlText(window, IDC_PREF_FOLDER).empty())
            return L"Choose the folder the captures are saved in.";
        if (chosen.save && chosen.namePattern.find_first_not_of(L' ') == std::wstring::npos)
            return L"Give the captures a name: the pattern is empty.";
        return {};
    };
    page.save = [&options](HWND window) {
        options = ReadAfterCapture(window, options);
        if (options.namePattern.empty()) options.namePattern = kDefaultCaptureNamePattern;
    };
    return page;
}

PropertySheetPage HotkeysPage(HotkeyAssignments& hotkeys) {
    PropertySheetPage page;
    page.title = L"Hotkeys";
    page.templateId = IDD_PREFS_HOTKEYS;
    page.load = [&hotkeys](HWND window) { FillHotkeyControls(window, hotkeys); };
    page.command = [](HWND window, int control, int notification) {
        if (notification == BN_CLICKED) HotkeyControlCommand(window, control);
    };
    page.check = [](HWND window) -> std::wstring {
        const auto problem = SharedHotkeyProblem(ReadHotkeyControls(window));
        return problem ? problem->first : std::wstring();
    };
    page.save = [&hotkeys](HWND window) { hotkeys = ReadHotkeyControls(window); };
    return page;
}

PropertySheetPage StartupPage(Preferences& preferences) {
    PropertySheetPage page;
    page.title = L"Start-up";
    page.templateId = IDD_PREFS_STARTUP;
    page.load = [&preferences](HWND window) {
        Check(window, IDC_PREF_KEEPINTRAY, preferences.keepInNotificationArea);
        Check(window, IDC_PREF_STARTWITHWINDOWS, preferences.startWithWindows);
    };
    page.save = [&preferences](HWND window) {
        preferences.keepInNotificationArea = Checked(window, IDC_PREF_KEEPINTRAY);
        preferences.startWithWindows = Checked(window, IDC_PREF_STARTWITHWINDOWS);
    };
    return page;
}

}  // namespace

std::vector<PropertySheetPage> PreferencePages(Preferences& preferences) {
    return {CapturePage(preferences.capture), AfterCapturePage(preferences.afterCapture, preferences.nextCaptureNumber),
            HotkeysPage(preferences.hotkeys), StartupPage(preferences)};
}

std::wstring ExampleCaptureFileName(const AfterCaptureOptions& options, int number) {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    CaptureNameFields fields;
    fields.number = number;
    fields.year = now.wYear;
    fields.month = now.wMonth;
    fields.day = now.wDay;
    fields.hour = now.wHour;
    fields.minute = now.wMinute;
    fields.second = now.wSecond;
    fields.windowTitle = L"Untitled - Notepad";
    return NumberedFileName(CaptureFileName(options.namePattern, fields), 1, DefaultExtension(options.format));
}
