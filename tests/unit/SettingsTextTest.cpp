// The stored settings' texts: the hide option and the frame's twips, without a store.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "platform/rules/RuntimeError.h"
#include "platform/rules/SettingsText.h"

namespace {

std::int32_t ErrorOf(std::wstring_view text) {
    try {
        TwipsFromSetting(text);
    } catch (const RuntimeError& error) {
        return error.Number();
    }
    return 0;
}

}  // namespace

TEST(SettingsTextTest, HideOptionIsOffOnlyForFalseExactly) {
    EXPECT_FALSE(HideCaptureFromSetting(L"False"));
    EXPECT_TRUE(HideCaptureFromSetting(L"True"));
    // Anything else is the default, on: other spellings are not read as False.
    for (const wchar_t* text : {L"", L"false", L"FALSE", L" False", L"False ", L"0", L"No", L"Off", L"Falsey"})
        EXPECT_TRUE(HideCaptureFromSetting(text)) << '"' << std::wstring(text).size() << '"';
}

TEST(SettingsTextTest, HideOptionWritesTheTextsItReads) {
    EXPECT_EQ(HideCaptureToSetting(true), L"True");
    EXPECT_EQ(HideCaptureToSetting(false), L"False");
    EXPECT_TRUE(HideCaptureFromSetting(HideCaptureToSetting(true)));
    EXPECT_FALSE(HideCaptureFromSetting(HideCaptureToSetting(false)));
}

TEST(SettingsTextTest, TwipsReadAsStored) {
    EXPECT_EQ(TwipsFromSetting(L"6500"), 6500.0f);
    EXPECT_EQ(TwipsFromSetting(L"2512.5"), 2512.5f);
    EXPECT_EQ(TwipsFromSetting(L"-7.25"), -7.25f);
    EXPECT_EQ(TwipsFromSetting(L"  3930\t"), 3930.0f);
    EXPECT_EQ(TwipsFromSetting(L"+15"), 15.0f);
}

TEST(SettingsTextTest, TwipsThatAreNotNumbersAreTypeMismatch) {
    for (const wchar_t* text : {L"", L"   ", L"abc", L"12px", L"1,5", L"0x10", L"--1", L"1 2", L"nan", L"inf"})
        EXPECT_EQ(ErrorOf(text), ErrorNumber::TypeMismatch) << std::wstring(text).size();
}

TEST(SettingsTextTest, TwipsBeyondSinglePrecisionOverflow) {
    EXPECT_EQ(ErrorOf(L"1e39"), ErrorNumber::Overflow);
    EXPECT_EQ(ErrorOf(L"-1e39"), ErrorNumber::Overflow);
    EXPECT_EQ(ErrorOf(L"1e400"), ErrorNumber::Overflow);
    EXPECT_EQ(ErrorOf(L"3.4e38"), 0);
}

TEST(SettingsTextTest, WrittenTwipsReadBackToTheSameValue) {
    EXPECT_EQ(TwipsToSetting(6500.0f), L"6500");
    EXPECT_EQ(TwipsToSetting(2512.5f), L"2512.5");
    for (float value : {0.0f, -0.0f, 1.0f / 3.0f, 7500.0f, -1920.75f, 123456.79f, 1e-3f, 16777217.0f,
                        std::numeric_limits<float>::max(), std::numeric_limits<float>::denorm_min()}) {
        const std::wstring text = TwipsToSetting(value);
        EXPECT_EQ(TwipsFromSetting(text), value) << std::string(text.begin(), text.end());
    }
}
