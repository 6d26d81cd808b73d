// Copies screen pixels into pictures.
#include "platform/pictures/ScreenCapture.h"

#include <cstring>

#include <ocidl.h>
#include <olectl.h>

#include "platform/controls/Conversions.h"
#include "platform/services/ScreenService.h"
#include "platform/windows/ErrorReporter.h"
#include "platform/windows/RuntimeError.h"

namespace {

// A LOGPALETTE with room for the whole 256-entry system palette.
struct PaletteBlock {
    WORD palVersion;
    WORD palNumEntries;
    PALETTEENTRY palPalEntry[256];
};

int WINAPI RealDeviceCaps(HDC dc, int index) { return GetDeviceCaps(dc, index); }
HRESULT WINAPI RealCreatePicture(PICTDESC* description, REFIID iid, BOOL own, void** result) {
    return OleCreatePictureIndirect(description, iid, own, result);
}

basScreenSeams::DeviceCapsReader g_deviceCaps = &RealDeviceCaps;
basScreenSeams::PictureCreator g_createPicture = &RealCreatePicture;

// Whether the platform's picture object deletes the palette it was made to own (not all
// do); asked once, with a throwaway bitmap and palette.
bool PictureFreesItsPalette() {
    static const bool frees = [] {
        struct {
            WORD version, count;
            PALETTEENTRY entries[1];
        } block{0x300, 1, {{0, 0, 0, 0}}};
        const HPALETTE palette = CreatePalette(reinterpret_cast<const LOGPALETTE*>(&block));
        const HBITMAP bitmap = CreateBitmap(1, 1, 1, 1, nullptr);
        PICTDESC description{};
        description.cbSizeofstruct = sizeof(PICTDESC);
        description.picType = PICTYPE_BITMAP;
        description.bmp.hbitmap = bitmap;
        description.bmp.hpal = palette;
        IPicture* picture = nullptr;
        if (FAILED(OleCreatePictureIndirect(&description, IID_IPicture, TRUE, reinterpret_cast<void**>(&picture))) ||
            picture == nullptr) {
            DeleteObject(bitmap);
            DeleteObject(palette);
            return true;
        }
        picture->Release();
        if (GetObjectType(palette) == 0) return true;
        DeleteObject(palette);
        return false;
    }();
    return frees;
}

}  // namespace

namespace basScreenSeams {
void SetDeviceCapsReader(DeviceCapsReader reader) { g_deviceCaps = reader != nullptr ? reader : &RealDeviceCaps; }
void SetPictureCreator(PictureCreator creator) { g_createPicture = creator != nullptr ? creator : &RealCreatePicture; }
}  // namespace basScreenSeams

bool IsPaletteDisplay(int rasterCaps, int paletteSize) {
    return (rasterCaps & RC_PALETTE) != 0 && paletteSize == 256;
}

Picture CaptureWindowArea(HWND hWnd, bool client, std::int32_t left, std::int32_t top, std::int32_t width,
                          std::int32_t height) {
    Picture result;
    Trapped([&] {
        HPALETTE palette = nullptr;
        PaletteBlock block;
        std::memset(&block, 0, sizeof block);

        const HDC source = client ? GetDC(hWnd) : GetWindowDC(hWnd);
        const HDC memory = CreateCompatibleDC(source);
        // Compatible with the display, not with the memory DC (which would give a monochrome bitmap).
        HBITMAP bitmap = CreateCompatibleBitmap(source, width, height);
        if (bitmap == nullptr && width > 0 && height > 0) {
            // Too large for the system (a desktop of many monitors, say): said, not an
            // empty document that looks like a capture.
            DeleteDC(memory);
            ReleaseDC(hWnd, source);
            RaiseError(ErrorNumber::OutOfMemory, L"Out of memory");
        }
        const HGDIOBJ previousBitmap = SelectObject(memory, bitmap);

        const int hasPalette = g_deviceCaps(source, RASTERCAPS) & RC_PALETTE;
        const int paletteSize = g_deviceCaps(source, SIZEPALETTE);
        const bool paletteDisplay = IsPaletteDisplay(hasPalette, paletteSize);
        HPALETTE previousPalette = nullptr;
        if (paletteDisplay) {
            block.palVersion = 0x300;
            block.palNumEntries = 256;
            GetSystemPaletteEntries(source, 0, 256, block.palPalEntry);
            palette = CreatePalette(reinterpret_cast<const LOGPALETTE*>(&block));
            previousPalette = SelectPalette(memory, palette, FALSE);
            RealizePalette(memory);
        }

        if (hWnd == nullptr) {
            // The screen's DC reaches only as far as the system's virtual screen; copy what
            // lies on it, and leave the rest of the picture black, as Windows shows the gaps
            // between monitors (Wine copies nothing at all for an area that sticks out).
            PatBlt(memory, 0, 0, width, height, BLACKNESS);
            const RECT wanted{left, top, left + width, top + height};
            const RECT screen{GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
                              GetSystemMetrics(SM_XVIRTUALSCREEN) + GetSystemMetrics(SM_CXVIRTUALSCREEN),
                              GetSystemMetrics(SM_YVIRTUALSCREEN) + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
            RECT shown{};
            if (IntersectRect(&shown, &wanted, &screen))
                BitBlt(memory, shown.left - left, shown.top - top, shown.right - shown.left, shown.bottom - shown.top,
                       source, shown.left, shown.top, SRCCOPY);
        } else {
            BitBlt(memory, 0, 0, width, height, source, left, top, SRCCOPY);
        }

        bitmap = static_cast<HBITMAP>(SelectObject(memory, previousBitmap));
        if (paletteDisplay) palette = SelectPalette(memory, previousPalette, FALSE);
        DeleteDC(memory);
        ReleaseDC(hWnd, source);

        result = PictureFromBitmap(bitmap, palette);
    });
    return result;
}

Picture PictureFromBitmap(HBITMAP hBmp, HPALETTE hPal) {
    Picture result;
    Trapped([&] {
        // IDispatch, put together field by field.
        IID dispatchId{};
        dispatchId.Data1 = 0x00020400;
        const unsigned char tail[8] = {0xC0, 0, 0, 0, 0, 0, 0, 0x46};
        std::memcpy(dispatchId.Data4, tail, sizeof tail);

        PICTDESC description{};
        description.cbSizeofstruct = sizeof(PICTDESC);
        description.picType = PICTYPE_BITMAP;
        description.bmp.hbitmap = hBmp;
        description.bmp.hpal = hPal;

        ComPtr<IDispatch> created;
        g_createPicture(&description, dispatchId, TRUE, created.put_void());
        if (!created) {
            // Nothing owns the handles now: free them rather than leak them.
            if (hBmp != nullptr) DeleteObject(hBmp);
            if (hPal != nullptr) DeleteObject(hPal);
            return;
        }
        ComPtr<IPictureDisp> picture = created.query<IPictureDisp>(IID_IPictureDisp);
        if (hPal != nullptr && !PictureFreesItsPalette()) {
            result = Picture(std::move(picture), unique_hpalette(hPal));
        } else {
            result = Picture(std::move(picture));
        }
    });
    return result;
}

RECT ClipToScreen(RECT rect, double screenWidth, double screenHeight) {
    const EdgeRect clipped = ClipToScreen(EdgeRect{rect.left, rect.top, rect.right, rect.bottom}, screenWidth,
                                          screenHeight);
    return RECT{clipped.Left, clipped.Top, clipped.Right, clipped.Bottom};
}

RECT VisibleWindowRect(HWND hWnd) {
    RECT rect{};
    // Where the desktop window manager draws frames, GetWindowRect includes the invisible
    // resize border; the extended frame bounds are what the user sees as the window.
    using GetAttribute = HRESULT(WINAPI*)(HWND, DWORD, PVOID, DWORD);
    static const GetAttribute getAttribute = [] {
        const HMODULE dwm = LoadLibraryW(L"dwmapi.dll");  // kept loaded for the run
        return dwm != nullptr ? reinterpret_cast<GetAttribute>(GetProcAddress(dwm, "DwmGetWindowAttribute"))
                              : nullptr;
    }();
    constexpr DWORD kExtendedFrameBounds = 9;  // DWMWA_EXTENDED_FRAME_BOUNDS
    if (hWnd != nullptr && getAttribute != nullptr &&
        SUCCEEDED(getAttribute(hWnd, kExtendedFrameBounds, &rect, sizeof rect)) && rect.right > rect.left &&
        rect.bottom > rect.top)
        return rect;
    rect = RECT{};
    GetWindowRect(hWnd, &rect);
    return rect;
}

Picture CaptureDesktopArea(const EdgeRect& area) {
    Picture result;
    Trapped([&] {
        // The screen's own DC spans every monitor in virtual-screen coordinates; a window's
        // DC (the desktop window's included) need not reach left of or above 0,0.
        result = CaptureWindowArea(nullptr, true, area.Left, area.Top, EdgeDifference(area.Right, area.Left),
                                   EdgeDifference(area.Bottom, area.Top));
    });
    return result;
}

Picture CaptureWholeScreen() {
    // The primary screen's pixels exactly as the system counts them: no detour through
    // twips, whose factor need not be a whole number (7.5 at 192 DPI).
    IScreenService& screen = ScreenService();
    return CaptureDesktopArea(EdgeRect{0, 0, screen.WidthPixels(), screen.HeightPixels()});
}

Picture CaptureWholeDesktop() { return CaptureDesktopArea(DesktopPixels()); }
