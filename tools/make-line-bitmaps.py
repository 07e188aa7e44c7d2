#!/usr/bin/env python3
"""Writes the five line-style samples of the tool dialog's line list as
1-bit .bmp files into resources/.

Each sample is 64 x 16 pixels, white, with a line two pixels thick on rows
7 and 8 (from the top); its black runs are those of kLineSamples in
render/LineSamples.h, in lineStyle order. Run it again only to change a
sample; the .bmp files are committed.
"""
import os
import re
import struct

WIDTH, HEIGHT = 64, 16
LINE_ROWS = (7, 8)
ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
NAMES = ["line-solid.bmp", "line-dash.bmp", "line-dot.bmp", "line-dashdot.bmp",
         "line-dashdotdot.bmp"]


def samples():
    with open(os.path.join(ROOT, "render", "LineSamples.h")) as f:
        table = f.read().split("kLineSamples[kLineStyleCount] = {", 1)[1]
    rows = re.findall(r"\{\d+, \{((?:\{\d+, \d+\},?\s*)+)\}\}", table)
    runs = [[tuple(map(int, run)) for run in re.findall(r"\{(\d+), (\d+)\}", row)]
            for row in rows]
    assert len(runs) == len(NAMES), "one sample per line style"
    return dict(zip(NAMES, runs))


def row_bytes(runs):
    bits = 0
    for first, last in runs:
        for x in range(first, last + 1):
            bits |= 1 << (WIDTH - 1 - x)  # most significant bit leftmost
    return bits.to_bytes(WIDTH // 8, "big")


def bitmap_file(runs):
    stride = WIDTH // 8
    blank = bytes(stride)
    line = row_bytes(runs)
    rows_top_down = [line if y in LINE_ROWS else blank for y in range(HEIGHT)]
    pixels = b"".join(reversed(rows_top_down))  # stored bottom-up
    info = struct.pack("<IiiHHIIiiII", 40, WIDTH, HEIGHT, 1, 1, 0,
                       len(pixels), 0, 0, 0, 0)
    palette = bytes([0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 0])  # 0 white, 1 black
    body = info + palette + pixels
    header = struct.pack("<2sIHHI", b"BM", 14 + len(body), 0, 0, 14 + 40 + 8)
    return header + body


def main():
    out_dir = os.path.join(ROOT, "resources")
    for name, runs in samples().items():
        with open(os.path.join(out_dir, name), "wb") as f:
            f.write(bitmap_file(runs))


if __name__ == "__main__":
    main()
