#!/usr/bin/env python3
"""Draws the three 60x60 clips of the clip panel as GIF files (25 frames a second, played once):
1.gif opening (5 frames), 2.gif loop (16 frames), 3.gif closing (5 frames). The last frame of
3.gif is also the static picture. Standard library only; run it to regenerate the files."""
import math
import os
import struct

SIZE = 60
SUPER = 3  # samples per pixel side
DELAY = 4  # hundredths of a second: 25 frames a second

PAPER = (255, 255, 255)
LINE = (196, 204, 214)
GLASS = (219, 233, 247)
RING = (31, 78, 140)
HANDLE = (80, 80, 88)
MARK = (232, 120, 32)


def page(x, y):
    """The result page behind the lens: a few grey text lines."""
    for i, (top, length) in enumerate(((12, 38), (20, 30), (28, 36), (36, 26), (44, 34))):
        if top <= y < top + 3 and 10 <= x < 10 + length:
            return MARK if i == 2 and x < 18 else LINE
    return PAPER


def magnifier(x, y, cx, cy, scale):
    r, t = 13 * scale, 3.2 * scale
    d = math.hypot(x - cx, y - cy)
    if d <= r - t / 2:
        return "glass"
    if d <= r + t / 2:
        return RING
    # handle: from the ring at 45 degrees down-right
    hx, hy = cx + r * 0.707, cy + r * 0.707
    ux, uy = 0.707, 0.707
    along = (x - hx) * ux + (y - hy) * uy
    across = abs(-(x - hx) * uy + (y - hy) * ux)
    if 0 <= along <= 13 * scale and across <= 3 * scale:
        return HANDLE
    return None


def render(cx, cy, scale):
    pixels = []
    for py in range(SIZE):
        for px in range(SIZE):
            acc = [0, 0, 0]
            for sy in range(SUPER):
                for sx in range(SUPER):
                    x = px + (sx + 0.5) / SUPER
                    y = py + (sy + 0.5) / SUPER
                    c = magnifier(x, y, cx, cy, scale) if scale > 0 else None
                    if c == "glass":
                        base = page(cx + (x - cx) / 1.4, cy + (y - cy) / 1.4)
                        c = tuple((a + b) // 2 for a, b in zip(base, GLASS))
                    elif c is None:
                        c = page(x, y)
                    for i in range(3):
                        acc[i] += c[i]
            n = SUPER * SUPER
            pixels.append(tuple(v // n for v in acc))
    return pixels


def palette_index(rgb):
    r, g, b = (round(v / 255 * 5) for v in rgb)
    return r * 36 + g * 6 + b


PALETTE = [(r * 51, g * 51, b * 51) for r in range(6) for g in range(6) for b in range(6)]
PALETTE += [(0, 0, 0)] * (256 - len(PALETTE))


def lzw(indices):
    clear, end = 256, 257
    table = {bytes([i]): i for i in range(256)}
    next_code = 258
    bits = []

    def emit(code):
        bits.append(code)

    emit(clear)
    word = b""
    for k in indices:
        grown = word + bytes([k])
        if grown in table:
            word = grown
            continue
        emit(table[word])
        # codes stay 9 bits wide: clear before the decoder's table could reach 512 entries
        if next_code < 500:
            table[grown] = next_code
            next_code += 1
        else:
            emit(clear)
            table = {bytes([i]): i for i in range(256)}
            next_code = 258
        word = bytes([k])
    emit(table[word])
    emit(end)
    out = bytearray()
    acc = nbits = 0
    for code in bits:
        acc |= code << nbits
        nbits += 9
        while nbits >= 8:
            out.append(acc & 0xFF)
            acc >>= 8
            nbits -= 8
    if nbits:
        out.append(acc & 0xFF)
    return bytes(out)


def gif(frames):
    data = bytearray(b"GIF89a")
    data += struct.pack("<HHBBB", SIZE, SIZE, 0xF7, 0, 0)
    for c in PALETTE:
        data += bytes(c)
    for frame in frames:
        data += b"\x21\xF9\x04\x04" + struct.pack("<H", DELAY) + b"\x00\x00"
        data += b"\x2C" + struct.pack("<HHHHB", 0, 0, SIZE, SIZE, 0)
        data += b"\x08"
        stream = lzw([palette_index(p) for p in frame])
        for i in range(0, len(stream), 255):
            chunk = stream[i:i + 255]
            data += bytes([len(chunk)]) + chunk
        data += b"\x00"
    data += b"\x3B"
    return bytes(data)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    home = (27.0, 27.0)
    opening = [render(*home, s) for s in (0.2, 0.4, 0.6, 0.8, 1.0)]
    loop = []
    for i in range(16):
        a = 2 * math.pi * i / 16
        loop.append(render(home[0] + 7 * math.sin(a), home[1] - 5 + 5 * math.cos(a), 1.0))
    closing = []
    last = (home[0], home[1])
    for i in range(5):
        f = (i + 1) / 5
        closing.append(render(last[0], last[1], 1.0 + 0.15 * math.sin(math.pi * f)))
    for name, frames in (("1.gif", opening), ("2.gif", loop), ("3.gif", closing)):
        with open(os.path.join(here, name), "wb") as f:
            f.write(gif(frames))


if __name__ == "__main__":
    main()
