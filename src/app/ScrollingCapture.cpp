#include "app/ScrollingCapture.h"

#include <algorithm>
#include <chrono>
#include <memory>

#include <windows.h>

#include "capture/CaptureCommands.h"
#include "capture/CaptureOptions.h"
#include "capture/ScrollingFrames.h"
#include "capture/ScrollProgress.h"
#include "document/DocumentOperation.h"
#include "document/frmNabbet.h"
#include "platform/rules/ScrollStitch.h"
#include "platform/services/FrameHost.h"
#include "platform/windows/AppInfo.h"
#include "platform/windows/ErrorReporter.h"
#include "platform/windows/Form.h"
#include "platform/windows/MessageBoxService.h"
#include "platform/windows/PaintWait.h"

namespace {

// The longest one step waits for the scrolled window to paint; a program that takes
// longer is read as it stands (and a half-painted frame does not overlap: it ends the run).
constexpr unsigned kStepWaitMs = 1000;
// Times a frame that does not show a move is read again before it counts (150 ms in all).
constexpr int kRereads = 5;

using Clock = std::chrono::steady_clock;

double MillisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Rows first..height of a frame, as a picture of their own.
Pixels FrameRows(const FrameView& frame, std::int32_t first) {
    Pixels rows = Pixels::ForOverwrite(frame.width, frame.height - first);
    for (std::int32_t y = first; y < frame.height; ++y)
        std::copy_n(frame.Row(y), frame.width, rows.Row(y - first));
    return rows;
}

FrameView ViewOf(const Pixels& pixels) {
    return FrameView{pixels.Height() > 0 ? pixels.Row(0) : nullptr, pixels.Width(), pixels.Height(), pixels.Stride()};
}

}  // namespace

ScrollRun ScrollAndStitch(const EdgeRect& area, std::int32_t limit) {
    ScrollRun run;
    const Clock::time_point start = Clock::now();
    ScreenFrames frames(area);
    ScrollProgress progress(area);
    WindowScroller scroller(POINT{(area.Left + area.Right) / 2, (area.Top + area.Bottom) / 2});

    frames.Take();
    run.picture = FrameRows(frames.Last(), 0);
    // Room for the whole limit at once where it is modest (30,000 rows of 1920 pixels), so
    // that no append moves the picture; a wider area grows by half again as it must.
    constexpr std::size_t kReserveBytes = std::size_t{256} << 20;
    const std::size_t rowBytes = static_cast<std::size_t>(std::max(1, run.picture.Width())) * sizeof(std::uint32_t);
    run.picture.ReserveRows(static_cast<std::int32_t>(std::min<std::size_t>(static_cast<std::size_t>(limit), kReserveBytes / rowBytes)));
    run.frames = 1;
    progress.Show(run.frames, run.picture.Height());
    run.setupMs = MillisecondsSince(start);
    std::int32_t lastHeader = -1;  // the fixed rows the steps before confirmed
    std::int32_t lastFooter = -1;
    while (run.picture.Height() < limit) {
        if (progress.StopAsked()) {
            run.stopped = true;
            break;
        }
        Clock::time_point waitStart = Clock::now();
        scroller.Step(kStepWaitMs);
        run.waitMs += MillisecondsSince(waitStart);
        Clock::time_point workStart = Clock::now();
        frames.Take();
        run.grabMs += MillisecondsSince(workStart);
        workStart = Clock::now();
        StitchResult step = FindOverlap(frames.Before(), frames.Last());
        run.stitchMs += MillisecondsSince(workStart);
        // What a program has painted may reach the screen a moment after it says it is
        // done (its drawing still on the way to the display): a frame that shows no move,
        // or no exact one, is read again a few times before it counts.
        for (int retry = 1; retry <= kRereads && step.outcome != StitchOutcome::Moved; ++retry) {
            waitStart = Clock::now();
            Sleep(static_cast<DWORD>(10 * retry));
            WaitUntilPainted(GetAncestor(scroller.Target(), GA_ROOT), kStepWaitMs);
            run.waitMs += MillisecondsSince(waitStart);
            ++run.rereads;
            workStart = Clock::now();
            frames.TakeAgain();
            run.grabMs += MillisecondsSince(workStart);
            workStart = Clock::now();
            step = FindOverlap(frames.Before(), frames.Last());
            run.stitchMs += MillisecondsSince(workStart);
        }
        // A frame read while the drawing was still on its way shows rows of the frame before
        // where they stood, which pass for a header or a footer: fixed rows not seen at the
        // step before are read again, and count once a second read shows the same.
        for (int retry = 1; retry <= kRereads && step.outcome == StitchOutcome::Moved &&
                            (step.header != lastHeader || step.footer != lastFooter);
             ++retry) {
            waitStart = Clock::now();
            Sleep(static_cast<DWORD>(10 * retry));
            WaitUntilPainted(GetAncestor(scroller.Target(), GA_ROOT), kStepWaitMs);
            run.waitMs += MillisecondsSince(waitStart);
            ++run.rereads;
            workStart = Clock::now();
            frames.TakeAgain();
            run.grabMs += MillisecondsSince(workStart);
            workStart = Clock::now();
            const StitchResult again = FindOverlap(frames.Before(), frames.Last());
            run.stitchMs += MillisecondsSince(workStart);
            const bool confirmed = again.outcome == step.outcome && again.move == step.move &&
                                   again.header == step.header && again.footer == step.footer;
            step = again;
            if (confirmed) {
                lastHeader = step.header;
                lastFooter = step.footer;
            }
        }
        if (step.outcome == StitchOutcome::Unmoved) {
            // The wheel moved nothing: the scroll bar may still; when it does not either,
            // the end is reached.
            if (!scroller.TryScrollBar()) break;
            continue;
        }
        if (step.outcome == StitchOutcome::NoOverlap) {
            run.refused = true;
            break;
        }
        ++run.frames;
        run.header = step.header;
        // Only as many new rows as the limit leaves, then the footer again.
        const FrameView frame = frames.Last();
        const std::int32_t room = limit - run.picture.Height();
        const std::int32_t first = step.FirstNewRow(frame.height) + std::max(0, step.move - room);
        run.picture.ReplaceBottomRows(step.footer, FrameRows(frame, first));
        progress.Show(run.frames, run.picture.Height());
    }
    run.totalMs = MillisecondsSince(start);
    return run;
}

namespace CaptureCommands {

void ExtendDown(IFrameHost& frame, const CaptureOptions& options) {
    if (CaptureInProgress()) return;
    const CaptureUnderWay underWay;
    const std::shared_ptr<DocumentForm> active = frame.ActiveDocument();
    auto* document = dynamic_cast<frmNabbet*>(active.get());
    if (document == nullptr || !document->Source() || document->Model() == nullptr) return;
    ScreenSource source = *document->Source();
    const EdgeRect& area = source.area;
    const Pixels& picture = document->Model()->PicturePixels();
    const std::int32_t width = area.Right - area.Left;
    const std::int32_t height = area.Bottom - area.Top;
    const auto tell = [&](const wchar_t* text) {
        frame.SetStatusText(text);
        MessageBoxService().Show(MessageBoxOwner(), text, MB_OK | MB_ICONEXCLAMATION, App::Title());
    };
    RunTrapped(
        [&] {
            if (picture.Width() != width || picture.Height() < height) {
                tell(L"The picture no longer matches the rectangle it was captured from (it was cropped).");
                return;
            }
            // The frame out of the way as for any capture, but only when it is in the way: the
            // user scrolls another program between presses, which keeps the keyboard.
            RECT frameRect{};
            GetWindowRect(frame.OwnerWindow(), &frameRect);
            const RECT areaRect{area.Left, area.Top, area.Right, area.Bottom};
            RECT common{};
            const bool hide = options.hideFrame && frame.FrameVisible() && IntersectRect(&common, &frameRect, &areaRect);
            if (hide) frame.SetFrameVisible(false);
            DoEvents();
            // Running the messages may have closed the document or the frame.
            if (!frame.FrameLoaded() || !document->IsLoaded()) return;
            const POINT centre{(area.Left + area.Right) / 2, (area.Top + area.Bottom) / 2};
            WaitUntilPainted(GetAncestor(WindowFromPoint(centre), GA_ROOT), kStepWaitMs);
            ScreenFrames frames(area);
            frames.Take();
            if (hide) frame.SetFrameVisible(true);
            // The last frame as the picture's end shows it: the header from the top, the
            // rest from the bottom.
            Pixels last = Pixels::ForOverwrite(width, height);
            const std::int32_t header = std::clamp(source.header, 0, height);
            for (std::int32_t y = 0; y < height; ++y)
                std::copy_n(picture.Row(y < header ? y : picture.Height() - height + y), width, last.Row(y));
            const StitchResult step = FindOverlap(ViewOf(last), frames.Last());
            if (step.outcome == StitchOutcome::Unmoved) {
                frame.SetStatusText(L"Nothing new: the content has not moved since the last capture");
                return;
            }
            if (step.outcome == StitchOutcome::NoOverlap) {
                tell(kNoExactOverlap);
                return;
            }
            document->Model()->Do(
                std::make_unique<AppendRowsOperation>(FrameRows(frames.Last(), step.FirstNewRow(height)), step.footer));
            source.header = step.header;
            document->SetSource(source);
            frame.SetStatusText(L"Extended by " + GroupedNumber(step.move) + L" px");
        },
        [&] {
            if (frame.FrameLoaded() && !frame.FrameVisible()) frame.SetFrameVisible(true);
            ReportError();
        });
}

}  // namespace CaptureCommands
