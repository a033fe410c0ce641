// "Inhalte suchen" and "Suchergebnisse löschen" through the real program on
// the small search fixture: what each scope reads, what matches, and where
// the hits are shown.
#include <string>
#include <vector>

#include "app_driver.h"
#include "resources/dialog_ids.h"
#include "doctest.h"
#include "menu_commands.h"
#include "program_state.h"
#include "search_driver.h"
#include "session.h"

namespace {

const char kResults[] = "Suchergebnisse";
const char kNothingFound[] = "Keine Dokumente mit dem gesuchten Text gefunden!";

void prepareSearchCache() {
    prepareFirstStart(fixtureCache("search"));
    writeHiddenListEntry("Hidden Files", "F0", "http://gamma.example.net/versteckt.html");
}

// Runs a search to its end.
bool searchContents(const AppDriver& app, const std::string& text, SearchScope scope) {
    return startContentSearch(app, text, scope) && app.waitUntilIdle();
}

using Labels = std::vector<std::string>;

}  // namespace

TEST_CASE_FIXTURE(ProgramSession, "a content search files the documents that hold every word under Suchergebnisse") {
    prepareSearchCache();
    start();
    REQUIRE(searchContents(app, "  Tierpark   LEOPARD ", SCOPE_CACHE));
    // Besides the hidden page, only alpha's start page holds both words:
    // the other words of the fixture follow a NUL byte, are in a binary
    // file, or one of the two is missing.
    CHECK(app.folderLabels(kResults) == Labels{"alpha.example.org"});
    REQUIRE(selectFolderUnder(app, kResults, "alpha.example.org"));
    CHECK(listTitles(app) == Labels{"Alpha Startseite"});

    SUBCASE("the history keeps the tidied text") {
        HWND dialog = openDialog(app, kContentSearch, "Dokumentinhalte durchsuchen");
        REQUIRE(dialog);
        CHECK(fieldText(dialog, IDC_SEARCH_TEXT) == "Tierpark LEOPARD");
        app.pressButton(dialog, IDCANCEL);
        CHECK(app.waitUntilGone(dialog));
    }
    SUBCASE("a hidden match is shown with everything else") {
        app.command(kShowAll);
        CHECK(app.folderLabels(kResults) == Labels{"alpha.example.org", "gamma.example.net"});
    }
    SUBCASE("Suchergebnisse löschen takes the root from the tree") {
        app.command(kClearResults);
        CHECK_FALSE(hasRoot(app, kResults));
        CHECK(app.folderLabels("Netscape Cache").size() == 4);
    }
    SUBCASE("character references count in HTML pages, not in plain text") {
        REQUIRE(searchContents(app, "grüße gepard", SCOPE_CACHE));
        CHECK(app.folderLabels(kResults) == Labels{"beta.example.com"});
        REQUIRE(selectFolderUnder(app, kResults, "beta.example.com"));
        CHECK(listTitles(app) == Labels{"Beta Grüße"});
    }
    SUBCASE("no match: the message, and no results root") {
        REQUIRE(searchContents(app, "nirgendwo", SCOPE_CACHE));
        CHECK(takeMessageBox(app) == kNothingFound);
        CHECK_FALSE(hasRoot(app, kResults));
    }
    REQUIRE(app.closeThroughMenu());
}

TEST_CASE_FIXTURE(ProgramSession, "the scope of a content search decides which documents are read") {
    prepareSearchCache();
    start();

    SUBCASE("the current host folder") {
        REQUIRE(app.selectTreeLabel("beta.example.com"));
        REQUIRE(searchContents(app, "tierpark", SCOPE_FOLDER));
        CHECK(app.folderLabels(kResults) == Labels{"beta.example.com"});
    }
    SUBCASE("a root as the current folder: the documents its list shows") {
        REQUIRE(app.selectTreeLabel("Netscape Cache"));
        REQUIRE(searchContents(app, "leopard", SCOPE_FOLDER));
        app.command(kShowAll);
        // The hidden page was not in the list, so it was not read.
        CHECK(app.folderLabels(kResults) == Labels{"alpha.example.org"});
        REQUIRE(selectFolderUnder(app, kResults, "alpha.example.org"));
        CHECK(app.listCount() == 2);
    }
    SUBCASE("the selected documents, and only while there are any") {
        REQUIRE(app.selectTreeLabel("alpha.example.org"));
        HWND dialog = openDialog(app, kContentSearch, "Dokumentinhalte durchsuchen");
        REQUIRE(dialog);
        CHECK_FALSE(isEnabled(dialog, SCOPE_SELECTION));
        app.pressButton(dialog, IDCANCEL);
        REQUIRE(app.waitUntilGone(dialog));

        REQUIRE(app.listCell(1, 0) == "Leopard im Zoo");
        REQUIRE(app.selectListRow(1));
        REQUIRE(searchContents(app, "leopard", SCOPE_SELECTION));
        REQUIRE(selectFolderUnder(app, kResults, "alpha.example.org"));
        CHECK(listTitles(app) == Labels{"Leopard im Zoo"});

        // The stored scope is the selection; without one the dialog offers
        // the whole cache instead.
        REQUIRE(app.selectTreeLabel("beta.example.com"));
        dialog = openDialog(app, kContentSearch, "Dokumentinhalte durchsuchen");
        REQUIRE(dialog);
        CHECK(isChecked(dialog, SCOPE_CACHE));
        CHECK_FALSE(isChecked(dialog, SCOPE_SELECTION));
        app.pressButton(dialog, IDCANCEL);
        REQUIRE(app.waitUntilGone(dialog));
    }
    REQUIRE(app.closeThroughMenu());
}
