// PNG and JPEG writing through the Windows Imaging Component, beside the bitmap writer.
#include "platform/pictures/PictureEncoder.h"

#include <objidl.h>
#include <wincodec.h>

#include <cstring>

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

std::vector<BYTE> Encode(const std::vector<BYTE>& packedDib, const GUID& container) {
    const bool jpeg = container == GUID_ContainerFormatJpeg;
    DibPixels pixels = ReadPackedDib(packedDib);

    ComPtr<IWICImagingFactory> factory;
    ThrowIfFailed(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                   factory.put_void()),
                  L"Imaging component");

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

    ComPtr<IStream> stream;
    ThrowIfFailed(CreateStreamOnHGlobal(nullptr, TRUE, stream.put()), L"Picture stream");
    ComPtr<IWICBitmapEncoder> encoder;
    ThrowIfFailed(factory->CreateEncoder(container, nullptr, encoder.put()), L"Picture encoder");
    ThrowIfFailed(encoder->Initialize(stream.get(), WICBitmapEncoderNoCache), L"Picture encoder");
    ComPtr<IWICBitmapFrameEncode> frame;
    ComPtr<IPropertyBag2> options;
    ThrowIfFailed(encoder->CreateNewFrame(frame.put(), options.put()), L"Picture encoder");
    if (jpeg) SetQuality(options.get(), 0.9f);
    ThrowIfFailed(frame->Initialize(options.get()), L"Picture encoder");
    ThrowIfFailed(frame->SetSize(pixels.width, pixels.height), L"Picture encoder");

    // JPEG has no palette: an indexed picture goes in as its colours.
    WICPixelFormatGUID wanted = jpeg ? GUID_WICPixelFormat24bppBGR : sourceFormat;
    WICPixelFormatGUID accepted = wanted;
    ThrowIfFailed(frame->SetPixelFormat(&accepted), L"Picture encoder");
    if (indexed && IsEqualGUID(accepted, GUID_WICPixelFormat8bppIndexed))
        ThrowIfFailed(frame->SetPalette(palette.get()), L"Picture palette");
    ComPtr<IWICBitmapSource> source(bitmap.get(), true);
    if (!IsEqualGUID(accepted, sourceFormat)) {
        // The encoder takes another layout than ours: the imaging component converts.
        ComPtr<IWICBitmapSource> converted;
        ThrowIfFailed(WICConvertBitmapSource(accepted, bitmap.get(), converted.put()), L"Picture conversion");
        source = converted;
    }
    ThrowIfFailed(frame->WriteSource(source.get(), nullptr), L"Picture encoder");
    ThrowIfFailed(frame->Commit(), L"Picture encoder");
    ThrowIfFailed(encoder->Commit(), L"Picture encoder");

    STATSTG status{};
    ThrowIfFailed(stream->Stat(&status, STATFLAG_NONAME), L"Picture stream");
    std::vector<BYTE> bytes(static_cast<std::size_t>(status.cbSize.QuadPart));
    const LARGE_INTEGER start{};
    ThrowIfFailed(stream->Seek(start, STREAM_SEEK_SET, nullptr), L"Picture stream");
    ULONG read = 0;
    if (!bytes.empty()) ThrowIfFailed(stream->Read(bytes.data(), static_cast<ULONG>(bytes.size()), &read), L"Picture stream");
    bytes.resize(read);
    return bytes;
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

void SavePictureAs(const Picture& picture, const std::wstring& path, SaveFormat format) {
    if (format == SaveFormat::Bitmap) {
        SavePicture(picture, path);
        return;
    }
    ReplaceFileContents(path, EncodePicture(picture, format));
}
