#include "DrawCounter.h"

#include <commctrl.h>

namespace {
DrawCounter* g_watchingNew = nullptr;
HHOOK g_hook = nullptr;
constexpr UINT_PTR kSubclassId = 0x44524157;  // "DRAW"

BOOL CALLBACK AddChild(HWND child, LPARAM add) {
    (*reinterpret_cast<std::function<void(HWND)>*>(add))(child);
    return TRUE;
}
}  // namespace

DrawCounter::~DrawCounter() {
    if (hook_ != nullptr) {
        UnhookWindowsHookEx(hook_);
        g_watchingNew = nullptr;
        g_hook = nullptr;
    }
    for (HWND window : watched_) RemoveWindowSubclass(window, &Subclass, kSubclassId);
}

void DrawCounter::Watch(HWND window) {
    Add(window);
    std::function<void(HWND)> add = [this](HWND child) { Add(child); };
    EnumChildWindows(window, &AddChild, reinterpret_cast<LPARAM>(&add));
}

void DrawCounter::WatchNewWindows() {
    if (hook_ != nullptr) return;
    g_watchingNew = this;
    hook_ = g_hook = SetWindowsHookExW(WH_CBT, &OnCreation, nullptr, GetCurrentThreadId());
}

LRESULT CALLBACK DrawCounter::OnCreation(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND && g_watchingNew != nullptr) g_watchingNew->Add(reinterpret_cast<HWND>(wParam));
    return CallNextHookEx(g_hook, code, wParam, lParam);
}

void DrawCounter::Add(HWND window) {
    if (watched_.insert(window).second) SetWindowSubclass(window, &Subclass, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
}

LRESULT CALLBACK DrawCounter::Subclass(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                       DWORD_PTR self) {
    auto* counter = reinterpret_cast<DrawCounter*>(self);
    Counts& counts = counter->counts_[window];
    switch (message) {
    case WM_PAINT: ++counts.paints; break;
    case WM_NCPAINT: ++counts.framePaints; break;
    case SBM_SETSCROLLINFO:
    case SBM_SETPOS:
        if (wParam != 0) ++counts.redraws;
        break;
    case SBM_SETRANGEREDRAW: ++counts.redraws; break;
    case WM_NCDESTROY:
        RemoveWindowSubclass(window, &Subclass, kSubclassId);
        counter->watched_.erase(window);
        break;
    default: break;
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

int DrawCounter::Paints(HWND window) const {
    const auto it = counts_.find(window);
    return it == counts_.end() ? 0 : it->second.paints;
}

int DrawCounter::FramePaints(HWND window) const {
    const auto it = counts_.find(window);
    return it == counts_.end() ? 0 : it->second.framePaints;
}

int DrawCounter::Draws(HWND window) const {
    const auto it = counts_.find(window);
    return it == counts_.end() ? 0 : it->second.paints + it->second.redraws;
}

int DrawCounter::Total() const {
    int total = 0;
    for (const auto& [window, counts] : counts_) total += counts.paints + counts.framePaints + counts.redraws;
    return total;
}
