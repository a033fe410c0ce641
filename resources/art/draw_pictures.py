"""Draws the program's icons, cursor, bitmaps and animation into a folder.

    python3 draw_pictures.py OUTPUT_DIR [--preview PREVIEW_DIR]

The build runs it before compiling the resource script, which finds the
files through its include path. With --preview every picture is also
written enlarged as PNG, for looking at it."""

import argparse
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import animation  # noqa: E402
import formats  # noqa: E402
import icons  # noqa: E402
import toolbar  # noqa: E402
from raster import Canvas  # noqa: E402

PREVIEW_SCALE = 6


def draw_all(output):
    """Writes every picture; returns (file name, canvases) for previews."""
    drawn = []
    for name, canvases in icons.icons().items():
        formats.write_ico(os.path.join(output, name), canvases)
        drawn.append((name, canvases))

    cursor = icons.splitter_cursor()
    formats.write_cur(os.path.join(output, "splitter.cur"), cursor, icons.SPLITTER_HOTSPOT)
    drawn.append(("splitter.cur", [cursor]))

    strip = toolbar.toolbar_strip()
    formats.write_bmp(os.path.join(output, "toolbar.bmp"), strip)
    drawn.append(("toolbar.bmp", [strip]))

    arrows = toolbar.sort_arrows()
    formats.write_bmp(os.path.join(output, "sort_arrows.bmp"), arrows)
    drawn.append(("sort_arrows.bmp", [arrows]))

    frames = animation.frames()
    formats.write_avi(os.path.join(output, "extract.avi"), frames, animation.FRAMES_PER_SECOND)
    drawn.append(("extract.avi", frames))
    return drawn


def write_previews(drawn, folder):
    for name, canvases in drawn:
        stem = os.path.splitext(name)[0]
        if name.endswith(".avi"):
            sheet = Canvas(canvases[0].width, canvases[0].height * len(canvases), "W")
            for i, frame in enumerate(canvases):
                sheet.blit(frame, 0, i * frame.height)
            formats.write_png(os.path.join(folder, stem + ".png"), sheet, 2)
            continue
        for canvas in canvases:
            formats.write_png(os.path.join(folder, f"{stem}_{canvas.width}.png"),
                              canvas, PREVIEW_SCALE)


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("output", help="folder for the .ico, .cur, .bmp and .avi files")
    parser.add_argument("--preview", help="folder for enlarged PNG previews")
    args = parser.parse_args(argv)
    os.makedirs(args.output, exist_ok=True)
    drawn = draw_all(args.output)
    if args.preview:
        os.makedirs(args.preview, exist_ok=True)
        write_previews(drawn, args.preview)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
