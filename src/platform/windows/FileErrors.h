#pragma once
#include <string>

// Raises the run-time error the program reports for a failed file operation: the system's
// error code (GetLastError) mapped onto the classic file errors (53 file not found, 76 path
// not found, 70 permission denied, 61 disk full, 7 out of memory), anything else as 75 with
// `what` and the system's text.
[[noreturn]] void RaiseFileError(unsigned long code, const std::wstring& what);
