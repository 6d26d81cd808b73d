#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include <windows.h>

#include "platform/pictures/Picture.h"
#include "platform/windows/DocumentForm.h"
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
    void SetWidth(float twips);
    void SetHeight(float twips);

    bool AutoSize() const noexcept { return autoSize_; }
    void SetAutoSize(bool on);
    bool AutoRedraw() const noexcept { return autoRedraw_; }
    void SetAutoRedraw(bool on) noexcept { autoRedraw_ = on; }
    int BorderStyle() const noexcept { return borderStyle_; }
    void SetBorderStyle(int style);
    // Repaints the whole box now.
    void Refresh();

    // The picture's size in twips at its natural size (0 x 0 without one).
    float PictureWidthTwips() const;
    float PictureHeightTwips() const;

    // The scale the picture is drawn at (1 = one picture pixel per screen pixel). With
    // AutoSize on the box takes the scaled size.
    double Zoom() const noexcept { return zoom_; }
    void SetZoom(double zoom);

private:
    friend class frmNabbet;
    void Create(HWND parent, float width, float height);
    void ApplyGeometry();
    void TakePictureSize();
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void Paint();
    void PaintScaled(HDC dc, HDC memory, const RECT& area, SIZE source);

    Picture picture_;
    double zoom_ = 1.0;
    float left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    bool autoSize_ = false;
    bool autoRedraw_ = false;
    int borderStyle_ = 0;
    HBRUSH background_ = nullptr;  // a system colour brush: never deleted
    std::function<void()> onAutoSized_;  // the owner relays out when AutoSize changes the size
};

// A real scroll bar whose Min, Max and Value are in twips. The Win32 bar runs from 0 to
// |Max - Min|; Max may lie below Min, as the layout can give a negative range.
class ScrollBarControl {
public:
    HWND hWnd() const noexcept { return hwnd_; }
    std::int32_t Min() const noexcept { return min_; }
    std::int32_t Max() const noexcept { return max_; }
    std::int32_t Value() const noexcept { return value_; }
    std::int32_t SmallChange() const noexcept { return smallChange_; }
    std::int32_t LargeChange() const noexcept { return largeChange_; }
    float Left() const noexcept { return left_; }
    float Top() const noexcept { return top_; }
    float Width() const noexcept { return width_; }
    float Height() const noexcept { return height_; }
    bool Visible() const noexcept { return visible_; }

private:
    friend class frmNabbet;
    void Create(HWND parent, bool horizontal, float thickness);
    void ApplyGeometry();
    void ApplyRange();
    // The visible extent in twips: the thumb's share of the bar.
    void SetPage(std::int32_t page);
    // The value a scroll code asks for, or the current one when it asks for none.
    std::int32_t RequestedValue(int code) const;
    std::int32_t Clamp(std::int32_t value) const noexcept;

    HWND hwnd_ = nullptr;
    bool horizontal_ = true;
    std::int32_t min_ = 0, max_ = 32767, value_ = 0;
    std::int32_t smallChange_ = 30, largeChange_ = 900;
    std::int32_t page_ = 0;
    float left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    bool visible_ = true;
};

// A document window: one image in a scrolling view, a child of the frame.
class frmNabbet final : public DocumentForm {
public:
    frmNabbet();

    Picture DocumentPicture() const override { return picNabbet_.GetPicture(); }
    void SetDocumentPicture(Picture picture) override { picNabbet_.SetPicture(std::move(picture)); }
    // "3840 x 2160 px  50%", or nothing without a picture.
    std::wstring ViewDescription() const override;

    PictureBox& picNabbet() noexcept { return picNabbet_; }
    PictureBox& picScroll() noexcept { return picScroll_; }
    ScrollBarControl& hsbPic() noexcept { return hsbPic_; }
    ScrollBarControl& vsbPic() noexcept { return vsbPic_; }

    // Event handlers.
    void Form_Activate();
    void Form_Resize();
    void hsbPic_Change();
    void vsbPic_Change();

    // Sets a bar's Value as the user would (clamped to its range); a change runs its handler.
    void SetScrollValue(ScrollBarControl& bar, std::int32_t value);

    // Viewing: each document keeps its own zoom, 100 % when it opens. The anchor is the
    // viewport pixel that stays put; without one the viewport's centre does.
    double Zoom() const noexcept { return picNabbet_.Zoom(); }
    void SetZoom(double zoom);
    void SetZoomAbout(double zoom, POINT anchor);
    void ZoomIn();
    void ZoomOut();
    void ActualSize();
    void FitToWindow();

protected:
    void CreateFormWindow() override;
    void DestroyFormWindow() override;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    LRESULT DefaultProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void CreateControls();
    void OnScroll(ScrollBarControl& bar, int code);
    bool OnKeyDown(WPARAM key);
    void OnWheel(int delta, WPARAM keys, POINT screenPoint, bool tilt);
    // Moves a bar by pixels of the screen (positive: right or down).
    void ScrollByPixels(ScrollBarControl& bar, int pixels);
    POINT ViewportCentre() const;
    void ReportView() const;
    void SetBarMax(ScrollBarControl& bar, std::int32_t max);
    void RunActivation();

    ScrollBarControl hsbPic_;
    ScrollBarControl vsbPic_;
    PictureBox picScroll_;
    PictureBox picNabbet_;
    bool activationPending_ = false;
    bool activated_ = false;  // laid out by its first activation
    int wheelZoomRemainder_ = 0;  // a precise wheel's part notches towards the next zoom step
};
