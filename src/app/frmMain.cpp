// The frame window: creation, controls, layout and message routing.
#include "app/frmMain.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <cwchar>

#include "app/CommandTable.h"
#include "app/HandOver.h"
#include "document/frmNabbet.h"
#include "platform/controls/PaintCache.h"
#include "platform/rules/Conversions.h"
#include "platform/rules/DpiScale.h"
#include "platform/windows/Twips.h"
#include "platform/services/CommonDialog.h"
#include "platform/windows/ScreenService.h"
#include "platform/windows/Dpi.h"
#include "platform/rules/RuntimeError.h"
#include "resource.h"

namespace {

constexpr const wchar_t* kFrameClass = kFrameClassName;
constexpr int kButtonWidth = 23;
constexpr int kButtonHeight = 22;
constexpr float kIndicatorTwips = 600.0f;
constexpr float kToolbarTwips = 360.0f;
constexpr float kStatusBarTwips = 315.0f;
constexpr float kFirstPanelMinTwips = 1400.0f;
// The view and pointer panels are as wide as their longest texts in the bar's font, so that
// both fit beside the others in the frame's default width.
constexpr wchar_t kWidestViewText[] = L"7680 x 4320 px  1600%";
constexpr wchar_t kWidestPointerText[] = L"7680, 4320  #DDDDDD  7680 x 4320";
constexpr UINT kMdiClientId = 0xCAC;

// A status panel that shows `text` whole in the bar's font, with the panel's borders.
int PanelWidthFor(HWND bar, const wchar_t* text, int dpi) {
    SIZE extent{};
    if (HDC dc = GetDC(bar)) {
        const auto font = reinterpret_cast<HFONT>(SendMessageW(bar, WM_GETFONT, 0, 0));
        const HGDIOBJ previous = font != nullptr ? SelectObject(dc, font) : nullptr;
        GetTextExtentPoint32W(dc, text, static_cast<int>(std::wcslen(text)), &extent);
        if (previous != nullptr) SelectObject(dc, previous);
        ReleaseDC(bar, dc);
    }
    return extent.cx + MulDiv(12, dpi, 96);
}

}  // namespace

frmMain::frmMain()
    : documents_(*this, [this] { return NewDocument(); }), hotkeys_(*this), afterCapture_(*this), files_(*this), tray_(*this) {
    documents_.SetCaptureHandler([this](DocumentForm& document, int number, const std::wstring& windowTitle) {
        afterCapture_.CaptureArrived(document, number, windowTitle);
    });
    afterCapture_.SetResultObserver([this](const AfterCaptureResult& result) { NotifyFromTray(result); });
}

frmMain::~frmMain() {
    if (imlMain_ != nullptr) ImageList_Destroy(imlMain_);
    if (imlTools_ != nullptr) ImageList_Destroy(imlTools_);
    if (accelerators_ != nullptr) DestroyAcceleratorTable(accelerators_);
}

void frmMain::OnWindowGone() {
    commandBars_ = CommandBars();  // nothing read through a window handle the system may reuse
    Form::OnWindowGone();
}

bool frmMain::TranslateFrameKeys(MSG& message) {
    if (message.hwnd != hwnd_ && !IsChild(hwnd_, message.hwnd)) return false;
    if (message.message == WM_KEYDOWN || message.message == WM_KEYUP) {
        if (message.wParam == VK_CAPITAL || message.wParam == VK_NUMLOCK || message.wParam == VK_INSERT)
            PostMessageW(hwnd_, WM_APP, 0, 0);  // indicators update once the key state has changed
    }
    if (!IsWindowEnabled(hwnd_)) return false;
    if (TranslateMDISysAccel(mdiClient_, &message)) return true;
    if (!ToolKeysAllowed(message)) return false;
    return TranslateAcceleratorW(hwnd_, accelerators_, &message) != 0;
}

void frmMain::SetFrameVisible(bool visible) {
    // A frame closed while a command ran messages stays closed: showing it would load it anew.
    // A frame in the notification area stays there through a capture.
    if (IsLoaded() && !(visible && tray_.FrameInTray())) SetVisible(visible);
}

// The document holds its frame weakly: whoever keeps a document object may keep it after
// the frame has gone.
std::shared_ptr<DocumentForm> frmMain::NewDocument() {
    auto document = NewForm<frmNabbet>(std::shared_ptr<IFrameHost>(shared_from_this(), this));
    document->SetMarkupTool(markupTool_, markupStyle_);
    return document;
}

CommonDialog& frmMain::dlg() {
    if (!dlg_) dlg_ = std::make_unique<CommonDialog>();
    return *dlg_;
}

void frmMain::CreateFormWindow() {
    const HINSTANCE instance = ModuleInstance();
    icon_.reset(static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_MAIN), IMAGE_ICON, 32, 32, 0)));
    smallIcon_.reset(static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_MAIN), IMAGE_ICON, 16, 16, 0)));
    RegisterWindowClass(kFrameClass, 0, icon_.get(), smallIcon_.get(), LoadCursorW(nullptr, IDC_ARROW),
                        nullptr);
    const HMENU menu = LoadMenuW(instance, MAKEINTRESOURCEW(IDR_MAINMENU));
    accelerators_ = CreateCommandAccelerators();

    // The design-time client area is 7380 x 5745 twips.
    const DWORD style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
    RECT rect{0, 0, Twips::ToPixelsX(7380.0f), Twips::ToPixelsY(5745.0f)};
    AdjustWindowRectEx(&rect, style, TRUE, 0);
    CreateWindowFor(0, kFrameClass, L"", style, CW_USEDEFAULT, CW_USEDEFAULT, rect.right - rect.left,
                    rect.bottom - rect.top, nullptr, menu);
    if (hwnd_ == nullptr) {
        if (menu != nullptr) DestroyMenu(menu);
        return;
    }
    // Hiding for a capture must be immediate: no fade-out that would leave a ghost on screen.
    BOOL disableTransitions = TRUE;
    using SetAttribute = HRESULT(WINAPI*)(HWND, DWORD, LPCVOID, DWORD);
    if (HMODULE dwm = LoadLibraryW(L"dwmapi.dll")) {
        if (auto set = reinterpret_cast<SetAttribute>(GetProcAddress(dwm, "DwmSetWindowAttribute")))
            set(hwnd_, 3 /* DWMWA_TRANSITIONS_FORCEDISABLED */, &disableTransitions, sizeof disableTransitions);
        FreeLibrary(dwm);
    }
    dpi_ = Dpi::OfWindow(hwnd_);
    SetFrameIcons();
    CreateControls();
    // Every message loop applies the keys of this frame while it is loaded; the loop may run
    // on after the frame object has gone.
    SetMessagePreTranslator([self = weak_from_this()](MSG& message) {
        const auto form = self.lock();
        auto* frame = static_cast<frmMain*>(form.get());
        return frame != nullptr && frame->IsLoaded() && frame->TranslateFrameKeys(message);
    });
    // Files dropped from Explorer open as documents; Paste follows the clipboard's contents.
    DragAcceptFiles(hwnd_, TRUE);
    AddClipboardFormatListener(hwnd_);
}

void frmMain::CreateControls() {
    // The window list lives in a submenu of "&Window List", the last item of the Window menu.
    HMENU windowMenu = nullptr;
    for (int i = 0; i < GetMenuItemCount(GetMenu(hwnd_)) && windowMenu == nullptr; ++i)
        if (GetMenuState(GetSubMenu(GetMenu(hwnd_), i), IDM_WINDOW_LIST, MF_BYCOMMAND) != 0xFFFFFFFF)
            windowMenu = GetSubMenu(GetMenu(hwnd_), i);
    HMENU windowList = CreatePopupMenu();
    if (windowMenu != nullptr) {
        wchar_t caption[64]{};
        GetMenuStringW(windowMenu, IDM_WINDOW_LIST, caption, 64, MF_BYCOMMAND);
        ModifyMenuW(windowMenu, IDM_WINDOW_LIST, MF_BYCOMMAND | MF_POPUP | MF_STRING,
                    reinterpret_cast<UINT_PTR>(windowList), caption);
    }
    CLIENTCREATESTRUCT client{windowList, IDM_WINDOW_FIRSTCHILD};
    mdiClient_ = CreateWindowExW(WS_EX_CLIENTEDGE, L"MDICLIENT", nullptr,
                                 WS_CHILD | WS_CLIPCHILDREN | WS_VSCROLL | WS_HSCROLL | WS_VISIBLE, 0, 0, 0, 0,
                                 hwnd_, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(kMdiClientId)), ModuleInstance(),
                                 &client);
    CreateToolbar();
    commandBars_.Attach(hwnd_, tlbMain_);
    CreateToolStrip();
    commandBars_.AttachStrip(tlbTools_);
    CreateStatusBar();
    LayoutControls();
}

void frmMain::CreateToolbar() {
    tlbMain_ = CreateWindowExW(0, TOOLBARCLASSNAMEW, nullptr,
                               WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_TOP | CCS_NODIVIDER |
                                   CCS_NORESIZE | CCS_NOPARENTALIGN,
                               0, 0, 0, 0, hwnd_, nullptr, ModuleInstance(), nullptr);
    SendMessageW(tlbMain_, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SetToolbarImages();
    const std::vector<TBBUTTON> buttons = CommandBars::ToolbarButtons();
    SendMessageW(tlbMain_, TB_ADDBUTTONSW, buttons.size(), reinterpret_cast<LPARAM>(buttons.data()));
    SendMessageW(tlbMain_, TB_SETBUTTONSIZE, 0,
                 MAKELPARAM(ScaleForDpi(kButtonWidth, kStandardDpi, dpi_), ScaleForDpi(kButtonHeight, kStandardDpi, dpi_)));
    // Shown again after every capture that hides the frame, mostly unchanged.
    KeepPainting(tlbMain_);
}

// The strip drawn at the size for the DPI (never a stretched one); the list it replaces goes
// once the toolbar holds the new one.
void frmMain::SetToolbarImages() {
    const int size = ToolbarImageSize(dpi_);
    const UINT strip = size == 32 ? IDB_TOOLBAR32 : size == 24 ? IDB_TOOLBAR24 : IDB_TOOLBAR;
    HIMAGELIST images = ImageList_Create(size, size, ILC_COLOR24 | ILC_MASK, 12, 0);
    if (HBITMAP bitmap = static_cast<HBITMAP>(
            LoadImageW(ModuleInstance(), MAKEINTRESOURCEW(strip), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION))) {
        ImageList_AddMasked(images, bitmap, RGB(192, 192, 192));
        DeleteObject(bitmap);
    }
    SendMessageW(tlbMain_, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images));
    SendMessageW(tlbMain_, TB_SETBITMAPSIZE, 0, MAKELPARAM(size, size));
    if (imlMain_ != nullptr) ImageList_Destroy(imlMain_);
    imlMain_ = images;
}

// The status bar does not follow a change of DPI by itself: its font and height are set.
void frmMain::SetStatusBarDpi() {
    unique_hfont font = Dpi::StatusFont(dpi_);
    SendMessageW(stbMain_, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
    statusFont_ = std::move(font);
    // The bar is 315 twips high, borders included.
    const int height =
        Dpi::FromSystem(Twips::ToPixelsY(kStatusBarTwips), dpi_) - 2 * Dpi::Metric(SM_CYBORDER, dpi_);
    SendMessageW(stbMain_, SB_SETMINHEIGHT, static_cast<WPARAM>(height), 0);
}

// The caption and taskbar icons at the sizes the DPI asks for, from the icon's own images.
void frmMain::SetFrameIcons() {
    const auto load = [&](int metric) {
        const int size = Dpi::Metric(metric, dpi_);
        return unique_hicon(static_cast<HICON>(
            LoadImageW(ModuleInstance(), MAKEINTRESOURCEW(IDI_MAIN), IMAGE_ICON, size, size, LR_DEFAULTCOLOR)));
    };
    unique_hicon big = load(SM_CXICON);
    unique_hicon smallIcon = load(SM_CXSMICON);
    SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big.get()));
    SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon.get()));
    dpiIcon_ = std::move(big);
    dpiSmallIcon_ = std::move(smallIcon);
}

// The frame went to a monitor of another scale, or the scale changed: images, fonts and
// icons for the new DPI, then the rectangle the system suggests for it. Not while hidden:
// that is the stored placement being put back at start-up, whose twips already say where
// and how large, and would otherwise grow or shrink at each start on that monitor.
void frmMain::OnDpiChanged(int dpi, LPARAM suggestedRect) {
    if (dpi <= 0) return;
    dpi_ = dpi;
    SetToolbarImages();
    SendMessageW(tlbMain_, TB_SETBUTTONSIZE, 0,
                 MAKELPARAM(ScaleForDpi(kButtonWidth, kStandardDpi, dpi_), ScaleForDpi(kButtonHeight, kStandardDpi, dpi_)));
    SetToolStripImages();
    SetStatusBarDpi();
    SetFrameIcons();
    if (IsWindowVisible(hwnd_)) Dpi::ApplySuggestedRect(hwnd_, suggestedRect);
    LayoutControls();  // also when the suggested size is the old one
    InvalidateRect(hwnd_, nullptr, TRUE);
}

void frmMain::CreateStatusBar() {
    // With tooltips: a text cut off by a narrow panel (where a capture was saved) shows whole
    // under the pointer.
    stbMain_ = CreateWindowExW(0, STATUSCLASSNAMEW, nullptr, WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP | SBT_TOOLTIPS, 0, 0, 0, 0,
                               hwnd_, nullptr, ModuleInstance(), nullptr);
    SetStatusBarDpi();
    SetPanelText(1, L"Ready");
    UpdateKeyIndicators();
}

void frmMain::LayoutControls() {
    if (hwnd_ == nullptr) return;
    RECT client{};
    GetClientRect(hwnd_, &client);
    int top = 0;
    int bottom = client.bottom;
    if (tlbMain_ != nullptr) {
        // The bar is 360 twips high: the 22-pixel buttons with a pixel above and below.
        const int height = Dpi::FromSystem(Twips::ToPixelsY(kToolbarTwips), dpi_);
        MoveWindow(tlbMain_, 0, 0, client.right, height, TRUE);
        if (IsWindowVisible(tlbMain_)) top = height;
    }
    if (stbMain_ != nullptr) {
        SendMessageW(stbMain_, WM_SIZE, 0, 0);
        const int indicator = Dpi::FromSystem(Twips::ToPixelsX(kIndicatorTwips), dpi_);
        const int minimum = Dpi::FromSystem(Twips::ToPixelsX(kFirstPanelMinTwips), dpi_);
        const int grip = Dpi::Metric(SM_CXVSCROLL, dpi_);
        const int view = PanelWidthFor(stbMain_, kWidestViewText, dpi_);
        const int pointer = PanelWidthFor(stbMain_, kWidestPointerText, dpi_);
        // The view panel is the fifth and the pointer's the sixth: after the indicators, so
        // that panels 1 to 4 keep their numbers.
        const int first = std::max(minimum, static_cast<int>(client.right) - 3 * indicator - view - pointer - grip);
        int parts[6] = {first, first + indicator, first + 2 * indicator, first + 3 * indicator,
                        first + 3 * indicator + view, -1};
        SendMessageW(stbMain_, SB_SETPARTS, 6, reinterpret_cast<LPARAM>(parts));
        if (IsWindowVisible(stbMain_)) {
            RECT r{};
            GetWindowRect(stbMain_, &r);
            bottom -= r.bottom - r.top;
        }
    }
    // The tool strip stands beside the documents, at their left.
    int left = 0;
    if (tlbTools_ != nullptr) {
        left = ToolStripWidth();
        MoveWindow(tlbTools_, 0, top, left, std::max(0, bottom - top), TRUE);
    }
    if (mdiClient_ != nullptr)
        MoveWindow(mdiClient_, left, top, std::max(0, static_cast<int>(client.right) - left), std::max(0, bottom - top), TRUE);
}

float frmMain::BarHeight(HWND bar) const {
    RECT r{};
    GetWindowRect(bar, &r);
    return Twips::FromPixelsY(r.bottom - r.top);
}

void frmMain::Form_Load() { MDIForm_Load(); }

LRESULT frmMain::DefaultProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefFrameProcW(window, mdiClient_, message, wParam, lParam);
}

LRESULT frmMain::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (tray_.HandleMessage(message, wParam, lParam)) return 0;
    switch (message) {
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_MINIMIZE && tray_.HidesFrame()) {
            tray_.HideFrame();
            return 0;
        }
        break;
    case WM_SIZE:
        if (wParam == SIZE_MINIMIZED && tray_.HidesFrame()) tray_.HideFrame();
        // Minimised, the bars and the document area keep their size: a document made
        // meanwhile (a hotkey's capture) is laid out for the frame it will show in, not
        // squeezed into the icon's client area.
        if (wParam != SIZE_MINIMIZED) LayoutControls();
        return 0;  // DefFrameProc would resize the MDI client over the bars
    case WM_DPICHANGED:
        OnDpiChanged(LOWORD(wParam), lParam);
        return 0;
    case WM_COMMAND:
        if (lParam == 0 || reinterpret_cast<HWND>(lParam) == tlbMain_ || reinterpret_cast<HWND>(lParam) == tlbTools_) {
            const UINT id = LOWORD(wParam);
            const auto layout = ToolbarLayout();
            if (id >= IDT_FIRST && id < IDT_FIRST + layout.size()) {
                const wchar_t* key = layout[id - IDT_FIRST];
                if (key != nullptr) tlbMain_ButtonClick(key);
                return 0;
            }
            if (id >= 40000 && id < IDM_WINDOW_FIRSTCHILD) {
                OnCommand(id);
                return 0;
            }
        }
        break;
    case WM_NOTIFY:
        return OnNotify(reinterpret_cast<NMHDR*>(lParam));
    case WM_MOUSEWHEEL:
    case WM_MOUSEHWHEEL:
        // The wheel reaches the window with the focus; with the frame's own focus it still
        // scrolls the active document.
        if (const auto document = ActiveDocument()) return SendMessageW(document->hWnd(), message, wParam, lParam);
        break;
    case WM_ACTIVATE:
    case WM_ACTIVATEAPP:
    case WM_APP:
        UpdateKeyIndicators();
        break;
    case WM_CLOSE:
        // With the notification area kept, closing hides the frame there; File > Exit ends.
        if (tray_.HidesFrame()) {
            tray_.HideFrame();
            return 0;
        }
        // The close box asks for each edited document first; Cancel keeps everything open.
        // A capture whose automatic save failed keeps it open too.
        if (afterCapture_.FinishWrites() && documents_.SaveChangesBeforeClosing()) Unload();
        return 0;
    case WM_DROPFILES:
        files_.OnDropFiles(reinterpret_cast<HDROP>(wParam));
        return 0;
    case WM_COPYDATA:
        return OnCopyData(reinterpret_cast<const COPYDATASTRUCT*>(lParam));
    case kHandedCaptureMessage: {
        std::vector<CaptureRequest> requests;
        requests.swap(handedCaptures_);
        for (const CaptureRequest& request : requests)
            if (IsLoaded()) CaptureFromCommandLine(request);
        return 0;
    }
    case FileHandOver::kOpenPendingFilesMessage:
        files_.OpenPending();
        return 0;
    case WM_CLIPBOARDUPDATE:
        commandBars_.UpdateAvailability();
        return 0;
    case WM_QUERYENDSESSION:
        return afterCapture_.FinishWrites() && documents_.QueryEndSession() ? TRUE : FALSE;
    case WM_ENDSESSION:
        // The session ends: leave as File > Exit does, so the placement and options are
        // stored; the process may be ended at any moment after this message returns.
        if (wParam != FALSE) Unload();
        return 0;
    case WM_HOTKEY:
        Hotkey_Pressed(static_cast<int>(wParam) - 1);
        return 0;
    case FrameAfterCapture::kWritesFinishedMessage:
        afterCapture_.WritesFinished();
        return 0;
    case WM_TIMER:
        if (wParam == FrameAfterCapture::kStartWritesTimer) {
            afterCapture_.StartWrites();
            return 0;
        }
        break;
    case kRegisterHotkeysMessage:
        hotkeys_.Register();
        return 0;
    case WM_NCACTIVATE:
        // Hidden for a capture, the frame has no caption to show the change on: the state is
        // kept without painting (-1), for the frame and the document it hands the message to.
        if (!IsWindowVisible(hwnd_)) lParam = -1;
        break;
    default:
        break;
    }
    return DefaultProc(hwnd_, message, wParam, lParam);
}

LRESULT frmMain::OnNotify(NMHDR* header) {
    if (header != nullptr && header->code == TTN_GETDISPINFOW) {
        auto* info = reinterpret_cast<NMTTDISPINFOW*>(header);
        static std::wstring text;
        text = commandBars_.ToolbarTooltip(static_cast<UINT>(header->idFrom));
        info->lpszText = text.data();
        info->hinst = nullptr;
        return 0;
    }
    return DefaultProc(hwnd_, WM_NOTIFY, header != nullptr ? header->idFrom : 0, reinterpret_cast<LPARAM>(header));
}

void frmMain::OnCommand(UINT id) {
    if (const CommandRow* row = FindCommand(id)) (this->*row->handler)();
}

std::wstring frmMain::PanelText(int panel) const {
    const WPARAM index = static_cast<WPARAM>(panel - 1);
    const LRESULT info = SendMessageW(stbMain_, SB_GETTEXTLENGTHW, index, 0);
    std::wstring text(LOWORD(info) + 1, L'\0');
    SendMessageW(stbMain_, SB_GETTEXTW, index, reinterpret_cast<LPARAM>(text.data()));
    text.resize(LOWORD(info));
    return text;
}

void frmMain::SetPanelText(int panel, const std::wstring& text) {
    if (panel < 1 || panel > 6) RaiseError(ErrorNumber::ElementNotFound, L"Element not found");
    SendMessageW(stbMain_, SB_SETTEXTW, static_cast<WPARAM>(panel - 1), reinterpret_cast<LPARAM>(text.c_str()));
}

void frmMain::SetStatusText(const std::wstring& text) {
    if (!IsLoaded() || stbMain_ == nullptr) return;
    SetPanelText(1, text);
    SendMessageW(stbMain_, SB_SETTIPTEXTW, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void frmMain::ViewChanged() {
    if (stbMain_ == nullptr) return;
    const auto document = ActiveDocument();
    const std::wstring text = document ? document->ViewDescription() : std::wstring();
    if (PanelText(5) != text) SetPanelText(5, text);
    const std::wstring pointer = document ? document->PointerDescription() : std::wstring();
    if (PanelText(6) != pointer) SetPanelText(6, pointer);
}

void frmMain::UpdateKeyIndicators() {
    if (stbMain_ == nullptr) return;
    const auto toggled = [](int key) { return (GetKeyState(key) & 1) != 0; };
    const std::wstring caps = toggled(VK_CAPITAL) ? L"CAPS" : L"";
    const std::wstring num = toggled(VK_NUMLOCK) ? L"NUM" : L"";
    const std::wstring ins = toggled(VK_INSERT) ? L"INS" : L"";
    if (PanelText(2) != caps) SetPanelText(2, caps);
    if (PanelText(3) != num) SetPanelText(3, num);
    if (PanelText(4) != ins) SetPanelText(4, ins);
}
