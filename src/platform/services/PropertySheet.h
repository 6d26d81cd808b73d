#pragma once
#include <functional>
#include <string>
#include <vector>

#include <windows.h>

#include "platform/rules/Service.h"

// One page of a property sheet: its tab, its dialog template and what it does with its
// controls. The sheet creates a page only when it is first shown, so a page never shown
// is never read: its load and save run only on pages that exist.
struct PropertySheetPage {
    std::wstring title;
    int templateId = 0;
    // Fills the controls when the page is created.
    std::function<void(HWND page)> load;
    // A control of the page sent a command (a click, a text change).
    std::function<void(HWND page, int control, int notification)> command;
    // Leaving the page or pressing OK: an empty answer lets it go, a text is the reason it
    // may not (shown to the user, and the page stays in front).
    std::function<std::wstring(HWND page)> check;
    // OK was pressed and every page passed its check: reads the controls back.
    std::function<void(HWND page)> save;
};

// Shows the sheet modally over owner, the page at startPage in front; true when the user
// pressed OK (every created page has saved), false for Cancel.
class IPropertySheetService {
public:
    virtual ~IPropertySheetService() = default;
    virtual bool Show(HWND owner, const std::wstring& caption, const std::vector<PropertySheetPage>& pages,
                      int startPage) = 0;
};

template <>
IPropertySheetService& RealService<IPropertySheetService>();
inline IPropertySheetService& PropertySheetService() { return CurrentService<IPropertySheetService>(); }

// Test seam for the real sheet: called once the sheet shows and its modal loop runs, with
// the sheet's window, so that a test can switch pages, set controls and press its buttons.
void SetPropertySheetScript(std::function<void(HWND sheet)> script);
