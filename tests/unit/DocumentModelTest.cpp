// The document without its window: crop, undo and redo give back exactly the pixels they
// should; the modified flag follows the saved point; subscribers hear every change once.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "document/DocumentModel.h"
#include "platform/rules/RuntimeError.h"

namespace {

// Every pixel tells where it came from: a pixel in the wrong place is a wrong value.
std::uint32_t Tag(std::int32_t x, std::int32_t y) { return 0xFF000000u | static_cast<std::uint32_t>(y << 12 | x); }

Pixels Tagged(std::int32_t width, std::int32_t height, std::int32_t firstRow = 0) {
    Pixels pixels = Pixels::ForOverwrite(width, height);
    for (std::int32_t y = 0; y < height; ++y)
        for (std::int32_t x = 0; x < width; ++x) pixels.Row(y)[x] = Tag(x, firstRow + y);
    return pixels;
}

// The pixels are those of the tagged picture inside `area`.
void ExpectTaggedPart(const Pixels& pixels, const PictureRect& area) {
    ASSERT_EQ(pixels.Width(), area.Width());
    ASSERT_EQ(pixels.Height(), area.Height());
    EXPECT_TRUE(pixels == Tagged(area.right, area.bottom).Copy(area)) << area.left << "," << area.top;
}

constexpr std::int32_t kWidth = 37;
constexpr std::int32_t kHeight = 23;

}  // namespace

TEST(PixelsCrop, KeepsExactlyTheRectangleAndUncropRestoresEveryPixel) {
    // Hidden parts of every shape: none on some sides, one pixel wide, all but one pixel.
    const PictureRect keeps[] = {
        {5, 3, 20, 17}, {0, 0, 1, 1},        {36, 22, 37, 23}, {0, 5, 37, 9},  {8, 0, 9, 23},
        {1, 1, 36, 22}, {0, 0, kWidth, 22}, {0, 1, kWidth, 23}, {1, 0, 37, 23}, {0, 0, 36, 23},
    };
    const Pixels original = Tagged(kWidth, kHeight);
    for (const PictureRect& keep : keeps) {
        Pixels pixels = Tagged(kWidth, kHeight);
        const PictureRect before = pixels.Crop(keep);
        ExpectTaggedPart(pixels, keep);
        EXPECT_TRUE(pixels.Copy(pixels.Bounds()) == pixels);  // the same pixels without gaps
        pixels.Uncrop(before);
        EXPECT_TRUE(pixels == original) << keep.left << "," << keep.top << "," << keep.right << "," << keep.bottom;
    }
}

TEST(PixelsCrop, RefusesToKeepNothingOrMoreThanThePictureAndChangesNothing) {
    for (const PictureRect& keep : {PictureRect{3, 3, 3, 9}, PictureRect{-1, 0, 5, 5}, PictureRect{30, 20, 38, 23}}) {
        Pixels pixels = Tagged(kWidth, kHeight);
        EXPECT_THROW(pixels.Crop(keep), RuntimeError);
        EXPECT_TRUE(pixels == Tagged(kWidth, kHeight));
    }
}

TEST(DocumentModel, CropUndoRedoUndoGivesBackExactPixelsAndTheSelection) {
    DocumentModel model(Tagged(kWidth, kHeight));
    const PictureRect area{5, 3, 20, 17};
    model.Select(area);
    ASSERT_TRUE(model.CanCrop());
    model.CropToSelection();
    ExpectTaggedPart(model.PicturePixels(), area);
    EXPECT_FALSE(model.Selection());
    EXPECT_TRUE(model.IsModified());

    model.Undo();
    EXPECT_TRUE(model.PicturePixels() == Tagged(kWidth, kHeight));
    EXPECT_EQ(model.Selection(), area);
    EXPECT_FALSE(model.IsModified());
    EXPECT_TRUE(model.IsUntouched());
    EXPECT_TRUE(model.CanRedo());

    model.Redo();
    ExpectTaggedPart(model.PicturePixels(), area);
    EXPECT_TRUE(model.IsModified());
    model.Undo();
    EXPECT_TRUE(model.PicturePixels() == Tagged(kWidth, kHeight));
}

TEST(DocumentModel, CropsWithinCropsUndoInTurnAndHoldLessThanThreePictures) {
    DocumentModel model(Tagged(400, 300));
    const std::size_t pictureBytes = 400u * 300u * 4u;
    std::vector<PictureRect> kept;
    PictureRect area{0, 0, 400, 300};
    for (int i = 0; i < 20; ++i) {
        area = PictureRect{area.left + 3, area.top + 2, area.right - 5, area.bottom - 7};
        // The selection is in the current picture's pixels.
        model.Select(PictureRect{3, 2, model.PicturePixels().Width() - 5, model.PicturePixels().Height() - 7});
        model.CropToSelection();
        kept.push_back(area);
        ExpectTaggedPart(model.PicturePixels(), area);
    }
    for (int i = 19; i > 0; --i) {
        model.Undo();
        ExpectTaggedPart(model.PicturePixels(), kept[static_cast<std::size_t>(i) - 1]);
    }
    model.Undo();
    EXPECT_TRUE(model.PicturePixels() == Tagged(400, 300));
    EXPECT_LE(model.StoredBytes(), 3 * pictureBytes);
}

TEST(DocumentModel, ModifiedFollowsTheSavedPointUntilANewStepDiscardsIt) {
    DocumentModel model(Tagged(kWidth, kHeight));
    model.Select({1, 1, 30, 20});
    EXPECT_FALSE(model.IsModified());  // selecting is no edit
    model.CropToSelection();
    model.MarkSaved();
    EXPECT_FALSE(model.IsModified());
    EXPECT_FALSE(model.IsUntouched());
    model.Undo();
    EXPECT_TRUE(model.IsModified());  // the original differs from what was saved
    model.Redo();
    EXPECT_FALSE(model.IsModified());

    // Back before the saved step, a new crop: the saved state cannot come back.
    model.Undo();
    model.Select({2, 2, 10, 10});
    model.CropToSelection();
    EXPECT_FALSE(model.CanRedo());
    EXPECT_TRUE(model.IsModified());
}

TEST(DocumentModel, SelectionStaysWithinThePicture) {
    DocumentModel model(Tagged(kWidth, kHeight));
    model.Select({-5, -4, 10, 8});
    EXPECT_EQ(model.Selection(), (PictureRect{0, 0, 10, 8}));
    model.Select({40, 0, 50, 5});  // wholly outside: nothing selected
    EXPECT_FALSE(model.Selection());
    EXPECT_FALSE(model.CanCrop());

    model.SelectAll();
    EXPECT_EQ(model.Selection(), model.PicturePixels().Bounds());
    EXPECT_FALSE(model.CanCrop());  // cropping to the whole picture would change nothing
    EXPECT_TRUE(model.SelectedPixels() == Tagged(kWidth, kHeight));

    model.Select({4, 5, 9, 7});
    ExpectTaggedPart(model.SelectedPixels(), {4, 5, 9, 7});
    model.ClearSelection();
    EXPECT_TRUE(model.SelectedPixels() == Tagged(kWidth, kHeight));
}

TEST(DocumentModel, SubscribersHearEachChangeOnceWithWhatChanged) {
    DocumentModel model(Tagged(kWidth, kHeight));
    std::vector<DocumentChange> heard;
    const int subscription = model.Subscribe([&](const DocumentChange& change) { heard.push_back(change); });

    model.Select({2, 3, 12, 13});
    model.Select({2, 3, 12, 13});  // the same again: nothing to tell
    ASSERT_EQ(heard.size(), 1u);
    EXPECT_TRUE(heard[0].selection);
    EXPECT_FALSE(heard[0].history);
    EXPECT_TRUE(heard[0].pixels.IsEmpty());

    model.CropToSelection();
    ASSERT_EQ(heard.size(), 2u);
    EXPECT_TRUE(heard[1].resized && heard[1].selection && heard[1].history);
    EXPECT_EQ(heard[1].pixels, (PictureRect{0, 0, 10, 10}));

    model.MarkSaved();
    model.MarkSaved();  // already saved: no change
    ASSERT_EQ(heard.size(), 3u);
    EXPECT_TRUE(heard[2].history);

    model.Unsubscribe(subscription);
    model.Undo();
    EXPECT_EQ(heard.size(), 3u);
}

TEST(DocumentModel, ASubscriberMayEndSubscriptionsWhileBeingTold) {
    DocumentModel model(Tagged(kWidth, kHeight));
    int once = 0, always = 0, late = 0, ended = 0, onceSubscription = 0, endedSubscription = 0;
    // A one-shot listener ends itself and a later one; the others in between are still told.
    onceSubscription = model.Subscribe([&](const DocumentChange&) {
        ++once;
        model.Unsubscribe(onceSubscription);
        model.Unsubscribe(endedSubscription);
        model.Subscribe([&](const DocumentChange&) { ++late; });  // told from the next change on
    });
    model.Subscribe([&](const DocumentChange&) { ++always; });
    endedSubscription = model.Subscribe([&](const DocumentChange&) { ++ended; });
    model.SelectAll();
    EXPECT_EQ(once, 1);
    EXPECT_EQ(always, 1);
    EXPECT_EQ(late, 0);
    EXPECT_EQ(ended, 0);
    model.ClearSelection();
    EXPECT_EQ(once, 1);
    EXPECT_EQ(always, 2);
    EXPECT_EQ(late, 1);
}

TEST(DocumentModel, RowsAddedBelowAreOneUndoStepAndSpareWhatACropHid) {
    DocumentModel model(Tagged(kWidth, 10));
    model.Do(std::make_unique<AppendRowsOperation>(Tagged(kWidth, 13, 10)));
    EXPECT_TRUE(model.PicturePixels() == Tagged(kWidth, 23));
    model.Undo();
    EXPECT_TRUE(model.PicturePixels() == Tagged(kWidth, 10));
    model.Redo();

    // Rows below crops that hid rows below, and that hid only rows above or columns.
    for (const PictureRect& area : {PictureRect{3, 8, 20, 16}, PictureRect{0, 2, kWidth, 16}, PictureRect{3, 8, 20, 23}}) {
        model.Select(area);
        model.CropToSelection();
        model.Do(std::make_unique<AppendRowsOperation>(Tagged(area.right, 4, area.bottom).Copy({area.left, 0, area.right, 4})));
        ExpectTaggedPart(model.PicturePixels(), {area.left, area.top, area.right, area.bottom + 4});
        model.Undo();
        ExpectTaggedPart(model.PicturePixels(), area);
        model.Undo();
        EXPECT_TRUE(model.PicturePixels() == Tagged(kWidth, 23));
    }
    // Rows of another width are refused; the failed step discards nothing.
    EXPECT_THROW(model.Do(std::make_unique<AppendRowsOperation>(Tagged(kWidth + 1, 2))), RuntimeError);
    EXPECT_TRUE(model.PicturePixels() == Tagged(kWidth, 23));
    EXPECT_TRUE(model.CanRedo());
}
