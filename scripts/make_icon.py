#!/usr/bin/env python3
"""Draws the program's icon and hand pointer and writes res/app.ico and res/hand.cur.

The output is the same bytes on every run and every machine: the drawing uses
only arithmetic on floats, the palette is built from a fixed list of colours,
and the ICO/CUR structures are packed here with struct, so no imaging library
(whose encoder could change between versions) sits between the drawing and
the committed files. Run it after changing the drawing and commit both files;
the release_icon_source test fails while they differ from what this script makes.

    scripts/make_icon.py [output-dir]      (default: res/ beside this script)
"""
import math
import os
import struct
import sys

# --- The icon: a page holding a short list, with a star over its corner ----

NAVY = (0x1F, 0x3C, 0x66)      # page outline
PAGE = (0xF4, 0xF8, 0xFF)      # page paper
BLUE = (0x2F, 0x7B, 0xD9)      # the list's lines
GOLD = (0xFF, 0xC4, 0x1F)      # star
EMBER = (0xC4, 0x54, 0x0A)     # star outline
BASE_COLOURS = [NAVY, PAGE, BLUE, GOLD, EMBER]

ICON_SIZES = (16, 24, 32, 48)
SUPERSAMPLE = 8                # 8 x 8 samples per pixel for the edge coverage


def rounded_rect_distance(x, y, left, top, right, bottom, radius):
    """Signed distance to a rounded rectangle: negative inside."""
    cx, cy = (left + right) / 2, (top + bottom) / 2
    hx, hy = (right - left) / 2 - radius, (bottom - top) / 2 - radius
    qx, qy = abs(x - cx) - hx, abs(y - cy) - hy
    outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
    return outside + min(max(qx, qy), 0.0) - radius


def capsule_distance(x, y, x0, x1, yc, half_width):
    """Signed distance to a horizontal bar with round ends."""
    px = min(max(x, x0), x1)
    return math.hypot(x - px, y - yc) - half_width


def star_points(cx, cy, outer, inner):
    points = []
    for i in range(10):
        angle = -math.pi / 2 + i * math.pi / 5
        r = outer if i % 2 == 0 else inner
        points.append((cx + r * math.cos(angle), cy + r * math.sin(angle)))
    return points


def polygon_distance(x, y, points):
    """Signed distance to a simple polygon: negative inside (even-odd rule)."""
    best = float("inf")
    inside = False
    n = len(points)
    for i in range(n):
        ax, ay = points[i]
        bx, by = points[(i + 1) % n]
        ex, ey = bx - ax, by - ay
        t = ((x - ax) * ex + (y - ay) * ey) / (ex * ex + ey * ey)
        t = min(max(t, 0.0), 1.0)
        best = min(best, math.hypot(x - ax - t * ex, y - ay - t * ey))
        if (ay > y) != (by > y) and x < ax + (y - ay) * ex / (by - ay):
            inside = not inside
    return -best if inside else best


def icon_layers(size):
    """The drawing as (distance function, colour) layers, back to front, in pixels."""
    s = float(size)
    # The page's edges and the list's lines sit on whole pixels, so the small
    # sizes show sharp one-pixel lines instead of grey half-covered rows.
    stroke = max(1, round(s / 20))
    page = (round(0.10 * s), round(0.04 * s), round(0.74 * s), round(0.90 * s), max(2, round(0.09 * s)))
    thickness = max(1, round(0.08 * s))
    half_line = thickness / 2
    star = star_points(0.69 * s, 0.70 * s, 0.31 * s, 0.135 * s)
    star_inner = star_points(0.69 * s, 0.70 * s, 0.31 * s - 2.2 * stroke, 0.135 * s - 0.9 * stroke)
    layers = [
        (lambda x, y: rounded_rect_distance(x, y, *page), NAVY),
        (lambda x, y: rounded_rect_distance(x, y, *page) + stroke, PAGE),
    ]
    for row in (0.24, 0.41, 0.58):
        # An odd thickness centres on a pixel row, an even one between two.
        yc = math.floor(row * s) + 0.5 if thickness % 2 else round(row * s)
        layers.append((lambda x, y, yc=yc: capsule_distance(
            x, y, round(0.26 * s) + half_line, round(0.60 * s) - half_line, yc, half_line), BLUE))
    layers.append((lambda x, y: polygon_distance(x, y, star), EMBER))
    layers.append((lambda x, y: polygon_distance(x, y, star_inner), GOLD))
    return layers


def render(size):
    """Straight (not premultiplied) RGBA rows, top row first."""
    layers = icon_layers(size)
    n = SUPERSAMPLE
    offsets = [(i + 0.5) / n for i in range(n)]
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            # Composite each sample separately and average after, so two
            # layers sharing an edge do not leave a seam of background.
            acc_r = acc_g = acc_b = acc_a = 0.0
            for oy in offsets:
                for ox in offsets:
                    x, y = px + ox, py + oy
                    colour = None
                    for distance, c in layers:
                        if distance(x, y) < 0:
                            colour = c
                    if colour is not None:
                        acc_r += colour[0]
                        acc_g += colour[1]
                        acc_b += colour[2]
                        acc_a += 1
            if acc_a == 0:
                row.append((0, 0, 0, 0))
            else:
                row.append((round(acc_r / acc_a), round(acc_g / acc_a), round(acc_b / acc_a),
                            round(255 * acc_a / (n * n))))
        rows.append(row)
    return rows


def icon_palette():
    """256 colours: index 0 black for transparent pixels, the drawing's colours,
    and seven blends of every pair of them, which is what an anti-aliased edge
    between two colours holds."""
    palette = [(0, 0, 0)] + BASE_COLOURS
    for i, a in enumerate(BASE_COLOURS):
        for b in BASE_COLOURS[i + 1:]:
            for k in range(1, 8):
                palette.append(tuple(round(a[c] + (b[c] - a[c]) * k / 8) for c in range(3)))
    palette += [(0, 0, 0)] * (256 - len(palette))
    return palette


def nearest(palette, colour):
    best, best_index = None, 0
    for index, p in enumerate(palette[1:], start=1):
        d = sum((p[c] - colour[c]) ** 2 for c in range(3))
        if best is None or d < best:
            best, best_index = d, index
    return best_index


def bitmap_header(width, height, bits, image_size, colours_used):
    # An icon's bitmap is twice its height: the colour rows, then the AND mask.
    return struct.pack("<IiiHHIIiiII", 40, width, 2 * height, 1, bits, 0,
                       image_size, 0, 0, colours_used, 0)


def row_bytes(bits_per_pixel, width):
    return (bits_per_pixel * width + 31) // 32 * 4


def and_mask(transparent_rows, width):
    """1 where the screen shows through; rows bottom-up, padded to 32 bits."""
    out = bytearray()
    for row in reversed(transparent_rows):
        line = bytearray(row_bytes(1, width))
        for x, clear in enumerate(row):
            if clear:
                line[x // 8] |= 0x80 >> (x % 8)
        out += line
    return bytes(out)


def icon_image_32(rows, size):
    pixels = bytearray()
    for row in reversed(rows):
        for r, g, b, a in row:
            pixels += bytes((b, g, r, a))
    mask = and_mask([[a < 128 for (_, _, _, a) in row] for row in rows], size)
    return bitmap_header(size, size, 32, len(pixels) + len(mask), 0) + bytes(pixels) + mask


def icon_image_8(rows, size, palette):
    # 256-colour displays have no alpha: a pixel is either drawn or clear.
    cache = {}
    pixels = bytearray()
    for row in reversed(rows):
        line = bytearray(row_bytes(8, size))
        for x, (r, g, b, a) in enumerate(row):
            if a >= 128:
                if (r, g, b) not in cache:
                    cache[(r, g, b)] = nearest(palette, (r, g, b))
                line[x] = cache[(r, g, b)]
        pixels += line
    mask = and_mask([[a < 128 for (_, _, _, a) in row] for row in rows], size)
    colour_table = b"".join(bytes((b, g, r, 0)) for (r, g, b) in palette)
    return (bitmap_header(size, size, 8, len(pixels) + len(mask), 256)
            + colour_table + bytes(pixels) + mask)


def icon_file():
    palette = icon_palette()
    images = []                   # (width, height, colour count, bits, data)
    for size in ICON_SIZES:
        rows = render(size)
        images.append((size, size, 0, 8, icon_image_8(rows, size, palette)))
        images.append((size, size, 0, 32, icon_image_32(rows, size)))
    header = struct.pack("<HHH", 0, 1, len(images))
    offset = len(header) + 16 * len(images)
    directory, blobs = b"", b""
    for width, height, colours, bits, data in images:
        directory += struct.pack("<BBBBHHII", width % 256, height % 256, colours, 0,
                                 1, bits, len(data), offset + len(blobs))
        blobs += data
    return header + directory + blobs


# --- The hand pointer: a pointing finger, 32 x 32, black and white ---------

# '#' black, 'o' white, '.' clear. The tip of the index finger is the hot spot.
HAND = [
    "........###.....................",
    ".......#ooo#....................",
    ".......#ooo#....................",
    ".......#ooo#....................",
    ".......#ooo#....................",
    ".......#ooo#....................",
    ".......#ooo####.................",
    ".......#ooo#ooo####.............",
    ".......#ooo#ooo#ooo#............",
    ".......#ooo#ooo#ooo###..........",
    ".......#ooo#ooo#ooo#oo#.........",
    ".......#ooo#ooo#ooo#oo#.........",
    "..##...#ooo#ooo#ooo#oo#.........",
    ".#oo#..#ooo#ooo#ooo#oo#.........",
    ".#ooo#.#ooooooooooooooo#........",
    "..#ooo##ooooooooooooooo#........",
    "..#oooo#ooooooooooooooo#........",
    "...#oooooooooooooooooooo#.......",
    "...#oooooooooooooooooooo#.......",
    "....#ooooooooooooooooooo#.......",
    ".....#oooooooooooooooooo#.......",
    ".....#ooooooooooooooooo#........",
    "......#oooooooooooooooo#........",
    "......#ooooooooooooooo#.........",
    ".......#oooooooooooooo#.........",
    ".......#oooooooooooooo#.........",
    ".......################.........",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
]
HAND_HOTSPOT = (9, 0)


def cursor_file():
    size = len(HAND)
    assert all(len(row) == size for row in HAND), "the hand must be square"
    hx, hy = HAND_HOTSPOT
    assert HAND[hy][hx] == "#", "the hot spot must lie on the drawn fingertip"
    # XOR bit 1 draws white where the AND bit is 0; AND 1 with XOR 0 is clear.
    xor_bits = bytearray()
    for row in reversed(HAND):
        line = bytearray(row_bytes(1, size))
        for x, ch in enumerate(row):
            if ch == "o":
                line[x // 8] |= 0x80 >> (x % 8)
        xor_bits += line
    mask = and_mask([[ch == "." for ch in row] for row in HAND], size)
    colour_table = bytes((0, 0, 0, 0, 255, 255, 255, 0))
    image = (bitmap_header(size, size, 1, len(xor_bits) + len(mask), 2)
             + colour_table + bytes(xor_bits) + mask)
    header = struct.pack("<HHH", 0, 2, 1)
    # In a cursor file the planes and bit-count fields carry the hot spot.
    entry = struct.pack("<BBBBHHII", size, size, 2, 0, hx, hy, len(image), 6 + 16)
    return header + entry + image


def main():
    out_dir = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        os.path.dirname(os.path.abspath(__file__)), "..", "res")
    os.makedirs(out_dir, exist_ok=True)
    for name, data in (("app.ico", icon_file()), ("hand.cur", cursor_file())):
        with open(os.path.join(out_dir, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
