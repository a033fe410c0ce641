"""Small paletted canvases for the program's pictures.

Every picture is drawn in the sixteen colours of the classic VGA palette, so
that icons and bitmaps can be stored with 4 bits per pixel and the toolbar
greys stay exactly the values that the common controls map to system colours.
"""

# The sixteen colours, each with the letter that the pixel maps use for it.
PALETTE = [
    ("K", (0, 0, 0)),          # black
    ("r", (128, 0, 0)),        # dark red
    ("g", (0, 128, 0)),        # dark green
    ("y", (128, 128, 0)),      # olive
    ("b", (0, 0, 128)),        # navy
    ("m", (128, 0, 128)),      # purple
    ("t", (0, 128, 128)),      # teal
    ("s", (192, 192, 192)),    # silver: button face of toolbars and dialogs
    ("d", (128, 128, 128)),    # dark grey: button shadow
    ("R", (255, 0, 0)),
    ("G", (0, 255, 0)),
    ("Y", (255, 255, 0)),
    ("B", (0, 0, 255)),
    ("M", (255, 0, 255)),
    ("C", (0, 255, 255)),
    ("W", (255, 255, 255)),
]

INDEX = {letter: i for i, (letter, _) in enumerate(PALETTE)}
RGB = [rgb for _, rgb in PALETTE]

# Pixel value of a canvas spot that nothing was drawn on.
CLEAR = None

# In pixel maps "." leaves the pixel as it is.
KEEP = "."


class Canvas:
    """A width by height grid of palette indexes; CLEAR marks transparency."""

    def __init__(self, width, height, fill=CLEAR):
        self.width = width
        self.height = height
        value = INDEX[fill] if isinstance(fill, str) else fill
        self.pixels = [[value] * width for _ in range(height)]

    def get(self, x, y):
        return self.pixels[y][x]

    def put(self, x, y, colour):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.pixels[y][x] = INDEX[colour] if isinstance(colour, str) else colour

    def rect(self, x0, y0, x1, y1, colour):
        """Fills the rectangle with the corners (x0, y0) and (x1, y1), both inclusive."""
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.put(x, y, colour)

    def frame(self, x0, y0, x1, y1, colour):
        for x in range(x0, x1 + 1):
            self.put(x, y0, colour)
            self.put(x, y1, colour)
        for y in range(y0, y1 + 1):
            self.put(x0, y, colour)
            self.put(x1, y, colour)

    def hline(self, x0, x1, y, colour):
        for x in range(x0, x1 + 1):
            self.put(x, y, colour)

    def vline(self, x, y0, y1, colour):
        for y in range(y0, y1 + 1):
            self.put(x, y, colour)

    def line(self, x0, y0, x1, y1, colour):
        """Bresenham line, both ends included."""
        dx, dy = abs(x1 - x0), -abs(y1 - y0)
        sx, sy = (1 if x0 < x1 else -1), (1 if y0 < y1 else -1)
        err = dx + dy
        while True:
            self.put(x0, y0, colour)
            if x0 == x1 and y0 == y1:
                return
            e2 = 2 * err
            if e2 >= dy:
                err += dy
                x0 += sx
            if e2 <= dx:
                err += dx
                y0 += sy

    def polygon(self, points, colour):
        """Fills the pixels whose centres lie inside the polygon (even-odd rule)."""
        for y in range(self.height):
            py = y + 0.5
            crossings = []
            for (xa, ya), (xb, yb) in zip(points, points[1:] + points[:1]):
                if (ya <= py < yb) or (yb <= py < ya):
                    crossings.append(xa + (py - ya) * (xb - xa) / (yb - ya))
            crossings.sort()
            for left, right in zip(crossings[::2], crossings[1::2]):
                for x in range(self.width):
                    if left <= x + 0.5 < right:
                        self.put(x, y, colour)

    def paint(self, rows, x=0, y=0, colours=None):
        """Draws a pixel map: one string per row, one palette letter per pixel.

        "." keeps what is below; colours may rename letters (for recolouring a
        shared map)."""
        for dy, row in enumerate(rows):
            for dx, letter in enumerate(row):
                if letter == KEEP:
                    continue
                if colours and letter in colours:
                    letter = colours[letter]
                self.put(x + dx, y + dy, letter)

    def blit(self, other, x, y):
        """Copies the drawn (not CLEAR) pixels of another canvas to (x, y)."""
        for dy in range(other.height):
            for dx in range(other.width):
                value = other.pixels[dy][dx]
                if value is not CLEAR:
                    self.put(x + dx, y + dy, value)

    def flipped(self):
        """Mirror image, left to right."""
        mirror = Canvas(self.width, self.height)
        mirror.pixels = [list(reversed(row)) for row in self.pixels]
        return mirror

    def outline(self, colour):
        """Puts colour on every clear pixel that touches a drawn one sideways."""
        drawn = [[value is not CLEAR for value in row] for row in self.pixels]
        for y in range(self.height):
            for x in range(self.width):
                if drawn[y][x]:
                    continue
                for nx, ny in ((x - 1, y), (x + 1, y), (x, y - 1), (x, y + 1)):
                    if 0 <= nx < self.width and 0 <= ny < self.height and drawn[ny][nx]:
                        self.put(x, y, colour)
                        break


def from_map(rows, colours=None):
    """A canvas the size of a pixel map, clear where the map has "."."""
    canvas = Canvas(len(rows[0]), len(rows))
    canvas.paint(rows, colours=colours)
    return canvas


def check_map(name, rows, width, height):
    if len(rows) != height or any(len(row) != width for row in rows):
        raise ValueError(f"pixel map {name} is not {width} by {height}")
    unknown = {letter for row in rows for letter in row} - set(INDEX) - {KEEP}
    if unknown:
        raise ValueError(f"pixel map {name} uses unknown letters {sorted(unknown)}")
