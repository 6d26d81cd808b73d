// The frame's settings as text (SettingsText.h): any stored text reads as a value or as the
// run-time errors the rules name, and every value read writes back to text that reads the same.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "FuzzCheck.h"
#include "platform/services/SettingsText.h"
#include "platform/windows/RuntimeError.h"

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
    FUZZ_CHECK(std::isfinite(twips));
    const std::wstring written = TwipsToSetting(twips);
    FUZZ_CHECK(!written.empty() && written.size() <= 64);
    const float reread = TwipsFromSetting(written);
    // The same value, except that a negative zero is stored as "0".
    FUZZ_CHECK(reread == twips && (std::signbit(reread) == std::signbit(twips) || twips == 0));
    FUZZ_CHECK(TwipsToSetting(reread) == written);
    return 0;
}
