#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <windows.h>

#include "platform/pictures/Picture.h"
#include "platform/pictures/ScreenCapture.h"
#include "platform/controls/PaintedControls.h"
#include "platform/windows/Form.h"
#include "platform/windows/Handles.h"
#include "select/SelectorGeometry.h"

class IFrameHost;

// Pointer codes of the application-wide mouse pointer.
enum class MousePointerCode { Default = 0, Crosshair = 2, Custom = 99 };

// The rectangle selector: a borderless window over a frozen copy of the whole desktop
// (every monitor), on which the user drags out the band to capture. While no button is down
// the window or control under the pointer is outlined (as the windows stood when the
// screen froze); a click that does not move beyond the drag distance takes it, or the
// monitor where there is none. Shown modally; a left release hides it (confirmed, still
// loaded). Esc, a right click, a key with Ctrl or
// Alt held, a key with Shift held other than an arrow or Enter/Space, and Shift pressed
// and released on its own unload it (cancelled). The arrows move the pointer (by ten
// pixels with Shift); Enter or Space presses the left button where it is, and again
// releases it.
class frmRectangle final : public Form {
public:
    // frame: shown again when the selection is cancelled; none for a selector of its own.
    explicit frmRectangle(IFrameHost* frame = nullptr);
    ~frmRectangle() override;

    // The loupe beside the pointer, read on every move; the capture command sets it from
    // its options (Options > Magnifier) before the selector opens. It changes no result,
    // so it is on unless switched off.
    static inline bool ShowMagnifier = true;

    // The readout and the band.
    PaintedControl lblSelect;
    PaintedControl shpSelect;

    // Mouse buttons (1 left, 2 right, 4 middle) and modifiers (1 Shift, 2 Ctrl, 4 Alt);
    // positions in twips, client coordinates.
    void Form_MouseDown(int Button, int Shift, float X, float Y);
    void Form_MouseMove(int Button, int Shift, float X, float Y);
    void Form_MouseUp(int Button, int Shift, float X, float Y);
    void Form_KeyDown(int KeyCode, int Shift);
    void Form_KeyUp(int KeyCode, int Shift);

    // The band's anchor in twips, from the last press.
    BandAnchor Anchor() const noexcept { return BandAnchor{mlngStartX, mlngStartY}; }
    MousePointerCode MousePointer() const noexcept { return mousePointer_; }
    // The frozen screen the selector shows.
    const Picture& BackgroundPicture() const noexcept { return picture_; }

    // Copies an area of the frozen screen, in pixels, into a new picture of the display's
    // format. This is what the user saw and selected; a hidden window's own device
    // context reads back black where windows are composed off screen (and under Wine).
    Picture CaptureFrozenArea(const PixelRect& area) const;

    // Redraws what the handlers changed: only the old and the new areas of the band's
    // outline, of the readout and of the loupe are painted, each shown on its own.
    void RefreshControls();

    // The loupe for the pointer where it is now, client pixels: its whole rectangle, the
    // enlarged pixels within it, their zoom and its text; visible false when not shown.
    struct LoupeLayout {
        bool visible = false;
        RECT bounds{};
        RECT cells{};
        int zoom = 1;
        int dpi = 96;
        POINT pointer{};
        std::wstring caption;
    };
    LoupeLayout Loupe() const;

protected:
    void CreateFormWindow() override;
    void Form_Load() override;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    struct DrawnState {
        bool visible = false;
        RECT bounds{};
        std::wstring caption;
    };

    void ResetControls();
    void SetMousePointer(MousePointerCode code);
    void FreezeScreen(Picture picture);
    void ReleaseFrozenScreen() noexcept;
    void Paint();
    void PaintArea(HDC target, const RECT& area);
    // The area composed whole in memory and shown in one transfer.
    void PaintComposed(HDC target, const RECT& area);
    void DrawLoupe(HDC dc, const LoupeLayout& loupe);
    HFONT LoupeFont(int dpi);
    // Paints each area and hands it to the display before the next.
    void ShowAreas(const std::vector<EdgeRect>& areas);
    void Cancel();
    void MovePointerBy(int dx, int dy);
    void PressOrReleaseAtPointer();
    SnapResult SnapAt(float x, float y) const;
    TwipsRect BandOf(const EdgeRect& desktopPixels) const;
    void ShowSnap(const SnapResult& snap);

    IFrameHost* frame_;  // outlives the selector: the capture that shows it holds the frame
    std::int32_t mlngStartX = 0;
    std::int32_t mlngStartY = 0;
    MousePointerCode mousePointer_ = MousePointerCode::Default;
    Picture picture_;
    // The screen being read while the window is made ready, and the area it reads.
    std::unique_ptr<DesktopAreaReading> reading_;
    EdgeRect readArea_{};
    unique_hdc frozenDc_;
    HGDIOBJ frozenPrevious_ = nullptr;
    DrawnState drawnBand_;
    DrawnState drawnLabel_;
    HFONT font_ = nullptr;
    POINT pointer_{};
    bool pointerKnown_ = false;
    POINT desktopOrigin_{};
    std::vector<MonitorArea> monitors_;
    EdgeRect desktop_{};
    std::vector<SnapCandidate> snapCandidates_;
    // A left press on the selector, and whether it has since moved beyond the drag
    // distance; a release without that takes what the press snapped to.
    bool pressed_ = false;
    bool dragged_ = false;
    float pressX_ = 0.0f;
    float pressY_ = 0.0f;
    SnapResult pressSnap_;
    LoupeLayout drawnLoupe_;
    unique_hfont loupeFont_;
    int loupeFontDpi_ = 0;
    bool keyboardButton_ = false;
    // Shift went down and nothing else has been pressed since: its release cancels.
    bool shiftAlone_ = false;
    bool rightPressed_ = false;
};

// The outer pixel bounds of a painted control (right and bottom exclusive). The band's
// outline runs along both edges of its extent, one pixel wide each, so it spans one
// pixel more than the band's size; the picture takes the pixels from its left and top
// lines up to, not including, its right and bottom lines.
RECT PaintedPixelBounds(const PaintedControl& control, bool outline) noexcept;
