// The document model's edits at 1920x1080, 3840x2160 and 7680x4320, without a window:
// Crop to Selection, its undo and redo (a crop keeping about half of the picture); the
// memory the document holds after 20 crops and 20 undos, against the picture's bytes; and
// one selection drag step (pointer to selection, outline and what to repaint). None of
// them should grow with the picture.
// Prints "size WxH", then "figure <name> <median> <min> <max> <runs>" as pixelnab_bench
// does, but in microseconds (the memory figures in bytes).
//   model_bench [runs]
// Plain C++: it also builds for this machine, e.g.
//   clang++ -O2 -std=c++20 -Isrc bench/model_bench.cpp src/document/{Pixels,DocumentOperation,History,
//     DocumentModel,DocumentViewGeometry}.cpp src/platform/rules/RuntimeError.cpp
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

#include "document/DocumentModel.h"
#include "document/DocumentViewGeometry.h"

namespace {

using Clock = std::chrono::steady_clock;

double Microseconds(const std::function<void()>& step) {
    const auto start = Clock::now();
    step();
    return std::chrono::duration<double, std::micro>(Clock::now() - start).count();
}

void Report(const char* name, std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    const std::size_t n = samples.size();
    const double median = n % 2 ? samples[n / 2] : (samples[n / 2 - 1] + samples[n / 2]) / 2;
    std::printf("figure %s %.3f %.3f %.3f %zu\n", name, median, samples.front(), samples.back(), n);
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

// Crop, undo, redo of one selection, `runs` times; each run's crop is a new step, which
// discards the one redone before it, as for a user.
void CropFigures(DocumentModel& model, const PictureRect& keep, int runs, const char* crop, const char* undo,
                 const char* redo) {
    std::vector<double> crops, undos, redos;
    for (int run = 0; run < runs; ++run) {
        model.Select(keep);
        crops.push_back(Microseconds([&] { model.CropToSelection(); }));
        undos.push_back(Microseconds([&] { model.Undo(); }));
        redos.push_back(Microseconds([&] { model.Redo(); }));
        model.Undo();
    }
    Report(crop, crops);
    Report(undo, undos);
    Report(redo, redos);
}

}  // namespace

int main(int argc, char** argv) {
    const int requestedRuns = argc > 1 ? std::atoi(argv[1]) : 0;
    const struct {
        std::int32_t width, height;
        int runs;
    } sizes[] = {{1920, 1080, 15}, {3840, 2160, 9}, {7680, 4320, 5}};
    for (const auto& size : sizes) {
        const int runs = requestedRuns > 0 ? requestedRuns : size.runs;
        const std::int32_t w = size.width, h = size.height;
        std::printf("size %dx%d\n", w, h);
        DocumentModel model(Screenlike(w, h));
        const double pictureBytes = static_cast<double>(w) * h * 4;

        CropFigures(model, PictureRect{w / 7, h / 7, w / 7 + w * 71 / 100, h / 7 + h * 71 / 100}, runs, "crop_us",
                    "undo_crop_us", "redo_crop_us");

        // Twenty crops each taking a little off every side, then twenty undos.
        std::vector<double> twentyCrops, twentyUndos;
        twentyCrops.push_back(Microseconds([&] {
            for (int i = 0; i < 20; ++i) {
                const Pixels& p = model.PicturePixels();
                model.Select(PictureRect{p.Width() / 50, p.Height() / 50, p.Width() - p.Width() / 40,
                                         p.Height() - p.Height() / 30});
                model.CropToSelection();
            }
        }));
        const double afterCrops = static_cast<double>(model.StoredBytes());
        twentyUndos.push_back(Microseconds([&] {
            for (int i = 0; i < 20; ++i) model.Undo();
        }));
        const double afterUndos = static_cast<double>(model.StoredBytes());
        Report("twenty_crops_us", twentyCrops);
        Report("twenty_undos_us", twentyUndos);
        std::printf("figure memory_after_20_crops %.0f %.0f %.0f 1\n", afterCrops, afterCrops, afterCrops);
        std::printf("figure memory_after_20_undos %.0f %.0f %.0f 1\n", afterUndos, afterUndos, afterUndos);
        std::printf("memory: %.2f x the picture after 20 crops, %.2f x after 20 undos (picture %.0f bytes)\n",
                    afterCrops / pictureBytes, afterUndos / pictureBytes, pictureBytes);

        // A drag step across the whole picture at 50 %: 10000 steps, timed together.
        const ViewMapping view{0.5, {0, 0}};
        const PictureRect bounds = model.PicturePixels().Bounds();
        ViewRect outline;
        std::vector<double> steps;
        std::size_t bands = 0;
        for (int run = 0; run < runs; ++run) {
            steps.push_back(Microseconds([&] {
                for (int step = 0; step < 10000; ++step) {
                    const ViewPoint pointer{step % (w / 2), step % (h / 2)};
                    model.Select(DragSelection({0, 0}, view.ToPicture(pointer), bounds));
                    const ViewRect now = view.ToView(*model.Selection());
                    bands += OutlineRepaint(outline, now).size();
                    outline = now;
                }
            }) / 10000.0);
        }
        Report("drag_step_us", steps);
        if (bands == 0) std::printf("no outline repainted\n");
    }
    return 0;
}
