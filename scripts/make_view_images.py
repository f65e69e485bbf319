#!/usr/bin/env python3
"""Draws the 20x20 view images into one strip bitmap (src/res/views.bmp).

Magenta is the transparent colour. Slots: 0 date group, 1 recent documents and users,
2 plain document, 3 searches, 4 templates, 5 folders, 6 plain document, 7 closed group,
8 open group, 9 programs.
"""
import os
import struct

SIZE = 20
COUNT = 10
MASK = (255, 0, 255)
BLACK = (0, 0, 0)
WHITE = (255, 255, 255)
GREY = (128, 128, 128)
LIGHT = (200, 200, 200)
BLUE = (30, 80, 200)
SKY = (150, 190, 240)
RED = (200, 40, 40)
YELLOW = (240, 200, 60)
DARK_YELLOW = (190, 140, 20)
GREEN = (40, 150, 60)

pixels = [[MASK] * (SIZE * COUNT) for _ in range(SIZE)]


def put(slot, x, y, colour):
    if 0 <= x < SIZE and 0 <= y < SIZE:
        pixels[y][slot * SIZE + x] = colour


def rect(slot, x0, y0, x1, y1, fill, outline=None):
    for y in range(y0, y1 + 1):
        for x in range(x0, x1 + 1):
            edge = x in (x0, x1) or y in (y0, y1)
            put(slot, x, y, outline if (edge and outline) else fill)


def hline(slot, x0, x1, y, colour):
    for x in range(x0, x1 + 1):
        put(slot, x, y, colour)


def circle(slot, cx, cy, r, colour, fill=None):
    for y in range(SIZE):
        for x in range(SIZE):
            d = ((x - cx) ** 2 + (y - cy) ** 2) ** 0.5
            if fill and d < r - 0.5:
                put(slot, x, y, fill)
            elif abs(d - r) < 0.6:
                put(slot, x, y, colour)


def page(slot, lines=BLUE):
    rect(slot, 4, 2, 15, 18, WHITE, BLACK)
    for x, y in ((13, 2), (14, 2), (15, 2), (14, 3), (15, 3), (15, 4)):
        put(slot, x, y, MASK)
    for x, y in ((12, 2), (13, 3), (14, 4), (15, 5), (12, 3), (12, 4), (13, 4)):
        put(slot, x, y, BLACK if (x, y) in ((12, 2), (13, 3), (14, 4), (15, 5)) else LIGHT)
    for y in range(7, 17, 2):
        hline(slot, 6, 13, y, lines)


def folder(slot, body, shade, open_=False):
    rect(slot, 2, 4, 8, 6, shade, BLACK)
    rect(slot, 2, 6, 17, 16, body, BLACK)
    if open_:
        for i, y in enumerate(range(9, 17)):
            hline(slot, 4 - i // 4 + 1, 19 - i // 3, y, YELLOW)
        hline(slot, 3, 19, 9, BLACK)
        for y in range(9, 17):
            put(slot, 19 - (y - 9) // 3, y, BLACK)
        hline(slot, 2, 17, 16, BLACK)


# 0 date group: a calendar leaf.
rect(0, 2, 3, 17, 17, WHITE, BLACK)
rect(0, 3, 4, 16, 7, RED)
for y in (10, 13, 16):
    for x in (5, 8, 11, 14):
        put(0, x, y - 1, GREY)
        put(0, x + 1, y - 1, GREY)
put(0, 6, 2, BLACK)
put(0, 13, 2, BLACK)

# 1 recent documents and users: a page with a clock.
page(1)
circle(1, 13, 13, 5, BLACK, WHITE)
hline(1, 13, 15, 13, BLACK)
for y in range(10, 14):
    put(1, 13, y, BLACK)

# 2 and 6: plain pages.
page(2)
page(6)

# 3 searches: a magnifying glass.
circle(3, 8, 8, 5, BLACK, SKY)
for i in range(6):
    put(3, 12 + i, 12 + i, DARK_YELLOW)
    put(3, 13 + i, 12 + i, DARK_YELLOW)
    put(3, 12 + i, 13 + i, BLACK)

# 4 templates: a page with dashed green lines.
page(4, lines=GREEN)
for y in range(7, 17, 2):
    for x in range(7, 14, 3):
        put(4, x, y, WHITE)

# 5 folders.
folder(5, YELLOW, DARK_YELLOW)

# 7 closed group, 8 open group.
folder(7, DARK_YELLOW, YELLOW)
folder(8, DARK_YELLOW, YELLOW, open_=True)

# 9 programs: a small application window.
rect(9, 1, 3, 18, 16, WHITE, BLACK)
rect(9, 2, 4, 17, 6, BLUE)
put(9, 16, 5, WHITE)
rect(9, 4, 9, 8, 13, SKY, BLUE)
hline(9, 10, 15, 10, GREY)
hline(9, 10, 14, 12, GREY)

row_bytes = SIZE * COUNT * 3
data = bytearray()
for y in reversed(range(SIZE)):
    for r, g, b in pixels[y]:
        data += bytes((b, g, r))
    data += b"\0" * ((4 - row_bytes % 4) % 4)
header = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(data), 0, 0, 54)
info = struct.pack("<IiiHHIIiiII", 40, SIZE * COUNT, SIZE, 1, 24, 0, len(data), 2835, 2835, 0, 0)
out = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "src", "res", "views.bmp")
with open(out, "wb") as f:
    f.write(header + info + data)
