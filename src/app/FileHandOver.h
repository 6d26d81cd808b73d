#pragma once
#include <string>
#include <vector>

#include <windows.h>
#include <shellapi.h>

class IFrameHost;

// Files handed to the frame from outside: named on the command line, dropped on it, or
// passed on by a second start. Each opens as File Open does, in order.
class FileHandOver {
public:
    // Posted to the frame: files handed over by a second start open once its message has
    // returned; the frame answers it with OpenPending.
    static constexpr UINT kOpenPendingFilesMessage = WM_APP + 0x50;

    explicit FileHandOver(IFrameHost& frame) : frame_(frame) {}

    void Open(const std::vector<std::wstring>& paths);
    // WM_DROPFILES.
    void OnDropFiles(HDROP drop);
    // WM_COPYDATA: false for data that is no list of files.
    bool OnCopyData(const COPYDATASTRUCT* data);
    void OpenPending();

private:
    IFrameHost& frame_;
    std::vector<std::wstring> pending_;
};
