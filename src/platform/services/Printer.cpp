#include "platform/services/Printer.h"

#include <winspool.h>

#include <vector>

#include "platform/pictures/BitmapWriter.h"
#include "platform/rules/Conversions.h"
#include "platform/rules/RuntimeError.h"

namespace {

[[noreturn]] void RaisePrinterError(const wchar_t* what) {
    RaiseError(ErrorNumber::PrinterError, std::wstring(L"Printer error: ") + what);
}

unique_hdc DefaultPrinterDc() {
    DWORD length = 0;
    GetDefaultPrinterW(nullptr, &length);
    if (length == 0) RaisePrinterError(L"no printer is installed");
    std::wstring name(length, L'\0');
    if (!GetDefaultPrinterW(name.data(), &length)) RaisePrinterError(L"no printer is installed");
    name.resize(wcslen(name.c_str()));
    unique_hdc dc(CreateDCW(L"WINSPOOL", name.c_str(), nullptr, nullptr));
    if (!dc) RaisePrinterError(L"the printer cannot be opened");
    return dc;
}

class RealPrinterService final : public IPrinterService {
public:
    void StartDoc(unique_hdc printer, const std::wstring& title) override {
        AbortDoc();
        dc_ = printer ? std::move(printer) : DefaultPrinterDc();
        DOCINFOW info{};
        info.cbSize = sizeof info;
        info.lpszDocName = title.c_str();
        if (::StartDocW(dc_.get(), &info) <= 0) {
            dc_.reset();
            RaisePrinterError(L"the print job cannot be started");
        }
    }

    void StartPage() override {
        if (::StartPage(dc_.get()) <= 0) RaisePrinterError(L"the page cannot be started");
    }

    SIZE PrintableSize() override {
        const int dpiX = GetDeviceCaps(dc_.get(), LOGPIXELSX);
        const int dpiY = GetDeviceCaps(dc_.get(), LOGPIXELSY);
        if (dpiX <= 0 || dpiY <= 0) return SIZE{0, 0};
        return SIZE{MulDiv(GetDeviceCaps(dc_.get(), HORZRES), 2540, dpiX),
                    MulDiv(GetDeviceCaps(dc_.get(), VERTRES), 2540, dpiY)};
    }

    void PaintPicture(const Picture& picture, long x, long y, long width, long height) override {
        // The device's origin is the printable area's top-left corner.
        const int dpiX = GetDeviceCaps(dc_.get(), LOGPIXELSX);
        const int dpiY = GetDeviceCaps(dc_.get(), LOGPIXELSY);
        const int left = MulDiv(x, dpiX, 2540);
        const int top = MulDiv(y, dpiY, 2540);
        const int right = MulDiv(x + width, dpiX, 2540);
        const int bottom = MulDiv(y + height, dpiY, 2540);
        // Printers take device-independent pixels best; every picture goes as one.
        const std::vector<BYTE> dib = PictureToPackedDib(picture);
        const auto* info = reinterpret_cast<const BITMAPINFO*>(dib.data());
        const BYTE* bits = dib.data() + info->bmiHeader.biSize + info->bmiHeader.biClrUsed * sizeof(RGBQUAD);
        SetStretchBltMode(dc_.get(), HALFTONE);
        SetBrushOrgEx(dc_.get(), 0, 0, nullptr);
        if (StretchDIBits(dc_.get(), left, top, right - left, bottom - top, 0, 0, info->bmiHeader.biWidth,
                          info->bmiHeader.biHeight, bits, info, DIB_RGB_COLORS, SRCCOPY) == 0)
            RaisePrinterError(L"the picture cannot be printed");
    }

    void EndPage() override {
        if (::EndPage(dc_.get()) <= 0) RaisePrinterError(L"the page cannot be ended");
    }

    void EndDoc() override {
        const int result = ::EndDoc(dc_.get());
        dc_.reset();
        if (result <= 0) RaisePrinterError(L"the print job cannot be ended");
    }

    void AbortDoc() noexcept override {
        if (dc_) ::AbortDoc(dc_.get());
        dc_.reset();
    }

private:
    unique_hdc dc_;
};

}  // namespace

template <>
IPrinterService& RealService<IPrinterService>() {
    static RealPrinterService real;
    return real;
}

long ScaleToHimetric(float value, PrinterScale scale) {
    double factor = 1.0;
    switch (scale) {
    case PrinterScale::Twips: factor = 2540.0 / 1440.0; break;
    case PrinterScale::Points: factor = 2540.0 / 72.0; break;
    case PrinterScale::Inches: factor = 2540.0; break;
    case PrinterScale::Millimeters: factor = 100.0; break;
    case PrinterScale::Centimeters: factor = 1000.0; break;
    case PrinterScale::Himetric: factor = 1.0; break;
    }
    return ToInt32(static_cast<double>(value) * factor);
}

PrinterObject::PrinterObject(IPrinterService& service, unique_hdc printer, std::wstring title)
    : service_(service), printer_(std::move(printer)), title_(std::move(title)) {}

PrinterObject::~PrinterObject() {
    if (jobOpen_) service_.AbortDoc();
}

void PrinterObject::PaintPicture(const Picture& picture, float x, float y, float width, float height) {
    if (picture.IsEmpty()) RaiseError(ErrorNumber::InvalidPicture, L"Invalid picture");
    const long left = ScaleToHimetric(x, scale_);
    const long top = ScaleToHimetric(y, scale_);
    const long w = ScaleToHimetric(width, scale_);
    const long h = ScaleToHimetric(height, scale_);
    OpenJob();
    service_.PaintPicture(picture, left, top, w, h);
}

void PrinterObject::OpenJob() {
    if (jobOpen_) return;
    service_.StartDoc(std::move(printer_), title_);
    jobOpen_ = true;
    service_.StartPage();
}

SIZE PrinterObject::PrintableSize() {
    OpenJob();
    return service_.PrintableSize();
}

void PrinterObject::EndDoc() {
    if (!jobOpen_) return;
    service_.EndPage();
    jobOpen_ = false;  // EndDoc releases the job whether or not it succeeds
    service_.EndDoc();
}
