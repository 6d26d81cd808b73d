#include "platform/windows/Form.h"

#include <algorithm>
#include <utility>

#include "platform/rules/Conversions.h"
#include "platform/rules/RuntimeError.h"
#include "platform/windows/ScreenService.h"
#include "platform/windows/Twips.h"

namespace {

std::vector<std::shared_ptr<Form>>& LoadedForms() {
    static std::vector<std::shared_ptr<Form>> forms;
    return forms;
}

std::shared_ptr<const MessagePreTranslator> g_preTranslator;

// Tab, Enter and Escape move between and press the controls of a top-level window that
// asks for dialog-box keys with WS_EX_CONTROLPARENT (the About box).
bool IsDialogKeyMessage(MSG& message) {
    if (message.hwnd == nullptr) return false;
    const HWND root = GetAncestor(message.hwnd, GA_ROOT);
    if (root == nullptr || (GetWindowLongPtrW(root, GWL_EXSTYLE) & WS_EX_CONTROLPARENT) == 0) return false;
    return IsDialogMessageW(root, &message) != FALSE;
}

void Dispatch(MSG& message) {
    // Held for the call: a key may end in the translator being replaced (Exit closes the frame).
    const auto translator = g_preTranslator;
    if (translator && (*translator)(message)) return;
    if (IsDialogKeyMessage(message)) return;
    TranslateMessage(&message);
    DispatchMessageW(&message);
}

}  // namespace

namespace Forms {
int Count() { return static_cast<int>(LoadedForms().size()); }

std::shared_ptr<Form> Item(int index) {
    auto& forms = LoadedForms();
    if (index < 0 || index >= static_cast<int>(forms.size()))
        RaiseError(ErrorNumber::ElementNotFound, L"Subscript out of range");
    return forms[static_cast<std::size_t>(index)];
}

void Add(const std::shared_ptr<Form>& form) { LoadedForms().push_back(form); }

void Remove(const Form* form) {
    auto& forms = LoadedForms();
    auto it = std::find_if(forms.begin(), forms.end(), [form](const auto& f) { return f.get() == form; });
    if (it == forms.end()) return;
    std::shared_ptr<Form> last = std::move(*it);  // released after the list is consistent again
    forms.erase(it);
}
}  // namespace Forms

void SetMessagePreTranslator(MessagePreTranslator translator) {
    g_preTranslator = translator ? std::make_shared<const MessagePreTranslator>(std::move(translator)) : nullptr;
}

bool PumpOneMessage() {
    MSG message{};
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got == 0 || got == -1) {
        if (got == 0) PostQuitMessage(static_cast<int>(message.wParam));
        return false;
    }
    Dispatch(message);
    return true;
}

void DoEvents() {
    // Messages that never stop coming (a window posting itself the next, two windows of
    // Wine without a window manager handing the activation back and forth) end the run
    // after a while: the caller goes on, and the main loop takes the rest.
    constexpr ULONGLONG kLongestRunMs = 2000;
    const ULONGLONG start = GetTickCount64();
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        Dispatch(message);
        if (GetTickCount64() - start >= kLongestRunMs) return;
    }
}

void Form::Load() {
    if (IsLoaded()) return;
    auto self = shared_from_this();
    CreateFormWindow();
    if (hwnd_ == nullptr) RaiseLastWin32Error(L"Cannot create the window");
    Forms::Add(self);
    Form_Load();
}

void Form::Unload() {
    if (!IsLoaded()) return;
    auto keepAlive = shared_from_this();
    ReleaseModalOwner();
    DestroyFormWindow();
}

void Form::DestroyFormWindow() { DestroyWindow(hwnd_); }

void Form::OnWindowGone() { Forms::Remove(this); }

void Form::Show() {
    Load();
    ShowWindow(hwnd_, SW_SHOW);
}

void Form::ShowModal(HWND owner) {
    Load();
    auto keepAlive = shared_from_this();
    if (owner != nullptr) SetWindowLongPtrW(hwnd_, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner));
    const bool ownerWasEnabled = owner != nullptr && IsWindowEnabled(owner);
    ShowWindow(hwnd_, SW_SHOW);
    if (owner != nullptr) EnableWindow(owner, FALSE);
    modal_ = true;
    modalOwner_ = ownerWasEnabled ? owner : nullptr;
    while (IsLoaded() && IsWindowVisible(hwnd_)) {
        if (!PumpOneMessage()) break;
    }
    modal_ = false;
    ReleaseModalOwner();
}

void Form::ReleaseModalOwner() {
    if (const HWND owner = std::exchange(modalOwner_, nullptr)) EnableWindow(owner, TRUE);
}

void Form::Hide() {
    if (!IsLoaded()) return;
    ReleaseModalOwner();
    ShowWindow(hwnd_, SW_HIDE);
}

bool Form::Visible() const { return IsLoaded() && IsWindowVisible(hwnd_); }

void Form::SetVisible(bool visible) {
    if (visible) {
        Show();
    } else {
        Hide();
    }
}

std::wstring Form::Caption() const {
    if (!IsLoaded()) return {};
    const int length = GetWindowTextLengthW(hwnd_);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(hwnd_, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(std::max(copied, 0)));
    return text;
}

void Form::SetCaption(const std::wstring& caption) {
    Load();
    SetWindowTextW(hwnd_, caption.c_str());
    if ((GetWindowLongPtrW(hwnd_, GWL_EXSTYLE) & WS_EX_MDICHILD) != 0) {
        // The frame's window list shows the new caption at once.
        const HWND client = GetParent(hwnd_);
        SendMessageW(client, WM_MDIREFRESHMENU, 0, 0);
        // A hidden frame (a capture under way) draws its menu bar when it is shown again.
        const HWND frame = GetParent(client);
        if (IsWindowVisible(frame) != FALSE) DrawMenuBar(frame);
    }
}

RECT Form::OuterRect() const {
    RECT rect{};
    if (!IsLoaded()) return rect;
    GetWindowRect(hwnd_, &rect);
    const HWND parent = (GetWindowLongPtrW(hwnd_, GWL_STYLE) & WS_CHILD) != 0 ? GetParent(hwnd_) : nullptr;
    if (parent != nullptr) MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

void Form::MoveOuter(const RECT& rect) {
    if (IsIconic(hwnd_) || IsZoomed(hwnd_))
        RaiseError(ErrorNumber::CannotSizeMinimisedForm,
                   L"A form can't be moved or sized while minimized or maximized");
    SetWindowPos(hwnd_, nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

float Form::Twips(Edge edge, long pixels, float twipsPerPixel) const {
    if (hasRemembered_[edge]) {
        try {
            if (ToInt32(remembered_[edge] / twipsPerPixel) == pixels) return remembered_[edge];
        } catch (const RuntimeError&) {
        }
    }
    return static_cast<float>(pixels) * twipsPerPixel;
}

float Form::Left() const { return Twips(kLeft, OuterRect().left, Screen::TwipsPerPixelX()); }
float Form::Top() const { return Twips(kTop, OuterRect().top, Screen::TwipsPerPixelY()); }
float Form::Width() const {
    const RECT r = OuterRect();
    return Twips(kWidth, r.right - r.left, Screen::TwipsPerPixelX());
}
float Form::Height() const {
    const RECT r = OuterRect();
    return Twips(kHeight, r.bottom - r.top, Screen::TwipsPerPixelY());
}

void Form::SetLeft(float twips) {
    Load();
    RECT r = OuterRect();
    const LONG x = Twips::ToPixelsX(twips);
    OffsetRect(&r, x - r.left, 0);
    MoveOuter(r);
    Remember(kLeft, twips);
}

void Form::SetTop(float twips) {
    Load();
    RECT r = OuterRect();
    const LONG y = Twips::ToPixelsY(twips);
    OffsetRect(&r, 0, y - r.top);
    MoveOuter(r);
    Remember(kTop, twips);
}

void Form::SetWidth(float twips) {
    Load();
    RECT r = OuterRect();
    const LONG width = Twips::ToPixelsX(twips);
    if (width < 0) RaiseError(ErrorNumber::InvalidPropertyValue, L"Invalid property value");
    r.right = r.left + width;
    MoveOuter(r);
    Remember(kWidth, twips);
}

void Form::SetHeight(float twips) {
    Load();
    RECT r = OuterRect();
    const LONG height = Twips::ToPixelsY(twips);
    if (height < 0) RaiseError(ErrorNumber::InvalidPropertyValue, L"Invalid property value");
    r.bottom = r.top + height;
    MoveOuter(r);
    Remember(kHeight, twips);
}

float Form::ScaleWidth() const {
    RECT r{};
    if (IsLoaded()) GetClientRect(hwnd_, &r);
    return Twips::FromPixelsX(r.right);
}

float Form::ScaleHeight() const {
    RECT r{};
    if (IsLoaded()) GetClientRect(hwnd_, &r);
    return Twips::FromPixelsY(r.bottom);
}
