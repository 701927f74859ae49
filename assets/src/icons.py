"""The two icons: the window / program icon (a keycap with a bold K, 32 x 32)
and the pointing hand shown over the e-mail link, drawn at 32 x 32 and
enlarged pixel for pixel for the sizes Windows draws its pointers at on
larger scales."""

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


# The sizes of the link pointer's renditions: the sizes Windows gives its own
# pointers, 32 below 150 %, 48 from 150 % and 64 from 200 %. The program asks
# for the one at the size of the system's pointers and places the active
# point at the drawn one scaled by size / 32.
POINTER_SIZES = (32, 48, 64)
CLEAR, OUTLINE, WHITE = ".", "#", "o"


def _pointer_grid(pixels, opaque):
    return [[(OUTLINE if pixels[y * SIZE + x] == (0, 0, 0) else WHITE) if opaque[y * SIZE + x] else CLEAR
             for x in range(SIZE)] for y in range(SIZE)]


def _at(grid, x, y):
    return grid[y][x] if 0 <= y < len(grid) and 0 <= x < len(grid) else CLEAR


def _scale2x(grid):
    """Each pixel becomes four; a corner takes the colour of the two
    neighbours it touches where they agree and the other two do not, so
    diagonal outlines stay one line instead of stairs of blocks."""
    n = len(grid)
    out = [[CLEAR] * (2 * n) for _ in range(2 * n)]
    for y in range(n):
        for x in range(n):
            p, a, b = grid[y][x], _at(grid, x, y - 1), _at(grid, x + 1, y)
            c, d = _at(grid, x - 1, y), _at(grid, x, y + 1)
            out[2 * y][2 * x] = a if c == a and c != d and a != b else p
            out[2 * y][2 * x + 1] = b if a == b and a != c and b != d else p
            out[2 * y + 1][2 * x] = c if d == c and d != b and c != a else p
            out[2 * y + 1][2 * x + 1] = d if b == d and b != a and d != c else p
    return out


def _scale3x(grid):
    """Each pixel becomes nine, by the same rule as _scale2x extended to
    the edges' middles."""
    n = len(grid)
    out = [[CLEAR] * (3 * n) for _ in range(3 * n)]
    for y in range(n):
        for x in range(n):
            a, b, c = _at(grid, x - 1, y - 1), _at(grid, x, y - 1), _at(grid, x + 1, y - 1)
            d, e, f = _at(grid, x - 1, y), grid[y][x], _at(grid, x + 1, y)
            g, h, i = _at(grid, x - 1, y + 1), _at(grid, x, y + 1), _at(grid, x + 1, y + 1)
            block = [e] * 9
            if b != h and d != f:
                block[0] = d if d == b else e
                block[1] = b if (d == b and e != c) or (b == f and e != a) else e
                block[2] = f if b == f else e
                block[3] = d if (d == b and e != g) or (d == h and e != a) else e
                block[5] = f if (b == f and e != i) or (h == f and e != c) else e
                block[6] = d if d == h else e
                block[7] = h if (d == h and e != i) or (h == f and e != g) else e
                block[8] = f if h == f else e
            for k in range(9):
                out[3 * y + k // 3][3 * x + k % 3] = block[k]
    return out


def _halve(grid):
    """Each 2 x 2 block becomes one pixel: outline where two of its four
    are, else white where two are opaque, else clear; outlines stay closed."""
    n = len(grid) // 2
    out = []
    for y in range(n):
        row = []
        for x in range(n):
            block = [grid[2 * y + j][2 * x + i] for j in (0, 1) for i in (0, 1)]
            if block.count(OUTLINE) >= 2:
                row.append(OUTLINE)
            elif block.count(CLEAR) <= 2:
                row.append(WHITE)
            else:
                row.append(CLEAR)
        out.append(row)
    return out


def link_pointer_renditions():
    """The pointer at each of POINTER_SIZES (48 is the drawing at three
    times its size, halved) as rows of CLEAR, OUTLINE and
    WHITE, and the drawn hotspot. Each rendition's active point (the drawn
    one scaled by size / 32, rounded down) must be the top of the raised
    finger: opaque, on the hand's top row, with the hand left, right and
    below it."""
    pixels, opaque, hotspot = link_pointer()
    drawn = _pointer_grid(pixels, opaque)
    tripled = _scale3x(drawn)
    made = {32: drawn, 48: _halve(tripled), 64: _scale2x(drawn)}
    renditions = []
    for size in POINTER_SIZES:
        grid = made[size]
        x, y = (v * size // SIZE for v in hotspot)
        top = min(j for j in range(size) if any(p != CLEAR for p in grid[j]))
        if y != top or any(_at(grid, i, j) == CLEAR for i, j in ((x, y), (x - 1, y), (x + 1, y), (x, y + 1))):
            raise ValueError("the pointer's hotspot misses the fingertip at %d x %d" % (size, size))
        renditions.append((size, grid))
    return renditions, hotspot
