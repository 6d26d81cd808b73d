// A second start hands its files to the frame that runs already.
#include "app/HandOver.h"

#include <shellapi.h>

#include <cstring>

std::wstring AbsolutePath(const std::wstring& path) {
    const DWORD needed = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (needed == 0) return path;
    std::wstring full(needed, L'\0');
    const DWORD written = GetFullPathNameW(path.c_str(), needed, full.data(), nullptr);
    if (written == 0 || written >= needed) return path;
    full.resize(written);
    return full;
}

std::vector<std::wstring> CommandLineArguments(const wchar_t* commandLine) {
    std::vector<std::wstring> arguments;
    if (commandLine == nullptr || *commandLine == L'\0') return arguments;
    int count = 0;
    LPWSTR* split = CommandLineToArgvW(commandLine, &count);
    if (split == nullptr) return arguments;
    for (int i = 1; i < count; ++i) arguments.emplace_back(split[i]);
    LocalFree(split);
    return arguments;
}

std::vector<std::wstring> CommandLineFiles(const wchar_t* commandLine) {
    std::vector<std::wstring> files;
    for (const std::wstring& argument : CommandLineArguments(commandLine))
        if (!argument.empty()) files.push_back(AbsolutePath(argument));
    return files;
}

std::wstring PackPaths(const std::vector<std::wstring>& paths) {
    std::wstring block;
    for (const std::wstring& path : paths) {
        block += path;
        block += L'\0';
    }
    block += L'\0';
    return block;
}

std::vector<std::wstring> UnpackPaths(const void* data, std::size_t size) {
    std::vector<std::wstring> paths;
    if (data == nullptr) return paths;
    const std::size_t characters = size / sizeof(wchar_t);
    std::wstring block(characters, L'\0');
    std::memcpy(block.data(), data, characters * sizeof(wchar_t));
    std::size_t start = 0;
    while (start < block.size()) {
        const std::size_t end = block.find(L'\0', start);
        const std::size_t stop = end == std::wstring::npos ? block.size() : end;
        if (stop == start) break;  // the empty entry that ends the list
        paths.push_back(block.substr(start, stop - start));
        start = stop + 1;
    }
    return paths;
}

bool HandOverToRunningFrame(const std::vector<std::wstring>& paths, ULONG_PTR kind) {
    const HWND frame = FindWindowW(kFrameClassName, nullptr);
    if (frame == nullptr) return false;
    // The process that was just started may give the foreground away; the frame takes it.
    DWORD owner = 0;
    GetWindowThreadProcessId(frame, &owner);
    AllowSetForegroundWindow(owner);
    const std::wstring block = PackPaths(paths);
    COPYDATASTRUCT data{kind, static_cast<DWORD>(block.size() * sizeof(wchar_t)),
                        const_cast<wchar_t*>(block.data())};
    DWORD_PTR result = 0;
    SendMessageTimeoutW(frame, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG, 10000, &result);
    return true;
}
