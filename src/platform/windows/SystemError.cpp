// The run-time errors that carry the system's own failure codes and texts.
#include "platform/rules/RuntimeError.h"

#include <type_traits>

#include <windows.h>

static_assert(std::is_same_v<HRESULT, long> && std::is_same_v<DWORD, unsigned long>,
              "RuntimeError.h declares these functions with the underlying types");

std::wstring SystemMessageText(DWORD code) {
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text;
    if (length != 0 && buffer != nullptr) {
        text.assign(buffer, length);
        while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' '))
            text.pop_back();
    }
    if (buffer != nullptr) LocalFree(buffer);
    if (text.empty()) text = L"System error " + std::to_wstring(code);
    return text;
}

void ThrowIfFailed(HRESULT hr, const wchar_t* what) {
    if (SUCCEEDED(hr)) return;
    std::wstring description = what;
    description += L": ";
    description += SystemMessageText(static_cast<DWORD>(hr));
    throw RuntimeError(static_cast<std::int32_t>(hr), description);
}

void RaiseLastWin32Error(const wchar_t* what) {
    const DWORD code = GetLastError();
    std::wstring description = what;
    description += L": ";
    description += SystemMessageText(code);
    throw RuntimeError(ErrorNumber::SystemCallFailed + static_cast<std::int32_t>(code % 100000), description);
}
