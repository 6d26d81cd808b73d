// Robustness of the file commands: runs of open and close give back every object, byte
// and file handle, and a save that cannot complete (read-only folder, missing folder,
// full disk) is reported and leaves no file behind that could pass for the picture.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <string>

#include <windows.h>

#include "capture/basScreen.h"
#include "document/frmNabbet.h"
#include "Fakes.h"
#include "Files.h"
#include "Pattern.h"
#include "platform/pictures/PictureFile.h"
#include "ProcessResources.h"

using namespace files_test;

namespace {

// As for the capture cycles (see RobustnessTest.cpp): after the first open of each kind
// the counts come back exactly and memory to the page; 16 pages allowed.
constexpr int kWarmUpCycles = 6;
constexpr int kCycles = 200;
constexpr std::uint64_t kMemoryTolerance = 64u * 1024;

int CountDocuments() {
    int count = 0;
    for (int i = 0; i < Forms::Count(); ++i)
        if (std::dynamic_pointer_cast<frmNabbet>(Forms::Item(i))) ++count;
    return count;
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Whether a Wine drive letter leads to the small file system the test fixture mounted.
bool DriveIsTestDisk(wchar_t letter, ULONGLONG& total) {
    const std::wstring root = std::wstring(1, letter) + L":\\";
    ULARGE_INTEGER available{}, size{}, free{};
    if (!GetDiskFreeSpaceExW(root.c_str(), &available, &size, &free)) return false;
    total = size.QuadPart;
    return size.QuadPart > 0 && size.QuadPart <= 1024 * 1024;
}

}  // namespace

class RobustnessFiles : public FrameTest {
protected:
    void SetUp() override {
        FrameTest::SetUp();
        settings.Set(L"HideCaptureWin", L"False");
    }
    static constexpr const char* kNoTestDisk =
        "drive X: (a 64 KB tmpfs mounted by tests/fixtures/disks-start.sh) is not there: mounting needs root";
    static bool TestDiskMounted() {
        ULONGLONG size = 0;
        return DriveIsTestDisk(L'X', size);
    }
    // Starts the frame and saves a 16 x 16 picture as X:\small.bmp, which must succeed.
    void SaveSmallPictureOnTestDisk() {
        MakeFrame();
        AddDocument(L"small", BitmapPicture(PatternImage(16, 16), false), true);
        dialog.Confirm(L"X:\\small.bmp");
        frame->mnuFileSave_Click();
        ASSERT_TRUE(messages.shown.empty());
    }
    std::shared_ptr<frmNabbet> ActiveDocument() const {
        return std::dynamic_pointer_cast<frmNabbet>(frame->ActiveForm());
    }
    void ExpectSaveFailsCleanly(const std::wstring& target, int expectedNumber) {
        messages.shown.clear();
        dialog.Confirm(target);
        frame->mnuFileSave_Click();
        ASSERT_EQ(messages.shown.size(), 1u) << "a failed save must be reported once";
        EXPECT_EQ(messages.shown[0].title, L"Error");
        const std::wstring prefix = L"Error #: " + std::to_wstring(expectedNumber) + L"\r";
        EXPECT_EQ(messages.shown[0].text.rfind(prefix, 0), 0u)
            << std::string(messages.shown[0].text.begin(), messages.shown[0].text.end());
        EXPECT_FALSE(Exists(target)) << "a partial file was left where the picture should be";
    }
    TempFolder folder;
};

TEST_F(RobustnessFiles, OpensAndClosesGiveBackEveryObjectByteAndFile) {
    MakeFrame();
    const std::wstring bmp = folder.File(L"cycle.bmp");
    SavePicture(BitmapPicture(PatternImage(320, 240), false), bmp);
    std::wstring jpeg = folder.File(L"cycle.jpg");
    if (!ImageMagickAvailable() || !Convert(bmp, {"-quality", "90"}, jpeg)) jpeg = bmp;
    const auto openAndClose = [&](int i) {
        dialog.uses.clear();  // the fake's own recording would grow the process otherwise
        dialog.Confirm(i % 2 == 0 ? bmp : jpeg);
        frame->mnuFileOpen_Click();
        DoEvents();
        frame->mnuFileClose_Click();
        DoEvents();
    };
    for (int i = 0; i < kWarmUpCycles; ++i) openAndClose(i);
    const ProcessResources before = ReadProcessResources();
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < kCycles; ++i) openAndClose(i);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const ProcessResources after = ReadProcessResources();
    std::printf("  %d open-and-close cycles (BMP and %s alternately) in %.1f s (%.1f ms each)\n", kCycles,
                jpeg == bmp ? "BMP" : "JPEG", seconds, seconds * 1000.0 / kCycles);
    std::printf("  GDI objects %ld -> %ld, USER objects %ld -> %ld, private memory %.2f -> %.2f MB\n",
                before.gdiObjects, after.gdiObjects, before.userObjects, after.userObjects,
                static_cast<double>(before.privateBytes) / 1048576.0, static_cast<double>(after.privateBytes) / 1048576.0);
    EXPECT_EQ(CountDocuments(), 0);
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(after.gdiObjects, before.gdiObjects);
    EXPECT_EQ(after.userObjects, before.userObjects);
    EXPECT_LE(static_cast<long long>(after.privateBytes) - static_cast<long long>(before.privateBytes),
              static_cast<long long>(kMemoryTolerance));
    // A file the program still held open could not be deleted: it opens files without
    // sharing deletion.
    EXPECT_TRUE(DeleteFileW(bmp.c_str()));
    if (jpeg != bmp) {
        EXPECT_TRUE(DeleteFileW(jpeg.c_str()));
    }
}

TEST_F(RobustnessFiles, SaveIntoAMissingFolderIsReportedAndWritesNothing) {
    MakeFrame();
    AddDocument(L"Nabbet1", BitmapPicture(PatternImage(16, 16), false), true);
    ExpectSaveFailsCleanly(folder.File(L"missing\\deeper\\x.bmp"), 76);
    EXPECT_FALSE(Exists(folder.File(L"missing")));
}

TEST_F(RobustnessFiles, SaveIntoAReadOnlyFolderIsReportedAndWritesNothing) {
    ULONGLONG size = 0;
    if (!DriveIsTestDisk(L'Y', size))
        GTEST_SKIP() << "drive Y: (a read-only tmpfs mounted by tests/fixtures/disks-start.sh) is not there: "
                        "mounting needs root";
    MakeFrame();
    AddDocument(L"Nabbet1", BitmapPicture(PatternImage(16, 16), false), true);
    ExpectSaveFailsCleanly(L"Y:\\Nabbet1.bmp", 70);
    EXPECT_TRUE(NamesIn(L"Y:").empty());
}

TEST_F(RobustnessFiles, SaveOntoAFullDiskIsReportedAndLeavesNoPartialFile) {
    if (!TestDiskMounted()) GTEST_SKIP() << kNoTestDisk;
    // The drive works: a small picture fits and reads back.
    ASSERT_NO_FATAL_FAILURE(SaveSmallPictureOnTestDisk());
    ASSERT_TRUE(Exists(L"X:\\small.bmp"));
    ULARGE_INTEGER freeBefore{}, total{}, unused{};
    GetDiskFreeSpaceExW(L"X:\\", &freeBefore, &total, &unused);

    // A picture of some 300 KB cannot fit into 64 KB.
    AddDocument(L"Nabbet1", BitmapPicture(PatternImage(320, 320), false), true);
    ExpectSaveFailsCleanly(L"X:\\Nabbet1.bmp", 61);
    ULARGE_INTEGER freeAfter{};
    GetDiskFreeSpaceExW(L"X:\\", &freeAfter, &total, &unused);
    EXPECT_EQ(freeAfter.QuadPart, freeBefore.QuadPart) << "the failed save left data on the disk";

    // Replacing the small file by the large picture fails too and keeps the small file whole.
    const auto old = ReadBytes(L"X:\\small.bmp");
    messages.shown.clear();
    dialog.Confirm(L"X:\\small.bmp");
    frame->mnuFileSave_Click();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(ReadBytes(L"X:\\small.bmp"), old);
    DeleteFileW(L"X:\\small.bmp");
}

TEST_F(RobustnessFiles, SaveOverAFileInAFolderThatTakesNoNewFileWritesItInPlace) {
    MakeFrame();
    const std::wstring target = folder.File(L"kept.bmp");
    SavePicture(BitmapPicture(PatternImage(40, 40), false), target);
    FolderClosedToNewFiles closed(folder.Path());
    if (!closed.Closed()) GTEST_SKIP() << "this file system cannot close a folder to new files";
    AddDocument(L"Nabbet1", BitmapPicture(PatternImage(16, 16), false), true);
    messages.shown.clear();
    dialog.Confirm(target);
    frame->mnuFileSave_Click();
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(ReadBytes(target).size(), 54u + 16 * 16 * 3);
    EXPECT_EQ(Compare(ReadPicture(LoadPicture(target)), PatternImage(16, 16)).differing, 0u);
    EXPECT_EQ(NamesIn(folder.Path()), std::vector<std::wstring>{L"kept.bmp"});
    // A new name there cannot be saved.
    ExpectSaveFailsCleanly(folder.File(L"Nabbet1.bmp"), 70);
}

TEST_F(RobustnessFiles, AnInPlaceSaveOntoAFullDiskPutsTheOldContentsBack) {
    if (!TestDiskMounted()) GTEST_SKIP() << kNoTestDisk;
    ASSERT_NO_FATAL_FAILURE(SaveSmallPictureOnTestDisk());
    const auto old = ReadBytes(L"X:\\small.bmp");
    {
        FolderClosedToNewFiles closed(L"X:\\");
        if (!closed.Closed()) {
            DeleteFileW(L"X:\\small.bmp");
            GTEST_SKIP() << "drive X: cannot be closed to new files";
        }
        // Some 300 KB cannot fit into 64 KB: the write fails part-way and is undone.
        AddDocument(L"Nabbet1", BitmapPicture(PatternImage(320, 320), false), true);
        messages.shown.clear();
        dialog.Confirm(L"X:\\small.bmp");
        frame->mnuFileSave_Click();
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_EQ(messages.shown[0].text.rfind(L"Error #: 61\r", 0), 0u)
            << std::string(messages.shown[0].text.begin(), messages.shown[0].text.end());
        EXPECT_EQ(ReadBytes(L"X:\\small.bmp"), old);
        EXPECT_EQ(NamesIn(L"X:\\"), std::vector<std::wstring>{L"small.bmp"});
    }
    DeleteFileW(L"X:\\small.bmp");
}
