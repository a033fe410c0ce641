"""Writers for the file formats that windres embeds: .ico, .cur, .bmp, .avi.

All of them store device-independent bitmaps: rows from the bottom up, each
row padded to a multiple of four bytes."""

import struct
import zlib

from raster import CLEAR, RGB, INDEX

BI_RGB = 0
BI_RLE8 = 1


def _row_padding(nbytes):
    return b"\0" * (-nbytes % 4)


def _bitmap_info_header(width, height, bit_count, compression=BI_RGB, image_size=0, colours_used=0):
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, bit_count, compression,
                       image_size, 0, 0, colours_used, 0)


def _palette(colours):
    return b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in colours)


def _pack_4bpp(canvas, clear_index=0):
    data = bytearray()
    for y in reversed(range(canvas.height)):
        row = [clear_index if v is CLEAR else v for v in canvas.pixels[y]]
        if len(row) % 2:
            row.append(0)
        packed = bytes((row[i] << 4) | row[i + 1] for i in range(0, len(row), 2))
        data += packed + _row_padding(len(packed))
    return bytes(data)


def _pack_1bpp(width, height, bit_at):
    data = bytearray()
    for y in reversed(range(height)):
        packed = bytearray((width + 7) // 8)
        for x in range(width):
            if bit_at(x, y):
                packed[x // 8] |= 0x80 >> (x % 8)
        data += packed + _row_padding(len(packed))
    return bytes(data)


def icon_image(canvas):
    """One image of an icon file: 4-bit colours plus the transparency mask."""
    xor = _pack_4bpp(canvas)
    mask = _pack_1bpp(canvas.width, canvas.height,
                      lambda x, y: canvas.pixels[y][x] is CLEAR)
    header = _bitmap_info_header(canvas.width, 2 * canvas.height, 4,
                                 image_size=len(xor) + len(mask))
    return header + _palette(RGB) + xor + mask


def write_ico(path, canvases):
    """An icon file holding one 16-colour image per canvas (largest first)."""
    images = [icon_image(c) for c in canvases]
    offset = 6 + 16 * len(images)
    out = bytearray(struct.pack("<HHH", 0, 1, len(images)))
    for canvas, image in zip(canvases, images):
        out += struct.pack("<BBBBHHII", canvas.width % 256, canvas.height % 256, 16, 0,
                           1, 4, len(image), offset)
        offset += len(image)
    for image in images:
        out += image
    _write(path, out)


def write_cur(path, canvas, hotspot):
    """A monochrome cursor: black and white pixels, everything else clear."""
    black, white = INDEX["K"], INDEX["W"]
    for row in canvas.pixels:
        for value in row:
            if value not in (CLEAR, black, white):
                raise ValueError("a monochrome cursor holds only black and white")
    xor = _pack_1bpp(canvas.width, canvas.height,
                     lambda x, y: canvas.pixels[y][x] == white)
    mask = _pack_1bpp(canvas.width, canvas.height,
                      lambda x, y: canvas.pixels[y][x] is CLEAR)
    image = (_bitmap_info_header(canvas.width, 2 * canvas.height, 1,
                                 image_size=len(xor) + len(mask))
             + _palette([(0, 0, 0), (255, 255, 255)]) + xor + mask)
    out = struct.pack("<HHH", 0, 2, 1)
    out += struct.pack("<BBBBHHII", canvas.width % 256, canvas.height % 256, 2, 0,
                       hotspot[0], hotspot[1], len(image), 6 + 16)
    _write(path, out + image)


def write_bmp(path, canvas):
    """A 16-colour bitmap; clear pixels are not allowed in a bitmap."""
    if any(v is CLEAR for row in canvas.pixels for v in row):
        raise ValueError("a bitmap has no transparent pixels")
    bits = _pack_4bpp(canvas)
    info = _bitmap_info_header(canvas.width, canvas.height, 4, image_size=len(bits),
                               colours_used=16) + _palette(RGB)
    header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(bits), 0, 0, 14 + len(info))
    _write(path, header + info + bits)


def encode_rle8(canvas):
    """One frame in the run-length encoding of 8-bit bitmaps.

    Every frame is complete (no skips), so each one is a key frame. Runs of
    equal pixels use encoded mode; stretches of differing pixels use absolute
    mode when they are at least three pixels long."""
    out = bytearray()
    for n, y in enumerate(reversed(range(canvas.height))):
        row = canvas.pixels[y]
        x = 0
        literal = []

        def flush():
            while literal:
                chunk = literal[:255]
                del literal[:255]
                if len(chunk) < 3:
                    for value in chunk:
                        out.extend((1, value))
                else:
                    out.extend((0, len(chunk)))
                    out.extend(chunk)
                    if len(chunk) % 2:
                        out.append(0)

        while x < len(row):
            run = 1
            while x + run < len(row) and row[x + run] == row[x] and run < 255:
                run += 1
            if run >= 3:
                flush()
                out.extend((run, row[x]))
            else:
                literal.extend(row[x:x + run])
            x += run
        flush()
        if n < canvas.height - 1:
            out.extend((0, 0))
    out.extend((0, 1))
    return bytes(out)


def _chunk(fourcc, data):
    return fourcc + struct.pack("<I", len(data)) + data + (b"\0" if len(data) % 2 else b"")


def _list(kind, data):
    return _chunk(b"LIST", kind + data)


def write_avi(path, frames, frames_per_second):
    """A video-only AVI of RLE8 frames, the kind the animation control plays."""
    width, height = frames[0].width, frames[0].height
    encoded = [encode_rle8(f) for f in frames]
    largest = max(len(e) for e in encoded)
    micro_seconds = 1000000 // frames_per_second

    avih = struct.pack("<IIIIIIIIII4I", micro_seconds, largest * frames_per_second, 0,
                       0x10,  # AVIF_HASINDEX
                       len(frames), 0, 1, largest, width, height, 0, 0, 0, 0)
    strh = struct.pack("<4s4sIHHIIIIIIIIhhhh", b"vids", b"RLE ", 0, 0, 0, 0,
                       1, frames_per_second, 0, len(frames), largest, 0xFFFFFFFF, 0,
                       0, 0, width, height)
    strf = _bitmap_info_header(width, height, 8, BI_RLE8, largest, len(RGB)) + _palette(RGB)
    hdrl = _list(b"hdrl", _chunk(b"avih", avih) + _list(b"strl", _chunk(b"strh", strh)
                                                     + _chunk(b"strf", strf)))

    movi_data = bytearray()
    index = bytearray()
    for data in encoded:
        # Index offsets count from the "movi" fourcc of the list.
        index += struct.pack("<4sIII", b"00dc", 0x10, 4 + len(movi_data), len(data))
        movi_data += _chunk(b"00dc", data)
    body = b"AVI " + hdrl + _list(b"movi", bytes(movi_data)) + _chunk(b"idx1", bytes(index))
    _write(path, b"RIFF" + struct.pack("<I", len(body)) + body)


def write_png(path, canvas, scale=1, clear_rgb=(255, 0, 255)):
    """A preview of a canvas, enlarged by scale, for looking at the pictures."""
    raw = bytearray()
    for row in canvas.pixels:
        line = bytearray()
        for value in row:
            rgb = clear_rgb if value is CLEAR else RGB[value]
            line += bytes(rgb) * scale
        for _ in range(scale):
            raw += b"\0" + line
    def png_chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data
                + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))
    header = struct.pack(">IIBBBBB", canvas.width * scale, canvas.height * scale, 8, 2, 0, 0, 0)
    _write(path, b"\x89PNG\r\n\x1a\n" + png_chunk(b"IHDR", header)
           + png_chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + png_chunk(b"IEND", b""))


def _write(path, data):
    with open(path, "wb") as f:
        f.write(data)
