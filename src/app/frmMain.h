#pragma once
#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include "app/CommandTable.h"
#include "app/HotkeyDialog.h"
#include "capture/CaptureOptions.h"
#include "platform/controls/DocumentForm.h"
#include "platform/windows/Form.h"
#include "platform/services/FrameHost.h"
#include "platform/windows/Handles.h"

class CommonDialog;

// The frame: an MDI window holding the documents, with the menu bar, toolbar and
// status bar through which every command enters.
class frmMain final : public Form, public IFrameHost {
public:
    frmMain();
    ~frmMain() override;

    // The frame of this run, or nullptr when none is loaded.
    static frmMain* Instance() noexcept;

    void SetAppState() override;
    void ViewChanged() override;
    void EditStateChanged() override;

    // What the features see of the frame.
    HWND OwnerWindow() const override { return hwnd_; }
    HWND DocumentArea() const override { return mdiClient_; }
    std::vector<std::shared_ptr<DocumentForm>> Documents() const override { return documents_; }
    std::shared_ptr<DocumentForm> ActiveDocument() const override;
    std::shared_ptr<DocumentForm> AddDocument(const DocumentArrival& arrival) override;
    void AdoptDocument(const std::shared_ptr<DocumentForm>& document) override;
    bool DocumentsOpen() const override;
    bool FrameLoaded() const override { return IsLoaded(); }
    bool FrameVisible() const override { return Visible(); }
    void SetFrameVisible(bool visible) override;
    // The capture options as they stand: what the next capture follows.
    CaptureOptions CaptureSettings() const;
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
    void mnuOptionsHide_Click();
    void mnuOptionsPointer_Click();
    void mnuOptionsDelayNone_Click();
    void mnuOptionsDelay3_Click();
    void mnuOptionsDelay5_Click();
    void mnuOptionsDelay10_Click();
    void mnuOptionsHotkeys_Click();

    // Global hotkeys (frmMain_Hotkeys.cpp): the combinations in force, as stored, and
    // whether the system accepted each.
    const HotkeyAssignments& Hotkeys() const noexcept { return hotkeys_; }
    bool HotkeyRegistered(int command) const noexcept { return hotkeyRegistered_[static_cast<std::size_t>(command)]; }
    // What a WM_HOTKEY for a command does: the command's capture, Active Window taking the
    // window that was in front.
    void Hotkey_Pressed(int command);
    void mnuWindowTileHorizontal_Click();
    void mnuWindowTileVertical_Click();
    void mnuWindowCascade_Click();
    void mnuWindowArrangeIcons_Click();
    void mnuWindowCloseAll_Click();
    void mnuHelpContents_Click();
    void mnuHelpIndex_Click();
    void mnuHelpLicense_Click();
    void mnuHelpAbout_Click();

    // Opens each file as File Open does, in order (command line, dropped files, a second start).
    void OpenFiles(const std::vector<std::wstring>& paths);
    // Enables the commands whose rule is a condition outside the program (Paste: the clipboard).
    void UpdateCommandAvailability();

    // Menu items by command id.
    bool MenuChecked(UINT id) const;
    void SetMenuChecked(UINT id, bool checked);
    bool MenuEnabled(UINT id) const;
    void SetMenuEnabled(UINT id, bool enabled);

    // Toolbar buttons by key; an unknown key is the element-not-found error.
    int ToolbarButtonValue(const std::wstring& key) const;
    void SetToolbarButtonValue(const std::wstring& key, int value);
    bool ToolbarButtonEnabled(const std::wstring& key) const;
    void SetToolbarButtonEnabled(const std::wstring& key, bool enabled);
    std::vector<std::wstring> ToolbarKeys() const;
    // Command id of the toolbar button with this key (for routing and tests).
    UINT ToolbarCommandId(const std::wstring& key) const;
    std::wstring ToolbarTooltip(UINT commandId) const;

    // Status bar panels, 1-based as the user counts them: 1 the message, 2-4 the key
    // indicators, 5 the active picture's size and zoom.
    std::wstring PanelText(int panel) const;
    // For each edited document, newest first, "Save changes to ...?"; false: cancelled.
    bool SaveChangesBeforeClosing();
    // Log-off: asks the same questions, with Windows told to wait; false keeps the session.
    bool QueryEndSession();
    // What the command rows' rules read: the documents and the active one's edit state.
    CommandContext CurrentCommandContext() const;
    // Puts every row's check mark where its rule says (the toolbar's pressed buttons are
    // SetAppState's).
    void ApplyCheckRules(const CommandContext& context);
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
    std::shared_ptr<Form> ActiveForm() const;
    // Arranges the documents: 0 cascade, 1 tile horizontally, 2 tile vertically, 3 icons.
    void Arrange(int arrangement);
    HACCEL Accelerators() const noexcept { return accelerators_; }

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
    // A new document object, not loaded yet (AddDocument is the way in).
    std::shared_ptr<DocumentForm> NewDocument();
    void CreateControls();
    void CreateToolbar();
    void CreateStatusBar();
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
    int ButtonIndex(const std::wstring& key) const;
    void DocumentClosed(DocumentForm& document);
    // Capture options and hotkeys: read at start-up, written at exit (frmMain_Hotkeys.cpp).
    void LoadCaptureOptions();
    void StoreCaptureOptions();
    void SetCaptureDelay(int seconds);
    // Registers every assigned hotkey and reports, in one message, those the system refuses.
    void RegisterHotkeys();
    void UnregisterHotkeys();

    // Posted at start-up: the hotkeys are registered once the frame shows, so that a
    // refusal is reported over it.
    static constexpr UINT kRegisterHotkeysMessage = WM_APP + 2;

    void OnDropFiles(HDROP drop);
    bool OnCopyData(const COPYDATASTRUCT* data);
    void OpenPendingFiles();

    // Posted to itself: files handed over by a second start open once its message has returned.
    static constexpr UINT kOpenPendingFiles = WM_APP + 0x50;
    std::vector<std::wstring> pendingFiles_;

    HWND mdiClient_ = nullptr;
    HWND tlbMain_ = nullptr;
    HWND stbMain_ = nullptr;
    HIMAGELIST imlMain_ = nullptr;
    HACCEL accelerators_ = nullptr;
    unique_hicon icon_;
    unique_hicon smallIcon_;
    int dpi_ = 96;
    unique_hfont statusFont_;
    unique_hicon dpiIcon_;
    unique_hicon dpiSmallIcon_;
    std::unique_ptr<CommonDialog> dlg_;
    // The open documents, in the order they were opened; a document leaves when its window goes.
    std::vector<std::shared_ptr<DocumentForm>> documents_;
    std::function<void(const wchar_t*)> commandObserver_;
    // Include Pointer and Capture Delay; Hide is the global the frame's load reads.
    CaptureOptions captureOptions_{};
    HotkeyAssignments hotkeys_{};
    std::array<bool, kHotkeyCommands> hotkeyRegistered_{};
    void Observe(const wchar_t* handler) const {
        if (commandObserver_) commandObserver_(handler);
    }
};
