// The commands that act on documents and host folders: copying URLs,
// hiding, deleting, going to a document's host, and reading the cache again.
#include <string>
#include <vector>

#include "app_driver.h"
#include "doctest.h"
#include "menu_commands.h"
#include "printing.h"
#include "program_state.h"
#include "session.h"

namespace {

using Labels = std::vector<std::string>;

const Labels kAllHosts = {"a.example.org", "b.example.com", "c.example.org", "www.zebra.de"};

Labels titles(const AppDriver& app) {
    Labels out;
    for (int row = 0, count = app.listCount(); row < count; ++row)
        out.push_back(app.listCell(row, 0));
    return out;
}

HTREEITEM nodeLabelled(const AppDriver& app, const std::string& label) {
    for (const TreeNode& node : app.treeNodes())
        if (node.label == label)
            return node.item;
    return nullptr;
}

// The program's message at the end of a background run (its
// WM_RUN_ENDED), which the main thread takes for the end of the run in
// flight only when it carries that run's number.
const UINT kRunEnded = WM_USER + 114;
const WPARAM kLoadingRun = 1;
// The runs are numbered from 1, the loading run of the start.
const LPARAM kStartRun = 1;
const LPARAM kFirstReloadRun = 2;

void postRunEnded(const AppDriver& app, LPARAM run) {
    PostMessageA(app.mainWindow(), kRunEnded, kLoadingRun, run);
}

bool greyInMenu(AppDriver& app, int id) {
    std::vector<UINT> states = app.menuStates({id});
    return states.size() == 1 && (states[0] & (MF_GRAYED | MF_DISABLED)) != 0;
}

}  // namespace

TEST_CASE_FIXTURE(ProgramSession,
                  "URL kopieren puts the URLs of the selected documents on the clipboard, one per line") {
    startOn(fixtureCache("basic"), "www.zebra.de");
    REQUIRE(app.focusPane(app.list()));
    REQUIRE(app.selectListRows({0, 1, 2}));
    emptyClipboard();
    // In list order, without a line break after the last.
    const std::string three = "http://www.zebra.de/bild.gif\r\nhttp://www.zebra.de/leer.txt\r\nhttp://www.zebra.de/";

    SUBCASE("Ctrl+C") {
        app.typeCharacter(3);
        CHECK(clipboardText() == three);
        // Owned by the main window: without an owner the clipboard's data
        // need not stay.
        CHECK(GetClipboardOwner() == app.mainWindow());
    }
    SUBCASE("Ctrl+Insert") {
        app.pressKey(VK_INSERT, kControl);
        CHECK(clipboardText() == three);
    }
    SUBCASE("the toolbar") {
        REQUIRE(app.clickToolbarButton(kCopyUrl));
        CHECK(clipboardText() == three);
    }
    SUBCASE("the menu") {
        app.command(kCopyUrl);
        CHECK(clipboardText() == three);
    }
    SUBCASE("the list's menu") {
        HWND menu = app.rightClickListRow(2);
        REQUIRE(menu);
        app.chooseMenuItem(menu, "k");
        CHECK(clipboardText() == three);
    }
    SUBCASE("in the tree: the host of the selected folder, or of the folder right-clicked") {
        REQUIRE(app.focusPane(app.tree()));
        app.typeCharacter(3);
        CHECK(clipboardText() == "www.zebra.de");
        HWND menu = app.rightClickTreeNode(nodeLabelled(app, "b.example.com"));
        REQUIRE(menu);
        app.chooseMenuItem(menu, "k");
        CHECK(clipboardText() == "b.example.com");
        CHECK(app.treeLabel(app.selectedTreeItem()) == "www.zebra.de");
    }
    REQUIRE(app.closeThroughMenu());
}

TEST_CASE_FIXTURE(
    ProgramSession,
    "Verbergen on the toolbar hides the visible ones of a mixed selection, and shows them when all are hidden") {
    prepareFirstStart(fixtureCache("basic"));
    writeHiddenListEntry("Hidden Files", "F0", "http://www.zebra.de/bild.gif");
    start("www.zebra.de");
    CHECK(titles(app) == Labels{"leer.txt", "Zebra Startseite"});
    app.command(kShowAll);
    REQUIRE(app.focusPane(app.list()));
    REQUIRE(app.selectListRows({0, 1, 2}));
    CHECK(app.toolbarState(kToggleHidden) == (kEnabled | kMixed));
    std::vector<UINT> hiding = app.menuStates({kHide, kUnhide});
    REQUIRE(hiding.size() == 2);
    CHECK((hiding[0] & MF_GRAYED) == 0);
    CHECK((hiding[1] & MF_GRAYED) == 0);

    REQUIRE(app.clickToolbarButton(kToggleHidden));
    CHECK(app.toolbarState(kToggleHidden) == (kEnabled | kChecked));
    CHECK(app.selectedListRows() == std::vector<int>{0, 1, 2});
    app.command(kShowAll);
    CHECK(app.folderLabels("Netscape Cache") == Labels{"a.example.org", "b.example.com", "c.example.org"});

    app.command(kShowAll);
    REQUIRE(app.selectTreeLabel("www.zebra.de"));
    REQUIRE(app.focusPane(app.list()));
    REQUIRE(app.selectListRows({0, 1, 2}));
    REQUIRE(app.clickToolbarButton(kToggleHidden));
    CHECK(app.toolbarState(kToggleHidden) == kEnabled);
    app.command(kShowAll);
    CHECK(titles(app) == Labels{"bild.gif", "leer.txt", "Zebra Startseite"});
    REQUIRE(app.closeThroughMenu());
    CHECK(readHiddenListEntry("Hidden Files", "F0") == "<none>");
}

TEST_CASE_FIXTURE(ProgramSession,
                  "documents and hosts are hidden and shown again from the keys, the menus and the context menus") {
    startOn(fixtureCache("basic"), "www.zebra.de");
    REQUIRE(app.focusPane(app.list()));

    // Backspace types the character Ctrl+H types, and hides nothing.
    REQUIRE(app.selectListRows({1}));
    app.pressKey(VK_BACK);
    CHECK(titles(app) == Labels{"bild.gif", "leer.txt", "Zebra Startseite"});

    // Documents: Ctrl+H, the menu and the list's menu hide them.
    app.pressKey('H', kControl);
    CHECK(titles(app) == Labels{"bild.gif", "Zebra Startseite"});
    REQUIRE(app.selectListRows({0}));
    app.command(kHide);
    CHECK(titles(app) == Labels{"Zebra Startseite"});
    REQUIRE(app.selectListRows({0}));
    HWND menu = app.rightClickListRow(0);
    REQUIRE(menu);
    app.chooseMenuItem(menu, "v");
    CHECK(app.folderLabels("Netscape Cache") == Labels{"a.example.org", "b.example.com", "c.example.org"});

    // Shown with everything else, they come back one by one.
    app.command(kShowAll);
    REQUIRE(app.selectTreeLabel("www.zebra.de"));
    REQUIRE(app.focusPane(app.list()));
    REQUIRE(app.selectListRows({1}));
    app.typeCharacter(21);
    REQUIRE(app.selectListRows({2}));
    app.command(kUnhide);
    REQUIRE(app.selectListRows({0}));
    menu = app.rightClickListRow(0);
    REQUIRE(menu);
    app.chooseMenuItem(menu, "r");
    app.command(kShowAll);
    REQUIRE(app.selectTreeLabel("www.zebra.de"));
    CHECK(titles(app) == Labels{"bild.gif", "leer.txt", "Zebra Startseite"});

    // Hosts: the tree's menu hides the folder right-clicked, not the
    // selected one; Ctrl+H the selected one.
    menu = app.rightClickTreeNode(nodeLabelled(app, "b.example.com"));
    REQUIRE(menu);
    app.chooseMenuItem(menu, "v");
    CHECK(app.treeLabel(app.selectedTreeItem()) == "www.zebra.de");
    REQUIRE(app.selectTreeLabel("a.example.org"));
    REQUIRE(app.focusPane(app.tree()));
    app.pressKey('H', kControl);
    CHECK(app.folderLabels("Netscape Cache") == Labels{"c.example.org", "www.zebra.de"});

    app.command(kShowAll);
    REQUIRE(app.selectTreeLabel("b.example.com"));
    CHECK(app.toolbarState(kToggleHidden) == (kEnabled | kChecked));
    app.typeCharacter(21);
    CHECK(app.toolbarState(kToggleHidden) == kEnabled);
    menu = app.rightClickTreeNode(nodeLabelled(app, "a.example.org"));
    REQUIRE(menu);
    app.chooseMenuItem(menu, "r");
    app.command(kShowAll);
    CHECK(app.folderLabels("Netscape Cache") == kAllHosts);

    // "Alles rückgängig: Verbergen" shows hosts and documents at once.
    REQUIRE(app.focusPane(app.tree()));
    app.pressKey('H', kControl);
    REQUIRE(app.selectTreeLabel("www.zebra.de"));
    REQUIRE(app.focusPane(app.list()));
    REQUIRE(app.selectListRows({0, 2}));
    app.pressKey('H', kControl);
    CHECK(titles(app) == Labels{"leer.txt"});
    CHECK(app.folderLabels("Netscape Cache").size() == 3);
    app.command(kUnhideAll);
    CHECK(titles(app) == Labels{"bild.gif", "leer.txt", "Zebra Startseite"});
    CHECK(app.folderLabels("Netscape Cache") == kAllHosts);
    REQUIRE(app.closeThroughMenu());
}

TEST_CASE_FIXTURE(
    ProgramSession,
    "Löschen moves cached files to the recycle bin, Shift+Löschen deletes them for good; the index stays") {
    CacheCopy cache("basic");
    const std::string index = fileBytes(cache.file("FAT.DB"));
    startOn(cache.path(), "www.zebra.de");
    REQUIRE(app.focusPane(app.list()));
    // The shell asks before it deletes; the answer is `button`.
    auto confirm = [&](int button) {
        HWND box = app.findMessageBox(10000);
        REQUIRE(box);
        CHECK(GetWindow(box, GW_OWNER) == app.mainWindow());
        std::string question = app.shellQuestion(box);
        app.pressButton(box, button);
        REQUIRE(app.waitUntilGone(box));
        app.sync();
        return question;
    };

    REQUIRE(app.selectListRows({1}));
    app.pressKey(VK_DELETE);
    std::string toBin = confirm(IDYES);
    CHECK(fileBytes(cache.file("M0E20003.txt")) == "<missing>");
    CHECK(inRecycleBin(cache.linuxFile("M0E20003.txt")));
    CHECK(titles(app) == Labels{"bild.gif", "Zebra Startseite"});

    REQUIRE(app.selectListRows({0}));
    app.pressKey(VK_DELETE, kShift);
    std::string forGood = confirm(IDYES);
    CHECK(fileBytes(cache.file("M0E20002.gif")) == "<missing>");
    CHECK_FALSE(inRecycleBin(cache.linuxFile("M0E20002.gif")));
    CHECK(titles(app) == Labels{"Zebra Startseite"});
    // The shell's question tells the two apart.
    CHECK(toBin.find("M0E20003.txt' in den Papierkorb") != std::string::npos);
    CHECK(forGood.find("M0E20002.gif' löschen") != std::string::npos);

    SUBCASE("No keeps the file, from the toolbar, the menu and the list's menu") {
        REQUIRE(app.selectListRows({0}));
        REQUIRE(app.clickToolbarButton(kDelete));
        confirm(IDNO);
        PostMessageA(app.mainWindow(), WM_COMMAND, kDelete, 0);
        confirm(IDNO);
        HWND menu = app.rightClickListRow(0);
        REQUIRE(menu);
        app.chooseMenuItem(menu, "l");
        confirm(IDNO);
        CHECK(fileBytes(cache.file("M0E20001.htm")) != "<missing>");
        CHECK(titles(app) == Labels{"Zebra Startseite"});
    }
    SUBCASE("the tree's menu deletes the documents of the folder right-clicked, only those still there") {
        HWND menu = app.rightClickTreeNode(nodeLabelled(app, "www.zebra.de"));
        REQUIRE(menu);
        app.chooseMenuItem(menu, "l");
        std::string question = confirm(IDYES);
        // One file is left to delete, and the shell names it.
        CHECK(question.find("M0E20001.htm") != std::string::npos);
        CHECK(fileBytes(cache.file("M0E20001.htm")) == "<missing>");
        CHECK(app.folderLabels("Netscape Cache") == Labels{"a.example.org", "b.example.com", "c.example.org"});
    }
    CHECK(fileBytes(cache.file("FAT.DB")) == index);
    REQUIRE(app.closeThroughMenu());
}

TEST_CASE_FIXTURE(ProgramSession, "Gehe zu Domäne opens the host folder of the one document selected under the root") {
    startOn(fixtureCache("basic"), "Netscape Cache");
    REQUIRE(app.focusPane(app.list()));
    REQUIRE(titles(app) == Labels{"bild.gif", "leer.txt", "Seite A", "Seite B", "Seite C", "Zebra Startseite"});

    REQUIRE(app.selectListRows({1, 4}));
    CHECK(greyInMenu(app, kGoToDomain));
    app.typeCharacter(7);
    CHECK(app.treeLabel(app.selectedTreeItem()) == "Netscape Cache");

    REQUIRE(app.selectListRows({1}));
    CHECK_FALSE(greyInMenu(app, kGoToDomain));
    app.typeCharacter(7);
    CHECK(app.treeLabel(app.selectedTreeItem()) == "www.zebra.de");
    CHECK(titles(app) == Labels{"bild.gif", "leer.txt", "Zebra Startseite"});
    CHECK(app.selectedListRows() == std::vector<int>{1});
    // In its own folder a document has nowhere to go.
    CHECK(greyInMenu(app, kGoToDomain));

    REQUIRE(app.selectTreeLabel("Netscape Cache"));
    REQUIRE(app.selectListRows({4}));
    app.command(kGoToDomain);
    CHECK(app.treeLabel(app.selectedTreeItem()) == "c.example.org");
    CHECK(app.selectedListRows() == std::vector<int>{0});
    REQUIRE(app.closeThroughMenu());
}

TEST_CASE_FIXTURE(
    ProgramSession,
    "a second Aktualisieren while the first run is in flight is refused; stale end messages change nothing") {
    CacheCopy cache("basic");
    startOn(cache.path(), "www.zebra.de");
    REQUIRE(app.focusPane(app.tree()));

    // F5, then "URL kopieren", which waits for this thread to give up the
    // clipboard; meanwhile the run of the first F5 ends, and its end message
    // queues up behind the second F5 and an end message of the run before.
    ClipboardHolder holder;
    REQUIRE(holder.hold("vorher"));
    const std::vector<DWORD> idleThreads = app.threadIds();
    app.postKey(VK_F5);
    app.postCharacter(3);
    app.postKey(VK_F5);
    postRunEnded(app, kStartRun);
    // By the time "URL kopieren" waits, the first F5 has started its run;
    // the run's thread ends while the program waits.
    REQUIRE(holder.waitForRequest());
    REQUIRE(app.waitForThreadsEnded(idleThreads));
    // b.example.com's one file leaves the cache: only a reload now sees it.
    REQUIRE(DeleteFileA(cache.file("M0E20021.htm").c_str()));
    holder.release();
    REQUIRE(app.sync());
    REQUIRE(app.waitUntilIdle());
    CHECK(clipboardText() == "www.zebra.de");
    CHECK(app.folderLabels("Netscape Cache") == kAllHosts);
    CHECK(app.treeLabel(app.selectedTreeItem()) == "www.zebra.de");
    CHECK(titles(app) == Labels{"bild.gif", "leer.txt", "Zebra Startseite"});
    CHECK(app.toolbarState(kReload) == kEnabled);

    // Once the run is over, the cache is read again.
    REQUIRE(app.clickToolbarButton(kReload));
    REQUIRE(app.waitUntilIdle());
    CHECK(app.folderLabels("Netscape Cache") == Labels{"a.example.org", "c.example.org", "www.zebra.de"});
    postRunEnded(app, kFirstReloadRun);
    REQUIRE(app.sync());
    CHECK(app.folderLabels("Netscape Cache") == Labels{"a.example.org", "c.example.org", "www.zebra.de"});
    REQUIRE(app.selectTreeLabel("a.example.org"));
    CHECK(titles(app) == Labels{"Seite A"});
    REQUIRE(app.closeThroughMenu());
}
