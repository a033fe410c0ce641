#include "doctest.h"
#include "listtips/tip_geometry.h"

namespace {

// The program's six columns; the size column is right-aligned.
ListColumnLayout sixColumns() {
    ListColumnLayout layout;
    const int32_t widths[] = {100, 80, 80, 80, 50, 80};
    layout.count = 6;
    for (int column = 0; column < 6; ++column)
        layout.widths[column] = widths[column];
    layout.align[4] = ALIGN_RIGHT;
    layout.iconWidth = 18;
    layout.margin = 2;
    return layout;
}

bool sameRect(const TipRect& a, const TipRect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

}  // namespace

TEST_CASE("the cell under the mouse is found from the top item's bounds, scrolled or not") {
    const ListColumnLayout layout = sixColumns();
    // Items 3 to 5 of 6 are in sight, 16 pixels high, scrolled 30 pixels.
    const TipRect top = {-30, 20, 440, 36};
    ListCell cell;
    REQUIRE(findListCell(layout, top, 3, 6, {75, 55}, cell));
    CHECK(cell.item == 5);
    CHECK(cell.column == 1);
    CHECK(sameRect(cell.cell, {70, 52, 150, 68}));
    CHECK(sameRect(cell.text, {76, 52, 144, 68}));

    // The first column's text starts after the icons.
    REQUIRE(findListCell(layout, top, 3, 6, {5, 25}, cell));
    CHECK(cell.column == 0);
    CHECK(sameRect(cell.text, {-10, 20, 68, 36}));

    CHECK_FALSE(findListCell(layout, top, 3, 6, {75, 68}, cell));   // below the last item
    CHECK_FALSE(findListCell(layout, top, 3, 6, {440, 25}, cell));  // right of the columns
    CHECK_FALSE(findListCell(layout, top, 3, 6, {75, 10}, cell));   // on the header
    CHECK_FALSE(findListCell(layout, {0, 20, 440, 20}, 0, 6, {75, 25}, cell));
}

TEST_CASE("a cell's text is cut by its narrow column or by an edge of the list, not otherwise") {
    const ListColumnLayout layout = sixColumns();
    ListCell title = {0, 0, {0, 20, 100, 36}, {20, 20, 98, 36}};
    TipRect text;
    CHECK(cutCellText(layout, title, 200, 400, text));
    CHECK(sameRect(text, title.text));
    CHECK_FALSE(cutCellText(layout, title, 78, 400, text));

    // "147 KB", right-aligned in the size column at 340 to 390.
    ListCell size = {0, 4, {340, 20, 390, 36}, {346, 20, 384, 36}};
    CHECK(cutCellText(layout, size, 30, 370, text));
    CHECK(sameRect(text, {354, 20, 384, 36}));
    CHECK_FALSE(cutCellText(layout, size, 30, 400, text));  // all of it in sight
    CHECK_FALSE(cutCellText(layout, size, 30, 340, text));  // none of it

    ListCell scrolled = {0, 1, {-50, 20, 30, 36}, {-44, 20, 24, 36}};
    CHECK_FALSE(cutCellText(layout, scrolled, 30, 400, text));
    CHECK(cutCellText(layout, scrolled, 60, 400, text));
    CHECK(sameRect(text, {-44, 20, 16, 36}));

    ListColumnLayout centred = layout;
    centred.align[4] = ALIGN_CENTRE;
    CHECK(cutCellText(centred, size, 20, 370, text));
    CHECK(sameRect(text, {355, 20, 375, 36}));
}

TEST_CASE("a tree label is cut by an edge of the tree; one out of sight is moved to that edge") {
    const TipRect row = {0, 0, 200, 18};
    TipRect text;
    CHECK_FALSE(cutTreeLabel(row, {20, 0, 80, 18}, 2, text));
    REQUIRE(cutTreeLabel(row, {40, 0, 260, 18}, 2, text));
    CHECK(sameRect(text, {42, 0, 258, 18}));
    REQUIRE(cutTreeLabel(row, {-120, 0, -40, 18}, 2, text));
    CHECK(text.left == 0);
    REQUIRE(cutTreeLabel(row, {230, 0, 300, 18}, 2, text));
    CHECK(text.left == 198);
}

TEST_CASE("the tip's text lies on the cut text; near the right screen edge the tip moves left, never off screen") {
    const TipRect text = {42, 20, 258, 36};
    TipPlacement place = placeTip(text, 216, 13, {100, 50}, 1280);
    CHECK(place.x == 140);
    CHECK(place.y == 69);
    CHECK(place.width == 220);
    CHECK(place.height == 16);
    CHECK(placeTip(text, 216, 13, {1200, 50}, 1280).x == 1060);
    CHECK(placeTip(text, 1300, 13, {1200, 50}, 1280).x == 0);
}
