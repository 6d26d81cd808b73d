#pragma once
#include <string>

#include <windows.h>

#include "app/CommandLine.h"
#include "capture/CaptureOptions.h"
#include "platform/pictures/Picture.h"

// Captures asked for on the command line by scripts.

// /capture ... /exit: the capture as the menu takes it, without the frame or any message
// box; saved and/or copied as the request says. Returns the exit code: 0 when everything
// asked for was done, 1 otherwise, with the reason written to the starting console.
int CaptureAndExit(const CaptureRequest& request, const CaptureOptions& options);

// Saves (the type from the file's extension) and/or copies the captured picture as the
// request says; a failure is a run-time error.
void DeliverCapture(const Picture& picture, const CaptureRequest& request, HWND owner);

// Writes a line where this program's output goes: the file or pipe it was redirected to,
// else the console of the process that started it; nowhere when there is neither.
void WriteToStartingConsole(const std::wstring& line);
