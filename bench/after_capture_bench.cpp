// After Capture's cost on the screen it runs on: Capture Screen from the command to the
// document shown, without and with "Save automatically" as PNG (the file is written
// after, on the writer's thread, and waited for between rounds, untimed, so that no round
// competes with the last one's file); then captures taken back to back, as fast as a
// hotkey repeats, and the files they leave.
// Prints "figure <name> <median> <min> <max> <runs>" lines (milliseconds) and
// "files <written> <complete>".
//   after_capture_bench.exe RUNS FOLDER [BURST]
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include "app/frmMain.h"
#include "platform/services/SettingsStore.h"
#include "platform/windows/Form.h"
#include "platform/windows/MessageBoxService.h"

#include "MemorySettings.h"

namespace {

class CountingMessageBox final : public IMessageBoxService {
public:
    int Show(HWND, const std::wstring& text, UINT, const std::wstring&) override {
        if (shown++ == 0) std::fprintf(stderr, "message: %ls\n", text.c_str());
        return IDOK;
    }
    int shown = 0;
};

double Now() {
    static const LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

void Report(const char* name, std::vector<double> values) {
    if (values.empty()) return;
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    const double median = n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2.0;
    std::printf("figure %s %.3f %.3f %.3f %zu\n", name, median, values.front(), values.back(), n);
    std::fflush(stdout);
}

// Waits until the display has done everything asked of it so far (see pixelnab_bench.cpp).
void SyncDisplay() {
    const HDC screen = GetDC(nullptr);
    GetPixel(screen, 0, 0);
    ReleaseDC(nullptr, screen);
}

std::shared_ptr<frmMain> LoadFrame() {
    auto frame = NewForm<frmMain>();
    frame->Load();
    frame->Show();
    DoEvents();
    return frame;
}

// Capture Screen from the command until the display shows the document.
double TimedCapture(frmMain& frame) {
    DoEvents();
    SyncDisplay();
    const double start = Now();
    frame.mnuCaptureScreen_Click();
    DoEvents();
    GdiFlush();
    SyncDisplay();
    return Now() - start;
}

std::vector<std::wstring> FilesIn(const std::wstring& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found{};
    const HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) names.push_back(found.cFileName);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return names;
}

// A whole PNG: the signature first and the IEND chunk last.
bool CompletePng(const std::wstring& path) {
    std::vector<char> bytes;
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER size{};
    GetFileSizeEx(file, &size);
    bytes.resize(static_cast<std::size_t>(size.QuadPart));
    DWORD read = 0;
    const BOOL ok = ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
    CloseHandle(file);
    if (!ok || read != bytes.size()) return false;
    static const char kSignature[] = "\x89PNG\r\n\x1a\n";
    static const char kEnd[] = "IEND\xae\x42\x60\x82";
    return bytes.size() > 20 && std::memcmp(bytes.data(), kSignature, 8) == 0 &&
           std::memcmp(bytes.data() + bytes.size() - 8, kEnd, 8) == 0;
}

void DeleteFiles(const std::wstring& folder) {
    for (const std::wstring& name : FilesIn(folder)) DeleteFileW((folder + L"\\" + name).c_str());
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 9;
    const std::wstring folder = argc > 2 ? std::wstring(argv[2], argv[2] + std::strlen(argv[2])) : L"";
    const int burst = argc > 3 ? std::max(1, std::atoi(argv[3])) : 20;
    if (folder.empty()) {
        std::fprintf(stderr, "usage: after_capture_bench RUNS FOLDER [BURST]\n");
        return 2;
    }
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES | ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    OleInitialize(nullptr);
    MemorySettings settings;
    CountingMessageBox messages;
    SetSettingsStore(&settings);
    SetMessageBoxService(&messages);
    std::printf("screen %d %d\n", GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    settings.Set(L"AfterCaptureFolder", folder);
    settings.Set(L"AfterCaptureType", L"PNG");
    DeleteFiles(folder);

    // Without and with saving, in two blocks each, alternating, so that both meet the
    // same load on a shared machine; two warm-up captures start each block.
    std::vector<double> plain, saving, written;
    for (int block = 0; block < 4; ++block) {
        const bool save = block % 2 == 1;
        settings.Set(L"AfterCaptureSave", save ? L"True" : L"False");
        auto frame = LoadFrame();
        for (int i = -2; i < (runs + 1) / 2; ++i) {
            const double elapsed = TimedCapture(*frame);
            const double start = Now();
            frame->FinishCaptureWrites();
            const double writing = Now() - start;
            if (i >= 0) {
                (save ? saving : plain).push_back(elapsed);
                if (save) written.push_back(writing);
            }
            frame->mnuWindowCloseAll_Click();
            DoEvents();
        }
        frame->Unload();
        DoEvents();
    }
    Report("capture_screen", plain);
    Report("capture_screen_save_png", saving);
    Report("png_written_after_document", written);
    std::vector<double> ratio;
    if (!plain.empty() && !saving.empty()) {
        std::sort(plain.begin(), plain.end());
        std::sort(saving.begin(), saving.end());
        std::printf("ratio save_png/plain (medians) %.3f\n", saving[saving.size() / 2] / plain[plain.size() / 2]);
    }

    // Captures back to back, as a held hotkey would start them, each the moment the last
    // one's document shows: none waits for a file.
    DeleteFiles(folder);
    settings.Set(L"AfterCaptureSave", L"True");
    {
        auto frame = LoadFrame();
        const double start = Now();
        for (int i = 0; i < burst; ++i) {
            frame->Hotkey_Pressed(0);
            DoEvents();
        }
        const double captured = Now() - start;
        frame->FinishCaptureWrites();
        const double all = Now() - start;
        frame->mnuWindowCloseAll_Click();
        frame->Unload();
        DoEvents();
        int complete = 0;
        const auto names = FilesIn(folder);
        for (const std::wstring& name : names) complete += CompletePng(folder + L"\\" + name) ? 1 : 0;
        std::printf("burst %d captures in %.1f ms, all files written after %.1f ms\n", burst, captured, all);
        std::printf("files %zu %d\n", names.size(), complete);
    }
    std::printf("messages %d\n", messages.shown);
    SetSettingsStore(nullptr);
    SetMessageBoxService(nullptr);
    OleUninitialize();
    return 0;
}
