#!/usr/bin/env python3
"""Writes the sample drawings in samples/ as an exporting program would: plot
files in plotter units (1/40 mm) with pen-up and pen-down commands, and the sign
as an Inkscape drawing."""
import math
import os

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "..", "samples")

# Block letters on a 4 x 7 grid: outer outlines and holes, as closed polygons.
LETTERS = {
    "H": [[(0, 0), (1, 0), (1, 3), (3, 3), (3, 0), (4, 0), (4, 7), (3, 7), (3, 4), (1, 4), (1, 7), (0, 7)]],
    "A": [[(0, 0), (1, 0), (1.4, 2), (2.6, 2), (3, 0), (4, 0), (2.5, 7), (1.5, 7)],
          [(1.6, 3), (2.4, 3), (2, 5)]],
    "R": [[(0, 0), (1, 0), (1, 3), (1.8, 3), (3, 0), (4.1, 0), (2.8, 3.2), (3.6, 3.7), (4, 5),
           (3.6, 6.4), (2.8, 7), (0, 7)],
          [(1, 4), (2.6, 4), (3, 5), (2.6, 6), (1, 6)]],
    "V": [[(1.5, 0), (2.5, 0), (4, 7), (3, 7), (2, 1.5), (1, 7), (0, 7)]],
    "E": [[(0, 0), (4, 0), (4, 1), (1, 1), (1, 3), (3, 3), (3, 4), (1, 4), (1, 6), (4, 6), (4, 7), (0, 7)]],
    "L": [[(0, 0), (4, 0), (4, 1), (1, 1), (1, 7), (0, 7)]],
}


def closed(points):
    return list(points) + [points[0]]


def rounded_rectangle(x0, y0, x1, y1, r, steps=8):
    corners = [(x1 - r, y0 + r, -90), (x1 - r, y1 - r, 0), (x0 + r, y1 - r, 90), (x0 + r, y0 + r, 180)]
    points = []
    for cx, cy, start in corners:
        for i in range(steps + 1):
            a = math.radians(start + 90 * i / steps)
            points.append((cx + r * math.cos(a), cy + r * math.sin(a)))
    return points


def star(cx, cy, outer, inner, tips, turn=90):
    points = []
    for i in range(tips * 2):
        r = outer if i % 2 == 0 else inner
        a = math.radians(turn + 180 * i / tips)
        points.append((cx + r * math.cos(a), cy + r * math.sin(a)))
    return points


def plot_file(contours, separator=""):
    commands = ["IN", "SP1"]
    for contour in contours:
        pts = [(round(x), round(y)) for x, y in contour]
        commands.append("PU%d,%d" % pts[0])
        commands.extend("PD%d,%d" % p for p in pts[1:])
    commands.append("PU0,0")
    return separator.join(c + ";" for c in commands)


def sign_contours(mm):
    # 200 x 60 mm plate with a rounded border and the word HARVEL in 30 mm letters.
    contours = [closed(rounded_rectangle(0, 0, 200 * mm, 60 * mm, 8 * mm))]
    scale = 30 * mm / 7
    x = 17 * mm
    for letter in "HARVEL":
        for outline in LETTERS[letter]:
            contours.append(closed([(x + px * scale, 15 * mm + py * scale) for px, py in outline]))
        x += 5.4 * scale
    return contours


def sign():
    return plot_file(sign_contours(40), "\r\n")


def sign_svg():
    # The same sign as Inkscape draws it: millimetres, y downwards, one path per contour.
    paths = "".join(
        '  <path fill="none" stroke="#000" stroke-width="0.1" d="M %s Z"/>\n'
        % " L ".join("%.3f,%.3f" % (x, 70 - y) for x, y in contour[:-1])
        for contour in sign_contours(1))
    return ('<?xml version="1.0" encoding="UTF-8"?>\n'
            '<svg xmlns="http://www.w3.org/2000/svg" width="220mm" height="80mm" '
            'viewBox="-10 0 220 80">\n' + paths + "</svg>\n")


def nested():
    # Squares, triangles and stars inside each other: many sharp corners.
    mm = 40
    cx = cy = 60 * mm
    contours = []
    for i in range(5):
        h = (55 - 10 * i) * mm
        contours.append(closed([(cx - h, cy - h), (cx + h, cy - h), (cx + h, cy + h), (cx - h, cy + h)]))
    for i in range(3):
        r = (12 - 3 * i) * mm
        contours.append(closed([(cx + r * math.cos(math.radians(90 + 120 * k)),
                                 cy + r * math.sin(math.radians(90 + 120 * k))) for k in range(3)]))
    contours.append(closed(star(cx, cy, 40 * mm, 16 * mm, 5)))
    contours.append(closed(star(cx, cy, 46 * mm, 40 * mm, 12, 0)))
    # An open zigzag, which is cut without overcut.
    contours.append([(10 * mm + 10 * mm * k, 2 * mm + (4 * mm if k % 2 else 0)) for k in range(11)])
    return plot_file(contours)


def main():
    os.makedirs(OUT, exist_ok=True)
    with open(os.path.join(OUT, "sign.plt"), "w", newline="") as f:
        f.write(sign())
    with open(os.path.join(OUT, "sign.svg"), "w", newline="") as f:
        f.write(sign_svg())
    with open(os.path.join(OUT, "nested.plt"), "w", newline="") as f:
        f.write(nested())


if __name__ == "__main__":
    main()
