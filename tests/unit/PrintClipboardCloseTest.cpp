// File Print through the recording printer, the clipboard seen from a second process,
// and File Close.
#include <cstdio>
#include <set>

#include <windows.h>
#include <winspool.h>

#include "app/frmMain.h"
#include "document/frmNabbet.h"
#include "Fakes.h"
#include "Files.h"
#include "Pattern.h"
#include "platform/pictures/PictureFile.h"
#include "platform/services/Clipboard.h"
#include "resource.h"

using namespace files_test;

namespace {

class CommandTest : public FrameTest {
protected:
    void SetUp() override {
        FrameTest::SetUp();
        MakeFrame();
    }
};

// ---- Print ----

TEST_F(CommandTest, PrintPaintsTheNaturalHimetricSizeOnOnePage) {
    const Picture picture = BitmapPicture(PatternImage(96, 48), false);
    AddDocument(L"Nabbet1", picture);
    dialog.Confirm(L"");
    frame->mnuFilePrint_Click();
    const std::vector<std::string> expected{"StartDoc", "StartPage", "PaintPicture", "EndPage", "EndDoc"};
    EXPECT_EQ(printer.calls, expected);
    // The document holds the bitmap's pixels once, as a picture of its own: the same pixels.
    EXPECT_EQ(ReadPicture(printer.painted), ReadPicture(picture));
    EXPECT_EQ(printer.rect.left, 0);
    EXPECT_EQ(printer.rect.top, 0);
    // 96 x 48 pixels at 96 dpi: one inch by half an inch.
    EXPECT_EQ(printer.rect.right, picture.WidthHimetric());
    EXPECT_EQ(printer.rect.bottom, picture.HeightHimetric());
    EXPECT_NEAR(printer.rect.right, 2540, 1);
    EXPECT_NEAR(printer.rect.bottom, 1270, 1);
    EXPECT_EQ(printer.title, L"Pixelnab");
    EXPECT_TRUE(messages.shown.empty());
}

// A full-screen capture used to run off the page's edge: it now shrinks to the printable
// area, the limiting side touching its edge, proportions kept, still at the top-left
// corner, and the printer gets the capture's own pixels.
TEST_F(CommandTest, PrintShrinksAFullScreenCaptureToFitThePage) {
    frame->mnuCaptureScreen_Click();
    const auto document = std::dynamic_pointer_cast<frmNabbet>(frame->ActiveForm());
    ASSERT_TRUE(document);
    const Picture picture = document->DocumentPicture();
    const long width = picture.WidthHimetric();
    const long height = picture.HeightHimetric();
    ASSERT_GT(width, 20320) << "the test screen is narrower than the page";
    printer.page = SIZE{20320, 26670};
    dialog.Confirm(L"");
    frame->mnuFilePrint_Click();
    ASSERT_EQ(printer.calls.size(), 5u);
    EXPECT_EQ(ReadPicture(printer.painted), ReadPicture(picture));
    EXPECT_EQ(printer.rect.left, 0);
    EXPECT_EQ(printer.rect.top, 0);
    EXPECT_EQ(printer.rect.right, 20320);
    EXPECT_EQ(printer.rect.bottom, height * 20320 / width);
    // On a page too low for it the height limits instead.
    printer.calls.clear();
    printer.page = SIZE{26670, 5000};
    dialog.Confirm(L"");
    frame->mnuFilePrint_Click();
    EXPECT_EQ(printer.rect.bottom, 5000);
    EXPECT_EQ(printer.rect.right, width * 5000 / height);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(CommandTest, PrintFailuresAreSilentAndNeverLeaveAJobOpen) {
    AddDocument(L"Nabbet1", BitmapPicture(PatternImage(10, 10), false));
    // The dialog cancelled.
    dialog.Cancel();
    frame->mnuFilePrint_Click();
    EXPECT_TRUE(printer.calls.empty());
    // No printer: the job never starts.
    printer.failAt = "StartDoc";
    dialog.Confirm(L"");
    frame->mnuFilePrint_Click();
    EXPECT_EQ(printer.calls, std::vector<std::string>{"StartDoc"});
    // A failure once the job has started: the job is aborted, not left open.
    for (const char* step : {"StartPage", "PaintPicture", "EndPage"}) {
        printer.calls.clear();
        printer.failAt = step;
        dialog.Confirm(L"");
        frame->mnuFilePrint_Click();
        ASSERT_FALSE(printer.calls.empty());
        EXPECT_EQ(printer.calls.back(), "AbortDoc") << step;
        EXPECT_EQ(std::count(printer.calls.begin(), printer.calls.end(), std::string("EndDoc")), 0) << step;
    }
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(CommandTest, PrintWithoutAPictureOrDocumentPrintsNothingSilently) {
    dialog.Confirm(L"");
    frame->mnuFilePrint_Click();  // no document at all
    AddDocument(L"empty.gif", Picture());
    dialog.Confirm(L"");
    frame->mnuFilePrint_Click();
    EXPECT_TRUE(printer.calls.empty());
    EXPECT_TRUE(messages.shown.empty());
}

TEST(RealPrinter, NoDefaultPrinterIsAPrinterError) {
    DWORD length = 0;
    GetDefaultPrinterW(nullptr, &length);
    if (length != 0) GTEST_SKIP() << "this machine has a printer";
    try {
        PrinterService().StartDoc(unique_hdc(), L"Pixelnab");
        FAIL() << "a job started without a printer";
    } catch (const RuntimeError& error) {
        EXPECT_EQ(error.Number(), ErrorNumber::PrinterError);
    }
    PrinterService().AbortDoc();
}

// ---- Clipboard ----

std::wstring PeerPath() {
    wchar_t self[MAX_PATH]{};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path = self;
    return path.substr(0, path.find_last_of(L"\\/") + 1) + L"clipboard_peer.exe";
}

int RunPeer(const std::wstring& arguments) {
    std::wstring command = L"\"" + PeerPath() + L"\" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    // Under load Wine has refused to start it once (the test took 64 ms): a start that
    // fails is tried again before the test says so.
    bool started = false;
    for (int attempt = 0; attempt < 3 && !started; ++attempt) {
        started = CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                                 &process) != FALSE;
        if (!started) {
            std::fprintf(stderr, "clipboard peer not started: error %lu\n", GetLastError());
            Sleep(200);
        }
    }
    if (!started) return -1;
    CloseHandle(process.hThread);
    // The peer waits on the clipboard, which this thread may need to serve meanwhile.
    DWORD code = static_cast<DWORD>(-1);
    const ULONGLONG deadline = GetTickCount64() + 30000;
    while (MsgWaitForMultipleObjects(1, &process.hProcess, FALSE, 100, QS_ALLINPUT) != WAIT_OBJECT_0 &&
           GetTickCount64() < deadline)
        DoEvents();
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hProcess);
    return static_cast<int>(code);
}

std::set<UINT> PeerFormats(const TempFolder& folder) {
    std::set<UINT> formats;
    const std::vector<BYTE> text = ReadBytes(folder.File(L"formats.txt"));
    std::string line;
    for (BYTE c : text) {
        if (c == '\n') {
            formats.insert(static_cast<UINT>(std::stoul(line)));
            line.clear();
        } else {
            line += static_cast<char>(c);
        }
    }
    return formats;
}

TEST_F(CommandTest, CopyGivesAnotherProcessTheBitmapAndTheDibWithIdenticalPixels) {
    std::vector<BYTE> storage(sizeof(LOGPALETTE) + 4 * sizeof(PALETTEENTRY));
    auto* logical = reinterpret_cast<LOGPALETTE*>(storage.data());
    logical->palVersion = 0x300;
    logical->palNumEntries = 4;
    logical->palPalEntry[0] = {255, 0, 0, 0};
    logical->palPalEntry[1] = {0, 128, 0, 0};
    logical->palPalEntry[2] = {0, 0, 255, 0};
    logical->palPalEntry[3] = {250, 250, 10, 0};
    Image fourColours{9, 7, {}};
    for (int i = 0; i < 63; ++i) {
        const auto& e = logical->palPalEntry[i % 4];
        fourColours.pixels.push_back((std::uint32_t(e.peRed) << 16) | (std::uint32_t(e.peGreen) << 8) | e.peBlue);
    }
    const Picture plain = BitmapPicture(fourColours, false);
    const struct {
        const wchar_t* caption;
        Picture picture;
        bool palette;
    } cases[] = {
        {L"device bitmap", BitmapPicture(PatternImage(33, 21), false), false},
        {L"DIB section", BitmapPicture(PatternImage(30, 19), true), false},
        {L"with palette",
         PictureOwningBitmap(static_cast<HBITMAP>(CopyImage(plain.Bitmap(), IMAGE_BITMAP, 0, 0, 0)),
                             CreatePalette(logical)),
         true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.caption, c.caption + wcslen(c.caption)));
        AddDocument(c.caption, c.picture);
        ASSERT_EQ(RunPeer(L"puttext earlier"), 0);
        frame->mnuEditCopy_Click();
        EXPECT_TRUE(messages.shown.empty());
        TempFolder folder;
        ASSERT_EQ(RunPeer(L"read \"" + folder.Path() + L"\""), 0);
        const std::set<UINT> formats = PeerFormats(folder);
        EXPECT_TRUE(formats.count(CF_BITMAP));
        EXPECT_TRUE(formats.count(CF_DIB));
        EXPECT_EQ(formats.count(CF_PALETTE) != 0, c.palette);
        EXPECT_FALSE(formats.count(CF_UNICODETEXT)) << "Copy must replace what was there";
        const Image expected = ReadPicture(c.picture);
        const std::vector<BYTE> bitmap = ReadBytes(folder.File(L"bitmap.bin"));
        const std::vector<BYTE> dib = ReadBytes(folder.File(L"dib.bin"));
        ASSERT_FALSE(bitmap.empty()) << "the other process got no bitmap";
        ASSERT_FALSE(dib.empty()) << "the other process got no DIB";
        const ImageDifference viaBitmap = Compare(PackedDibPixels(bitmap.data(), bitmap.size()), expected);
        const ImageDifference viaDib = Compare(PackedDibPixels(dib.data(), dib.size()), expected);
        EXPECT_TRUE(viaBitmap.sameSize && viaDib.sameSize);
        EXPECT_EQ(viaBitmap.differing, 0u);
        EXPECT_EQ(viaDib.differing, 0u);
    }
}

TEST_F(CommandTest, EmptyClearsWhatAnotherProgramPutThereWithOrWithoutDocuments) {
    for (bool withDocument : {false, true}) {
        if (withDocument) AddDocument(L"Nabbet1", BitmapPicture(PatternImage(5, 5), false));
        ASSERT_EQ(RunPeer(L"puttext hello"), 0);
        ASSERT_TRUE(IsClipboardFormatAvailable(CF_UNICODETEXT));
        frame->mnuEditEmpty_Click();
        EXPECT_EQ(CountClipboardFormats(), 0);
        EXPECT_TRUE(messages.shown.empty());
    }
}

TEST_F(CommandTest, CopyWithoutADocumentReportsAndLeavesTheClipboardEmpty) {
    ASSERT_EQ(RunPeer(L"puttext hello"), 0);
    frame->mnuEditCopy_Click();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].title, L"Error");
    EXPECT_EQ(messages.shown[0].text.rfind(L"Error #: 91\r", 0), 0u);
    EXPECT_EQ(CountClipboardFormats(), 0);  // Clear had already run
}

class BusyClipboard final : public IClipboardService {
public:
    void Clear(HWND) override { RaiseError(ErrorNumber::ClipboardError, L"Can't open Clipboard"); }
    void SetData(HWND, const Picture&) override { RaiseError(ErrorNumber::ClipboardError, L"Can't open Clipboard"); }
};

TEST_F(CommandTest, AClipboardHeldByAnotherProgramIsReported) {
    BusyClipboard busy;
    SetClipboardService(&busy);
    AddDocument(L"Nabbet1", BitmapPicture(PatternImage(5, 5), false));
    frame->mnuEditCopy_Click();
    frame->mnuEditEmpty_Click();
    SetClipboardService(nullptr);
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(messages.shown[0].text, ErrorMessageText(521, L"Can't open Clipboard"));
    EXPECT_EQ(messages.shown[1].text, ErrorMessageText(521, L"Can't open Clipboard"));
}

// ---- Close ----

TEST_F(CommandTest, CloseClosesOnlyTheActiveDocumentAndTheNextShowsWhereItWasScrolled) {
    auto first = AddDocument(L"Nabbet1", BitmapPicture(PatternImage(600, 500), false));
    // Scroll the first document away from its corner before another becomes active.
    first->SetScrollValue(first->hsbPic(), 600);
    first->SetScrollValue(first->vsbPic(), 450);
    DoEvents();
    ASSERT_LT(first->picNabbet().Left(), 0.0f);
    auto second = AddDocument(L"Nabbet2", BitmapPicture(PatternImage(20, 20), false));
    ASSERT_EQ(frame->ActiveForm().get(), second.get());

    frame->mnuFileClose_Click();
    DoEvents();
    EXPECT_FALSE(second->IsLoaded());
    EXPECT_TRUE(first->IsLoaded());
    EXPECT_EQ(Forms::Count(), 2);
    EXPECT_EQ(frame->ActiveForm().get(), first.get());
    // Picture and bars agree on the position the user scrolled to.
    EXPECT_EQ(first->picNabbet().Left(), -600.0f);
    EXPECT_EQ(first->picNabbet().Top(), -450.0f);
    EXPECT_EQ(first->hsbPic().Value(), 600);
    EXPECT_EQ(first->vsbPic().Value(), 450);
    // On screen: the viewport's top-left pixel is picture pixel (40, 30).
    UpdateWindow(first->picNabbet().hWnd());
    EXPECT_EQ(ReadClient(first->picScroll().hWnd(), 0, 0, 1, 1).At(0, 0), PatternColour(40, 30));
    EXPECT_TRUE(frame->MenuEnabled(IDM_FILE_CLOSE));
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(CommandTest, ClosingTheLastDocumentDisablesTheDocumentCommands) {
    AddDocument(L"Nabbet1", BitmapPicture(PatternImage(5, 5), false));
    frame->SetAppState();
    ASSERT_TRUE(frame->MenuEnabled(IDM_FILE_SAVE));
    frame->mnuFileClose_Click();
    DoEvents();
    EXPECT_EQ(Forms::Count(), 1);
    for (UINT id : {IDM_FILE_CLOSE, IDM_FILE_SAVE, IDM_FILE_PRINT, IDM_EDIT_COPY}) EXPECT_FALSE(frame->MenuEnabled(id));
    for (const wchar_t* key : {L"Save", L"Print", L"Copy"}) EXPECT_FALSE(frame->ToolbarButtonEnabled(key));
    // With nothing open, Close does nothing and says nothing.
    frame->mnuFileClose_Click();
    EXPECT_EQ(Forms::Count(), 1);
    EXPECT_EQ(frame->PanelText(1), L"Ready");
    EXPECT_TRUE(messages.shown.empty());
}

}  // namespace
