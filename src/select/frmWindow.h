#pragma once
#include <windows.h>

#include "platform/windows/Form.h"
#include "platform/windows/Handles.h"
#include "platform/windows/WindowBase.h"
#include "select/frmRectangle.h"

class frmWindow;

// The picker's icon box: a real child window that shows the drag icon and hands its
// pointer events, in pixels, to the picker's handlers.
class DragIconBox final : public WindowBase {
public:
    explicit DragIconBox(frmWindow& picker) : picker_(picker) {}
    void Create(HWND parent, int x, int y, int width, int height);
    // The drag icon's size in the box, in pixels.
    void SetIconSize(int size) noexcept { iconSize_ = size; }
    // The box's picture: the drag icon, or none.
    bool ShowsIcon() const noexcept { return showsIcon_; }
    void SetShowsIcon(bool shows);

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    frmWindow& picker_;
    bool showsIcon_ = false;
    int iconSize_ = 32;
    LPARAM lastPointer_ = -1;
};

// The window picker: the user drags the icon out of its box over a window; the window
// under the pointer carries an inverted frame, and releasing over it picks it. Shown
// modally; a pick hides it (still loaded) with the window in mlngHwndCaptured.
class frmWindow final : public Form {
public:
    frmWindow();

    // The window under the pointer at the last move of a drag; nullptr: nothing picked.
    HWND mlngHwndCaptured = nullptr;

    // Any button (1 left, 2 right, 4 middle); positions in the box's client pixels.
    void picDrag_MouseDown(int Button, int Shift, float X, float Y);
    void picDrag_MouseMove(int Button, int Shift, float X, float Y);
    void picDrag_MouseUp(int Button, int Shift, float X, float Y);

    HWND picDrag() const noexcept { return picDrag_.hWnd(); }
    bool picDragShowsIcon() const noexcept { return picDrag_.ShowsIcon(); }
    // The window that now carries the inverted frame, or nullptr.
    HWND FramedWindow() const noexcept { return lngHwndLast; }
    MousePointerCode MousePointer() const noexcept { return mousePointer_; }
    // The 32 x 32 two-colour drag cursor, shown in the box and used as the pointer.
    HCURSOR DragIcon() const noexcept { return dragIcon_; }

    // Laid out and drawn at this DPI, the instruction in this font (the system's message
    // font for it), in this rectangle of the client area.
    int CurrentDpi() const noexcept { return dpi_; }
    HFONT Font() const noexcept { return font_.get(); }
    RECT InstructionRect() const;

    static constexpr const wchar_t* kCaption = L"Capture Selected Window";
    static constexpr const wchar_t* kInstruction = L"Drag the selection icon over the desired window and then release.";

protected:
    void CreateFormWindow() override;
    void Form_Load() override;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void SetMousePointer(MousePointerCode code);
    void Paint();
    // Font and icon box for dpi_; a WM_DPICHANGED also applies the suggested rectangle.
    void ApplyDpi();

    HWND lngHwndLast = nullptr;
    MousePointerCode mousePointer_ = MousePointerCode::Default;
    HCURSOR dragIcon_ = nullptr;
    DragIconBox picDrag_{*this};
    int dpi_ = 96;
    unique_hfont font_;
};

// Frames a window by inverting a three-border-wide line just inside its visible outer
// edge; a second call on the unchanged window restores it.
void InvertWindowFrame(HWND window);
