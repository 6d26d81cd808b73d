// The frame's ways in from outside: files dropped on it, files handed over by a second
// start, and the clipboard's picture; each opens as the menu command does.
#include <windows.h>
#include <shellapi.h>

#include "app/CommandTable.h"
#include "app/frmMain.h"
#include "app/HandOver.h"
#include "capture/PasteCommand.h"
#include "document/DocumentCommands.h"

void frmMain::OpenFiles(const std::vector<std::wstring>& paths) {
    for (const std::wstring& path : paths) {
        if (!IsLoaded()) return;  // a file's message box may have seen the frame closed
        DocumentCommands::OpenPictureFile(*this, path);
    }
}

void frmMain::OnDropFiles(HDROP drop) {
    std::vector<std::wstring> paths;
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        const UINT length = DragQueryFileW(drop, i, nullptr, 0);
        std::wstring path(length + 1, L'\0');
        path.resize(DragQueryFileW(drop, i, path.data(), length + 1));
        if (!path.empty()) paths.push_back(path);
    }
    DragFinish(drop);
    OpenFiles(paths);
}

bool frmMain::OnCopyData(const COPYDATASTRUCT* data) {
    if (data == nullptr || data->dwData != kOpenFilesCopyData) return false;
    // A second start: come to the front, then open its files once its SendMessage has
    // returned, so that it can exit while a message box of ours is up.
    if (IsIconic(hwnd_)) ShowWindow(hwnd_, SW_RESTORE);
    SetForegroundWindow(hwnd_);
    const auto paths = UnpackPaths(data->lpData, data->cbData);
    pendingFiles_.insert(pendingFiles_.end(), paths.begin(), paths.end());
    if (!pendingFiles_.empty()) PostMessageW(hwnd_, kOpenPendingFiles, 0, 0);
    return true;
}

void frmMain::OpenPendingFiles() {
    std::vector<std::wstring> paths;
    paths.swap(pendingFiles_);
    OpenFiles(paths);
}

void frmMain::UpdateCommandAvailability() {
    for (const CommandRow& row : Commands())
        if (row.availableWhen != nullptr) SetMenuEnabled(row.id, row.availableWhen());
}

void frmMain::mnuEditPaste_Click() {
    Observe(L"mnuEditPaste_Click");
    CaptureCommands::EditPaste(*this);
}
