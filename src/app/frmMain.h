#pragma once
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <windows.h>
#include <commctrl.h>

#include "app/CommandBars.h"
#include "app/CommandTable.h"
#include "app/FileHandOver.h"
#include "app/FrameAfterCapture.h"
#include "app/FrameCaptureOptions.h"
#include "app/FrameDocuments.h"
#include "app/FrameHotkeys.h"
#include "app/FrameTray.h"
#include "app/CommandLine.h"
#include "capture/CaptureOptions.h"
#include "platform/controls/DocumentForm.h"
#include "platform/windows/Form.h"
#include "platform/services/FrameHost.h"
#include "platform/windows/Handles.h"

class CommonDialog;
struct Preferences;

// The frame: an MDI window holding the documents, with the menu bar, toolbar and status
// bar through which every command enters. It keeps its window, bars, layout and DPI and
// routes the messages; each other concern is a part it holds: the command state of the
// menu and toolbar, the documents, the capture options, the hotkeys and the files handed
// over from outside.
class frmMain final : public Form, public IFrameHost {
public:
    frmMain();
    ~frmMain() override;

    void SetAppState() override;
    void ViewChanged() override;
    void EditStateChanged() override;

    // What the features see of the frame.
    HWND OwnerWindow() const override { return hwnd_; }
    HWND DocumentArea() const override { return mdiClient_; }
    std::vector<std::shared_ptr<DocumentForm>> Documents() const override { return documents_.All(); }
    std::shared_ptr<DocumentForm> ActiveDocument() const override { return documents_.Active(); }
    std::shared_ptr<DocumentForm> AddDocument(const DocumentArrival& arrival) override;
    void AdoptDocument(const std::shared_ptr<DocumentForm>& document) override { documents_.Adopt(document); }
    bool DocumentsOpen() const override { return FrameDocuments::AnyOpen(); }
    bool FrameLoaded() const override { return IsLoaded(); }
    bool FrameVisible() const override { return Visible(); }
    void SetFrameVisible(bool visible) override;
    // The capture options as they stand: what the next capture follows.
    CaptureOptions CaptureSettings() const { return captureOptions_.Current(); }
    CommonDialog& Dialog() override { return dlg(); }
    void SetStatusText(const std::wstring& text) override;

    // Start-up and shutdown.
    void MDIForm_Load();
    void MDIForm_Unload();
    void Unload() override;

    // Command surface.
    void tlbMain_ButtonClick(const std::wstring& key);
    void mnuFileOpen_Click();
    void mnuFileClose_Click();
    void mnuFileSave_Click();
    void mnuFilePrint_Click();
    void mnuFileExit_Click();
    void mnuEditCopy_Click();
    void mnuEditEmpty_Click();
    void mnuEditPaste_Click();
    void mnuEditUndo_Click();
    void mnuEditRedo_Click();
    void mnuEditSelectAll_Click();
    void mnuEditCrop_Click();
    void mnuViewToolbar_Click();
    void mnuViewStatusBar_Click();
    void mnuViewZoomIn_Click();
    void mnuViewZoomOut_Click();
    void mnuViewActualSize_Click();
    void mnuViewFitToWindow_Click();
    void mnuCaptureRectangle_Click();
    void mnuCaptureActiveWindow_Click();
    void mnuCaptureWindow_Click();
    void mnuCaptureScreen_Click();
    void mnuCaptureAllScreens_Click();
    void mnuCaptureLastRectangle_Click();
    void mnuCaptureScrollingWindow_Click();
    void mnuCaptureExtendDown_Click();
    void mnuOptionsHide_Click();
    void mnuOptionsPointer_Click();
    void mnuOptionsMagnifier_Click();
    void mnuOptionsDelayNone_Click();
    void mnuOptionsDelay3_Click();
    void mnuOptionsDelay5_Click();
    void mnuOptionsDelay10_Click();
    void mnuOptionsHotkeys_Click();
    void mnuOptionsPreferences_Click();
    template <MarkupTool Tool>
    void mnuTools_Click() {
        Observe(L"mnuTools_Click");
        SetMarkupTool(Tool);
    }
    template <int Index>
    void mnuToolsColour_Click() {
        Observe(L"mnuToolsColour_Click");
        MarkupStyle style = markupStyle_;
        style.colour = StripColours()[Index];
        SetMarkupStyle(style);
    }
    void mnuToolsMoreColours_Click();
    template <int Width>
    void mnuToolsWidth_Click() {
        Observe(L"mnuToolsWidth_Click");
        MarkupStyle style = markupStyle_;
        style.width = Width;
        SetMarkupStyle(style);
    }
    void mnuToolsFilled_Click();
    void mnuToolsFont_Click();
    template <int Block>
    void mnuToolsBlock_Click() {
        Observe(L"mnuToolsBlock_Click");
        MarkupStyle style = markupStyle_;
        style.pixelateBlock = Block;
        SetMarkupStyle(style);
    }
    void mnuToolsBringForward_Click();
    void mnuToolsDelete_Click();
    void mnuWindowTileHorizontal_Click();
    void mnuWindowTileVertical_Click();
    void mnuWindowCascade_Click();
    void mnuWindowArrangeIcons_Click();
    void mnuWindowCloseAll_Click();
    void mnuHelpContents_Click();
    void mnuHelpIndex_Click();
    void mnuHelpLicense_Click();
    void mnuHelpAbout_Click();

    // Marking up: the tool every document draws with and the style it draws in, kept across
    // runs. A new style also restyles the active document's picked object (one undo step).
    MarkupTool CurrentTool() const noexcept { return markupTool_; }
    const MarkupStyle& CurrentStyle() const noexcept { return markupStyle_; }
    void SetMarkupTool(MarkupTool tool);
    void SetMarkupStyle(const MarkupStyle& style);
    HWND ToolStripWindow() const noexcept { return tlbTools_; }

    // Global hotkeys: the combinations in force, as stored, and whether the system
    // accepted each.
    const HotkeyAssignments& Hotkeys() const noexcept { return hotkeys_.Assignments(); }
    bool HotkeyRegistered(int command) const noexcept { return hotkeys_.Registered(command); }
    // What a WM_HOTKEY for a command does: the command's capture, Active Window taking the
    // window that was in front.
    void Hotkey_Pressed(int command);

    // What became of the last capture after it showed (copied, saved as), and each one's
    // as it completes: for the status bar and a notification.
    const std::optional<AfterCaptureResult>& LastAfterCapture() const noexcept { return afterCapture_.LastResult(); }
    void SetAfterCaptureObserver(std::function<void(const AfterCaptureResult&)> observer) {
        afterCapture_.SetResultObserver(std::move(observer));
    }
    // Waits for the captures still being written and reports them; false when one failed.
    bool FinishCaptureWrites() { return afterCapture_.FinishWrites(); }

    // Opens each file as File Open does, in order (command line, dropped files, a second start).
    void OpenFiles(const std::vector<std::wstring>& paths) { files_.Open(paths); }

    // /tray: the frame stays hidden in the notification area (the frame is loaded, not shown).
    void StartInNotificationArea() { tray_.StartHidden(); }
    // /capture without /exit (here or handed over by a second start): the capture as the
    // menu takes it, then saved and/or copied as asked; a failure is reported.
    void CaptureFromCommandLine(const CaptureRequest& request);
    // The notification-area icon and its option.
    FrameTray& Tray() noexcept { return tray_; }

    // Menu items by command id, toolbar buttons by key (an unknown key is the
    // element-not-found error).
    bool MenuChecked(UINT id) const { return commandBars_.MenuChecked(id); }
    bool MenuEnabled(UINT id) const { return commandBars_.MenuEnabled(id); }
    int ToolbarButtonValue(const std::wstring& key) const { return commandBars_.ToolbarButtonValue(key); }
    bool ToolbarButtonEnabled(const std::wstring& key) const { return commandBars_.ToolbarButtonEnabled(key); }
    void SetToolbarButtonEnabled(const std::wstring& key, bool enabled) {
        commandBars_.SetToolbarButtonEnabled(key, enabled);
    }
    std::vector<std::wstring> ToolbarKeys() const { return commandBars_.ToolbarKeys(); }
    // Command id of the toolbar button with this key (for routing and tests).
    UINT ToolbarCommandId(const std::wstring& key) const { return commandBars_.ToolbarCommandId(key); }
    std::wstring ToolbarTooltip(UINT commandId) const { return commandBars_.ToolbarTooltip(commandId); }

    // Status bar panels, 1-based as the user counts them: 1 the message, 2-4 the key
    // indicators, 5 the active picture's size and zoom, 6 the pointer's pixel.
    std::wstring PanelText(int panel) const;
    void SetPanelText(int panel, const std::wstring& text);
    // Reads Caps Lock, Num Lock and Insert and shows them in panels 2 to 4.
    void UpdateKeyIndicators();

    // Bars: visibility and height in twips.
    HWND ToolbarWindow() const noexcept { return tlbMain_; }
    HWND StatusBarWindow() const noexcept { return stbMain_; }
    HWND MdiClient() const noexcept { return mdiClient_; }
    float BarHeight(HWND bar) const;
    // The DPI the frame is laid out and drawn at: its monitor's, as last told by the system.
    int CurrentDpi() const noexcept { return dpi_; }

    // The active document window, or nullptr.
    std::shared_ptr<Form> ActiveForm() const { return documents_.ActiveForm(); }
    // Arranges the documents: 0 cascade, 1 tile horizontally, 2 tile vertically, 3 icons.
    void Arrange(int arrangement) { documents_.Arrange(arrangement); }

    // The shared common dialog of Open, Save and Print.
    CommonDialog& dlg();

    // Told the name of each menu handler as it starts; lets tests follow the routing.
    void SetCommandObserver(std::function<void(const wchar_t*)> observer) { commandObserver_ = std::move(observer); }

protected:
    void CreateFormWindow() override;
    void Form_Load() override;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    LRESULT DefaultProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnWindowGone() override;

private:
    // A new document object for this frame, not loaded yet (AddDocument is the way in).
    std::shared_ptr<DocumentForm> NewDocument();
    // Accelerators and the MDI keys of this frame, for every message loop.
    bool TranslateFrameKeys(MSG& message);
    void CreateControls();
    void CreateToolbar();
    void CreateStatusBar();
    // The tool strip (frmMain_Markup.cpp): its buttons, and their images for dpi_.
    void CreateToolStrip();
    void SetToolStripImages();
    int ToolStripWidth() const;
    void LoadMarkupSettings();
    void StoreMarkupSettings() const;
    // A plain letter choosing a tool goes to the tools only while a document has the
    // focus and is not taking typed text.
    bool ToolKeysAllowed(const MSG& message) const;
    // Toolbar images, button size, status bar font and height, and window icons for dpi_.
    void SetToolbarImages();
    void SetStatusBarDpi();
    void SetFrameIcons();
    void OnDpiChanged(int dpi, LPARAM suggestedRect);
    void LayoutControls();
    void OnCommand(UINT id);
    LRESULT OnNotify(NMHDR* header);
    void ToggleBar(UINT menuId, HWND bar);
    void StorePlacement();
    // Puts the frame back at its default placement when too little of it is on the screen.
    void KeepFrameReachable();
    // What the command rows' rules read: the documents, the active one's edit state and
    // the capture options.
    CommandContext CurrentCommandContext() const;
    void SetCaptureDelay(int seconds);
    // What Preferences chose on OK: in force, in step with the menus, and stored.
    void ApplyPreferences(const Preferences& preferences);
    // Keeps a confirmed Rectangle capture's rectangle for Last Rectangle.
    void RememberRectangle(const std::optional<EdgeRect>& rect);
    void Observe(const wchar_t* handler) const {
        if (commandObserver_) commandObserver_(handler);
    }

    // Posted at start-up: the hotkeys are registered once the frame shows, so that a
    // refusal is reported over it.
    static constexpr UINT kRegisterHotkeysMessage = WM_APP + 2;
    // Posted when a second start handed over a capture: it runs once that start has gone.
    static constexpr UINT kHandedCaptureMessage = WM_APP + 0x51;
    // WM_COPYDATA: a second start's capture or files; the tray gives the frame back for files.
    LRESULT OnCopyData(const COPYDATASTRUCT* data);
    // A capture made while the frame is in the notification area is told there once what
    // After Capture does with it is done.
    void NotifyFromTray(const AfterCaptureResult& result);

    HWND mdiClient_ = nullptr;
    HWND tlbMain_ = nullptr;
    HWND stbMain_ = nullptr;
    HIMAGELIST imlMain_ = nullptr;
    HWND tlbTools_ = nullptr;
    HIMAGELIST imlTools_ = nullptr;
    MarkupTool markupTool_ = MarkupTool::Select;
    MarkupStyle markupStyle_;
    HACCEL accelerators_ = nullptr;
    unique_hicon icon_;
    unique_hicon smallIcon_;
    int dpi_ = 96;
    unique_hfont statusFont_;
    unique_hicon dpiIcon_;
    unique_hicon dpiSmallIcon_;
    std::unique_ptr<CommonDialog> dlg_;
    std::function<void(const wchar_t*)> commandObserver_;

    CommandBars commandBars_;
    FrameDocuments documents_;
    FrameCaptureOptions captureOptions_;
    FrameHotkeys hotkeys_;
    FrameAfterCapture afterCapture_;
    FileHandOver files_;
    FrameTray tray_;
    std::vector<CaptureRequest> handedCaptures_;
    std::weak_ptr<DocumentForm> trayAwaiting_;  // made in the notification area, its result to come
};
