#include "app/CommandLine.h"

#include <cwctype>

#include "platform/rules/SaveFormat.h"

namespace {

std::wstring Lower(std::wstring text) {
    for (wchar_t& c : text) c = static_cast<wchar_t>(std::towlower(c));
    return text;
}

constexpr const wchar_t* kSwitches[] = {L"/capture", L"/delay", L"/save", L"/copy", L"/exit", L"/tray"};

bool IsSwitch(const std::wstring& argument) {
    const std::wstring lower = Lower(argument);
    for (const wchar_t* name : kSwitches)
        if (lower == name) return true;
    return false;
}

struct CaptureName {
    const wchar_t* name;
    CommandLineCapture capture;
};
constexpr CaptureName kCaptures[] = {{L"screen", CommandLineCapture::Screen},
                                     {L"allscreens", CommandLineCapture::AllScreens},
                                     {L"active", CommandLineCapture::Active},
                                     {L"rectangle", CommandLineCapture::Rectangle}};

// Whole seconds in decimal digits only: "+3", "3.5" or "0x10" are mistakes, not numbers.
std::optional<int> Seconds(const std::wstring& text) {
    if (text.empty() || text.size() > 6) return std::nullopt;
    int value = 0;
    for (const wchar_t c : text) {
        if (c < L'0' || c > L'9') return std::nullopt;
        value = value * 10 + (c - L'0');
    }
    if (value > kMaximumCommandLineDelay) return std::nullopt;
    return value;
}

ParsedCommandLine Wrong(std::wstring why) {
    ParsedCommandLine parsed;
    parsed.error = std::move(why);
    return parsed;
}

}  // namespace

ParsedCommandLine ParseCommandLine(const std::vector<std::wstring>& arguments) {
    ParsedCommandLine parsed;
    bool anySwitch = false;
    for (const std::wstring& argument : arguments) anySwitch = anySwitch || IsSwitch(argument);
    if (!anySwitch) {
        for (const std::wstring& argument : arguments)
            if (!argument.empty()) parsed.files.push_back(argument);
        return parsed;
    }

    bool sawCapture = false, sawDelay = false, sawSave = false, sawCopy = false, sawExit = false;
    CaptureRequest request;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::wstring name = Lower(arguments[i]);
        const bool hasValue = i + 1 < arguments.size() && !IsSwitch(arguments[i + 1]);
        const auto once = [&](bool& seen) {
            if (seen) return false;
            seen = true;
            return true;
        };
        if (name == L"/capture") {
            if (!once(sawCapture)) return Wrong(L"/capture is given twice.");
            if (!hasValue) return Wrong(L"/capture needs what to capture.");
            const std::wstring what = Lower(arguments[++i]);
            bool known = false;
            for (const CaptureName& capture : kCaptures) {
                if (what == capture.name) {
                    request.capture = capture.capture;
                    known = true;
                }
            }
            if (!known) return Wrong(L"\"" + arguments[i] + L"\" is not something /capture takes.");
        } else if (name == L"/delay") {
            if (!once(sawDelay)) return Wrong(L"/delay is given twice.");
            if (!hasValue) return Wrong(L"/delay needs a number of seconds.");
            const auto seconds = Seconds(arguments[++i]);
            if (!seconds) return Wrong(L"\"" + arguments[i] + L"\" is no delay: whole seconds from 0 to 3600.");
            request.delaySeconds = *seconds;
        } else if (name == L"/save") {
            if (!once(sawSave)) return Wrong(L"/save is given twice.");
            if (!hasValue || arguments[i + 1].empty()) return Wrong(L"/save needs a file name.");
            request.saveFile = arguments[++i];
            if (!FormatOfFileName(request.saveFile))
                return Wrong(L"\"" + request.saveFile + L"\" does not end in .png, .jpg, .jpeg or .bmp.");
        } else if (name == L"/copy") {
            if (!once(sawCopy)) return Wrong(L"/copy is given twice.");
            request.copy = true;
        } else if (name == L"/exit") {
            if (!once(sawExit)) return Wrong(L"/exit is given twice.");
            request.exit = true;
        } else if (name == L"/tray") {
            if (parsed.tray) return Wrong(L"/tray is given twice.");
            parsed.tray = true;
        } else {
            return Wrong(L"\"" + arguments[i] + L"\" is not an argument Pixelnab knows here.");
        }
    }
    if (!sawCapture && (sawDelay || sawSave || sawCopy || sawExit))
        return Wrong(L"/delay, /save, /copy and /exit go with /capture.");
    if (sawCapture && parsed.tray) return Wrong(L"/tray does not go with /capture.");
    // The capture would go nowhere.
    if (request.exit && request.saveFile.empty() && !request.copy) return Wrong(L"/exit needs /save or /copy.");
    if (sawCapture) parsed.capture = request;
    return parsed;
}

std::vector<std::wstring> CaptureArguments(const CaptureRequest& request) {
    std::vector<std::wstring> arguments{L"/capture"};
    for (const CaptureName& capture : kCaptures)
        if (capture.capture == request.capture) arguments.push_back(capture.name);
    if (request.delaySeconds != 0) {
        arguments.push_back(L"/delay");
        arguments.push_back(std::to_wstring(request.delaySeconds));
    }
    if (!request.saveFile.empty()) {
        arguments.push_back(L"/save");
        arguments.push_back(request.saveFile);
    }
    if (request.copy) arguments.push_back(L"/copy");
    if (request.exit) arguments.push_back(L"/exit");
    return arguments;
}

const wchar_t* CommandLineUsage() {
    return L"Usage: Pixelnab.exe /capture screen|allscreens|active|rectangle [/delay seconds] [/save file] "
           L"[/copy] [/exit]";
}
