// Where cut texts stand: the cells of a details list, the labels of a tree,
// and where the tip window goes so that its text covers the cut one.
#pragma once

#include <cstdint>

#include "listtips/tip_machine.h"

constexpr int kListTipColumns = 10;

enum ColumnAlign : int32_t {
    ALIGN_LEFT = 0,
    ALIGN_RIGHT = 1,
    ALIGN_CENTRE = 2,
};

// The column layout of a details list, read once and kept until the columns,
// the image lists, the size or the style change.
struct ListColumnLayout {
    int32_t count = -1;  // -1: must be read again
    int32_t widths[kListTipColumns] = {};
    int32_t align[kListTipColumns] = {};
    // How far the first column's text stands right of its cell: the icons.
    int32_t iconWidth = 0;
    // The gap between a cell's edge and its text.
    int32_t margin = 0;
};

struct ListCell {
    int32_t item;
    int32_t column;
    TipRect cell;
    // The room the list gives the text inside the cell.
    TipRect text;
};

// The cell under `point`, from the bounds of the list's top item; false when
// the point lies on no item or right of the columns.
bool findListCell(const ListColumnLayout& layout, const TipRect& topItemBounds, int32_t topIndex, int32_t itemCount,
                  TipPoint point, ListCell& cell);

// Where a text `textWidth` pixels wide stands in `cell` when it is cut, by a
// column too narrow or by an edge of a list `clientWidth` wide; false when
// the whole text is to be seen, or none of it.
bool cutCellText(const ListColumnLayout& layout, const ListCell& cell, int32_t textWidth, int32_t clientWidth,
                 TipRect& textRect);

// Where the label of a tree row stands when it runs past an edge of the
// tree; false when it is whole to be seen. A label wholly out of sight is
// moved to the edge it left by.
bool cutTreeLabel(const TipRect& row, TipRect label, int32_t margin, TipRect& textRect);

// The tip window in screen coordinates.
struct TipPlacement {
    int32_t x;
    int32_t y;
    int32_t width;
    int32_t height;
};

// The tip window's text starts 2 pixels in from its edge: the window starts
// 2 pixels left of the cut text and is centred on its height, moved left to
// fit the screen but never left of it. `viewOrigin` is the view's client
// origin on the screen.
TipPlacement placeTip(const TipRect& textRect, int32_t textWidth, int32_t textHeight, TipPoint viewOrigin,
                      int32_t screenWidth);
