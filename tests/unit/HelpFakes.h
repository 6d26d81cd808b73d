#pragma once
// The recording help viewer, a step runner for modal windows, and screen-pixel helpers.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include <windows.h>

#include "PixelCopy.h"
#include "platform/HelpViewer.h"

struct HelpCall {
    HWND owner;
    std::string path;
    UINT command;
    bool dataIsAddress;      // the data argument pointed somewhere
    std::int32_t dataValue;  // the 32-bit value it pointed to, read during the call
};

class RecordingHelpViewer final : public IHelpViewer {
public:
    HWND Open(HWND owner, const std::string& path, UINT command, DWORD_PTR data) override {
        const bool isAddress = data != 0;
        calls.push_back({owner, path, command, isAddress,
                         isAddress ? *reinterpret_cast<const std::int32_t*>(data) : -1});
        return nullptr;
    }
    std::vector<HelpCall> calls;
};

// Runs a step from inside whatever message loop is running when its posted message
// arrives: the way a test acts on a modal window before ShowModal returns.
class PostedStep {
public:
    PostedStep() {
        static const wchar_t kClass[] = L"PixelnabTestStep";
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = &PostedStep::Proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = kClass;
        RegisterClassExW(&wc);  // fails harmlessly once registered
        window_ = CreateWindowExW(0, kClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
        SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    PostedStep(const PostedStep&) = delete;
    PostedStep& operator=(const PostedStep&) = delete;
    ~PostedStep() { DestroyWindow(window_); }

    // Queues the steps; each runs when its message comes out of the queue.
    void Post(std::function<void()> step) {
        steps_.push_back(std::move(step));
        PostMessageW(window_, WM_APP, steps_.size() - 1, 0);
    }
    int ran = 0;

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<PostedStep*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (message == WM_APP && self != nullptr && wParam < self->steps_.size()) {
            ++self->ran;
            self->steps_[wParam]();
            return 0;
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }
    HWND window_ = nullptr;
    std::vector<std::function<void()>> steps_;
};

// Pixels as 0x00RRGGBB, row by row.
using PixelBlock = std::vector<std::uint32_t>;

inline PixelBlock ReadPixels(HDC source, int x, int y, int width, int height) {
    return CopyDcPixels(source, x, y, width, height);
}

// What the display shows in a window's client area, at client coordinates.
inline PixelBlock ScreenPixels(HWND window, int x, int y, int width, int height) {
    POINT origin{x, y};
    ClientToScreen(window, &origin);
    HDC screen = GetDC(nullptr);
    PixelBlock block = ReadPixels(screen, origin.x, origin.y, width, height);
    ReleaseDC(nullptr, screen);
    return block;
}

// An icon drawn on a plain background, as a window would paint it.
inline PixelBlock IconPixels(HICON icon, int size, COLORREF background) {
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, size, size);
    HGDIOBJ old = SelectObject(memory, bitmap);
    RECT all{0, 0, size, size};
    HBRUSH brush = CreateSolidBrush(background);
    FillRect(memory, &all, brush);
    DeleteObject(brush);
    DrawIconEx(memory, 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
    PixelBlock block = ReadPixels(memory, 0, 0, size, size);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return block;
}

// Wine copies a window's painting to the display a little later: waits up to a second,
// letting messages run, for a 32 x 32 block of the client area to show the expected pixels.
inline bool ScreenShowsSoon(HWND window, int x, int y, const PixelBlock& expected) {
    UpdateWindow(window);
    const DWORD start = GetTickCount();
    for (;;) {
        if (ScreenPixels(window, x, y, 32, 32) == expected) return true;
        if (GetTickCount() - start > 1000) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        MSG message{};
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
}
