// A toolbar that keeps its painting looks, after every kind of change, exactly as the same
// toolbar painting itself does, and paints itself again only when its look may have changed.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <map>

#include "Image.h"
#include "platform/controls/PaintCache.h"

namespace {

// Custom-draw notices of each toolbar's own paints: a paint from what was kept sends none.
std::map<HWND, int> g_ownPaints;

LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NOTIFY) {
        const auto* draw = reinterpret_cast<const NMCUSTOMDRAW*>(lParam);
        if (draw->hdr.code == NM_CUSTOMDRAW && draw->dwDrawStage == CDDS_PREPAINT) ++g_ownPaints[draw->hdr.hwndFrom];
        return CDRF_DODEFAULT;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// A borderless window in the face colour for the controls under test, on its own class.
HWND MakeHost(const wchar_t* className, WNDPROC procedure, const RECT& place) {
    WNDCLASSW hostClass{};
    hostClass.lpfnWndProc = procedure;
    hostClass.hInstance = GetModuleHandleW(nullptr);
    hostClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    hostClass.lpszClassName = className;
    RegisterClassW(&hostClass);
    return CreateWindowExW(WS_EX_TOOLWINDOW, className, L"", WS_POPUP, place.left, place.top, place.right - place.left,
                           place.bottom - place.top, nullptr, nullptr, hostClass.hInstance, nullptr);
}

void DestroyHost(HWND host) {
    wchar_t className[64]{};
    GetClassNameW(host, className, 64);
    DestroyWindow(host);
    UnregisterClassW(className, GetModuleHandleW(nullptr));
}

HWND MakeToolbar(HWND host, int top) {
    HWND toolbar = CreateWindowExW(0, TOOLBARCLASSNAMEW, nullptr,
                                   WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | CCS_NODIVIDER | CCS_NORESIZE | CCS_NOPARENTALIGN,
                                   0, top, 300, 40, host, nullptr, GetModuleHandleW(nullptr), nullptr);
    SendMessageW(toolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageW(toolbar, TB_LOADIMAGES, IDB_STD_SMALL_COLOR, reinterpret_cast<LPARAM>(HINST_COMMCTRL));
    TBBUTTON buttons[5]{};
    for (int i = 0; i < 5; ++i) {
        buttons[i].iBitmap = i;
        buttons[i].idCommand = 100 + i;
        buttons[i].fsState = TBSTATE_ENABLED;
        buttons[i].fsStyle = i == 3 ? BTNS_CHECK : BTNS_BUTTON;
    }
    SendMessageW(toolbar, TB_ADDBUTTONSW, 5, reinterpret_cast<LPARAM>(buttons));
    return toolbar;
}

Image Painted(HWND toolbar) {
    UpdateWindow(toolbar);
    RECT client{};
    GetClientRect(toolbar, &client);
    HDC dc = GetDC(toolbar);
    Image image = ReadDc(dc, 0, 0, client.right, client.bottom);
    ReleaseDC(toolbar, dc);
    return image;
}

}  // namespace

TEST(PaintCache, AKeptToolbarLooksAsItsOwnPaintingAndRepaintsItselfOnlyWhenItsLookMayChange) {
    HWND host = MakeHost(L"PaintCacheTestHost", &HostProc, RECT{40, 40, 360, 140});
    ASSERT_NE(host, nullptr);
    HWND kept = MakeToolbar(host, 0);
    HWND own = MakeToolbar(host, 50);
    KeepPainting(kept);
    ShowWindow(host, SW_SHOWNOACTIVATE);
    UpdateWindow(host);

    const auto both = [&](auto&& change) {
        change(kept);
        change(own);
    };
    const auto expectSameLook = [&](const char* step) {
        const Image a = Painted(kept);
        const Image b = Painted(own);
        ASSERT_GT(a.width, 0) << step;
        EXPECT_EQ(CountDifferences(a, b), 0) << step;
    };
    expectSameLook("first paint");
    const int first = g_ownPaints[kept];
    EXPECT_GE(first, 1);

    // Hidden and shown again unchanged: painted from what was kept.
    ShowWindow(host, SW_HIDE);
    ShowWindow(host, SW_SHOWNOACTIVATE);
    expectSameLook("shown again");
    EXPECT_EQ(g_ownPaints[kept], first);

    // A button greyed and enabled again before the next paint: still the kept painting.
    SendMessageW(kept, TB_ENABLEBUTTON, 101, FALSE);
    SendMessageW(kept, TB_ENABLEBUTTON, 101, TRUE);
    InvalidateRect(kept, nullptr, TRUE);
    expectSameLook("state set back");
    EXPECT_EQ(g_ownPaints[kept], first);

    // Real changes: greyed, checked, hot under the pointer, resized.
    both([](HWND t) { SendMessageW(t, TB_ENABLEBUTTON, 101, FALSE); });
    expectSameLook("greyed");
    EXPECT_GT(g_ownPaints[kept], first);
    both([](HWND t) { SendMessageW(t, TB_CHECKBUTTON, 103, TRUE); });
    expectSameLook("checked");
    both([](HWND t) { SendMessageW(t, TB_SETHOTITEM, 2, 0); });
    expectSameLook("hot");
    both([](HWND t) { SetWindowPos(t, nullptr, 0, 0, 200, 30, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE); });
    expectSameLook("resized");
    both([](HWND t) { SendMessageW(t, TB_HIDEBUTTON, 100, TRUE); });
    expectSameLook("a button hidden");

    DestroyHost(host);
}

namespace {

HWND MakeScrollBar(HWND host, int top, bool vertical) {
    HWND bar = CreateWindowExW(0, L"SCROLLBAR", nullptr, WS_CHILD | WS_VISIBLE | (vertical ? SBS_VERT : SBS_HORZ),
                               vertical ? 10 + top : 0, vertical ? 0 : top, vertical ? 17 : 280, vertical ? 200 : 17,
                               host, nullptr, GetModuleHandleW(nullptr), nullptr);
    SCROLLINFO info{sizeof info, SIF_RANGE | SIF_PAGE | SIF_POS, 0, 999, 250, 100, 0};
    SetScrollInfo(bar, SB_CTL, &info, TRUE);
    return bar;
}

}  // namespace

// Scroll bars share what was kept: a bar whose look is one painted before by any bar shows
// it from memory, and whatever changes the look (thumb, range, size, greyed) is painted anew.
TEST(PaintCache, KeptScrollBarsLookAsTheirOwnPaintingThroughEveryChange) {
    HWND host = MakeHost(L"PaintCacheScrollHost", &DefWindowProcW, RECT{40, 200, 440, 420});
    ASSERT_NE(host, nullptr);
    SetCursorPos(700, 700);  // not over a bar: a bar under the pointer paints itself
    for (const bool vertical : {false, true}) {
        SCOPED_TRACE(vertical ? "vertical" : "horizontal");
        HWND first = MakeScrollBar(host, 0, vertical);
        HWND second = MakeScrollBar(host, 30, vertical);
        HWND own = MakeScrollBar(host, 60, vertical);
        KeepScrollBarPainting(first);
        KeepScrollBarPainting(second);
        ShowWindow(host, SW_SHOWNOACTIVATE);
        UpdateWindow(host);
        const auto expectSameLook = [&](const char* step) {
            const Image mine = Painted(own);
            ASSERT_GT(mine.width, 0) << step;
            EXPECT_EQ(CountDifferences(Painted(first), mine), 0) << step;
            EXPECT_EQ(CountDifferences(Painted(second), mine), 0) << step;
        };
        const auto all = [&](auto&& change) {
            for (HWND bar : {first, second, own}) {
                change(bar);
                InvalidateRect(bar, nullptr, TRUE);
            }
        };
        expectSameLook("first paint");
        const Image start = Painted(own);
        all([](HWND bar) {
            SCROLLINFO info{sizeof info, SIF_POS, 0, 0, 0, 600, 0};
            SetScrollInfo(bar, SB_CTL, &info, TRUE);
        });
        expectSameLook("thumb moved");
        EXPECT_GT(CountDifferences(Painted(own), start), 0);
        all([](HWND bar) {
            SCROLLINFO info{sizeof info, SIF_PAGE, 0, 0, 700, 0, 0};
            SetScrollInfo(bar, SB_CTL, &info, TRUE);
        });
        expectSameLook("larger thumb");
        all([](HWND bar) { EnableScrollBar(bar, SB_CTL, ESB_DISABLE_BOTH); });
        expectSameLook("arrows greyed");
        all([](HWND bar) { EnableWindow(bar, FALSE); });
        expectSameLook("bar disabled");
        all([](HWND bar) {
            EnableWindow(bar, TRUE);
            EnableScrollBar(bar, SB_CTL, ESB_ENABLE_BOTH);
            SCROLLINFO info{sizeof info, SIF_PAGE | SIF_POS, 0, 0, 250, 100, 0};
            SetScrollInfo(bar, SB_CTL, &info, TRUE);
        });
        expectSameLook("back to the start");
        EXPECT_EQ(CountDifferences(Painted(first), start), 0);
        all([](HWND bar) { SetWindowPos(bar, nullptr, 0, 0, 150, 150, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE); });
        expectSameLook("resized");
        for (HWND bar : {first, second, own}) DestroyWindow(bar);
    }
    DestroyHost(host);
}
