"""The launcher's face: 481 x 258 pixels (962 x 516 at 2x), drawn behind everything the window
puts on top of it (the e-mail link label and the two push buttons).

Layout, in artwork pixels:
  left   a night-blue panel with the title and three large keycaps spelling
         K-E-Y, trailing streaks as if just struck;
  right  warm paper with the supported systems at the top, the credits, and
         the studio line in the lower right corner.
Kept empty on purpose (the program draws there):
  e-mail label  x 248..380, y 152..164 (black text, grey 0x808080 on hover)
  buttons       x 200..265 and 280..345, y 228..249
"""

import math

from kvdraw import (Canvas, rgb, mix, half_plane, round_rect, capsule, radial,
                    linear, text, glyph, smoothstep, coverage)

WIDTH, HEIGHT = 481, 258

# Palette
NIGHT_CORE = rgb("#2C4778")
NIGHT_EDGE = rgb("#121A2E")
PAPER_TOP = rgb("#FBF9F4")
PAPER_BOTTOM = rgb("#F1ECE2")
AMBER = rgb("#E3A23B")
AMBER_DEEP = rgb("#B8751C")
INK = rgb("#24304A")
INK_SOFT = rgb("#6B7385")
CAP_FACE_TOP = rgb("#FDFCF8")
CAP_FACE_BOTTOM = rgb("#E4E6EC")
CAP_SKIRT = rgb("#B9C0CE")
CAP_SKIRT_DARK = rgb("#8C95A8")
RULE = rgb("#D8CFBE")
WHITE = (255, 255, 255)

# The panel's right edge runs from (PANEL_TOP_X, 0) down to (PANEL_BOTTOM_X, HEIGHT).
PANEL_TOP_X, PANEL_BOTTOM_X = 234.0, 178.0
STRIPE_OFFSET, STRIPE_WIDTH = 6.0, 2.0

TITLE = "Keyvandor"
SUBTITLE = "TYPING TUTOR"
SYSTEMS = "Windows 9x/Me/2000/XP"
CREDITS_HEADING = "制作人员"
CREDITS = [  # role, name: our own team
    ("策划设计", "周一帆"),
    ("程序设计", "林墨言"),
    ("美术设计", "苏晓棠"),
    ("课程编写", "何青禾"),
]
STUDIO = "蓝灯工作室 出品"
COPYRIGHT = "© 2003 Bluelamp Studio"

CREDITS_X, NAMES_X, RIGHT_EDGE = 248, 314, 466

# Where the text sits: left x (or right edge) and baseline y.
TITLE_AT, SUBTITLE_AT = (16, 36), (18, 52)
SYSTEMS_BASELINE = 22
CREDITS_HEADING_BASELINE, CREDITS_BASELINE, CREDITS_STEP = 62, 84, 17
STUDIO_RULE_Y, STUDIO_BASELINE, COPYRIGHT_BASELINE = 188, 205, 220

STREAK_SLOPE = 0.18  # the keys rise gently as they fly to the right

# Keycaps: letter, centre x, centre y, size, turn in degrees, accent colour?
KEYCAPS = [
    ("E", 150, 96, 52, 9.0, False),
    ("K", 76, 142, 76, -9.0, False),
    ("Y", 146, 184, 48, -5.0, True),
]


def panel():
    """Signed distance to the panel: negative on it, positive on the paper."""
    return half_plane(PANEL_BOTTOM_X, HEIGHT, PANEL_TOP_X, 0.0)


def hairline(c, x0, x1, y):
    """A one-pixel horizontal rule over pixel row y, from x0 to x1."""
    c.fill(round_rect((x0 + x1) / 2.0, y + 0.5, x1 - x0, 1.0, 0.0), (x0 - 1, y - 2, x1 + 1, y + 3), RULE)


def draw_background(c):
    paper = linear(0, 0, PAPER_TOP, 0, HEIGHT, PAPER_BOTTOM)
    c.paint((0, 0, WIDTH, HEIGHT), lambda px, py: (1.0, paper(px, py)))
    on_panel = panel()
    c.fill(on_panel, (0, 0, PANEL_TOP_X + 2, HEIGHT), radial(92, 150, 250, NIGHT_CORE, NIGHT_EDGE))
    # a thin amber line running parallel to the panel edge, out on the paper
    c.stroke(lambda px, py: on_panel(px, py) - STRIPE_OFFSET,
             (0, 0, PANEL_TOP_X + STRIPE_OFFSET + 4, HEIGHT), AMBER, STRIPE_WIDTH)


def draw_ghost_keyboard(c):
    """Rows of faint keys behind the big keycaps, like a keyboard out of focus."""
    inset = panel()
    pitch, size, turn = 25.0, 20.0, -14.0
    ca, sa = math.cos(math.radians(turn)), math.sin(math.radians(turn))
    for row in range(-2, 12):
        for col in range(-2, 11):
            lx = col * pitch + (row % 3) * pitch / 3.0
            ly = row * pitch
            x, y = 20 + lx * ca - ly * sa, 40 + lx * sa + ly * ca
            if not (-20 < x < PANEL_TOP_X and 50 < y < HEIGHT + 20):
                continue
            fade = 0.05 * smoothstep(50, 120, y)
            if fade <= 0.0:
                continue
            sd = round_rect(x, y, size, size, 4, turn)
            # clipped 6 px inside the panel edge
            c.fill(lambda px, py, sd=sd: max(sd(px, py), inset(px, py) + 6),
                   (x - 16, y - 16, x + 16, y + 16), WHITE, fade)


def draw_streaks(c, cx, cy, size):
    """Speed lines trailing to the left of a keycap, as if it had just flown
    in from there; they fade out towards their far end."""
    for off, length, alpha in ((-0.24, 1.1, 0.38), (0.04, 1.7, 0.30), (0.30, 0.75, 0.22)):
        sx, sy = cx - size * 0.35, cy + off * size
        ex, ey = sx - size * length, sy + size * length * STREAK_SLOPE
        sd = capsule(sx, sy, ex, ey, 1.1)
        span = (sx - ex) ** 2 + (sy - ey) ** 2

        def streak(px, py, sd=sd, ex=ex, ey=ey, sx=sx, sy=sy, span=span, alpha=alpha):
            a = c.cover(sd(px, py))
            if a <= 0.0:
                return None
            t = ((px - ex) * (sx - ex) + (py - ey) * (sy - ey)) / span
            return (a * alpha * smoothstep(0.0, 1.0, t), WHITE)
        c.paint((ex - 3, min(sy, ey) - 3, sx + 3, max(sy, ey) + 3), streak)


def draw_keycap(c, letter, cx, cy, size, turn, accent):
    rad = math.radians(turn)
    half = size * 0.75
    box = (cx - half, cy - half, cx + half + 8, cy + half + 10)
    body = round_rect(cx, cy, size, size, size * 0.16, turn)
    c.shadow(round_rect(cx + 4, cy + 7, size, size, size * 0.16, turn), box, NIGHT_EDGE, 0.55, size * 0.12)
    if accent:
        skirt, skirt_dark = AMBER_DEEP, mix(AMBER_DEEP, (60, 30, 0), 0.35)
        face_top, face_bottom = rgb("#F6C46A"), AMBER
        legend = WHITE
    else:
        skirt, skirt_dark = CAP_SKIRT, CAP_SKIRT_DARK
        face_top, face_bottom = CAP_FACE_TOP, CAP_FACE_BOTTOM
        legend = INK
    nx, ny = -math.sin(rad), math.cos(rad)  # the keycap's "down"
    c.fill(body, box, linear(cx - nx * size / 2, cy - ny * size / 2, skirt,
                             cx + nx * size / 2, cy + ny * size / 2, skirt_dark))
    # top face, set back from the bottom edge so the skirt shows as depth
    fx, fy = cx - nx * size * 0.07, cy - ny * size * 0.07
    face = round_rect(fx, fy, size * 0.76, size * 0.72, size * 0.12, turn)
    c.fill(face, box, linear(fx - nx * size * 0.36, fy - ny * size * 0.36, face_top,
                             fx + nx * size * 0.36, fy + ny * size * 0.36, face_bottom))
    # a soft dark seam where the face meets the skirt, and a lit rim along
    # the upper part of the face, fading out towards its lower half
    c.stroke(face, box, skirt_dark, 1.0, 0.35)
    rim = round_rect(fx - nx * 0.8, fy - ny * 0.8, size * 0.76 - 2.5, size * 0.72 - 2.5, size * 0.12 - 1, turn)

    # the rim keeps a one-unit soft edge at every scale: a highlight, not a line
    def lit_rim(px, py):
        upper = smoothstep(0.1, -0.4, ((px - fx) * nx + (py - fy) * ny) / size)
        return (0.55 * coverage(abs(rim(px, py) + 0.2)) * upper, WHITE)
    c.paint(box, lit_rim)
    glyph(c, letter, "sans-bold", int(size * 0.52), fx, fy, turn, legend)


def draw_title(c):
    text(c, TITLE, "serif-bold", 26, TITLE_AT[0], TITLE_AT[1], WHITE)
    text(c, SUBTITLE, "sans-bold", 8, SUBTITLE_AT[0], SUBTITLE_AT[1], AMBER, kerning=2.6)


def draw_right_side(c):
    text(c, SYSTEMS, "sans", 11, RIGHT_EDGE, SYSTEMS_BASELINE, INK_SOFT, anchor="right")
    # credits: a heading followed by a hairline, then role / name pairs
    box = text(c, CREDITS_HEADING, "song", 12, CREDITS_X, CREDITS_HEADING_BASELINE, AMBER_DEEP)
    hairline(c, box[2] + 8, RIGHT_EDGE, CREDITS_HEADING_BASELINE - 5)
    for i, (role, name) in enumerate(CREDITS):
        baseline = CREDITS_BASELINE + i * CREDITS_STEP
        text(c, role, "song", 12, CREDITS_X, baseline, INK_SOFT)
        text(c, name, "song", 12, NAMES_X, baseline, INK)
    # lower right, above the buttons' row: the studio under a hairline as
    # wide as the copyright line
    box = text(c, COPYRIGHT, "sans", 9, RIGHT_EDGE, COPYRIGHT_BASELINE, INK_SOFT, anchor="right")
    text(c, STUDIO, "song", 12, RIGHT_EDGE, STUDIO_BASELINE, INK, anchor="right")
    hairline(c, box[0], RIGHT_EDGE, STUDIO_RULE_Y)


def render(scale=1):
    """The face at scale device pixels per artwork pixel (1 or 2)."""
    c = Canvas(WIDTH, HEIGHT, PAPER_TOP, scale)
    draw_background(c)
    draw_ghost_keyboard(c)
    for letter, cx, cy, size, turn, accent in KEYCAPS:
        draw_streaks(c, cx, cy, size)
    for letter, cx, cy, size, turn, accent in KEYCAPS:
        draw_keycap(c, letter, cx, cy, size, turn, accent)
    draw_title(c)
    draw_right_side(c)
    return c
