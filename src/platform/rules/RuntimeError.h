#pragma once
#include <cstdint>
#include <exception>
#include <string>
#include <utility>

// A run-time failure: a number and a description, as the user sees them in the error box.
class RuntimeError : public std::exception {
public:
    RuntimeError(std::int32_t number, std::wstring description)
        : number_(number), description_(std::move(description)) {}
    std::int32_t Number() const noexcept { return number_; }
    const std::wstring& Description() const noexcept { return description_; }
    const char* what() const noexcept override { return "Pixelnab run-time error"; }

private:
    std::int32_t number_;
    std::wstring description_;
};

// Error numbers the program raises itself.
namespace ErrorNumber {
constexpr std::int32_t OutOfMemory = 7;
constexpr std::int32_t Overflow = 6;
constexpr std::int32_t TypeMismatch = 13;
constexpr std::int32_t FileNotFound = 53;
constexpr std::int32_t PathNotFound = 76;
constexpr std::int32_t DllNotFound = 48;
constexpr std::int32_t DllEntryPointNotFound = 453;
constexpr std::int32_t ObjectNotSet = 91;
constexpr std::int32_t InvalidPropertyValue = 380;
constexpr std::int32_t CannotSizeMinimisedForm = 384;
constexpr std::int32_t InvalidPicture = 481;
constexpr std::int32_t ElementNotFound = 35601;
constexpr std::int32_t DialogCancelled = 32755;
constexpr std::int32_t PrinterError = 482;
constexpr std::int32_t ClipboardError = 521;
constexpr std::int32_t SystemCallFailed = 1000;
}  // namespace ErrorNumber

[[noreturn]] void RaiseError(std::int32_t number, const std::wstring& description);
[[noreturn]] void RaiseOverflow();
[[noreturn]] void RaiseTypeMismatch();
[[noreturn]] void RaiseObjectNotSet();

// The system's side (SystemError.cpp, Windows only). HRESULT and DWORD are spelled as the
// long and unsigned long they are, so that the pure rules can use this header without
// <windows.h>.
// Raises the failure reported by a COM call: the HRESULT is the (negative) number.
void ThrowIfFailed(long hr, const wchar_t* what);
// Raises GetLastError's failure with the system's own text.
[[noreturn]] void RaiseLastWin32Error(const wchar_t* what);
std::wstring SystemMessageText(unsigned long code);
