#pragma once
// Test windows with known pixels, screen and picture readers, and a timer-driven script
// that acts inside a modal display loop without ever blocking the test.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <windows.h>

#include "platform/Picture.h"

namespace selecttest {

// A colour that tells every pixel of a 256 x 256 window apart.
inline COLORREF PatternColour(int x, int y) {
    return RGB(x & 0xFF, y & 0xFF, 0x40 | ((x * 7 + y * 13) & 0x3F));
}

// A top-level popup window painting a fixed image: the pattern above, or one colour.
class TestWindow {
public:
    // colour < 0: the pattern; otherwise a solid colour.
    TestWindow(int x, int y, int width, int height, long colour = -1, bool topmost = false);
    ~TestWindow();
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;
    HWND hWnd() const { return hwnd_; }
    // Adds a push button child at client (x, y).
    HWND AddButton(int x, int y, int width, int height);

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    HWND hwnd_ = nullptr;
    long colour_;
    int width_, height_;
};

struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<COLORREF> data;  // row by row, top-down
    COLORREF At(int x, int y) const { return data[static_cast<std::size_t>(y) * width + x]; }
};

// Lets messages run for a moment so that Wine flushes what windows painted to the X
// screen (it does so when a message loop goes idle, at most every 50 ms).
void Settle();
Pixels ReadScreen(const RECT& area);
Pixels ReadPicture(const Picture& picture);
// Number of pixels that differ between the two (sizes must match; -1 if they do not).
long CountDifferences(const Pixels& a, const Pixels& b);

// Runs one step per timer tick inside whatever message loop is running; a step
// returns true when it is done and the next may follow.
class Script {
public:
    using Step = std::function<bool()>;
    // After about five seconds without finishing, onTimeout runs (it should end the
    // modal display) and the script stops: a stuck step fails the test, never hangs it.
    Script(std::vector<Step> steps, std::function<void()> onTimeout);
    ~Script();
    bool Finished() const { return next_ >= steps_.size(); }
    bool TimedOut() const { return timedOut_; }

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    HWND hwnd_ = nullptr;
    std::vector<Step> steps_;
    std::size_t next_ = 0;
    int ticks_ = 0;
    bool timedOut_ = false;
    std::function<void()> onTimeout_;
};

// The last loaded form of type T, or nullptr.
template <class T>
std::shared_ptr<T> FindLoaded();

// Posts a mouse message to a window at client (x, y) pixels, with the button state.
void PostMouse(HWND window, UINT message, WPARAM keys, int x, int y);

}  // namespace selecttest

#include "platform/Form.h"

template <class T>
std::shared_ptr<T> selecttest::FindLoaded() {
    for (int i = Forms::Count() - 1; i >= 0; --i)
        if (auto form = std::dynamic_pointer_cast<T>(Forms::Item(i))) return form;
    return nullptr;
}
