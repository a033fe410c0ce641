"""Small, real pictures for test caches: GIF 89a, baseline JPEG, uncompressed TIFF and
X bitmaps (XBM), the picture types the program knows, written by Pillow.

A picture is described by a dict: {"w": 32, "h": 24, "colour": "#c03020",
"pattern": "gradient"} with the patterns "solid", "gradient" (colour to white along
the diagonal), "checker", "stripes" and "frame"; a JPEG may give its "quality"
(default 75). The output of one description is always the same bytes with one
version of Pillow.
"""

import io

from PIL import Image

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
    """The RGB picture of a description."""
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
    pixels = []
    for y in range(height):
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
            pixels.append(pixel)
    picture = Image.new("RGB", (width, height))
    picture.putdata(pixels)
    return picture


def picture_bytes(kind, description):
    picture = render(description)
    if kind == "gif":
        return encode_gif(picture)
    if kind == "jpeg":
        return _saved(picture, "JPEG", quality=int(description.get("quality", 75)))
    if kind == "tiff":
        return _saved(picture, "TIFF")
    if kind == "xbm":
        return encode_xbm(picture)
    raise PictureError("unknown picture kind %r" % kind)


def _saved(picture, file_format, **options):
    out = io.BytesIO()
    picture.save(out, file_format, **options)
    return out.getvalue()


def encode_gif(picture):
    """Every colour exactly as drawn, in a palette of the colours in the order they
    first appear; Pillow's own conversion to a palette would blend them."""
    lookup = {}
    indices = []
    for pixel in picture.getdata():
        if pixel not in lookup:
            if len(lookup) == 256:
                raise PictureError("a GIF holds at most 256 colours")
            lookup[pixel] = len(lookup)
        indices.append(lookup[pixel])
    paletted = Image.new("P", picture.size)
    paletted.putpalette([channel for pixel in lookup for channel in pixel])
    paletted.putdata(indices)
    paletted.info["version"] = b"89a"
    return _saved(paletted, "GIF")


def encode_xbm(picture):
    """An X bitmap: the dark pixels are its set bits. Pillow writes a set bit for each
    pixel of value 255 of a two-level picture, so the dark ones get that value."""
    mask = picture.convert("L").point(lambda luma: 255 if luma < 128 else 0).convert("1")
    return _saved(mask, "XBM")
