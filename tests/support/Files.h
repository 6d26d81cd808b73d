#pragma once
// Helpers for the file, clipboard and print tests: temporary folders, file bytes, and
// ImageMagick (run as a Unix program from Wine) as the independent reference decoder.
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <windows.h>

#include "Image.h"

namespace files_test {

// A new empty folder under the temporary folder; removed with its files by the destructor.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    const std::wstring& Path() const { return path_; }
    std::wstring File(const std::wstring& name) const { return path_ + L"\\" + name; }

private:
    std::wstring path_;
};

std::string UnixPath(const std::wstring& windowsPath);
std::wstring FromUnixPath(const std::string& unixPath);
bool ImageMagickAvailable();
// Runs a Unix program with arguments (no shell); returns its exit code, -1 when it
// could not be started or did not end within the timeout.
int RunUnix(const std::string& program, const std::vector<std::string>& arguments, DWORD timeoutMs = 60000);
// convert input [options...] output, file names given as Windows paths.
bool Convert(const std::wstring& input, const std::vector<std::string>& options, const std::wstring& output);
// ImageMagick's decode of a file (its first image), transparent parts over white.
Image DecodeWithImageMagick(const std::wstring& path);

// The pixels of a packed DIB (any bit depth the writer produces).
Image PackedDibPixels(const BYTE* dib, std::size_t size);

// Writes an image as a binary PPM, the format every converter reads.
void WritePpm(const std::wstring& path, const Image& image);

std::vector<BYTE> ReadBytes(const std::wstring& path);
// The names of the files and folders in a folder, sorted ("." and ".." left out).
std::vector<std::wstring> NamesIn(const std::wstring& folder);

// While it lives, a folder takes no new file (and no rename or deletion), while the files
// in it may still be written: its write permission is taken away on the Unix side and,
// since root ignores that, it is made immutable as well. Closed() says whether that took
// (a file system without the immutable flag does not).
class FolderClosedToNewFiles {
public:
    explicit FolderClosedToNewFiles(const std::wstring& folder);
    ~FolderClosedToNewFiles();
    FolderClosedToNewFiles(const FolderClosedToNewFiles&) = delete;
    FolderClosedToNewFiles& operator=(const FolderClosedToNewFiles&) = delete;
    bool Closed() const { return closed_; }

private:
    std::string unixPath_;
    bool closed_ = false;
};
void WriteBytes(const std::wstring& path, const std::vector<BYTE>& bytes);

}  // namespace files_test
