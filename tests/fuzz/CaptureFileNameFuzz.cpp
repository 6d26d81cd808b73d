// Capture names (CaptureFileName.h): any pattern and any window title give a name a file
// can have, within the length limit, and the numbered variants of it stay distinct.
#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzCheck.h"
#include "platform/rules/CaptureFileName.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::wstring text = FuzzText(data, size);
    // The first line is the pattern, the rest the window's title.
    const auto split = text.find(L'\n');
    const std::wstring pattern = text.substr(0, split);
    const std::wstring title = split == std::wstring::npos ? L"" : text.substr(split + 1);
    CaptureNameFields fields;
    fields.number = size >= 1 ? data[0] * 131 : 0;
    fields.year = 1900 + static_cast<int>(size % 300);
    fields.month = 1 + static_cast<int>(size % 12);
    fields.day = 1 + static_cast<int>(size % 31);
    fields.windowTitle = title;

    const std::wstring name = CaptureFileName(pattern, fields);
    FUZZ_CHECK(!name.empty());
    FUZZ_CHECK(name.size() <= kMaxCaptureNameLength + 1);  // + the "_" before a device name
    for (const wchar_t c : name) {
        FUZZ_CHECK(c >= 32 && c != 127);
        FUZZ_CHECK(std::wstring_view(L"\\/:*?\"<>|").find(c) == std::wstring_view::npos);
    }
    FUZZ_CHECK(name.back() != L' ' && name.back() != L'.');
    FUZZ_CHECK(name.front() != L' ');
    // The result is already a file's name: filling it again as a pattern without fields
    // in it changes nothing.
    if (name.find(L'{') == std::wstring::npos && name.size() <= kMaxCaptureNameLength) FUZZ_CHECK(CaptureFileName(name, fields) == name);
    FUZZ_CHECK(NumberedFileName(name, 1, L".png") != NumberedFileName(name, 2, L".png"));
    return 0;
}
