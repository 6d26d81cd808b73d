#pragma once
#include <string>

#include <windows.h>

#include "platform/rules/Service.h"
#include "platform/windows/Handles.h"

// The HTML Help viewer, behind an interface so that no test ever opens one. Its one call
// has the shape of HtmlHelpA: owner window, ANSI path, command, data argument.
class IHelpViewer {
public:
    virtual ~IHelpViewer() = default;
    // Returns the viewer's window, or nullptr.
    virtual HWND Open(HWND owner, const std::string& path, UINT command, DWORD_PTR data) = 0;
};

template <>
IHelpViewer& RealService<IHelpViewer>();
inline IHelpViewer& HelpViewer() { return CurrentService<IHelpViewer>(); }
// nullptr restores the real one; tests may prefer ScopedService<IHelpViewer>.
inline void SetHelpViewer(IHelpViewer* viewer) { InstallService(viewer); }

// The real viewer: the entry point of the help library, loaded at the first call so that a
// machine without the library still runs the program and reports the failure as a run-time
// error (48 when the library cannot be loaded, 453 when it lacks the entry point).
class HtmlHelpLibrary final : public IHelpViewer {
public:
    explicit HtmlHelpLibrary(std::wstring library = L"hhctrl.ocx", std::string entryPoint = "HtmlHelpA");
    HWND Open(HWND owner, const std::string& path, UINT command, DWORD_PTR data) override;

private:
    using EntryPoint = HWND(WINAPI*)(HWND, LPCSTR, UINT, DWORD_PTR);
    EntryPoint Resolve();

    std::wstring library_;
    std::string entryPointName_;
    unique_hmodule module_;
    EntryPoint entryPoint_ = nullptr;
};
