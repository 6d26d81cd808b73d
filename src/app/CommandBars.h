#pragma once
#include <string>
#include <vector>

#include <windows.h>
#include <commctrl.h>

#include "app/CommandTable.h"

// The frame's menu bar and toolbar as the command rows see them: the state of each item
// by command id and of each button by key, and the rows' enabling and check rules put on
// both alike. The frame owns the windows; this only reads and sets their states.
class CommandBars {
public:
    // The frame window whose menu bar this is, and its toolbar (already holding the
    // buttons of ToolbarButtons).
    void Attach(HWND frame, HWND toolbar);
    // The tool strip (holding the buttons of StripButtons).
    void AttachStrip(HWND strip) { strip_ = strip; }
    static std::vector<TBBUTTON> StripButtons();
    // Whether a strip button (by command id) shows pressed.
    bool StripButtonPressed(UINT id) const;

    // The toolbar's buttons from left to right, as the rows describe them.
    static std::vector<TBBUTTON> ToolbarButtons();

    // Menu items by command id; an unknown id is the element-not-found error.
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
    UINT ToolbarCommandId(const std::wstring& key) const;
    // The tooltip of a toolbar button's command id; nothing for any other id.
    std::wstring ToolbarTooltip(UINT commandId) const;

    // Every rule in the context: check marks, enabling of items and buttons, pressed
    // buttons (the rows read as they may change aside: UpdateAvailability).
    void ApplyAll(const CommandContext& context);
    // Only the rows whose enabling follows the active document's edit state.
    void ApplyEditRules(const CommandContext& context);
    // Every row's check mark (the toolbar's pressed buttons are ApplyAll's).
    void ApplyCheckRules(const CommandContext& context);
    // The tool strip's pressed buttons.
    void ApplyStripRules(const CommandContext& context);
    // The rows whose rule is a condition outside the program (Paste: the clipboard).
    void UpdateAvailability();

private:
    int ButtonIndex(const std::wstring& key) const;

    HWND frame_ = nullptr;
    HWND toolbar_ = nullptr;
    HWND strip_ = nullptr;
};
