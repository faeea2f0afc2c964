#!/usr/bin/env python3
"""Draws the skin's pictograms (device icons, power and phone states) as PNG.

Run by hand after changing a drawing; the PNGs are committed under data/skin.
Only the standard library: shapes are drawn with soft-edged distance tests.
"""
import math
import struct
import sys
import zlib
from pathlib import Path

SKIN = Path(__file__).resolve().parent.parent / "data" / "skin"

GREY = (154, 160, 174)
WHITE = (232, 234, 240)
BLUE = (47, 128, 237)
GREEN = (39, 174, 96)
AMBER = (242, 201, 76)


def write_png(path, width, height, pixel):
    rows = bytearray()
    for y in range(height):
        rows.append(0)
        for x in range(width):
            rows.extend(pixel(x + 0.5, y + 0.5))

    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data +
                struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))

    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    path.parent.mkdir(parents=True, exist_ok=True)
    path.write_bytes(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
                     chunk(b"IDAT", zlib.compress(bytes(rows), 9)) + chunk(b"IEND", b""))


def coverage(distance):
    """Soft edge: 1 inside, 0 outside, linear over one pixel."""
    return max(0.0, min(1.0, 0.5 - distance))


def rounded_box(x, y, left, top, right, bottom, radius):
    cx = min(max(x, left + radius), right - radius)
    cy = min(max(y, top + radius), bottom - radius)
    return math.hypot(x - cx, y - cy) - radius


def ring_box(x, y, left, top, right, bottom, radius, width):
    d = rounded_box(x, y, left, top, right, bottom, radius)
    return abs(d + width / 2) - width / 2


def segment(x, y, ax, ay, bx, by, width):
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy)))
    return math.hypot(x - (ax + t * dx), y - (ay + t * dy)) - width / 2


def disc(x, y, cx, cy, radius):
    return math.hypot(x - cx, y - cy) - radius


def arc(x, y, cx, cy, radius, width, start, end):
    angle = math.atan2(y - cy, x - cx)
    if start <= angle <= end:
        return abs(math.hypot(x - cx, y - cy) - radius) - width / 2
    return 99.0


def union(*distances):
    return min(distances)


# Each device is a distance function over a 48 x 48 canvas.
def keyboard(x, y):
    body = ring_box(x, y, 5, 13, 43, 35, 4, 2.2)
    keys = 99.0
    for row, count in ((19, 6), (24, 6)):
        for i in range(count):
            keys = min(keys, rounded_box(x, y, 9.5 + i * 5, row, 12.5 + i * 5, row + 2.6, 0.8))
    space = rounded_box(x, y, 15, 29, 33, 31.4, 0.8)
    return union(body, keys, space)


def mouse(x, y):
    body = ring_box(x, y, 14, 6, 34, 42, 10, 2.2)
    split = segment(x, y, 24, 7, 24, 18, 2)
    wheel = segment(x, y, 24, 11, 24, 15, 3.2)
    return union(body, split, wheel)


def hard_pad(x, y):
    pad = ring_box(x, y, 4, 12, 44, 36, 3, 2.2)
    glow = segment(x, y, 9, 31, 39, 31, 2)
    return union(pad, glow)


def soft_pad(x, y):
    pad = ring_box(x, y, 4, 12, 44, 36, 7, 2.2)
    stitch = 99.0
    for i in range(7):
        stitch = min(stitch, disc(x, y, 10 + i * 4.7, 31, 1.1))
    return union(pad, stitch)


def headset(x, y):
    band = arc(x, y, 24, 26, 15, 2.4, -math.pi, 0)
    left = rounded_box(x, y, 6, 24, 14, 38, 3.5)
    right = rounded_box(x, y, 34, 24, 42, 38, 3.5)
    return union(band, abs(left + 1.1) - 1.1, abs(right + 1.1) - 1.1)


def hub(x, y):
    box = ring_box(x, y, 6, 16, 42, 32, 4, 2.2)
    ports = min(rounded_box(x, y, 11 + i * 9, 22, 17 + i * 9, 26, 1) for i in range(3))
    cable = segment(x, y, 24, 16, 24, 9, 2.2)
    return union(box, ports, cable)


def unknown(x, y):
    circle = abs(disc(x, y, 24, 24, 16)) - 1.1
    hook = arc(x, y, 24, 19.5, 5, 2.4, -math.pi, math.pi * 0.45)
    stem = segment(x, y, 26.2, 23.5, 24, 26.5, 2.4)
    dot = disc(x, y, 24, 31.5, 1.6)
    return union(circle, hook, stem, dot)


def sync_badge(x, y):
    """Two arrows on a circle: the device takes part in synchronised lighting."""
    top = arc(x, y, 38, 38, 6, 1.8, -math.pi, -0.3)
    bottom = arc(x, y, 38, 38, 6, 1.8, 0.0, math.pi - 0.3)
    heads = min(segment(x, y, 44, 36, 44.5, 39.5, 1.8), segment(x, y, 32, 40, 31.5, 36.5, 1.8))
    return union(top, bottom, heads)


DEVICES = {
    "kb": keyboard, "ms": mouse, "hard_mp": hard_pad, "soft_mp": soft_pad,
    "hd": headset, "hub": hub, "unknow": unknown,
}

STATES = {
    "normal": (GREY, False),
    "selected": (BLUE, False),
    "synchro_normal": (GREY, True),
    "synchro_selected": (BLUE, True),
}


def device_icon(shape, colour, synchro):
    def pixel(x, y):
        alpha = coverage(shape(x, y))
        tint = colour
        if synchro:
            # Clear a disc for the badge, then draw it.
            hole = coverage(disc(x, y, 38, 38, 9.5))
            alpha *= 1.0 - hole
            badge = coverage(sync_badge(x, y))
            if badge > alpha:
                alpha, tint = badge, GREEN
        return (*tint, int(255 * alpha))
    return pixel


def battery(fill, mark):
    def pixel(x, y):
        alpha = coverage(union(ring_box(x, y, 1, 1, 19, 11, 1.5, 1.5),
                               rounded_box(x, y, 19, 4, 21, 8, 0.5)))
        tint = GREY
        level = coverage(rounded_box(x, y, 3.5, 3.5, 3.5 + 12 * fill, 8.5, 0.5))
        if level > alpha:
            alpha, tint = level, GREEN
        accent = coverage(mark(x, y))
        if accent > 0.01:
            alpha, tint = max(alpha, accent), AMBER
        return (*tint, int(255 * alpha))
    return pixel


def bolt(x, y):
    return union(segment(x, y, 11, 2, 8, 6.5, 1.6), segment(x, y, 8, 6.5, 12, 5.5, 1.6),
                 segment(x, y, 12, 5.5, 9, 10, 1.6))


def plug(x, y):
    return union(segment(x, y, 8, 4, 8, 8, 1.5), segment(x, y, 12, 4, 12, 8, 1.5),
                 segment(x, y, 7, 6, 13, 6, 1.5))


def no_mark(x, y):
    return 99.0


def wireless(x, y):
    waves = min(arc(x, y, 8, 13, r, 1.6, -math.pi * 0.75, -math.pi * 0.25) for r in (4, 8, 12))
    return union(waves, disc(x, y, 8, 13, 1.8))


def phone(mark, colour=BLUE, frame_alpha=1.0):
    def pixel(x, y):
        alpha = coverage(ring_box(x, y, 1, 1, 11, 17, 2, 1.4)) * frame_alpha
        tint = GREY
        accent = coverage(mark(x, y))
        if accent > 0.01:
            alpha, tint = max(alpha, accent), colour
        return (*tint, int(255 * alpha))
    return pixel


RED = (233, 75, 60)


def app_icon(x, y):
    """The application's icon: a keyboard on a dark tile with a red edge."""
    size = 256.0
    tile = rounded_box(x, y, 8, 8, size - 8, size - 8, 52)
    edge = ring_box(x, y, 8, 8, size - 8, size - 8, 52, 10)
    scale = 4.2
    key = keyboard((x - size / 2) / scale + 24, (y - size / 2) / scale + 24) * scale
    colour = (28, 31, 38)
    alpha = coverage(tile)
    for shape, paint in ((edge, RED), (key, WHITE)):
        cover = coverage(shape)
        colour = tuple(int(c * (1 - cover) + p * cover) for c, p in zip(colour, paint))
    return (*colour, int(255 * alpha))


def chevron(scale):
    """The combo's drop-down arrow: a chevron pointing down, 10 x 6 layout pixels."""
    def paint(x, y):
        x, y = x / scale, y / scale
        shape = union(segment(x, y, 1.5, 1.5, 5, 4.5, 1.4), segment(x, y, 5, 4.5, 8.5, 1.5, 1.4))
        return (*GREY, int(255 * coverage(shape * scale)))
    return paint


def keycap(x, y):
    """A key cap seen from above: a dark skirt, a lighter top face, lit from above."""
    skirt = rounded_box(x, y, 1, 1, 47, 47, 7)
    face = rounded_box(x, y, 5, 4, 43, 40, 6)
    top = 0.5 + 0.5 * max(0.0, min(1.0, (40 - y) / 36))  # the face lighter towards the top
    colour = (22, 24, 30)
    for shape, paint in ((skirt, (30, 33, 41)),
                         (face, tuple(int(c * top + d * (1 - top)) for c, d in ((52, 46), (57, 50), (68, 60))))):
        cover = coverage(shape)
        colour = tuple(int(c * (1 - cover) + p * cover) for c, p in zip(colour, paint))
    alpha = coverage(skirt)
    return (*colour, int(255 * alpha))


def keycap_light(x, y):
    """What a lit key shows of its light: the top face and a rim around the skirt.

    White; the key's light colour tints it at its brightness."""
    face = rounded_box(x, y, 6, 5, 42, 39, 5)
    rim = ring_box(x, y, 1.5, 1.5, 46.5, 46.5, 7, 1.6)
    # Brightest in the middle of the face, as light through a translucent cap.
    dx, dy = (x - 24) / 20, (y - 22) / 18
    glow = max(0.45, 1 - 0.55 * (dx * dx + dy * dy))
    alpha = max(coverage(face) * glow, coverage(rim) * 0.9)
    return (255, 255, 255, int(255 * alpha))


def keyset_mark(x, y):
    """The corner mark of a key that does something else than its name says."""
    return (*AMBER, int(255 * coverage(disc(x, y, 6, 6, 4.2))))


def led(x, y):
    """A light zone when dark: a small dome with a rim."""
    body = disc(x, y, 12, 12, 10.5)
    inner = disc(x, y, 12, 11, 7)
    colour = tuple(int(a * (1 - coverage(inner)) + b * coverage(inner))
                   for a, b in zip((30, 33, 41), (48, 52, 62)))
    return (*colour, int(255 * coverage(body)))


def led_light(x, y):
    """A lit light zone: a bright core in a soft halo, tinted by the light."""
    d = math.hypot(x - 12, y - 12)
    alpha = 1.0 if d < 6 else max(0.0, 1 - (d - 6) / 5.5)
    return (255, 255, 255, int(255 * alpha))


# Title-bar pictograms on a 20 x 20 grid, one stroke weight for all, drawn
# at 3x so that every DPI up to 192 scales them down, never up.
STROKE = 1.6


def ring(x, y, cx, cy, radius):
    return abs(math.hypot(x - cx, y - cy) - radius) - STROKE / 2


def glyph_close(x, y):
    return union(segment(x, y, 5, 5, 15, 15, STROKE), segment(x, y, 15, 5, 5, 15, STROKE))


def glyph_minimise(x, y):
    return segment(x, y, 5, 10, 15, 10, STROKE)


def glyph_settings(x, y):
    teeth = 99.0
    for i in range(8):
        angle = i * math.pi / 4
        teeth = union(teeth, segment(x, y, 10 + 5.2 * math.cos(angle), 10 + 5.2 * math.sin(angle),
                                     10 + 7.2 * math.cos(angle), 10 + 7.2 * math.sin(angle), 2.4))
    return union(ring(x, y, 10, 10, 4.6), ring(x, y, 10, 10, 1.8), teeth)


def glyph_skin(x, y):
    # A palette: a ring, its left half filled.
    half = max(disc(x, y, 10, 10, 6.5), x - 10)
    return union(ring(x, y, 10, 10, 6.5), half)


def glyph_game(x, y):
    pad = ring_box(x, y, 3, 6, 17, 14.5, 3.5, STROKE)
    cross = union(segment(x, y, 6, 10.2, 9, 10.2, 1.4), segment(x, y, 7.5, 8.7, 7.5, 11.7, 1.4))
    return union(pad, cross, disc(x, y, 13.2, 9.2, 1.0), disc(x, y, 14.6, 11.3, 1.0))


def glyph_cloud(x, y):
    shape = union(disc(x, y, 7.5, 11.5, 3.5), disc(x, y, 11.5, 9, 4.5), disc(x, y, 14.5, 12, 3),
                  rounded_box(x, y, 4, 11.5, 17.5, 15, 1.5))
    return abs(shape + STROKE / 2) - STROKE / 2


def glyph_eye(x, y):
    # Two arcs meeting at the corners, and the pupil.
    upper = abs(math.hypot(x - 10, y - 15.5) - 8.5) - STROKE / 2 if y < 10.5 else 99.0
    lower = abs(math.hypot(x - 10, y - 4.5) - 8.5) - STROKE / 2 if y > 9.5 else 99.0
    return union(upper, lower, disc(x, y, 10, 10, 2.2))


def glyph_previous(x, y):
    return union(segment(x, y, 12, 5, 7, 10, STROKE), segment(x, y, 7, 10, 12, 15, STROKE))


def glyph_next(x, y):
    return union(segment(x, y, 8, 5, 13, 10, STROKE), segment(x, y, 13, 10, 8, 15, STROKE))


def glyph(shape, colour, scale=3):
    def paint(x, y):
        return (*colour, int(255 * coverage(shape(x / scale, y / scale) * scale)))
    return paint


TITLE_GLYPHS = {"close": glyph_close, "minimise": glyph_minimise, "settings": glyph_settings,
                "skin": glyph_skin, "game": glyph_game, "cloud": glyph_cloud, "eye": glyph_eye,
                "previous": glyph_previous, "next": glyph_next}


# Editor tab pictograms, in the title glyphs' 20-unit grid.
def tab_lighting(x, y):
    # A bulb: the glass, its neck and two rays.
    glass = ring(x, y, 10, 8.5, 4.6)
    neck = union(segment(x, y, 8, 15, 12, 15, STROKE), segment(x, y, 8.6, 17.2, 11.4, 17.2, STROKE))
    rays = union(segment(x, y, 3, 3.5, 4.3, 4.8, STROKE), segment(x, y, 17, 3.5, 15.7, 4.8, STROKE))
    return union(glass, neck, rays)


def tab_keys(x, y):
    cap = ring_box(x, y, 3, 4, 17, 16, 2.5, STROKE)
    return union(cap, segment(x, y, 7, 12.5, 13, 12.5, STROKE))


def tab_macros(x, y):
    # Three recorded lines and a play mark.
    lines = union(segment(x, y, 3, 5, 10, 5, STROKE), segment(x, y, 3, 10, 8, 10, STROKE),
                  segment(x, y, 3, 15, 10, 15, STROKE))
    play = union(segment(x, y, 12.5, 6.5, 12.5, 13.5, STROKE),
                 segment(x, y, 12.5, 6.5, 17.5, 10, STROKE), segment(x, y, 12.5, 13.5, 17.5, 10, STROKE))
    return union(lines, play)


def tab_system(x, y):
    # Two sliders with their knobs.
    rails = union(segment(x, y, 3, 6.5, 17, 6.5, STROKE), segment(x, y, 3, 13.5, 17, 13.5, STROKE))
    return union(rails, disc(x, y, 7, 6.5, 2.2), disc(x, y, 13, 13.5, 2.2))


def tab_pointer(x, y):
    # A sight: ring, cross hairs and the centre dot.
    hairs = union(segment(x, y, 10, 2, 10, 5.5, STROKE), segment(x, y, 10, 14.5, 10, 18, STROKE),
                  segment(x, y, 2, 10, 5.5, 10, STROKE), segment(x, y, 14.5, 10, 18, 10, STROKE))
    return union(ring(x, y, 10, 10, 6), hairs, disc(x, y, 10, 10, 1.2))


def tab_audio(x, y):
    speaker = union(rounded_box(x, y, 3, 7.5, 6, 12.5, 0.5),
                    segment(x, y, 6, 8, 10, 4.5, STROKE), segment(x, y, 6, 12, 10, 15.5, STROKE),
                    segment(x, y, 10, 4.5, 10, 15.5, STROKE))
    waves = union(arc(x, y, 10, 10, 3.5, STROKE, -0.9, 0.9), arc(x, y, 10, 10, 6.5, STROKE, -0.9, 0.9))
    return union(speaker, waves)


def tab_effects(x, y):
    # A four-pointed spark and a small one.
    big = union(segment(x, y, 8, 3, 8, 15, 1.6), segment(x, y, 2, 9, 14, 9, 1.6),
                disc(x, y, 8, 9, 2.2))
    small = union(segment(x, y, 15, 12, 15, 18, 1.2), segment(x, y, 12, 15, 18, 15, 1.2))
    return union(big, small)


def tab_surround(x, y):
    return union(disc(x, y, 10, 10, 1.8), ring(x, y, 10, 10, 4.5), ring(x, y, 10, 10, 7.5))


TAB_GLYPHS = {"lighting": tab_lighting, "keys": tab_keys, "macros": tab_macros,
              "system": tab_system, "pointer": tab_pointer, "audio": tab_audio,
              "effects": tab_effects, "surround": tab_surround}


# Device pictures behind the pages' keys and light zones, drawn at 2x of
# the layout pixels they cover (the rectangle in the page's layout).
BODY = (30, 33, 41)
EDGE = (58, 63, 75)


def shaded(distance, top_light):
    """A body with a lighter rim, lit from above."""
    rim = abs(distance + 1.2) - 1.2
    colour = tuple(int(c * top_light) for c in BODY)
    colour = tuple(int(c * (1 - coverage(rim)) + e * coverage(rim)) for c, e in zip(colour, EDGE))
    return (*colour, int(255 * coverage(distance)))


def mouse_body(scale=2):
    # Layout rectangle 286,18 - 444,218: a mouse seen from above, its two
    # buttons parted by the wheel's groove.
    def paint(x, y):
        x, y = x / scale, y / scale
        body = rounded_box(x, y, 4, 2, 154, 198, 66)
        groove = segment(x, y, 79, 6, 79, 86, 1.4)
        light = 1.15 - 0.3 * (y / 200)
        r, g, b, a = shaded(body * scale, light)
        if coverage(groove * scale) > 0 and a > 0:
            cover = coverage(groove * scale)
            r, g, b = (int(c * (1 - cover) + 14 * cover) for c in (r, g, b))
        return (r, g, b, a)
    return paint


def pad_surface(scale=2):
    # Layout rectangle 60,30 - 670,202: a hard pad with a fine weave.
    def paint(x, y):
        x, y = x / scale, y / scale
        surface = rounded_box(x, y, 2, 2, 608, 170, 14)
        weave = 0.96 + 0.04 * ((int(x / 3) + int(y / 3)) % 2)
        return shaded(surface * scale, weave * (1.1 - 0.2 * y / 172))
    return paint


def headset_shape(scale=2):
    # Layout rectangle 285,30 - 445,206: the band and two ear cups.
    def paint(x, y):
        x, y = x / scale, y / scale
        band = abs(math.hypot(x - 80, y - 96) - 64) - 5 if y < 100 else 99.0
        cups = union(rounded_box(x, y, 4, 96, 40, 172, 14), rounded_box(x, y, 120, 96, 156, 172, 14))
        return shaded(union(band, cups) * scale, 1.1 - 0.2 * y / 176)
    return paint


def main():
    write_png(SKIN / "common" / "app_icon.png", 256, 256, app_icon)
    write_png(SKIN / "image" / "mouse_body.png", 316, 400, mouse_body())
    write_png(SKIN / "image" / "pad_surface.png", 1220, 344, pad_surface())
    write_png(SKIN / "image" / "headset_shape.png", 320, 352, headset_shape())
    for name, shape in TITLE_GLYPHS.items():
        write_png(SKIN / "common" / "title" / f"{name}.png", 60, 60, glyph(shape, GREY))
        write_png(SKIN / "common" / "title" / f"{name}_hot.png", 60, 60, glyph(shape, WHITE))
    for name, shape in TAB_GLYPHS.items():
        write_png(SKIN / "common" / "tab" / f"{name}.png", 48, 48, glyph(shape, GREY, 2.4))
        write_png(SKIN / "common" / "tab" / f"{name}_hot.png", 48, 48, glyph(shape, WHITE, 2.4))
    write_png(SKIN / "image" / "led.png", 24, 24, led)
    write_png(SKIN / "image" / "led_light.png", 24, 24, led_light)
    write_png(SKIN / "image" / "keycap.png", 48, 48, keycap)
    write_png(SKIN / "image" / "keycap_light.png", 48, 48, keycap_light)
    write_png(SKIN / "image" / "keyset_mark.png", 12, 12, keyset_mark)
    write_png(SKIN / "common" / "combo_arrow.png", 10, 6, chevron(1))
    write_png(SKIN / "common" / "combo_arrow@2x.png", 20, 12, chevron(2))
    for device, shape in DEVICES.items():
        for state, (colour, synchro) in STATES.items():
            write_png(SKIN / "common" / "device_ico" / f"{device}_device_{state}.png", 48, 48,
                      device_icon(shape, colour, synchro))
    power = SKIN / "power"
    write_png(power / "power.png", 22, 12, battery(0.6, no_mark))
    write_png(power / "powered.png", 22, 12, battery(1.0, plug))
    write_png(power / "powering.png", 22, 12, battery(0.5, bolt))
    write_png(power / "wuxian_powering.png", 22, 12, battery(0.5, bolt))
    write_png(power / "wuxian_logo.png", 16, 16,
              lambda x, y: (*BLUE, int(255 * coverage(wireless(x, y)))))
    write_png(power / "Phone_type_iphone.png", 12, 18, phone(lambda x, y: disc(x, y, 6, 14.5, 1.2)))
    write_png(power / "Phone_type_samsung.png", 12, 18,
              phone(lambda x, y: segment(x, y, 4, 14.5, 8, 14.5, 1.4)))
    write_png(power / "Phone_type_other.png", 12, 18,
              phone(lambda x, y: rounded_box(x, y, 4, 5, 8, 9, 0.5)))
    write_png(power / "Phone_type_no_device.png", 12, 18, phone(no_mark, frame_alpha=0.35))
    return 0


if __name__ == "__main__":
    sys.exit(main())
