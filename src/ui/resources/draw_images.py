#!/usr/bin/env python3
"""Draws the window icon and the button pictures as PNG files beside this
script, each at its size and at twice its size for HiDPI screens, and the
program's icon for Windows (pelloquin.ico). Run it again after changing a
picture; the pictures are committed."""

import os
import struct
import zlib


class Canvas:
    """A picture of width x height logical pixels, each drawn as scale x scale
    pixels: shapes are laid out in logical pixels and rasterised at the
    full resolution, so the 2x pictures are sharp rather than enlarged."""

    def __init__(self, width, height, scale=1):
        self.scale = scale
        self.width, self.height = width * scale, height * scale
        self.pixels = [[(0, 0, 0, 0)] * self.width for _ in range(self.height)]

    def put(self, x, y, colour):
        """Sets one pixel of the full resolution."""
        if 0 <= x < self.width and 0 <= y < self.height:
            self.pixels[y][x] = colour if len(colour) == 4 else colour + (255,)

    def dot(self, x, y, colour):
        """Sets one logical pixel."""
        for dy in range(self.scale):
            for dx in range(self.scale):
                self.put(x * self.scale + dx, y * self.scale + dy, colour)

    def fill(self, left, top, right, bottom, colour):
        for y in range(top, bottom + 1):
            for x in range(left, right + 1):
                self.dot(x, y, colour)

    def frame(self, left, top, right, bottom, colour):
        for x in range(left, right + 1):
            self.dot(x, top, colour)
            self.dot(x, bottom, colour)
        for y in range(top, bottom + 1):
            self.dot(left, y, colour)
            self.dot(right, y, colour)

    def line(self, x0, y0, x1, y1, colour):
        """A line one logical pixel wide, stepped at the full resolution."""
        s = self.scale
        x0, y0, x1, y1 = x0 * s, y0 * s, x1 * s, y1 * s
        dx, dy = abs(x1 - x0), -abs(y1 - y0)
        sx, sy = (1 if x0 < x1 else -1), (1 if y0 < y1 else -1)
        error = dx + dy
        while True:
            for by in range(s):
                for bx in range(s):
                    self.put(x0 + bx, y0 + by, colour)
            if (x0, y0) == (x1, y1):
                return
            e2 = 2 * error
            if e2 >= dy:
                error += dy
                x0 += sx
            if e2 <= dx:
                error += dx
                y0 += sy

    def polygon(self, points, colour):
        """Fills a polygon by the even-odd rule at pixel centres."""
        s = self.scale
        points = [(x * s, y * s) for x, y in points]
        for y in range(self.height):
            cy = y + 0.5
            crossings = []
            for (xa, ya), (xb, yb) in zip(points, points[1:] + points[:1]):
                if (ya <= cy < yb) or (yb <= cy < ya):
                    crossings.append(xa + (cy - ya) * (xb - xa) / (yb - ya))
            crossings.sort()
            for a, b in zip(crossings[::2], crossings[1::2]):
                for x in range(int(a + 0.5), int(b + 0.5)):
                    self.put(x, y, colour)

    def disc(self, cx, cy, radius, colour):
        s = self.scale
        for y in range(self.height):
            for x in range(self.width):
                if ((x + 0.5) / s - cx) ** 2 + ((y + 0.5) / s - cy) ** 2 <= radius ** 2:
                    self.put(x, y, colour)

    def png(self):
        raw = b"".join(
            b"\x00" + b"".join(struct.pack("BBBB", *p) for p in row)
            for row in self.pixels)

        def chunk(kind, data):
            body = kind + data
            return (struct.pack(">I", len(data)) + body +
                    struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF))

        header = struct.pack(">IIBBBBB", self.width, self.height, 8, 6, 0, 0, 0)
        return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
                chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))

    def save(self, path):
        with open(path, "wb") as out:
            out.write(self.png())


def save_icon(path, canvases):
    """A Windows icon file holding each canvas as a PNG image."""
    images = [c.png() for c in canvases]
    offset = 6 + 16 * len(images)
    entries = b""
    for canvas, image in zip(canvases, images):
        entries += struct.pack("<BBBBHHII", canvas.width % 256,
                               canvas.height % 256, 0, 0, 1, 32, len(image),
                               offset)
        offset += len(image)
    with open(path, "wb") as out:
        out.write(struct.pack("<HHH", 0, 1, len(images)) + entries +
                  b"".join(images))


PAPER = (255, 255, 255)
EDGE = (96, 96, 104)
INK = (70, 110, 190)
GREEN = (40, 150, 60)
DARK_GREEN = (20, 95, 35)
RED = (205, 40, 35)
GREY = (150, 150, 158)
LIGHT_GREY = (205, 205, 212)
WOOD = (150, 95, 45)
DARK_WOOD = (95, 55, 25)
GOLD = (235, 185, 40)


def page(canvas, left, top, width, height, lines=True):
    right, bottom = left + width - 1, top + height - 1
    fold = max(2, width // 4)
    canvas.polygon([(left, top), (right - fold + 1, top), (right + 1, top + fold),
                    (right + 1, bottom + 1), (left, bottom + 1)], PAPER)
    canvas.line(left, top, right - fold, top, EDGE)
    canvas.line(right - fold, top, right, top + fold, EDGE)
    canvas.line(right, top + fold, right, bottom, EDGE)
    canvas.line(left, bottom, right, bottom, EDGE)
    canvas.line(left, top, left, bottom, EDGE)
    canvas.line(right - fold, top, right - fold, top + fold, EDGE)
    canvas.line(right - fold, top + fold, right, top + fold, EDGE)
    if lines:
        for y in range(top + fold + 2, bottom - 1, 3):
            canvas.line(left + 2, y, right - 2, y, INK)


def _shrink(points):
    """The polygon pulled one pixel towards its centre."""
    cx = sum(x for x, _ in points) / len(points)
    cy = sum(y for _, y in points) / len(points)
    return [(x + (1 if x < cx else -1 if x > cx else 0),
             y + (1 if y < cy else -1 if y > cy else 0)) for x, y in points]


def arrow_right(canvas, left, top, length, thickness, colour, outline):
    mid = top + thickness
    head = thickness * 2
    shaft_end = left + length - head
    points = [(left, mid - thickness // 2), (shaft_end, mid - thickness // 2),
              (shaft_end, top), (left + length, mid), (shaft_end, top + 2 * thickness),
              (shaft_end, mid + thickness - thickness // 2), (left, mid + thickness - thickness // 2)]
    canvas.polygon(points, outline)
    canvas.polygon(_shrink(points), colour)


def window_icon(scale):
    canvas = Canvas(16, 16, scale)
    page(canvas, 1, 0, 10, 13)
    canvas.disc(11.5, 11.5, 4.5, GOLD)
    canvas.line(10, 9, 11, 8, DARK_WOOD)   # a "1" on the badge
    canvas.line(11, 8, 11, 14, DARK_WOOD)
    canvas.line(10, 14, 12, 14, DARK_WOOD)
    return canvas


def rename_picture(scale):
    canvas = Canvas(61, 55, scale)
    page(canvas, 2, 12, 20, 26)
    page(canvas, 6, 16, 20, 26)
    page(canvas, 10, 20, 20, 26)
    arrow_right(canvas, 32, 24, 14, 5, GREEN, DARK_GREEN)
    page(canvas, 46, 18, 13, 17, lines=False)
    for step, y in enumerate((22, 26, 30)):   # numbered names: 1 2 3
        canvas.fill(48, y, 50, y + 1, INK)
        canvas.fill(52, y, 52 + step, y + 1, GOLD)
    return canvas


def clear_picture(scale):
    canvas = Canvas(20, 26, scale)
    canvas.fill(7, 1, 12, 2, GREY)            # handle
    canvas.fill(1, 3, 18, 5, GREY)            # lid
    canvas.frame(1, 3, 18, 5, EDGE)
    canvas.polygon([(3, 6), (17, 6), (16, 25), (4, 25)], LIGHT_GREY)
    canvas.line(3, 6, 4, 25, EDGE)
    canvas.line(16, 6, 15, 25, EDGE)
    canvas.line(4, 25, 15, 25, EDGE)
    for x in (7, 10, 13):
        canvas.line(x, 9, x, 22, GREY)
    return canvas


def exit_picture(scale):
    canvas = Canvas(32, 31, scale)
    canvas.fill(2, 1, 17, 29, DARK_WOOD)      # door frame
    canvas.polygon([(4, 3), (14, 6), (14, 30), (4, 28)], WOOD)  # open door
    canvas.disc(12, 17, 1.2, GOLD)
    arrow_right(canvas, 15, 10, 16, 5, RED, (130, 20, 20))
    return canvas


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    pictures = {
        "pelloquin": window_icon,
        "rename_all": rename_picture,
        "clear_list": clear_picture,
        "exit": exit_picture,
    }
    # name.png for ordinary screens, name@2x.png for twice their density;
    # Qt picks the one that fits the screen.
    for name, draw in pictures.items():
        draw(1).save(os.path.join(here, name + ".png"))
        draw(2).save(os.path.join(here, name + "@2x.png"))
    # Explorer shows 16, 32 or 48 pixels, by view and scale.
    save_icon(os.path.join(here, "pelloquin.ico"),
              [window_icon(1), window_icon(2), window_icon(3)])


if __name__ == "__main__":
    main()
