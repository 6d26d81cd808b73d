// The command line as a pure rule: files as before, the capture switches for scripts, and
// every mistake refused with a reason rather than half obeyed.
#include <gtest/gtest.h>

#include "app/CommandLine.h"

namespace {

using Args = std::vector<std::wstring>;

CaptureRequest Request(CommandLineCapture capture, int delay, std::wstring save, bool copy, bool exit) {
    return CaptureRequest{capture, delay, std::move(save), copy, exit};
}

}  // namespace

TEST(CommandLine, ArgumentsWithoutASwitchAreFilesAsBefore) {
    const ParsedCommandLine parsed = ParseCommandLine({L"a.png", L"", L"/tmp/b c.jpg", L"-x"});
    EXPECT_TRUE(parsed.error.empty());
    EXPECT_FALSE(parsed.capture);
    EXPECT_FALSE(parsed.tray);
    EXPECT_EQ(parsed.files, (Args{L"a.png", L"/tmp/b c.jpg", L"-x"}));
    EXPECT_TRUE(ParseCommandLine({}).files.empty());
    const ParsedCommandLine tray = ParseCommandLine({L"/TRAY"});
    EXPECT_TRUE(tray.tray && tray.error.empty() && !tray.capture);
}

TEST(CommandLine, CaptureRequestsReadInAnyCaseAndOrder) {
    const struct {
        Args arguments;
        CaptureRequest expected;
    } cases[] = {
        {{L"/capture", L"screen"}, Request(CommandLineCapture::Screen, 0, L"", false, false)},
        {{L"/CAPTURE", L"AllScreens", L"/copy"}, Request(CommandLineCapture::AllScreens, 0, L"", true, false)},
        {{L"/capture", L"active", L"/delay", L"3", L"/save", L"C:\\out\\a b.JPG", L"/exit"},
         Request(CommandLineCapture::Active, 3, L"C:\\out\\a b.JPG", false, true)},
        {{L"/exit", L"/save", L"x.png", L"/Capture", L"rectangle", L"/Delay", L"3600"},
         Request(CommandLineCapture::Rectangle, 3600, L"x.png", false, true)},
        {{L"/capture", L"screen", L"/delay", L"0", L"/save", L"shot.bmp", L"/copy"},
         Request(CommandLineCapture::Screen, 0, L"shot.bmp", true, false)},
    };
    for (const auto& c : cases) {
        const ParsedCommandLine parsed = ParseCommandLine(c.arguments);
        EXPECT_TRUE(parsed.error.empty()) << parsed.error;
        ASSERT_TRUE(parsed.capture) << c.arguments[0];
        EXPECT_EQ(*parsed.capture, c.expected) << c.arguments[0] << " " << c.arguments[1];
        EXPECT_TRUE(parsed.files.empty());
        // Handed to a running Pixelnab as arguments, the request reads back the same.
        const ParsedCommandLine again = ParseCommandLine(CaptureArguments(*parsed.capture));
        ASSERT_TRUE(again.capture);
        EXPECT_EQ(*again.capture, c.expected);
    }
}

TEST(CommandLine, MistakesAreRefusedWithTheirReason) {
    const struct {
        Args arguments;
        const wchar_t* reason;  // a part of the message
    } cases[] = {
        {{L"/capture"}, L"needs what to capture"},
        {{L"/capture", L"window"}, L"\"window\" is not something /capture takes"},
        {{L"/capture", L"/copy"}, L"needs what to capture"},
        {{L"/capture", L"screen", L"/capture", L"active"}, L"given twice"},
        {{L"/capture", L"screen", L"/delay"}, L"needs a number"},
        {{L"/capture", L"screen", L"/delay", L"-1"}, L"no delay"},
        {{L"/capture", L"screen", L"/delay", L"3.5"}, L"no delay"},
        {{L"/capture", L"screen", L"/delay", L"3601"}, L"no delay"},
        {{L"/capture", L"screen", L"/delay", L"99999999999"}, L"no delay"},
        {{L"/capture", L"screen", L"/save"}, L"needs a file name"},
        {{L"/capture", L"screen", L"/save", L"", L"/exit"}, L"needs a file name"},
        {{L"/capture", L"screen", L"/save", L"/exit"}, L"needs a file name"},
        {{L"/capture", L"screen", L"/save", L"notes.txt"}, L"does not end in .png"},
        {{L"/capture", L"screen", L"/save", L"noextension"}, L"does not end in .png"},
        {{L"/capture", L"screen", L"/copy", L"/copy"}, L"given twice"},
        {{L"/capture", L"screen", L"/exit"}, L"/exit needs /save or /copy"},
        {{L"/capture", L"screen", L"/copy", L"extra.png"}, L"\"extra.png\" is not an argument"},
        {{L"/capture", L"screen", L"/copy", L"/verbose"}, L"\"/verbose\" is not an argument"},
        {{L"a.png", L"/copy"}, L"\"a.png\" is not an argument"},
        {{L"/copy"}, L"go with /capture"},
        {{L"/save", L"x.png", L"/exit"}, L"go with /capture"},
        {{L"/tray", L"/capture", L"screen"}, L"/tray does not go with /capture"},
        {{L"/tray", L"/tray"}, L"given twice"},
    };
    for (const auto& c : cases) {
        const ParsedCommandLine parsed = ParseCommandLine(c.arguments);
        EXPECT_NE(parsed.error.find(c.reason), std::wstring::npos)
            << "arguments starting " << c.arguments[0] << " gave \"" << parsed.error << "\"";
        EXPECT_FALSE(parsed.capture);
        EXPECT_TRUE(parsed.files.empty());
    }
}
