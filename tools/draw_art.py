#!/usr/bin/env python3
"""Draws every picture of Pelloran Plus and writes it into app/resources/.

Usage: python3 tools/draw_art.py [RESOURCE_FOLDER]

The pictures are drawn from shapes with 4x4 supersampling, reduced to their palettes and
written by the BMP, ICO and PNG encoders below. The output is the same, byte for byte, on every
run. Without an argument the files go to app/resources/ beside this script's folder.
"""

import math
import os
import struct
import sys
import zlib

SAMPLES = 4  # supersampling grid per pixel side


# ---------------------------------------------------------------- shapes


class Shape:
    """A region of the plane: inside(x, y) and a bounding box (x0, y0, x1, y1).

    Shapes that the scalable icon uses also give their outline: outline(place) is a list of
    SVG path data, each point first moved by place.
    """

    def __init__(self, inside, bbox, outline=None):
        self.inside = inside
        self.bbox = bbox
        self.outline = outline

    def __or__(self, other):
        a, b = self.bbox, other.bbox
        outline = None
        if self.outline and other.outline:
            outline = lambda place: self.outline(place) + other.outline(place)
        return Shape(lambda x, y: self.inside(x, y) or other.inside(x, y),
                     (min(a[0], b[0]), min(a[1], b[1]), max(a[2], b[2]), max(a[3], b[3])),
                     outline)

    def __and__(self, other):
        a, b = self.bbox, other.bbox
        return Shape(lambda x, y: self.inside(x, y) and other.inside(x, y),
                     (max(a[0], b[0]), max(a[1], b[1]), min(a[2], b[2]), min(a[3], b[3])))

    def __sub__(self, other):
        return Shape(lambda x, y: self.inside(x, y) and not other.inside(x, y), self.bbox)


def union(shapes):
    result = shapes[0]
    for shape in shapes[1:]:
        result = result | shape
    return result


def svg_point(point):
    return "%.3f,%.3f" % point


def polygon_outline(points):
    return lambda place: ["M" + " L".join(svg_point(place(p)) for p in points) + " Z"]


def rect(x0, y0, x1, y1):
    return Shape(lambda x, y: x0 <= x < x1 and y0 <= y < y1, (x0, y0, x1, y1),
                 polygon_outline([(x0, y0), (x1, y0), (x1, y1), (x0, y1)]))


def ellipse(cx, cy, rx, ry):
    return Shape(lambda x, y: ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1.0,
                 (cx - rx, cy - ry, cx + rx, cy + ry))


def circle(cx, cy, r):
    return ellipse(cx, cy, r, r)


def ring(cx, cy, outer, inner):
    return circle(cx, cy, outer) - circle(cx, cy, inner)


def polygon(points):
    xs = [p[0] for p in points]
    ys = [p[1] for p in points]

    def inside(x, y):
        result = False
        j = len(points) - 1
        for i in range(len(points)):
            xi, yi = points[i]
            xj, yj = points[j]
            if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                result = not result
            j = i
        return result

    return Shape(inside, (min(xs), min(ys), max(xs), max(ys)), polygon_outline(points))


def segment(p, q, width):
    """A stroke from p to q with round caps."""
    (px, py), (qx, qy) = p, q
    dx, dy = qx - px, qy - py
    length2 = dx * dx + dy * dy or 1e-9
    h = width / 2.0

    def inside(x, y):
        t = max(0.0, min(1.0, ((x - px) * dx + (y - py) * dy) / length2))
        ex, ey = x - (px + t * dx), y - (py + t * dy)
        return ex * ex + ey * ey <= h * h

    # Two sides and two half circles.
    length = math.sqrt(length2)
    nx, ny = -dy / length * h, dx / length * h

    def outline(place):
        ends = [place(point) for point in
                ((px + nx, py + ny), (qx + nx, qy + ny), (qx - nx, qy - ny), (px - nx, py - ny))]
        return ["M%s L%s A%.3f,%.3f 0 0 0 %s L%s A%.3f,%.3f 0 0 0 %s Z"
                % (svg_point(ends[0]), svg_point(ends[1]), h, h, svg_point(ends[2]),
                   svg_point(ends[3]), h, h, svg_point(ends[0]))]

    return Shape(inside, (min(px, qx) - h, min(py, qy) - h, max(px, qx) + h, max(py, qy) + h),
                 outline)


def polyline(points, width):
    return union([segment(points[i], points[i + 1], width) for i in range(len(points) - 1)])


def bezier(p0, p1, p2, p3, steps=24):
    points = []
    for i in range(steps + 1):
        t = i / steps
        weights = ((1 - t) ** 3, 3 * (1 - t) ** 2 * t, 3 * (1 - t) * t * t, t ** 3)
        points.append(tuple(sum(w * p[k] for w, p in zip(weights, (p0, p1, p2, p3)))
                            for k in range(2)))
    return points


def tapered(points, start_width, end_width):
    """A stroke along points whose width changes evenly from start to end."""
    count = len(points) - 1
    return union([segment(points[i], points[i + 1],
                          start_width + (end_width - start_width) * (i + 0.5) / count)
                  for i in range(count)])


def arc(cx, cy, r, width, start_deg, end_deg):
    """A round-capped stroke along a circle, angles in degrees, y pointing down."""
    steps = max(4, int(abs(end_deg - start_deg) / 6))
    points = []
    for i in range(steps + 1):
        a = math.radians(start_deg + (end_deg - start_deg) * i / steps)
        points.append((cx + r * math.cos(a), cy + r * math.sin(a)))
    return polyline(points, width)


def rotated(shape, degrees, cx, cy):
    """The shape turned by degrees (clockwise on screen) about (cx, cy)."""
    c, s = math.cos(math.radians(degrees)), math.sin(math.radians(degrees))

    def inside(x, y):
        dx, dy = x - cx, y - cy
        return shape.inside(cx + c * dx + s * dy, cy - s * dx + c * dy)

    def turn(point):
        x, y = point
        return cx + c * (x - cx) - s * (y - cy), cy + s * (x - cx) + c * (y - cy)

    outline = None
    if shape.outline:
        outline = lambda place: shape.outline(lambda point: place(turn(point)))
    x0, y0, x1, y1 = shape.bbox
    corners = [turn(p) for p in ((x0, y0), (x1, y0), (x0, y1), (x1, y1))]
    return Shape(inside, (min(p[0] for p in corners), min(p[1] for p in corners),
                          max(p[0] for p in corners), max(p[1] for p in corners)), outline)


def scaled(shape, factor):
    """The shape made factor times as large, about the origin."""
    x0, y0, x1, y1 = shape.bbox
    return Shape(lambda x, y: shape.inside(x / factor, y / factor),
                 (x0 * factor, y0 * factor, x1 * factor, y1 * factor))


def shrink_polygon(points, amount):
    """Moves each vertex of a convex polygon towards its centroid by amount pixels."""
    cx = sum(p[0] for p in points) / len(points)
    cy = sum(p[1] for p in points) / len(points)
    result = []
    for x, y in points:
        d = math.hypot(x - cx, y - cy)
        result.append((x + (cx - x) * amount / d, y + (cy - y) * amount / d))
    return result


# ---------------------------------------------------------------- colours


def mix(a, b, t):
    t = max(0.0, min(1.0, t))
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


class Linear:
    """A colour that runs from a at (x0, y0) to b at (x1, y1), and stays beyond them."""

    def __init__(self, a, b, x0, y0, x1, y1):
        self.a, self.b, self.ends = a, b, (x0, y0, x1, y1)

    def __call__(self, x, y):
        x0, y0, x1, y1 = self.ends
        dx, dy = x1 - x0, y1 - y0
        return mix(self.a, self.b, ((x - x0) * dx + (y - y0) * dy) / (dx * dx + dy * dy))



def radial(a, b, cx, cy, r):
    return lambda x, y: mix(a, b, math.hypot(x - cx, y - cy) / r)


# ---------------------------------------------------------------- canvas


class Canvas:
    """Premultiplied RGBA pixels (0..255 colour, 0..1 alpha), row 0 at the top.

    A picture drawn for one size is painted at another by a scale: each shape and colour
    is made that many times as large.
    """

    def __init__(self, width, height, ground=None, scale=1.0):
        self.width, self.height, self.scale = width, height, scale
        start = (ground[0], ground[1], ground[2], 1.0) if ground else (0.0, 0.0, 0.0, 0.0)
        self.pixels = [[start] * width for _ in range(height)]

    def paint(self, shape, colour, opacity=1.0):
        colour_at = colour if callable(colour) else (lambda x, y: colour)
        if self.scale != 1.0:
            k, unscaled = self.scale, colour_at
            shape, colour_at = scaled(shape, k), lambda x, y: unscaled(x / k, y / k)
        x0, y0, x1, y1 = shape.bbox
        offsets = [(k + 0.5) / SAMPLES for k in range(SAMPLES)]
        total = SAMPLES * SAMPLES
        for j in range(max(0, int(math.floor(y0))), min(self.height, int(math.ceil(y1)) + 1)):
            row = self.pixels[j]
            for i in range(max(0, int(math.floor(x0))), min(self.width, int(math.ceil(x1)) + 1)):
                hits = 0
                for oy in offsets:
                    for ox in offsets:
                        if shape.inside(i + ox, j + oy):
                            hits += 1
                if hits == 0:
                    continue
                a = opacity * hits / total
                r, g, b = colour_at(i + 0.5, j + 0.5)
                pr, pg, pb, pa = row[i]
                row[i] = (r * a + pr * (1 - a), g * a + pg * (1 - a), b * a + pb * (1 - a),
                          a + pa * (1 - a))

    def flatten(self, matte, threshold=0.35):
        """Rows of opaque colours, None where too little is drawn to show.

        Edge pixels are mixed with matte, the colour the picture is expected to stand on.
        """
        rows = []
        for row in self.pixels:
            out = []
            for r, g, b, a in row:
                if a < threshold:
                    out.append(None)
                else:
                    out.append(tuple(int(round(min(255.0, max(0.0, c + m * (1 - a)))))
                                     for c, m in zip((r, g, b), matte)))
            rows.append(out)
        return rows

    def straight_rows(self):
        """Rows of (r, g, b, a) bytes, the colour no longer multiplied by its alpha."""
        return [[(0, 0, 0, 0) if a == 0 else
                 tuple(int(round(min(255.0, c / a))) for c in (r, g, b)) + (int(round(a * 255)),)
                 for r, g, b, a in row] for row in self.pixels]


class SvgCanvas:
    """The same paint calls written as SVG: each shape its outline, each colour a fill."""

    def __init__(self, size):
        self.size = size
        self.gradients = []
        self.body = []

    def paint(self, shape, colour, opacity=1.0):
        if isinstance(colour, Linear):
            self.gradients.append(colour)
            fill = "url(#g%d)" % len(self.gradients)
        else:
            fill = "#%02x%02x%02x" % colour
        paths = "".join('<path d="%s"/>' % d for d in shape.outline(lambda point: point))
        shown = "" if opacity == 1.0 else ' opacity="%g"' % opacity
        self.body.append('<g fill="%s"%s>%s</g>' % (fill, shown, paths))

    def document(self):
        stops = []
        for number, g in enumerate(self.gradients, start=1):
            stops.append('<linearGradient id="g%d" gradientUnits="userSpaceOnUse" x1="%g" y1="%g" '
                         'x2="%g" y2="%g"><stop offset="0" stop-color="#%02x%02x%02x"/>'
                         '<stop offset="1" stop-color="#%02x%02x%02x"/></linearGradient>'
                         % ((number,) + g.ends + g.a + g.b))
        return ('<?xml version="1.0" encoding="UTF-8"?>\n'
                '<svg xmlns="http://www.w3.org/2000/svg" width="%d" height="%d" '
                'viewBox="0 0 %d %d">\n<defs>%s</defs>\n%s\n</svg>\n'
                % (self.size, self.size, self.size, self.size, "".join(stops),
                   "\n".join(self.body))).encode()


# ---------------------------------------------------------------- palettes


def distance(a, b):
    return 2 * (a[0] - b[0]) ** 2 + 4 * (a[1] - b[1]) ** 2 + 3 * (a[2] - b[2]) ** 2


def spread(box):
    return max(max(c[k] for c in box) - min(c[k] for c in box) for k in range(3))


def reduce_colours(histogram, count):
    """At most count colours that stand for the histogram: median cut, then refinement."""
    colours = sorted(histogram)
    if len(colours) <= count:
        return colours
    boxes = [colours]
    while len(boxes) < count:
        splittable = [b for b in boxes if len(b) > 1]
        if not splittable:
            break
        box = max(splittable, key=lambda b: (spread(b) * sum(histogram[c] for c in b) ** 0.5))
        boxes.remove(box)
        channel = max(range(3), key=lambda k: (max(c[k] for c in box) - min(c[k] for c in box)))
        box = sorted(box, key=lambda c: (c[channel], c))
        half = sum(histogram[c] for c in box) / 2.0
        seen, cut = 0, 1
        for index, c in enumerate(box[:-1]):
            seen += histogram[c]
            cut = index + 1
            if seen >= half:
                break
        boxes += [box[:cut], box[cut:]]
    palette = [mean_colour(box, histogram) for box in boxes]
    for _ in range(10):
        groups = [[] for _ in palette]
        for c in colours:
            groups[nearest(palette, c)].append(c)
        palette = [mean_colour(g, histogram) if g else p for g, p in zip(groups, palette)]
    return sorted(set(palette))


def mean_colour(box, histogram):
    weight = sum(histogram[c] for c in box)
    return tuple(int(round(sum(c[k] * histogram[c] for c in box) / weight)) for k in range(3))


def nearest(palette, colour):
    best, best_distance = 0, None
    for index, p in enumerate(palette):
        d = distance(p, colour)
        if best_distance is None or d < best_distance:
            best, best_distance = index, d
    return best


def make_palette(images, background, size):
    """A palette of exactly size entries: the background first, then the drawing's colours,
    then unused fillers. No entry but the first equals the background."""
    histogram = {}
    for rows in images:
        for row in rows:
            for c in row:
                if c is not None:
                    histogram[c] = histogram.get(c, 0) + 1
    colours = []
    for c in reduce_colours(histogram, size - 1):
        while c == background or c in colours:
            c = (c[0], c[1], (c[2] + 1) % 256)
        colours.append(c)
    palette = [background] + colours
    filler = 0
    while len(palette) < size:
        shade = (filler * 7919) % 256
        c = (shade, (shade + 85) % 256, (shade + 170) % 256)
        filler += 1
        if c not in palette:
            palette.append(c)
    return palette


def index_image(rows, palette):
    """Palette indices of an image; None (nothing drawn) becomes the background entry 0."""
    cache = {}
    result = []
    for row in rows:
        out = []
        for c in row:
            if c is None:
                out.append(0)
            else:
                if c not in cache:
                    cache[c] = 1 + nearest(palette[1:], c)
                out.append(cache[c])
        result.append(out)
    return result


# ---------------------------------------------------------------- encoders


def row_stride(width, bits):
    return (width * bits + 31) // 32 * 4


def pack_rows(indices, bits):
    """Bottom-up pixel rows of an indexed image, each padded to four bytes."""
    width = len(indices[0])
    data = bytearray()
    for row in reversed(indices):
        packed = bytearray()
        if bits == 8:
            packed.extend(row)
        elif bits == 4:
            for x in range(0, width, 2):
                low = row[x + 1] if x + 1 < width else 0
                packed.append((row[x] << 4) | low)
        else:
            for x in range(0, width, 8):
                byte = 0
                for k in range(8):
                    if x + k < width and row[x + k]:
                        byte |= 0x80 >> k
                packed.append(byte)
        packed.extend(b"\0" * (row_stride(width, bits) - len(packed)))
        data.extend(packed)
    return bytes(data)


def info_header(width, height, bits, colours_used, image_size):
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, image_size, 3780, 3780,
                       colours_used, 0)


def palette_bytes(palette):
    return b"".join(struct.pack("<BBBB", c[2], c[1], c[0], 0) for c in palette)


def file_header(size, data_offset):
    return b"BM" + struct.pack("<IHHI", size, 0, 0, data_offset)


def encode_indexed_bmp(indices, palette, bits):
    height, width = len(indices), len(indices[0])
    pixels = pack_rows(indices, bits)
    offset = 14 + 40 + 4 * len(palette)
    return (file_header(offset + len(pixels), offset)
            + info_header(width, height, bits, len(palette), len(pixels))
            + palette_bytes(palette) + pixels)


def encode_rgb_bmp(rows):
    height, width = len(rows), len(rows[0])
    stride = row_stride(width, 24)
    pixels = bytearray()
    for row in reversed(rows):
        line = bytearray()
        for r, g, b in row:
            line.extend((b, g, r))
        line.extend(b"\0" * (stride - len(line)))
        pixels.extend(line)
    offset = 14 + 40
    return (file_header(offset + len(pixels), offset)
            + info_header(width, height, 24, 0, len(pixels)) + bytes(pixels))


def encode_indexed_ico(indices, palette, opaque):
    """One 8-bit image with its AND mask (1 = transparent); transparent pixels are black."""
    height, width = len(indices), len(indices[0])
    black = palette.index((0, 0, 0))
    colour = [[indices[y][x] if opaque[y][x] else black for x in range(width)]
              for y in range(height)]
    mask = [[0 if opaque[y][x] else 1 for x in range(width)] for y in range(height)]
    image = (info_header(width, 2 * height, 8, 0, 0) + palette_bytes(palette)
             + pack_rows(colour, 8) + pack_rows(mask, 1))
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", width % 256, height % 256, 0, 0, 1, 8, len(image),
                        6 + 16)
    return directory + entry + image


def png_chunk(kind, data):
    return (struct.pack(">I", len(data)) + kind + data
            + struct.pack(">I", zlib.crc32(kind + data) & 0xffffffff))


def encode_indexed_png(indices, palette):
    """An 8-bit PNG of an indexed image whose entry 0 (the background) is transparent."""
    raw = b"".join(b"\0" + bytes(row) for row in indices)  # each row unfiltered
    header = struct.pack(">IIBBBBB", len(indices[0]), len(indices), 8, 3, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + png_chunk(b"IHDR", header)
            + png_chunk(b"PLTE", b"".join(bytes(c) for c in palette))
            + png_chunk(b"tRNS", b"\0") + png_chunk(b"IDAT", zlib.compress(raw, 9))
            + png_chunk(b"IEND", b""))


def encode_rgba_png(rows):
    """A true-colour PNG with its alpha channel, rows of (r, g, b, a)."""
    raw = b"".join(b"\0" + bytes(v for pixel in row for v in pixel) for row in rows)
    header = struct.pack(">IIBBBBB", len(rows[0]), len(rows), 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + png_chunk(b"IHDR", header)
            + png_chunk(b"IDAT", zlib.compress(raw, 9)) + png_chunk(b"IEND", b""))


# ---------------------------------------------------------------- drawings

BUTTON_FACE = (236, 236, 236)  # what the glyphs' soft edges are mixed with
INK = (28, 36, 92)


def floppy(canvas, x0, y0, size, turn=0.0):
    """A floppy disk in the square (x0, y0, size), turned by turn degrees about its centre."""
    s = size / 16.0
    cx, cy = x0 + size / 2.0, y0 + size / 2.0

    def place(shape):
        return rotated(shape, turn, cx, cy) if turn else shape

    def body(inset):
        a, b = x0 + inset, y0 + inset
        c, d = x0 + size - inset, y0 + size - inset
        cut = 3 * s - inset * 0.4
        return polygon([(a, b), (c - cut, b), (c, b + cut), (c, d), (a, d)])

    canvas.paint(place(body(0)), (14, 26, 70))
    canvas.paint(place(body(1.0)), Linear((84, 128, 222), (30, 58, 150), x0, y0, x0 + size,
                                           y0 + size))
    shutter = rect(x0 + 4 * s, y0, x0 + 11.5 * s, y0 + 5.5 * s)
    canvas.paint(place(shutter), (58, 64, 84))
    canvas.paint(place(rect(x0 + 4 * s + 0.8, y0 + 0.8, x0 + 11.5 * s - 0.8, y0 + 5.5 * s - 0.8)),
                 Linear((236, 238, 244), (150, 156, 172), x0 + 4 * s, y0, x0 + 11.5 * s, y0))
    canvas.paint(place(rect(x0 + 8.5 * s, y0 + 1.2 * s, x0 + 10.3 * s, y0 + 4.4 * s)),
                 (40, 44, 60))
    label = rect(x0 + 2.5 * s, y0 + 8.5 * s, x0 + 13.5 * s, y0 + size - 0.9)
    canvas.paint(place(label), (255, 255, 252))
    for k in (10.5, 12.5):
        canvas.paint(place(rect(x0 + 3.5 * s, y0 + k * s, x0 + 12.5 * s, y0 + k * s + 0.7 * s)),
                     (150, 176, 226))


def speaker_glyph():
    c = Canvas(24, 24)
    edge = (24, 24, 30)
    cone = polygon([(6.5, 8.5), (12.5, 3.5), (12.5, 20.5), (6.5, 15.5)])
    box = rect(2.5, 8.5, 7.5, 15.5)
    c.paint(cone | box, edge)
    c.paint(polygon([(7.5, 9.5), (11.5, 6.0), (11.5, 18.0), (7.5, 14.5)]),
            Linear((200, 204, 214), (92, 98, 116), 7, 0, 12, 0))
    c.paint(rect(3.5, 9.5, 6.5, 14.5), Linear((176, 180, 192), (84, 88, 104), 0, 9, 0, 15))
    for radius in (4.0, 7.0, 10.0):
        c.paint(arc(12.0, 12.0, radius, 1.6, -48, 48), (28, 64, 170))
    return c


def extract_arrow(c, start, turn, end, head_length, width):
    """A curved arrow from start through turn to end, its head at end."""
    points = bezier(start, turn, turn, end)
    dx, dy = end[0] - points[-3][0], end[1] - points[-3][1]
    d = math.hypot(dx, dy)
    ux, uy = dx / d, dy / d
    tip = (end[0] + ux * head_length * 0.6, end[1] + uy * head_length * 0.6)
    back = (end[0] - ux * head_length * 0.4, end[1] - uy * head_length * 0.4)
    half = head_length * 0.55
    head = [tip, (back[0] - uy * half, back[1] + ux * half),
            (back[0] + uy * half, back[1] - ux * half)]
    body = polyline(points[:-2], width + 2.0)
    c.paint(body | polygon(head), (18, 92, 24))
    c.paint(polyline(points[:-2], width), Linear((140, 228, 110), (46, 168, 46), start[0],
                                                 start[1], end[0], end[1]))
    c.paint(polygon(shrink_polygon(head, 1.3)), (62, 178, 56))


def extract_glyph():
    c = Canvas(24, 24)
    floppy(c, 8.0, 8.0, 15.0)
    extract_arrow(c, (14.5, 12.0), (14.5, 2.5), (5.0, 3.5), 6.6, 2.4)
    return c


def pencil(c, tip, tail, width):
    """A pencil lying from its point at tip to its eraser at tail."""
    dx, dy = tail[0] - tip[0], tail[1] - tip[1]
    length = math.hypot(dx, dy)
    ux, uy = dx / length, dy / length

    def band(u0, u1, v0, v1, w0=None, w1=None):
        """Between u0 and u1 along the pencil, v0..v1 across it at u0 and w0..w1 at u1."""
        w0 = v0 if w0 is None else w0
        w1 = v1 if w1 is None else w1

        def at(u, v):
            return (tip[0] + ux * u - uy * v, tip[1] + uy * u + ux * v)

        return polygon([at(u0, v0), at(u1, w0), at(u1, w1), at(u0, v1)])

    half = width / 2.0
    cone = 4.6
    ferrule = length - 4.4
    eraser = length - 2.4
    c.paint(band(-0.7, cone, -0.7, 0.7, -half - 0.8, half + 0.8)
            | band(cone, length + 0.7, -half - 0.8, half + 0.8), (52, 36, 20))
    c.paint(band(0.8, cone, -half * 0.25, half * 0.25, -half, half), (238, 200, 146))
    c.paint(band(-0.2, 1.7, -0.35, 0.35, -half * 0.42, half * 0.42), (40, 40, 48))
    c.paint(band(cone, ferrule, -half, half), (246, 192, 30))
    c.paint(band(cone, ferrule, -half, -half * 0.35), (255, 232, 120))
    c.paint(band(cone, ferrule, half * 0.4, half), (206, 140, 18))
    c.paint(band(ferrule, eraser, -half, half), Linear((226, 228, 236), (132, 136, 150),
                                                     tip[0] - uy * half, tip[1] + ux * half,
                                                     tip[0] + uy * half, tip[1] - ux * half))
    c.paint(band(eraser, length, -half, half), (236, 124, 140))


def replace_glyph():
    c = Canvas(24, 24)
    floppy(c, 0.5, 6.5, 15.5)
    c.paint(polyline([(4.0, 19.6), (5.2, 18.4), (6.2, 19.4), (7.4, 18.2)], 0.9), INK)
    pencil(c, (8.0, 18.0), (21.5, 3.5), 4.6)
    return c


def check_glyph():
    c = Canvas(24, 24)
    stroke = [(4.0, 12.5), (9.5, 18.0), (20.0, 5.5)]
    c.paint(polyline(stroke, 5.0), (16, 88, 18))
    c.paint(polyline(stroke, 2.8), Linear((128, 226, 96), (30, 150, 34), 4, 5, 20, 19))
    return c


def cross_glyph():
    c = Canvas(24, 24)
    bars = [((5.0, 5.0), (19.0, 19.0)), ((19.0, 5.0), (5.0, 19.0))]
    c.paint(union([segment(p, q, 5.6) for p, q in bars]), (112, 8, 12))
    c.paint(union([segment(p, q, 3.4) for p, q in bars]), (222, 36, 36))
    c.paint(union([segment((p[0] - 0.4, p[1] - 0.4), (q[0] - 0.4, q[1] - 0.4), 1.0)
                   for p, q in bars]), (250, 120, 110))
    return c


LENS_CENTRE = (10.0, 10.0)
LENS_INNER = 6.2


def magnifier(symbol):
    """The zoom glyphs: one glass and handle, the symbol drawn inside the lens."""
    c = Canvas(24, 24)
    cx, cy = LENS_CENTRE
    c.paint(segment((15.0, 15.0), (21.0, 21.0), 5.2), (26, 18, 14))
    c.paint(segment((16.4, 16.4), (20.6, 20.6), 3.0), Linear((150, 96, 52), (84, 48, 24), 16,
                                                              16, 21, 21))
    c.paint(segment((14.2, 14.2), (15.6, 15.6), 3.2), (120, 124, 136))
    c.paint(circle(cx, cy, 8.1), (34, 36, 48))
    c.paint(ring(cx, cy, 7.2, 6.4), Linear((206, 210, 222), (96, 100, 116), 3, 3, 17, 17))
    c.paint(circle(cx, cy, LENS_INNER), Linear((246, 250, 255), (174, 204, 236), 5, 5, 15, 15))
    c.paint(arc(cx, cy, 4.4, 1.1, 200, 250), (255, 255, 255))
    symbol(c)
    return c


def plus_symbol(c):
    c.paint(rect(6, 9, 14, 11) | rect(9, 6, 11, 14), INK)


def minus_symbol(c):
    c.paint(rect(6, 9, 14, 11), INK)


def frame_symbol(c):
    marks = []
    for x, sx in ((6, 1), (14, -1)):
        for y, sy in ((6, 1), (14, -1)):
            marks.append(rect(min(x, x + 3 * sx), min(y, y + sy), max(x, x + 3 * sx),
                              max(y, y + sy)))
            marks.append(rect(min(x, x + sx), min(y, y + 3 * sy), max(x, x + sx),
                              max(y, y + 3 * sy)))
    c.paint(union(marks), INK)


def one_to_one_symbol(c):
    one = [".#.", "##.", ".#.", ".#.", ".#.", "###"]
    cells = [rect(9, 8, 10, 9), rect(9, 11, 10, 12)]
    for left in (5, 11):
        for row, bits in enumerate(one):
            for col, bit in enumerate(bits):
                if bit == "#":
                    cells.append(rect(left + col, 7 + row, left + col + 1, 8 + row))
    c.paint(union(cells), INK)


ICON_SIZE = 32  # the size the program icon is drawn for
ICON_SIZES = (16, 22, 24, 32, 48, 64, 128, 256)  # the sizes desktops look for


def program_icon(c):
    """The program icon, drawn on a 32-pixel canvas or one scaled from it."""
    floppy(c, 10.0, 10.0, 19.5, turn=-20.0)
    points = bezier((18.0, 15.0), (16.5, 3.5), (8.0, 2.0), (1.8, 6.0))
    c.paint(tapered(points, 6.0, 2.6), (18, 92, 24))
    c.paint(tapered(points, 3.8, 0.9), Linear((150, 232, 118), (46, 168, 46), 18, 15, 2, 6))
    return c


def help_picture():
    c = Canvas(48, 48)
    balloon = ellipse(24.0, 20.5, 22.0, 17.5)
    tail = polygon([(9.0, 29.0), (19.0, 35.5), (4.0, 46.0)])
    c.paint(balloon | tail, (36, 84, 176))
    inner = ellipse(24.0, 20.5, 20.6, 16.1) | polygon([(10.4, 30.0), (17.0, 34.6), (6.6, 42.4)])
    c.paint(inner, Linear((255, 255, 255), (176, 208, 246), 0, 6, 0, 40))
    c.paint(ellipse(20.0, 13.0, 12.0, 6.0), (255, 255, 255), 0.55)
    letter = (circle(24.5, 10.0, 3.2) | rect(19.0, 16.0, 27.5, 19.0) | rect(21.5, 16.0, 27.5, 31.0)
              | rect(18.5, 29.0, 30.5, 32.0))
    c.paint(letter, Linear((30, 60, 168), (8, 22, 104), 0, 6, 0, 32))
    return c


def mavrel_picture():
    c = Canvas(48, 48, (96, 12, 18))
    c.paint(rect(0, 0, 48, 48), radial((150, 26, 32), (52, 4, 10), 24, 20, 34))
    hair, sheen = (46, 26, 16), (112, 70, 40)
    c.paint(ellipse(24.0, 20.0, 15.5, 17.0) | polygon([(8.6, 20), (39.4, 20), (44, 48), (4, 48)]),
            hair)
    c.paint(arc(24.0, 20.0, 12.5, 1.6, 205, 250) | arc(24.0, 20.0, 12.5, 1.6, 290, 335), sheen,
            0.6)
    for side in (-1, 1):
        for offset, length in ((12.5, 46.0), (10.0, 44.0), (7.5, 47.0)):
            x = 24 + side * offset
            strand = bezier((x, 20.0), (x + side * 2.5, 30.0), (x + side * 0.5, 38.0),
                            (x + side * 3.5, length), steps=12)
            c.paint(polyline(strand, 0.8), sheen, 0.45)
    c.paint(rect(20.5, 30, 27.5, 42), (202, 148, 118))
    c.paint(ellipse(24.0, 35.0, 4.2, 1.8), (166, 112, 90), 0.8)
    c.paint(polygon([(12, 48), (16.5, 40.5), (24, 43), (31.5, 40.5), (36, 48)]), (34, 34, 46))
    c.paint(polygon([(20.2, 40.8), (24, 44.2), (27.8, 40.8), (27.5, 39.5), (20.5, 39.5)]),
            (192, 138, 110))
    face = ellipse(24.0, 24.5, 8.4, 11.0)
    c.paint(face, Linear((248, 210, 182), (198, 144, 114), 18, 16, 32, 34))
    forehead = ellipse(24.0, 25.0, 7.4, 11.5)
    c.paint((face - forehead) & rect(0, 0, 48, 23), hair)
    c.paint(segment((24.0, 6.0), (24.0, 13.0), 0.8), (24, 12, 8), 0.8)
    for side in (-1, 1):
        c.paint(polyline(bezier((24 + side * 1.5, 8.0), (24 + side * 6.0, 10.0),
                                (24 + side * 8.0, 14.0), (24 + side * 8.8, 21.0), steps=10), 0.8),
                sheen, 0.5)
    for ex in (20.6, 27.4):
        c.paint(segment((ex - 2.0, 20.6), (ex + 1.8, 20.2), 1.1), (60, 34, 20))
        c.paint(ellipse(ex, 23.5, 2.0, 1.1), (238, 232, 226))
        c.paint(circle(ex, 23.5, 1.0), (56, 86, 66))
        c.paint(circle(ex, 23.5, 0.45), (12, 10, 10))
        c.paint(segment((ex - 2.0, 22.6), (ex + 2.0, 22.6), 0.6), (70, 40, 30), 0.8)
    c.paint(polyline([(24.2, 24.0), (23.2, 28.2), (24.6, 28.6)], 0.9), (168, 110, 86))
    c.paint(ellipse(24.0, 31.6, 3.0, 1.0), (176, 72, 74))
    c.paint(segment((21.4, 31.4), (26.6, 31.4), 0.5), (120, 40, 44))
    for bx in (18.5, 29.5):
        c.paint(circle(bx, 28.0, 2.0), (232, 140, 130), 0.25)
    return c


# ---------------------------------------------------------------- files


def glyph_files():
    """File name -> bytes for the nine tool-button glyphs."""
    files = {}
    simple = [
        (1, speaker_glyph, 4, 16, (228, 226, 222)),
        (2, extract_glyph, 8, 61, (249, 249, 249)),
        (3, replace_glyph, 8, 65, (249, 249, 249)),
        (4, check_glyph, 8, 17, (179, 194, 167)),
        (5, cross_glyph, 4, 7, (196, 109, 116)),
    ]
    for number, draw, bits, colours, background in simple:
        rows = draw().flatten(BUTTON_FACE)
        palette = make_palette([rows], background, colours)
        files["glyphs/SpeedButton%d.bmp" % number] = encode_indexed_bmp(
            index_image(rows, palette), palette, bits)
    zoom = [magnifier(s).flatten(BUTTON_FACE)
            for s in (plus_symbol, minus_symbol, frame_symbol, one_to_one_symbol)]
    palette = make_palette(zoom, (255, 0, 255), 256)
    for number, rows in enumerate(zoom, start=6):
        files["glyphs/SpeedButton%d.bmp" % number] = encode_indexed_bmp(
            index_image(rows, palette), palette, 8)
    return files


def icon_files(canvas, matte):
    """The icon as ICO and as PNG, pixel for pixel the same; only what is drawn shows."""
    rows = canvas.flatten(matte, threshold=0.5)
    opaque = [[c is not None for c in row] for row in rows]
    palette = make_palette([rows], (0, 0, 0), 256)
    indices = index_image(rows, palette)
    return encode_indexed_ico(indices, palette, opaque), encode_indexed_png(indices, palette)


def all_files():
    files = glyph_files()
    # The desktop's menus and file managers take the PNG; the window and task bar the ICO.
    files["icon/pelloran.ico"], files["icon/pelloran-32.png"] = icon_files(
        program_icon(Canvas(ICON_SIZE, ICON_SIZE)), (214, 214, 214))
    # The other sizes are the same picture scaled, keeping their soft edges; the scalable
    # one is its outlines.
    for size in ICON_SIZES:
        if size != ICON_SIZE:
            canvas = program_icon(Canvas(size, size, scale=size / ICON_SIZE))
            files["icon/pelloran-%d.png" % size] = encode_rgba_png(canvas.straight_rows())
    files["icon/pelloran.svg"] = program_icon(SvgCanvas(ICON_SIZE)).document()
    # The popup's gradient starts at (166, 202, 240); the balloon stands at its left end.
    files["about/HELP.ico"] = icon_files(help_picture(), (172, 205, 241))[0]
    mavrel = mavrel_picture().flatten((0, 0, 0), threshold=0.0)
    files["about/MAVREL.bmp"] = encode_rgb_bmp(mavrel)
    return files


def main(argv):
    if len(argv) > 2:
        sys.stderr.write("usage: python3 tools/draw_art.py [RESOURCE_FOLDER]\n")
        return 2
    here = os.path.dirname(os.path.abspath(__file__))
    folder = argv[1] if len(argv) == 2 else os.path.join(here, "..", "app", "resources")
    for name, data in sorted(all_files().items()):
        path = os.path.join(folder, name)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as out:
            out.write(data)
        print("wrote", os.path.normpath(path))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
