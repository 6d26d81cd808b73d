#include "platform/services/Clipboard.h"

#include <cstring>
#include <vector>

#include "platform/pictures/BitmapWriter.h"
#include "platform/rules/RuntimeError.h"
#include "platform/windows/Handles.h"

namespace {

// Holds the clipboard open for one operation.
class OpenClipboardScope {
public:
    explicit OpenClipboardScope(HWND owner) {
        if (!OpenClipboard(owner)) RaiseError(ErrorNumber::ClipboardError, L"Can't open Clipboard");
    }
    OpenClipboardScope(const OpenClipboardScope&) = delete;
    OpenClipboardScope& operator=(const OpenClipboardScope&) = delete;
    ~OpenClipboardScope() { CloseClipboard(); }
};

// A device-dependent copy of the picture: the clipboard owns what it is given, and a
// DIB section on the clipboard does not reach other processes everywhere.
unique_hbitmap DeviceBitmapOf(const std::vector<BYTE>& dib, HPALETTE palette) {
    const auto* info = reinterpret_cast<const BITMAPINFO*>(dib.data());
    const BYTE* bits = dib.data() + info->bmiHeader.biSize + info->bmiHeader.biClrUsed * sizeof(RGBQUAD);
    WindowDC screen(nullptr, false);
    PaletteGuard usePalette(screen.get(), palette);
    unique_hbitmap bitmap(CreateDIBitmap(screen.get(), &info->bmiHeader, CBM_INIT, bits, info, DIB_RGB_COLORS));
    if (!bitmap) RaiseError(ErrorNumber::OutOfMemory, L"Out of memory");
    return bitmap;
}

unique_hpalette CopyPalette(HPALETTE palette) {
    if (palette == nullptr) return {};
    const UINT count = GetPaletteEntries(palette, 0, 0, nullptr);
    if (count == 0) return {};
    std::vector<BYTE> storage(sizeof(LOGPALETTE) + count * sizeof(PALETTEENTRY));
    auto* logical = reinterpret_cast<LOGPALETTE*>(storage.data());
    logical->palVersion = 0x300;
    logical->palNumEntries = static_cast<WORD>(count);
    GetPaletteEntries(palette, 0, count, logical->palPalEntry);
    return unique_hpalette(CreatePalette(logical));
}

unique_hglobal GlobalCopy(const std::vector<BYTE>& bytes) {
    unique_hglobal memory(GlobalAlloc(GMEM_MOVEABLE, bytes.size()));
    if (!memory) RaiseError(ErrorNumber::OutOfMemory, L"Out of memory");
    void* target = GlobalLock(memory.get());
    if (target == nullptr) RaiseError(ErrorNumber::OutOfMemory, L"Out of memory");
    std::memcpy(target, bytes.data(), bytes.size());
    GlobalUnlock(memory.get());
    return memory;
}

void Put(UINT format, HANDLE data) {
    if (SetClipboardData(format, data) == nullptr)
        RaiseError(ErrorNumber::ClipboardError, L"Can't place the picture on the Clipboard");
}

class RealClipboardService final : public IClipboardService {
public:
    void Clear(HWND owner) override {
        OpenClipboardScope open(owner);
        if (!EmptyClipboard()) RaiseError(ErrorNumber::ClipboardError, L"Can't empty the Clipboard");
    }

    void SetData(HWND owner, const Picture& picture) override {
        // Everything is prepared before the clipboard is opened, so it stays open only briefly.
        const std::vector<BYTE> dib = PictureToPackedDib(picture);
        unique_hpalette palette = CopyPalette(picture.Palette());
        unique_hbitmap bitmap = DeviceBitmapOf(dib, palette.get());
        unique_hglobal packed = GlobalCopy(dib);

        OpenClipboardScope open(owner);
        // Taking ownership is what lets this window set data at all.
        if (!EmptyClipboard()) RaiseError(ErrorNumber::ClipboardError, L"Can't empty the Clipboard");
        Put(CF_BITMAP, bitmap.get());
        bitmap.release();  // the clipboard owns it now
        if (palette) {
            Put(CF_PALETTE, palette.get());
            palette.release();
        }
        Put(CF_DIB, packed.get());
        packed.release();
    }
};

}  // namespace

template <>
IClipboardService& RealService<IClipboardService>() {
    static RealClipboardService real;
    return real;
}
