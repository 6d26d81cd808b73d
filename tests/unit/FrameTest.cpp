// The frame: command state, toolbar routing, View and Options commands, Close All,
// start-up and shutdown with the settings store.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "document/frmNabbet.h"
#include "Fakes.h"
#include "Image.h"
#include "Wait.h"
#include "resource.h"

namespace {

class FrameFixture : public FrameTest {
protected:
    void SetUp() override {
        FrameTest::SetUp();
        SetScreenService(&screen);
    }
    std::shared_ptr<frmNabbet> OpenDocument(const std::wstring& caption) {
        auto document = NewForm<frmNabbet>(frame);
        document->SetCaption(caption);
        document->Show();
        DoEvents();
        return document;
    }
    static constexpr UINT kDocumentCommands[] = {IDM_FILE_CLOSE, IDM_FILE_SAVE, IDM_FILE_PRINT, IDM_EDIT_COPY};
    static constexpr const wchar_t* kDocumentButtons[] = {L"Save", L"Print", L"Copy"};

    void ExpectDocumentCommands(bool enabled) {
        for (UINT id : kDocumentCommands) EXPECT_EQ(frame->MenuEnabled(id), enabled) << "menu " << id;
        for (const wchar_t* key : kDocumentButtons)
            EXPECT_EQ(frame->ToolbarButtonEnabled(key), enabled) << "button " << std::string(key, key + wcslen(key));
    }
    FixedScreen screen;
};

}  // namespace

TEST_F(FrameFixture, StartsWithDocumentCommandsDisabledAndEverythingElseEnabled) {
    MakeFrame();
    ExpectDocumentCommands(false);
    for (UINT id : {IDM_FILE_OPEN, IDM_FILE_EXIT, IDM_EDIT_EMPTY, IDM_VIEW_TOOLBAR, IDM_CAPTURE_RECTANGLE,
                    IDM_CAPTURE_SCREEN, IDM_WINDOW_CLOSEALL, IDM_WINDOW_CASCADE, IDM_HELP_ABOUT})
        EXPECT_TRUE(frame->MenuEnabled(id)) << id;
    for (const wchar_t* key : {L"Open", L"Empty", L"Rectangle", L"Active Window", L"Window", L"Screen", L"About",
                               L"Exit"})
        EXPECT_TRUE(frame->ToolbarButtonEnabled(key));
    EXPECT_TRUE(frame->MenuChecked(IDM_VIEW_TOOLBAR));
    EXPECT_TRUE(frame->MenuChecked(IDM_VIEW_STATUSBAR));
    EXPECT_EQ(frame->PanelText(1), L"Ready");
    EXPECT_EQ(frame->Caption(), L"Pixelnab");
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(FrameFixture, CommandStateFollowsTheNumberOfDocuments) {
    MakeFrame();
    frame->SetPanelText(1, L"Busy");
    auto first = OpenDocument(L"Nabbet1");
    frame->SetAppState();
    ExpectDocumentCommands(true);
    EXPECT_EQ(frame->PanelText(1), L"Ready");

    // Closing the last document by its own close box disables them through its termination.
    SendMessageW(first->hWnd(), WM_CLOSE, 0, 0);
    first.reset();
    DoEvents();
    EXPECT_EQ(Forms::Count(), 1);
    ExpectDocumentCommands(false);
}

TEST_F(FrameFixture, HideIndicatorsFollowTheOptionAtEveryCall) {
    MakeFrame();
    EXPECT_TRUE(gblnHideCaptureWin);  // the default
    EXPECT_TRUE(frame->MenuChecked(IDM_OPTIONS_HIDE));
    EXPECT_EQ(frame->ToolbarButtonValue(L"Hide"), 1);
    gblnHideCaptureWin = false;
    frame->SetAppState();
    EXPECT_FALSE(frame->MenuChecked(IDM_OPTIONS_HIDE));
    EXPECT_EQ(frame->ToolbarButtonValue(L"Hide"), 0);
}

TEST_F(FrameFixture, HideToggledTwiceReturnsToItsFirstState) {
    MakeFrame();
    frame->mnuOptionsHide_Click();
    EXPECT_FALSE(gblnHideCaptureWin);
    EXPECT_FALSE(frame->MenuChecked(IDM_OPTIONS_HIDE));
    EXPECT_EQ(frame->ToolbarButtonValue(L"Hide"), 0);
    frame->tlbMain_ButtonClick(L"Hide");
    EXPECT_TRUE(gblnHideCaptureWin);
    EXPECT_TRUE(frame->MenuChecked(IDM_OPTIONS_HIDE));
    EXPECT_EQ(frame->ToolbarButtonValue(L"Hide"), 1);
}

TEST_F(FrameFixture, EveryToolbarButtonReachesItsMenuHandler) {
    MakeFrame();
    std::vector<std::wstring> called;
    frame->SetCommandObserver([&](const wchar_t* handler) { called.emplace_back(handler); });
    const std::pair<const wchar_t*, const wchar_t*> routes[] = {
        {L"Open", L"mnuFileOpen_Click"},          {L"Save", L"mnuFileSave_Click"},
        {L"Print", L"mnuFilePrint_Click"},        {L"Copy", L"mnuEditCopy_Click"},
        {L"Empty", L"mnuEditEmpty_Click"},        {L"Rectangle", L"mnuCaptureRectangle_Click"},
        {L"Active Window", L"mnuCaptureActiveWindow_Click"}, {L"Window", L"mnuCaptureWindow_Click"},
        {L"Screen", L"mnuCaptureScreen_Click"},   {L"Hide", L"mnuOptionsHide_Click"},
        {L"About", L"mnuHelpAbout_Click"},
    };
    for (const auto& [key, handler] : routes) {
        called.clear();
        // The commands themselves must not run into dialogs here: only the routing is watched.
        frame->SetCommandObserver([&](const wchar_t* name) {
            called.emplace_back(name);
            throw RuntimeError(1, L"stop");
        });
        // What the toolbar sends when the button is clicked.
        SendMessageW(frame->hWnd(), WM_COMMAND, MAKEWPARAM(frame->ToolbarCommandId(key), BN_CLICKED),
                     reinterpret_cast<LPARAM>(frame->ToolbarWindow()));
        ASSERT_EQ(called.size(), 1u) << std::string(key, key + wcslen(key));
        EXPECT_EQ(called[0], handler);
    }
    // The observer's failure is reported by the dispatch's trap, once per click.
    EXPECT_EQ(messages.shown.size(), std::size(routes));

    called.clear();
    messages.shown.clear();
    frame->SetCommandObserver([&](const wchar_t* name) { called.emplace_back(name); });
    frame->tlbMain_ButtonClick(L"screen");  // keys are case-sensitive
    frame->tlbMain_ButtonClick(L"");
    frame->tlbMain_ButtonClick(L"Active window");
    EXPECT_TRUE(called.empty());
    EXPECT_TRUE(messages.shown.empty());

    frame->tlbMain_ButtonClick(L"Exit");
    ASSERT_EQ(called.size(), 1u);
    EXPECT_EQ(called[0], L"mnuFileExit_Click");
    EXPECT_FALSE(frame->IsLoaded());
}

TEST_F(FrameFixture, ToolbarHasTheTwelveButtonsWithTheirTooltips) {
    MakeFrame();
    const std::vector<std::wstring> keys = frame->ToolbarKeys();
    const std::vector<std::wstring> expected = {L"Open",   L"Save",          L"Print",  L"Copy",
                                                L"Empty",  L"Rectangle",     L"Active Window", L"Window",
                                                L"Screen", L"Hide",          L"About",  L"Exit"};
    EXPECT_EQ(keys, expected);
    EXPECT_EQ(SendMessageW(frame->ToolbarWindow(), TB_BUTTONCOUNT, 0, 0), 16);
    EXPECT_EQ(frame->ToolbarTooltip(frame->ToolbarCommandId(L"Screen")), L"Capture Entire Screen");
    EXPECT_EQ(frame->ToolbarTooltip(frame->ToolbarCommandId(L"Window")), L"Capture Selected Window");
    EXPECT_EQ(frame->ToolbarTooltip(frame->ToolbarCommandId(L"Copy")), L"Copy To Clipboard");
    // An unknown key is an error, not a silent no-op, for the code that addresses buttons.
    EXPECT_THROW(frame->SetToolbarButtonEnabled(L"Nope", true), RuntimeError);
}

TEST_F(FrameFixture, ViewTogglesChangeTheFrameHeightByExactlyTheBarHeight) {
    MakeFrame();
    for (auto [menu, bar] : {std::pair{IDM_VIEW_TOOLBAR, frame->ToolbarWindow()},
                             std::pair{IDM_VIEW_STATUSBAR, frame->StatusBarWindow()}}) {
        const float before = frame->Height();
        const float barHeight = frame->BarHeight(bar);
        ASSERT_GT(barHeight, 0.0f);
        SendMessageW(frame->hWnd(), WM_COMMAND, menu, 0);
        EXPECT_FALSE(frame->MenuChecked(menu));
        EXPECT_FALSE(IsWindowVisible(bar));
        EXPECT_FLOAT_EQ(frame->Height(), before - barHeight);
        SendMessageW(frame->hWnd(), WM_COMMAND, menu, 0);
        EXPECT_TRUE(frame->MenuChecked(menu));
        EXPECT_TRUE(IsWindowVisible(bar));
        EXPECT_FLOAT_EQ(frame->Height(), before);
    }
    EXPECT_FLOAT_EQ(frame->BarHeight(frame->ToolbarWindow()), 360.0f) << "toolbar height";
    EXPECT_FLOAT_EQ(frame->BarHeight(frame->StatusBarWindow()), 315.0f) << "status bar height";
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(FrameFixture, ViewToggleOnAMaximisedFrameReportsOneErrorAndKeepsItsSize) {
    MakeFrame();
    ShowWindow(frame->hWnd(), SW_MAXIMIZE);
    const float before = frame->Height();
    frame->mnuViewStatusBar_Click();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text.rfind(L"Error #: 384\r", 0), 0u);
    EXPECT_FALSE(frame->MenuChecked(IDM_VIEW_STATUSBAR));
    EXPECT_FALSE(IsWindowVisible(frame->StatusBarWindow()));
    EXPECT_FLOAT_EQ(frame->Height(), before);
}

TEST_F(FrameFixture, CloseAllClosesEveryDocumentActiveFirst) {
    MakeFrame();
    auto a = OpenDocument(L"Nabbet1");
    auto b = OpenDocument(L"Nabbet2");
    auto c = OpenDocument(L"Nabbet3");
    frame->SetAppState();
    ASSERT_EQ(Forms::Count(), 4);
    // Watch which document goes first: the active one (the last opened).
    EXPECT_EQ(frame->ActiveForm().get(), c.get());
    const HWND cWindow = c->hWnd();
    a.reset();
    b.reset();
    c.reset();
    SendMessageW(frame->hWnd(), WM_COMMAND, IDM_WINDOW_CLOSEALL, 0);
    EXPECT_FALSE(IsWindow(cWindow));
    EXPECT_EQ(Forms::Count(), 1);
    ExpectDocumentCommands(false);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(FrameFixture, CloseAllWithNoDocumentOnlyRecomputesTheState) {
    MakeFrame();
    frame->SetPanelText(1, L"Something");
    frame->mnuWindowCloseAll_Click();
    EXPECT_EQ(frame->PanelText(1), L"Ready");
    EXPECT_EQ(Forms::Count(), 1);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(FrameFixture, WindowListNamesTheDocumentsAndChoosingOneActivatesIt) {
    MakeFrame();
    auto a = OpenDocument(L"Nabbet1");
    auto b = OpenDocument(L"Nabbet2");
    ASSERT_EQ(frame->ActiveForm().get(), b.get());
    // The window list is the submenu of "&Window List", last item of the Window menu (the
    // menu bar's last but one).
    HMENU bar = GetMenu(frame->hWnd());
    HMENU windowMenu = GetSubMenu(bar, GetMenuItemCount(bar) - 2);
    HMENU list = GetSubMenu(windowMenu, GetMenuItemCount(windowMenu) - 1);
    ASSERT_NE(list, nullptr);
    DrawMenuBar(frame->hWnd());
    std::vector<std::wstring> entries;
    UINT firstId = 0;
    for (int i = 0; i < GetMenuItemCount(list); ++i) {
        wchar_t text[64]{};
        GetMenuStringW(list, static_cast<UINT>(i), text, 64, MF_BYPOSITION);
        if (text[0] == 0) continue;
        if (firstId == 0) firstId = GetMenuItemID(list, i);
        entries.emplace_back(text);
        if (std::wstring(text).find(L"Nabbet2") != std::wstring::npos) {
            EXPECT_TRUE(GetMenuState(list, static_cast<UINT>(i), MF_BYPOSITION) & MF_CHECKED);
        }
    }
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_NE(entries[0].find(L"Nabbet1"), std::wstring::npos);
    EXPECT_NE(entries[1].find(L"Nabbet2"), std::wstring::npos);
    SendMessageW(frame->hWnd(), WM_COMMAND, firstId, 0);
    EXPECT_EQ(frame->ActiveForm().get(), a.get());
}

TEST_F(FrameFixture, ArrangeCommandsTileAndCascadeTheDocuments) {
    MakeFrame();
    auto a = OpenDocument(L"Nabbet1");
    auto b = OpenDocument(L"Nabbet2");
    RECT client{};
    GetClientRect(frame->MdiClient(), &client);
    frame->mnuWindowTileVertical_Click();
    RECT ra{}, rb{};
    GetWindowRect(a->hWnd(), &ra);
    GetWindowRect(b->hWnd(), &rb);
    EXPECT_EQ(ra.top, rb.top);  // side by side
    EXPECT_NE(ra.left, rb.left);
    frame->mnuWindowTileHorizontal_Click();
    GetWindowRect(a->hWnd(), &ra);
    GetWindowRect(b->hWnd(), &rb);
    EXPECT_EQ(ra.left, rb.left);  // one above the other
    EXPECT_NE(ra.top, rb.top);
    frame->mnuWindowCascade_Click();
    GetWindowRect(a->hWnd(), &ra);
    GetWindowRect(b->hWnd(), &rb);
    EXPECT_NE(ra.left, rb.left);
    EXPECT_NE(ra.top, rb.top);
    frame->mnuWindowArrangeIcons_Click();
    EXPECT_TRUE(messages.shown.empty());
}

// An arrangement draws the documents' frames once, at its end: afterwards every document
// looks exactly as it does when drawn on its own, nothing is left of where they were.
TEST_F(FrameFixture, ArrangedDocumentsAreFullyDrawnAfterwards) {
    MakeFrame();
    std::vector<std::shared_ptr<frmNabbet>> documents;
    for (int i = 1; i <= 6; ++i) documents.push_back(OpenDocument(L"Nabbet" + std::to_wstring(i)));
    SetForegroundWindow(frame->hWnd());
    for (void (frmMain::*arrange)() : {&frmMain::mnuWindowCascade_Click, &frmMain::mnuWindowTileHorizontal_Click,
                                       &frmMain::mnuWindowTileVertical_Click}) {
        (frame.get()->*arrange)();
        Settle();
        RECT client{};
        GetClientRect(frame->MdiClient(), &client);
        MapWindowPoints(frame->MdiClient(), nullptr, reinterpret_cast<POINT*>(&client), 2);
        const Image arranged = ReadScreen(client);
        RedrawWindow(frame->MdiClient(), nullptr, nullptr,
                     RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_ERASENOW);
        Settle();
        const Image redrawn = ReadScreen(client);
        EXPECT_EQ(CountDifferences(arranged, redrawn), 0);
    }
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(FrameFixture, KeyIndicatorsFollowTheKeyboardState) {
    MakeFrame();
    BYTE keys[256]{};
    ASSERT_TRUE(GetKeyboardState(keys));
    const BYTE saved[3] = {keys[VK_CAPITAL], keys[VK_NUMLOCK], keys[VK_INSERT]};
    keys[VK_CAPITAL] |= 1;
    keys[VK_NUMLOCK] &= static_cast<BYTE>(~1);
    keys[VK_INSERT] |= 1;
    SetKeyboardState(keys);
    frame->UpdateKeyIndicators();
    EXPECT_EQ(frame->PanelText(2), L"CAPS");
    EXPECT_EQ(frame->PanelText(3), L"");
    EXPECT_EQ(frame->PanelText(4), L"INS");
    keys[VK_CAPITAL] &= static_cast<BYTE>(~1);
    keys[VK_NUMLOCK] |= 1;
    SetKeyboardState(keys);
    frame->UpdateKeyIndicators();
    EXPECT_EQ(frame->PanelText(2), L"");
    EXPECT_EQ(frame->PanelText(3), L"NUM");
    keys[VK_CAPITAL] = saved[0];
    keys[VK_NUMLOCK] = saved[1];
    keys[VK_INSERT] = saved[2];
    SetKeyboardState(keys);
}

TEST_F(FrameFixture, NewDocumentsOpenMaximisedWhileTheActiveOneIsMaximised) {
    MakeFrame();
    auto first = OpenDocument(L"Nabbet1");
    SendMessageW(frame->MdiClient(), WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(first->hWnd()), 0);
    DoEvents();
    ASSERT_TRUE(IsZoomed(first->hWnd()));
    auto second = OpenDocument(L"Nabbet2");
    EXPECT_TRUE(IsZoomed(second->hWnd()));
    EXPECT_EQ(frame->ActiveForm().get(), second.get());
}
