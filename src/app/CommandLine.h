#pragma once
#include <optional>
#include <string>
#include <vector>

// What Pixelnab was started with, as a pure rule of the arguments after the program's name
// (already split the way the system splits a command line):
//   Pixelnab.exe [file ...]
//   Pixelnab.exe /tray
//   Pixelnab.exe /capture screen|allscreens|active|rectangle [/delay seconds] [/save file] [/copy] [/exit]
// Switches are read in any case and any order. Arguments without a switch among them are
// files, as before the switches existed, even when one begins with a slash.

enum class CommandLineCapture { Screen, AllScreens, Active, Rectangle };

struct CaptureRequest {
    CommandLineCapture capture = CommandLineCapture::Screen;
    int delaySeconds = 0;
    std::wstring saveFile;  // empty: not saved
    bool copy = false;
    bool exit = false;
    bool operator==(const CaptureRequest&) const = default;
};

struct ParsedCommandLine {
    std::vector<std::wstring> files;
    std::optional<CaptureRequest> capture;
    bool tray = false;      // start in the notification area, the frame hidden
    std::wstring error;     // not empty: the arguments are wrong, and this says why
};

// The longest /delay: an hour.
constexpr int kMaximumCommandLineDelay = 3600;

ParsedCommandLine ParseCommandLine(const std::vector<std::wstring>& arguments);

// The arguments that read back as the request (how a capture is handed to a running Pixelnab).
std::vector<std::wstring> CaptureArguments(const CaptureRequest& request);

// The line printed with every argument error.
const wchar_t* CommandLineUsage();
