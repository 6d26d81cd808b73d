#pragma once
// Sizes at another DPI, as plain rules: what the windows do with them is in
// platform/windows/Dpi.h.

// 96 dots per inch: 100 %, the DPI pixel sizes in the design are given at.
constexpr int kStandardDpi = 96;

// A size in pixels at fromDpi, at toDpi: to the nearest pixel, halves away from zero (as
// MulDiv rounds). Unchanged when the two DPIs are the same or either is not positive.
int ScaleForDpi(int pixels, int fromDpi, int toDpi) noexcept;

// The toolbar images drawn for the DPI: 16, 24 or 32 pixels, the largest of them that is
// not larger than 16 pixels at 96 DPI would be, so that an image is never stretched.
int ToolbarImageSize(int dpi) noexcept;
