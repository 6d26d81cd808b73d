#include "platform/windows/ErrorReporter.h"

#include <windows.h>

#include "platform/windows/MessageBoxService.h"

std::wstring ErrorMessageText(std::int32_t number, const std::wstring& description) {
    return L"Error #: " + std::to_wstring(number) + L"\r" + description;
}

void ReportError() {
    const std::int32_t number = Err().Number;
    const std::wstring description = Err().Description;
    MessageBoxService().Show(MessageBoxOwner(), ErrorMessageText(number, description), MB_OK | MB_ICONEXCLAMATION,
                             L"Error");
}
