#include "platform/windows/DeferredFrames.h"

namespace {
constexpr const wchar_t* kProperty = L"Pixelnab.DeferredFrames";
}

DeferredFrames::DeferredFrames(HWND parent) : parent_(parent), nested_(GetPropW(parent, kProperty) != nullptr) {
    if (parent_ != nullptr && !nested_) SetPropW(parent_, kProperty, reinterpret_cast<HANDLE>(1));
}

DeferredFrames::~DeferredFrames() {
    if (parent_ == nullptr || nested_ || !IsWindow(parent_)) return;
    RemovePropW(parent_, kProperty);
    // Drawn before the command returns, as the arrangement itself would have drawn it.
    RedrawWindow(parent_, nullptr, nullptr, RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

bool DeferredFrames::Active(HWND child) {
    const HWND parent = GetParent(child);
    return parent != nullptr && GetPropW(parent, kProperty) != nullptr;
}

bool DeferredFrames::Intercept(HWND window, UINT message, LPARAM lParam) {
    if (message != WM_NCPAINT && message != WM_ERASEBKGND && message != WM_WINDOWPOSCHANGING) return false;
    if ((GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_MDICHILD) == 0 || !Active(window)) return false;
    if (message != WM_WINDOWPOSCHANGING) return true;  // drawn once when the stretch ends
    // Each move would otherwise erase, at once, every window it uncovers.
    reinterpret_cast<WINDOWPOS*>(lParam)->flags |= SWP_NOREDRAW;
    return false;
}
