#pragma once

// The screen's size in pixels and its twips-per-pixel factors (1440 / DPI).
class IScreenService {
public:
    virtual ~IScreenService() = default;
    virtual int WidthPixels() = 0;
    virtual int HeightPixels() = 0;
    virtual float TwipsPerPixelX() = 0;
    virtual float TwipsPerPixelY() = 0;
};

IScreenService& ScreenService();
// Tests install their own; nullptr restores the real one.
void SetScreenService(IScreenService* service);

// The screen object as the program's rules use it: sizes in twips.
namespace Screen {
float Width();
float Height();
float TwipsPerPixelX();
float TwipsPerPixelY();
}  // namespace Screen
