#!/usr/bin/env python3
"""Reference pixels for the PNG loader tests, decoded without libpng.

For every *.png under SOURCE (and its sub-folders) writes OUT/<relative path>.ref:
a first line "width height bits-per-pixel", then the rows top-down, tightly packed,
in blue, green, red (, alpha) order, after the corrections the loader applies for a
2.2 screen: 16-bit samples reduced to 8 bits, low depths and palettes expanded, gray
copied into all three colours, a transparency chunk turned into an alpha channel, and
the colours gamma-corrected with out = 255 * in ^ (1 / (2.2 * file gamma)), the file
gamma coming from gAMA (sRGB counts as 0.45455) or 0.45455 when there is none.

The decoder here is deliberately our own (zlib, filters, Adam7); when Pillow is present
every image is cross-checked against it, so a fault in this script cannot pass as a
reference.

Usage: png_reference.py SOURCE OUT
"""
import os
import struct
import sys
import zlib

SCREEN_GAMMA = 2.2
DEFAULT_FILE_GAMMA = 0.45455
# libpng leaves images alone whose overall correction is within 5 % of 1.
GAMMA_THRESHOLD = 0.05
# libpng corrects 16-bit samples it reduces to 8 bits through a table indexed by the
# top 11 bits (PNG_MAX_GAMMA_8); the reference looks at the same bits, so the only
# difference left is rounding.
MAX_GAMMA_BITS = 11

ADAM7 = [(0, 0, 8, 8), (4, 0, 8, 8), (0, 4, 4, 8), (2, 0, 4, 4),
         (0, 2, 2, 4), (1, 0, 2, 2), (0, 1, 1, 2)]
CHANNELS = {0: 1, 2: 3, 3: 1, 4: 2, 6: 4}


class PngImage:
    def __init__(self, data):
        if data[:8] != b"\x89PNG\r\n\x1a\n":
            raise ValueError("not a PNG file")
        self.chunks = {}
        idat = []
        pos = 8
        while pos < len(data):
            length, kind = struct.unpack(">I4s", data[pos:pos + 8])
            body = data[pos + 8:pos + 8 + length]
            if zlib.crc32(kind + body) != struct.unpack(">I", data[pos + 8 + length:pos + 12 + length])[0]:
                raise ValueError("CRC error in " + kind.decode("latin-1"))
            if kind == b"IDAT":
                idat.append(body)
            else:
                self.chunks.setdefault(kind, body)
            pos += 12 + length
            if kind == b"IEND":
                break
        (self.width, self.height, self.depth, self.color, _, _,
         self.interlace) = struct.unpack(">IIBBBBB", self.chunks[b"IHDR"])
        self.channels = CHANNELS[self.color]
        self.samples = self._decode(zlib.decompress(b"".join(idat)))

    def _decode(self, raw):
        """Returns rows of sample tuples at the file's own depth."""
        grid = [[None] * self.width for _ in range(self.height)]
        passes = ADAM7 if self.interlace else [(0, 0, 1, 1)]
        pos = 0
        for x0, y0, dx, dy in passes:
            cols = len(range(x0, self.width, dx))
            rows = len(range(y0, self.height, dy))
            if cols == 0 or rows == 0:
                continue
            bits = self.channels * self.depth
            stride = (cols * bits + 7) // 8
            step = max(1, bits // 8)
            previous = bytearray(stride)
            for r in range(rows):
                kind = raw[pos]
                line = bytearray(raw[pos + 1:pos + 1 + stride])
                pos += 1 + stride
                unfilter(kind, line, previous, step)
                previous = line
                values = unpack(line, cols * self.channels, self.depth)
                for c in range(cols):
                    grid[y0 + r * dy][x0 + c * dx] = tuple(values[c * self.channels:(c + 1) * self.channels])
        return grid


def unfilter(kind, line, previous, step):
    for i in range(len(line)):
        left = line[i - step] if i >= step else 0
        up = previous[i]
        corner = previous[i - step] if i >= step else 0
        if kind == 1:
            add = left
        elif kind == 2:
            add = up
        elif kind == 3:
            add = (left + up) // 2
        elif kind == 4:
            p = left + up - corner
            pa, pb, pc = abs(p - left), abs(p - up), abs(p - corner)
            add = left if pa <= pb and pa <= pc else (up if pb <= pc else corner)
        elif kind == 0:
            add = 0
        else:
            raise ValueError("bad filter %d" % kind)
        line[i] = (line[i] + add) & 0xFF


def unpack(line, count, depth):
    if depth == 8:
        return list(line[:count])
    if depth == 16:
        return [line[2 * i] << 8 | line[2 * i + 1] for i in range(count)]
    per_byte = 8 // depth
    mask = (1 << depth) - 1
    out = []
    for i in range(count):
        byte = line[i // per_byte]
        shift = 8 - depth * (i % per_byte + 1)
        out.append(byte >> shift & mask)
    return out


def file_gamma(image):
    if b"gAMA" in image.chunks:
        return struct.unpack(">I", image.chunks[b"gAMA"])[0] / 100000.0
    return DEFAULT_FILE_GAMMA


def correction(image):
    """The exponent applied to colours, or None when libpng leaves them alone."""
    product = file_gamma(image) * SCREEN_GAMMA
    if abs(product - 1.0) <= GAMMA_THRESHOLD:
        return None
    return 1.0 / product


def colour_mapper(image, exponent):
    """Maps one colour sample at the file's depth to the loader's 8-bit output."""
    if image.depth == 16:
        sbit = image.chunks.get(b"sBIT", b"")
        significant = max(sbit[:3]) if sbit else 0
        shift = 16 - significant if 0 < significant < 16 else 0
        shift = min(max(shift, 16 - MAX_GAMMA_BITS), 8)
        top = (1 << (16 - shift)) - 1
        if exponent is None:
            return lambda v: v >> 8
        return lambda v: int(255 * ((v >> shift) / top) ** exponent + 0.5)
    scale = 255 // ((1 << image.depth) - 1)
    if exponent is None:
        return lambda v: v * scale
    return lambda v: int(255 * (v * scale / 255.0) ** exponent + 0.5)


def reference(image):
    """Returns (bits per pixel, rows of BGR(A) bytes)."""
    exponent = correction(image)
    trns = image.chunks.get(b"tRNS")
    has_alpha = image.color in (4, 6) or trns is not None
    alpha16 = (lambda a: a >> 8) if image.depth == 16 else (lambda a: a)
    rows = []
    if image.color == 3:
        plte = image.chunks[b"PLTE"]
        gamma8 = (lambda v: v) if exponent is None else (lambda v: int(255 * (v / 255.0) ** exponent + 0.5))
        palette = [tuple(gamma8(c) for c in plte[i:i + 3]) for i in range(0, len(plte), 3)]
        alphas = list(trns or b"") + [255] * (256 - len(trns or b""))
    else:
        colour = colour_mapper(image, exponent)
        key = None
        if trns is not None:
            words = struct.unpack(">%dH" % (len(trns) // 2), trns)
            key = tuple(words[:1] if image.color == 0 else words[:3])
    for source in image.samples:
        row = bytearray()
        for sample in source:
            if image.color == 3:
                r, g, b = palette[sample[0]]
                a = alphas[sample[0]]
            elif image.color in (0, 4):
                r = g = b = colour(sample[0])
                a = alpha16(sample[1]) if image.color == 4 else (0 if sample[:1] == key else 255)
            else:
                r, g, b = (colour(v) for v in sample[:3])
                a = alpha16(sample[3]) if image.color == 6 else (0 if sample[:3] == key else 255)
            row += bytes((b, g, r, a) if has_alpha else (b, g, r))
        rows.append(bytes(row))
    return (32 if has_alpha else 24), rows


def cross_check(path, image):
    """Compares our decoding with Pillow's, as 8-bit RGBA (Pillow keeps the high byte of
    16-bit colour) or as raw values for 16-bit gray, which Pillow keeps whole."""
    try:
        from PIL import Image
    except ImportError:
        return False
    with Image.open(path) as pil:
        pil.load()
        if pil.mode.startswith("I"):
            theirs = [(v,) for v in pil.getdata()]
            ours = [s[:1] for row in image.samples for s in row]
        else:
            theirs = list(pil.convert("RGBA").getdata())
            ours = [v for row in raw_rgba8(image) for v in row]
            # Pillow keeps a transparency key of a 16-bit or sub-byte image in file units
            # while it scales the pixels, so it never matches: compare colours only there.
            if image.color in (0, 2) and image.depth != 8:
                theirs = [p[:3] for p in theirs]
                ours = [p[:3] for p in ours]
    for index, (a, b) in enumerate(zip(ours, theirs)):
        if a != b:
            raise SystemExit("%s: pixel %d is %r here but %r in Pillow" % (path, index, a, b))
    if len(ours) != len(theirs):
        raise SystemExit("%s: %d pixels here but %d in Pillow" % (path, len(ours), len(theirs)))
    return True


def raw_rgba8(image):
    """The file's pixels as 8-bit RGBA without gamma, transparency chunk applied."""
    trns = image.chunks.get(b"tRNS")
    if image.color == 3:
        plte = image.chunks[b"PLTE"]
        alphas = list(trns or b"") + [255] * (256 - len(trns or b""))
        return [[tuple(plte[3 * s[0]:3 * s[0] + 3]) + (alphas[s[0]],) for s in row] for row in image.samples]
    key = None
    if trns is not None:
        words = struct.unpack(">%dH" % (len(trns) // 2), trns)
        key = tuple(words[:1] if image.color == 0 else words[:3])
    to8 = (lambda v: v >> 8) if image.depth == 16 else (lambda v: v * (255 // ((1 << image.depth) - 1)))
    rows = []
    for source in image.samples:
        row = []
        for s in source:
            if image.color in (0, 4):
                rgb = (to8(s[0]),) * 3
                a = to8(s[1]) if image.color == 4 else (0 if s[:1] == key else 255)
            else:
                rgb = tuple(to8(v) for v in s[:3])
                a = to8(s[3]) if image.color == 6 else (0 if s[:3] == key else 255)
            row.append(rgb + (a,))
        rows.append(row)
    return rows


def main():
    if len(sys.argv) != 3:
        raise SystemExit(__doc__)
    source, out = sys.argv[1], sys.argv[2]
    checked = written = 0
    for folder, _, names in os.walk(source):
        for name in sorted(names):
            if not name.lower().endswith(".png") or name.lower().startswith("x"):
                continue
            path = os.path.join(folder, name)
            with open(path, "rb") as f:
                image = PngImage(f.read())
            checked += cross_check(path, image)
            bpp, rows = reference(image)
            target = os.path.join(out, os.path.relpath(path, source) + ".ref")
            os.makedirs(os.path.dirname(target), exist_ok=True)
            with open(target, "wb") as f:
                f.write(b"%d %d %d\n" % (image.width, image.height, bpp))
                f.writelines(rows)
            written += 1
    with open(os.path.join(out, "stamp"), "w") as f:
        f.write("%d images, %d cross-checked with Pillow\n" % (written, checked))
    print("png_reference: %d images, %d cross-checked with Pillow" % (written, checked))


if __name__ == "__main__":
    main()
