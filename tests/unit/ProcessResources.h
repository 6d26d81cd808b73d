#pragma once
// What this process holds of the system: GDI and USER objects and private memory, read
// the same way by the robustness tests and the benchmarks.
#include <cstdint>
#include <map>
#include <string>

struct ProcessResources {
    long gdiObjects = 0;
    long userObjects = 0;
    std::uint64_t privateBytes = 0;
};

// GetGuiResources and PROCESS_MEMORY_COUNTERS_EX::PrivateUsage where the system provides
// them. Wine implements neither (GetGuiResources fails with ERROR_CALL_NOT_IMPLEMENTED and
// PrivateUsage stays 0); there the counts come from the process's own GDI handle table,
// from a walk of the USER handle space (windows of this process and menus), and private
// memory is PagefileUsage, which Wine fills with the process's resident anonymous memory.
ProcessResources ReadProcessResources();

// The GDI count alone: under Wine a read of this process's own memory, cheap enough to poll.
long CountGdiObjects();

// Private memory alone: cheap enough to read after every cycle.
std::uint64_t ReadPrivateBytes();

// The process's live GDI objects by their type in Wine's handle table (1 device context,
// 4 region, 5 bitmap, 10 font, 16 brush, 48 pen...), where that table can be read; empty
// elsewhere. Tells what a leak check's difference is made of.
std::map<int, long> GdiObjectsByType();
std::string DescribeGdiDifference(const std::map<int, long>& before, const std::map<int, long>& after);

// Which sources ReadProcessResources used, for the test log.
std::wstring ProcessResourcesSource();

// The process's GDI and USER object counts alone, for the leak checks.
struct GuiObjectCounts {
    long gdi = 0;
    long user = 0;
    bool operator==(const GuiObjectCounts&) const = default;
};

inline GuiObjectCounts CountGuiObjects() {
    const ProcessResources resources = ReadProcessResources();
    return {resources.gdiObjects, resources.userObjects};
}
