// File Open, Save, Print, Close and the clipboard commands: they act on the frame's
// active document and share the frame's common dialog.
#include "document/DocumentCommands.h"

#include <windows.h>
#include <commdlg.h>

#include <algorithm>
#include <array>
#include <cwctype>
#include <memory>

#include "document/MarkupPainter.h"
#include "document/PicturePixels.h"
#include "document/frmNabbet.h"
#include "platform/rules/Conversions.h"
#include "platform/pictures/PictureEncoder.h"
#include "platform/pictures/PictureFile.h"
#include "platform/rules/SaveFormat.h"
#include "platform/services/SettingsStore.h"
#include "platform/services/Clipboard.h"
#include "platform/services/CommonDialog.h"
#include "platform/windows/MessageBoxService.h"
#include "platform/services/Printer.h"
#include "platform/rules/PrintPlacement.h"
#include "platform/windows/AppInfo.h"
#include "platform/windows/ErrorReporter.h"
#include "platform/services/FrameHost.h"
#include "platform/rules/RuntimeError.h"

namespace {

constexpr DWORD kOpenFlags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;                        // 0x1004
constexpr DWORD kSaveFlags = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST;  // 0x806

const wchar_t kOpenFilter[] =
    L"All Pictures (*.bmp,*.dib,*.gif,*.jpg,*.jpeg,*.jpe,*.jfif,*.ico,*.cur,*.png,*.tif,*.tiff) | "
    L"*.bmp;*.dib;*.gif;*.jpg;*.jpeg;*.jpe;*.jfif;*.ico;*.cur;*.png;*.tif;*.tiff | "
    L"All Files (*.*) | *.*; | "
    L"Windows Bitmap (*.bmp) | *.bmp; | "
    L"Graphics Interchange Format (*.gif) | *.gif; | "
    L"JPEG File Interchange Format (*.jpg) | *.jpg | "
    L"Icon (*.ico) | *.ico;";
// Types in SaveFormat's order: the dialog's 1-based index is the format.
const wchar_t kSaveFilter[] = L"Windows Bitmap (*.bmp) | *.bmp; | PNG (*.png) | *.png; | JPEG (*.jpg) | *.jpg;";

std::shared_ptr<frmNabbet> ActiveDocument(IFrameHost& frame) {
    auto document = std::dynamic_pointer_cast<frmNabbet>(frame.ActiveDocument());
    if (!document) RaiseObjectNotSet();
    return document;
}

// Runs a dialog; a cancel that the dialog raises (CancelError on) is a plain cancel.
template <class Show>
bool Confirmed(Show&& show) {
    try {
        return show();
    } catch (const RuntimeError& error) {
        if (error.Number() == ErrorNumber::DialogCancelled) return false;
        throw;
    }
}

}  // namespace

namespace DocumentCommands {

std::wstring SuggestedSaveName(const std::wstring& caption) {
    static const std::array<const wchar_t*, 9> kOtherImageExtensions{L"gif", L"ico", L"cur", L"tif", L"tiff",
                                                                     L"wmf", L"emf", L"webp", L"heic"};
    if (FormatOfFileName(caption)) return caption;  // a type Save writes: suggested as it is
    const auto dot = caption.find_last_of(L'.');
    if (dot == std::wstring::npos || dot == 0) return caption;
    std::wstring extension = caption.substr(dot + 1);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](wchar_t c) { return static_cast<wchar_t>(std::towlower(c)); });
    for (const wchar_t* other : kOtherImageExtensions)
        if (extension == other) return caption.substr(0, dot) + L".bmp";
    return caption;
}

void OpenPictureFile(IFrameHost& frame, const std::wstring& path, const std::wstring& title) {
    RunTrapped(
        [&] {
            if (!frame.FrameLoaded()) return;
            DocumentArrival arrival;
            arrival.title = title;
            arrival.picture = [&] { return LoadPicture(path); };
            frame.AddDocument(arrival);
        },
        [&] {
            MessageBoxService().Show(MessageBoxOwner(), L"Pixelnab cannot find or open " + path, 0, App::Title());
        });
}

void OpenPictureFile(IFrameHost& frame, const std::wstring& path) {
    const auto slash = path.find_last_of(L"\\/:");
    OpenPictureFile(frame, path, slash == std::wstring::npos ? path : path.substr(slash + 1));
}

void FileOpen(IFrameHost& frame) {
    CommonDialog& dlg = frame.Dialog();
    bool confirmed = false;
    RunTrapped(
        [&] {
            dlg.DefaultExt = L".bmp, .gif, .jpg, .ico";
            dlg.InitDir.clear();  // Open starts where its file name says, or where the system chooses
            dlg.Filter = kOpenFilter;
            dlg.Flags = kOpenFlags;
            dlg.FilterIndex = 0;
            confirmed = Confirmed([&] { return dlg.ShowOpen(frame.OwnerWindow()); }) && !dlg.FileName.empty();
        },
        [&] {
            MessageBoxService().Show(MessageBoxOwner(), L"Pixelnab cannot find or open " + dlg.FileName, 0,
                                     App::Title());
        });
    // The dialog ran messages: the frame may have been closed meanwhile (checked by the opener).
    if (confirmed) OpenPictureFile(frame, dlg.FileName, dlg.FileTitle);
}

namespace {

// Where Save starts and which type it offers: the folder and type of the last save, kept
// across runs.
const wchar_t kSection[] = L"Main";

std::wstring LastSaveFolder() { return SettingsStore().GetSetting(App::Title(), kSection, L"SaveFolder", L""); }

unsigned LastSaveFilterIndex() {
    // Stored as the type's name; the filter's index is its place in SaveFormat's order.
    const std::wstring text = SettingsStore().GetSetting(App::Title(), kSection, L"SaveType", L"Bitmap");
    for (const SaveFormat format : {SaveFormat::Bitmap, SaveFormat::Png, SaveFormat::Jpeg})
        if (text == SaveFormatText(format)) return static_cast<unsigned>(format) + 1;
    return 1;  // anything else: the first type, the bitmap
}

void RememberSave(const std::wstring& path, unsigned filterIndex) {
    const auto slash = path.find_last_of(L"\\/");
    if (slash != std::wstring::npos) {
        std::wstring folder = path.substr(0, slash);
        if (folder.empty() || folder.back() == L':') folder += L'\\';  // a drive's root keeps its backslash
        SettingsStore().SaveSetting(App::Title(), kSection, L"SaveFolder", folder);
    }
    SettingsStore().SaveSetting(App::Title(), kSection, L"SaveType", SaveFormatText(FormatOfFilterIndex(filterIndex)));
}

// File Save for one document: true once it is saved, false when the dialog was cancelled
// or the save failed (the failure is reported).
bool SaveDocument(IFrameHost& frame, const std::shared_ptr<frmNabbet>& document) {
    bool saved = false;
    Trapped([&] {
        // What leaves the program includes a text still being typed (Ctrl+S while typing).
        document->EndTextEdit();
        CommonDialog& dlg = frame.Dialog();
        dlg.DefaultExt = L".bmp";
        dlg.FileName = SuggestedSaveName(document->Title());
        dlg.Filter = kSaveFilter;
        dlg.Flags = kSaveFlags;
        dlg.FilterIndex = LastSaveFilterIndex();
        dlg.InitDir = LastSaveFolder();
        if (!Confirmed([&] { return dlg.ShowSave(frame.OwnerWindow()); }) || dlg.FileName.empty()) return;
        if (!frame.FrameLoaded() || !document->IsLoaded()) return;
        const SaveTarget target = ChooseSaveTarget(dlg.FileName, dlg.FilterIndex);
        document->SaveDocumentPicture(target.path, target.format);
        if (DocumentModel* model = document->Model()) model->MarkSaved();
        saved = true;
        // The file is written: a store that cannot keep the folder is reported, not a failed save.
        Trapped([&] { RememberSave(target.path, dlg.FilterIndex); });
    });
    return saved;
}

}  // namespace

void FileSave(IFrameHost& frame) {
    std::shared_ptr<frmNabbet> document;
    if (Trapped([&] { document = ActiveDocument(frame); })) SaveDocument(frame, document);
}

bool SaveChangesFirst(IFrameHost& frame, DocumentForm& form) {
    auto document = std::dynamic_pointer_cast<frmNabbet>(form.shared_from_this());
    // A text being typed is part of what the question is about.
    if (document && document->IsLoaded()) document->EndTextEdit();
    if (!document || !document->IsLoaded() || !document->Edits().modified) return true;
    const int answer = MessageBoxService().Show(MessageBoxOwner(), L"Save changes to " + document->Title() + L"?",
                                                MB_YESNOCANCEL | MB_ICONEXCLAMATION, App::Title());
    if (answer == IDNO) return true;
    if (answer != IDYES) return false;
    return SaveDocument(frame, document);
}

void FilePrint(IFrameHost& frame) {
    // Every failure, the dialog's cancel included, ends the command without a word.
    RunTrapped(
        [&] {
            if (const auto document = std::dynamic_pointer_cast<frmNabbet>(frame.ActiveDocument())) document->EndTextEdit();
            CommonDialog& dlg = frame.Dialog();
            dlg.CancelError = true;
            dlg.PrinterDefault = true;
            HDC chosen = nullptr;
            const bool confirmed = dlg.ShowPrinter(frame.OwnerWindow(), chosen);
            unique_hdc printerDc(chosen);
            if (!confirmed || !frame.FrameLoaded()) return;
            const Picture picture = ActiveDocument(frame)->DocumentPicture();
            PrinterObject printer(PrinterService(), std::move(printerDc), App::Title());
            // HIMETRIC: the picture's own size in those units prints it at its natural size;
            // one larger than the printable area shrinks to fit it rather than be cut off.
            printer.SetScaleMode(PrinterScale::Himetric);
            if (picture.IsEmpty()) RaiseError(ErrorNumber::InvalidPicture, L"Invalid picture");
            const SIZE page = printer.PrintableSize();
            const PrintPlacement place = PlaceOnPage(ToInt32(picture.WidthHimetric()),
                                                     ToInt32(picture.HeightHimetric()), page.cx, page.cy);
            printer.PaintPicture(picture, static_cast<float>(place.x), static_cast<float>(place.y),
                                 static_cast<float>(place.width), static_cast<float>(place.height));
            printer.EndDoc();
        },
        [] {});
}

void EditCopy(IFrameHost& frame) {
    Trapped([&] {
        ClipboardService().Clear(frame.OwnerWindow());
        // The selection when there is one, else the whole picture, with the text being
        // typed in it.
        const auto document = ActiveDocument(frame);
        document->EndTextEdit();
        const DocumentModel* model = document->Model();
        const Picture picture =
            model != nullptr && model->Selection()
                ? (model->Objects().empty() ? PictureOfPixels(model->SelectedPixels())
                                            : MarkupPainter::Flattened(model->PicturePixels(), model->Objects(), *model->Selection()))
                : document->DocumentPicture();
        ClipboardService().SetData(frame.OwnerWindow(), picture);
    });
}

void ViewZoomIn(IFrameHost& frame) {
    Trapped([&] { ActiveDocument(frame)->ZoomIn(); });
}

void ViewZoomOut(IFrameHost& frame) {
    Trapped([&] { ActiveDocument(frame)->ZoomOut(); });
}

void ViewActualSize(IFrameHost& frame) {
    Trapped([&] { ActiveDocument(frame)->ActualSize(); });
}

void ViewFitToWindow(IFrameHost& frame) {
    Trapped([&] { ActiveDocument(frame)->FitToWindow(); });
}

namespace {
// Runs an edit on the active document's model; nothing without a picture.
template <class Edit>
void EditModel(IFrameHost& frame, Edit&& edit) {
    Trapped([&] {
        if (DocumentModel* model = ActiveDocument(frame)->Model()) edit(*model);
    });
}
}  // namespace

void EditUndo(IFrameHost& frame) {
    EditModel(frame, [](DocumentModel& model) { model.Undo(); });
}

void EditRedo(IFrameHost& frame) {
    EditModel(frame, [](DocumentModel& model) { model.Redo(); });
}

void EditSelectAll(IFrameHost& frame) {
    EditModel(frame, [](DocumentModel& model) { model.SelectAll(); });
}

void EditCrop(IFrameHost& frame) {
    EditModel(frame, [](DocumentModel& model) {
        if (model.CanCrop()) model.CropToSelection();
    });
}

void EditEmpty(IFrameHost& frame) {
    Trapped([&] { ClipboardService().Clear(frame.OwnerWindow()); });
}

void FileClose(IFrameHost& frame) {
    Trapped([&] {
        if (frame.DocumentsOpen()) {
            auto active = frame.ActiveDocument();
            if (!active) RaiseObjectNotSet();
            if (!SaveChangesFirst(frame, *active)) return;
            active->Unload();
        }
        frame.SetAppState();
    });
}

}  // namespace DocumentCommands
