#include "app/AfterCaptureOptions.h"

#include <windows.h>
#include <knownfolders.h>
#include <shlobj.h>

#include "app/FrameSettings.h"

AfterCaptureOptions LoadAfterCaptureOptions() {
    AfterCaptureOptions options;
    // Only "True" turns them on: these write files and replace the clipboard unasked.
    options.copy = ReadFrameSetting(L"AfterCaptureCopy", L"False") == L"True";
    options.save = ReadFrameSetting(L"AfterCaptureSave", L"False") == L"True";
    options.folder = ReadFrameSetting(L"AfterCaptureFolder", L"");
    options.namePattern = ReadFrameSetting(L"AfterCaptureName", kDefaultCaptureNamePattern);
    if (options.namePattern.empty()) options.namePattern = kDefaultCaptureNamePattern;
    options.format = SaveFormatSetting(ReadFrameSetting(L"AfterCaptureType", L"PNG"));
    return options;
}

void StoreAfterCaptureOptions(const AfterCaptureOptions& options) {
    WriteFrameSetting(L"AfterCaptureCopy", options.copy ? L"True" : L"False");
    WriteFrameSetting(L"AfterCaptureSave", options.save ? L"True" : L"False");
    WriteFrameSetting(L"AfterCaptureFolder", options.folder);
    WriteFrameSetting(L"AfterCaptureName", options.namePattern);
    WriteFrameSetting(L"AfterCaptureType", SaveFormatText(options.format));
}

std::wstring DefaultCaptureFolder() {
    std::wstring folder;
    PWSTR path = nullptr;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_Pictures, KF_FLAG_DEFAULT, nullptr, &path)) && path != nullptr)
        folder = path;
    CoTaskMemFree(path);
    if (folder.empty()) return L"Pixelnab";  // no Pictures folder at all: beside the program's working folder
    if (folder.back() != L'\\') folder += L'\\';
    return folder + L"Pixelnab";
}

std::wstring CaptureFolder(const AfterCaptureOptions& options) {
    return options.folder.empty() ? DefaultCaptureFolder() : options.folder;
}
