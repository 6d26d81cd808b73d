#pragma once
#include <string>
#include <utility>
#include <vector>

#include <windows.h>

#include "platform/rules/Service.h"

// The settings of the shared common dialog. Every setting keeps its value from one
// use to the next.
struct CommonDialogSettings {
    std::wstring DefaultExt;
    std::wstring Filter;    // "description | pattern | description | pattern ..."
    std::wstring FileName;  // suggested name before, chosen full path after
    std::wstring FileTitle; // chosen file's name without its folder
    std::wstring InitDir;   // the folder the dialog starts in when FileName names none; empty: the system's choice
    DWORD Flags = 0;
    unsigned FilterIndex = 0;  // 1-based type shown first (0: the first); the type chosen after
    bool CancelError = false;
    bool PrinterDefault = false;
};

// The dialogs themselves, behind an interface so that tests script them.
// Each returns false when the user cancels.
class ICommonDialogService {
public:
    virtual ~ICommonDialogService() = default;
    virtual bool ShowOpen(HWND owner, CommonDialogSettings& settings) = 0;
    virtual bool ShowSave(HWND owner, CommonDialogSettings& settings) = 0;
    // On confirmation, fills printer with a device context for the chosen printer
    // (the caller owns it) when the platform provides one.
    virtual bool ShowPrinter(HWND owner, CommonDialogSettings& settings, HDC& printer) = 0;
    // The dialog's extended error after a false return: 0 for a plain cancel.
    virtual DWORD LastError() { return 0; }
};

template <>
ICommonDialogService& RealService<ICommonDialogService>();
inline ICommonDialogService& CommonDialogService() { return CurrentService<ICommonDialogService>(); }
// nullptr restores the real one; tests may prefer ScopedService<ICommonDialogService>.
inline void SetCommonDialogService(ICommonDialogService* service) { InstallService(service); }

// The frame's dialog control: settings plus the three dialogs. With CancelError on,
// a cancel is raised as error 32755 ("Cancel was selected.").
class CommonDialog : public CommonDialogSettings {
public:
    // Each returns true when the user confirmed.
    bool ShowOpen(HWND owner);
    bool ShowSave(HWND owner);
    bool ShowPrinter(HWND owner, HDC& printer);
};

// The (description, pattern) pairs of a "|" filter, blanks kept as written.
std::vector<std::pair<std::wstring, std::wstring>> FilterPairs(const std::wstring& filter);
// The same pairs as the dialog takes them: each text ends with a NUL, the list with two.
std::wstring FilterToDialogString(const std::wstring& filter);
// The default extension as the dialog appends it: without the dot, up to the first
// character that cannot belong to an extension (".bmp, .gif" gives "bmp").
std::wstring DialogDefaultExtension(const std::wstring& defaultExt);
