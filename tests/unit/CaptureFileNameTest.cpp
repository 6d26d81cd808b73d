// The names automatic saving gives captures: the pattern's fields, what a file name cannot
// hold, and the numbered names tried when one is taken. Pure rules.
#include <gtest/gtest.h>

#include <string>

#include "platform/rules/CaptureFileName.h"

namespace {

CaptureNameFields Fields(std::wstring title = L"") {
    CaptureNameFields fields;
    fields.number = 7;
    fields.year = 2026;
    fields.month = 3;
    fields.day = 9;
    fields.hour = 8;
    fields.minute = 5;
    fields.second = 4;
    fields.windowTitle = std::move(title);
    return fields;
}

struct NameCase {
    const wchar_t* pattern;
    const wchar_t* title;
    const wchar_t* expected;
};

}  // namespace

TEST(CaptureFileName, FillsEachFieldPaddedAndKeepsWhatIsNoField) {
    const NameCase cases[] = {
        {kDefaultCaptureNamePattern, L"", L"Nabbet 7 2026-03-09 080504"},
        {L"{yy}{MM}{dd}-{n}", L"", L"260309-7"},
        {L"{title} {n}", L"Untitled - Notepad", L"Untitled - Notepad 7"},
        // Case matters: {MM} is the month, {mm} the minute.
        {L"{MM}{mm}", L"", L"0305"},
        // Unknown or unclosed braces stay as written; a title is never read as a pattern.
        {L"{x}{N} {n", L"", L"{x}{N} {n"},
        {L"{title}", L"{n}", L"{n}"},
        {L"{n}{n}", L"", L"77"},
    };
    for (const NameCase& c : cases) EXPECT_EQ(CaptureFileName(c.pattern, Fields(c.title)), c.expected) << c.pattern;
}

TEST(CaptureFileName, ReplacesWhatNoFileNameMayHold) {
    const NameCase cases[] = {
        {L"{title}", L"C:\\Temp\\a/b: \"c\" <d> |e| f? g*", L"C__Temp_a_b_ _c_ _d_ _e_ f_ g_"},
        {L"{title}", L"tab\there\nnew", L"tab_here_new"},
        // Windows drops trailing dots and spaces: they go, so the name written is the one shown.
        {L"{title}", L"  Report...  ", L"Report"},
        // Nothing left: a name still.
        {L"{title}", L"", L"Capture"},
        {L"{title}", L" . ", L"Capture"},
        // Device names, with or without an extension, cannot be files.
        {L"{title}", L"CON", L"_CON"},
        {L"{title}", L"nul.txt", L"_nul.txt"},
        {L"{title}", L"com3", L"_com3"},
        {L"{title}", L"COM0", L"COM0"},
        {L"{title}", L"CONSOLE", L"CONSOLE"},
    };
    for (const NameCase& c : cases) EXPECT_EQ(CaptureFileName(c.pattern, Fields(c.title)), c.expected) << c.title;
}

TEST(CaptureFileName, ALongTitleIsCutToLeaveRoomForTheFolderAndTheNumber) {
    const std::wstring name = CaptureFileName(L"{title}", Fields(std::wstring(400, L'x') + L"."));
    EXPECT_EQ(name, std::wstring(kMaxCaptureNameLength, L'x'));
    // Cut between the halves of a character outside the basic plane: the half goes too.
    std::wstring title(kMaxCaptureNameLength - 1, L'a');
    title += L"\xD83D\xDE00";
    EXPECT_EQ(CaptureFileName(L"{title}", Fields(title)), std::wstring(kMaxCaptureNameLength - 1, L'a'));
}

TEST(CaptureFileName, ClashesAreNumberedFromTwo) {
    EXPECT_EQ(NumberedFileName(L"Nabbet 7", 1, L".png"), L"Nabbet 7.png");
    EXPECT_EQ(NumberedFileName(L"Nabbet 7", 2, L".png"), L"Nabbet 7 (2).png");
    EXPECT_EQ(NumberedFileName(L"Nabbet 7", 13, L".jpg"), L"Nabbet 7 (13).jpg");
}

TEST(CaptureFileName, TheTypeIsStoredAsTextAndAnythingElseReadsAsPng) {
    for (const SaveFormat format : {SaveFormat::Png, SaveFormat::Jpeg, SaveFormat::Bitmap})
        EXPECT_EQ(SaveFormatSetting(SaveFormatText(format)), format);
    EXPECT_EQ(SaveFormatText(SaveFormat::Bitmap), L"Bitmap");
    EXPECT_EQ(SaveFormatSetting(L"GIF"), SaveFormat::Png);
    EXPECT_EQ(SaveFormatSetting(L""), SaveFormat::Png);
}
