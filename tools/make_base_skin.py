#!/usr/bin/env python3
"""Draws Mixora's built-in skin.

Writes the three face bitmaps (normal, highlighted, pressed), the two colour-keyed
masks, the five state strips, the two digit strips and the skin description into
resources/. Everything is drawn from code with integer hashing instead of random
numbers, so every run produces the same bytes.

Run:  python3 tools/make_base_skin.py [--out DIR]
"""

import math
import os
import struct
import sys

W, H = 520, 419

BLACK = 0x000000
BODY = 0x00FF00

# --------------------------------------------------------------------------
# Layout. Boxes are (left, top, right, bottom), right and bottom exclusive.
# --------------------------------------------------------------------------

CENTRAL = (128, 0, 396, 241)
RECORDER_WING = (0, 91, 138, 193)
EQUALIZER_WING = (382, 89, 520, 195)
PLAYLIST_BLOCK = (128, 241, 396, 419)

MEDIA_MARKS = [(138, 0), (262, 44), (386, 89)]
MEDIA_BOX = (138, 0, 387, 90)
TITLE_BOX = (234, 114, 373, 130)
PLAYLIST_BOX = (176, 280, 348, 358)
PLAYLIST_LINE = 13
TIME_COLUMN_WIDTH = 40

TIME_DIGITS = [  # seconds units, seconds tens, minutes units, minutes tens
    (0x9B00C8, (192, 116, 201, 129)),
    (0x9B0096, (182, 116, 191, 129)),
    (0x9B0064, (168, 116, 177, 129)),
    (0x9B0032, (158, 116, 167, 129)),
]
TIME_COLON_X = 178
REC_DIGITS = [
    (0x3700C8, (77, 112, 87, 122)),
    (0x370096, (66, 112, 76, 122)),
    (0x370064, (51, 112, 61, 122)),
    (0x370032, (40, 112, 50, 122)),
]
REC_COLON_X = 62


def lamp_key(level):
    return 0xE9E950 + 0x14 * level


KEY_LAMPS = [(lamp_key(i - 4), (265 + 8 * i, 156, 271 + 8 * i, 160)) for i in range(9)]

# (id, key, style, strip, box, pictogram)
BUTTONS = [
    (1001, 0xFA0064, 2, 'PLAYSTS', (270, 179, 292, 192), 'play'),
    (1007, 0x009664, 2, 'MUTESTS', (205, 151, 219, 165), 'mute'),
    (1006, 0x96FA64, 2, 'REPEATSTS', (359, 150, 375, 166), 'repeat'),
    (1067, 0xFAFA64, 2, 'VOICECSTS', (229, 151, 242, 165), 'voice'),
    (1086, 0x3200FA, 2, 'EQONSTS', (411, 108, 423, 120), 'eqon'),
    (1083, 0x580032, 1, None, (146, 212, 170, 224), 'toggle'),
    (1084, 0x580064, 1, None, (176, 212, 200, 224), 'toggle'),
    (1085, 0x580096, 1, None, (206, 212, 230, 224), 'toggle'),
    (1002, 0xC80064, 0, None, (296, 179, 318, 192), 'stop'),
    (1003, 0x960064, 0, None, (348, 179, 370, 192), 'next'),
    (1004, 0x640064, 0, None, (218, 179, 240, 192), 'prev'),
    (1062, 0x00FA64, 0, None, (322, 179, 344, 192), 'fwd'),
    (1064, 0x00C864, 0, None, (244, 179, 266, 192), 'back'),
    (1005, 0x006464, 0, None, (188, 179, 210, 192), 'eject'),
    (1065, 0x64FA64, 0, None, (278, 212, 302, 224), 'skin'),
    (1066, 0xC8FA64, 0, None, (248, 212, 272, 224), 'env'),
    (1068, 0x64C864, 0, None, (339, 152, 351, 164), 'up'),
    (1069, 0x96C864, 0, None, (249, 152, 261, 164), 'down'),
    (1070, 0x000078, 0, None, (16, 134, 44, 147), 'rec'),
    (1071, 0x320078, 0, None, (52, 134, 80, 147), 'recstop'),
    (1072, 0x640078, 0, None, (88, 134, 116, 147), 'play'),
    (1073, 0x960078, 0, None, (88, 162, 116, 175), 'input'),
    (1074, 0xC80078, 0, None, (52, 162, 80, 175), 'save'),
    (1075, 0xFA0078, 0, None, (16, 162, 44, 175), 'new'),
    (1076, 0x3200C8, 0, None, (176, 366, 204, 379), 'add'),
    (1077, 0x6400C8, 0, None, (212, 366, 240, 379), 'remove'),
    (1078, 0x9600C8, 0, None, (248, 366, 276, 379), 'clear'),
    (1079, 0xC800C8, 0, None, (284, 366, 312, 379), 'load'),
    (1080, 0xFA00C8, 0, None, (320, 366, 348, 379), 'save'),
    (1081, 0x3200B1, 0, None, (322, 212, 342, 224), 'min'),
    (1082, 0x6400B1, 0, None, (348, 212, 372, 224), 'power'),
    (1087, 0x6400FA, 0, None, (466, 108, 494, 120), 'preset'),
]

STRIP_STATES = {'PLAYSTS': 2, 'MUTESTS': 2, 'REPEATSTS': 4, 'VOICECSTS': 2, 'EQONSTS': 2}

BAND_TOP, BAND_BOTTOM = 132, 179
BAND_WIDTH = 8
BAND_THUMB_TOP, BAND_THUMB_HEIGHT = 152, 6
BAND_LOW_BYTES = [0x64, 0x78, 0x8C, 0xA0, 0xB4, 0xC8, 0xDC, 0xF0, 0x50, 0x3C]
BAND_LEFTS = [411 + int(i * 75 / 9 + 0.5) for i in range(10)]

# Playlist scrollbar: a band rising from the lower left to the upper right,
# flat at its upper end, that wraps round the top-left corner of the list.
ARC_LEFT, ARC_TOP, ARC_WIDTH, ARC_HEIGHT = 131, 243, 108, 73
ARC_THUMB = (231, 243, 239, 248)


def arc_geometry():
    """Top edge and thickness of the scrollbar band for each column."""
    n = ARC_WIDTH - 1

    def build(rise):
        cols = []
        for i in range(ARC_WIDTH):
            u = i / n
            top = ARC_TOP + int(rise * (1.0 - math.sin(math.pi / 2 * u)) + 0.5)
            slope = rise * math.pi / 2 / n * math.cos(math.pi / 2 * u)
            thick = int(6.0 * math.sqrt(1.0 + slope * slope) + 0.5)
            cols.append((ARC_LEFT + i, top, thick))
        return cols

    for rise in range(50, 73):
        cols = build(rise)
        bottom = max(t + th for _, t, th in cols)
        if bottom - ARC_TOP == ARC_HEIGHT:
            return cols
    raise SystemExit('no arc fits the scrollbar box')


ARC_COLUMNS = arc_geometry()


def arc_pixels():
    pts = []
    for x, top, thick in ARC_COLUMNS:
        for y in range(top, top + thick):
            pts.append((x, y))
    return pts


def box_pixels(box):
    l, t, r, b = box
    return [(x, y) for y in range(t, b) for x in range(l, r)]


SEEK_TRACK = (155, 90, 368, 103)
SEEK_THUMB = (155, 90, 167, 103)
VOLUME_TRACK = (153, 152, 202, 163)
VOLUME_THUMB = (153, 152, 160, 163)

# (id, track key, thumb key, track pixels, thumb box, kind)
SLIDERS = [
    (1008, 0x000064, 0xC8C864, box_pixels(VOLUME_TRACK), VOLUME_THUMB, 'volume'),
    (1099, 0xB10032, 0xB16432, box_pixels(SEEK_TRACK), SEEK_THUMB, 'seek'),
    (1098, 0xB10064, 0xB16464, arc_pixels(), ARC_THUMB, 'scroll'),
]
for _i, _lb in enumerate(BAND_LOW_BYTES):
    _l = BAND_LEFTS[_i]
    SLIDERS.append((1088 + _i, 0x400000 | _lb, 0xFF0000 | _lb,
                    box_pixels((_l, BAND_TOP, _l + BAND_WIDTH, BAND_BOTTOM)),
                    (_l, BAND_THUMB_TOP, _l + BAND_WIDTH, BAND_THUMB_TOP + BAND_THUMB_HEIGHT),
                    'band'))

PANEL_KEYS = {'recorder': 0xABABAB, 'equalizer': 0x474747, 'playlist': 0xA8A8A8}

# Colours of the texts the program draws itself (0x00BBGGRR in the description).
NAME_COLOR = (0xA8, 0xF0, 0xFF)
PL_COLOR = (0x7D, 0xC8, 0xE8)
SELECTED_COLOR = (0x1E, 0x4A, 0x5A)
PLAYING_COLOR = (0xFF, 0xC8, 0x46)

# --------------------------------------------------------------------------
# Colour helpers
# --------------------------------------------------------------------------


def rgb(r, g, b):
    r = 0 if r < 0 else 255 if r > 255 else int(r)
    g = 0 if g < 0 else 255 if g > 255 else int(g)
    b = 0 if b < 0 else 255 if b > 255 else int(b)
    return (r << 16) | (g << 8) | b


def split(c):
    return (c >> 16) & 255, (c >> 8) & 255, c & 255


def mix(c1, c2, t):
    r1, g1, b1 = split(c1)
    r2, g2, b2 = split(c2)
    return rgb(r1 + (r2 - r1) * t + 0.5, g1 + (g2 - g1) * t + 0.5, b1 + (b2 - b1) * t + 0.5)


def shade(c, d):
    r, g, b = split(c)
    return rgb(r + d, g + d, b + d)


def hash2(x, y, seed=0):
    h = (x * 374761393 + y * 668265263 + seed * 982451653) & 0xFFFFFFFF
    h = ((h ^ (h >> 13)) * 1274126177) & 0xFFFFFFFF
    h ^= h >> 16
    return h / 4294967296.0


# --------------------------------------------------------------------------
# Canvas in window coordinates; a small canvas may sit at an origin offset.
# --------------------------------------------------------------------------


class Canvas:
    def __init__(self, w, h, fill=0, ox=0, oy=0):
        self.w, self.h, self.ox, self.oy = w, h, ox, oy
        self.px = [fill] * (w * h)

    def inside(self, x, y):
        return 0 <= x - self.ox < self.w and 0 <= y - self.oy < self.h

    def get(self, x, y):
        return self.px[(y - self.oy) * self.w + (x - self.ox)]

    def set(self, x, y, c):
        if self.inside(x, y):
            self.px[(y - self.oy) * self.w + (x - self.ox)] = c

    def fill(self, box, c):
        l, t, r, b = box
        for y in range(t, b):
            for x in range(l, r):
                self.set(x, y, c)

    def copy(self):
        c = Canvas(self.w, self.h, 0, self.ox, self.oy)
        c.px = list(self.px)
        return c

    def crop(self, box):
        l, t, r, b = box
        c = Canvas(r - l, b - t, 0, l, t)
        for y in range(t, b):
            for x in range(l, r):
                c.set(x, y, self.get(x, y))
        return c

    def blit(self, src, dx, dy):
        """Copies all of src with its top-left at (dx, dy) of this canvas."""
        for y in range(src.h):
            for x in range(src.w):
                self.px[(dy + y) * self.w + dx + x] = src.px[y * src.w + x]


def write_bmp(path, canvas):
    w, h = canvas.w, canvas.h
    stride = (w * 3 + 3) & ~3
    pad = b'\0' * (stride - w * 3)
    data = bytearray()
    for y in range(h - 1, -1, -1):
        row = bytearray()
        base = y * w
        for x in range(w):
            c = canvas.px[base + x]
            row += bytes((c & 255, (c >> 8) & 255, (c >> 16) & 255))
        data += row + pad
    header = struct.pack('<2sIHHI', b'BM', 14 + 40 + len(data), 0, 0, 14 + 40)
    info = struct.pack('<IiiHHIIiiII', 40, w, h, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, 'wb') as f:
        f.write(header + info + bytes(data))


# --------------------------------------------------------------------------
# Window shape
# --------------------------------------------------------------------------


def in_rounded(x, y, box, radius, corners):
    l, t, r, b = box
    if not (l <= x < r and t <= y < b):
        return False
    lim = (radius + 0.5) ** 2
    for c in corners:
        cx = l + radius if c[1] == 'l' else r - 1 - radius
        cy = t + radius if c[0] == 't' else b - 1 - radius
        outx = x < cx if c[1] == 'l' else x > cx
        outy = y < cy if c[0] == 't' else y > cy
        if outx and outy and (x - cx) ** 2 + (y - cy) ** 2 > lim:
            return False
    return True


MOD_CENTRAL, MOD_RECORDER, MOD_EQUALIZER, MOD_PLAYLIST = 1, 2, 3, 4


def build_modules():
    mods = [0] * (W * H)
    for y in range(H):
        for x in range(W):
            m = 0
            if in_rounded(x, y, RECORDER_WING, 8, ('tl', 'bl')):
                m = MOD_RECORDER
            elif in_rounded(x, y, EQUALIZER_WING, 8, ('tr', 'br')):
                m = MOD_EQUALIZER
            elif in_rounded(x, y, PLAYLIST_BLOCK, 10, ('bl', 'br')):
                m = MOD_PLAYLIST
            elif in_rounded(x, y, CENTRAL, 8, ('tl', 'tr')):
                m = MOD_CENTRAL
            mods[y * W + x] = m
    return mods


MODULES = build_modules()


def module_at(x, y):
    if 0 <= x < W and 0 <= y < H:
        return MODULES[y * W + x]
    return 0


# --------------------------------------------------------------------------
# Pixel fonts and pictograms
# --------------------------------------------------------------------------

FONT3 = {
    'A': ['.#.', '#.#', '###', '#.#', '#.#'], 'B': ['##.', '#.#', '##.', '#.#', '##.'],
    'C': ['.##', '#..', '#..', '#..', '.##'], 'D': ['##.', '#.#', '#.#', '#.#', '##.'],
    'E': ['###', '#..', '##.', '#..', '###'], 'F': ['###', '#..', '##.', '#..', '#..'],
    'G': ['.##', '#..', '#.#', '#.#', '.##'], 'H': ['#.#', '#.#', '###', '#.#', '#.#'],
    'I': ['###', '.#.', '.#.', '.#.', '###'], 'J': ['..#', '..#', '..#', '#.#', '.#.'],
    'K': ['#.#', '#.#', '##.', '#.#', '#.#'], 'L': ['#..', '#..', '#..', '#..', '###'],
    'M': ['#...#', '##.##', '#.#.#', '#...#', '#...#'], 'N': ['#..#', '##.#', '#.##', '#..#', '#..#'],
    'O': ['.#.', '#.#', '#.#', '#.#', '.#.'], 'P': ['##.', '#.#', '##.', '#..', '#..'],
    'Q': ['.#.', '#.#', '#.#', '##.', '.##'], 'R': ['##.', '#.#', '##.', '#.#', '#.#'],
    'S': ['.##', '#..', '.#.', '..#', '##.'], 'T': ['###', '.#.', '.#.', '.#.', '.#.'],
    'U': ['#.#', '#.#', '#.#', '#.#', '###'], 'V': ['#.#', '#.#', '#.#', '#.#', '.#.'],
    'W': ['#...#', '#...#', '#.#.#', '##.##', '#...#'], 'X': ['#.#', '#.#', '.#.', '#.#', '#.#'],
    'Y': ['#.#', '#.#', '.#.', '.#.', '.#.'], 'Z': ['###', '..#', '.#.', '#..', '###'],
    '0': ['###', '#.#', '#.#', '#.#', '###'], '1': ['.#.', '##.', '.#.', '.#.', '###'],
    '2': ['##.', '..#', '.#.', '#..', '###'], '3': ['##.', '..#', '.#.', '..#', '##.'],
    '4': ['#.#', '#.#', '###', '..#', '..#'], '5': ['###', '#..', '##.', '..#', '##.'],
    '6': ['.##', '#..', '###', '#.#', '###'], '7': ['###', '..#', '.#.', '.#.', '.#.'],
    '8': ['###', '#.#', '###', '#.#', '###'], '9': ['###', '#.#', '###', '..#', '##.'],
    '+': ['...', '.#.', '###', '.#.', '...'], '-': ['...', '...', '###', '...', '...'],
    ' ': ['..', '..', '..', '..', '..'],
}

FONT5 = {
    'M': ['#...#', '##.##', '#.#.#', '#.#.#', '#...#', '#...#', '#...#'],
    'I': ['###', '.#.', '.#.', '.#.', '.#.', '.#.', '###'],
    'X': ['#...#', '#...#', '.#.#.', '..#..', '.#.#.', '#...#', '#...#'],
    'O': ['.###.', '#...#', '#...#', '#...#', '#...#', '#...#', '.###.'],
    'R': ['####.', '#...#', '#...#', '####.', '#.#..', '#..#.', '#...#'],
    'A': ['.###.', '#...#', '#...#', '#####', '#...#', '#...#', '#...#'],
}


def text_width(s, font=FONT3, gap=1):
    return sum(len(font[ch][0]) for ch in s) + gap * (len(s) - 1)


def draw_text(cv, x, y, s, color, font=FONT3, gap=1, scale=1, shadow=None):
    for ch in s:
        g = font[ch]
        for gy, row in enumerate(g):
            for gx, p in enumerate(row):
                if p == '#':
                    for sy in range(scale):
                        for sx in range(scale):
                            px, py = x + gx * scale + sx, y + gy * scale + sy
                            if shadow is not None:
                                cv.set(px, py + 1, shadow)
                            cv.set(px, py, color)
        x += (len(g[0]) + gap) * scale


def label(cv, cx, y, s):
    """An engraved caption centred on cx."""
    x = cx - text_width(s) // 2
    # shadow first, then the letters, so that letters win where they touch
    draw_text(cv, x, y + 1, s, 0x17191C)
    draw_text(cv, x, y, s, 0xA9B2BC)


PICTOS = {
    'play': ['#...', '##..', '###.', '####', '###.', '##..', '#...'],
    'pause': ['##.##'] * 7,
    'stop': ['######'] * 6,
    'next': ['#...#', '##..#', '###.#', '#####', '###.#', '##..#', '#...#'],
    'fwd': ['#...#...', '##..##..', '###.###.', '########', '###.###.', '##..##..', '#...#...'],
    'eject': ['...#...', '..###..', '.#####.', '#######', '.......', '#######'],
    'rec': ['..rrr..', '.rrrrr.', 'rrrrrrr', 'rrrrrrr', 'rrrrrrr', '.rrrrr.', '..rrr..'],
    'recstop': ['#####'] * 5,
    'input': ['..#.#..', '..#.#..', '.#####.', '.#####.', '..###..', '...#...', '...#...'],
    'save': ['######.', '#.##.##', '#.##..#', '#.....#', '#.###.#', '#.###.#', '#######'],
    'new': ['####..', '#..##.', '#...##', '#....#', '#....#', '#....#', '######'],
    'load': ['###.....', '#..#####', '#......#', '#......#', '#......#', '########'],
    'add': ['..#..', '..#..', '#####', '..#..', '..#..'],
    'remove': ['#####'],
    'clear': ['#...#', '.#.#.', '..#..', '.#.#.', '#...#'],
    'skin': ['##.rr', '##.rr', '.....', 'gg.aa', 'gg.aa'],
    'min': ['......', '......', '......', '######'],
    'power': ['...#...', '.#.#.#.', '#..#..#', '#.....#', '#.....#', '.#...#.', '..###..'],
    'up': ['..#..', '.###.', '#####'],
    'down': ['#####', '.###.', '..#..'],
    'mute0': ['...#......', '..##...#..', '####.#..#.', '####..#.#.', '####..#.#.',
              '####.#..#.', '..##...#..', '...#......'],
    'mute1': ['...#......', '..##......', '####.r...r', '####..r.r.', '####...r..',
              '####..r.r.', '..##.r...r', '...#......'],
    'repeat0': ['.........#', '.....#...#', '......#..#', '########.#', '......#..#',
                '.....#...#', '.........#'],
    'repeat1': ['...#####...', '..#.....#.#', '.#.......##', '#....#..###', '#...##.....',
                '#....#....#', '#....#....#', '.#..###..#.', '..#.....#..', '...#####...'],
    'repeat2': ['...#####...', '..#.....#.#', '.#.......##', '#.......###', '#..........',
                '#.........#', '#.........#', '.#.......#.', '..#.....#..', '...#####...'],
    'repeat3': ['........#..', '###...#####', '...#.#..#..', '....#......', '...#.#..#..',
                '###...#####', '........#..'],
    'voice0': ['.###.', '.###.', '.###.', '#.#.#', '#...#', '.###.', '..#..', '.###.'],
    'voice1': ['.###..r', '.###.r.', '.###r..', '#.#r#..', '#.r.#..', '.r##...', 'r.#....',
               '.###...'],
}


def mirror(rows):
    return [r[::-1] for r in rows]


PICTOS['prev'] = mirror(PICTOS['next'])
PICTOS['back'] = mirror(PICTOS['fwd'])


def _env_picto():
    # a sound source with two echo fronts spreading to the right
    rows = []
    for y in range(7):
        row = ''
        for x in range(9):
            d = math.hypot(x, y - 3)
            row += '#' if (x == 0 and y == 3) or (x >= 2 and (abs(d - 3.5) < 0.55 or abs(d - 6.5) < 0.55)) else '.'
        rows.append(row)
    return rows


PICTOS['env'] = _env_picto()

ACCENTS = {'r': 0xE8412F, 'g': 0x4FCB6A, 'a': 0xF0A53A}


def draw_picto(cv, box, rows, color, dx=0, dy=0, shadow=None, accent_scale=1.0):
    l, t, r, b = box
    gw, gh = len(rows[0]), len(rows)
    x0 = l + (r - l - gw) // 2 + dx
    y0 = t + (b - t - gh) // 2 + dy
    if shadow is not None:
        for gy, row in enumerate(rows):
            for gx, p in enumerate(row):
                if p == '#':
                    cv.set(x0 + gx + 1, y0 + gy + 1, shadow)
    for gy, row in enumerate(rows):
        for gx, p in enumerate(row):
            if p == '#':
                cv.set(x0 + gx, y0 + gy, color)
            elif p in ACCENTS:
                cv.set(x0 + gx, y0 + gy, shade(ACCENTS[p], 0) if accent_scale == 1.0
                       else mix(ACCENTS[p], 0x000000, 1.0 - accent_scale))


# --------------------------------------------------------------------------
# The face: brushed metal modules, bevels, screens, engravings
# --------------------------------------------------------------------------

MODULE_COLOUR = {
    MOD_CENTRAL: 0x3E4248,
    MOD_RECORDER: 0x35383D,
    MOD_EQUALIZER: 0x35383D,
    MOD_PLAYLIST: 0x383B40,
}
MODULE_BOX = {MOD_CENTRAL: CENTRAL, MOD_RECORDER: RECORDER_WING,
              MOD_EQUALIZER: EQUALIZER_WING, MOD_PLAYLIST: PLAYLIST_BLOCK}
MODULE_SEED = {MOD_CENTRAL: 11, MOD_RECORDER: 23, MOD_EQUALIZER: 37, MOD_PLAYLIST: 51}


def metal(x, y, m):
    seed = MODULE_SEED[m]
    row = hash2(0, y, seed) - 0.5
    row2 = hash2(1, y // 2, seed) - 0.5
    k = x // 23
    f = (x % 23) / 23.0
    a = hash2(k, y, seed + 1)
    b = hash2(k + 1, y, seed + 1)
    streak = a + (b - a) * f - 0.5
    fine = hash2(x, y, seed + 2) - 0.5
    d = row * 7 + row2 * 4 + streak * 5 + fine * 3
    # a soft sheen from the top left
    t, bot = MODULE_BOX[m][1], MODULE_BOX[m][3]
    d += 6 - 12 * (y - t) / (bot - t)
    return shade(MODULE_COLOUR[m], d)


LCD_BG = 0x0A151A
LCD_SCAN = 0x0D1A20
REC_LCD_BG = 0x170B09
REC_LCD_SCAN = 0x1B0E0C


def lcd_bg(y, rec=False):
    if rec:
        return REC_LCD_SCAN if y % 2 == 0 else REC_LCD_BG
    return LCD_SCAN if y % 2 == 0 else LCD_BG


def inset(cv, box, fill_fn, depth=2):
    """A recessed frame round box (outside it) and the filled screen inside."""
    l, t, r, b = box
    for y in range(t, b):
        for x in range(l, r):
            cv.set(x, y, fill_fn(x, y))
    for i in range(depth):
        ll, tt, rr, bb = l - 1 - i, t - 1 - i, r + i, b + i
        dark = 0x0C0D0F if i == 0 else 0x1C1E21
        light = 0x7C838C if i == depth - 1 else 0x4A4F56
        for x in range(ll, rr + 1):
            cv.set(x, tt, dark)
            cv.set(x, bb, light)
        for y in range(tt, bb + 1):
            cv.set(ll, y, dark)
            cv.set(rr, y, light)


def screw(cv, cx, cy):
    for dy in range(-2, 3):
        for dx in range(-2, 3):
            d2 = dx * dx + dy * dy
            if d2 <= 5:
                c = 0x8A9098 if (dx + dy) < 0 else 0x4A4E55
                if d2 >= 4:
                    c = 0x1E2024
                cv.set(cx + dx, cy + dy, c)
    for d in (-1, 0, 1):
        cv.set(cx + d, cy - d, 0x202226)


def draw_media_screen(cv):
    l, t, r, b = 141, 3, 384, 87

    def fill(x, y):
        fy = (y - t) / (b - t)
        c = mix(0x111922, 0x05080B, fy)
        # a faint diagonal glare across the glass
        g = (x - l) * 0.35 + (y - t)
        if 40 < g < 70:
            c = shade(c, 4)
        return c

    inset(cv, (l, t, r, b), fill, depth=2)
    # logo, dimly printed on the dark glass
    s = 'MIXORA'
    wlogo = text_width(s, FONT5, 2) * 2
    draw_text(cv, (l + r) // 2 - wlogo // 2, 33, s, 0x233442, FONT5, 2, 2)
    draw_text(cv, (l + r) // 2 - text_width('AUDIO  PANEL') // 2, 53, 'AUDIO  PANEL', 0x1C2A35)


def draw_seek_groove(cv):
    l, t, r, b = SEEK_TRACK
    y0 = 95
    for x in range(l + 2, r - 2):
        cv.set(x, y0, 0x0B0C0E)
        cv.set(x, y0 + 1, 0x15171A)
        cv.set(x, y0 + 2, 0x1B1E22)
        cv.set(x, y0 + 3, 0x6E757E)
    for i in range(11):
        x = l + 6 + i * (r - l - 13) // 10
        cv.set(x, 91, 0x6A717A)
        cv.set(x, 92, 0x6A717A if i % 5 == 0 else 0x4C5158)
        cv.set(x, 100, 0x6A717A if i % 5 == 0 else 0x4C5158)
        cv.set(x, 101, 0x6A717A)


def draw_volume_ramp(cv):
    l, t, r, b = VOLUME_TRACK
    for x in range(l + 1, r - 1):
        f = (x - l) / (r - l)
        hgt = 2 + int(f * 7)
        for y in range(b - 2 - hgt, b - 2):
            on = (x - l) % 3 != 2
            cv.set(x, y, mix(0x1A3B45, 0x2A8FA8, f) if on else 0x17191C)
    for x in range(l + 1, r - 1):
        cv.set(x, b - 2, 0x0C0D0F)
        cv.set(x, b - 1, 0x6E757E)


def draw_band_slots(cv):
    # dB grid across the bands
    for gy, mark in ((BAND_TOP + 3, '+'), (BAND_TOP + 23, '0'), (BAND_BOTTOM - 4, '-')):
        for x in range(BAND_LEFTS[0] - 2, BAND_LEFTS[-1] + BAND_WIDTH + 2):
            if x % 2 == 0:
                cv.set(x, gy, 0x5A6068)
        draw_text(cv, 400, gy - 2, mark, 0xA9B2BC, shadow=0x17191C)
        for x in range(404, 408):
            cv.set(x, gy, 0x5A6068)
    for l in BAND_LEFTS:
        cx = l + 3
        for y in range(BAND_TOP + 1, BAND_BOTTOM - 1):
            cv.set(cx, y, 0x08090A)
            cv.set(cx + 1, y, 0x1A1C20)
        cv.set(cx, BAND_BOTTOM - 1, 0x6E757E)
        cv.set(cx + 1, BAND_BOTTOM - 1, 0x6E757E)
        cv.set(cx + 1, 183, 0x2A8FA8)
        cv.set(cx, 183, 0x1F6677)


def draw_arc_groove(cv):
    for x, top, thick in ARC_COLUMNS:
        for i in range(thick):
            y = top + i
            if i == 0:
                c = 0x0A0B0D
            elif i == thick - 1:
                c = 0x727983
            else:
                c = mix(0x15171A, 0x262A2F, i / thick)
            cv.set(x, y, c)


def draw_grille(cv):
    for y in range(284, 356, 4):
        for x in range(358, 392, 4):
            cv.set(x, y, 0x0C0D0F)
            cv.set(x + 1, y, 0x111215)
            cv.set(x, y + 1, 0x15171A)
            cv.set(x + 1, y + 1, 0x5E646C)


def groove_line(cv, x0, x1, y):
    for x in range(x0, x1):
        cv.set(x, y, 0x1C1E22)
        cv.set(x, y + 1, 0x60666E)


def draw_module_plates(cv):
    """Brushed metal on every module, with a bevel where modules meet the outside."""
    for y in range(H):
        for x in range(W):
            m = MODULES[y * W + x]
            if not m:
                continue
            c = metal(x, y, m)
            up1 = module_at(x, y - 1) != m
            left1 = module_at(x - 1, y) != m
            down1 = module_at(x, y + 1) != m
            right1 = module_at(x + 1, y) != m
            if up1 or left1:
                c = mix(c, 0xFFFFFF, 0.32)
            elif down1 or right1:
                c = mix(c, 0x000000, 0.6)
            elif module_at(x, y - 2) != m or module_at(x - 2, y) != m:
                c = mix(c, 0xFFFFFF, 0.12)
            elif module_at(x, y + 2) != m or module_at(x + 2, y) != m:
                c = mix(c, 0x000000, 0.28)
            cv.px[y * W + x] = c


def draw_background():
    cv = Canvas(W, H, BLACK)
    draw_module_plates(cv)

    # central unit
    draw_media_screen(cv)
    draw_seek_groove(cv)
    inset(cv, (148, 110, 377, 134), lambda x, y: lcd_bg(y), depth=2)
    for x in range(216, 218):
        for y in range(114, 130):
            cv.set(x, y, 0x16262D)
    for dy in (119, 125):
        for yy in (dy, dy + 1):
            for xx in (TIME_COLON_X, TIME_COLON_X + 1):
                cv.set(xx, yy, 0x7DE8FF)
    draw_volume_ramp(cv)
    label(cv, 156, 143, 'VOL')
    label(cv, 212, 143, 'MUTE')
    label(cv, 236, 143, 'VOICE')
    label(cv, 300, 147, 'KEY')
    label(cv, 367, 143, 'REPEAT')
    groove_line(cv, 140, 380, 171)
    groove_line(cv, 136, 392, 200)
    for cx, s in ((158, 'REC'), (188, 'PL'), (218, 'EQ'), (260, 'ENV'), (290, 'SKIN'),
                  (332, 'MIN'), (360, 'POWER')):
        label(cv, cx, 205, s)
    label(cv, 263, 230, 'MIXORA  DIGITAL  AUDIO')
    screw(cv, 134, 8)
    screw(cv, 390, 8)
    screw(cv, 134, 233)
    screw(cv, 390, 233)

    # recorder wing
    label(cv, 69, 98, 'RECORDER')
    inset(cv, (16, 108, 122, 126), lambda x, y: lcd_bg(y, True), depth=2)
    for dy in (114, 118):
        for yy in (dy, dy + 1):
            for xx in (REC_COLON_X, REC_COLON_X + 1):
                cv.set(xx, yy, 0xFF5A3C)
    draw_text(cv, 98, 115, 'REC', 0x5A1E14)
    for cx, s in ((30, 'REC'), (66, 'STOP'), (102, 'PLAY')):
        label(cv, cx, 151, s)
    for cx, s in ((30, 'NEW'), (66, 'SAVE'), (102, 'INPUT')):
        label(cv, cx, 179, s)
    screw(cv, 9, 101)
    screw(cv, 9, 183)
    screw(cv, 127, 101)
    screw(cv, 127, 183)

    # equalizer wing
    label(cv, 452, 96, 'EQUALIZER')
    label(cv, 434, 112, 'ON')
    draw_band_slots(cv)
    screw(cv, 510, 99)
    screw(cv, 510, 185)
    label(cv, BAND_LEFTS[0] + 5, 187, '100')
    label(cv, BAND_LEFTS[4] + 8, 187, '1K')
    label(cv, BAND_LEFTS[9] + 3, 187, '16K')

    # playlist block
    draw_arc_groove(cv)
    inset(cv, PLAYLIST_BOX, lambda x, y: LCD_SCAN if ((y - PLAYLIST_BOX[1]) // PLAYLIST_LINE) % 2
          else LCD_BG, depth=1)
    label(cv, 298, 262, 'PLAYLIST')
    groove_line(cv, 262, 334, 270)
    draw_grille(cv)
    for cx, s in ((190, 'ADD'), (226, 'DEL'), (262, 'CLR'), (298, 'LOAD'), (334, 'SAVE')):
        label(cv, cx, 383, s)
    draw_text(cv, 300, 398, 'MIXORA', 0x24272B, FONT5, 2, shadow=0x5A6068)
    draw_text(cv, 300, 397, 'MIXORA', 0x8E969F, FONT5, 2)
    screw(cv, 141, 404)
    screw(cv, 382, 404)
    return cv


# --------------------------------------------------------------------------
# Controls in their three looks
# --------------------------------------------------------------------------

LOOK_NORMAL, LOOK_FOCUS, LOOK_DOWN = 0, 1, 2
GLOW = 0x37C6E4


def draw_cap(cv, box, look):
    l, t, r, b = box
    h = b - t
    for y in range(t, b):
        for x in range(l, r):
            corner = (x in (l, r - 1)) and (y in (t, b - 1))
            if corner:
                continue  # leave the face showing: a rounded cap
            fy = (y - t) / max(1, h - 1)
            if look == LOOK_NORMAL:
                c = mix(0x60656D, 0x33363B, fy)
            elif look == LOOK_FOCUS:
                c = mix(0x7A8089, 0x454A51, fy)
            else:
                c = mix(0x24272A, 0x383C41, fy)
            edge = x in (l, r - 1) or y in (t, b - 1)
            if edge:
                c = mix(0x0F1012, GLOW, 0.65) if look == LOOK_FOCUS else 0x0F1012
            elif y == t + 1 or x == l + 1:
                if look == LOOK_DOWN:
                    c = 0x16181A
                else:
                    c = mix(c, 0xFFFFFF, 0.35)
            elif (y == b - 2 or x == r - 2) and look != LOOK_DOWN:
                c = mix(c, 0x000000, 0.35)
            cv.set(x, y, c)


def picto_colours(look):
    if look == LOOK_NORMAL:
        return 0xD3D9DF, 0x1A1C1F, 0, 1.0
    if look == LOOK_FOCUS:
        return 0xC8F8FF, 0x124452, 0, 1.0
    return 0x9AA1A8, None, 1, 0.8


def draw_led(cv, cx, cy, lit, colour):
    for dy in range(4):
        for dx in range(4):
            if (dx in (0, 3)) and (dy in (0, 3)):
                continue
            if lit:
                c = mix(colour, 0xFFFFFF, 0.55) if (dx, dy) in ((1, 1),) else colour
            else:
                c = mix(colour, 0x000000, 0.75)
            cv.set(cx - 2 + dx, cy - 2 + dy, c)


def draw_button(cv, box, kind, look, state=0):
    draw_cap(cv, box, look)
    col, shadow, shift, acc = picto_colours(look)
    l, t, r, b = box
    if kind == 'toggle':
        # a slim rocker with an LED: lit while its panel is shown (SKINBASE,
        # SKINFOCUS), dark on SKINDOWN, the look of a hidden panel
        draw_led(cv, l + 6 + shift, t + (b - t) // 2 + shift, look != LOOK_DOWN, 0xF0A53A)
        for x in range(l + 11, r - 4):
            cv.set(x + shift, t + (b - t) // 2 - 1 + shift, mix(col, 0x000000, 0.45))
            cv.set(x + shift, t + (b - t) // 2 + shift, mix(col, 0x000000, 0.2))
        return
    if kind == 'eqon':
        draw_led(cv, l + 6 + shift, t + 6 + shift, state == 1, 0x5CF07A)
        return
    if kind == 'preset':
        s = 'PRESET'
        x = l + (r - l - text_width(s)) // 2 + shift
        y = t + (b - t - 5) // 2 + shift
        if shadow is not None:
            draw_text(cv, x + 1, y + 1, s, shadow)
        draw_text(cv, x, y, s, col)
        return
    if kind == 'play':
        rows = PICTOS['pause' if state == 1 else 'play']
    elif kind in ('mute', 'repeat', 'voice'):
        rows = PICTOS[kind + str(state)]
    elif kind == 'env':
        rows = PICTOS['env']
    else:
        rows = PICTOS[kind]
    if kind == 'voice' and state == 1 and look != LOOK_DOWN:
        col = 0xFFD27A if look == LOOK_NORMAL else 0xFFE8B0
    if kind == 'mute' and state == 1 and look != LOOK_DOWN:
        col = mix(col, 0x000000, 0.35)
    draw_picto(cv, box, rows, col, shift, shift, shadow, acc)


def draw_thumb(cv, box, kind, look):
    l, t, r, b = box
    w, h = r - l, b - t
    base_top, base_bot = (0xA9B0B9, 0x5E646C) if look == LOOK_FOCUS else (0x70767E, 0x3E4248)
    for y in range(t, b):
        for x in range(l, r):
            fy = (y - t) / max(1, h - 1)
            c = mix(base_top, base_bot, fy)
            edge = x in (l, r - 1) or y in (t, b - 1)
            if edge:
                c = 0x0E0F11
            elif y == t + 1 or x == l + 1:
                c = mix(c, 0xFFFFFF, 0.4 if look == LOOK_FOCUS else 0.1)
            cv.set(x, y, c)
    mark = GLOW if look == LOOK_FOCUS else 0x1E7F96
    if kind in ('seek', 'volume'):
        cx = l + w // 2
        for y in range(t + 2, b - 2):
            cv.set(cx, y, mark)
            if kind == 'seek':
                cv.set(cx - 1, y, 0x24272B)
    elif kind == 'band':
        for x in range(l + 2, r - 2):
            cv.set(x, t + h // 2, mark)
    elif kind == 'scroll':
        for x in range(l + 2, r - 2):
            cv.set(x, t + 2, mark)


def draw_lamp(cv, box, level, lit):
    l, t, r, b = box
    colour = 0x5CF07A if level == 0 else 0xFFA43A
    for y in range(t, b):
        for x in range(l, r):
            edge = x in (l, r - 1) or y in (t, b - 1)
            if lit:
                c = mix(colour, 0xFFFFFF, 0.5) if y == t + 1 and not edge else colour
                if edge:
                    c = mix(colour, 0x000000, 0.35)
            else:
                c = mix(colour, 0x000000, 0.78)
                if edge:
                    c = 0x0E0F11
            cv.set(x, y, c)


# 7-segment digits ----------------------------------------------------------

SEGMENTS = {
    0: 'abcdef', 1: 'bc', 2: 'abged', 3: 'abgcd', 4: 'fgbc',
    5: 'afgcd', 6: 'afgedc', 7: 'abc', 8: 'abcdefg', 9: 'abcdfg',
}


def segment_pixels(w, h):
    """Pixels of each segment for a cell of w x h."""
    if (w, h) == (9, 13):
        xl, xr, top, mid, bot, thick = 1, 6, 1, 6, 11, 2
    else:  # 10 x 10
        xl, xr, top, mid, bot, thick = 1, 7, 1, 5, 9, 2
    seg = {c: [] for c in 'abcdefg'}
    for x in range(xl + 1, xr + thick - 1):
        seg['a'].append((x, top))
        seg['g'].append((x, mid))
        seg['d'].append((x, bot))
    for y in range(top + 1, mid):
        for k in range(thick):
            seg['f'].append((xl + k, y))
            seg['b'].append((xr + k, y))
    for y in range(mid + 1, bot):
        for k in range(thick):
            seg['e'].append((xl + k, y))
            seg['c'].append((xr + k, y))
    return seg


def draw_digit(cv, box, digit, rec):
    l, t, r, b = box
    lit = 0xFF5A3C if rec else 0x7DE8FF
    ghost = 0x2A120E if rec else 0x10262E
    for y in range(t, b):
        for x in range(l, r):
            cv.set(x, y, lcd_bg(y, rec))
    segs = segment_pixels(r - l, b - t)
    on = SEGMENTS[digit]
    for name, pts in segs.items():
        if name not in on:
            for (x, y) in pts:
                cv.set(l + x, t + y, ghost)
    for name, pts in segs.items():
        if name in on:
            for (x, y) in pts:
                cv.set(l + x, t + y, lit)


def draw_controls(cv, look):
    for (_id, _key, _style, _strip, box, kind) in BUTTONS:
        # toggles too: highlighted on SKINFOCUS, pressed (panel hidden) on SKINDOWN
        draw_button(cv, box, kind, look, 0)
    if look != LOOK_NORMAL:
        for (_id, _tk, _hk, _track, thumb, kind) in SLIDERS:
            draw_thumb(cv, thumb, kind, look)
    for level, (_key, box) in zip(range(-4, 5), KEY_LAMPS):
        draw_lamp(cv, box, level, look == LOOK_FOCUS)
    for _key, box in TIME_DIGITS:
        draw_digit(cv, box, 0, False)
    for _key, box in REC_DIGITS:
        draw_digit(cv, box, 0, True)


def make_strip(bg, box, kind, states):
    l, t, r, b = box
    w, h = r - l, b - t
    strip = Canvas(w * 3, h * states, BLACK)
    for state in range(states):
        for look in range(3):
            cell = bg.crop(box)
            draw_button(cell, box, kind, look, state)
            strip.blit(cell, look * w, state * h)
    return strip


def make_digit_strip(box, rec):
    l, t, r, b = box
    w, h = r - l, b - t
    strip = Canvas(w * 10, h, BLACK)
    for d in range(10):
        cell = Canvas(w, h, 0, l, t)
        draw_digit(cell, box, d, rec)
        strip.blit(cell, d * w, 0)
    return strip


# --------------------------------------------------------------------------
# Masks
# --------------------------------------------------------------------------


def make_mask():
    m = Canvas(W, H, BLACK)
    for i, mod in enumerate(MODULES):
        if mod:
            m.px[i] = BODY

    def paint(pts, key, allow=(BODY,)):
        for (x, y) in pts:
            cur = m.get(x, y)
            if cur not in allow:
                raise SystemExit('mask key 0x%06X at (%d,%d) collides with 0x%06X'
                                 % (key, x, y, cur))
            m.set(x, y, key)

    for (_id, key, _style, _strip, box, _kind) in BUTTONS:
        paint(box_pixels(box), key)
    for (_id, tkey, hkey, track, thumb, _kind) in SLIDERS:
        paint(track, tkey)
        paint(box_pixels(thumb), hkey, (BODY, tkey))
    l, t, r, b = PLAYLIST_BOX
    paint(box_pixels((l, t + PLAYLIST_LINE, r, b)), 0xC7C7C7)
    paint(box_pixels((l, t, r - TIME_COLUMN_WIDTH, t + PLAYLIST_LINE)), 0xC7C700)
    paint(box_pixels((r - TIME_COLUMN_WIDTH, t, r, t + PLAYLIST_LINE)), 0xC7C7FF)
    paint(box_pixels(TITLE_BOX), 0x373737)
    for key, box in TIME_DIGITS + REC_DIGITS + KEY_LAMPS:
        paint(box_pixels(box), key)
    paint(MEDIA_MARKS, 0x177BDF)
    return m


def make_mask2():
    m = Canvas(W, H, BLACK)
    keys = {MOD_RECORDER: PANEL_KEYS['recorder'], MOD_EQUALIZER: PANEL_KEYS['equalizer'],
            MOD_PLAYLIST: PANEL_KEYS['playlist']}
    for i, mod in enumerate(MODULES):
        if mod in keys:
            m.px[i] = keys[mod]
    return m


# --------------------------------------------------------------------------
# Description text
# --------------------------------------------------------------------------


def colorref(c):
    r, g, b = c
    return '0x00%02X%02X%02X' % (b, g, r)


def description(colours=(NAME_COLOR, PL_COLOR, SELECTED_COLOR, PLAYING_COLOR),
                scroll_type=2, scroll_reverse=1):
    """The description text; colours are (name, playlist, selected, playing) as (r, g, b)."""
    name_color, pl_color, selected_color, playing_color = colours
    named = [
        ('Play', 0xFA0064), ('Stop', 0xC80064), ('Next', 0x960064), ('Previous', 0x640064),
        ('Open', 0x006464), ('Repeat', 0x96FA64), ('Mute', 0x009664), ('Volume', 0x000064),
        ('Seek', 0xB10032), ('Minimize', 0x3200B1), ('Power', 0x6400B1),
    ]
    lines = [
        '[Bitmaps]',
        'SkinBase=SKINBASE',
        'SkinMask=SKINMASK',
        'SkinFocus=SKINFOCUS',
        'SkinDown=SKINDOWN',
        '',
        '[SystemColor]',
        'SkinTransparent=0x00000000',
        '',
        '[FontColor]',
        'NameColor=' + colorref(name_color),
        'PLColor=' + colorref(pl_color),
        'SelectedPLColor=' + colorref(selected_color),
        'PlayingPLColor=' + colorref(playing_color),
        '',
        '[ScrollType]',
        'PLScrollType=%d' % scroll_type,
        'PLScrollReverse=%d' % scroll_reverse,
        '',
        '[Controls]',
        'TotalControls=%d' % len(named),
    ]
    for i, (name, _key) in enumerate(named, 1):
        lines.append('Control%d=%s' % (i, name))
    for name, key in named:
        lines += ['', '[%s]' % name, 'ColorKey=0x%06X' % key]
    return ('\r\n'.join(lines) + '\r\n').encode('ascii')


# --------------------------------------------------------------------------


def render_skin(bg):
    """The three faces, the state strips and the digit strips drawn over the
    bare face bg, by resource name."""
    images = {}
    for look, name in ((LOOK_NORMAL, 'SKINBASE'), (LOOK_FOCUS, 'SKINFOCUS'),
                       (LOOK_DOWN, 'SKINDOWN')):
        face = bg.copy()
        draw_controls(face, look)
        images[name] = face
    for (_id, _key, style, strip, box, kind) in BUTTONS:
        if style == 2:
            images[strip] = make_strip(bg, box, kind, STRIP_STATES[strip])
    images['PLAYNO'] = make_digit_strip(TIME_DIGITS[0][1], False)
    images['RECORDNO'] = make_digit_strip(REC_DIGITS[0][1], True)
    return images


def write_skin(out, images, info):
    """Writes <out>/bitmaps/<NAME>.bmp for every image and the description as
    <out>/custom/SKININFO/134.txt."""
    bmp_dir = os.path.join(out, 'bitmaps')
    info_dir = os.path.join(out, 'custom', 'SKININFO')
    os.makedirs(bmp_dir, exist_ok=True)
    os.makedirs(info_dir, exist_ok=True)
    for name, canvas in images.items():
        write_bmp(os.path.join(bmp_dir, name + '.bmp'), canvas)
    with open(os.path.join(info_dir, '134.txt'), 'wb') as f:
        f.write(info)


def main(argv):
    root = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), '..'))
    out = os.path.join(root, 'resources')
    if len(argv) >= 3 and argv[1] == '--out':
        out = argv[2]
    images = render_skin(draw_background())
    images['SKINMASK'] = make_mask()
    images['SKINMASK2'] = make_mask2()
    write_skin(out, images, description())
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))
