// The document list as the user sees it when its order changes and when
// hidden documents come and go.
#include <string>
#include <vector>

#include "app_driver.h"
#include "doctest.h"
#include "menu_commands.h"
#include "printing.h"
#include "program_state.h"
#include "session.h"

namespace {

const UINT kMarkHidden = INDEXTOSTATEIMAGEMASK(1);

int rowOfUrl(const AppDriver& app, const std::string& url) {
    for (int row = 0; row < app.listCount(); ++row)
        if (app.listCell(row, 2) == url)
            return row;
    return -1;
}

}  // namespace

TEST_CASE_FIXTURE(ProgramSession, "selection and focus stay with their documents when the list is sorted again") {
    startOn(fixtureCache("basic"), "www.zebra.de");
    if (!app.listShowsDetails())
        app.command(kDetails);
    // A newly shown folder has its first document focused, none selected.
    CHECK(app.focusedListRow() == 0);
    CHECK(app.listItemState(0, LVIS_SELECTED) == 0);
    CHECK(app.statusText(0) == "3 Objekt(e)");

    const std::string page = "http://www.zebra.de/";
    REQUIRE(rowOfUrl(app, page) == 2);
    REQUIRE(app.selectListRow(2));
    REQUIRE(app.clickColumnHeader(4));  // by size: 0, 1536, 150000 bytes
    int row = rowOfUrl(app, page);
    CHECK(row == 1);
    CHECK(app.listItemState(row, LVIS_SELECTED | LVIS_FOCUSED) == (LVIS_SELECTED | LVIS_FOCUSED));
    CHECK(app.listItemState(0, LVIS_SELECTED) == 0);
    CHECK(app.listItemState(2, LVIS_SELECTED) == 0);
    CHECK(app.statusText(0) == "1 Objekt(e) markiert");
    CHECK(app.statusText(1) == "1,50 KB (1.536 Bytes)");

    REQUIRE(app.clickColumnHeader(4));  // and the other way round
    CHECK(rowOfUrl(app, page) == 1);
    REQUIRE(app.clickColumnHeader(2));  // by URL: the page comes first
    CHECK(app.focusedListRow() == 0);
    CHECK(app.listItemState(0, LVIS_SELECTED) == LVIS_SELECTED);
    CHECK(app.statusText(0) == "1 Objekt(e) markiert");

    // Typing the start of a title goes to that document.
    SendMessageA(app.list(), WM_CHAR, 'L', 1);
    REQUIRE(app.focusedListRow() >= 0);
    CHECK(app.listCell(app.focusedListRow(), 0) == "leer.txt");
    REQUIRE(app.closeThroughMenu());
}

TEST_CASE_FIXTURE(ProgramSession, "a hidden document is listed, with its mark, only while everything is shown") {
    prepareFirstStart(fixtureCache("basic"));
    writeHiddenListEntry("Hidden Files", "F0", "http://www.zebra.de/bild.gif");
    start("www.zebra.de");
    const std::string picture = "http://www.zebra.de/bild.gif";
    CHECK(app.listCount() == 2);
    CHECK(rowOfUrl(app, picture) == -1);
    CHECK(app.statusText(1) == "1,50 KB (1.536 Bytes)");

    app.command(kShowAll);
    REQUIRE(app.listCount() == 3);
    // By title the picture, whose title is its file name, comes first.
    REQUIRE(rowOfUrl(app, picture) == 0);
    CHECK(app.listItemState(0, LVIS_STATEIMAGEMASK) == kMarkHidden);
    CHECK(app.listItemState(1, LVIS_STATEIMAGEMASK) == 0);
    CHECK(app.listItemState(2, LVIS_STATEIMAGEMASK) == 0);
    CHECK(app.statusText(0) == "3 Objekt(e)");
    CHECK(app.statusText(1) == "148 KB (151.536 Bytes)");

    // The picture goes again; the selected page keeps selection and focus.
    const std::string page = "http://www.zebra.de/";
    REQUIRE(app.selectListRow(rowOfUrl(app, page)));
    app.command(kShowAll);
    CHECK(app.listCount() == 2);
    CHECK(rowOfUrl(app, picture) == -1);
    int row = rowOfUrl(app, page);
    CHECK(app.focusedListRow() == row);
    CHECK(app.listItemState(row, LVIS_SELECTED | LVIS_STATEIMAGEMASK) == LVIS_SELECTED);
    CHECK(app.statusText(0) == "1 Objekt(e) markiert");
    REQUIRE(app.closeThroughMenu());
}
