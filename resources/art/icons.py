"""The icons and the splitter cursor.

Shapes shared with the toolbar and the animation (folders, globe, prohibition
sign, cross) are defined here once."""

import math

from raster import Canvas, from_map, check_map

FOLDER_CLOSED = [
    "................",
    "................",
    "................",
    "..KKKKK.........",
    ".KYWYWYK........",
    "KYWYWYWYKKKKKK..",
    "KWYYYYYYYYYYYyK.",
    "KYYYYYYYYYYYYyK.",
    "KWYYYYYYYYYYYyK.",
    "KYYYYYYYYYYYYyK.",
    "KWYYYYYYYYYYYyK.",
    "KYYYYYYYYYYYYyK.",
    "KWYYYYYYYYYYYyK.",
    "KyyyyyyyyyyyyyK.",
    "KKKKKKKKKKKKKKK.",
    "................",
]

FOLDER_OPEN = [
    "................",
    "................",
    "................",
    ".KKKKK..........",
    "KYWYWYK.........",
    "KWYYYYYKKKKKK...",
    "KYYYYYYYYYYYyK..",
    "KWYYKKKKKKKKKKKK",
    "KYYKWYWYWYWYWYyK",
    "KWKWYYYYYYYYYyK.",
    "KYKYYYYYYYYYYyK.",
    "KKWYYYYYYYYYyK..",
    "KKYYYYYYYYYYyK..",
    "KKyyyyyyyyyyK...",
    "KKKKKKKKKKKKK...",
    "................",
]

CROSS = [
    "................",
    "................",
    "..KK........KK..",
    "..KKK......KKK..",
    "...KKK....KKK...",
    "....KKK..KKK....",
    ".....KKKKKK.....",
    "......KKKK......",
    "......KKKK......",
    ".....KKKKKK.....",
    "....KKK..KKK....",
    "...KKK....KKK...",
    "..KKK......KKK..",
    "..KK........KK..",
    "................",
    "................",
]

PROHIBITION = [
    "................",
    ".....rrrrrr.....",
    "...rRRRRRRRRr...",
    "..rRRRWWWWRRRr..",
    ".rRRRRWWWWWWRRr.",
    ".rRRRRRWWWWWRRr.",
    "rRRWRRRRWWWWWRRr",
    "rRWWWRRRRWWWWRRr",
    "rRWWWWRRRRWWWRRr",
    "rRWWWWWRRRRWWRRr",
    "rRRWWWWWRRRRRRRr",
    ".rRRWWWWWRRRRRr.",
    ".rRRWWWWWWRRRRr.",
    "..rRRRWWWWRRRr..",
    "...rRRRRRRRRr...",
    ".....rrrrrr.....",
]

# Lower right quarter only: laid over a folder icon in the tree.
PROHIBITION_SMALL = [
    "................",
    "................",
    "................",
    "................",
    "................",
    "................",
    "................",
    "..........rRRr..",
    ".........RRWWRR.",
    "........rRRRWWRr",
    "........RWRRRWWR",
    "........RWWRRRWR",
    "........rRWWRRRr",
    ".........RRWWRR.",
    "..........rRRr..",
    "................",
]

MAGNIFIER = [
    "................",
    "....KKKK........",
    "..KKWCCCKK......",
    "..KWCCCCCK......",
    ".KWCCCCCCCK.....",
    ".KCCCCCCCCK.....",
    ".KCCCCCCCdK.....",
    ".KCCCCCCdtK.....",
    "..KCCCCdtK......",
    "..KKCttdKKK.....",
    "....KKKKKyyK....",
    "..........KyyK..",
    "...........KyyK.",
    "............KyyK",
    ".............KK.",
    "................",
]

# The continents of the globe as a strip around it: "#" land, "." sea. The
# strip is wrapped round the sphere, so turning the globe is a shift of it.
WORLD = [
    "................................................",
    ".....#####...............######.................",
    "...#########.....####...##########..............",
    "..##########....#####..#############.......##...",
    "...########.....###...###############.....####..",
    "....#######.....##....################.....##...",
    ".....#####.......##...#####..##########.........",
    "......###........####.####....########..........",
    "......###.......######.###.....######.......#...",
    ".......##.......#######.........####.......###..",
    "........###......#####...........##.......#####.",
    "........####.....####....................######.",
    ".........###......###.....................####..",
    "..........#.......##......................###...",
    "................................................",
    "................................................",
]


def draw_globe(size, turn=0.0, outline="K"):
    """A lit sphere with the world strip on it; turn is in whole turns."""
    canvas = Canvas(size, size)
    centre = size / 2
    radius = size / 2 - 0.5
    light = (-0.55, -0.6, 0.58)
    strip_w, strip_h = len(WORLD[0]), len(WORLD)
    for y in range(size):
        for x in range(size):
            dx = (x + 0.5 - centre) / radius
            dy = (y + 0.5 - centre) / radius
            d2 = dx * dx + dy * dy
            if d2 > 1.0:
                continue
            dz = math.sqrt(1.0 - d2)
            longitude = math.atan2(dx, dz) / (2 * math.pi) + 0.5 + turn
            latitude = math.asin(max(-1.0, min(1.0, dy))) / math.pi + 0.5
            land = WORLD[min(strip_h - 1, int(latitude * strip_h))][int(longitude * strip_w) % strip_w] == "#"
            lit = dx * light[0] + dy * light[1] + dz * light[2]
            if land:
                colour = "G" if lit > 0.55 else "g"
            elif lit > 0.9:
                colour = "C"
            elif lit > 0.25:
                colour = "B"
            else:
                colour = "b"
            canvas.put(x, y, colour)
    if outline:
        canvas.outline(outline)
    return canvas


GLOBE_16 = [
    "................",
    ".....KKKKKK.....",
    "...KKCBBGGBbKK..",
    "..KCCBGGGBBBBbK.",
    ".KCBGGGGGBBBBBbK",
    ".KBBGGGGBBBGGBbK",
    "KCBBBGGGBBGGGGbK",
    "KBBBBBGBBBGGGGbK",
    "KBBBBBGGBBBGGBbK",
    "KBBBBBBGgBBBGBbK",
    "KBBBBBBGgBBBBBbK",
    ".KBBBBBGgBBBBbbK",
    ".KbBBBBgBBBBbbK.",
    "..KbbBBBBBbbbK..",
    "...KKbbbbbbKK...",
    ".....KKKKKK.....",
]

GLOBE_WITH_MAGNIFIER = [
    "................",
    "...KKKKKK.......",
    ".KKCBBGGBKK.....",
    "KCCBGGGBBBBK....",
    "KCBGGGGGBBBbK...",
    "KBBGGGGBBKKKK...",
    "KBBBGGGBKWCCCK..",
    "KBBBBBGKWCCCCCK.",
    "KBBBBBGKCCCCCCK.",
    ".KBBBBBKCCCCCdK.",
    ".KbBBBBKCCCCdtK.",
    "..KbbBBBKCdtKKK.",
    "...KKbbbbKKKyyK.",
    ".....KKKK...KyyK",
    ".............KyK",
    "..............K.",
]


def _inside(x, y, centre, radius):
    return math.hypot(x + 0.5 - centre, y + 0.5 - centre) <= radius


def _mountain(canvas, peak, half_width, base_y, snow_rows):
    """A triangular mountain lit from the left, with a snow cap."""
    px, py = peak
    for y in range(py, base_y + 1):
        spread = (y - py) * half_width / (base_y - py)
        for x in range(int(px - spread), int(px + spread) + 1):
            if abs(x - px) > spread + 0.01:
                continue
            lit = x < px or (x == px and y - py < 1)
            if y - py < snow_rows - (1 if not lit else 0):
                colour = "W" if lit else "s"
            else:
                colour = "s" if lit else "d"
            canvas.put(x, y, colour)


def program_icon_32():
    """A mountain tarn with the globe rising in the gap between two peaks;
    the lake in front carries its broken reflection."""
    size, centre, radius = 32, 16, 15.2
    picture = Canvas(size, size)
    for y in range(size):
        for x in range(size):
            picture.put(x, y, "C" if y < 20 else "b")
    picture.blit(draw_globe(16, turn=0.62, outline="b"), 9, 4)
    _mountain(picture, (6, 9), 11, 20, 3)
    _mountain(picture, (26, 11), 10, 20, 3)
    picture.hline(0, 31, 20, "g")
    picture.hline(0, 31, 21, "g")
    for y in range(22, 32):
        for x in range(size):
            picture.put(x, y, "t" if y < 25 else "b")
    for x0, x1, y in ((12, 20, 22), (13, 19, 24), (4, 8, 23), (24, 28, 24),
                      (14, 18, 26), (7, 11, 27), (20, 25, 28), (13, 17, 29)):
        picture.hline(x0, x1, y, "B" if y >= 25 else "C")
    canvas = Canvas(size, size)
    for y in range(size):
        for x in range(size):
            if _inside(x, y, centre, radius):
                canvas.put(x, y, picture.get(x, y))
            elif _inside(x, y, centre, 16.0):
                canvas.put(x, y, "K")
    return canvas


PROGRAM_16 = [
    ".....KKKKKK.....",
    "...KKCCCCCCKK...",
    "..KCCCCbbbbCCK..",
    ".KCCCCbBGGBbCCK.",
    ".KCWCbBGGGBBbCK.",
    "KCWWsbBBGGBBbWCK",
    "KWWssdBBBGBbWWsK",
    "KWsssddBBBbWWssK",
    "KssssdddbbWsssdK",
    "KsssssdddWssssdK",
    "KggggggggggggggK",
    ".KtCCCttttCCCtK.",
    ".KbbbBBBBbbbbbK.",
    "..KbbbbbbBBBbK..",
    "...KKbbbbbbKK...",
    ".....KKKKKK.....",
]

# Splitter cursor: a vertical bar crossed by a left-right double arrow, black
# with a white rim like the system's sizing cursors, its middle on the hot
# spot (9, 9).
SPLITTER_CURSOR = [
    "........WKW.........",
    "........WKW.........",
    "........WKW.........",
    "........WKW.........",
    "........WKW.........",
    "....W...WKW...W.....",
    "...WW...WKW...WW....",
    "..WKW...WKW...WKW...",
    ".WKKWWWWWKWWWWWKKW..",
    "WKKKKKKKKKKKKKKKKKW.",
    ".WKKWWWWWKWWWWWKKW..",
    "..WKW...WKW...WKW...",
    "...WW...WKW...WW....",
    "....W...WKW...W.....",
    "........WKW.........",
    "........WKW.........",
    "........WKW.........",
    "........WKW.........",
    "........WKW.........",
]
SPLITTER_HOTSPOT = (9, 9)


def splitter_cursor():
    canvas = Canvas(32, 32)
    canvas.paint(SPLITTER_CURSOR)
    return canvas


def icons():
    """Icon resources by file name, each a list of canvases, largest first."""
    for name, rows in (("FOLDER_CLOSED", FOLDER_CLOSED), ("FOLDER_OPEN", FOLDER_OPEN),
                       ("CROSS", CROSS), ("PROHIBITION", PROHIBITION),
                       ("PROHIBITION_SMALL", PROHIBITION_SMALL), ("GLOBE_16", GLOBE_16),
                       ("GLOBE_WITH_MAGNIFIER", GLOBE_WITH_MAGNIFIER), ("PROGRAM_16", PROGRAM_16)):
        check_map(name, rows, 16, 16)
    return {
        "program.ico": [program_icon_32(), from_map(PROGRAM_16)],
        "mark_hidden.ico": [from_map(PROHIBITION)],
        "mark_deleted.ico": [from_map(CROSS)],
        "cache_root.ico": [from_map(GLOBE_16)],
        "results_root.ico": [from_map(GLOBE_WITH_MAGNIFIER)],
        "folder_closed.ico": [from_map(FOLDER_CLOSED)],
        "folder_open.ico": [from_map(FOLDER_OPEN)],
        "hidden_overlay.ico": [from_map(PROHIBITION_SMALL)],
    }
