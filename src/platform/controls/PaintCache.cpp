#include "platform/controls/PaintCache.h"

#include <commctrl.h>

#include <vector>

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

}  // namespace

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
