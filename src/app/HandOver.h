#pragma once
#include <string>
#include <vector>

#include <windows.h>

// One Pixelnab at a time: a second start hands the files it was given to the running
// frame (WM_COPYDATA) and exits, so that there is one frame and one set of settings.

// The frame's window class: how a second start finds the first.
constexpr wchar_t kFrameClassName[] = L"PixelnabFrame";

// WM_COPYDATA's dwData for a list of files to open.
constexpr ULONG_PTR kOpenFilesCopyData = 0x50584F46;  // "PXOF"
// WM_COPYDATA's dwData for a command-line capture: its arguments, packed as paths are.
constexpr ULONG_PTR kCaptureCopyData = 0x50584341;  // "PXCA"

// The arguments after the program's own name, as the system splits them.
std::vector<std::wstring> CommandLineArguments(const wchar_t* commandLine);
// The path made absolute against the current folder (as it is when that fails).
std::wstring AbsolutePath(const std::wstring& path);

// The files named on the command line (after the program's own name), each made absolute
// against the current folder, in order.
std::vector<std::wstring> CommandLineFiles(const wchar_t* commandLine);

// The paths as one block: each followed by a NUL, the list by one more.
std::wstring PackPaths(const std::vector<std::wstring>& paths);
// The paths of such a block of size bytes; a block without its final NULs is read up to its end.
std::vector<std::wstring> UnpackPaths(const void* data, std::size_t size);

// When a frame of another Pixelnab runs: lets it come to the front, hands it the paths (or,
// with kCaptureCopyData, a capture's arguments) and returns true. False when no other frame
// runs (this process is the first).
bool HandOverToRunningFrame(const std::vector<std::wstring>& paths, ULONG_PTR kind = kOpenFilesCopyData);
