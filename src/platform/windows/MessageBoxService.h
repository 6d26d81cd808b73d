#pragma once
#include <string>

#include <windows.h>

#include "platform/rules/Service.h"

// The message box, behind an interface so that tests never wait on one.
class IMessageBoxService {
public:
    virtual ~IMessageBoxService() = default;
    // Returns the button chosen (IDOK, ...).
    virtual int Show(HWND owner, const std::wstring& text, UINT style, const std::wstring& title) = 0;
};

template <>
IMessageBoxService& RealService<IMessageBoxService>();
inline IMessageBoxService& MessageBoxService() { return CurrentService<IMessageBoxService>(); }
// nullptr restores the real one; tests may prefer ScopedService<IMessageBoxService>.
inline void SetMessageBoxService(IMessageBoxService* service) { InstallService(service); }

// The owner every message box of the program uses: the active window of this thread.
HWND MessageBoxOwner();
