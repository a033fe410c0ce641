#include "ui/frame/menu_help.h"

#include "doctest.h"
#include "resources/command_ids.h"
#include "resources/resource_ids.h"
#include "resources/string_ids.h"

namespace {

// A top-level window with the program's menu, as the main window has it.
struct MenuWindow {
    HWND window;
    MenuWindow() {
        HMENU menu = LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(MENU_MAIN));
        window = CreateWindowExA(0, "STATIC", "", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, menu,
                                 GetModuleHandleA(nullptr), nullptr);
    }
    ~MenuWindow() { DestroyWindow(window); }
    HMENU popup(int position) const { return GetSubMenu(GetMenu(window), position); }
};

uintptr_t key(HMENU menu) {
    return reinterpret_cast<uintptr_t>(menu);
}

}  // namespace

TEST_CASE("menu help finds the text of every popup of the menu bar and of every command") {
    MenuWindow frame;
    REQUIRE(frame.window);
    MenuHelpTable help;
    REQUIRE(help.load());
    CHECK(help.stringFor(key(frame.popup(0)), true) == 0);
    help.fillHandles(frame.window);

    CHECK(help.stringFor(key(GetSystemMenu(frame.window, FALSE)), true) == STR_HELP_SYSTEM_MENU);
    CHECK(help.stringFor(key(frame.popup(0)), true) == STR_HELP_FILE_MENU);
    CHECK(help.stringFor(key(frame.popup(1)), true) == STR_HELP_EDIT_MENU);
    CHECK(help.stringFor(key(frame.popup(2)), true) == STR_HELP_VIEW_MENU);
    CHECK(help.stringFor(key(frame.popup(3)), true) == STR_HELP_EXTRAS_MENU);
    CHECK(help.stringFor(key(frame.popup(4)), true) == STR_HELP_HELP_MENU);
    // The sorting popups inside "Ansicht", found by walking depth-first.
    HMENU view = frame.popup(2);
    int sortPopups = 0;
    for (int position = 0; position < GetMenuItemCount(view); ++position) {
        HMENU inner = GetSubMenu(view, position);
        if (!inner)
            continue;
        uint16_t expected = sortPopups++ == 0 ? STR_HELP_SORT_DOMAINS_MENU : STR_HELP_SORT_DOCUMENTS_MENU;
        CHECK(help.stringFor(key(inner), true) == expected);
    }
    CHECK(sortPopups == 2);
    // The context menus after the menu bar's five popups.
    CHECK(help.stringFor(key(frame.popup(5)), true) == STR_APP_NAME);
    CHECK(help.stringFor(key(frame.popup(7)), true) == STR_APP_NAME);

    CHECK(help.stringFor(CMD_EXIT, false) == STR_HELP_EXIT);
    CHECK(help.stringFor(CMD_SORT_BY_DATE, false) == STR_HELP_SORT_BY_DATE);
    CHECK(help.stringFor(CMD_TOGGLE_HIDDEN, false) == STR_HELP_TOGGLE_HIDDEN);
    CHECK(help.stringFor(SC_CLOSE, false) == STR_HELP_EXIT);
    CHECK(help.stringFor(CMD_SWITCH_PANE, false) == 0);
}
