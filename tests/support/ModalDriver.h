#pragma once
// Acting inside a modal display loop without ever blocking the test: a message-only
// window whose messages run steps from inside whatever message loop is running.
#include <cstddef>
#include <functional>
#include <vector>

#include <windows.h>

class ModalDriver {
public:
    using Step = std::function<bool()>;

    ModalDriver();
    // Runs one step per timer tick; a step returns true when it is done and the next may
    // follow. After about five seconds without finishing, onTimeout runs (it should end
    // the modal display) and the script stops: a stuck step fails the test, never hangs it.
    ModalDriver(std::vector<Step> steps, std::function<void()> onTimeout);
    ~ModalDriver();
    ModalDriver(const ModalDriver&) = delete;
    ModalDriver& operator=(const ModalDriver&) = delete;

    // Queues a step that runs once, when its posted message comes out of the queue:
    // behind everything already posted, such as what the step before it posted.
    void Post(std::function<void()> step);

    bool Finished() const { return next_ >= steps_.size(); }
    bool TimedOut() const { return timedOut_; }
    int ran = 0;  // posted steps run so far

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void Tick();
    HWND window_ = nullptr;
    std::vector<Step> steps_;
    std::size_t next_ = 0;
    int ticks_ = 0;
    bool timedOut_ = false;
    std::function<void()> onTimeout_;
    std::vector<std::function<void()>> posted_;
};

// Posts a mouse message to a window at client (x, y) pixels, with the button state: input
// as it reaches a tool while its modal display runs.
inline void PostMouse(HWND window, UINT message, WPARAM keys, int x, int y) {
    PostMessageW(window, message, keys, MAKELPARAM(x, y));
}
