#!/usr/bin/env python3
"""Draws the program icon, a violet-blue arrow that dips and then climbs to
the upper right, into resources/zimbelplot.ico (16, 32 and 48 pixels, 32-bit
with alpha and AND mask), an enlarged preview, resources/icon-preview.png, and
the page's 192-pixel icon, web/page/icon.png.

The picture is described once in unit coordinates and rasterised at each
size from its signed distance, supersampled, so every size is the same shape
with soft edges. Run it again only to change the picture; both files are
committed.
"""
import math
import os
import struct
import zlib

SIZES = (16, 32, 48)
PAGE_SIZE = 192  # what a browser wants to install a page
COLOUR = (75, 0, 210)
SUPERSAMPLE = 4

# The arrow's spine, a cubic Bezier in the unit square (y grows downwards):
# from the tail at the left, down into the dip, up towards the head.
SPINE = ((0.05, 0.46), (0.22, 0.92), (0.44, 0.90), (0.70, 0.38))
TAIL_WIDTH, HEAD_WIDTH = 0.13, 0.19     # the stroke thickens towards the head
HEAD_LENGTH, HEAD_HALF_SPAN = 0.34, 0.27
HEAD_SETBACK = 0.06                     # the stroke ends inside the head


def bezier(t):
    (x0, y0), (x1, y1), (x2, y2), (x3, y3) = SPINE
    u = 1 - t
    a, b, c, d = u * u * u, 3 * u * u * t, 3 * u * t * t, t * t * t
    return (a * x0 + b * x1 + c * x2 + d * x3, a * y0 + b * y1 + c * y2 + d * y3)


def spine_polyline(steps=96):
    return [bezier(i / steps) for i in range(steps + 1)]


def centred(points, head):
    """Moves the arrow so that its bounding box sits in the middle."""
    half = HEAD_WIDTH / 2
    xs = [x for x, _ in head] + [x + d for x, _ in points for d in (-half, half)]
    ys = [y for _, y in head] + [y + d for _, y in points for d in (-half, half)]
    dx = 0.5 - (min(xs) + max(xs)) / 2
    dy = 0.5 - (min(ys) + max(ys)) / 2
    move = lambda p: (p[0] + dx, p[1] + dy)
    return [move(p) for p in points], tuple(move(p) for p in head)


def head_triangle(points):
    (ex, ey), (px, py) = points[-1], points[-4]
    dx, dy = ex - px, ey - py
    n = math.hypot(dx, dy)
    dx, dy = dx / n, dy / n
    bx, by = ex - dx * HEAD_SETBACK, ey - dy * HEAD_SETBACK
    tip = (bx + dx * HEAD_LENGTH, by + dy * HEAD_LENGTH)
    left = (bx - dy * HEAD_HALF_SPAN, by + dx * HEAD_HALF_SPAN)
    right = (bx + dy * HEAD_HALF_SPAN, by - dx * HEAD_HALF_SPAN)
    return (tip, left, right)


def stroke_distance(x, y, points):
    best = float("inf")
    count = len(points) - 1
    for i in range(count):
        (ax, ay), (bx, by) = points[i], points[i + 1]
        vx, vy = bx - ax, by - ay
        t = ((x - ax) * vx + (y - ay) * vy) / (vx * vx + vy * vy)
        t = min(1.0, max(0.0, t))
        cx, cy = ax + vx * t, ay + vy * t
        along = (i + t) / count
        half = (TAIL_WIDTH + (HEAD_WIDTH - TAIL_WIDTH) * along) / 2
        best = min(best, math.hypot(x - cx, y - cy) - half)
    return best


def triangle_distance(x, y, tri):
    """Signed distance to a triangle: negative inside."""
    outside = float("inf")
    inside = True
    for i in range(3):
        (ax, ay), (bx, by) = tri[i], tri[(i + 1) % 3]
        vx, vy = bx - ax, by - ay
        t = min(1.0, max(0.0, ((x - ax) * vx + (y - ay) * vy) / (vx * vx + vy * vy)))
        outside = min(outside, math.hypot(x - ax - vx * t, y - ay - vy * t))
        (cx, cy) = tri[(i + 2) % 3]
        side = vx * (y - ay) - vy * (x - ax)
        third = vx * (cy - ay) - vy * (cx - ax)
        if side * third < 0:
            inside = False
    return -outside if inside else outside


def render(size, points, head):
    """Alpha coverage, rows top-down, values 0..1."""
    rows = []
    sub = 1.0 / SUPERSAMPLE
    for py in range(size):
        row = []
        for px in range(size):
            cover = 0.0
            for sy in range(SUPERSAMPLE):
                for sx in range(SUPERSAMPLE):
                    x = (px + (sx + 0.5) * sub) / size
                    y = (py + (sy + 0.5) * sub) / size
                    d = min(stroke_distance(x, y, points),
                            triangle_distance(x, y, head))
                    # Distance in subsamples, smoothed over one subsample.
                    cover += min(1.0, max(0.0, 0.5 - d * size * SUPERSAMPLE))
            row.append(cover / (SUPERSAMPLE * SUPERSAMPLE))
        rows.append(row)
    return rows


def icon_image(size, alpha):
    colour = bytearray()
    for row in reversed(alpha):  # bottom-up
        for a in row:
            level = round(a * 255)
            if level:
                colour += bytes((COLOUR[2], COLOUR[1], COLOUR[0], level))
            else:
                colour += bytes(4)
    stride = (size + 31) // 32 * 4
    mask = bytearray()
    for row in reversed(alpha):
        bits = bytearray(stride)
        for x, a in enumerate(row):
            if round(a * 255) == 0:  # 1 = screen shows through
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0,
                         len(colour) + len(mask), 0, 0, 0, 0)
    return header + colour + mask


def ico_file(images):
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in images:
        out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    return out + b"".join(data for _, data in images)


def png_file(width, height, rgba_rows):
    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data +
                struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))
    raw = b"".join(b"\0" + bytes(row) for row in rgba_rows)
    return (b"\x89PNG\r\n\x1a\n" +
            chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def preview(alphas, scale=4, gap=16, check=8):
    """The three sizes enlarged side by side on a checkerboard."""
    height = max(SIZES) * scale + 2 * gap
    width = sum(SIZES) * scale + (len(SIZES) + 1) * gap
    rows = []
    for y in range(height):
        row = bytearray()
        for x in range(width):
            shade = 0xF4 if (x // check + y // check) % 2 else 0xDC
            row += bytes((shade, shade, shade, 255))
        rows.append(row)
    left = gap
    for size, alpha in zip(SIZES, alphas):
        top = height - gap - size * scale
        for y in range(size * scale):
            for x in range(size * scale):
                a = round(alpha[y // scale][x // scale] * 255) / 255
                pixel = rows[top + y]
                i = (left + x) * 4
                for c in range(3):
                    pixel[i + c] = round(COLOUR[c] * a + pixel[i + c] * (1 - a))
        left += size * scale + gap
    return png_file(width, height, rows)


def main():
    out_dir = os.path.join(os.path.dirname(os.path.abspath(__file__)),
                           "..", "resources")
    points = spine_polyline()
    points, head = centred(points, head_triangle(points))
    alphas = [render(size, points, head) for size in SIZES]
    with open(os.path.join(out_dir, "zimbelplot.ico"), "wb") as f:
        f.write(ico_file([(s, icon_image(s, a)) for s, a in zip(SIZES, alphas)]))
    with open(os.path.join(out_dir, "icon-preview.png"), "wb") as f:
        f.write(preview(alphas))
    page = render(PAGE_SIZE, points, head)
    rows = [b"".join(bytes(COLOUR + (round(a * 255),)) for a in row) for row in page]
    with open(os.path.join(out_dir, "..", "web", "page", "icon.png"), "wb") as f:
        f.write(png_file(PAGE_SIZE, PAGE_SIZE, rows))


if __name__ == "__main__":
    main()
