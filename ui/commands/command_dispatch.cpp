#include "ui/commands/command_dispatch.h"

#include "index/entry_flags.h"
#include "model/cache_model.h"
#include "model/document_view.h"
#include "model/loading.h"
#include "resources/command_ids.h"
#include "settings/settings.h"
#include "ui/commands/command_table.h"
#include "ui/commands/context_menu.h"
#include "ui/frame/control_ids.h"
#include "ui/frame/main_window.h"

// The sort commands follow each other as the list's columns do: a column
// clicked, or the sort field checked in the menu, is CMD_SORT_BY_TITLE plus
// its column.
static_assert(CMD_SORT_BY_TYPE == CMD_SORT_BY_TITLE + COLUMN_TYPE && CMD_SORT_BY_URL == CMD_SORT_BY_TITLE + COLUMN_URL &&
              CMD_SORT_BY_FILE == CMD_SORT_BY_TITLE + COLUMN_FILE && CMD_SORT_BY_SIZE == CMD_SORT_BY_TITLE + COLUMN_SIZE &&
              CMD_SORT_BY_DATE == CMD_SORT_BY_TITLE + COLUMN_DATE && COLUMN_TITLE == 0);


void CommandDispatch::dispatchCommand(int id, HTREEITEM node) {
    const CommandRoute* route = findCommandRoute(id);
    if (route && route->global && route->global(main_, id))
        return;
    ObjectCommandStates states = currentObjectStates(node);
    // A command of the tree's context menu names its node.
    if (node || GetFocus() == main_.tree().window()) {
        DomainFolder* folder = node ? main_.tree().folderOfItem(node) : main_.tree().selectedFolder();
        if (route && route->tree && folder)
            route->tree(main_, id, *folder, states);
    } else if (route && route->list) {
        route->list(main_, id, states);
    }
}

ObjectCommandStates CommandDispatch::currentObjectStates(HTREEITEM node) const {
    StateSnapshot snapshot;
    TreePane& tree = main_.tree();
    snapshot.list = main_.list().stats();
    CacheModel* model = main_.model();
    snapshot.threadKind = model ? threadBusy(*model) : RUN_NONE;
    snapshot.listHasFocus = GetFocus() == main_.list().window();
    if (!node)
        node = tree.caretItem();
    if (DomainFolder* folder = tree.folderOfItem(node)) {
        snapshot.folder = folder->isNested()    ? FOLDER_ROOT
                          : folder->ownsItems() ? FOLDER_HOST
                                                : FOLDER_RESULTS;
        snapshot.folderHideable = folder->hasAnyFlag(FLAG_HIDEABLE);
        snapshot.folderHidden = folder->hasAnyFlag(FLAG_HIDDEN);
        snapshot.folderCount = folder->count();
    }
    snapshot.hasPreviousFolder = tree.previousFolderItem(node) != nullptr;
    snapshot.hasNextFolder = tree.nextFolderItem(node) != nullptr;
    return computeObjectStates(snapshot);
}

void CommandDispatch::updateToolbarObjectStates() {
    HWND toolbar = main_.frame().toolbar();
    if (!toolbar)
        return;
    ObjectCommandStates states = currentObjectStates(nullptr);
    for (const CommandState& pair : states.pairs)
        SendMessageA(toolbar, TB_SETSTATE, pair.command, MAKELONG(pair.state, 0));
}

void CommandDispatch::updateToolbarViewStates() {
    HWND toolbar = main_.frame().toolbar();
    if (!toolbar)
        return;
    ViewCommandStates states = computeViewStates(main_.settings().optionFlags);
    for (const CommandState& pair : states.pairs)
        SendMessageA(toolbar, TB_SETSTATE, pair.command, MAKELONG(pair.state, 0));
}

void CommandDispatch::updateMenuStates(HMENU menu, HTREEITEM node) {
    ObjectCommandStates objects = currentObjectStates(node);
    ViewCommandStates views = computeViewStates(main_.settings().optionFlags);
    for (const CommandState& pair : objects.pairs)
        EnableMenuItem(menu, pair.command, MF_BYCOMMAND | (pair.state & kStateEnabled ? MF_ENABLED : MF_GRAYED));
    for (const CommandState& pair : views.pairs) {
        CheckMenuItem(menu, pair.command, MF_BYCOMMAND | (pair.state & kStateChecked ? MF_CHECKED : MF_UNCHECKED));
        EnableMenuItem(menu, pair.command, MF_BYCOMMAND | (pair.state & kStateEnabled ? MF_ENABLED : MF_GRAYED));
    }
    if (int32_t field = sortField(main_.settings().documentSortKey))
        CheckMenuRadioItem(menu, CMD_SORT_BY_TITLE, CMD_SORT_BY_DATE, CMD_SORT_BY_TITLE + columnOfSortField(field),
                           MF_BYCOMMAND);
    CheckMenuRadioItem(menu, CMD_SORT_DOMAINS_ALPHABETICAL, CMD_SORT_DOMAINS_HIERARCHICAL,
                       (main_.settings().optionFlags & OPTION_HIERARCHICAL) ? CMD_SORT_DOMAINS_HIERARCHICAL : CMD_SORT_DOMAINS_ALPHABETICAL,
                       MF_BYCOMMAND);
    if (menu == main_.frame().listSelectionMenu())
        SetMenuDefaultItem(menu, objects.stateOf(CMD_OPEN) & kStateEnabled ? CMD_OPEN : static_cast<UINT>(-1), FALSE);
}

void CommandDispatch::menuHelpOn(uintptr_t key, bool popup) {
    char text[128] = "";
    if (uint16_t stringId = main_.menuHelp().stringFor(key, popup)) {
        if (LoadStringA(GetModuleHandleA(nullptr), stringId, text, sizeof text) <= 0)
            text[0] = '\0';
    }
    main_.frame().showMenuHelp(text);
}

void CommandDispatch::menuHelpOff() {
    main_.frame().hideMenuHelp();
}

LRESULT CommandDispatch::onToolTip(NMHDR* header) {
    HWND toolbar = main_.frame().toolbar();
    LRESULT index = SendMessageA(toolbar, TB_COMMANDTOINDEX, header->idFrom, 0);
    TBBUTTON button = {};
    if (index < 0 || !SendMessageA(toolbar, TB_GETBUTTON, index, reinterpret_cast<LPARAM>(&button)))
        return 0;
    // The tip's text is the string resource whose id the button keeps; the
    // tooltip asks in either character width, and the two structures place
    // the instance field differently.
    WORD stringId = static_cast<WORD>(button.dwData);
    if (header->code == TTN_NEEDTEXTW) {
        auto* info = reinterpret_cast<NMTTDISPINFOW*>(header);
        info->hinst = GetModuleHandleA(nullptr);
        info->lpszText = MAKEINTRESOURCEW(stringId);
    } else {
        auto* info = reinterpret_cast<NMTTDISPINFOA*>(header);
        info->hinst = GetModuleHandleA(nullptr);
        info->lpszText = MAKEINTRESOURCEA(stringId);
    }
    return 1;
}

LRESULT CommandDispatch::notifyDispatch(NMHDR* header) {
    switch (header->idFrom) {
    case ID_TOOLBAR:
        if (header->code == TBN_BEGINDRAG)
            menuHelpOn(reinterpret_cast<NMTOOLBARA*>(header)->iItem, false);
        else if (header->code == TBN_ENDDRAG)
            menuHelpOff();
        break;
    case ID_TREE:
        if (main_.tree().onNotify(header))
            return 1;
        if (header->code == NM_SETFOCUS)
            updateToolbarObjectStates();
        else if (header->code == NM_RCLICK)
            openTreeMenuAtCursor();
        break;
    case ID_LIST: {
        LRESULT result;
        if (main_.list().onNotify(header, result))
            return result;
        if (header->code == LVN_COLUMNCLICK) {
            int column = reinterpret_cast<NMLISTVIEW*>(header)->iSubItem;
            SendMessageA(main_.window(), WM_COMMAND, CMD_SORT_BY_TITLE + column, 0);
        }
        else if (header->code == NM_SETFOCUS)
            updateToolbarObjectStates();
        else if (header->code == NM_RCLICK)
            openListMenuAtCursor();
        else if (header->code == NM_DBLCLK)
            SendMessageA(main_.window(), WM_COMMAND, GetKeyState(VK_MENU) < 0 ? CMD_PROPERTIES : CMD_OPEN, 0);
        break;
    }
    default:
        break;
    }
    if (header->code == TTN_NEEDTEXTA || header->code == TTN_NEEDTEXTW)
        return onToolTip(header);
    return 0;
}

void CommandDispatch::openTreeMenuAtCursor() {
    POINT screen = menuPointAtCursor();
    HWND tree = main_.tree().window();
    TVHITTESTINFO hit = {};
    hit.pt = screen;
    ScreenToClient(tree, &hit.pt);
    HTREEITEM node = TreeView_HitTest(tree, &hit);
    if (!node)
        return;
    // The clicked node is not selected: the command applies to it alone.
    HMENU menu = main_.frame().treeMenu();
    updateMenuStates(menu, node);
    dispatchCommand(showContextMenu(menu, screen, main_.window(), true), node);
}

void CommandDispatch::openListMenuAtCursor() {
    HMENU menu = main_.list().stats().selected > 0 ? main_.frame().listSelectionMenu()
                                                    : main_.frame().listBackgroundMenu();
    showContextMenu(menu, menuPointAtCursor(), main_.window());
}
