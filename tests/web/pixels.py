"""pixels.py - the two pictures the page's tests compare: a PNG screenshot
from Chromium and an 8-bit BMP frame from vimbrel-render, both as rows of
RGB bytes, top row first."""
import struct
import zlib


def png_rgb(data):
    """(width, height, bytes) of an 8-bit RGB or RGBA PNG, alpha dropped."""
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError("not a PNG")
    at, idat, header = 8, b"", None
    while at < len(data):
        length, kind = struct.unpack(">I4s", data[at:at + 8])
        body = data[at + 8:at + 8 + length]
        at += 12 + length
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat += body
    width, height, depth, colour, _, _, interlace = header
    if depth != 8 or colour not in (2, 6) or interlace:
        raise ValueError("PNG of depth %d, colour type %d, interlace %d" % (depth, colour, interlace))
    step = 3 if colour == 2 else 4
    raw = zlib.decompress(idat)
    stride = width * step
    rows, previous = [], bytearray(stride)
    for y in range(height):
        kind = raw[y * (stride + 1)]
        row = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            a = row[i - step] if i >= step else 0
            b = previous[i]
            c = previous[i - step] if i >= step else 0
            if kind == 1:
                row[i] = (row[i] + a) & 255
            elif kind == 2:
                row[i] = (row[i] + b) & 255
            elif kind == 3:
                row[i] = (row[i] + (a + b) // 2) & 255
            elif kind == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                row[i] = (row[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        rows.append(row)
        previous = row
    if step == 3:
        return width, height, b"".join(rows)
    out = bytearray()
    for row in rows:
        for x in range(width):
            out += row[4 * x:4 * x + 3]
    return width, height, bytes(out)


def bmp_rgb(data):
    """(width, height, bytes) of an 8-bit BMP frame through its colour table."""
    offset, = struct.unpack_from("<I", data, 10)
    header_size, width, height, _, bits = struct.unpack_from("<IiiHH", data, 14)
    colours, = struct.unpack_from("<I", data, 46)
    if bits != 8:
        raise ValueError("BMP of %d bits" % bits)
    table = data[14 + header_size:14 + header_size + 4 * (colours or 256)]
    rgb = [bytes((table[4 * i + 2], table[4 * i + 1], table[4 * i])) for i in range(len(table) // 4)]
    lut = [rgb[i] if i < len(rgb) else b"\0\0\0" for i in range(256)]
    stride = (width + 3) & ~3
    bottom_up = height > 0
    height = abs(height)
    out = bytearray()
    for y in range(height):
        source = height - 1 - y if bottom_up else y
        row = data[offset + source * stride:offset + source * stride + width]
        out += b"".join(lut[i] for i in row)
    return width, height, bytes(out)


def first_difference(width, actual, expected):
    """None when equal, else (row, column, differing pixel count)."""
    if actual == expected:
        return None
    if len(actual) != len(expected):
        return (-1, -1, abs(len(actual) - len(expected)) // 3)
    first, count = None, 0
    for i in range(0, len(actual), 3):
        if actual[i:i + 3] != expected[i:i + 3]:
            count += 1
            if first is None:
                first = (i // 3) // width, (i // 3) % width
    return first[0], first[1], count


def write_png(path, width, height, rgb):
    """The RGB rows as a PNG file (for a failure's actual picture)."""
    raw = b"".join(b"\0" + rgb[y * width * 3:(y + 1) * width * 3] for y in range(height))

    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))
    with open(path, "wb") as out:
        out.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)) +
                  chunk(b"IDAT", zlib.compress(raw, 6)) + chunk(b"IEND", b""))
