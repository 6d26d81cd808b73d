// The command table against the menu resource, and the frame's list of documents.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <tuple>

#include <windows.h>

#include "app/CommandTable.h"
#include "document/frmNabbet.h"
#include "Fakes.h"
#include "help/frmAbout.h"
#include "Image.h"
#include "Pattern.h"
#include "resource.h"

namespace {

// Every command id of a menu and its submenus, with each item's text.
void CollectMenu(HMENU menu, std::map<UINT, std::wstring>& items) {
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        wchar_t text[128]{};
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_ID | MIIM_SUBMENU | MIIM_STRING | MIIM_FTYPE;
        info.dwTypeData = text;
        info.cch = 127;
        ASSERT_TRUE(GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info));
        if (info.hSubMenu != nullptr) {
            CollectMenu(info.hSubMenu, items);
        } else if ((info.fType & MFT_SEPARATOR) == 0) {
            items[info.wID] = text;
        }
    }
}

// The name a menu shows for a key; the keypad's keys share the name of their main-keyboard twin.
std::wstring KeyName(BYTE flags, WORD key) {
    std::wstring name = (flags & FCONTROL) ? L"Ctrl+" : L"";
    if (flags & FSHIFT) name += L"Shift+";
    if (key >= VK_F1 && key <= VK_F24) return name + L"F" + std::to_wstring(key - VK_F1 + 1);
    if (key == VK_OEM_PLUS || key == VK_ADD) return name + L"Plus";
    if (key == VK_OEM_MINUS || key == VK_SUBTRACT) return name + L"Minus";
    if (key >= VK_NUMPAD0 && key <= VK_NUMPAD9) return name + static_cast<wchar_t>(L'0' + key - VK_NUMPAD0);
    return name + static_cast<wchar_t>(key);
}

class MenuResource : public testing::Test {
protected:
    void SetUp() override {
        menu_ = LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINMENU));
        ASSERT_NE(menu_, nullptr);
        CollectMenu(menu_, items_);
    }
    void TearDown() override { DestroyMenu(menu_); }
    HMENU menu_ = nullptr;
    std::map<UINT, std::wstring> items_;
};

}  // namespace

TEST_F(MenuResource, EveryMenuItemHasExactlyOneRowAndEveryRowAMenuItem) {
    std::set<UINT> rows;
    for (const CommandRow& row : Commands()) {
        EXPECT_TRUE(rows.insert(row.id).second) << "two rows for " << row.id;
        EXPECT_TRUE(items_.count(row.id)) << "row " << row.id << " has no menu item";
        EXPECT_NE(row.handler, nullptr) << row.id;
    }
    for (const auto& [id, text] : items_) {
        if (id == IDM_WINDOW_LIST) continue;  // a submenu the MDI client fills
        EXPECT_TRUE(rows.count(id)) << "menu item " << id << " has no row";
    }
}

TEST_F(MenuResource, TheShortcutShownInTheMenuIsTheAcceleratorOfItsRow) {
    for (const CommandRow& row : Commands()) {
        const std::wstring& text = items_[row.id];
        const auto tab = text.find(L'\t');
        const std::wstring shown = tab == std::wstring::npos ? L"" : text.substr(tab + 1);
        const std::wstring key = row.acceleratorKey != 0 ? KeyName(row.acceleratorFlags, row.acceleratorKey) : L"";
        EXPECT_EQ(shown, key) << "menu item " << row.id;
        // A second key is the same shortcut on another part of the keyboard, never a new one.
        if (row.alternateKey != 0) {
            EXPECT_NE(row.alternateKey, row.acceleratorKey) << "menu item " << row.id;
            EXPECT_EQ(KeyName(row.acceleratorFlags, row.alternateKey), shown) << "menu item " << row.id;
        }
    }
}

TEST_F(MenuResource, TheAcceleratorTableHoldsEveryRowsKeysAndNoOthers) {
    std::set<std::tuple<BYTE, WORD, WORD>> expected;
    for (const CommandRow& row : Commands()) {
        if (row.acceleratorKey != 0) expected.insert({row.acceleratorFlags, row.acceleratorKey, static_cast<WORD>(row.id)});
        if (row.alternateKey != 0) expected.insert({row.acceleratorFlags, row.alternateKey, static_cast<WORD>(row.id)});
    }
    const HACCEL table = CreateCommandAccelerators();
    ASSERT_NE(table, nullptr);
    ACCEL entries[64]{};
    const int count = CopyAcceleratorTableW(table, entries, 64);
    DestroyAcceleratorTable(table);
    std::set<std::tuple<BYTE, WORD, WORD>> actual;
    for (int i = 0; i < count; ++i)
        actual.insert({static_cast<BYTE>(entries[i].fVirt & ~0x80), entries[i].key, entries[i].cmd});
    EXPECT_EQ(actual, expected);
    // Both ways of typing Ctrl+Plus zoom in.
    EXPECT_TRUE(actual.count({static_cast<BYTE>(FVIRTKEY | FCONTROL), static_cast<WORD>(VK_OEM_PLUS), static_cast<WORD>(IDM_VIEW_ZOOMIN)}));
    EXPECT_TRUE(actual.count({static_cast<BYTE>(FVIRTKEY | FCONTROL), static_cast<WORD>(VK_ADD), static_cast<WORD>(IDM_VIEW_ZOOMIN)}));
}

TEST_F(MenuResource, ToolbarKeysAreUniqueAndEachButtonHasAnImageAndTooltip) {
    std::set<std::wstring> keys;
    std::set<int> images;
    for (const wchar_t* key : ToolbarLayout()) {
        if (key == nullptr) continue;
        EXPECT_TRUE(keys.insert(key).second);
        const CommandRow* row = FindToolbarCommand(key);
        ASSERT_NE(row, nullptr);
        EXPECT_NE(row->tooltip, nullptr);
        EXPECT_TRUE(images.insert(row->image).second) << "image " << row->image << " used twice";
    }
    for (const CommandRow& row : Commands()) {
        if (row.toolbarKey != nullptr) {
            EXPECT_TRUE(keys.count(row.toolbarKey)) << "button not on the toolbar";
        }
    }
}

class DocumentList : public FrameTest {
protected:
    std::shared_ptr<frmNabbet> Open(const std::wstring& caption) { return AddDocument(caption, Picture{}); }
};

TEST_F(DocumentList, FollowsOpeningAndClosingInOrder) {
    MakeFrame();
    auto first = Open(L"First");
    auto second = Open(L"Second");
    auto third = Open(L"Third");
    ASSERT_EQ(frame->Documents().size(), 3u);
    EXPECT_EQ(frame->Documents()[0].get(), first.get());
    EXPECT_EQ(frame->Documents()[2].get(), third.get());
    EXPECT_EQ(frame->ActiveDocument().get(), third.get());

    second->Unload();
    ASSERT_EQ(frame->Documents().size(), 2u);
    EXPECT_EQ(frame->Documents()[1].get(), third.get());
    // The frame learned of the close at once: the commands still apply to the others.
    EXPECT_TRUE(frame->MenuEnabled(IDM_FILE_SAVE));

    SendMessageW(third->hWnd(), WM_CLOSE, 0, 0);
    SendMessageW(first->hWnd(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(frame->Documents().empty());
    // Still referenced here, yet closed: the command state already says so.
    EXPECT_FALSE(frame->MenuEnabled(IDM_FILE_SAVE));
    EXPECT_FALSE(frame->DocumentsOpen());
}

TEST_F(DocumentList, ALoadedToolIsNoDocumentButCountsForTheCountRule) {
    MakeFrame();
    auto about = NewForm<frmAbout>();
    about->Load();
    EXPECT_TRUE(frame->Documents().empty());
    EXPECT_EQ(frame->ActiveDocument(), nullptr);
    EXPECT_TRUE(frame->DocumentsOpen());
    about->Unload();
    EXPECT_FALSE(frame->DocumentsOpen());
}

// A document belongs to the frame that made it, not to whichever frame was loaded last.
TEST_F(DocumentList, ADocumentLivesInAndReportsToTheFrameThatMadeIt) {
    MakeFrame();
    auto newer = NewForm<frmMain>();
    newer->Load();
    // Closed at the end without its unload handler, which would unload every other form,
    // the first frame too.
    struct WindowCloser {
        HWND window;
        ~WindowCloser() { DestroyWindow(window); }
    } closeNewer{newer->hWnd()};
    DocumentArrival arrival;
    arrival.title = L"First";
    arrival.picture = [] { return BitmapPicture(PatternImage(40, 30), false); };
    auto document = std::dynamic_pointer_cast<frmNabbet>(frame->AddDocument(arrival));
    ASSERT_NE(document, nullptr);
    DoEvents();
    EXPECT_EQ(GetParent(document->hWnd()), frame->MdiClient());
    EXPECT_EQ(frame->Documents().size(), 1u);
    EXPECT_TRUE(newer->Documents().empty());
    document->SetZoom(2.0);
    EXPECT_EQ(frame->PanelText(5), L"40 x 30 px  200%");
    EXPECT_EQ(newer->PanelText(5), L"");
    document->Model()->Select({4, 4, 10, 10});
    EXPECT_TRUE(frame->MenuEnabled(IDM_EDIT_CROP));
    EXPECT_FALSE(newer->MenuEnabled(IDM_EDIT_CROP));
}

TEST_F(DocumentList, UnloadingTheFrameClosesEveryDocumentFirst) {
    MakeFrame();
    auto first = Open(L"First");
    auto second = Open(L"Second");
    frame->Unload();
    EXPECT_FALSE(first->IsLoaded());
    EXPECT_FALSE(second->IsLoaded());
    EXPECT_EQ(Forms::Count(), 0);
}
