#!/usr/bin/env python3
"""Draws the status lamp pictures and the main window's decorative picture.

Writes into resources/ (or the folder given as the only argument):
  LEDREDON.png ... LEDBULBOFF.png   15 x 15 lamps, lit and unlit; the lamp
                                    control makes the bottom-left pixel's
                                    colour transparent, so that colour (the
                                    KEY below) fills the background and
                                    appears nowhere in the lamp itself;
  DECO.png                          32 x 32 satellite with an alpha channel.

Only the standard library is used, and the output is deterministic: running
the script again rewrites the very same bytes, so the committed pictures can
always be checked against it.
"""

import math
import os
import struct
import sys
import zlib

KEY = (255, 0, 255)
SIZE = 15
SUPERSAMPLE = 5  # samples per pixel side

# Lit colour of each round lamp; the unlit look is derived from it.
ROUND_LAMPS = {
    "RED": (255, 45, 35),
    "GREEN": (50, 235, 60),
    "BLUE": (60, 140, 255),
    "YELLOW": (255, 225, 40),
    "PURPLE": (200, 80, 255),
}


def mix(a, b, t):
    """Blends colour a towards colour b by t in [0, 1]."""
    t = min(1.0, max(0.0, t))
    return tuple(x + (y - x) * t for x, y in zip(a, b))


def scale(c, f):
    return tuple(x * f for x in c)


# ----------------------------------------------------------------------------
# Round lamp: a metal bezel shaded as if lit from the top left, around a glass
# dome that glows when lit and shows its dark tint when unlit.

CENTRE = SIZE / 2.0
OUTER_R = 7.45   # bezel outline
BEZEL_R = 6.7    # metal ring
DOME_R = 5.0     # glass
HIGHLIGHT = (-0.40, -0.45)  # highlight centre, in dome radii from the middle


def round_lamp(colour, lit):
    def shade(x, y):
        dx, dy = x - CENTRE, y - CENTRE
        r = math.hypot(dx, dy)
        if r > OUTER_R:
            return None
        # +1 towards the top left, -1 towards the bottom right.
        facing = -(dx + dy) / (r * math.sqrt(2)) if r > 0 else 0.0
        if r > BEZEL_R:
            return scale((70, 72, 78), 0.85 + 0.25 * facing)
        if r > DOME_R:
            # The ring slopes down into the dome: its inner half faces the
            # other way round from its outer half.
            slope = facing if r > (BEZEL_R + DOME_R) / 2 else -facing
            grey = 150 + 75 * slope
            return (grey, grey, grey + 6)
        u, v = dx / DOME_R, dy / DOME_R
        d = math.hypot(u, v)
        z = math.sqrt(max(0.0, 1.0 - d * d))
        spot = math.hypot(u - HIGHLIGHT[0], v - HIGHLIGHT[1])
        if lit:
            glow = scale(colour, 0.62 + 0.38 * z)
            glow = mix(glow, (255, 255, 235), 0.55 * max(0.0, 1.0 - d / 0.6) ** 1.5)
            return mix(glow, (255, 255, 255), 0.95 * max(0.0, 1.0 - spot / 0.32))
        dark = mix(scale(colour, 0.30), (40, 40, 44), 0.25)
        body = scale(dark, 0.55 + 0.6 * z * (0.6 - 0.4 * (u + v)))
        return mix(body, (215, 215, 220), 0.75 * max(0.0, 1.0 - spot / 0.28))

    return shade


# ----------------------------------------------------------------------------
# Light bulb: a glass globe with its filament on a screw base.

GLOBE = (7.5, 5.6, 5.0)  # centre x, centre y, radius
NECK_TOP, NECK_BOTTOM = 9.0, 11.0
BASE_BOTTOM = 13.8
TIP_BOTTOM = 14.9


def inside_bulb_glass(x, y):
    gx, gy, gr = GLOBE
    if math.hypot(x - gx, y - gy) <= gr:
        return True
    if NECK_TOP <= y <= NECK_BOTTOM:
        half = 3.2 - (y - NECK_TOP) * 0.5
        return abs(x - gx) <= half
    return False


def bulb(lit):
    gx, gy, gr = GLOBE

    def filament(x, y):
        # Two support wires from the neck and a coil between their tops.
        wires = (abs(x - 6.0) < 0.45 or abs(x - 9.0) < 0.45) and 6.2 <= y <= NECK_BOTTOM
        coil = 5.6 <= y <= 6.6 and 5.6 <= x <= 9.4
        return wires, coil

    def shade(x, y):
        if inside_bulb_glass(x, y):
            d = math.hypot(x - gx, y - gy) / gr
            edge = not inside_bulb_glass(x + 0.7, y) or not inside_bulb_glass(x - 0.7, y) \
                or not inside_bulb_glass(x, y - 0.7)
            wires, coil = filament(x, y)
            spot = math.hypot(x - (gx - 2.0), y - (gy - 2.1))
            if lit:
                if edge:
                    return (215, 150, 20)
                if coil:
                    return (240, 110, 10)
                if wires:
                    return (205, 130, 50)
                glass = mix((255, 250, 190), (255, 200, 40), d ** 1.6)
                return mix(glass, (255, 255, 255), 0.9 * max(0.0, 1.0 - spot / 1.3))
            if edge:
                return (105, 110, 120)
            if coil or wires:
                return (80, 80, 84)
            glass = mix((228, 232, 238), (175, 182, 195), d ** 1.4)
            return mix(glass, (255, 255, 255), 0.9 * max(0.0, 1.0 - spot / 1.3))
        if NECK_BOTTOM < y <= BASE_BOTTOM and abs(x - gx) <= 2.6:
            # Screw thread: light and dark pixel rows in turn, rounded by
            # darkening towards the sides.
            ridge = 1.0 if int(y) % 2 == 1 else 0.35
            side = 1.0 - 0.45 * (abs(x - gx + 0.5) / 2.6) ** 2
            grey = (70 + 160 * ridge) * side
            return (grey, grey, grey * 0.97)
        if BASE_BOTTOM < y <= TIP_BOTTOM and abs(x - gx) <= 1.3:
            return (55, 50, 45)
        return None

    return shade


# ----------------------------------------------------------------------------
# Decorative satellite: a gold body with a dish, between two solar wings, seen
# turned by 35 degrees.

def satellite(x, y):
    a = math.radians(35)
    dx, dy = x - 16.0, y - 16.5
    u = dx * math.cos(a) + dy * math.sin(a)    # along the wings
    v = -dx * math.sin(a) + dy * math.cos(a)   # across them
    if abs(u) <= 4.0 and abs(v) <= 4.5:
        facing = -(u + v) / 8.5
        foil = mix((150, 105, 20), (255, 215, 90), 0.5 + 0.5 * facing)
        return scale(foil, 0.8) if abs(u) > 3.3 or abs(v) > 3.8 else foil
    if 4.0 < abs(u) <= 6.0 and abs(v) <= 0.6:
        return (150, 150, 155)
    if 6.0 < abs(u) <= 14.8 and abs(v) <= 4.0:
        cell_u = (abs(u) - 6.0) % 2.95
        if abs(v) > 3.4 or abs(u) > 14.2 or cell_u < 0.45 or abs(v) < 0.3:
            return (190, 195, 205)
        return mix((25, 55, 150), (70, 120, 220), 0.5 - v / 8.0)
    # Dish on a short mast above the body.
    if abs(u) <= 0.5 and -7.0 <= v < -4.5:
        return (120, 120, 128)
    dish_v = -7.4 + 0.09 * u * u
    if abs(u) <= 4.0 and dish_v - 1.2 <= v <= dish_v:
        return mix((200, 200, 210), (95, 95, 110), (u + 4.0) / 8.0)
    return None


# ----------------------------------------------------------------------------

def render(width, height, shade):
    """Supersamples shade(x, y) -> colour or None; returns rows of
    (colour, coverage) per pixel."""
    n = SUPERSAMPLE
    rows = []
    for py in range(height):
        row = []
        for px in range(width):
            total, hits = [0.0, 0.0, 0.0], 0
            for sy in range(n):
                for sx in range(n):
                    c = shade(px + (sx + 0.5) / n, py + (sy + 0.5) / n)
                    if c is not None:
                        hits += 1
                        for i in range(3):
                            total[i] += c[i]
            colour = tuple(min(255, max(0, round(t / hits))) for t in total) if hits else None
            row.append((colour, hits / (n * n)))
        rows.append(row)
    return rows


def keyed_pixels(rows):
    """A pixel belongs to the lamp when the lamp covers at least half of it;
    everything else is the transparent KEY. A lamp pixel that happens to come
    out as KEY is nudged off it, or it would vanish."""
    out = []
    for row in rows:
        line = []
        for colour, coverage in row:
            if colour is None or coverage < 0.5:
                line.append(KEY)
            else:
                line.append((colour[0], colour[1] + 1, colour[2]) if colour == KEY else colour)
        out.append(line)
    return out


def alpha_pixels(rows):
    return [[(*(c or (0, 0, 0)), round(255 * cov)) for c, cov in row] for row in rows]


def write_png(path, pixels):
    height, width = len(pixels), len(pixels[0])
    channels = len(pixels[0][0])
    raw = b"".join(b"\x00" + bytes(v for p in row for v in p) for row in pixels)

    def chunk(tag, data):
        body = tag + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    colour_type = 6 if channels == 4 else 2
    png = b"\x89PNG\r\n\x1a\n"
    png += chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, colour_type, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(raw, 9))
    png += chunk(b"IEND", b"")
    with open(path, "wb") as f:
        f.write(png)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    target = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "resources")
    os.makedirs(target, exist_ok=True)
    lamps = {}
    for name, colour in ROUND_LAMPS.items():
        lamps[f"LED{name}ON"] = round_lamp(colour, True)
        lamps[f"LED{name}OFF"] = round_lamp(colour, False)
    lamps["LEDBULBON"] = bulb(True)
    lamps["LEDBULBOFF"] = bulb(False)
    for name, shade in lamps.items():
        pixels = keyed_pixels(render(SIZE, SIZE, shade))
        assert pixels[SIZE - 1][0] == KEY, name + ": the bottom-left pixel must be the key"
        write_png(os.path.join(target, name + ".png"), pixels)
    write_png(os.path.join(target, "DECO.png"), alpha_pixels(render(32, 32, satellite)))


if __name__ == "__main__":
    main()
