// The capture options as stored text (CaptureOptionsText.h): any text reads as a hotkey or
// none, a delay the menu offers and a pointer choice, and a hotkey read writes back to text
// that reads as the same hotkey.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <string>

#include "FuzzCheck.h"
#include "platform/rules/CaptureOptionsText.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::wstring text = FuzzText(data, size);

    const auto parsed = ParseHotkey(text);
    const HotkeyCombination setting = HotkeySetting(text);
    FUZZ_CHECK(setting == parsed.value_or(HotkeyCombination{}));
    if (parsed && !parsed->IsNone()) {
        const std::wstring written = FormatHotkey(*parsed);
        FUZZ_CHECK(!written.empty());
        const auto reread = ParseHotkey(written);
        FUZZ_CHECK(reread && *reread == *parsed);
        FUZZ_CHECK(!HotkeyKeyName(parsed->key).empty());
    }
    // Any key number, with the modifiers from the first byte: it formats to text that reads back.
    if (size >= 2) {
        HotkeyCombination any;
        any.ctrl = data[0] & 1;
        any.alt = data[0] & 2;
        any.shift = data[0] & 4;
        any.win = data[0] & 8;
        any.key = static_cast<int>(data[1]) | (size >= 3 ? static_cast<int>(data[2]) << 8 : 0);
        const std::wstring written = FormatHotkey(any);
        if (!written.empty()) {
            const auto reread = ParseHotkey(written);
            FUZZ_CHECK(reread && *reread == any);
        }
    }

    const int delay = CaptureDelaySetting(text);
    FUZZ_CHECK(std::find(std::begin(kCaptureDelays), std::end(kCaptureDelays), delay) != std::end(kCaptureDelays));
    FUZZ_CHECK(CaptureDelaySetting(CaptureDelayText(delay)) == delay);
    const bool pointer = CapturePointerSetting(text);
    FUZZ_CHECK(CapturePointerSetting(pointer ? L"True" : L"False") == pointer);
    return 0;
}
