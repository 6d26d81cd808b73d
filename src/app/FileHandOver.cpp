// Files dropped on the frame or handed over by a second start.
#include "app/FileHandOver.h"

#include "app/HandOver.h"
#include "document/DocumentCommands.h"
#include "platform/services/FrameHost.h"

void FileHandOver::Open(const std::vector<std::wstring>& paths) {
    for (const std::wstring& path : paths) {
        if (!frame_.FrameLoaded()) return;  // a file's message box may have seen the frame closed
        DocumentCommands::OpenPictureFile(frame_, path);
    }
}

void FileHandOver::OnDropFiles(HDROP drop) {
    std::vector<std::wstring> paths;
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        const UINT length = DragQueryFileW(drop, i, nullptr, 0);
        std::wstring path(length + 1, L'\0');
        path.resize(DragQueryFileW(drop, i, path.data(), length + 1));
        if (!path.empty()) paths.push_back(path);
    }
    DragFinish(drop);
    Open(paths);
}

bool FileHandOver::OnCopyData(const COPYDATASTRUCT* data) {
    if (data == nullptr || data->dwData != kOpenFilesCopyData) return false;
    // A second start: come to the front, then open its files once its SendMessage has
    // returned, so that it can exit while a message box of ours is up.
    const HWND frame = frame_.OwnerWindow();
    if (IsIconic(frame)) ShowWindow(frame, SW_RESTORE);
    SetForegroundWindow(frame);
    const auto paths = UnpackPaths(data->lpData, data->cbData);
    pending_.insert(pending_.end(), paths.begin(), paths.end());
    if (!pending_.empty()) PostMessageW(frame, kOpenPendingFilesMessage, 0, 0);
    return true;
}

void FileHandOver::OpenPending() {
    std::vector<std::wstring> paths;
    paths.swap(pending_);
    Open(paths);
}
