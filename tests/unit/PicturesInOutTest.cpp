// Pictures in and out: the save-format rule, PNG and JPEG files read back by ImageMagick,
// files opened from outside (command line, a dropped file, a second start) as File Open
// opens them, and Edit > Paste.
#include <cstdlib>
#include <cstring>

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include "app/CommandTable.h"
#include "app/frmMain.h"
#include "app/HandOver.h"
#include "document/DocumentCommands.h"
#include "document/frmNabbet.h"
#include "Fakes.h"
#include "Files.h"
#include "Pattern.h"
#include "platform/pictures/ClipboardPicture.h"
#include "platform/pictures/PictureEncoder.h"
#include "platform/pictures/PictureFile.h"
#include "platform/rules/SaveFormat.h"
#include "resource.h"

using namespace files_test;

namespace {

bool StartsWith(const std::vector<BYTE>& bytes, std::initializer_list<BYTE> magic) {
    return bytes.size() >= magic.size() && std::equal(magic.begin(), magic.end(), bytes.begin());
}
bool IsPng(const std::vector<BYTE>& bytes) { return StartsWith(bytes, {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A}); }
bool IsJpeg(const std::vector<BYTE>& bytes) { return StartsWith(bytes, {0xFF, 0xD8, 0xFF}); }
bool IsBmp(const std::vector<BYTE>& bytes) { return StartsWith(bytes, {'B', 'M'}); }

// An 8-bit DIB section whose colours all come from its 16-entry colour table.
Picture PalettePicture(int width, int height) {
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colours[16];
    } info{};
    info.header = {sizeof(BITMAPINFOHEADER), width, -height, 1, 8, BI_RGB, 0, 0, 0, 16, 0};
    for (int i = 0; i < 16; ++i) info.colours[i] = RGBQUAD{BYTE(i * 16), BYTE(255 - i * 8), BYTE(i * 5 + 3), 0};
    void* bits = nullptr;
    HBITMAP bitmap =
        CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &bits, nullptr, 0);
    const int stride = (width + 3) & ~3;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) static_cast<BYTE*>(bits)[y * stride + x] = BYTE((x + 3 * y) % 16);
    GdiFlush();
    return PictureOwningBitmap(bitmap, nullptr);
}

// A packed 32-bit top-down DIB of the image, as another program puts CF_DIB on the clipboard.
std::vector<BYTE> PackedDib32(const Image& image) {
    BITMAPINFOHEADER header{sizeof header, image.width, -image.height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    std::vector<BYTE> dib(sizeof header + image.pixels.size() * 4);
    std::memcpy(dib.data(), &header, sizeof header);
    std::memcpy(dib.data() + sizeof header, image.pixels.data(), image.pixels.size() * 4);
    return dib;
}

void PutOnClipboard(HWND owner, UINT format, const std::vector<BYTE>& bytes) {
    ASSERT_TRUE(OpenClipboard(owner));
    EmptyClipboard();
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    std::memcpy(GlobalLock(memory), bytes.data(), bytes.size());
    GlobalUnlock(memory);
    SetClipboardData(format, memory);
    CloseClipboard();
}

void PutTextOnClipboard(HWND owner, const std::wstring& text) {
    std::vector<BYTE> bytes((text.size() + 1) * sizeof(wchar_t));
    std::memcpy(bytes.data(), text.c_str(), bytes.size());
    PutOnClipboard(owner, CF_UNICODETEXT, bytes);
}

std::vector<std::wstring> Captions(const std::vector<std::shared_ptr<DocumentForm>>& documents) {
    std::vector<std::wstring> captions;
    for (const auto& document : documents) captions.push_back(document->Caption());
    return captions;
}

}  // namespace

TEST(SaveFormatRule, AKnownExtensionWinsOverTheChosenType) {
    // x.png typed with the bitmap type chosen: PNG, as its name says.
    EXPECT_EQ(ChooseSaveTarget(L"C:\\a\\x.png", 1).format, SaveFormat::Png);
    EXPECT_EQ(ChooseSaveTarget(L"C:\\a\\x.png", 1).path, L"C:\\a\\x.png");
    EXPECT_EQ(ChooseSaveTarget(L"C:\\a\\x.BMP", 2).format, SaveFormat::Bitmap);
    EXPECT_EQ(ChooseSaveTarget(L"C:\\a\\x.dib", 3).format, SaveFormat::Bitmap);
    for (const wchar_t* jpeg : {L"p.jpg", L"p.JPEG", L"p.jpe", L"p.jfif"})
        EXPECT_EQ(ChooseSaveTarget(jpeg, 2).format, SaveFormat::Jpeg) << jpeg;
}

TEST(SaveFormatRule, ANameWithoutExtensionGetsTheChosenTypes) {
    EXPECT_EQ(ChooseSaveTarget(L"C:\\a\\shot", 2).path, L"C:\\a\\shot.png");
    EXPECT_EQ(ChooseSaveTarget(L"C:\\a\\shot", 2).format, SaveFormat::Png);
    EXPECT_EQ(ChooseSaveTarget(L"C:\\a\\shot", 3).path, L"C:\\a\\shot.jpg");
    EXPECT_EQ(ChooseSaveTarget(L"C:\\a\\shot", 1).path, L"C:\\a\\shot.bmp");
    EXPECT_EQ(ChooseSaveTarget(L"C:\\a\\shot.", 3).path, L"C:\\a\\shot.jpg");
    // A dot in a folder's name is no extension of the file.
    EXPECT_EQ(ChooseSaveTarget(L"C:\\my.pics\\shot", 2).path, L"C:\\my.pics\\shot.png");
    // No index reported (or one out of range): the first type, the bitmap.
    EXPECT_EQ(ChooseSaveTarget(L"shot", 0).format, SaveFormat::Bitmap);
    EXPECT_EQ(ChooseSaveTarget(L"shot", 9).format, SaveFormat::Bitmap);
}

TEST(SaveFormatRule, AnotherExtensionIsKeptAndWrittenInTheChosenType) {
    EXPECT_EQ(ChooseSaveTarget(L"C:\\a\\notes.v2", 2).path, L"C:\\a\\notes.v2");
    EXPECT_EQ(ChooseSaveTarget(L"C:\\a\\notes.v2", 2).format, SaveFormat::Png);
    EXPECT_EQ(ChooseSaveTarget(L"C:\\a\\anim.gif", 3).format, SaveFormat::Jpeg);
    EXPECT_FALSE(FormatOfFileName(L".png").has_value());  // a hidden file's whole name
    EXPECT_FALSE(FormatOfFileName(L"C:\\x.png\\shot").has_value());
}

TEST(HandOver, PathsSurviveThePackedBlockInOrder) {
    const std::vector<std::wstring> paths{L"C:\\a.png", L"Z:\\tmp\\b c.jpg", L"D:\\\x00e9t\x00e9.bmp"};
    const std::wstring block = PackPaths(paths);
    EXPECT_EQ(UnpackPaths(block.data(), block.size() * sizeof(wchar_t)), paths);
    EXPECT_TRUE(UnpackPaths(PackPaths({}).data(), sizeof(wchar_t)).empty());
    // A sender that left off the final NULs still hands over what it sent; an odd byte is ignored.
    const std::wstring bare = L"C:\\x.png";
    EXPECT_EQ(UnpackPaths(bare.data(), bare.size() * sizeof(wchar_t) + 1), std::vector<std::wstring>{bare});
    EXPECT_TRUE(UnpackPaths(nullptr, 12).empty());
}

TEST(HandOver, CommandLineFilesAreMadeAbsoluteAgainstTheCurrentFolder) {
    TempFolder folder;
    wchar_t previous[MAX_PATH]{};
    GetCurrentDirectoryW(MAX_PATH, previous);
    SetCurrentDirectoryW(folder.Path().c_str());
    const auto files = CommandLineFiles(L"\"C:\\Program Files\\Pixelnab.exe\" a.png \"b c.jpg\" Z:\\abs\\d.bmp");
    SetCurrentDirectoryW(previous);
    ASSERT_EQ(files.size(), 3u);
    EXPECT_EQ(files[0], folder.File(L"a.png"));
    EXPECT_EQ(files[1], folder.File(L"b c.jpg"));
    EXPECT_EQ(files[2], L"Z:\\abs\\d.bmp");
    EXPECT_TRUE(CommandLineFiles(L"Pixelnab.exe").empty());
}

TEST(PictureEncoder, PngIsLosslessForImageMagickAndForTheLoader) {
    if (!ImageMagickAvailable()) GTEST_SKIP() << "ImageMagick is not installed";
    TempFolder folder;
    const Image pattern = PatternImage(61, 37);
    const std::wstring path = folder.File(L"p.png");
    SavePictureAs(BitmapPicture(pattern, false), path, SaveFormat::Png);
    const auto bytes = ReadBytes(path);
    ASSERT_TRUE(IsPng(bytes));
    EXPECT_EQ(bytes[25], 2) << "colour type: truecolour without alpha";
    EXPECT_EQ(CountDifferences(DecodeWithImageMagick(path), pattern), 0);
    EXPECT_EQ(CountDifferences(ReadPicture(LoadPicture(path)), pattern), 0);
}

TEST(PictureEncoder, APalettePictureBecomesAnIndexedPng) {
    if (!ImageMagickAvailable()) GTEST_SKIP() << "ImageMagick is not installed";
    TempFolder folder;
    const Picture picture = PalettePicture(33, 20);
    const Image expected = ReadPicture(picture);
    const std::wstring path = folder.File(L"indexed.png");
    SavePictureAs(picture, path, SaveFormat::Png);
    const auto bytes = ReadBytes(path);
    ASSERT_TRUE(IsPng(bytes));
    EXPECT_EQ(bytes[24], 8) << "bit depth";
    EXPECT_EQ(bytes[25], 3) << "colour type: indexed";
    EXPECT_EQ(CountDifferences(DecodeWithImageMagick(path), expected), 0);
}

TEST(PictureEncoder, JpegAtQualityNinetyIsCloseAndSmallerThanTheBitmap) {
    if (!ImageMagickAvailable()) GTEST_SKIP() << "ImageMagick is not installed";
    TempFolder folder;
    const Image pattern = PatternImage(128, 96);
    const std::wstring path = folder.File(L"p.jpg");
    SavePictureAs(BitmapPicture(pattern, false), path, SaveFormat::Jpeg);
    const auto bytes = ReadBytes(path);
    ASSERT_TRUE(IsJpeg(bytes));
    EXPECT_LT(bytes.size(), PictureToBitmapFile(BitmapPicture(pattern, false)).size());
    const ImageDifference difference = Compare(DecodeWithImageMagick(path), pattern);
    ASSERT_TRUE(difference.sameSize);
    EXPECT_LT(difference.meanChannel, 8.0);  // the pattern is all edges: hard for JPEG
    // ImageMagick's own estimate of the quality the file was written with: 90 on Windows;
    // Wine's encoder keeps libjpeg's default of 75 whatever ImageQuality says (seen: 76).
    const std::wstring quality = folder.File(L"quality.txt");
    ASSERT_EQ(RunUnix("/bin/sh", {"-c", "identify -format %Q '" + UnixPath(path) + "' > '" + UnixPath(quality) + "'"}),
              0);
    const auto text = ReadBytes(quality);
    EXPECT_GE(std::atoi(std::string(text.begin(), text.end()).c_str()), 75);
}

TEST(PictureEncoder, AFailedSaveLeavesTheOldFile) {
    TempFolder folder;
    const std::wstring path = folder.File(L"keep.png");
    WriteBytes(path, {'o', 'l', 'd'});
    EXPECT_THROW(SavePictureAs(Picture{}, path, SaveFormat::Png), RuntimeError);
    EXPECT_EQ(ReadBytes(path), (std::vector<BYTE>{'o', 'l', 'd'}));
}

class SaveTypesTest : public FrameTest {
protected:
    void SetUp() override {
        FrameTest::SetUp();
        MakeFrame();
        AddDocument(L"Nabbet1", BitmapPicture(PatternImage(40, 30), false), true);
    }
    TempFolder folder;
};

TEST_F(SaveTypesTest, TheTypeChosenOrTheNameTypedDecidesTheBytes) {
    dialog.Confirm(folder.File(L"shot.png"), 2);
    frame->mnuFileSave_Click();
    EXPECT_TRUE(IsPng(ReadBytes(folder.File(L"shot.png"))));

    // The type chosen last (PNG) is offered again; x.png typed with the bitmap type chosen
    // still gives PNG bytes.
    dialog.Confirm(folder.File(L"x.png"), 1);
    frame->mnuFileSave_Click();
    EXPECT_EQ(dialog.uses.back().settings.FilterIndex, 2u);
    EXPECT_TRUE(IsPng(ReadBytes(folder.File(L"x.png"))));

    dialog.Confirm(folder.File(L"y.bmp"), 3);
    frame->mnuFileSave_Click();
    EXPECT_TRUE(IsBmp(ReadBytes(folder.File(L"y.bmp"))));

    // A name the dialog returned without extension gets the chosen type's.
    dialog.Confirm(folder.File(L"plain"), 3);
    frame->mnuFileSave_Click();
    EXPECT_TRUE(IsJpeg(ReadBytes(folder.File(L"plain.jpg"))));
    EXPECT_TRUE(ReadBytes(folder.File(L"plain")).empty());
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(SaveTypesTest, APngSaveIntoAMissingFolderIsReportedAndWritesNothing) {
    const std::wstring path = folder.File(L"missing\\shot.png");
    dialog.Confirm(path, 2);
    frame->mnuFileSave_Click();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].title, L"Error");
    EXPECT_EQ(GetFileAttributesW(path.c_str()), INVALID_FILE_ATTRIBUTES);
}

class OpenFromOutsideTest : public FrameTest {
protected:
    void SetUp() override {
        FrameTest::SetUp();
        MakeFrame();
        good1 = folder.File(L"one.png");
        good2 = folder.File(L"three two.bmp");
        broken = folder.File(L"broken.jpg");
        SavePictureAs(BitmapPicture(PatternImage(20, 10), false), good1, SaveFormat::Png);
        SavePicture(BitmapPicture(PatternImage(12, 8), false), good2);
        WriteBytes(broken, {0xFF, 0xD8, 0xFF, 0xE0, 0, 0});
    }
    // Three documents in order, the broken one empty, and one message naming it.
    void ExpectOpenedInOrder() {
        DoEvents();
        EXPECT_EQ(Captions(frame->Documents()),
                  (std::vector<std::wstring>{L"one.png", L"broken.jpg", L"three two.bmp"}));
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_EQ(messages.shown[0].text, L"Pixelnab cannot find or open " + broken);
        EXPECT_EQ(messages.shown[0].title, L"Pixelnab");
        const auto documents = frame->Documents();
        ASSERT_EQ(documents.size(), 3u);
        EXPECT_EQ(CountDifferences(ReadPicture(documents[0]->DocumentPicture()), PatternImage(20, 10)), 0);
        EXPECT_TRUE(documents[1]->DocumentPicture().IsEmpty());
        EXPECT_TRUE(frame->MenuEnabled(IDM_FILE_SAVE));
    }
    TempFolder folder;
    std::wstring good1, good2, broken;
};

TEST_F(OpenFromOutsideTest, FilesOfTheCommandLineOpenAsFileOpenOpensThem) {
    frame->OpenFiles({good1, broken, good2});
    ExpectOpenedInOrder();
}

TEST_F(OpenFromOutsideTest, FilesDroppedOnTheFrameOpen) {
    // The block Explorer posts with WM_DROPFILES: DROPFILES, then wide paths, a final NUL.
    const std::wstring list = PackPaths({good1, broken, good2});
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + list.size() * sizeof(wchar_t));
    auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = TRUE;
    std::memcpy(reinterpret_cast<BYTE*>(drop) + sizeof(DROPFILES), list.data(), list.size() * sizeof(wchar_t));
    GlobalUnlock(memory);
    ASSERT_TRUE(PostMessageW(frame->hWnd(), WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0));
    ExpectOpenedInOrder();
}

TEST_F(OpenFromOutsideTest, FilesHandedOverByASecondStartOpen) {
    const std::wstring block = PackPaths({good1, broken, good2});
    COPYDATASTRUCT data{kOpenFilesCopyData, static_cast<DWORD>(block.size() * sizeof(wchar_t)),
                        const_cast<wchar_t*>(block.data())};
    EXPECT_EQ(SendMessageW(frame->hWnd(), WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data)), TRUE);
    // Opened once the sender has been answered, not inside its message.
    EXPECT_TRUE(frame->Documents().empty());
    ExpectOpenedInOrder();

    // Another program's WM_COPYDATA is not ours: refused, nothing opened.
    COPYDATASTRUCT other{0x1234, data.cbData, data.lpData};
    EXPECT_EQ(SendMessageW(frame->hWnd(), WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&other)), FALSE);
    DoEvents();
    EXPECT_EQ(frame->Documents().size(), 3u);
}

class PasteTest : public FrameTest {
protected:
    void SetUp() override {
        FrameTest::SetUp();
        MakeFrame();
    }
    // The clipboard listener runs on the frame's messages.
    void Settle() {
        for (int i = 0; i < 5; ++i) {
            DoEvents();
            Sleep(20);
        }
    }
};

TEST_F(PasteTest, ADeviceIndependentBitmapBecomesANumberedDocument) {
    const Image pattern = PatternImage(45, 27);
    gintCaptureCount = 4;
    PutOnClipboard(frame->hWnd(), CF_DIB, PackedDib32(pattern));
    Settle();
    EXPECT_TRUE(frame->MenuEnabled(IDM_EDIT_PASTE));
    frame->mnuEditPaste_Click();
    DoEvents();
    ASSERT_EQ(frame->Documents().size(), 1u);
    EXPECT_EQ(frame->Documents()[0]->Caption(), L"Nabbet5");
    EXPECT_EQ(gintCaptureCount, 5);
    EXPECT_EQ(CountDifferences(ReadPicture(frame->Documents()[0]->DocumentPicture()), pattern), 0);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(PasteTest, ThePngFormatOfOtherProgramsPastesWithIdenticalPixels) {
    const Image pattern = PatternImage(70, 41);
    PutOnClipboard(frame->hWnd(), RegisterClipboardFormatW(L"PNG"),
                   EncodePicture(BitmapPicture(pattern, false), SaveFormat::Png));
    Settle();
    EXPECT_TRUE(ClipboardHasPicture());
    frame->mnuEditPaste_Click();
    DoEvents();
    ASSERT_EQ(frame->Documents().size(), 1u);
    EXPECT_EQ(frame->Documents()[0]->Caption(), L"Nabbet1");
    EXPECT_EQ(CountDifferences(ReadPicture(frame->Documents()[0]->DocumentPicture()), pattern), 0);
}

TEST_F(PasteTest, OurOwnCopyPastesBack) {
    const Image pattern = PatternImage(30, 22);
    AddDocument(L"Nabbet1", BitmapPicture(pattern, false), true);
    gintCaptureCount = 1;
    frame->mnuEditCopy_Click();
    Settle();
    frame->mnuEditPaste_Click();
    DoEvents();
    ASSERT_EQ(frame->Documents().size(), 2u);
    EXPECT_EQ(frame->Documents()[1]->Caption(), L"Nabbet2");
    EXPECT_EQ(CountDifferences(ReadPicture(frame->Documents()[1]->DocumentPicture()), pattern), 0);
}

TEST_F(PasteTest, TextOnTheClipboardDisablesPasteAndAForcedPasteMakesNoDocument) {
    PutOnClipboard(frame->hWnd(), CF_DIB, PackedDib32(PatternImage(4, 4)));
    Settle();
    EXPECT_TRUE(frame->MenuEnabled(IDM_EDIT_PASTE));
    PutTextOnClipboard(frame->hWnd(), L"just words");
    Settle();
    EXPECT_FALSE(frame->MenuEnabled(IDM_EDIT_PASTE));
    // SetAppState keeps the rule too.
    frame->SetAppState();
    EXPECT_FALSE(frame->MenuEnabled(IDM_EDIT_PASTE));

    gintCaptureCount = 2;
    frame->mnuEditPaste_Click();
    DoEvents();
    EXPECT_TRUE(frame->Documents().empty());
    EXPECT_EQ(gintCaptureCount, 2);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].title, L"Error");
}

TEST_F(PasteTest, ADamagedDibIsReportedNotPasted) {
    // A header claiming far more rows than the data holds.
    std::vector<BYTE> dib = PackedDib32(PatternImage(8, 8));
    BITMAPINFOHEADER header{};
    std::memcpy(&header, dib.data(), sizeof header);
    header.biHeight = -4000;
    std::memcpy(dib.data(), &header, sizeof header);
    PutOnClipboard(frame->hWnd(), CF_DIB, dib);
    frame->mnuEditPaste_Click();
    DoEvents();
    EXPECT_TRUE(frame->Documents().empty());
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_NE(messages.shown[0].text.find(L"481"), std::wstring::npos);
}

TEST(PasteCommandRow, PasteIsCtrlVInTheEditMenuWithTheClipboardRule) {
    const CommandRow* row = FindCommand(IDM_EDIT_PASTE);
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->acceleratorKey, 'V');
    EXPECT_EQ(row->acceleratorFlags, FVIRTKEY | FCONTROL);
    EXPECT_FALSE(row->needsDocument);
    EXPECT_NE(row->availableWhen, nullptr);
}
