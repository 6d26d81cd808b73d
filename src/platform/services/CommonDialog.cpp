#include "platform/services/CommonDialog.h"

#include <commdlg.h>
#include <winspool.h>

#include <cwctype>

#include "platform/rules/RuntimeError.h"

namespace {

// Room for a long path: the dialog writes the chosen full path into this buffer.
constexpr DWORD kPathChars = 32768;

std::wstring TitleOf(const std::wstring& path) {
    const auto slash = path.find_last_of(L"\\/:");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

class RealCommonDialogService final : public ICommonDialogService {
public:
    bool ShowOpen(HWND owner, CommonDialogSettings& settings) override { return ShowFile(owner, settings, false); }
    bool ShowSave(HWND owner, CommonDialogSettings& settings) override { return ShowFile(owner, settings, true); }

    bool ShowPrinter(HWND owner, CommonDialogSettings& settings, HDC& printer) override {
        printer = nullptr;
        PRINTDLGW dialog{};
        dialog.lStructSize = sizeof dialog;
        dialog.hwndOwner = owner;
        // The open-file-name bits in Flags mean nothing to the Print dialog; it has its own.
        dialog.Flags = PD_RETURNDC | PD_NOPAGENUMS | PD_NOSELECTION | PD_USEDEVMODECOPIESANDCOLLATE;
        dialog.nCopies = 1;
        const BOOL confirmed = PrintDlgW(&dialog);
        lastError_ = confirmed ? 0 : CommDlgExtendedError();
        if (confirmed) {
            printer = dialog.hDC;
            if (settings.PrinterDefault && dialog.hDevNames != nullptr) {
                if (auto* names = static_cast<DEVNAMES*>(GlobalLock(dialog.hDevNames))) {
                    const auto* base = reinterpret_cast<const wchar_t*>(names);
                    SetDefaultPrinterW(base + names->wDeviceOffset);
                    GlobalUnlock(dialog.hDevNames);
                }
            }
        } else if (dialog.hDC != nullptr) {
            DeleteDC(dialog.hDC);
        }
        if (dialog.hDevMode != nullptr) GlobalFree(dialog.hDevMode);
        if (dialog.hDevNames != nullptr) GlobalFree(dialog.hDevNames);
        return confirmed != FALSE;
    }

    DWORD LastError() override { return lastError_; }

private:
    bool ShowFile(HWND owner, CommonDialogSettings& settings, bool save) {
        std::wstring file(kPathChars, L'\0');
        settings.FileName.copy(file.data(), std::min<std::size_t>(settings.FileName.size(), kPathChars - 1));
        std::wstring title(MAX_PATH, L'\0');
        const std::wstring filter = FilterToDialogString(settings.Filter);
        const std::wstring extension = DialogDefaultExtension(settings.DefaultExt);

        OPENFILENAMEW dialog{};
        dialog.lStructSize = sizeof dialog;
        dialog.hwndOwner = owner;
        dialog.lpstrFilter = filter.empty() ? nullptr : filter.c_str();
        dialog.nFilterIndex = settings.FilterIndex;
        dialog.lpstrFile = file.data();
        dialog.nMaxFile = kPathChars;
        dialog.lpstrFileTitle = title.data();
        dialog.nMaxFileTitle = MAX_PATH;
        dialog.lpstrDefExt = extension.empty() ? nullptr : extension.c_str();
        dialog.lpstrInitialDir = settings.InitDir.empty() ? nullptr : settings.InitDir.c_str();
        dialog.Flags = settings.Flags | OFN_EXPLORER;
        const BOOL confirmed = save ? GetSaveFileNameW(&dialog) : GetOpenFileNameW(&dialog);
        lastError_ = confirmed ? 0 : CommDlgExtendedError();
        if (confirmed) {
            settings.FileName.assign(file.c_str());
            settings.FileTitle.assign(title.c_str());
            settings.FilterIndex = dialog.nFilterIndex;
            if (settings.FileTitle.empty()) settings.FileTitle = TitleOf(settings.FileName);
        }
        return confirmed != FALSE;
    }

    DWORD lastError_ = 0;
};

// A cancel, or the dialog's own failure: with CancelError on a cancel is raised too.
bool Outcome(bool confirmed, bool cancelError) {
    if (confirmed) return true;
    if (const DWORD error = CommonDialogService().LastError(); error != 0) {
        wchar_t text[64];
        wsprintfW(text, L"The dialog failed (error 0x%04lX)", error);
        RaiseError(ErrorNumber::SystemCallFailed, text);
    }
    if (cancelError) RaiseError(ErrorNumber::DialogCancelled, L"Cancel was selected.");
    return false;
}

}  // namespace

template <>
ICommonDialogService& RealService<ICommonDialogService>() {
    static RealCommonDialogService real;
    return real;
}

bool CommonDialog::ShowOpen(HWND owner) {
    return Outcome(CommonDialogService().ShowOpen(owner, *this), CancelError);
}

bool CommonDialog::ShowSave(HWND owner) {
    return Outcome(CommonDialogService().ShowSave(owner, *this), CancelError);
}

bool CommonDialog::ShowPrinter(HWND owner, HDC& printer) {
    printer = nullptr;
    return Outcome(CommonDialogService().ShowPrinter(owner, *this, printer), CancelError);
}

std::vector<std::pair<std::wstring, std::wstring>> FilterPairs(const std::wstring& filter) {
    std::vector<std::wstring> fields;
    std::size_t start = 0;
    while (start <= filter.size()) {
        const auto bar = filter.find(L'|', start);
        fields.push_back(filter.substr(start, bar == std::wstring::npos ? std::wstring::npos : bar - start));
        if (bar == std::wstring::npos) break;
        start = bar + 1;
    }
    std::vector<std::pair<std::wstring, std::wstring>> pairs;
    if (filter.empty()) return pairs;
    for (std::size_t i = 0; i < fields.size(); i += 2)
        pairs.emplace_back(fields[i], i + 1 < fields.size() ? fields[i + 1] : std::wstring());
    return pairs;
}

std::wstring FilterToDialogString(const std::wstring& filter) {
    std::wstring result;
    for (const auto& [description, pattern] : FilterPairs(filter)) {
        result += description;
        result += L'\0';
        result += pattern;
        result += L'\0';
    }
    if (!result.empty()) result += L'\0';
    return result;
}

std::wstring DialogDefaultExtension(const std::wstring& defaultExt) {
    std::size_t start = 0;
    while (start < defaultExt.size() && (defaultExt[start] == L'.' || defaultExt[start] == L' ')) ++start;
    std::size_t end = start;
    while (end < defaultExt.size() && (std::iswalnum(defaultExt[end]) || defaultExt[end] == L'_')) ++end;
    return defaultExt.substr(start, end - start);
}
