#pragma once
#include <optional>
#include <functional>
#include <utility>

#include <windows.h>

#include "platform/pictures/Picture.h"
#include "platform/windows/WindowBase.h"

// A picture box: a child window that paints its picture at its own origin. Geometry is
// in twips, as the program's rules set it; the window follows in pixels.
class PictureBox final : public WindowBase {
public:
    // Pixels to paint instead of the picture: 32-bit rows from the top, `stride` pixels
    // apart, of which `area` is shown. The owner keeps the memory alive while it is set.
    struct PixelSource {
        const void* memory = nullptr;
        LONG stride = 0;
        RECT area{};
    };

    const Picture& GetPicture() const noexcept { return picture_; }
    // The box owns the picture from now on; with AutoSize on it takes the picture's size.
    void SetPicture(Picture picture);
    // With AutoSize on the box takes the size of the source's area; no memory: the picture again.
    void SetPixelSource(const PixelSource& source);
    // The size of what the box shows, in pixels of the picture.
    SIZE ContentSize() const;

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
    // Draws over each paint, in the box's pixels (clipped to what is being painted).
    void SetOnPainted(std::function<void(HDC)> handler) { onPainted_ = std::move(handler); }
    // Gives the pixels to paint for a rectangle of the picture instead of the source's own
    // (what is drawn over them), as rows as wide as the rectangle; nullptr: the source's.
    using PixelComposer = std::function<const void*(const RECT& source)>;
    void SetPixelComposer(PixelComposer composer) { composer_ = std::move(composer); }
    // Sees the box's messages first; a handled one returns its result.
    using MessageHook = std::function<bool(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)>;
    void SetMessageHook(MessageHook hook) { hook_ = std::move(hook); }

private:
    void ApplyGeometry();
    void TakePictureSize();
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void Paint();
    // The picture pixels under a paint area (source) and where they land at the zoom (target).
    struct Span {
        RECT source{};
        RECT target{};
    };
    std::optional<Span> SpanUnder(const RECT& area, SIZE source) const;
    void SetStretchMode(HDC dc) const;
    void PaintScaled(HDC dc, HDC memory, const RECT& area, SIZE source);
    void PaintPixels(HDC dc, const RECT& area);

    Picture picture_;
    PixelSource pixels_;
    double zoom_ = 1.0;
    float left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    RECT lastSource_{};
    RECT applied_{};  // the window's position and size (right, bottom) in pixels as last set
    bool autoSize_ = false;
    HBRUSH background_ = nullptr;  // a system colour brush: never deleted
    std::function<void()> onAutoSized_;
    std::function<void(HDC)> onPainted_;
    MessageHook hook_;
    PixelComposer composer_;  // the owner relays out when AutoSize changes the size
};
