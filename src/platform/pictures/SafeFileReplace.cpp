#include "platform/pictures/SafeFileReplace.h"

#include <windows.h>

#include <algorithm>

#include "platform/windows/FileErrors.h"
#include "platform/windows/Handles.h"

void ReplaceFileContents(const std::wstring& path, const std::vector<std::uint8_t>& bytes) {
    std::wstring folder = L".";
    if (const auto slash = path.find_last_of(L"\\/"); slash != std::wstring::npos) {
        folder = path.substr(0, slash + 1);
    } else if (path.size() >= 2 && path[1] == L':') {
        folder = path.substr(0, 2);
    }
    wchar_t temporary[MAX_PATH + 1]{};
    if (GetTempFileNameW(folder.c_str(), L"pxn", 0, temporary) == 0)
        RaiseFileError(GetLastError(), L"Cannot write into the folder");
    // From here on, any failure removes the temporary file before it is reported.
    DWORD failure = ERROR_SUCCESS;
    {
        unique_handle file(CreateFileW(temporary, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                       nullptr));
        if (file.get() == INVALID_HANDLE_VALUE) {
            file.release();
            failure = GetLastError();
        } else {
            std::size_t done = 0;
            while (done < bytes.size() && failure == ERROR_SUCCESS) {
                DWORD written = 0;
                const DWORD want = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 24));
                if (!WriteFile(file.get(), bytes.data() + done, want, &written, nullptr) || written == 0)
                    failure = GetLastError() != ERROR_SUCCESS ? GetLastError() : ERROR_WRITE_FAULT;
                done += written;
            }
            if (failure == ERROR_SUCCESS && !FlushFileBuffers(file.get())) failure = GetLastError();
        }
    }
    if (failure == ERROR_SUCCESS &&
        !MoveFileExW(temporary, path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        failure = GetLastError();
    if (failure != ERROR_SUCCESS) {
        DeleteFileW(temporary);
        RaiseFileError(failure, L"Cannot write the file");
    }
}
