#include "listtips/tip_geometry.h"

bool findListCell(const ListColumnLayout& layout, const TipRect& topItemBounds, int32_t topIndex, int32_t itemCount,
                  TipPoint point, ListCell& cell) {
    if (point.x >= topItemBounds.right)
        return false;
    int32_t height = topItemBounds.bottom - topItemBounds.top;
    // Above the top item lies the header; an empty row height would divide
    // by zero.
    if (height <= 0 || point.y < topItemBounds.top)
        return false;
    int32_t row = (point.y - topItemBounds.top) / height;
    if (row >= itemCount - topIndex)
        return false;
    int32_t top = topItemBounds.top + row * height;
    int32_t left = topItemBounds.left;
    int32_t columns = layout.count < kListTipColumns ? layout.count : kListTipColumns;
    for (int32_t column = 0; column < columns; ++column) {
        int32_t right = left + layout.widths[column];
        if (point.x < right) {
            cell.item = topIndex + row;
            cell.column = column;
            cell.cell = {left, top, right, top + height};
            int32_t margin = column == 0 ? layout.margin : 3 * layout.margin;
            int32_t icons = column == 0 ? layout.iconWidth : 0;
            cell.text = {left + margin + icons, top, right - margin, top + height};
            return true;
        }
        left = right;
    }
    return false;
}

bool cutCellText(const ListColumnLayout& layout, const ListCell& cell, int32_t textWidth, int32_t clientWidth,
                 TipRect& textRect) {
    textRect = cell.text;
    int32_t room = textRect.right - textRect.left;
    if (textWidth > room)
        return true;
    switch (layout.align[cell.column]) {
    case ALIGN_RIGHT:
        textRect.left = textRect.right - textWidth;
        break;
    case ALIGN_CENTRE: {
        int32_t gap = (room - textWidth) / 2;
        textRect.left += gap;
        textRect.right -= gap;
        break;
    }
    default:
        textRect.right = textRect.left + textWidth;
        break;
    }
    if (textRect.right < 0 || textRect.left >= clientWidth)
        return false;
    return textRect.left < 0 || textRect.right > clientWidth;
}

bool cutTreeLabel(const TipRect& row, TipRect label, int32_t margin, TipRect& textRect) {
    label.left += margin;
    label.right -= margin;
    if (label.left >= row.left && label.right <= row.right)
        return false;
    if (label.right < row.left)
        label.left = 0;
    else if (label.left > row.right)
        label.left = row.right - margin;
    textRect = label;
    return true;
}

TipPlacement placeTip(const TipRect& textRect, int32_t textWidth, int32_t textHeight, TipPoint viewOrigin,
                      int32_t screenWidth) {
    TipPlacement place;
    place.width = textWidth + 4;
    place.height = textHeight + 3;
    place.x = viewOrigin.x + textRect.left - 2;
    place.y = viewOrigin.y + textRect.top + (textRect.bottom - textRect.top - textHeight) / 2 - 2;
    if (place.x + place.width > screenWidth)
        place.x = screenWidth - place.width;
    if (place.x < 0)
        place.x = 0;
    return place;
}
