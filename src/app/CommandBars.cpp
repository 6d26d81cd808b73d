// The menu bar and the toolbar under the command rows' rules.
#include "app/CommandBars.h"

#include "platform/rules/RuntimeError.h"
#include "resource.h"

void CommandBars::Attach(HWND frame, HWND toolbar) {
    frame_ = frame;
    toolbar_ = toolbar;
    // Capture Delay is one choice of four: its check is a bullet.
    // So is each tool, colour, line width and block size.
    std::vector<UINT> radios{IDM_OPTIONS_DELAYNONE, IDM_OPTIONS_DELAY3, IDM_OPTIONS_DELAY5, IDM_OPTIONS_DELAY10,
                             IDM_TOOLS_BLOCK8, IDM_TOOLS_BLOCK12, IDM_TOOLS_BLOCK16, IDM_TOOLS_BLOCK24,
                             IDM_TOOLS_MORECOLOURS};
    for (UINT id = IDM_TOOLS_SELECT; id <= IDM_TOOLS_PIXELATE; ++id) radios.push_back(id);
    for (UINT id = IDM_TOOLS_COLOUR1; id < IDM_TOOLS_COLOUR1 + 8; ++id) radios.push_back(id);
    for (UINT id = IDM_TOOLS_WIDTH1; id < IDM_TOOLS_WIDTH1 + 12; ++id) radios.push_back(id);
    for (const UINT id : radios) {
        MENUITEMINFOW item{};
        item.cbSize = sizeof item;
        item.fMask = MIIM_FTYPE;
        if (GetMenuItemInfoW(GetMenu(frame_), id, FALSE, &item)) {
            item.fType |= MFT_RADIOCHECK;
            SetMenuItemInfoW(GetMenu(frame_), id, FALSE, &item);
        }
    }
}

std::vector<TBBUTTON> CommandBars::StripButtons() {
    // Two buttons a row, each group (a 0 in the layout ends one) starting a row of its own,
    // so that the strip fits beside documents in a frame of the default height.
    std::vector<TBBUTTON> buttons;
    int inRow = 0;
    for (const UINT id : ToolStripLayout()) {
        const CommandRow* row = id != 0 ? FindCommand(id) : nullptr;
        if (row == nullptr || row->stripImage < 0) {
            if (!buttons.empty()) buttons.back().fsState |= TBSTATE_WRAP;
            inRow = 0;
            continue;
        }
        TBBUTTON b{};
        b.iBitmap = row->stripImage;
        b.idCommand = static_cast<int>(id);
        b.fsState = TBSTATE_ENABLED;
        b.fsStyle = static_cast<BYTE>(row->checkedIn != nullptr ? BTNS_CHECK : BTNS_BUTTON);
        b.iString = -1;
        if (++inRow == 2) {
            b.fsState |= TBSTATE_WRAP;
            inRow = 0;
        }
        buttons.push_back(b);
    }
    return buttons;
}

bool CommandBars::StripButtonPressed(UINT id) const {
    return strip_ != nullptr && SendMessageW(strip_, TB_ISBUTTONCHECKED, id, 0) != 0;
}

void CommandBars::ApplyStripRules(const CommandContext& context) {
    if (strip_ == nullptr) return;
    for (const UINT id : ToolStripLayout()) {
        const CommandRow* row = id != 0 ? FindCommand(id) : nullptr;
        if (row == nullptr || row->checkedIn == nullptr) continue;
        const bool pressed = row->checkedIn(context);
        if (StripButtonPressed(id) != pressed) SendMessageW(strip_, TB_CHECKBUTTON, id, MAKELPARAM(pressed, 0));
    }
}

std::vector<TBBUTTON> CommandBars::ToolbarButtons() {
    const auto layout = ToolbarLayout();
    std::vector<TBBUTTON> buttons(layout.size());
    for (std::size_t i = 0; i < layout.size(); ++i) {
        TBBUTTON& b = buttons[i];
        const CommandRow* row = layout[i] != nullptr ? FindToolbarCommand(layout[i]) : nullptr;
        if (row == nullptr) {
            b.fsStyle = BTNS_SEP;
            b.iBitmap = 6;
            continue;
        }
        b.iBitmap = row->image;
        b.idCommand = static_cast<int>(IDT_FIRST + i);
        b.fsState = TBSTATE_ENABLED;
        // A button that shows an option's state stays pressed while the option is on.
        b.fsStyle = static_cast<BYTE>(row->checkedIn != nullptr ? BTNS_CHECK : BTNS_BUTTON);
        b.iString = -1;
    }
    return buttons;
}

bool CommandBars::MenuChecked(UINT id) const {
    return (GetMenuState(GetMenu(frame_), id, MF_BYCOMMAND) & MF_CHECKED) != 0;
}

void CommandBars::SetMenuChecked(UINT id, bool checked) {
    if (CheckMenuItem(GetMenu(frame_), id, MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED)) == 0xFFFFFFFF)
        RaiseError(ErrorNumber::ElementNotFound, L"Menu item not found");
}

bool CommandBars::MenuEnabled(UINT id) const {
    return (GetMenuState(GetMenu(frame_), id, MF_BYCOMMAND) & (MF_GRAYED | MF_DISABLED)) == 0;
}

void CommandBars::SetMenuEnabled(UINT id, bool enabled) {
    if (EnableMenuItem(GetMenu(frame_), id, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED)) == -1)
        RaiseError(ErrorNumber::ElementNotFound, L"Menu item not found");
}

int CommandBars::ButtonIndex(const std::wstring& key) const {
    const auto layout = ToolbarLayout();
    for (std::size_t i = 0; i < layout.size(); ++i)
        if (layout[i] != nullptr && key == layout[i]) return static_cast<int>(i);
    RaiseError(ErrorNumber::ElementNotFound, L"Element not found");
}

UINT CommandBars::ToolbarCommandId(const std::wstring& key) const {
    return IDT_FIRST + static_cast<UINT>(ButtonIndex(key));
}

std::vector<std::wstring> CommandBars::ToolbarKeys() const {
    std::vector<std::wstring> keys;
    for (const wchar_t* key : ToolbarLayout())
        if (key != nullptr) keys.emplace_back(key);
    return keys;
}

std::wstring CommandBars::ToolbarTooltip(UINT commandId) const {
    const auto layout = ToolbarLayout();
    if (const CommandRow* row = FindCommand(commandId); row != nullptr && row->stripImage >= 0)
        return row->tooltip != nullptr ? row->tooltip : L"";
    if (commandId < IDT_FIRST || commandId >= IDT_FIRST + layout.size()) return {};
    const wchar_t* key = layout[commandId - IDT_FIRST];
    const CommandRow* row = key != nullptr ? FindToolbarCommand(key) : nullptr;
    return row != nullptr && row->tooltip != nullptr ? row->tooltip : L"";
}

int CommandBars::ToolbarButtonValue(const std::wstring& key) const {
    const UINT id = ToolbarCommandId(key);
    return SendMessageW(toolbar_, TB_ISBUTTONCHECKED, id, 0) != 0 ? 1 : 0;
}

void CommandBars::SetToolbarButtonValue(const std::wstring& key, int value) {
    const UINT id = ToolbarCommandId(key);
    SendMessageW(toolbar_, TB_CHECKBUTTON, id, MAKELPARAM(value != 0, 0));
}

bool CommandBars::ToolbarButtonEnabled(const std::wstring& key) const {
    const UINT id = ToolbarCommandId(key);
    return SendMessageW(toolbar_, TB_ISBUTTONENABLED, id, 0) != 0;
}

void CommandBars::SetToolbarButtonEnabled(const std::wstring& key, bool enabled) {
    const UINT id = ToolbarCommandId(key);
    SendMessageW(toolbar_, TB_ENABLEBUTTON, id, MAKELPARAM(enabled ? TRUE : FALSE, 0));
}

void CommandBars::ApplyAll(const CommandContext& context) {
    // Only what differs is set, and the toolbar is redrawn only when a button changed:
    // a command state that changes nothing costs no painting (every capture ends here).
    const auto commands = Commands();
    ApplyCheckRules(context);
    ApplyStripRules(context);
    for (const CommandRow& row : commands) {
        if (row.availableWhen != nullptr) continue;  // read as it may change (UpdateAvailability)
        const bool enabled = CommandEnabled(row, context);
        if (MenuEnabled(row.id) != enabled) SetMenuEnabled(row.id, enabled);
    }
    bool pressedChanged = false;
    for (const CommandRow& row : commands) {
        if (row.checkedIn == nullptr || row.toolbarKey == nullptr) continue;
        const int pressed = row.checkedIn(context) ? 1 : 0;
        if (ToolbarButtonValue(row.toolbarKey) != pressed) {
            SetToolbarButtonValue(row.toolbarKey, pressed);
            pressedChanged = true;
        }
    }
    if (pressedChanged) {
        InvalidateRect(toolbar_, nullptr, TRUE);
        UpdateWindow(toolbar_);
    }
    // Enabling a button invalidates just that button; it is drawn with the next paint.
    for (const CommandRow& row : commands) {
        if (row.toolbarKey == nullptr || row.availableWhen != nullptr) continue;
        const bool enabled = CommandEnabled(row, context);
        if (ToolbarButtonEnabled(row.toolbarKey) != enabled) SetToolbarButtonEnabled(row.toolbarKey, enabled);
    }
}

void CommandBars::ApplyEditRules(const CommandContext& context) {
    for (const CommandRow& row : Commands()) {
        if (row.enabledIn == nullptr) continue;
        const bool enabled = CommandEnabled(row, context);
        if (MenuEnabled(row.id) != enabled) SetMenuEnabled(row.id, enabled);
        if (row.toolbarKey != nullptr && ToolbarButtonEnabled(row.toolbarKey) != enabled)
            SetToolbarButtonEnabled(row.toolbarKey, enabled);
    }
}

void CommandBars::ApplyCheckRules(const CommandContext& context) {
    for (const CommandRow& row : Commands()) {
        if (row.checkedIn == nullptr) continue;
        const bool checked = row.checkedIn(context);
        if (MenuChecked(row.id) != checked) SetMenuChecked(row.id, checked);
    }
}

void CommandBars::UpdateAvailability() {
    for (const CommandRow& row : Commands())
        if (row.availableWhen != nullptr) SetMenuEnabled(row.id, row.availableWhen());
}
