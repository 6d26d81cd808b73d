#pragma once
#include <string>

#include <windows.h>

#include "platform/rules/TwipsRect.h"

// A label or shape that a form only draws: geometry in twips, visibility and caption,
// set by the handlers exactly as properties and drawn by the form's paint handler.
struct PaintedControl {
    float Left = 0.0f;
    float Top = 0.0f;
    float Width = 0.0f;
    float Height = 0.0f;
    bool Visible = false;
    std::wstring Caption;

    TwipsRect Geometry() const { return TwipsRect{Left, Top, Width, Height}; }
    void SetGeometry(const TwipsRect& rect) {
        Left = rect.Left;
        Top = rect.Top;
        Width = rect.Width;
        Height = rect.Height;
    }
};

// Labels, lines and images a form only draws: geometry in twips, drawn by the form's
// paint handler.
struct AboutLabel {
    float Left = 0, Top = 0, Width = 0, Height = 0;
    std::wstring Caption;
    bool Visible = true;
};

struct AboutLine {
    float X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;
    bool Visible = true;
};

struct AboutImage {
    float Left = 0, Top = 0, Width = 0, Height = 0;
    HICON Picture = nullptr;  // owned by the form
    bool Visible = true;
};
