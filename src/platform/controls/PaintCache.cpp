#include "platform/controls/PaintCache.h"

#include <commctrl.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/pictures/DibInfo.h"
#include "platform/windows/Dpi.h"
#include "platform/windows/Handles.h"

namespace {


struct KeptPainting {
    HWND window = nullptr;
    WNDPROC original = nullptr;  // the control's procedure, called for all we pass on
    unique_hdc dc;
    unique_hbitmap bitmap;
    HGDIOBJ previous = nullptr;
    SIZE size{};
    bool valid = false;
    bool painting = false;  // within our own BeginPaint
    // The buttons' states as painted: a state set back as it was (a command greyed while a
    // capture runs, then enabled again) leaves the look as it was.
    std::vector<BYTE> states;
    bool statesMayDiffer = false;

    void Drop() noexcept {
        if (dc && previous != nullptr) SelectObject(dc.get(), previous);
        previous = nullptr;
        bitmap.reset();
        dc.reset();
        valid = false;
    }
};

// The controls kept, on the window thread that made them. Subclassed by replacing their
// procedure rather than through SetWindowSubclass: Wine's SetWindowSubclass looks its data
// up in a window property, a call to its server, for every message (0.16 ms each; the
// frame asks its toolbars dozens of questions each time the commands' states are set).
std::vector<KeptPainting*> g_kept;

KeptPainting* Kept(HWND window) noexcept {
    for (KeptPainting* kept : g_kept)
        if (kept->window == window) return kept;
    return nullptr;
}

// What the control itself does with the message.
LRESULT Pass(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const KeptPainting* kept = Kept(window);
    return kept != nullptr ? CallWindowProcW(kept->original, window, message, wParam, lParam)
                           : DefWindowProcW(window, message, wParam, lParam);
}

std::vector<BYTE> ButtonStates(HWND toolbar) {
    std::vector<BYTE> states;
    const auto count = static_cast<int>(Pass(toolbar, TB_BUTTONCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        TBBUTTON button{};
        Pass(toolbar, TB_GETBUTTON, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&button));
        states.push_back(button.fsState);
    }
    return states;
}

// Messages that set the states of buttons and nothing else.
bool SetsButtonStates(UINT message) noexcept {
    switch (message) {
    case TB_ENABLEBUTTON:
    case TB_CHECKBUTTON:
    case TB_PRESSBUTTON:
    case TB_INDETERMINATE:
    case TB_MARKBUTTON:
    case TB_SETSTATE:
        return true;
    default:
        return false;
    }
}

SIZE ClientSize(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    return SIZE{client.right - client.left, client.bottom - client.top};
}

// The control paints itself whole into memory, its background included, as it would on screen.
bool Keep(HWND window, KeptPainting& kept, HDC like) {
    const SIZE size = ClientSize(window);
    if (size.cx <= 0 || size.cy <= 0) return false;
    if (!kept.dc || kept.size.cx != size.cx || kept.size.cy != size.cy) {
        kept.Drop();
        kept.dc.reset(CreateCompatibleDC(like));
        kept.bitmap.reset(CreateCompatibleBitmap(like, size.cx, size.cy));
        if (!kept.dc || !kept.bitmap) {
            kept.Drop();
            return false;
        }
        kept.previous = SelectObject(kept.dc.get(), kept.bitmap.get());
        kept.size = size;
    }
    Pass(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(kept.dc.get()), 0);
    Pass(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(kept.dc.get()), PRF_CLIENT);
    kept.states = ButtonStates(window);
    kept.statesMayDiffer = false;
    kept.valid = true;
    return true;
}

// Whether `message` leaves a toolbar's look as it was.
bool LeavesToolbarLookAsItWas(UINT message) noexcept {
    switch (message) {
    // Painting, hit tests and the pointer's shape.
    case WM_PAINT:
    case WM_PRINTCLIENT:
    case WM_NCPAINT:
    case WM_NCHITTEST:
    case WM_SETCURSOR:
    case WM_GETOBJECT:
    // Being moved, shown or hidden as a whole (a new size is checked at the next paint).
    case WM_WINDOWPOSCHANGING:
    case WM_WINDOWPOSCHANGED:
    case WM_MOVE:
    case WM_NCCALCSIZE:
    case WM_SHOWWINDOW:
    // Tooltips asking for their texts.
    case WM_NOTIFY:
    case WM_GETTEXT:
    case WM_GETTEXTLENGTH:
    case WM_GETFONT:
    // Questions about the buttons.
    case TB_ISBUTTONENABLED:
    case TB_ISBUTTONCHECKED:
    case TB_ISBUTTONPRESSED:
    case TB_ISBUTTONHIDDEN:
    case TB_ISBUTTONINDETERMINATE:
    case TB_ISBUTTONHIGHLIGHTED:
    case TB_GETSTATE:
    case TB_GETBUTTON:
    case TB_BUTTONCOUNT:
    case TB_COMMANDTOINDEX:
    case TB_GETITEMRECT:
    case TB_GETRECT:
    case TB_GETTOOLTIPS:
    case TB_GETROWS:
    case TB_GETBUTTONSIZE:
    case TB_GETBUTTONINFOW:
    case TB_GETHOTITEM:
    case TB_GETIMAGELIST:
    case TB_GETSTYLE:
    case TB_GETEXTENDEDSTYLE:
    case TB_GETMAXSIZE:
    case TB_GETPADDING:
    case TB_GETIDEALSIZE:
    case TB_HITTEST:
        return true;
    default:
        return false;
    }
}

LRESULT CALLBACK KeptPaintingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    KeptPainting* kept = Kept(window);
    if (kept == nullptr) return DefWindowProcW(window, message, wParam, lParam);
    switch (message) {
    case WM_PAINT: {
        // A paint into a given DC is somebody printing the control: the control's own.
        if (wParam != 0) break;
        PAINTSTRUCT paint{};
        kept->painting = true;
        HDC dc = BeginPaint(window, &paint);
        kept->painting = false;
        if (dc == nullptr) return 0;
        const SIZE size = ClientSize(window);
        if (kept->valid && kept->statesMayDiffer) {
            kept->valid = ButtonStates(window) == kept->states;
            kept->statesMayDiffer = false;
        }
        if (!(kept->valid && kept->size.cx == size.cx && kept->size.cy == size.cy)) Keep(window, *kept, dc);
        if (kept->valid) {
            const RECT& area = paint.rcPaint;
            BitBlt(dc, area.left, area.top, area.right - area.left, area.bottom - area.top, kept->dc.get(), area.left,
                   area.top, SRCCOPY);
        }
        EndPaint(window, &paint);
        return 0;
    }
    case WM_ERASEBKGND:
        // Our paint covers everything, background included; anyone else's erase is the control's.
        if (kept->painting) return 1;
        break;
    case WM_NCDESTROY: {
        const WNDPROC original = kept->original;
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
        std::erase(g_kept, kept);
        kept->Drop();
        delete kept;
        return CallWindowProcW(original, window, message, wParam, lParam);
    }
    default:
        if (SetsButtonStates(message)) {
            kept->statesMayDiffer = true;
            break;
        }
        if (!LeavesToolbarLookAsItWas(message)) kept->valid = false;
        break;
    }
    return CallWindowProcW(kept->original, window, message, wParam, lParam);
}

// What a scroll bar's look follows from, all of it read from the bar.
struct ScrollBarLook {
    bool vertical = false;
    bool enabled = true;
    LONG width = 0, height = 0;
    int thumbTop = 0, thumbBottom = 0, lineButton = 0;
    std::array<DWORD, CCHILDREN_SCROLLBAR + 1> states{};
    int dpi = 0;
    std::array<COLORREF, 4> colours{};
    bool operator==(const ScrollBarLook&) const = default;
};

struct KeptLook {
    ScrollBarLook look;
    unique_hdc dc;
    unique_hbitmap bitmap;
    HGDIOBJ previous = nullptr;
    std::uint64_t used = 0;
    ~KeptLook() {
        if (dc && previous != nullptr) SelectObject(dc.get(), previous);
    }
};

struct KeptScrollBar {
    HWND window = nullptr;
    WNDPROC original = nullptr;
    bool pointerOver = false;  // from its first pointer move until the pointer has left
    bool painting = false;
};

constexpr std::size_t kMostLooks = 6;
std::vector<std::unique_ptr<KeptLook>> g_looks;
std::vector<std::unique_ptr<KeptScrollBar>> g_scrollBars;  // stays put while its messages run
std::uint64_t g_lookClock = 0;
// Whether the bars paint themselves into a DC they are given; found out at the first paint.
enum class Printing { Unknown, Works, Fails } g_scrollBarPrinting = Printing::Unknown;

KeptScrollBar* KeptBar(HWND window) noexcept {
    for (const auto& bar : g_scrollBars)
        if (bar->window == window) return bar.get();
    return nullptr;
}

// The bar's look now, or false when it may follow the pointer, the capture or the focus.
bool LookOf(const KeptScrollBar& bar, ScrollBarLook& look) {
    const HWND window = bar.window;
    if (bar.pointerOver || GetCapture() == window || GetFocus() == window) return false;
    RECT placed{};
    POINT pointer{};
    if (!GetWindowRect(window, &placed) || (GetCursorPos(&pointer) && PtInRect(&placed, pointer))) return false;
    SCROLLBARINFO info{};
    info.cbSize = sizeof info;
    if (!GetScrollBarInfo(window, OBJID_CLIENT, &info)) return false;
    RECT client{};
    GetClientRect(window, &client);
    look.vertical = (GetWindowLongPtrW(window, GWL_STYLE) & SBS_VERT) != 0;
    look.enabled = IsWindowEnabled(window) != FALSE;
    look.width = client.right;
    look.height = client.bottom;
    look.thumbTop = info.xyThumbTop;
    look.thumbBottom = info.xyThumbBottom;
    look.lineButton = info.dxyLineButton;
    std::copy(std::begin(info.rgstate), std::end(info.rgstate), look.states.begin());
    look.dpi = Dpi::OfWindow(window);
    look.colours = {GetSysColor(COLOR_SCROLLBAR), GetSysColor(COLOR_BTNFACE), GetSysColor(COLOR_BTNTEXT),
                    GetSysColor(COLOR_3DSHADOW)};
    return look.width > 0 && look.height > 0;
}

// The bar paints itself into memory. A bar that leaves every pixel as it was does not
// paint into a DC it is given, and is left to paint itself from then on.
KeptLook* Render(const KeptScrollBar& bar, const ScrollBarLook& look, HDC like) {
    constexpr std::uint32_t kUntouched = 0x00FF00FFu;
    const BITMAPINFO format = TopDown32BitmapInfo(look.width, look.height);
    void* bits = nullptr;
    auto kept = std::make_unique<KeptLook>();
    kept->look = look;
    kept->bitmap.reset(CreateDIBSection(like, &format, DIB_RGB_COLORS, &bits, nullptr, 0));
    kept->dc.reset(CreateCompatibleDC(like));
    if (!kept->bitmap || !kept->dc || bits == nullptr) return nullptr;
    kept->previous = SelectObject(kept->dc.get(), kept->bitmap.get());
    auto* pixels = static_cast<std::uint32_t*>(bits);
    const std::size_t count = static_cast<std::size_t>(look.width) * static_cast<std::size_t>(look.height);
    std::fill(pixels, pixels + count, kUntouched);
    CallWindowProcW(bar.original, bar.window, WM_PAINT, reinterpret_cast<WPARAM>(kept->dc.get()), 0);
    GdiFlush();
    if (std::all_of(pixels, pixels + count, [](std::uint32_t pixel) { return pixel == kUntouched; })) {
        g_scrollBarPrinting = Printing::Fails;
        return nullptr;
    }
    g_scrollBarPrinting = Printing::Works;
    if (g_looks.size() >= kMostLooks) {
        g_looks.erase(std::min_element(g_looks.begin(), g_looks.end(),
                                       [](const auto& a, const auto& b) { return a->used < b->used; }));
    }
    g_looks.push_back(std::move(kept));
    return g_looks.back().get();
}

bool PaintKeptLook(KeptScrollBar& bar) {
    if (g_scrollBarPrinting == Printing::Fails) return false;
    ScrollBarLook look;
    if (!LookOf(bar, look)) return false;
    PAINTSTRUCT paint{};
    bar.painting = true;
    const HDC dc = BeginPaint(bar.window, &paint);
    bar.painting = false;
    if (dc == nullptr) return true;
    KeptLook* kept = nullptr;
    for (const auto& candidate : g_looks)
        if (candidate->look == look) kept = candidate.get();
    if (kept == nullptr) kept = Render(bar, look, dc);
    if (kept == nullptr) {
        // Not kept: the bar paints itself at once, into the same paint.
        CallWindowProcW(bar.original, bar.window, WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
        EndPaint(bar.window, &paint);
        if (g_scrollBarPrinting == Printing::Fails) InvalidateRect(bar.window, nullptr, TRUE);
        return true;
    }
    kept->used = ++g_lookClock;
    const RECT& area = paint.rcPaint;
    BitBlt(dc, area.left, area.top, area.right - area.left, area.bottom - area.top, kept->dc.get(), area.left,
           area.top, SRCCOPY);
    EndPaint(bar.window, &paint);
    return true;
}

LRESULT CALLBACK KeptScrollBarProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    KeptScrollBar* bar = KeptBar(window);
    if (bar == nullptr) return DefWindowProcW(window, message, wParam, lParam);
    const WNDPROC original = bar->original;
    switch (message) {
    case WM_PAINT:
        if (wParam == 0 && PaintKeptLook(*bar)) return 0;
        break;
    case WM_ERASEBKGND:
        if (bar->painting) return 1;  // the kept look covers the whole bar
        break;
    case WM_MOUSEMOVE:
        if (!bar->pointerOver) {
            bar->pointerOver = true;
            TRACKMOUSEEVENT leave{sizeof leave, TME_LEAVE, window, 0};
            TrackMouseEvent(&leave);
        }
        break;
    case WM_MOUSELEAVE:
        bar->pointerOver = false;
        break;
    case WM_THEMECHANGED:
    case WM_SYSCOLORCHANGE:
    case WM_SETTINGCHANGE:
    case WM_DPICHANGED_AFTERPARENT:
        g_looks.clear();
        break;
    case WM_NCDESTROY:
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
        std::erase_if(g_scrollBars, [window](const auto& kept) { return kept->window == window; });
        break;
    default:
        break;
    }
    return CallWindowProcW(original, window, message, wParam, lParam);
}

}  // namespace

void KeepScrollBarPainting(HWND scrollBar) {
    if (scrollBar == nullptr || KeptBar(scrollBar) != nullptr) return;
    const auto original = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(scrollBar, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&KeptScrollBarProc)));
    if (original != nullptr) g_scrollBars.push_back(std::make_unique<KeptScrollBar>(KeptScrollBar{scrollBar, original}));
}

void KeepPainting(HWND control) {
    if (control == nullptr || Kept(control) != nullptr) return;
    auto* kept = new KeptPainting;
    kept->window = control;
    g_kept.push_back(kept);
    kept->original = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&KeptPaintingProc)));
    if (kept->original == nullptr) {
        std::erase(g_kept, kept);
        delete kept;
    }
}
