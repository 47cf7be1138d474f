#!/usr/bin/env python3
"""Draws OTDR's toolbar icons (22 x 22) and program icon (32 x 32, 48 x 48) as PNG files.

Standard library only, so the icons can be redrawn on any machine: each icon is drawn with a few vector
primitives at 8 times its size and reduced by averaging, which smooths the edges.
Run: python3 make_icons.py [output folder]   (default: the folder of this script)
"""
import math
import os
import struct
import sys
import zlib

SS = 8  # samples per pixel in each direction

INK = (31, 42, 68)  # outlines and arrows
RED = (210, 30, 30)  # the active cursor, as the trace view draws it
PURPLE = (128, 0, 128)  # the inactive cursor
TRACE = (20, 60, 220)  # the trace
PAPER = (255, 255, 255)
SCREEN = (255, 255, 210)  # the trace view's light yellow
GREEN = (30, 140, 60)


class Canvas:
    def __init__(self, size):
        self.size = size
        self.n = size * SS
        self.px = [[0.0, 0.0, 0.0, 0.0] for _ in range(self.n * self.n)]  # RGBA, 0..1; samples are opaque or empty

    def _paint(self, color, covered):
        rgba = [c / 255.0 for c in color] + [1.0]
        for i in covered:
            self.px[i] = list(rgba)

    def _samples(self, x0, y0, x1, y1):
        lo_x = max(0, int(x0 * SS) - 1)
        hi_x = min(self.n, int(x1 * SS) + 2)
        lo_y = max(0, int(y0 * SS) - 1)
        hi_y = min(self.n, int(y1 * SS) + 2)
        for sy in range(lo_y, hi_y):
            y = (sy + 0.5) / SS
            for sx in range(lo_x, hi_x):
                yield sy * self.n + sx, (sx + 0.5) / SS, y

    def polygon(self, points, color):
        """Fills a polygon (even-odd rule); coordinates in pixels of the final icon."""
        covered = []
        ys = [p[1] for p in points]
        lo = max(0, int(min(ys) * SS) - 1)
        hi = min(self.n, int(max(ys) * SS) + 2)
        edges = list(zip(points, points[1:] + points[:1]))
        for sy in range(lo, hi):
            y = (sy + 0.5) / SS
            xs = []
            for (xa, ya), (xb, yb) in edges:
                if (ya <= y < yb) or (yb <= y < ya):
                    xs.append(xa + (y - ya) * (xb - xa) / (yb - ya))
            xs.sort()
            for a, b in zip(xs[0::2], xs[1::2]):
                first = max(0, math.ceil(a * SS - 0.5))
                last = min(self.n - 1, math.floor(b * SS - 0.5))
                covered.extend(sy * self.n + sx for sx in range(first, last + 1))
        self._paint(color, covered)

    def rect(self, x0, y0, x1, y1, color):
        self.polygon([(x0, y0), (x1, y0), (x1, y1), (x0, y1)], color)

    def frame(self, x0, y0, x1, y1, color, width=1.0):
        """A rectangle outline whose stroke lies inside (x0, y0)-(x1, y1)."""
        w = width
        self.rect(x0, y0, x1, y0 + w, color)
        self.rect(x0, y1 - w, x1, y1, color)
        self.rect(x0, y0 + w, x0 + w, y1 - w, color)
        self.rect(x1 - w, y0 + w, x1, y1 - w, color)

    def ring(self, cx, cy, r_out, r_in, color, start=None, sweep=None):
        """A disc (r_in 0) or ring, optionally only the arc from `start` over `sweep` degrees (clockwise
        on screen, 0 pointing right)."""
        covered = []
        for i, x, y in self._samples(cx - r_out, cy - r_out, cx + r_out, cy + r_out):
            d = math.hypot(x - cx, y - cy)
            if not (r_in <= d <= r_out):
                continue
            if start is not None:
                a = (math.degrees(math.atan2(y - cy, x - cx)) - start) % 360.0
                if a > sweep:
                    continue
            covered.append(i)
        self._paint(color, covered)

    def line(self, points, color, width=1.0, round_joins=True):
        """A polyline of the given width; round joins and caps unless asked otherwise."""
        h = width / 2.0
        for (xa, ya), (xb, yb) in zip(points, points[1:]):
            length = math.hypot(xb - xa, yb - ya)
            if length == 0:
                continue
            nx, ny = -(yb - ya) / length * h, (xb - xa) / length * h
            self.polygon([(xa + nx, ya + ny), (xb + nx, yb + ny), (xb - nx, yb - ny), (xa - nx, ya - ny)], color)
        if round_joins:
            for x, y in points:
                self.ring(x, y, h, 0.0, color)

    def arrow_head(self, tip, direction, color, length=4.0, half_width=3.0):
        """A filled triangle pointing along `direction` (dx, dy) with its point at `tip`."""
        dx, dy = direction
        d = math.hypot(dx, dy)
        dx, dy = dx / d, dy / d
        bx, by = tip[0] - dx * length, tip[1] - dy * length
        self.polygon([tip, (bx - dy * half_width, by + dx * half_width), (bx + dy * half_width, by - dx * half_width)],
                     color)

    def arrow(self, start, end, color, width=1.6, head=4.0, half_width=3.0, both=False):
        dx, dy = end[0] - start[0], end[1] - start[1]
        d = math.hypot(dx, dy)
        ux, uy = dx / d, dy / d
        a = (start[0] + ux * head * 0.8, start[1] + uy * head * 0.8) if both else start
        b = (end[0] - ux * head * 0.8, end[1] - uy * head * 0.8)
        self.line([a, b], color, width, round_joins=False)
        self.arrow_head(end, (dx, dy), color, head, half_width)
        if both:
            self.arrow_head(start, (-dx, -dy), color, head, half_width)

    def png(self, path):
        rows = []
        area = SS * SS
        for y in range(self.size):
            row = bytearray([0])
            for x in range(self.size):
                acc = [0.0, 0.0, 0.0, 0.0]
                for sy in range(y * SS, (y + 1) * SS):
                    base = sy * self.n + x * SS
                    for p in self.px[base:base + SS]:
                        acc[0] += p[0]
                        acc[1] += p[1]
                        acc[2] += p[2]
                        acc[3] += p[3]
                a = acc[3] / area
                if a <= 0.0:
                    row += bytes(4)
                    continue
                row += bytes([min(255, round(acc[0] / acc[3] * 255)), min(255, round(acc[1] / acc[3] * 255)),
                              min(255, round(acc[2] / acc[3] * 255)), min(255, round(a * 255))])
            rows.append(bytes(row))

        def chunk(kind, data):
            body = kind + data
            return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

        header = struct.pack(">IIBBBBB", self.size, self.size, 8, 6, 0, 0, 0)
        with open(path, "wb") as f:
            f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(b"".join(rows), 9)) +
                    chunk(b"IEND", b""))


# A short OTDR trace in a 22-pixel box: the launch reflection, the fibre's slope, a splice step, a connector
# reflection and the noise after the end. Scaled and moved by `trace_points`.
TRACE_SHAPE = [(0, 2), (1, 1), (2, 7), (7, 9), (8, 11), (11, 12.2), (12, 9), (13, 13.5), (15, 14.2), (16, 18),
               (17, 17.2), (18, 18.4), (19, 17.6), (20, 18.6)]


def trace_points(x0, y0, sx, sy):
    return [(x0 + x * sx, y0 + y * sy) for x, y in TRACE_SHAPE]


def icon_open(c):
    # A folder, its front flap open, with a sheet showing a trace.
    c.polygon([(2, 5), (8, 5), (10, 7), (19, 7), (19, 18), (2, 18)], (214, 160, 50))
    c.line([(2, 5), (8, 5), (10, 7), (19, 7), (19, 18), (2, 18), (2, 5)], INK, 1.0)
    c.rect(5, 3, 17, 14, PAPER)
    c.frame(5, 3, 17, 14, INK, 0.8)
    c.line([(6.5, 5), (7.5, 8), (10, 9), (11, 7), (12, 10.5), (15.5, 11.5)], TRACE, 1.1)
    c.polygon([(4.5, 10), (21, 10), (18.5, 18.5), (2, 18.5)], (244, 200, 90))
    c.line([(4.5, 10), (21, 10), (18.5, 18.5), (2, 18.5), (4.5, 10)], INK, 1.0)


def icon_print(c):
    # A printer with a report sheet coming out in front.
    c.rect(6, 2, 16, 9, PAPER)
    c.frame(6, 2, 16, 9, INK, 0.9)
    c.polygon([(2.5, 8), (19.5, 8), (19.5, 16), (2.5, 16)], (150, 160, 178))
    c.line([(2.5, 8), (19.5, 8), (19.5, 16), (2.5, 16), (2.5, 8)], INK, 1.0)
    c.rect(16.5, 10, 18, 11.5, GREEN)
    c.rect(5, 13, 17, 21, PAPER)
    c.frame(5, 13, 17, 21, INK, 0.9)
    c.line([(6.5, 15.5), (8, 17.5), (11, 18), (12, 16.5), (13, 19), (15.5, 19.5)], TRACE, 1.0)


def cursor_line(c, x, color, top=2.0, bottom=20.0, width=1.6):
    c.line([(x, bottom), (x, top + 3)], color, width, round_joins=False)
    c.polygon([(x - 3, top), (x + 3, top), (x, top + 4)], color)


def icon_cursor_shift(c, direction):
    # The active (red) cursor with an arrow beside it showing which way it moves.
    x = 11 + 4 * -direction
    cursor_line(c, x, RED)
    start = x + direction * 2.5
    c.arrow((start, 12), (start + direction * 9.5, 12), INK, width=2.0, head=5, half_width=3.6)


def icon_change_mark(c):
    # The red (active) and purple cursors with the marker jumping between them.
    cursor_line(c, 4.5, RED)
    cursor_line(c, 17.5, PURPLE)
    c.ring(11, 15, 6.8, 5.0, INK, start=200, sweep=140)
    c.arrow_head((17.2, 11.6), (0.35, 1), INK, 4.0, 2.8)
    c.arrow((15, 19.5), (7, 19.5), INK, width=1.6, head=3.6, half_width=2.6)


def icon_curve_shift(c, direction):
    # The trace with a bold arrow: up or down.
    c.line(trace_points(1, 2.5 + (3 if direction > 0 else -1), 0.62, 0.72), TRACE, 1.4)
    top, bottom = 1.5, 20.5
    start, end = (bottom, top) if direction < 0 else (top, bottom)
    c.arrow((17, start), (17, end), GREEN, width=2.6, head=6, half_width=4.2)


def magnifier(c, sign):
    c.ring(8, 8, 6.2, 4.6, INK)
    c.ring(8, 8, 4.6, 0, (210, 230, 250))
    c.line([(12.4, 12.4), (15, 15)], INK, 2.6)
    c.line([(5.2, 8), (10.8, 8)], INK, 1.6, round_joins=False)
    if sign > 0:
        c.line([(8, 5.2), (8, 10.8)], INK, 1.6, round_joins=False)


def icon_zoom(c, sign, horizontal):
    # A magnifier (+ or -) and a double arrow along the axis it acts on: outward to zoom in, inward out.
    magnifier(c, sign)
    if horizontal:
        if sign > 0:
            c.arrow((2, 19.5), (20.5, 19.5), RED, width=1.6, head=3.8, half_width=2.6, both=True)
        else:
            c.arrow((1.5, 19.5), (9.5, 19.5), RED, width=1.6, head=3.8, half_width=2.6)
            c.arrow((20.5, 19.5), (12.5, 19.5), RED, width=1.6, head=3.8, half_width=2.6)
    else:
        if sign > 0:
            c.arrow((19.5, 1.5), (19.5, 20.5), RED, width=1.6, head=3.8, half_width=2.6, both=True)
        else:
            c.arrow((19.5, 1.5), (19.5, 9.5), RED, width=1.6, head=3.8, half_width=2.6)
            c.arrow((19.5, 20.5), (19.5, 12.5), RED, width=1.6, head=3.8, half_width=2.6)


def icon_restore(c):
    # The whole trace in a frame, with a turning arrow: back to the full view.
    c.rect(2, 4, 20, 20, SCREEN)
    c.frame(2, 4, 20, 20, INK, 1.0)
    c.line(trace_points(3.2, 6, 0.78, 0.62), TRACE, 1.2)
    c.ring(15.5, 6.5, 5.2, 3.6, GREEN, start=140, sweep=250)
    c.arrow_head((10.4, 3.3), (-0.2, 1), GREEN, 4.2, 3.2)


def icon_average_loss(c):
    # Cursors A (red) and B (purple) on a straight stretch of fibre: the loss per kilometre between them.
    c.rect(1, 1, 21, 21, SCREEN)
    c.frame(1, 1, 21, 21, INK, 1.0)
    c.line([(2, 6), (20, 16)], TRACE, 1.5)
    c.line([(6, 20), (6, 3)], RED, 1.6, round_joins=False)
    c.line([(16, 20), (16, 3)], PURPLE, 1.6, round_joins=False)


def icon_joint_loss(c):
    # Cursors a, A, B, b around a splice step: the joint loss.
    c.rect(1, 1, 21, 21, SCREEN)
    c.frame(1, 1, 21, 21, INK, 1.0)
    c.line([(2, 5), (10.5, 8.5), (11.5, 13.5), (20, 17)], TRACE, 1.5)
    for x, color in ((4, PURPLE), (9, RED), (13, PURPLE), (18, PURPLE)):
        c.line([(x, 20), (x, 2.5)], color, 1.2, round_joins=False)


def icon_program(c, size):
    # The instrument's screen: the light-yellow plot with its grid, the trace and the red cursor.
    k = size / 48.0
    c.polygon([(2 * k, 4 * k), (46 * k, 4 * k), (46 * k, 44 * k), (2 * k, 44 * k)], (48, 58, 84))
    c.rect(5 * k, 7 * k, 43 * k, 37 * k, SCREEN)
    for i in range(1, 4):
        c.line([(5 * k + i * 9.5 * k, 7 * k), (5 * k + i * 9.5 * k, 37 * k)], (180, 180, 160), max(0.8, k * 0.8),
               round_joins=False)
    c.line(trace_points(6 * k, 8 * k, 1.8 * k, 1.45 * k), TRACE, max(1.3, 1.8 * k))
    c.line([(30 * k, 37 * k), (30 * k, 8 * k)], RED, max(1.2, 1.5 * k), round_joins=False)
    for i, color in enumerate(((230, 70, 60), (240, 200, 60), (90, 190, 90))):
        c.ring((10 + i * 7) * k, 40.5 * k, 1.6 * k, 0, color)
    c.rect(34 * k, 39.5 * k, 42 * k, 41.5 * k, (150, 160, 178))


ICONS = {
    "open.png": icon_open,
    "print.png": icon_print,
    "cursor-left.png": lambda c: icon_cursor_shift(c, -1),
    "cursor-right.png": lambda c: icon_cursor_shift(c, +1),
    "change-mark.png": icon_change_mark,
    "curve-up.png": lambda c: icon_curve_shift(c, -1),
    "curve-down.png": lambda c: icon_curve_shift(c, +1),
    "zoom-in-h.png": lambda c: icon_zoom(c, +1, True),
    "zoom-out-h.png": lambda c: icon_zoom(c, -1, True),
    "zoom-in-v.png": lambda c: icon_zoom(c, +1, False),
    "zoom-out-v.png": lambda c: icon_zoom(c, -1, False),
    "restore.png": icon_restore,
    "test-average-loss.png": icon_average_loss,
    "test-joint-loss.png": icon_joint_loss,
}


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    for name, draw in ICONS.items():
        canvas = Canvas(22)
        draw(canvas)
        canvas.png(os.path.join(out, name))
    for size, name in ((48, "otdr.png"), (32, "otdr-32.png")):
        canvas = Canvas(size)
        icon_program(canvas, size)
        canvas.png(os.path.join(out, name))


if __name__ == "__main__":
    main()
