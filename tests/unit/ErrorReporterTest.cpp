// The error box and the trap every handler runs in.
#include <gtest/gtest.h>

#include "Fakes.h"

TEST(ErrorMessageText, NumberCarriageReturnDescription) {
    EXPECT_EQ(ErrorMessageText(13, L"Type mismatch"), L"Error #: 13\rType mismatch");
    EXPECT_EQ(ErrorMessageText(-2147467259, L"Unspecified error"), L"Error #: -2147467259\rUnspecified error");
    EXPECT_EQ(ErrorMessageText(6, L""), L"Error #: 6\r");
    EXPECT_EQ(ErrorMessageText(5, L"first\r\nsecond\nthird"), L"Error #: 5\rfirst\r\nsecond\nthird");
}

TEST(ErrorTrap, OneFailureGivesExactlyOneMessageAndTheCallerContinues) {
    RecordingMessageBox box;
    SetMessageBoxService(&box);
    int stepsDone = 0;
    bool callerContinued = false;
    const auto inner = [&] {
        return Trapped([&] {
            ++stepsDone;
            RaiseError(-2147024894, L"The system cannot find the file specified.");
            ++stepsDone;  // skipped
        });
    };
    const bool outerCompleted = Trapped([&] {
        EXPECT_FALSE(inner());
        callerContinued = true;
    });
    EXPECT_TRUE(outerCompleted);
    EXPECT_TRUE(callerContinued);
    EXPECT_EQ(stepsDone, 1);
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(box.shown[0].text, L"Error #: -2147024894\rThe system cannot find the file specified.");
    EXPECT_EQ(box.shown[0].title, L"Error");
    EXPECT_EQ(box.shown[0].style, 48u);
    // The current error is cleared once the trapped procedure has returned.
    EXPECT_EQ(Err().Number, 0);
    EXPECT_TRUE(Err().Description.empty());

    // A second, separate failure is a second box; nothing carries over.
    Trapped([] { RaiseOverflow(); });
    ASSERT_EQ(box.shown.size(), 2u);
    EXPECT_EQ(box.shown[1].text, L"Error #: 6\rOverflow");
    SetMessageBoxService(nullptr);
}

TEST(ErrorTrap, OutOfMemoryAndForeignExceptionsAreReportedNotPropagated) {
    RecordingMessageBox box;
    SetMessageBoxService(&box);
    Trapped([] { throw std::bad_alloc(); });
    Trapped([] { throw 42; });
    ASSERT_EQ(box.shown.size(), 2u);
    EXPECT_EQ(box.shown[0].text, L"Error #: 7\rOut of memory");
    EXPECT_EQ(box.shown[1].text.rfind(L"Error #: ", 0), 0u);
    SetMessageBoxService(nullptr);
}
