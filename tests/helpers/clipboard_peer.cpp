// A second process for the clipboard tests.
//   clipboard_peer read FOLDER   writes what the clipboard holds: formats.txt (one format
//                                number a line), bitmap.bin (CF_BITMAP as a packed 32-bit
//                                DIB), dib.bin (CF_DIB as it is)
//   clipboard_peer puttext TEXT  puts text on the clipboard and exits
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

bool WriteFileBytes(const std::wstring& path, const void* data, std::size_t size) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const BOOL ok = WriteFile(file, data, static_cast<DWORD>(size), &written, nullptr);
    CloseHandle(file);
    return ok && written == size;
}

bool OpenClipboardPatiently(HWND owner) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        if (OpenClipboard(owner)) return true;
        Sleep(20);
    }
    return false;
}

int Read(const std::wstring& folder) {
    if (!OpenClipboardPatiently(nullptr)) return 2;
    std::string formats;
    for (UINT format = EnumClipboardFormats(0); format != 0; format = EnumClipboardFormats(format))
        formats += std::to_string(format) + "\n";
    WriteFileBytes(folder + L"\\formats.txt", formats.data(), formats.size());

    if (HBITMAP bitmap = static_cast<HBITMAP>(GetClipboardData(CF_BITMAP))) {
        BITMAP info{};
        GetObjectW(bitmap, sizeof info, &info);
        BITMAPINFOHEADER header{};
        header.biSize = sizeof header;
        header.biWidth = info.bmWidth;
        header.biHeight = info.bmHeight;
        header.biPlanes = 1;
        header.biBitCount = 32;
        std::vector<BYTE> packed(sizeof header + static_cast<std::size_t>(info.bmWidth) * info.bmHeight * 4);
        std::memcpy(packed.data(), &header, sizeof header);
        HDC screen = GetDC(nullptr);
        const int rows = GetDIBits(screen, bitmap, 0, static_cast<UINT>(info.bmHeight), packed.data() + sizeof header,
                                   reinterpret_cast<BITMAPINFO*>(packed.data()), DIB_RGB_COLORS);
        ReleaseDC(nullptr, screen);
        if (rows == info.bmHeight) WriteFileBytes(folder + L"\\bitmap.bin", packed.data(), packed.size());
    }
    if (HANDLE dib = GetClipboardData(CF_DIB)) {
        const void* data = GlobalLock(dib);
        if (data != nullptr) WriteFileBytes(folder + L"\\dib.bin", data, GlobalSize(dib));
        GlobalUnlock(dib);
    }
    CloseClipboard();
    return 0;
}

int PutText(const std::wstring& text) {
    HWND owner = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    if (!OpenClipboardPatiently(owner)) return 2;
    EmptyClipboard();
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
    std::memcpy(GlobalLock(memory), text.c_str(), (text.size() + 1) * sizeof(wchar_t));
    GlobalUnlock(memory);
    const bool ok = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
    CloseClipboard();
    DestroyWindow(owner);
    return ok ? 0 : 3;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc == 3 && std::wstring(argv[1]) == L"read") return Read(argv[2]);
    if (argc == 3 && std::wstring(argv[1]) == L"puttext") return PutText(argv[2]);
    std::fprintf(stderr, "usage: clipboard_peer read FOLDER | puttext TEXT\n");
    return 1;
}
