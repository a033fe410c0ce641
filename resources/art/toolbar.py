"""The toolbar strip and the sort arrows of the list header.

Both are drawn on the button face grey (192, 192, 192); the common controls
map that grey, the dark grey, black and white to the system colours."""

from raster import Canvas, from_map, check_map
import icons

BACKGROUND = "s"

DISKETTE = [
    "................",
    ".KKKKKKKKKKKKKK.",
    ".KbWWWWWWWWWWbK.",
    ".KbWWWWWWWWWWbK.",
    ".KbWddddddddWbK.",
    ".KbWWWWWWWWWWbK.",
    ".KbWddddddddWbK.",
    ".KbWWWWWWWWWWbK.",
    ".KbbbbbbbbbbbbK.",
    ".KbbbWWWWWWbbbK.",
    ".KbbbWKKWWWbbbK.",
    ".KbbbWKKWWWbbbK.",
    ".KbbbWKKWWWbbbK.",
    ".KbbbWWWWWWbbbK.",
    ".KKKKKKKKKKKKKK.",
    "................",
]

PROPERTIES = [
    "................",
    "KKKKKKKKKKKKKKK.",
    "KbbbbbbbbbbbbbKd",
    "KbbbbbbbbbKsKbKd",
    "KsssssssssssssKd",
    "KsKKKsWWWWWWWsKd",
    "KsssssWddddddsKd",
    "KsssssssssssssKd",
    "KsKKKsWWWWWWWsKd",
    "KsssssWddddddsKd",
    "KsssssssssssssKd",
    "KsssssssKKKKKsKd",
    "KsssssssKWWWKsKd",
    "KsssssssKKKKKsKd",
    "KKKKKKKKKKKKKKKd",
    ".dddddddddddddd.",
]

VIEW_LIST = [
    "................",
    "................",
    ".Bb.KKKK..Bb.KKK",
    ".bb.......bb....",
    "................",
    ".Bb.KKK...Bb.KKK",
    ".bb.......bb....",
    "................",
    ".Bb.KKKK..Bb.KK.",
    ".bb.......bb....",
    "................",
    ".Bb.KKK.........",
    ".bb.............",
    "................",
    "................",
    "................",
]

VIEW_DETAILS = [
    "................",
    "................",
    ".Bb.KKKKK.KK.KKK",
    ".bb.............",
    "................",
    ".Bb.KKKK..KK.KK.",
    ".bb.............",
    "................",
    ".Bb.KKKKK.K..KKK",
    ".bb.............",
    "................",
    ".Bb.KKK...KK.KK.",
    ".bb.............",
    "................",
    "................",
    "................",
]

ARROW_LEFT = [
    "................",
    "................",
    "................",
    "......K.........",
    ".....KK.........",
    "....KCK.........",
    "...KCBKKKKKKKK..",
    "..KCBBCCCCCCCK..",
    ".KCBBBBBBBBBBK..",
    "..KbBBBBBBBBBK..",
    "...KbBKKKKKKKK..",
    "....KbK.........",
    ".....KK.........",
    "......K.........",
    "................",
    "................",
]

MAGNIFIER_WITH_ARROW = [
    "...KKKK.........",
    ".KKWCCCKK.......",
    ".KWCCCCCK.......",
    "KWCCCCCCCK......",
    "KCCCCCCCCK......",
    "KCCCCCCCdK......",
    "KCCCCCCdtK......",
    ".KCCCCdtK.......",
    ".KKCttdKKK......",
    "...KKKKKyyK.....",
    ".........KyyK...",
    "....K.....KyyK..",
    "KKKKCK.....KyyK.",
    "KCBBBBK.....KK..",
    "KKKKbK..........",
    "....K...........",
]

WEB_GLOBE = [
    "..bBBb..",
    ".bGGBBb.",
    "bGGGBBGb",
    "bBGBBGGb",
    "bBBBBGBb",
    "bBBGBBBb",
    ".bBGBBb.",
    "..bbbb..",
]


def page(canvas, x0, y0, x1, y1, lines="d", fold=3):
    """A white sheet with a folded top right corner and lines of text."""
    canvas.rect(x0, y0, x1, y1, "W")
    canvas.frame(x0, y0, x1, y1, "K")
    for i in range(fold + 1):
        for j in range(fold + 1 - i):
            canvas.put(x1 - i, y0 + j, None if i + j < fold else "K")
    for i in range(fold):
        canvas.put(x1 - fold + i, y0 + i, "K")
        canvas.put(x1 - fold, y0 + i, "K")
        canvas.put(x1 - i, y0 + fold, "K")
    for i in range(1, fold):
        for j in range(fold - i + 1, fold):
            canvas.put(x1 - fold + i, y0 + j, "s")
    if lines:
        for y in range(y0 + 3, y1 - 1, 2):
            right = x1 - 2 - (fold if y < y0 + fold + 2 else 0)
            canvas.hline(x0 + 2, right, y, lines)


def text_document():
    canvas = Canvas(16, 16)
    page(canvas, 2, 0, 13, 15, lines="K")
    return canvas


def web_page():
    """A page with a picture of the globe and underlined links."""
    canvas = Canvas(16, 16)
    page(canvas, 2, 0, 13, 15, lines=None)
    canvas.paint(WEB_GLOBE, 4, 3)
    for y in (11, 13):
        canvas.hline(4, 11, y, "B")
    return canvas


def all_documents():
    canvas = Canvas(16, 16)
    page(canvas, 0, 0, 9, 11, lines="d", fold=2)
    page(canvas, 3, 2, 12, 13, lines="B", fold=2)
    page(canvas, 6, 4, 15, 15, lines="K", fold=2)
    return canvas


def copy_pages():
    canvas = Canvas(16, 16)
    page(canvas, 0, 0, 9, 11, lines="K", fold=3)
    page(canvas, 6, 4, 15, 15, lines="K", fold=3)
    return canvas


# Two arrows chasing each other clockwise round the globe of the reload
# button.
REFRESH_ARROWS = [
    "................",
    "........gg......",
    "..........gg....",
    "............g...",
    "............g...",
    ".............g..",
    "..g..........g..",
    ".ggg.......ggggg",
    "ggggg.......ggg.",
    "..g..........g..",
    "..g.............",
    "...g............",
    "...g............",
    "....gg..........",
    "......gg........",
    "................",
]


def refreshing_globe():
    canvas = Canvas(16, 16)
    canvas.paint(WEB_GLOBE, 4, 4)
    canvas.paint(REFRESH_ARROWS)
    return canvas


def toolbar_images():
    """The 16 by 16 images of the toolbar strip, in strip order."""
    check_map("WEB_GLOBE", WEB_GLOBE, 8, 8)
    for name, rows in (("DISKETTE", DISKETTE), ("REFRESH_ARROWS", REFRESH_ARROWS), ("PROPERTIES", PROPERTIES),
                       ("VIEW_LIST", VIEW_LIST), ("VIEW_DETAILS", VIEW_DETAILS),
                       ("ARROW_LEFT", ARROW_LEFT), ("MAGNIFIER_WITH_ARROW", MAGNIFIER_WITH_ARROW)):
        check_map(name, rows, 16, 16)
    left = from_map(ARROW_LEFT)
    return [
        from_map(icons.FOLDER_OPEN),
        from_map(DISKETTE),
        from_map(icons.PROHIBITION),
        from_map(icons.CROSS),
        from_map(PROPERTIES),
        copy_pages(),
        from_map(VIEW_LIST),
        from_map(VIEW_DETAILS),
        text_document(),
        web_page(),
        all_documents(),
        left,
        left.flipped(),
        refreshing_globe(),
        from_map(icons.MAGNIFIER),
        from_map(MAGNIFIER_WITH_ARROW),
        from_map(icons.GLOBE_WITH_MAGNIFIER),
    ]


def toolbar_strip():
    images = toolbar_images()
    strip = Canvas(16 * len(images), 16, BACKGROUND)
    for i, image in enumerate(images):
        strip.blit(image, 16 * i, 0)
    return strip


# Left the ascending arrow, right the descending one, in the button shadow
# grey so that they follow the system colours.
SORT_ARROWS = [
    "................",
    "................",
    "...d....ddddddd.",
    "..ddd....ddddd..",
    ".ddddd....ddd...",
    "ddddddd....d....",
    "................",
    "................",
]


def sort_arrows():
    check_map("SORT_ARROWS", SORT_ARROWS, 16, 8)
    canvas = Canvas(16, 8, BACKGROUND)
    canvas.paint(SORT_ARROWS)
    return canvas
