#!/usr/bin/env python3
"""Draws the Psykrona application icon: a small Mollier chart (temperature up,
humidity ratio across) with the saturation curve, two relative-humidity
curves, enthalpy lines and one process between two points.

Writes psykrona.svg beside this script and renders icons/psykrona-<size>.png
from it with rsvg-convert (Debian package librsvg2-bin) at the sizes of the
hicolor theme that desktops and software centres look up.
Run it again after a change and commit all three files; the build installs
them as they are.
"""
import math
import pathlib
import subprocess

HERE = pathlib.Path(__file__).resolve().parent

SIZE = 256
LEFT, RIGHT, TOP, BOTTOM = 44, 220, 36, 212   # chart area inside the tile
T_MIN, T_MAX = -10.0, 45.0                    # °C, vertical
X_MAX = 0.045                                 # kg/kg, horizontal
P = 101.325                                   # kPa
SIZES = (16, 22, 24, 32, 48, 64, 128, 256, 512)  # pixels; the build installs each one


def sat_pressure(t):
    """Magnus formula, kPa; close enough for a picture."""
    if t >= 0:
        return 0.61094 * math.exp(17.625 * t / (t + 243.04))
    return 0.61115 * math.exp(22.452 * t / (t + 272.55))


def humidity_ratio(t, rh):
    ps = rh * sat_pressure(t)
    return 0.622 * ps / (P - ps)


def px(x, t):
    return (LEFT + (RIGHT - LEFT) * x / X_MAX, BOTTOM - (BOTTOM - TOP) * (t - T_MIN) / (T_MAX - T_MIN))


def curve(rh):
    pts = []
    t = T_MIN
    while t <= T_MAX + 1e-9:
        x = humidity_ratio(t, rh)
        if x > X_MAX:
            # Stop at the right edge of the chart.
            lo, hi = t - 0.5, t
            for _ in range(30):
                mid = (lo + hi) / 2
                lo, hi = (mid, hi) if humidity_ratio(mid, rh) < X_MAX else (lo, mid)
            pts.append(px(X_MAX, lo))
            break
        pts.append(px(x, t))
        t += 0.5
    return " ".join(f"{a:.1f},{b:.1f}" for a, b in pts)


def enthalpy_line(h):
    """h = 1.006 t + x (2501 + 1.86 t), kJ/kg; t for x = 0 and x = X_MAX."""
    t0 = h / 1.006
    t1 = (h - X_MAX * 2501) / (1.006 + X_MAX * 1.86)
    (x0, y0), (x1, y1) = px(0, t0), px(X_MAX, t1)
    return f'<line x1="{x0:.1f}" y1="{y0:.1f}" x2="{x1:.1f}" y2="{y1:.1f}"/>'


def svg():
    sat = curve(1.0)
    # The fog region lies right of saturation; the unsaturated air left of it
    # gets the light tint.
    air = f"{LEFT},{BOTTOM} " + sat + f" {RIGHT},{TOP} {LEFT},{TOP}"
    enthalpies = "\n    ".join(enthalpy_line(h) for h in range(0, 161, 20))
    a = px(0.016, 33)
    b = px(humidity_ratio(14, 0.9), 14)
    return f"""<?xml version="1.0" encoding="UTF-8"?>
<svg xmlns="http://www.w3.org/2000/svg" width="{SIZE}" height="{SIZE}" viewBox="0 0 {SIZE} {SIZE}">
  <title>Psykrona</title>
  <defs>
    <linearGradient id="tile" x1="0" y1="0" x2="0" y2="1">
      <stop offset="0" stop-color="#2b7bb5"/>
      <stop offset="1" stop-color="#124a72"/>
    </linearGradient>
    <clipPath id="chart">
      <rect x="{LEFT}" y="{TOP}" width="{RIGHT - LEFT}" height="{BOTTOM - TOP}"/>
    </clipPath>
  </defs>
  <rect x="8" y="8" width="240" height="240" rx="40" ry="40" fill="url(#tile)"/>
  <g clip-path="url(#chart)">
    <polygon points="{air}" fill="#ffffff" fill-opacity="0.16"/>
    <g stroke="#ffffff" stroke-opacity="0.35" stroke-width="3">
    {enthalpies}
    </g>
    <g fill="none" stroke="#cfe8ff" stroke-width="5" stroke-linejoin="round">
      <polyline points="{curve(0.6)}"/>
      <polyline points="{curve(0.3)}"/>
    </g>
    <polyline points="{sat}" fill="none" stroke="#ffffff" stroke-width="10" stroke-linejoin="round"/>
  </g>
  <path d="M{LEFT} {TOP - 4} V{BOTTOM} H{RIGHT + 4}" fill="none" stroke="#ffffff" stroke-width="8"
        stroke-linecap="round" stroke-linejoin="round"/>
  <line x1="{a[0]:.1f}" y1="{a[1]:.1f}" x2="{b[0]:.1f}" y2="{b[1]:.1f}" stroke="#ff9d2e" stroke-width="9"
        stroke-linecap="round"/>
  <circle cx="{a[0]:.1f}" cy="{a[1]:.1f}" r="14" fill="#ff9d2e" stroke="#ffffff" stroke-width="5"/>
  <circle cx="{b[0]:.1f}" cy="{b[1]:.1f}" r="14" fill="#ff9d2e" stroke="#ffffff" stroke-width="5"/>
</svg>
"""


def main():
    target = HERE / "psykrona.svg"
    target.write_text(svg(), encoding="utf-8")
    (HERE / "icons").mkdir(exist_ok=True)
    for size in SIZES:
        subprocess.run(["rsvg-convert", "--width", str(size), "--height", str(size),
                        "--output", str(HERE / "icons" / f"psykrona-{size}.png"), str(target)], check=True)


if __name__ == "__main__":
    main()
