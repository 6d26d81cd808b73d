#include "platform/rules/Conversions.h"

#include <charconv>
#include <cmath>
#include <cwctype>
#include <string>

#include "platform/rules/RuntimeError.h"

namespace {

double RoundHalfEven(double value) {
    if (!std::isfinite(value)) RaiseOverflow();
    return std::nearbyint(value);  // the default rounding mode rounds halves to even
}

}  // namespace

std::int16_t ToInt16(double value) {
    const double rounded = RoundHalfEven(value);
    if (rounded < -32768.0 || rounded > 32767.0) RaiseOverflow();
    return static_cast<std::int16_t>(rounded);
}

std::int32_t ToInt32(double value) {
    const double rounded = RoundHalfEven(value);
    if (rounded < -2147483648.0 || rounded > 2147483647.0) RaiseOverflow();
    return static_cast<std::int32_t>(rounded);
}

std::int16_t AddInt16(std::int16_t a, std::int16_t b) {
    const int sum = static_cast<int>(a) + static_cast<int>(b);
    if (sum < -32768 || sum > 32767) RaiseOverflow();
    return static_cast<std::int16_t>(sum);
}

float TextToSingle(std::wstring_view text) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && std::iswspace(text[begin])) ++begin;
    while (end > begin && std::iswspace(text[end - 1])) --end;
    if (begin == end || end - begin > 64) RaiseTypeMismatch();
    std::string narrow;
    for (std::size_t i = begin; i < end; ++i) {
        const wchar_t c = text[i];
        const bool allowed = (c >= L'0' && c <= L'9') || c == L'.' || c == L'-' || c == L'+' ||
                             c == L'e' || c == L'E';
        if (!allowed) RaiseTypeMismatch();
        narrow.push_back(static_cast<char>(c));
    }
    const char* first = narrow.data();
    const char* last = first + narrow.size();
    // from_chars takes no plus sign; one is allowed here, but not in front of another sign.
    if (*first == '+' && ++first != last && (*first == '-' || *first == '+')) RaiseTypeMismatch();
    double value = 0;
    const auto [ptr, ec] = std::from_chars(first, last, value);
    if (ec == std::errc::result_out_of_range) RaiseOverflow();
    if (ec != std::errc() || ptr != last) RaiseTypeMismatch();
    // Up to half a unit past the largest single the value still rounds to it ("3.4028235e+38",
    // the text written for that largest value, lies there); from there on it would be infinite.
    constexpr double kFirstBeyondSingle = 0x1.ffffffp127;
    if (std::fabs(value) >= kFirstBeyondSingle) RaiseOverflow();
    return static_cast<float>(value);
}

std::wstring SingleToText(float value) {
    char buffer[64];
    // Shortest representation that reads back to the same float, in plain notation
    // for the magnitudes the program stores.
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    std::string text(buffer, result.ptr);
    const float magnitude = std::fabs(value);
    if (magnitude != 0.0f && (magnitude >= 1e15f || magnitude < 1e-5f)) {
        result = std::to_chars(buffer, buffer + sizeof buffer, value);
        text.assign(buffer, result.ptr);
    }
    if (text == "-0") text = "0";
    return std::wstring(text.begin(), text.end());
}

std::wstring IntegerToText(std::int64_t value) { return std::to_wstring(value); }
