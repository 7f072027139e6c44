#!/usr/bin/env python3
"""Draws "Ember", the sample skin package shipped next to the program.

Ember is the base skin's brushed-metal set in warm copper and amber, with a
layout of its own:

* the title sits on the left of the display and the playing time on the right
  (the base skin has them the other way round);
* the transport row is lower, its buttons wider, and Play / Pause is a large
  centre button on a recessed plate;
* the playlist is taller (seven lines instead of six), its length column is
  wider, and it scrolls with a straight vertical scrollbar on its right whose
  thumb rests at the top (the description says PLScrollReverse=0);
* the playlist buttons sit lower, under the taller list.

It carries a SKINMASK2 with the three panels of the base skin's modules
(the recorder and equalizer wings and the playlist block), so its panel
toggles hide and show them as a skin package can.

It reuses make_base_skin.py's drawing code. That code reads the layout from
its module-level tables, so Ember swaps in its own tables before drawing and
draws its own bare face; all pictures are drawn in the base palette and then
recoloured pixel by pixel, so strips and digit cells stay identical to the
faces where they stand. No randomness: every run writes the same bytes.

Run:  python3 tools/make_sample_skin.py [--out DIR]   (default: tools/sample-skin)
The build turns DIR/skin.rc and these files into Ember.dll (cmake/SamplePackage.cmake).
"""

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import make_base_skin as base  # noqa: E402

# --------------------------------------------------------------------------
# Layout. Boxes are (left, top, right, bottom), right and bottom exclusive.
# Only what differs from the base skin is listed; everything else (modules,
# media area, seek bar, volume row, lamps, recorder, equalizer) stays.
# --------------------------------------------------------------------------

DISPLAY_BOX = (148, 110, 377, 134)
TITLE_BOX = (156, 114, 300, 130)
TIME_DIGITS = [  # seconds units, seconds tens, minutes units, minutes tens
    (0x9B00C8, (351, 116, 360, 129)),
    (0x9B0096, (341, 116, 350, 129)),
    (0x9B0064, (326, 116, 335, 129)),
    (0x9B0032, (316, 116, 325, 129)),
]
TIME_COLON_X = 337
TITLE_SEPARATOR_X = 306

TRANSPORT_PLATE = (156, 173, 366, 194)
PLAY_BOX = (246, 174, 276, 193)

PLAYLIST_BOX = (150, 272, 346, 363)  # 7 lines of 13 pixels
PLAYLIST_LINE = 13
TIME_COLUMN_WIDTH = 44
SCROLL_TRACK = (352, 272, 361, 363)
SCROLL_THUMB = (352, 272, 361, 283)
PLAYLIST_BUTTON_TOP = 371


def replace_boxes(buttons, boxes):
    out = []
    for (cid, key, style, strip, box, kind) in buttons:
        out.append((cid, key, style, strip, boxes.get(cid, box), kind))
    return out


BUTTON_BOXES = {
    1001: PLAY_BOX,
    1005: (162, 176, 186, 191),  # open
    1004: (190, 176, 214, 191),  # previous
    1064: (218, 176, 242, 191),  # backward
    1002: (280, 176, 304, 191),  # stop
    1062: (308, 176, 332, 191),  # forward
    1003: (336, 176, 360, 191),  # next
}
for _i, _cid in enumerate(range(1076, 1081)):  # add, remove, clear, load, save
    _l = PLAYLIST_BOX[0] + _i * 42
    BUTTON_BOXES[_cid] = (_l, PLAYLIST_BUTTON_TOP, _l + 28, PLAYLIST_BUTTON_TOP + 13)

BUTTONS = replace_boxes(base.BUTTONS, BUTTON_BOXES)


def replace_scrollbar(sliders):
    out = []
    for s in sliders:
        if s[0] == 1098:
            s = (1098, s[1], s[2], base.box_pixels(SCROLL_TRACK), SCROLL_THUMB, 'scroll')
        out.append(s)
    return out


SLIDERS = replace_scrollbar(base.SLIDERS)

# Texts the program draws itself, as (r, g, b).
NAME_COLOR = (0xFF, 0xC2, 0x6A)
PL_COLOR = (0xF2, 0xB8, 0x7A)
SELECTED_COLOR = (0x5C, 0x2A, 0x12)
PLAYING_COLOR = (0xFF, 0xF2, 0xB0)

EMBER_FONT = dict(base.FONT5)
EMBER_FONT['E'] = ['#####', '#....', '#....', '####.', '#....', '#....', '#####']
EMBER_FONT['B'] = ['####.', '#...#', '#...#', '####.', '#...#', '#...#', '####.']


def use_ember_layout():
    """Points the base generator's drawing code at Ember's tables."""
    base.BUTTONS = BUTTONS
    base.SLIDERS = SLIDERS
    base.TIME_DIGITS = TIME_DIGITS
    base.TIME_COLON_X = TIME_COLON_X
    base.TITLE_BOX = TITLE_BOX
    base.PLAYLIST_BOX = PLAYLIST_BOX
    base.PLAYLIST_LINE = PLAYLIST_LINE
    base.TIME_COLUMN_WIDTH = TIME_COLUMN_WIDTH


# --------------------------------------------------------------------------
# Colour: grey metal becomes copper, the cyan glow becomes amber; reds,
# oranges and greens stay as they are. Black stays black (outside the window).
# --------------------------------------------------------------------------


def warm(c):
    r, g, b = base.split(c)
    if max(r, g, b) - min(r, g, b) < 28:
        lum = (r * 30 + g * 59 + b * 11) / 100.0
        return base.rgb(lum * 1.22 + 0.5, lum * 0.84 + 0.5, lum * 0.56 + 0.5)
    if b > r:
        return base.rgb(b, g * 0.70 + 0.5, r * 0.40 + 0.5)
    return c


def recolour(canvas):
    cache = {}
    px = canvas.px
    for i, c in enumerate(px):
        w = cache.get(c)
        if w is None:
            w = cache[c] = warm(c)
        px[i] = w


# --------------------------------------------------------------------------
# The bare face
# --------------------------------------------------------------------------


def draw_scroll_groove(cv):
    l, t, r, b = SCROLL_TRACK
    for y in range(t, b):
        for x in range(l, r):
            if x == l or y == t:
                c = 0x0A0B0D
            elif x == r - 1 or y == b - 1:
                c = 0x727983
            else:
                c = base.mix(0x15171A, 0x262A2F, (x - l) / (r - l))
            cv.set(x, y, c)
    cx = (l + r) // 2
    for y in range(t + 2, b - 2):
        cv.set(cx, y, 0x08090A)


def draw_background():
    cv = base.Canvas(base.W, base.H, base.BLACK)
    base.draw_module_plates(cv)
    label = base.label

    # central unit: media screen and seek bar as in the base skin
    base.draw_media_screen(cv)
    base.draw_seek_groove(cv)
    # display: title on the left, the time on the right
    base.inset(cv, DISPLAY_BOX, lambda x, y: base.lcd_bg(y), depth=2)
    for x in range(TITLE_SEPARATOR_X, TITLE_SEPARATOR_X + 2):
        for y in range(114, 130):
            cv.set(x, y, 0x16262D)
    for dy in (119, 125):
        for yy in (dy, dy + 1):
            for xx in (TIME_COLON_X, TIME_COLON_X + 1):
                cv.set(xx, yy, 0x7DE8FF)
    base.draw_volume_ramp(cv)
    label(cv, 156, 143, 'VOL')
    label(cv, 212, 143, 'MUTE')
    label(cv, 236, 143, 'VOICE')
    label(cv, 300, 147, 'KEY')
    label(cv, 367, 143, 'REPEAT')
    base.groove_line(cv, 140, 380, 169)
    # transport: a recessed plate carrying the row of buttons
    base.inset(cv, TRANSPORT_PLATE, lambda x, y: base.shade(0x2B2E32, -((y - 173) // 7)), depth=1)
    base.groove_line(cv, 136, 392, 200)
    for cx, s in ((158, 'REC'), (188, 'PL'), (218, 'EQ'), (260, 'ENV'), (290, 'SKIN'),
                  (332, 'MIN'), (360, 'POWER')):
        label(cv, cx, 205, s)
    label(cv, 263, 230, 'EMBER  DIGITAL  AUDIO')
    for x, y in ((134, 8), (390, 8), (134, 233), (390, 233)):
        base.screw(cv, x, y)

    # recorder wing, unchanged
    label(cv, 69, 98, 'RECORDER')
    base.inset(cv, (16, 108, 122, 126), lambda x, y: base.lcd_bg(y, True), depth=2)
    for dy in (114, 118):
        for yy in (dy, dy + 1):
            for xx in (base.REC_COLON_X, base.REC_COLON_X + 1):
                cv.set(xx, yy, 0xFF5A3C)
    base.draw_text(cv, 98, 115, 'REC', 0x5A1E14)
    for cx, s in ((30, 'REC'), (66, 'STOP'), (102, 'PLAY')):
        label(cv, cx, 151, s)
    for cx, s in ((30, 'NEW'), (66, 'SAVE'), (102, 'INPUT')):
        label(cv, cx, 179, s)
    for x, y in ((9, 101), (9, 183), (127, 101), (127, 183)):
        base.screw(cv, x, y)

    # equalizer wing, unchanged
    label(cv, 452, 96, 'EQUALIZER')
    label(cv, 434, 112, 'ON')
    base.draw_band_slots(cv)
    base.screw(cv, 510, 99)
    base.screw(cv, 510, 185)
    label(cv, base.BAND_LEFTS[0] + 5, 187, '100')
    label(cv, base.BAND_LEFTS[4] + 8, 187, '1K')
    label(cv, base.BAND_LEFTS[9] + 3, 187, '16K')

    # playlist block: a taller list with a straight scrollbar on its right
    label(cv, 248, 254, 'PLAYLIST')
    base.groove_line(cv, 150, 361, 263)
    base.inset(cv, PLAYLIST_BOX, lambda x, y: base.LCD_SCAN
               if ((y - PLAYLIST_BOX[1]) // PLAYLIST_LINE) % 2 else base.LCD_BG, depth=1)
    draw_scroll_groove(cv)
    for i, s in enumerate(('ADD', 'DEL', 'CLR', 'LOAD', 'SAVE')):
        label(cv, PLAYLIST_BOX[0] + i * 42 + 14, PLAYLIST_BUTTON_TOP + 17, s)
    logo_x = 263 - base.text_width('EMBER', EMBER_FONT, 2) // 2
    base.draw_text(cv, logo_x, 401, 'EMBER', 0x24272B, EMBER_FONT, 2, shadow=0x5A6068)
    base.draw_text(cv, logo_x, 400, 'EMBER', 0x8E969F, EMBER_FONT, 2)
    base.screw(cv, 141, 404)
    base.screw(cv, 382, 404)
    return cv


# --------------------------------------------------------------------------


def main(argv):
    here = os.path.dirname(os.path.abspath(__file__))
    out = os.path.join(here, 'sample-skin')
    if len(argv) >= 3 and argv[1] == '--out':
        out = argv[2]
    use_ember_layout()
    images = base.render_skin(draw_background())
    for canvas in images.values():
        recolour(canvas)
    images['SKINMASK'] = base.make_mask()  # colour keys are never recoloured
    images['SKINMASK2'] = base.make_mask2()
    colours = (NAME_COLOR, PL_COLOR, SELECTED_COLOR, PLAYING_COLOR)
    info = base.description(colours, scroll_type=0, scroll_reverse=0)

    # One flat folder: the resource script names the files by their bare names.
    os.makedirs(out, exist_ok=True)
    for name, canvas in images.items():
        base.write_bmp(os.path.join(out, name + '.bmp'), canvas)
    with open(os.path.join(out, '134.txt'), 'wb') as f:
        f.write(info)
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))
