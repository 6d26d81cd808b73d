// The About box: its window and controls, the animation, and its buttons, modeless and modal.
#include <chrono>

#include "Fakes.h"
#include "help/basHelp.h"
#include "help/frmAbout.h"
#include "Image.h"
#include "ModalDriver.h"
#include "Wait.h"
#include "resource.h"

namespace {

class AboutTest : public FrameTest {
protected:
    // The About box currently loaded, if any.
    static std::shared_ptr<frmAbout> LoadedAbout() { return FindLoaded<frmAbout>(); }
    static RECT ClientRectOf(HWND child) {
        RECT r{};
        GetWindowRect(child, &r);
        MapWindowPoints(HWND_DESKTOP, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
        return r;
    }
    static std::wstring TextOf(HWND window) {
        wchar_t text[64]{};
        GetWindowTextW(window, text, 64);
        return text;
    }
    // Queued behind whatever the step before it posted: if the box is still there, the
    // modal display would never end, so fail and close it.
    static void PostGuard(ModalDriver& steps, const char* failure) {
        std::weak_ptr<frmAbout> box = LoadedAbout();
        steps.Post([box, failure] {
            if (auto about = box.lock(); about && about->IsLoaded()) {
                ADD_FAILURE() << failure;
                about->Unload();
            }
        });
    }
};

TEST_F(AboutTest, WindowIsAFixedDialogWithItsCaptionBeforeItIsSeen) {
    auto about = NewForm<frmAbout>();
    about->Load();
    EXPECT_FALSE(about->Visible());
    EXPECT_EQ(about->Caption(), L"About Pixelnab");
    EXPECT_EQ(about->ScaleWidth(), 4275.0f);
    EXPECT_EQ(about->ScaleHeight(), 2565.0f);

    const LONG_PTR style = GetWindowLongPtrW(about->hWnd(), GWL_STYLE);
    const LONG_PTR exStyle = GetWindowLongPtrW(about->hWnd(), GWL_EXSTYLE);
    EXPECT_TRUE(style & WS_CAPTION);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_FALSE(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_CHILD));
    EXPECT_TRUE(exStyle & WS_EX_DLGMODALFRAME);
    EXPECT_FALSE(exStyle & WS_EX_APPWINDOW);
    about->Unload();
}

TEST_F(AboutTest, ControlsAndTexts) {
    auto about = NewForm<frmAbout>();
    about->Load();
    EXPECT_EQ(about->lblTitle().Caption, L"Pixelnab 2.0");
    EXPECT_EQ(about->lblShareware().Caption, L"Shareware $20");

    // Buttons at 1037/2237, 2160 twips, 1000 x 315: whole pixels at 15 twips per pixel.
    EXPECT_EQ(TextOf(about->cmdOk()), L"OK");
    EXPECT_EQ(TextOf(about->cmdLicense()), L"License");
    const RECT ok = ClientRectOf(about->cmdOk());
    const RECT license = ClientRectOf(about->cmdLicense());
    EXPECT_EQ(ok.left, 69);
    EXPECT_EQ(ok.top, 144);
    EXPECT_EQ(ok.right - ok.left, 67);
    EXPECT_EQ(ok.bottom - ok.top, 21);
    EXPECT_EQ(license.left, 149);
    EXPECT_EQ(license.top, 144);
    // Tab order: OK, then License, then back to OK.
    EXPECT_EQ(GetNextDlgTabItem(about->hWnd(), about->cmdOk(), FALSE), about->cmdLicense());
    EXPECT_EQ(GetNextDlgTabItem(about->hWnd(), about->cmdLicense(), FALSE), about->cmdOk());
    about->Unload();
}

TEST_F(AboutTest, IconIsTheFramesIcon) {
    MakeFrame();
    auto about = NewForm<frmAbout>(frame.get());
    about->Load();
    const HICON frameIcon = reinterpret_cast<HICON>(GetClassLongPtrW(frame->hWnd(), GCLP_HICON));
    ASSERT_NE(frameIcon, nullptr);
    EXPECT_EQ(reinterpret_cast<HICON>(SendMessageW(about->hWnd(), WM_GETICON, ICON_BIG, 0)), frameIcon);
    about->Unload();
}

TEST_F(AboutTest, FramesAlternateInTheFirstFramesPlace) {
    auto about = NewForm<frmAbout>();
    about->Load();
    EXPECT_TRUE(about->imgAbout1().Visible);
    EXPECT_FALSE(about->imgAbout2().Visible);
    EXPECT_EQ(about->imgAbout1().Left, 150.0f);
    EXPECT_EQ(about->imgAbout1().Top, 225.0f);
    EXPECT_EQ(about->imgAbout2().Left, 150.0f);
    EXPECT_EQ(about->imgAbout2().Top, 750.0f);
    EXPECT_NE(about->imgAbout1().Picture, nullptr);
    EXPECT_NE(about->imgAbout2().Picture, nullptr);

    about->tmrAbout_Timer();
    EXPECT_FALSE(about->imgAbout1().Visible);
    EXPECT_TRUE(about->imgAbout2().Visible);
    EXPECT_EQ(about->imgAbout2().Left, 150.0f);
    EXPECT_EQ(about->imgAbout2().Top, 225.0f);

    about->tmrAbout_Timer();
    EXPECT_TRUE(about->imgAbout1().Visible);
    EXPECT_FALSE(about->imgAbout2().Visible);
    EXPECT_EQ(about->imgAbout2().Top, 225.0f);

    // Unloaded and loaded again, the box starts from its first frame at the design places.
    about->tmrAbout_Timer();
    about->Unload();
    about->Load();
    EXPECT_TRUE(about->imgAbout1().Visible);
    EXPECT_FALSE(about->imgAbout2().Visible);
    EXPECT_EQ(about->imgAbout2().Top, 750.0f);
    about->Unload();
}

TEST_F(AboutTest, ScreenShowsTheCurrentFrame) {
    auto about = NewForm<frmAbout>();
    about->Show();
    UpdateWindow(about->hWnd());
    DoEvents();
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    const Image first = IconPixels(about->imgAbout1().Picture, 32, face);
    const Image second = IconPixels(about->imgAbout2().Picture, 32, face);
    const Image blank = IconPixels(nullptr, 32, face);
    ASSERT_NE(first, second);

    // imgAbout1 is at (10, 15) pixels, imgAbout2's design place at (10, 50).
    EXPECT_TRUE(ScreenShowsSoon(about->hWnd(), 10, 15, first));
    EXPECT_EQ(ReadClient(about->hWnd(), 10, 50, 32, 32), blank);

    about->tmrAbout_Timer();
    EXPECT_TRUE(ScreenShowsSoon(about->hWnd(), 10, 15, second));
    EXPECT_EQ(ReadClient(about->hWnd(), 10, 50, 32, 32), blank);

    about->tmrAbout_Timer();
    EXPECT_TRUE(ScreenShowsSoon(about->hWnd(), 10, 15, first));

    // The separator: a black line at y = 80 from x = 50 to 272, nothing above it.
    const Image line = ReadClient(about->hWnd(), 50, 80, 223, 1);
    EXPECT_EQ(line.pixels, std::vector<std::uint32_t>(223, 0u));
    EXPECT_EQ(ReadClient(about->hWnd(), 50, 79, 223, 1).pixels, std::vector<std::uint32_t>(223, FromColorref(face)));
    about->Unload();
}

// The timer itself: the second frame shows after about a second, not before.
TEST_F(AboutTest, TimerTicksEverySecond) {
    auto about = NewForm<frmAbout>();
    about->Show();
    const auto start = std::chrono::steady_clock::now();
    const auto elapsed = [&] {
        return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
    };
    WaitUntil([&] { return !about->imgAbout1().Visible; }, 3000);
    const auto firstTick = elapsed();
    EXPECT_FALSE(about->imgAbout1().Visible);
    EXPECT_TRUE(about->imgAbout2().Visible);
    EXPECT_GE(firstTick, 900);
    EXPECT_LE(firstTick, 2000);
    about->Unload();
}

TEST_F(AboutTest, LicenseOpensTheLicencePageOwnedByTheBoxWhichStaysOpen) {
    MakeFrame();
    auto about = NewForm<frmAbout>();
    about->Show();
    about->cmdLicense_Click();
    SendMessageW(about->cmdLicense(), BM_CLICK, 0, 0);

    ASSERT_EQ(viewer.calls.size(), 2u);
    for (const HelpCall& call : viewer.calls) {
        EXPECT_EQ(call.owner, about->hWnd());
        EXPECT_EQ(call.path, ToAnsi(App::HelpFile()) + "::/html/license.htm>Main");
        EXPECT_EQ(call.command, 1u);
        EXPECT_TRUE(call.dataIsAddress);
        EXPECT_EQ(call.dataValue, 0);
    }
    EXPECT_TRUE(about->IsLoaded());
    EXPECT_TRUE(about->Visible());
    about->Unload();
}

TEST_F(AboutTest, OkAndTheCloseBoxUnloadTheBox) {
    auto about = NewForm<frmAbout>();
    about->Show();
    const int loaded = Forms::Count();
    SendMessageW(about->cmdOk(), BM_CLICK, 0, 0);
    EXPECT_FALSE(about->IsLoaded());
    EXPECT_EQ(Forms::Count(), loaded - 1);

    about->Show();
    SendMessageW(about->hWnd(), WM_SYSCOMMAND, SC_CLOSE, 0);
    DoEvents();
    EXPECT_FALSE(about->IsLoaded());
    EXPECT_EQ(Forms::Count(), loaded - 1);
}

// Help About: modal, owned by the frame, centred on it, OK focused; the frame is disabled
// meanwhile and enabled again afterwards.
TEST_F(AboutTest, HelpAboutShowsTheBoxModallyOverTheFrame) {
    MakeFrame();
    ModalDriver steps;
    bool sawBox = false;
    steps.Post([&] {
        auto about = LoadedAbout();
        ASSERT_NE(about, nullptr);
        sawBox = true;
        EXPECT_TRUE(about->Visible());
        EXPECT_EQ(about->Caption(), L"About Pixelnab");
        EXPECT_EQ(GetWindow(about->hWnd(), GW_OWNER), frame->hWnd());
        EXPECT_FALSE(IsWindowEnabled(frame->hWnd()));
        EXPECT_EQ(GetFocus(), about->cmdOk());
        RECT box{}, owner{};
        GetWindowRect(about->hWnd(), &box);
        GetWindowRect(frame->hWnd(), &owner);
        EXPECT_LE(std::abs((box.left + box.right) - (owner.left + owner.right)), 1);
        EXPECT_LE(std::abs((box.top + box.bottom) - (owner.top + owner.bottom)), 1);
        about->tmrAbout_Timer();
        PostMessageW(about->hWnd(), WM_COMMAND, MAKEWPARAM(IDC_ABOUT_OK, BN_CLICKED),
                     reinterpret_cast<LPARAM>(about->cmdOk()));
        PostGuard(steps, "OK did not close the box");
    });
    frame->mnuHelpAbout_Click();
    EXPECT_TRUE(sawBox);
    EXPECT_EQ(LoadedAbout(), nullptr);
    EXPECT_TRUE(IsWindowEnabled(frame->hWnd()));
    // The frame is active again, so the keyboard reaches it without a click.
    EXPECT_EQ(GetActiveWindow(), frame->hWnd());
    EXPECT_TRUE(messages.shown.empty());

    // The next opening starts again from the first frame; the toolbar's About opens it too.
    bool firstFrame = false;
    steps.Post([&] {
        auto about = LoadedAbout();
        ASSERT_NE(about, nullptr);
        firstFrame = about->imgAbout1().Visible && !about->imgAbout2().Visible && about->imgAbout2().Top == 750.0f;
        SendMessageW(about->hWnd(), WM_SYSCOMMAND, SC_CLOSE, 0);
        PostGuard(steps, "the Close box did not close the box");
    });
    frame->tlbMain_ButtonClick(L"About");
    EXPECT_TRUE(firstFrame);
    EXPECT_EQ(LoadedAbout(), nullptr);
    DoEvents();
}

// Keys in the modal box: Tab moves between the two buttons, Enter presses the focused one,
// Escape closes.
TEST_F(AboutTest, KeyboardInTheModalBox) {
    MakeFrame();
    ModalDriver steps;
    std::shared_ptr<frmAbout> seen;
    HWND boxWindow = nullptr;
    const auto key = [](HWND window, WPARAM vk) {
        PostMessageW(window, WM_KEYDOWN, vk, 1);
        PostMessageW(window, WM_KEYUP, vk, static_cast<LPARAM>(0xC0000001u));
        DoEvents();
    };
    steps.Post([&] {
        seen = LoadedAbout();
        ASSERT_NE(seen, nullptr);
        boxWindow = seen->hWnd();
        key(GetFocus(), VK_TAB);
        EXPECT_EQ(GetFocus(), seen->cmdLicense());
        key(GetFocus(), VK_RETURN);  // presses License: the box stays
        EXPECT_EQ(viewer.calls.size(), 1u);
        EXPECT_TRUE(seen->IsLoaded());
        key(GetFocus(), VK_TAB);
        EXPECT_EQ(GetFocus(), seen->cmdOk());
        key(GetFocus(), VK_RETURN);  // presses OK
        PostGuard(steps, "Enter on OK did not close the box");
    });
    frame->mnuHelpAbout_Click();
    ASSERT_NE(seen, nullptr);
    EXPECT_FALSE(seen->IsLoaded());
    ASSERT_EQ(viewer.calls.size(), 1u);
    EXPECT_EQ(viewer.calls[0].owner, boxWindow);
    EXPECT_NE(viewer.calls[0].path.find("::/html/license.htm>Main"), std::string::npos);

    steps.Post([&] {
        key(GetFocus(), VK_ESCAPE);
        PostGuard(steps, "Escape did not close the box");
    });
    frame->mnuHelpAbout_Click();
    EXPECT_EQ(LoadedAbout(), nullptr);
    EXPECT_TRUE(messages.shown.empty());
}

}  // namespace
