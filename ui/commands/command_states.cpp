#include "ui/commands/command_states.h"

#include <initializer_list>

#include "resources/command_ids.h"
#include "settings/settings.h"

namespace {

const int kObjectCommands[kObjectCommandCount] = {
    CMD_OPEN,      CMD_SAVE_AS,        CMD_PROPERTIES,      CMD_HIDE,        CMD_UNHIDE,
    CMD_TOGGLE_HIDDEN, CMD_DELETE,     CMD_COPY_URL,        CMD_GO_TO_DOMAIN, CMD_PREVIOUS_FOLDER,
    CMD_NEXT_FOLDER, CMD_RELOAD,       CMD_CONTENT_SEARCH,  CMD_CLEAR_RESULTS, CMD_SETTINGS,
};

const int kViewCommands[kViewCommandCount] = {
    CMD_TOOLBAR,   CMD_STATUS_BAR, CMD_DESCRIPTION_BARS, CMD_LIST_TIPS, CMD_VIEW_LIST,
    CMD_VIEW_DETAILS, CMD_TEXT_ONLY, CMD_WEB_ONLY,       CMD_SHOW_ALL,  CMD_DOMAIN_NAMES_AS_SORTED,
};

uint8_t enabledIf(bool condition) {
    return condition ? kStateEnabled : 0;
}

template <int N>
uint8_t findState(const CommandState (&pairs)[N], int command) {
    for (const CommandState& pair : pairs)
        if (pair.command == command)
            return pair.state;
    return kStateEnabled;
}

template <int N>
void setState(CommandState (&pairs)[N], int command, uint8_t state) {
    for (CommandState& pair : pairs)
        if (pair.command == command)
            pair.state = state;
}

void computeListFocusStates(const StateSnapshot& s, ObjectCommandStates& out) {
    const ListStats& l = s.list;
    setState(out.pairs, CMD_OPEN, enabledIf(l.selected == 1 && l.selectedMissing == 0));
    setState(out.pairs, CMD_SAVE_AS, enabledIf(l.selected > l.selectedMissing && s.threadKind != RUN_LOADING));
    setState(out.pairs, CMD_PROPERTIES, enabledIf(l.selected > 0 && s.threadKind != RUN_LOADING));
    setState(out.pairs, CMD_HIDE, enabledIf(l.selected > l.selectedHidden));
    setState(out.pairs, CMD_UNHIDE, enabledIf(l.selectedHidden > 0));
    if (l.selected > 0) {
        uint8_t toggle = l.selected == l.selectedHidden ? kStateEnabled | kStateChecked
                         : l.selectedHidden == 0       ? kStateEnabled
                                                       : kStateEnabled | kStateMixed;
        setState(out.pairs, CMD_TOGGLE_HIDDEN, toggle);
    }
    setState(out.pairs, CMD_DELETE, enabledIf(l.selected > l.selectedMissing && s.threadKind != RUN_LOADING));
    setState(out.pairs, CMD_COPY_URL, enabledIf(l.selected > 0));
    // "Gehe zu Domäne" only makes sense where a document is listed away from
    // its own host folder: under a root, or among the search results.
    bool awayFromHost = s.folder == FOLDER_ROOT || s.folder == FOLDER_RESULTS;
    setState(out.pairs, CMD_GO_TO_DOMAIN, enabledIf(l.selected == 1 && awayFromHost));
}

void computeTreeFocusStates(const StateSnapshot& s, ObjectCommandStates& out) {
    // Search results are host folders too, only not owning their documents.
    bool hostFolder = s.folder == FOLDER_HOST || s.folder == FOLDER_RESULTS;
    setState(out.pairs, CMD_HIDE, enabledIf(s.folderHideable && !s.folderHidden));
    setState(out.pairs, CMD_UNHIDE, enabledIf(s.folderHideable && s.folderHidden));
    if (s.folderHideable)
        setState(out.pairs, CMD_TOGGLE_HIDDEN, s.folderHidden ? kStateEnabled | kStateChecked : kStateEnabled);
    setState(out.pairs, CMD_DELETE, enabledIf(hostFolder && s.folderCount > 0 && s.threadKind != RUN_LOADING));
    setState(out.pairs, CMD_COPY_URL, enabledIf(hostFolder));
}

}  // namespace

uint8_t ObjectCommandStates::stateOf(int command) const {
    return findState(pairs, command);
}

uint8_t ViewCommandStates::stateOf(int command) const {
    return findState(pairs, command);
}

ObjectCommandStates computeObjectStates(const StateSnapshot& snapshot) {
    ObjectCommandStates out;
    for (int i = 0; i < kObjectCommandCount; ++i)
        out.pairs[i] = {kObjectCommands[i], 0};
    if (snapshot.listHasFocus)
        computeListFocusStates(snapshot, out);
    else
        computeTreeFocusStates(snapshot, out);
    setState(out.pairs, CMD_PREVIOUS_FOLDER, enabledIf(snapshot.hasPreviousFolder));
    setState(out.pairs, CMD_NEXT_FOLDER, enabledIf(snapshot.hasNextFolder));
    uint8_t idle = enabledIf(snapshot.threadKind == RUN_NONE);
    for (int command : {CMD_RELOAD, CMD_CONTENT_SEARCH, CMD_CLEAR_RESULTS, CMD_SETTINGS})
        setState(out.pairs, command, idle);
    return out;
}

ViewCommandStates computeViewStates(uint32_t optionFlags) {
    ViewCommandStates out;
    for (int i = 0; i < kViewCommandCount; ++i)
        out.pairs[i] = {kViewCommands[i], kStateEnabled};
    auto checkIf = [&](int command, bool condition) {
        if (condition)
            setState(out.pairs, command, kStateEnabled | kStateChecked);
    };
    checkIf(CMD_TOOLBAR, optionFlags & OPTION_TOOLBAR);
    checkIf(CMD_STATUS_BAR, optionFlags & OPTION_STATUS_BAR);
    checkIf(CMD_DESCRIPTION_BARS, optionFlags & OPTION_DESCRIPTION_BARS);
    checkIf(CMD_LIST_TIPS, optionFlags & OPTION_LIST_TIPS);
    checkIf(CMD_TEXT_ONLY, optionFlags & OPTION_TEXT_ONLY);
    checkIf(CMD_WEB_ONLY, optionFlags & OPTION_WEB_ONLY);
    checkIf((optionFlags & OPTION_DETAILS_VIEW) ? CMD_VIEW_DETAILS : CMD_VIEW_LIST, true);
    checkIf(CMD_SHOW_ALL, optionFlags & OPTION_SHOW_ALL);
    checkIf(CMD_DOMAIN_NAMES_AS_SORTED, optionFlags & OPTION_NAMES_IN_SORT_ORDER);
    if (optionFlags & OPTION_SHOW_ALL) {
        for (int command : {CMD_TEXT_ONLY, CMD_WEB_ONLY})
            setState(out.pairs, command, static_cast<uint8_t>(findState(out.pairs, command) & ~kStateEnabled));
    }
    return out;
}
