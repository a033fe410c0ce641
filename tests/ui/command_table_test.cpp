#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "doctest.h"
#include "resources/resource_ids.h"
#include "ui/commands/command_table.h"
#include "ui/dialogs/resource_data.h"

namespace {

HINSTANCE module() {
    return GetModuleHandleA(nullptr);
}

// Where a command can come from decides which handler must take it: the
// tree's context menu hands its commands to the tree, the list's to the
// list, and the menu bar, the keys and the toolbar to whichever pane has
// the focus.
enum Origin { FROM_ANYWHERE, FROM_TREE, FROM_LIST };

struct Reachable {
    int id;
    Origin origin;
    std::string where;
};

void collectMenu(HMENU menu, Origin origin, const std::string& where, std::vector<Reachable>& out) {
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        if (HMENU sub = GetSubMenu(menu, i)) {
            collectMenu(sub, origin, where, out);
            continue;
        }
        int id = static_cast<int>(GetMenuItemID(menu, i));
        if (id > 0)
            out.push_back({id, origin, where});
    }
}

std::vector<Reachable> reachableCommands() {
    std::vector<Reachable> out;
    HMENU bar = LoadMenuA(module(), MAKEINTRESOURCEA(MENU_MAIN));
    REQUIRE(bar);
    for (int i = 0; i < GetMenuItemCount(bar); ++i) {
        Origin origin = i < MENU_BAR_POPUP_COUNT ? FROM_ANYWHERE : i == MENU_BAR_POPUP_COUNT ? FROM_TREE : FROM_LIST;
        collectMenu(GetSubMenu(bar, i), origin, "menu " + std::to_string(i), out);
    }
    DestroyMenu(bar);

    HACCEL keys = LoadAcceleratorsA(module(), MAKEINTRESOURCEA(ACCEL_MAIN));
    REQUIRE(keys);
    ACCEL table[64];
    int count = CopyAcceleratorTableA(keys, table, 64);
    for (int i = 0; i < count; ++i)
        out.push_back({table[i].cmd, FROM_ANYWHERE, "key " + std::to_string(i)});

    ResourceData toolbar = findResourceData(RCDATA_TOOLBAR);
    REQUIRE(toolbar.data);
    for (size_t offset = 0; offset + TOOLBAR_RECORD_SIZE <= toolbar.size; offset += TOOLBAR_RECORD_SIZE) {
        if (readWord(toolbar, offset) == TOOLBAR_TABLE_END)
            break;
        if (readWord(toolbar, offset + 4) != TBSTYLE_SEP)
            out.push_back({readWord(toolbar, offset + 2), FROM_ANYWHERE, "button"});
    }
    return out;
}

}  // namespace

TEST_CASE("every command of the menus, context menus, keys and toolbar reaches a handler") {
    std::vector<Reachable> commands = reachableCommands();
    CHECK(commands.size() > 60);
    for (const Reachable& command : commands) {
        CAPTURE(command.id);
        CAPTURE(command.where);
        const CommandRoute* route = findCommandRoute(command.id);
        REQUIRE(route != nullptr);
        if (route->global)
            continue;
        bool list = route->list != nullptr;
        bool tree = route->tree != nullptr;
        switch (command.origin) {
        case FROM_TREE:
            CHECK(tree);
            break;
        case FROM_LIST:
            CHECK(list);
            break;
        case FROM_ANYWHERE:
            CHECK((list || tree));
            break;
        }
    }
}
