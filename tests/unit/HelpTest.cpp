// The help commands: what reaches the HTML Help viewer, and what happens without it.
#include <windows.h>
#include <htmlhelp.h>

#include "Fakes.h"
#include "help/basHelp.h"
#include "resource.h"

namespace {

class HelpTest : public FrameTest {
protected:
    static std::string HelpFileAnsi() { return ToAnsi(App::HelpFile()); }
};

TEST_F(HelpTest, MenuCommandsOpenTheViewerOwnedByTheFrame) {
    MakeFrame();
    frame->mnuHelpContents_Click();
    frame->mnuHelpIndex_Click();
    frame->mnuHelpLicense_Click();

    ASSERT_EQ(viewer.calls.size(), 3u);
    const std::string file = HelpFileAnsi();
    ASSERT_GE(file.size(), 13u);
    EXPECT_EQ(file.substr(file.size() - 13), "\\Pixelnab.chm");

    EXPECT_EQ(viewer.calls[0].path, file + ">Main");
    EXPECT_EQ(viewer.calls[0].command, 1u);
    EXPECT_EQ(viewer.calls[1].path, file + ">Main");
    EXPECT_EQ(viewer.calls[1].command, 2u);
    EXPECT_EQ(viewer.calls[2].path, file + "::/html/License.htm>Main");
    EXPECT_EQ(viewer.calls[2].command, 1u);
    for (const HelpCall& call : viewer.calls) {
        EXPECT_EQ(call.owner, frame->hWnd());
        EXPECT_TRUE(call.dataIsAddress) << "the data argument is the address of an empty value";
        EXPECT_EQ(call.dataValue, 0);
    }
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(HelpTest, MenuItemsAndF1ReachTheHelpCommands) {
    MakeFrame();
    SendMessageW(frame->hWnd(), WM_COMMAND, IDM_HELP_INDEX, 0);
    SendMessageW(frame->hWnd(), WM_COMMAND, IDM_HELP_LICENSE, 0);
    SetForegroundWindow(frame->hWnd());
    PostMessageW(frame->hWnd(), WM_KEYDOWN, VK_F1, 0x003B0001);
    PostMessageW(frame->hWnd(), WM_KEYUP, VK_F1, static_cast<LPARAM>(0xC03B0001u));
    DoEvents();

    ASSERT_EQ(viewer.calls.size(), 3u);
    EXPECT_EQ(viewer.calls[0].command, 2u);
    EXPECT_EQ(viewer.calls[1].path, HelpFileAnsi() + "::/html/License.htm>Main");
    EXPECT_EQ(viewer.calls[2].command, 1u);
    EXPECT_EQ(viewer.calls[2].path, HelpFileAnsi() + ">Main");
}

TEST_F(HelpTest, TopicNamesAndPathsArePassedExactlyAsGiven) {
    const HWND owner = reinterpret_cast<HWND>(static_cast<INT_PTR>(0x1234));
    ShowHelpTopic(owner, L"C:\\Some Folder\\Pixelnab.chm", L"license.htm");
    ShowHelpTopic(owner, L"", L"License.htm");
    ShowHelpIndex(nullptr, L"relative.chm");

    ASSERT_EQ(viewer.calls.size(), 3u);
    EXPECT_EQ(viewer.calls[0].owner, owner);
    EXPECT_EQ(viewer.calls[0].path, "C:\\Some Folder\\Pixelnab.chm::/html/license.htm>Main");
    EXPECT_EQ(viewer.calls[1].path, "::/html/License.htm>Main");
    EXPECT_EQ(viewer.calls[2].owner, nullptr);
    EXPECT_EQ(viewer.calls[2].path, "relative.chm>Main");
}

TEST_F(HelpTest, PathsReachTheViewerInTheAnsiCodePage) {
    const std::wstring file = L"C:\\Bilder \u00dcbersicht\\Pixelnab.chm";
    ShowHelpContents(nullptr, file);
    ASSERT_EQ(viewer.calls.size(), 1u);
    const std::string& sent = viewer.calls[0].path;
    // One byte per character in a single-byte code page, and it reads back unchanged.
    wchar_t back[MAX_PATH]{};
    const int length = MultiByteToWideChar(CP_ACP, 0, sent.c_str(), static_cast<int>(sent.size()), back, MAX_PATH);
    EXPECT_EQ(std::wstring(back, static_cast<std::size_t>(length)), file + L">Main");
    if (GetACP() == 1252) {
        EXPECT_EQ(sent, "C:\\Bilder \xDC" "bersicht\\Pixelnab.chm>Main");
    }
}

TEST_F(HelpTest, MissingHelpLibraryIsReportedOnceAndTheProgramCarriesOn) {
    HtmlHelpLibrary missing(L"pixelnab-no-such-library.ocx");
    SetHelpViewer(&missing);
    MakeFrame();

    frame->mnuHelpContents_Click();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].title, L"Error");
    EXPECT_EQ(messages.shown[0].style, static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION));
    EXPECT_EQ(messages.shown[0].text.rfind(L"Error #: 48\r", 0), 0u) << messages.shown[0].text;
    EXPECT_NE(messages.shown[0].text.find(L"pixelnab-no-such-library.ocx"), std::wstring::npos);

    // Still running: the frame is there and the next command is reported the same way.
    EXPECT_TRUE(frame->IsLoaded());
    frame->mnuHelpLicense_Click();
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(messages.shown[1].text.rfind(L"Error #: 48\r", 0), 0u);

    SetHelpViewer(&viewer);
    frame->mnuHelpIndex_Click();
    EXPECT_EQ(viewer.calls.size(), 1u);
    EXPECT_EQ(messages.shown.size(), 2u);
}

TEST_F(HelpTest, MissingEntryPointIsRunTimeError453) {
    HtmlHelpLibrary wrongEntry(L"hhctrl.ocx", "NoSuchHelpEntry");
    SetHelpViewer(&wrongEntry);
    MakeFrame();
    frame->mnuHelpIndex_Click();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text.rfind(L"Error #: 453\r", 0), 0u) << messages.shown[0].text;
    EXPECT_NE(messages.shown[0].text.find(L"NoSuchHelpEntry"), std::wstring::npos);
}

// The real library: a help file that is not there is the viewer's business, not an error.
TEST_F(HelpTest, RealViewerWithNoHelpFileReturnsQuietly) {
    SetHelpViewer(nullptr);
    MakeFrame();
    ShowHelpContents(frame->hWnd(), L"Z:\\pixelnab-no-such-folder\\Pixelnab.chm");
    ShowHelpTopic(frame->hWnd(), L"Z:\\pixelnab-no-such-folder\\Pixelnab.chm", L"license.htm");
    EXPECT_TRUE(messages.shown.empty()) << (messages.shown.empty() ? L"" : messages.shown[0].text).c_str();
    EXPECT_TRUE(frame->IsLoaded());

    HtmlHelpLibrary library;
    std::int32_t empty = 0;
    EXPECT_EQ(library.Open(nullptr, "Z:\\pixelnab-no-such-folder\\Pixelnab.chm>Main", HH_DISPLAY_INDEX,
                           reinterpret_cast<DWORD_PTR>(&empty)),
              nullptr);
}

}  // namespace
