#include "platform/rules/CaptureOptionsText.h"

#include <array>
#include <cstdint>
#include <cwctype>
#include <limits>

namespace {

struct NamedKey {
    int key;
    const wchar_t* name;
};

// Keys with a name of their own; letters, digits and F1-F24 are made up below. The
// punctuation keys are named by what they carry on a US keyboard.
constexpr std::array<NamedKey, 35> kNamedKeys{{
    {KeyCode::PrintScreen, L"PrintScreen"}, {KeyCode::Pause, L"Pause"},   {KeyCode::Insert, L"Insert"},
    {KeyCode::Delete, L"Delete"},           {KeyCode::Home, L"Home"},     {KeyCode::End, L"End"},
    {KeyCode::PageUp, L"PageUp"},           {KeyCode::PageDown, L"PageDown"},
    {KeyCode::Left, L"Left"},               {KeyCode::Up, L"Up"},         {KeyCode::Right, L"Right"},
    {KeyCode::Down, L"Down"},               {KeyCode::Space, L"Space"},   {KeyCode::Tab, L"Tab"},
    {KeyCode::Enter, L"Enter"},             {KeyCode::Backspace, L"Backspace"},
    {KeyCode::Escape, L"Escape"},           {KeyCode::Apps, L"Apps"},     {KeyCode::Multiply, L"Num*"},
    {KeyCode::Add, L"Num+"},                {KeyCode::Subtract, L"Num-"}, {KeyCode::Decimal, L"Num."},
    {KeyCode::Divide, L"Num/"},             {0xBA, L";"},                 {0xBB, L"="},
    {0xBC, L","},                           {0xBD, L"-"},                 {0xBE, L"."},
    {0xBF, L"/"},                           {0xC0, L"`"},                 {0xDB, L"["},
    {0xDC, L"\\"},                          {0xDD, L"]"},                 {0xDE, L"'"},
    {0, nullptr},
}};

bool SameText(const std::wstring& a, const std::wstring& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::towupper(a[i]) != std::towupper(b[i])) return false;
    return true;
}

// Takes "Name+" off the front of text when it is there.
bool TakePrefix(std::wstring& text, const wchar_t* name) {
    const std::wstring prefix = std::wstring(name) + L"+";
    // "Ctrl++" must leave "+" and not an empty key; a bare "Name" is left for the key.
    if (text.size() <= prefix.size() || !SameText(text.substr(0, prefix.size()), prefix)) return false;
    text.erase(0, prefix.size());
    return true;
}

int KeyFromName(const std::wstring& name) {
    for (int key = 1; key < 256; ++key) {
        const std::wstring known = HotkeyKeyName(key);
        if (!known.empty() && SameText(known, name)) return key;
    }
    return 0;
}

std::wstring Trimmed(const std::wstring& text) {
    const auto first = text.find_first_not_of(L" \t");
    if (first == std::wstring::npos) return {};
    const auto last = text.find_last_not_of(L" \t");
    return text.substr(first, last - first + 1);
}

}  // namespace

std::wstring HotkeyKeyName(int key) {
    if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9')) return std::wstring(1, static_cast<wchar_t>(key));
    if (key >= KeyCode::F1 && key <= KeyCode::F24) return L"F" + std::to_wstring(key - KeyCode::F1 + 1);
    if (key >= KeyCode::Numpad0 && key <= KeyCode::Numpad0 + 9) return L"Num" + std::to_wstring(key - KeyCode::Numpad0);
    for (const NamedKey& named : kNamedKeys)
        if (named.name != nullptr && named.key == key) return named.name;
    return {};
}

std::wstring FormatHotkey(const HotkeyCombination& hotkey) {
    const std::wstring key = HotkeyKeyName(hotkey.key);
    if (key.empty()) return {};
    std::wstring text;
    if (hotkey.ctrl) text += L"Ctrl+";
    if (hotkey.alt) text += L"Alt+";
    if (hotkey.shift) text += L"Shift+";
    if (hotkey.win) text += L"Win+";
    return text + key;
}

std::optional<HotkeyCombination> ParseHotkey(const std::wstring& text) {
    std::wstring rest = Trimmed(text);
    HotkeyCombination hotkey;
    if (rest.empty()) return hotkey;
    for (;;) {
        bool* held = nullptr;
        if (TakePrefix(rest, L"Ctrl")) held = &hotkey.ctrl;
        else if (TakePrefix(rest, L"Alt")) held = &hotkey.alt;
        else if (TakePrefix(rest, L"Shift")) held = &hotkey.shift;
        else if (TakePrefix(rest, L"Win")) held = &hotkey.win;
        if (held == nullptr) break;
        if (*held) return std::nullopt;  // "Ctrl+Ctrl+F9" is not something the dialog writes
        *held = true;
    }
    hotkey.key = KeyFromName(rest);
    if (hotkey.key == 0) return std::nullopt;
    return hotkey;
}

HotkeyCombination HotkeySetting(const std::wstring& text) { return ParseHotkey(text).value_or(HotkeyCombination{}); }

int CaptureDelaySetting(const std::wstring& text) {
    for (const int seconds : kCaptureDelays)
        if (seconds != 0 && text == std::to_wstring(seconds)) return seconds;
    return 0;
}

std::wstring CaptureDelayText(int seconds) { return std::to_wstring(CaptureDelaySetting(std::to_wstring(seconds))); }

bool CapturePointerSetting(const std::wstring& text) { return text == L"True"; }

std::int32_t ScrollLimitSetting(const std::wstring& text) {
    if (text.empty() || text.size() > 7) return kDefaultScrollLimit;
    std::int32_t value = 0;
    for (const wchar_t c : text) {
        if (c < L'0' || c > L'9') return kDefaultScrollLimit;
        value = value * 10 + (c - L'0');
    }
    return value >= 100 && value <= 1000000 ? value : kDefaultScrollLimit;
}

std::wstring LastRectangleText(const EdgeRect& rect) {
    return std::to_wstring(rect.Left) + L"," + std::to_wstring(rect.Top) + L"," + std::to_wstring(rect.Right) + L"," +
           std::to_wstring(rect.Bottom);
}

std::optional<EdgeRect> ParseLastRectangle(const std::wstring& text) {
    std::int32_t edges[4]{};
    std::size_t at = 0;
    const auto skipBlanks = [&] {
        while (at < text.size() && (text[at] == L' ' || text[at] == L'\t')) ++at;
    };
    for (int i = 0; i < 4; ++i) {
        if (i > 0) {
            if (at >= text.size() || text[at] != L',') return std::nullopt;
            ++at;
        }
        skipBlanks();
        const bool negative = at < text.size() && text[at] == L'-';
        if (negative) ++at;
        // Built up negative: the most negative 32-bit number has no positive twin.
        std::int64_t value = 0;
        const std::size_t digitsFrom = at;
        while (at < text.size() && text[at] >= L'0' && text[at] <= L'9') {
            value = value * 10 - (text[at] - L'0');
            if (value < std::numeric_limits<std::int32_t>::min()) return std::nullopt;
            ++at;
        }
        if (at == digitsFrom) return std::nullopt;
        if (!negative) {
            value = -value;
            if (value > std::numeric_limits<std::int32_t>::max()) return std::nullopt;
        }
        edges[i] = static_cast<std::int32_t>(value);
        skipBlanks();
    }
    if (at != text.size()) return std::nullopt;
    const EdgeRect rect{edges[0], edges[1], edges[2], edges[3]};
    if (rect.Right <= rect.Left || rect.Bottom <= rect.Top) return std::nullopt;
    return rect;
}
