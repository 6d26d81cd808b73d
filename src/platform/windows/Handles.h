#pragma once
#include <utility>

#include <windows.h>
#include <objbase.h>

// One move-only owner for every kind of handle; each kind names how it is freed.
template <class Handle, class Traits>
class UniqueHandle {
public:
    UniqueHandle() noexcept = default;
    explicit UniqueHandle(Handle handle) noexcept : handle_(handle) {}
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    ~UniqueHandle() { reset(); }

    Handle get() const noexcept { return handle_; }
    explicit operator bool() const noexcept { return handle_ != Handle{}; }
    Handle release() noexcept { return std::exchange(handle_, Handle{}); }
    void reset(Handle handle = Handle{}) noexcept {
        if (handle_ != Handle{}) Traits::Close(handle_);
        handle_ = handle;
    }

private:
    Handle handle_{};
};

struct GdiObjectTraits {
    static void Close(HGDIOBJ object) noexcept { DeleteObject(object); }
};
struct MemoryDcTraits {
    static void Close(HDC dc) noexcept { DeleteDC(dc); }
};
struct IconTraits {
    static void Close(HICON icon) noexcept { DestroyIcon(icon); }
};
struct MenuTraits {
    static void Close(HMENU menu) noexcept { DestroyMenu(menu); }
};
struct KernelHandleTraits {
    static void Close(HANDLE handle) noexcept { CloseHandle(handle); }
};
struct ModuleTraits {
    static void Close(HMODULE module) noexcept { FreeLibrary(module); }
};
struct GlobalMemoryTraits {
    static void Close(HGLOBAL memory) noexcept { GlobalFree(memory); }
};

using unique_hbitmap = UniqueHandle<HBITMAP, GdiObjectTraits>;
using unique_hpen = UniqueHandle<HPEN, GdiObjectTraits>;
using unique_hbrush = UniqueHandle<HBRUSH, GdiObjectTraits>;
using unique_hfont = UniqueHandle<HFONT, GdiObjectTraits>;
using unique_hpalette = UniqueHandle<HPALETTE, GdiObjectTraits>;
using unique_hrgn = UniqueHandle<HRGN, GdiObjectTraits>;
using unique_hdc = UniqueHandle<HDC, MemoryDcTraits>;
using unique_hicon = UniqueHandle<HICON, IconTraits>;
using unique_hmenu = UniqueHandle<HMENU, MenuTraits>;
using unique_handle = UniqueHandle<HANDLE, KernelHandleTraits>;
using unique_hmodule = UniqueHandle<HMODULE, ModuleTraits>;
using unique_hglobal = UniqueHandle<HGLOBAL, GlobalMemoryTraits>;

// A window's device context that remembers its window for ReleaseDC.
class WindowDC {
public:
    WindowDC(HWND window, bool wholeWindow) noexcept
        : window_(window), dc_(wholeWindow ? GetWindowDC(window) : GetDC(window)) {}
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    ~WindowDC() {
        if (dc_ != nullptr) ReleaseDC(window_, dc_);
    }
    HDC get() const noexcept { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// BeginPaint/EndPaint with the PAINTSTRUCT kept.
class PaintDC {
public:
    explicit PaintDC(HWND window) noexcept : window_(window) { dc_ = BeginPaint(window, &paint_); }
    PaintDC(const PaintDC&) = delete;
    PaintDC& operator=(const PaintDC&) = delete;
    ~PaintDC() { EndPaint(window_, &paint_); }
    HDC get() const noexcept { return dc_; }
    const RECT& area() const noexcept { return paint_.rcPaint; }

private:
    HWND window_;
    PAINTSTRUCT paint_{};
    HDC dc_ = nullptr;
};

// Selects an object into a DC and puts the previous one back.
class SelectGuard {
public:
    SelectGuard(HDC dc, HGDIOBJ object) noexcept : dc_(dc), previous_(SelectObject(dc, object)) {}
    SelectGuard(const SelectGuard&) = delete;
    SelectGuard& operator=(const SelectGuard&) = delete;
    ~SelectGuard() {
        if (previous_ != nullptr && previous_ != HGDI_ERROR) SelectObject(dc_, previous_);
    }

private:
    HDC dc_;
    HGDIOBJ previous_;
};

class PaletteGuard {
public:
    PaletteGuard(HDC dc, HPALETTE palette) noexcept : dc_(dc) {
        if (palette != nullptr) {
            previous_ = SelectPalette(dc, palette, FALSE);
            RealizePalette(dc);
        }
    }
    PaletteGuard(const PaletteGuard&) = delete;
    PaletteGuard& operator=(const PaletteGuard&) = delete;
    ~PaletteGuard() {
        if (previous_ != nullptr) SelectPalette(dc_, previous_, FALSE);
    }

private:
    HDC dc_;
    HPALETTE previous_ = nullptr;
};

// A counted COM reference.
template <class T>
class ComPtr {
public:
    ComPtr() noexcept = default;
    ComPtr(std::nullptr_t) noexcept {}
    explicit ComPtr(T* raw, bool addRef = false) noexcept : ptr_(raw) {
        if (addRef && ptr_ != nullptr) ptr_->AddRef();
    }
    ComPtr(const ComPtr& other) noexcept : ptr_(other.ptr_) {
        if (ptr_ != nullptr) ptr_->AddRef();
    }
    ComPtr(ComPtr&& other) noexcept : ptr_(std::exchange(other.ptr_, nullptr)) {}
    ComPtr& operator=(ComPtr other) noexcept {
        std::swap(ptr_, other.ptr_);
        return *this;
    }
    ~ComPtr() { reset(); }

    T* get() const noexcept { return ptr_; }
    T* operator->() const noexcept { return ptr_; }
    explicit operator bool() const noexcept { return ptr_ != nullptr; }
    bool operator==(const ComPtr& other) const noexcept { return ptr_ == other.ptr_; }
    void reset() noexcept {
        if (ptr_ != nullptr) std::exchange(ptr_, nullptr)->Release();
    }
    T** put() noexcept {
        reset();
        return &ptr_;
    }
    void** put_void() noexcept { return reinterpret_cast<void**>(put()); }
    template <class U>
    ComPtr<U> query(REFIID iid) const noexcept {
        ComPtr<U> result;
        if (ptr_ != nullptr) ptr_->QueryInterface(iid, result.put_void());
        return result;
    }

private:
    T* ptr_ = nullptr;
};
