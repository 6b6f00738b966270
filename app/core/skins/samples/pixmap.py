"""Small RGBA pictures drawn from character grids and written as PNG or GIF.

Python standard library only, so that the build needs nothing beyond Python 3:
PNG through zlib, GIF through the LZW coder below."""
import struct
import textwrap
import zlib

CLEAR = (0, 0, 0, 0)


def rgb(value, alpha=255):
    """'#RRGGBB' (or 'RRGGBB') as an RGBA tuple."""
    value = value.lstrip("#")
    return (int(value[0:2], 16), int(value[2:4], 16), int(value[4:6], 16), alpha)


class Pixmap:
    def __init__(self, width, height, fill=CLEAR):
        self.width = width
        self.height = height
        self.pixels = [fill] * (width * height)

    @classmethod
    def from_grid(cls, grid, palette):
        """A picture from rows of characters; '.' is clear, every other
        character must be in the palette."""
        rows = [row for row in textwrap.dedent(grid).strip("\n").split("\n")]
        rows = [row.rstrip() for row in rows]
        width = max(len(row) for row in rows)
        image = cls(width, len(rows))
        for y, row in enumerate(rows):
            if len(row) != width:
                raise ValueError(f"grid row {y} is {len(row)} wide, not {width}:\n{grid}")
            for x, ch in enumerate(row):
                if ch == ".":
                    continue
                if ch not in palette:
                    raise KeyError(f"colour {ch!r} missing from the palette (row {y}):\n{grid}")
                image.pixels[y * width + x] = palette[ch]
        return image

    def get(self, x, y):
        return self.pixels[y * self.width + x]

    def put(self, x, y, colour):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.pixels[y * self.width + x] = colour

    def copy(self):
        other = Pixmap(self.width, self.height)
        other.pixels = list(self.pixels)
        return other

    def paste(self, src, x=0, y=0):
        """Draws src over this picture with its top-left corner at (x, y)."""
        for sy in range(src.height):
            ty = y + sy
            if not 0 <= ty < self.height:
                continue
            for sx in range(src.width):
                tx = x + sx
                if not 0 <= tx < self.width:
                    continue
                s = src.pixels[sy * src.width + sx]
                if s[3] == 0:
                    continue
                i = ty * self.width + tx
                self.pixels[i] = over(s, self.pixels[i])
        return self

    def on(self, *layers):
        """This picture with each (layer, x, y) or layer drawn over it, as a copy."""
        result = self.copy()
        for layer in layers:
            if isinstance(layer, tuple):
                result.paste(*layer)
            else:
                result.paste(layer)
        return result

    def cut(self, mask):
        """A copy with the pixels cleared where mask (same size) is opaque:
        leaves a transparent gap around a badge drawn later."""
        result = self.copy()
        for i, m in enumerate(mask.pixels):
            if m[3]:
                result.pixels[i] = CLEAR
        return result

    def mapped(self, fn):
        result = self.copy()
        result.pixels = [fn(p) if p[3] else p for p in self.pixels]
        return result

    def recoloured(self, mapping):
        """A copy with every colour found in mapping replaced."""
        return self.mapped(lambda p: mapping.get(p, p))

    def faded(self, alpha):
        """A copy with every pixel's opacity scaled by alpha / 255."""
        return self.mapped(lambda p: (p[0], p[1], p[2], p[3] * alpha // 255))

    def mirrored(self):
        result = Pixmap(self.width, self.height)
        for y in range(self.height):
            row = self.pixels[y * self.width:(y + 1) * self.width]
            result.pixels[y * self.width:(y + 1) * self.width] = row[::-1]
        return result

    def framed(self, width, height, x=None, y=None):
        """This picture on a clear canvas of the given size (centred unless placed)."""
        canvas = Pixmap(width, height)
        if x is None:
            x = (width - self.width) // 2
        if y is None:
            y = (height - self.height) // 2
        return canvas.paste(self, x, y)

    def outline(self, colour):
        """Pixels around the opaque shape (4-neighbourhood), as a new layer."""
        layer = Pixmap(self.width, self.height)
        for y in range(self.height):
            for x in range(self.width):
                if self.get(x, y)[3]:
                    continue
                for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)):
                    nx, ny = x + dx, y + dy
                    if 0 <= nx < self.width and 0 <= ny < self.height and self.get(nx, ny)[3] == 255:
                        layer.put(x, y, colour)
                        break
        return layer

    def scaled(self, factor):
        result = Pixmap(self.width * factor, self.height * factor)
        for y in range(result.height):
            src = (y // factor) * self.width
            row = [self.pixels[src + x // factor] for x in range(result.width)]
            result.pixels[y * result.width:(y + 1) * result.width] = row
        return result

    def write_png(self, path):
        write_png(path, self.width, self.height, self.pixels)


def over(src, dst):
    """src drawn over dst, straight (not premultiplied) alpha."""
    sa = src[3]
    if sa == 255 or dst[3] == 0:
        return src
    da = dst[3]
    out_a = sa + da * (255 - sa) // 255
    if out_a == 0:
        return CLEAR
    def channel(s, d):
        return (s * sa + d * da * (255 - sa) // 255) // out_a
    return (channel(src[0], dst[0]), channel(src[1], dst[1]), channel(src[2], dst[2]), out_a)


def _chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)


def write_png(path, width, height, pixels):
    """8-bit RGBA, no interlace."""
    raw = bytearray()
    for y in range(height):
        raw.append(0)
        for p in pixels[y * width:(y + 1) * width]:
            raw.extend(p)
    data = (b"\x89PNG\r\n\x1a\n"
            + _chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0))
            + _chunk(b"IDAT", zlib.compress(bytes(raw), 9))
            + _chunk(b"IEND", b""))
    with open(path, "wb") as f:
        f.write(data)


def lzw_encode(indices, min_code_size):
    """GIF's variable-length LZW: starts with a clear code, ends with the end
    code, and clears again before the table would outgrow 12-bit codes."""
    clear = 1 << min_code_size
    end = clear + 1
    out = bytearray()
    acc = 0
    nbits = 0

    def emit(code, size):
        nonlocal acc, nbits
        acc |= code << nbits
        nbits += size
        while nbits >= 8:
            out.append(acc & 0xFF)
            acc >>= 8
            nbits -= 8

    def reset():
        return {}, end + 1, min_code_size + 1

    table, next_code, size = reset()
    emit(clear, size)
    prefix = None
    for value in indices:
        if prefix is None:
            prefix = value
            continue
        key = (prefix, value)
        if key in table:
            prefix = table[key]
            continue
        emit(prefix, size)
        # The reader adds its entries one code later than we do: grow the code
        # size once the entry it will add next no longer fits.
        if next_code < 4095:
            table[key] = next_code
            next_code += 1
            if next_code > (1 << size) and size < 12:
                size += 1
        else:
            emit(clear, size)
            table, next_code, size = reset()
        prefix = value
    if prefix is not None:
        emit(prefix, size)
    emit(end, size)
    if nbits:
        out.append(acc & 0xFF)
    return bytes(out)


def _sub_blocks(data):
    out = bytearray()
    for i in range(0, len(data), 255):
        piece = data[i:i + 255]
        out.append(len(piece))
        out.extend(piece)
    out.append(0)
    return bytes(out)


def write_gif(path, frames, delays):
    """An (animated) GIF89a: every frame covers the whole screen, pixels are
    either opaque or clear (palette index 0), and each frame is cleared to the
    background before the next one (disposal 2). Delays in milliseconds."""
    width, height = frames[0].width, frames[0].height
    colours = []
    seen = set()
    for frame in frames:
        if (frame.width, frame.height) != (width, height):
            raise ValueError("frames differ in size")
        for p in frame.pixels:
            if p[3] not in (0, 255):
                raise ValueError(f"GIF pixels are opaque or clear, not alpha {p[3]}")
            if p[3] and p[:3] not in seen:
                seen.add(p[:3])
                colours.append(p[:3])
    if len(colours) > 255:
        raise ValueError("more than 255 colours")
    bits = 1
    while (1 << bits) < len(colours) + 1:
        bits += 1
    key = (255, 0, 255)
    while key in seen:
        key = (key[0], key[1] + 1, key[2])
    table = [key] + colours + [(0, 0, 0)] * ((1 << bits) - len(colours) - 1)
    index = {c: i for i, c in enumerate(table) if i}

    out = bytearray(b"GIF89a")
    out += struct.pack("<HHBBB", width, height, 0x80 | ((bits - 1) << 4) | (bits - 1), 0, 0)
    for c in table:
        out += bytes(c)
    if len(frames) > 1:
        out += b"\x21\xFF\x0BNETSCAPE2.0\x03\x01\x00\x00\x00"
    min_code_size = max(2, bits)
    for frame, delay in zip(frames, delays):
        out += b"\x21\xF9\x04" + struct.pack("<BHB", (2 << 2) | 1, round(delay / 10), 0) + b"\x00"
        out += b"\x2C" + struct.pack("<HHHHB", 0, 0, width, height, 0)
        pixels = [index[p[:3]] if p[3] else 0 for p in frame.pixels]
        out.append(min_code_size)
        out += _sub_blocks(lzw_encode(pixels, min_code_size))
    out += b"\x3B"
    with open(path, "wb") as f:
        f.write(bytes(out))
