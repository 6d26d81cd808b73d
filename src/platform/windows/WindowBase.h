#pragma once
#include <memory>

#include <windows.h>

// Base of every window the program implements: a static window procedure finds the
// object (stored at WM_NCCREATE, cleared at WM_NCDESTROY) and hands it each message.
// Nothing thrown by a handler ever reaches user32.
class WindowBase {
public:
    WindowBase() = default;
    WindowBase(const WindowBase&) = delete;
    WindowBase& operator=(const WindowBase&) = delete;
    virtual ~WindowBase();

    HWND hWnd() const noexcept { return hwnd_; }

    // Registers a window class whose procedure is this base's thunk (once per name).
    static void RegisterWindowClass(const wchar_t* className, UINT style, HICON icon, HICON smallIcon,
                                    HCURSOR cursor, HBRUSH background);
    static HINSTANCE ModuleInstance() noexcept;

protected:
    // Creates the window with this object as its owner; an MDI child passes the object
    // through MDICREATESTRUCT's lParam, which the thunk unwraps.
    HWND CreateWindowFor(DWORD exStyle, const wchar_t* className, const wchar_t* title, DWORD style, int x,
                         int y, int width, int height, HWND parent, HMENU menu);

    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    virtual LRESULT DefaultProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    // Called from WM_NCDESTROY after the handle has been forgotten; may release the object.
    virtual void OnWindowGone() {}
    // A reference that keeps the object alive while it handles a message: a handler may run
    // messages (a modal loop, a dialog) during which its own window is closed.
    virtual std::shared_ptr<void> KeepAlive() { return nullptr; }

    HWND hwnd_ = nullptr;

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
};
