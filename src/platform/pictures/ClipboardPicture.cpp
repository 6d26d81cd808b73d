// Pictures from the clipboard: PNG through the imaging component, device-independent
// bitmaps and bitmaps through GDI; each becomes a bitmap in the display's format, as a
// capture is.
#include "platform/pictures/ClipboardPicture.h"

#include <objidl.h>
#include <shlwapi.h>
#include <wincodec.h>

#include <cstring>
#include <vector>

#include "platform/pictures/PictureFile.h"
#include "platform/rules/RuntimeError.h"
#include "platform/windows/Handles.h"

namespace {

UINT PngFormat() {
    static const UINT format = RegisterClipboardFormatW(L"PNG");
    return format;
}

[[noreturn]] void RaiseInvalid() { RaiseError(ErrorNumber::InvalidPicture, L"Invalid picture"); }

// Opened for the life of the object; closed however the reading ends.
class OpenedClipboard {
public:
    explicit OpenedClipboard(HWND owner) {
        if (!OpenClipboard(owner)) RaiseError(ErrorNumber::ClipboardError, L"Can't open Clipboard");
    }
    ~OpenedClipboard() { CloseClipboard(); }
    OpenedClipboard(const OpenedClipboard&) = delete;
    OpenedClipboard& operator=(const OpenedClipboard&) = delete;
};

// The bytes of a clipboard handle in global memory, copied while it is locked.
std::vector<BYTE> GlobalBytes(HANDLE data) {
    if (data == nullptr) RaiseInvalid();
    const SIZE_T size = GlobalSize(data);
    const void* locked = GlobalLock(data);
    if (locked == nullptr) RaiseInvalid();
    std::vector<BYTE> bytes(static_cast<const BYTE*>(locked), static_cast<const BYTE*>(locked) + size);
    GlobalUnlock(data);
    return bytes;
}

// A device-dependent bitmap with the pixels of a packed DIB (header, masks or colour
// table, rows), as the display's format holds them.
Picture PictureFromPackedDib(const std::vector<BYTE>& dib) {
    if (dib.size() < sizeof(BITMAPINFOHEADER)) RaiseInvalid();
    BITMAPINFOHEADER header{};
    std::memcpy(&header, dib.data(), sizeof header);
    if (header.biSize < sizeof header || header.biSize > dib.size() || header.biWidth <= 0 || header.biHeight == 0 ||
        header.biPlanes != 1)
        RaiseInvalid();
    const std::int64_t width = header.biWidth;
    const std::int64_t height = header.biHeight < 0 ? -std::int64_t(header.biHeight) : header.biHeight;
    if (!PictureSizeAcceptable(width, height)) RaiseInvalid();
    const UINT bits = header.biBitCount;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) RaiseInvalid();
    if (header.biCompression != BI_RGB && header.biCompression != BI_BITFIELDS) RaiseInvalid();
    std::size_t colours = header.biClrUsed != 0 ? header.biClrUsed : (bits <= 8 ? (std::size_t(1) << bits) : 0);
    if (colours > 256) RaiseInvalid();
    // The three masks of a BITMAPINFOHEADER with bitfields follow it; a V4/V5 header holds them.
    const std::size_t masks = header.biCompression == BI_BITFIELDS && header.biSize == sizeof header ? 12 : 0;
    const std::size_t bitsOffset = header.biSize + masks + colours * sizeof(RGBQUAD);
    const std::size_t stride = std::size_t(((width * bits + 31) / 32) * 4);
    if (bitsOffset > dib.size() || stride * std::size_t(height) > dib.size() - bitsOffset) RaiseInvalid();

    HDC screen = GetDC(nullptr);
    const HBITMAP bitmap = CreateDIBitmap(screen, &header, CBM_INIT, dib.data() + bitsOffset,
                                          reinterpret_cast<const BITMAPINFO*>(dib.data()), DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    if (bitmap == nullptr) RaiseInvalid();
    return PictureOwningBitmap(bitmap, nullptr);
}

Picture PictureFromPng(const std::vector<BYTE>& png) {
    ComPtr<IWICImagingFactory> factory;
    ThrowIfFailed(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                   factory.put_void()),
                  L"Imaging component");
    ComPtr<IStream> stream(SHCreateMemStream(png.data(), static_cast<UINT>(png.size())));
    if (!stream) RaiseInvalid();
    ComPtr<IWICBitmapDecoder> decoder;
    if (FAILED(factory->CreateDecoderFromStream(stream.get(), nullptr, WICDecodeMetadataCacheOnDemand, decoder.put())))
        RaiseInvalid();
    ComPtr<IWICBitmapFrameDecode> frame;
    if (FAILED(decoder->GetFrame(0, frame.put()))) RaiseInvalid();
    UINT width = 0, height = 0;
    if (FAILED(frame->GetSize(&width, &height)) || !PictureSizeAcceptable(width, height)) RaiseInvalid();
    ComPtr<IWICBitmapSource> pixels;
    if (FAILED(WICConvertBitmapSource(GUID_WICPixelFormat32bppBGR, frame.get(), pixels.put()))) RaiseInvalid();

    // Top-down 32-bit rows, the layout the converter writes and GDI reads alike.
    std::vector<BYTE> dib(sizeof(BITMAPINFOHEADER) + std::size_t(width) * height * 4);
    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = static_cast<LONG>(width);
    header.biHeight = -static_cast<LONG>(height);
    header.biPlanes = 1;
    header.biBitCount = 32;
    header.biCompression = BI_RGB;
    std::memcpy(dib.data(), &header, sizeof header);
    if (FAILED(pixels->CopyPixels(nullptr, width * 4, static_cast<UINT>(dib.size() - sizeof header),
                                  dib.data() + sizeof header)))
        RaiseInvalid();
    return PictureFromPackedDib(dib);
}

Picture PictureFromSharedBitmap(HBITMAP shared) {
    // The clipboard keeps its bitmap: the document gets a copy of its own.
    const HBITMAP copy = static_cast<HBITMAP>(CopyImage(shared, IMAGE_BITMAP, 0, 0, 0));
    if (copy == nullptr) RaiseInvalid();
    return PictureOwningBitmap(copy, nullptr);
}

}  // namespace

bool ClipboardHasPicture() {
    return IsClipboardFormatAvailable(PngFormat()) || IsClipboardFormatAvailable(CF_DIBV5) ||
           IsClipboardFormatAvailable(CF_DIB) || IsClipboardFormatAvailable(CF_BITMAP);
}

Picture ReadClipboardPicture(HWND owner) {
    OpenedClipboard clipboard(owner);
    if (IsClipboardFormatAvailable(PngFormat())) return PictureFromPng(GlobalBytes(GetClipboardData(PngFormat())));
    if (IsClipboardFormatAvailable(CF_DIB)) return PictureFromPackedDib(GlobalBytes(GetClipboardData(CF_DIB)));
    if (IsClipboardFormatAvailable(CF_DIBV5)) return PictureFromPackedDib(GlobalBytes(GetClipboardData(CF_DIBV5)));
    if (IsClipboardFormatAvailable(CF_BITMAP)) {
        const auto bitmap = static_cast<HBITMAP>(GetClipboardData(CF_BITMAP));
        if (bitmap == nullptr) RaiseInvalid();
        return PictureFromSharedBitmap(bitmap);
    }
    RaiseError(ErrorNumber::ClipboardError, L"The clipboard holds no picture");
}
