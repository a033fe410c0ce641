// Commands as the user reaches them: the states menus and toolbar show, the
// keys that move between the panes and open their menus, and the commands
// of the view.
#include <windows.h>

#include <string>
#include <vector>

#include "app_driver.h"
#include "dialog_driver.h"
#include "doctest.h"
#include "menu_commands.h"
#include "printing.h"
#include "program_state.h"
#include "save_driver.h"
#include "session.h"

namespace {

bool greyed(UINT menuState) {
    return (menuState & (MF_GRAYED | MF_DISABLED)) != 0;
}

bool checked(UINT menuState) {
    return (menuState & MF_CHECKED) != 0;
}

// "enabled", "grey" or "missing" for each command of the menu bar.
std::vector<std::string> menuEnabling(AppDriver& app, const std::vector<int>& ids) {
    std::vector<std::string> out;
    for (UINT state : app.menuStates(ids))
        out.push_back(state == 0xFFFFFFFF ? "missing" : greyed(state) ? "grey" : "enabled");
    return out;
}

std::vector<int> toolbarStates(const AppDriver& app, const std::vector<int>& ids) {
    std::vector<int> states;
    for (int id : ids)
        states.push_back(app.toolbarState(id));
    return states;
}

using Texts = std::vector<std::string>;
using States = std::vector<int>;

}  // namespace

TEST_CASE_FIXTURE(ProgramSession, "each command is enabled by the focused pane, its selection and the folder shown") {
    startOn(fixtureCache("basic"));
    const std::vector<int> menuIds = {kOpen, kHide, kUnhide, kDelete, kCopyUrl, kGoToDomain, kReload};
    const std::vector<int> buttonIds = {kOpen, kToggleHidden, kDelete, kCopyUrl, kPreviousFolder, kNextFolder, kReload};

    // The first folder is selected and the tree has the focus. Once the
    // loading run is over, "Aktualisieren" is enabled again.
    REQUIRE(app.focusedWindow() == app.tree());
    CHECK(menuEnabling(app, menuIds) == Texts{"grey", "enabled", "grey", "enabled", "enabled", "grey", "enabled"});
    CHECK(toolbarStates(app, buttonIds) == States{0, kEnabled, kEnabled, kEnabled, kEnabled, kEnabled, kEnabled});

    SUBCASE("the root is no host: nothing to hide, delete or copy, and no folder before it") {
        REQUIRE(app.selectTreeLabel("Netscape Cache"));
        CHECK(menuEnabling(app, menuIds) == Texts{"grey", "grey", "grey", "grey", "grey", "grey", "enabled"});
        CHECK(toolbarStates(app, buttonIds) == States{0, 0, 0, 0, 0, kEnabled, kEnabled});
    }
    SUBCASE("the last folder has none after it") {
        REQUIRE(app.selectTreeLabel("www.zebra.de"));
        CHECK(app.toolbarState(kNextFolder) == 0);
        CHECK(app.toolbarState(kPreviousFolder) == kEnabled);
    }
    SUBCASE("in the list the commands follow the selected documents") {
        REQUIRE(app.selectTreeLabel("www.zebra.de"));
        REQUIRE(app.focusPane(app.list()));
        REQUIRE(app.selectListRows({}));
        CHECK(menuEnabling(app, menuIds) == Texts{"grey", "grey", "grey", "grey", "grey", "grey", "enabled"});
        CHECK(toolbarStates(app, buttonIds) == States{0, 0, 0, 0, kEnabled, 0, kEnabled});

        REQUIRE(app.selectListRows({2}));
        CHECK(menuEnabling(app, menuIds) ==
              Texts{"enabled", "enabled", "grey", "enabled", "enabled", "grey", "enabled"});
        CHECK(toolbarStates(app, buttonIds) ==
              States{kEnabled, kEnabled, kEnabled, kEnabled, kEnabled, 0, kEnabled});

        // Only one document at a time opens.
        REQUIRE(app.selectListRows({0, 2}));
        CHECK(menuEnabling(app, {kOpen, kCopyUrl}) == Texts{"grey", "enabled"});
        CHECK(app.toolbarState(kOpen) == 0);
    }
    SUBCASE("the list's selection menu makes Öffnen its default while it is enabled") {
        REQUIRE(app.selectTreeLabel("www.zebra.de"));
        REQUIRE(app.focusPane(app.list()));
        REQUIRE(app.selectListRows({1}));
        HWND menu = app.rightClickListRow(1);
        REQUIRE(menu);
        int defaultItem = 0;
        std::vector<UINT> states = app.popupMenuStates(menu, {kOpen, kUnhide}, &defaultItem);
        REQUIRE(states.size() == 2);
        CHECK_FALSE(greyed(states[0]));
        CHECK(greyed(states[1]));
        CHECK(defaultItem == kOpen);
        app.pressKey(VK_ESCAPE);
        REQUIRE(app.waitUntilGone(menu));

        REQUIRE(app.selectListRows({0, 1}));
        menu = app.rightClickListRow(1);
        REQUIRE(menu);
        states = app.popupMenuStates(menu, {kOpen}, &defaultItem);
        REQUIRE(states.size() == 1);
        CHECK(greyed(states[0]));
        CHECK(defaultItem == -1);
        app.pressKey(VK_ESCAPE);
        REQUIRE(app.waitUntilGone(menu));
    }
    REQUIRE(app.closeThroughMenu());
}

TEST_CASE_FIXTURE(ProgramSession,
                  "view options show as checks, and the filters are grey and do nothing while everything is shown") {
    startOn(fixtureCache("basic"));
    auto checks = [&](const std::vector<int>& ids) {
        std::vector<bool> out;
        for (UINT state : app.menuStates(ids))
            out.push_back(checked(state));
        return out;
    };
    using Checks = std::vector<bool>;
    const std::vector<int> bars = {kToolbar, kStatusBar, kDescriptionBars, kListTips, kNamesAsSorted};
    const std::vector<int> sorting = {kAlphabetical, kHierarchical, kSortByTitle, kSortBySize, kSortByDate};

    CHECK(checks(bars) == Checks{true, true, true, true, true});
    CHECK(checks(sorting) == Checks{true, false, true, false, false});
    CHECK(checks({kListView, kDetails}) == Checks{false, true});
    CHECK(toolbarStates(app, {kListView, kDetails}) == States{kEnabled, kEnabled | kChecked});

    app.command(kToolbar);
    app.command(kStatusBar);
    CHECK_FALSE(IsWindowVisible(app.child(ID_TOOLBAR)));
    CHECK_FALSE(IsWindowVisible(app.statusBar()));
    CHECK(checks({kToolbar, kStatusBar}) == Checks{false, false});
    app.command(kToolbar);
    app.command(kStatusBar);
    CHECK(IsWindowVisible(app.child(ID_TOOLBAR)));
    CHECK(IsWindowVisible(app.statusBar()));

    app.command(kListTips);
    app.command(kDescriptionBars);
    app.command(kNamesAsSorted);
    app.command(kHierarchical);
    app.command(kSortBySize);
    CHECK(checks(bars) == Checks{true, true, false, false, false});
    CHECK(checks(sorting) == Checks{false, true, false, true, false});

    // The toolbar's buttons act as the menu's items.
    REQUIRE(app.clickToolbarButton(kListView));
    CHECK_FALSE(app.listShowsDetails());
    CHECK(checks({kListView, kDetails}) == Checks{true, false});
    CHECK(toolbarStates(app, {kListView, kDetails}) == States{kEnabled | kChecked, kEnabled});

    REQUIRE(app.clickToolbarButton(kDetails));
    CHECK(app.listShowsDetails());
    app.command(kListView);

    REQUIRE(app.clickToolbarButton(kTextOnly));
    REQUIRE(app.clickToolbarButton(kWebOnly));
    CHECK(checks({kTextOnly, kWebOnly, kShowAll}) == Checks{true, true, false});
    CHECK(toolbarStates(app, {kTextOnly, kWebOnly, kShowAll}) ==
          States{kEnabled | kChecked, kEnabled | kChecked, kEnabled});

    REQUIRE(app.clickToolbarButton(kShowAll));
    std::vector<UINT> filters = app.menuStates({kTextOnly, kWebOnly, kShowAll});
    REQUIRE(filters.size() == 3);
    CHECK((greyed(filters[0]) && checked(filters[0])));
    CHECK((greyed(filters[1]) && checked(filters[1])));
    CHECK((!greyed(filters[2]) && checked(filters[2])));
    CHECK(toolbarStates(app, {kTextOnly, kWebOnly, kShowAll}) == States{kChecked, kChecked, kEnabled | kChecked});
    // Sent anyway, "Nur Textdokumente" changes nothing.
    app.command(kTextOnly);
    CHECK(checks({kTextOnly}) == Checks{true});
    REQUIRE(app.clickToolbarButton(kShowAll));
    CHECK(toolbarStates(app, {kTextOnly, kWebOnly, kShowAll}) ==
          States{kEnabled | kChecked, kEnabled | kChecked, kEnabled});
    REQUIRE(app.closeThroughMenu());
}

TEST_CASE_FIXTURE(ProgramSession,
                  "Tab, Shift+Tab and F6 move between the panes; Shift+F10 opens the focused pane's menu") {
    startOn(fixtureCache("basic"));
    REQUIRE(app.focusedWindow() == app.tree());
    app.pressKey(VK_TAB);
    CHECK(app.focusedWindow() == app.list());
    app.pressKey(VK_TAB, kShift);
    CHECK(app.focusedWindow() == app.tree());
    app.pressKey(VK_F6);
    CHECK(app.focusedWindow() == app.list());

    SUBCASE("the list without a selection offers the view") {
        REQUIRE(app.selectTreeLabel("www.zebra.de"));
        REQUIRE(app.selectListRows({}));
        REQUIRE(app.listShowsDetails());
        app.pressKey(VK_F10, kShift);
        HWND menu = app.findPopupMenu(5000);
        REQUIRE(menu);
        app.chooseMenuItem(menu, "l");
        CHECK_FALSE(app.listShowsDetails());
        menu = app.rightClickListRow(-1);
        REQUIRE(menu);
        app.chooseMenuItem(menu, "og");
        CHECK(app.listCell(0, 0) == "leer.txt");
        CHECK(app.listCell(2, 0) == "bild.gif");
    }
    SUBCASE("the list with a selection offers its documents") {
        REQUIRE(app.selectTreeLabel("www.zebra.de"));
        REQUIRE(app.selectListRows({0}));
        emptyClipboard();
        app.pressKey(VK_F10, kShift);
        HWND menu = app.findPopupMenu(5000);
        REQUIRE(menu);
        app.chooseMenuItem(menu, "k");
        CHECK(clipboardText() == "http://www.zebra.de/bild.gif");
    }
    SUBCASE("the tree offers its folder") {
        app.pressKey(VK_F6);
        REQUIRE(app.focusedWindow() == app.tree());
        emptyClipboard();
        app.pressKey(VK_F10, kShift);
        HWND menu = app.findPopupMenu(5000);
        REQUIRE(menu);
        app.chooseMenuItem(menu, "k");
        CHECK(clipboardText() == "a.example.org");
        app.pressKey(VK_F10, kShift);
        menu = app.findPopupMenu(5000);
        REQUIRE(menu);
        app.chooseMenuItem(menu, "mh");
        CHECK(app.folderLabels("Netscape Cache") ==
              std::vector<std::string>{"com.example.b", "de.zebra.www", "org.example.a", "org.example.c"});
    }
    REQUIRE(app.closeThroughMenu());
}

TEST_CASE_FIXTURE(ProgramSession,
                  "select all and invert work on the list; previous and next folder on the toolbar walk the tree") {
    startOn(fixtureCache("basic"));
    REQUIRE(app.clickToolbarButton(kNextFolder));
    CHECK(app.treeLabel(app.selectedTreeItem()) == "b.example.com");
    REQUIRE(app.clickToolbarButton(kPreviousFolder));
    REQUIRE(app.clickToolbarButton(kPreviousFolder));
    CHECK(app.treeLabel(app.selectedTreeItem()) == "Netscape Cache");
    REQUIRE(app.listCount() == 6);

    // Ctrl+A selects every document, from either pane.
    app.typeCharacter(1);
    CHECK(app.selectedListRows() == std::vector<int>{0, 1, 2, 3, 4, 5});
    CHECK(app.focusedWindow() == app.list());
    CHECK(app.statusText(0) == "6 Objekt(e) markiert");
    REQUIRE(app.selectListRows({1, 4}));
    app.command(kInvertSelection);
    CHECK(app.selectedListRows() == std::vector<int>{0, 2, 3, 5});
    REQUIRE(app.closeThroughMenu());
}

TEST_CASE_FIXTURE(ProgramSession, "Info shows the program's name and version until OK is pressed") {
    startOn(fixtureCache("basic"));
    PostMessageA(app.mainWindow(), WM_COMMAND, kAbout, 0);
    HWND about = app.findDialog("Info über Tarnview", 5000);
    REQUIRE(about);
    CHECK(GetWindow(about, GW_OWNER) == app.mainWindow());
    HWND icon = GetWindow(about, GW_CHILD);
    CHECK(SendMessageA(icon, STM_GETICON, 0, 0) != 0);
    std::vector<std::string> texts;
    for (HWND child = GetWindow(icon, GW_HWNDNEXT); child; child = GetWindow(child, GW_HWNDNEXT))
        texts.push_back(app.windowText(child));
    CHECK(texts == std::vector<std::string>{"Tarnview", "Version 1.12  vom 21.07.96", "OK"});
    app.pressButton(about, IDOK);
    REQUIRE(app.waitUntilGone(about));
    REQUIRE(app.closeThroughMenu());
}

namespace {

// The last write of a file, or 0 when it cannot be read.
ULONGLONG lastWritten(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return 0;
    return (static_cast<ULONGLONG>(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime;
}

// Closes what a command opened in front of the main window: a question is
// answered "Ja" (so that a delete goes through), anything else is
// cancelled or confirmed; a popup menu is left with Escape.
bool closeWhatOpened(AppDriver& app) {
    return waitUntil(
        [&] {
            bool clear = true;
            for (HWND window : programWindows(app)) {
                if (window == app.mainWindow())
                    continue;
                clear = false;
                char className[32] = "";
                GetClassNameA(window, className, sizeof className);
                if (std::string(className) == "#32768") {
                    app.postKey(VK_ESCAPE);
                    continue;
                }
                int button = GetDlgItem(window, IDYES) ? IDYES : GetDlgItem(window, IDCANCEL) ? IDCANCEL : IDOK;
                PostMessageA(window, WM_COMMAND, static_cast<WPARAM>(button), 0);
            }
            return clear && app.sync(2000) && programWindows(app).size() == 1;
        },
        20000);
}

}  // namespace

TEST_CASE_FIXTURE(ProgramSession, "a session that uses every command leaves the index as it was") {
    CacheCopy cache("basic");
    const std::string index = cache.file("FAT.DB");
    const std::string bytes = fileBytes(index);
    const ULONGLONG written = lastWritten(index);
    const size_t files = fileNamesIn(cache.path()).size();
    REQUIRE(bytes.size() > 1024);
    startOn(cache.path());
    // Help starts the help viewer, a program of its own that reads no cache.
    const int commands[] = {
        kToolbar, kStatusBar, kDescriptionBars, kListTips, kListView, kDetails, kTextOnly, kWebOnly, kShowAll,
        kAlphabetical, kHierarchical, kNamesAsSorted, kSortByTitle, 1314, 1315, 1316, kSortBySize, kSortByDate,
        kNextFolder, kPreviousFolder, kNextFolder, kSwitchPane, 1204, kInvertSelection, kCopyUrl, 1106, kOpen,
        kHide, kToggleHidden, kUnhide, kUnhideAll, kFind, 1203, kContentSearch, kClearResults, kGoToDomain, kSettings,
        kAbout, 1992, 1102, kDelete, kReload, kShowAll};
    for (int command : commands) {
        // The document commands act on the list's selection.
        if (app.listCount() > 0 && app.selectedListRows().empty()) {
            REQUIRE(app.selectListRow(0));
            REQUIRE(app.focusPane(app.list()));
        }
        PostMessageA(app.mainWindow(), WM_COMMAND, static_cast<WPARAM>(command), 0);
        CHECK_MESSAGE(closeWhatOpened(app), "command " << command);
        REQUIRE(app.waitUntilIdle());
    }
    REQUIRE(app.closeThroughMenu());
    CHECK(fileBytes(index) == bytes);
    CHECK(lastWritten(index) == written);
    // The delete went through: it took a cached file, not the index.
    CHECK(fileNamesIn(cache.path()).size() < files);
}
