// The picture loader and writer: files in, pictures out, and Windows bitmap files back.
#include "platform/PictureFile.h"

#include <objidl.h>
#include <shlwapi.h>
#include <wincodec.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <optional>

#include "platform/Handles.h"
#include "platform/RuntimeError.h"

namespace {

// Header checks below keep every decoder away from data it would read past.
enum class FileKind { Bitmap, Gif, Jpeg, Icon, Png, Tiff, Other };

[[noreturn]] void RaiseInvalidPicture() { RaiseError(ErrorNumber::InvalidPicture, L"Invalid picture"); }

std::uint16_t U16(const std::vector<BYTE>& b, std::size_t at) {
    return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}
std::uint32_t U32(const std::vector<BYTE>& b, std::size_t at) {
    return static_cast<std::uint32_t>(b[at]) | (static_cast<std::uint32_t>(b[at + 1]) << 8) |
           (static_cast<std::uint32_t>(b[at + 2]) << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24);
}
std::int32_t I32(const std::vector<BYTE>& b, std::size_t at) { return static_cast<std::int32_t>(U32(b, at)); }

std::uint64_t AvailableMemory() {
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof status;
    if (!GlobalMemoryStatusEx(&status)) return 1ull << 30;
    return std::min<std::uint64_t>(status.ullAvailPhys, status.ullAvailVirtual);
}

void RequireAcceptableSize(std::int64_t width, std::int64_t height) {
    if (!PictureSizeAcceptable(width, height)) RaiseInvalidPicture();
}

[[noreturn]] void RaiseFileError(DWORD code, const std::wstring& what) {
    switch (code) {
    case ERROR_FILE_NOT_FOUND: RaiseError(ErrorNumber::FileNotFound, L"File not found");
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_DIRECTORY:
    case ERROR_BAD_PATHNAME: RaiseError(ErrorNumber::PathNotFound, L"Path not found");
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_WRITE_PROTECT: RaiseError(70, L"Permission denied");
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: RaiseError(61, L"Disk full");
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY: RaiseError(ErrorNumber::OutOfMemory, L"Out of memory");
    default: RaiseError(75, what + L": " + SystemMessageText(code));
    }
}

std::vector<BYTE> ReadWholeFile(const std::wstring& path) {
    unique_handle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (file.get() == INVALID_HANDLE_VALUE) {
        file.release();
        RaiseFileError(GetLastError(), L"Cannot open the file");
    }
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size)) RaiseFileError(GetLastError(), L"Cannot read the file");
    // The file is read whole: it must fit comfortably, and a picture file past 1 GiB is
    // beyond what the size check would let through anyway.
    const auto bytes = static_cast<std::uint64_t>(size.QuadPart);
    if (bytes == 0 || bytes > (1ull << 30) || bytes > AvailableMemory() / 4) RaiseInvalidPicture();
    std::vector<BYTE> data(static_cast<std::size_t>(bytes));
    std::size_t done = 0;
    while (done < data.size()) {
        DWORD got = 0;
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(data.size() - done, 1u << 24));
        if (!ReadFile(file.get(), data.data() + done, want, &got, nullptr)) RaiseFileError(GetLastError(), L"Cannot read the file");
        if (got == 0) break;  // the file shrank while being read
        done += got;
    }
    data.resize(done);
    if (data.empty()) RaiseInvalidPicture();
    return data;
}

FileKind Sniff(const std::vector<BYTE>& b) {
    if (b.size() >= 2 && b[0] == 'B' && b[1] == 'M') return FileKind::Bitmap;
    if (b.size() >= 6 && std::memcmp(b.data(), "GIF8", 4) == 0) return FileKind::Gif;
    if (b.size() >= 3 && b[0] == 0xFF && b[1] == 0xD8 && b[2] == 0xFF) return FileKind::Jpeg;
    if (b.size() >= 4 && b[0] == 0 && b[1] == 0 && (b[2] == 1 || b[2] == 2) && b[3] == 0) return FileKind::Icon;
    if (b.size() >= 8 && std::memcmp(b.data(), "\x89PNG\r\n\x1a\n", 8) == 0) return FileKind::Png;
    if (b.size() >= 8 && (std::memcmp(b.data(), "II*\0", 4) == 0 || std::memcmp(b.data(), "MM\0*", 4) == 0))
        return FileKind::Tiff;
    return FileKind::Other;
}

std::uint64_t Stride(std::uint64_t width, std::uint32_t bits) { return ((width * bits + 31) / 32) * 4; }

// A Windows bitmap file whose headers, colour table and pixel data all lie inside the file.
void CheckBitmapFile(const std::vector<BYTE>& b) {
    const std::size_t size = b.size();
    if (size < 14 + 12) RaiseInvalidPicture();
    const std::uint32_t offBits = U32(b, 10);
    const std::uint32_t headerSize = U32(b, 14);
    if (headerSize != 12 && headerSize != 40 && headerSize != 52 && headerSize != 56 && headerSize != 108 &&
        headerSize != 124)
        RaiseInvalidPicture();
    if (14ull + headerSize > size) RaiseInvalidPicture();
    std::int64_t width = 0;
    std::int64_t height = 0;
    std::uint32_t planes = 0;
    std::uint32_t bits = 0;
    std::uint32_t compression = BI_RGB;
    std::uint32_t sizeImage = 0;
    std::uint64_t colours = 0;
    std::uint64_t entrySize = 4;
    std::uint64_t tableStart = 14ull + headerSize;
    if (headerSize == 12) {
        width = U16(b, 18);
        height = U16(b, 20);
        planes = U16(b, 22);
        bits = U16(b, 24);
        entrySize = 3;
        if (bits <= 8) colours = 1ull << bits;
    } else {
        width = I32(b, 18);
        height = I32(b, 22);
        planes = U16(b, 26);
        bits = U16(b, 28);
        compression = U32(b, 30);
        sizeImage = U32(b, 34);
        colours = U32(b, 46);
        if (compression == BI_BITFIELDS && headerSize == 40) tableStart += 12;
        if (bits <= 8 && (colours == 0 || colours > (1ull << bits))) {
            if (colours > (1ull << bits)) RaiseInvalidPicture();
            colours = 1ull << bits;
        }
        if (bits > 8 && colours > 256) RaiseInvalidPicture();
    }
    if (planes != 1 || width <= 0 || height == 0 || height == INT32_MIN) RaiseInvalidPicture();
    const std::int64_t rows = height < 0 ? -height : height;
    switch (bits) {
    case 1: case 4: case 8: case 16: case 24: case 32: break;
    default: RaiseInvalidPicture();
    }
    const bool rle = compression == BI_RLE8 || compression == BI_RLE4;
    if (compression == BI_RLE8 && bits != 8) RaiseInvalidPicture();
    if (compression == BI_RLE4 && bits != 4) RaiseInvalidPicture();
    if (compression == BI_BITFIELDS && bits != 16 && bits != 32) RaiseInvalidPicture();
    if (compression != BI_RGB && !rle && compression != BI_BITFIELDS) RaiseInvalidPicture();
    if (rle && height < 0) RaiseInvalidPicture();  // compressed bitmaps are bottom-up only
    RequireAcceptableSize(width, rows);
    if (tableStart + colours * entrySize > size) RaiseInvalidPicture();
    if (offBits < tableStart || offBits >= size) RaiseInvalidPicture();
    const std::uint64_t pixelBytes = rle ? sizeImage : Stride(static_cast<std::uint64_t>(width), bits) * rows;
    if (pixelBytes == 0 || offBits + pixelBytes > size) RaiseInvalidPicture();
}

// An icon or cursor file whose directory and images all lie inside the file.
void CheckIconFile(const std::vector<BYTE>& b) {
    const std::size_t size = b.size();
    if (size < 6) RaiseInvalidPicture();
    const std::uint32_t count = U16(b, 4);
    if (count == 0 || 6ull + 16ull * count > size) RaiseInvalidPicture();
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::size_t entry = 6 + 16 * i;
        const std::uint64_t bytes = U32(b, entry + 8);
        const std::uint64_t offset = U32(b, entry + 12);
        if (offset < 6ull + 16ull * count || bytes < 40 || offset + bytes > size) RaiseInvalidPicture();
        const auto at = static_cast<std::size_t>(offset);
        static const BYTE png[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
        if (std::memcmp(b.data() + at, png, 8) == 0) {
            // IHDR follows the signature: width and height, big-endian.
            const auto be = [&](std::size_t p) {
                return (std::uint32_t(b[p]) << 24) | (std::uint32_t(b[p + 1]) << 16) | (std::uint32_t(b[p + 2]) << 8) |
                       b[p + 3];
            };
            if (bytes < 33) RaiseInvalidPicture();
            RequireAcceptableSize(be(at + 16), be(at + 20));
            if (be(at + 16) > 1024 || be(at + 20) > 1024) RaiseInvalidPicture();
            continue;
        }
        const std::uint32_t headerSize = U32(b, at);
        const std::int64_t width = I32(b, at + 4);
        const std::int64_t doubleHeight = I32(b, at + 8);
        const std::uint32_t planes = U16(b, at + 12);
        const std::uint32_t bits = U16(b, at + 14);
        const std::uint32_t compression = U32(b, at + 16);
        std::uint64_t colours = U32(b, at + 32);
        if (headerSize < 40 || headerSize > bytes || planes != 1 || compression != BI_RGB) RaiseInvalidPicture();
        if (width <= 0 || width > 1024 || doubleHeight <= 0 || doubleHeight > 2048 || doubleHeight % 2 != 0)
            RaiseInvalidPicture();
        switch (bits) {
        case 1: case 4: case 8: case 24: case 32: break;
        default: RaiseInvalidPicture();
        }
        if (bits <= 8) {
            if (colours > (1ull << bits)) RaiseInvalidPicture();
            if (colours == 0) colours = 1ull << bits;
        } else {
            colours = 0;
        }
        const std::uint64_t rows = static_cast<std::uint64_t>(doubleHeight / 2);
        const std::uint64_t need = headerSize + colours * 4 + Stride(static_cast<std::uint64_t>(width), bits) * rows +
                                   Stride(static_cast<std::uint64_t>(width), 1) * rows;
        if (need > bytes) RaiseInvalidPicture();
    }
}

std::uint32_t Be16(const std::vector<BYTE>& b, std::size_t at) { return (std::uint32_t(b[at]) << 8) | b[at + 1]; }
std::uint32_t Be32(const std::vector<BYTE>& b, std::size_t at) { return (Be16(b, at) << 16) | Be16(b, at + 2); }

// The frame header of a JPEG file: every marker segment up to it must lie in the file.
// (Some decoders allocate the whole image as soon as they have read this header.)
void CheckJpegFile(const std::vector<BYTE>& b) {
    std::size_t at = 2;
    for (;;) {
        if (at + 2 > b.size() || b[at] != 0xFF) RaiseInvalidPicture();
        while (at + 1 < b.size() && b[at + 1] == 0xFF) ++at;  // fill bytes
        if (at + 2 > b.size()) RaiseInvalidPicture();
        const BYTE marker = b[at + 1];
        at += 2;
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8)) continue;  // no length
        if (marker == 0xD9 || marker == 0xDA) RaiseInvalidPicture();           // no frame header
        if (at + 2 > b.size()) RaiseInvalidPicture();
        const std::size_t length = Be16(b, at);
        if (length < 2 || at + length > b.size()) RaiseInvalidPicture();
        const bool frame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (frame) {
            if (length < 8) RaiseInvalidPicture();
            const std::uint32_t height = Be16(b, at + 3);
            const std::uint32_t width = Be16(b, at + 5);
            const std::uint32_t components = b[at + 7];
            if (components == 0 || components > 4 || length < 8 + 3 * components) RaiseInvalidPicture();
            RequireAcceptableSize(width, height);
            return;
        }
        at += length;
    }
}

// A GIF file's screen and every image in it: sizes within bounds, every block inside the file.
void CheckGifFile(const std::vector<BYTE>& b) {
    if (b.size() < 13) RaiseInvalidPicture();
    RequireAcceptableSize(U16(b, 6), U16(b, 8));
    std::size_t at = 13;
    if (b[10] & 0x80) at += 3u * (2u << (b[10] & 7));
    const auto skipSubBlocks = [&] {
        for (;;) {
            if (at >= b.size()) RaiseInvalidPicture();
            const std::size_t size = b[at++];
            if (size == 0) return;
            at += size;
        }
    };
    std::uint64_t pixels = 0;
    int images = 0;
    for (;;) {
        if (at >= b.size()) RaiseInvalidPicture();
        const BYTE block = b[at++];
        if (block == 0x3B) break;  // trailer
        if (block == 0x21) {
            if (at >= b.size()) RaiseInvalidPicture();
            ++at;  // label
            skipSubBlocks();
        } else if (block == 0x2C) {
            if (at + 9 > b.size()) RaiseInvalidPicture();
            const std::uint32_t width = U16(b, at + 4);
            const std::uint32_t height = U16(b, at + 6);
            const BYTE flags = b[at + 8];
            RequireAcceptableSize(width, height);
            // Every frame is held decoded at once by some decoders.
            pixels += std::uint64_t(width) * height;
            if (pixels * 8 > AvailableMemory() || pixels > (1ull << 28))
                RaiseInvalidPicture();
            at += 9;
            if (flags & 0x80) at += 3u * (2u << (flags & 7));
            ++at;  // LZW minimum code size
            skipSubBlocks();
            ++images;
        } else {
            RaiseInvalidPicture();
        }
    }
    if (images == 0) RaiseInvalidPicture();
}

void CheckPngFile(const std::vector<BYTE>& b) {
    if (b.size() < 33 || Be32(b, 8) != 13 || std::memcmp(b.data() + 12, "IHDR", 4) != 0) RaiseInvalidPicture();
    RequireAcceptableSize(Be32(b, 16), Be32(b, 20));
}

// The first image's width and length tags of a TIFF file.
void CheckTiffFile(const std::vector<BYTE>& b) {
    const bool big = b[0] == 'M';
    const auto u16 = [&](std::size_t at) { return big ? Be16(b, at) : std::uint32_t(U16(b, at)); };
    const auto u32 = [&](std::size_t at) { return big ? Be32(b, at) : U32(b, at); };
    const std::uint64_t directory = u32(4);
    if (directory + 2 > b.size()) RaiseInvalidPicture();
    const std::uint32_t count = u16(static_cast<std::size_t>(directory));
    if (directory + 2 + 12ull * count > b.size()) RaiseInvalidPicture();
    std::int64_t width = 0;
    std::int64_t height = 0;
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::size_t entry = static_cast<std::size_t>(directory) + 2 + 12 * i;
        const std::uint32_t tag = u16(entry);
        const std::uint32_t type = u16(entry + 2);
        const std::uint32_t value = type == 3 ? u16(entry + 8) : u32(entry + 8);
        if (tag == 256) width = value;
        if (tag == 257) height = value;
    }
    RequireAcceptableSize(width, height);
}

ComPtr<IStream> StreamOver(const std::vector<BYTE>& bytes) {
    ComPtr<IStream> stream(SHCreateMemStream(bytes.data(), static_cast<UINT>(bytes.size())));
    if (!stream) RaiseError(ErrorNumber::OutOfMemory, L"Out of memory");
    return stream;
}

ComPtr<IWICImagingFactory> ImagingFactory() {
    ComPtr<IWICImagingFactory> factory;
    HRESULT hr = CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                  factory.put_void());
    if (hr == CO_E_NOTINITIALIZED) {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        hr = CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                              factory.put_void());
    }
    ThrowIfFailed(hr, L"The imaging component is not available");
    return factory;
}

// The first frame of a file the imaging component can read, with its size checked;
// nullptr when no decoder takes the file.
ComPtr<IWICBitmapFrameDecode> FirstFrame(IWICImagingFactory* factory, const std::vector<BYTE>& bytes) {
    ComPtr<IWICBitmapDecoder> decoder;
    if (FAILED(factory->CreateDecoderFromStream(StreamOver(bytes).get(), nullptr, WICDecodeMetadataCacheOnDemand,
                                                decoder.put())))
        return nullptr;
    ComPtr<IWICBitmapFrameDecode> frame;
    if (FAILED(decoder->GetFrame(0, frame.put()))) return nullptr;
    UINT width = 0;
    UINT height = 0;
    if (FAILED(frame->GetSize(&width, &height))) return nullptr;
    RequireAcceptableSize(width, height);
    return frame;
}

Picture LoadThroughPictureLoader(const std::vector<BYTE>& bytes) {
    ComPtr<IPictureDisp> disp;
    const HRESULT hr = OleLoadPicture(StreamOver(bytes).get(), static_cast<LONG>(bytes.size()), FALSE,
                                      IID_IPictureDisp, disp.put_void());
    if (FAILED(hr) || !disp) return {};
    Picture picture(std::move(disp));
    const short type = picture.Type();
    if (type == PICTYPE_NONE || type == PICTYPE_UNINITIALIZED) return {};
    if (type == PICTYPE_BITMAP && picture.Bitmap() == nullptr) return {};
    const SIZE size = picture.SizePixels();
    if (size.cx <= 0 || size.cy <= 0) return {};
    return picture;
}

// Any file the imaging component decodes, as a 32-bit bitmap; transparent parts over white.
Picture LoadThroughImagingComponent(const std::vector<BYTE>& bytes) {
    auto factory = ImagingFactory();
    auto frame = FirstFrame(factory.get(), bytes);
    if (!frame) RaiseInvalidPicture();
    UINT width = 0;
    UINT height = 0;
    frame->GetSize(&width, &height);
    ComPtr<IWICFormatConverter> converter;
    ThrowIfFailed(factory->CreateFormatConverter(converter.put()), L"Cannot convert the picture");
    if (FAILED(converter->Initialize(frame.get(), GUID_WICPixelFormat32bppPBGRA, WICBitmapDitherTypeNone, nullptr, 0.0,
                                     WICBitmapPaletteTypeCustom)))
        RaiseInvalidPicture();
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = static_cast<LONG>(width);
    info.bmiHeader.biHeight = -static_cast<LONG>(height);
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    unique_hbitmap bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap || bits == nullptr) RaiseError(ErrorNumber::OutOfMemory, L"Out of memory");
    const UINT stride = width * 4;
    if (FAILED(converter->CopyPixels(nullptr, stride, stride * height, static_cast<BYTE*>(bits))))
        RaiseInvalidPicture();
    auto* pixel = static_cast<BYTE*>(bits);
    for (std::size_t i = 0, n = std::size_t(width) * height; i < n; ++i, pixel += 4) {
        const int uncovered = 255 - pixel[3];  // premultiplied: adding white's share is the blend
        pixel[0] = static_cast<BYTE>(std::min(255, pixel[0] + uncovered));
        pixel[1] = static_cast<BYTE>(std::min(255, pixel[1] + uncovered));
        pixel[2] = static_cast<BYTE>(std::min(255, pixel[2] + uncovered));
        pixel[3] = 0;
    }
    return PictureOwningBitmap(bitmap.release(), nullptr);
}

struct PaletteSource {
    std::vector<RGBQUAD> colours;
};

std::optional<PaletteSource> PaletteOf(const Picture& picture, HBITMAP bitmap) {
    PaletteSource source;
    if (HPALETTE palette = picture.Palette()) {
        PALETTEENTRY entries[256]{};
        const UINT count = GetPaletteEntries(palette, 0, 256, entries);
        for (UINT i = 0; i < count; ++i)
            source.colours.push_back(RGBQUAD{entries[i].peBlue, entries[i].peGreen, entries[i].peRed, 0});
    } else {
        DIBSECTION section{};
        if (GetObjectW(bitmap, sizeof section, &section) == sizeof section && section.dsBm.bmBitsPixel <= 8) {
            unique_hdc dc(CreateCompatibleDC(nullptr));
            SelectGuard select(dc.get(), bitmap);
            RGBQUAD table[256]{};
            const UINT count = GetDIBColorTable(dc.get(), 0, 256, table);
            source.colours.assign(table, table + count);
        }
    }
    if (source.colours.empty()) return std::nullopt;
    return source;
}

// The bitmap's pixels as 32-bit bottom-up rows (blue, green, red, unused).
std::vector<std::uint32_t> BitmapPixels(HBITMAP bitmap, HPALETTE palette, int width, int height) {
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    WindowDC screen(nullptr, false);
    unique_hdc dc(CreateCompatibleDC(screen.get()));
    PaletteGuard usePalette(dc.get(), palette);
    if (GetDIBits(dc.get(), bitmap, 0, static_cast<UINT>(height), pixels.data(), &info, DIB_RGB_COLORS) !=
        height)
        RaiseError(ErrorNumber::SystemCallFailed, L"Cannot read the picture's pixels");
    for (auto& p : pixels) p &= 0x00FFFFFF;
    return pixels;
}

// Draws any picture at its natural size onto white.
std::vector<std::uint32_t> RenderedPixels(const Picture& picture, int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    WindowDC screen(nullptr, false);
    unique_hbitmap canvas(CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!canvas || bits == nullptr) RaiseError(ErrorNumber::OutOfMemory, L"Out of memory");
    {
        unique_hdc dc(CreateCompatibleDC(screen.get()));
        SelectGuard select(dc.get(), canvas.get());
        RECT all{0, 0, width, height};
        FillRect(dc.get(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        PaletteGuard usePalette(dc.get(), picture.Palette());
        picture.Render(dc.get(), 0, 0);
        GdiFlush();
    }
    std::vector<std::uint32_t> pixels(static_cast<const std::uint32_t*>(bits),
                                      static_cast<const std::uint32_t*>(bits) + std::size_t(width) * height);
    for (auto& p : pixels) p &= 0x00FFFFFF;
    return pixels;
}

void Append(std::vector<BYTE>& out, const void* data, std::size_t size) {
    const auto* p = static_cast<const BYTE*>(data);
    out.insert(out.end(), p, p + size);
}

}  // namespace

bool PictureSizeAcceptable(std::int64_t width, std::int64_t height) {
    if (width <= 0 || height <= 0 || width > kMaxPictureSide || height > kMaxPictureSide) return false;
    // Decoders compute a whole image's bytes in 32 bits, at up to 8 bytes a pixel.
    if (width * height > kMaxPicturePixels) return false;
    const auto bytes = static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) * 8;
    return bytes <= AvailableMemory();
}

Picture PictureOwningBitmap(HBITMAP bitmap, HPALETTE palette) {
    PICTDESC description{};
    description.cbSizeofstruct = sizeof description;
    description.picType = PICTYPE_BITMAP;
    description.bmp.hbitmap = bitmap;
    description.bmp.hpal = palette;
    ComPtr<IPictureDisp> disp;
    const HRESULT hr = OleCreatePictureIndirect(&description, IID_IPictureDisp, TRUE, disp.put_void());
    if (FAILED(hr)) {
        DeleteObject(bitmap);
        if (palette != nullptr) DeleteObject(palette);
        ThrowIfFailed(hr, L"Cannot create the picture");
    }
    return Picture(std::move(disp));
}

Picture LoadPicture(const std::wstring& path) {
    const std::vector<BYTE> bytes = ReadWholeFile(path);
    const FileKind kind = Sniff(bytes);
    switch (kind) {
    case FileKind::Bitmap: CheckBitmapFile(bytes); break;
    case FileKind::Icon: CheckIconFile(bytes); break;
    case FileKind::Gif: CheckGifFile(bytes); break;
    case FileKind::Jpeg: CheckJpegFile(bytes); break;
    case FileKind::Png: CheckPngFile(bytes); return LoadThroughImagingComponent(bytes);
    case FileKind::Tiff: CheckTiffFile(bytes); return LoadThroughImagingComponent(bytes);
    case FileKind::Other: RaiseInvalidPicture();
    }
    if (Picture picture = LoadThroughPictureLoader(bytes); !picture.IsEmpty()) return picture;
    // A well-formed bitmap the picture loader declines (a newer header, say); GIF and JPEG
    // go through the same decoders either way, so a second try would only fail again.
    if (kind != FileKind::Bitmap) RaiseInvalidPicture();
    return LoadThroughImagingComponent(bytes);
}

std::vector<BYTE> PictureToPackedDib(const Picture& picture) {
    if (picture.IsEmpty()) RaiseInvalidPicture();
    const SIZE size = picture.SizePixels();
    if (size.cx <= 0 || size.cy <= 0) RaiseInvalidPicture();
    const int width = size.cx;
    const int height = size.cy;

    DWORD attributes = 0;
    if (auto ipicture = picture.AsIPicture()) ipicture->get_Attributes(&attributes);
    const HBITMAP bitmap = picture.Bitmap();
    const bool plainBitmap = bitmap != nullptr && (attributes & PICTURE_TRANSPARENT) == 0;

    std::vector<std::uint32_t> pixels =
        plainBitmap ? BitmapPixels(bitmap, picture.Palette(), width, height) : RenderedPixels(picture, width, height);

    // With a palette that holds every pixel, keep it: 8 bits per pixel and that colour table.
    std::vector<RGBQUAD> table;
    std::vector<BYTE> indices;
    if (plainBitmap) {
        if (auto palette = PaletteOf(picture, bitmap)) {
            std::map<std::uint32_t, BYTE> lookup;
            for (std::size_t i = 0; i < palette->colours.size(); ++i) {
                const RGBQUAD& c = palette->colours[i];
                const std::uint32_t key = (std::uint32_t(c.rgbRed) << 16) | (std::uint32_t(c.rgbGreen) << 8) | c.rgbBlue;
                lookup.emplace(key, static_cast<BYTE>(i));
            }
            indices.reserve(pixels.size());
            for (std::uint32_t p : pixels) {
                auto it = lookup.find(p);
                if (it == lookup.end()) {
                    indices.clear();
                    break;
                }
                indices.push_back(it->second);
            }
            if (!indices.empty()) table = palette->colours;
        }
    }

    const WORD bitCount = table.empty() ? 24 : 8;
    const std::size_t stride = static_cast<std::size_t>(Stride(static_cast<std::uint64_t>(width), bitCount));
    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = bitCount;
    header.biCompression = BI_RGB;
    header.biSizeImage = static_cast<DWORD>(stride * static_cast<std::size_t>(height));
    header.biXPelsPerMeter = 3780;  // 96 dots per inch
    header.biYPelsPerMeter = 3780;
    header.biClrUsed = static_cast<DWORD>(table.size());

    std::vector<BYTE> out;
    out.reserve(sizeof header + table.size() * sizeof(RGBQUAD) + header.biSizeImage);
    Append(out, &header, sizeof header);
    if (!table.empty()) Append(out, table.data(), table.size() * sizeof(RGBQUAD));
    const std::size_t start = out.size();
    out.resize(start + header.biSizeImage, 0);
    for (int y = 0; y < height; ++y) {
        BYTE* row = out.data() + start + static_cast<std::size_t>(y) * stride;
        const std::size_t first = static_cast<std::size_t>(y) * static_cast<std::size_t>(width);
        if (bitCount == 8) {
            std::memcpy(row, indices.data() + first, static_cast<std::size_t>(width));
        } else {
            for (int x = 0; x < width; ++x) {
                const std::uint32_t p = pixels[first + static_cast<std::size_t>(x)];
                row[3 * x] = static_cast<BYTE>(p);
                row[3 * x + 1] = static_cast<BYTE>(p >> 8);
                row[3 * x + 2] = static_cast<BYTE>(p >> 16);
            }
        }
    }
    return out;
}

std::vector<BYTE> PictureToBitmapFile(const Picture& picture) {
    const std::vector<BYTE> dib = PictureToPackedDib(picture);
    const auto* header = reinterpret_cast<const BITMAPINFOHEADER*>(dib.data());
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;  // "BM"
    file.bfSize = static_cast<DWORD>(sizeof file + dib.size());
    file.bfOffBits = static_cast<DWORD>(sizeof file + header->biSize + header->biClrUsed * sizeof(RGBQUAD));
    std::vector<BYTE> out(sizeof file + dib.size());
    std::memcpy(out.data(), &file, sizeof file);
    std::memcpy(out.data() + sizeof file, dib.data(), dib.size());
    return out;
}

void ReplaceFileContents(const std::wstring& path, const std::vector<BYTE>& bytes) {
    std::wstring folder = L".";
    if (const auto slash = path.find_last_of(L"\\/"); slash != std::wstring::npos) {
        folder = path.substr(0, slash + 1);
    } else if (path.size() >= 2 && path[1] == L':') {
        folder = path.substr(0, 2);
    }
    wchar_t temporary[MAX_PATH + 1]{};
    if (GetTempFileNameW(folder.c_str(), L"pxn", 0, temporary) == 0)
        RaiseFileError(GetLastError(), L"Cannot write into the folder");
    // From here on, any failure removes the temporary file before it is reported.
    DWORD failure = ERROR_SUCCESS;
    {
        unique_handle file(CreateFileW(temporary, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                       nullptr));
        if (file.get() == INVALID_HANDLE_VALUE) {
            file.release();
            failure = GetLastError();
        } else {
            std::size_t done = 0;
            while (done < bytes.size() && failure == ERROR_SUCCESS) {
                DWORD written = 0;
                const DWORD want = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 24));
                if (!WriteFile(file.get(), bytes.data() + done, want, &written, nullptr) || written == 0)
                    failure = GetLastError() != ERROR_SUCCESS ? GetLastError() : ERROR_WRITE_FAULT;
                done += written;
            }
            if (failure == ERROR_SUCCESS && !FlushFileBuffers(file.get())) failure = GetLastError();
        }
    }
    if (failure == ERROR_SUCCESS &&
        !MoveFileExW(temporary, path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        failure = GetLastError();
    if (failure != ERROR_SUCCESS) {
        DeleteFileW(temporary);
        RaiseFileError(failure, L"Cannot write the file");
    }
}

void SavePicture(const Picture& picture, const std::wstring& path) {
    ReplaceFileContents(path, PictureToBitmapFile(picture));
}
