#include "PatternProcess.h"

#include <string>

#include "platform/windows/Form.h"
#include "Wait.h"

namespace {

// Built beside the unit tests.
std::wstring PatternWindowPath() {
    wchar_t self[MAX_PATH]{};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    const std::wstring path = self;
    return path.substr(0, path.find_last_of(L"\\/") + 1) + L"pattern_window.exe";
}

struct Search {
    DWORD process;
    HWND found;
};

BOOL CALLBACK FindShown(HWND window, LPARAM context) {
    auto& search = *reinterpret_cast<Search*>(context);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search.process || !IsWindowVisible(window)) return TRUE;
    search.found = window;
    return FALSE;
}

}  // namespace

PatternProcess::PatternProcess(int x, int y, int width, int height, int buttonX, int buttonY, int buttonWidth,
                               int buttonHeight) {
    std::wstring command = L"\"" + PatternWindowPath() + L"\" " + std::to_wstring(x) + L" " + std::to_wstring(y) +
                           L" " + std::to_wstring(width) + L" " + std::to_wstring(height) + L" 60";
    if (buttonWidth > 0)
        command += L" " + std::to_wstring(buttonX) + L" " + std::to_wstring(buttonY) + L" " +
                   std::to_wstring(buttonWidth) + L" " + std::to_wstring(buttonHeight);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process_))
        return;
    WaitUntil(
        [&] {
            Search search{process_.dwProcessId, nullptr};
            EnumWindows(&FindShown, reinterpret_cast<LPARAM>(&search));
            window_ = search.found;
            return window_ != nullptr;
        },
        10000);
    Settle();
}

PatternProcess::~PatternProcess() {
    if (process_.hProcess == nullptr) return;
    TerminateProcess(process_.hProcess, 0);
    WaitForSingleObject(process_.hProcess, 10000);
    CloseHandle(process_.hProcess);
    CloseHandle(process_.hThread);
    DoEvents();
}
