#!/usr/bin/python3
"""Helpers of make-map: the map's pixel grid in NZMG, and the picture made
from the sampled land mask and elevations. At a scale of 2 (the copy for
high-density screens) each pixel of the map is two by two pixels of 500 m,
their centres a quarter of a kilometre either side of the pixel's centre."""

import os
import sys

import numpy as np

SCALE = int(os.environ.get("MAP_SCALE", "1"))
WIDTH, HEIGHT = 1327 * SCALE, 1797 * SCALE
SPACING = 1000.0 / SCALE
SEA = (58, 104, 168)       # plain sea blue
LAKE = (112, 164, 214)     # lakes, lighter
# Height tints (metres, colour), blended between the stops.
TINTS = [(0, (98, 150, 78)), (200, (138, 176, 92)), (500, (190, 190, 110)), (900, (184, 150, 96)),
         (1500, (150, 112, 80)), (2000, (200, 190, 180)), (2600, (245, 245, 245))]


def centre(k):
    """The map pixel (at scale 1) whose centre a pixel at this scale shares."""
    return (k + 0.5) / SCALE - 0.5


def points():
    out = sys.stdout
    for r in range(HEIGHT):
        n = 6791805 - (centre(r) - 150) * 1000
        out.write("".join("%.10g %.10g\n" % ((centre(c) - 110) * 1000 + 1951923, n) for c in range(WIDTH)))


def tint(h):
    stops = np.array([s for s, _ in TINTS], dtype=float)
    cols = np.array([c for _, c in TINTS], dtype=float)
    rgb = np.empty(h.shape + (3,))
    for k in range(3):
        rgb[..., k] = np.interp(h, stops, cols[:, k])
    return rgb


def picture(mask_file, elev_file, out_file):
    mask = np.loadtxt(mask_file).reshape(HEIGHT, WIDTH)
    elev = np.loadtxt(elev_file).reshape(HEIGHT, WIDTH)
    land = mask == 1
    lake = mask == 2
    h = np.where(land, np.maximum(elev, 5.0), 0.0)
    # Hill shading from the north-west, on the grid's spacing.
    dzdy, dzdx = np.gradient(h, SPACING)
    exaggeration = 6.0
    nx, ny, nz = -dzdx * exaggeration, dzdy * exaggeration, np.ones_like(h)
    norm = np.sqrt(nx * nx + ny * ny + nz * nz)
    az, alt = np.radians(315.0), np.radians(45.0)
    lx, ly, lz = np.sin(az) * np.cos(alt), np.cos(az) * np.cos(alt), np.sin(alt)
    shade = (nx * lx + ny * ly + nz * lz) / norm
    shade = np.clip(0.45 + 0.75 * shade, 0.35, 1.25)
    rgb = tint(h) * shade[..., None]
    rgb = np.clip(rgb, 0, 255)
    img = np.empty((HEIGHT, WIDTH, 3), dtype=np.uint8)
    img[...] = SEA
    img[land] = rgb[land].astype(np.uint8)
    img[lake] = LAKE
    with open(out_file, "wb") as f:
        f.write(b"P6\n%d %d\n255\n" % (WIDTH, HEIGHT))
        f.write(img.tobytes())


if __name__ == "__main__":
    if sys.argv[1] == "points":
        points()
    else:
        picture(sys.argv[2], sys.argv[3], sys.argv[4])
