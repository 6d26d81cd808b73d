// Sharp at every DPI: the frame, the About box and the picker laid out and drawn for the
// DPI of their monitor, and what a WM_DPICHANGED (the frame moved to a monitor of another
// scale) changes. Wine gives every window the one DPI it starts with, so the change is the
// system's message, sent as the system would send it.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <cstdlib>
#include <string>

#include "FakeDisplays.h"
#include "Fakes.h"
#include "help/frmAbout.h"
#include "platform/rules/DpiScale.h"
#include "platform/windows/Dpi.h"
#include "select/frmWindow.h"
#include "Wait.h"

namespace {

constexpr int kDpis[] = {96, 144, 192};

RECT WindowRect(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return r;
}

int HeightOf(HWND window) {
    const RECT r = WindowRect(window);
    return r.bottom - r.top;
}

// What the system sends when a window reaches a monitor of another scale: the new DPI and
// the rectangle it suggests there.
void SendDpiChanged(HWND window, int dpi, RECT suggested) {
    SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
}

// The suggested rectangle for a window going from one DPI to another: the same place, the
// size grown or shrunk by the ratio, as Windows suggests it.
RECT Scaled(RECT r, int fromDpi, int toDpi) {
    return RECT{r.left, r.top, r.left + ScaleForDpi(r.right - r.left, fromDpi, toDpi),
                r.top + ScaleForDpi(r.bottom - r.top, fromDpi, toDpi)};
}

// A suggestion that gives the window this client size where it stands, its borders as
// they are (Wine does not scale them).
RECT WithClientSize(HWND window, int width, int height) {
    RECT outer = WindowRect(window);
    RECT client{};
    GetClientRect(window, &client);
    outer.right = outer.left + width + (outer.right - outer.left) - client.right;
    outer.bottom = outer.top + height + (outer.bottom - outer.top) - client.bottom;
    return outer;
}

int FontSize(HFONT font) {
    LOGFONTW description{};
    GetObjectW(font, sizeof description, &description);
    return std::abs(description.lfHeight);
}

int ImageSize(HWND toolbar) {
    const auto images = reinterpret_cast<HIMAGELIST>(SendMessageW(toolbar, TB_GETIMAGELIST, 0, 0));
    int cx = 0;
    int cy = 0;
    if (images == nullptr || !ImageList_GetIconSize(images, &cx, &cy) || cx != cy) return -1;
    return cx;
}

int IconWidth(HICON icon) {
    ICONINFO info{};
    if (icon == nullptr || !GetIconInfo(icon, &info)) return -1;
    BITMAP bitmap{};
    GetObjectW(info.hbmColor != nullptr ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
    if (info.hbmColor != nullptr) DeleteObject(info.hbmColor);
    if (info.hbmMask != nullptr) DeleteObject(info.hbmMask);
    return bitmap.bmWidth;
}

// The size the text takes in the font, broken into lines at the width as DrawText breaks it.
SIZE TextExtent(HFONT font, const std::wstring& text, int width, bool wordBreak) {
    HDC dc = GetDC(nullptr);
    const HGDIOBJ old = SelectObject(dc, font);
    RECT r{0, 0, width, 0};
    DrawTextW(dc, text.c_str(), -1, &r, DT_CALCRECT | DT_NOPREFIX | (wordBreak ? DT_WORDBREAK : DT_SINGLELINE));
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

std::wstring TextOf(HWND window) {
    wchar_t text[128]{};
    GetWindowTextW(window, text, 128);
    return text;
}

class DpiTest : public FrameTest {
protected:
    void SetUp() override {
        FrameTest::SetUp();
        SetScreenService(&screen);
    }
    FixedScreen screen;
};

}  // namespace

// The system's fonts come at the size for the DPI asked, not the system's.
TEST_F(DpiTest, SystemFontsGrowWithTheDpi) {
    const int message96 = FontSize(Dpi::MessageFont(96).get());
    const int status96 = FontSize(Dpi::StatusFont(96).get());
    ASSERT_GT(message96, 0);
    ASSERT_GT(status96, 0);
    for (const int dpi : {144, 192}) {
        EXPECT_NEAR(FontSize(Dpi::MessageFont(dpi).get()), ScaleForDpi(message96, 96, dpi), 1) << dpi << " dpi";
        EXPECT_NEAR(FontSize(Dpi::StatusFont(dpi).get()), ScaleForDpi(status96, 96, dpi), 1) << dpi << " dpi";
    }
    EXPECT_EQ(Dpi::Metric(SM_CXSMICON, 96), GetSystemMetrics(SM_CXSMICON));
    EXPECT_EQ(Dpi::Metric(SM_CXSMICON, 192), 2 * GetSystemMetrics(SM_CXSMICON));
}

TEST_F(DpiTest, TwipsRectanglesScaleFromTheSystemDpiAndAreUnchangedAtIt) {
    const RECT system = Dpi::TwipsToPixelRect(720, 120, 3285, 225, 96);
    EXPECT_EQ(system.left, 48);
    EXPECT_EQ(system.top, 8);
    EXPECT_EQ(system.right, 48 + 219);
    EXPECT_EQ(system.bottom, 8 + 15);
    const RECT doubled = Dpi::TwipsToPixelRect(720, 120, 3285, 225, 192);
    EXPECT_EQ(doubled.left, 96);
    EXPECT_EQ(doubled.top, 16);
    EXPECT_EQ(doubled.right - doubled.left, 438);
    EXPECT_EQ(doubled.bottom - doubled.top, 30);
    // With a system DPI of 144, twips count at 10 to the pixel and 144 is the unscaled DPI.
    FakeDisplays at144(1920, 1080, 144);
    SetScreenService(&at144);
    EXPECT_EQ(Dpi::System(), 144);
    const RECT at144System = Dpi::TwipsToPixelRect(720, 120, 3285, 225, 144);
    EXPECT_EQ(at144System.left, 72);
    EXPECT_EQ(at144System.right - at144System.left, 328);  // 328.5 to even
}

// Toolbar images drawn at 16, 24 and 32 pixels, buttons, bars, status font and icons in
// proportion; back at 96 everything is as it was.
TEST_F(DpiTest, FrameSwapsImagesFontsAndBarsWhenTheDpiChanges) {
    MakeFrame();
    // Small enough to fit the test screen at 200 %: the system keeps windows within it.
    SetWindowPos(frame->hWnd(), nullptr, 20, 20, 400, 300, SWP_NOZORDER);
    ASSERT_EQ(frame->CurrentDpi(), 96);
    const HWND toolbar = frame->ToolbarWindow();
    const HWND status = frame->StatusBarWindow();
    const auto statusFont = [&] { return reinterpret_cast<HFONT>(SendMessageW(status, WM_GETFONT, 0, 0)); };
    const auto smallIcon = [&] {
        return reinterpret_cast<HICON>(SendMessageW(frame->hWnd(), WM_GETICON, ICON_SMALL, 0));
    };
    EXPECT_EQ(ImageSize(toolbar), 16);
    EXPECT_EQ(SendMessageW(toolbar, TB_GETBUTTONSIZE, 0, 0), MAKELONG(23, 22));
    EXPECT_EQ(HeightOf(toolbar), 24);
    const int statusHeight96 = HeightOf(status);
    const int font96 = FontSize(statusFont());
    ASSERT_GT(font96, 0);
    EXPECT_EQ(IconWidth(smallIcon()), GetSystemMetrics(SM_CXSMICON));

    int dpi = 96;
    for (const int next : {144, 192, 96}) {
        const RECT suggested = Scaled(WindowRect(frame->hWnd()), dpi, next);
        SendDpiChanged(frame->hWnd(), next, suggested);
        dpi = next;
        const RECT now = WindowRect(frame->hWnd());
        EXPECT_TRUE(EqualRect(&now, &suggested)) << dpi << " dpi: the suggested rectangle is applied";
        EXPECT_EQ(frame->CurrentDpi(), dpi);
        EXPECT_EQ(ImageSize(toolbar), ToolbarImageSize(dpi)) << dpi << " dpi";
        EXPECT_EQ(ImageList_GetImageCount(reinterpret_cast<HIMAGELIST>(SendMessageW(toolbar, TB_GETIMAGELIST, 0, 0))),
                  12);
        EXPECT_EQ(SendMessageW(toolbar, TB_GETBUTTONSIZE, 0, 0),
                  MAKELONG(ScaleForDpi(23, 96, dpi), ScaleForDpi(22, 96, dpi)))
            << dpi << " dpi";
        EXPECT_EQ(HeightOf(toolbar), ScaleForDpi(24, 96, dpi)) << dpi << " dpi";
        EXPECT_NEAR(FontSize(statusFont()), ScaleForDpi(font96, 96, dpi), 1) << dpi << " dpi";
        EXPECT_GE(HeightOf(status), ScaleForDpi(statusHeight96, 96, dpi) - 2) << dpi << " dpi";
        EXPECT_EQ(IconWidth(smallIcon()), Dpi::Metric(SM_CXSMICON, dpi)) << dpi << " dpi";
        // The document area fills what the bars leave.
        RECT client{};
        GetClientRect(frame->hWnd(), &client);
        RECT area{};
        GetWindowRect(frame->MdiClient(), &area);
        EXPECT_EQ(area.bottom - area.top, client.bottom - HeightOf(toolbar) - HeightOf(status)) << dpi << " dpi";
    }
    EXPECT_EQ(HeightOf(status), statusHeight96);
    EXPECT_EQ(FontSize(statusFont()), font96);
    EXPECT_TRUE(messages.shown.empty());
}

// The frame's placement is stored in twips of the system DPI, whatever monitor it is on:
// stored values restore the same pixels and come back unchanged.
TEST_F(DpiTest, StoredPlacementMeansTheSameAfterAMoveToAnotherScale) {
    settings.Set(L"Left", L"1500");
    settings.Set(L"Top", L"1200");
    settings.Set(L"Width", L"6000");
    settings.Set(L"Height", L"4500");
    MakeFrame();
    RECT r = WindowRect(frame->hWnd());
    EXPECT_EQ(r.left, 100);
    EXPECT_EQ(r.right - r.left, 400);
    // Off to a 200 % monitor and back: the system suggests the same rectangles both ways.
    SendDpiChanged(frame->hWnd(), 192, r);
    SendDpiChanged(frame->hWnd(), 96, r);
    frame->mnuFileExit_Click();
    EXPECT_EQ(settings.Value(L"Left"), L"1500");
    EXPECT_EQ(settings.Value(L"Top"), L"1200");
    EXPECT_EQ(settings.Value(L"Width"), L"6000");
    EXPECT_EQ(settings.Value(L"Height"), L"4500");

    // Put back on a 200 % monitor at start-up (the frame still hidden), the stored placement
    // stands: the suggestion, the old size doubled, would double it again at every start.
    auto hidden = NewForm<frmMain>();
    hidden->Load();
    ASSERT_FALSE(hidden->Visible());
    r = WindowRect(hidden->hWnd());
    SendDpiChanged(hidden->hWnd(), 192, Scaled(r, 96, 192));
    const RECT kept = WindowRect(hidden->hWnd());
    EXPECT_TRUE(EqualRect(&kept, &r));
    EXPECT_EQ(hidden->CurrentDpi(), 192);
    EXPECT_EQ(ImageSize(hidden->ToolbarWindow()), 32);
    hidden->mnuFileExit_Click();
    EXPECT_EQ(settings.Value(L"Width"), L"6000");
    EXPECT_EQ(settings.Value(L"Height"), L"4500");

    // While on the 200 % monitor, the frame's pixels are still stored at 15 twips each.
    MakeFrame();
    r = WindowRect(frame->hWnd());
    SendDpiChanged(frame->hWnd(), 192, Scaled(r, 96, 192));
    frame->mnuFileExit_Click();
    EXPECT_EQ(settings.Value(L"Width"), L"12000");
    EXPECT_EQ(settings.Value(L"Height"), L"9000");
    EXPECT_EQ(settings.Value(L"Left"), L"1500");
}

// Every label, the buttons and the pictures of the About box at each DPI: text in the
// message font for the DPI, never clipped by its label, pictures drawn at their size.
TEST_F(DpiTest, AboutBoxIsLaidOutForTheDpiWithNoTextClipped) {
    auto about = NewForm<frmAbout>();
    about->Load();
    const int font96 = FontSize(about->Font());
    for (const int dpi : kDpis) {
        SendDpiChanged(about->hWnd(), dpi,
                       WithClientSize(about->hWnd(), ScaleForDpi(285, 96, dpi), ScaleForDpi(171, 96, dpi)));
        ASSERT_EQ(about->CurrentDpi(), dpi);
        EXPECT_NEAR(FontSize(about->Font()), ScaleForDpi(font96, 96, dpi), 1) << dpi << " dpi";
        for (const AboutLabel* label : {&about->lblTitle(), &about->lblCopyright(), &about->lblRights(),
                                        &about->lblShareware(), &about->lblContact(), &about->lblInternet(),
                                        &about->lblEmail()}) {
            const RECT r = about->PixelRect(*label);
            const SIZE text = TextExtent(about->Font(), label->Caption, r.right - r.left, true);
            EXPECT_LE(text.cx, r.right - r.left) << dpi << " dpi: " << std::string(label->Caption.begin(), label->Caption.end());
            EXPECT_LE(text.cy, r.bottom - r.top) << dpi << " dpi: " << std::string(label->Caption.begin(), label->Caption.end());
        }
        for (const HWND button : {about->cmdOk(), about->cmdLicense()}) {
            EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(button, WM_GETFONT, 0, 0)), about->Font());
            RECT client{};
            GetClientRect(button, &client);
            EXPECT_EQ(client.right, ScaleForDpi(67, 96, dpi)) << dpi << " dpi";  // 1000 twips
            const SIZE text = TextExtent(about->Font(), TextOf(button), 0, false);
            EXPECT_LT(text.cx, client.right - 4) << dpi << " dpi";
            EXPECT_LT(text.cy, client.bottom - 4) << dpi << " dpi";
        }
        const RECT picture = about->PixelRect(about->imgAbout1());
        EXPECT_EQ(picture.right - picture.left, ScaleForDpi(32, 96, dpi));
        EXPECT_EQ(IconWidth(about->imgAbout1().Picture), picture.right - picture.left) << dpi << " dpi";
        EXPECT_EQ(IconWidth(about->imgAbout2().Picture), picture.right - picture.left) << dpi << " dpi";
        RECT client{};
        GetClientRect(about->hWnd(), &client);
        EXPECT_EQ(client.right, ScaleForDpi(285, 96, dpi)) << dpi << " dpi: the suggested size is applied";
        EXPECT_EQ(client.bottom, ScaleForDpi(171, 96, dpi)) << dpi << " dpi";
        // The buttons stay inside the box, above its bottom edge.
        RECT ok{};
        GetWindowRect(about->cmdOk(), &ok);
        MapWindowPoints(HWND_DESKTOP, about->hWnd(), reinterpret_cast<POINT*>(&ok), 2);
        EXPECT_LE(ok.bottom, client.bottom) << dpi << " dpi";
    }
    about->Unload();
}

// The picker's instruction and icon box at each DPI; the icon grows in whole steps.
TEST_F(DpiTest, PickerIsLaidOutForTheDpiWithNoTextClipped) {
    auto picker = NewForm<frmWindow>();
    picker->Load();
    const int font96 = FontSize(picker->Font());
    ASSERT_GT(font96, 0);
    for (const int dpi : kDpis) {
        SendDpiChanged(picker->hWnd(), dpi, Scaled(WindowRect(picker->hWnd()), picker->CurrentDpi(), dpi));
        ASSERT_EQ(picker->CurrentDpi(), dpi);
        EXPECT_NEAR(FontSize(picker->Font()), ScaleForDpi(font96, 96, dpi), 1) << dpi << " dpi";
        const RECT label = picker->InstructionRect();
        const SIZE text = TextExtent(picker->Font(), frmWindow::kInstruction, label.right - label.left, true);
        EXPECT_LE(text.cx, label.right - label.left) << dpi << " dpi";
        EXPECT_LE(text.cy, label.bottom - label.top) << dpi << " dpi";
        RECT box{};
        GetWindowRect(picker->picDrag(), &box);
        EXPECT_EQ(box.right - box.left, ScaleForDpi(37, 96, dpi)) << dpi << " dpi: 555 twips";
        EXPECT_GE(label.top, 0);
        MapWindowPoints(HWND_DESKTOP, picker->hWnd(), reinterpret_cast<POINT*>(&box), 2);
        EXPECT_GE(box.top, label.bottom) << dpi << " dpi: the box below the instruction";
    }
    picker->Unload();
}
