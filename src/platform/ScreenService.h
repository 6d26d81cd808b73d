#pragma once

#include "platform/Service.h"

// The screen's size in pixels and its twips-per-pixel factors (1440 / DPI).
class IScreenService {
public:
    virtual ~IScreenService() = default;
    virtual int WidthPixels() = 0;
    virtual int HeightPixels() = 0;
    virtual float TwipsPerPixelX() = 0;
    virtual float TwipsPerPixelY() = 0;
};

template <>
IScreenService& RealService<IScreenService>();
inline IScreenService& ScreenService() { return CurrentService<IScreenService>(); }
// nullptr restores the real one; tests may prefer ScopedService<IScreenService>.
inline void SetScreenService(IScreenService* service) { InstallService(service); }

// The screen object as the program's rules use it: sizes in twips.
namespace Screen {
float Width();
float Height();
float TwipsPerPixelX();
float TwipsPerPixelY();
}  // namespace Screen
