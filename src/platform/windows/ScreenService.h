#pragma once
#include <vector>

#include <windows.h>

#include "platform/rules/DesktopGeometry.h"
#include "platform/rules/Service.h"

// The primary screen's size in pixels, its twips-per-pixel factors (1440 / DPI), and the
// monitors that make up the desktop.
class IScreenService {
public:
    virtual ~IScreenService() = default;
    virtual int WidthPixels() = 0;
    virtual int HeightPixels() = 0;
    virtual float TwipsPerPixelX() = 0;
    virtual float TwipsPerPixelY() = 0;
    // Every monitor in virtual-screen pixels. Unless a service knows better, the primary
    // screen is the only one.
    virtual std::vector<MonitorArea> Monitors();
    // The DPI a window is drawn at. Under per-monitor awareness it is its monitor's, which
    // may differ from the system DPI behind the twips; unless a service knows better, the
    // system DPI.
    virtual int WindowDpi(HWND window);
};

template <>
IScreenService& RealService<IScreenService>();
inline IScreenService& ScreenService() { return CurrentService<IScreenService>(); }
// nullptr restores the real one; tests may prefer ScopedService<IScreenService>.
inline void SetScreenService(IScreenService* service) { InstallService(service); }

// The whole desktop, every monitor, in virtual-screen pixels.
EdgeRect DesktopPixels();

// The screen object as the program's rules use it: sizes in twips.
namespace Screen {
float Width();
float Height();
float TwipsPerPixelX();
float TwipsPerPixelY();
}  // namespace Screen
