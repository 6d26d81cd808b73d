// Which picture format a file name or a dialog type stands for: plain rules, no Win32.
#include "platform/PictureFormat.h"

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

std::optional<PictureFormat> FormatOfFileName(const std::wstring& name) {
    static const std::array<std::pair<const wchar_t*, PictureFormat>, 7> kKnown{{
        {L"bmp", PictureFormat::Bitmap},
        {L"dib", PictureFormat::Bitmap},
        {L"png", PictureFormat::Png},
        {L"jpg", PictureFormat::Jpeg},
        {L"jpeg", PictureFormat::Jpeg},
        {L"jpe", PictureFormat::Jpeg},
        {L"jfif", PictureFormat::Jpeg},
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

PictureFormat FormatOfFilterIndex(unsigned filterIndex) {
    switch (filterIndex) {
    case 2:
        return PictureFormat::Png;
    case 3:
        return PictureFormat::Jpeg;
    default:
        return PictureFormat::Bitmap;
    }
}

const wchar_t* DefaultExtension(PictureFormat format) {
    switch (format) {
    case PictureFormat::Png:
        return L".png";
    case PictureFormat::Jpeg:
        return L".jpg";
    case PictureFormat::Bitmap:
    default:
        return L".bmp";
    }
}

SaveTarget ChooseSaveTarget(const std::wstring& path, unsigned filterIndex) {
    if (const auto named = FormatOfFileName(path)) return {path, *named};
    const PictureFormat chosen = FormatOfFilterIndex(filterIndex);
    const auto dot = ExtensionDot(path);
    if (dot != std::wstring::npos && dot + 1 < path.size()) return {path, chosen};
    // "shot." ends in an empty extension: the type's extension replaces the lone dot.
    std::wstring base = path;
    if (!base.empty() && base.back() == L'.') base.pop_back();
    return {base + DefaultExtension(chosen), chosen};
}
