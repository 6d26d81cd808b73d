#include "platform/windows/ScreenService.h"

#include <windows.h>

#include <cmath>

namespace {

EdgeRect Edges(const RECT& rect) { return EdgeRect{rect.left, rect.top, rect.right, rect.bottom}; }

class RealScreenService final : public IScreenService {
public:
    int WidthPixels() override { return GetSystemMetrics(SM_CXSCREEN); }
    int HeightPixels() override { return GetSystemMetrics(SM_CYSCREEN); }
    float TwipsPerPixelX() override { return 1440.0f / static_cast<float>(Dpi(LOGPIXELSX)); }
    float TwipsPerPixelY() override { return 1440.0f / static_cast<float>(Dpi(LOGPIXELSY)); }
    std::vector<MonitorArea> Monitors() override {
        std::vector<MonitorArea> monitors;
        EnumDisplayMonitors(nullptr, nullptr, &AddMonitor, reinterpret_cast<LPARAM>(&monitors));
        if (monitors.empty()) return IScreenService::Monitors();
        return monitors;
    }
    int WindowDpi(HWND window) override {
        // Windows 10 1607 and later; earlier systems have one DPI for every window.
        using GetDpi = UINT(WINAPI*)(HWND);
        static const auto getDpiForWindow =
            reinterpret_cast<GetDpi>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow"));
        const UINT dpi = getDpiForWindow != nullptr && window != nullptr ? getDpiForWindow(window) : 0;
        return dpi > 0 ? static_cast<int>(dpi) : IScreenService::WindowDpi(window);
    }

private:
    // The system DPI is fixed for the session (a change takes a new sign-in), and every
    // twips conversion asks for it: asking the display each time cost a pointer move over
    // the selector some milliseconds.
    static int Dpi(int which) {
        static const int x = QueryDpi(LOGPIXELSX);
        static const int y = QueryDpi(LOGPIXELSY);
        return which == LOGPIXELSX ? x : y;
    }
    static int QueryDpi(int which) {
        HDC screen = GetDC(nullptr);
        int dpi = screen != nullptr ? GetDeviceCaps(screen, which) : 96;
        if (screen != nullptr) ReleaseDC(nullptr, screen);
        return dpi > 0 ? dpi : 96;
    }
    static BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM list) {
        MONITORINFO info{};
        info.cbSize = sizeof info;
        if (GetMonitorInfoW(monitor, &info))
            reinterpret_cast<std::vector<MonitorArea>*>(list)->push_back(
                MonitorArea{Edges(info.rcMonitor), Edges(info.rcWork), (info.dwFlags & MONITORINFOF_PRIMARY) != 0});
        return TRUE;
    }
};

}  // namespace

std::vector<MonitorArea> IScreenService::Monitors() {
    const EdgeRect primary{0, 0, WidthPixels(), HeightPixels()};
    return {MonitorArea{primary, primary, true}};
}

int IScreenService::WindowDpi(HWND) {
    const float twipsPerPixel = TwipsPerPixelY();  // 1440 / the system DPI
    return twipsPerPixel > 0.0f ? static_cast<int>(std::lround(1440.0f / twipsPerPixel)) : 96;
}

template <>
IScreenService& RealService<IScreenService>() {
    static RealScreenService real;
    return real;
}

EdgeRect DesktopPixels() { return DesktopBounds(ScreenService().Monitors()); }

namespace Screen {
float TwipsPerPixelX() { return ScreenService().TwipsPerPixelX(); }
float TwipsPerPixelY() { return ScreenService().TwipsPerPixelY(); }
float Width() { return static_cast<float>(ScreenService().WidthPixels()) * TwipsPerPixelX(); }
float Height() { return static_cast<float>(ScreenService().HeightPixels()) * TwipsPerPixelY(); }
}  // namespace Screen
