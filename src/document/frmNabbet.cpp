#include "document/frmNabbet.h"

#include "app/frmMain.h"
#include "resource.h"

namespace {
constexpr wchar_t kDocumentClass[] = L"PixelnabDocument";
}

frmNabbet::frmNabbet() = default;

frmNabbet::~frmNabbet() {
    if (frmMain* frame = frmMain::Instance()) frame->SetAppState();
}

void frmNabbet::CreateFormWindow() {
    frmMain* frame = frmMain::Instance();
    if (frame == nullptr) return;
    const HINSTANCE instance = ModuleInstance();
    RegisterWindowClass(kDocumentClass, CS_HREDRAW | CS_VREDRAW,
                        static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_NABBET), IMAGE_ICON, 32, 32, 0)),
                        static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_NABBET), IMAGE_ICON, 16, 16, 0)),
                        LoadCursorW(nullptr, IDC_ARROW), reinterpret_cast<HBRUSH>(COLOR_APPWORKSPACE + 1));
    CreateWindowFor(WS_EX_MDICHILD, kDocumentClass, L"", WS_CHILD | WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_VISIBLE,
                    CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, frame->MdiClient(), nullptr);
}

void frmNabbet::DestroyFormWindow() {
    const HWND client = GetParent(hwnd_);
    if (client != nullptr) {
        SendMessageW(client, WM_MDIDESTROY, reinterpret_cast<WPARAM>(hwnd_), 0);
    } else {
        DestroyWindow(hwnd_);
    }
}

LRESULT frmNabbet::DefaultProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefMDIChildProcW(window, message, wParam, lParam);
}

void PictureBox::SetPicture(Picture picture) {
    picture_ = std::move(picture);
    if (hwnd_ != nullptr) InvalidateRect(hwnd_, nullptr, TRUE);
}
