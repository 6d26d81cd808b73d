// The document window's marking up: drawing objects with the tools, picking, moving and
// resizing them with Select, typing text, and painting them over the picture.
#include <algorithm>
#include <cmath>

#include "document/MarkupOperation.h"
#include "document/MarkupPainter.h"
#include "document/frmNabbet.h"
#include "platform/services/FrameHost.h"
#include "platform/windows/ErrorReporter.h"
#include "resource.h"

namespace {

// How near an object or its handle the pointer may be to take it, in screen pixels.
constexpr std::int32_t kPickTolerance = 4;
constexpr std::int32_t kHandleReach = kHandleSize / 2 + 1;

bool Shift() { return (GetKeyState(VK_SHIFT) & 0x8000) != 0; }

RECT ToRect(const ViewRect& rect) { return RECT{rect.left, rect.top, rect.right, rect.bottom}; }

// Whether the two draw the same pixels (a pixelated area is drawn as its blocks, never as layers).
bool SameDrawing(const MarkupObject& a, const MarkupObject& b) {
    return a.kind == b.kind && a.style == b.style && a.points == b.points && a.text == b.text &&
           a.textExtent == b.textExtent && a.number == b.number;
}

// The most samples a preview's layers are drawn with at once (4 bytes each while drawn).
constexpr std::int64_t kPreviewSamples = 8 << 20;

}  // namespace

void frmNabbet::SetMarkupTool(MarkupTool tool, const MarkupStyle& style) {
    if (tool != tool_) {
        EndTextEdit();
        if (markupDrag_ != MarkupDrag::None) FinishDrag(false);
        if (tool != MarkupTool::Select) Pick(std::nullopt);
    }
    tool_ = tool;
    style_ = style;
}

const MarkupObject* frmNabbet::FindObject(std::uint64_t id) const {
    if (!model_) return nullptr;
    const auto index = model_->ObjectIndex(id);
    return index ? model_->Objects()[*index].get() : nullptr;
}

const MarkupObject* frmNabbet::ShownPicked() const {
    if (!picked_) return nullptr;
    if (preview_ && preview_->id == *picked_) return &*preview_;
    return FindObject(*picked_);
}

double frmNabbet::PickTolerance() const noexcept { return kPickTolerance / std::max(Zoom(), 0.01); }

ViewPoint frmNabbet::ViewCentre(PicturePoint point) const noexcept {
    const ViewMapping mapping = Mapping();
    return {(mapping.ViewX(point.x) + mapping.ViewX(point.x + 1)) / 2, (mapping.ViewY(point.y) + mapping.ViewY(point.y + 1)) / 2};
}

void frmNabbet::InvalidateView(const RECT& rect, HRGN into) {
    if (into == nullptr) {
        InvalidateRect(picNabbet_.hWnd(), &rect, FALSE);
        return;
    }
    const unique_hrgn part(CreateRectRgnIndirect(&rect));
    CombineRgn(into, into, part.get(), RGN_OR);
}

void frmNabbet::InvalidatePicture(const PictureRect& area, HRGN into) {
    const HWND box = picNabbet_.hWnd();
    if (box == nullptr || area.IsEmpty() || !model_) return;
    const PictureRect inside = Intersection(area, model_->PicturePixels().Bounds());
    if (inside.IsEmpty()) return;
    InvalidateView(ToRect(Mapping().ToView(inside)), into);
}

void frmNabbet::InvalidateOverlay(const MarkupObject& object, HRGN into) {
    const HWND box = picNabbet_.hWnd();
    if (box == nullptr) return;
    // The dashed box and its handles, which reach half a handle beyond it.
    for (const ViewRect& band : OutlineRepaint(Mapping().ToView(ObjectBox(object)), {})) InvalidateView(ToRect(band), into);
    if (HandlesOf(object.kind) == HandleKind::Ends && object.points.size() >= 2)
        for (const PicturePoint& end : {object.points[0], object.points[1]}) {
            const ViewPoint at = ViewCentre(end);
            InvalidateView(RECT{at.x - kHandleSize, at.y - kHandleSize, at.x + kHandleSize + 1, at.y + kHandleSize + 1}, into);
        }
}

void frmNabbet::Pick(std::optional<std::uint64_t> id) {
    if (id == picked_) return;
    if (const MarkupObject* before = ShownPicked()) InvalidateOverlay(*before);
    picked_ = id;
    if (const MarkupObject* after = ShownPicked()) InvalidateOverlay(*after);
    if (picNabbet_.hWnd() != nullptr) UpdateWindow(picNabbet_.hWnd());
    ReportEdits();
}

void frmNabbet::ShowPreview(std::optional<MarkupObject> preview) {
    // What the old preview covered and what the new one covers; nothing else changes. Made
    // one region first: under Wine each invalidation is a call to its server.
    const unique_hrgn changed(CreateRectRgn(0, 0, 0, 0));
    const auto add = [&](const MarkupObject& object) {
        for (const PictureRect& area : RepaintAreas(object)) InvalidatePicture(area, changed.get());
        InvalidateOverlay(object, changed.get());
    };
    if (preview_) add(*preview_);
    preview_ = std::move(preview);
    if (!preview_) previewDrawing_.reset();
    if (preview_) add(*preview_);
    if (const HWND box = picNabbet_.hWnd()) {
        InvalidateRgn(box, changed.get(), FALSE);
        UpdateWindow(box);
    }
}

void frmNabbet::SendToolCommand(UINT id) const {
    if (const auto frame = LoadedFrame()) SendMessageW(frame->OwnerWindow(), WM_COMMAND, id, 0);
}

const std::vector<MarkupPainter::Layer>* frmNabbet::PreviewLayers(const MarkupObject& object, int samples) {
    if (!preview_ || &object != &*preview_ || !model_) return nullptr;
    if (previewDrawing_ && previewDrawing_->samples == samples && SameDrawing(previewDrawing_->object, object))
        return &previewDrawing_->layers;
    // Drawn whole once a pointer move, then laid over each rectangle the paint asks for: a
    // line's stretches reach the paint as dozens of rectangles, each its own GDI+ surface
    // otherwise.
    previewDrawing_.reset();
    const PictureRect picture = model_->PicturePixels().Bounds();
    std::int64_t pixels = 0;
    for (const PictureRect& area : RepaintAreas(object)) {
        const PictureRect part = Intersection(area, picture);
        if (!part.IsEmpty()) pixels += static_cast<std::int64_t>(part.Width()) * part.Height();
    }
    if (pixels * samples * samples > kPreviewSamples) return nullptr;
    previewDrawing_ = PreviewDrawing{object, samples, MarkupPainter::LayersOf(object, picture, samples)};
    return &previewDrawing_->layers;
}

const void* frmNabbet::ComposePixels(const RECT& source) {
    if (!model_) return nullptr;
    const PictureRect area{source.left, source.top, source.right, source.bottom};
    std::vector<const MarkupObject*> shown;
    // By the parts it covers, not its box: a rectangle's or a line's box holds many rectangles
    // of a paint that none of it reaches.
    const auto touches = [&](const MarkupObject& object) {
        if (Intersection(ObjectBounds(object), area).IsEmpty()) return false;
        const auto areas = RepaintAreas(object);
        return std::any_of(areas.begin(), areas.end(), [&](const PictureRect& part) { return !Intersection(part, area).IsEmpty(); });
    };
    bool previewPlaced = false;
    for (const auto& object : model_->Objects()) {
        if (editedOriginal_ && object == editedOriginal_) {
            // The object being edited shows as its preview, at its place in the order.
            if (preview_ && touches(*preview_)) shown.push_back(&*preview_);
            previewPlaced = true;
            continue;
        }
        if (touches(*object)) shown.push_back(object.get());
    }
    if (preview_ && !previewPlaced && touches(*preview_)) shown.push_back(&*preview_);
    if (shown.empty()) return nullptr;
    const Pixels& pixels = model_->PicturePixels();
    const std::int32_t width = area.Width();
    const std::int32_t height = area.Height();
    composed_.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    for (std::int32_t y = 0; y < height; ++y)
        std::copy_n(pixels.Row(area.top + y) + area.left, width, composed_.data() + static_cast<std::size_t>(y) * width);
    // Reduced, the picture is averaged down to the screen anyway: edges are smoothed at
    // picture pixels only from 100 % on, where each shows whole.
    const int samples = Zoom() >= 1.0 ? MarkupPainter::kSmoothSamples : Zoom() >= 0.5 ? 2 : 1;
    MarkupPainter::Draw(shown, composed_.data(), width, width, height, PicturePoint{area.left, area.top}, samples,
                        [&](const MarkupObject& object) { return PreviewLayers(object, samples); });
    return composed_.data();
}

void frmNabbet::StartDraw(PicturePoint at) {
    MarkupObject object;
    object.id = ++lastObjectId_;
    object.kind = tool_;
    object.style = style_;
    object.points = tool_ == MarkupTool::Pen || tool_ == MarkupTool::Highlighter ? std::vector<PicturePoint>{at}
                                                                                   : std::vector<PicturePoint>{at, at};
    markupDrag_ = MarkupDrag::Draw;
    ShowPreview(std::move(object));
}

void frmNabbet::StartText(PicturePoint at, const MarkupObject* existing) {
    MarkupObject object;
    if (existing != nullptr) {
        object = *existing;
        const auto index = model_->ObjectIndex(existing->id);
        editedOriginal_ = index ? model_->Objects()[*index] : nullptr;
        picked_ = existing->id;
    } else {
        object.id = ++lastObjectId_;
        object.kind = MarkupTool::Text;
        object.style = style_;
        object.points = {at};
        picked_ = object.id;
    }
    textEdit_ = TextEdit{existing != nullptr};
    preview_ = std::move(object);
    UpdateTextPreview();
}

void frmNabbet::UpdateTextPreview() {
    if (!preview_) return;
    MarkupObject object = *preview_;
    object.textExtent = MarkupPainter::MeasureText(object.style, object.text);
    ShowPreview(std::move(object));
}

void frmNabbet::EndTextEdit() {
    if (!textEdit_ || !model_) return;
    textEdit_.reset();
    std::optional<MarkupObject> text = std::move(preview_);
    const auto original = std::move(editedOriginal_);
    preview_.reset();
    if (text) {
        InvalidateOverlay(*text);
        InvalidatePicture(ObjectBounds(*text));
    }
    Pick(std::nullopt);
    Trapped([&] {
        const auto index = original ? model_->ObjectIndex(original->id) : std::nullopt;
        const bool empty = !text || text->text.empty();
        if (original && index) {
            if (empty)
                model_->Do(std::make_unique<ObjectOperation>(*index, original, nullptr));
            else if (text->text != original->text)
                model_->Do(std::make_unique<ObjectOperation>(*index, original, std::make_shared<const MarkupObject>(std::move(*text))));
        } else if (!empty) {
            model_->Do(std::make_unique<ObjectOperation>(model_->Objects().size(), nullptr,
                                                         std::make_shared<const MarkupObject>(std::move(*text))));
        }
    });
    if (picNabbet_.hWnd() != nullptr) UpdateWindow(picNabbet_.hWnd());
}

void frmNabbet::FinishDrag(bool commit) {
    const MarkupDrag drag = markupDrag_;
    markupDrag_ = MarkupDrag::None;
    if (GetCapture() == picNabbet_.hWnd()) ReleaseCapture();
    std::optional<MarkupObject> result = preview_;
    const auto original = editedOriginal_;
    // The step is made while the preview still shows, then the preview goes: the object
    // never shows at its old place in between.
    if (commit && result && model_) Trapped([&] {
        MarkupObject& object = *result;
        if (object.kind == MarkupTool::Pixelate) {
            // The blocks are read from the pixels under the area's place now: a moved area
            // never carries the pixels of where it was.
            const PictureRect wanted = drag == MarkupDrag::Draw ? SpanOf(object.points[0], object.points[1])
                                                                 : object.pixelated.area;
            object.pixelated = Pixelate(model_->PicturePixels(), wanted, object.style.pixelateBlock);
            object.points = {PicturePoint{object.pixelated.area.left, object.pixelated.area.top},
                             PicturePoint{object.pixelated.area.right - 1, object.pixelated.area.bottom - 1}};
        }
        if (drag == MarkupDrag::Draw) {
            // A click without a drag draws no box or line (only a pen leaves a dot).
            const bool dot = object.points.size() >= 2 && object.points[0] == object.points[1];
            if (dot && object.kind != MarkupTool::Pixelate) return;
            model_->Do(std::make_unique<ObjectOperation>(model_->Objects().size(), nullptr,
                                                         std::make_shared<const MarkupObject>(std::move(object))));
            return;
        }
        if (!original) return;
        const auto index = model_->ObjectIndex(original->id);
        const bool same = object.points == original->points && object.pixelated.area == original->pixelated.area;
        if (!index || same) return;
        model_->Do(std::make_unique<ObjectOperation>(*index, original, std::make_shared<const MarkupObject>(std::move(object))));
    });
    editedOriginal_.reset();
    if (original) InvalidatePicture(ObjectBounds(*original));
    ShowPreview(std::nullopt);
}

bool frmNabbet::OnMarkupMouse(UINT message, WPARAM, ViewPoint point) {
    const PicturePoint at = Mapping().ToPicture(point);
    const PictureRect bounds = model_->PicturePixels().Bounds();
    switch (message) {
    case WM_LBUTTONDOWN: {
        // A double click is told apart here, so the box keeps its plain class style.
        const DWORD now = static_cast<DWORD>(GetMessageTime());
        const bool doubleClick = now - lastClickTime_ <= GetDoubleClickTime() &&
                                 std::abs(point.x - lastClick_.x) <= GetSystemMetrics(SM_CXDOUBLECLK) / 2 &&
                                 std::abs(point.y - lastClick_.y) <= GetSystemMetrics(SM_CYDOUBLECLK) / 2;
        lastClickTime_ = now;
        lastClick_ = point;
        if (textEdit_) {
            // A click elsewhere ends the text; a click on it keeps typing there.
            if (preview_ && HitsObject(*preview_, (point.x + 0.5) / Zoom(), (point.y + 0.5) / Zoom(), PickTolerance()))
                return true;
            EndTextEdit();
            return true;
        }
        const double x = (point.x + 0.5) / Zoom(), y = (point.y + 0.5) / Zoom();
        if (tool_ == MarkupTool::Select) {
            if (const MarkupObject* picked = ShownPicked()) {
                const HandleKind handles = HandlesOf(picked->kind);
                if (handles == HandleKind::Box) {
                    const SelectionHandle handle = HandleAt(Mapping().ToView(ObjectBox(*picked)), point, kHandleReach);
                    if (handle != SelectionHandle::None) {
                        markupDrag_ = MarkupDrag::BoxHandle;
                        markupHandle_ = handle;
                    }
                } else if (handles == HandleKind::Ends && picked->points.size() >= 2) {
                    if (const auto end = EndAt(ViewCentre(picked->points[0]), ViewCentre(picked->points[1]), point, kHandleReach)) {
                        markupDrag_ = MarkupDrag::EndHandle;
                        markupEnd_ = *end;
                    }
                }
            }
            if (markupDrag_ == MarkupDrag::None) {
                const auto index = ObjectAt(model_->Objects(), x, y, PickTolerance());
                if (!index) {
                    Pick(std::nullopt);
                    return false;  // the selection's own press
                }
                const auto& object = model_->Objects()[*index];
                if (doubleClick && object->kind == MarkupTool::Text) {
                    Pick(std::nullopt);
                    StartText(object->points[0], object.get());
                    return true;
                }
                Pick(object->id);
                markupDrag_ = MarkupDrag::Move;
            }
            const auto pickedIndex = model_->ObjectIndex(*picked_);
            if (!pickedIndex) {
                markupDrag_ = MarkupDrag::None;
                return false;
            }
            editedOriginal_ = model_->Objects()[*pickedIndex];
            press_ = at;
            preview_ = *editedOriginal_;
            SetCapture(picNabbet_.hWnd());
            return true;
        }
        Pick(std::nullopt);
        model_->ClearSelection();
        press_ = at;
        if (tool_ == MarkupTool::Text) {
            StartText(at, nullptr);
            return true;
        }
        if (tool_ == MarkupTool::Step) {
            Trapped([&] {
                auto step = std::make_shared<MarkupObject>();
                step->id = ++lastObjectId_;
                step->kind = MarkupTool::Step;
                step->style = style_;
                step->points = {at};
                step->number = NextStepNumber(model_->Objects());
                model_->Do(std::make_unique<ObjectOperation>(model_->Objects().size(), nullptr, std::move(step)));
            });
            return true;
        }
        StartDraw(at);
        SetCapture(picNabbet_.hWnd());
        return true;
    }
    case WM_MOUSEMOVE: {
        if (markupDrag_ == MarkupDrag::None || !preview_) return false;
        MarkupObject next = *preview_;
        switch (markupDrag_) {
        case MarkupDrag::Draw:
            if (next.kind == MarkupTool::Pen || next.kind == MarkupTool::Highlighter) {
                if (next.points.back() == at) return true;
                // Only the new segment is repainted (and what the old end cap covered).
                const PicturePoint last = next.points.back();
                next.points.push_back(at);
                const std::int32_t width = next.kind == MarkupTool::Highlighter ? HighlighterWidth(next.style.width) : next.style.width;
                const std::int32_t margin = width / 2 + 2;
                const PictureRect segment = SpanOf(last, at);
                preview_ = std::move(next);
                InvalidatePicture({segment.left - margin, segment.top - margin, segment.right + margin, segment.bottom + margin});
                UpdateWindow(picNabbet_.hWnd());
                return true;
            }
            next.points[1] = Shift() ? Constrained(next.kind, next.points[0], at) : at;
            break;
        case MarkupDrag::Move:
            next = Moved(*editedOriginal_, at.x - press_.x, at.y - press_.y);
            break;
        case MarkupDrag::BoxHandle:
            next = ResizedBox(*editedOriginal_, markupHandle_, press_, at, bounds);
            break;
        case MarkupDrag::EndHandle: {
            const PicturePoint other = editedOriginal_->points[static_cast<std::size_t>(1 - markupEnd_)];
            next = MovedEnd(*editedOriginal_, markupEnd_, Shift() ? Constrained(next.kind, other, at) : at);
            break;
        }
        default:
            break;
        }
        if (next.points == preview_->points && next.pixelated.area == preview_->pixelated.area) return true;
        ShowPreview(std::move(next));
        return true;
    }
    case WM_LBUTTONUP:
        if (markupDrag_ == MarkupDrag::None) return false;
        FinishDrag(true);
        return true;
    case WM_CAPTURECHANGED:
        if (markupDrag_ != MarkupDrag::None) FinishDrag(false);
        return false;
    default:
        return false;
    }
}

bool frmNabbet::OnMarkupKey(WPARAM key) {
    if (!model_) return false;
    if (textEdit_) {
        if (key == VK_ESCAPE) EndTextEdit();
        return true;  // typed keys arrive as characters
    }
    if (key == VK_ESCAPE) {
        if (markupDrag_ != MarkupDrag::None) {
            FinishDrag(false);
            return true;
        }
        if (picked_) {
            Pick(std::nullopt);
            return true;
        }
        if (tool_ != MarkupTool::Select) {
            SendToolCommand(IDM_TOOLS_SELECT);
            return true;
        }
        return false;
    }
    if (key == VK_DELETE && picked_) {
        DeletePicked();
        return true;
    }
    return false;
}

bool frmNabbet::OnMarkupChar(wchar_t character) {
    if (!textEdit_ || !preview_) return false;
    MarkupObject& text = *preview_;
    if (character == L'\r') {
        text.text += L'\n';
    } else if (character == L'\b') {
        if (!text.text.empty()) text.text.pop_back();
    } else if (character >= L' ' && character != 0x7F) {
        text.text += character;
    } else {
        return true;
    }
    // The old extent is repainted as well as the new: a shorter text leaves nothing behind.
    InvalidatePicture(ObjectBounds(text));
    InvalidateOverlay(text);
    UpdateTextPreview();
    return true;
}

namespace {

MarkupStyle Restyled(MarkupStyle style, const MarkupStyle& before, const MarkupStyle& after) {
    if (before.colour != after.colour) style.colour = after.colour;
    if (before.width != after.width) style.width = after.width;
    if (before.filled != after.filled) style.filled = after.filled;
    if (before.fontName != after.fontName || before.fontSize != after.fontSize || before.fontBold != after.fontBold ||
        before.fontItalic != after.fontItalic) {
        style.fontName = after.fontName;
        style.fontSize = after.fontSize;
        style.fontBold = after.fontBold;
        style.fontItalic = after.fontItalic;
    }
    if (before.pixelateBlock != after.pixelateBlock) style.pixelateBlock = after.pixelateBlock;
    return style;
}

}  // namespace

void frmNabbet::RestylePicked(const MarkupStyle& before, const MarkupStyle& after) {
    if (!model_ || !picked_ || markupDrag_ != MarkupDrag::None) return;
    if (textEdit_ && preview_) {
        preview_->style = Restyled(preview_->style, before, after);
        InvalidatePicture(ObjectBounds(*preview_));
        UpdateTextPreview();
        return;
    }
    const auto index = model_->ObjectIndex(*picked_);
    if (!index) return;
    const auto& original = model_->Objects()[*index];
    const MarkupStyle style = Restyled(original->style, before, after);
    if (original->style == style) return;
    MarkupObject restyled = *original;
    restyled.style = style;
    if (restyled.kind == MarkupTool::Text) restyled.textExtent = MarkupPainter::MeasureText(style, restyled.text);
    if (restyled.kind == MarkupTool::Pixelate)
        restyled.pixelated = Pixelate(model_->PicturePixels(), original->pixelated.area, style.pixelateBlock);
    InvalidateOverlay(*original);
    model_->Do(std::make_unique<ObjectOperation>(*index, original, std::make_shared<const MarkupObject>(std::move(restyled))));
}

void frmNabbet::BringPickedForward() {
    if (!model_ || !picked_ || markupDrag_ != MarkupDrag::None || textEdit_) return;
    const auto index = model_->ObjectIndex(*picked_);
    if (!index || *index + 1 >= model_->Objects().size()) return;
    model_->Do(std::make_unique<ReorderObjectOperation>(*index, *index + 1));
}

void frmNabbet::DeletePicked() {
    if (!model_ || !picked_ || markupDrag_ != MarkupDrag::None || textEdit_) return;
    const auto index = model_->ObjectIndex(*picked_);
    if (!index) return;
    const auto original = model_->Objects()[*index];
    Pick(std::nullopt);
    model_->Do(std::make_unique<ObjectOperation>(*index, original, nullptr));
}

void frmNabbet::PaintMarkup(HDC dc) {
    const MarkupObject* picked = ShownPicked();
    const MarkupObject* outlined = picked != nullptr ? picked
                                   : preview_ && preview_->kind == MarkupTool::Pixelate ? &*preview_
                                                                                        : nullptr;
    if (outlined == nullptr) return;
    if (!dashes_) return;
    // Outlines and handles at screen size, over the picture at any zoom.
    const ViewRect box = Mapping().ToView(ObjectBox(*outlined));
    SetTextColor(dc, RGB(0, 0, 0));
    SetBkColor(dc, RGB(255, 255, 255));
    SetBrushOrgEx(dc, 0, 0, nullptr);
    const RECT sides[] = {{box.left, box.top, box.right, box.top + 1},
                          {box.left, box.bottom - 1, box.right, box.bottom},
                          {box.left, box.top, box.left + 1, box.bottom},
                          {box.right - 1, box.top, box.right, box.bottom}};
    const HandleKind handles = outlined == picked && !textEdit_ ? HandlesOf(outlined->kind) : HandleKind::None;
    if (handles != HandleKind::Ends)
        for (const RECT& side : sides) FillRect(dc, &side, dashes_.get());
    const auto square = [&](const RECT& rect) {
        FillRect(dc, &rect, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        FrameRect(dc, &rect, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    };
    if (handles == HandleKind::Box) {
        for (SelectionHandle handle : {SelectionHandle::TopLeft, SelectionHandle::Top, SelectionHandle::TopRight,
                                       SelectionHandle::Right, SelectionHandle::BottomRight, SelectionHandle::Bottom,
                                       SelectionHandle::BottomLeft, SelectionHandle::Left})
            square(ToRect(HandleRect(box, handle)));
    } else if (handles == HandleKind::Ends && outlined->points.size() >= 2) {
        for (const PicturePoint& end : {outlined->points[0], outlined->points[1]}) {
            const ViewPoint at = ViewCentre(end);
            square(RECT{at.x - kHandleSize / 2, at.y - kHandleSize / 2, at.x + kHandleSize / 2 + 1, at.y + kHandleSize / 2 + 1});
        }
    }
    if (textEdit_ && preview_ && !preview_->points.empty()) {
        // The caret after the last character typed.
        const auto lineStart = preview_->text.rfind(L'\n');
        const std::wstring lastLine = lineStart == std::wstring::npos ? preview_->text : preview_->text.substr(lineStart + 1);
        const PicturePoint lineSize = MarkupPainter::MeasureText(preview_->style, L"");
        const std::int32_t lines = static_cast<std::int32_t>(std::count(preview_->text.begin(), preview_->text.end(), L'\n'));
        const std::int32_t x = preview_->points[0].x + (lastLine.empty() ? 0 : MarkupPainter::MeasureText(preview_->style, lastLine).x);
        const std::int32_t top = preview_->points[0].y + lines * (lineSize.y - 1);
        const ViewRect caret = Mapping().ToView(PictureRect{x, top, x + 1, top + lineSize.y - 1});
        const RECT line{caret.left, caret.top, caret.left + 1, caret.bottom};
        FillRect(dc, &line, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    }
}
