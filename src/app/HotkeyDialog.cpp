#include "app/HotkeyDialog.h"

#include <commctrl.h>

#include <utility>

#include "platform/windows/MessageBoxService.h"
#include "platform/windows/WindowBase.h"
#include "resource.h"

namespace {

constexpr UINT kRunScript = WM_APP + 1;

const wchar_t* const kSettingNames[kHotkeyCommands] = {L"HotkeyScreen", L"HotkeyActiveWindow", L"HotkeyWindow",
                                                      L"HotkeyRectangle", L"HotkeyAllScreens", L"HotkeyLastRectangle",
                                                      L"HotkeyScrollingWindow", L"HotkeyExtendDown"};
const wchar_t* const kCommandNames[kHotkeyCommands] = {L"Capture > Screen", L"Capture > Active Window",
                                                      L"Capture > Window", L"Capture > Rectangle",
                                                      L"Capture > All Screens", L"Capture > Last Rectangle",
                                                      L"Capture > Scrolling Window", L"Capture > Extend Down"};

// The first six rows' controls count from IDC_HOTKEY_FIRST, the later ones from IDC_HOTKEY_MORE.
int RowBase(int row) { return row < 6 ? IDC_HOTKEY_FIRST + 4 * row : IDC_HOTKEY_MORE + 4 * (row - 6); }
int RowOf(int id) { return id >= IDC_HOTKEY_MORE ? 6 + (id - IDC_HOTKEY_MORE) / 4 : (id - IDC_HOTKEY_FIRST) / 4; }
int BoxId(int row) { return RowBase(row) + 1; }
int WinId(int row) { return RowBase(row) + 2; }
int NoneId(int row) { return RowBase(row) + 3; }

std::function<void(HWND)> g_script;

struct DialogState {
    HotkeyAssignments* hotkeys;
};

}  // namespace

void FillHotkeyControls(HWND dialog, const HotkeyAssignments& hotkeys) {
    for (int row = 0; row < kHotkeyCommands; ++row) {
        const HWND box = GetDlgItem(dialog, BoxId(row));
        // Any key may stand alone (PrintScreen, F9): no combination is replaced by another.
        SendMessageW(box, HKM_SETRULES, 0, 0);
        SendMessageW(box, HKM_SETHOTKEY, ToHotkeyBox(hotkeys[static_cast<std::size_t>(row)]), 0);
        CheckDlgButton(dialog, WinId(row), hotkeys[static_cast<std::size_t>(row)].win ? BST_CHECKED : BST_UNCHECKED);
    }
}

HotkeyAssignments ReadHotkeyControls(HWND dialog) {
    HotkeyAssignments hotkeys;
    for (int row = 0; row < kHotkeyCommands; ++row) {
        const WORD value = LOWORD(SendDlgItemMessageW(dialog, BoxId(row), HKM_GETHOTKEY, 0, 0));
        hotkeys[static_cast<std::size_t>(row)] = FromHotkeyBox(value, IsDlgButtonChecked(dialog, WinId(row)) == BST_CHECKED);
    }
    return hotkeys;
}

bool HotkeyControlCommand(HWND dialog, int id) {
    const bool rowControl = (id >= IDC_HOTKEY_FIRST && id <= IDC_HOTKEY_LAST) ||
                            (id >= IDC_HOTKEY_MORE && id <= IDC_HOTKEY_MORE_LAST);
    if (!rowControl) return false;
    const int row = RowOf(id);
    if (id != NoneId(row)) return false;
    SendDlgItemMessageW(dialog, BoxId(row), HKM_SETHOTKEY, 0, 0);
    CheckDlgButton(dialog, WinId(row), BST_UNCHECKED);
    SetFocus(GetDlgItem(dialog, BoxId(row)));
    return true;
}

std::optional<std::pair<std::wstring, int>> SharedHotkeyProblem(const HotkeyAssignments& hotkeys) {
    const auto shared = FindSharedHotkey(hotkeys);
    if (!shared) return std::nullopt;
    return std::pair{FormatHotkey(hotkeys[static_cast<std::size_t>(shared->first)]) + L" is given to both " +
                         kCommandNames[shared->first] + L" and " + kCommandNames[shared->second] +
                         L". Give each its own keys.",
                     BoxId(shared->second)};
}

namespace {

INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    try {
        switch (message) {
        case WM_INITDIALOG: {
            SetWindowLongPtrW(dialog, DWLP_USER, lParam);
            FillHotkeyControls(dialog, *reinterpret_cast<DialogState*>(lParam)->hotkeys);
            if (g_script) PostMessageW(dialog, kRunScript, 0, 0);
            return TRUE;
        }
        case kRunScript:
            if (g_script) g_script(dialog);
            return TRUE;
        case WM_COMMAND: {
            const int id = LOWORD(wParam);
            auto* state = reinterpret_cast<DialogState*>(GetWindowLongPtrW(dialog, DWLP_USER));
            if (HotkeyControlCommand(dialog, id)) return TRUE;
            if (id == IDOK && state != nullptr) {
                const HotkeyAssignments chosen = ReadHotkeyControls(dialog);
                if (const auto problem = SharedHotkeyProblem(chosen)) {
                    MessageBoxService().Show(dialog, problem->first, MB_OK | MB_ICONEXCLAMATION, L"Hotkeys");
                    SetFocus(GetDlgItem(dialog, problem->second));
                    return TRUE;
                }
                *state->hotkeys = chosen;
                EndDialog(dialog, IDOK);
                return TRUE;
            }
            if (id == IDCANCEL) {
                EndDialog(dialog, IDCANCEL);
                return TRUE;
            }
            return FALSE;
        }
        default:
            return FALSE;
        }
    } catch (...) {
        return FALSE;
    }
}

class RealHotkeyDialog final : public IHotkeyDialog {
public:
    bool Edit(HWND owner, HotkeyAssignments& hotkeys) override {
        HotkeyAssignments edited = hotkeys;
        DialogState state{&edited};
        const INT_PTR result = DialogBoxParamW(WindowBase::ModuleInstance(), MAKEINTRESOURCEW(IDD_HOTKEYS), owner,
                                               &DialogProc, reinterpret_cast<LPARAM>(&state));
        if (result != IDOK) return false;
        hotkeys = edited;
        return true;
    }
};

IHotkeyDialog* g_installed = nullptr;

}  // namespace

const wchar_t* HotkeySettingName(int command) { return kSettingNames[command]; }
const wchar_t* HotkeyCommandName(int command) { return kCommandNames[command]; }

std::optional<std::pair<int, int>> FindSharedHotkey(const HotkeyAssignments& hotkeys) {
    for (int first = 0; first < kHotkeyCommands; ++first) {
        if (hotkeys[static_cast<std::size_t>(first)].IsNone()) continue;
        for (int second = first + 1; second < kHotkeyCommands; ++second)
            if (hotkeys[static_cast<std::size_t>(second)] == hotkeys[static_cast<std::size_t>(first)])
                return std::pair{first, second};
    }
    return std::nullopt;
}

UINT HotkeyModifiers(const HotkeyCombination& hotkey) {
    return (hotkey.ctrl ? MOD_CONTROL : 0u) | (hotkey.alt ? MOD_ALT : 0u) | (hotkey.shift ? MOD_SHIFT : 0u) |
           (hotkey.win ? MOD_WIN : 0u);
}

HotkeyCombination FromHotkeyBox(WORD value, bool win) {
    HotkeyCombination hotkey;
    const int key = LOBYTE(value);
    const BYTE flags = HIBYTE(value);
    // A key the settings cannot name (or none) leaves the command without a hotkey.
    if (key == 0 || HotkeyKeyName(key).empty()) return hotkey;
    hotkey.key = key;
    hotkey.ctrl = (flags & HOTKEYF_CONTROL) != 0;
    hotkey.alt = (flags & HOTKEYF_ALT) != 0;
    hotkey.shift = (flags & HOTKEYF_SHIFT) != 0;
    hotkey.win = win;
    return hotkey;
}

WORD ToHotkeyBox(const HotkeyCombination& hotkey) {
    if (hotkey.IsNone()) return 0;
    BYTE flags = 0;
    if (hotkey.ctrl) flags |= HOTKEYF_CONTROL;
    if (hotkey.alt) flags |= HOTKEYF_ALT;
    if (hotkey.shift) flags |= HOTKEYF_SHIFT;
    // The navigation keys sit on the extended part of the keyboard: without the flag the
    // box names them by their keypad twins.
    const int key = hotkey.key;
    if ((key >= VK_PRIOR && key <= VK_DOWN) || key == VK_INSERT || key == VK_DELETE || key == VK_DIVIDE)
        flags |= HOTKEYF_EXT;
    return MAKEWORD(static_cast<BYTE>(key), flags);
}

IHotkeyDialog& HotkeyDialog() {
    static RealHotkeyDialog real;
    return g_installed != nullptr ? *g_installed : real;
}

void SetHotkeyDialog(IHotkeyDialog* dialog) { g_installed = dialog; }
void SetHotkeyDialogScript(std::function<void(HWND)> script) { g_script = std::move(script); }
