#pragma once
// A borderless top-level window that paints the test pattern, or one colour, with one
// exact block transfer: what the capture and selection tests copy, and what
// pattern_window.exe shows to the end-to-end scenarios.
#include <cstdint>
#include <vector>

#include <windows.h>

#include "Image.h"
#include "Pattern.h"
#include "platform/windows/WindowBase.h"

struct PatternWindowOptions {
    long colour = -1;          // 0x00RRGGBB for one plain colour; below 0, the pattern
    bool topmost = false;      // above ordinary windows
    bool activate = false;     // may take the activation; otherwise never activated
    bool toolWindow = false;   // left out of the taskbar and the Alt+Tab list
    bool show = true;          // shown (without activation) as soon as it is made
    const wchar_t* title = L"Pixelnab test pattern";
    bool quitWhenGone = false;  // posts WM_QUIT when the window is destroyed
};

class PatternWindow final : public WindowBase {
public:
    PatternWindow(int x, int y, int width, int height, const PatternWindowOptions& options = {});
    ~PatternWindow() override;

    // Shows the window, paints it, and waits until the display shows it whole. Without
    // activate it is shown as it is, the active window staying the active one.
    void ShowAndPaint(bool activate = true);
    // Adds a push button child at client (x, y).
    HWND AddButton(int x, int y, int width, int height);
    // Pixels of image (from imageX, imageY) that differ from the pattern (from patternX, patternY).
    int CountDifferences(const Image& image, int imageX, int imageY, int width, int height, int patternX,
                         int patternY) const;

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnWindowGone() override;

private:
    Image image_;
    bool quitWhenGone_;
};
