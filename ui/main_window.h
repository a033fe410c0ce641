// The main window: its class, its window procedure's dispatch, the handling
// of the background threads' messages, and the saving of state at the end.
#pragma once

#include <windows.h>

#include "ui/command_dispatch.h"
#include "ui/frame.h"
#include "ui/list_pane.h"
#include "ui/menu_help.h"
#include "ui/tree_pane.h"

class CacheModel;

// The main window's class. A second instance finds the first by it.
extern const char kMainWindowClass[];

class MainWindow {
public:
    MainWindow();
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    static bool registerClass(HINSTANCE instance);
    // Creates the window and all its children; false when any of them
    // could not be made.
    bool create(HINSTANCE instance);

    HWND window() const { return window_; }
    Frame& frame() { return frame_; }
    TreePane& tree() { return tree_; }
    ListPane& list() { return list_; }
    CommandDispatch& commands() { return commands_; }
    MenuHelpTable& menuHelp() { return menuHelp_; }

    // The one model of the process; null until start-up has made it.
    CacheModel* model() const { return model_; }
    void setModel(CacheModel* model) { model_ = model; }

    // The first load has been tried: from now on the end of the run saves
    // the settings and the hidden lists.
    void markStartupComplete() { startupComplete_ = true; }

    // Writes the hidden lists, the browser's verify option and the settings
    // record (also on WM_QUERYENDSESSION, when WM_DESTROY may never come).
    void saveState();

private:
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    void onDestroy();
    void onWinIniChange(WPARAM wParam, LPARAM lParam);
    void onMenuSelect(UINT item, UINT flags, HMENU menu);
    void onRunBegins(int kind, int steps);
    void onRunStarted();
    void onRunEnded(int kind);

    HWND window_ = nullptr;
    CacheModel* model_ = nullptr;
    MenuHelpTable menuHelp_;
    Frame frame_;
    TreePane tree_;
    ListPane list_;
    CommandDispatch commands_;
    bool startupComplete_ = false;
    bool windowDestroyed_ = false;
};
