#include "platform/rules/DesktopGeometry.h"

#include <algorithm>
#include <cstdint>

EdgeRect DesktopBounds(const std::vector<MonitorArea>& monitors) {
    if (monitors.empty()) return EdgeRect{};
    EdgeRect bounds = monitors.front().Bounds;
    for (const MonitorArea& monitor : monitors) {
        bounds.Left = std::min(bounds.Left, monitor.Bounds.Left);
        bounds.Top = std::min(bounds.Top, monitor.Bounds.Top);
        bounds.Right = std::max(bounds.Right, monitor.Bounds.Right);
        bounds.Bottom = std::max(bounds.Bottom, monitor.Bounds.Bottom);
    }
    return bounds;
}

EdgeRect ClipToDesktop(EdgeRect rect, const EdgeRect& desktop) {
    const auto outside = [](std::int32_t edge, std::int32_t low, std::int32_t high) { return edge > high || edge < low; };
    if (outside(rect.Left, desktop.Left, desktop.Right)) rect.Left = desktop.Left;
    if (outside(rect.Top, desktop.Top, desktop.Bottom)) rect.Top = desktop.Top;
    if (outside(rect.Right, desktop.Left, desktop.Right)) rect.Right = desktop.Right;
    if (outside(rect.Bottom, desktop.Top, desktop.Bottom)) rect.Bottom = desktop.Bottom;
    return rect;
}

std::optional<EdgeRect> IntersectDesktop(const EdgeRect& rect, const EdgeRect& desktop) {
    const EdgeRect common{std::max(rect.Left, desktop.Left), std::max(rect.Top, desktop.Top),
                          std::min(rect.Right, desktop.Right), std::min(rect.Bottom, desktop.Bottom)};
    if (common.Right <= common.Left || common.Bottom <= common.Top) return std::nullopt;
    return common;
}

bool ShowsOnAMonitor(const EdgeRect& window, const std::vector<MonitorArea>& monitors, int minimumVisible) {
    for (const MonitorArea& monitor : monitors) {
        // 64 bits: a stored placement may hold any 32-bit edges.
        const std::int64_t width = std::int64_t{std::min(window.Right, monitor.Bounds.Right)} -
                                   std::max(window.Left, monitor.Bounds.Left);
        const std::int64_t height = std::int64_t{std::min(window.Bottom, monitor.Bounds.Bottom)} -
                                    std::max(window.Top, monitor.Bounds.Top);
        if (width >= minimumVisible && height >= minimumVisible) return true;
    }
    return false;
}
