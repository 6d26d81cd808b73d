// Options > Preferences: the frame's options in one property sheet, given back on OK.
#include "app/basMain.h"
#include "app/frmMain.h"
#include "app/FrameSettings.h"
#include "app/FrameTray.h"
#include "app/PreferencePages.h"
#include "capture/CaptureCommands.h"
#include "platform/rules/SettingsText.h"
#include "platform/services/PropertySheet.h"
#include "resource.h"

void frmMain::mnuOptionsPreferences_Click() {
    Observe(L"mnuOptionsPreferences_Click");
    Trapped([&] {
        Preferences preferences;
        preferences.capture = CaptureSettings();
        preferences.afterCapture = afterCapture_.Options();
        preferences.hotkeys = Hotkeys();
        preferences.nextCaptureNumber = gintCaptureCount + 1;
        preferences.keepInNotificationArea = tray_.KeepInNotificationArea();
        preferences.startWithWindows = StartsWithWindows();
        const std::vector<PropertySheetPage> pages = PreferencePages(preferences);
        // While the sheet shows, the combinations must reach its hotkey boxes, not start captures.
        hotkeys_.Unregister();
        bool confirmed = false;
        Trapped([&] { confirmed = PropertySheetService().Show(hwnd_, L"Preferences", pages, 0); });
        if (!IsLoaded()) return;
        if (confirmed) ApplyPreferences(preferences);
        hotkeys_.Register();
    });
}

void frmMain::ApplyPreferences(const Preferences& preferences) {
    // The menu items and the Hide button show the same options as the sheet did.
    if (preferences.capture.hideFrame != gblnHideCaptureWin) mnuOptionsHide_Click();
    captureOptions_.SetChosen(preferences.capture);
    commandBars_.ApplyCheckRules(CurrentCommandContext());
    if (preferences.hotkeys != Hotkeys()) hotkeys_.Replace(preferences.hotkeys);
    // Stored now, not only at exit: OK in a settings sheet is when users expect them kept.
    Trapped([&] {
        WriteFrameSetting(L"HideCaptureWin", HideCaptureToSetting(gblnHideCaptureWin));
        captureOptions_.Store();
    });
    Trapped([&] { afterCapture_.SetOptions(preferences.afterCapture); });
    if (preferences.keepInNotificationArea != tray_.KeepInNotificationArea())
        Trapped([&] { tray_.SetKeepInNotificationArea(preferences.keepInNotificationArea); });
    if (preferences.startWithWindows != StartsWithWindows())
        Trapped([&] { SetStartWithWindows(preferences.startWithWindows); });
}
