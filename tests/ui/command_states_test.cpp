#include "ui/commands/command_states.h"

#include <initializer_list>

#include "doctest.h"
#include "resources/command_ids.h"
#include "settings/settings.h"

namespace {

StateSnapshot listFocus(int32_t selected, int32_t hidden = 0, int32_t missing = 0) {
    StateSnapshot s;
    s.listHasFocus = true;
    s.list.count = 10;
    s.list.selected = selected;
    s.list.selectedHidden = hidden;
    s.list.selectedMissing = missing;
    s.folder = FOLDER_HOST;
    return s;
}

bool enabled(const ObjectCommandStates& states, int command) {
    return (states.stateOf(command) & kStateEnabled) != 0;
}

}  // namespace

TEST_CASE("opening needs exactly one selected document whose file is there") {
    CHECK(enabled(computeObjectStates(listFocus(1)), CMD_OPEN));
    CHECK_FALSE(enabled(computeObjectStates(listFocus(0)), CMD_OPEN));
    CHECK_FALSE(enabled(computeObjectStates(listFocus(2)), CMD_OPEN));
    CHECK_FALSE(enabled(computeObjectStates(listFocus(1, 0, 1)), CMD_OPEN));
}

TEST_CASE("the hide button shows checked, clear or mixed by the selection") {
    CHECK(computeObjectStates(listFocus(3, 3)).stateOf(CMD_TOGGLE_HIDDEN) == (kStateEnabled | kStateChecked));
    CHECK(computeObjectStates(listFocus(3, 0)).stateOf(CMD_TOGGLE_HIDDEN) == kStateEnabled);
    CHECK(computeObjectStates(listFocus(3, 1)).stateOf(CMD_TOGGLE_HIDDEN) == (kStateEnabled | kStateMixed));
    CHECK(computeObjectStates(listFocus(0)).stateOf(CMD_TOGGLE_HIDDEN) == 0);
    // Hiding is offered while something selected is visible, unhiding while
    // something is hidden: both for a mixed selection.
    ObjectCommandStates mixed = computeObjectStates(listFocus(3, 1));
    CHECK(enabled(mixed, CMD_HIDE));
    CHECK(enabled(mixed, CMD_UNHIDE));
}

TEST_CASE("a loading run disables saving, properties and deleting, any run the global commands") {
    StateSnapshot s = listFocus(2);
    s.threadKind = RUN_LOADING;
    ObjectCommandStates loading = computeObjectStates(s);
    CHECK_FALSE(enabled(loading, CMD_SAVE_AS));
    CHECK_FALSE(enabled(loading, CMD_PROPERTIES));
    CHECK_FALSE(enabled(loading, CMD_DELETE));
    CHECK_FALSE(enabled(loading, CMD_RELOAD));
    CHECK(enabled(loading, CMD_COPY_URL));

    s.threadKind = RUN_CONTENT_SEARCH;
    ObjectCommandStates searching = computeObjectStates(s);
    CHECK(enabled(searching, CMD_SAVE_AS));
    CHECK(enabled(searching, CMD_DELETE));
    for (int command : {CMD_RELOAD, CMD_CONTENT_SEARCH, CMD_CLEAR_RESULTS, CMD_SETTINGS})
        CHECK_FALSE(enabled(searching, command));

    s.threadKind = RUN_NONE;
    for (int command : {CMD_RELOAD, CMD_CONTENT_SEARCH, CMD_CLEAR_RESULTS, CMD_SETTINGS})
        CHECK(enabled(computeObjectStates(s), command));
}

TEST_CASE("saving and deleting skip documents whose files are missing") {
    CHECK_FALSE(enabled(computeObjectStates(listFocus(2, 0, 2)), CMD_SAVE_AS));
    CHECK_FALSE(enabled(computeObjectStates(listFocus(2, 0, 2)), CMD_DELETE));
    CHECK(enabled(computeObjectStates(listFocus(2, 0, 1)), CMD_DELETE));
}

TEST_CASE("going to the domain is offered only away from the document's own folder") {
    StateSnapshot s = listFocus(1);
    CHECK_FALSE(enabled(computeObjectStates(s), CMD_GO_TO_DOMAIN));
    s.folder = FOLDER_ROOT;
    CHECK(enabled(computeObjectStates(s), CMD_GO_TO_DOMAIN));
    s.folder = FOLDER_RESULTS;
    CHECK(enabled(computeObjectStates(s), CMD_GO_TO_DOMAIN));
    s.list.selected = 2;
    CHECK_FALSE(enabled(computeObjectStates(s), CMD_GO_TO_DOMAIN));
}

TEST_CASE("with the tree focused the commands act on the folder") {
    StateSnapshot s;
    s.folder = FOLDER_HOST;
    s.folderHideable = true;
    s.folderCount = 4;
    s.list.selected = 3;  // a selection in the list does not count now
    ObjectCommandStates visible = computeObjectStates(s);
    CHECK(enabled(visible, CMD_HIDE));
    CHECK_FALSE(enabled(visible, CMD_UNHIDE));
    CHECK(visible.stateOf(CMD_TOGGLE_HIDDEN) == kStateEnabled);
    CHECK(enabled(visible, CMD_DELETE));
    CHECK(enabled(visible, CMD_COPY_URL));
    CHECK_FALSE(enabled(visible, CMD_OPEN));

    s.folderHidden = true;
    ObjectCommandStates hidden = computeObjectStates(s);
    CHECK_FALSE(enabled(hidden, CMD_HIDE));
    CHECK(enabled(hidden, CMD_UNHIDE));
    CHECK(hidden.stateOf(CMD_TOGGLE_HIDDEN) == (kStateEnabled | kStateChecked));

    SUBCASE("search results cannot be hidden but can be copied and deleted") {
        s.folder = FOLDER_RESULTS;
        s.folderHideable = false;
        ObjectCommandStates results = computeObjectStates(s);
        CHECK_FALSE(enabled(results, CMD_HIDE));
        CHECK(results.stateOf(CMD_TOGGLE_HIDDEN) == 0);
        CHECK(enabled(results, CMD_COPY_URL));
        CHECK(enabled(results, CMD_DELETE));
    }
    SUBCASE("a root is not a folder to copy or delete") {
        s.folder = FOLDER_ROOT;
        s.folderHideable = false;
        CHECK_FALSE(enabled(computeObjectStates(s), CMD_COPY_URL));
        CHECK_FALSE(enabled(computeObjectStates(s), CMD_DELETE));
    }
    SUBCASE("an empty folder has nothing to delete") {
        s.folderCount = 0;
        CHECK_FALSE(enabled(computeObjectStates(s), CMD_DELETE));
    }
}

TEST_CASE("previous and next folder follow the tree's neighbours") {
    StateSnapshot s;
    s.hasNextFolder = true;
    ObjectCommandStates states = computeObjectStates(s);
    CHECK(enabled(states, CMD_NEXT_FOLDER));
    CHECK_FALSE(enabled(states, CMD_PREVIOUS_FOLDER));
}

TEST_CASE("view states mirror the option bits") {
    ViewCommandStates defaults = computeViewStates(defaultSettings().optionFlags);
    CHECK(defaults.stateOf(CMD_TOOLBAR) == (kStateEnabled | kStateChecked));
    CHECK(defaults.stateOf(CMD_VIEW_DETAILS) == (kStateEnabled | kStateChecked));
    CHECK(defaults.stateOf(CMD_VIEW_LIST) == kStateEnabled);
    CHECK(defaults.stateOf(CMD_TEXT_ONLY) == kStateEnabled);

    ViewCommandStates list = computeViewStates(OPTION_WEB_ONLY);
    CHECK(list.stateOf(CMD_VIEW_LIST) == (kStateEnabled | kStateChecked));
    CHECK(list.stateOf(CMD_VIEW_DETAILS) == kStateEnabled);
    CHECK(list.stateOf(CMD_TOOLBAR) == kStateEnabled);
    CHECK(list.stateOf(CMD_WEB_ONLY) == (kStateEnabled | kStateChecked));

    SUBCASE("showing everything greys the two filters but keeps their checks") {
        ViewCommandStates all = computeViewStates(OPTION_SHOW_ALL | OPTION_TEXT_ONLY);
        CHECK(all.stateOf(CMD_SHOW_ALL) == (kStateEnabled | kStateChecked));
        CHECK(all.stateOf(CMD_TEXT_ONLY) == kStateChecked);
        CHECK(all.stateOf(CMD_WEB_ONLY) == 0);
    }
}
