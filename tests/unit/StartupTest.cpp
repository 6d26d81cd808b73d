// Start-up and shutdown: placement and the hide option through the settings store.
#include <gtest/gtest.h>

#include <windows.h>

#include "document/frmNabbet.h"
#include "Fakes.h"
#include "platform/rules/Conversions.h"
#include "resource.h"

namespace {

class Startup : public FrameTest {
protected:
    void SetUp() override {
        FrameTest::SetUp();
        SetScreenService(&screen);
    }
    FixedScreen screen;
};

}  // namespace

TEST_F(Startup, EmptyStoreGivesTheCentredDefaultFrameWithTheHideOptionOn) {
    MakeFrame();
    EXPECT_FLOAT_EQ(frame->Width(), 7500.0f);
    EXPECT_FLOAT_EQ(frame->Height(), 6500.0f);
    EXPECT_FLOAT_EQ(frame->Left(), 3930.0f);
    EXPECT_FLOAT_EQ(frame->Top(), 2510.0f);
    EXPECT_TRUE(gblnHideCaptureWin);
    EXPECT_EQ(gintCaptureCount, 0);
    EXPECT_FALSE(frame->MenuEnabled(IDM_FILE_SAVE));
    EXPECT_EQ(settings.reads, (std::vector<std::wstring>{L"Height", L"Left", L"Top", L"Width", L"HideCaptureWin",
                                                         L"CaptureDelay", L"CapturePointer", L"Magnifier",
                                                         L"LastRectangle", L"HotkeyScreen", L"HotkeyActiveWindow",
                                                         L"HotkeyWindow", L"HotkeyRectangle", L"HotkeyAllScreens",
                                                         L"HotkeyLastRectangle", L"AfterCaptureCopy",
                                                         L"AfterCaptureSave", L"AfterCaptureFolder",
                                                         L"AfterCaptureName", L"AfterCaptureType"}));
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(Startup, ExitStoresThePlacementAndTheOptionAndTheNextStartRestoresThem) {
    MakeFrame();
    SetWindowPos(frame->hWnd(), nullptr, 17, 23, 611, 437, SWP_NOZORDER);
    frame->mnuOptionsHide_Click();  // off
    frame->mnuFileExit_Click();
    EXPECT_FALSE(frame->IsLoaded());
    EXPECT_EQ(settings.Value(L"Left"), L"255");
    EXPECT_EQ(settings.Value(L"Top"), L"345");
    EXPECT_EQ(settings.Value(L"Width"), L"9165");
    EXPECT_EQ(settings.Value(L"Height"), L"6555");
    EXPECT_EQ(settings.Value(L"HideCaptureWin"), L"False");
    EXPECT_EQ(settings.writes, (std::vector<std::wstring>{L"Height", L"Left", L"Top", L"Width", L"HideCaptureWin",
                                                          L"CaptureDelay", L"CapturePointer", L"Magnifier"}));

    gblnHideCaptureWin = true;
    MakeFrame();
    RECT r{};
    GetWindowRect(frame->hWnd(), &r);
    EXPECT_EQ(r.left, 17);
    EXPECT_EQ(r.top, 23);
    EXPECT_EQ(r.right - r.left, 611);
    EXPECT_EQ(r.bottom - r.top, 437);
    EXPECT_FALSE(gblnHideCaptureWin);
    EXPECT_FALSE(frame->MenuChecked(IDM_OPTIONS_HIDE));
    EXPECT_EQ(frame->ToolbarButtonValue(L"Hide"), 0);
}

TEST_F(Startup, OnlyTheExactTextFalseTurnsTheOptionOff) {
    for (const wchar_t* text : {L"false", L"FALSE", L" False", L"False ", L"0", L"", L"No", L"Tru", L"true"}) {
        settings.Set(L"HideCaptureWin", text);
        gblnHideCaptureWin = false;
        MakeFrame();
        EXPECT_TRUE(gblnHideCaptureWin) << std::string(text, text + wcslen(text));
        CloseEverything();
    }
    settings.Set(L"HideCaptureWin", L"False");
    MakeFrame();
    EXPECT_FALSE(gblnHideCaptureWin);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(Startup, NonNumericWidthGivesOneTypeMismatchAndSkipsTheLaterSteps) {
    settings.Set(L"Height", L"5000");
    settings.Set(L"Left", L"1500");
    settings.Set(L"Top", L"1200");
    settings.Set(L"Width", L"wide");
    settings.Set(L"HideCaptureWin", L"True");
    gintCaptureCount = 7;
    MakeFrame();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text.rfind(L"Error #: 13\r", 0), 0u);
    EXPECT_EQ(messages.shown[0].title, L"Error");
    EXPECT_EQ(messages.shown[0].style, 48u);
    // The values before Width stand.
    EXPECT_FLOAT_EQ(frame->Height(), 5000.0f);
    EXPECT_FLOAT_EQ(frame->Left(), 1500.0f);
    EXPECT_FLOAT_EQ(frame->Top(), 1200.0f);
    // The later steps did not run: the option keeps its initial value, the counter is
    // untouched and the commands keep their design-time state (all enabled).
    EXPECT_FALSE(gblnHideCaptureWin);
    EXPECT_EQ(gintCaptureCount, 7);
    EXPECT_TRUE(frame->MenuEnabled(IDM_FILE_SAVE));
    EXPECT_TRUE(frame->ToolbarButtonEnabled(L"Save"));
    EXPECT_TRUE(frame->Visible());
}

TEST_F(Startup, MinimisedAtExitStoresWhereTheFrameWillBeRestored) {
    MakeFrame();
    SetWindowPos(frame->hWnd(), nullptr, 40, 50, 600, 450, SWP_NOZORDER);
    ShowWindow(frame->hWnd(), SW_MINIMIZE);
    DoEvents();
    ASSERT_TRUE(IsIconic(frame->hWnd()));
    frame->mnuFileExit_Click();
    EXPECT_EQ(settings.Value(L"Left"), L"600");
    EXPECT_EQ(settings.Value(L"Top"), L"750");
    EXPECT_EQ(settings.Value(L"Width"), L"9000");
    EXPECT_EQ(settings.Value(L"Height"), L"6750");
}

TEST_F(Startup, MaximisedAtExitStoresTheMaximisedPlacementAndStartsNormal) {
    MakeFrame();
    ShowWindow(frame->hWnd(), SW_MAXIMIZE);
    DoEvents();
    RECT maximised{};
    GetWindowRect(frame->hWnd(), &maximised);
    frame->mnuFileExit_Click();
    EXPECT_EQ(settings.Value(L"Width"), SingleToText(static_cast<float>(maximised.right - maximised.left) * 15.0f));
    EXPECT_EQ(settings.Value(L"Left"), SingleToText(static_cast<float>(maximised.left) * 15.0f));
    MakeFrame();
    EXPECT_FALSE(IsZoomed(frame->hWnd()));
    RECT restored{};
    GetWindowRect(frame->hWnd(), &restored);
    EXPECT_EQ(restored.right - restored.left, maximised.right - maximised.left);
    EXPECT_EQ(restored.left, maximised.left);
}

TEST_F(Startup, ExitUnloadsEveryOtherLoadedFormAndTheDocuments) {
    MakeFrame();
    auto document = NewForm<frmNabbet>(frame);
    document->SetCaption(L"Nabbet1");
    // Another top-level form, still loaded but hidden, as a selection tool would be.
    auto extra = NewForm<frmNabbet>(frame);
    extra->SetCaption(L"Nabbet2");
    ASSERT_EQ(Forms::Count(), 3);
    frame->mnuFileExit_Click();
    EXPECT_EQ(Forms::Count(), 0);
    EXPECT_FALSE(document->IsLoaded());
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(Startup, AFailedSettingsWriteIsReportedOnceAndTheFrameStillCloses) {
    MakeFrame();
    settings.failWrites = true;
    frame->mnuFileExit_Click();
    EXPECT_EQ(messages.shown.size(), 1u);
    EXPECT_FALSE(frame->IsLoaded());
}

TEST_F(Startup, RegistryStoreReadsAndWritesTheClassicLocation) {
    SetSettingsStore(nullptr);
    const std::wstring app = L"PixelnabTest" + std::to_wstring(GetCurrentProcessId());
    EXPECT_EQ(SettingsStore().GetSetting(app, L"Main", L"Width", L"dflt"), L"dflt");
    SettingsStore().SaveSetting(app, L"Main", L"Width", L"2512.5");
    EXPECT_EQ(SettingsStore().GetSetting(app, L"Main", L"Width", L"dflt"), L"2512.5");
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, (L"Software\\VB and VBA Program Settings\\" + app + L"\\Main").c_str(),
                            0, KEY_READ, &key),
              ERROR_SUCCESS);
    RegCloseKey(key);
    RegDeleteTreeW(HKEY_CURRENT_USER, (L"Software\\VB and VBA Program Settings\\" + app).c_str());
    SetSettingsStore(&settings);
}
