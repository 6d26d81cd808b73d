// Marking up a 7680 x 4320 picture, in a real document window: each pointer move while
// drawing a rectangle, an arrow and a pen stroke, and while moving a picked object, until
// the display shows it, at 100 % and at Fit; pixelating a 2000 x 2000 area (the averaging
// alone, and placed with the mouse at Fit until shown); saving a PNG of the picture with
// 100 objects against without any, as File Save writes it; the memory 200 objects add to
// the document.
// Prints "figure <name> <median> <min> <max> <runs>" in milliseconds (bytes for memory),
// as pixelnab_bench does.
//   markup_bench [runs] [folder to save into]
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include "app/frmMain.h"
#include "document/MarkupOperation.h"
#include "document/PicturePixels.h"
#include "document/frmNabbet.h"
#include "platform/pictures/PictureEncoder.h"
#include "platform/services/SettingsStore.h"
#include "platform/windows/Form.h"
#include "platform/windows/MessageBoxService.h"

#include "MemorySettings.h"

namespace {

class SilentMessageBox final : public IMessageBoxService {
public:
    int Show(HWND, const std::wstring& text, UINT, const std::wstring&) override {
        std::fprintf(stderr, "message: %ls\n", text.c_str());
        return IDOK;
    }
};

double Now() {
    LARGE_INTEGER frequency, counter;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

void Report(const char* name, std::vector<double> values) {
    if (values.empty()) {
        std::printf("figure %s n/a\n", name);
        return;
    }
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    const double median = n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2.0;
    std::printf("figure %s %.3f %.3f %.3f %zu\n", name, median, values.front(), values.back(), n);
    std::fflush(stdout);
}

// See pixelnab_bench: a one-pixel read waits for the X server to have drawn everything.
void SyncDisplay() {
    const HDC screen = GetDC(nullptr);
    GetPixel(screen, 0, 0);
    ReleaseDC(nullptr, screen);
}

void ShowPainted(frmNabbet& document) {
    RedrawWindow(document.hWnd(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    GdiFlush();
    SyncDisplay();
}

Pixels Screenlike(std::int32_t width, std::int32_t height) {
    Pixels pixels = Pixels::ForOverwrite(width, height);
    for (std::int32_t y = 0; y < height; ++y) {
        std::uint32_t* row = pixels.Row(y);
        for (std::int32_t x = 0; x < width; ++x)
            row[x] = 0xFF000000u | (static_cast<std::uint32_t>((x * 7) ^ (y * 13)) & 0xFFFFFFu);
    }
    return pixels;
}

LPARAM At(int x, int y) { return MAKELPARAM(x, y); }

// Press, then `runs` moves (two warm-up moves first), each timed until shown; then release.
std::vector<double> DragSteps(frmNabbet& document, POINT press, int runs, POINT (*step)(int)) {
    const HWND box = document.picNabbet().hWnd();
    SendMessageW(box, WM_LBUTTONDOWN, MK_LBUTTON, At(press.x, press.y));
    ShowPainted(document);
    std::vector<double> times;
    POINT last = press;
    for (int i = -2; i < runs; ++i) {
        last = step(i);
        SyncDisplay();
        const double start = Now();
        SendMessageW(box, WM_MOUSEMOVE, MK_LBUTTON, At(last.x, last.y));
        ShowPainted(document);
        if (i >= 0) times.push_back(Now() - start);
    }
    SendMessageW(box, WM_LBUTTONUP, 0, At(last.x, last.y));
    ShowPainted(document);
    return times;
}

std::shared_ptr<const MarkupObject> Sample(int i, const Pixels& picture) {
    MarkupObject object;
    object.id = 100000 + static_cast<std::uint64_t>(i);
    const std::int32_t x = 40 + (i * 613) % 7000, y = 40 + (i * 389) % 3800;
    switch (i % 8) {
    case 0: object.kind = MarkupTool::Rectangle; object.points = {{x, y}, {x + 300, y + 160}}; break;
    case 1: object.kind = MarkupTool::Ellipse; object.points = {{x, y}, {x + 200, y + 200}}; break;
    case 2: object.kind = MarkupTool::Arrow; object.points = {{x, y}, {x + 250, y + 120}}; break;
    case 3:
    case 4:
        object.kind = i % 8 == 3 ? MarkupTool::Pen : MarkupTool::Highlighter;
        for (int p = 0; p < 60; ++p) object.points.push_back({x + p * 5, y + (p * p) % 40});
        break;
    case 5: object.kind = MarkupTool::Text; object.points = {{x, y}}; object.text = L"Click here, then OK";
        object.textExtent = {260, 30}; break;
    case 6: object.kind = MarkupTool::Step; object.points = {{x, y}}; object.number = i; break;
    default:
        object.kind = MarkupTool::Pixelate;
        object.pixelated = Pixelate(picture, {x, y, x + 240, y + 48}, 8);
        object.points = {{x, y}, {x + 239, y + 47}};
        break;
    }
    return std::make_shared<const MarkupObject>(std::move(object));
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 9;
    const std::wstring folder = argc > 2 ? std::wstring(argv[2], argv[2] + std::strlen(argv[2])) : L".";
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES | ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    OleInitialize(nullptr);
    MemorySettings settings;
    SilentMessageBox messages;
    SetSettingsStore(&settings);
    SetMessageBoxService(&messages);
    constexpr std::int32_t kWidth = 7680, kHeight = 4320;
    std::printf("size %dx%d\n", kWidth, kHeight);
    {
        auto frame = NewForm<frmMain>();
        frame->Load();
        frame->Show();
        ShowWindow(frame->hWnd(), SW_MAXIMIZE);
        DoEvents();
        DocumentArrival arrival;
        arrival.title = L"Bench";
        arrival.picture = [&] { return PictureOfPixels(Screenlike(kWidth, kHeight)); };
        auto document = std::dynamic_pointer_cast<frmNabbet>(frame->AddDocument(arrival));
        if (!document || document->Model() == nullptr) {
            std::fprintf(stderr, "no document\n");
            return 1;
        }
        ShowWindow(document->hWnd(), SW_MAXIMIZE);
        DoEvents();
        ShowPainted(*document);

        for (const bool fit : {false, true}) {
            if (fit) document->FitToWindow(); else document->ActualSize();
            DoEvents();
            ShowPainted(*document);
            const std::string zoom = fit ? "fit" : "100";
            frame->SetMarkupTool(MarkupTool::Rectangle);
            Report(("rectangle_step_" + zoom).c_str(), DragSteps(*document, {50, 50}, runs, [](int i) {
                       return POINT{400 + (i % 2), 300 + (i % 2)};
                   }));
            frame->SetMarkupTool(MarkupTool::Arrow);
            Report(("arrow_step_" + zoom).c_str(), DragSteps(*document, {60, 420}, runs, [](int i) {
                       return POINT{500 + (i % 2), 80 + (i % 2)};
                   }));
            frame->SetMarkupTool(MarkupTool::Pen);
            Report(("pen_step_" + zoom).c_str(), DragSteps(*document, {100, 500}, runs, [](int i) {
                       return POINT{104 + 3 * (i + 2), 500 + ((i + 2) % 5) * 4};
                   }));
            // The rectangle's left side runs through view column 50: it is picked and moved.
            frame->SetMarkupTool(MarkupTool::Select);
            Report(("move_step_" + zoom).c_str(), DragSteps(*document, {50, 150}, runs, [](int i) {
                       return POINT{60 + (i % 2) * 7, 160 + (i % 2) * 5};
                   }));
            for (int i = 0; i < 4; ++i) frame->mnuEditUndo_Click();
            DoEvents();
        }

        // Pixelating 2000 x 2000: the averaging, and the area placed with the mouse at Fit.
        {
            std::vector<double> compute;
            for (int i = -1; i < runs; ++i) {
                const double start = Now();
                const PixelatedArea area = Pixelate(document->Model()->PicturePixels(), {100, 100, 2100, 2100}, 8);
                if (i >= 0) compute.push_back(Now() - start);
                if (area.columns != 250) std::fprintf(stderr, "unexpected blocks: %d\n", area.columns);
            }
            Report("pixelate_2000_average", compute);
            document->FitToWindow();
            DoEvents();
            ShowPainted(*document);
            frame->SetMarkupTool(MarkupTool::Pixelate);
            const double zoom = document->Zoom();
            const HWND box = document->picNabbet().hWnd();
            const int from = static_cast<int>(100 * zoom) + 1, to = static_cast<int>(2100 * zoom);
            std::vector<double> place;
            for (int i = -1; i < runs; ++i) {
                SendMessageW(box, WM_LBUTTONDOWN, MK_LBUTTON, At(from, from));
                SendMessageW(box, WM_MOUSEMOVE, MK_LBUTTON, At(to, to));
                ShowPainted(*document);
                const double start = Now();
                SendMessageW(box, WM_LBUTTONUP, 0, At(to, to));
                ShowPainted(*document);
                if (i >= 0) place.push_back(Now() - start);
                frame->mnuEditUndo_Click();
                DoEvents();
            }
            Report("pixelate_2000_place_fit", place);
            frame->SetMarkupTool(MarkupTool::Select);
        }

        // Saving: the untouched picture, then with 100 objects drawn in.
        {
            const std::wstring path = folder + L"\\markup-bench.png";
            const auto timedSaves = [&] {
                std::vector<double> times;
                for (int i = -1; i < std::max(3, runs / 2); ++i) {
                    const double start = Now();
                    document->SaveDocumentPicture(path, SaveFormat::Png);
                    if (i >= 0) times.push_back(Now() - start);
                }
                return times;
            };
            Report("save_png_plain", timedSaves());
            DocumentModel& model = *document->Model();
            for (int i = 0; i < 100; ++i)
                model.Do(std::make_unique<ObjectOperation>(model.Objects().size(), nullptr, Sample(i, model.PicturePixels())));
            Report("save_png_100_objects", timedSaves());
            std::vector<double> flatten;
            for (int i = -1; i < runs; ++i) {
                const double start = Now();
                const Picture flat = document->DocumentPicture();
                if (i >= 0) flatten.push_back(Now() - start);
            }
            Report("flatten_100_objects", flatten);
            while (model.CanUndo()) model.Undo();
        }

        // Memory: what 200 objects add to the document (what its content and history hold).
        {
            DocumentModel& model = *document->Model();
            const std::size_t before = model.StoredBytes();
            for (int i = 0; i < 200; ++i)
                model.Do(std::make_unique<ObjectOperation>(model.Objects().size(), nullptr, Sample(i, model.PicturePixels())));
            const std::size_t added = model.StoredBytes() - before;
            std::printf("figure memory_200_objects %zu %zu %zu 1\n", added, added, added);
        }
        frame->mnuWindowCloseAll_Click();
        DoEvents();
        frame->Unload();
        DoEvents();
    }
    OleUninitialize();
    return 0;
}
