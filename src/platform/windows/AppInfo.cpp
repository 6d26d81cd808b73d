#include "platform/windows/AppInfo.h"

#include <windows.h>

namespace App {
const std::wstring& Title() {
    static const std::wstring title = L"Pixelnab";
    return title;
}

std::wstring HelpFile() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return L"Pixelnab.chm";
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    const auto slash = path.find_last_of(L"\\/");
    path.resize(slash == std::wstring::npos ? 0 : slash + 1);
    return path + L"Pixelnab.chm";
}
}  // namespace App
