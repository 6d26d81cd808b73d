#pragma once
#include <windows.h>

// Mouse and keyboard state in the form the selection tools' handlers take it:
// buttons 1 left, 2 right, 4 middle; modifiers 1 Shift, 2 Ctrl, 4 Alt.
int ButtonOf(UINT message) noexcept;
int ButtonStateOf(WPARAM keys) noexcept;
int CurrentShiftState() noexcept;
