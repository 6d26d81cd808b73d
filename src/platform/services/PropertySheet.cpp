// The system's property sheet (comctl32), its pages described by PropertySheetPage.
#include "platform/services/PropertySheet.h"

#include <commctrl.h>
#include <prsht.h>

#include <memory>
#include <utility>

#include "platform/windows/MessageBoxService.h"
#include "platform/rules/RuntimeError.h"
#include "platform/windows/WindowBase.h"

namespace {

constexpr UINT kRunScript = WM_APP + 1;

std::function<void(HWND)> g_script;

// What the pages of one showing share.
struct SheetState {
    std::wstring caption;  // the sheet's, for the message that refuses a page
    bool saved = false;    // OK came: a page saved
    bool scriptPosted = false;
};

struct PageState {
    const PropertySheetPage* page;
    SheetState* sheet;
};

INT_PTR Answer(HWND page, LONG_PTR result) {
    SetWindowLongPtrW(page, DWLP_MSGRESULT, result);
    return TRUE;
}

bool Refused(HWND page, const PageState& state) {
    if (!state.page->check) return false;
    const std::wstring reason = state.page->check(page);
    if (reason.empty()) return false;
    MessageBoxService().Show(GetParent(page), reason, MB_OK | MB_ICONEXCLAMATION, state.sheet->caption);
    return true;
}

INT_PTR CALLBACK PageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    try {
        auto* state = reinterpret_cast<PageState*>(GetWindowLongPtrW(page, DWLP_USER));
        switch (message) {
        case WM_INITDIALOG: {
            state = reinterpret_cast<PageState*>(reinterpret_cast<const PROPSHEETPAGEW*>(lParam)->lParam);
            SetWindowLongPtrW(page, DWLP_USER, reinterpret_cast<LONG_PTR>(state));
            if (state->page->load) state->page->load(page);
            // The first page made is the one in front: the script runs from its queue.
            if (g_script && !state->sheet->scriptPosted) {
                state->sheet->scriptPosted = true;
                PostMessageW(page, kRunScript, 0, 0);
            }
            return TRUE;
        }
        case kRunScript:
            if (g_script) g_script(GetParent(page));
            return TRUE;
        case WM_COMMAND:
            if (state != nullptr && state->page->command && lParam != 0)
                state->page->command(page, LOWORD(wParam), HIWORD(wParam));
            return FALSE;
        case WM_NOTIFY: {
            const auto* header = reinterpret_cast<const NMHDR*>(lParam);
            if (state == nullptr || header == nullptr) return FALSE;
            switch (header->code) {
            case PSN_KILLACTIVE:
                return Answer(page, Refused(page, *state) ? TRUE : FALSE);
            case PSN_APPLY:
                // Checked again: OK on another page skips this one's PSN_KILLACTIVE.
                if (Refused(page, *state)) return Answer(page, PSNRET_INVALID_NOCHANGEPAGE);
                if (state->page->save) state->page->save(page);
                state->sheet->saved = true;
                return Answer(page, PSNRET_NOERROR);
            default:
                return FALSE;
            }
        }
        default:
            return FALSE;
        }
    } catch (...) {
        return FALSE;
    }
}

class RealPropertySheet final : public IPropertySheetService {
public:
    bool Show(HWND owner, const std::wstring& caption, const std::vector<PropertySheetPage>& pages,
              int startPage) override {
        SheetState sheet{caption};
        std::vector<std::unique_ptr<PageState>> states;
        std::vector<PROPSHEETPAGEW> sheetPages;
        for (const PropertySheetPage& page : pages) {
            states.push_back(std::make_unique<PageState>(PageState{&page, &sheet}));
            PROPSHEETPAGEW sheetPage{};
            sheetPage.dwSize = sizeof sheetPage;
            sheetPage.dwFlags = PSP_USETITLE;
            sheetPage.hInstance = WindowBase::ModuleInstance();
            sheetPage.pszTemplate = MAKEINTRESOURCEW(page.templateId);
            sheetPage.pszTitle = page.title.c_str();
            sheetPage.pfnDlgProc = &PageProc;
            sheetPage.lParam = reinterpret_cast<LPARAM>(states.back().get());
            sheetPages.push_back(sheetPage);
        }
        PROPSHEETHEADERW header{};
        header.dwSize = sizeof header;
        header.dwFlags = PSH_PROPSHEETPAGE | PSH_NOAPPLYNOW | PSH_NOCONTEXTHELP;
        header.hwndParent = owner;
        header.hInstance = WindowBase::ModuleInstance();
        header.pszCaption = caption.c_str();
        header.nPages = static_cast<UINT>(sheetPages.size());
        header.nStartPage = startPage >= 0 && startPage < static_cast<int>(sheetPages.size()) ? static_cast<UINT>(startPage) : 0;
        header.ppsp = sheetPages.data();
        // Whether OK came is what the pages' saves tell; the sheet's return value says less
        // (0 for an OK without a change on some versions).
        if (PropertySheetW(&header) < 0) RaiseLastWin32Error(L"Property sheet");
        return sheet.saved;
    }
};


}  // namespace

template <>
IPropertySheetService& RealService<IPropertySheetService>() {
    static RealPropertySheet real;
    return real;
}

void SetPropertySheetScript(std::function<void(HWND)> script) { g_script = std::move(script); }
