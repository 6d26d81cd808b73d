#pragma once
#include <memory>

#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include "platform/windows/Handles.h"

// A counted reference to the platform's picture object, seen through IPictureDisp.
// The picture owns its bitmap (and palette) and frees them with its last reference.
// An empty reference means no picture.
class Picture {
public:
    Picture() = default;
    explicit Picture(ComPtr<IPictureDisp> disp) : disp_(std::move(disp)) {}
    // For a picture object that does not free its palette itself: the palette is deleted
    // once the last copy of this reference has released the picture object.
    Picture(ComPtr<IPictureDisp> disp, unique_hpalette ownedPalette);
    Picture(const Picture&) = default;
    Picture(Picture&&) noexcept = default;
    // The old picture object is released before its palette goes.
    Picture& operator=(Picture other) noexcept {
        std::swap(paletteKeeper_, other.paletteKeeper_);
        std::swap(disp_, other.disp_);
        std::swap(topDownBits_, other.topDownBits_);
        return *this;
    }

    bool IsEmpty() const noexcept { return !disp_; }
    ComPtr<IPicture> AsIPicture() const;

    // PICTYPE_BITMAP, PICTYPE_ICON, ...; PICTYPE_NONE when empty.
    short Type() const;
    HBITMAP Bitmap() const;    // the bitmap of a bitmap picture, else nullptr
    HPALETTE Palette() const;  // nullptr when it has none
    // Size in HIMETRIC (0.01 mm), as the picture reports it.
    long WidthHimetric() const;
    long HeightHimetric() const;
    // Size in screen pixels.
    SIZE SizePixels() const;
    // Draws the whole picture at (x, y) in device pixels, at its natural pixel size.
    void Render(HDC dc, int x, int y) const;

    bool operator==(const Picture& other) const noexcept { return disp_.get() == other.disp_.get(); }

    // The bits of the bitmap when whoever made it knows it to be a top-down 32-bit DIB
    // section, else nullptr. The system reports every DIB section's height as positive, so
    // the order of the rows cannot be read back from the bitmap: only its maker can say.
    void* TopDownBits() const noexcept { return topDownBits_; }
    void SetTopDownBits(void* bits) noexcept { topDownBits_ = bits; }

private:
    std::shared_ptr<void> paletteKeeper_;  // declared first: outlives disp_ on destruction
    ComPtr<IPictureDisp> disp_;
    void* topDownBits_ = nullptr;
};

// HIMETRIC to pixels at the screen's DPI.
long HimetricToPixels(long himetric, int dpi);

// The one way a bitmap becomes a picture: the picture owns the bitmap and the palette
// (or nullptr) from now on and deletes both with its last reference, whether or not the
// platform's picture object frees a palette itself. When no picture can be made both
// handles are deleted at once and the failure is raised.
Picture PictureOwningBitmap(HBITMAP bitmap, HPALETTE palette);

// Test seam: the platform's picture maker, replaceable so that a failure can be shown.
// nullptr restores the real one.
namespace PictureSeams {
using PictureCreator = HRESULT(WINAPI*)(PICTDESC* description, REFIID iid, BOOL own, void** result);
void SetPictureCreator(PictureCreator creator);
}  // namespace PictureSeams
