// The capture options as stored text: hotkeys, the delay and the pointer option. Pure
// rules: whatever a user or another program writes there reads as a value or as none.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "platform/rules/CaptureOptionsText.h"

namespace {

HotkeyCombination Combination(bool ctrl, bool alt, bool shift, bool win, int key) {
    HotkeyCombination hotkey;
    hotkey.ctrl = ctrl;
    hotkey.alt = alt;
    hotkey.shift = shift;
    hotkey.win = win;
    hotkey.key = key;
    return hotkey;
}

}  // namespace

TEST(HotkeyText, WritesModifiersInTheFixedOrderThenTheKey) {
    EXPECT_EQ(FormatHotkey(Combination(true, false, true, false, KeyCode::F1 + 8)), L"Ctrl+Shift+F9");
    EXPECT_EQ(FormatHotkey(Combination(false, false, false, false, KeyCode::PrintScreen)), L"PrintScreen");
    EXPECT_EQ(FormatHotkey(Combination(false, true, false, false, KeyCode::PrintScreen)), L"Alt+PrintScreen");
    EXPECT_EQ(FormatHotkey(Combination(true, true, true, true, 'A')), L"Ctrl+Alt+Shift+Win+A");
    EXPECT_EQ(FormatHotkey(Combination(false, false, true, true, '7')), L"Shift+Win+7");
    EXPECT_EQ(FormatHotkey(Combination(true, false, false, false, KeyCode::Numpad0 + 5)), L"Ctrl+Num5");
    EXPECT_EQ(FormatHotkey(Combination(false, false, false, false, KeyCode::F24)), L"F24");
}

TEST(HotkeyText, NoKeyOrAKeyWithoutANameIsWrittenAsNothing) {
    EXPECT_EQ(FormatHotkey(HotkeyCombination{}), L"");
    EXPECT_EQ(FormatHotkey(Combination(true, false, false, false, 0)), L"");
    // Modifiers and lock keys are not keys of a combination.
    for (const int key : {KeyCode::Shift, KeyCode::Control, KeyCode::Menu, KeyCode::LeftWin, KeyCode::RightWin,
                          KeyCode::CapsLock, KeyCode::NumLock, KeyCode::ScrollLock, KeyCode::LeftShift,
                          KeyCode::RightMenu, 0xFF})
        EXPECT_EQ(HotkeyKeyName(key), L"") << key;
}

TEST(HotkeyText, EveryNamedKeyWithEveryModifierSetReadsBackAsWritten) {
    int named = 0;
    for (int key = 1; key < 256; ++key) {
        if (HotkeyKeyName(key).empty()) continue;
        ++named;
        for (int mask = 0; mask < 16; ++mask) {
            const HotkeyCombination hotkey = Combination(mask & 1, mask & 2, mask & 4, mask & 8, key);
            const std::wstring text = FormatHotkey(hotkey);
            const auto read = ParseHotkey(text);
            ASSERT_TRUE(read.has_value()) << std::string(text.begin(), text.end());
            EXPECT_EQ(*read, hotkey) << std::string(text.begin(), text.end());
        }
    }
    // Letters, digits, F1-F24, the keypad and the named keys; no two keys share a name.
    EXPECT_EQ(named, 26 + 10 + 24 + 10 + 34);
}

TEST(HotkeyText, ReadsModifiersInAnyOrderAndLetterCaseAndIgnoresSurroundingBlanks) {
    const HotkeyCombination ctrlShiftF9 = Combination(true, false, true, false, KeyCode::F1 + 8);
    EXPECT_EQ(ParseHotkey(L"ctrl+shift+f9"), ctrlShiftF9);
    EXPECT_EQ(ParseHotkey(L"Shift+Ctrl+F9"), ctrlShiftF9);
    EXPECT_EQ(ParseHotkey(L"  Ctrl+Shift+F9 "), ctrlShiftF9);
    EXPECT_EQ(ParseHotkey(L"printscreen"), Combination(false, false, false, false, KeyCode::PrintScreen));
    // Keys whose names hold the separator or look like a modifier.
    EXPECT_EQ(ParseHotkey(L"Ctrl+Num+"), Combination(true, false, false, false, KeyCode::Add));
    EXPECT_EQ(ParseHotkey(L"Alt+-"), Combination(false, true, false, false, 0xBD));
    EXPECT_EQ(ParseHotkey(L"Win+Num-"), Combination(false, false, false, true, KeyCode::Subtract));
}

TEST(HotkeyText, EmptyOrBlankTextIsNone) {
    ASSERT_TRUE(ParseHotkey(L"").has_value());
    EXPECT_TRUE(ParseHotkey(L"")->IsNone());
    ASSERT_TRUE(ParseHotkey(L"   ").has_value());
    EXPECT_TRUE(ParseHotkey(L"   ")->IsNone());
}

TEST(HotkeyText, AnythingElseIsUnreadableAndCountsAsNone) {
    for (const wchar_t* text :
         {L"Ctrl+", L"Ctrl", L"Ctrl+Shift", L"Ctrl++", L"+F9", L"Ctrl+Ctrl+F9", L"F9+Ctrl", L"Ctrl+F9x", L"F25",
          L"F0", L"Hyper+F9", L"Ctrl-F9", L"Ctrl + F9", L"Ctrl+Shift+F9+F10", L"Num10", L"\u00c4", L"Ctrl+\t",
          L"True", L"0x78"}) {
        EXPECT_FALSE(ParseHotkey(text).has_value()) << std::wstring(text).size();
        EXPECT_TRUE(HotkeySetting(text).IsNone());
    }
    EXPECT_TRUE(HotkeySetting(std::wstring(70000, L'A')).IsNone());
    EXPECT_EQ(HotkeySetting(L"Alt+PrintScreen"), Combination(false, true, false, false, KeyCode::PrintScreen));
}

TEST(CaptureDelayText, OnlyTheOfferedDelaysWrittenExactlyAreRead) {
    EXPECT_EQ(CaptureDelaySetting(L"3"), 3);
    EXPECT_EQ(CaptureDelaySetting(L"5"), 5);
    EXPECT_EQ(CaptureDelaySetting(L"10"), 10);
    for (const wchar_t* text : {L"", L"0", L"1", L"4", L"03", L" 3", L"3 ", L"3.0", L"-3", L"+5", L"ten",
                                L"99999999999999999999", L"True"})
        EXPECT_EQ(CaptureDelaySetting(text), 0) << std::wstring(text).size();
}

TEST(CaptureDelayText, WritesTheSecondsOrZero) {
    EXPECT_EQ(CaptureDelayText(0), L"0");
    EXPECT_EQ(CaptureDelayText(3), L"3");
    EXPECT_EQ(CaptureDelayText(10), L"10");
    EXPECT_EQ(CaptureDelayText(7), L"0");
    EXPECT_EQ(CaptureDelayText(-5), L"0");
}

TEST(CapturePointerText, OnlyTrueTurnsItOn) {
    EXPECT_TRUE(CapturePointerSetting(L"True"));
    for (const wchar_t* text : {L"False", L"", L"true", L"TRUE", L"1", L"Yes", L" True"})
        EXPECT_FALSE(CapturePointerSetting(text)) << std::wstring(text).size();
}

TEST(LastRectangleText, WrittenTextReadsBackAndGarbageReadsAsNone) {
    for (const EdgeRect& rect : {EdgeRect{10, 20, 110, 70}, EdgeRect{-1280, -768, -1, 5},
                                 EdgeRect{INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX}}) {
        const auto read = ParseLastRectangle(LastRectangleText(rect));
        ASSERT_TRUE(read.has_value()) << rect.Left;
        EXPECT_EQ(read->Left, rect.Left);
        EXPECT_EQ(read->Top, rect.Top);
        EXPECT_EQ(read->Right, rect.Right);
        EXPECT_EQ(read->Bottom, rect.Bottom);
    }
    EXPECT_EQ(LastRectangleText(EdgeRect{-5, 0, 7, 9}), L"-5,0,7,9");
    const auto blanks = ParseLastRectangle(L" 1 , 2,3 ,4 ");
    ASSERT_TRUE(blanks.has_value());
    EXPECT_EQ(blanks->Right, 3);
    EXPECT_EQ(blanks->Bottom, 4);
    for (const wchar_t* text :
         {L"", L"1,2,3", L"1,2,3,4,5", L"1,2,3,", L",1,2,3,4", L"1;2;3;4", L"1,2,3,4x", L"a,b,c,d", L"1,,3,4",
          L"+1,2,3,4", L"--1,2,3,4", L"-,2,3,4", L"1.5,2,3,4", L"1 2,3,4,5", L"0,0,2147483648,4",
          L"-2147483649,0,1,1", L"99999999999999999999,0,1,1",
          // No area: right not beyond left, or bottom not below top.
          L"5,0,5,10", L"0,5,10,5", L"10,0,5,10", L"0,10,10,0"})
        EXPECT_FALSE(ParseLastRectangle(text).has_value()) << std::wstring(text).size();
}

TEST(ScrollLimitText, WholePixelsInRangeElseTheDefault) {
    const std::pair<const wchar_t*, std::int32_t> cases[] = {
        {L"30000", 30000}, {L"100", 100},     {L"1000000", 1000000}, {L"45000", 45000},
        {L"", 30000},      {L"99", 30000},    {L"1000001", 30000},   {L"-500", 30000},
        {L" 500", 30000},  {L"500px", 30000}, {L"99999999999", 30000}, {L"1e5", 30000}};
    for (const auto& [text, limit] : cases) EXPECT_EQ(ScrollLimitSetting(text), limit) << std::wstring(text).size();
}
