#include <string>
#include <vector>

#include "app_driver.h"
#include "doctest.h"
#include "menu_commands.h"
#include "printing.h"
#include "program_state.h"
#include "session.h"
#include "waiting.h"

namespace {

const uint32_t kOptionDescriptionBars = 0x8;
const uint32_t kOptionDetails = 0x20;
const uint32_t kOptionHierarchical = 0x40;
const uint32_t kOptionMaximized = 0x1;

void pressLeftButton(bool down) {
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    SendInput(1, &input, sizeof input);
}

// Drags the bar between tree and list `distance` pixels to the right with
// the real mouse, as a user would; returns where it was let go, in the
// main window's client coordinates. The drag holds the mouse captured from
// the press until the button comes up.
int dragSplitter(AppDriver& app, int distance) {
    RECT tree;
    RECT list;
    GetWindowRect(app.tree(), &tree);
    GetWindowRect(app.list(), &list);
    POINT grab = {(tree.right + list.left) / 2, (tree.top + tree.bottom) / 2};
    POINT drop = {grab.x + distance, grab.y};
    REQUIRE(app.moveMouse(grab));
    pressLeftButton(true);
    REQUIRE(waitUntil([&] { return app.captureWindow() == app.mainWindow(); }));
    REQUIRE(app.moveMouse({grab.x + distance / 2, grab.y}));
    REQUIRE(app.moveMouse(drop));
    pressLeftButton(false);
    REQUIRE(waitUntil([&] { return app.captureWindow() == nullptr; }));
    REQUIRE(app.sync());
    ScreenToClient(app.mainWindow(), &drop);
    return drop.x;
}

int treeWidth(const AppDriver& app) {
    RECT tree;
    GetWindowRect(app.tree(), &tree);
    return tree.right - tree.left;
}

}  // namespace

TEST_CASE_FIXTURE(ProgramSession, "settings and hidden lists are written at exit and restored at the next start") {
    prepareFirstStart(fixtureCache("basic"));
    writeHiddenListEntry("Hidden Hosts", "F0", "c.example.org");
    writeHiddenListEntry("Hidden Hosts", "F1", "gone.example.net");
    start();
    using Labels = std::vector<std::string>;
    CHECK(app.folderLabels("Netscape Cache") == Labels{"a.example.org", "b.example.com", "www.zebra.de"});
    SendMessageA(app.list(), LVM_SETCOLUMNWIDTH, 2, 237);
    const int before = treeWidth(app);
    const int splitter = dragSplitter(app, 60);
    const int draggedTreeWidth = treeWidth(app);
    CHECK(draggedTreeWidth > before);
    app.command(kListView);
    app.command(kHierarchical);
    app.command(kSortBySize);
    app.command(kDescriptionBars);
    REQUIRE(app.moveWindow(50, 60, 700, 500));
    REQUIRE(app.closeThroughMenu());
    CHECK(app.exitCode() == 0);

    StoredSettings stored = readStoredSettings();
    REQUIRE(stored.present);
    CHECK((stored.optionFlags & kOptionDetails) == 0);
    CHECK((stored.optionFlags & kOptionHierarchical) != 0);
    CHECK((stored.optionFlags & kOptionDescriptionBars) == 0);
    CHECK((stored.optionFlags & kOptionMaximized) == 0);
    CHECK(stored.documentSortKey == 5);
    CHECK(stored.windowLeft == 50);
    CHECK(stored.windowTop == 60);
    CHECK(stored.windowWidth == 700);
    CHECK(stored.windowHeight == 500);
    CHECK(stored.columnWidths[2] == 237);
    CHECK(stored.columnWidths[0] == 100);
    CHECK(stored.splitterPos == splitter);
    // A hidden host still in the cache stays hidden; one that has left the
    // cache is forgotten.
    CHECK(readHiddenListEntry("Hidden Hosts", "F0") == "c.example.org");
    CHECK(readHiddenListEntry("Hidden Hosts", "F1") == "<none>");

    // The next start.
    start();
    CHECK(app.folderLabels("Netscape Cache") == Labels{"com.example.b", "de.zebra.www", "org.example.a"});
    CHECK_FALSE(app.listShowsDetails());
    CHECK_FALSE(IsWindowVisible(app.child(ID_LEFT_BAR)));
    RECT frame;
    GetWindowRect(app.mainWindow(), &frame);
    CHECK(frame.left == 50);
    CHECK(frame.top == 60);
    CHECK(frame.right - frame.left == 700);
    CHECK(frame.bottom - frame.top == 500);
    // The window has the size of the first session's end, so the tree has
    // the width the drag gave it.
    CHECK(treeWidth(app) == draggedTreeWidth);
    REQUIRE(app.closeWindow());
    CHECK(app.exitCode() == 0);
}

TEST_CASE("a maximized window starts maximized again") {
    prepareFirstStart(fixtureCache("basic"));
    runSession([](AppDriver& app) { REQUIRE(app.maximize()); });
    CHECK((readStoredSettings().optionFlags & kOptionMaximized) != 0);
    AppDriver again;
    REQUIRE(again.start());
    CHECK(IsZoomed(again.mainWindow()));
    REQUIRE(again.closeThroughMenu());
}

TEST_CASE_FIXTURE(ProgramSession, "logging off saves the settings and the hidden lists while the window still stands") {
    startOn(fixtureCache("basic"), "www.zebra.de");
    app.command(kListView);
    REQUIRE(app.focusPane(app.tree()));
    app.command(kHide);
    CHECK_FALSE(readStoredSettings().present);
    CHECK(readHiddenListEntry("Hidden Hosts", "F0") == "<none>");
    DWORD_PTR answer = 0;
    SUBCASE("asked first whether the session may end") {
        SendMessageTimeoutA(app.mainWindow(), WM_QUERYENDSESSION, 0, 0, SMTO_NORMAL, 10000, &answer);
        CHECK(answer != 0);
    }
    SUBCASE("told only that it ends") {
        SendMessageTimeoutA(app.mainWindow(), WM_ENDSESSION, TRUE, 0, SMTO_NORMAL, 10000, &answer);
    }
    StoredSettings stored = readStoredSettings();
    REQUIRE(stored.present);
    CHECK((stored.optionFlags & kOptionDetails) == 0);
    CHECK(readHiddenListEntry("Hidden Hosts", "F0") == "www.zebra.de");
    CHECK(app.running());
    REQUIRE(app.closeThroughMenu());
}
