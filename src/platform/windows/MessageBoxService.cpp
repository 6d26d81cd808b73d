#include "platform/windows/MessageBoxService.h"

namespace {

class RealMessageBoxService final : public IMessageBoxService {
public:
    int Show(HWND owner, const std::wstring& text, UINT style, const std::wstring& title) override {
        return MessageBoxW(owner, text.c_str(), title.c_str(), style);
    }
};

}  // namespace

template <>
IMessageBoxService& RealService<IMessageBoxService>() {
    static RealMessageBoxService real;
    return real;
}

HWND MessageBoxOwner() { return GetActiveWindow(); }
