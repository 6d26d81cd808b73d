// Which picture format a file name or a dialog type stands for: plain rules, no Win32.
#include "platform/rules/SaveFormat.h"

#include <algorithm>
#include <array>
#include <cwctype>
#include <utility>

namespace {

// Where the extension starts (its dot), or npos: a dot inside a folder name, or a leading
// dot of a name (".png" alone is a hidden file's name, not an extension) does not count.
std::wstring::size_type ExtensionDot(const std::wstring& path) {
    const auto nameStart = path.find_last_of(L"\\/:");
    const auto start = nameStart == std::wstring::npos ? 0 : nameStart + 1;
    const auto dot = path.find_last_of(L'.');
    if (dot == std::wstring::npos || dot <= start) return std::wstring::npos;
    return dot;
}

}  // namespace

std::optional<SaveFormat> FormatOfFileName(const std::wstring& name) {
    static const std::array<std::pair<const wchar_t*, SaveFormat>, 7> kKnown{{
        {L"bmp", SaveFormat::Bitmap},
        {L"dib", SaveFormat::Bitmap},
        {L"png", SaveFormat::Png},
        {L"jpg", SaveFormat::Jpeg},
        {L"jpeg", SaveFormat::Jpeg},
        {L"jpe", SaveFormat::Jpeg},
        {L"jfif", SaveFormat::Jpeg},
    }};
    const auto dot = ExtensionDot(name);
    if (dot == std::wstring::npos) return std::nullopt;
    std::wstring extension = name.substr(dot + 1);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](wchar_t c) { return static_cast<wchar_t>(std::towlower(c)); });
    for (const auto& [known, format] : kKnown)
        if (extension == known) return format;
    return std::nullopt;
}

SaveFormat FormatOfFilterIndex(unsigned filterIndex) {
    switch (filterIndex) {
    case 2:
        return SaveFormat::Png;
    case 3:
        return SaveFormat::Jpeg;
    default:
        return SaveFormat::Bitmap;
    }
}

const wchar_t* DefaultExtension(SaveFormat format) {
    switch (format) {
    case SaveFormat::Png:
        return L".png";
    case SaveFormat::Jpeg:
        return L".jpg";
    case SaveFormat::Bitmap:
    default:
        return L".bmp";
    }
}

SaveTarget ChooseSaveTarget(const std::wstring& path, unsigned filterIndex) {
    if (const auto named = FormatOfFileName(path)) return {path, *named};
    const SaveFormat chosen = FormatOfFilterIndex(filterIndex);
    const auto dot = ExtensionDot(path);
    if (dot != std::wstring::npos && dot + 1 < path.size()) return {path, chosen};
    // "shot." ends in an empty extension: the type's extension replaces the lone dot.
    std::wstring base = path;
    if (!base.empty() && base.back() == L'.') base.pop_back();
    return {base + DefaultExtension(chosen), chosen};
}

std::wstring SaveFormatText(SaveFormat format) {
    switch (format) {
    case SaveFormat::Bitmap: return L"Bitmap";
    case SaveFormat::Jpeg: return L"JPEG";
    case SaveFormat::Png:
    default: return L"PNG";
    }
}

SaveFormat SaveFormatSetting(const std::wstring& text) {
    if (text == L"Bitmap") return SaveFormat::Bitmap;
    if (text == L"JPEG") return SaveFormat::Jpeg;
    return SaveFormat::Png;
}
