"""Contact sheets of the sample images and sounds, for looking at them: each
picture at 1x, 2x (a 192 dpi screen) and 4x, on the skin's background and on a
dark one, with its name; each sound as a waveform and a spectrogram."""
import cmath
import math
import os
import struct
import wave
import zlib

from readers import read_gif, read_png

# 3x5 capitals, digits and the punctuation of smiley codes.
FONT = {
    "A": "010101111101101", "B": "110101110101110", "C": "011100100100011", "D": "110101101101110",
    "E": "111100110100111", "F": "111100110100100", "G": "011100101101011", "H": "101101111101101",
    "I": "111010010010111", "J": "001001001101010", "K": "101101110101101", "L": "100100100100111",
    "M": "101111111101101", "N": "110101101101101", "O": "010101101101010", "P": "110101110100100",
    "Q": "010101101111011", "R": "110101110101101", "S": "011100010001110", "T": "111010010010010",
    "U": "101101101101111", "V": "101101101101010", "W": "101101111111101", "X": "101101010101101",
    "Y": "101101010010010", "Z": "111001010100111", "0": "111101101101111", "1": "010110010010111",
    "2": "110001010100111", "3": "110001010001110", "4": "101101111001001", "5": "111100110001110",
    "6": "011100111101111", "7": "111001010010010", "8": "111101111101111", "9": "111101111001110",
    "_": "000000000000111", ".": "000000000000010", "-": "000000111000000", ":": "000010000010000",
    ";": "000010000010100", ")": "010001001001010", "(": "010100100100010", "'": "010010000000000",
    "*": "000101010101000", "<": "001010100010001", ">": "100010001010100", "@": "010101111100011",
    "|": "010010010010010", "^": "010101000000000", "/": "001001010100100", "\\": "100100010001001",
    "$": "011110010011110", "[": "110100100100110", "]": "011001001001011", "}": "110010011010110",
    "{": "011010110010011", "!": "010010010000010", "?": "110001010000010", "&": "010101010101011",
    "=": "000111000111000", "+": "000010111010000", ",": "000000000010100", " ": "000000000000000",
    '"': "101101000000000", "#": "101111101111101", "%": "101001010100101", "~": "000011110000000",
}

DARK = (30, 34, 40, 255)
LIGHT = (238, 242, 246, 255)
INK_LIGHT = (40, 44, 52, 255)
INK_DARK = (220, 224, 230, 255)


class Canvas:
    def __init__(self, width, height, fill):
        self.width = width
        self.height = height
        self.rows = [[fill] * width for _ in range(height)]

    def put(self, x, y, c):
        if 0 <= x < self.width and 0 <= y < self.height:
            if c[3] == 255:
                self.rows[y][x] = c
            elif c[3]:
                d = self.rows[y][x]
                a = c[3] / 255
                self.rows[y][x] = tuple(round(c[i] * a + d[i] * (1 - a)) for i in range(3)) + (255,)

    def fill(self, x, y, w, h, c):
        for yy in range(y, y + h):
            for xx in range(x, x + w):
                self.put(xx, yy, c)

    def tile(self, x, y, w, h, rows):
        th, tw = len(rows), len(rows[0])
        for yy in range(h):
            for xx in range(w):
                self.put(x + xx, y + yy, rows[yy % th][xx % tw])

    def image(self, x, y, rows, scale):
        for yy, row in enumerate(rows):
            for xx, c in enumerate(row):
                if c[3]:
                    for sy in range(scale):
                        for sx in range(scale):
                            self.put(x + xx * scale + sx, y + yy * scale + sy, c)

    def text(self, x, y, s, c, scale=1):
        for ch in s.upper():
            glyph = FONT.get(ch, FONT["?"])
            for i, bit in enumerate(glyph):
                if bit == "1":
                    self.fill(x + (i % 3) * scale, y + (i // 3) * scale, scale, scale, c)
            x += 4 * scale

    def save(self, path):
        raw = bytearray()
        for row in self.rows:
            raw.append(0)
            for c in row:
                raw.extend(c[:3])
        def chunk(kind, body):
            return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF)
        with open(path, "wb") as f:
            f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", self.width, self.height, 8, 2, 0, 0, 0))
                    + chunk(b"IDAT", zlib.compress(bytes(raw), 6)) + chunk(b"IEND", b""))


def text_width(s, scale=1):
    return len(s) * 4 * scale


def image_sheet(path, title, entries, background=None, columns=6, zoom=4):
    """entries: (label, [frame rows...]); every frame shown at 1x, 2x and zoom x,
    on the background tile (or the light colour) above and on dark below."""
    frame_w = max(len(f[0]) for _, frames in entries for f in frames)
    frame_h = max(len(f) for _, frames in entries for f in frames)
    nframes = max(len(frames) for _, frames in entries)
    one = frame_w + 4 + frame_w * 2 + 4 + frame_w * zoom
    cell_w = max(one, nframes * (frame_w * zoom + 4) - 4) + 12
    if nframes > 1:
        cell_w = max(cell_w, max(text_width(label) for label, _ in entries) + 12)
    strip_h = frame_h * zoom + 8
    cell_h = 10 + (2 * strip_h if nframes == 1 else 2 * strip_h + 2 * (frame_h * 2 + 6)) + 8
    rows = (len(entries) + columns - 1) // columns
    canvas = Canvas(columns * cell_w + 8, rows * cell_h + 24, (255, 255, 255, 255))
    canvas.text(6, 6, title, INK_LIGHT, 2)
    for n, (label, frames) in enumerate(entries):
        cx = 4 + (n % columns) * cell_w
        cy = 22 + (n // columns) * cell_h
        canvas.text(cx + 4, cy + 2, label, INK_LIGHT)
        y = cy + 10
        for bg in ("light", "dark"):
            x0 = cx + 2
            w = cell_w - 4
            if bg == "light":
                if background:
                    canvas.tile(x0, y, w, strip_h, background)
                else:
                    canvas.fill(x0, y, w, strip_h, LIGHT)
            else:
                canvas.fill(x0, y, w, strip_h, DARK)
            if len(frames) == 1:
                f = frames[0]
                x = x0 + 4
                canvas.image(x, y + 4, f, 1)
                x += frame_w + 4
                canvas.image(x, y + 4, f, 2)
                x += frame_w * 2 + 4
                canvas.image(x, y + 4, f, zoom)
            else:
                for i, f in enumerate(frames):
                    canvas.image(x0 + 4 + i * (frame_w * zoom + 4), y + 4, f, zoom)
            y += strip_h
            if len(frames) > 1:
                strip2 = frame_h * 2 + 6
                if bg == "light":
                    if background:
                        canvas.tile(x0, y, w, strip2, background)
                    else:
                        canvas.fill(x0, y, w, strip2, LIGHT)
                else:
                    canvas.fill(x0, y, w, strip2, DARK)
                for i, f in enumerate(frames):
                    canvas.image(x0 + 4 + i * (frame_w * 2 + 4), y + 3, f, 2)
                y += strip2
    canvas.save(path)


def png_entries(folder, names):
    out = []
    for name in names:
        _, _, rows = read_png(os.path.join(folder, name))
        out.append((name[:-4], [rows]))
    return out


def read_samples(path):
    with wave.open(path, "rb") as w:
        n = w.getnframes()
        rate = w.getframerate()
        raw = w.readframes(n)
        width = w.getsampwidth()
        channels = w.getnchannels()
    if width != 2:
        raise ValueError("16-bit samples expected")
    values = struct.unpack("<%dh" % (len(raw) // 2), raw)
    return [values[i] / 32768 for i in range(0, len(values), channels)], rate


def sound_sheet(path, sounds):
    """sounds: (label, wav path); waveform over 0..1 s and a spectrogram to 8 kHz."""
    plot_w, wave_h, spec_h = 880, 120, 128
    block = 24 + wave_h + 6 + spec_h + 14
    canvas = Canvas(plot_w + 16, len(sounds) * block + 28, (255, 255, 255, 255))
    canvas.text(6, 6, "SOUNDS: WAVEFORM 0-1 S, SPECTROGRAM 0-8 KHZ", INK_LIGHT, 2)
    for n, (label, file) in enumerate(sounds):
        samples, rate = read_samples(file)
        y0 = 28 + n * block
        canvas.text(8, y0 + 4, "%s  %d MS  PEAK %.2f" % (label, len(samples) * 1000 // rate,
                                                        max(abs(s) for s in samples)), INK_LIGHT)
        top = y0 + 14
        canvas.fill(8, top, plot_w, wave_h, (244, 246, 250, 255))
        for t in range(0, 1001, 100):
            canvas.fill(8 + t * (plot_w - 1) // 1000, top, 1, wave_h, (214, 220, 228, 255))
        mid = top + wave_h // 2
        canvas.fill(8, mid, plot_w, 1, (200, 206, 214, 255))
        per = rate / plot_w
        for x in range(plot_w):
            a, b = int(x * per), int((x + 1) * per)
            part = samples[a:b]
            if not part:
                continue
            lo, hi = min(part), max(part)
            y1 = mid - int(hi * (wave_h // 2 - 1))
            y2 = mid - int(lo * (wave_h // 2 - 1))
            canvas.fill(8 + x, y1, 1, max(1, y2 - y1 + 1), (42, 100, 180, 255))
        stop = top + wave_h + 6
        canvas.fill(8, stop, plot_w, spec_h, (16, 18, 24, 255))
        size = 512
        window = [0.5 - 0.5 * math.cos(2 * math.pi * i / size) for i in range(size)]
        columns = plot_w // 4
        nyq = min(8000, rate // 2)
        bins = int(nyq * size / rate)
        twiddle = [cmath.exp(-2j * math.pi * k / size) for k in range(size)]
        for c in range(columns):
            start = int(c * rate / columns) - size // 2
            frame = [samples[start + i] * window[i] if 0 <= start + i < len(samples) else 0 for i in range(size)]
            if not any(frame):
                continue
            spec = fft(frame, twiddle)
            for row in range(spec_h):
                k = int((spec_h - 1 - row) * bins / spec_h)
                mag = abs(spec[k]) / (size / 4)
                db = 20 * math.log10(mag + 1e-9)
                v = max(0.0, min(1.0, (db + 60) / 60))
                if v > 0:
                    colour = heat(v)
                    canvas.fill(8 + c * 4, stop + row, 4, 1, colour)
        for khz in range(0, 9, 2):
            yy = stop + spec_h - 1 - int(khz * 1000 * spec_h / nyq)
            canvas.text(8 + plot_w - 20, max(stop, yy - 5), "%dK" % khz, (200, 200, 200, 255))
    canvas.save(path)


def fft(x, twiddle):
    n = len(x)
    if n == 1:
        return [complex(x[0])]
    even = fft(x[0::2], twiddle[0::2])
    odd = fft(x[1::2], twiddle[0::2])
    half = n // 2
    out = [0j] * n
    for k in range(half):
        t = twiddle[k] * odd[k]
        out[k] = even[k] + t
        out[k + half] = even[k] - t
    return out


def heat(v):
    stops = [(0, (16, 18, 24)), (0.35, (60, 30, 120)), (0.6, (200, 60, 60)), (0.85, (250, 180, 40)), (1, (255, 255, 220))]
    for (a, ca), (b, cb) in zip(stops, stops[1:]):
        if v <= b:
            t = (v - a) / (b - a)
            return tuple(round(ca[i] + (cb[i] - ca[i]) * t) for i in range(3)) + (255,)
    return stops[-1][1] + (255,)


def gif_entries(folder, names, labels):
    out = []
    for name, label in zip(names, labels):
        gif = read_gif(os.path.join(folder, name))
        out.append((label, [f["rows"] for f in gif["frames"]]))
    return out
