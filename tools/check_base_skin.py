#!/usr/bin/env python3
"""Checks the built-in skin written by make_base_skin.py.

Reads the BMP files back, independently of the generator's tables, and checks
sizes and headers, every colour key and the boxes the program relies on, the
panel mask, the agreement between faces and strips, the skin description, and
that a second run of the generator reproduces the same bytes.

Run:  python3 tools/check_base_skin.py      (exits non-zero on the first failure)
"""

import filecmp
import os
import struct
import subprocess
import sys
import tempfile

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), '..'))
RES = os.path.join(ROOT, 'resources')
BMP = os.path.join(RES, 'bitmaps')

SIZES = {
    'SKINBASE': (520, 419), 'SKINFOCUS': (520, 419), 'SKINDOWN': (520, 419),
    'SKINMASK': (520, 419), 'SKINMASK2': (520, 419),
    'PLAYSTS': (66, 26), 'EQONSTS': (36, 24), 'MUTESTS': (42, 28), 'REPEATSTS': (48, 64),
    'VOICECSTS': (39, 28), 'PLAYNO': (90, 13), 'RECORDNO': (100, 10),
}

BUTTON_KEYS = {
    1001: 0xFA0064, 1007: 0x009664, 1006: 0x96FA64, 1067: 0xFAFA64, 1086: 0x3200FA,
    1083: 0x580032, 1084: 0x580064, 1085: 0x580096, 1002: 0xC80064, 1003: 0x960064,
    1004: 0x640064, 1062: 0x00FA64, 1064: 0x00C864, 1005: 0x006464, 1065: 0x64FA64,
    1066: 0xC8FA64, 1068: 0x64C864, 1069: 0x96C864, 1070: 0x000078, 1071: 0x320078,
    1072: 0x640078, 1073: 0x960078, 1074: 0xC80078, 1075: 0xFA0078, 1076: 0x3200C8,
    1077: 0x6400C8, 1078: 0x9600C8, 1079: 0xC800C8, 1080: 0xFA00C8, 1081: 0x3200B1,
    1082: 0x6400B1, 1087: 0x6400FA,
}
SLIDER_KEYS = {
    1008: (0x000064, 0xC8C864), 1099: (0xB10032, 0xB16432), 1098: (0xB10064, 0xB16464),
}
BANDS = [0x64, 0x78, 0x8C, 0xA0, 0xB4, 0xC8, 0xDC, 0xF0, 0x50, 0x3C]
for _i, _b in enumerate(BANDS):
    SLIDER_KEYS[1088 + _i] = (0x400000 | _b, 0xFF0000 | _b)

TIME_KEYS = [0x9B00C8, 0x9B0096, 0x9B0064, 0x9B0032]
REC_KEYS = [0x3700C8, 0x370096, 0x370064, 0x370032]
LAMP_KEYS = [0xE9E950 + 0x14 * level for level in range(-4, 5)]
OTHER_KEYS = [0x177BDF, 0x373737, 0xC7C7C7, 0xC7C700, 0xC7C7FF] + TIME_KEYS + REC_KEYS + LAMP_KEYS

STRIPS = {  # button id: (strip, cell w, cell h, states)
    1001: ('PLAYSTS', 22, 13, 2), 1007: ('MUTESTS', 14, 14, 2), 1006: ('REPEATSTS', 16, 16, 4),
    1067: ('VOICECSTS', 13, 14, 2), 1086: ('EQONSTS', 12, 12, 2),
}

RECORDER = (0, 91, 138, 193)
EQUALIZER = (382, 89, 520, 195)
PLAYLIST = (128, 241, 396, 419)
CENTRAL = (128, 0, 396, 241)

failures = []


def check(cond, what):
    if not cond:
        failures.append(what)
        print('FAIL:', what)


def read_bmp(name):
    path = os.path.join(BMP, name + '.bmp')
    data = open(path, 'rb').read()
    magic, fsize, _r1, _r2, off = struct.unpack_from('<2sIHHI', data, 0)
    (hsize, w, h, planes, bpp, comp, isize, xppm, yppm, used, important) = \
        struct.unpack_from('<IiiHHIIiiII', data, 14)
    stride = (w * 3 + 3) & ~3
    check(magic == b'BM' and fsize == len(data), name + ': file header')
    check(off == 54 and hsize == 40 and planes == 1 and bpp == 24 and comp == 0,
          name + ': 24-bit BITMAPINFOHEADER without palette')
    check(h > 0, name + ': bottom-up')
    check(isize == stride * h and len(data) == 54 + isize, name + ': biSizeImage')
    check(xppm == 2835 and yppm == 2835 and used == 0 and important == 0, name + ': resolution')
    px = []
    for y in range(h):
        row = off + (h - 1 - y) * stride
        for x in range(w):
            b, g, r = data[row + 3 * x: row + 3 * x + 3]
            px.append((r << 16) | (g << 8) | b)
    return w, h, px


class Image:
    def __init__(self, name):
        self.name = name
        self.w, self.h, self.px = read_bmp(name)

    def at(self, x, y):
        return self.px[y * self.w + x]

    def crop(self, box):
        l, t, r, b = box
        return [self.at(x, y) for y in range(t, b) for x in range(l, r)]


def amber(c):
    r, g, b = (c >> 16) & 0xFF, (c >> 8) & 0xFF, c & 0xFF
    return r > 200 and 120 < g < 220 and b < 120


def boxes_by_key(img):
    boxes = {}
    for y in range(img.h):
        for x in range(img.w):
            k = img.px[y * img.w + x]
            b = boxes.get(k)
            if b is None:
                boxes[k] = [x, y, x + 1, y + 1, 1]
            else:
                b[0] = min(b[0], x)
                b[1] = min(b[1], y)
                b[2] = max(b[2], x + 1)
                b[3] = max(b[3], y + 1)
                b[4] += 1
    return {k: (tuple(v[:4]), v[4]) for k, v in boxes.items()}


def union(*bs):
    return (min(b[0] for b in bs), min(b[1] for b in bs), max(b[2] for b in bs),
            max(b[3] for b in bs))


def inside(box, outer):
    return outer[0] <= box[0] and outer[1] <= box[1] and box[2] <= outer[2] and box[3] <= outer[3]


def size(box):
    return box[2] - box[0], box[3] - box[1]


def main():
    imgs = {}
    for name, (w, h) in SIZES.items():
        img = Image(name)
        check((img.w, img.h) == (w, h), '%s is %dx%d' % (name, w, h))
        imgs[name] = img
    mask = imgs['SKINMASK']
    bk = boxes_by_key(mask)
    box = {k: v[0] for k, v in bk.items()}

    # every key of the tables is present
    for cid, key in BUTTON_KEYS.items():
        check(key in box, 'button %d key 0x%06X present' % (cid, key))
    for cid, (tk, hk) in SLIDER_KEYS.items():
        check(tk in box and hk in box, 'slider %d keys present' % cid)
    for key in OTHER_KEYS + [0x000000, 0x00FF00]:
        check(key in box, 'key 0x%06X present' % key)
    known = set(BUTTON_KEYS.values()) | set(OTHER_KEYS) | {0, 0x00FF00}
    for tk, hk in SLIDER_KEYS.values():
        known |= {tk, hk}
    check(set(box) <= known, 'no stray colours in SKINMASK: %s'
          % sorted('%06X' % k for k in set(box) - known))
    if failures:
        return

    # the boxes the program relies on
    check(union(box[0xC7C7C7], box[0xC7C700], box[0xC7C7FF]) == (176, 280, 348, 358),
          'playlist area')
    check(union(box[0xC7C700], box[0xC7C7FF]) == (176, 280, 348, 293), 'first playlist line')
    check(box[0xC7C7FF][1:] == (280, 348, 293) and box[0xC7C700][2] == box[0xC7C7FF][0],
          'length column at the right end of the first line')
    check(78 // size(box[0xC7C700])[1] == 6, 'six visible lines')
    check(box[0x373737] == (234, 114, 373, 130), 'title')
    check(union(box[0xB10032], box[0xB16432]) == (155, 90, 368, 103), 'seeking bar')
    check(union(box[0x000064], box[0xC8C864]) == (153, 152, 202, 163), 'volume')
    check(box[0xFA0064] == (270, 179, 292, 192), 'play / pause')
    check(box[0x177BDF] == (138, 0, 387, 90) and bk[0x177BDF][1] == 3, 'media marks')
    check(mask.at(138, 0) == 0x177BDF and mask.at(386, 89) == 0x177BDF, 'media corner marks')
    bands = [union(box[0x400000 | b], box[0xFF0000 | b]) for b in BANDS]
    check(union(*bands) == (411, 132, 494, 179), 'band sliders span')
    for i, b in enumerate(bands):
        check(size(b)[0] in (8, 9) and size(b)[1] > size(b)[0], 'band %d narrow and vertical' % i)
        if i:
            check(b[0] >= bands[i - 1][2], 'band %d right of band %d' % (i, i - 1))
    for cid, (strip, cw, ch, states) in STRIPS.items():
        check(size(box[BUTTON_KEYS[cid]]) == (cw, ch), 'button %d box is its strip cell' % cid)
        check((imgs[strip].w, imgs[strip].h) == (3 * cw, states * ch), strip + ' grid')
    for keys, cell, what in ((TIME_KEYS, (9, 13), 'time'), (REC_KEYS, (10, 10), 'rec')):
        bs = [box[k] for k in keys]
        check(all(size(b) == cell for b in bs), what + ' digit cells %dx%d' % cell)
        check(bs[3][2] <= bs[2][0] and bs[2][2] <= bs[1][0] and bs[1][2] <= bs[0][0],
              what + ' digits run minutes tens .. seconds units, left to right')
        check(len({b[1] for b in bs}) == 1, what + ' digits on one row')
    lamps = [box[k] for k in LAMP_KEYS]
    check(all(lamps[i][2] <= lamps[i + 1][0] for i in range(8)), 'lamps -4..+4 left to right')
    check(len({size(b) for b in lamps}) == 1 and len({b[1] for b in lamps}) == 1,
          'lamps alike and in a row')
    scroll = union(box[0xB10064], box[0xB16464])
    check(size(box[0xB10064]) == (108, 73) and size(scroll) == (108, 73),
          'scrollbar arc 108 x 73')
    check(box[0xB16464][2] == scroll[2], 'scrollbar thumb at the right end')

    # where things are
    for cid in range(1070, 1076):
        check(inside(box[BUTTON_KEYS[cid]], RECORDER), 'button %d in recorder wing' % cid)
    for k in REC_KEYS:
        check(inside(box[k], RECORDER), 'rec digit in recorder wing')
    for cid in (1086, 1087):
        check(inside(box[BUTTON_KEYS[cid]], EQUALIZER), 'button %d in equalizer wing' % cid)
    for b in bands:
        check(inside(b, EQUALIZER), 'band in equalizer wing')
    for cid in range(1076, 1081):
        check(inside(box[BUTTON_KEYS[cid]], PLAYLIST), 'button %d in playlist block' % cid)
    check(inside(scroll, PLAYLIST) and inside((176, 280, 348, 358), PLAYLIST),
          'list and scrollbar in playlist block')
    for cid in (1001, 1002, 1003, 1004, 1005, 1006, 1007, 1062, 1064, 1065, 1066, 1067,
                1068, 1069, 1081, 1082, 1083, 1084, 1085):
        b = box[BUTTON_KEYS[cid]]
        check(inside(b, CENTRAL) and not any(
            inside(b, w) for w in (RECORDER, EQUALIZER)), 'button %d in central body' % cid)
    rects = [box[k] for k in BUTTON_KEYS.values()]
    for i in range(len(rects)):
        for j in range(i + 1, len(rects)):
            a, c = rects[i], rects[j]
            check(a[2] <= c[0] or c[2] <= a[0] or a[3] <= c[1] or c[3] <= a[1],
                  'buttons apart: %s %s' % (a, c))
    for cid, key in BUTTON_KEYS.items():
        check(bk[key][1] == size(box[key])[0] * size(box[key])[1], 'button %d is a box' % cid)
    body = bk[0x00FF00][1]
    check(body > 60000, 'plenty of body (%d px)' % body)

    # one piece
    shape = [p != 0 for p in mask.px]
    start = shape.index(True)
    seen = {start}
    todo = [start]
    while todo:
        i = todo.pop()
        x, y = i % mask.w, i // mask.w
        for nx, ny in ((x + 1, y), (x - 1, y), (x, y + 1), (x, y - 1)):
            if 0 <= nx < mask.w and 0 <= ny < mask.h:
                j = ny * mask.w + nx
                if shape[j] and j not in seen:
                    seen.add(j)
                    todo.append(j)
    check(len(seen) == sum(shape), 'window shape is one piece')

    # panels
    m2 = imgs['SKINMASK2']
    b2 = boxes_by_key(m2)
    check(set(b2) == {0, 0xABABAB, 0x474747, 0xA8A8A8}, 'SKINMASK2 colours')
    check(b2[0xABABAB][0] == RECORDER, 'recorder panel box')
    check(b2[0x474747][0] == EQUALIZER, 'equalizer panel box')
    check(b2[0xA8A8A8][0] == PLAYLIST, 'playlist panel box')
    check(all(mask.px[i] != 0 for i, p in enumerate(m2.px) if p), 'panels inside the shape')
    rest = [mask.px[i] != 0 for i, p in enumerate(m2.px) if not p]
    check(any(rest), 'a central body outside the panels')

    # faces
    for name in ('SKINBASE', 'SKINFOCUS', 'SKINDOWN'):
        f = imgs[name]
        check(all(f.px[i] == 0 for i, s in enumerate(shape) if not s), name + ' black outside')
    base, focus, down = imgs['SKINBASE'], imgs['SKINFOCUS'], imgs['SKINDOWN']
    for cid, key in BUTTON_KEYS.items():
        b = box[key]
        check(base.crop(b) != focus.crop(b) != down.crop(b) != base.crop(b),
              'button %d has three looks' % cid)
        if cid in (1083, 1084, 1085):
            # the lamp: lit (amber) while the panel is shown, dark while hidden
            lamp = (b[0] + 2, b[1], b[0] + 11, b[3])
            lit = [any(amber(c) for c in f.crop(lamp)) for f in (base, focus, down)]
            check(lit == [True, True, False],
                  'toggle %d lamp lit on SKINBASE and SKINFOCUS, dark on SKINDOWN' % cid)
    for cid, (tk, hk) in SLIDER_KEYS.items():
        t = box[hk]
        check(base.crop(t) != focus.crop(t) and base.crop(t) != down.crop(t),
              'slider %d thumb painted at home in SKINFOCUS and SKINDOWN' % cid)
    for b in lamps:
        check(base.crop(b) != focus.crop(b), 'lamp lit in SKINFOCUS')

    # strips agree with the faces where they stand
    for cid, (strip, cw, ch, states) in STRIPS.items():
        s = imgs[strip]
        b = box[BUTTON_KEYS[cid]]
        for look, face in enumerate((base, focus, down)):
            cell = [s.at(look * cw + x, y) for y in range(ch) for x in range(cw)]
            check(cell == face.crop(b), '%s look %d matches %s' % (strip, look, face.name))
        for look in range(3):
            rows = [tuple(s.at(look * cw + x, st * ch + y) for y in range(ch) for x in range(cw))
                    for st in range(states)]
            check(len(set(rows)) == states, '%s look %d: states differ' % (strip, look))
    for digits, keys, cw, ch in (('PLAYNO', TIME_KEYS, 9, 13), ('RECORDNO', REC_KEYS, 10, 10)):
        s = imgs[digits]
        cells = [tuple(s.at(d * cw + x, y) for y in range(ch) for x in range(cw)) for d in range(10)]
        check(len(set(cells)) == 10, digits + ' ten different digits')
        check(list(cells[0]) == base.crop(box[keys[0]]), digits + ' zero matches the face')

    # thumbs land on their home place when drawn at their home position
    for cid, (tk, hk) in SLIDER_KEYS.items():
        region = {(x, y) for y in range(mask.h) for x in range(mask.w)
                  if mask.at(x, y) in (tk, hk)}
        thumb = {(x, y) for (x, y) in region if mask.at(x, y) == hk}
        B = union(box[tk], box[hk])
        T = box[hk]
        vertical = size(B)[1] > size(B)[0]
        if cid == 1098:
            vertical = False
        length = (B[3] - B[1] + 1) if vertical else (B[2] - B[0] + 1)
        extent = (T[3] - T[1] + 1) if vertical else (T[2] - T[0] + 1)
        offs = []
        if vertical:
            for y in range(T[1], T[3] + 1):
                sx = next((x for x in range(B[0], B[2] + 1) if (x, y) in region), None)
                tx = next((x for x in range(B[0], B[2] + 1) if (x, y) in thumb), None)
                if sx is not None and tx is not None:
                    offs.append(tx - sx)
        else:
            for x in range(T[0], T[2] + 1):
                sy = next((y for y in range(B[1], B[3] + 1) if (x, y) in region), None)
                ty = next((y for y in range(B[1], B[3] + 1) if (x, y) in thumb), None)
                if sy is not None and ty is not None:
                    offs.append(ty - sy)
        cross = max(0, min(offs))
        home = (T[1] - B[1]) if vertical else (T[0] - B[0])
        pos = max(0, min(home, length - extent))
        if vertical:
            x = next(x for x in range(B[0], B[2]) if (x, B[1] + pos) in region)
            drawn = (B[0] + (x - B[0]) + cross, B[1] + pos)
        else:
            y = next(y for y in range(B[1], B[3]) if (B[0] + pos, y) in region)
            drawn = (B[0] + pos, B[1] + (y - B[1]) + cross)
        check(drawn == (T[0], T[1]), 'slider %d thumb drawn at home %s, got %s'
              % (cid, (T[0], T[1]), drawn))
        check(vertical == (1088 <= cid <= 1097), 'slider %d orientation' % cid)

    # description
    info = open(os.path.join(RES, 'custom', 'SKININFO', '134.txt'), 'rb').read()
    check(info.count(b'\n') == info.count(b'\r\n') and info.endswith(b'\r\n'), '134.txt CR LF')
    check(lookup(info, 'FontColor', 'NameColor') is not None, 'NameColor')
    for key in ('NameColor', 'PLColor', 'SelectedPLColor', 'PlayingPLColor'):
        v = lookup(info, 'FontColor', key)
        check(v is not None and len(v) == 10 and v.startswith('0x00'), key + ' = ' + str(v))
    check(lookup(info, 'ScrollType', 'PLScrollType') == '2', 'PLScrollType=2')
    check(lookup(info, 'ScrollType', 'PLScrollReverse') == '1', 'PLScrollReverse=1')
    for section in ('[Bitmaps]', '[SystemColor]', '[Controls]'):
        check(section.encode() in info, section)

    # the generator reproduces the same bytes
    with tempfile.TemporaryDirectory() as tmp:
        subprocess.run([sys.executable, os.path.join(ROOT, 'tools', 'make_base_skin.py'),
                        '--out', tmp], check=True)
        for name in SIZES:
            check(filecmp.cmp(os.path.join(BMP, name + '.bmp'),
                              os.path.join(tmp, 'bitmaps', name + '.bmp'), shallow=False),
                  name + ' reproducible')
        check(filecmp.cmp(os.path.join(RES, 'custom', 'SKININFO', '134.txt'),
                          os.path.join(tmp, 'custom', 'SKININFO', '134.txt'), shallow=False),
              '134.txt reproducible')


def lookup(text, section, key):
    """The program's own lookup: plain substring search, key preceded by CR LF."""
    s = text.find(section.encode())
    if s < 0:
        return None
    k = text.find(key.encode(), s)
    if k < 0:
        return None
    if text[k - 2:k] != b'\r\n':
        k = text.find(key.encode(), k + 1)
        if k < 0:
            return None
    v = k + len(key)
    while v < len(text) and text[v:v + 1] == b'=':
        v += 1
    e = v
    while e < len(text) and text[e:e + 1] not in (b'\r', b'\n', b'\0'):
        e += 1
    return text[v:e].decode('latin-1')


if __name__ == '__main__':
    main()
    if failures:
        print('%d check(s) failed' % len(failures))
        sys.exit(1)
    print('base skin OK')
