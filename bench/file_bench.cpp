// File Open and File Save of a 3840 x 2160 picture (a Windows bitmap and a JPEG), with
// ImageMagick's convert of the same files in the same run as the reference. Prints the
// medians of every step and the ratios to ImageMagick's. Then Save as PNG and JPEG of a
// screen-like picture of that size (windows, captions, text) beside ImageMagick writing
// the same pixels to the same formats, with the file sizes.
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

#include "platform/pictures/PictureEncoder.h"
#include "platform/pictures/PictureFile.h"

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

// What a screen capture of a busy 4K desktop looks like to an encoder: flat backgrounds,
// window frames, captions and lines of text; a bitmap in the display's format, as a capture is.
Picture ScreenLikePicture() {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, kWidth, kHeight);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, bitmap);
    HBRUSH desktop = CreateSolidBrush(RGB(0, 99, 177));
    RECT all{0, 0, kWidth, kHeight};
    FillRect(dc, &all, desktop);
    DeleteObject(desktop);
    HFONT font = CreateFontW(-15, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0, NONANTIALIASED_QUALITY,
                             0, L"Tahoma");
    HGDIOBJ oldFont = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    const wchar_t* words[] = {L"int main() {", L"    return Capture(screen, area);", L"Lorem ipsum dolor sit amet,",
                              L"consectetur adipiscing elit", L"File Edit View Help", L"12:45 Ready", L"}"};
    for (int w = 0; w < 6; ++w) {
        const RECT frame{60 + w * 610, 80 + (w % 3) * 680, 60 + w * 610 + 1180, 80 + (w % 3) * 680 + 1300};
        FillRect(dc, &frame, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        HBRUSH caption = CreateSolidBrush(RGB(40 + w * 30, 60, 140));
        const RECT bar{frame.left, frame.top, frame.right, frame.top + 30};
        FillRect(dc, &bar, caption);
        DeleteObject(caption);
        FrameRect(dc, &frame, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        for (int line = 0; line * 19 + 40 < frame.bottom - frame.top - 20; ++line) {
            SetTextColor(dc, line % 5 == 0 ? RGB(0, 0, 160) : RGB(20, 20, 20));
            const wchar_t* text = words[(line + w) % 7];
            TextOutW(dc, frame.left + 12 + (line % 4) * 24, frame.top + 40 + line * 19, text,
                     static_cast<int>(wcslen(text)));
        }
    }
    SelectObject(dc, oldFont);
    DeleteObject(font);
    SelectObject(dc, old);
    DeleteDC(dc);
    return PictureOwningBitmap(bitmap, nullptr);
}

// The picture's pixels as a PPM (what ImageMagick starts from), from the packed DIB.
void WritePpmOf(const Picture& picture, const std::wstring& path) {
    const std::vector<BYTE> dib = PictureToPackedDib(picture);
    BITMAPINFOHEADER header{};
    std::copy(dib.begin(), dib.begin() + sizeof header, reinterpret_cast<BYTE*>(&header));
    const int width = header.biWidth, height = header.biHeight;
    const std::size_t stride = ((std::size_t(width) * 24 + 31) / 32) * 4;
    const BYTE* bits = dib.data() + header.biSize + header.biClrUsed * 4;
    std::string data = "P6\n" + std::to_string(width) + " " + std::to_string(height) + "\n255\n";
    for (int y = 0; y < height; ++y) {
        const BYTE* row = bits + (height - 1 - y) * stride;
        for (int x = 0; x < width; ++x) {
            data.push_back(static_cast<char>(row[x * 3 + 2]));
            data.push_back(static_cast<char>(row[x * 3 + 1]));
            data.push_back(static_cast<char>(row[x * 3]));
        }
    }
    WriteText(path, data);
}

long long FileSize(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return -1;
    return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

void BenchEncoders(int runs) {
    const Picture picture = ScreenLikePicture();
    const std::wstring ppm = File(L"screen.ppm");
    WritePpmOf(picture, ppm);
    const std::string unixPpm = UnixPath(ppm);
    struct Format {
        const char* what;
        SaveFormat format;
        const wchar_t* ours;
        const wchar_t* theirs;
        const char* options;
    } formats[] = {{"BMP", SaveFormat::Bitmap, L"screen.bmp", L"im.bmp", "-type TrueColor -compress None BMP3:"},
                   {"PNG", SaveFormat::Png, L"screen.png", L"im.png", "PNG24:"},
                   {"JPEG q90", SaveFormat::Jpeg, L"screen.jpg", L"im.jpg", "-quality 90 JPEG:"}};
    std::printf("\nfile_bench: Save of a %d x %d screen-like capture, median of %d runs (ms), sizes in bytes\n", kWidth,
                kHeight, runs);
    std::printf("%-10s %10s %14s %10s %12s %12s\n", "format", "save", "IM ppm->file", "save/IM", "size", "IM size");
    const double readOnly = [&] {
        std::vector<double> reads;
        for (int run = 0; run < runs; ++run) reads.push_back(RunTimed("/usr/bin/convert '" + unixPpm + "' null:"));
        return Median(reads);
    }();
    for (const Format& f : formats) {
        std::vector<double> ours, theirs;
        const std::string target = UnixPath(File(f.theirs));
        const std::string options = f.options;
        const auto colon = options.rfind(' ');
        const std::string flags = colon == std::string::npos ? "" : options.substr(0, colon);
        const std::string prefix = colon == std::string::npos ? options : options.substr(colon + 1);
        for (int run = 0; run < runs; ++run) {
            ours.push_back(TimeMs([&] { SavePictureAs(picture, File(f.ours), f.format); }));
            theirs.push_back(RunTimed("/usr/bin/convert '" + unixPpm + "' " + flags + " '" + prefix + target + "'"));
        }
        const double save = Median(ours), im = Median(theirs);
        std::printf("%-10s %10.1f %14.1f %10.2f %12lld %12lld\n", f.what, save, im, save / im, FileSize(File(f.ours)),
                    FileSize(File(f.theirs)));
        DeleteFileW(File(f.ours).c_str());
        DeleteFileW(File(f.theirs).c_str());
    }
    std::printf("(ImageMagick reading the PPM alone: %.1f ms of its times above)\n", readOnly);
    DeleteFileW(ppm.c_str());
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
    BenchEncoders(runs);
    for (const wchar_t* name : {L"source.ppm", L"in.bmp", L"in.jpg", L"reference.bmp", L"saved.bmp", L"run.sh"})
        DeleteFileW(File(name).c_str());
    RemoveDirectoryW(g_folder.c_str());
    CoUninitialize();
    return 0;
}
