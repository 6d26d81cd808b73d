#include "app/CommandTable.h"

#include <array>
#include <vector>

#include "app/frmMain.h"
#include "capture/PasteCommand.h"
#include "resource.h"

namespace {

constexpr BYTE kCtrl = FVIRTKEY | FCONTROL;
constexpr BYTE kPlain = FVIRTKEY;
constexpr BYTE kCtrlShift = FVIRTKEY | FCONTROL | FSHIFT;

bool Croppable(const CommandContext& context) { return context.crop; }
bool Undoable(const CommandContext& context) { return context.undo; }
bool Redoable(const CommandContext& context) { return context.redo; }
bool Hiding(const CommandContext& context) { return context.capture.hideFrame; }
bool WithPointer(const CommandContext& context) { return context.capture.pointer; }
bool WithMagnifier(const CommandContext& context) { return context.capture.magnifier; }
bool HasLastRectangle(const CommandContext& context) { return context.capture.lastRectangle.has_value(); }
bool Extendable(const CommandContext& context) { return context.extendable; }
template <int Seconds>
bool DelayOf(const CommandContext& context) { return context.capture.delaySeconds == Seconds; }

// Menu order. Ctrl+X empties the clipboard: this program has nothing to cut, so cropping
// takes Ctrl+Shift+X.
const CommandRow kCommands[] = {
    // id                        handler                                   doc    checked by            accelerator      toolbar key       image  tooltip
    {IDM_FILE_OPEN,              &frmMain::mnuFileOpen_Click,              false, nullptr,              kCtrl, 'O',      L"Open",          0,  L"Open"},
    {IDM_FILE_CLOSE,             &frmMain::mnuFileClose_Click,             true,  nullptr,              0, 0,            nullptr,          0,  nullptr},
    {IDM_FILE_SAVE,              &frmMain::mnuFileSave_Click,              true,  nullptr,              kCtrl, 'S',      L"Save",          1,  L"Save"},
    {IDM_FILE_PRINT,             &frmMain::mnuFilePrint_Click,             true,  nullptr,              kCtrl, 'P',      L"Print",         2,  L"Print"},
    {IDM_FILE_EXIT,              &frmMain::mnuFileExit_Click,              false, nullptr,              0, 0,            L"Exit",          11, L"Exit"},
    {IDM_EDIT_UNDO,              &frmMain::mnuEditUndo_Click,              true,  nullptr,              kCtrl, 'Z',      nullptr,          0,  nullptr, 0, nullptr, &Undoable},
    {IDM_EDIT_REDO,              &frmMain::mnuEditRedo_Click,              true,  nullptr,              kCtrl, 'Y',      nullptr,          0,  nullptr, 0, nullptr, &Redoable},
    {IDM_EDIT_COPY,              &frmMain::mnuEditCopy_Click,              true,  nullptr,              kCtrl, 'C',      L"Copy",          3,  L"Copy To Clipboard"},
    {IDM_EDIT_PASTE,             &frmMain::mnuEditPaste_Click,             false, nullptr,              kCtrl, 'V',      nullptr,          0,  nullptr, 0, &CaptureCommands::PasteAvailable},
    {IDM_EDIT_EMPTY,             &frmMain::mnuEditEmpty_Click,             false, nullptr,              kCtrl, 'X',      L"Empty",         4,  L"Empty Clipboard"},
    {IDM_EDIT_SELECTALL,         &frmMain::mnuEditSelectAll_Click,         true,  nullptr,              kCtrl, 'A',      nullptr,          0,  nullptr},
    {IDM_EDIT_CROP,              &frmMain::mnuEditCrop_Click,              true,  nullptr,              kCtrlShift, 'X', nullptr,          0,  nullptr, 0, nullptr, &Croppable},
    {IDM_VIEW_TOOLBAR,           &frmMain::mnuViewToolbar_Click,           false, nullptr,              0, 0,            nullptr,          0,  nullptr},
    {IDM_VIEW_STATUSBAR,         &frmMain::mnuViewStatusBar_Click,         false, nullptr,              0, 0,            nullptr,          0,  nullptr},
    {IDM_VIEW_ZOOMIN,            &frmMain::mnuViewZoomIn_Click,            true,  nullptr,              kCtrl, VK_OEM_PLUS,  nullptr,      0,  nullptr, VK_ADD},
    {IDM_VIEW_ZOOMOUT,           &frmMain::mnuViewZoomOut_Click,           true,  nullptr,              kCtrl, VK_OEM_MINUS, nullptr,      0,  nullptr, VK_SUBTRACT},
    {IDM_VIEW_ACTUALSIZE,        &frmMain::mnuViewActualSize_Click,        true,  nullptr,              kCtrl, '0',      nullptr,          0,  nullptr, VK_NUMPAD0},
    {IDM_VIEW_FITTOWINDOW,       &frmMain::mnuViewFitToWindow_Click,       true,  nullptr,              0, 0,            nullptr,          0,  nullptr},
    {IDM_CAPTURE_RECTANGLE,      &frmMain::mnuCaptureRectangle_Click,      false, nullptr,              0, 0,            L"Rectangle",     5,  L"Capture Rectangle"},
    {IDM_CAPTURE_ACTIVEWINDOW,   &frmMain::mnuCaptureActiveWindow_Click,   false, nullptr,              0, 0,            L"Active Window", 6,  L"Capture Active Window"},
    {IDM_CAPTURE_WINDOW,         &frmMain::mnuCaptureWindow_Click,         false, nullptr,              0, 0,            L"Window",        7,  L"Capture Selected Window"},
    {IDM_CAPTURE_SCREEN,         &frmMain::mnuCaptureScreen_Click,         false, nullptr,              0, 0,            L"Screen",        8,  L"Capture Entire Screen"},
    {IDM_CAPTURE_ALLSCREENS,     &frmMain::mnuCaptureAllScreens_Click,     false, nullptr,              0, 0,            nullptr,          0,  nullptr},
    {IDM_CAPTURE_LASTRECTANGLE,  &frmMain::mnuCaptureLastRectangle_Click,  false, nullptr,              0, 0,            nullptr,          0,  nullptr, 0, nullptr, &HasLastRectangle},
    {IDM_CAPTURE_SCROLLING,      &frmMain::mnuCaptureScrollingWindow_Click, false, nullptr,             0, 0,            nullptr,          0,  nullptr},
    {IDM_CAPTURE_EXTENDDOWN,     &frmMain::mnuCaptureExtendDown_Click,     true,  nullptr,              0, 0,            nullptr,          0,  nullptr, 0, nullptr, &Extendable},
    {IDM_OPTIONS_HIDE,           &frmMain::mnuOptionsHide_Click,           false, &Hiding,              0, 0,            L"Hide",          9,  L"Hide Capture Window"},
    {IDM_OPTIONS_POINTER,        &frmMain::mnuOptionsPointer_Click,        false, &WithPointer,         0, 0,            nullptr,          0,  nullptr},
    {IDM_OPTIONS_MAGNIFIER,      &frmMain::mnuOptionsMagnifier_Click,      false, &WithMagnifier,       0, 0,            nullptr,          0,  nullptr},
    {IDM_OPTIONS_DELAYNONE,      &frmMain::mnuOptionsDelayNone_Click,      false, &DelayOf<0>,          0, 0,            nullptr,          0,  nullptr},
    {IDM_OPTIONS_DELAY3,         &frmMain::mnuOptionsDelay3_Click,         false, &DelayOf<3>,          0, 0,            nullptr,          0,  nullptr},
    {IDM_OPTIONS_DELAY5,         &frmMain::mnuOptionsDelay5_Click,         false, &DelayOf<5>,          0, 0,            nullptr,          0,  nullptr},
    {IDM_OPTIONS_DELAY10,        &frmMain::mnuOptionsDelay10_Click,        false, &DelayOf<10>,         0, 0,            nullptr,          0,  nullptr},
    {IDM_OPTIONS_HOTKEYS,        &frmMain::mnuOptionsHotkeys_Click,        false, nullptr,              0, 0,            nullptr,          0,  nullptr},
    {IDM_OPTIONS_PREFERENCES,    &frmMain::mnuOptionsPreferences_Click,    false, nullptr,              0, 0,            nullptr,          0,  nullptr},
    {IDM_WINDOW_TILEHORIZONTAL,  &frmMain::mnuWindowTileHorizontal_Click,  false, nullptr,              0, 0,            nullptr,          0,  nullptr},
    {IDM_WINDOW_TILEVERTICAL,    &frmMain::mnuWindowTileVertical_Click,    false, nullptr,              0, 0,            nullptr,          0,  nullptr},
    {IDM_WINDOW_CASCADE,         &frmMain::mnuWindowCascade_Click,         false, nullptr,              0, 0,            nullptr,          0,  nullptr},
    {IDM_WINDOW_ARRANGEICONS,    &frmMain::mnuWindowArrangeIcons_Click,    false, nullptr,              0, 0,            nullptr,          0,  nullptr},
    {IDM_WINDOW_CLOSEALL,        &frmMain::mnuWindowCloseAll_Click,        false, nullptr,              0, 0,            nullptr,          0,  nullptr},
    {IDM_HELP_CONTENTS,          &frmMain::mnuHelpContents_Click,          false, nullptr,              kPlain, VK_F1,   nullptr,          0,  nullptr},
    {IDM_HELP_INDEX,             &frmMain::mnuHelpIndex_Click,             false, nullptr,              0, 0,            nullptr,          0,  nullptr},
    {IDM_HELP_LICENSE,           &frmMain::mnuHelpLicense_Click,           false, nullptr,              0, 0,            nullptr,          0,  nullptr},
    {IDM_HELP_ABOUT,             &frmMain::mnuHelpAbout_Click,             false, nullptr,              0, 0,            L"About",         10, L"About"},
};

constexpr std::array<const wchar_t*, 16> kToolbarLayout{
    L"Open", L"Save", L"Print", nullptr, L"Copy", L"Empty", nullptr, L"Rectangle", L"Active Window", L"Window",
    L"Screen", nullptr, L"Hide", nullptr, L"About", L"Exit"};

}  // namespace

std::span<const CommandRow> Commands() { return kCommands; }

bool CommandEnabled(const CommandRow& row, const CommandContext& context) {
    if (row.needsDocument && !context.documentsOpen) return false;
    return row.enabledIn == nullptr || row.enabledIn(context);
}

const CommandRow* FindCommand(UINT id) {
    for (const CommandRow& row : kCommands)
        if (row.id == id) return &row;
    return nullptr;
}

const CommandRow* FindToolbarCommand(const std::wstring& key) {
    for (const CommandRow& row : kCommands)
        if (row.toolbarKey != nullptr && key == row.toolbarKey) return &row;
    return nullptr;
}

std::span<const wchar_t* const> ToolbarLayout() { return kToolbarLayout; }

HACCEL CreateCommandAccelerators() {
    std::vector<ACCEL> keys;
    for (const CommandRow& row : kCommands) {
        if (row.acceleratorKey != 0) keys.push_back(ACCEL{row.acceleratorFlags, row.acceleratorKey, static_cast<WORD>(row.id)});
        if (row.alternateKey != 0) keys.push_back(ACCEL{row.acceleratorFlags, row.alternateKey, static_cast<WORD>(row.id)});
    }
    return CreateAcceleratorTableW(keys.data(), static_cast<int>(keys.size()));
}
