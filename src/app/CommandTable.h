#pragma once
#include <span>
#include <string>

#include <windows.h>

#include "capture/CaptureOptions.h"
#include "document/Markup.h"

class frmMain;

// What a row's rules read: whether documents are open, the active one's edit state, and
// the capture options.
struct CommandContext {
    bool documentsOpen = false;
    bool selection = false;
    bool crop = false;
    bool undo = false;
    bool redo = false;
    bool modified = false;
    bool extendable = false;  // the active document was captured from a screen rectangle
    CaptureOptions capture;
    // Marking up: the chosen tool and style, and whether the active document has an object picked.
    MarkupTool tool = MarkupTool::Select;
    MarkupStyle style;
    bool objectPicked = false;
};

// One command of the frame: every way in (menu item, accelerator, toolbar button) and
// every rule about its state, in one row. Adding a command is adding a row and its
// handler; the menu routing, the toolbar, its tooltips, the accelerators and SetAppState
// all read this table.
struct CommandRow {
    UINT id;                      // the menu item's command id; its text is in the menu resource
    void (frmMain::*handler)();  // the mnu..._Click handler
    bool needsDocument;           // enabled only while documents are open
    bool (*checkedIn)(const CommandContext&);  // checked (its button pressed) where this holds, or nullptr
    BYTE acceleratorFlags;        // FVIRTKEY | FCONTROL ..., 0 with no accelerator
    WORD acceleratorKey;          // virtual key, 0 with no accelerator
    const wchar_t* toolbarKey;    // the button's key, nullptr without a button
    int image;                    // the button's image in the toolbar strip
    const wchar_t* tooltip;       // the button's tooltip
    WORD alternateKey = 0;        // a second key for the same accelerator (the numeric keypad's), 0 without
    bool (*availableWhen)() = nullptr;      // enabled only while this holds (checked as it may change), or nullptr
    bool (*enabledIn)(const CommandContext&) = nullptr;  // enabled only in a context where this holds, or nullptr
    int stripImage = -1;          // the button's image on the tool strip, -1 without a button there
};

// Whether the row's command is enabled in the context (availableWhen aside: it is read as it
// may change). The menu and the toolbar both follow it.
bool CommandEnabled(const CommandRow& row, const CommandContext& context);

std::span<const CommandRow> Commands();
// The row of a menu command id, or nullptr.
const CommandRow* FindCommand(UINT id);
// The row of a toolbar key, or nullptr.
const CommandRow* FindToolbarCommand(const std::wstring& key);

// The toolbar from left to right: button keys, nullptr for a separator.
std::span<const wchar_t* const> ToolbarLayout();

// The tool strip from top to bottom: command ids, 0 for a separator.
std::span<const UINT> ToolStripLayout();
// The colours of the strip's eight colour commands (IDM_TOOLS_COLOUR1 on), 0xRRGGBB.
std::span<const std::uint32_t> StripColours();

// The accelerator table built from the rows (destroyed by the caller).
HACCEL CreateCommandAccelerators();
