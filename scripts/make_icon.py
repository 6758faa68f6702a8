#!/usr/bin/env python3
"""Draws the program's icon: a track on a map tile, from a green start dot to
a red position pin.

Writes into resources/icon/ (or the folder given as the only argument):
  orvanta.svg          the scalable icon (256 x 256 units);
  orvanta_N.png        N x N pictures for the hicolor theme and the window
                       icon. From 32 pixels down the grid is left out and the
                       strokes are drawn bolder, so that the track still reads.

The SVG and the pictures come from the same shapes below. Only the standard
library is used and the output is deterministic, so the committed files can
be checked against the script.
"""

import math
import os
import sys

from make_lamp_images import write_png

SIZES = (16, 22, 24, 32, 48, 64, 128, 256)
UNITS = 256.0

TILE = (14.0, 14.0, 242.0, 242.0)  # left, top, right, bottom
TILE_RADIUS = 40.0
TILE_TOP = (38, 120, 150)
TILE_BOTTOM = (12, 52, 78)
GRID = (96, 160, 224, 0.22)  # line positions ... and opacity
GRID_WIDTH = 4.0
TRACK = [(54, 204), (84, 178), (104, 190), (128, 160), (118, 128), (150, 112), (176, 126), (192, 132)]
TRACK_COLOUR = (255, 210, 63)
HALO_COLOUR = (6, 30, 44)
START = (54, 204)
START_COLOUR = (126, 224, 129)
PIN_TIP = (192, 132)
PIN_CENTRE = (192, 74)
PIN_RADIUS = 32.0
PIN_COLOUR = (230, 57, 70)
PIN_EDGE = (110, 16, 30)
PIN_HOLE = 12.0
WHITE = (255, 255, 255)


class Style:
    def __init__(self, small):
        self.grid = not small
        self.track = 26.0 if small else 15.0
        self.halo = self.track + (10.0 if small else 9.0)
        self.start = 20.0 if small else 15.0
        self.edge = 7.0 if small else 5.0


def pin_tangents():
    """Where the pin's sides leave its round head, as seen from the tip."""
    (cx, cy), (tx, ty) = PIN_CENTRE, PIN_TIP
    d = math.hypot(tx - cx, ty - cy)
    phi = math.acos(PIN_RADIUS / d)
    base = math.atan2(ty - cy, tx - cx)
    return [(cx + PIN_RADIUS * math.cos(base + s * phi), cy + PIN_RADIUS * math.sin(base + s * phi)) for s in (-1, 1)]


# ----------------------------------------------------------------------------
# Signed distances (negative inside), in icon units.

def rounded_rect(x, y):
    l, t, r, b = TILE
    qx = max(l + TILE_RADIUS - x, x - (r - TILE_RADIUS), 0.0)
    qy = max(t + TILE_RADIUS - y, y - (b - TILE_RADIUS), 0.0)
    inside = min(max(l - x, x - r, t - y, y - b), 0.0)
    return math.hypot(qx, qy) - TILE_RADIUS if qx > 0 or qy > 0 else inside


def segment(x, y, a, b):
    (ax, ay), (bx, by) = a, b
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy)))
    return math.hypot(x - ax - t * dx, y - ay - t * dy)


def polyline(x, y):
    return min(segment(x, y, TRACK[i], TRACK[i + 1]) for i in range(len(TRACK) - 1))


def triangle(x, y, points):
    sides = set()
    for i in range(3):
        (ax, ay), (bx, by) = points[i], points[(i + 1) % 3]
        sides.add((bx - ax) * (y - ay) - (by - ay) * (x - ax) >= 0)
    inside = len(sides) == 1  # on the same side of all three edges, whatever their turn
    edge = min(segment(x, y, points[i], points[(i + 1) % 3]) for i in range(3))
    return -edge if inside else edge


PIN_SIDES = pin_tangents()


def pin(x, y):
    head = math.hypot(x - PIN_CENTRE[0], y - PIN_CENTRE[1]) - PIN_RADIUS
    return min(head, triangle(x, y, [PIN_SIDES[0], PIN_SIDES[1], PIN_TIP]))


# ----------------------------------------------------------------------------
# Painting: layers from the bottom up, each a colour where its shape holds.

def paint(x, y, style):
    """Premultiplied RGBA of the icon at one point."""
    if rounded_rect(x, y) > 0:
        return (0.0, 0.0, 0.0, 0.0)
    t = (y - TILE[1]) / (TILE[3] - TILE[1])
    colour = [a + (b - a) * t for a, b in zip(TILE_TOP, TILE_BOTTOM)]

    def over(c, opacity=1.0):
        for i in range(3):
            colour[i] += (c[i] - colour[i]) * opacity

    if style.grid:
        *lines, opacity = GRID
        if any(abs(x - g) <= GRID_WIDTH / 2 or abs(y - g) <= GRID_WIDTH / 2 for g in lines):
            over(WHITE, opacity)
    track = polyline(x, y)
    if track <= style.halo / 2:
        over(HALO_COLOUR, 0.55)
    if track <= style.track / 2:
        over(TRACK_COLOUR)
    start = math.hypot(x - START[0], y - START[1])
    if start <= style.start:
        over(WHITE)
    if start <= style.start - style.edge:
        over(START_COLOUR)
    p = pin(x, y)
    if p <= style.edge:
        over(PIN_EDGE)
    if p <= 0:
        over(PIN_COLOUR)
    if math.hypot(x - PIN_CENTRE[0], y - PIN_CENTRE[1]) <= PIN_HOLE:
        over(WHITE)
    return (colour[0], colour[1], colour[2], 1.0)


def render(size):
    style = Style(small=size <= 32)
    n = 4 if size <= 64 else 3  # samples per pixel side
    scale = UNITS / size
    pixels = []
    for py in range(size):
        row = []
        for px in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy in range(n):
                for sx in range(n):
                    r, g, b, a = paint((px + (sx + 0.5) / n) * scale, (py + (sy + 0.5) / n) * scale, style)
                    acc[0] += r * a
                    acc[1] += g * a
                    acc[2] += b * a
                    acc[3] += a
            alpha = acc[3] / (n * n)
            rgb = [round(c / acc[3]) if acc[3] else 0 for c in acc[:3]]
            row.append((*(min(255, max(0, c)) for c in rgb), round(255 * alpha)))
        pixels.append(row)
    return pixels


def svg():
    style = Style(small=False)
    l, t, r, b = TILE
    *lines, opacity = GRID
    hex_ = lambda c: "#%02x%02x%02x" % tuple(c)
    points = " ".join(f"{x},{y}" for x, y in TRACK)
    (ax, ay), (bx, by) = ((round(x, 3), round(y, 3)) for x, y in PIN_SIDES)
    pin_path = (f"M {ax},{ay} A {PIN_RADIUS},{PIN_RADIUS} 0 1 0 {bx},{by} "
                f"L {PIN_TIP[0]},{PIN_TIP[1]} Z")
    grid = "".join(
        f'<line x1="{g}" y1="{t}" x2="{g}" y2="{b}"/><line x1="{l}" y1="{g}" x2="{r}" y2="{g}"/>' for g in lines)
    return f"""<?xml version="1.0" encoding="UTF-8"?>
<!-- Drawn by scripts/make_icon.py; regenerate it with the script. -->
<svg xmlns="http://www.w3.org/2000/svg" width="256" height="256" viewBox="0 0 256 256">
  <defs>
    <linearGradient id="tile" x1="0" y1="{t}" x2="0" y2="{b}" gradientUnits="userSpaceOnUse">
      <stop offset="0" stop-color="{hex_(TILE_TOP)}"/>
      <stop offset="1" stop-color="{hex_(TILE_BOTTOM)}"/>
    </linearGradient>
    <clipPath id="inside"><rect x="{l}" y="{t}" width="{r - l}" height="{b - t}" rx="{TILE_RADIUS}"/></clipPath>
  </defs>
  <rect x="{l}" y="{t}" width="{r - l}" height="{b - t}" rx="{TILE_RADIUS}" fill="url(#tile)"/>
  <g stroke="#ffffff" stroke-opacity="{opacity}" stroke-width="{GRID_WIDTH}" clip-path="url(#inside)">{grid}</g>
  <g fill="none" stroke-linecap="round" stroke-linejoin="round">
    <polyline points="{points}" stroke="{hex_(HALO_COLOUR)}" stroke-opacity="0.55" stroke-width="{style.halo}"/>
    <polyline points="{points}" stroke="{hex_(TRACK_COLOUR)}" stroke-width="{style.track}"/>
  </g>
  <circle cx="{START[0]}" cy="{START[1]}" r="{style.start}" fill="#ffffff"/>
  <circle cx="{START[0]}" cy="{START[1]}" r="{style.start - style.edge}" fill="{hex_(START_COLOUR)}"/>
  <path d="{pin_path}" fill="{hex_(PIN_COLOUR)}" stroke="{hex_(PIN_EDGE)}" stroke-width="{2 * style.edge}"
        stroke-linejoin="round" paint-order="stroke"/>
  <circle cx="{PIN_CENTRE[0]}" cy="{PIN_CENTRE[1]}" r="{PIN_HOLE}" fill="#ffffff"/>
</svg>
"""


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    target = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "resources", "icon")
    os.makedirs(target, exist_ok=True)
    with open(os.path.join(target, "orvanta.svg"), "w", encoding="utf-8") as f:
        f.write(svg())
    for size in SIZES:
        write_png(os.path.join(target, f"orvanta_{size}.png"), render(size))


if __name__ == "__main__":
    main()
