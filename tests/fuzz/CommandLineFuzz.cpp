// The command line (app/CommandLine.h): any arguments (the fuzz text split at line ends)
// read as files, a capture request or a refusal with a reason, never as a mixture; a request
// keeps its own rules and hands over to a running Pixelnab as arguments that read back the same.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "FuzzCheck.h"
#include "app/CommandLine.h"
#include "platform/rules/SaveFormat.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::wstring text = FuzzText(data, size);
    std::vector<std::wstring> arguments;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find(L'\n', start);
        arguments.push_back(text.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start));
        if (end == std::wstring::npos) break;
        start = end + 1;
    }

    const ParsedCommandLine parsed = ParseCommandLine(arguments);
    if (!parsed.error.empty()) {
        FUZZ_CHECK(!parsed.capture && parsed.files.empty());
        return 0;
    }
    if (parsed.capture) {
        const CaptureRequest& request = *parsed.capture;
        FUZZ_CHECK(parsed.files.empty() && !parsed.tray);
        FUZZ_CHECK(request.delaySeconds >= 0 && request.delaySeconds <= kMaximumCommandLineDelay);
        FUZZ_CHECK(request.saveFile.empty() || FormatOfFileName(request.saveFile));
        FUZZ_CHECK(!request.exit || request.copy || !request.saveFile.empty());
        const ParsedCommandLine again = ParseCommandLine(CaptureArguments(request));
        FUZZ_CHECK(again.error.empty() && again.capture && *again.capture == request);
    } else if (!parsed.tray) {
        std::size_t nonEmpty = 0;
        for (const std::wstring& argument : arguments) nonEmpty += argument.empty() ? 0 : 1;
        FUZZ_CHECK(parsed.files.size() == nonEmpty);
    }
    return 0;
}
