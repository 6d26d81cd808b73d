#include "app/CommandTable.h"

#include <algorithm>
#include <array>
#include <iterator>
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
template <MarkupTool Tool>
bool ToolIs(const CommandContext& context) { return context.tool == Tool; }
constexpr std::uint32_t kStripColours[] = {0xE0201C, 0xFF8C00, 0xFFE000, 0x20A040, 0x1E64DC, 0x8C3CC8, 0x000000, 0xFFFFFF};
template <int Index>
bool ColourIs(const CommandContext& context) { return context.style.colour == kStripColours[Index]; }
bool OtherColour(const CommandContext& context) {
    return std::find(std::begin(kStripColours), std::end(kStripColours), context.style.colour) == std::end(kStripColours);
}
template <int Width>
bool WidthIs(const CommandContext& context) { return context.style.width == Width; }
template <int Block>
bool BlockIs(const CommandContext& context) { return context.style.pixelateBlock == Block; }
bool Filling(const CommandContext& context) { return context.style.filled; }
bool Picked(const CommandContext& context) { return context.objectPicked; }

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
    {IDM_TOOLS_SELECT,           &frmMain::mnuTools_Click<MarkupTool::Select>,      false, &ToolIs<MarkupTool::Select>,      kPlain, 'S', nullptr, 0, L"Select (S)",      0, nullptr, nullptr, 0},
    {IDM_TOOLS_RECTANGLE,        &frmMain::mnuTools_Click<MarkupTool::Rectangle>,   false, &ToolIs<MarkupTool::Rectangle>,   kPlain, 'R', nullptr, 0, L"Rectangle (R)",   0, nullptr, nullptr, 1},
    {IDM_TOOLS_ELLIPSE,          &frmMain::mnuTools_Click<MarkupTool::Ellipse>,     false, &ToolIs<MarkupTool::Ellipse>,     kPlain, 'E', nullptr, 0, L"Ellipse (E)",     0, nullptr, nullptr, 2},
    {IDM_TOOLS_LINE,             &frmMain::mnuTools_Click<MarkupTool::Line>,        false, &ToolIs<MarkupTool::Line>,        kPlain, 'L', nullptr, 0, L"Line (L)",        0, nullptr, nullptr, 3},
    {IDM_TOOLS_ARROW,            &frmMain::mnuTools_Click<MarkupTool::Arrow>,       false, &ToolIs<MarkupTool::Arrow>,       kPlain, 'A', nullptr, 0, L"Arrow (A)",       0, nullptr, nullptr, 4},
    {IDM_TOOLS_PEN,              &frmMain::mnuTools_Click<MarkupTool::Pen>,         false, &ToolIs<MarkupTool::Pen>,         kPlain, 'P', nullptr, 0, L"Pen (P)",         0, nullptr, nullptr, 5},
    {IDM_TOOLS_HIGHLIGHTER,      &frmMain::mnuTools_Click<MarkupTool::Highlighter>, false, &ToolIs<MarkupTool::Highlighter>, kPlain, 'H', nullptr, 0, L"Highlighter (H)", 0, nullptr, nullptr, 6},
    {IDM_TOOLS_TEXT,             &frmMain::mnuTools_Click<MarkupTool::Text>,        false, &ToolIs<MarkupTool::Text>,        kPlain, 'T', nullptr, 0, L"Text (T)",        0, nullptr, nullptr, 7},
    {IDM_TOOLS_STEP,             &frmMain::mnuTools_Click<MarkupTool::Step>,        false, &ToolIs<MarkupTool::Step>,        kPlain, 'N', nullptr, 0, L"Step Number (N)", 0, nullptr, nullptr, 8},
    {IDM_TOOLS_PIXELATE,         &frmMain::mnuTools_Click<MarkupTool::Pixelate>,    false, &ToolIs<MarkupTool::Pixelate>,    kPlain, 'X', nullptr, 0, L"Pixelate (X)",    0, nullptr, nullptr, 9},
    {IDM_TOOLS_COLOUR1,          &frmMain::mnuToolsColour_Click<0>,        false, &ColourIs<0>,         0, 0,            nullptr,          0,  L"Red",            0, nullptr, nullptr, 10},
    {IDM_TOOLS_COLOUR1 + 1,      &frmMain::mnuToolsColour_Click<1>,        false, &ColourIs<1>,         0, 0,            nullptr,          0,  L"Orange",         0, nullptr, nullptr, 11},
    {IDM_TOOLS_COLOUR1 + 2,      &frmMain::mnuToolsColour_Click<2>,        false, &ColourIs<2>,         0, 0,            nullptr,          0,  L"Yellow",         0, nullptr, nullptr, 12},
    {IDM_TOOLS_COLOUR1 + 3,      &frmMain::mnuToolsColour_Click<3>,        false, &ColourIs<3>,         0, 0,            nullptr,          0,  L"Green",          0, nullptr, nullptr, 13},
    {IDM_TOOLS_COLOUR1 + 4,      &frmMain::mnuToolsColour_Click<4>,        false, &ColourIs<4>,         0, 0,            nullptr,          0,  L"Blue",           0, nullptr, nullptr, 14},
    {IDM_TOOLS_COLOUR1 + 5,      &frmMain::mnuToolsColour_Click<5>,        false, &ColourIs<5>,         0, 0,            nullptr,          0,  L"Purple",         0, nullptr, nullptr, 15},
    {IDM_TOOLS_COLOUR1 + 6,      &frmMain::mnuToolsColour_Click<6>,        false, &ColourIs<6>,         0, 0,            nullptr,          0,  L"Black",          0, nullptr, nullptr, 16},
    {IDM_TOOLS_COLOUR1 + 7,      &frmMain::mnuToolsColour_Click<7>,        false, &ColourIs<7>,         0, 0,            nullptr,          0,  L"White",          0, nullptr, nullptr, 17},
    {IDM_TOOLS_MORECOLOURS,      &frmMain::mnuToolsMoreColours_Click,      false, &OtherColour,         0, 0,            nullptr,          0,  L"More Colours...", 0, nullptr, nullptr, 18},
    {IDM_TOOLS_WIDTH1,           &frmMain::mnuToolsWidth_Click<1>,         false, &WidthIs<1>,          0, 0,            nullptr,          0,  nullptr},
    {IDM_TOOLS_WIDTH1 + 1,       &frmMain::mnuToolsWidth_Click<2>,         false, &WidthIs<2>,          0, 0,            nullptr,          0,  nullptr},
    {IDM_TOOLS_WIDTH1 + 2,       &frmMain::mnuToolsWidth_Click<3>,         false, &WidthIs<3>,          0, 0,            nullptr,          0,  nullptr},
    {IDM_TOOLS_WIDTH1 + 3,       &frmMain::mnuToolsWidth_Click<4>,         false, &WidthIs<4>,          0, 0,            nullptr,          0,  nullptr},
    {IDM_TOOLS_WIDTH1 + 4,       &frmMain::mnuToolsWidth_Click<5>,         false, &WidthIs<5>,          0, 0,            nullptr,          0,  nullptr},
    {IDM_TOOLS_WIDTH1 + 5,       &frmMain::mnuToolsWidth_Click<6>,         false, &WidthIs<6>,          0, 0,            nullptr,          0,  nullptr},
    {IDM_TOOLS_WIDTH1 + 6,       &frmMain::mnuToolsWidth_Click<7>,         false, &WidthIs<7>,          0, 0,            nullptr,          0,  nullptr},
    {IDM_TOOLS_WIDTH1 + 7,       &frmMain::mnuToolsWidth_Click<8>,         false, &WidthIs<8>,          0, 0,            nullptr,          0,  nullptr},
    {IDM_TOOLS_WIDTH1 + 8,       &frmMain::mnuToolsWidth_Click<9>,         false, &WidthIs<9>,          0, 0,            nullptr,          0,  nullptr},
    {IDM_TOOLS_WIDTH1 + 9,       &frmMain::mnuToolsWidth_Click<10>,        false, &WidthIs<10>,         0, 0,            nullptr,          0,  nullptr},
    {IDM_TOOLS_WIDTH1 + 10,      &frmMain::mnuToolsWidth_Click<11>,        false, &WidthIs<11>,         0, 0,            nullptr,          0,  nullptr},
    {IDM_TOOLS_WIDTH1 + 11,      &frmMain::mnuToolsWidth_Click<12>,        false, &WidthIs<12>,         0, 0,            nullptr,          0,  nullptr},
    {IDM_TOOLS_FILLED,           &frmMain::mnuToolsFilled_Click,           false, &Filling,             0, 0,            nullptr,          0,  L"Filled Shapes",  0, nullptr, nullptr, 19},
    {IDM_TOOLS_FONT,             &frmMain::mnuToolsFont_Click,             false, nullptr,              0, 0,            nullptr,          0,  nullptr},
    {IDM_TOOLS_BLOCK8,           &frmMain::mnuToolsBlock_Click<8>,         false, &BlockIs<8>,          0, 0,            nullptr,          0,  nullptr},
    {IDM_TOOLS_BLOCK12,          &frmMain::mnuToolsBlock_Click<12>,        false, &BlockIs<12>,         0, 0,            nullptr,          0,  nullptr},
    {IDM_TOOLS_BLOCK16,          &frmMain::mnuToolsBlock_Click<16>,        false, &BlockIs<16>,         0, 0,            nullptr,          0,  nullptr},
    {IDM_TOOLS_BLOCK24,          &frmMain::mnuToolsBlock_Click<24>,        false, &BlockIs<24>,         0, 0,            nullptr,          0,  nullptr},
    {IDM_TOOLS_BRINGFORWARD,     &frmMain::mnuToolsBringForward_Click,     true,  nullptr,              0, 0,            nullptr,          0,  nullptr, 0, nullptr, &Picked},
    {IDM_TOOLS_DELETE,           &frmMain::mnuToolsDelete_Click,           true,  nullptr,              0, 0,            nullptr,          0,  nullptr, 0, nullptr, &Picked},
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

constexpr UINT kToolStripLayout[] = {
    IDM_TOOLS_SELECT, IDM_TOOLS_RECTANGLE, IDM_TOOLS_ELLIPSE, IDM_TOOLS_LINE, IDM_TOOLS_ARROW, IDM_TOOLS_PEN,
    IDM_TOOLS_HIGHLIGHTER, IDM_TOOLS_TEXT, IDM_TOOLS_STEP, IDM_TOOLS_PIXELATE, 0,
    IDM_TOOLS_COLOUR1, IDM_TOOLS_COLOUR1 + 1, IDM_TOOLS_COLOUR1 + 2, IDM_TOOLS_COLOUR1 + 3, IDM_TOOLS_COLOUR1 + 4,
    IDM_TOOLS_COLOUR1 + 5, IDM_TOOLS_COLOUR1 + 6, IDM_TOOLS_COLOUR1 + 7, IDM_TOOLS_MORECOLOURS, 0, IDM_TOOLS_FILLED};

}  // namespace

std::span<const CommandRow> Commands() { return kCommands; }

std::span<const UINT> ToolStripLayout() { return kToolStripLayout; }

std::span<const std::uint32_t> StripColours() { return kStripColours; }

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
