#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "platform/rules/ScreenGeometry.h"

// The small topmost panel a scrolling capture shows while it runs: "Frame 7, 4,812 px" and
// how to stop. It stands outside the captured area, so it is never in a frame; where no
// side of the area leaves room on the desktop it does not show at all.
class ScrollProgress {
public:
    explicit ScrollProgress(const EdgeRect& area);
    ~ScrollProgress();
    ScrollProgress(const ScrollProgress&) = delete;
    ScrollProgress& operator=(const ScrollProgress&) = delete;

    void Show(int frame, std::int32_t height);
    // Runs this thread's pending messages; true once Esc was pressed or the panel clicked.
    bool StopAsked();

private:
    class Panel;
    std::unique_ptr<Panel> panel_;
};

// "4,812": thousands set apart by commas.
std::wstring GroupedNumber(std::int64_t number);
