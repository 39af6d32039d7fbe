#!/usr/bin/env python3
"""Draws the program's small icons and the update dialog's background as PNG
files (no image library needed). Run once; the PNGs are committed."""
import math
import struct
import sys
import zlib
from pathlib import Path


def png(path, w, h, pixel):
    rows = bytearray()
    for y in range(h):
        rows.append(0)
        for x in range(w):
            rows.extend(pixel(x, y))
    def chunk(kind, data):
        c = kind + data
        return struct.pack(">I", len(data)) + c + struct.pack(">I", zlib.crc32(c) & 0xFFFFFFFF)
    data = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 6, 0, 0, 0))
    data += chunk(b"IDAT", zlib.compress(bytes(rows), 9)) + chunk(b"IEND", b"")
    Path(path).write_bytes(data)


def mouse_icon(size, accent):
    def pixel(x, y):
        # A mouse body: an ellipse with a split between the two buttons and a wheel.
        cx, cy = (size - 1) / 2, (size - 1) / 2
        nx, ny = (x - cx) / (size * 0.32), (y - cy) / (size * 0.45)
        if nx * nx + ny * ny > 1:
            return (0, 0, 0, 0)
        if abs(x - cx) < size * 0.04 and y < cy - size * 0.05:
            return (34, 37, 41, 255)
        if abs(x - cx) < size * 0.06 and cy - size * 0.3 < y < cy - size * 0.12:
            return accent + (255,)
        if y > cy - size * 0.05 and abs(y - (cy - size * 0.05)) < size * 0.03:
            return (34, 37, 41, 255)
        return (225, 228, 232, 255)
    return pixel


def background(w, h):
    def pixel(x, y):
        t = y / h
        r, g, b = int(34 + 20 * t), int(37 + 24 * t), int(41 + 40 * t)
        if (x + y) % 24 == 0:
            r, g, b = r + 6, g + 6, b + 8
        return (r, g, b, 255)
    return pixel


out = Path(sys.argv[1] if len(sys.argv) > 1 else "resources/icons")
out.mkdir(parents=True, exist_ok=True)
png(out / "desk_icon.png", 64, 64, mouse_icon(64, (0, 170, 255)))
png(out / "tray_icon.png", 32, 32, mouse_icon(32, (0, 170, 255)))
png(out / "brivok_icon.png", 48, 48, mouse_icon(48, (255, 120, 0)))
png(out / "background.png", 480, 300, background(480, 300))


def button(w, h, rgb, radius=6):
    def pixel(x, y):
        dx = max(radius - x, x - (w - 1 - radius), 0)
        dy = max(radius - y, y - (h - 1 - radius), 0)
        if dx * dx + dy * dy > radius * radius:
            return (0, 0, 0, 0)
        return rgb + (255,)
    return pixel


def close_cross(size, rgb):
    def pixel(x, y):
        if abs(x - y) <= 1 or abs(x + y - (size - 1)) <= 1:
            if 3 <= x <= size - 4:
                return rgb + (255,)
        return (0, 0, 0, 0)
    return pixel


def logo(w, h):
    icon = mouse_icon(h, (0, 170, 255))
    def pixel(x, y):
        if x < h:
            return icon(x, y)
        # three bars standing for the product's name
        if h * 0.35 < y < h * 0.65 and (x - h) % 60 < 44:
            return (0, 170, 255, 255)
        return (0, 0, 0, 0)
    return pixel


for name, rgb in (("normal", (57, 167, 218)), ("hover", (90, 190, 235)), ("press", (30, 120, 170))):
    png(out / f"cancel_{name}.png", 104, 44, button(104, 44, tuple(c // 2 + 60 for c in rgb)))
    png(out / f"uninstall_{name}.png", 104, 44, button(104, 44, rgb))
    png(out / f"close_{name}.png", 16, 16, close_cross(16, tuple(min(255, c + 40) for c in rgb)))
png(out / "logo.png", 268, 70, logo(268, 70))
