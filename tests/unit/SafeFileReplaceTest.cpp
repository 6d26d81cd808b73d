// Saving over an existing file: the saved file keeps what belongs to the file (attributes),
// a read-only file is left alone, a file whose folder takes no new file or that another
// program holds open is rewritten in place, and no temporary file is ever left behind.
#include <gtest/gtest.h>

#include <windows.h>

#include "Files.h"
#include "platform/pictures/SafeFileReplace.h"
#include "platform/rules/RuntimeError.h"

using namespace files_test;

namespace {

const std::vector<BYTE> kOld(100000, 0x11);
const std::vector<BYTE> kNew(3000, 0x7E);

int ErrorNumberOf(const std::wstring& path, const std::vector<BYTE>& bytes) {
    try {
        ReplaceFileContents(path, bytes);
    } catch (const RuntimeError& error) {
        return error.Number();
    }
    return 0;
}

DWORD Attributes(const std::wstring& path) { return GetFileAttributesW(path.c_str()); }

class SafeFileReplace : public ::testing::Test {
protected:
    TempFolder folder;
    const std::wstring target = folder.File(L"shot.bmp");
};

TEST_F(SafeFileReplace, AReplacedFileKeepsItsAttributesAndIsMarkedChanged) {
    WriteBytes(target, kOld);
    ASSERT_TRUE(SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
    ReplaceFileContents(target, kNew);
    EXPECT_EQ(ReadBytes(target), kNew);
    EXPECT_EQ(Attributes(target), DWORD(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE));
    EXPECT_EQ(NamesIn(folder.Path()), std::vector<std::wstring>{L"shot.bmp"});

    // A plain file stays plain; a new file is a plain one.
    ASSERT_TRUE(SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_NORMAL));
    ReplaceFileContents(target, kOld);
    EXPECT_EQ(Attributes(target), DWORD(FILE_ATTRIBUTE_ARCHIVE));
    ReplaceFileContents(folder.File(L"new.bmp"), kNew);
    EXPECT_EQ(Attributes(folder.File(L"new.bmp")), DWORD(FILE_ATTRIBUTE_ARCHIVE));
    EXPECT_EQ(ReadBytes(folder.File(L"new.bmp")), kNew);
}

TEST_F(SafeFileReplace, AReadOnlyFileIsRefusedAndLeftAsItWas) {
    WriteBytes(target, kOld);
    ASSERT_TRUE(SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(ErrorNumberOf(target, kNew), 70);
    EXPECT_EQ(ReadBytes(target), kOld);
    EXPECT_TRUE(Attributes(target) & FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(NamesIn(folder.Path()), std::vector<std::wstring>{L"shot.bmp"});
    SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(SafeFileReplace, AFolderUnderTheNameIsRefused) {
    ASSERT_TRUE(CreateDirectoryW(target.c_str(), nullptr));
    EXPECT_EQ(ErrorNumberOf(target, kNew), 70);
    EXPECT_TRUE(Attributes(target) & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_TRUE(NamesIn(target).empty());
    EXPECT_EQ(NamesIn(folder.Path()), std::vector<std::wstring>{L"shot.bmp"});
}

TEST_F(SafeFileReplace, AFolderThatTakesNoNewFileHasItsFileRewrittenInPlace) {
    WriteBytes(target, kOld);
    ASSERT_TRUE(SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_HIDDEN));
    FolderClosedToNewFiles closed(folder.Path());
    if (!closed.Closed()) GTEST_SKIP() << "this file system cannot close a folder to new files";
    // Shorter than before, then longer: the file holds exactly the new bytes each time.
    ReplaceFileContents(target, kNew);
    EXPECT_EQ(ReadBytes(target), kNew);
    ReplaceFileContents(target, kOld);
    EXPECT_EQ(ReadBytes(target), kOld);
    EXPECT_TRUE(Attributes(target) & FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(NamesIn(folder.Path()), std::vector<std::wstring>{L"shot.bmp"});
    // A new file there is still a failure, and leaves nothing.
    EXPECT_EQ(ErrorNumberOf(folder.File(L"other.bmp"), kNew), 70);
    EXPECT_EQ(NamesIn(folder.Path()), std::vector<std::wstring>{L"shot.bmp"});
}

TEST_F(SafeFileReplace, AFileAnotherProgramHoldsOpenIsRewrittenWhenItLetsOthersWrite) {
    WriteBytes(target, kOld);
    // A viewer that lets others read and write the file, but not rename or delete it.
    HANDLE viewer = CreateFileW(target.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(viewer, INVALID_HANDLE_VALUE);
    const int number = ErrorNumberOf(target, kNew);
    CloseHandle(viewer);
    EXPECT_EQ(number, 0);
    EXPECT_EQ(ReadBytes(target), kNew);
    EXPECT_EQ(NamesIn(folder.Path()), std::vector<std::wstring>{L"shot.bmp"});

    // One that lets nobody else in: refused, the file whole.
    viewer = CreateFileW(target.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(viewer, INVALID_HANDLE_VALUE);
    EXPECT_EQ(ErrorNumberOf(target, kOld), 70);
    CloseHandle(viewer);
    EXPECT_EQ(ReadBytes(target), kNew);
    EXPECT_EQ(NamesIn(folder.Path()), std::vector<std::wstring>{L"shot.bmp"});
}

}  // namespace
