#include "platform/MessageBoxService.h"

namespace {

class RealMessageBoxService final : public IMessageBoxService {
public:
    int Show(HWND owner, const std::wstring& text, UINT style, const std::wstring& title) override {
        return MessageBoxW(owner, text.c_str(), title.c_str(), style);
    }
};

IMessageBoxService* g_installed = nullptr;

}  // namespace

IMessageBoxService& MessageBoxService() {
    static RealMessageBoxService real;
    return g_installed != nullptr ? *g_installed : real;
}

void SetMessageBoxService(IMessageBoxService* service) { g_installed = service; }

HWND MessageBoxOwner() { return GetActiveWindow(); }
