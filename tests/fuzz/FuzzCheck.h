#pragma once
// What the fuzz targets share: a check that stops the run with the input saved when a
// property does not hold, and the decoding of fuzz bytes into the UTF-16 text that the
// settings store hands the program.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

// A property failure is a finding like a crash: libFuzzer keeps the input that caused it.
#define FUZZ_CHECK(condition)                                                                    \
    do {                                                                                         \
        if (!(condition)) {                                                                      \
            std::fprintf(stderr, "%s:%d: property failed: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                        \
        }                                                                                        \
    } while (false)

// Bytes as text: every byte is the character of the same number (so text seeds and
// dictionary words work as they are), except 0xFF, which takes the next two bytes as one
// UTF-16 unit (little-endian) to reach every character the store can hold.
inline std::wstring FuzzText(const std::uint8_t* data, std::size_t size) {
    std::wstring text;
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0xFF && i + 2 < size) {
            text.push_back(static_cast<wchar_t>(data[i + 1] | (data[i + 2] << 8)));
            i += 2;
        } else {
            text.push_back(static_cast<wchar_t>(data[i]));
        }
    }
    return text;
}
