"""Readers for the sample files, written apart from their generators: PNG as
libpng hands it to the program, GIF the way the program's decoder reads it."""
import struct
import zlib


class FormatError(Exception):
    pass


def read_png(path):
    """(width, height, rows of RGBA tuples)."""
    with open(path, "rb") as f:
        data = f.read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise FormatError("no PNG signature")
    pos = 8
    header = None
    idat = bytearray()
    palette = []
    trns = b""
    while pos < len(data):
        if pos + 8 > len(data):
            raise FormatError("truncated chunk")
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        crc = struct.unpack(">I", data[pos + 8 + length:pos + 12 + length])[0]
        if zlib.crc32(kind + body) & 0xFFFFFFFF != crc:
            raise FormatError(f"bad CRC in {kind}")
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"PLTE":
            palette = [tuple(body[i:i + 3]) for i in range(0, len(body), 3)]
        elif kind == b"tRNS":
            trns = body
        elif kind == b"IDAT":
            idat += body
        elif kind == b"IEND":
            break
        pos += 12 + length
    if not header:
        raise FormatError("no IHDR")
    width, height, depth, colour_type, _, _, interlace = header
    if depth != 8 or interlace or colour_type not in (2, 3, 6):
        raise FormatError(f"unexpected format {header}")
    channels = {2: 3, 3: 1, 6: 4}[colour_type]
    raw = zlib.decompress(bytes(idat))
    stride = width * channels
    if len(raw) != height * (stride + 1):
        raise FormatError("wrong amount of image data")
    rows = []
    prev = bytearray(stride)
    for y in range(height):
        kind = raw[y * (stride + 1)]
        line = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            a = line[i - channels] if i >= channels else 0
            b = prev[i]
            c = prev[i - channels] if i >= channels else 0
            if kind == 1:
                line[i] = (line[i] + a) & 0xFF
            elif kind == 2:
                line[i] = (line[i] + b) & 0xFF
            elif kind == 3:
                line[i] = (line[i] + (a + b) // 2) & 0xFF
            elif kind == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                pred = a if pa <= pb and pa <= pc else (b if pb <= pc else c)
                line[i] = (line[i] + pred) & 0xFF
            elif kind != 0:
                raise FormatError("unknown filter")
        prev = line
        if colour_type == 6:
            rows.append([tuple(line[i:i + 4]) for i in range(0, stride, 4)])
        elif colour_type == 2:
            rows.append([tuple(line[i:i + 3]) + (255,) for i in range(0, stride, 3)])
        else:
            rows.append([palette[v] + ((trns[v] if v < len(trns) else 255),) for v in line])
    return width, height, rows


def decode_gif_lzw(data, min_size, width, height):
    """The program's LZW reader: 4096 entries at most, a table that fills
    without a clear code fails, codes grow once the next entry needs it."""
    clear = 1 << min_size
    end = clear + 1
    first = clear + 2
    size = min_size + 1
    next_entry = first
    prefix = [0] * 4096
    suffix = [0] * 4096
    for i in range(clear):
        suffix[i] = i
    previous = None
    out = []
    bit = 0
    data = bytes(data) + b"\0\0\0\0"
    target = width * height
    while len(out) < target:
        if bit // 8 + 4 > len(data):
            raise FormatError("image data ends before every pixel")
        code = (struct.unpack("<I", data[bit // 8:bit // 8 + 4])[0] >> (bit % 8)) & ((1 << size) - 1)
        bit += size
        if code == end:
            break
        if code == clear:
            size = min_size + 1
            next_entry = first
            previous = clear
            continue
        if previous is None:
            raise FormatError("no clear code first")  # the program tolerates it; ours always start so
        if code < next_entry:
            string = []
            c = code
            while c >= first:
                string.append(suffix[c])
                c = prefix[c]
            string.append(c)
            string.reverse()
        else:
            if previous == clear:
                raise FormatError("code out of table")
            string = []
            c = previous
            while c >= first:
                string.append(suffix[c])
                c = prefix[c]
            string.append(c)
            string.reverse()
            string.append(string[0])
        if previous != clear:
            prefix[next_entry] = previous
            suffix[next_entry] = string[0]
            next_entry += 1
            if next_entry == 4096:
                raise FormatError("table full without a clear code")
            if next_entry >= (1 << size) and size < 12:
                size += 1
        previous = code
        out.extend(string[:target - len(out)])
    if len(out) < target:
        raise FormatError("too few pixels")
    return out


def read_gif(path):
    """{'width','height','frames': [{'rows': RGBA rows on the logical screen,
    'delay': ms, 'disposal': n, 'transparent': index or None, 'rect': (x, y, w, h)}]}.
    Frames are composed as the program composes them: each on the previous
    one unless that one asked to be cleared."""
    with open(path, "rb") as f:
        data = f.read()
    if data[:3] != b"GIF":
        raise FormatError("no GIF signature")
    width, height, packed = struct.unpack("<HHB", data[6:11])
    pos = 13
    bits = (packed & 7) + 1
    if packed & 0x80:
        table = [tuple(data[pos + 3 * i:pos + 3 * i + 3]) for i in range(1 << bits)]
        pos += 3 * (1 << bits)
    else:
        table = [(i, i, i) for i in range(1 << bits)]
    frames = []
    control = None
    canvas = [[(0, 0, 0, 0)] * width for _ in range(height)]
    while pos < len(data):
        byte = data[pos]
        pos += 1
        if byte == 0x21:
            label = data[pos]
            pos += 1
            if label == 0xF9:
                _, cpacked, delay, transparent = struct.unpack("<BBHB", data[pos:pos + 5])
                control = (cpacked, delay, transparent)
                pos += 6
            else:
                while pos < len(data) and data[pos]:
                    pos += data[pos] + 1
                pos += 1
        elif byte == 0x2C:
            left, top, w, h, ipacked = struct.unpack("<HHHHB", data[pos:pos + 9])
            pos += 9
            palette = table
            if ipacked & 0x80:
                lbits = (ipacked & 7) + 1
                palette = [tuple(data[pos + 3 * i:pos + 3 * i + 3]) for i in range(1 << lbits)]
                pos += 3 * (1 << lbits)
            if ipacked & 0x40:
                raise FormatError("interlaced frames are not expected here")
            min_size = data[pos]
            pos += 1
            chunk = bytearray()
            while data[pos]:
                chunk += data[pos + 1:pos + 1 + data[pos]]
                pos += data[pos] + 1
            pos += 1
            transparent = None
            disposal = 0
            delay = 0
            if control:
                if control[0] & 1:
                    transparent = control[2]
                disposal = (control[0] >> 2) & 7
                delay = control[1] * 10
            if transparent is not None and transparent >= len(palette):
                raise FormatError("transparent index outside the palette")
            if left + w > width or top + h > height:
                raise FormatError("frame outside the logical screen")
            indices = decode_gif_lzw(chunk, min_size, w, h)
            if max(indices) >= len(palette):
                raise FormatError("pixel index outside the palette")
            frame_canvas = [list(row) for row in canvas]
            for y in range(h):
                for x in range(w):
                    v = indices[y * w + x]
                    if v != transparent:
                        frame_canvas[top + y][left + x] = palette[v] + (255,)
            frames.append({"rows": frame_canvas, "delay": delay, "disposal": disposal,
                           "transparent": transparent, "rect": (left, top, w, h)})
            canvas = frame_canvas if disposal in (0, 1) else [[(0, 0, 0, 0)] * width for _ in range(height)]
            control = None
        elif byte == 0x3B:
            break
    if not frames:
        raise FormatError("no frame")
    return {"width": width, "height": height, "frames": frames}
