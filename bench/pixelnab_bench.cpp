// Timings and memory of the program's heavy paths on the screen it runs on, each beside
// the floor it cannot beat: a bare block transfer of the same screen into a bitmap.
// Prints one line per figure: "figure <name> <median> <min> <max> <runs>" (milliseconds,
// or bytes for memory); bench/bench_table.py puts them into a table with ImageMagick's
// figures for the same file work. Every timing starts once the display has finished what
// came before and, for anything shown, ends once the display shows it (SyncDisplay).
// With PIXELNAB_BENCH_PROFILE set it prints instead where Capture Screen, a zoom step and
// SetAppState spend their time, by window class and message (Profile).
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <functional>
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
#include "document/frmNabbet.h"
#include "platform/services/CommonDialog.h"
#include "platform/services/SettingsStore.h"
#include "platform/windows/Form.h"
#include "platform/windows/MessageBoxService.h"
#include "ProcessResources.h"
#include "select/frmRectangle.h"

#include "MemorySettings.h"

namespace {

// The benchmark never waits on a message box.
class CountingMessageBox final : public IMessageBoxService {
public:
    int Show(HWND, const std::wstring& text, UINT, const std::wstring&) override {
        if (shown++ == 0) std::fprintf(stderr, "message: %ls\n", text.c_str());
        return IDOK;
    }
    int shown = 0;
};

// Open and Save dialogs that confirm the path they were given.
class FixedDialog final : public ICommonDialogService {
public:
    bool ShowOpen(HWND, CommonDialogSettings& settings) override { return Confirm(settings); }
    bool ShowSave(HWND, CommonDialogSettings& settings) override { return Confirm(settings); }
    bool ShowPrinter(HWND, CommonDialogSettings&, HDC&) override { return false; }
    std::wstring path;

private:
    bool Confirm(CommonDialogSettings& settings) {
        settings.FileName = path;
        const auto slash = path.find_last_of(L"\\/");
        settings.FileTitle = slash == std::wstring::npos ? path : path.substr(slash + 1);
        return true;
    }
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
    if (values.empty()) {
        std::printf("figure %s n/a\n", name);
        return;
    }
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    const double median = n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2.0;
    std::printf("figure %s %.3f %.3f %.3f %zu\n", name, median, values.front(), values.back(), n);
    std::fflush(stdout);
}

// Waits until the display has done everything asked of it so far: a one-pixel read of the
// screen goes to the X server after every drawing the program sent it (Wine copies window
// painting to the screen when a message loop goes idle). Every figure starts after one, so
// that it does not pay for the one before, and every figure of something shown ends with
// one, so that it counts until the display shows it.
void SyncDisplay() {
    const HDC screen = GetDC(nullptr);
    GetPixel(screen, 0, 0);
    ReleaseDC(nullptr, screen);
}

// What any screen grab must do at least: one device bitmap, one block transfer.
double BareBlockTransfer(int width, int height) {
    SyncDisplay();
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

// The floor of the whole sequence a capture must run, in a bare program of its own: hide a
// frame, run pending messages once, copy the screen, show the frame, raise it, create one
// MDI child and paint the bitmap into it. Nothing of Pixelnab is used.
struct SequenceFloor {
    HWND frame = nullptr;
    HWND client = nullptr;
    HBITMAP bitmap = nullptr;

    static LRESULT CALLBACK FrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<SequenceFloor*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        return DefFrameProcW(window, self != nullptr ? self->client : nullptr, message, wParam, lParam);
    }
    static LRESULT CALLBACK ChildProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_PAINT) {
            PAINTSTRUCT paint;
            const HDC dc = BeginPaint(window, &paint);
            const auto bitmap = reinterpret_cast<HBITMAP>(GetWindowLongPtrW(window, GWLP_USERDATA));
            const HDC memory = CreateCompatibleDC(dc);
            const HGDIOBJ previous = SelectObject(memory, bitmap);
            BitBlt(dc, paint.rcPaint.left, paint.rcPaint.top, paint.rcPaint.right - paint.rcPaint.left,
                   paint.rcPaint.bottom - paint.rcPaint.top, memory, paint.rcPaint.left, paint.rcPaint.top, SRCCOPY);
            SelectObject(memory, previous);
            DeleteDC(memory);
            EndPaint(window, &paint);
            return 0;
        }
        return DefMDIChildProcW(window, message, wParam, lParam);
    }

    SequenceFloor() {
        const HINSTANCE instance = GetModuleHandleW(nullptr);
        WNDCLASSW frameClass{};
        frameClass.lpfnWndProc = &FrameProc;
        frameClass.hInstance = instance;
        frameClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        frameClass.lpszClassName = L"BenchFloorFrame";
        RegisterClassW(&frameClass);
        WNDCLASSW childClass{};
        childClass.lpfnWndProc = &ChildProc;
        childClass.hInstance = instance;
        childClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        childClass.lpszClassName = L"BenchFloorChild";
        RegisterClassW(&childClass);
        frame = CreateWindowExW(0, L"BenchFloorFrame", L"Floor", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 100, 100, 500,
                                430, nullptr, nullptr, instance, nullptr);
        CLIENTCREATESTRUCT create{nullptr, 50000};
        client = CreateWindowExW(WS_EX_CLIENTEDGE, L"MDICLIENT", nullptr, WS_CHILD | WS_CLIPCHILDREN | WS_VISIBLE, 0, 0,
                                 480, 380, frame, nullptr, instance, &create);
        SetWindowLongPtrW(frame, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        ShowWindow(frame, SW_SHOW);
        UpdateWindow(frame);
    }
    ~SequenceFloor() { DestroyWindow(frame); }

    // Between runs, unmeasured.
    void SetShown(bool shown) {
        ShowWindow(frame, shown ? SW_SHOW : SW_HIDE);
        RunPendingOnce();
    }

    static void RunPendingOnce() {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }

    // One capture's worth of fixed window work around the copy; returns milliseconds.
    double Run(int width, int height) {
        SyncDisplay();
        const double start = Now();
        ShowWindow(frame, SW_HIDE);
        RunPendingOnce();
        const HWND desktop = GetDesktopWindow();
        const HDC screen = GetWindowDC(desktop);
        const HDC memory = CreateCompatibleDC(screen);
        bitmap = CreateCompatibleBitmap(screen, width, height);
        const HGDIOBJ previous = SelectObject(memory, bitmap);
        BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
        SelectObject(memory, previous);
        DeleteDC(memory);
        ReleaseDC(desktop, screen);
        ShowWindow(frame, SW_SHOW);
        SetWindowPos(frame, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        SetWindowPos(frame, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        const HWND child = CreateMDIWindowW(L"BenchFloorChild", L"Capture", WS_VISIBLE | WS_OVERLAPPEDWINDOW,
                                            CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, client,
                                            GetModuleHandleW(nullptr), 0);
        SetWindowLongPtrW(child, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(bitmap));
        InvalidateRect(child, nullptr, FALSE);
        UpdateWindow(child);
        RunPendingOnce();
        GdiFlush();
        SyncDisplay();
        const double elapsed = Now() - start;
        SendMessageW(client, WM_MDIDESTROY, reinterpret_cast<WPARAM>(child), 0);
        DeleteObject(bitmap);
        bitmap = nullptr;
        RunPendingOnce();
        return elapsed;
    }
};

std::shared_ptr<frmNabbet> ActiveDocument(frmMain& frame) {
    return std::dynamic_pointer_cast<frmNabbet>(frame.ActiveForm());
}

// Paints whatever of the document is invalid (picture, bars, background) and waits until
// the display shows it.
void ShowPainted(frmNabbet& document) {
    RedrawWindow(document.hWnd(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    DoEvents();
    GdiFlush();
    SyncDisplay();
}

// The moment the rectangle selector has painted its frozen screen: the selector's window
// is subclassed as it is created; when its first WM_PAINT returns the time is noted and a
// cancel is posted, to be handled once back in the modal loop.
double g_selectorShown = 0.0;
HHOOK g_hook = nullptr;
WNDPROC g_selectorProc = nullptr;
constexpr UINT kCancelSelector = WM_APP + 0x77;
HWND g_helper = nullptr;

LRESULT CALLBACK SelectorSpy(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const LRESULT result = CallWindowProcW(g_selectorProc, window, message, wParam, lParam);
    if (message == WM_PAINT && g_selectorShown == 0.0 && IsWindowVisible(window)) {
        GdiFlush();
        g_selectorShown = Now();
        PostMessageW(g_helper, kCancelSelector, 0, 0);
    }
    return result;
}

LRESULT CALLBACK WatchCreation(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND) {
        const HWND window = reinterpret_cast<HWND>(wParam);
        wchar_t name[64]{};
        GetClassNameW(window, name, 64);
        if (std::wcscmp(name, L"PixelnabRectangle") == 0)
            g_selectorProc = reinterpret_cast<WNDPROC>(
                SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SelectorSpy)));
    }
    return CallNextHookEx(g_hook, code, wParam, lParam);
}

// A message-only window that cancels the open selector when asked.
LRESULT CALLBACK HelperProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // WM_TIMER: a watchdog, should the selector never paint.
    if (message != kCancelSelector && message != WM_TIMER) return DefWindowProcW(window, message, wParam, lParam);
    KillTimer(window, 1);
    for (int i = 0; i < Forms::Count(); ++i)
        if (auto selector = std::dynamic_pointer_cast<frmRectangle>(Forms::Item(i)))
            selector->Form_KeyDown(VK_ESCAPE, 0);  // Esc: cancel
    return 0;
}

// Profile mode (PIXELNAB_BENCH_PROFILE set): every window the program makes is subclassed
// as it is created, and each message's own time (less the messages it sends on) is summed
// by window class and message while a measured step runs: where a capture, a zoom step and
// SetAppState spend their time. Printed to standard error instead of the figures.
struct ProfileEntry {
    int count = 0;
    double self = 0.0;
};
std::map<std::pair<std::wstring, UINT>, ProfileEntry> g_profile;
std::map<HWND, WNDPROC> g_profiledProcs;
bool g_profiling = false;
std::vector<double> g_nestedTime;  // per nesting level: time spent in messages sent from it
HHOOK g_profileHook = nullptr;

LRESULT CALLBACK ProfileSpy(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const auto found = g_profiledProcs.find(window);
    if (found == g_profiledProcs.end()) return DefWindowProcW(window, message, wParam, lParam);
    const WNDPROC original = found->second;
    if (message == WM_NCDESTROY) g_profiledProcs.erase(found);
    if (!g_profiling) return CallWindowProcW(original, window, message, wParam, lParam);
    g_nestedTime.push_back(0.0);
    const double start = Now();
    const LRESULT result = CallWindowProcW(original, window, message, wParam, lParam);
    const double elapsed = Now() - start;
    const double nested = g_nestedTime.back();
    g_nestedTime.pop_back();
    if (!g_nestedTime.empty()) g_nestedTime.back() += elapsed;
    wchar_t name[64]{};
    GetClassNameW(window, name, 64);
    ProfileEntry& entry = g_profile[{name, message}];
    ++entry.count;
    entry.self += elapsed - nested;
    return result;
}

LRESULT CALLBACK ProfileCreation(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND) {
        const HWND window = reinterpret_cast<HWND>(wParam);
        g_profiledProcs[window] = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ProfileSpy)));
    }
    return CallNextHookEx(g_profileHook, code, wParam, lParam);
}

void PrintProfile(const char* what, int runs, double total) {
    std::vector<std::pair<double, std::string>> rows;
    double inMessages = 0.0;
    for (const auto& [key, entry] : g_profile) {
        char line[200];
        std::snprintf(line, sizeof line, "  %-22ls message %04x %6.2f per run %8.3f ms per run", key.first.c_str(),
                      key.second, static_cast<double>(entry.count) / runs, entry.self / runs);
        rows.emplace_back(entry.self, line);
        inMessages += entry.self;
    }
    std::sort(rows.rbegin(), rows.rend());
    std::fprintf(stderr, "profile %s: %.2f ms per run, of which %.2f ms in window procedures\n", what, total / runs,
                 inMessages / runs);
    for (std::size_t i = 0; i < rows.size() && i < 20; ++i) std::fprintf(stderr, "%s\n", rows[i].second.c_str());
    g_profile.clear();
}

// Runs step `runs` times (after two unmeasured rounds) with the profile on; `between`
// runs after each, unmeasured.
void ProfileSteps(const char* what, int runs, const std::function<void()>& step, const std::function<void()>& between) {
    double total = 0.0;
    for (int i = -2; i < runs; ++i) {
        DoEvents();
        SyncDisplay();
        g_profiling = i >= 0;
        const double start = Now();
        step();
        if (i >= 0) total += Now() - start;
        g_profiling = false;
        between();
    }
    PrintProfile(what, runs, total);
}

void Profile(frmMain& frame, int runs) {
    const auto settle = [] {
        DoEvents();
        GdiFlush();
        SyncDisplay();
    };
    ProfileSteps(
        "Capture Screen", runs,
        [&] {
            frame.mnuCaptureScreen_Click();
            settle();
        },
        [&] {
            frame.mnuWindowCloseAll_Click();
            DoEvents();
        });
    frame.mnuCaptureScreen_Click();
    DoEvents();
    if (auto document = ActiveDocument(frame)) {
        bool out = true;
        ProfileSteps(
            "zoom step", 2 * runs,
            [&] {
                if (out) {
                    document->ZoomOut();
                } else {
                    document->ZoomIn();
                }
                out = !out;
                ShowPainted(*document);
            },
            [] {});
        ProfileSteps("SetAppState, nothing changed", 2 * runs, [&] { frame.SetAppState(); }, [] {});
    }
    frame.mnuWindowCloseAll_Click();
    DoEvents();
}
}  // namespace

int main(int argc, char** argv) {
    // Arguments: runs, then the BMP and JPEG files to open and a folder to save into (optional).
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 11;
    const std::wstring bmpPath = argc > 2 ? std::wstring(argv[2], argv[2] + std::strlen(argv[2])) : L"";
    const std::wstring jpegPath = argc > 3 ? std::wstring(argv[3], argv[3] + std::strlen(argv[3])) : L"";
    const std::wstring saveFolder = argc > 4 ? std::wstring(argv[4], argv[4] + std::strlen(argv[4])) : L"";
    const int documentsForMemory = argc > 5 ? std::max(1, std::atoi(argv[5])) : 4;

    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES | ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    OleInitialize(nullptr);
    MemorySettings settings;
    CountingMessageBox messages;
    FixedDialog dialog;
    SetSettingsStore(&settings);
    SetMessageBoxService(&messages);
    SetCommonDialogService(&dialog);

    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    std::printf("screen %d %d\n", width, height);
    const bool profile = std::getenv("PIXELNAB_BENCH_PROFILE") != nullptr;
    if (profile) g_profileHook = SetWindowsHookExW(WH_CBT, &ProfileCreation, nullptr, GetCurrentThreadId());
    std::vector<double> floor, capture, engine, captureShown, selector, selectorMoveLoupe, selectorMovePlain, openBmp, openJpeg, saveBmp,
        layoutScroll;
    std::vector<double> sequenceFloor, scrollStep, zoomStep, dragStep, crop, undo, redo, present;
    {
        auto frame = NewForm<frmMain>();
        frame->Load();
        frame->Show();
        DoEvents();
        std::printf("hide option %s\n", gblnHideCaptureWin ? "on" : "off");
        if (profile) {
            Profile(*frame, runs);
            frame->Unload();
            DoEvents();
            UnhookWindowsHookEx(g_profileHook);
            OleUninitialize();
            return 0;
        }

        // Capture Screen, from the command to the document shown and painted, the bare copy
        // and the sequence floor in turn, round by round, so that all three meet the same
        // load on a shared machine. Each sequence starts with its own frame shown and the
        // other frame hidden, so that both see the same desktop and hiding a frame hands
        // the activation to no other window of the run.
        {
            SequenceFloor bare;
            for (int i = -2; i < runs; ++i) {  // two warm-up rounds
                bare.SetShown(false);
                frame->SetVisible(true);
                DoEvents();
                SyncDisplay();
                const double start = Now();
                frame->mnuCaptureScreen_Click();
                DoEvents();
                GdiFlush();
                SyncDisplay();
                const double elapsed = Now() - start;
                const double copy = BareBlockTransfer(width, height);
                frame->mnuWindowCloseAll_Click();
                frame->SetVisible(false);
                DoEvents();
                bare.SetShown(true);
                const double sequence = bare.Run(width, height);
                if (i >= 0) {
                    capture.push_back(elapsed);
                    floor.push_back(copy);
                    sequenceFloor.push_back(sequence);
                }
            }
        }
        frame->SetVisible(true);
        DoEvents();

        // Where the command's time goes: the capture engine alone, and the command with the
        // frame left shown (no hiding and showing of the frame around the capture).
        for (int i = -1; i < runs; ++i) {
            SyncDisplay();
            const double start = Now();
            {
                const Picture picture = CaptureWholeScreen();
                GdiFlush();
            }
            if (i >= 0) engine.push_back(Now() - start);
        }
        const bool hide = gblnHideCaptureWin;
        gblnHideCaptureWin = false;
        for (int i = -1; i < runs; ++i) {
            SyncDisplay();
            const double start = Now();
            frame->mnuCaptureScreen_Click();
            DoEvents();
            GdiFlush();
            SyncDisplay();
            if (i >= 0) captureShown.push_back(Now() - start);
            frame->mnuWindowCloseAll_Click();
            DoEvents();
        }
        gblnHideCaptureWin = hide;

        // One layout and one scroll step of a document of the screen's size.
        frame->mnuCaptureScreen_Click();
        DoEvents();
        if (auto document = ActiveDocument(*frame)) {
            for (int i = -2; i < runs; ++i) {
                auto& bar = document->vsbPic();
                DoEvents();
                SyncDisplay();
                const double start = Now();
                document->Form_Resize();
                document->SetScrollValue(bar, bar.Value() == 0 ? bar.LargeChange() : 0);
                ShowPainted(*document);
                if (i >= 0) layoutScroll.push_back(Now() - start);
            }
        }

        // One scroll step (a wheel notch's 900 twips) and one zoom step (100 % <-> 75 %) of a
        // document of the screen's size, each until what changed (the picture's exposed
        // part, the bars) is painted and shown.
        if (auto document = ActiveDocument(*frame)) {
            auto& bar = document->vsbPic();
            for (int i = -2; i < 2 * runs; ++i) {
                DoEvents();
                SyncDisplay();
                const double start = Now();
                document->SetScrollValue(bar, (i % 2) == 0 ? bar.Value() + 900 : bar.Value() - 900);
                ShowPainted(*document);
                if (i >= 0) scrollStep.push_back(Now() - start);
            }
            for (int i = -2; i < 2 * runs; ++i) {
                DoEvents();
                SyncDisplay();
                const double start = Now();
                if ((i % 2) == 0) {
                    document->ZoomOut();
                } else {
                    document->ZoomIn();
                }
                ShowPainted(*document);
                if (i >= 0) zoomStep.push_back(Now() - start);
            }
            // A selection drag step: the pointer moves one pixel, until the outline is shown;
            // then crop to it, undo and redo, each until shown.
            document->ActualSize();
            const HWND box = document->picNabbet().hWnd();
            PostMessageW(box, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 20));
            DoEvents();
            for (int i = -2; i < 2 * runs; ++i) {
                SyncDisplay();
                const int edge = 400 + (i % 2 == 0 ? 1 : 0);
                const double start = Now();
                SendMessageW(box, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(edge, edge));
                ShowPainted(*document);
                if (i >= 0) dragStep.push_back(Now() - start);
            }
            PostMessageW(box, WM_LBUTTONUP, 0, MAKELPARAM(400, 400));
            DoEvents();
            for (int i = -1; i < runs; ++i) {
                const auto timed = [&](void (frmMain::*command)(), std::vector<double>& figure) {
                    SyncDisplay();
                    const double start = Now();
                    ((*frame).*command)();
                    ShowPainted(*document);
                    if (i >= 0) figure.push_back(Now() - start);
                };
                timed(&frmMain::mnuEditCrop_Click, crop);
                timed(&frmMain::mnuEditUndo_Click, undo);
                timed(&frmMain::mnuEditRedo_Click, redo);
                frame->mnuEditUndo_Click();
            }
        }
        frame->mnuWindowCloseAll_Click();
        DoEvents();

        // The rectangle selector, from the command to its frozen screen painted.
        WNDCLASSW helperClass{};
        helperClass.lpfnWndProc = &HelperProc;
        helperClass.hInstance = GetModuleHandleW(nullptr);
        helperClass.lpszClassName = L"PixelnabBenchHelper";
        RegisterClassW(&helperClass);
        g_helper = CreateWindowExW(0, helperClass.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                   helperClass.hInstance, nullptr);
        g_hook = SetWindowsHookExW(WH_CBT, &WatchCreation, nullptr, GetCurrentThreadId());
        for (int i = -2; i < runs && g_hook != nullptr; ++i) {
            g_selectorShown = 0.0;
            SetTimer(g_helper, 1, 60000, nullptr);
            const double start = Now();
            frame->mnuCaptureRectangle_Click();
            DoEvents();
            if (i >= 0 && g_selectorShown > 0.0) selector.push_back(g_selectorShown - start);
        }
        if (g_hook != nullptr) UnhookWindowsHookEx(g_hook);

        // One pointer move of a drag over the selector, from the move to the display showing
        // it: near the far corner, so the band spans nearly the whole screen; with the loupe
        // on the pointer and without it. The frame is hidden meanwhile, as a capture with the
        // hide option hides it: with a frame shown and enabled beside the selector, Wine
        // without a window manager was seen (at 7680 x 4320) handing the activation between
        // the two without end.
        frame->SetVisible(false);
        DoEvents();
        for (const bool loupe : {false, true}) {
            frmRectangle::ShowMagnifier = loupe;
            std::vector<double>& selectorMove = loupe ? selectorMoveLoupe : selectorMovePlain;
            auto rectangle = NewForm<frmRectangle>();
            rectangle->Show();
            DoEvents();
            const HWND window = rectangle->hWnd();
            // Near the far corner of the monitor furthest right, so that on two monitors the
            // band spans both (the selector's pixels start at the desktop's top-left corner).
            const int desktopLeft = GetSystemMetrics(SM_XVIRTUALSCREEN);
            const int desktopTop = GetSystemMetrics(SM_YVIRTUALSCREEN);
            MONITORINFO rightmost{};
            rightmost.cbSize = sizeof rightmost;
            GetMonitorInfoW(MonitorFromPoint(POINT{desktopLeft + GetSystemMetrics(SM_CXVIRTUALSCREEN) - 1, 0},
                                             MONITOR_DEFAULTTONEAREST),
                            &rightmost);
            const int farX = rightmost.rcMonitor.right - desktopLeft - 300;
            const int farY = rightmost.rcMonitor.bottom - desktopTop - 200;
            SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
            for (int i = -2; i < 10 * runs; ++i) {
                const int step = (i + 2) % 40;
                SyncDisplay();
                const double start = Now();
                SendMessageW(window, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(farX + step * 6, farY + step * 4));
                UpdateWindow(window);
                SyncDisplay();
                if (i >= 0) selectorMove.push_back(Now() - start);
            }
            rectangle->Unload();
            DoEvents();
        }
        frmRectangle::ShowMagnifier = true;
        frame->SetVisible(true);
        DoEvents();

        // One full-screen present: a screen-sized picture in memory put on a window over the
        // whole desktop, until the display shows it (what the selector's first paint must do
        // at least, besides the screen copy).
        {
            const int left = GetSystemMetrics(SM_XVIRTUALSCREEN);
            const int top = GetSystemMetrics(SM_YVIRTUALSCREEN);
            const int desktopWidth = GetSystemMetrics(SM_CXVIRTUALSCREEN);
            const int desktopHeight = GetSystemMetrics(SM_CYVIRTUALSCREEN);
            const HWND cover = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, helperClass.lpszClassName, L"",
                                               WS_POPUP, left, top, desktopWidth, desktopHeight, nullptr, nullptr,
                                               helperClass.hInstance, nullptr);
            const HDC screen = GetDC(nullptr);
            const HDC memory = CreateCompatibleDC(screen);
            const HBITMAP bitmap = CreateCompatibleBitmap(screen, desktopWidth, desktopHeight);
            const HGDIOBJ previous = SelectObject(memory, bitmap);
            BitBlt(memory, 0, 0, desktopWidth, desktopHeight, screen, left, top, SRCCOPY);
            ReleaseDC(nullptr, screen);
            ShowWindow(cover, SW_SHOWNOACTIVATE);
            DoEvents();
            for (int i = -2; i < runs && cover != nullptr; ++i) {
                PatBlt(memory, i & 1, 0, 1, 1, DSTINVERT);  // a picture that differs each time
                SyncDisplay();
                const double start = Now();
                const HDC target = GetDC(cover);
                BitBlt(target, 0, 0, desktopWidth, desktopHeight, memory, 0, 0, SRCCOPY);
                ReleaseDC(cover, target);
                GdiFlush();
                MSG none;
                PeekMessageW(&none, cover, 0xBFFE, 0xBFFE, PM_NOREMOVE);
                SyncDisplay();
                if (i >= 0) present.push_back(Now() - start);
            }
            SelectObject(memory, previous);
            DeleteObject(bitmap);
            DeleteDC(memory);
            if (cover != nullptr) DestroyWindow(cover);
            DoEvents();
        }

        // Open (BMP, JPEG): from the command to the document shown and painted; Save as BMP.
        const auto timeOpen = [&](const std::wstring& path, std::vector<double>& into) {
            if (path.empty()) return;
            dialog.path = path;
            for (int i = -1; i < runs; ++i) {
                const double start = Now();
                frame->mnuFileOpen_Click();
                DoEvents();
                GdiFlush();
                const double elapsed = Now() - start;
                if (i >= 0) into.push_back(elapsed);
                if (i < runs - 1 || saveFolder.empty() || &into != &openBmp) {
                    frame->mnuWindowCloseAll_Click();
                    DoEvents();
                }
            }
        };
        timeOpen(jpegPath, openJpeg);
        timeOpen(bmpPath, openBmp);
        if (!saveFolder.empty() && !bmpPath.empty() && ActiveDocument(*frame)) {
            dialog.path = saveFolder + L"\\bench-save.bmp";
            for (int i = -1; i < runs; ++i) {
                const double start = Now();
                frame->mnuFileSave_Click();
                const double elapsed = Now() - start;
                if (i >= 0) saveBmp.push_back(elapsed);
            }
            DeleteFileW(dialog.path.c_str());
        }
        frame->mnuWindowCloseAll_Click();
        DoEvents();

        // Private memory per open document of the screen's size.
        const std::uint64_t before = ReadPrivateBytes();
        for (int i = 0; i < documentsForMemory; ++i) {
            frame->mnuCaptureScreen_Click();
            DoEvents();
        }
        const std::uint64_t after = ReadPrivateBytes();
        std::printf("figure memory_per_document %.0f %.0f %.0f %d\n",
                    static_cast<double>(after - before) / documentsForMemory,
                    static_cast<double>(after - before) / documentsForMemory,
                    static_cast<double>(after - before) / documentsForMemory, documentsForMemory);
        frame->mnuWindowCloseAll_Click();
        DoEvents();
        frame->Unload();
    }
    DoEvents();
    Report("floor", floor);
    Report("capture", capture);
    Report("sequence_floor", sequenceFloor);
    Report("scroll_step", scrollStep);
    Report("zoom_step", zoomStep);
    Report("selection_drag_step", dragStep);
    Report("crop", crop);
    Report("undo", undo);
    Report("redo", redo);
    Report("capture_engine", engine);
    Report("capture_frame_shown", captureShown);
    Report("selector", selector);
    Report("selector_move", selectorMoveLoupe);
    Report("selector_move_plain", selectorMovePlain);
    Report("present", present);
    Report("layout_scroll", layoutScroll);
    Report("open_bmp", openBmp);
    Report("open_jpeg", openJpeg);
    Report("save_bmp", saveBmp);
    std::printf("messages %d\n", messages.shown);
    SetCommonDialogService(nullptr);
    SetSettingsStore(nullptr);
    SetMessageBoxService(nullptr);
    OleUninitialize();
    return 0;
}
