// The scrolling capture's costs: finding the overlap of two 1920 x 1000 frames (a move of
// 137 rows under a 40-row header, and a move of 900, the most the search walks); one
// append of 100 rows to a picture as it grows to 1920 x 30,000 (the one that reached
// 30,000 rows, and all of them, with room reserved as a scrolling capture does and without) and one Extend Down step on a 1920 x 30,000 document; and a
// 20-frame scrolling capture of a 1920 x 1080 window of this process (on a thread of its
// own, so that the capture waits for it to paint as for another program), with the share
// of its time spent outside the waits for the window to scroll and paint.
// Prints "figure <name> <median> <min> <max> <runs>" in milliseconds, and the shares.
//   scroll_bench   (on a 1920 x 1080 display: bench/run-scroll-bench.sh)
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include "app/ScrollingCapture.h"
#include "document/DocumentModel.h"
#include "platform/rules/ScrollStitch.h"

namespace {

using Clock = std::chrono::steady_clock;

double Milliseconds(const std::function<void()>& step) {
    const auto start = Clock::now();
    step();
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

void Report(const char* name, std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    const std::size_t n = samples.size();
    const double median = n % 2 ? samples[n / 2] : (samples[n / 2 - 1] + samples[n / 2]) / 2;
    std::printf("figure %s %.3f %.3f %.3f %zu\n", name, median, samples.front(), samples.back(), n);
}

constexpr int kHeader = 40;

std::uint32_t PagePixel(int x, int y) {
    return 0xFF000000u | (static_cast<std::uint32_t>(y) & 0xFFFFu) << 8 | static_cast<std::uint32_t>((x ^ (y * 7)) & 0xFF);
}

// A screen of `height` rows: the fixed header, then the page from row `offset`.
Pixels Screen(int width, int height, int offset) {
    Pixels screen = Pixels::ForOverwrite(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            screen.Row(y)[x] = y < kHeader ? 0xFF203040u + static_cast<std::uint32_t>(x) : PagePixel(x, offset + y - kHeader);
    return screen;
}

FrameView ViewOf(const Pixels& pixels) { return {pixels.Row(0), pixels.Width(), pixels.Height(), pixels.Stride()}; }

void OverlapFigures() {
    const Pixels before = Screen(1920, 1000, 0);
    for (const int move : {137, 900}) {
        const Pixels after = Screen(1920, 1000, move);
        std::vector<double> samples;
        StitchResult result;
        for (int run = 0; run < 15; ++run) samples.push_back(Milliseconds([&] { result = FindOverlap(ViewOf(before), ViewOf(after)); }));
        if (result.outcome != StitchOutcome::Moved || result.move != move || result.header != kHeader)
            std::printf("error: overlap of a %d-row move not found\n", move);
        Report(move == 137 ? "overlap_1920x1000_move137" : "overlap_1920x1000_move900", samples);
    }
}

void AppendFigures() {
    Pixels picture = Screen(1920, 1000, 0);
    picture.ReserveRows(30000);  // as a scrolling capture does
    const Pixels rows = Screen(1920, 100, 5000);
    std::vector<double> samples;
    double last = 0;
    while (picture.Height() < 30000) {
        last = Milliseconds([&] { picture.ReplaceBottomRows(0, rows); });
        samples.push_back(last);
    }
    std::printf("figure append_100_rows_reaching_30000 %.3f %.3f %.3f 1\n", last, last, last);
    Report("append_100_rows_up_to_30000", samples);
    {
        // Without room reserved (a document that Extend Down grows): half again each time.
        Pixels grown = Screen(1920, 1000, 0);
        std::vector<double> growing;
        while (grown.Height() < 30000) growing.push_back(Milliseconds([&] { grown.ReplaceBottomRows(0, rows); }));
        Report("append_100_rows_up_to_30000_unreserved", growing);
    }

    // Extend Down's step on a document of 30,000 rows: the rows in place of a 20-row footer.
    DocumentModel model(std::move(picture));
    std::vector<double> steps;
    for (int run = 0; run < 15; ++run) {
        Pixels extension = Screen(1920, 120, 7000);
        steps.push_back(Milliseconds([&] { model.Do(std::make_unique<AppendRowsOperation>(std::move(extension), 20)); }));
    }
    Report("extend_down_step_on_30000_rows", steps);
    std::printf("rows after the Extend Down steps: %d\n", model.PicturePixels().Height());
}

// A window of the page behind the header, scrolled 100 rows by a notch of the wheel.
int g_offset = 0;

LRESULT CALLBACK PageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint;
        const HDC dc = BeginPaint(window, &paint);
        RECT client;
        GetClientRect(window, &client);
        const Pixels screen = Screen(client.right, client.bottom, g_offset);
        BITMAPINFO info{};
        info.bmiHeader = {sizeof info.bmiHeader, client.right, -client.bottom, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        SetDIBitsToDevice(dc, 0, 0, client.right, client.bottom, 0, 0, 0, client.bottom, screen.Row(0), &info, DIB_RGB_COLORS);
        EndPaint(window, &paint);
        return 0;
    }
    case WM_ERASEBKGND:
        return 1;
    case WM_MOUSEWHEEL:
        g_offset += 100;
        InvalidateRect(window, nullptr, FALSE);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

void ScrollingFigures() {
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    HWND page = nullptr;
    DWORD ownerThread = 0;
    HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::thread owner([&] {
        WNDCLASSW pageClass{};
        pageClass.lpfnWndProc = &PageProc;
        pageClass.hInstance = GetModuleHandleW(nullptr);
        pageClass.lpszClassName = L"ScrollBenchPage";
        RegisterClassW(&pageClass);
        page = CreateWindowExW(WS_EX_TOOLWINDOW, pageClass.lpszClassName, L"page", WS_POPUP | WS_VISIBLE, 0, 0, width,
                               height, nullptr, nullptr, pageClass.hInstance, nullptr);
        UpdateWindow(page);
        ownerThread = GetCurrentThreadId();
        SetEvent(ready);
        MSG message;
        while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
    });
    WaitForSingleObject(ready, INFINITE);
    Sleep(500);
    std::vector<double> totals, outside;
    for (int run = 0; run < 5; ++run) {
        SendMessageW(page, WM_NULL, 0, 0);
        g_offset = 0;
        InvalidateRect(page, nullptr, FALSE);
        Sleep(300);
        // 1 frame, then 19 steps of 100 rows: exactly 20 frames.
        const ScrollRun result = ScrollAndStitch(EdgeRect{0, 0, width, height}, height + 19 * 100);
        if (result.frames != 20 || result.refused || result.picture.Height() != height + 1900)
            std::printf("error: %d frames, %d rows%s\n", result.frames, result.picture.Height(), result.refused ? ", refused" : "");
        totals.push_back(result.totalMs);
        outside.push_back(100.0 * (result.totalMs - result.waitMs) / result.totalMs);
        std::printf("scrolling capture %dx%d, 20 frames: %.1f ms in all, %.1f ms waiting, %.1f %% outside the waits "
                    "(reading the screen %.1f ms, finding the overlaps %.1f ms, setting up %.1f ms, %d frames read again)\n",
                    width, height, result.totalMs, result.waitMs, outside.back(), result.grabMs, result.stitchMs,
                    result.setupMs, result.rereads);
    }
    Report("scrolling_capture_20_frames_ms", totals);
    Report("scrolling_capture_share_outside_waits_percent", outside);
    PostMessageW(page, WM_CLOSE, 0, 0);
    PostThreadMessageW(ownerThread, WM_QUIT, 0, 0);
    owner.join();
    CloseHandle(ready);
}

}  // namespace

int main() {
    OverlapFigures();
    AppendFigures();
    ScrollingFigures();
    return 0;
}
