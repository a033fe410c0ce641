"""The clip of the "Extrahieren..." window: pages flying from the turning
globe into an open folder.

The background is the button face grey and nothing else in the clip uses
it, so the animation control can make it transparent by the colour of the
first pixel."""

import math

from raster import Canvas
import icons

WIDTH, HEIGHT = 272, 60
FRAME_COUNT = 26
FRAMES_PER_SECOND = 10
BACKGROUND = "s"

PAGES_IN_FLIGHT = 3
GLOBE_SIZE = 40
GLOBE_AT = (8, 12)
FOLDER_AT = (212, 14)
START = (46, 33)
END = (238, 33)
ARC_HEIGHT = 20


def page_sprite(phase):
    """A flying sheet; phase 0 to 1 turns it once about its long axis."""
    turn = math.cos(2 * math.pi * phase)
    half_width = max(1.0, 6.0 * abs(turn))
    lean = 3.0 * math.sin(2 * math.pi * phase)
    sprite = Canvas(16, 18)
    cx = 8
    corners = [(cx - half_width + lean, 1), (cx + half_width + lean, 1),
               (cx + half_width - lean, 17), (cx - half_width - lean, 17)]
    sprite.polygon(corners, "W")
    sprite.outline("K")
    if turn > 0.5:
        for row in range(5, 15, 3):
            shift = lean * (1 - 2 * (row - 1) / 16)
            sprite.hline(int(cx - half_width + 3 + shift), int(cx + half_width - 3 + shift), row, "d")
    return sprite


def folder_back(canvas, ox, oy):
    canvas.rect(ox + 2, oy, ox + 18, oy + 6, "Y")
    canvas.frame(ox + 2, oy, ox + 18, oy + 6, "K")
    canvas.rect(ox, oy + 5, ox + 46, oy + 40, "Y")
    canvas.frame(ox, oy + 5, ox + 46, oy + 40, "K")
    canvas.hline(ox + 1, ox + 45, oy + 6, "W")
    canvas.vline(ox + 1, oy + 6, oy + 39, "W")
    # Sheets already filed, standing up behind the front flap.
    for left in (ox + 10, ox + 16):
        canvas.rect(left, oy + 9, left + 22, oy + 17, "W")
        canvas.frame(left, oy + 9, left + 22, oy + 17, "K")
        canvas.hline(left + 3, left + 19, oy + 12, "d")
        canvas.hline(left + 3, left + 19, oy + 14, "d")


def folder_front(canvas, ox, oy):
    flap = [(ox + 12, oy + 16), (ox + 54, oy + 16), (ox + 46, oy + 41), (ox + 1, oy + 41)]
    front = Canvas(canvas.width, canvas.height)
    front.polygon(flap, "Y")
    front.outline("K")
    canvas.blit(front, 0, 0)
    canvas.hline(ox + 13, ox + 52, oy + 17, "W")
    canvas.hline(ox + 2, ox + 45, oy + 40, "y")
    canvas.line(ox + 12, oy + 18, ox + 4, oy + 39, "W")


def flight_position(progress):
    x = START[0] + (END[0] - START[0]) * progress
    y = START[1] + (END[1] - START[1]) * progress - ARC_HEIGHT * math.sin(math.pi * progress)
    return x, y


def frame(index):
    canvas = Canvas(WIDTH, HEIGHT, BACKGROUND)
    turn = index / FRAME_COUNT
    canvas.blit(icons.draw_globe(GLOBE_SIZE, turn=turn, outline="K"), *GLOBE_AT)
    folder_back(canvas, *FOLDER_AT)
    for k in range(PAGES_IN_FLIGHT):
        progress = (turn + k / PAGES_IN_FLIGHT) % 1.0
        x, y = flight_position(progress)
        sprite = page_sprite(progress * 2)
        canvas.blit(sprite, int(round(x)) - sprite.width // 2, int(round(y)) - sprite.height // 2)
    folder_front(canvas, *FOLDER_AT)
    return canvas


def frames():
    return [frame(i) for i in range(FRAME_COUNT)]
