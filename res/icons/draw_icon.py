#!/usr/bin/env python3
"""Draws the program icon (a watch face receiving radio waves) as two
16-colour XPM images, 32x32 and 16x16. The XPM files are checked in; run
this only to change the design."""
import math

PALETTE = {  # the classic 16-colour set, plus transparency
    ' ': 'None', 'k': '#000000', 'n': '#000080', 'b': '#0000FF', 'r': '#FF0000',
    'm': '#800000', 'w': '#FFFFFF', 's': '#C0C0C0', 'g': '#808080', 'y': '#FFFF00',
    'o': '#808000', 'c': '#00FFFF', 't': '#008080',
}


def draw(size):
    px = [[' '] * size for _ in range(size)]
    f = size / 32.0
    cx, cy = 13.5 * f, 18.0 * f          # watch centre, lower left
    ro, ri = 12.5 * f, 10.0 * f          # case and dial radii
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
    # hands: 10:10, hour hand short, minute hand long, red seconds
    def hand(angle, length, colour):
        steps = int(length * 4) + 1
        for i in range(steps):
            r = length * i / steps
            x, y = cx + r * math.sin(angle), cy - r * math.cos(angle)
            px[int(y)][int(x)] = colour
    hand(-2 * math.pi / 12 * 1.0 - math.pi / 6 * 0.9, 5.5 * f, 'k')
    hand(math.pi / 3, 8.0 * f, 'k')
    hand(math.pi * 1.1, 7.0 * f, 'r')
    px[int(cy)][int(cx)] = 'r'
    # radio waves: three red arcs around the upper right corner
    wx, wy = 31.0 * f, 1.0 * f
    for k, rad in enumerate([4.0, 8.0, 12.0]):
        rad *= f
        for i in range(200):
            a = math.pi / 2 + (math.pi / 2) * i / 199
            x, y = wx + rad * math.cos(a), wy + rad * math.sin(a)
            xi, yi = int(x), int(y)
            if 0 <= xi < size and 0 <= yi < size and px[yi][xi] == ' ':
                px[yi][xi] = 'r' if k != 1 else 'm'
    return px


def write(size, name):
    px = draw(size)
    used = sorted({c for row in px for c in row})
    assert len(used) <= 17  # 16 colours + transparency
    with open(name + '.xpm', 'w') as out:
        out.write('/* XPM */\nstatic const char* const %s[] = {\n' % name.replace('-', '_'))
        out.write('"%d %d %d 1",\n' % (size, size, len(used)))
        for c in used:
            out.write('"%s c %s",\n' % (c, PALETTE[c]))
        for i, row in enumerate(px):
            out.write('"%s"%s\n' % (''.join(row), ',' if i + 1 < size else ''))
        out.write('};\n')


write(32, 'tempiola-32')
write(16, 'tempiola-16')
