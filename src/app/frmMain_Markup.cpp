// The frame's part in marking up: the tool strip, the tool and style every document draws
// with, the colour and font dialogs, and the style kept in the settings.
#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>

#include <algorithm>
#include <vector>

#include "app/FrameSettings.h"
#include "app/frmMain.h"
#include "document/MarkupPainter.h"
#include "document/frmNabbet.h"
#include "platform/controls/PaintCache.h"
#include "platform/rules/DpiScale.h"
#include "platform/windows/Dpi.h"
#include "platform/windows/ErrorReporter.h"
#include "platform/windows/Handles.h"
#include "resource.h"

namespace {

// The strip's buttons are the main toolbar's size: 23 x 22 at 96 DPI.
constexpr int kStripButtonWidth = 23;
constexpr int kStripButtonHeight = 22;

std::vector<std::shared_ptr<frmNabbet>> MarkupDocuments(const std::vector<std::shared_ptr<DocumentForm>>& documents) {
    std::vector<std::shared_ptr<frmNabbet>> found;
    for (const auto& document : documents)
        if (auto nabbet = std::dynamic_pointer_cast<frmNabbet>(document)) found.push_back(std::move(nabbet));
    return found;
}

}  // namespace

void frmMain::CreateToolStrip() {
    tlbTools_ = CreateWindowExW(0, TOOLBARCLASSNAMEW, nullptr,
                                WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | TBSTYLE_WRAPABLE | CCS_VERT |
                                    CCS_NODIVIDER | CCS_NORESIZE | CCS_NOPARENTALIGN,
                                0, 0, 0, 0, hwnd_, nullptr, ModuleInstance(), nullptr);
    SendMessageW(tlbTools_, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SetToolStripImages();
    const std::vector<TBBUTTON> buttons = CommandBars::StripButtons();
    SendMessageW(tlbTools_, TB_ADDBUTTONSW, buttons.size(), reinterpret_cast<LPARAM>(buttons.data()));
    SendMessageW(tlbTools_, TB_SETBUTTONSIZE, 0,
                 MAKELPARAM(ScaleForDpi(kStripButtonWidth, kStandardDpi, dpi_), ScaleForDpi(kStripButtonHeight, kStandardDpi, dpi_)));
    KeepPainting(tlbTools_);
}

int frmMain::ToolStripWidth() const {
    // Two buttons and two pixels of air on either side, at the frame's DPI.
    return ScaleForDpi(2 * kStripButtonWidth + 4, kStandardDpi, dpi_);
}

// The images are drawn for the DPI at its size (16, 24 or 32 pixels) rather than stretched.
void frmMain::SetToolStripImages() {
    const int size = ToolbarImageSize(dpi_);
    std::vector<MarkupPainter::StripIcon> icons;
    for (int tool = 0; tool <= static_cast<int>(MarkupTool::Pixelate); ++tool)
        icons.push_back({MarkupPainter::StripIcon::Kind::Tool, static_cast<MarkupTool>(tool), 0});
    for (const std::uint32_t colour : StripColours())
        icons.push_back({MarkupPainter::StripIcon::Kind::Swatch, MarkupTool::Select, colour});
    icons.push_back({MarkupPainter::StripIcon::Kind::MoreColours, MarkupTool::Select, 0});
    icons.push_back({MarkupPainter::StripIcon::Kind::Filled, MarkupTool::Select, 0});
    const int count = static_cast<int>(icons.size());
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = size * count;
    info.bmiHeader.biHeight = -size;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    unique_hbitmap strip(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    HIMAGELIST images = ImageList_Create(size, size, ILC_COLOR32, count, 0);
    if (strip && bits != nullptr) {
        MarkupPainter::DrawStripIcons(icons, size, static_cast<std::uint32_t*>(bits));
        ImageList_Add(images, strip.get(), nullptr);
    }
    SendMessageW(tlbTools_, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images));
    SendMessageW(tlbTools_, TB_SETBITMAPSIZE, 0, MAKELPARAM(size, size));
    if (imlTools_ != nullptr) ImageList_Destroy(imlTools_);
    imlTools_ = images;
}

void frmMain::LoadMarkupSettings() {
    MarkupStyleTexts texts;
    const MarkupStyleTexts defaults = StyleTexts(MarkupStyle{});
    texts.colour = ReadFrameSetting(L"ToolColour", defaults.colour);
    texts.width = ReadFrameSetting(L"ToolWidth", defaults.width);
    texts.filled = ReadFrameSetting(L"ToolFilled", defaults.filled);
    texts.font = ReadFrameSetting(L"ToolFont", defaults.font);
    texts.block = ReadFrameSetting(L"PixelateBlock", defaults.block);
    markupStyle_ = StyleFromTexts(texts);
    for (const auto& document : MarkupDocuments(Documents())) document->SetMarkupTool(markupTool_, markupStyle_);
}

void frmMain::StoreMarkupSettings() const {
    const MarkupStyleTexts texts = StyleTexts(markupStyle_);
    WriteFrameSetting(L"ToolColour", texts.colour);
    WriteFrameSetting(L"ToolWidth", texts.width);
    WriteFrameSetting(L"ToolFilled", texts.filled);
    WriteFrameSetting(L"ToolFont", texts.font);
    WriteFrameSetting(L"PixelateBlock", texts.block);
}

bool frmMain::ToolKeysAllowed(const MSG& message) const {
    if (message.message != WM_KEYDOWN) return true;
    const bool letter = message.wParam >= 'A' && message.wParam <= 'Z';
    if (!letter || (GetKeyState(VK_CONTROL) & 0x8000) != 0 || (GetKeyState(VK_MENU) & 0x8000) != 0) return true;
    const auto active = std::dynamic_pointer_cast<frmNabbet>(ActiveDocument());
    if (!active || !active->IsLoaded() || active->EditingText()) return false;
    return message.hwnd == active->hWnd() || IsChild(active->hWnd(), message.hwnd);
}

void frmMain::SetMarkupTool(MarkupTool tool) {
    Trapped([&] {
        markupTool_ = tool;
        for (const auto& document : MarkupDocuments(Documents())) document->SetMarkupTool(markupTool_, markupStyle_);
        const CommandContext context = CurrentCommandContext();
        commandBars_.ApplyCheckRules(context);
        commandBars_.ApplyStripRules(context);
    });
}

void frmMain::SetMarkupStyle(const MarkupStyle& style) {
    Trapped([&] {
        const MarkupStyle before = markupStyle_;
        markupStyle_ = style;
        for (const auto& document : MarkupDocuments(Documents())) document->SetMarkupTool(markupTool_, markupStyle_);
        if (const auto active = std::dynamic_pointer_cast<frmNabbet>(ActiveDocument())) {
            // Only what the user changed: a picked object keeps the rest of its own style.
            if (active->PickedObject()) active->RestylePicked(before, markupStyle_);
        }
        const CommandContext context = CurrentCommandContext();
        commandBars_.ApplyCheckRules(context);
        commandBars_.ApplyStripRules(context);
        StoreMarkupSettings();
    });
}

void frmMain::mnuToolsMoreColours_Click() {
    Observe(L"mnuToolsMoreColours_Click");
    static COLORREF custom[16]{};
    CHOOSECOLORW choose{};
    choose.lStructSize = sizeof choose;
    choose.hwndOwner = hwnd_;
    const std::uint32_t c = markupStyle_.colour;
    choose.rgbResult = RGB((c >> 16) & 0xFF, (c >> 8) & 0xFF, c & 0xFF);
    choose.lpCustColors = custom;
    choose.Flags = CC_RGBINIT | CC_FULLOPEN;
    if (!ChooseColorW(&choose)) return;
    MarkupStyle style = markupStyle_;
    style.colour = (static_cast<std::uint32_t>(GetRValue(choose.rgbResult)) << 16) |
                   (static_cast<std::uint32_t>(GetGValue(choose.rgbResult)) << 8) | GetBValue(choose.rgbResult);
    SetMarkupStyle(style);
}

void frmMain::mnuToolsFilled_Click() {
    Observe(L"mnuToolsFilled_Click");
    MarkupStyle style = markupStyle_;
    style.filled = !style.filled;
    SetMarkupStyle(style);
}

void frmMain::mnuToolsFont_Click() {
    Observe(L"mnuToolsFont_Click");
    // Sizes are picture pixels; the dialog speaks points, at 96 pixels to 72 points.
    LOGFONTW font{};
    font.lfHeight = -markupStyle_.fontSize;
    font.lfWeight = markupStyle_.fontBold ? FW_BOLD : FW_NORMAL;
    font.lfItalic = markupStyle_.fontItalic ? TRUE : FALSE;
    font.lfCharSet = DEFAULT_CHARSET;
    const std::wstring name = markupStyle_.fontName.substr(0, LF_FACESIZE - 1);
    std::copy(name.begin(), name.end(), font.lfFaceName);
    CHOOSEFONTW choose{};
    choose.lStructSize = sizeof choose;
    choose.hwndOwner = hwnd_;
    choose.lpLogFont = &font;
    choose.Flags = CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT | CF_NOVERTFONTS | CF_SCALABLEONLY;
    if (!ChooseFontW(&choose)) return;
    MarkupStyle style = markupStyle_;
    style.fontName = font.lfFaceName;
    style.fontSize = std::clamp(MulDiv(choose.iPointSize, 96, 720), 4, 400);
    style.fontBold = font.lfWeight >= FW_SEMIBOLD;
    style.fontItalic = font.lfItalic != FALSE;
    SetMarkupStyle(style);
}

void frmMain::mnuToolsBringForward_Click() {
    Observe(L"mnuToolsBringForward_Click");
    Trapped([&] {
        if (const auto active = std::dynamic_pointer_cast<frmNabbet>(ActiveDocument())) active->BringPickedForward();
    });
}

void frmMain::mnuToolsDelete_Click() {
    Observe(L"mnuToolsDelete_Click");
    Trapped([&] {
        if (const auto active = std::dynamic_pointer_cast<frmNabbet>(ActiveDocument())) active->DeletePicked();
    });
}
