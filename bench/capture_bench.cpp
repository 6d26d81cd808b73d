// Capture Screen, from the command to the document shown, against a bare block transfer
// of the same screen into a bitmap. Prints the medians of both and their ratio.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include "app/basMain.h"
#include "app/frmMain.h"
#include "capture/basScreen.h"
#include "platform/Form.h"
#include "platform/MessageBoxService.h"
#include "platform/SettingsStore.h"

namespace {

// The benchmark neither reads nor writes the user's settings, and never waits on a message box.
class MemorySettings final : public ISettingsStore {
public:
    std::wstring GetSetting(const std::wstring& application, const std::wstring& section, const std::wstring& key,
                            const std::wstring& defaultValue) override {
        auto it = values_.find({application, section, key});
        return it == values_.end() ? defaultValue : it->second;
    }
    void SaveSetting(const std::wstring& application, const std::wstring& section, const std::wstring& key,
                     const std::wstring& value) override {
        values_[{application, section, key}] = value;
    }

private:
    std::map<std::tuple<std::wstring, std::wstring, std::wstring>, std::wstring> values_;
};

class CountingMessageBox final : public IMessageBoxService {
public:
    int Show(HWND, const std::wstring&, UINT, const std::wstring&) override {
        ++shown;
        return IDOK;
    }
    int shown = 0;
};

double Now() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2.0;
}

// What any screen grab must do at least: one device bitmap, one block transfer.
double BareBlockTransfer(int width, int height) {
    const double start = Now();
    const HWND desktop = GetDesktopWindow();
    const HDC screen = GetWindowDC(desktop);
    const HDC memory = CreateCompatibleDC(screen);
    const HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    const HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
    SelectObject(memory, previous);
    DeleteDC(memory);
    ReleaseDC(desktop, screen);
    GdiFlush();
    const double elapsed = Now() - start;
    DeleteObject(bitmap);
    return elapsed;
}

}  // namespace

int main(int argc, char** argv) {
    // Arguments: the number of runs, then "keep" to leave the frame shown during captures.
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 41;
    const bool keepFrame = argc > 2 && std::string(argv[2]) == "keep";
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES | ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    OleInitialize(nullptr);
    MemorySettings settings;
    CountingMessageBox messages;
    SetSettingsStore(&settings);
    SetMessageBoxService(&messages);
    settings.SaveSetting(L"Pixelnab", L"Main", L"HideCaptureWin", keepFrame ? L"False" : L"True");

    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    std::vector<double> command;
    std::vector<double> bare;
    std::vector<double> engine;
    {
        auto frame = NewForm<frmMain>();
        frame->Load();
        frame->Show();
        DoEvents();
        for (int i = -3; i < runs; ++i) {  // three warm-up rounds
            const double start = Now();
            frame->mnuCaptureScreen_Click();
            DoEvents();  // the new document's activation, layout and first paint
            GdiFlush();
            const double elapsed = Now() - start;
            const double bareElapsed = BareBlockTransfer(width, height);
            const double engineStart = Now();
            {
                const Picture picture = CaptureWholeScreen();
                GdiFlush();
            }
            const double engineElapsed = Now() - engineStart;
            if (i >= 0) {
                command.push_back(elapsed);
                bare.push_back(bareElapsed);
                engine.push_back(engineElapsed);
            }
            frame->mnuWindowCloseAll_Click();
            DoEvents();
        }
        frame->Unload();
    }
    DoEvents();
    const double commandMedian = Median(command);
    const double bareMedian = Median(bare);
    std::printf("screen %dx%d, %d runs, hide option %s\n", width, height, runs, gblnHideCaptureWin ? "on" : "off");
    std::printf("Capture Screen, command to document shown: median %.2f ms\n", commandMedian);
    std::printf("bare screen-to-bitmap BitBlt:              median %.2f ms\n", bareMedian);
    std::printf("CaptureWholeScreen alone:                  median %.2f ms\n", Median(engine));
    std::printf("ratio command / bare: %.2f\n", commandMedian / bareMedian);
    std::printf("error messages: %d, captures counted: %d\n", messages.shown, static_cast<int>(gintCaptureCount));
    SetSettingsStore(nullptr);
    SetMessageBoxService(nullptr);
    OleUninitialize();
    return messages.shown == 0 ? 0 : 1;
}
