#include "app_driver.h"
#include "doctest.h"
#include "program_state.h"
#include "session.h"

namespace {

const char kNoCacheDirectoryText[] =
    "Es wurde kein g\xFCltiges Cache-Verzeichnis gefunden!\n\nSie k\xF6nnen ein Verzeichnis mit dem Befehl "
    "Extras/Einstellungen festlegen.";

}  // namespace

TEST_CASE_FIXTURE(ProgramSession, "the program starts on a valid cache and shows its hosts") {
    startOn(fixtureCache("basic"));
    CHECK(app.windowText(app.mainWindow()) == "Tarnview");
    CHECK_FALSE(app.findMessageBox(0));

    std::vector<TreeNode> nodes = app.treeNodes();
    REQUIRE_FALSE(nodes.empty());
    CHECK(nodes[0].label == "Netscape Cache");
    CHECK(nodes[0].depth == 0);
    // The first folder is selected and listed.
    CHECK(app.treeLabel(app.selectedTreeItem()) == "a.example.org");
    CHECK(app.windowText(app.child(ID_RIGHT_BAR)) == " Inhalt von 'a.example.org'");
    CHECK(app.windowText(app.child(ID_LEFT_BAR)) == " Alle Ordner");
    CHECK(app.listCount() == 1);

    REQUIRE(app.closeThroughMenu());
    CHECK(app.exitCode() == 0);
}

TEST_CASE_FIXTURE(ProgramSession,
                  "without a cache directory the program says so once its window is up and keeps running") {
    startOn("Z:\\nonexistent\\tarnview-cache");
    HWND box = app.findMessageBox(10000);
    REQUIRE(box);
    CHECK(app.messageBoxText(box) == kNoCacheDirectoryText);
    CHECK(app.windowText(box) == "Tarnview");
    CHECK(GetWindow(box, GW_OWNER) == app.mainWindow());
    CHECK(IsWindowVisible(app.mainWindow()));

    std::vector<TreeNode> nodes = app.treeNodes();
    REQUIRE(nodes.size() == 1);
    CHECK(nodes[0].label == "Netscape Cache");
    CHECK(app.listCount() == 0);

    app.pressButton(box, IDOK);
    REQUIRE(app.waitUntilGone(box));
    CHECK(app.running());
    // Every message the program had queued is handled: a second box would
    // be up by now.
    REQUIRE(app.sync());
    CHECK_FALSE(app.findMessageBox(0));
    REQUIRE(app.closeThroughMenu());
    CHECK(app.exitCode() == 0);
}

TEST_CASE("a second instance opens its own window, placed by the system and not maximized") {
    prepareFirstStart(fixtureCache("basic"));
    runSession([](AppDriver& app) {
        REQUIRE(app.moveWindow(50, 60, 700, 500));
        REQUIRE(app.maximize());
    });
    AppDriver first;
    REQUIRE(first.start());
    CHECK(IsZoomed(first.mainWindow()));
    AppDriver second;
    REQUIRE(second.start());
    CHECK(second.mainWindow() != first.mainWindow());
    CHECK_FALSE(IsZoomed(second.mainWindow()));
    RECT placed;
    GetWindowRect(second.mainWindow(), &placed);
    CHECK_FALSE((placed.left == 50 && placed.top == 60));
    CHECK(second.folderLabels("Netscape Cache").size() == 4);
    REQUIRE(second.closeThroughMenu());
    REQUIRE(first.closeThroughMenu());
}
