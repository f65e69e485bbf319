#!/usr/bin/env python3
"""Draws the program's pictures and writes them to src/res as .bmp strips and .ico files.

Every picture is a list of shapes on a design grid (16 units for tool bar and menu pictures,
20 for the view pictures, 16 for icons). Each is rendered at 1x and 2x with 4x4 supersampling
so it stays crisp at 100 % and 200 % scaling. Plain Python 3, no imaging library needed:
    python3 scripts/make_images.py
"""
import math
import os
import struct

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "src", "res")
SS = 4  # samples per pixel along each axis


def rgb(hexcode, a=255):
    hexcode = hexcode.lstrip("#")
    return (int(hexcode[0:2], 16), int(hexcode[2:4], 16), int(hexcode[4:6], 16), a)


INK = rgb("2b2b2b")
PAPER = rgb("ffffff")
PAPER_EDGE = rgb("6b7280")
BLUE = rgb("2563eb")
BLUE_DARK = rgb("1e3a8a")
BLUE_LIGHT = rgb("93c5fd")
YELLOW = rgb("facc15")
FOLDER = rgb("f2b134")
FOLDER_DARK = rgb("b7791f")
RED = rgb("dc2626")
RED_DARK = rgb("991b1b")
GREEN = rgb("16a34a")
GREEN_DARK = rgb("166534")
GREY = rgb("9ca3af")
GREY_DARK = rgb("4b5563")
PURPLE = rgb("7c3aed")
PURPLE_LIGHT = rgb("c4b5fd")
PURPLE_DARK = rgb("4c1d95")
ORANGE = rgb("f97316")


# --- shapes: each is (inside(x, y) -> bool, colour) in design units -------------------------
def rect(x0, y0, x1, y1, c):
    return (lambda x, y: x0 <= x < x1 and y0 <= y < y1, c)


def circle(cx, cy, r, c):
    return (lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r, c)


def ellipse(cx, cy, rx, ry, c):
    return (lambda x, y: ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1.0, c)


def ring(cx, cy, r0, r1, c):
    return (lambda x, y: r0 * r0 <= (x - cx) ** 2 + (y - cy) ** 2 <= r1 * r1, c)


def polygon(points, c):
    def inside(x, y):
        hit = False
        n = len(points)
        for i in range(n):
            (xa, ya), (xb, yb) = points[i], points[(i + 1) % n]
            if (ya > y) != (yb > y) and x < (xb - xa) * (y - ya) / (yb - ya) + xa:
                hit = not hit
        return hit
    return (inside, c)


def line(x0, y0, x1, y1, w, c):
    dx, dy = x1 - x0, y1 - y0
    length = math.hypot(dx, dy) or 1.0
    nx, ny = -dy / length * w / 2, dx / length * w / 2
    return polygon([(x0 + nx, y0 + ny), (x1 + nx, y1 + ny), (x1 - nx, y1 - ny),
                    (x0 - nx, y0 - ny)], c)


def framed(x0, y0, x1, y1, edge, fill):
    return [rect(x0, y0, x1, y1, edge), rect(x0 + 1, y0 + 1, x1 - 1, y1 - 1, fill)]


# --- pictures -----------------------------------------------------------------------------
def page(x0=3, y0=1, x1=13, y1=15, fold=4):
    return [polygon([(x0, y0), (x1 - fold, y0), (x1, y0 + fold), (x1, y1), (x0, y1)], PAPER_EDGE),
            polygon([(x0 + 1, y0 + 1), (x1 - fold, y0 + 1), (x1 - 1, y0 + fold), (x1 - 1, y1 - 1),
                     (x0 + 1, y1 - 1)], PAPER),
            polygon([(x1 - fold, y0), (x1 - fold, y0 + fold), (x1, y0 + fold)], GREY)]


def text_lines(x0, x1, ys, c=BLUE_LIGHT):
    return [rect(x0, y, x1, y + 1, c) for y in ys]


def folder(x0=1, y0=3, x1=15, y1=14, open_=False):
    shapes = [polygon([(x0, y0), (x0 + 5, y0), (x0 + 6, y0 + 2), (x1, y0 + 2), (x1, y1), (x0, y1)],
                      FOLDER_DARK),
              rect(x0 + 1, y0 + 3, x1 - 1, y1 - 1, FOLDER)]
    if open_:
        shapes.append(polygon([(x0 + 3, y0 + 5), (x1 + 1, y0 + 5), (x1 - 2, y1), (x0, y1)],
                              FOLDER_DARK))
        shapes.append(polygon([(x0 + 4, y0 + 6), (x1 - 0.5, y0 + 6), (x1 - 2.7, y1 - 1),
                               (x0 + 1.3, y1 - 1)], YELLOW))
    return shapes


def magnifier(cx=6.5, cy=6.5, r=4.5, handle=(14.5, 14.5)):
    return [line(cx + 2.5, cy + 2.5, handle[0], handle[1], 2.6, INK),
            circle(cx, cy, r, GREY_DARK), circle(cx, cy, r - 1.3, BLUE_LIGHT),
            circle(cx - 1.3, cy - 1.3, 1.2, PAPER)]


def red_cross(x0=3, y0=3, x1=13, y1=13, w=2.6):
    return [line(x0, y0, x1, y1, w, RED), line(x1, y0, x0, y1, w, RED)]


def printer():
    return (framed(4, 1, 12, 7, PAPER_EDGE, PAPER) + framed(1, 6, 15, 12, GREY_DARK, GREY) +
            [rect(11, 8, 13, 9, GREEN)] + framed(4, 10, 12, 15, PAPER_EDGE, PAPER) +
            text_lines(5, 11, [12]))


def floppy():
    return (framed(1, 1, 15, 15, BLUE_DARK, BLUE) + framed(4, 1, 12, 6, GREY_DARK, PAPER) +
            [rect(9, 2, 11, 5, GREY_DARK)] + framed(3, 9, 13, 15, GREY_DARK, PAPER) +
            text_lines(4, 12, [11, 13]) +
            [line(10, 13, 15, 13, 1.6, GREEN_DARK), polygon([(15.8, 13), (12.5, 10), (12.5, 16)],
                                                             GREEN_DARK)])


def new_page():
    return (page(2, 1, 12, 15) + text_lines(4, 9, [6, 8, 10]) +
            [circle(12, 12, 3.8, YELLOW), rect(11.3, 9.5, 12.7, 14.5, GREEN_DARK),
             rect(9.5, 11.3, 14.5, 12.7, GREEN_DARK)])


def grid_squares():
    return framed(1, 1, 7, 7, BLUE_DARK, BLUE_LIGHT) + framed(9, 1, 15, 7, BLUE_DARK, BLUE_LIGHT) + \
        framed(1, 9, 7, 15, BLUE_DARK, BLUE_LIGHT) + framed(9, 9, 15, 15, BLUE_DARK, BLUE_LIGHT)


def clock(cx=8, cy=8, r=7):
    return [circle(cx, cy, r, BLUE_DARK), circle(cx, cy, r - 1.2, PAPER),
            line(cx, cy, cx, cy - r + 2.5, 1.4, INK), line(cx, cy, cx + r - 3, cy + 1, 1.4, INK),
            circle(cx, cy, 1, RED)]


def views_tree():
    return (framed(1, 1, 7, 5, BLUE_DARK, BLUE_LIGHT) + [rect(3, 5, 4, 13, GREY_DARK),
                                                         rect(3, 7, 8, 8, GREY_DARK),
                                                         rect(3, 12, 8, 13, GREY_DARK)] +
            framed(8, 5, 15, 10, FOLDER_DARK, FOLDER) + framed(8, 10, 15, 15, FOLDER_DARK, FOLDER))


def open_arrow():
    return folder(1, 3, 15, 14, open_=True)


def exit_power():
    return [ring(8, 8.5, 4.6, 6.6, RED), rect(5.5, 0.5, 10.5, 6, (0, 0, 0, 0)),
            rect(7, 1, 9, 9, RED_DARK)]


def close_cross():
    return red_cross(4, 4, 12, 12, 2.2)


TOOLBAR = [new_page(), floppy(), printer(), red_cross(), grid_squares(), clock(),
           open_arrow(), magnifier(), views_tree(), close_cross(), printer(), red_cross(),
           exit_power()]


def large_icons():
    return grid_squares()


def small_icons():
    out = []
    for y in (2, 7, 12):
        out += [rect(1, y, 4, y + 3, BLUE), rect(5, y + 1, 7, y + 2, INK),
                rect(9, y, 12, y + 3, BLUE), rect(13, y + 1, 15, y + 2, INK)]
    return out


def list_style():
    out = []
    for y in (1, 5, 9, 13):
        out += [rect(1, y, 3, y + 2, BLUE), rect(4, y + 0.5, 7, y + 1.5, INK),
                rect(9, y, 11, y + 2, BLUE), rect(12, y + 0.5, 15, y + 1.5, INK)]
    return out


def details_style():
    out = [rect(1, 1, 15, 4, GREY_DARK)]
    for y in (6, 9, 12):
        out += [rect(1, y, 3, y + 2, BLUE), rect(4, y + 0.5, 15, y + 1.5, INK)]
    return out


VIEWSTYLES = [large_icons(), small_icons(), list_style(), details_style()]


def scaled(shapes, f, dx=0.0, dy=0.0):
    """The same picture on a grid f times larger, moved by (dx, dy) design units."""
    def move(shape):
        inside, c = shape
        return (lambda x, y: inside((x - dx) / f, (y - dy) / f), c)
    return [move(s) for s in shapes]


def calendar():
    return (framed(2, 3, 18, 18, BLUE_DARK, PAPER) + [rect(2, 3, 18, 7, RED)] +
            [rect(5, 1, 7, 5, GREY_DARK), rect(13, 1, 15, 5, GREY_DARK)] +
            [rect(x, y, x + 2, y + 2, BLUE) for y in (9, 13) for x in (5, 9, 13)])


def recent_docs():
    return scaled(page(3, 1, 13, 15) + text_lines(5, 10, [6, 8, 10]), 1.1, 0, 0.6) + \
        [circle(14.5, 14.5, 4.6, BLUE_DARK), circle(14.5, 14.5, 3.5, PAPER),
         line(14.5, 14.5, 14.5, 11.8, 1.2, INK), line(14.5, 14.5, 16.5, 15, 1.2, INK)]


def last_search():
    return scaled(page(3, 1, 13, 15), 1.15) + scaled(magnifier(), 0.75, 7.5, 7.5)


def saved_searches():
    return scaled(folder(), 1.2, 0, 0) + scaled(magnifier(), 0.7, 8.5, 8.5)


def templates():
    return (scaled(page(2, 1, 13, 15), 1.2) +
            [rect(5, 9, 11, 10, BLUE_LIGHT), rect(5, 12, 11, 13, BLUE_LIGHT),
             circle(15, 15, 4.2, YELLOW), polygon([(15, 11.8), (16, 14), (18.2, 14.2), (16.5, 15.6),
                                                   (17, 18), (15, 16.8), (13, 18), (13.5, 15.6),
                                                   (11.8, 14.2), (14, 14)], ORANGE)])


def folders():
    return scaled(folder(), 1.25)


def users():
    return [circle(7, 6, 3.3, BLUE_DARK), ellipse(7, 16, 6, 5, BLUE_DARK),
            circle(13.5, 7, 3, GREEN_DARK), ellipse(13.5, 16.5, 5.5, 4.8, GREEN_DARK),
            rect(0, 18, 20, 20, (0, 0, 0, 0))]


def closed_group():
    return (framed(3, 2, 16, 18, PURPLE_DARK, PURPLE) + [rect(5, 2, 6, 18, PURPLE_DARK)] +
            framed(8, 5, 14, 8, PURPLE_DARK, PURPLE_LIGHT))


def open_group():
    return [polygon([(1, 4), (9.5, 6), (9.5, 18), (1, 16)], PURPLE_DARK),
            polygon([(2, 5.2), (9, 6.8), (9, 16.6), (2, 15)], PURPLE_LIGHT),
            polygon([(19, 4), (10.5, 6), (10.5, 18), (19, 16)], PURPLE_DARK),
            polygon([(18, 5.2), (11, 6.8), (11, 16.6), (18, 15)], PURPLE_LIGHT)] + \
        [line(3.5, y, 7.5, y + 0.9, 0.8, PURPLE) for y in (8, 10.5, 13)] + \
        [line(12.5, y + 0.9, 16.5, y, 0.8, PURPLE) for y in (8, 10.5, 13)]


def programs():
    return (framed(1, 3, 19, 17, BLUE_DARK, PAPER) + [rect(1, 3, 19, 6, BLUE)] +
            [rect(15, 4, 17, 5, PAPER)] + [polygon([(6, 9), (11, 11.5), (6, 14)], GREEN)] +
            [rect(12, 13, 16, 14, GREY_DARK)])


VIEWS = [calendar(), recent_docs(), last_search(), saved_searches(), templates(), folders(),
         users(), closed_group(), open_group(), programs()]


def larkspire(badge=None):
    """The program's flower: a spike of purple blossoms on a green stem."""
    shapes = [line(8, 15.5, 8, 5, 1.4, GREEN_DARK),
              ellipse(5.2, 12.2, 2.4, 1.1, GREEN), ellipse(10.8, 12.8, 2.4, 1.1, GREEN)]
    for cy, r in ((10.2, 2.6), (7.2, 2.4), (4.4, 2.1), (2.0, 1.6)):
        shapes += [circle(5.7, cy, r * 0.8, PURPLE_DARK), circle(10.3, cy, r * 0.8, PURPLE_DARK),
                   circle(8, cy - 0.6, r * 0.85, PURPLE), circle(8, cy - 0.6, r * 0.35, PURPLE_LIGHT)]
    if badge == "building":
        shapes += [circle(12.3, 12.3, 3.6, PAPER), circle(12.3, 12.3, 2.8, ORANGE),
                   ring(12.3, 12.3, 1.0, 1.8, PAPER)]
    elif badge == "pending":
        shapes += [polygon([(12.3, 8.2), (16, 15.5), (8.6, 15.5)], PAPER),
                   polygon([(12.3, 9.8), (14.8, 14.7), (9.8, 14.7)], YELLOW),
                   rect(11.8, 11.2, 12.8, 13.2, INK), rect(11.8, 13.6, 12.8, 14.4, INK)]
    return shapes


def door():
    """The activity window's Close: a door standing open, with the way out."""
    return [rect(2, 1, 11, 15, FOLDER_DARK), rect(3, 2, 10, 15, PAPER),
            polygon([(3, 2), (8, 3.5), (8, 16), (3, 15)], FOLDER),
            circle(7, 9, 0.8, INK),
            line(9.5, 8, 14.5, 8, 1.6, GREEN), polygon([(12, 5), (15.5, 8), (12, 11)], GREEN)]


# --- rendering and file writing -----------------------------------------------------------
def render(shapes, px, grid):
    """RGBA rows (top first), straight alpha, painter's order."""
    scale = grid / px
    out = []
    for py in range(px):
        row = []
        for pxx in range(px):
            acc = [0.0, 0.0, 0.0, 0.0]  # premultiplied
            for sy in range(SS):
                for sx in range(SS):
                    x = (pxx + (sx + 0.5) / SS) * scale
                    y = (py + (sy + 0.5) / SS) * scale
                    col = None
                    for inside, c in shapes:
                        if inside(x, y):
                            col = c
                    if col is not None and col[3] > 0:
                        a = col[3] / 255.0
                        acc[0] += col[0] * a
                        acc[1] += col[1] * a
                        acc[2] += col[2] * a
                        acc[3] += a
            n = SS * SS
            a = acc[3] / n
            if a <= 0:
                row.append((0, 0, 0, 0))
            else:
                row.append(tuple(min(255, round(acc[i] / n / a)) for i in range(3)) +
                           (round(a * 255),))
        out.append(row)
    return out


def bmp_bytes(rows, premultiply):
    h = len(rows)
    w = len(rows[0])
    pixels = bytearray()
    for row in reversed(rows):
        for r, g, b, a in row:
            if premultiply:
                r, g, b = (round(v * a / 255) for v in (r, g, b))
            pixels += bytes((b, g, r, a))
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 32, 0, len(pixels), 3780, 3780, 0, 0)
    return info, bytes(pixels)


def write_strip(name, pictures, grid, px):
    frames = [render(p, px, grid) for p in pictures]
    rows = [sum((f[y] for f in frames), []) for y in range(px)]
    info, pixels = bmp_bytes(rows, premultiply=True)
    header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(pixels), 0, 0, 14 + len(info))
    with open(os.path.join(OUT, name), "wb") as f:
        f.write(header + info + pixels)


def write_icon(name, shapes, sizes):
    images = []
    for px in sizes:
        rows = render(shapes, px, 16)
        _, pixels = bmp_bytes(rows, premultiply=False)
        mask_stride = ((px + 31) // 32) * 4
        mask = bytearray()
        for row in reversed(rows):
            bits = bytearray(mask_stride)
            for x, p in enumerate(row):
                if p[3] == 0:
                    bits[x // 8] |= 0x80 >> (x % 8)
            mask += bits
        info = struct.pack("<IiiHHIIiiII", 40, px, px * 2, 1, 32, 0, len(pixels) + len(mask), 0, 0,
                           0, 0)
        images.append((px, info + pixels + bytes(mask)))
    head = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries = b""
    data = b""
    for px, blob in images:
        entries += struct.pack("<BBBBHHII", px % 256, px % 256, 0, 0, 1, 32, len(blob),
                               offset + len(data))
        data += blob
    with open(os.path.join(OUT, name), "wb") as f:
        f.write(head + entries + data)


def main():
    write_strip("toolbar16.bmp", TOOLBAR, 16, 16)
    write_strip("toolbar32.bmp", TOOLBAR, 16, 32)
    write_strip("viewstyles16.bmp", VIEWSTYLES, 16, 16)
    write_strip("viewstyles32.bmp", VIEWSTYLES, 16, 32)
    write_strip("views20.bmp", VIEWS, 20, 20)
    write_strip("views40.bmp", VIEWS, 20, 40)
    write_icon("larkspire.ico", larkspire(), [16, 20, 24, 32, 40, 48, 64])
    write_icon("tray_idle.ico", larkspire(), [16, 20, 24, 32])
    write_icon("tray_building.ico", larkspire("building"), [16, 20, 24, 32])
    write_icon("tray_pending.ico", larkspire("pending"), [16, 20, 24, 32])
    write_icon("replace_stop.ico", red_cross(), [16, 20, 24, 32])
    write_icon("replace_close.ico", door(), [16, 20, 24, 32])


if __name__ == "__main__":
    main()
