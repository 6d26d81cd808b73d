#include "platform/ScreenService.h"

#include <windows.h>

namespace {

class RealScreenService final : public IScreenService {
public:
    int WidthPixels() override { return GetSystemMetrics(SM_CXSCREEN); }
    int HeightPixels() override { return GetSystemMetrics(SM_CYSCREEN); }
    float TwipsPerPixelX() override { return 1440.0f / static_cast<float>(Dpi(LOGPIXELSX)); }
    float TwipsPerPixelY() override { return 1440.0f / static_cast<float>(Dpi(LOGPIXELSY)); }

private:
    static int Dpi(int which) {
        HDC screen = GetDC(nullptr);
        int dpi = screen != nullptr ? GetDeviceCaps(screen, which) : 96;
        if (screen != nullptr) ReleaseDC(nullptr, screen);
        return dpi > 0 ? dpi : 96;
    }
};

}  // namespace

template <>
IScreenService& RealService<IScreenService>() {
    static RealScreenService real;
    return real;
}

namespace Screen {
float TwipsPerPixelX() { return ScreenService().TwipsPerPixelX(); }
float TwipsPerPixelY() { return ScreenService().TwipsPerPixelY(); }
float Width() { return static_cast<float>(ScreenService().WidthPixels()) * TwipsPerPixelX(); }
float Height() { return static_cast<float>(ScreenService().HeightPixels()) * TwipsPerPixelY(); }
}  // namespace Screen
