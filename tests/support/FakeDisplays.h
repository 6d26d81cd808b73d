#pragma once
// A screen service of any size, scale and monitor layout: what Wine's one screen at one
// DPI cannot show (monitors left of or above the primary, other scales without a new
// prefix) the code meets through this.
#include <cstdint>
#include <vector>

#include "platform/windows/ScreenService.h"

class FakeDisplays final : public IScreenService {
public:
    // The primary screen, width x height pixels at the given DPI, at 0,0.
    FakeDisplays(int width, int height, int dpi = 96) : width_(width), height_(height), dpi_(dpi) {
        const EdgeRect primary{0, 0, width, height};
        monitors.push_back(MonitorArea{primary, primary, true});
    }
    // Another monitor, by its edges in virtual-screen pixels.
    FakeDisplays& Add(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom) {
        const EdgeRect bounds{left, top, right, bottom};
        monitors.push_back(MonitorArea{bounds, bounds, false});
        return *this;
    }
    int WidthPixels() override { return width_; }
    int HeightPixels() override { return height_; }
    float TwipsPerPixelX() override { return 1440.0f / static_cast<float>(dpi_); }
    float TwipsPerPixelY() override { return 1440.0f / static_cast<float>(dpi_); }
    std::vector<MonitorArea> Monitors() override { return monitors; }

    std::vector<MonitorArea> monitors;

private:
    int width_;
    int height_;
    int dpi_;
};
