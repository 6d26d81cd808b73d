#pragma once

#include <windows.h>

// Another program paints its windows in its own time, after the system has erased what
// was invalidated. Before its pixels are read from the screen, this waits, at most
// `limitMs` milliseconds, until `window` and every window inside it have nothing left to
// paint and the thread that owns them has been back to its message loop twice (where
// what it painted reaches the screen). Windows of the calling thread are not waited for:
// they paint when it runs its messages. Returns whether everything was painted in time.
bool WaitUntilPainted(HWND window, unsigned limitMs);
