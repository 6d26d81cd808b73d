#pragma once
// Resource identifiers shared by Pixelnab.rc and the C++ sources.

// Icons
// Each icon holds 32-bit images at 16, 20, 24, 32, 48 and 256 pixels.
#define IDI_MAIN            101   // frame icon
#define IDI_NABBET          102   // document window icon; also the About box's second frame
#define IDI_ABOUT1          103   // About box first animation frame

// Bitmaps
#define IDB_TOOLBAR         110   // 12 images of 16x16, 256 colours, silver (192,192,192) mask
#define IDB_TOOLBAR24       111   // the same drawn at 24x24 (150 %), 24-bit, silver mask
#define IDB_TOOLBAR32       112   // the same drawn at 32x32 (200 %), 24-bit, silver mask

// Cursors
#define IDC_DRAG            120   // window picker's drag cursor, 32x32 two colours, hot spot 13,9

// Menus and accelerators
#define IDR_MAINMENU        130

// Dialog templates
#define IDD_ABOUT           140
#define IDD_WINDOW          141
#define IDD_HOTKEYS         142

// Controls of the About box
#define IDC_ABOUT_OK        1001
#define IDC_ABOUT_LICENSE   1002

// Controls of the Hotkeys dialog: one row per capture command (Screen, Active Window,
// Window, Rectangle, All Screens, Last Rectangle), each a label, a hotkey box, a Win check box and a
// None button, numbered IDC_HOTKEY_FIRST + 4 * row + part.
#define IDC_HOTKEY_FIRST    1100
#define IDC_HOTKEY_LAST     1123
#define IDC_HOTKEY_INTRO    1130
// The rows of Scrolling Window and Extend Down, numbered IDC_HOTKEY_MORE + 4 * (row - 6) + part.
#define IDC_HOTKEY_MORE     2400
#define IDC_HOTKEY_MORE_LAST 2407

// Menu commands: one per menu item with a handler
#define IDM_FILE_OPEN               40001
#define IDM_FILE_CLOSE              40002
#define IDM_FILE_SAVE               40003
#define IDM_FILE_PRINT              40004
#define IDM_FILE_EXIT               40005
#define IDM_EDIT_COPY               40010
#define IDM_EDIT_EMPTY              40011
#define IDM_EDIT_PASTE              40012
#define IDM_EDIT_UNDO               40013
#define IDM_EDIT_REDO               40014
#define IDM_EDIT_SELECTALL          40015
#define IDM_EDIT_CROP               40016
#define IDM_VIEW_TOOLBAR            40020
#define IDM_VIEW_STATUSBAR          40021
#define IDM_VIEW_ZOOMIN             40022
#define IDM_VIEW_ZOOMOUT            40023
#define IDM_VIEW_ACTUALSIZE         40024
#define IDM_VIEW_FITTOWINDOW        40025
#define IDM_CAPTURE_RECTANGLE       40030
#define IDM_CAPTURE_ACTIVEWINDOW    40031
#define IDM_CAPTURE_WINDOW          40032
#define IDM_CAPTURE_SCREEN          40033
#define IDM_CAPTURE_ALLSCREENS      40034
#define IDM_CAPTURE_LASTRECTANGLE   40035
#define IDM_CAPTURE_SCROLLING       45000
#define IDM_CAPTURE_EXTENDDOWN      45001
#define IDM_OPTIONS_HIDE            40040
#define IDM_OPTIONS_HOTKEYS         40041
#define IDM_OPTIONS_DELAYNONE       40042
#define IDM_OPTIONS_DELAY3          40043
#define IDM_OPTIONS_DELAY5          40044
#define IDM_OPTIONS_DELAY10         40045
#define IDM_OPTIONS_POINTER         40046
#define IDM_OPTIONS_MAGNIFIER       40047
#define IDM_WINDOW_TILEHORIZONTAL   40050
#define IDM_WINDOW_TILEVERTICAL     40051
#define IDM_WINDOW_CASCADE          40052
#define IDM_WINDOW_ARRANGEICONS     40053
#define IDM_WINDOW_CLOSEALL         40054
#define IDM_WINDOW_LIST             40055
#define IDM_HELP_CONTENTS           40060
#define IDM_HELP_INDEX              40061
#define IDM_HELP_LICENSE            40062
#define IDM_HELP_ABOUT              40063

// Notification area: the icon's menu and its own command
#define IDR_TRAYMENU                170
#define IDM_TRAY_SHOW               44000
// Preferences: the Start-up page
#define IDD_PREFS_STARTUP           171
#define IDC_PREF_KEEPINTRAY         2300
#define IDC_PREF_STARTWITHWINDOWS   2301
#define IDC_PREF_STARTUP_NOTE       2302
// Marking up (the Tools menu and the tool strip)
#define IDM_TOOLS_SELECT            42000
#define IDM_TOOLS_RECTANGLE         42001
#define IDM_TOOLS_ELLIPSE           42002
#define IDM_TOOLS_LINE              42003
#define IDM_TOOLS_ARROW             42004
#define IDM_TOOLS_PEN               42005
#define IDM_TOOLS_HIGHLIGHTER       42006
#define IDM_TOOLS_TEXT              42007
#define IDM_TOOLS_STEP              42008
#define IDM_TOOLS_PIXELATE          42009
#define IDM_TOOLS_COLOUR1           42010   // to IDM_TOOLS_COLOUR1 + 7: the strip's eight colours
#define IDM_TOOLS_MORECOLOURS       42018
#define IDM_TOOLS_FILLED            42019
#define IDM_TOOLS_FONT              42020
#define IDM_TOOLS_BRINGFORWARD      42021
#define IDM_TOOLS_DELETE            42022
#define IDM_TOOLS_WIDTH1            42030   // to IDM_TOOLS_WIDTH1 + 11: line widths 1 to 12 px
#define IDM_TOOLS_BLOCK8            42050
#define IDM_TOOLS_BLOCK12           42051
#define IDM_TOOLS_BLOCK16           42052
#define IDM_TOOLS_BLOCK24           42053

// First id the MDI client gives to the window-list entries
#define IDM_WINDOW_FIRSTCHILD       50000

// Toolbar button command ids (the toolbar dispatches by key, these only route WM_COMMAND)
#define IDT_FIRST                   41000

// Strings
#define IDS_APP_TITLE               200

// Options > Preferences: one property sheet, a dialog template per page. The Hotkeys page
// holds the Hotkeys dialog's rows, with their ids.
#define IDD_PREFS_CAPTURE           160
#define IDD_PREFS_AFTERCAPTURE      161
#define IDD_PREFS_HOTKEYS           162
#define IDM_OPTIONS_PREFERENCES     43000
// Capture page
#define IDC_PREF_HIDE               2200
#define IDC_PREF_POINTER            2201
#define IDC_PREF_MAGNIFIER          2202
#define IDC_PREF_DELAY              2203
#define IDC_PREF_DELAY_LABEL        2204
// After Capture page
#define IDC_PREF_COPY               2210
#define IDC_PREF_SAVE               2211
#define IDC_PREF_FOLDER             2212
#define IDC_PREF_BROWSE             2213
#define IDC_PREF_NAME               2214
#define IDC_PREF_EXAMPLE            2215
#define IDC_PREF_TYPE               2216
#define IDC_PREF_FOLDER_LABEL       2217
#define IDC_PREF_NAME_LABEL         2218
#define IDC_PREF_TYPE_LABEL         2219
#define IDC_PREF_FIELDS             2220
