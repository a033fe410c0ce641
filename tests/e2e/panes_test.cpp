#include <string>
#include <vector>

#include "app_driver.h"
#include "doctest.h"
#include "menu_commands.h"
#include "printing.h"
#include "program_state.h"
#include "session.h"
#include "support/local_time.h"

namespace {

using Rows = std::vector<std::vector<std::string>>;

std::vector<std::string> column(const Rows& rows, size_t index) {
    std::vector<std::string> cells;
    for (const auto& row : rows)
        cells.push_back(index < row.size() ? row[index] : std::string());
    return cells;
}

}  // namespace

TEST_CASE_FIXTURE(ProgramSession, "host folders stand in alphabetical or hierarchical order") {
    startOn(fixtureCache("basic"));
    using Labels = std::vector<std::string>;
    const Labels alphabetical = {"a.example.org", "b.example.com", "c.example.org", "www.zebra.de"};
    CHECK(app.folderLabels("Netscape Cache") == alphabetical);

    // Names in sort order are on by default; they only show with the
    // hierarchical order.
    app.command(kHierarchical);
    CHECK(app.folderLabels("Netscape Cache") ==
          Labels{"com.example.b", "de.zebra.www", "org.example.a", "org.example.c"});
    app.command(kNamesAsSorted);
    CHECK(app.folderLabels("Netscape Cache") ==
          Labels{"b.example.com", "www.zebra.de", "a.example.org", "c.example.org"});
    app.command(kNamesAsSorted);
    app.command(kAlphabetical);
    CHECK(app.folderLabels("Netscape Cache") == alphabetical);

    SUBCASE("previous and next folder walk the tree's order") {
        CHECK(app.treeLabel(app.selectedTreeItem()) == "a.example.org");
        app.command(kNextFolder);
        CHECK(app.treeLabel(app.selectedTreeItem()) == "b.example.com");
        app.command(kPreviousFolder);
        app.command(kPreviousFolder);
        CHECK(app.treeLabel(app.selectedTreeItem()) == "Netscape Cache");
        // The root lists the documents of all its folders.
        CHECK(app.listCount() == 6);
    }
    REQUIRE(app.closeThroughMenu());
}

TEST_CASE_FIXTURE(ProgramSession,
                  "a folder that the filter empties hands the selection to its nearest neighbour by name") {
    startOn(fixtureCache("filters"));
    SUBCASE("the next one in alphabetical order") {
        REQUIRE(app.selectTreeLabel("m.bilder.de"));
        app.command(kTextOnly);
        CHECK(app.folderLabels("Netscape Cache") ==
              std::vector<std::string>{"a.example.org", "n.leer.de", "z.example.org"});
        CHECK(app.treeLabel(app.selectedTreeItem()) == "n.leer.de");
        CHECK(app.windowText(app.child(ID_RIGHT_BAR)) == " Inhalt von 'n.leer.de'");
        CHECK(app.listCount() == 1);
    }
    SUBCASE("the previous one by name in hierarchical order, not the tree's neighbour") {
        app.command(kHierarchical);
        CHECK(app.folderLabels("Netscape Cache") ==
              std::vector<std::string>{"de.bilder.m", "de.leer.n", "org.example.a", "org.example.z"});
        REQUIRE(app.selectTreeLabel("de.bilder.m"));
        app.command(kTextOnly);
        CHECK(app.treeLabel(app.selectedTreeItem()) == "org.example.a");
    }
    REQUIRE(app.closeThroughMenu());
}

TEST_CASE_FIXTURE(ProgramSession, "a folder of empty documents shows no size in the status bar") {
    startOn(fixtureCache("filters"), "n.leer.de");
    CHECK(app.statusText(0) == "1 Objekt(e)");
    CHECK(app.statusText(1) == "");
    REQUIRE(app.closeThroughMenu());
}

TEST_CASE_FIXTURE(ProgramSession, "the list shows title, type, URL, file, size and date of each document") {
    startOn(fixtureCache("basic"), "www.zebra.de");
    CHECK(app.windowText(app.child(ID_RIGHT_BAR)) == " Inhalt von 'www.zebra.de'");
    if (!app.listShowsDetails())
        app.command(kDetails);
    REQUIRE(app.listShowsDetails());

    // Sorted by title; the record whose file is missing is not listed.
    Rows rows = app.listRows();
    REQUIRE(rows.size() == 3);
    CHECK(rows[0] == std::vector<std::string>{"bild.gif", "image/gif", "http://www.zebra.de/bild.gif", "M0E20002.gif",
                                              "147 KB", shortDateTime(838024200)});
    CHECK(rows[1] == std::vector<std::string>{"leer.txt", "text/plain", "http://www.zebra.de/leer.txt", "M0E20003.txt",
                                              "0 KB", "(Unbekannt)"});
    CHECK(rows[2] == std::vector<std::string>{"Zebra Startseite", "text/html", "http://www.zebra.de/", "M0E20001.htm",
                                              "2 KB", shortDateTime(837954300)});
    CHECK(shortDateTime(837954300).find("1996") != std::string::npos);

    SUBCASE("the status bar counts the documents and their sizes") {
        CHECK(app.statusText(0) == "3 Objekt(e)");
        CHECK(app.statusText(1) == "148 KB (151.536 Bytes)");
        REQUIRE(app.selectListRow(2));
        CHECK(app.statusText(0) == "1 Objekt(e) markiert");
        CHECK(app.statusText(1) == "1,50 KB (1.536 Bytes)");
        REQUIRE(app.selectListRow(1));
        CHECK(app.statusText(0) == "2 Objekt(e) markiert");
        CHECK(app.statusText(1) == "1,50 KB (1.536 Bytes)");
    }
    SUBCASE("sorting by a column again reverses the order") {
        app.command(kSortBySize);
        CHECK(column(app.listRows(), 4) == std::vector<std::string>{"0 KB", "2 KB", "147 KB"});
        app.command(kSortBySize);
        CHECK(column(app.listRows(), 4) == std::vector<std::string>{"147 KB", "2 KB", "0 KB"});
    }
    SUBCASE("a click on a column header sorts by that column") {
        const std::vector<std::string> byUrl = {"http://www.zebra.de/", "http://www.zebra.de/bild.gif",
                                                "http://www.zebra.de/leer.txt"};
        REQUIRE(app.clickColumnHeader(2));
        CHECK(column(app.listRows(), 2) == byUrl);
        REQUIRE(app.clickColumnHeader(2));
        CHECK(column(app.listRows(), 2) == std::vector<std::string>(byUrl.rbegin(), byUrl.rend()));
        // The date column starts with the newest document.
        REQUIRE(app.clickColumnHeader(5));
        CHECK(column(app.listRows(), 0) == std::vector<std::string>{"bild.gif", "Zebra Startseite", "leer.txt"});
    }
    SUBCASE("text only hides the picture; show all lifts the filter") {
        app.command(kTextOnly);
        CHECK(column(app.listRows(), 0) == std::vector<std::string>{"leer.txt", "Zebra Startseite"});
        CHECK(app.statusText(0) == "2 Objekt(e)");
        app.command(kShowAll);
        CHECK(app.listCount() == 3);
        app.command(kShowAll);
        app.command(kTextOnly);
        CHECK(app.listCount() == 3);
    }
    REQUIRE(app.closeThroughMenu());
}
