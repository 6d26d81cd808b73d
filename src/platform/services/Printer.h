#pragma once
#include <cstdint>
#include <string>

#include <windows.h>

#include "platform/pictures/Picture.h"
#include "platform/rules/Service.h"
#include "platform/windows/Handles.h"

// The printer's device-level calls, behind an interface so that tests record them.
// Every failure is a run-time error (482, "Printer error").
class IPrinterService {
public:
    virtual ~IPrinterService() = default;
    // Opens a print job on printer (a device context from the Print dialog, owned by the
    // service from now on), or on the system's default printer when printer is empty.
    virtual void StartDoc(unique_hdc printer, const std::wstring& title) = 0;
    virtual void StartPage() = 0;
    // The printable area of the open job's page, in HIMETRIC (0.01 mm).
    virtual SIZE PrintableSize() = 0;
    // Draws the picture with its top-left corner at (x, y) from the printable area's
    // top-left corner, width x height large; all four in HIMETRIC (0.01 mm).
    virtual void PaintPicture(const Picture& picture, long x, long y, long width, long height) = 0;
    virtual void EndPage() = 0;
    // Ends the job and hands it to the spooler.
    virtual void EndDoc() = 0;
    // Cancels the job that is open, if any; never fails.
    virtual void AbortDoc() noexcept = 0;
};

template <>
IPrinterService& RealService<IPrinterService>();
inline IPrinterService& PrinterService() { return CurrentService<IPrinterService>(); }
// nullptr restores the real one; tests may prefer ScopedService<IPrinterService>.
inline void SetPrinterService(IPrinterService* service) { InstallService(service); }

// The units the printer object's coordinates are in.
enum class PrinterScale : std::int16_t { Twips = 1, Points = 2, Inches = 5, Millimeters = 6, Centimeters = 7, Himetric = 8 };

// Converts a length in the given scale unit to HIMETRIC, rounded half to even into 32 bits.
long ScaleToHimetric(float value, PrinterScale scale);

// The printer object of one print command: the job starts with the first drawing, and
// a job that is still open when the object goes away (a failure part-way) is aborted,
// so nothing half-printed is left in the spooler.
class PrinterObject {
public:
    PrinterObject(IPrinterService& service, unique_hdc printer, std::wstring title);
    PrinterObject(const PrinterObject&) = delete;
    PrinterObject& operator=(const PrinterObject&) = delete;
    ~PrinterObject();

    void SetScaleMode(PrinterScale scale) noexcept { scale_ = scale; }
    // The page's printable area in HIMETRIC; opens the job when it is not open yet.
    SIZE PrintableSize();
    // Coordinates in the current scale unit.
    void PaintPicture(const Picture& picture, float x, float y, float width, float height);
    void EndDoc();

private:
    void OpenJob();

    IPrinterService& service_;
    unique_hdc printer_;
    std::wstring title_;
    PrinterScale scale_ = PrinterScale::Twips;
    bool jobOpen_ = false;
};
