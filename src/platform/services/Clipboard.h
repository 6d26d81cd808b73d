#pragma once
#include <windows.h>

#include "platform/pictures/Picture.h"
#include "platform/rules/Service.h"

// The system clipboard as the program uses it, behind an interface so that tests can
// make it fail. Failures are run-time errors (521 when the clipboard cannot be opened).
class IClipboardService {
public:
    virtual ~IClipboardService() = default;
    // Removes everything from the clipboard, whatever program put it there.
    virtual void Clear(HWND owner) = 0;
    // Places the picture on the clipboard in its own format: a bitmap (CF_BITMAP, with
    // CF_PALETTE when it has a palette) and the same pixels as a CF_DIB, so that every
    // program that pastes a bitmap or a device-independent bitmap gets it.
    virtual void SetData(HWND owner, const Picture& picture) = 0;
};

template <>
IClipboardService& RealService<IClipboardService>();
inline IClipboardService& ClipboardService() { return CurrentService<IClipboardService>(); }
// nullptr restores the real one; tests may prefer ScopedService<IClipboardService>.
inline void SetClipboardService(IClipboardService* service) { InstallService(service); }
