#include "help/frmAbout.h"

#include <algorithm>
#include <utility>

#include "help/basHelp.h"
#include "platform/rules/Conversions.h"
#include "platform/windows/AppInfo.h"
#include "platform/windows/Dpi.h"
#include "platform/windows/ErrorReporter.h"
#include "platform/services/FrameHost.h"
#include "platform/windows/ScreenService.h"
#include "platform/windows/Twips.h"
#include "resource.h"

namespace {

constexpr wchar_t kAboutClass[] = L"PixelnabAbout";
constexpr UINT_PTR kTimerId = 1;
constexpr float kClientWidth = 4275.0f;   // twips
constexpr float kClientHeight = 2565.0f;  // twips
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
// WS_EX_CONTROLPARENT asks the message loop for dialog-box keys: Tab, Enter, Escape.
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE | WS_EX_CONTROLPARENT;

// The maker's lines. No web site or e-mail address has been published for Pixelnab yet,
// so the contact lines say so rather than show an address that leads nowhere.
constexpr wchar_t kTitle[] = L"Pixelnab 2.0";
constexpr wchar_t kCopyright[] = L"Copyright (C) 2026 Pixelnab developers";
constexpr wchar_t kRights[] = L"All rights reserved.";
constexpr wchar_t kShareware[] = L"Shareware $20";
constexpr wchar_t kContact[] = L"Registration and support:";
constexpr wchar_t kInternet[] = L"Web site: not yet published";
constexpr wchar_t kEmail[] = L"E-mail: not yet published";

AboutLabel Label(float top, const wchar_t* caption) { return {720, top, 3285, 225, caption, true}; }

HICON LoadIconSized(UINT id, int size) {
    return static_cast<HICON>(
        LoadImageW(WindowBase::ModuleInstance(), MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
}

HICON LoadIcon32(UINT id) { return LoadIconSized(id, 32); }

constexpr float kButtonTop = 2160.0f;
constexpr float kButtonWidth = 1000.0f;
constexpr float kButtonHeight = 315.0f;
constexpr float kOkLeft = 1037.0f;
constexpr float kLicenseLeft = 2237.0f;

}  // namespace

frmAbout::frmAbout(IFrameHost* frame) : frame_(frame) { SetDesignState(); }

frmAbout::~frmAbout() = default;

// The controls as designed; every opening starts from here.
void frmAbout::SetDesignState() {
    lblTitle_ = Label(120, kTitle);
    lblCopyright_ = Label(360, kCopyright);
    lblRights_ = Label(600, kRights);
    lblShareware_ = Label(840, kShareware);
    Line1_ = {750, 1200, 4080, 1200, true};
    lblContact_ = Label(1320, kContact);
    lblInternet_ = Label(1560, kInternet);
    lblEmail_ = Label(1800, kEmail);
    imgAbout1_ = {150, 225, 480, 480, frame1_.get(), true};
    imgAbout2_ = {150, 750, 480, 480, frame2_.get(), false};
    focus_ = nullptr;
}

void frmAbout::CreateFormWindow() {
    RegisterWindowClass(kAboutClass, 0, nullptr, nullptr, LoadCursorW(nullptr, IDC_ARROW),
                        reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    SetDesignState();

    RECT rect{0, 0, Twips::ToPixelsX(kClientWidth),
              Twips::ToPixelsY(kClientHeight)};
    AdjustWindowRectEx(&rect, kStyle, FALSE, kExStyle);
    CreateWindowFor(kExStyle, kAboutClass, L"About", kStyle, CW_USEDEFAULT, CW_USEDEFAULT, rect.right - rect.left,
                    rect.bottom - rect.top, nullptr, nullptr);
    if (hwnd_ == nullptr) return;
    dpi_ = Dpi::OfWindow(hwnd_);
    // No minimise, maximise or size on the window menu of a fixed dialog.
    if (HMENU system = GetSystemMenu(hwnd_, FALSE)) {
        DeleteMenu(system, SC_SIZE, MF_BYCOMMAND);
        DeleteMenu(system, SC_MINIMIZE, MF_BYCOMMAND);
        DeleteMenu(system, SC_MAXIMIZE, MF_BYCOMMAND);
        DeleteMenu(system, SC_RESTORE, MF_BYCOMMAND);
    }
    CreateButtons();
    SetTimer(hwnd_, kTimerId, kTimerInterval, nullptr);
}

// The buttons are created in tab order: OK first, so it has the focus at open.
void frmAbout::CreateButtons() {
    const auto make = [&](const wchar_t* caption, UINT id, DWORD kind) {
        return CreateWindowExW(0, L"BUTTON", caption, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_NOTIFY | kind, 0, 0, 0,
                               0, hwnd_, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), ModuleInstance(), nullptr);
    };
    cmdOk_ = make(L"OK", IDC_ABOUT_OK, BS_DEFPUSHBUTTON);
    cmdLicense_ = make(L"License", IDC_ABOUT_LICENSE, BS_PUSHBUTTON);
    ApplyDpi();
}

// The message font and the pictures at the box's DPI; the buttons where the design puts them.
void frmAbout::ApplyDpi() {
    unique_hfont font = Dpi::MessageFont(dpi_);
    const int iconSize = PixelRect(imgAbout1_).right - PixelRect(imgAbout1_).left;
    frame1_.reset(LoadIconSized(IDI_ABOUT1, iconSize));
    frame2_.reset(LoadIconSized(IDI_NABBET, iconSize));
    imgAbout1_.Picture = frame1_.get();
    imgAbout2_.Picture = frame2_.get();
    for (const auto& [button, left] : {std::pair{cmdOk_, kOkLeft}, std::pair{cmdLicense_, kLicenseLeft}}) {
        if (button == nullptr) continue;
        const RECT r = PixelRect(left, kButtonTop, kButtonWidth, kButtonHeight);
        SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);
        MoveWindow(button, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
    }
    font_ = std::move(font);
    if (hwnd_ != nullptr) InvalidateRect(hwnd_, nullptr, TRUE);
}

void frmAbout::OnDpiChanged(int dpi, LPARAM suggestedRect) {
    if (dpi <= 0) return;
    dpi_ = dpi;
    ApplyDpi();
    Dpi::ApplySuggestedRect(hwnd_, suggestedRect);
}

void frmAbout::Form_Load() {
    Trapped([&] {
        SetCaption(L"About " + App::Title());
        // The frame's icon; the frame keeps ownership of it.
        HICON big = nullptr;
        HICON smallIcon = nullptr;
        if (frame_ != nullptr && frame_->FrameLoaded()) {
            big = reinterpret_cast<HICON>(GetClassLongPtrW(frame_->OwnerWindow(), GCLP_HICON));
            smallIcon = reinterpret_cast<HICON>(GetClassLongPtrW(frame_->OwnerWindow(), GCLP_HICONSM));
        }
        if (big == nullptr) {
            if (!ownIcon_) ownIcon_.reset(LoadIcon32(IDI_MAIN));
            big = ownIcon_.get();
        }
        SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
        SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon != nullptr ? smallIcon : big));
    });
}

// The two frames take turns in the first frame's place.
void frmAbout::tmrAbout_Timer() {
    Trapped([&] {
        const RECT before1 = PixelRect(imgAbout1_);
        const RECT before2 = PixelRect(imgAbout2_);
        imgAbout2_.Left = imgAbout1_.Left;
        imgAbout2_.Top = imgAbout1_.Top;
        imgAbout1_.Visible = !imgAbout1_.Visible;
        imgAbout2_.Visible = !imgAbout1_.Visible;
        if (hwnd_ == nullptr) return;
        const RECT after2 = PixelRect(imgAbout2_);
        for (const RECT& r : {before1, before2, after2}) InvalidateRect(hwnd_, &r, TRUE);
    });
}

void frmAbout::cmdOk_Click() {
    Trapped([&] { Unload(); });
}

void frmAbout::cmdLicense_Click() {
    Trapped([&] {
        const HWND owner = hwnd_;
        const std::wstring helpFile = App::HelpFile();
        ShowHelpTopic(owner, helpFile, L"license.htm");
    });
}

LRESULT frmAbout::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT:
        Paint();
        return 0;
    case WM_TIMER:
        if (wParam == kTimerId) {
            tmrAbout_Timer();
            return 0;
        }
        break;
    case WM_COMMAND:
        OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
        return 0;
    case WM_DPICHANGED:
        Trapped([&] { OnDpiChanged(LOWORD(wParam), lParam); });
        return 0;
    case WM_SHOWWINDOW:
        if (wParam != FALSE && lParam == 0) CenterOnOwner();
        break;
    case WM_ACTIVATE:
        // Like a dialog: the focus goes back to the button that had it, OK the first time.
        if (LOWORD(wParam) == WA_INACTIVE) {
            const HWND focus = GetFocus();
            if (focus == cmdOk_ || focus == cmdLicense_) focus_ = focus;
        } else {
            SetFocus(focus_ != nullptr ? focus_ : cmdOk_);
            return 0;
        }
        break;
    case WM_CLOSE:
        Trapped([&] { Unload(); });
        return 0;
    case WM_DESTROY:
        KillTimer(hwnd_, kTimerId);
        break;
    default:
        break;
    }
    return DefaultProc(hwnd_, message, wParam, lParam);
}

void frmAbout::OnCommand(UINT id, UINT code, HWND control) {
    if (control != nullptr && (control == cmdOk_ || control == cmdLicense_)) {
        if (code == BN_SETFOCUS) {
            MakeDefaultButton(control);
        } else if (code == BN_CLICKED) {
            if (control == cmdOk_) cmdOk_Click();
            else cmdLicense_Click();
        }
        return;
    }
    // The keyboard's Enter and Escape arrive as IDOK and IDCANCEL: Enter presses the
    // button that has the focus, Escape closes the box.
    if (id == IDOK) {
        if (GetFocus() == cmdLicense_) cmdLicense_Click();
        else cmdOk_Click();
    } else if (id == IDCANCEL) {
        Trapped([&] { Unload(); });
    }
}

// The focused button answers Enter and wears the default border, as in a dialog box.
void frmAbout::MakeDefaultButton(HWND button) {
    focus_ = button;
    const HWND other = button == cmdOk_ ? cmdLicense_ : cmdOk_;
    SendMessageW(other, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
    SendMessageW(button, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
}

void frmAbout::CenterOnOwner() {
    RECT window{};
    GetWindowRect(hwnd_, &window);
    const int width = window.right - window.left;
    const int height = window.bottom - window.top;
    const HWND owner = GetWindow(hwnd_, GW_OWNER);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(owner != nullptr ? owner : hwnd_, MONITOR_DEFAULTTOPRIMARY), &monitor);
    RECT area = monitor.rcWork;
    if (owner != nullptr && !IsIconic(owner)) GetWindowRect(owner, &area);
    int x = area.left + ((area.right - area.left) - width) / 2;
    int y = area.top + ((area.bottom - area.top) - height) / 2;
    // Keep the whole box on the screen even when the owner is partly off it.
    const RECT& work = monitor.rcWork;
    x = std::max(static_cast<int>(work.left), std::min(x, static_cast<int>(work.right) - width));
    y = std::max(static_cast<int>(work.top), std::min(y, static_cast<int>(work.bottom) - height));
    SetWindowPos(hwnd_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

RECT frmAbout::PixelRect(float left, float top, float width, float height) const {
    return Dpi::TwipsToPixelRect(left, top, width, height, dpi_);
}

RECT frmAbout::PixelRect(const AboutLabel& label) const {
    return PixelRect(label.Left, label.Top, label.Width, label.Height);
}

RECT frmAbout::PixelRect(const AboutImage& image) const {
    return PixelRect(image.Left, image.Top, image.Width, image.Height);
}

void frmAbout::Paint() {
    PaintDC paint(hwnd_);
    const HDC dc = paint.get();
    Trapped([&] {
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, RGB(0, 0, 0));
        SelectGuard font(dc, font_ ? static_cast<HGDIOBJ>(font_.get()) : GetStockObject(DEFAULT_GUI_FONT));
        for (const AboutLabel* label :
             {&lblTitle_, &lblCopyright_, &lblRights_, &lblShareware_, &lblContact_, &lblInternet_, &lblEmail_}) {
            if (!label->Visible) continue;
            RECT r = PixelRect(*label);
            DrawTextW(dc, label->Caption.c_str(), -1, &r, DT_CENTER | DT_WORDBREAK | DT_NOPREFIX);
        }
        if (Line1_.Visible) {
            SelectGuard pen(dc, GetStockObject(BLACK_PEN));
            const RECT from = PixelRect(Line1_.X1, Line1_.Y1, 0, 0);
            const RECT to = PixelRect(Line1_.X2, Line1_.Y2, 0, 0);
            MoveToEx(dc, from.left, from.top, nullptr);
            LineTo(dc, to.left + 1, to.top);  // LineTo stops short of its end point
        }
        for (const AboutImage* image : {&imgAbout1_, &imgAbout2_}) {
            if (!image->Visible || image->Picture == nullptr) continue;
            const RECT r = PixelRect(*image);
            DrawIconEx(dc, r.left, r.top, image->Picture, r.right - r.left, r.bottom - r.top, 0, nullptr, DI_NORMAL);
        }
    });
}
