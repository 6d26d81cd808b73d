#include "platform/pictures/PointerImage.h"

PointerSnapshot TakePointerSnapshot() {
    PointerSnapshot snapshot;
    CURSORINFO info{};
    info.cbSize = sizeof info;
    if (!GetCursorInfo(&info)) {
        if (!GetCursorPos(&info.ptScreenPos)) return snapshot;
        info.flags = CURSOR_SHOWING;
        info.hCursor = nullptr;
    }
    if ((info.flags & CURSOR_SHOWING) == 0) return snapshot;
    const HCURSOR cursor = info.hCursor != nullptr ? info.hCursor : LoadCursorW(nullptr, IDC_ARROW);
    snapshot.shape.reset(CopyIcon(cursor));
    if (!snapshot.shape) return snapshot;
    ICONINFO shape{};
    if (GetIconInfo(snapshot.shape.get(), &shape)) {
        snapshot.hotspot = POINT{static_cast<LONG>(shape.xHotspot), static_cast<LONG>(shape.yHotspot)};
        if (shape.hbmMask != nullptr) DeleteObject(shape.hbmMask);
        if (shape.hbmColor != nullptr) DeleteObject(shape.hbmColor);
    }
    snapshot.position = info.ptScreenPos;
    snapshot.shown = true;
    return snapshot;
}

bool DrawPointer(const Picture& picture, const PointerSnapshot& pointer, POINT origin) {
    if (!pointer.shown || !pointer.shape) return false;
    const HBITMAP bitmap = picture.Bitmap();
    BITMAP info{};
    if (bitmap == nullptr || GetObjectW(bitmap, sizeof info, &info) == 0) return false;
    const int x = pointer.position.x - pointer.hotspot.x - origin.x;
    const int y = pointer.position.y - pointer.hotspot.y - origin.y;
    const int width = GetSystemMetrics(SM_CXCURSOR);
    const int height = GetSystemMetrics(SM_CYCURSOR);
    if (x >= info.bmWidth || y >= info.bmHeight || x + width <= 0 || y + height <= 0) return false;
    unique_hdc memory(CreateCompatibleDC(nullptr));
    if (!memory) return false;
    const HGDIOBJ previous = SelectObject(memory.get(), bitmap);
    const HPALETTE palette = picture.Palette();
    HPALETTE previousPalette = nullptr;
    if (palette != nullptr) {
        previousPalette = SelectPalette(memory.get(), palette, FALSE);
        RealizePalette(memory.get());
    }
    const bool drawn = DrawIconEx(memory.get(), x, y, pointer.shape.get(), 0, 0, 0, nullptr, DI_NORMAL) != FALSE;
    if (palette != nullptr) SelectPalette(memory.get(), previousPalette, FALSE);
    SelectObject(memory.get(), previous);
    return drawn;
}
