#!/usr/bin/env python3
"""Writes BMP_GRAY_DIALOG.xpm, the 54 x 18 picture every dialog frame is painted from, and
BlueDialog.xpm, the icon of the blue dialogs.

Layout (x, y, width x height):
  0/16/32, 0, 16 x 16   close button: normal, under the pointer, pressed
  48, 0, 5 x 4          top-left corner      (its column 52, rows 0-2: the top edge)
  48, 5, 5 x 4          bottom-left corner   (its row 5, columns 48-50: the left edge)
  48, 9, 5 x 4          top-right corner
  48, 14, 5 x 4         bottom-right corner  (row 14, columns 50-52: the right edge;
                                              column 48, rows 15-17: the bottom edge)
  53, 0, 1 x 18         caption background
The frame is three rings (outer, middle, inner); the outer corner pixels hold the key colour
RGB 26, 8, 51, which is never shown.
"""
import pathlib

W, H = 54, 18
KEY = (26, 8, 51)
OUTER, MIDDLE, INNER = (52, 72, 150), (170, 190, 240), (110, 130, 210)
CAP_TOP, CAP_BOTTOM = (144, 165, 226), (79, 90, 195)
WHITE = (255, 255, 255)


def caption(row):
    return tuple(round(a + (b - a) * row / (H - 1)) for a, b in zip(CAP_TOP, CAP_BOTTOM))


pix = [[caption(y) for x in range(W)] for y in range(H)]

# Corner pieces: K key, O outer, M middle, I inner, C caption, W white (client).
pieces = {
    0: ["KKOOO", "KOMMM", "OMIII", "OMICC"],   # top-left
    5: ["OMIWW", "OMIII", "KOMMM", "KKOOO"],   # bottom-left
    9: ["OOOKK", "MMMOK", "IIIMO", "CCIMO"],   # top-right
    14: ["WWIMO", "IIIMO", "MMMOK", "OOOKK"],  # bottom-right
}
colours = {"K": KEY, "O": OUTER, "M": MIDDLE, "I": INNER, "W": WHITE}
for x in range(48, 53):
    for y in (4, 13):
        pix[y][x] = INNER
for top, rows in pieces.items():
    for dy, row in enumerate(rows):
        for dx, ch in enumerate(row):
            pix[top + dy][48 + dx] = caption(0) if ch == "C" else colours[ch]


def cross(cell, colour, shift=0):
    for i in range(4, 12):
        for t in (0, 1):
            for x, y in ((i + t, i), (15 - i - t, i)):
                pix[y + shift][cell + x + shift] = colour


def box(cell, fill, border):
    for y in range(1, 15):
        for x in range(1, 15):
            edge = y in (1, 14) or x in (1, 14)
            corner = (x in (1, 14)) and (y in (1, 14))
            if not corner:
                pix[y][cell + x] = border if edge else fill


cross(0, WHITE)
box(16, (120, 140, 215), (230, 236, 255))
cross(16, WHITE)
box(32, (60, 70, 160), (40, 50, 120))
cross(32, (220, 225, 240), shift=1)

palette = sorted({c for row in pix for c in row})
chars = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789+-*=/%@#$"
code = {c: chars[i] for i, c in enumerate(palette)}
lines = [f'"{W} {H} {len(palette)} 1",']
lines += [f'"{code[c]} c #{c[0]:02X}{c[1]:02X}{c[2]:02X}",' for c in palette]
lines += ['"' + "".join(code[c] for c in row) + '",' for row in pix]
lines[-1] = lines[-1].rstrip(",")
out = "/* XPM */\nstatic const char* BMP_GRAY_DIALOG[] = {\n" + "\n".join(lines) + "\n};\n"
pathlib.Path(__file__).with_name("BMP_GRAY_DIALOG.xpm").write_text(out)


def write_blue_dialog_icon():
    """BlueDialog.xpm: the 16 x 16 icon of the blue dialogs, a page under a blue title."""
    t = "."
    rows = [[t] * 16 for _ in range(16)]
    for y in range(1, 15):
        for x in range(1, 15):
            edge = x in (1, 14) or y in (1, 14)
            rows[y][x] = "b" if edge else ("c" if y < 5 else "w")
    for y in (7, 9, 11):
        for x in range(4, 12 if y != 11 else 9):
            rows[y][x] = "g"
    lines = ['"16 16 5 1",', '". c None",', '"b c #2A438A",', '"c c #6F89D5",',
             '"w c #FFFFFF",', '"g c #7B8494",']
    lines += ['"' + "".join(r) + '",' for r in rows]
    lines[-1] = lines[-1].rstrip(",")
    out = "/* XPM */\nstatic const char* BlueDialog[] = {\n" + "\n".join(lines) + "\n};\n"
    pathlib.Path(__file__).with_name("BlueDialog.xpm").write_text(out)


write_blue_dialog_icon()
