// The frame's settings as text (SettingsText.h): any stored text reads as a value or as the
// run-time errors the rules name, and every value read writes back to text that reads the same.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cwctype>
#include <string>
#include <string_view>

#include "FuzzCheck.h"
#include "platform/rules/RuntimeError.h"
#include "platform/rules/SettingsText.h"

namespace {

bool Digit(wchar_t c) { return c >= L'0' && c <= L'9'; }

// What a stored number looks like, written out on its own: one optional sign, digits with
// at most one decimal point (at least one digit in all), then optionally an exponent
// (e or E, one optional sign, digits); blanks around it.
bool LooksLikeANumber(std::wstring_view text) {
    while (!text.empty() && std::iswspace(text.front())) text.remove_prefix(1);
    while (!text.empty() && std::iswspace(text.back())) text.remove_suffix(1);
    std::size_t at = 0;
    if (at < text.size() && (text[at] == L'+' || text[at] == L'-')) ++at;
    std::size_t digits = 0;
    while (at < text.size() && Digit(text[at])) ++at, ++digits;
    if (at < text.size() && text[at] == L'.') ++at;
    while (at < text.size() && Digit(text[at])) ++at, ++digits;
    if (digits == 0) return false;
    if (at < text.size() && (text[at] == L'e' || text[at] == L'E')) {
        ++at;
        if (at < text.size() && (text[at] == L'+' || text[at] == L'-')) ++at;
        std::size_t exponent = 0;
        while (at < text.size() && Digit(text[at])) ++at, ++exponent;
        if (exponent == 0) return false;
    }
    return at == text.size();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::wstring text = FuzzText(data, size);
    const bool hide = HideCaptureFromSetting(text);
    FUZZ_CHECK(HideCaptureFromSetting(HideCaptureToSetting(hide)) == hide);

    float twips = 0;
    try {
        twips = TwipsFromSetting(text);
    } catch (const RuntimeError& error) {
        FUZZ_CHECK(error.Number() == 13 || error.Number() == 6);  // type mismatch, overflow
        return 0;
    }
    FUZZ_CHECK(LooksLikeANumber(text));
    FUZZ_CHECK(std::isfinite(twips));
    const std::wstring written = TwipsToSetting(twips);
    FUZZ_CHECK(!written.empty() && written.size() <= 64);
    const float reread = TwipsFromSetting(written);
    // The same value, except that a negative zero is stored as "0".
    FUZZ_CHECK(reread == twips && (std::signbit(reread) == std::signbit(twips) || twips == 0));
    FUZZ_CHECK(TwipsToSetting(reread) == written);
    return 0;
}
