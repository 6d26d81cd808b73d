#include "Files.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>

#include "platform/pictures/PictureFile.h"
#include "platform/windows/Handles.h"

namespace files_test {

TempFolder::TempFolder() {
    wchar_t base[MAX_PATH]{};
    GetTempPathW(MAX_PATH, base);
    static int counter = 0;
    for (;;) {
        path_ = std::wstring(base) + L"pxnfiles" + std::to_wstring(GetCurrentProcessId()) + L"_" +
                std::to_wstring(++counter);
        if (CreateDirectoryW(path_.c_str(), nullptr)) break;
    }
}

TempFolder::~TempFolder() {
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW((path_ + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..") continue;
            const std::wstring full = path_ + L"\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveDirectoryW(full.c_str());
            } else {
                SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(full.c_str());
            }
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(path_.c_str());
}

std::string UnixPath(const std::wstring& windowsPath) {
    using ToUnix = char*(CDECL*)(const wchar_t*);
    static const auto toUnix =
        reinterpret_cast<ToUnix>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name"));
    if (toUnix != nullptr) {
        if (char* unix = toUnix(windowsPath.c_str())) {
            std::string result = unix;
            HeapFree(GetProcessHeap(), 0, unix);
            // ImageMagick would read "c:" in the middle of a path as a format prefix.
            if (const auto at = result.find("/dosdevices/c:/"); at != std::string::npos)
                result.replace(at, 15, "/drive_c/");
            return result;
        }
    }
    std::string narrow;
    for (wchar_t c : windowsPath) narrow += static_cast<char>(c == L'\\' ? '/' : c);
    return narrow;
}

std::wstring FromUnixPath(const std::string& unixPath) {
    std::wstring wide = L"Z:";
    for (char c : unixPath) wide += c == '/' ? L'\\' : static_cast<wchar_t>(c);
    return wide;
}

bool ImageMagickAvailable() { return GetFileAttributesW(L"Z:\\usr\\bin\\convert") != INVALID_FILE_ATTRIBUTES; }

int RunUnix(const std::string& program, const std::vector<std::string>& arguments, DWORD timeoutMs) {
    // Wine starts a Unix program from CreateProcess, but mangles arguments that begin
    // with "-" and does not wait for it: the process handle ends at once. So the command
    // goes into a small shell script, which leaves its exit code in a marker file.
    wchar_t folder[MAX_PATH]{};
    wchar_t scriptPath[MAX_PATH]{};
    GetTempPathW(MAX_PATH, folder);
    if (GetTempFileNameW(folder, L"pxs", 0, scriptPath) == 0) return -1;
    const std::wstring marker = std::wstring(scriptPath) + L".done";
    const std::string unixMarker = UnixPath(std::wstring(scriptPath) + L".done");
    std::string script = "'" + program + "'";
    for (const auto& argument : arguments) {
        std::string quoted;
        for (char c : argument) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
        script += " '" + quoted + "'";
    }
    script += "\necho $? > '" + unixMarker + ".part' && mv '" + unixMarker + ".part' '" + unixMarker + "'\n";
    WriteBytes(scriptPath, std::vector<BYTE>(script.begin(), script.end()));
    std::wstring command = L"/bin/sh ";
    const std::string unixScript = UnixPath(scriptPath);
    command += std::wstring(unixScript.begin(), unixScript.end());
    if (GetEnvironmentVariableW(L"PXN_DEBUG", nullptr, 0)) fprintf(stderr, "RUN %s", script.c_str());
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    int result = -1;
    if (CreateProcessW(L"Z:\\bin\\sh", command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                       &process)) {
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        const ULONGLONG deadline = GetTickCount64() + timeoutMs;
        while (GetFileAttributesW(marker.c_str()) == INVALID_FILE_ATTRIBUTES && GetTickCount64() < deadline)
            Sleep(5);
        const std::vector<BYTE> code = ReadBytes(marker);
        if (!code.empty()) result = std::atoi(std::string(code.begin(), code.end()).c_str());
    }
    DeleteFileW(marker.c_str());
    DeleteFileW(scriptPath);
    return result;
}

bool Convert(const std::wstring& input, const std::vector<std::string>& options, const std::wstring& output) {
    std::vector<std::string> arguments{UnixPath(input)};
    arguments.insert(arguments.end(), options.begin(), options.end());
    // An output may carry a format prefix ("BMP3:"), which stays in front of the Unix path.
    std::string target;
    const auto colon = output.find(L':');
    if (colon != std::wstring::npos && colon > 1) {
        target = std::string(output.begin(), output.begin() + static_cast<std::ptrdiff_t>(colon) + 1) +
                 UnixPath(output.substr(colon + 1));
    } else {
        target = UnixPath(output);
    }
    arguments.push_back(target);
    return RunUnix("/usr/bin/convert", arguments) == 0;
}

namespace {

Image ReadPpm(const std::wstring& path) {
    const std::vector<BYTE> bytes = ReadBytes(path);
    Image image;
    std::size_t at = 0;
    auto token = [&]() {
        std::string word;
        while (at < bytes.size()) {
            const char c = static_cast<char>(bytes[at]);
            if (c == '#') {
                while (at < bytes.size() && bytes[at] != '\n') ++at;
            } else if (std::isspace(static_cast<unsigned char>(c))) {
                ++at;
                if (!word.empty()) return word;
            } else {
                word += c;
                ++at;
            }
        }
        return word;
    };
    if (token() != "P6") return image;
    image.width = std::atoi(token().c_str());
    image.height = std::atoi(token().c_str());
    const int maximum = std::atoi(token().c_str());
    if (maximum != 255 || image.width <= 0 || image.height <= 0) return {};
    const std::size_t count = static_cast<std::size_t>(image.width) * image.height;
    if (at + count * 3 > bytes.size()) return {};
    image.pixels.resize(count);
    for (std::size_t i = 0; i < count; ++i, at += 3)
        image.pixels[i] = (std::uint32_t(bytes[at]) << 16) | (std::uint32_t(bytes[at + 1]) << 8) | bytes[at + 2];
    return image;
}

}  // namespace

Image DecodeWithImageMagick(const std::wstring& path) {
    TempFolder work;
    const std::wstring ppm = work.File(L"decoded.ppm");
    if (!Convert(path + L"[0]", {"-background", "white", "-alpha", "remove", "-alpha", "off", "-depth", "8"},
                 L"PPM:" + ppm))
        return {};
    return ReadPpm(ppm);
}

Image PackedDibPixels(const BYTE* dib, std::size_t size) {
    Image image;
    if (size < sizeof(BITMAPINFOHEADER)) return image;
    const auto* info = reinterpret_cast<const BITMAPINFO*>(dib);
    const BITMAPINFOHEADER& h = info->bmiHeader;
    std::size_t colours = h.biClrUsed;
    if (colours == 0 && h.biBitCount <= 8) colours = std::size_t(1) << h.biBitCount;
    const std::size_t masks = h.biCompression == BI_BITFIELDS ? 12 : 0;
    const std::size_t offset = h.biSize + masks + colours * sizeof(RGBQUAD);
    image.width = h.biWidth;
    image.height = h.biHeight < 0 ? -h.biHeight : h.biHeight;
    image.pixels.resize(static_cast<std::size_t>(image.width) * image.height);
    // Let GDI expand any depth to 32 bits, so this does not depend on the writer's code.
    const BITMAPINFO out = Bitmap32Info(image.width, image.height);
    void* bits = nullptr;
    unique_hbitmap target(CreateDIBSection(nullptr, &out, DIB_RGB_COLORS, &bits, nullptr, 0));
    unique_hdc dc(CreateCompatibleDC(nullptr));
    SelectGuard select(dc.get(), target.get());
    if (offset > size) return {};
    SetDIBitsToDevice(dc.get(), 0, 0, image.width, image.height, 0, 0, 0, image.height, dib + offset, info,
                      DIB_RGB_COLORS);
    GdiFlush();
    const auto* p = static_cast<const std::uint32_t*>(bits);
    for (std::size_t i = 0; i < image.pixels.size(); ++i) image.pixels[i] = p[i] & 0xFFFFFF;
    return image;
}

void WritePpm(const std::wstring& path, const Image& image) {
    std::string header = "P6\n" + std::to_string(image.width) + " " + std::to_string(image.height) + "\n255\n";
    std::vector<BYTE> bytes(header.begin(), header.end());
    for (std::uint32_t p : image.pixels) {
        bytes.push_back(static_cast<BYTE>(p >> 16));
        bytes.push_back(static_cast<BYTE>(p >> 8));
        bytes.push_back(static_cast<BYTE>(p));
    }
    WriteBytes(path, bytes);
}

std::vector<BYTE> ReadBytes(const std::wstring& path) {
    std::vector<BYTE> bytes;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return bytes;
    LARGE_INTEGER size{};
    GetFileSizeEx(file, &size);
    bytes.resize(static_cast<std::size_t>(size.QuadPart));
    DWORD got = 0;
    if (!bytes.empty()) ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr);
    bytes.resize(got);
    CloseHandle(file);
    return bytes;
}

std::vector<std::wstring> NamesIn(const std::wstring& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        const std::wstring name = found.cFileName;
        if (name != L"." && name != L"..") names.push_back(name);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

FolderClosedToNewFiles::FolderClosedToNewFiles(const std::wstring& folder) : unixPath_(UnixPath(folder)) {
    RunUnix("/bin/sh", {"-c", "chmod a-w '" + unixPath_ + "' && { [ \"$(id -u)\" != 0 ] || chattr +i '" +
                                  unixPath_ + "'; }"});
    const std::wstring probe = folder + L"\\probe.new";
    HANDLE file = CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    closed_ = file == INVALID_HANDLE_VALUE;
    if (!closed_) {
        CloseHandle(file);
        DeleteFileW(probe.c_str());
    }
}

FolderClosedToNewFiles::~FolderClosedToNewFiles() {
    RunUnix("/bin/sh", {"-c", "chattr -i '" + unixPath_ + "' 2>/dev/null; chmod u+w '" + unixPath_ + "'"});
}

void WriteBytes(const std::wstring& path, const std::vector<BYTE>& bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    if (!bytes.empty()) WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

}  // namespace files_test
