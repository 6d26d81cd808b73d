// Copies screen pixels into pictures.
#include "platform/pictures/ScreenCapture.h"

#include <cstring>
#include <exception>
#include <utility>

#include <ocidl.h>
#include <olectl.h>

#include "platform/pictures/DibInfo.h"
#include "platform/rules/Conversions.h"
#include "platform/rules/RuntimeError.h"
#include "platform/windows/ErrorReporter.h"
#include "platform/windows/ScreenService.h"

namespace {

// A LOGPALETTE with room for the whole 256-entry system palette.
struct PaletteBlock {
    WORD palVersion;
    WORD palNumEntries;
    PALETTEENTRY palPalEntry[256];
};

int WINAPI RealDeviceCaps(HDC dc, int index) { return GetDeviceCaps(dc, index); }

basScreenSeams::DeviceCapsReader g_deviceCaps = &RealDeviceCaps;

}  // namespace

namespace basScreenSeams {
void SetDeviceCapsReader(DeviceCapsReader reader) { g_deviceCaps = reader != nullptr ? reader : &RealDeviceCaps; }
}  // namespace basScreenSeams

bool IsPaletteDisplay(int rasterCaps, int paletteSize) {
    return (rasterCaps & RC_PALETTE) != 0 && paletteSize == 256;
}

namespace {

// What a read of the screen leaves: the bitmap (and palette) not yet owned by a picture.
struct ScreenRead {
    HBITMAP bitmap = nullptr;
    HPALETTE palette = nullptr;
    void* bits = nullptr;
};

// The copy itself; throws where the bitmap cannot be made. Touches no window of the caller's
// thread, so any thread may do it.
ScreenRead ReadWindowArea(HWND hWnd, bool client, std::int32_t left, std::int32_t top, std::int32_t width,
                          std::int32_t height) {
    HPALETTE palette = nullptr;
    PaletteBlock block;
    std::memset(&block, 0, sizeof block);

    const HDC source = client ? GetDC(hWnd) : GetWindowDC(hWnd);
    const HDC memory = CreateCompatibleDC(source);
    const int hasPalette = g_deviceCaps(source, RASTERCAPS) & RC_PALETTE;
    const int paletteSize = g_deviceCaps(source, SIZEPALETTE);
    const bool paletteDisplay = IsPaletteDisplay(hasPalette, paletteSize);
    // On a 32-bit display the capture is a top-down 32-bit DIB section, the layout a
    // document keeps its pixels in, so that the document reads them where they are
    // rather than copying them. Otherwise compatible with the display, not with the
    // memory DC (which would give a monochrome bitmap).
    HBITMAP bitmap = nullptr;
    void* bits = nullptr;  // the DIB section's only
    if (!paletteDisplay && g_deviceCaps(source, BITSPIXEL) == 32) {
        const BITMAPINFO info = TopDown32BitmapInfo(width, height);
        bitmap = CreateDIBSection(source, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    } else {
        bitmap = CreateCompatibleBitmap(source, width, height);
    }
    if (bitmap == nullptr && width > 0 && height > 0) {
        // Too large for the system (a desktop of many monitors, say): said, not an
        // empty document that looks like a capture.
        DeleteDC(memory);
        ReleaseDC(hWnd, source);
        RaiseError(ErrorNumber::OutOfMemory, L"Out of memory");
    }
    const HGDIOBJ previousBitmap = SelectObject(memory, bitmap);

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
        // lies on it and blacken only the rest, as Windows shows the gaps between monitors
        // (Wine copies nothing at all for an area that sticks out). A picture of the whole
        // screen is not filled before it is copied over.
        const RECT wanted{left, top, left + width, top + height};
        const RECT screen{GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
                          GetSystemMetrics(SM_XVIRTUALSCREEN) + GetSystemMetrics(SM_CXVIRTUALSCREEN),
                          GetSystemMetrics(SM_YVIRTUALSCREEN) + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
        RECT shown{};
        if (!IntersectRect(&shown, &wanted, &screen)) shown = RECT{left, top, left, top};
        for (const EdgeRect& band : UncoveredBands(EdgeRect{wanted.left, wanted.top, wanted.right, wanted.bottom},
                                                   EdgeRect{shown.left, shown.top, shown.right, shown.bottom}))
            PatBlt(memory, band.Left - left, band.Top - top, band.Right - band.Left, band.Bottom - band.Top,
                   BLACKNESS);
        if (!IsRectEmpty(&shown))
            BitBlt(memory, shown.left - left, shown.top - top, shown.right - shown.left, shown.bottom - shown.top,
                   source, shown.left, shown.top, SRCCOPY);
    } else {
        BitBlt(memory, 0, 0, width, height, source, left, top, SRCCOPY);
    }

    bitmap = static_cast<HBITMAP>(SelectObject(memory, previousBitmap));
    if (paletteDisplay) palette = SelectPalette(memory, previousPalette, FALSE);
    DeleteDC(memory);
    ReleaseDC(hWnd, source);

    return ScreenRead{bitmap, palette, bits};
}

Picture PictureOfRead(const ScreenRead& read) {
    Picture picture = PictureOwningBitmap(read.bitmap, read.palette);
    picture.SetTopDownBits(read.bits);
    return picture;
}

}  // namespace

Picture CaptureWindowArea(HWND hWnd, bool client, std::int32_t left, std::int32_t top, std::int32_t width,
                          std::int32_t height) {
    Picture result;
    Trapped([&] { result = PictureOfRead(ReadWindowArea(hWnd, client, left, top, width, height)); });
    return result;
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

struct DesktopAreaReading::State {
    EdgeRect area;
    PTP_WORK work = nullptr;  // none: read at once, on the caller's thread
    ScreenRead read;
    std::exception_ptr failure;

    void Read() noexcept {
        try {
            read = ReadWindowArea(nullptr, true, area.Left, area.Top, EdgeDifference(area.Right, area.Left),
                                  EdgeDifference(area.Bottom, area.Top));
        } catch (...) {
            failure = std::current_exception();
        }
    }
    static void CALLBACK ReadWork(PTP_CALLBACK_INSTANCE, void* state, PTP_WORK) {
        static_cast<State*>(state)->Read();
    }
    // Waits for the reading, once.
    void Finish() noexcept {
        if (work == nullptr) return;
        WaitForThreadpoolWorkCallbacks(work, FALSE);
        CloseThreadpoolWork(work);
        work = nullptr;
    }
};

DesktopAreaReading::DesktopAreaReading(const EdgeRect& area) : state_(std::make_unique<State>()) {
    state_->area = area;
    // One pixel read on this thread first. The display takes each thread's requests in their
    // own order only: a read on another thread could come before the hiding of a window this
    // thread has just asked for, and show the window's pixels (seen at 144 DPI). The pixel is
    // answered only once everything this thread sent before it is done.
    if (const HDC screen = GetDC(nullptr)) {
        GetPixel(screen, area.Left, area.Top);
        ReleaseDC(nullptr, screen);
    }
    // On one of the system's pooled threads: kept between readings, so that neither making
    // a thread nor its ending (each some milliseconds under Wine) stands in the way.
    state_->work = CreateThreadpoolWork(&State::ReadWork, state_.get(), nullptr);
    if (state_->work != nullptr) {
        SubmitThreadpoolWork(state_->work);
    } else {
        state_->Read();  // no pooled thread to be had: read here, as a capture does
    }
}

DesktopAreaReading::~DesktopAreaReading() {
    state_->Finish();
    // Never taken: the bitmap is nobody's.
    if (state_->read.bitmap != nullptr) DeleteObject(state_->read.bitmap);
    if (state_->read.palette != nullptr) DeleteObject(state_->read.palette);
}

Picture DesktopAreaReading::Take() {
    state_->Finish();
    const ScreenRead read = std::exchange(state_->read, ScreenRead{});
    const std::exception_ptr failure = std::exchange(state_->failure, nullptr);
    Picture result;
    Trapped([&] {
        if (failure) std::rethrow_exception(failure);
        result = PictureOfRead(read);
    });
    return result;
}

Picture CaptureWholeScreen() {
    // The primary screen's pixels exactly as the system counts them: no detour through
    // twips, whose factor need not be a whole number (7.5 at 192 DPI).
    IScreenService& screen = ScreenService();
    return CaptureDesktopArea(EdgeRect{0, 0, screen.WidthPixels(), screen.HeightPixels()});
}
