// "Suchen" and "Weitersuchen" (F3) through the real program: where a search
// starts, what it selects, and its end message.
#include <string>
#include <vector>

#include "app_driver.h"
#include "doctest.h"
#include "menu_commands.h"
#include "program_state.h"
#include "search_driver.h"
#include "session.h"

namespace {

const char kFindFinished[] = "Das Durchsuchen des Caches ist beendet.";

// The search fixture with its one hidden page.
void prepareSearchCache() {
    prepareFirstStart(fixtureCache("search"));
    writeHiddenListEntry("Hidden Files", "F0", "http://gamma.example.net/versteckt.html");
}

// The titles of the selected documents.
std::vector<std::string> selectedTitles(const AppDriver& app) {
    std::vector<std::string> titles;
    for (int row : selectedRows(app))
        titles.push_back(app.listCell(row, 0));
    return titles;
}

std::string selectedFolder(const AppDriver& app) {
    return app.treeLabel(app.selectedTreeItem());
}

using Titles = std::vector<std::string>;

}  // namespace

TEST_CASE_FIXTURE(ProgramSession,
                  "find selects the next hit after the current position and ends at the end of the tree") {
    prepareSearchCache();
    start("alpha.example.org");
    focusPane(app, false);

    SUBCASE("from the tree: the folder's documents from the first, then F3 from the list") {
        REQUIRE(findText(app, "LEOPARD", false, true, true));
        CHECK(selectedFolder(app) == "alpha.example.org");
        CHECK(selectedTitles(app) == Titles{"Leopard im Zoo"});
        CHECK(focusedWindow(app) == app.list());
        // The hidden page in gamma is not shown, so it is not found.
        pressKey(app, VK_F3);
        CHECK(takeMessageBox(app) == kFindFinished);
        CHECK(selectedFolder(app) == "alpha.example.org");
        CHECK(selectedTitles(app) == Titles{"Leopard im Zoo"});
    }
    SUBCASE("with everything shown the hidden page is found too") {
        app.command(kShowAll);
        REQUIRE(findText(app, "leopard", false, true, true));
        CHECK(selectedTitles(app) == Titles{"Leopard im Zoo"});
        pressKey(app, VK_F3);
        CHECK(selectedFolder(app) == "gamma.example.net");
        CHECK(selectedTitles(app) == Titles{"Versteckter Leopard"});
        pressKey(app, VK_F3);
        CHECK(takeMessageBox(app) == kFindFinished);
    }
    SUBCASE("from the list: after the first selected document") {
        REQUIRE(app.selectListRow(0));
        REQUIRE(app.listCell(0, 0) == "Alpha Startseite");
        focusPane(app, true);
        REQUIRE(findText(app, "start", false, true, true));
        CHECK(takeMessageBox(app) == kFindFinished);
        focusPane(app, false);
        pressKey(app, VK_F3);
        CHECK(selectedTitles(app) == Titles{"Alpha Startseite"});
        CHECK(focusedWindow(app) == app.list());
    }
    SUBCASE("host names: a folder hit selects the folder and keeps the focus in the tree") {
        REQUIRE(findText(app, "example", true, false, false));
        CHECK(selectedFolder(app) == "beta.example.com");
        CHECK(focusedWindow(app) == app.tree());
        pressKey(app, VK_F3);
        CHECK(selectedFolder(app) == "delta.example.de");
        pressKey(app, VK_F3);
        CHECK(selectedFolder(app) == "gamma.example.net");
        pressKey(app, VK_F3);
        CHECK(takeMessageBox(app) == kFindFinished);
        CHECK(selectedFolder(app) == "gamma.example.net");
    }
    REQUIRE(app.closeThroughMenu());
}

TEST_CASE_FIXTURE(ProgramSession, "find selects the document it found, whatever place the list gives equal documents") {
    prepareSearchCache();
    start("delta.example.de");
    // Sorted by size first, the two equal titles keep that order in the list
    // when it is sorted by title again: b.html before a.html.
    app.command(kSortBySize);
    app.command(kSortByTitle);
    REQUIRE(app.listCount() == 2);
    const std::string firstRow = app.listCell(0, 2);
    focusPane(app, false);

    REQUIRE(findText(app, "doppelt", false, false, true));
    std::vector<int> rows = selectedRows(app);
    REQUIRE(rows.size() == 1);
    const std::string found = app.listCell(rows[0], 2);
    CHECK(focusedRow(app) == rows[0]);
    pressKey(app, VK_F3);
    rows = selectedRows(app);
    REQUIRE(rows.size() == 1);
    const std::string second = app.listCell(rows[0], 2);
    // Each document is found once, and the search then goes on past both.
    CHECK(found != second);
    CHECK(found == "http://delta.example.de/a.html");
    CHECK(firstRow == "http://delta.example.de/b.html");
    pressKey(app, VK_F3);
    CHECK(takeMessageBox(app) == kFindFinished);
    REQUIRE(app.closeThroughMenu());
}
