// File Open and File Save against real files, with ImageMagick as the reference decoder.
#include <cstring>
#include <iostream>
#include <map>

#include "app/frmMain.h"
#include "document/DocumentCommands.h"
#include "document/frmNabbet.h"
#include "Fakes.h"
#include "Files.h"
#include "Pattern.h"
#include "platform/pictures/PictureFile.h"
#include "resource.h"

using namespace files_test;

namespace {

struct BmpHeader {
    std::int32_t width = 0, height = 0;
    int bits = 0;
    std::uint32_t compression = 0;
};

BmpHeader ReadBmpHeader(const std::vector<BYTE>& b) {
    BmpHeader h;
    if (b.size() < 54 || b[0] != 'B' || b[1] != 'M') return h;
    std::memcpy(&h.width, &b[18], 4);
    std::memcpy(&h.height, &b[22], 4);
    h.bits = b[28] | (b[29] << 8);
    std::memcpy(&h.compression, &b[30], 4);
    return h;
}

// The same bitmap file with its rows stored top-down (negative height).
std::vector<BYTE> FlipToTopDown(std::vector<BYTE> b) {
    const BmpHeader h = ReadBmpHeader(b);
    std::uint32_t offBits = 0;
    std::memcpy(&offBits, &b[10], 4);
    const std::size_t stride = ((static_cast<std::size_t>(h.width) * h.bits + 31) / 32) * 4;
    std::vector<BYTE> flipped(b.begin(), b.begin() + offBits);
    for (int y = h.height - 1; y >= 0; --y) {
        const auto row = b.begin() + offBits + static_cast<std::ptrdiff_t>(y * stride);
        flipped.insert(flipped.end(), row, row + static_cast<std::ptrdiff_t>(stride));
    }
    const std::int32_t negative = -h.height;
    std::memcpy(&flipped[22], &negative, 4);
    return flipped;
}

// A 32-bit bottom-up bitmap file written directly (the unused byte 0).
std::vector<BYTE> Bitmap32(const Image& image) {
    const std::uint32_t pixelBytes = static_cast<std::uint32_t>(image.width * image.height * 4);
    std::vector<BYTE> b(54 + pixelBytes);
    BITMAPFILEHEADER file{0x4D42, 54 + pixelBytes, 0, 0, 54};
    BITMAPINFOHEADER info{sizeof info, image.width, image.height, 1, 32, BI_RGB, pixelBytes, 0, 0, 0, 0};
    std::memcpy(b.data(), &file, 14);
    std::memcpy(b.data() + 14, &info, 40);
    for (int y = 0; y < image.height; ++y)
        std::memcpy(b.data() + 54 + static_cast<std::size_t>(y) * image.width * 4,
                    &image.pixels[static_cast<std::size_t>(image.height - 1 - y) * image.width],
                    static_cast<std::size_t>(image.width) * 4);
    return b;
}

struct Sample {
    std::wstring file;
    int bits = 0;                  // expected bits per pixel of a bitmap file, 0 when not one
    std::int32_t compression = 0;  // expected compression of a bitmap file
    bool topDown = false;
    bool exact = true;  // JPEG decoders may round differently
    short type = PICTYPE_BITMAP;
};

class OpenSaveTest : public FrameTest {
protected:
    static void MakeSamples() {
        folder = new TempFolder();
        const Image pattern = PatternImage(37, 23);
        const std::wstring source = folder->File(L"source.ppm");
        WritePpm(source, pattern);
        const auto make = [&](const wchar_t* name, std::vector<std::string> options) {
            ASSERT_TRUE(Convert(source, options, folder->File(name))) << "convert failed for " << std::string(name, name + wcslen(name));
        };
        // The "BMP3:" prefix goes on the output; Convert splits it from the path.
        for (const auto& [name, options] : std::map<std::wstring, std::vector<std::string>>{
                 {L"b24.bmp", {"-type", "TrueColor", "-compress", "None"}},
                 {L"b8.bmp", {"-colors", "200", "-type", "Palette", "-compress", "None"}},
                 {L"b4.bmp", {"-colors", "16", "-type", "Palette", "-compress", "None"}},
                 {L"b1.bmp", {"-monochrome", "-compress", "None"}},
                 {L"rle8.bmp", {"-colors", "200", "-type", "Palette", "-compress", "RLE"}}})
            ASSERT_TRUE(Convert(source, options, L"BMP3:" + folder->File(name)));
        WriteBytes(folder->File(L"b32.bmp"), Bitmap32(pattern));
        WriteBytes(folder->File(L"td24.bmp"), FlipToTopDown(ReadBytes(folder->File(L"b24.bmp"))));
        WriteBytes(folder->File(L"td8.bmp"), FlipToTopDown(ReadBytes(folder->File(L"b8.bmp"))));
        make(L"pic.gif", {"-colors", "128"});
        make(L"base.jpg", {"-quality", "92"});
        make(L"prog.jpg", {"-quality", "92", "-interlace", "JPEG"});
        make(L"grey.jpg", {"-colorspace", "Gray", "-quality", "92"});
        make(L"icon.ico", {"-resize", "32x32!"});
        make(L"alpha.ico", {"-resize", "32x32!", "-alpha", "set", "-fill", "none", "-draw", "rectangle 0,0 9,9"});
        make(L"pic.png", {});
        make(L"pic.tif", {});
    }
    static void TearDownTestSuite() {
        delete folder;
        folder = nullptr;
    }
    void SetUp() override {
        FrameTest::SetUp();
        if (!ImageMagickAvailable()) GTEST_SKIP() << "ImageMagick is not installed";
        if (folder == nullptr) MakeSamples();
        ASSERT_FALSE(HasFatalFailure()) << "the sample files could not be made";
        MakeFrame();
    }

    std::shared_ptr<frmNabbet> Active() { return std::dynamic_pointer_cast<frmNabbet>(frame->ActiveForm()); }

    std::shared_ptr<frmNabbet> Open(const std::wstring& path) {
        const int before = Forms::Count();
        dialog.Confirm(path);
        frame->mnuFileOpen_Click();
        DoEvents();
        if (Forms::Count() != before + 1) return nullptr;
        return std::dynamic_pointer_cast<frmNabbet>(Forms::Item(Forms::Count() - 1));
    }

    static TempFolder* folder;
};
TempFolder* OpenSaveTest::folder = nullptr;

TEST_F(OpenSaveTest, EveryKindOfFileOpensWithImageMagicksPixels) {
    const std::vector<Sample> samples{
        {L"b1.bmp", 1},        {L"b4.bmp", 4},         {L"b8.bmp", 8},
        {L"b24.bmp", 24},      {L"b32.bmp", 32},       {L"td24.bmp", 24, BI_RGB, true},
        {L"td8.bmp", 8, BI_RGB, true}, {L"rle8.bmp", 8, BI_RLE8}, {L"pic.gif"},
        {L"base.jpg", 0, 0, false, false}, {L"prog.jpg", 0, 0, false, false}, {L"grey.jpg", 0, 0, false, false},
        {L"icon.ico", 0, 0, false, true, PICTYPE_ICON}, {L"alpha.ico", 0, 0, false, true, PICTYPE_ICON},
        {L"pic.png"},          {L"pic.tif"}};
    for (const Sample& sample : samples) {
        SCOPED_TRACE(std::string(sample.file.begin(), sample.file.end()));
        const std::wstring path = folder->File(sample.file);
        if (sample.bits != 0) {
            // The file really is the variant it stands for.
            const BmpHeader header = ReadBmpHeader(ReadBytes(path));
            EXPECT_EQ(header.bits, sample.bits);
            EXPECT_EQ(header.compression, static_cast<std::uint32_t>(sample.compression));
            EXPECT_EQ(header.height < 0, sample.topDown);
        }
        auto document = Open(path);
        ASSERT_TRUE(document) << "no document was opened";
        EXPECT_TRUE(messages.shown.empty()) << (messages.shown.empty() ? "" : std::string(messages.shown[0].text.begin(), messages.shown[0].text.end()));
        EXPECT_EQ(document->Caption(), sample.file);
        const Picture& picture = document->picNabbet().GetPicture();
        ASSERT_FALSE(picture.IsEmpty());
        EXPECT_EQ(picture.Type(), sample.type);
        const Image reference = DecodeWithImageMagick(path);
        ASSERT_EQ(reference.width, sample.type == PICTYPE_ICON ? 32 : 37);
        const ImageDifference d = Compare(ReadPicture(picture), reference);
        ASSERT_TRUE(d.sameSize);
        if (sample.exact) {
            EXPECT_EQ(d.differing, 0u) << "max channel difference " << d.maxChannel;
        } else {
            std::cout << "[ measure  ] " << std::string(sample.file.begin(), sample.file.end())
                      << ": pixels differing from ImageMagick " << d.differing << " of " << reference.pixels.size()
                      << ", max channel difference " << d.maxChannel << ", mean " << d.meanChannel << "\n";
            EXPECT_LE(d.maxChannel, 4);
            EXPECT_LT(d.meanChannel, 0.5);
        }
        messages.shown.clear();
    }
    EXPECT_EQ(Forms::Count(), 1 + static_cast<int>(samples.size()));
    EXPECT_TRUE(frame->MenuEnabled(IDM_FILE_SAVE));
}

TEST_F(OpenSaveTest, SameFileTwiceGivesTwoDocumentsTitledWithoutFolder) {
    auto first = Open(folder->File(L"pic.gif"));
    auto second = Open(folder->File(L"pic.gif"));
    ASSERT_TRUE(first && second);
    EXPECT_NE(first.get(), second.get());
    EXPECT_EQ(first->Caption(), L"pic.gif");
    EXPECT_EQ(second->Caption(), L"pic.gif");
    EXPECT_FALSE(first->picNabbet().GetPicture() == second->picNabbet().GetPicture());
}

TEST_F(OpenSaveTest, UnreadableFileLeavesEmptyDocumentAndOnlyTheOpenMessage) {
    const std::wstring path = folder->File(L"notes.bmp");
    WriteBytes(path, {'h', 'e', 'l', 'l', 'o', '\n'});
    auto document = Open(path);
    ASSERT_TRUE(document);
    EXPECT_EQ(document->Caption(), L"notes.bmp");
    EXPECT_TRUE(document->picNabbet().GetPicture().IsEmpty());
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, L"Pixelnab cannot find or open " + path);
    EXPECT_EQ(messages.shown[0].style, 0u);
    EXPECT_EQ(messages.shown[0].title, L"Pixelnab");
    // SetAppState did not run: the document commands keep the state from before.
    EXPECT_FALSE(frame->MenuEnabled(IDM_FILE_SAVE));

    // A missing file gets the same message.
    messages.shown.clear();
    Open(folder->File(L"missing.gif"));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, L"Pixelnab cannot find or open " + folder->File(L"missing.gif"));
}

TEST_F(OpenSaveTest, CancelledOpenMakesNoDocumentAndNoMessage) {
    dialog.Cancel();
    frame->mnuFileOpen_Click();
    dialog.Confirm(L"");  // confirmed, but with no name
    frame->mnuFileOpen_Click();
    EXPECT_EQ(Forms::Count(), 1);
    EXPECT_TRUE(messages.shown.empty());
}

// Every kind of picture a document can hold, saved and read back by ImageMagick and by
// the program with identical pixels.
TEST_F(OpenSaveTest, EveryKindOfDocumentSavesAsABitmapThatReadsBackIdentically) {
    std::vector<std::pair<std::wstring, Picture>> pictures;
    {
        // A capture: a device-dependent copy of the display.
        pictures.emplace_back(L"Nabbet1", PictureOwningBitmap(DeviceBitmap(ReadScreen(0, 0, 64, 48)), nullptr));
    }
    {
        // A bitmap with a palette, its pixels all palette colours, as on a 256-colour display.
        std::vector<BYTE> storage(sizeof(LOGPALETTE) + 16 * sizeof(PALETTEENTRY));
        auto* logical = reinterpret_cast<LOGPALETTE*>(storage.data());
        logical->palVersion = 0x300;
        logical->palNumEntries = 16;
        for (int i = 0; i < 16; ++i)
            logical->palPalEntry[i] = {static_cast<BYTE>(i * 16), static_cast<BYTE>(255 - i * 9),
                                       static_cast<BYTE>((i * 77) & 0xFF), 0};
        Image image{20, 13, {}};
        for (int i = 0; i < 20 * 13; ++i) {
            const auto& e = logical->palPalEntry[(i * 7) % 16];
            image.pixels.push_back((std::uint32_t(e.peRed) << 16) | (std::uint32_t(e.peGreen) << 8) | e.peBlue);
        }
        Picture plain = BitmapPicture(image, false);
        HBITMAP bitmap = static_cast<HBITMAP>(CopyImage(plain.Bitmap(), IMAGE_BITMAP, 0, 0, 0));
        pictures.emplace_back(L"Nabbet2", PictureOwningBitmap(bitmap, CreatePalette(logical)));
    }
    pictures.emplace_back(L"section", BitmapPicture(PatternImage(41, 17), true));
    for (const wchar_t* name : {L"pic.gif", L"base.jpg", L"alpha.ico", L"b1.bmp", L"b8.bmp", L"pic.png"})
        pictures.emplace_back(name, LoadPicture(folder->File(name)));

    for (const auto& [caption, picture] : pictures) {
        SCOPED_TRACE(std::string(caption.begin(), caption.end()));
        ASSERT_FALSE(picture.IsEmpty());
        AddDocument(caption, picture);
        const std::wstring target = folder->File(L"saved_" + DocumentCommands::SuggestedSaveName(caption) + L".bmp");
        dialog.Confirm(target);
        frame->mnuFileSave_Click();
        EXPECT_TRUE(messages.shown.empty());
        const std::vector<BYTE> bytes = ReadBytes(target);
        const BmpHeader header = ReadBmpHeader(bytes);
        ASSERT_GT(header.bits, 0) << "not a bitmap file";
        EXPECT_EQ(header.bits, caption == L"Nabbet2" ? 8 : 24);

        const Image expected = ReadPicture(picture);
        const ImageDifference byImageMagick = Compare(DecodeWithImageMagick(target), expected);
        EXPECT_TRUE(byImageMagick.sameSize);
        EXPECT_EQ(byImageMagick.differing, 0u);
        const ImageDifference byProgram = Compare(ReadPicture(LoadPicture(target)), expected);
        EXPECT_TRUE(byProgram.sameSize);
        EXPECT_EQ(byProgram.differing, 0u);
        // Its title and the command state stay as they were.
        EXPECT_EQ(Active()->Caption(), caption);
    }
}

TEST_F(OpenSaveTest, SaveReplacesAnExistingFileAndLeavesNoTemporaryFile) {
    const std::wstring target = folder->File(L"replace.bmp");
    WriteBytes(target, std::vector<BYTE>(100000, 0xAB));
    AddDocument(L"Nabbet1", BitmapPicture(PatternImage(8, 8), false));
    dialog.Confirm(target);
    frame->mnuFileSave_Click();
    EXPECT_TRUE(messages.shown.empty());
    const auto bytes = ReadBytes(target);
    EXPECT_EQ(bytes.size(), 54u + 8 * 8 * 3);
    EXPECT_EQ(Compare(ReadPicture(LoadPicture(target)), PatternImage(8, 8)).differing, 0u);
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW(folder->File(L"pxn*").c_str(), &found);
    EXPECT_EQ(search, INVALID_HANDLE_VALUE) << "a temporary file was left behind";
    if (search != INVALID_HANDLE_VALUE) FindClose(search);
}

TEST_F(OpenSaveTest, FailedSaveIsReportedAndLeavesTheOldFileWhole) {
    AddDocument(L"Nabbet1", BitmapPicture(PatternImage(8, 8), false));
    // A folder that does not exist.
    dialog.Confirm(folder->File(L"no such folder\\x.bmp"));
    frame->mnuFileSave_Click();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].title, L"Error");
    EXPECT_EQ(messages.shown[0].text.rfind(L"Error #: 76\r", 0), 0u) << std::string(messages.shown[0].text.begin(), messages.shown[0].text.end());

    // A target that cannot be replaced: the old contents stay, no partial file appears.
    messages.shown.clear();
    const std::wstring locked = folder->File(L"locked.bmp");
    const std::vector<BYTE> old(500, 0x11);
    WriteBytes(locked, old);
    HANDLE holder = CreateFileW(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    dialog.Confirm(locked);
    frame->mnuFileSave_Click();
    CloseHandle(holder);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].title, L"Error");
    EXPECT_EQ(ReadBytes(locked), old);
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW(folder->File(L"pxn*").c_str(), &found);
    EXPECT_EQ(search, INVALID_HANDLE_VALUE) << "a temporary file was left behind";
    if (search != INVALID_HANDLE_VALUE) FindClose(search);

    // A document without a picture (a failed open) has nothing to write.
    messages.shown.clear();
    AddDocument(L"empty.bmp", Picture());
    dialog.Confirm(folder->File(L"empty_out.bmp"));
    frame->mnuFileSave_Click();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, ErrorMessageText(481, L"Invalid picture"));
    EXPECT_EQ(GetFileAttributesW(folder->File(L"empty_out.bmp").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(OpenSaveTest, CancelledSaveWritesNothing) {
    AddDocument(L"Nabbet3", BitmapPicture(PatternImage(8, 8), false));
    dialog.Cancel();
    frame->mnuFileSave_Click();
    EXPECT_TRUE(messages.shown.empty());
    ASSERT_EQ(dialog.uses.size(), 1u);
    EXPECT_EQ(dialog.uses[0].settings.FileName, L"Nabbet3");
}

}  // namespace
