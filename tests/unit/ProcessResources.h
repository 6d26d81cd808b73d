#pragma once
// What this process holds of the system: GDI and USER objects and private memory, read
// the same way by the robustness tests and the benchmarks.
#include <cstdint>
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

// Private memory alone: cheap enough to read after every cycle.
std::uint64_t ReadPrivateBytes();

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
