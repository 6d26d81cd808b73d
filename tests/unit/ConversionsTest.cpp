#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "platform/rules/Conversions.h"
#include "platform/rules/RuntimeError.h"

namespace {

int ErrorNumberOf(void (*action)()) {
    try {
        action();
    } catch (const RuntimeError& e) {
        return e.Number();
    }
    return 0;
}

}  // namespace

TEST(Rounding, HalvesGoToTheEvenNeighbour) {
    EXPECT_EQ(ToInt16(0.5), 0);
    EXPECT_EQ(ToInt16(1.5), 2);
    EXPECT_EQ(ToInt16(2.5), 2);
    EXPECT_EQ(ToInt16(-0.5), 0);
    EXPECT_EQ(ToInt16(-1.5), -2);
    EXPECT_EQ(ToInt16(-2.5), -2);
    EXPECT_EQ(ToInt32(2512.5), 2512);
    EXPECT_EQ(ToInt32(2513.5), 2514);
    EXPECT_EQ(ToInt32(2.4999), 2);
    EXPECT_EQ(ToInt32(2.5001), 3);
}

TEST(Rounding, SixteenBitLimitsAndOverflow) {
    EXPECT_EQ(ToInt16(32767.0), 32767);
    EXPECT_EQ(ToInt16(32767.4), 32767);
    EXPECT_EQ(ToInt16(-32768.0), -32768);
    EXPECT_EQ(ToInt16(-32768.5), -32768);  // halves to even: -32768
    EXPECT_EQ(ErrorNumberOf([] { ToInt16(32767.5); }), 6);
    EXPECT_EQ(ErrorNumberOf([] { ToInt16(-32769.0); }), 6);
    EXPECT_EQ(ErrorNumberOf([] { ToInt16(std::nan("")); }), 6);
}

TEST(Rounding, ThirtyTwoBitLimitsAndOverflow) {
    EXPECT_EQ(ToInt32(2147483647.0), 2147483647);
    EXPECT_EQ(ToInt32(-2147483648.0), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(ErrorNumberOf([] { ToInt32(2147483647.5); }), 6);
    EXPECT_EQ(ErrorNumberOf([] { ToInt32(std::numeric_limits<double>::infinity()); }), 6);
}

TEST(Rounding, SixteenBitAdditionOverflowsInsteadOfWrapping) {
    EXPECT_EQ(AddInt16(32766, 1), 32767);
    EXPECT_EQ(ErrorNumberOf([] { AddInt16(32767, 1); }), 6);
    EXPECT_EQ(AddInt16(-32767, -1), -32768);
}

TEST(TextToSingle, ReadsNumbersAndRejectsEverythingElse) {
    EXPECT_EQ(TextToSingle(L"6500"), 6500.0f);
    EXPECT_EQ(TextToSingle(L"2512.5"), 2512.5f);
    EXPECT_EQ(TextToSingle(L" -7.25 "), -7.25f);
    EXPECT_EQ(TextToSingle(L"+3"), 3.0f);
    EXPECT_EQ(TextToSingle(L"1e3"), 1000.0f);
    for (const wchar_t* bad : {L"", L"   ", L"abc", L"12px", L"1,5", L"--1", L"+-1", L" +-120.25 ", L"-+1", L"0x10", L"1 2", L".", L"e"}) {
        try {
            TextToSingle(bad);
            ADD_FAILURE() << "accepted \"" << std::string(bad, bad + wcslen(bad)) << "\"";
        } catch (const RuntimeError& e) {
            EXPECT_EQ(e.Number(), 13);
        }
    }
    EXPECT_EQ(ErrorNumberOf([] { TextToSingle(L"1e300"); }), 6);
}

TEST(SingleToText, ShortestTextThatReadsBack) {
    EXPECT_EQ(SingleToText(6500.0f), L"6500");
    EXPECT_EQ(SingleToText(3930.0f), L"3930");
    EXPECT_EQ(SingleToText(2512.5f), L"2512.5");
    EXPECT_EQ(SingleToText(-120.0f), L"-120");
    EXPECT_EQ(SingleToText(0.0f), L"0");
    EXPECT_EQ(SingleToText(-0.0f), L"0");
    for (float v : {0.1f, 1234.567f, -98765.4f, 7500.0f, 1e-3f, 16777216.0f}) {
        EXPECT_EQ(TextToSingle(SingleToText(v)), v) << v;
    }
}
