// Picture files in, pictures out: the file read whole, its headers checked, then decoded by
// the platform's picture loader or the imaging component.
#include "platform/pictures/PictureDecoder.h"

#include <objidl.h>
#include <shlwapi.h>
#include <wincodec.h>

#include <algorithm>
#include <vector>

#include "platform/rules/PictureHeaders.h"
#include "platform/rules/RuntimeError.h"
#include "platform/windows/FileErrors.h"
#include "platform/windows/Handles.h"

namespace {

[[noreturn]] void RaiseInvalidPicture() { RaiseError(ErrorNumber::InvalidPicture, L"Invalid picture"); }

std::uint64_t AvailableMemory() {
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof status;
    if (!GlobalMemoryStatusEx(&status)) return 1ull << 30;
    return std::min<std::uint64_t>(status.ullAvailPhys, status.ullAvailVirtual);
}

void RequireAcceptableSize(std::int64_t width, std::int64_t height) {
    if (!PictureSizeAcceptable(width, height)) RaiseInvalidPicture();
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

}  // namespace

bool PictureSizeAcceptable(std::int64_t width, std::int64_t height) {
    return PictureSizeWithin(width, height, AvailableMemory());
}

Picture LoadPicture(const std::wstring& path) {
    const std::vector<BYTE> bytes = ReadWholeFile(path);
    const PictureFormat format = SniffPictureFormat(bytes);
    if (!PictureHeadersSound(format, bytes, AvailableMemory())) RaiseInvalidPicture();
    if (format == PictureFormat::Png || format == PictureFormat::Tiff) return LoadThroughImagingComponent(bytes);
    if (Picture picture = LoadThroughPictureLoader(bytes); !picture.IsEmpty()) return picture;
    // A well-formed bitmap the picture loader declines (a newer header, say); GIF and JPEG
    // go through the same decoders either way, so a second try would only fail again.
    if (format != PictureFormat::Bitmap) RaiseInvalidPicture();
    return LoadThroughImagingComponent(bytes);
}
