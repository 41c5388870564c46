#!/usr/bin/env python3
"""Finds the viewer's windows in a screenshot by their outline: every skinned
window is framed by one pixel of the skin's outline colour on all four sides,
a colour the compositor's background and pointer never show.

  frames.py SHOT                the window all outline pixels lie in: X Y W H, when
                                the bounding box of those pixels is framed in the
                                colour (nothing otherwise: no window, or one cut
                                off by the screen's edge)
  frames.py SHOT W H            X Y of every W x H rectangle framed in the colour

SHOT is a binary PPM (as `import ppm:FILE` writes it) or any picture ImageMagick
reads.
"""
import subprocess
import sys

OUTLINE = bytes((49, 48, 41))


def load(path):
    with open(path, "rb") as f:
        ppm = f.read()
    if not ppm.startswith(b"P6"):
        ppm = subprocess.run(["convert", path, "-depth", "8", "ppm:-"], check=True,
                             stdout=subprocess.PIPE).stdout
    # P6 header: magic, width, height, maximum, each followed by one blank.
    fields, pos = [], 0
    while len(fields) < 4:
        while ppm[pos:pos + 1].isspace():
            pos += 1
        end = pos
        while not ppm[end:end + 1].isspace():
            end += 1
        fields.append(ppm[pos:end])
        pos = end
    width, height = int(fields[1]), int(fields[2])
    return width, height, ppm[pos + 1:]


def main():
    width, height, rgb = load(sys.argv[1])

    def outline(x, y):
        i = 3 * (y * width + x)
        return rgb[i:i + 3] == OUTLINE

    points = []
    at = rgb.find(OUTLINE)
    while at >= 0:
        if at % 3 == 0:
            points.append(((at // 3) % width, (at // 3) // width))
        at = rgb.find(OUTLINE, at + 1)
    # Each edge of a frame is the outline colour but where the pointer covers
    # it: nine pixels in ten will do.
    def framed(x, y, w, h):
        right, bottom = x + w - 1, y + h - 1
        if outline(right, y) + outline(x, bottom) + outline(right, bottom) < 2:
            return False  # a quick no for most points
        edges = ([(i, y) for i in range(x, right + 1)], [(i, bottom) for i in range(x, right + 1)],
                 [(x, j) for j in range(y, bottom + 1)], [(right, j) for j in range(y, bottom + 1)])
        return all(10 * sum(outline(*p) for p in edge) >= 9 * len(edge) for edge in edges)

    if len(sys.argv) == 2:
        if points:
            xs = [x for x, _ in points]
            ys = [y for _, y in points]
            box = (min(xs), min(ys), max(xs) - min(xs) + 1, max(ys) - min(ys) + 1)
            if framed(*box):
                print(*box)
        return
    w, h = int(sys.argv[2]), int(sys.argv[3])
    for x, y in points:
        if x + w <= width and y + h <= height and framed(x, y, w, h):
            print(x, y)


if __name__ == "__main__":
    main()
