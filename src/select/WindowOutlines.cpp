#include "select/WindowOutlines.h"

#include "platform/pictures/ScreenCapture.h"

namespace {

// A window hidden by the desktop window manager (another virtual desktop's, a suspended
// store app's) is visible to user32 but not on the screen.
bool Cloaked(HWND window) {
    using GetAttribute = HRESULT(WINAPI*)(HWND, DWORD, PVOID, DWORD);
    static const GetAttribute getAttribute = [] {
        const HMODULE dwm = LoadLibraryW(L"dwmapi.dll");  // kept loaded for the run
        return dwm != nullptr ? reinterpret_cast<GetAttribute>(GetProcAddress(dwm, "DwmGetWindowAttribute"))
                              : nullptr;
    }();
    constexpr DWORD kCloaked = 14;  // DWMWA_CLOAKED
    DWORD cloaked = 0;
    return getAttribute != nullptr && SUCCEEDED(getAttribute(window, kCloaked, &cloaked, sizeof cloaked)) &&
           cloaked != 0;
}

// The shell's desktop (Program Manager, and the WorkerW windows that hold the wallpaper)
// spans every monitor behind all windows: where only it lies, there is no window.
bool DesktopBackground(HWND window) {
    if (window == GetShellWindow()) return true;
    wchar_t name[16]{};
    return GetClassNameW(window, name, 16) > 0 && lstrcmpW(name, L"WorkerW") == 0;
}

EdgeRect EdgesOf(const RECT& r) noexcept { return EdgeRect{r.left, r.top, r.right, r.bottom}; }

bool HasArea(const RECT& r) noexcept { return r.right > r.left && r.bottom > r.top; }

struct Gathering {
    DWORD leftOutProcess;
    HWND topLevel = nullptr;
    std::vector<SnapCandidate> candidates;
};

BOOL CALLBACK AddControl(HWND window, LPARAM context) {
    auto& gathering = *reinterpret_cast<Gathering*>(context);
    // IsWindowVisible also answers for every parent: a hidden panel hides its buttons.
    RECT bounds{};
    if (!IsWindowVisible(window) || !GetWindowRect(window, &bounds) || !HasArea(bounds)) return TRUE;
    int depth = 0;
    for (HWND parent = window; parent != nullptr && parent != gathering.topLevel; parent = GetAncestor(parent, GA_PARENT))
        ++depth;
    gathering.candidates.push_back(SnapCandidate{EdgesOf(bounds), depth});
    return TRUE;
}

BOOL CALLBACK AddTopLevel(HWND window, LPARAM context) {
    auto& gathering = *reinterpret_cast<Gathering*>(context);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    // A click-through overlay (WS_EX_TRANSPARENT) is nothing the user sees as a window.
    if (process == gathering.leftOutProcess || !IsWindowVisible(window) || IsIconic(window) ||
        (GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TRANSPARENT) != 0 || Cloaked(window) ||
        DesktopBackground(window))
        return TRUE;
    const RECT bounds = VisibleWindowRect(window);
    if (!HasArea(bounds)) return TRUE;
    gathering.candidates.push_back(SnapCandidate{EdgesOf(bounds), 0});
    // Depth first, front to back at each level: the order SnapTarget reads.
    gathering.topLevel = window;
    EnumChildWindows(window, &AddControl, context);
    return TRUE;
}

}  // namespace

std::vector<SnapCandidate> WindowOutlines(DWORD leftOutProcess) {
    Gathering gathering{leftOutProcess, nullptr, {}};
    EnumWindows(&AddTopLevel, reinterpret_cast<LPARAM>(&gathering));
    return std::move(gathering.candidates);
}
