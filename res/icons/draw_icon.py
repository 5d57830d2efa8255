#!/usr/bin/env python3
"""Draws the program icon (a watch face receiving radio waves).

Writes, beside this script:
- tempiola-32.xpm and tempiola-16.xpm, the 16-colour images built into the
  program, and the same pixels as tempiola-32.png and tempiola-16.png;
- tempiola-48.png to tempiola-256.png, the same design drawn from shapes
  and smoothed, for the desktop's icon theme;
- tempiola.svg, those shapes as a scalable image.

The files are checked in; run this only to change the design. Needs
nothing beyond Python's standard library."""
import math
import os
import struct
import zlib

PALETTE = {  # the classic 16-colour set, plus transparency
    ' ': 'None', 'k': '#000000', 'n': '#000080', 'b': '#0000FF', 'r': '#FF0000',
    'm': '#800000', 'w': '#FFFFFF', 's': '#C0C0C0', 'g': '#808080', 'y': '#FFFF00',
    'o': '#808000', 'c': '#00FFFF', 't': '#008080',
}

# The design on a 32-unit square, y downwards.
CX, CY = 13.5, 18.0          # watch centre, lower left
R_CASE, R_DIAL = 12.5, 10.0  # case and dial radii
WAVE_CENTRE = (31.0, 1.0)    # the waves spread from the upper right corner
WAVES = [(4.0, 'r'), (8.0, 'm'), (12.0, 'r')]
# Hands at 10:10: hour hand short, minute hand long, red seconds.
HANDS = [  # angle from 12 o'clock clockwise, length, colour, width
    (-2 * math.pi / 12 * 1.0 - math.pi / 6 * 0.9, 5.5, 'k', 1.4),
    (math.pi / 3, 8.0, 'k', 1.0),
    (math.pi * 1.1, 7.0, 'r', 0.5),
]


def draw(size):
    """The hand-tuned pixel image of the built-in icon (16 or 32 pixels)."""
    px = [[' '] * size for _ in range(size)]
    f = size / 32.0
    cx, cy = CX * f, CY * f
    ro, ri = R_CASE * f, R_DIAL * f
    for y in range(size):
        for x in range(size):
            d = math.hypot(x + 0.5 - cx, y + 0.5 - cy)
            if d <= ri:
                px[y][x] = 'w'
            elif d <= ro:
                px[y][x] = 'n'
    # hour marks
    for h in range(12):
        a = h * math.pi / 6
        for r in ([ri - 1.2 * f] if size < 32 else [ri - 1.0, ri - 2.0]):
            x, y = cx + r * math.sin(a), cy - r * math.cos(a)
            if h % 3 == 0 or size >= 32:
                px[int(y)][int(x)] = 'k' if h % 3 == 0 else 'g'
    def hand(angle, length, colour):
        steps = int(length * 4) + 1
        for i in range(steps):
            r = length * i / steps
            x, y = cx + r * math.sin(angle), cy - r * math.cos(angle)
            px[int(y)][int(x)] = colour
    for angle, length, colour, _ in HANDS:
        hand(angle, length * f, colour)
    px[int(cy)][int(cx)] = 'r'
    # radio waves: three arcs around the upper right corner, behind the watch
    wx, wy = WAVE_CENTRE[0] * f, WAVE_CENTRE[1] * f
    for rad, colour in WAVES:
        rad *= f
        for i in range(200):
            a = math.pi / 2 + (math.pi / 2) * i / 199
            x, y = wx + rad * math.cos(a), wy + rad * math.sin(a)
            xi, yi = int(x), int(y)
            if 0 <= xi < size and 0 <= yi < size and px[yi][xi] == ' ':
                px[yi][xi] = colour
    return px


def write_xpm(px, path):
    size = len(px)
    name = os.path.splitext(os.path.basename(path))[0]
    used = sorted({c for row in px for c in row})
    assert len(used) <= 17  # 16 colours + transparency
    with open(path, 'w') as out:
        out.write('/* XPM */\nstatic const char* const %s[] = {\n' % name.replace('-', '_'))
        out.write('"%d %d %d 1",\n' % (size, size, len(used)))
        for c in used:
            out.write('"%s c %s",\n' % (c, PALETTE[c]))
        for i, row in enumerate(px):
            out.write('"%s"%s\n' % (''.join(row), ',' if i + 1 < size else ''))
        out.write('};\n')


def rgb(colour):
    v = PALETTE[colour]
    return int(v[1:3], 16), int(v[3:5], 16), int(v[5:7], 16)


def write_png(rows, path):
    """rows: lists of (r, g, b, a) tuples, 8 bits each."""
    size = len(rows)
    raw = b''.join(b'\0' + bytes(v for p in row for v in p) for row in rows)
    def chunk(kind, data):
        return struct.pack('>I', len(data)) + kind + data + struct.pack('>I', zlib.crc32(kind + data))
    with open(path, 'wb') as out:
        out.write(b'\x89PNG\r\n\x1a\n')
        out.write(chunk(b'IHDR', struct.pack('>IIBBBBB', size, size, 8, 6, 0, 0, 0)))
        out.write(chunk(b'IDAT', zlib.compress(raw, 9)))
        out.write(chunk(b'IEND', b''))


def pixels_rgba(px):
    return [[rgb(c) + (255,) if c != ' ' else (0, 0, 0, 0) for c in row] for row in px]


# The design as shapes, back to front: ('disk', cx, cy, r, colour),
# ('line', x1, y1, x2, y2, width, colour) and ('arc', cx, cy, r, width,
# colour), the arc running from straight below its centre round to straight
# left of it. Strokes have round ends.
WAVE_WIDTH = 1.3


def shapes():
    out = [('arc', WAVE_CENTRE[0], WAVE_CENTRE[1], r, WAVE_WIDTH, colour) for r, colour in WAVES]
    out += [('disk', CX, CY, R_CASE, 'n'), ('disk', CX, CY, R_DIAL, 'w')]
    for h in range(12):  # hour marks, the quarters longer and bolder
        a = h * math.pi / 6
        quarter = h % 3 == 0
        r0, width = (R_DIAL - 2.6, 1.1) if quarter else (R_DIAL - 2.0, 0.7)
        r1 = R_DIAL - 0.9
        s, c = math.sin(a), math.cos(a)
        out.append(('line', CX + r0 * s, CY - r0 * c, CX + r1 * s, CY - r1 * c, width, 'k' if quarter else 'g'))
    for angle, length, colour, width in HANDS:
        out.append(('line', CX, CY, CX + length * math.sin(angle), CY - length * math.cos(angle), width, colour))
    out.append(('disk', CX, CY, 0.9, 'r'))
    return out


def distance(shape):
    """The shape's signed distance function (negative inside)."""
    kind = shape[0]
    if kind == 'disk':
        _, cx, cy, r, _ = shape
        return lambda x, y: math.hypot(x - cx, y - cy) - r
    if kind == 'line':
        _, ax, ay, bx, by, width, _ = shape
        vx, vy = bx - ax, by - ay
        def d(x, y):
            t = max(0.0, min(1.0, ((x - ax) * vx + (y - ay) * vy) / (vx * vx + vy * vy)))
            return math.hypot(x - ax - t * vx, y - ay - t * vy) - width / 2
        return d
    _, cx, cy, r, width, _ = shape
    ends = [(cx, cy + r), (cx - r, cy)]
    def d(x, y):
        if x <= cx and y >= cy:
            return abs(math.hypot(x - cx, y - cy) - r) - width / 2
        return min(math.hypot(x - ex, y - ey) for ex, ey in ends) - width / 2
    return d


def render(size):
    """The shapes smoothed onto size x size pixels (coverage from the
    distance to each edge)."""
    f = size / 32.0
    layers = [(distance(s), rgb(s[-1])) for s in shapes()]
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            ux, uy = (x + 0.5) / f, (y + 0.5) / f
            r = g = b = a = 0.0  # premultiplied
            for d, (cr, cg, cb) in layers:
                cover = min(1.0, max(0.0, 0.5 - d(ux, uy) * f))
                if cover > 0:
                    r, g, b = cr * cover + r * (1 - cover), cg * cover + g * (1 - cover), cb * cover + b * (1 - cover)
                    a = cover + a * (1 - cover)
            if a > 0:
                row.append((round(r / a), round(g / a), round(b / a), round(a * 255)))
            else:
                row.append((0, 0, 0, 0))
        rows.append(row)
    return rows


def write_svg(path):
    def n(v):
        return ('%.3f' % v).rstrip('0').rstrip('.')
    lines = ['<svg xmlns="http://www.w3.org/2000/svg" width="256" height="256" viewBox="0 0 32 32">']
    for s in shapes():
        colour = PALETTE[s[-1]]
        if s[0] == 'disk':
            lines.append('<circle cx="%s" cy="%s" r="%s" fill="%s"/>' % (n(s[1]), n(s[2]), n(s[3]), colour))
        elif s[0] == 'line':
            lines.append('<line x1="%s" y1="%s" x2="%s" y2="%s" stroke="%s" stroke-width="%s" stroke-linecap="round"/>'
                         % (n(s[1]), n(s[2]), n(s[3]), n(s[4]), colour, n(s[5])))
        else:
            _, cx, cy, r, width, _ = s
            lines.append('<path d="M%s %sA%s %s 0 0 1 %s %s" fill="none" stroke="%s" stroke-width="%s" '
                         'stroke-linecap="round"/>' % (n(cx), n(cy + r), n(r), n(r), n(cx - r), n(cy), colour, n(width)))
    lines.append('</svg>')
    with open(path, 'w') as out:
        out.write('\n'.join(lines) + '\n')


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    for size in (32, 16):
        px = draw(size)
        write_xpm(px, os.path.join(here, 'tempiola-%d.xpm' % size))
        write_png(pixels_rgba(px), os.path.join(here, 'tempiola-%d.png' % size))
    for size in (48, 64, 128, 256):
        write_png(render(size), os.path.join(here, 'tempiola-%d.png' % size))
    write_svg(os.path.join(here, 'tempiola.svg'))


if __name__ == '__main__':
    main()
