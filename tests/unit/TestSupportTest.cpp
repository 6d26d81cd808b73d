// The shared test kit itself: the checks of every other suite rest on it.
#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "Image.h"
#include "ModalDriver.h"
#include "Pattern.h"
#include "PatternWindow.h"
#include "platform/windows/Form.h"
#include "Wait.h"

// A copy found on the screen is located by one pixel's colour: that only works while no
// two pixels of a 256 x 256 area share one, and none is the black or white of the desktop
// and of the program's own drawing.
TEST(TestPattern, EveryPixelOfA256SquareHasItsOwnColourNeitherBlackNorWhite) {
    std::set<std::uint32_t> seen;
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) {
            const std::uint32_t colour = PatternColour(x, y);
            ASSERT_NE(colour, 0x000000u) << x << "," << y;
            ASSERT_NE(colour, 0xFFFFFFu) << x << "," << y;
            ASSERT_TRUE(seen.insert(colour).second) << x << "," << y;
        }
    const Image image = PatternImage(3, 2);
    EXPECT_EQ(image.At(2, 1), PatternColour(2, 1));
    EXPECT_EQ(image.At(2, 1), Rgb(2, 1, 0x40 | 27));
}

TEST(TestImage, ColoursKeepTheirChannelsApart) {
    EXPECT_EQ(Rgb(0x12, 0x34, 0x56), 0x123456u);
    EXPECT_EQ(FromColorref(RGB(0x12, 0x34, 0x56)), 0x123456u);
    EXPECT_EQ(RedOf(0x123456u), 0x12);
    EXPECT_EQ(GreenOf(0x123456u), 0x34);
    EXPECT_EQ(BlueOf(0x123456u), 0x56);
}

TEST(TestImage, ABitmapReadsBackAsTheImageItWasMadeFrom) {
    const Image pattern = PatternImage(37, 23);
    EXPECT_EQ(ReadPicture(BitmapPicture(pattern, false)), pattern);
    EXPECT_EQ(ReadPicture(BitmapPicture(pattern, true)), pattern);
    Image changed = pattern;
    changed.pixels[5] ^= 0x010000;
    const ImageDifference d = Compare(pattern, changed);
    EXPECT_EQ(d.differing, 1u);
    EXPECT_EQ(d.maxChannel, 1);
    EXPECT_EQ(CountDifferences(pattern, changed), 1);
    EXPECT_EQ(CountDifferences(pattern, PatternImage(37, 22)), -1);
}

TEST(TestPatternWindow, TheScreenShowsThePatternOrTheColourItPaints) {
    PatternWindow pattern(140, 120, 64, 48, {.topmost = true});
    PatternWindow plain(300, 120, 20, 20, {.colour = Rgb(0, 128, 0), .topmost = true});
    ASSERT_TRUE(WaitUntil([&] { return ReadScreen(140, 120, 64, 48) == PatternImage(64, 48); }, 1000));
    EXPECT_EQ(pattern.CountDifferences(ReadScreen(150, 130, 10, 10), 0, 0, 10, 10, 10, 10), 0);
    EXPECT_EQ(pattern.CountDifferences(ReadScreen(150, 130, 10, 10), 0, 0, 10, 10, 11, 10), 100);
    ASSERT_TRUE(WaitUntil([] { return ReadScreen(305, 125, 1, 1).At(0, 0) == Rgb(0, 128, 0); }, 1000));
}

TEST(TestWait, WaitUntilSaysWhetherTheConditionCameTrueInTime) {
    const ULONGLONG start = GetTickCount64();
    EXPECT_FALSE(WaitUntil([] { return false; }, 100));
    EXPECT_GE(GetTickCount64() - start, 100u);
    int calls = 0;
    EXPECT_TRUE(WaitUntil([&] { return ++calls == 3; }, 5000));
    EXPECT_EQ(calls, 3);
}

// Inside a nested message loop, as a modal display runs one.
TEST(TestModalDriver, PostedStepsRunInOrderInsideTheRunningLoopEvenWhenOnePostsAnother) {
    ModalDriver driver;
    std::vector<int> order;
    bool loopDone = false;
    driver.Post([&] {
        order.push_back(1);
        for (int i = 0; i < 20; ++i) driver.Post([&, i] { order.push_back(10 + i); });
        driver.Post([&] { loopDone = true; });
    });
    driver.Post([&] { order.push_back(2); });
    WaitUntil([&] { return loopDone; }, 2000);
    ASSERT_TRUE(loopDone);
    ASSERT_EQ(order.size(), 22u);
    EXPECT_EQ(order[0], 1);
    EXPECT_EQ(order[1], 2);
    EXPECT_EQ(order[21], 29);
    EXPECT_EQ(driver.ran, 23);
}

TEST(TestModalDriver, AScriptRunsEachStepUntilItIsDoneAndAStuckOneTimesOut) {
    int tries = 0;
    ModalDriver script({[&] { return ++tries == 3; }, [] { return true; }}, [] {});
    EXPECT_TRUE(WaitUntil([&] { return script.Finished(); }, 2000));
    EXPECT_EQ(tries, 3);
    EXPECT_FALSE(script.TimedOut());

    bool timeoutRan = false;
    ModalDriver stuck({[] { return false; }}, [&] { timeoutRan = true; });
    EXPECT_TRUE(WaitUntil([&] { return stuck.Finished(); }, 15000));
    EXPECT_TRUE(stuck.TimedOut());
    EXPECT_TRUE(timeoutRan);
}
