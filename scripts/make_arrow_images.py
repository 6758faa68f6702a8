#!/usr/bin/env python3
"""Draws the arrow pictures of the viewer's pan buttons.

Writes into resources/ (or the folder given as the only argument)
ARROWUP.png, ARROWDOWN.png, ARROWLEFT.png and ARROWRIGHT.png: 16 x 16 arrows
with an alpha channel, one shape turned four ways. It shares the drawing
helpers of make_lamp_images.py and, like it, writes the same bytes every run.
"""

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from make_lamp_images import alpha_pixels, mix, render, write_png  # noqa: E402

SIZE = 16
DARK = (20, 40, 120)
LIGHT = (90, 130, 230)


def up_arrow(x, y):
    """The upward arrow in a box of SIZE: a head above a short shaft, lit
    from the top left."""
    c = SIZE / 2.0
    dx = x - c
    head_top, head_bottom, shaft_bottom = 2.0, 9.0, 14.0
    in_head = head_top <= y <= head_bottom and abs(dx) <= (y - head_top) * 0.95
    in_shaft = head_bottom < y <= shaft_bottom and abs(dx) <= 2.3
    if not (in_head or in_shaft):
        return None
    return mix(LIGHT, DARK, (dx + c) / SIZE * 0.6 + (y / SIZE) * 0.4)


# Each direction reads the up arrow's shape at turned coordinates.
TURNS = {
    "ARROWUP": lambda x, y: (x, y),
    "ARROWDOWN": lambda x, y: (SIZE - x, SIZE - y),
    "ARROWLEFT": lambda x, y: (SIZE - y, x),
    "ARROWRIGHT": lambda x, y: (y, SIZE - x),
}


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    target = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "resources")
    os.makedirs(target, exist_ok=True)
    for name, turn in TURNS.items():
        pixels = alpha_pixels(render(SIZE, SIZE, lambda x, y, turn=turn: up_arrow(*turn(x, y))))
        write_png(os.path.join(target, name + ".png"), pixels)


if __name__ == "__main__":
    main()
