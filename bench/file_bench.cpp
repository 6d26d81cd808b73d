// File Open and File Save of a 3840 x 2160 picture (a Windows bitmap and a JPEG), with
// ImageMagick's convert of the same files in the same run as the reference. Prints the
// medians of every step and the ratios to ImageMagick's.
//   file_bench [runs]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include <windows.h>
#include <objbase.h>

#include "platform/PictureFile.h"

namespace {

constexpr int kWidth = 3840;
constexpr int kHeight = 2160;

std::wstring g_folder;

std::wstring File(const wchar_t* name) { return g_folder + L"\\" + name; }

std::string UnixPath(const std::wstring& windowsPath) {
    using ToUnix = char*(CDECL*)(const wchar_t*);
    static const auto toUnix =
        reinterpret_cast<ToUnix>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name"));
    std::string result;
    if (toUnix != nullptr) {
        if (char* unix = toUnix(windowsPath.c_str())) {
            result = unix;
            HeapFree(GetProcessHeap(), 0, unix);
        }
    }
    // ImageMagick would read "c:" inside a path as a format prefix.
    if (const auto at = result.find("/dosdevices/c:/"); at != std::string::npos) result.replace(at, 15, "/drive_c/");
    return result;
}

void WriteText(const std::wstring& path, const std::string& text) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
}

std::string ReadText(const std::wstring& path) {
    std::string text(64, '\0');
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {};
    DWORD got = 0;
    ReadFile(file, text.data(), static_cast<DWORD>(text.size()), &got, nullptr);
    CloseHandle(file);
    text.resize(got);
    return text;
}

// Runs a shell command line under the Unix shell and returns the milliseconds the
// command itself took, measured by the shell (Wine's start-up of it is not counted);
// negative on failure. Wine does not wait for a Unix child, so the shell leaves its
// result in a marker file.
double RunTimed(const std::string& commandLine) {
    const std::wstring script = File(L"run.sh");
    const std::wstring marker = File(L"run.done");
    DeleteFileW(marker.c_str());
    const std::string unixMarker = UnixPath(marker);
    WriteText(script, "s=$(date +%s%N); " + commandLine + " || exit 1; e=$(date +%s%N); echo $(( (e - s) / 1000 )) > '" +
                          unixMarker + ".part' && mv '" + unixMarker + ".part' '" + unixMarker + "'\n");
    std::wstring command = L"/bin/sh ";
    const std::string unixScript = UnixPath(script);
    command += std::wstring(unixScript.begin(), unixScript.end());
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(L"Z:\\bin\\sh", command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        return -1;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    const ULONGLONG deadline = GetTickCount64() + 120000;
    while (GetFileAttributesW(marker.c_str()) == INVALID_FILE_ATTRIBUTES && GetTickCount64() < deadline) Sleep(2);
    const std::string micros = ReadText(marker);
    return micros.empty() ? -1 : std::atof(micros.c_str()) / 1000.0;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double TimeMs(const std::function<void()>& step) {
    const auto start = std::chrono::steady_clock::now();
    step();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

// A picture with detail everywhere, so that JPEG has real work to do.
void WriteSource(const std::wstring& path) {
    std::string header = "P6\n" + std::to_string(kWidth) + " " + std::to_string(kHeight) + "\n255\n";
    std::string data(header.size() + std::size_t(kWidth) * kHeight * 3, '\0');
    std::copy(header.begin(), header.end(), data.begin());
    unsigned seed = 12345;
    char* p = data.data() + header.size();
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            seed = seed * 1103515245u + 12345u;
            const int noise = static_cast<int>((seed >> 16) & 15);
            *p++ = static_cast<char>((x / 8 + noise) & 0xFF);
            *p++ = static_cast<char>((y / 5 + x / 40) & 0xFF);
            *p++ = static_cast<char>(((x ^ y) + noise * 3) & 0xFF);
        }
    WriteText(path, data);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const int runs = argc > 1 ? std::max(1, _wtoi(argv[1])) : 7;
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    wchar_t temp[MAX_PATH]{};
    GetTempPathW(MAX_PATH, temp);
    g_folder = std::wstring(temp) + L"pixelnab_file_bench";
    CreateDirectoryW(g_folder.c_str(), nullptr);

    WriteSource(File(L"source.ppm"));
    const std::string source = UnixPath(File(L"source.ppm"));
    const std::string bmp = UnixPath(File(L"in.bmp"));
    const std::string jpg = UnixPath(File(L"in.jpg"));
    const std::string out = UnixPath(File(L"reference.bmp"));
    if (RunTimed("/usr/bin/convert '" + source + "' -type TrueColor -compress None 'BMP3:" + bmp + "'") < 0 ||
        RunTimed("/usr/bin/convert '" + source + "' -quality 90 '" + jpg + "'") < 0) {
        std::fprintf(stderr, "file_bench: ImageMagick's convert (/usr/bin/convert) is needed\n");
        return 1;
    }

    struct Row {
        const char* what;
        std::vector<double> program, magickRead, magickConvert;
    };
    Row rows[2] = {{"BMP 24-bit", {}, {}, {}}, {"JPEG q90", {}, {}, {}}};
    std::vector<double> saves[2];
    const std::wstring inputs[2] = {File(L"in.bmp"), File(L"in.jpg")};
    const std::string unixInputs[2] = {bmp, jpg};
    for (int run = 0; run < runs; ++run) {
        for (int i = 0; i < 2; ++i) {
            Picture picture;
            rows[i].program.push_back(TimeMs([&] { picture = LoadPicture(inputs[i]); }));
            saves[i].push_back(TimeMs([&] { SavePicture(picture, File(L"saved.bmp")); }));
            rows[i].magickRead.push_back(RunTimed("/usr/bin/convert '" + unixInputs[i] + "' null:"));
            rows[i].magickConvert.push_back(
                RunTimed("/usr/bin/convert '" + unixInputs[i] + "' -compress None 'BMP3:" + out + "'"));
        }
    }
    std::printf("file_bench: %d x %d pixels, median of %d runs (ms)\n", kWidth, kHeight, runs);
    std::printf("%-12s %10s %10s %12s %14s %12s %14s\n", "file", "open", "save", "IM read", "IM read+write",
                "open/IM", "open+save/IM");
    for (int i = 0; i < 2; ++i) {
        const double open = Median(rows[i].program);
        const double save = Median(saves[i]);
        const double read = Median(rows[i].magickRead);
        const double both = Median(rows[i].magickConvert);
        std::printf("%-12s %10.1f %10.1f %12.1f %14.1f %12.2f %14.2f\n", rows[i].what, open, save, read, both,
                    open / read, (open + save) / both);
    }
    for (const wchar_t* name : {L"source.ppm", L"in.bmp", L"in.jpg", L"reference.bmp", L"saved.bmp", L"run.sh"})
        DeleteFileW(File(name).c_str());
    RemoveDirectoryW(g_folder.c_str());
    CoUninitialize();
    return 0;
}
