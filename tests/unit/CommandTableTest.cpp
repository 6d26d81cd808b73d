// The command table against the menu resource, and the frame's list of documents.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

#include <windows.h>

#include "Fakes.h"
#include "app/CommandTable.h"
#include "document/frmNabbet.h"
#include "help/frmAbout.h"
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

std::wstring KeyName(BYTE flags, WORD key) {
    std::wstring name = (flags & FCONTROL) ? L"Ctrl+" : L"";
    if (key >= VK_F1 && key <= VK_F24) return name + L"F" + std::to_wstring(key - VK_F1 + 1);
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
    }
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

TEST_F(DocumentList, UnloadingTheFrameClosesEveryDocumentFirst) {
    MakeFrame();
    auto first = Open(L"First");
    auto second = Open(L"Second");
    frame->Unload();
    EXPECT_FALSE(first->IsLoaded());
    EXPECT_FALSE(second->IsLoaded());
    EXPECT_EQ(Forms::Count(), 0);
    EXPECT_EQ(CurrentFrame(), nullptr);
}
