#include "PixelCopy.h"
#include "SelectTestSupport.h"

#include "platform/Form.h"

namespace selecttest {

namespace {
constexpr wchar_t kTestWindowClass[] = L"PixelnabSelectTestWindow";
constexpr wchar_t kScriptClass[] = L"PixelnabSelectTestScript";
constexpr UINT_PTR kTimer = 1;

void RegisterOnce(const wchar_t* name, WNDPROC proc) {
    WNDCLASSEXW existing{sizeof existing};
    if (GetClassInfoExW(GetModuleHandleW(nullptr), name, &existing)) return;
    WNDCLASSEXW wc{sizeof wc};
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = name;
    RegisterClassExW(&wc);
}

Pixels ReadBitmap(HDC source, int x, int y, int width, int height) {
    Pixels result;
    result.width = width;
    result.height = height;
    result.data.resize(static_cast<std::size_t>(width) * height);
    const std::vector<std::uint32_t> copied = CopyDcPixels(source, x, y, width, height);
    for (std::size_t i = 0; i < copied.size() && i < result.data.size(); ++i) {
        const std::uint32_t q = copied[i];
        result.data[i] = RGB((q >> 16) & 0xFF, (q >> 8) & 0xFF, q & 0xFF);
    }
    return result;
}

}  // namespace

TestWindow::TestWindow(int x, int y, int width, int height, long colour, bool topmost)
    : colour_(colour), width_(width), height_(height) {
    RegisterOnce(kTestWindowClass, &TestWindow::Proc);
    // Never activated: without a window manager, Wine and the X server can otherwise pass
    // the focus back and forth between two unmanaged windows without end.
    hwnd_ = CreateWindowExW(WS_EX_NOACTIVATE | (topmost ? WS_EX_TOPMOST : 0), kTestWindowClass, L"Select test window",
                            WS_POPUP | WS_CLIPCHILDREN, x, y, width, height, nullptr, nullptr,
                            GetModuleHandleW(nullptr), this);
    ShowWindow(hwnd_, SW_SHOWNOACTIVATE);
    UpdateWindow(hwnd_);
}

TestWindow::~TestWindow() {
    if (hwnd_ != nullptr) DestroyWindow(hwnd_);
}

HWND TestWindow::AddButton(int x, int y, int width, int height) {
    HWND button = CreateWindowExW(0, L"BUTTON", L"Button", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, x, y, width, height,
                                  hwnd_, nullptr, GetModuleHandleW(nullptr), nullptr);
    UpdateWindow(button);
    return button;
}

LRESULT CALLBACK TestWindow::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<TestWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == WM_ERASEBKGND) return 1;
    if (message == WM_PAINT && self != nullptr) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(window, &ps);
        if (self->colour_ >= 0) {
            HBRUSH brush = CreateSolidBrush(static_cast<COLORREF>(self->colour_));
            RECT all{0, 0, self->width_, self->height_};
            FillRect(dc, &all, brush);
            DeleteObject(brush);
        } else {
            std::vector<std::uint32_t> quads(static_cast<std::size_t>(self->width_) * self->height_);
            for (int y = 0; y < self->height_; ++y)
                for (int x = 0; x < self->width_; ++x) {
                    const COLORREF c = PatternColour(x, y);
                    quads[static_cast<std::size_t>(y) * self->width_ + x] =
                        (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
                }
            BITMAPINFO info{};
            info.bmiHeader.biSize = sizeof info.bmiHeader;
            info.bmiHeader.biWidth = self->width_;
            info.bmiHeader.biHeight = -self->height_;
            info.bmiHeader.biPlanes = 1;
            info.bmiHeader.biBitCount = 32;
            SetDIBitsToDevice(dc, 0, 0, self->width_, self->height_, 0, 0, 0, self->height_, quads.data(), &info,
                              DIB_RGB_COLORS);
        }
        EndPaint(window, &ps);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void Settle() {
    const ULONGLONG end = GetTickCount64() + 150;
    do {
        DoEvents();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    } while (GetTickCount64() < end);
    DoEvents();
}

Pixels ReadScreen(const RECT& area) {
    HDC screen = GetDC(nullptr);
    Pixels result = ReadBitmap(screen, area.left, area.top, area.right - area.left, area.bottom - area.top);
    ReleaseDC(nullptr, screen);
    return result;
}

Pixels ReadPicture(const Picture& picture) {
    Pixels result;
    HBITMAP bitmap = picture.Bitmap();
    if (bitmap == nullptr) return result;
    BITMAP info{};
    GetObjectW(bitmap, sizeof info, &info);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(memory, bitmap);
    result = ReadBitmap(memory, 0, 0, info.bmWidth, info.bmHeight);
    SelectObject(memory, old);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return result;
}

long CountDifferences(const Pixels& a, const Pixels& b) {
    if (a.width != b.width || a.height != b.height) return -1;
    long count = 0;
    for (std::size_t i = 0; i < a.data.size(); ++i)
        if (a.data[i] != b.data[i]) ++count;
    return count;
}

Script::Script(std::vector<Step> steps, std::function<void()> onTimeout)
    : steps_(std::move(steps)), onTimeout_(std::move(onTimeout)) {
    RegisterOnce(kScriptClass, &Script::Proc);
    hwnd_ = CreateWindowExW(0, kScriptClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleW(nullptr),
                            nullptr);
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetTimer(hwnd_, kTimer, 20, nullptr);
}

Script::~Script() {
    KillTimer(hwnd_, kTimer);
    DestroyWindow(hwnd_);
}

LRESULT CALLBACK Script::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<Script*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == WM_TIMER && self != nullptr) {
        if (self->next_ < self->steps_.size() && self->steps_[self->next_]()) ++self->next_;
        if (!self->Finished() && ++self->ticks_ > 250) {
            self->timedOut_ = true;
            self->next_ = self->steps_.size();
            if (self->onTimeout_) self->onTimeout_();
        }
        if (self->Finished()) KillTimer(window, kTimer);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void PostMouse(HWND window, UINT message, WPARAM keys, int x, int y) {
    PostMessageW(window, message, keys, MAKELPARAM(x, y));
}

}  // namespace selecttest
