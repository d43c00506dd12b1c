#!/usr/bin/env python3
"""Draws the desktop icons from the window icon's pixels: app/images/cardisto.xpm (32 px) and
cardisto_16.xpm. Larger sizes repeat those pixels whole, so they keep the toolbar's crisp look.
Run by hand after changing either image (needs ImageMagick); the results are committed."""
import pathlib
import re
import subprocess

HERE = pathlib.Path(__file__).resolve().parent
IMAGES = HERE.parent.parent / "app" / "images"
NAME = "org.cardisto.Cardisto"

# size: (source image, scale); 48 px is the 16 px drawing tripled, as 1.5 times 32 smears lines.
PNGS = {16: ("cardisto_16.xpm", 1), 32: ("cardisto.xpm", 1), 48: ("cardisto_16.xpm", 3),
        64: ("cardisto.xpm", 2), 128: ("cardisto.xpm", 4), 256: ("cardisto.xpm", 8)}


def read_xpm(path):
    rows = re.findall(r'"([^"]*)"', path.read_text())
    width, height, colours, _ = map(int, rows[0].split())
    palette = {}
    for row in rows[1:1 + colours]:
        palette[row[0]] = row.split()[-1]
    return width, height, palette, rows[1 + colours:1 + colours + height]


def svg(path):
    width, height, palette, pixels = read_xpm(path)
    rects = []
    for y, row in enumerate(pixels):
        x = 0
        while x < width:
            end = x
            while end < width and row[end] == row[x]:
                end += 1
            if palette[row[x]] != "None":
                rects.append(f'<rect x="{x}" y="{y}" width="{end - x}" height="1" '
                             f'fill="{palette[row[x]]}"/>')
            x = end
    return (f'<svg xmlns="http://www.w3.org/2000/svg" width="{width}" height="{height}" '
            f'viewBox="0 0 {width} {height}" shape-rendering="crispEdges">\n'
            + "\n".join(rects) + "\n</svg>\n")


for size, (source, scale) in PNGS.items():
    target = HERE / "hicolor" / f"{size}x{size}" / "apps" / f"{NAME}.png"
    target.parent.mkdir(parents=True, exist_ok=True)
    subprocess.run(["convert", str(IMAGES / source), "-filter", "point", "-resize",
                    f"{scale * 100}%", "-strip", f"PNG32:{target}"], check=True)
scalable = HERE / "hicolor" / "scalable" / "apps" / f"{NAME}.svg"
scalable.parent.mkdir(parents=True, exist_ok=True)
scalable.write_text(svg(IMAGES / "cardisto.xpm"))
