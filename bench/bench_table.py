#!/usr/bin/env python3
"""Prints the benchmark's figures as one table: median, spread (min-max) and the ratio of
each figure to its reference measured in the same run (the bare screen-to-bitmap transfer
for the screen paths, ImageMagick for the file work, width x height x 4 for memory)."""
import sys

ROWS = [
    # name, label, reference, bound (None: reported only)
    ("floor", "bare screen-to-bitmap BitBlt (floor)", None, None),
    ("capture", "Capture Screen, command to document shown", "floor", 1.5),
    ("sequence_floor", "bare hide/copy/show/raise/MDI child/paint (sequence floor)", "floor", None),
    ("capture_vs_sequence", "Capture Screen against the sequence floor", "sequence_floor", 1.25),
    ("capture_engine", "  of which CaptureWholeScreen alone", "floor", None),
    ("capture_frame_shown", "  the same with the hide option off", "floor", None),
    ("selector", "Rectangle selector, command to frozen screen shown", "floor", 2.0),
    ("present", "  one full-screen present (a screen-sized picture onto a window)", None, None),
    ("selector_vs_present", "  the selector against bare copy + one present", "copy_present", 1.5),
    ("selector_move", "one pointer move of a drag over the selector (band, readout, loupe), painted", None, None),
    ("selector_move_plain", "  the same with the loupe off", None, None),
    ("layout_scroll", "one layout + scroll step of a document", None, None),
    ("scroll_step", "one scroll step (900 twips) of a document, painted", None, None),
    ("zoom_step", "one zoom step (100 % <-> 75 %) of a document, painted", None, None),
    ("selection_drag_step", "one selection drag step, outline painted", None, None),
    ("crop", "Crop to Selection, painted", None, None),
    ("undo", "Undo of the crop, painted", None, None),
    ("redo", "Redo of the crop, painted", None, None),
    ("open_bmp", "File Open BMP, command to document shown", "im_open_bmp", None),
    ("open_jpeg", "File Open JPEG, command to document shown", "im_open_jpeg", None),
    ("save_bmp", "File Save BMP", "im_save_bmp", None),
    ("save_jpeg", "File Save JPEG", None, None),
    ("im_open_bmp", "ImageMagick convert in.bmp null:", None, None),
    ("im_open_jpeg", "ImageMagick convert in.jpg null:", None, None),
    ("im_save_bmp", "ImageMagick convert in.mpc out.bmp", None, None),
    ("memory_per_document", "private memory per open document", "pixels", 1.2),
]


def parse(path):
    runs, current = [], None
    for line in open(path):
        words = line.split()
        if not words:
            continue
        if words[0] == "size":
            current = {"size": words[1], "figures": {}, "messages": 0}
            runs.append(current)
        elif words[0] == "figure" and current is not None:
            values = None if words[2] == "n/a" else [float(x) for x in words[2:5]] + [int(words[5])]
            current["figures"][words[1]] = values
        elif words[0] == "messages" and current is not None:
            current["messages"] = int(words[1])
    return runs


def main():
    runs = parse(sys.argv[1])
    for run in runs:
        w, h = (int(x) for x in run["size"].split("x"))
        figures = run["figures"]
        print(f"\n{run['size']}  (error messages during the run: {run['messages']})")
        print(f"{'figure':<60} {'median':>11} {'spread (min-max)':>22} {'n':>3} {'ratio':>16}")
        if figures.get("capture") and figures.get("sequence_floor"):
            figures["capture_vs_sequence"] = figures["capture"]
        if figures.get("selector") and figures.get("present") and figures.get("floor"):
            figures["selector_vs_present"] = figures["selector"]
            figures["copy_present"] = [figures["floor"][0] + figures["present"][0]] + figures["floor"][1:]
        for name, label, reference, bound in ROWS:
            value = figures.get(name)
            if value is None:
                note = "not measured here" if name == "save_jpeg" else "not available"
                print(f"{label:<60} {'n/a':>11} {note:>22}")
                continue
            median, low, high, n = value
            if name == "memory_per_document":
                cell = f"{median / 2**20:9.1f} MB"
                spread = f"(x{n} documents)"
            else:
                cell = f"{median:8.1f} ms"
                spread = f"{low:.1f}-{high:.1f} ms"
            ratio = ""
            if reference == "pixels":
                ratio = f"{median / (w * h * 4):.2f} x WxHx4"
            elif reference and figures.get(reference):
                unit = {"floor": "floor", "sequence_floor": "seq", "copy_present": "copy+present"}.get(reference, "IM")
                ratio = f"{median / figures[reference][0]:.2f} x {unit}"
            if bound and ratio:
                ratio += " ok" if float(ratio.split()[0]) <= bound else f" OVER {bound}"
            print(f"{label:<60} {cell:>11} {spread:>22} {n:>3} {ratio:>16}")


if __name__ == "__main__":
    main()
