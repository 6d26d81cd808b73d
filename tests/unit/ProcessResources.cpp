#include "ProcessResources.h"

#include <windows.h>
#include <psapi.h>
#include <winternl.h>

namespace {

bool GuiResourcesWork() {
    static const bool works = [] {
        SetLastError(ERROR_SUCCESS);
        const DWORD count = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
        return count != 0 || GetLastError() != ERROR_CALL_NOT_IMPLEMENTED;
    }();
    return works;
}

// One entry of the GDI handle table that the PEB points to (GDI_HANDLE_ENTRY, 64-bit).
struct GdiHandleEntry {
    UINT64 object;
    ULONG owner;
    USHORT unique;
    UCHAR type;
    UCHAR flags;
    UINT64 user;
};
static_assert(sizeof(GdiHandleEntry) == 24);
constexpr int kGdiHandleCount = 0x10000;

const GdiHandleEntry* GdiHandleTable() {
#if defined(_WIN64)
    // PEB::GdiSharedHandleTable; under Wine the table belongs to this process alone, so
    // every live entry (type non-zero) is one of its objects, stock objects included.
    using QueryProcess = LONG(WINAPI*)(HANDLE, PROCESSINFOCLASS, PVOID, ULONG, PULONG);
    static const auto query = reinterpret_cast<QueryProcess>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationProcess")));
    PROCESS_BASIC_INFORMATION basic{};
    if (query == nullptr || query(GetCurrentProcess(), ProcessBasicInformation, &basic, sizeof basic, nullptr) != 0)
        return nullptr;
    const auto* peb = reinterpret_cast<const BYTE*>(basic.PebBaseAddress);
    return *reinterpret_cast<const GdiHandleEntry* const*>(peb + 0xF8);
#else
    return nullptr;
#endif
}

long CountGdiHandleTable() {
    const GdiHandleEntry* table = GdiHandleTable();
    if (table == nullptr) return -1;
    long count = 0;
    for (int i = 0; i < kGdiHandleCount; ++i)
        if (table[i].type != 0) ++count;
    return count;
}

long CountUserHandles() {
    // USER handles accept their 16-bit form with any generation, so the whole space can be
    // walked; windows of other processes are left out.
    const DWORD self = GetCurrentProcessId();
    long count = 0;
    for (UINT_PTR handle = 0x20; handle < 0x10000; handle += 2) {
        const HWND window = reinterpret_cast<HWND>(handle);
        if (IsWindow(window)) {
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner == self) ++count;
        } else if (IsMenu(reinterpret_cast<HMENU>(handle))) {
            ++count;
        }
    }
    return count;
}

}  // namespace

std::uint64_t ReadPrivateBytes() {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    if (!K32GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                                 sizeof counters))
        return 0;
    return counters.PrivateUsage != 0 ? counters.PrivateUsage : counters.PagefileUsage;
}

ProcessResources ReadProcessResources() {
    ProcessResources resources;
    if (GuiResourcesWork()) {
        resources.gdiObjects = static_cast<long>(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS));
        resources.userObjects = static_cast<long>(GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS));
    } else {
        resources.gdiObjects = CountGdiHandleTable();
        resources.userObjects = CountUserHandles();
    }
    resources.privateBytes = ReadPrivateBytes();
    return resources;
}

long CountGdiObjects() {
    return GuiResourcesWork() ? static_cast<long>(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS))
                              : CountGdiHandleTable();
}

std::map<int, long> GdiObjectsByType() {
    std::map<int, long> types;
    if (GuiResourcesWork()) return types;
    const GdiHandleEntry* table = GdiHandleTable();
    if (table == nullptr) return types;
    for (int i = 0; i < kGdiHandleCount; ++i)
        if (table[i].type != 0) ++types[table[i].type];
    return types;
}

std::string DescribeGdiDifference(const std::map<int, long>& before, const std::map<int, long>& after) {
    std::map<int, long> difference = after;
    for (const auto& [type, count] : before) difference[type] -= count;
    std::string text;
    for (const auto& [type, count] : difference)
        if (count != 0) text += "type " + std::to_string(type) + ": " + (count > 0 ? "+" : "") + std::to_string(count) + "; ";
    return text.empty() ? "no difference by type" : text;
}

std::wstring ProcessResourcesSource() {
    return GuiResourcesWork() ? L"GetGuiResources" : L"GDI handle table and USER handle walk (no GetGuiResources)";
}
