#pragma once
#include <cstdint>

#include <windows.h>

// A real scroll bar whose Min, Max and Value are in twips. The Win32 bar runs from 0 to
// |Max - Min|; Max may lie below Min, as the layout can give a negative range.
class ScrollBarControl {
public:
    HWND hWnd() const noexcept { return hwnd_; }
    std::int32_t Min() const noexcept { return min_; }
    std::int32_t Max() const noexcept { return max_; }
    std::int32_t Value() const noexcept { return value_; }
    std::int32_t SmallChange() const noexcept { return smallChange_; }
    std::int32_t LargeChange() const noexcept { return largeChange_; }
    float Left() const noexcept { return left_; }
    float Top() const noexcept { return top_; }
    float Width() const noexcept { return width_; }
    float Height() const noexcept { return height_; }
    bool Visible() const noexcept { return visible_; }

    // Makes the bar as a child of `parent`, `thickness` twips across.
    void Create(HWND parent, bool horizontal, float thickness);
    // Places the bar: its length runs along its direction.
    void Place(float left, float top, float length);
    void SetVisible(bool visible);
    // Max and Value as numbers only; ApplyRange puts range, page and thumb on the bar, which
    // shows them with its next paint (nothing is redrawn when they are already there).
    void StoreMax(std::int32_t max) noexcept { max_ = max; }
    void StoreValue(std::int32_t value) noexcept { value_ = value; }
    void ApplyRange();
    // The visible extent in twips: the thumb's share of the bar.
    void SetPage(std::int32_t page);
    // The value a scroll code asks for, or the current one when it asks for none.
    std::int32_t RequestedValue(int code) const;
    std::int32_t Clamp(std::int32_t value) const noexcept;

private:
    void ApplyGeometry();

    HWND hwnd_ = nullptr;
    bool horizontal_ = true;
    std::int32_t min_ = 0, max_ = 32767, value_ = 0;
    std::int32_t smallChange_ = 30, largeChange_ = 900;
    std::int32_t page_ = 0;
    float left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    RECT applied_{};  // the window's position and size (right, bottom) in pixels as last set
    bool visible_ = true;
};
