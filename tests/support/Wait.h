#pragma once
// Waiting for what Wine shows: it copies a window's painting to the X screen a little
// later, when a message loop goes idle (at most every 50 ms). The program never waits;
// only the tests do, and always while letting messages run.
#include <functional>

#include <windows.h>

#include "Image.h"

// Lets messages run until done() holds or timeoutMs passes; says whether it held.
bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs);
// Lets messages run until what windows painted has reached the screen and it stays still
// (at most three seconds).
void Settle();
// Waits up to a second for the client area at (x, y) to show the expected pixels.
bool ScreenShowsSoon(HWND window, int x, int y, const Image& expected);
