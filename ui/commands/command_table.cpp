#include "ui/commands/command_table.h"

#include "model/cache_model.h"
#include "model/document_view.h"
#include "model/hidden_lists.h"
#include "resources/command_ids.h"
#include "settings/settings.h"
#include "ui/dialogs/about_box.h"
#include "ui/commands/content_search_command.h"
#include "ui/commands/context_menu.h"
#include "ui/commands/document_commands.h"
#include "ui/commands/find_command.h"
#include "ui/dialogs/help_call.h"
#include "ui/frame/main_window.h"
#include "ui/dialogs/settings_dialog.h"

namespace {

void flipOption(MainWindow& main, uint32_t option) {
    main.settings().optionFlags ^= option;
}

bool optionSet(const MainWindow& main, uint32_t option) {
    return (main.settings().optionFlags & option) != 0;
}

bool exitProgram(MainWindow& main, int) {
    SendMessageA(main.window(), WM_CLOSE, 0, 0);
    return true;
}

bool find(MainWindow& main, int id) {
    findCommand(main, id == CMD_FIND_NEXT);
    return true;
}

bool selectAll(MainWindow& main, int) {
    main.list().selectAllDocuments();
    return true;
}

bool invertSelection(MainWindow& main, int) {
    main.list().invertSelection();
    return true;
}

// "Symbolleiste", "Statusleiste" and "Beschreibungsleiste": their option
// bits follow each other as the commands do.
static_assert(CMD_STATUS_BAR == CMD_TOOLBAR + 1 && CMD_DESCRIPTION_BARS == CMD_TOOLBAR + 2);
static_assert(OPTION_STATUS_BAR == OPTION_TOOLBAR << 1 && OPTION_DESCRIPTION_BARS == OPTION_TOOLBAR << 2);
bool toggleBar(MainWindow& main, int id) {
    flipOption(main, OPTION_TOOLBAR << (id - CMD_TOOLBAR));
    SendMessageA(main.window(), WM_SIZE, 0, 0);
    return true;
}

bool toggleListTips(MainWindow& main, int) {
    flipOption(main, OPTION_LIST_TIPS);
    main.applyListTips();
    return true;
}

bool chooseListMode(MainWindow& main, int id) {
    Settings& settings = main.settings();
    if (id == CMD_VIEW_DETAILS)
        settings.optionFlags |= OPTION_DETAILS_VIEW;
    else
        settings.optionFlags &= ~static_cast<uint32_t>(OPTION_DETAILS_VIEW);
    main.list().setListMode(id == CMD_VIEW_DETAILS ? LVS_REPORT : LVS_LIST);
    return true;
}

// While everything is shown the filters have no effect: the command goes on
// to the panes, which ignore it.
bool toggleFilter(MainWindow& main, int id) {
    if (optionSet(main, OPTION_SHOW_ALL))
        return false;
    flipOption(main, id == CMD_TEXT_ONLY ? OPTION_TEXT_ONLY : OPTION_WEB_ONLY);
    main.commands().updateToolbarViewStates();
    main.refreshViews(RefreshTree | RefreshResults | RefreshList);
    return true;
}

bool toggleShowAll(MainWindow& main, int) {
    flipOption(main, OPTION_SHOW_ALL);
    main.commands().updateToolbarViewStates();
    main.list().showMarks(optionSet(main, OPTION_SHOW_ALL));
    main.refreshViews(RefreshTree | RefreshResults | RefreshList);
    return true;
}

bool sortDomains(MainWindow& main, int id) {
    main.tree().sortDomains(id == CMD_SORT_DOMAINS_HIERARCHICAL);
    return true;
}

bool toggleNamesInSortOrder(MainWindow& main, int) {
    main.tree().toggleNamesInSortOrder();
    main.commands().updateToolbarViewStates();
    return true;
}

bool sortDocuments(MainWindow& main, int id) {
    Settings& settings = main.settings();
    settings.documentSortKey = chooseSortKey(settings.documentSortKey, sortFieldOfColumn(id - CMD_SORT_BY_TITLE));
    main.list().sortItems();
    // The arrow moves to the new column.
    InvalidateRect(ListView_GetHeader(main.list().window()), nullptr, TRUE);
    return true;
}

bool reloadCache(MainWindow& main, int) {
    if (!refuseWhileRunning(main, kRefuseAnyRun))
        main.reloadCache();
    return true;
}

bool searchContents(MainWindow& main, int) {
    if (!refuseWhileRunning(main, kRefuseAnyRun))
        contentSearchCommand(main);
    return true;
}

bool clearResults(MainWindow& main, int) {
    if (!refuseWhileRunning(main, kRefuseAnyRun))
        clearSearchResults(main);
    return true;
}

bool unhideEverything(MainWindow& main, int) {
    if (CacheModel* model = main.model()) {
        unhideAll(*model);
        main.refreshViews(RefreshTree | RefreshResults | RefreshList);
    }
    return true;
}

// A new cache directory is read at once.
bool changeSettings(MainWindow& main, int) {
    CacheModel* model = main.model();
    if (!model || refuseWhileRunning(main, kRefuseAnyRun))
        return true;
    bool directoryChanged = false;
    if (showSettingsDialog(main.window(), main.state().helpFilePath(), *model, main.settings(), directoryChanged) &&
        directoryChanged)
        SendMessageA(main.window(), WM_COMMAND, CMD_RELOAD, 0);
    return true;
}

bool showHelpTopics(MainWindow& main, int) {
    callHelp(main.state().helpFilePath(), main.window(), HELP_FINDER, 0);
    return true;
}

bool showAbout(MainWindow& main, int) {
    showAboutBox(main.window());
    return true;
}

bool switchPane(MainWindow& main, int) {
    HWND list = main.list().window();
    SetFocus(GetFocus() == list ? main.tree().window() : list);
    return true;
}

bool selectNeighbourFolder(MainWindow& main, int id) {
    main.tree().selectNeighbour(id == CMD_NEXT_FOLDER);
    return true;
}

void openTreeContextMenu(MainWindow& main, int, DomainFolder&, const ObjectCommandStates&) {
    showContextMenu(main.frame().treeMenu(), menuPointAtPane(main.tree().window()), main.window());
}

const CommandRoute kRoutes[] = {
    {CMD_OPEN, nullptr, openSelectedDocument, nullptr},
    {CMD_SAVE_AS, nullptr, saveSelectedDocuments, nullptr},
    {CMD_HIDE, nullptr, hideSelectedDocuments, hideFolder},
    {CMD_UNHIDE, nullptr, hideSelectedDocuments, hideFolder},
    {CMD_DELETE, nullptr, deleteSelectedDocuments, deleteFolderDocuments},
    {CMD_PROPERTIES, nullptr, showSelectedProperties, nullptr},
    {CMD_EXIT, exitProgram, nullptr, nullptr},
    {CMD_COPY_URL, nullptr, copySelectedUrls, copyFolderHost},
    {CMD_FIND, find, nullptr, nullptr},
    {CMD_FIND_NEXT, find, nullptr, nullptr},
    {CMD_SELECT_ALL, selectAll, nullptr, nullptr},
    {CMD_INVERT_SELECTION, invertSelection, nullptr, nullptr},
    {CMD_TOOLBAR, toggleBar, nullptr, nullptr},
    {CMD_STATUS_BAR, toggleBar, nullptr, nullptr},
    {CMD_DESCRIPTION_BARS, toggleBar, nullptr, nullptr},
    {CMD_LIST_TIPS, toggleListTips, nullptr, nullptr},
    {CMD_VIEW_LIST, chooseListMode, nullptr, nullptr},
    {CMD_VIEW_DETAILS, chooseListMode, nullptr, nullptr},
    {CMD_TEXT_ONLY, toggleFilter, nullptr, nullptr},
    {CMD_WEB_ONLY, toggleFilter, nullptr, nullptr},
    {CMD_SHOW_ALL, toggleShowAll, nullptr, nullptr},
    {CMD_SORT_DOMAINS_ALPHABETICAL, sortDomains, nullptr, nullptr},
    {CMD_SORT_DOMAINS_HIERARCHICAL, sortDomains, nullptr, nullptr},
    {CMD_DOMAIN_NAMES_AS_SORTED, toggleNamesInSortOrder, nullptr, nullptr},
    {CMD_SORT_BY_TITLE, sortDocuments, nullptr, nullptr},
    {CMD_SORT_BY_TYPE, sortDocuments, nullptr, nullptr},
    {CMD_SORT_BY_URL, sortDocuments, nullptr, nullptr},
    {CMD_SORT_BY_FILE, sortDocuments, nullptr, nullptr},
    {CMD_SORT_BY_SIZE, sortDocuments, nullptr, nullptr},
    {CMD_SORT_BY_DATE, sortDocuments, nullptr, nullptr},
    {CMD_RELOAD, reloadCache, nullptr, nullptr},
    {CMD_CONTENT_SEARCH, searchContents, nullptr, nullptr},
    {CMD_CLEAR_RESULTS, clearResults, nullptr, nullptr},
    {CMD_GO_TO_DOMAIN, nullptr, goToDomain, nullptr},
    {CMD_UNHIDE_ALL, unhideEverything, nullptr, nullptr},
    {CMD_SETTINGS, changeSettings, nullptr, nullptr},
    {CMD_HELP_TOPICS, showHelpTopics, nullptr, nullptr},
    {CMD_ABOUT, showAbout, nullptr, nullptr},
    {CMD_SWITCH_PANE, switchPane, nullptr, nullptr},
    {CMD_CONTEXT_MENU, nullptr, openListContextMenu, openTreeContextMenu},
    {CMD_PREVIOUS_FOLDER, selectNeighbourFolder, nullptr, nullptr},
    {CMD_NEXT_FOLDER, selectNeighbourFolder, nullptr, nullptr},
    {CMD_TOGGLE_HIDDEN, nullptr, hideSelectedDocuments, hideFolder},
};

}  // namespace

const CommandRoute* findCommandRoute(int id) {
    for (const CommandRoute& route : kRoutes)
        if (route.id == id)
            return &route;
    return nullptr;
}
