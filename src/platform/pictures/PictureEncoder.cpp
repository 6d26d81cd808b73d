// PNG and JPEG writing through the Windows Imaging Component, beside the bitmap writer.
#include "platform/pictures/PictureEncoder.h"

#include <objidl.h>
#include <wincodec.h>

#include <algorithm>
#include <cstring>
#include <exception>
#include <functional>
#include <thread>

#include "platform/pictures/PictureFile.h"
#include "platform/rules/RuntimeError.h"
#include "platform/windows/Handles.h"

namespace {

// The packed DIB the bitmap writer makes, read back: 8 bits with a colour table or 24.
struct DibPixels {
    UINT width = 0;
    UINT height = 0;
    UINT bitsPerPixel = 0;
    UINT stride = 0;                  // bytes a row, rows top-down
    std::vector<BYTE> rows;
    std::vector<WICColor> palette;    // 8-bit pictures only
};

DibPixels ReadPackedDib(const std::vector<BYTE>& dib) {
    if (dib.size() < sizeof(BITMAPINFOHEADER)) RaiseError(ErrorNumber::InvalidPicture, L"Invalid picture");
    BITMAPINFOHEADER header{};
    std::memcpy(&header, dib.data(), sizeof header);
    DibPixels pixels;
    pixels.width = static_cast<UINT>(header.biWidth);
    const bool bottomUp = header.biHeight > 0;
    pixels.height = static_cast<UINT>(bottomUp ? header.biHeight : -header.biHeight);
    pixels.bitsPerPixel = header.biBitCount;
    if (header.biCompression != BI_RGB || (pixels.bitsPerPixel != 8 && pixels.bitsPerPixel != 24))
        RaiseError(ErrorNumber::InvalidPicture, L"Invalid picture");
    const std::size_t colours =
        pixels.bitsPerPixel == 8 ? (header.biClrUsed != 0 ? header.biClrUsed : 256u) : header.biClrUsed;
    const std::size_t tableOffset = header.biSize;
    const std::size_t bitsOffset = tableOffset + colours * sizeof(RGBQUAD);
    pixels.stride = ((pixels.width * pixels.bitsPerPixel + 31) / 32) * 4;
    const std::size_t imageBytes = std::size_t(pixels.stride) * pixels.height;
    if (bitsOffset + imageBytes > dib.size()) RaiseError(ErrorNumber::InvalidPicture, L"Invalid picture");
    if (pixels.bitsPerPixel == 8) {
        for (std::size_t i = 0; i < colours; ++i) {
            RGBQUAD quad{};
            std::memcpy(&quad, dib.data() + tableOffset + i * sizeof quad, sizeof quad);
            pixels.palette.push_back(0xFF000000u | (WICColor(quad.rgbRed) << 16) | (WICColor(quad.rgbGreen) << 8) |
                                     quad.rgbBlue);
        }
    }
    pixels.rows.resize(imageBytes);
    const BYTE* bits = dib.data() + bitsOffset;
    for (UINT y = 0; y < pixels.height; ++y) {
        const UINT from = bottomUp ? pixels.height - 1 - y : y;
        std::memcpy(pixels.rows.data() + std::size_t(y) * pixels.stride, bits + std::size_t(from) * pixels.stride,
                    pixels.stride);
    }
    return pixels;
}

void SetQuality(IPropertyBag2* options, float quality) {
    PROPBAG2 name{};
    name.pstrName = const_cast<LPOLESTR>(L"ImageQuality");
    VARIANT value;
    VariantInit(&value);
    value.vt = VT_R4;
    value.fltVal = quality;
    ThrowIfFailed(options->Write(1, &name, &value), L"JPEG quality");
}

ComPtr<IWICImagingFactory> ImagingFactory() {
    ComPtr<IWICImagingFactory> factory;
    ThrowIfFailed(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                   factory.put_void()),
                  L"Imaging component");
    return factory;
}

// One frame being encoded into memory, in the layout the encoder took.
struct FrameEncoding {
    ComPtr<IStream> stream;
    ComPtr<IWICBitmapEncoder> encoder;
    ComPtr<IWICBitmapFrameEncode> frame;
    WICPixelFormatGUID accepted{};
};

FrameEncoding StartFrame(IWICImagingFactory* factory, const GUID& container, UINT width, UINT height,
                         const WICPixelFormatGUID& wanted) {
    FrameEncoding encoding;
    ThrowIfFailed(CreateStreamOnHGlobal(nullptr, TRUE, encoding.stream.put()), L"Picture stream");
    ThrowIfFailed(factory->CreateEncoder(container, nullptr, encoding.encoder.put()), L"Picture encoder");
    ThrowIfFailed(encoding.encoder->Initialize(encoding.stream.get(), WICBitmapEncoderNoCache), L"Picture encoder");
    ComPtr<IPropertyBag2> options;
    ThrowIfFailed(encoding.encoder->CreateNewFrame(encoding.frame.put(), options.put()), L"Picture encoder");
    if (container == GUID_ContainerFormatJpeg) SetQuality(options.get(), 0.9f);
    ThrowIfFailed(encoding.frame->Initialize(options.get()), L"Picture encoder");
    ThrowIfFailed(encoding.frame->SetSize(width, height), L"Picture encoder");
    encoding.accepted = wanted;
    ThrowIfFailed(encoding.frame->SetPixelFormat(&encoding.accepted), L"Picture encoder");
    return encoding;
}

// Writes the source, converted by the imaging component where the encoder took another layout.
void WriteConverted(FrameEncoding& encoding, IWICBitmapSource* source, const WICPixelFormatGUID& sourceFormat) {
    ComPtr<IWICBitmapSource> written(source, true);
    if (!IsEqualGUID(encoding.accepted, sourceFormat)) {
        ComPtr<IWICBitmapSource> converted;
        ThrowIfFailed(WICConvertBitmapSource(encoding.accepted, source, converted.put()), L"Picture conversion");
        written = converted;
    }
    ThrowIfFailed(encoding.frame->WriteSource(written.get(), nullptr), L"Picture encoder");
}

std::vector<BYTE> Finish(FrameEncoding& encoding) {
    ThrowIfFailed(encoding.frame->Commit(), L"Picture encoder");
    ThrowIfFailed(encoding.encoder->Commit(), L"Picture encoder");
    STATSTG status{};
    ThrowIfFailed(encoding.stream->Stat(&status, STATFLAG_NONAME), L"Picture stream");
    std::vector<BYTE> bytes(static_cast<std::size_t>(status.cbSize.QuadPart));
    const LARGE_INTEGER start{};
    ThrowIfFailed(encoding.stream->Seek(start, STREAM_SEEK_SET, nullptr), L"Picture stream");
    ULONG read = 0;
    if (!bytes.empty())
        ThrowIfFailed(encoding.stream->Read(bytes.data(), static_cast<ULONG>(bytes.size()), &read), L"Picture stream");
    bytes.resize(read);
    return bytes;
}

// A thread that is waited for however its scope is left.
struct JoinedThread {
    std::thread thread;
    ~JoinedThread() {
        if (thread.joinable()) thread.join();
    }
};

const GUID& ContainerOf(SaveFormat format) {
    return format == SaveFormat::Jpeg ? GUID_ContainerFormatJpeg : GUID_ContainerFormatPng;
}

std::vector<BYTE> Encode(const std::vector<BYTE>& packedDib, const GUID& container) {
    const bool jpeg = container == GUID_ContainerFormatJpeg;
    DibPixels pixels = ReadPackedDib(packedDib);
    const ComPtr<IWICImagingFactory> factory = ImagingFactory();

    const bool indexed = pixels.bitsPerPixel == 8;
    WICPixelFormatGUID sourceFormat = indexed ? GUID_WICPixelFormat8bppIndexed : GUID_WICPixelFormat24bppBGR;
    ComPtr<IWICBitmap> bitmap;
    ThrowIfFailed(factory->CreateBitmapFromMemory(pixels.width, pixels.height, sourceFormat, pixels.stride,
                                                  static_cast<UINT>(pixels.rows.size()), pixels.rows.data(),
                                                  bitmap.put()),
                  L"Picture pixels");
    ComPtr<IWICPalette> palette;
    if (indexed) {
        ThrowIfFailed(factory->CreatePalette(palette.put()), L"Picture palette");
        ThrowIfFailed(palette->InitializeCustom(pixels.palette.data(), static_cast<UINT>(pixels.palette.size())),
                      L"Picture palette");
        ThrowIfFailed(bitmap->SetPalette(palette.get()), L"Picture palette");
    }

    // JPEG has no palette: an indexed picture goes in as its colours.
    FrameEncoding encoding =
        StartFrame(factory.get(), container, pixels.width, pixels.height, jpeg ? GUID_WICPixelFormat24bppBGR : sourceFormat);
    if (indexed && IsEqualGUID(encoding.accepted, GUID_WICPixelFormat8bppIndexed))
        ThrowIfFailed(encoding.frame->SetPalette(palette.get()), L"Picture palette");
    WriteConverted(encoding, bitmap.get(), sourceFormat);
    return Finish(encoding);
}

}  // namespace

std::vector<BYTE> EncodePicture(const Picture& picture, SaveFormat format) {
    if (picture.IsEmpty()) RaiseError(ErrorNumber::InvalidPicture, L"Invalid picture");
    if (format == SaveFormat::Bitmap) return PictureToBitmapFile(picture);
    return EncodePackedDib(PictureToPackedDib(picture), format);
}

std::vector<BYTE> EncodePackedDib(const std::vector<BYTE>& packedDib, SaveFormat format) {
    switch (format) {
    case SaveFormat::Png:
        return Encode(packedDib, GUID_ContainerFormatPng);
    case SaveFormat::Jpeg:
        return Encode(packedDib, GUID_ContainerFormatJpeg);
    case SaveFormat::Bitmap:
    default:
        return PackedDibToBitmapFile(packedDib);
    }
}

std::vector<BYTE> EncodeRows(UINT width, UINT height, SaveFormat format, const RowBands& rows) {
    if (format == SaveFormat::Bitmap || width == 0 || height == 0) RaiseError(ErrorNumber::InvalidPicture, L"Invalid picture");
    const ComPtr<IWICImagingFactory> factory = ImagingFactory();
    FrameEncoding encoding = StartFrame(factory.get(), ContainerOf(format), width, height, GUID_WICPixelFormat24bppBGR);
    const UINT stride = ((width * 24 + 31) / 32) * 4;
    if (IsEqualGUID(encoding.accepted, GUID_WICPixelFormat24bppBGR)) {
        // Band by band, as the encoder compresses them: no copy of the whole picture, and the
        // next band is made on a second thread while the encoder compresses this one.
        constexpr UINT kBandRows = 64;
        std::vector<BYTE> bands[2];
        for (auto& band : bands) band.resize(std::size_t(stride) * std::min(kBandRows, height));
        std::exception_ptr failure;
        const auto make = [&](std::vector<BYTE>& band, UINT top) {
            try {
                rows(top, std::min(kBandRows, height - top), band.data(), stride);
            } catch (...) {
                failure = std::current_exception();
            }
        };
        make(bands[0], 0);
        for (UINT top = 0, current = 0; top < height && !failure; top += kBandRows, current ^= 1) {
            JoinedThread next;
            if (top + kBandRows < height) next.thread = std::thread(make, std::ref(bands[current ^ 1]), top + kBandRows);
            const UINT count = std::min(kBandRows, height - top);
            ThrowIfFailed(encoding.frame->WritePixels(count, stride, stride * count, bands[current].data()), L"Picture encoder");
        }
        if (failure) std::rethrow_exception(failure);
    } else {
        std::vector<BYTE> all(std::size_t(stride) * height);
        rows(0, height, all.data(), stride);
        ComPtr<IWICBitmap> bitmap;
        ThrowIfFailed(factory->CreateBitmapFromMemory(width, height, GUID_WICPixelFormat24bppBGR, stride,
                                                      static_cast<UINT>(all.size()), all.data(), bitmap.put()),
                      L"Picture pixels");
        WriteConverted(encoding, bitmap.get(), GUID_WICPixelFormat24bppBGR);
    }
    return Finish(encoding);
}

void SavePictureAs(const Picture& picture, const std::wstring& path, SaveFormat format) {
    if (format == SaveFormat::Bitmap) {
        SavePicture(picture, path);
        return;
    }
    ReplaceFileContents(path, EncodePicture(picture, format));
}
