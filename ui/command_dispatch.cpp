#include "ui/command_dispatch.h"

#include "index/entry_flags.h"
#include "model/cache_model.h"
#include "model/document_view.h"
#include "model/loading.h"
#include "resources/command_ids.h"
#include "settings/settings.h"
#include "ui/control_ids.h"
#include "ui/main_window.h"

namespace {

void flipOption(uint32_t option) {
    processSettings().optionFlags ^= option;
}

bool optionSet(uint32_t option) {
    return (processSettings().optionFlags & option) != 0;
}

}  // namespace

void CommandDispatch::dispatchCommand(int id, HTREEITEM) {
    HWND window = main_.window();
    switch (id) {
    case CMD_EXIT:
        SendMessageA(window, WM_CLOSE, 0, 0);
        break;
    case CMD_SELECT_ALL:
        main_.list().selectAllDocuments();
        break;
    case CMD_INVERT_SELECTION:
        main_.list().invertSelection();
        break;
    case CMD_TOOLBAR:
    case CMD_STATUS_BAR:
    case CMD_DESCRIPTION_BARS:
        flipOption(OPTION_TOOLBAR << (id - CMD_TOOLBAR));
        SendMessageA(window, WM_SIZE, 0, 0);
        break;
    case CMD_LIST_TIPS:
        flipOption(OPTION_LIST_TIPS);
        break;
    case CMD_VIEW_LIST:
        processSettings().optionFlags &= ~static_cast<uint32_t>(OPTION_DETAILS_VIEW);
        main_.list().setListMode(LVS_LIST);
        break;
    case CMD_VIEW_DETAILS:
        processSettings().optionFlags |= OPTION_DETAILS_VIEW;
        main_.list().setListMode(LVS_REPORT);
        break;
    case CMD_TEXT_ONLY:
        // Without effect while everything is shown.
        if (!optionSet(OPTION_SHOW_ALL))
            toggleFilter(OPTION_TEXT_ONLY);
        break;
    case CMD_WEB_ONLY:
        if (!optionSet(OPTION_SHOW_ALL))
            toggleFilter(OPTION_WEB_ONLY);
        break;
    case CMD_SHOW_ALL:
        flipOption(OPTION_SHOW_ALL);
        updateToolbarViewStates();
        main_.list().showMarks(optionSet(OPTION_SHOW_ALL));
        main_.tree().refreshViews(RefreshTree | RefreshResults | RefreshList);
        break;
    case CMD_SORT_DOMAINS_ALPHABETICAL:
    case CMD_SORT_DOMAINS_HIERARCHICAL:
        main_.tree().sortDomains(id == CMD_SORT_DOMAINS_HIERARCHICAL);
        break;
    case CMD_DOMAIN_NAMES_AS_SORTED:
        main_.tree().toggleNamesInSortOrder();
        updateToolbarViewStates();
        break;
    case CMD_SORT_BY_TITLE:
    case CMD_SORT_BY_TYPE:
    case CMD_SORT_BY_URL:
    case CMD_SORT_BY_FILE:
    case CMD_SORT_BY_SIZE:
    case CMD_SORT_BY_DATE:
        chooseDocumentSort(id);
        break;
    case CMD_SWITCH_PANE:
        switchPane();
        break;
    case CMD_PREVIOUS_FOLDER:
    case CMD_NEXT_FOLDER:
        main_.tree().selectNeighbour(id == CMD_NEXT_FOLDER);
        break;
    default:
        break;
    }
}

void CommandDispatch::toggleFilter(uint32_t option) {
    flipOption(option);
    updateToolbarViewStates();
    main_.tree().refreshViews(RefreshTree | RefreshResults | RefreshList);
}

void CommandDispatch::chooseDocumentSort(int id) {
    Settings& settings = processSettings();
    settings.documentSortKey = chooseSortKey(settings.documentSortKey, sortFieldOfColumn(id - CMD_SORT_BY_TITLE));
    main_.list().sortItems();
    // The arrow moves to the new column.
    InvalidateRect(ListView_GetHeader(main_.list().window()), nullptr, TRUE);
}

void CommandDispatch::switchPane() {
    HWND list = main_.list().window();
    SetFocus(GetFocus() == list ? main_.tree().window() : list);
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
        snapshot.folder = folder->isNested()    ? FolderKind::Root
                          : folder->ownsItems() ? FolderKind::HostFolder
                                                : FolderKind::ResultsFolder;
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
    ViewCommandStates states = computeViewStates(processSettings().optionFlags);
    for (const CommandState& pair : states.pairs)
        SendMessageA(toolbar, TB_SETSTATE, pair.command, MAKELONG(pair.state, 0));
}

void CommandDispatch::updateMenuStates(HMENU menu, HTREEITEM node) {
    ObjectCommandStates objects = currentObjectStates(node);
    ViewCommandStates views = computeViewStates(processSettings().optionFlags);
    for (const CommandState& pair : objects.pairs)
        EnableMenuItem(menu, pair.command, MF_BYCOMMAND | (pair.state & kStateEnabled ? MF_ENABLED : MF_GRAYED));
    for (const CommandState& pair : views.pairs) {
        CheckMenuItem(menu, pair.command, MF_BYCOMMAND | (pair.state & kStateChecked ? MF_CHECKED : MF_UNCHECKED));
        EnableMenuItem(menu, pair.command, MF_BYCOMMAND | (pair.state & kStateEnabled ? MF_ENABLED : MF_GRAYED));
    }
    if (int32_t field = sortField(processSettings().documentSortKey))
        CheckMenuRadioItem(menu, CMD_SORT_BY_TITLE, CMD_SORT_BY_DATE, CMD_SORT_BY_TITLE + columnOfSortField(field),
                           MF_BYCOMMAND);
    CheckMenuRadioItem(menu, CMD_SORT_DOMAINS_ALPHABETICAL, CMD_SORT_DOMAINS_HIERARCHICAL,
                       optionSet(OPTION_HIERARCHICAL) ? CMD_SORT_DOMAINS_HIERARCHICAL : CMD_SORT_DOMAINS_ALPHABETICAL,
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
