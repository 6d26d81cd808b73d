#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include <windows.h>

#include "platform/pictures/Picture.h"
#include "platform/windows/DocumentForm.h"
#include "platform/controls/PictureBox.h"
#include "platform/controls/ScrollBarControl.h"

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

    // How many times the window has been laid out (Form_Resize): a new document once.
    int Layouts() const noexcept { return layouts_; }

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
    int layouts_ = 0;
    int wheelZoomRemainder_ = 0;  // a precise wheel's part notches towards the next zoom step
};
