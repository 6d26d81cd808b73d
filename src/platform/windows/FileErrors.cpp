#include "platform/windows/FileErrors.h"

#include <windows.h>

#include "platform/rules/RuntimeError.h"

void RaiseFileError(unsigned long code, const std::wstring& what) {
    switch (code) {
    case ERROR_FILE_NOT_FOUND: RaiseError(ErrorNumber::FileNotFound, L"File not found");
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_DIRECTORY:
    case ERROR_BAD_PATHNAME: RaiseError(ErrorNumber::PathNotFound, L"Path not found");
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_WRITE_PROTECT: RaiseError(70, L"Permission denied");
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: RaiseError(61, L"Disk full");
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY: RaiseError(ErrorNumber::OutOfMemory, L"Out of memory");
    default: RaiseError(75, what + L": " + SystemMessageText(code));
    }
}
