#include "help/basHelp.h"

#include <cstdint>

#include <htmlhelp.h>

#include "platform/services/HelpViewer.h"
#include "platform/windows/ErrorReporter.h"

namespace {

const std::wstring kWindowType = L">Main";

// One call of the viewer. The data argument is the address of a zero-filled 32-bit value:
// an empty string, so nothing beyond what the path names is asked for.
void CallViewer(HWND owner, const std::wstring& path, UINT command) {
    const std::string ansiPath = ToAnsi(path);
    std::int32_t data = 0;
    HelpViewer().Open(owner, ansiPath, command, reinterpret_cast<DWORD_PTR>(&data));
}

}  // namespace

std::string ToAnsi(const std::wstring& text) {
    if (text.empty()) return {};
    const int length = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                           nullptr, nullptr);
    std::string result(static_cast<std::size_t>(length > 0 ? length : 0), '\0');
    if (length > 0)
        WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), result.data(), length, nullptr,
                            nullptr);
    return result;
}

void ShowHelpContents(HWND owner, const std::wstring& helpFile) {
    Trapped([&] { CallViewer(owner, helpFile + kWindowType, HH_DISPLAY_TOC); });
}

void ShowHelpIndex(HWND owner, const std::wstring& helpFile) {
    Trapped([&] { CallViewer(owner, helpFile + kWindowType, HH_DISPLAY_INDEX); });
}

void ShowHelpTopic(HWND owner, const std::wstring& helpFile, const std::wstring& topic) {
    Trapped([&] { CallViewer(owner, helpFile + L"::/html/" + topic + kWindowType, HH_DISPLAY_TOC); });
}
