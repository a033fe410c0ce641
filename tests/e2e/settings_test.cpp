#include <string>
#include <vector>

#include "app_driver.h"
#include "doctest.h"
#include "menu_commands.h"
#include "printing.h"
#include "program_state.h"
#include "session.h"

namespace {

const uint32_t kOptionDescriptionBars = 0x8;
const uint32_t kOptionDetails = 0x20;
const uint32_t kOptionHierarchical = 0x40;
const uint32_t kOptionMaximized = 0x1;

}  // namespace

TEST_CASE("settings and hidden lists are written at exit and restored at the next start") {
    prepareFirstStart(fixtureCache("basic"));
    writeHiddenListEntry("Hidden Hosts", "F0", "c.example.org");
    writeHiddenListEntry("Hidden Hosts", "F1", "gone.example.net");
    {
        AppDriver app;
        REQUIRE(app.start());
        using Labels = std::vector<std::string>;
        CHECK(app.folderLabels("Netscape Cache") == Labels{"a.example.org", "b.example.com", "www.zebra.de"});
        app.command(kListView);
        app.command(kHierarchical);
        app.command(kSortBySize);
        app.command(kDescriptionBars);
        REQUIRE(app.moveWindow(50, 60, 700, 500));
        REQUIRE(app.closeThroughMenu());
        CHECK(app.exitCode() == 0);
    }

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
    CHECK(stored.columnWidths[0] == 100);
    CHECK(stored.splitterPos > 0);
    // A hidden host still in the cache stays hidden; one that has left the
    // cache is forgotten.
    CHECK(readHiddenListEntry("Hidden Hosts", "F0") == "c.example.org");
    CHECK(readHiddenListEntry("Hidden Hosts", "F1") == "<none>");

    AppDriver again;
    REQUIRE(again.start());
    using Labels = std::vector<std::string>;
    CHECK(again.folderLabels("Netscape Cache") == Labels{"com.example.b", "de.zebra.www", "org.example.a"});
    CHECK_FALSE(again.listShowsDetails());
    CHECK_FALSE(IsWindowVisible(again.child(103)));
    RECT frame;
    GetWindowRect(again.mainWindow(), &frame);
    CHECK(frame.left == 50);
    CHECK(frame.top == 60);
    CHECK(frame.right - frame.left == 700);
    CHECK(frame.bottom - frame.top == 500);
    REQUIRE(again.closeWindow());
    CHECK(again.exitCode() == 0);
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

TEST_CASE("logging off saves the settings while the window still stands") {
    prepareFirstStart(fixtureCache("basic"));
    AppDriver app;
    REQUIRE(app.start());
    app.command(kListView);
    CHECK_FALSE(readStoredSettings().present);
    DWORD_PTR answer = 0;
    SendMessageTimeoutA(app.mainWindow(), WM_QUERYENDSESSION, 0, 0, SMTO_NORMAL, 10000, &answer);
    CHECK(answer != 0);
    StoredSettings stored = readStoredSettings();
    REQUIRE(stored.present);
    CHECK((stored.optionFlags & kOptionDetails) == 0);
    CHECK(app.running());
    REQUIRE(app.closeThroughMenu());
}
