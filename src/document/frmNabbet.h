#pragma once
#include <windows.h>

#include "platform/Form.h"
#include "platform/Picture.h"

// The picture box that holds a document's image.
class PictureBox {
public:
    const Picture& GetPicture() const noexcept { return picture_; }
    void SetPicture(Picture picture);
    HWND hWnd() const noexcept { return hwnd_; }

private:
    friend class frmNabbet;
    HWND hwnd_ = nullptr;
    Picture picture_;
};

// A document window: one image in a scrolling view, a child of the frame.
class frmNabbet final : public Form {
public:
    frmNabbet();
    // Termination: the command state is recomputed once the document is gone.
    ~frmNabbet() override;

    PictureBox& picNabbet() noexcept { return picNabbet_; }

protected:
    void CreateFormWindow() override;
    void DestroyFormWindow() override;
    LRESULT DefaultProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    PictureBox picNabbet_;
};
