// The arithmetic of the splitter drag, apart from the window code.
#pragma once

#include <windows.h>

struct DragLimits {
    int low;
    int high;
};

// The bar keeps 32 pixels away from both edges of the pane area; a narrow
// area collapses the range to its left limit.
DragLimits splitterDragLimits(const RECT& paneArea);
int clampToLimits(int x, const DragLimits& limits);

// One PATINVERT that moves the bar drawn at oldX to newX: the band to invert
// and the part of it to leave alone (the overlap of both bars, or the gap
// between them).
struct BarMove {
    int left;
    int width;
    int excludeLeft;
    int excludeRight;
};
BarMove barMove(int oldX, int newX, int halfWidth, int barWidth);
