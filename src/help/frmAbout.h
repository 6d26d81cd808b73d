#pragma once
#include <string>

#include <windows.h>

#include "platform/controls/PaintedControls.h"
#include "platform/windows/Form.h"
#include "platform/windows/Handles.h"

class IFrameHost;

// The About box: product, version, price, copyright and contact lines, a two-frame
// animated icon, OK and License. Shown modally, owned by the frame.
class frmAbout final : public Form {
public:
    static constexpr UINT kTimerInterval = 1000;  // ms between animation frames

    // frame: lends the box its icon; without one the box loads its own.
    explicit frmAbout(IFrameHost* frame = nullptr);
    ~frmAbout() override;

    void tmrAbout_Timer();
    void cmdOk_Click();
    void cmdLicense_Click();

    const AboutLabel& lblTitle() const noexcept { return lblTitle_; }
    const AboutLabel& lblCopyright() const noexcept { return lblCopyright_; }
    const AboutLabel& lblRights() const noexcept { return lblRights_; }
    const AboutLabel& lblShareware() const noexcept { return lblShareware_; }
    const AboutLabel& lblContact() const noexcept { return lblContact_; }
    const AboutLabel& lblInternet() const noexcept { return lblInternet_; }
    const AboutLabel& lblEmail() const noexcept { return lblEmail_; }
    const AboutImage& imgAbout1() const noexcept { return imgAbout1_; }
    const AboutImage& imgAbout2() const noexcept { return imgAbout2_; }
    HWND cmdOk() const noexcept { return cmdOk_; }
    HWND cmdLicense() const noexcept { return cmdLicense_; }
    // Laid out and drawn at this DPI, with this font (the system's message font for it).
    int CurrentDpi() const noexcept { return dpi_; }
    HFONT Font() const noexcept { return font_.get(); }
    // Where a painted label or image lies, in client pixels at the box's DPI.
    RECT PixelRect(const AboutLabel& label) const;
    RECT PixelRect(const AboutImage& image) const;

protected:
    void CreateFormWindow() override;
    void Form_Load() override;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void SetDesignState();
    void CreateButtons();
    void CenterOnOwner();
    void Paint();
    void OnCommand(UINT id, UINT code, HWND control);
    void MakeDefaultButton(HWND button);
    RECT PixelRect(float left, float top, float width, float height) const;
    // Font, buttons and pictures for dpi_; a WM_DPICHANGED also applies the suggested rectangle.
    void ApplyDpi();
    void OnDpiChanged(int dpi, LPARAM suggestedRect);

    AboutLabel lblTitle_, lblCopyright_, lblRights_, lblShareware_, lblContact_, lblInternet_, lblEmail_;
    AboutLine Line1_;
    AboutImage imgAbout1_, imgAbout2_;
    HWND cmdOk_ = nullptr;
    HWND cmdLicense_ = nullptr;
    HWND focus_ = nullptr;  // the button to give the focus back to on reactivation
    int dpi_ = 96;
    IFrameHost* frame_;  // read only as the box loads, while the frame's Help > About runs

    unique_hicon frame1_;
    unique_hicon frame2_;
    unique_hicon ownIcon_;  // the frame's icon, when no frame is there to lend it
    unique_hfont font_;
};
