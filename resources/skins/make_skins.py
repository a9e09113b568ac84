#!/usr/bin/env python3
"""Writes the main frame's built-in skin bitmaps and the skins shipped with the program.

  BMP_ACT_CAP.bmp, BMP_INACT_CAP.bmp   1 x 19 caption columns, 24-bit, rows top to bottom
  BMP_BUTTONS.bmp                      192 x 17 button strip, 32-bit with alpha: twelve cells of
                                       16 x 17 (minimize, maximize, restore, close; each normal,
                                       under the pointer, pressed)
  qbSkinFiles2/<name>/                 ActCap.bmp, InActCap.bmp, Buttons.bmp and skin.ini

The button cells are see-through around the button, so one strip suits the active and the
inactive caption. Run it from anywhere; it writes next to itself.
"""
import pathlib
import struct

HERE = pathlib.Path(__file__).parent
CELL_W, CELL_H = 16, 17


def hexrgb(text):
    return tuple(int(text[i:i + 2], 16) for i in (0, 2, 4))


def write_bmp(path, width, height, pixels, alpha):
    """pixels[y][x] = (r, g, b, a); rows top to bottom. 24-bit, or 32-bit with an alpha mask."""
    if alpha:
        row_bytes = width * 4
        header_size = 124  # BITMAPV5HEADER
    else:
        row_bytes = (width * 3 + 3) & ~3
        header_size = 40  # BITMAPINFOHEADER
    data = bytearray()
    for y in reversed(range(height)):
        row = bytearray()
        for x in range(width):
            r, g, b, a = pixels[y][x]
            row += bytes((b, g, r, a)) if alpha else bytes((b, g, r))
        row += bytes(row_bytes - len(row))
        data += row
    offset = 14 + header_size
    file_header = struct.pack("<2sIHHI", b"BM", offset + len(data), 0, 0, offset)
    if alpha:
        info = struct.pack("<IiiHHIIiiII", header_size, width, height, 1, 32, 3, len(data),
                           2835, 2835, 0, 0)
        info += struct.pack("<IIII", 0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000)
        info += b"BGRs" + bytes(36 + 12) + struct.pack("<IIII", 4, 0, 0, 0)
    else:
        info = struct.pack("<IiiHHIIiiII", header_size, width, height, 1, 24, 0, len(data),
                           2835, 2835, 0, 0)
    assert len(info) == header_size
    path.parent.mkdir(parents=True, exist_ok=True)
    path.write_bytes(file_header + info + data)


def write_column(path, rows):
    write_bmp(path, 1, len(rows), [[(*hexrgb(r), 255)] for r in rows], alpha=False)


def gradient(top, bottom, count, last):
    """count rows from top to bottom, then the dark last row."""
    a, b = hexrgb(top), hexrgb(bottom)
    rows = []
    for i in range(count - 1):
        t = i / (count - 2)
        rows.append("".join(f"{round(x + (y - x) * t):02X}" for x, y in zip(a, b)))
    return rows + [last]


# ---- the button strip

GLYPHS = {
    "minimize": ["........", "........", "........", "........",
                 "........", "........", "######..", "######.."],
    "maximize": ["########", "########", "#......#", "#......#",
                 "#......#", "#......#", "#......#", "########"],
    "restore": ["..######", "..######", "..#....#", "######.#",
                "######.#", "#....###", "#....#..", "######.."],
    "close": ["##....##", "###..###", ".######.", "..####..",
              "..####..", ".######.", "###..###", "##....##"],
}


def button_cell(glyph, state, style):
    cell = [[(0, 0, 0, 0) for _ in range(CELL_W)] for _ in range(CELL_H)]
    face = style["close" if glyph == "close" else "face"][state]
    border = style["border"][state]
    for y in range(1, 16):
        for x in range(1, 15):
            corner = x in (1, 14) and y in (1, 15)
            if corner:
                continue
            edge = x in (1, 14) or y in (1, 15)
            cell[y][x] = border if edge else face
    shift = 1 if state == 2 else 0
    ink = style["ink"]
    for gy, line in enumerate(GLYPHS[glyph]):
        for gx, ch in enumerate(line):
            if ch == "#":
                cell[4 + gy + shift][4 + gx + shift] = ink
    return cell


def write_buttons(path, style):
    cells = [button_cell(g, s, style) for g in ("minimize", "maximize", "restore", "close")
             for s in range(3)]
    width = CELL_W * len(cells)
    pixels = [[cells[x // CELL_W][y][x % CELL_W] for x in range(width)] for y in range(CELL_H)]
    write_bmp(path, width, CELL_H, pixels, alpha=True)


def windows_colour(text):
    r, g, b = hexrgb(text)
    return r | (g << 8) | (b << 16)


def write_skin_ini(path, act_text, inact_text, act, inact):
    lines = ["[Caption]", f"ActText={windows_colour(act_text)}",
             f"InActText={windows_colour(inact_text)}", "", "[ActCOLORS]"]
    lines += [f"{i}={windows_colour(c)}" for i, c in enumerate(act)]
    lines += ["", "[InActCOLORS]"]
    lines += [f"{i}={windows_colour(c)}" for i, c in enumerate(inact)]
    path.write_bytes(("\r\n".join(lines) + "\r\n").encode("ascii"))


# ---- the built-in skin

BUILT_IN_STYLE = {
    "face": [(255, 255, 255, 40), (255, 255, 255, 96), (16, 32, 96, 96)],
    "close": [(214, 84, 64, 170), (238, 96, 72, 235), (168, 48, 32, 235)],
    "border": [(255, 255, 255, 150), (255, 255, 255, 230), (255, 255, 255, 120)],
    "ink": (255, 255, 255, 255),
}

write_column(HERE / "BMP_ACT_CAP.bmp", [
    "90A8E9", "8EA6E8", "87A0E2", "8DA6E8", "87A0E2", "839BE2", "839CE0", "89A2E6", "839CE0",
    "7B94DC", "8098DE", "869EE4", "8098DE", "748DD9", "7A93DA", "8099E0", "7A93DA", "6F89D5",
    "425CAB"])
write_column(HERE / "BMP_INACT_CAP.bmp", [
    "A7A7A7", "A5A5A5", "9E9E9E", "A4A4A4", "9F9F9F", "9B9B9B", "9A9A9A", "A0A0A0", "9B9B9B",
    "939393", "979797", "9D9D9D", "979797", "8D8D8D", "939393", "989898", "929292", "898989",
    "5F5F5F"])
write_buttons(HERE / "BMP_BUTTONS.bmp", BUILT_IN_STYLE)

# ---- the skins shipped beside the program

SKINS = {
    "Graphite": {
        "act": gradient("6A7079", "30343A", 19, "15171A"),
        "inact": gradient("B4B7BC", "8E9298", 19, "676A70"),
        "text": ("FFFFFF", "E4E6EA"),
        "act_frame": ["202327"] * 4 + ["9AA1AB", "9AA1AB", "5A6068", "5A6068",
                                       "5A6068", "7C838D", "A8AFB8", "A8AFB8"],
        "inact_frame": ["6A6D72"] * 4 + ["D8DADD", "D8DADD", "A2A5AA", "A2A5AA",
                                         "A2A5AA", "BCBFC3", "D0D2D6", "D0D2D6"],
        "style": {
            "face": [(255, 255, 255, 28), (255, 255, 255, 80), (0, 0, 0, 90)],
            "close": [(190, 70, 60, 150), (226, 84, 66, 235), (150, 40, 30, 235)],
            "border": [(255, 255, 255, 110), (255, 255, 255, 210), (255, 255, 255, 90)],
            "ink": (242, 244, 247, 255),
        },
    },
    "Olive": {
        "act": gradient("A9C27A", "5F7A35", 19, "36481C"),
        "inact": gradient("C9CCBE", "A3A797", 19, "74786A"),
        "text": ("FFFFFF", "F2F3EC"),
        "act_frame": ["3F5222"] * 4 + ["D6E6B4", "D6E6B4", "8DA35E", "8DA35E",
                                       "8DA35E", "B4CA8A", "CFE0AA", "CFE0AA"],
        "inact_frame": ["74786A"] * 4 + ["E2E4DA", "E2E4DA", "B1B4A6", "B1B4A6",
                                         "B1B4A6", "C7CABC", "DADCD2", "DADCD2"],
        "style": {
            "face": [(255, 255, 240, 36), (255, 255, 240, 96), (40, 56, 16, 90)],
            "close": [(196, 96, 48, 160), (226, 112, 56, 235), (160, 64, 24, 235)],
            "border": [(255, 255, 240, 140), (255, 255, 240, 225), (255, 255, 240, 110)],
            "ink": (255, 255, 250, 255),
        },
    },
}

for name, skin in SKINS.items():
    folder = HERE / "qbSkinFiles2" / name
    write_column(folder / "ActCap.bmp", skin["act"])
    write_column(folder / "InActCap.bmp", skin["inact"])
    write_buttons(folder / "Buttons.bmp", skin["style"])
    write_skin_ini(folder / "skin.ini", *skin["text"], skin["act_frame"], skin["inact_frame"])
