#include "platform/windows/Dpi.h"

#include <cmath>

#include "platform/rules/DpiScale.h"
#include "platform/windows/ScreenService.h"
#include "platform/windows/Twips.h"

namespace {

// The per-DPI calls exist from Windows 10 1607; before that every window has the system DPI.
template <class Function>
Function User32(const char* name) {
    return reinterpret_cast<Function>(GetProcAddress(GetModuleHandleW(L"user32.dll"), name));
}

void ScaleFont(LOGFONTW& font, int fromDpi, int toDpi) {
    font.lfHeight = ScaleForDpi(font.lfHeight, fromDpi, toDpi);
    font.lfWidth = ScaleForDpi(font.lfWidth, fromDpi, toDpi);
}

}  // namespace

namespace Dpi {

int System() {
    const float twipsPerPixel = Screen::TwipsPerPixelY();
    return twipsPerPixel > 0.0f ? static_cast<int>(std::lround(1440.0f / twipsPerPixel)) : kStandardDpi;
}

int OfWindow(HWND window) { return ScreenService().WindowDpi(window); }

int FromSystem(int pixels, int dpi) { return ScaleForDpi(pixels, System(), dpi); }

RECT TwipsToPixelRect(double left, double top, double width, double height, int dpi) {
    const RECT system = Twips::ToPixelRect(left, top, width, height);
    const int systemDpi = System();
    if (dpi == systemDpi) return system;
    const LONG x = ScaleForDpi(system.left, systemDpi, dpi);
    const LONG y = ScaleForDpi(system.top, systemDpi, dpi);
    return RECT{x, y, x + ScaleForDpi(system.right - system.left, systemDpi, dpi),
                y + ScaleForDpi(system.bottom - system.top, systemDpi, dpi)};
}

int Metric(int index, int dpi) {
    using ForDpi = int(WINAPI*)(int, UINT);
    static const auto forDpi = User32<ForDpi>("GetSystemMetricsForDpi");
    if (forDpi != nullptr && dpi > 0) return forDpi(index, static_cast<UINT>(dpi));
    return ScaleForDpi(GetSystemMetrics(index), System(), dpi);
}

NONCLIENTMETRICSW NonClientMetrics(int dpi) {
    using ForDpi = BOOL(WINAPI*)(UINT, UINT, PVOID, UINT, UINT);
    static const auto forDpi = User32<ForDpi>("SystemParametersInfoForDpi");
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (forDpi != nullptr && dpi > 0 &&
        forDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, static_cast<UINT>(dpi)))
        return metrics;
    metrics = NONCLIENTMETRICSW{};
    metrics.cbSize = sizeof metrics;
    if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
        GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof metrics.lfMessageFont, &metrics.lfMessageFont);
        metrics.lfStatusFont = metrics.lfMessageFont;
    }
    const int system = System();
    for (LOGFONTW* font : {&metrics.lfCaptionFont, &metrics.lfSmCaptionFont, &metrics.lfMenuFont,
                           &metrics.lfStatusFont, &metrics.lfMessageFont})
        ScaleFont(*font, system, dpi);
    return metrics;
}

unique_hfont MessageFont(int dpi) {
    const NONCLIENTMETRICSW metrics = NonClientMetrics(dpi);
    return unique_hfont(CreateFontIndirectW(&metrics.lfMessageFont));
}

unique_hfont StatusFont(int dpi) {
    const NONCLIENTMETRICSW metrics = NonClientMetrics(dpi);
    return unique_hfont(CreateFontIndirectW(&metrics.lfStatusFont));
}

void ApplySuggestedRect(HWND window, LPARAM suggested) {
    const auto* rect = reinterpret_cast<const RECT*>(suggested);
    if (rect == nullptr) return;
    SetWindowPos(window, nullptr, rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace Dpi
