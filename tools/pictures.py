"""Small, real pictures for test caches, in pure Python: GIF 89a (LZW), baseline JPEG,
uncompressed TIFF and X bitmaps (XBM), the picture types the program knows.

A picture is described by a dict: {"w": 32, "h": 24, "colour": "#c03020",
"pattern": "gradient"} with the patterns "solid", "gradient" (colour to white along
the diagonal), "checker", "stripes" and "frame". The output of one description is
always the same bytes.
"""

import math
import struct

PATTERNS = ("solid", "gradient", "checker", "stripes", "frame")
MAX_SIDE = 2048
GRADIENT_STEPS = 16


class PictureError(Exception):
    pass


def _parse_colour(colour):
    if isinstance(colour, (list, tuple)) and len(colour) == 3:
        return tuple(int(part) & 0xFF for part in colour)
    if isinstance(colour, str) and len(colour) == 7 and colour.startswith("#"):
        return tuple(int(colour[index:index + 2], 16) for index in (1, 3, 5))
    raise PictureError("colour must be '#rrggbb' or [r, g, b]: %r" % (colour,))


def _blend(colour, other, amount):
    return tuple(round(a + (b - a) * amount) for a, b in zip(colour, other))


def render(description):
    """(width, height, rows of (r, g, b)) for a picture description."""
    width = int(description.get("w", 16))
    height = int(description.get("h", 16))
    if not (1 <= width <= MAX_SIDE and 1 <= height <= MAX_SIDE):
        raise PictureError("picture sides must lie in 1..%d: %dx%d" % (MAX_SIDE, width, height))
    colour = _parse_colour(description.get("colour", description.get("color", "#3060a0")))
    pattern = description.get("pattern", "gradient")
    if pattern not in PATTERNS:
        raise PictureError("unknown pattern %r (one of %s)" % (pattern, ", ".join(PATTERNS)))
    white = (255, 255, 255)
    dark = _blend(colour, (0, 0, 0), 0.5)
    span = max(1, width + height - 2)
    rows = []
    for y in range(height):
        row = []
        for x in range(width):
            if pattern == "solid":
                pixel = colour
            elif pattern == "gradient":
                step = (x + y) * (GRADIENT_STEPS - 1) // span
                pixel = _blend(colour, white, step / GRADIENT_STEPS)
            elif pattern == "checker":
                pixel = colour if (x // 4 + y // 4) % 2 == 0 else white
            elif pattern == "stripes":
                pixel = colour if (y // 3) % 2 == 0 else dark
            else:
                edge = x < 2 or y < 2 or x >= width - 2 or y >= height - 2
                pixel = dark if edge else colour
            row.append(pixel)
        rows.append(row)
    return width, height, rows


def picture_bytes(kind, description):
    if kind == "gif":
        return encode_gif(*render(description))
    if kind == "jpeg":
        return encode_jpeg(*render(description), quality=int(description.get("quality", 75)))
    if kind == "tiff":
        return encode_tiff(*render(description))
    if kind == "xbm":
        return encode_xbm(*render(description), name=description.get("name", "picture"))
    raise PictureError("unknown picture kind %r" % kind)


def encode_tiff(width, height, rows):
    """Baseline RGB TIFF, one uncompressed strip, little-endian."""
    pixels = bytes(channel for row in rows for pixel in row for channel in pixel)
    entries = [(256, 3, 1, width), (257, 3, 1, height), (258, 3, 3, None), (259, 3, 1, 1),
               (262, 3, 1, 2), (273, 4, 1, None), (277, 3, 1, 3), (278, 3, 1, height),
               (279, 4, 1, len(pixels)), (282, 5, 1, None), (283, 5, 1, None), (296, 3, 1, 2)]
    directory_size = 2 + 12 * len(entries) + 4
    extra_offset = 8 + directory_size
    bits_offset = extra_offset
    resolution_offset = bits_offset + 6
    pixel_offset = resolution_offset + 8
    pointers = {258: bits_offset, 273: pixel_offset, 282: resolution_offset,
                283: resolution_offset}
    out = bytearray(b"II*\0" + struct.pack("<I", 8))
    out += struct.pack("<H", len(entries))
    for tag, kind, count, value in entries:
        value = pointers[tag] if value is None else value
        if kind == 3 and count == 1:
            out += struct.pack("<HHIHH", tag, kind, count, value, 0)
        else:
            out += struct.pack("<HHII", tag, kind, count, value)
    out += struct.pack("<I", 0)
    out += struct.pack("<HHH", 8, 8, 8) + struct.pack("<II", 72, 1)
    out += pixels
    return bytes(out)


def encode_xbm(width, height, rows, name="picture"):
    """X bitmap text: a set bit is a dark pixel, least significant bit leftmost."""
    values = []
    for row in rows:
        for start in range(0, width, 8):
            byte = 0
            for bit, (red, green, blue) in enumerate(row[start:start + 8]):
                if 0.299 * red + 0.587 * green + 0.114 * blue < 128:
                    byte |= 1 << bit
            values.append("0x%02x" % byte)
    lines = [", ".join(values[start:start + 12]) for start in range(0, len(values), 12)]
    text = ("#define %s_width %d\n#define %s_height %d\nstatic char %s_bits[] = {\n   %s};\n"
            % (name, width, name, height, name, ",\n   ".join(lines)))
    return text.encode("ascii")


# --- GIF -------------------------------------------------------------------------

LZW_MAX_CODE = 4095


class _LsbBitWriter:
    def __init__(self):
        self.out = bytearray()
        self.accumulator = 0
        self.count = 0

    def write(self, code, size):
        self.accumulator |= code << self.count
        self.count += size
        while self.count >= 8:
            self.out.append(self.accumulator & 0xFF)
            self.accumulator >>= 8
            self.count -= 8

    def flush(self):
        if self.count:
            self.out.append(self.accumulator & 0xFF)
        self.accumulator = self.count = 0
        return bytes(self.out)


def lzw_compress(indices, min_code_size):
    """GIF's variable-width LZW. The code width grows one code later than the table
    does, because a decoder builds each entry one code behind the encoder."""
    clear = 1 << min_code_size
    end = clear + 1
    writer = _LsbBitWriter()
    state = {}

    def reset():
        state["table"] = {(index,): index for index in range(clear)}
        state["next"] = end + 1
        state["size"] = min_code_size + 1

    def emit(code):
        writer.write(code, state["size"])
        if state["next"] >= (1 << state["size"]) and state["size"] < 12:
            state["size"] += 1

    reset()
    emit(clear)
    current = ()
    for index in indices:
        extended = current + (index,)
        if extended in state["table"]:
            current = extended
            continue
        emit(state["table"][current])
        if state["next"] >= LZW_MAX_CODE:
            emit(clear)
            reset()
        else:
            state["table"][extended] = state["next"]
            state["next"] += 1
        current = (index,)
    if current:
        emit(state["table"][current])
    emit(end)
    return writer.flush()


def encode_gif(width, height, rows):
    palette = []
    lookup = {}
    indices = []
    for row in rows:
        for pixel in row:
            if pixel not in lookup:
                if len(palette) == 256:
                    raise PictureError("a GIF holds at most 256 colours")
                lookup[pixel] = len(palette)
                palette.append(pixel)
            indices.append(lookup[pixel])
    bits = max(1, math.ceil(math.log2(len(palette)))) if len(palette) > 1 else 1
    table_size = 1 << bits
    palette += [(0, 0, 0)] * (table_size - len(palette))
    min_code_size = max(2, bits)
    out = bytearray(b"GIF89a")
    out += struct.pack("<HHBBB", width, height, 0x80 | 0x70 | (bits - 1), 0, 0)
    for pixel in palette:
        out += bytes(pixel)
    out += b"\x2c" + struct.pack("<HHHHB", 0, 0, width, height, 0)
    out.append(min_code_size)
    data = lzw_compress(indices, min_code_size)
    for start in range(0, len(data), 255):
        block = data[start:start + 255]
        out.append(len(block))
        out += block
    out += b"\x00\x3b"
    return bytes(out)


# --- JPEG (baseline, 4:4:4, standard tables of the JPEG standard's annex K) ------

def _zigzag_order():
    order = []
    for diagonal in range(15):
        rows = range(max(0, diagonal - 7), min(diagonal, 7) + 1)
        if diagonal % 2 == 0:
            rows = reversed(rows)
        order += [row * 8 + diagonal - row for row in rows]
    return order


ZIGZAG = _zigzag_order()

LUMINANCE_QUANT = [
    16, 11, 10, 16, 24, 40, 51, 61, 12, 12, 14, 19, 26, 58, 60, 55,
    14, 13, 16, 24, 40, 57, 69, 56, 14, 17, 22, 29, 51, 87, 80, 62,
    18, 22, 37, 56, 68, 109, 103, 77, 24, 35, 55, 64, 81, 104, 113, 92,
    49, 64, 78, 87, 103, 121, 120, 101, 72, 92, 95, 98, 112, 100, 103, 99]
CHROMINANCE_QUANT = [
    17, 18, 24, 47, 99, 99, 99, 99, 18, 21, 26, 66, 99, 99, 99, 99,
    24, 26, 56, 99, 99, 99, 99, 99, 47, 66, 99, 99, 99, 99, 99, 99] + [99] * 32

DC_LUMINANCE = ([0, 1, 5, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0], list(range(12)))
DC_CHROMINANCE = ([0, 3, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0], list(range(12)))


def _ac_values(head):
    """The AC symbol lists of annex K: the short codes in the annex's order, then the
    remaining (run, size) symbols, which the annex lists in numeric order."""
    rest = [run << 4 | size for run in range(16) for size in range(1, 11)]
    return head + [symbol for symbol in rest if symbol not in head]


AC_LUMINANCE = ([0, 2, 1, 3, 3, 2, 4, 3, 5, 5, 4, 4, 0, 0, 1, 0x7D], _ac_values([
    0x01, 0x02, 0x03, 0x00, 0x04, 0x11, 0x05, 0x12, 0x21, 0x31, 0x41, 0x06, 0x13, 0x51,
    0x61, 0x07, 0x22, 0x71, 0x14, 0x32, 0x81, 0x91, 0xA1, 0x08, 0x23, 0x42, 0xB1, 0xC1,
    0x15, 0x52, 0xD1, 0xF0, 0x24, 0x33, 0x62, 0x72, 0x82, 0x09, 0x0A, 0x16, 0x17, 0x18,
    0x19, 0x1A, 0x25, 0x26, 0x27, 0x28, 0x29, 0x2A, 0x34, 0x35, 0x36, 0x37, 0x38, 0x39,
    0x3A]))
AC_CHROMINANCE = ([0, 2, 1, 2, 4, 4, 3, 4, 7, 5, 4, 4, 0, 1, 2, 0x77], _ac_values([
    0x00, 0x01, 0x02, 0x03, 0x11, 0x04, 0x05, 0x21, 0x31, 0x06, 0x12, 0x41, 0x51, 0x07,
    0x61, 0x71, 0x13, 0x22, 0x32, 0x81, 0x08, 0x14, 0x42, 0x91, 0xA1, 0xB1, 0xC1, 0x09,
    0x23, 0x33, 0x52, 0xF0, 0x15, 0x62, 0x72, 0xD1, 0x0A, 0x16, 0x24, 0x34, 0xE1, 0x25,
    0xF1, 0x17, 0x18, 0x19, 0x1A, 0x26, 0x27, 0x28, 0x29, 0x2A, 0x35, 0x36, 0x37, 0x38,
    0x39, 0x3A]))


def _huffman_codes(table):
    counts, values = table
    if sum(counts) != len(values) or len(set(values)) != len(values):
        raise PictureError("inconsistent Huffman table")
    codes = {}
    code = 0
    position = 0
    for length, count in enumerate(counts, start=1):
        for _ in range(count):
            codes[values[position]] = (code, length)
            code += 1
            position += 1
        code <<= 1
    return codes


def _dct_matrix():
    matrix = []
    for u in range(8):
        scale = math.sqrt(0.125) if u == 0 else 0.5
        matrix.append([scale * math.cos((2 * x + 1) * u * math.pi / 16) for x in range(8)])
    return matrix


DCT = _dct_matrix()


def _forward_dct(block):
    rows = [[sum(DCT[u][x] * block[y * 8 + x] for x in range(8)) for u in range(8)]
            for y in range(8)]
    return [sum(DCT[v][y] * rows[y][u] for y in range(8)) for v in range(8) for u in range(8)]


def _scaled_table(table, quality):
    quality = min(100, max(1, quality))
    scale = 5000 // quality if quality < 50 else 200 - 2 * quality
    return [min(255, max(1, (value * scale + 50) // 100)) for value in table]


class _MsbBitWriter:
    """Entropy-coded data: most significant bit first, a 0x00 after every 0xFF byte."""

    def __init__(self):
        self.out = bytearray()
        self.accumulator = 0
        self.count = 0

    def write(self, value, size):
        self.accumulator = (self.accumulator << size) | (value & ((1 << size) - 1))
        self.count += size
        while self.count >= 8:
            self.count -= 8
            byte = (self.accumulator >> self.count) & 0xFF
            self.out.append(byte)
            if byte == 0xFF:
                self.out.append(0)
        self.accumulator &= (1 << self.count) - 1

    def flush(self):
        if self.count:
            self.write((1 << (8 - self.count)) - 1, 8 - self.count)
        return bytes(self.out)


def _magnitude(value):
    size = abs(value).bit_length()
    return size, (value if value >= 0 else value + (1 << size) - 1)


def _encode_block(writer, coefficients, previous_dc, dc_codes, ac_codes):
    difference = coefficients[0] - previous_dc
    size, bits = _magnitude(difference)
    writer.write(*dc_codes[size])
    if size:
        writer.write(bits, size)
    run = 0
    for value in coefficients[1:]:
        if value == 0:
            run += 1
            continue
        while run > 15:
            writer.write(*ac_codes[0xF0])
            run -= 16
        size, bits = _magnitude(value)
        writer.write(*ac_codes[run << 4 | size])
        writer.write(bits, size)
        run = 0
    if run:
        writer.write(*ac_codes[0x00])
    return coefficients[0]


def _segment(marker, payload):
    return struct.pack(">BBH", 0xFF, marker, len(payload) + 2) + payload


def encode_jpeg(width, height, rows, quality=75):
    tables = [_scaled_table(LUMINANCE_QUANT, quality), _scaled_table(CHROMINANCE_QUANT, quality)]
    huffman = [(_huffman_codes(DC_LUMINANCE), _huffman_codes(AC_LUMINANCE)),
               (_huffman_codes(DC_CHROMINANCE), _huffman_codes(AC_CHROMINANCE))]
    planes = ([], [], [])
    for row in rows:
        for plane in planes:
            plane.append([])
        for red, green, blue in row:
            planes[0][-1].append(0.299 * red + 0.587 * green + 0.114 * blue - 128)
            planes[1][-1].append(-0.168736 * red - 0.331264 * green + 0.5 * blue)
            planes[2][-1].append(0.5 * red - 0.418688 * green - 0.081312 * blue)
    writer = _MsbBitWriter()
    previous = [0, 0, 0]
    for block_y in range(0, height, 8):
        for block_x in range(0, width, 8):
            for component, plane in enumerate(planes):
                # Edge blocks repeat the last row and column, which keeps the
                # padding from ringing into the visible picture.
                block = [plane[min(block_y + y, height - 1)][min(block_x + x, width - 1)]
                         for y in range(8) for x in range(8)]
                table = tables[min(component, 1)]
                transformed = _forward_dct(block)
                coefficients = [int(round(transformed[index] / table[index])) for index in ZIGZAG]
                dc_codes, ac_codes = huffman[min(component, 1)]
                previous[component] = _encode_block(writer, coefficients, previous[component],
                                                    dc_codes, ac_codes)
    out = bytearray(b"\xFF\xD8")
    out += _segment(0xE0, b"JFIF\0" + struct.pack(">BBBHHBB", 1, 1, 0, 72, 72, 0, 0))
    for number, table in enumerate(tables):
        out += _segment(0xDB, bytes([number]) + bytes(table[index] for index in ZIGZAG))
    out += _segment(0xC0, struct.pack(">BHHB", 8, height, width, 3) +
                    bytes([1, 0x11, 0, 2, 0x11, 1, 3, 0x11, 1]))
    for number, (dc_table, ac_table) in enumerate([(DC_LUMINANCE, AC_LUMINANCE),
                                                    (DC_CHROMINANCE, AC_CHROMINANCE)]):
        for kind, (counts, values) in ((0x00, dc_table), (0x10, ac_table)):
            out += _segment(0xC4, bytes([kind | number]) + bytes(counts) + bytes(values))
    out += _segment(0xDA, bytes([3, 1, 0x00, 2, 0x11, 3, 0x11, 0, 63, 0]))
    out += writer.flush()
    out += b"\xFF\xD9"
    return bytes(out)
