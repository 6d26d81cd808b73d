// The frame's own commands: start-up and shutdown, command state, toolbar dispatch,
// View, Options, Window and Exit; the other menu handlers hand over to their subsystems.
#include <windows.h>

#include "app/basMain.h"
#include "app/CaptureToolCommands.h"
#include "app/CommandTable.h"
#include "app/FrameSettings.h"
#include "app/ScrollingCapture.h"
#include "app/frmMain.h"
#include "capture/CaptureCommands.h"
#include "capture/PasteCommand.h"
#include "document/DocumentCommands.h"
#include "help/HelpCommands.h"
#include "platform/rules/Conversions.h"
#include "platform/windows/Twips.h"
#include "platform/windows/ScreenService.h"
#include "platform/rules/SettingsText.h"
#include "platform/rules/RuntimeError.h"
#include "resource.h"

namespace {

// The frame's size, in twips, when nothing (usable) is stored.
constexpr float kDefaultWidth = 7500.0f;
constexpr float kDefaultHeight = 6500.0f;

}  // namespace

void frmMain::MDIForm_Load() {
    Trapped([&] {
        SetCaption(App::Title());
        // The frame starts in the normal state, whatever state its placement was stored in.
        if (IsIconic(hwnd_) || IsZoomed(hwnd_)) ShowWindow(hwnd_, SW_RESTORE);
        SetHeight(TwipsFromSetting(ReadFrameSetting(L"Height", TwipsToSetting(kDefaultHeight))));
        const float defaultLeft = (Screen::Width() - kDefaultWidth) / 2.0f;
        SetLeft(TwipsFromSetting(ReadFrameSetting(L"Left", TwipsToSetting(defaultLeft))));
        const float defaultTop = (Screen::Height() - kDefaultHeight) / 2.0f;
        SetTop(TwipsFromSetting(ReadFrameSetting(L"Top", TwipsToSetting(defaultTop))));
        SetWidth(TwipsFromSetting(ReadFrameSetting(L"Width", TwipsToSetting(kDefaultWidth))));
        gblnHideCaptureWin = HideCaptureFromSetting(ReadFrameSetting(L"HideCaptureWin", HideCaptureToSetting(true)));
        gintCaptureCount = 0;
        SetAppState();
    });
    // Read on their own: a bad placement above must not cost the user the hotkeys (and
    // must still leave the other command states as they were).
    Trapped([&] {
        captureOptions_.Load();
        LoadMarkupSettings();
        hotkeys_.Load();
        afterCapture_.Load();
        // The state above was set before the options were read: Last Rectangle follows them.
        commandBars_.ApplyCheckRules(CurrentCommandContext());
        commandBars_.ApplyEditRules(CurrentCommandContext());
        PostMessageW(hwnd_, kRegisterHotkeysMessage, 0, 0);
    });
    Trapped([&] { tray_.Load(); });
    // Also after a failed step: a frame left out of reach would make the program unusable.
    Trapped([&] { KeepFrameReachable(); });
}

void frmMain::KeepFrameReachable() {
    // A stored placement that leaves less than this much of the frame on any one monitor
    // (garbage in the store, a display that has since shrunk, a monitor since unplugged)
    // gives way to the centred default on the primary screen.
    constexpr int kMinimumVisible = 100;
    RECT frame{};
    GetWindowRect(hwnd_, &frame);
    if (ShowsOnAMonitor(EdgeRect{frame.left, frame.top, frame.right, frame.bottom}, ScreenService().Monitors(),
                        kMinimumVisible))
        return;
    SetHeight(kDefaultHeight);
    SetLeft((Screen::Width() - kDefaultWidth) / 2.0f);
    SetTop((Screen::Height() - kDefaultHeight) / 2.0f);
    SetWidth(kDefaultWidth);
}

void frmMain::StorePlacement() {
    float left = Left();
    float top = Top();
    float width = Width();
    float height = Height();
    if (IsIconic(hwnd_)) {
        // A minimised frame reports a parking position off-screen; keep where it will be restored.
        WINDOWPLACEMENT placement{};
        placement.length = sizeof placement;
        if (GetWindowPlacement(hwnd_, &placement)) {
            RECT normal = placement.rcNormalPosition;  // workspace coordinates
            if (HMONITOR monitor = MonitorFromRect(&normal, MONITOR_DEFAULTTOPRIMARY)) {
                MONITORINFO info{};
                info.cbSize = sizeof info;
                if (GetMonitorInfoW(monitor, &info))
                    OffsetRect(&normal, info.rcWork.left - info.rcMonitor.left, info.rcWork.top - info.rcMonitor.top);
            }
            left = Twips::FromPixelsX(normal.left);
            top = Twips::FromPixelsY(normal.top);
            width = Twips::FromPixelsX(normal.right - normal.left);
            height = Twips::FromPixelsY(normal.bottom - normal.top);
        }
    }
    WriteFrameSetting(L"Height", TwipsToSetting(height));
    WriteFrameSetting(L"Left", TwipsToSetting(left));
    WriteFrameSetting(L"Top", TwipsToSetting(top));
    WriteFrameSetting(L"Width", TwipsToSetting(width));
}

void frmMain::MDIForm_Unload() {
    Trapped([&] {
        StorePlacement();
        WriteFrameSetting(L"HideCaptureWin", HideCaptureToSetting(gblnHideCaptureWin));
        captureOptions_.Store();
        hotkeys_.Unregister();
        const int count = Forms::Count();
        for (std::int16_t i = ToInt16(count - 1); i >= 1; i = AddInt16(i, -1)) {
            if (i < Forms::Count()) Forms::Item(i)->Unload();
        }
    });
}

void frmMain::Unload() {
    if (!IsLoaded()) return;
    auto keepAlive = shared_from_this();
    // No file half-written when the process ends (the session ending, a second start's Exit).
    afterCapture_.FinishWrites();
    // The documents are closed before the frame's own unload handler runs.
    documents_.UnloadAll();
    MDIForm_Unload();
    SetMessagePreTranslator(nullptr);
    tray_.Remove();
    RemoveClipboardFormatListener(hwnd_);
    DestroyWindow(hwnd_);
}

void frmMain::SetAppState() {
    Trapped([&] {
        commandBars_.ApplyAll(CurrentCommandContext());
        if (PanelText(1) != L"Ready") SetPanelText(1, L"Ready");
        commandBars_.UpdateAvailability();
        ViewChanged();
    });
}

void frmMain::EditStateChanged() {
    if (!IsLoaded()) return;
    Trapped([&] { commandBars_.ApplyEditRules(CurrentCommandContext()); });
}

CommandContext frmMain::CurrentCommandContext() const {
    CommandContext context;
    context.capture = CaptureSettings();
    context.tool = markupTool_;
    context.style = markupStyle_;
    context.documentsOpen = DocumentsOpen();
    if (const auto active = context.documentsOpen ? ActiveDocument() : nullptr) {
        const DocumentForm::EditState edits = active->Edits();
        context.selection = edits.selection;
        context.crop = edits.crop;
        context.undo = edits.undo;
        context.redo = edits.redo;
        context.modified = edits.modified;
        context.extendable = active->Source().has_value();
        context.objectPicked = edits.objectPicked;
    }
    return context;
}

void frmMain::tlbMain_ButtonClick(const std::wstring& key) {
    Trapped([&] {
        // A key without a command does nothing.
        if (const CommandRow* row = FindToolbarCommand(key)) (this->*row->handler)();
    });
}

void frmMain::mnuFileExit_Click() {
    Observe(L"mnuFileExit_Click");
    Trapped([&] {
        // Captures still being written are waited for; one that failed keeps the program open.
        if (afterCapture_.FinishWrites() && documents_.SaveChangesBeforeClosing()) Unload();
    });
}

void frmMain::ToggleBar(UINT menuId, HWND bar) {
    if (commandBars_.MenuChecked(menuId)) {
        commandBars_.SetMenuChecked(menuId, false);
        ShowWindow(bar, SW_HIDE);
        LayoutControls();
        const float barHeight = BarHeight(bar);
        const float frameHeight = Height();
        SetHeight(frameHeight - barHeight);
    } else {
        commandBars_.SetMenuChecked(menuId, true);
        ShowWindow(bar, SW_SHOW);
        LayoutControls();
        const float barHeight = BarHeight(bar);
        const float frameHeight = Height();
        SetHeight(barHeight + frameHeight);
    }
}

void frmMain::mnuViewToolbar_Click() {
    Observe(L"mnuViewToolbar_Click");
    Trapped([&] { ToggleBar(IDM_VIEW_TOOLBAR, tlbMain_); });
}

void frmMain::mnuViewStatusBar_Click() {
    Observe(L"mnuViewStatusBar_Click");
    Trapped([&] { ToggleBar(IDM_VIEW_STATUSBAR, stbMain_); });
}

void frmMain::mnuViewZoomIn_Click() {
    Observe(L"mnuViewZoomIn_Click");
    DocumentCommands::ViewZoomIn(*this);
}

void frmMain::mnuViewZoomOut_Click() {
    Observe(L"mnuViewZoomOut_Click");
    DocumentCommands::ViewZoomOut(*this);
}

void frmMain::mnuViewActualSize_Click() {
    Observe(L"mnuViewActualSize_Click");
    DocumentCommands::ViewActualSize(*this);
}

void frmMain::mnuViewFitToWindow_Click() {
    Observe(L"mnuViewFitToWindow_Click");
    DocumentCommands::ViewFitToWindow(*this);
}

void frmMain::mnuOptionsHide_Click() {
    Observe(L"mnuOptionsHide_Click");
    Trapped([&] {
        if (gblnHideCaptureWin) {
            commandBars_.SetMenuChecked(IDM_OPTIONS_HIDE, false);
            commandBars_.SetToolbarButtonValue(L"Hide", 0);
            gblnHideCaptureWin = false;
        } else {
            commandBars_.SetMenuChecked(IDM_OPTIONS_HIDE, true);
            commandBars_.SetToolbarButtonValue(L"Hide", 1);
            gblnHideCaptureWin = true;
        }
    });
}

void frmMain::mnuWindowTileHorizontal_Click() {
    Observe(L"mnuWindowTileHorizontal_Click");
    Trapped([&] { Arrange(1); });
}

void frmMain::mnuWindowTileVertical_Click() {
    Observe(L"mnuWindowTileVertical_Click");
    Trapped([&] { Arrange(2); });
}

void frmMain::mnuWindowCascade_Click() {
    Observe(L"mnuWindowCascade_Click");
    Trapped([&] { Arrange(0); });
}

void frmMain::mnuWindowArrangeIcons_Click() {
    Observe(L"mnuWindowArrangeIcons_Click");
    Trapped([&] { Arrange(3); });
}

void frmMain::mnuWindowCloseAll_Click() {
    Observe(L"mnuWindowCloseAll_Click");
    Trapped([&] { documents_.CloseAll(); });
}

// Commands that belong to the other subsystems.
void frmMain::mnuFileOpen_Click() {
    Observe(L"mnuFileOpen_Click");
    DocumentCommands::FileOpen(*this);
}
void frmMain::mnuFileClose_Click() {
    Observe(L"mnuFileClose_Click");
    DocumentCommands::FileClose(*this);
}
void frmMain::mnuFileSave_Click() {
    Observe(L"mnuFileSave_Click");
    DocumentCommands::FileSave(*this);
}
void frmMain::mnuFilePrint_Click() {
    Observe(L"mnuFilePrint_Click");
    DocumentCommands::FilePrint(*this);
}
void frmMain::mnuEditCopy_Click() {
    Observe(L"mnuEditCopy_Click");
    DocumentCommands::EditCopy(*this);
}
void frmMain::mnuEditUndo_Click() {
    Observe(L"mnuEditUndo_Click");
    DocumentCommands::EditUndo(*this);
}
void frmMain::mnuEditRedo_Click() {
    Observe(L"mnuEditRedo_Click");
    DocumentCommands::EditRedo(*this);
}
void frmMain::mnuEditSelectAll_Click() {
    Observe(L"mnuEditSelectAll_Click");
    DocumentCommands::EditSelectAll(*this);
}
void frmMain::mnuEditCrop_Click() {
    Observe(L"mnuEditCrop_Click");
    DocumentCommands::EditCrop(*this);
}
void frmMain::mnuEditEmpty_Click() {
    Observe(L"mnuEditEmpty_Click");
    DocumentCommands::EditEmpty(*this);
}
void frmMain::mnuCaptureRectangle_Click() {
    Observe(L"mnuCaptureRectangle_Click");
    const auto keepAlive = shared_from_this();  // the frame may close during a countdown
    RememberRectangle(CaptureCommands::CaptureRectangle(*this, CaptureSettings()));
}
void frmMain::mnuCaptureActiveWindow_Click() {
    Observe(L"mnuCaptureActiveWindow_Click");
    const auto keepAlive = shared_from_this();  // the frame may close during a countdown
    CaptureCommands::CaptureActiveWindow(*this, CaptureSettings());
}
void frmMain::mnuCaptureWindow_Click() {
    Observe(L"mnuCaptureWindow_Click");
    const auto keepAlive = shared_from_this();  // the frame may close during a countdown
    CaptureCommands::CaptureWindow(*this, CaptureSettings());
}
void frmMain::mnuCaptureScreen_Click() {
    Observe(L"mnuCaptureScreen_Click");
    const auto keepAlive = shared_from_this();  // the frame may close during a countdown
    CaptureCommands::CaptureScreen(*this, CaptureSettings());
}
void frmMain::mnuHelpContents_Click() {
    Observe(L"mnuHelpContents_Click");
    HelpCommands::HelpContents(*this);
}
void frmMain::mnuHelpIndex_Click() {
    Observe(L"mnuHelpIndex_Click");
    HelpCommands::HelpIndex(*this);
}
void frmMain::mnuHelpLicense_Click() {
    Observe(L"mnuHelpLicense_Click");
    HelpCommands::HelpLicense(*this);
}
void frmMain::mnuHelpAbout_Click() {
    Observe(L"mnuHelpAbout_Click");
    HelpCommands::HelpAbout(*this);
}
void frmMain::mnuEditPaste_Click() {
    Observe(L"mnuEditPaste_Click");
    CaptureCommands::EditPaste(*this);
}
void frmMain::mnuCaptureAllScreens_Click() {
    Observe(L"mnuCaptureAllScreens_Click");
    const auto keepAlive = shared_from_this();  // the frame may close during a countdown
    CaptureCommands::CaptureAllScreens(*this, CaptureSettings());
}

void frmMain::mnuCaptureLastRectangle_Click() {
    Observe(L"mnuCaptureLastRectangle_Click");
    const auto keepAlive = shared_from_this();  // the frame may close during a countdown
    CaptureCommands::CaptureLastRectangle(*this, CaptureSettings());
}

void frmMain::mnuCaptureScrollingWindow_Click() {
    Observe(L"mnuCaptureScrollingWindow_Click");
    const auto keepAlive = shared_from_this();  // the frame may close during the capture
    CaptureCommands::CaptureScrollingWindow(*this, CaptureSettings());
}

void frmMain::mnuCaptureExtendDown_Click() {
    Observe(L"mnuCaptureExtendDown_Click");
    const auto keepAlive = shared_from_this();
    CaptureCommands::ExtendDown(*this, CaptureSettings());
}

void frmMain::RememberRectangle(const std::optional<EdgeRect>& rect) {
    if (!rect || !IsLoaded()) return;
    // A store that cannot be written is reported; the rectangle still serves this run.
    Trapped([&] { captureOptions_.RememberRectangle(*rect); });
    Trapped([&] { commandBars_.ApplyAll(CurrentCommandContext()); });
}

void frmMain::mnuOptionsPointer_Click() {
    Observe(L"mnuOptionsPointer_Click");
    Trapped([&] {
        captureOptions_.TogglePointer();
        commandBars_.ApplyCheckRules(CurrentCommandContext());
    });
}

void frmMain::mnuOptionsMagnifier_Click() {
    Observe(L"mnuOptionsMagnifier_Click");
    Trapped([&] {
        captureOptions_.ToggleMagnifier();
        commandBars_.ApplyCheckRules(CurrentCommandContext());
    });
}

void frmMain::SetCaptureDelay(int seconds) {
    captureOptions_.SetDelay(seconds);
    commandBars_.ApplyCheckRules(CurrentCommandContext());
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

void frmMain::mnuOptionsHotkeys_Click() {
    Observe(L"mnuOptionsHotkeys_Click");
    Trapped([&] { hotkeys_.Edit(); });
}

void frmMain::Hotkey_Pressed(int command) {
    if (!hotkeys_.Accepts(command)) return;
    const auto keepAlive = shared_from_this();
    Observe(L"Hotkey_Pressed");
    RememberRectangle(hotkeys_.Capture(command, CaptureSettings()));
}
