#pragma once
#include <functional>
#include <utility>

#include <windows.h>

#include "platform/pictures/Picture.h"
#include "platform/windows/WindowBase.h"

// A picture box: a child window that paints its picture at its own origin. Geometry is
// in twips, as the program's rules set it; the window follows in pixels.
class PictureBox final : public WindowBase {
public:
    const Picture& GetPicture() const noexcept { return picture_; }
    // The box owns the picture from now on; with AutoSize on it takes the picture's size.
    void SetPicture(Picture picture);

    float Left() const noexcept { return left_; }
    float Top() const noexcept { return top_; }
    float Width() const noexcept { return width_; }
    float Height() const noexcept { return height_; }
    void Move(float left, float top);
    void SetSize(float width, float height);  // both at once: one move of the window

    bool AutoSize() const noexcept { return autoSize_; }
    void SetAutoSize(bool on);
    void SetBorderStyle(int style);
    // Repaints the whole box now.
    void Refresh();

    // The scale the picture is drawn at (1 = one picture pixel per screen pixel). With
    // AutoSize on the box takes the scaled size.
    double Zoom() const noexcept { return zoom_; }
    void SetZoom(double zoom);

    // The picture pixels the last paint drew from (empty when it drew none): what a paint
    // reads of the picture depends on what is shown, not on the picture's size.
    RECT LastPaintSource() const noexcept { return lastSource_; }

    // Makes the window, width x height twips, as a child of `parent`.
    void Create(HWND parent, float width, float height);
    // Called after AutoSize has given the box a new size, for the owner to relay out.
    void SetOnAutoSized(std::function<void()> handler) { onAutoSized_ = std::move(handler); }

private:
    void ApplyGeometry();
    void TakePictureSize();
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void Paint();
    void PaintScaled(HDC dc, HDC memory, const RECT& area, SIZE source);

    Picture picture_;
    double zoom_ = 1.0;
    float left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    RECT lastSource_{};
    RECT applied_{};  // the window's position and size (right, bottom) in pixels as last set
    bool autoSize_ = false;
    HBRUSH background_ = nullptr;  // a system colour brush: never deleted
    std::function<void()> onAutoSized_;  // the owner relays out when AutoSize changes the size
};
