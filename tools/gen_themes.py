#!/usr/bin/python3
"""Makes the sample themes ready to ship: copies the theme files of themes/ and draws their images.

Usage: gen_themes.py THEMES_SOURCE_DIR OUTPUT_DIR

Theme files are kept in the repository as plain text; they are written out with Windows line ends
in code page 932, the program's encoding. The images are drawn here, so that only their recipe is
kept in the repository:
  aurora.png        the skin of aurora.VKT: a night sky with bands of light
  capsule.png       the skin of capsule.VKT: an amber plate drawn to the outline of the mask
  capsule-mask.bmp  the mask of capsule.VKT: white keeps, black cuts (chamfered top corners,
                    round bottom corners, a notch in each side)
The images have the panel's size as Wine shows it; the program stretches them to any other size.
"""
import math
import os
import sys

from PIL import Image, ImageDraw

WIDTH, HEIGHT = 506, 404


def write_theme(source, target):
    with open(source, encoding="utf-8") as f:
        text = f.read()
    with open(target, "wb") as f:
        f.write(text.replace("\r\n", "\n").replace("\n", "\r\n").encode("cp932"))


def mix(a, b, t):
    return tuple(int(round(x + (y - x) * t)) for x, y in zip(a, b))


def aurora():
    image = Image.new("RGB", (WIDTH, HEIGHT))
    pixels = image.load()
    top, bottom = (8, 14, 40), (18, 48, 92)
    glow = (80, 230, 190)
    for y in range(HEIGHT):
        sky = mix(top, bottom, y / (HEIGHT - 1))
        for x in range(WIDTH):
            # Two slow waves of light across the sky, brightest near their crests.
            band = 0.0
            for phase, height, spread in ((0.0, 0.35, 0.10), (1.7, 0.62, 0.08)):
                crest = height + 0.08 * math.sin(x / WIDTH * 2 * math.pi * 1.3 + phase)
                band += math.exp(-((y / HEIGHT - crest) / spread) ** 2)
            pixels[x, y] = mix(sky, glow, min(0.55, 0.45 * band))
    return image


def capsule_outline(draw, fill, inset=0):
    """The capsule's outline as one polygon (corners and notches approximated by short segments)."""
    chamfer, radius, notch = 28, 30, 18
    notch_y = 161
    left, top, right, bottom = inset, inset, WIDTH - 1 - inset, HEIGHT - 1 - inset
    points = [(left + chamfer, top), (right - chamfer, top), (right, top + chamfer)]
    points += [(right - notch * math.sin(a), notch_y - notch * math.cos(a))
               for a in (i * math.pi / 16 for i in range(17))]
    points += [(right - radius + radius * math.cos(a), bottom - radius + radius * math.sin(a))
               for a in (i * math.pi / 32 for i in range(17))]
    points += [(left + radius + radius * math.cos(a), bottom - radius + radius * math.sin(a))
               for a in (math.pi / 2 + i * math.pi / 32 for i in range(17))]
    points += [(left + notch * math.sin(a), notch_y + notch * math.cos(a))
               for a in (i * math.pi / 16 for i in range(17))]
    points += [(left, top + chamfer)]
    draw.polygon(points, fill=fill)


def capsule_mask():
    image = Image.new("RGB", (WIDTH, HEIGHT), (0, 0, 0))
    capsule_outline(ImageDraw.Draw(image), (255, 255, 255))
    return image


def capsule_skin():
    plate = Image.new("RGB", (WIDTH, HEIGHT))
    pixels = plate.load()
    light, dark = (255, 226, 150), (214, 150, 52)
    for y in range(HEIGHT):
        for x in range(WIDTH):
            # Brushed metal: a diagonal gradient with fine horizontal grain.
            t = (x / WIDTH * 0.4 + y / HEIGHT * 0.6)
            grain = 6 * math.sin(y * 1.9 + math.sin(x * 0.05) * 2)
            pixels[x, y] = tuple(max(0, min(255, int(c + grain))) for c in mix(light, dark, t))
    image = Image.new("RGB", (WIDTH, HEIGHT), (0, 0, 0))
    shape = Image.new("L", (WIDTH, HEIGHT), 0)
    capsule_outline(ImageDraw.Draw(shape), 255)
    rim = Image.new("RGB", (WIDTH, HEIGHT), (120, 70, 10))
    image.paste(rim, (0, 0), shape)
    inner = Image.new("L", (WIDTH, HEIGHT), 0)
    capsule_outline(ImageDraw.Draw(inner), 255, inset=3)
    image.paste(plate, (0, 0), inner)
    return image


def main():
    if len(sys.argv) != 3:
        print(__doc__.strip().splitlines()[2], file=sys.stderr)
        return 2
    source, out = sys.argv[1], sys.argv[2]
    os.makedirs(out, exist_ok=True)
    for name in sorted(os.listdir(source)):
        if name.upper().endswith(".VKT"):
            write_theme(os.path.join(source, name), os.path.join(out, name))
    aurora().save(os.path.join(out, "aurora.png"), optimize=True)
    capsule_skin().save(os.path.join(out, "capsule.png"), optimize=True)
    # One bit per pixel keeps the file small; black stays exactly black.
    capsule_mask().convert("1").save(os.path.join(out, "capsule-mask.bmp"))
    return 0


if __name__ == "__main__":
    sys.exit(main())
