#include "platform/services/HelpViewer.h"

#include "platform/rules/RuntimeError.h"

namespace {
std::wstring Widen(const std::string& text) { return std::wstring(text.begin(), text.end()); }
}  // namespace

template <>
IHelpViewer& RealService<IHelpViewer>() {
    // Never destroyed: viewer windows still open at exit run the library's code, so it
    // stays loaded for the whole run.
    static HtmlHelpLibrary* const real = new HtmlHelpLibrary();
    return *real;
}

HtmlHelpLibrary::HtmlHelpLibrary(std::wstring library, std::string entryPoint)
    : library_(std::move(library)), entryPointName_(std::move(entryPoint)) {}

HtmlHelpLibrary::EntryPoint HtmlHelpLibrary::Resolve() {
    if (entryPoint_ != nullptr) return entryPoint_;
    if (!module_) {
        module_.reset(LoadLibraryW(library_.c_str()));
        if (!module_) {
            const DWORD code = GetLastError();
            RaiseError(ErrorNumber::DllNotFound,
                       L"Error in loading DLL " + library_ + L": " + SystemMessageText(code));
        }
    }
    entryPoint_ = reinterpret_cast<EntryPoint>(GetProcAddress(module_.get(), entryPointName_.c_str()));
    if (entryPoint_ == nullptr)
        RaiseError(ErrorNumber::DllEntryPointNotFound,
                   L"Can't find DLL entry point " + Widen(entryPointName_) + L" in " + library_);
    return entryPoint_;
}

HWND HtmlHelpLibrary::Open(HWND owner, const std::string& path, UINT command, DWORD_PTR data) {
    return Resolve()(owner, path.c_str(), command, data);
}
