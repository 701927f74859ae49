"""Raster toolkit for the launcher's pictures.

A canvas of float RGB samples; shapes are filled from signed distance
functions, which gives clean anti-aliased edges without supersampling.
Text is rasterised by ImageMagick from TrueType fonts into coverage masks
that are composited here, so every pixel of the result comes from this code.

A drawing is made in drawing units, the pixels of the picture at 1x. A canvas
with a scale has scale x scale device pixels per unit: each device pixel is
sampled at its centre in drawing units, edges stay one device pixel soft and
text is rasterised at its size times the scale, so one drawing gives the
picture at 1x and a sharper one at 2x.
"""

import math
import os
import shutil
import subprocess


class ToolMissing(Exception):
    """A program or font the generator needs is not installed."""


FONT_FILES = {
    "serif-bold": "/usr/share/fonts/truetype/dejavu/DejaVuSerif-Bold.ttf",
    "serif": "/usr/share/fonts/truetype/dejavu/DejaVuSerif.ttf",
    "sans": "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
    "sans-bold": "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf",
    # Face 0 of the collection is the Simplified Chinese one.
    "song": "/usr/share/fonts/truetype/arphic/uming.ttc",
}


def check_tools():
    if shutil.which("convert") is None:
        raise ToolMissing("ImageMagick's convert is not on PATH")
    for path in FONT_FILES.values():
        if not os.path.exists(path):
            raise ToolMissing("font file missing: " + path)


def rgb(hex_colour):
    s = hex_colour.lstrip("#")
    return (int(s[0:2], 16), int(s[2:4], 16), int(s[4:6], 16))


def mix(a, b, t):
    return (a[0] + (b[0] - a[0]) * t, a[1] + (b[1] - a[1]) * t, a[2] + (b[2] - a[2]) * t)


def clamp01(v):
    return 0.0 if v < 0.0 else 1.0 if v > 1.0 else v


def smoothstep(e0, e1, v):
    t = clamp01((v - e0) / (e1 - e0))
    return t * t * (3.0 - 2.0 * t)


# ---------------------------------------------------------------- distances
# Each returns a function (px, py) -> signed distance in drawing units,
# negative inside. Device pixel (x, y) is sampled at its centre,
# ((x + 0.5) / scale, (y + 0.5) / scale).

def round_rect(cx, cy, width, height, radius, angle=0.0):
    hw, hh = width / 2.0 - radius, height / 2.0 - radius
    c, s = math.cos(math.radians(angle)), math.sin(math.radians(angle))

    def sd(px, py):
        dx, dy = px - cx, py - cy
        lx, ly = abs(dx * c + dy * s) - hw, abs(-dx * s + dy * c) - hh
        out = math.hypot(max(lx, 0.0), max(ly, 0.0))
        return out + min(max(lx, ly), 0.0) - radius
    return sd


def capsule(ax, ay, bx, by, radius):
    vx, vy = bx - ax, by - ay
    vv = vx * vx + vy * vy or 1.0

    def sd(px, py):
        t = clamp01(((px - ax) * vx + (py - ay) * vy) / vv)
        return math.hypot(px - ax - vx * t, py - ay - vy * t) - radius
    return sd


def half_plane(x0, y0, x1, y1):
    """Distance to the line through two points; for a line drawn from top to
    bottom it is negative on the right (greater x) and positive on the left."""
    length = math.hypot(x1 - x0, y1 - y0)
    nx, ny = (y1 - y0) / length, -(x1 - x0) / length

    def sd(px, py):
        return -((px - x0) * nx + (py - y0) * ny)
    return sd


def union(*sds):
    return lambda px, py: min(f(px, py) for f in sds)


def coverage(d):
    """How much of a pixel one unit wide lies inside at signed distance d."""
    return clamp01(0.5 - d)


# ---------------------------------------------------------------- gradients

def linear(x0, y0, c0, x1, y1, c1):
    vx, vy = x1 - x0, y1 - y0
    vv = vx * vx + vy * vy
    return lambda px, py: mix(c0, c1, clamp01(((px - x0) * vx + (py - y0) * vy) / vv))


def radial(cx, cy, radius, c0, c1):
    return lambda px, py: mix(c0, c1, smoothstep(0.0, 1.0, math.hypot(px - cx, py - cy) / radius))


# ---------------------------------------------------------------- canvas

class Canvas:
    def __init__(self, width, height, colour=(0, 0, 0), scale=1):
        """width x height drawing units; the canvas holds scale times as
        many device pixels each way."""
        self.scale = scale
        width, height = width * scale, height * scale
        self.w, self.h = width, height
        n = width * height
        self.r = [float(colour[0])] * n
        self.g = [float(colour[1])] * n
        self.b = [float(colour[2])] * n

    def cover(self, d):
        """Coverage of a device pixel at signed distance d (drawing units)
        from an edge: one device pixel soft at every scale."""
        return coverage(d * self.scale)

    def _clip(self, box):
        x0, y0, x1, y1 = (v * self.scale for v in box)
        return (max(0, int(math.floor(x0))), max(0, int(math.floor(y0))),
                min(self.w, int(math.ceil(x1))), min(self.h, int(math.ceil(y1))))

    def paint(self, box, fn):
        """fn(px, py) -> (alpha, colour) or None, for every device pixel in
        box; box and (px, py) in drawing units."""
        x0, y0, x1, y1 = self._clip(box)
        r, g, b, w, s = self.r, self.g, self.b, self.w, self.scale
        for y in range(y0, y1):
            py = (y + 0.5) / s
            for x in range(x0, x1):
                res = fn((x + 0.5) / s, py)
                if res is None:
                    continue
                a, c = res
                if a <= 0.0:
                    continue
                i = y * w + x
                if a >= 1.0:
                    r[i], g[i], b[i] = float(c[0]), float(c[1]), float(c[2])
                else:
                    r[i] += (c[0] - r[i]) * a
                    g[i] += (c[1] - g[i]) * a
                    b[i] += (c[2] - b[i]) * a

    def fill(self, sd, box, colour, opacity=1.0):
        """Fill a shape; colour is an RGB triple or a function of (px, py)."""
        shade = colour if callable(colour) else (lambda px, py: colour)

        def fn(px, py):
            a = self.cover(sd(px, py))
            return (a * opacity, shade(px, py)) if a > 0.0 else None
        self.paint(box, fn)

    def shadow(self, sd, box, colour, opacity, blur):
        """A soft shadow: full strength blur units inside the edge, none blur units outside."""
        def fn(px, py):
            return (opacity * smoothstep(blur, -blur, sd(px, py)), colour)
        self.paint(box, fn)

    def stroke(self, sd, box, colour, width, opacity=1.0):
        """A line of the given width centred on the shape's edge."""
        half = width / 2.0

        def fn(px, py):
            a = self.cover(abs(sd(px, py)) - half)
            return (a * opacity, colour) if a > 0.0 else None
        self.paint(box, fn)

    def mask(self, m, x, y, colour, opacity=1.0):
        """Composite a coverage mask with its top-left corner at device pixel
        (x, y), integers."""
        shade = colour if callable(colour) else (lambda px, py: colour)
        for my in range(m.h):
            cy = y + my
            if not 0 <= cy < self.h:
                continue
            row = m.data[my * m.w:(my + 1) * m.w]
            for mx, v in enumerate(row):
                cx = x + mx
                if v == 0 or not 0 <= cx < self.w:
                    continue
                a = v / 255.0 * opacity
                c = shade((cx + 0.5) / self.scale, (cy + 0.5) / self.scale)
                i = cy * self.w + cx
                self.r[i] += (c[0] - self.r[i]) * a
                self.g[i] += (c[1] - self.g[i]) * a
                self.b[i] += (c[2] - self.b[i]) * a

    def pixel(self, x, y):
        i = y * self.w + x
        return (self.r[i], self.g[i], self.b[i])

    def to_rows(self, dither=True):
        """8-bit RGB rows, top row first. An ordered dither keeps soft
        gradients free of bands."""
        bayer = (0, 8, 2, 10, 12, 4, 14, 6, 3, 11, 1, 9, 15, 7, 13, 5)
        rows = []
        for y in range(self.h):
            row = bytearray(self.w * 3)
            for x in range(self.w):
                i = y * self.w + x
                t = (bayer[(y & 3) * 4 + (x & 3)] + 0.5) / 16.0 if dither else 0.5
                for k, plane in enumerate((self.r, self.g, self.b)):
                    v = int(math.floor(plane[i] + t))
                    row[x * 3 + k] = 0 if v < 0 else 255 if v > 255 else v
            rows.append(bytes(row))
        return rows


# ---------------------------------------------------------------- text

class Mask:
    def __init__(self, w, h, data):
        self.w, self.h, self.data = w, h, data

    def ink(self):
        """Bounding box (x0, y0, x1, y1) of the covered pixels, end exclusive."""
        xs, ys = [], []
        for y in range(self.h):
            row = self.data[y * self.w:(y + 1) * self.w]
            covered = [x for x, v in enumerate(row) if v > 24]
            if covered:
                ys.append(y)
                xs.extend((covered[0], covered[-1]))
        if not ys:
            return (0, 0, 0, 0)
        return (min(xs), min(ys), max(xs) + 1, max(ys) + 1)


_cache = {}

# Fonts whose small sizes come from bitmap strikes, which are heavier than
# the font's outlines. At a larger device size there is no strike, so the
# outline is rasterised at twice that size with a stroke of this width
# around it and halved (averaging 2 x 2 pixels): the glyphs then carry the
# strike's ink. Measured on the credits: AR PL UMing at 24 pixels has 55 %
# of the 12-pixel strike's ink drawn plainly, 101 % stroked so.
STRIKE_WEIGHT = {("song", 12): 1.4}


def _read_pgm(blob):
    fields, pos = [], 0
    while len(fields) < 4:
        while blob[pos:pos + 1].isspace():
            pos += 1
        start = pos
        while not blob[pos:pos + 1].isspace():
            pos += 1
        fields.append(blob[start:pos])
    if fields[0] != b"P5" or fields[3] != b"255":
        raise RuntimeError("unexpected output from convert")
    w, h = int(fields[1]), int(fields[2])
    return Mask(w, h, blob[pos + 1:pos + 1 + w * h])


def _halved(m):
    """The mask at half its size, each pixel the mean of 2 x 2."""
    w, h = (m.w + 1) // 2, (m.h + 1) // 2

    def at(x, y):
        return m.data[y * m.w + x] if x < m.w and y < m.h else 0
    data = bytes((at(2 * x, 2 * y) + at(2 * x + 1, 2 * y) + at(2 * x, 2 * y + 1)
                  + at(2 * x + 1, 2 * y + 1) + 2) // 4 for y in range(h) for x in range(w))
    return Mask(w, h, data)


def text_mask(text, font, size, kerning=0.0, angle=None, scale=1):
    """White-on-black coverage of a line of text at size times scale device
    pixels. With an angle the glyphs are trimmed to their ink first and then
    turned, so the mask centre is the ink centre."""
    key = (text, font, size, kerning, angle, scale)
    if key not in _cache:
        weight = STRIKE_WEIGHT.get((font, size)) if scale != 1 else None
        over = 2 if weight else 1
        cmd = ["convert", "-background", "black", "-fill", "white",
               "-font", FONT_FILES[font], "-pointsize", str(size * scale * over),
               "-kerning", str(kerning * scale * over)]
        if weight:
            cmd += ["-stroke", "white", "-strokewidth", str(weight)]
        cmd += ["label:" + text]
        if angle is not None:
            cmd += ["-trim", "+repage", "-bordercolor", "black", "-border", "2",
                    "-virtual-pixel", "background", "+distort", "SRT", "%g" % angle,
                    "+repage"]
        cmd += ["-colorspace", "gray", "-depth", "8", "pgm:-"]
        out = subprocess.run(cmd, check=True, stdout=subprocess.PIPE,
                             env=dict(os.environ, LC_ALL="C.UTF-8")).stdout
        m = _read_pgm(out)
        _cache[key] = _halved(m) if weight else m
    return _cache[key]


def baseline_of(font, size, scale=1):
    """Device pixels from the top of a label to the baseline of that font and size."""
    return text_mask("H", font, size, scale=scale).ink()[3]


def text(canvas, s, font, size, x, baseline, colour, anchor="left", kerning=0.0, opacity=1.0):
    """Draw a line of text on a baseline. With anchor "right" x is where the
    ink ends, so right-aligned lines share a clean edge. Returns the ink box
    in drawing units."""
    k = canvas.scale
    m = text_mask(s, font, size, kerning, scale=k)
    ix0, _, ix1, _ = m.ink()
    x = int(round(x * k))
    left = x - ix0 if anchor == "left" else x - ix1 if anchor == "right" else x - (ix0 + ix1) // 2
    top = int(round(baseline * k)) - baseline_of(font, size, k)
    canvas.mask(m, left, top, colour, opacity)
    ink = m.ink()
    box = (left + ink[0], top + ink[1], left + ink[2], top + ink[3])
    return box if k == 1 else tuple(v / k for v in box)


def glyph(canvas, s, font, size, cx, cy, angle, colour, opacity=1.0):
    """A decorative letter turned by angle degrees, its ink centred on (cx, cy)."""
    k = canvas.scale
    m = text_mask(s, font, size, 0.0, angle, scale=k)
    canvas.mask(m, int(round(cx * k - m.w / 2.0)), int(round(cy * k - m.h / 2.0)), colour, opacity)
