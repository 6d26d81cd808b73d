#include "platform/rules/CaptureFileName.h"

#include <array>
#include <cwctype>

namespace {

std::wstring Padded(int value, std::size_t digits) {
    std::wstring text = std::to_wstring(value < 0 ? -value : value);
    if (text.size() < digits) text.insert(0, digits - text.size(), L'0');
    return text;
}

std::optional<std::wstring> FieldValue(const std::wstring& name, const CaptureNameFields& fields) {
    if (name == L"n") return std::to_wstring(fields.number);
    if (name == L"yyyy") return Padded(fields.year, 4);
    if (name == L"yy") return Padded(fields.year % 100, 2);
    if (name == L"MM") return Padded(fields.month, 2);
    if (name == L"dd") return Padded(fields.day, 2);
    if (name == L"HH") return Padded(fields.hour, 2);
    if (name == L"mm") return Padded(fields.minute, 2);
    if (name == L"ss") return Padded(fields.second, 2);
    if (name == L"title") return fields.windowTitle;
    return std::nullopt;
}

bool Forbidden(wchar_t c) {
    return c < 32 || c == 127 || std::wstring_view(L"\\/:*?\"<>|").find(c) != std::wstring_view::npos;
}

// CON, PRN, AUX, NUL, COM1-9 and LPT1-9 name devices, with any extension after them.
bool DeviceName(const std::wstring& name) {
    std::wstring stem = name.substr(0, name.find(L'.'));
    while (!stem.empty() && stem.back() == L' ') stem.pop_back();
    for (auto& c : stem) c = static_cast<wchar_t>(std::towupper(c));
    static const std::array<const wchar_t*, 4> plain{L"CON", L"PRN", L"AUX", L"NUL"};
    for (const wchar_t* device : plain)
        if (stem == device) return true;
    return stem.size() == 4 && (stem.starts_with(L"COM") || stem.starts_with(L"LPT")) && stem[3] >= L'1' &&
           stem[3] <= L'9';
}

}  // namespace

std::wstring CaptureFileName(const std::wstring& pattern, const CaptureNameFields& fields) {
    std::wstring name;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == L'{') {
            const auto close = pattern.find(L'}', i + 1);
            if (close != std::wstring::npos) {
                if (const auto value = FieldValue(pattern.substr(i + 1, close - i - 1), fields)) {
                    name += *value;
                    i = close;
                    continue;
                }
            }
        }
        name += pattern[i];
    }
    for (auto& c : name)
        if (Forbidden(c)) c = L'_';
    if (name.size() > kMaxCaptureNameLength) {
        name.resize(kMaxCaptureNameLength);
        // Not half of a surrogate pair at the cut.
        if (name.back() >= 0xD800 && name.back() <= 0xDBFF) name.pop_back();
    }
    // Windows drops trailing dots and spaces from a name; leading spaces are legal but lost
    // to the eye. Both go, so the name written is the name shown.
    while (!name.empty() && (name.back() == L' ' || name.back() == L'.')) name.pop_back();
    const auto first = name.find_first_not_of(L' ');
    name.erase(0, first == std::wstring::npos ? name.size() : first);
    if (name.empty()) return L"Capture";
    if (DeviceName(name)) name.insert(0, 1, L'_');
    return name;
}

std::wstring NumberedFileName(const std::wstring& name, int attempt, const std::wstring& extension) {
    if (attempt <= 1) return name + extension;
    return name + L" (" + std::to_wstring(attempt) + L")" + extension;
}
