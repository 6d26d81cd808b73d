#pragma once
#include <string>

#include <windows.h>

// The message box, behind an interface so that tests never wait on one.
class IMessageBoxService {
public:
    virtual ~IMessageBoxService() = default;
    // Returns the button chosen (IDOK, ...).
    virtual int Show(HWND owner, const std::wstring& text, UINT style, const std::wstring& title) = 0;
};

IMessageBoxService& MessageBoxService();
void SetMessageBoxService(IMessageBoxService* service);  // nullptr restores the real one

// The owner every message box of the program uses: the active window of this thread.
HWND MessageBoxOwner();
