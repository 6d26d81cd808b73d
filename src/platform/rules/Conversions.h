#pragma once
#include <cstdint>
#include <string>
#include <string_view>

// Rounding to the nearest integer with halves to the even neighbour; the overflow
// error (6) when the result does not fit. NaN and infinities overflow too.
std::int16_t ToInt16(double value);
std::int32_t ToInt32(double value);

// 16-bit signed addition that raises the overflow error instead of wrapping.
std::int16_t AddInt16(std::int16_t a, std::int16_t b);

// Text to single precision: leading and trailing blanks allowed, nothing else;
// an empty or non-numeric text is the type-mismatch failure (13).
float TextToSingle(std::wstring_view text);

// Single precision to the shortest plain decimal text that reads back to the same value
// ("6500", "3930", "2512.5", "-7.25").
std::wstring SingleToText(float value);

// Decimal text of an integer without grouping or padding.
std::wstring IntegerToText(std::int64_t value);
