#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <windows.h>

#include "document/DocumentModel.h"
#include "document/DocumentViewGeometry.h"
#include "document/Markup.h"
#include "document/MarkupPainter.h"
#include "platform/pictures/Picture.h"
#include "platform/rules/SaveFormat.h"
#include "platform/windows/Handles.h"
#include "platform/controls/DocumentForm.h"
#include "platform/controls/PictureBox.h"
#include "platform/controls/ScrollBarControl.h"

class IFrameHost;

// A document window: the view of one picture's model in a scrolling viewport, a child of
// the frame. It paints the model at its zoom and turns the mouse and keys into operations.
class frmNabbet final : public DocumentForm {
public:
    // frame: the frame the document lives in and reports to, held weakly: the document
    // object may be kept after the frame has gone.
    explicit frmNabbet(std::weak_ptr<IFrameHost> frame);

    // What leaves the program: the picture as it came while the model is untouched, the
    // model's pixels otherwise.
    Picture DocumentPicture() const override;
    void SetDocumentPicture(Picture picture) override;
    // Writes DocumentPicture() as a file of the format (see SavePictureAs); an edited one is
    // made band by band from the model's pixels rather than by way of a picture of them.
    void SaveDocumentPicture(const std::wstring& path, SaveFormat format) const;
    // "3840 x 2160 px  50%", or nothing without a picture.
    std::wstring ViewDescription() const override;
    // "1203, 88  #1E90FF  640 x 480": the pixel under the pointer and the selection's size.
    std::wstring PointerDescription() const override;

    EditState Edits() const override;

    // The model under the view; nullptr without a picture.
    DocumentModel* Model() noexcept { return model_.get(); }
    const DocumentModel* Model() const noexcept { return model_.get(); }
    // The caption without the mark of an edited document.
    std::wstring Title() const;

    PictureBox& picNabbet() noexcept { return picNabbet_; }
    PictureBox& picScroll() noexcept { return picScroll_; }
    ScrollBarControl& hsbPic() noexcept { return hsbPic_; }
    ScrollBarControl& vsbPic() noexcept { return vsbPic_; }

    // Event handlers.
    void Form_Activate();
    void Form_Resize();
    void hsbPic_Change();
    void vsbPic_Change();

    // How many times the window has been laid out (Form_Resize): a new document once.
    int Layouts() const noexcept { return layouts_; }

    // Sets a bar's Value as the user would (clamped to its range); a change runs its handler.
    void SetScrollValue(ScrollBarControl& bar, std::int32_t value);

    // Viewing: each document keeps its own zoom, 100 % when it opens. The anchor is the
    // viewport pixel that stays put; without one the viewport's centre does.
    double Zoom() const noexcept { return picNabbet_.Zoom(); }
    void SetZoom(double zoom);
    void SetZoomAbout(double zoom, POINT anchor);
    void ZoomIn();
    void ZoomOut();
    void ActualSize();
    void FitToWindow();

    // Marking up: the tool and style the frame has chosen (the same for every document).
    void SetMarkupTool(MarkupTool tool, const MarkupStyle& style);
    MarkupTool Tool() const noexcept { return tool_; }
    // The object picked with Select (it shows its handles), or none.
    std::optional<std::uint64_t> PickedObject() const noexcept { return picked_; }
    // Each one undo step; nothing without a picked object.
    // Restyling changes what differs between the two styles and keeps the rest of the
    // object's own.
    void RestylePicked(const MarkupStyle& before, const MarkupStyle& after);
    void BringPickedForward();
    void DeletePicked();
    // Ends typing a text: it becomes one step (or nothing, when left empty).
    void EndTextEdit();
    bool EditingText() const noexcept { return textEdit_.has_value(); }

protected:
    void CreateFormWindow() override;
    void DestroyFormWindow() override;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    LRESULT DefaultProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void CreateControls();
    void OnScroll(ScrollBarControl& bar, int code);
    bool OnKeyDown(WPARAM key);
    void OnWheel(int delta, WPARAM keys, POINT screenPoint, bool tilt);
    // Moves a bar by pixels of the screen (positive: right or down).
    void ScrollByPixels(ScrollBarControl& bar, int pixels);
    POINT ViewportCentre() const;
    void ReportView() const;
    void SetBarMax(ScrollBarControl& bar, std::int32_t max);
    void RunActivation();
    // The frame while it is loaded, or nullptr: a frame closed while messages ran is not told.
    std::shared_ptr<IFrameHost> LoadedFrame() const;

    // Marking up (frmNabbet_Markup.cpp).
    // The picture's pixels of `source` with the objects drawn over them, or nullptr where
    // none touches it.
    const void* ComposePixels(const RECT& source);
    // The preview's layers over the whole picture, drawn once for what it shows now, or
    // nullptr where they would take too much memory (drawn for each part then).
    const std::vector<MarkupPainter::Layer>* PreviewLayers(const MarkupObject& object, int samples);
    bool OnMarkupMouse(UINT message, WPARAM wParam, ViewPoint point);
    bool OnMarkupKey(WPARAM key);
    bool OnMarkupChar(wchar_t character);
    void PaintMarkup(HDC dc);
    void StartDraw(PicturePoint at);
    void StartText(PicturePoint at, const MarkupObject* existing);
    void UpdateTextPreview();
    void FinishDrag(bool commit);
    void ShowPreview(std::optional<MarkupObject> preview);
    // Invalidate the picture box's pixels showing the area or the object's outline and
    // handles, or add them to `into` for one invalidation.
    void InvalidatePicture(const PictureRect& area, HRGN into = nullptr);
    void InvalidateOverlay(const MarkupObject& object, HRGN into = nullptr);
    void InvalidateView(const RECT& rect, HRGN into);
    void Pick(std::optional<std::uint64_t> id);
    const MarkupObject* FindObject(std::uint64_t id) const;
    // The picked object as it shows now: its preview while it is being edited.
    const MarkupObject* ShownPicked() const;
    double PickTolerance() const noexcept;
    ViewPoint ViewCentre(PicturePoint point) const noexcept;
    void SendToolCommand(UINT id) const;

    // The view: picNabbet's pixels are view pixels, unscrolled (the box itself moves).
    ViewMapping Mapping() const noexcept { return ViewMapping{Zoom(), ViewPoint{}}; }
    ViewRect OutlineRect() const;
    void ShowModel();
    void OnModelChanged(const DocumentChange& change);
    void ShowModified();
    void ReportEdits();
    void PaintOutline(HDC dc);
    bool OnPictureMouse(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    void ShowPointer(std::optional<ViewPoint> point);

    std::weak_ptr<IFrameHost> frame_;
    ScrollBarControl hsbPic_;
    ScrollBarControl vsbPic_;
    PictureBox picScroll_;
    PictureBox picNabbet_;
    bool activationPending_ = false;
    bool activated_ = false;  // laid out by its first activation
    int layouts_ = 0;
    int wheelZoomRemainder_ = 0;  // a precise wheel's part notches towards the next zoom step

    std::unique_ptr<DocumentModel> model_;
    int subscription_ = 0;
    ViewRect shownOutline_;  // the outline as last painted (empty: none)
    enum class Drag { None, New, Handle };
    Drag drag_ = Drag::None;
    SelectionHandle dragHandle_ = SelectionHandle::None;
    PicturePoint press_;
    PictureRect pressSelection_;
    std::wstring pointerText_;
    EditState reportedEdits_;  // as the commands were last told
    bool trackingLeave_ = false;
    unique_hbrush dashes_;

    MarkupTool tool_ = MarkupTool::Select;
    MarkupStyle style_;
    std::uint64_t lastObjectId_ = 0;
    std::optional<std::uint64_t> picked_;
    enum class MarkupDrag { None, Draw, Move, BoxHandle, EndHandle };
    MarkupDrag markupDrag_ = MarkupDrag::None;
    SelectionHandle markupHandle_ = SelectionHandle::None;
    int markupEnd_ = 0;
    std::shared_ptr<const MarkupObject> editedOriginal_;  // the model's object being edited, hidden meanwhile
    std::optional<MarkupObject> preview_;                 // what is being drawn or edited, shown in its place
    struct TextEdit {
        bool reopened = false;
    };
    std::optional<TextEdit> textEdit_;
    DWORD lastClickTime_ = 0;
    ViewPoint lastClick_;
    std::vector<std::uint32_t> composed_;
    struct PreviewDrawing {
        MarkupObject object;
        int samples = 0;
        std::vector<MarkupPainter::Layer> layers;
    };
    std::optional<PreviewDrawing> previewDrawing_;

};
