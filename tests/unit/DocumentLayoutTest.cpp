// The document window's layout rule as a function of plain values (twips).
#include <gtest/gtest.h>

#include "document/DocumentLayout.h"
#include "platform/rules/RuntimeError.h"

namespace {

DocumentLayout Layout(float W, float H, float Pw, float Ph) {
    return ComputeDocumentLayout(DocumentLayoutInput{W, H, Pw, Ph, 255.0f, 255.0f});
}

}  // namespace

TEST(DocumentLayout, PictureWiderAndSlightlyLowerNeedsBothBarsAfterTheSecondLook) {
    const DocumentLayout l = Layout(6000, 4000, 7000, 3900);
    EXPECT_TRUE(l.hsbVisible);
    EXPECT_TRUE(l.vsbVisible);
    EXPECT_FLOAT_EQ(l.viewportWidth, 5745);
    EXPECT_FLOAT_EQ(l.viewportHeight, 3745);
    EXPECT_EQ(l.hsbMax, 1255);
    EXPECT_EQ(l.vsbMax, 155);
    // The bars sit along the viewport's bottom and right edges.
    EXPECT_FLOAT_EQ(l.hsbTop, 3745);
    EXPECT_FLOAT_EQ(l.hsbLeft, 0);
    EXPECT_FLOAT_EQ(l.hsbWidth, 5745);
    EXPECT_FLOAT_EQ(l.vsbTop, 0);
    EXPECT_FLOAT_EQ(l.vsbLeft, 5745);
    EXPECT_FLOAT_EQ(l.vsbHeight, 3745);
}

TEST(DocumentLayout, PictureThatFitsAboveTheBarGetsOnlyTheHorizontalBar) {
    const DocumentLayout l = Layout(6000, 4000, 7000, 3700);
    EXPECT_TRUE(l.hsbVisible);
    EXPECT_FALSE(l.vsbVisible);
    EXPECT_FLOAT_EQ(l.viewportWidth, 6000);
    EXPECT_FLOAT_EQ(l.viewportHeight, 3745);
    EXPECT_EQ(l.hsbMax, 1000);
    EXPECT_EQ(l.vsbMax, -45);
}

TEST(DocumentLayout, TallPictureGetsOnlyTheVerticalBarAndTheSecondLookCanAddTheOther) {
    const DocumentLayout onlyV = Layout(6000, 4000, 5700, 5000);
    EXPECT_FALSE(onlyV.hsbVisible);
    EXPECT_TRUE(onlyV.vsbVisible);
    EXPECT_FLOAT_EQ(onlyV.viewportWidth, 5745);
    EXPECT_FLOAT_EQ(onlyV.viewportHeight, 4000);
    EXPECT_EQ(onlyV.vsbMax, 1000);
    EXPECT_EQ(onlyV.hsbMax, -45);

    const DocumentLayout both = Layout(6000, 4000, 5800, 5000);
    EXPECT_TRUE(both.hsbVisible);
    EXPECT_TRUE(both.vsbVisible);
}

TEST(DocumentLayout, ComparisonWithTheClientAreaIsStrict) {
    const DocumentLayout exact = Layout(6000, 4000, 6000, 4000);
    EXPECT_FALSE(exact.hsbVisible);
    EXPECT_FALSE(exact.vsbVisible);
    EXPECT_FLOAT_EQ(exact.viewportWidth, 6000);
    EXPECT_EQ(exact.hsbMax, 0);

    const DocumentLayout wider = Layout(6000, 3000, 6001, 2000);
    EXPECT_TRUE(wider.hsbVisible);
    EXPECT_FALSE(wider.vsbVisible);
    EXPECT_EQ(wider.hsbMax, 1);
}

TEST(DocumentLayout, SmallPictureHasNoBarsAndTheViewportIsThePicture) {
    const DocumentLayout l = Layout(6000, 4000, 3000, 2000);
    EXPECT_FALSE(l.hsbVisible);
    EXPECT_FALSE(l.vsbVisible);
    EXPECT_FLOAT_EQ(l.viewportWidth, 3000);
    EXPECT_FLOAT_EQ(l.viewportHeight, 2000);
    EXPECT_EQ(l.hsbMax, 0);
    EXPECT_EQ(l.vsbMax, 0);
}

TEST(DocumentLayout, EmptyClientAreaGivesABarSizedViewport) {
    const DocumentLayout l = Layout(0, 0, 4000, 3000);
    EXPECT_TRUE(l.hsbVisible);
    EXPECT_TRUE(l.vsbVisible);
    EXPECT_FLOAT_EQ(l.viewportWidth, 255);
    EXPECT_FLOAT_EQ(l.viewportHeight, 255);
    EXPECT_EQ(l.hsbMax, 3745);
    EXPECT_EQ(l.vsbMax, 2745);
}

TEST(DocumentLayout, ClientThinnerThanABarKeepsThePositiveDifference) {
    const DocumentLayout l = Layout(6000, 100, 7000, 50);
    EXPECT_TRUE(l.hsbVisible);
    EXPECT_FLOAT_EQ(l.viewportHeight, 155);
}

TEST(DocumentLayout, PictureNeverSetShowsTheEmptyBoxWithoutBars) {
    const DocumentLayout l = Layout(6000, 4000, 2055, 1935);
    EXPECT_FALSE(l.hsbVisible);
    EXPECT_FALSE(l.vsbVisible);
    EXPECT_FLOAT_EQ(l.viewportWidth, 2055);
    EXPECT_FLOAT_EQ(l.viewportHeight, 1935);
}

TEST(DocumentLayout, ScrollRangeCoversPicturesBeyondSixteenBits) {
    // A 3840 x 2160 capture at 15 twips per pixel in a 6000 x 4000 client area.
    const DocumentLayout l = Layout(6000, 4000, 57600, 32400);
    EXPECT_TRUE(l.hsbVisible);
    EXPECT_TRUE(l.vsbVisible);
    EXPECT_EQ(l.hsbMax, 57600 - 5745);
    EXPECT_EQ(l.vsbMax, 32400 - 3745);
    EXPECT_GT(l.hsbMax, 32767);
}

TEST(DocumentLayout, HalfTwipRangesRoundToEven) {
    EXPECT_EQ(Layout(6000, 4000, 6500.5f, 100).hsbMax, 500);
    EXPECT_EQ(Layout(6000, 4000, 6501.5f, 100).hsbMax, 502);
}
