#!/usr/bin/env python3
"""Writes the demo's sample drive: samples/drive.nmea (or the path given).

A made-up 50-minute drive out of Grenoble, one fix a second: city streets
with stops at lights, a ring road, the motorway, then a winding country road
to a stop. Each second holds what an older 4800-baud receiver sends: RMC
(time without decimals, four decimals of minutes, the layout Orvanta decodes
by default), GGA and GSA, and every five seconds the GSV group of the
satellites in view; all with valid checksums. Only the standard library is
used and the output is deterministic (fixed seed).
"""

import math
import os
import random
import sys

FIXES = 3000
START = (45 + 11.2240 / 60, 5 + 43.3148 / 60)  # degrees north, east
START_TIME = 7 * 3600 + 42 * 60 + 10             # seconds of the day, UTC
DATE = "140626"                                  # ddmmyy: 14 June 2026
MAGNETIC_VARIATION = "002.5,E"
METRES_PER_DEGREE = 111_320.0
KNOTS_PER_MS = 3600 / 1852

# (until second, cruising speed km/h, how the road turns, stops at lights)
PHASES = [
    (600, 45, "streets", True),
    (1200, 75, "bends", False),
    (2400, 125, "motorway", False),
    (2940, 80, "winding", False),
    (FIXES, 0, "winding", False),
]


def checksum(body):
    value = 0
    for c in body.encode("ascii"):
        value ^= c
    return "%02X" % value


def sentence(body):
    return f"${body}*{checksum(body)}"


def minutes_text(value, degree_digits):
    """ddmm.mmmm / dddmm.mmmm and the hemisphere sign of a signed angle."""
    angle = abs(value)
    degrees = int(angle)
    minutes = round((angle - degrees) * 60, 4)
    if minutes >= 60:
        degrees, minutes = degrees + 1, 0.0
    return f"{degrees:0{degree_digits}d}{minutes:07.4f}"


class Sky:
    """Eleven satellites drifting slowly across the sky."""

    def __init__(self, rng):
        self.rng = rng
        self.sats = []
        for prn in (2, 4, 5, 9, 12, 15, 17, 19, 24, 25, 29):
            self.sats.append({"prn": prn, "el": rng.uniform(8, 80), "az": rng.uniform(0, 360),
                              "drift": rng.uniform(-0.01, 0.01), "turn": rng.uniform(-0.02, 0.02),
                              "snr": rng.uniform(36, 47)})

    def step(self):
        for s in self.sats:
            s["el"] = min(85.0, max(3.0, s["el"] + s["drift"]))
            s["az"] = (s["az"] + s["turn"]) % 360
            s["snr"] = min(50.0, max(25.0, s["snr"] + self.rng.uniform(-0.6, 0.6)))

    def signal(self, s):
        # Low satellites are weaker.
        return max(0, round(s["snr"] - (12 if s["el"] < 15 else 0)))

    def used(self):
        return [s for s in self.sats if s["el"] >= 15 and self.signal(s) >= 30][:12]


def drive(rng):
    lat, lon = START
    heading = 62.0   # degrees from north, not wrapped
    wanted = heading
    speed = 0.0      # m/s
    altitude = 214.0
    red_until, next_light = -1, 40
    for t in range(FIXES):
        _, cruise, road, lights = next(p for p in PHASES if t < p[0])
        if lights and t >= next_light:
            red_until = t + int(speed / 3) + rng.randint(15, 40)
            next_light = red_until + rng.randint(60, 140)
        target = 0.0 if t < red_until else cruise / 3.6
        if road == "streets":
            if speed > 3 and rng.random() < 0.02:
                wanted += rng.choice((-90, 90))
        elif road == "bends":
            wanted += rng.gauss(0, 1.2)
        elif road == "motorway":
            off_course = (wanted - 40 + 180) % 360 - 180  # the motorway keeps to the north-east
            wanted += rng.gauss(0, 0.25) - off_course * 0.01
        else:
            wanted += rng.gauss(0, 3.0)
        # Turning takes a few seconds, and only while moving.
        heading += max(-12.0, min(12.0, wanted - heading)) * min(1.0, speed / 6)
        speed = max(0.0, speed + max(-3.0, min(2.2, target - speed)))
        altitude += rng.gauss(0, 0.3) + (0.05 if road == "winding" else 0)
        lat += speed * math.cos(math.radians(heading)) / METRES_PER_DEGREE
        lon += speed * math.sin(math.radians(heading)) / (METRES_PER_DEGREE * math.cos(math.radians(lat)))
        yield t, lat, lon, speed, heading % 360, altitude


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    path = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "samples", "drive.nmea")
    os.makedirs(os.path.dirname(path), exist_ok=True)
    rng = random.Random(20260614)
    sky = Sky(rng)
    lines = ["# Orvanta's demo drive: made up by scripts/make_demo_drive.py, one fix a second.",
             "# Lines starting with '#' are skipped by the replay tool."]
    for t, lat, lon, speed, heading, altitude in drive(rng):
        sky.step()
        seconds = START_TIME + t
        hms = "%02d%02d%02d" % (seconds // 3600 % 24, seconds // 60 % 60, seconds % 60)
        lat_text = minutes_text(lat, 2) + ("," + ("N" if lat >= 0 else "S"))
        lon_text = minutes_text(lon, 3) + ("," + ("E" if lon >= 0 else "W"))
        knots = speed * KNOTS_PER_MS
        used = sky.used()
        hdop = round(0.7 + 4.0 / max(len(used), 3), 1)
        vdop = round(hdop * 1.4, 1)
        pdop = round(math.hypot(hdop, vdop), 1)
        lines.append(sentence(f"GPRMC,{hms},A,{lat_text},{lon_text},{knots:05.1f},{heading:05.1f},"
                              f"{DATE},{MAGNETIC_VARIATION}"))
        lines.append(sentence(f"GPGGA,{hms},{lat_text},{lon_text},1,{len(used):02d},{hdop:.1f},"
                              f"{altitude:.1f},M,49.2,M,,"))
        prns = [f"{s['prn']:02d}" for s in used] + [""] * (12 - len(used))
        lines.append(sentence(f"GPGSA,A,3,{','.join(prns)},{pdop:.1f},{hdop:.1f},{vdop:.1f}"))
        if t % 5 == 0:
            view = sky.sats
            count = (len(view) + 3) // 4
            for i in range(count):
                group = "".join(f",{s['prn']:02d},{round(s['el']):02d},{round(s['az']):03d},{sky.signal(s):02d}"
                                for s in view[i * 4:i * 4 + 4])
                lines.append(sentence(f"GPGSV,{count},{i + 1},{len(view):02d}{group}"))
    with open(path, "w", encoding="ascii", newline="\r\n") as f:
        f.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
