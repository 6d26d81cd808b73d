#pragma once

// A rectangle in twips, as the program's rules place controls and bands.
struct TwipsRect {
    float Left = 0.0f;
    float Top = 0.0f;
    float Width = 0.0f;
    float Height = 0.0f;
};
