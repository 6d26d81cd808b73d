#pragma once
#include <windows.h>

#include "platform/Form.h"

// A document window: one image in a scrolling view, a child of the frame.
class frmNabbet final : public Form {
public:
    frmNabbet();
    // Termination: the command state is recomputed once the document is gone.
    ~frmNabbet() override;

protected:
    void CreateFormWindow() override;
    void DestroyFormWindow() override;
    LRESULT DefaultProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
};
