// The main window: its class, its window procedure's dispatch, the handling
// of the background threads' messages, and the saving of state at the end.
#pragma once

#include <windows.h>

#include "browser/navigator_client.h"
#include "core/window_base.h"
#include "search/content_search.h"
#include "ui/commands/command_dispatch.h"
#include "ui/frame/frame.h"
#include "ui/frame/list_pane.h"
#include "ui/frame/menu_help.h"
#include "ui/frame/program_state.h"
#include "ui/frame/tree_pane.h"

class CacheEntry;
class CacheModel;
class ModelNotifier;

// The main window's class. A second instance finds the first by it.
extern const char kMainWindowClass[];

// What refreshViews brings up to date.
enum RefreshFlag : unsigned {
    RefreshTree = 1,     // the cache root and its folders
    RefreshResults = 2,  // the search-results root and its folders
    RefreshList = 4,     // the document list
    Reselect = 8,        // with RefreshList: refill the list by selecting the node again
};

class MainWindow : public WindowBase {
public:
    explicit MainWindow(ProgramState& state);

    static bool registerClass(HINSTANCE instance);
    // Creates the window and all its children; false when any of them
    // could not be made.
    bool create(HINSTANCE instance);

    Frame& frame() { return frame_; }
    TreePane& tree() { return tree_; }
    ListPane& list() { return list_; }
    CommandDispatch& commands() { return commands_; }
    // What the program keeps for the whole run; the panes and dialogs take
    // it from here.
    ProgramState& state() { return state_; }
    Settings& settings() { return state_.settings; }
    const Settings& settings() const { return state_.settings; }
    MenuHelpTable& menuHelp() { return menuHelp_; }
    BrowserSession& browserSession() { return browser_; }
    ContentSearch& contentSearch() { return contentSearch_; }

    // The one model of the process, and where its background runs report;
    // null until start-up has made them.
    CacheModel* model() const { return model_; }
    ModelNotifier* notifier() const { return notifier_; }
    void setModel(CacheModel* model, ModelNotifier* notifier);

    // The one refresh of tree, list and toolbar that every change of the
    // model goes through.
    void refreshViews(unsigned flags);
    // "Aktualisieren": reads the cache index again and restarts the loading.
    void reloadCache();
    // "Öffnen": shows the document in the browser.
    void openDocument(const CacheEntry* entry);
    // Switches the list tips of tree and list to the option's state.
    void applyListTips();

    // The first load has been tried: from now on the end of the run saves
    // the settings and the hidden lists.
    void markStartupComplete() { startupComplete_ = true; }

    // Writes the hidden lists, the browser's verify option and the settings
    // record (also at log-off, when WM_DESTROY may never come).
    void saveState();

private:
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    void onDestroy();
    void onWinIniChange(WPARAM wParam, LPARAM lParam);
    void onMenuSelect(UINT item, UINT flags, HMENU menu);
    void onRunBegins(RunKind kind, int steps);
    void onRunEnded(RunKind kind, uint32_t runNumber);

    ProgramState& state_;
    CacheModel* model_ = nullptr;
    ModelNotifier* notifier_ = nullptr;
    BrowserSession browser_;
    ContentSearch contentSearch_;
    MenuHelpTable menuHelp_;
    Frame frame_;
    TreePane tree_;
    ListPane list_;
    CommandDispatch commands_;
    bool startupComplete_ = false;
};
