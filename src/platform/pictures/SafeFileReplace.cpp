#include "platform/pictures/SafeFileReplace.h"

#include <windows.h>

#include <algorithm>
#include <new>

#include "platform/rules/RuntimeError.h"
#include "platform/windows/FileErrors.h"
#include "platform/windows/Handles.h"

namespace {

// The attributes a saved file takes over from the one it replaces; archive is set because
// the file has changed. Read-only targets are refused before this matters.
constexpr DWORD kKeptAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

unique_handle OpenFile(const std::wstring& path, DWORD access, DWORD share, DWORD disposition) {
    HANDLE file = CreateFileW(path.c_str(), access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    return unique_handle(file == INVALID_HANDLE_VALUE ? nullptr : file);
}

// Writes all bytes at the file's current position; ERROR_SUCCESS or the failure.
DWORD WriteAll(HANDLE file, const std::vector<std::uint8_t>& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        DWORD written = 0;
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 24));
        if (!WriteFile(file, bytes.data() + done, want, &written, nullptr) || written == 0)
            return GetLastError() != ERROR_SUCCESS ? GetLastError() : ERROR_WRITE_FAULT;
        done += written;
    }
    return ERROR_SUCCESS;
}

// Makes the open file hold exactly bytes, written through to the disk.
DWORD Rewrite(HANDLE file, const std::vector<std::uint8_t>& bytes) {
    if (!SetFilePointerEx(file, LARGE_INTEGER{}, nullptr, FILE_BEGIN)) return GetLastError();
    if (const DWORD failure = WriteAll(file, bytes); failure != ERROR_SUCCESS) return failure;
    if (!SetEndOfFile(file) || !FlushFileBuffers(file)) return GetLastError();
    return ERROR_SUCCESS;
}

std::vector<std::uint8_t> ReadAll(HANDLE file) {
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file, &size)) RaiseFileError(GetLastError(), L"Cannot read the file");
    std::vector<std::uint8_t> bytes;
    try {
        bytes.resize(static_cast<std::size_t>(size.QuadPart));
    } catch (const std::bad_alloc&) {
        RaiseFileError(ERROR_NOT_ENOUGH_MEMORY, L"Cannot read the file");
    }
    std::size_t done = 0;
    while (done < bytes.size()) {
        DWORD read = 0;
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 24));
        if (!ReadFile(file, bytes.data() + done, want, &read, nullptr)) RaiseFileError(GetLastError(), L"Cannot read the file");
        if (read == 0) break;  // shorter than it said: keep what is there
        done += read;
    }
    bytes.resize(done);
    return bytes;
}

// The file keeps its name, attributes, times and security; only its contents change, so a
// failure part-way would damage it: its old contents go back before the failure is reported.
void WriteInPlace(const std::wstring& path, const std::vector<std::uint8_t>& bytes) {
    const unique_handle file = OpenFile(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, OPEN_EXISTING);
    if (!file) RaiseFileError(GetLastError(), L"Cannot write the file");
    const std::vector<std::uint8_t> old = ReadAll(file.get());
    const DWORD failure = Rewrite(file.get(), bytes);
    if (failure == ERROR_SUCCESS) return;
    if (const DWORD restore = Rewrite(file.get(), old); restore != ERROR_SUCCESS)
        RaiseError(75, L"Cannot write the file, and its old contents could not be put back: " +
                           SystemMessageText(failure));
    RaiseFileError(failure, L"Cannot write the file");
}

std::wstring FolderOf(const std::wstring& path) {
    if (const auto slash = path.find_last_of(L"\\/"); slash != std::wstring::npos) return path.substr(0, slash + 1);
    if (path.size() >= 2 && path[1] == L':') return path.substr(0, 2);
    return L".";
}

// Whether the target could be renamed away now: a program holding it open without letting
// others delete it (an image viewer, say) stops a replace but may still let us write it.
bool Replaceable(const std::wstring& path) {
    return static_cast<bool>(
        OpenFile(path, DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, OPEN_EXISTING));
}

}  // namespace

void ReplaceFileContents(const std::wstring& path, const std::vector<std::uint8_t>& bytes) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    // Read-only is the owner's "do not change": refused, like a folder under that name.
    if (exists && (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)))
        RaiseFileError(ERROR_ACCESS_DENIED, L"Cannot write the file");
    if (exists && !Replaceable(path)) {
        WriteInPlace(path, bytes);
        return;
    }
    // Wine's GetTempFileNameW reports a name even when it could not create the file, so the
    // temporary file counts as made once it is open.
    wchar_t temporary[MAX_PATH + 1]{};
    unique_handle file;
    if (GetTempFileNameW(FolderOf(path).c_str(), L"pxn", 0, temporary) != 0)
        file = OpenFile(temporary, GENERIC_WRITE, 0, CREATE_ALWAYS);
    if (!file) {
        const DWORD failure = GetLastError();
        if (temporary[0] != L'\0') DeleteFileW(temporary);
        // A folder that takes no new file may still let its files be written.
        if (exists && failure == ERROR_ACCESS_DENIED) {
            WriteInPlace(path, bytes);
            return;
        }
        RaiseFileError(failure, L"Cannot write into the folder");
    }
    // From here on, any failure removes the temporary file before it is reported.
    DWORD failure = WriteAll(file.get(), bytes);
    if (failure == ERROR_SUCCESS && !FlushFileBuffers(file.get())) failure = GetLastError();
    file.reset();
    if (failure == ERROR_SUCCESS && !exists &&
        !MoveFileExW(temporary, path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        failure = GetLastError();
    bool inPlace = false;
    if (failure == ERROR_SUCCESS && exists) {
        // ReplaceFileW keeps the target's attributes itself on Windows; Wine's only renames
        // the new file over it, so they are put on the new file first.
        SetFileAttributesW(temporary, (attributes & kKeptAttributes) | FILE_ATTRIBUTE_ARCHIVE);
        if (!ReplaceFileW(path.c_str(), temporary, nullptr, 0, nullptr, nullptr)) {
            failure = GetLastError();
            if (failure == ERROR_UNABLE_TO_MOVE_REPLACEMENT) {
                // The old file is gone and the new one still has its temporary name.
                failure = MoveFileExW(temporary, path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
                              ? ERROR_SUCCESS
                              : GetLastError();
            } else {
                // The target is whole and could not be replaced (ERROR_UNABLE_TO_REMOVE_REPLACED,
                // a denied delete): its contents may still be written.
                inPlace = GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
            }
        }
    }
    if (failure != ERROR_SUCCESS || inPlace) {
        DeleteFileW(temporary);
        if (inPlace) {
            WriteInPlace(path, bytes);
            return;
        }
        RaiseFileError(failure, L"Cannot write the file");
    }
}
