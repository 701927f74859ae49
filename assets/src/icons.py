"""The two 32 x 32 icons: the window / program icon (a keycap with a bold K)
and the pointing hand shown over the e-mail link."""

import os

from kvdraw import Canvas, rgb, round_rect, linear, glyph, mix

SIZE = 32

# The program icon is the artwork's keycap reduced to what still reads at
# 16 pixels: a night-blue rim, a light face, a heavy K and the amber
# home-row bump under it.
RIM = rgb("#101A30")
BODY_TOP, BODY_BOTTOM = rgb("#34558C"), rgb("#1B2C4E")
FACE_TOP, FACE_BOTTOM = rgb("#FFFFFF"), rgb("#DDE2EA")
LEGEND = rgb("#16233F")
BUMP = rgb("#E3A23B")


def keycap_icon():
    c = Canvas(SIZE, SIZE, (0, 0, 0))
    body = round_rect(16.0, 16.5, 30.0, 29.0, 6.0)
    whole = (0, 0, SIZE, SIZE)
    c.paint(whole, lambda px, py: (1.0, RIM))
    c.fill(lambda px, py: body(px, py) + 1.3, whole, linear(0, 2, BODY_TOP, 0, 31, BODY_BOTTOM))
    face = round_rect(16.0, 13.5, 22.0, 19.0, 4.0)
    c.fill(lambda px, py: face(px, py) - 1.0, whole, mix(RIM, BODY_BOTTOM, 0.3))  # face outline
    c.fill(face, whole, linear(0, 4, FACE_TOP, 0, 23, FACE_BOTTOM))
    glyph(c, "K", "sans-bold", 19, 16.0, 13.0, 0.0, LEGEND)
    c.fill(round_rect(16.0, 27.0, 8.0, 2.0, 1.0), whole, BUMP)
    # the rim is drawn solid up to the edge and the mask cuts the outline,
    # so the shape keeps a crisp dark border on any desktop colour
    opaque = [body(x + 0.5, y + 0.5) <= 0.0 for y in range(SIZE) for x in range(SIZE)]
    rows = c.to_rows(dither=False)
    pixels = [tuple(rows[y][x * 3:x * 3 + 3]) for y in range(SIZE) for x in range(SIZE)]
    return pixels, opaque


POINTER_COLOURS = {"#": (0, 0, 0), "o": (255, 255, 255)}


def link_pointer(path=os.path.join(os.path.dirname(os.path.abspath(__file__)), "link_pointer.txt")):
    """Returns pixels, opaque flags and the hotspot read from the text drawing."""
    rows, hotspot = [], None
    with open(path, encoding="utf-8") as f:
        for line in f:
            line = line.rstrip("\n")
            if line.startswith("# ") or line == "#":
                continue  # comment: pixel rows never hold a space
            if line.startswith("hotspot"):
                _, x, y = line.split()
                hotspot = (int(x), int(y))
            elif line:
                rows.append(line)
    if len(rows) > SIZE or any(len(r) > SIZE for r in rows):
        raise ValueError("the pointer drawing is larger than 32 x 32")
    pixels, opaque = [], []
    for y in range(SIZE):
        row = rows[y] if y < len(rows) else ""
        for x in range(SIZE):
            ch = row[x] if x < len(row) else "."
            if ch == ".":
                pixels.append((0, 0, 0))
                opaque.append(False)
            elif ch in POINTER_COLOURS:
                pixels.append(POINTER_COLOURS[ch])
                opaque.append(True)
            else:
                raise ValueError("unknown pointer pixel %r" % ch)
    if hotspot is None or not opaque[hotspot[1] * SIZE + hotspot[0]]:
        raise ValueError("the pointer's hotspot must sit on the hand")
    return pixels, opaque, hotspot
