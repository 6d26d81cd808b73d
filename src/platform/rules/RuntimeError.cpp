#include "platform/rules/RuntimeError.h"

void RaiseError(std::int32_t number, const std::wstring& description) {
    throw RuntimeError(number, description);
}

void RaiseOverflow() { RaiseError(ErrorNumber::Overflow, L"Overflow"); }

void RaiseTypeMismatch() { RaiseError(ErrorNumber::TypeMismatch, L"Type mismatch"); }

void RaiseObjectNotSet() {
    RaiseError(ErrorNumber::ObjectNotSet, L"Object variable or With block variable not set");
}
